#include "solver/cuts/cut_interp.h"

#include <cmath>

#include "solver/cuts/local_coords.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

// Single-precision 1e-10 widened to double.
constexpr double kSameEnd = static_cast<double>(1.0e-10f);

struct Stretch {
    int element = 0;
    double ya = 0, za = 0, yb = 0, zb = 0;
    std::vector<CutPoint> points;
    bool merged = false;
};

double distance(double y1, double z1, double y2, double z2) { return std::hypot(y1 - y2, z1 - z2); }

}  // namespace

std::vector<CutPoint> interpolated_points(const RunState& st, const std::vector<CutStretch>& stretches) {
    const int n = st.ngrid;
    const int nnode = st.nnode;
    const double ys = st.cutpt[0], zs = st.cutpt[2];
    if (n <= 0 || stretches.empty()) return {};

    std::vector<Stretch> all;
    std::vector<double> xi(static_cast<std::size_t>(n)), eta(static_cast<std::size_t>(n));
    for (const CutStretch& s : stretches) {
        Stretch t;
        t.element = s.element;
        order_stretch_ends(s, ys, zs, t.ya, t.za, t.yb, t.zb);
        const int e = s.element;
        double corner[4][11] = {};  // Disp_X, Rot_y, Rot_z, My, Mz, Myz, Qy, Qz, q, y, z
        for (int k = 0; k < 4; ++k) {
            const int p = st.lnods(k + 1, e);
            corner[k][0] = st.disp_vectors((p - 1) * 6 + 1, 1);
            corner[k][1] = st.disp_vectors((p - 1) * 6 + 5, 1);
            corner[k][2] = st.disp_vectors((p - 1) * 6 + 6, 1);
            for (int c = 0; c < 5; ++c) corner[k][3 + c] = st.nodal_stresses(4 + c, p);
            corner[k][8] = st.nodal_soil_results(p);
            corner[k][9] = st.coord(2, p);
            corner[k][10] = st.coord(3, p);
        }
        double geometry[18] = {};
        element_geometry(st, e, geometry);
        local_coords(nnode, n, geometry, t.ya, t.za, t.yb, t.zb, xi.data(), eta.data());
        t.points.resize(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            double nv[4];
            point_shape_values(4, xi[static_cast<std::size_t>(j)], eta[static_cast<std::size_t>(j)], nv);
            CutPoint& r = t.points[static_cast<std::size_t>(j)];
            r.element = e;
            for (int k = 0; k < 4; ++k) {
                for (int c = 0; c < 9; ++c) r.v[c] += nv[k] * corner[k][c];
                r.y += nv[k] * corner[k][9];
                r.z += nv[k] * corner[k][10];
            }
        }
        all.push_back(std::move(t));
    }

    // A stretch given twice (along a side shared by two elements) is kept
    // once with the mean of both.
    for (std::size_t a = 0; a < all.size(); ++a) {
        if (all[a].merged) continue;
        for (std::size_t b = a + 1; b < all.size(); ++b) {
            if (all[b].merged) continue;
            if (!(std::fabs(all[a].ya - all[b].ya) < kSameEnd && std::fabs(all[a].za - all[b].za) < kSameEnd &&
                  std::fabs(all[a].yb - all[b].yb) < kSameEnd && std::fabs(all[a].zb - all[b].zb) < kSameEnd))
                continue;
            for (int j = 0; j < n; ++j)
                for (int c = 0; c < 9; ++c) {
                    double& v = all[a].points[static_cast<std::size_t>(j)].v[c];
                    v = 0.5 * (v + all[b].points[static_cast<std::size_t>(j)].v[c]);
                }
            all[b].merged = true;
        }
    }
    std::vector<Stretch> kept;
    for (Stretch& s : all)
        if (!s.merged) kept.push_back(std::move(s));

    // Order the stretches by the distance of their start from the cut line's start.
    for (std::size_t k = 0; k + 1 < kept.size(); ++k) {
        double best = distance(kept[k].ya, kept[k].za, ys, zs);
        for (std::size_t j = k + 1; j < kept.size(); ++j) {
            const double dj = distance(kept[j].ya, kept[j].za, ys, zs);
            if (dj <= best) {
                std::swap(kept[k], kept[j]);
                best = dj;
            }
        }
    }

    std::vector<CutPoint> out;
    const double y0 = kept.front().ya, z0 = kept.front().za;
    for (Stretch& s : kept)
        for (CutPoint& r : s.points) {
            r.s = distance(r.y, r.z, y0, z0);
            out.push_back(r);
        }
    return out;
}

void cut_interpolate(RunState& st, int count, int& status) {
    std::vector<CutStretch> stretches;
    read_cut_stretches(st, count, stretches, status);
    delete_cut_scratch(st);
    if (status > 0) return;
    write_cut_block(st, interpolated_points(st, stretches), status);
}

}  // namespace parvane
