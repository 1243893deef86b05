#include "solver/cuts/cut_intersections.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/fio/fio.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

// Single-precision 1e-8 and 1e-30 widened to double.
constexpr double kT = static_cast<double>(1.0e-8f);
constexpr double kT2 = static_cast<double>(1.0e-30f);

struct FoundPoint {
    double y = 0.0, z = 0.0;
    int a = 0, b = 0;
};

enum class Compare { None, OnY, OnZ };

// The points found in one element.
struct ElementPoints {
    FoundPoint p[2];
    int n = 0;

    // A node candidate is dropped when the earlier point's named coordinate
    // lies within kT of `value`; a crossing (Compare::None) is always taken.
    void offer(double y, double z, int a, int b, Compare cmp, double value) {
        if (n >= 2) return;
        if (n > 0 && cmp != Compare::None) {
            const double earlier = cmp == Compare::OnY ? p[n - 1].y : p[n - 1].z;
            if (std::fabs(earlier - value) <= kT) return;
        }
        p[n++] = {y, z, a, b};
    }
};

bool strictly_between(double v, double a, double b) { return (a < v && v < b) || (b < v && v < a); }

// One side (a, b) in the pass of a line z = zL (horizontal) or y = yL
// (vertical, with the roles of y and z exchanged by the caller).
void axis_side(ElementPoints& ep, int a, int b, double ua, double va, double ub, double vb, double vL,
               bool horizontal) {
    // u runs along the line, v across it.
    const double ea = std::fabs(va - vL), eb = std::fabs(vb - vL);
    auto put = [&](double u, double v, Compare cmp, double value) {
        if (horizontal)
            ep.offer(u, v, a, b, cmp, value);
        else
            ep.offer(v, u, a, b, cmp, value);
    };
    const Compare along = horizontal ? Compare::OnY : Compare::OnZ;
    if (ea < kT && eb > kT) {
        put(ua, vL, along, ua);
    } else if (ea > kT && eb < kT) {
        put(ub, vL, along, ub);
    } else if (strictly_between(vL, va, vb)) {
        const double u = std::fabs(ua - ub) < kT ? (ua + ub) / 2.0 : ua + (va - vL) * (ua - ub) / (vb - va);
        put(u, vL, Compare::None, 0.0);
    }
}

// A corner on the line is offered by both sides that meet there; the second
// offer is dropped when the point found before it has the corner's y or z
// (within kT).  On an oblique line either coordinate fixes the point, so the
// side along z compares z for its first corner and y for its second, with
// the same outcome.
void oblique_side(ElementPoints& ep, int a, int b, double ya, double za, double yb, double zb, const double line[4]) {
    const double sy = line[0], ey = line[1], sz = line[2], ez = line[3];
    const double m = (ez - sz) / (ey - sy);
    const double k = (ey - sy) / (ez - sz);
    if (std::fabs(ya - yb) < kT2) {
        const double ye = (ya + yb) / 2.0;
        const double zc = sz + m * (ye - sy);
        const double ea = std::fabs(za - zc), eb = std::fabs(zb - zc);
        if (ea < kT && eb > kT)
            ep.offer(ye, za, a, b, Compare::OnZ, za);
        else if (ea > kT && eb < kT)
            ep.offer(ye, zb, a, b, Compare::OnY, ye);
        else if (strictly_between(zc, za, zb))
            ep.offer(ye, zc, a, b, Compare::None, 0.0);
        return;
    }
    if (std::fabs(za - zb) < kT2) {
        const double ze = (za + zb) / 2.0;
        const double yc = sy + k * (ze - sz);
        const double ea = std::fabs(ya - yc), eb = std::fabs(yb - yc);
        if (ea < kT && eb > kT)
            ep.offer(yc, za, a, b, Compare::OnY, yc);
        else if (ea > kT && eb < kT)
            ep.offer(yc, zb, a, b, Compare::OnY, yc);
        else if (strictly_between(yc, ya, yb))
            ep.offer(yc, ze, a, b, Compare::None, 0.0);
        return;
    }
    const double ms = (zb - za) / (yb - ya);
    if (ms == m) return;  // side parallel to the line
    const double ys = (ez - m * ey - zb + ms * yb) / (ms - m);
    const double zs = ez + m * (ys - ey);
    const double ea = std::fabs(ya - ys), eb = std::fabs(yb - ys);
    if (ea < kT && eb > kT)
        ep.offer(ys, zs, a, b, Compare::OnY, ya);
    else if (ea > kT && eb < kT)
        ep.offer(ys, zs, a, b, Compare::OnY, yb);
    else if (strictly_between(ys, ya, yb))
        ep.offer(ys, zs, a, b, Compare::None, 0.0);
}

// Fixed fields whose first column stays blank: a value that fills or
// overflows its width is written in full after one blank instead.
std::string int_field(long long v, int w) {
    std::string s = fio::fmt_i_wide(v, w);
    if (s.empty() || s[0] != ' ') s.insert(s.begin(), ' ');
    return s;
}

std::string real_field(double v, int w, int d) {
    std::string s = fio::fmt_f(v, w, d);
    if (!s.empty() && s[0] == ' ' && s.find('*') == std::string::npos) return s;
    char buf[512];
    std::snprintf(buf, sizeof buf, " %.*f", d, v);
    return buf;
}

}  // namespace

void order_stretch_ends(const CutStretch& s, double ys, double zs, double& ya, double& za, double& yb, double& zb) {
    if (std::hypot(s.y2 - ys, s.z2 - zs) < std::hypot(s.y1 - ys, s.z1 - zs)) {
        ya = s.y2, za = s.z2, yb = s.y1, zb = s.z1;
    } else {
        ya = s.y1, za = s.z1, yb = s.y2, zb = s.z2;
    }
}

std::vector<CutStretch> find_cut_stretches(const RunState& st, const double line[4]) {
    std::vector<CutStretch> out;
    const double dy = line[1] - line[0], dz = line[3] - line[2];
    const bool horizontal = std::fabs(dz) < kT;
    const bool vertical = std::fabs(dy) < kT;
    const bool oblique = std::fabs(dy) > kT && std::fabs(dz) > kT;
    const double zL = (line[2] + line[3]) / 2.0;
    const double yL = (line[0] + line[1]) / 2.0;
    const int nelem = st.nelem;
    if (st.nnode < 4 || st.lnods.dim1() < 4) return out;

    for (int pass = 0; pass < 3; ++pass) {
        if ((pass == 0 && !horizontal) || (pass == 1 && !vertical) || (pass == 2 && !oblique)) continue;
        for (int e = 1; e <= nelem; ++e) {
            int c[4];
            double y[4], z[4];
            bool valid = true;
            for (int k = 0; k < 4; ++k) {
                c[k] = st.lnods(k + 1, e);
                if (c[k] < 1 || c[k] > st.npoin) {
                    valid = false;
                    break;
                }
                y[k] = st.coord(2, c[k]);
                z[k] = st.coord(3, c[k]);
            }
            if (!valid) continue;
            ElementPoints ep;
            for (int s = 0; s < 4 && ep.n < 2; ++s) {
                const int i = s, j = (s + 1) % 4;
                if (pass == 0)
                    axis_side(ep, c[i], c[j], y[i], z[i], y[j], z[j], zL, true);
                else if (pass == 1)
                    axis_side(ep, c[i], c[j], z[i], y[i], z[j], y[j], yL, false);
                else
                    oblique_side(ep, c[i], c[j], y[i], z[i], y[j], z[j], line);
            }
            if (ep.n < 2) continue;
            out.push_back({e, ep.p[0].a, ep.p[0].b, ep.p[1].a, ep.p[1].b, ep.p[0].y, ep.p[0].z, ep.p[1].y, ep.p[1].z});
        }
    }
    return out;
}

std::string format_stretch_record(const CutStretch& s) {
    std::string r =
        int_field(s.element, 6) + int_field(s.a1, 6) + int_field(s.b1, 6) + int_field(s.a2, 6) + int_field(s.b2, 6);
    r += real_field(s.y1, 12, 4) + real_field(s.z1, 12, 4) + real_field(s.y2, 12, 4) + real_field(s.z2, 12, 4);
    return r;
}

void cut_intersections(RunState& st, const double line[4], int& count, int& status) {
    count = 0;
    if (st.units.open(kUnitCutTmp, kCutScratchName, fio::OpenStatus::Unknown) != fio::kOk) {
        report_run_error(st, std::string("error in opening file ") + kCutScratchName);
        status = kStatusRunFiles;
        return;
    }
    const std::vector<CutStretch> found = find_cut_stretches(st, line);
    for (const CutStretch& s : found) {
        if (st.units.write_line(kUnitCutTmp, format_stretch_record(s)) != fio::kOk) {
            st.units.close(kUnitCutTmp, fio::CloseStatus::Delete);
            report_run_error(st, std::string("error in writing file ") + kCutScratchName);
            status = kStatusRunFiles;
            count = 0;
            return;
        }
        ++count;
    }
    st.units.close(kUnitCutTmp);
}

void read_cut_stretches(RunState& st, int count, std::vector<CutStretch>& out, int& status) {
    out.clear();
    if (st.units.open(kUnitCutTmp, kCutScratchName, fio::OpenStatus::Old) != fio::kOk) {
        report_run_error(st, std::string("error in opening file ") + kCutScratchName);
        status = kStatusRunFiles;
        return;
    }
    for (int i = 1; i <= count; ++i) {
        std::string text;
        const int rs = st.units.read_line(kUnitCutTmp, text);
        CutStretch s;
        bool ok = rs == fio::kOk;
        if (ok) {
            // One record holds exactly nine numbers.
            std::vector<std::string> tok;
            std::size_t p = 0;
            while (p < text.size()) {
                while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
                std::size_t q = p;
                while (q < text.size() && text[q] != ' ' && text[q] != '\t') ++q;
                if (q > p) tok.emplace_back(text.substr(p, q - p));
                p = q;
            }
            ok = tok.size() == 9;
            long long iv[5] = {0, 0, 0, 0, 0};
            double rv[4] = {0, 0, 0, 0};
            for (int k = 0; ok && k < 5; ++k) ok = fio::parse_int(tok[static_cast<std::size_t>(k)], iv[k]);
            for (int k = 0; ok && k < 4; ++k)
                ok = fio::parse_real(tok[static_cast<std::size_t>(5 + k)], rv[k]) && std::isfinite(rv[k]);
            ok = ok && iv[0] >= 1 && iv[0] <= st.nelem;
            if (ok) {
                s = {static_cast<int>(iv[0]),
                     static_cast<int>(iv[1]),
                     static_cast<int>(iv[2]),
                     static_cast<int>(iv[3]),
                     static_cast<int>(iv[4]),
                     rv[0],
                     rv[1],
                     rv[2],
                     rv[3]};
            }
        }
        if (!ok) {
            report_run_error(
                st, std::string("error in reading record ") + std::to_string(i) + " of file " + kCutScratchName);
            status = kStatusRunFiles;
            out.clear();
            return;
        }
        out.push_back(s);
    }
}

void delete_cut_scratch(RunState& st) {
    if (st.units.is_open(kUnitCutTmp)) {
        st.units.close(kUnitCutTmp, fio::CloseStatus::Delete);
        return;
    }
    std::error_code ec;
    std::filesystem::remove(kCutScratchName, ec);
}

}  // namespace parvane
