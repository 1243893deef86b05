#include "solver/soils/mindlin.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <numbers>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <unistd.h>

#include "solver/run/load_vectors.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

// Single-precision 1e-14 widened to double.
constexpr double kOnLine = static_cast<double>(1.0e-14f);

struct Constants {
    double c, a, b;
};

Constants constants_of(double nu) {
    return {(1.0 + nu) / ((1.0 - nu) * 8.0 * std::numbers::pi), 3.0 - 4.0 * nu, (8.0 * nu - 12.0) * nu + 5.0};
}

double influence(double a, double b, double p, double e, const Constants& k) {
    const double l = std::max(a, b), w = std::min(a, b);
    const double m = l / w;
    const double r = std::sqrt(m * m + 1.0);
    const double phi = m * std::log((r + 1.0) / m) + std::log(r + m);
    return p * w * k.c * (k.a * phi + k.b * phi) / e;
}

// Iterates of the soil iteration that the acceleration combines.
constexpr std::size_t kAndersonDepth = 3;

// How far (in the logarithm) a value mixed in logarithms may stray from its
// plain update.
constexpr double kLogReach = 1.3862943611198906;  // log 4


// The differences of consecutive residuals of `h`, orthonormalised (modified
// Gram-Schmidt) into Q R = dF; columns that add nothing are dropped.  For each
// kept column, dx holds dX + dF (iterate plus residual difference), the step
// that the Anderson mixture combines with the same coefficients.
void residual_differences(const AndersonHistory& h, std::size_t n, std::vector<std::vector<double>>& q,
                          std::vector<std::vector<double>>& r, std::vector<std::vector<double>>& dx) {
    const std::size_t m = h.iterates.size() - 1;
    for (std::size_t j = 0; j < m; ++j) {
        std::vector<double> df(n), step(n);
        for (std::size_t i = 0; i < n; ++i) {
            df[i] = h.residuals[j + 1][i] - h.residuals[j][i];
            step[i] = h.iterates[j + 1][i] - h.iterates[j][i] + df[i];
        }
        double before = 0;
        for (double v : df) before += v * v;
        std::vector<double> rj(q.size() + 1, 0.0);  // r[j][i], i <= j
        for (std::size_t k = 0; k < q.size(); ++k) {
            double d = 0;
            for (std::size_t i = 0; i < n; ++i) d += q[k][i] * df[i];
            rj[k] = d;
            for (std::size_t i = 0; i < n; ++i) df[i] -= d * q[k][i];
        }
        double norm = 0;
        for (double v : df) norm += v * v;
        if (!(norm > 1e-20 * before) || !(norm > 0)) continue;
        norm = std::sqrt(norm);
        for (double& v : df) v /= norm;
        rj.back() = norm;
        q.push_back(std::move(df));
        r.push_back(std::move(rj));
        dx.push_back(std::move(step));
    }
}

}  // namespace

namespace {

// The Anderson mixture of anderson_step over the values as given;
// `positive` keeps the values positive (a mixed value that is not takes
// the plain one).
void anderson_mix(AndersonHistory& h, const std::vector<double>& x, const std::vector<double>& fresh,
                  std::vector<double>& next, bool positive) {
    const std::size_t n = x.size();
    next = fresh;
    std::vector<double> f(n);
    for (std::size_t i = 0; i < n; ++i) f[i] = fresh[i] - x[i];
    h.iterates.push_back(x);
    h.residuals.push_back(f);
    if (h.iterates.size() > kAndersonDepth + 1) {
        h.iterates.erase(h.iterates.begin());
        h.residuals.erase(h.residuals.begin());
    }
    if (h.iterates.size() < 2) return;

    std::vector<std::vector<double>> q, r, dx;
    residual_differences(h, n, q, r, dx);
    const std::size_t k = q.size();
    if (k == 0) return;
    // gamma = R^-1 Q^T f.
    std::vector<double> g(k, 0.0);
    for (std::size_t j = 0; j < k; ++j)
        for (std::size_t i = 0; i < n; ++i) g[j] += q[j][i] * f[i];
    for (std::size_t j = k; j-- > 0;) {
        for (std::size_t l = j + 1; l < k; ++l) g[j] -= r[l][j] * g[l];
        g[j] /= r[j][j];
    }
    std::vector<double> mixed(n);
    for (std::size_t i = 0; i < n; ++i) {
        double v = x[i] + f[i];
        for (std::size_t j = 0; j < k; ++j) v -= g[j] * dx[j][i];
        if (!std::isfinite(v)) {
            // The prediction is lost: plain step, fresh history.
            h.clear();
            return;
        }
        // A value the prediction drives to zero or below (a stiffness that the
        // plain update shrinks towards zero) takes the plain step.
        mixed[i] = v > 0.0 || !positive ? v : fresh[i];
    }
    next = std::move(mixed);
}

}  // namespace

// Anderson mixing of the iteration x <- G(x) with the residual f = G(x) - x:
// the step that the last few iterates predict would leave no residual
// (least squares over the residual differences), taken when every stiffness
// it gives is positive and finite; otherwise the plain step G(x).  The fixed
// point is the same, since the mixed step equals G(x) when the residual is 0.
// Mixed in logarithms, the update "value times a ratio" becomes a sum, each
// value's residual is its relative change, and exp keeps every value
// positive.
void anderson_step(AndersonHistory& h, const std::vector<double>& x, const std::vector<double>& fresh,
                   std::vector<double>& next, bool logarithmic) {
    if (!logarithmic) {
        anderson_mix(h, x, fresh, next, true);
        return;
    }
    std::vector<double> lx(x.size()), lfresh(fresh.size()), mixed;
    for (std::size_t i = 0; i < x.size(); ++i) lx[i] = std::log(x[i]);
    for (std::size_t i = 0; i < fresh.size(); ++i) lfresh[i] = std::log(fresh[i]);
    anderson_mix(h, lx, lfresh, mixed, false);
    next.resize(mixed.size());
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        next[i] = std::exp(std::clamp(mixed[i], lfresh[i] - kLogReach, lfresh[i] + kLogReach));
        if (!(next[i] > 0.0) || !std::isfinite(next[i])) next[i] = fresh[i];
    }
}

double mindlin_influence(double a, double b, double p, double e, double nu) {
    return influence(a, b, p, e, constants_of(nu));
}

namespace {

// The loaded area of an element: the axis-parallel rectangle its nodes
// span when they lie on its sides, else the polygon through its corners and
// (for 8- and 9-node elements) its mid-side nodes in the order of its outline.
struct ElementShape {
    bool rectangle = false;
    double y0 = 0, y1 = 0, z0 = 0, z1 = 0;  // rectangle: its sides, y0 < y1, z0 < z1
    double area = 0;
    int vertices = 0;
    double vy[8] = {}, vz[8] = {};
    double orientation = 1;  // +1 anticlockwise in (y, z), -1 clockwise
};

// The mesh and the soil as the settlement sum reads them.
struct HalfSpace {
    const double* coord;
    const int* lnods;
    int nnode, ndime;
    double e;
    Constants k;
    double y(int p) const { return coord[static_cast<std::size_t>(p - 1) * ndime + 1]; }
    double z(int p) const { return coord[static_cast<std::size_t>(p - 1) * ndime + 2]; }
    int node(int c, int el) const { return lnods[static_cast<std::size_t>(el - 1) * nnode + (c - 1)]; }

    // Settlement of node i under a unit pressure on element el.
    double unit(int i, int el, const ElementShape& s) const {
        return s.rectangle ? rectangle_unit(i, el, s) : polygon_unit(i, s);
    }

    // The rectangle built from rectangles with the node at a corner: beyond
    // a corner line the difference of two, inside the span the sum of the
    // two parts on either side of the node.
    double rectangle_unit(int i, int el, const ElementShape& s) const {
        const double sy = s.y1 - s.y0, sz = s.z1 - s.z0;
        double dy = 1.0e300, dz = 1.0e300;
        const double yi = y(i), zi = z(i);
        for (int c = 1; c <= 4; ++c) {
            dy = std::min(dy, std::fabs(yi - y(node(c, el))));
            dz = std::min(dz, std::fabs(zi - z(node(c, el))));
        }
        const bool off_y = dy >= kOnLine, off_z = dz >= kOnLine;
        const bool in_y = off_y && s.y0 < yi && yi < s.y1, in_z = off_z && s.z0 < zi && zi < s.z1;
        if (in_y || in_z) {
            // Parts (length, sign) in each direction.
            double ly[2], sgy[2], lz[2], sgz[2];
            const int ny = parts(in_y, off_y, yi - s.y0, s.y1 - yi, sy, dy, ly, sgy);
            const int nz = parts(in_z, off_z, zi - s.z0, s.z1 - zi, sz, dz, lz, sgz);
            double v = 0;
            for (int a = 0; a < ny; ++a)
                for (int b = 0; b < nz; ++b) v += sgy[a] * sgz[b] * influence(ly[a], lz[b], 1.0, e, k);
            return v;
        }
        if (off_y && off_z)
            return influence(sy + dy, sz + dz, 1.0, e, k) - influence(dy, sz + dz, 1.0, e, k) -
                   influence(sy + dy, dz, 1.0, e, k) + influence(dy, dz, 1.0, e, k);
        if (off_y) return influence(sy + dy, sz, 1.0, e, k) - influence(dy, sz, 1.0, e, k);
        if (off_z) return influence(sy, sz + dz, 1.0, e, k) - influence(sy, dz, 1.0, e, k);
        return influence(sy, sz, 1.0, e, k);
    }

    static int parts(bool inside, bool off, double below, double above, double side, double d, double* len,
                     double* sign) {
        if (inside) {
            len[0] = below, sign[0] = 1.0;
            len[1] = above, sign[1] = 1.0;
            return 2;
        }
        if (off) {
            len[0] = side + d, sign[0] = 1.0;
            len[1] = d, sign[1] = -1.0;
            return 2;
        }
        len[0] = side, sign[0] = 1.0;
        return 1;
    }

    // Surface settlement at node i under a unit pressure on a polygon: in
    // polar coordinates about the node the integral of 1/r over the area is
    // the integral of the distance to the outline over the angle, which for
    // each side is its distance h from the node times the difference of
    // asinh(t / h) between its ends (t along the side from the foot of the
    // perpendicular).
    double polygon_unit(int i, const ElementShape& s) const {
        const double yi = y(i), zi = z(i);
        double ry[8], rz[8], r[8];
        for (int v = 0; v < s.vertices; ++v) {
            ry[v] = s.vy[v] - yi;
            rz[v] = s.vz[v] - zi;
            r[v] = std::hypot(ry[v], rz[v]);
        }
        double sum = 0;
        for (int v = 0; v < s.vertices; ++v) {
            const int w = (v + 1) % s.vertices;
            const double dy = ry[w] - ry[v], dz = rz[w] - rz[v];
            const double len = std::hypot(dy, dz);
            if (!(len > 0.0)) continue;
            const double h = (ry[v] * rz[w] - rz[v] * ry[w]) / len;
            if (h == 0.0) continue;  // the node lies on this side's line
            const double t1 = (ry[v] * dy + rz[v] * dz) / len, t2 = (ry[w] * dy + rz[w] * dz) / len;
            double lg;
            if (t1 >= 0.0)
                lg = std::log((t2 + r[w]) / (t1 + r[v]));
            else if (t2 <= 0.0)
                lg = std::log((r[v] - t1) / (r[w] - t2));
            else
                lg = std::log((t2 + r[w]) / std::fabs(h)) + std::log((r[v] - t1) / std::fabs(h));
            sum += h * lg;
        }
        return s.orientation * sum * k.c * (k.a + k.b) / e;
    }

    // The loaded area of element el.
    ElementShape shape(int el) const {
        ElementShape s;
        const int c1 = node(1, el), c3 = node(3, el);
        const double ya = y(c1), yb = y(c3), za = z(c1), zb = z(c3);
        bool rect = ya != yb && za != zb;
        for (int c = 1; c <= 4 && rect; ++c) {
            const double yc = y(node(c, el)), zc = z(node(c, el));
            rect = (yc == ya || yc == yb) && (zc == za || zc == zb);
        }
        // Corners 2 and 4 at the other two corners of the rectangle.
        rect = rect && y(node(2, el)) != y(node(4, el)) && z(node(2, el)) != z(node(4, el));
        for (int m = 5; m <= 8 && rect && nnode >= 8; ++m) {
            // A mid-side node on the straight side between its corners.
            const int a = node(m - 4, el), b = node(m == 8 ? 1 : m - 3, el), p = node(m, el);
            rect = y(a) == y(b) ? y(p) == y(a) : z(p) == z(a);
        }
        int order[8] = {1, 2, 3, 4, 0, 0, 0, 0};
        s.vertices = 4;
        if (nnode >= 8) {
            const int quadratic[8] = {1, 5, 2, 6, 3, 7, 4, 8};
            std::copy(quadratic, quadratic + 8, order);
            s.vertices = 8;
        }
        double twice = 0;
        for (int v = 0; v < s.vertices; ++v) {
            s.vy[v] = y(node(order[v], el));
            s.vz[v] = z(node(order[v], el));
        }
        for (int v = 0; v < s.vertices; ++v) {
            const int w = (v + 1) % s.vertices;
            twice += s.vy[v] * s.vz[w] - s.vz[v] * s.vy[w];
        }
        s.orientation = twice < 0.0 ? -1.0 : 1.0;
        s.rectangle = rect;
        if (rect) {
            s.y0 = std::min(ya, yb), s.y1 = std::max(ya, yb);
            s.z0 = std::min(za, zb), s.z1 = std::max(za, zb);
            s.area = std::fabs(yb - ya) * std::fabs(zb - za);
        } else {
            s.area = 0.5 * std::fabs(twice);
        }
        return s;
    }
};

// The corner lines of a mesh of rectangles with sides along y and z: the
// distinct corner coordinates in each direction, and for every element the
// two lines in each direction that carry its corners.  A node outside an
// element's rectangle (or on its corner lines) sees each of the rectangles
// in the element's settlement from a corner where two lines cross, so the
// settlement terms of a node can be taken from one table over the line
// crossings instead of four evaluations per element: where the elements
// stand in rows and columns the crossings are about as many as the
// elements.  An element that is no such rectangle, and a node inside an
// element's span, take the terms of the element itself.
struct CornerLines {
    std::vector<double> ys, zs;  // ascending
    struct Lines {
        int y0 = -1, y1 = -1, z0 = -1, z1 = -1;  // y0 < 0: no rectangle on lines
    };
    std::vector<Lines> of;  // per element

    // A table of crossings larger than this many per element is not worth it
    // (a free mesh has nearly as many lines as nodes).
    static constexpr double kCrossingsPerElement = 2.0;

    bool build(const HalfSpace& h, int nelem, const std::vector<ElementShape>& shapes) {
        for (int el = 1; el <= nelem; ++el)
            for (int c = 1; c <= 4; ++c) {
                ys.push_back(h.y(h.node(c, el)));
                zs.push_back(h.z(h.node(c, el)));
            }
        for (std::vector<double>* v : {&ys, &zs}) {
            std::sort(v->begin(), v->end());
            v->erase(std::unique(v->begin(), v->end()), v->end());
        }
        if (static_cast<double>(ys.size()) * static_cast<double>(zs.size()) > kCrossingsPerElement * std::max(nelem, 1))
            return false;
        of.assign(static_cast<std::size_t>(std::max(nelem, 0)), Lines{});
        auto line = [](const std::vector<double>& v, double x) {
            return static_cast<int>(std::lower_bound(v.begin(), v.end(), x) - v.begin());
        };
        for (int el = 1; el <= nelem; ++el) {
            const double y1 = h.y(h.node(1, el)), y3 = h.y(h.node(3, el));
            const double z1 = h.z(h.node(1, el)), z3 = h.z(h.node(3, el));
            if (!shapes[static_cast<std::size_t>(el - 1)].rectangle) continue;
            Lines& l = of[static_cast<std::size_t>(el - 1)];
            l.y0 = line(ys, std::min(y1, y3));
            l.y1 = line(ys, std::max(y1, y3));
            l.z0 = line(zs, std::min(z1, z3));
            l.z1 = line(zs, std::max(z1, z3));
        }
        return true;
    }
};

// The settlements of one node under a unit pressure on every element.
class InfluenceRow {
public:
    InfluenceRow(const HalfSpace& h, const CornerLines* lines, const std::vector<ElementShape>& shapes)
        : h_(h), lines_(lines), shapes_(shapes) {
        if (lines_ != nullptr) {
            a_.resize(lines_->ys.size());
            b_.resize(lines_->zs.size());
            table_.resize(a_.size() * b_.size());
        }
    }

    void fill(int i, double* row) {
        const std::size_t ne = shapes_.size();
        if (lines_ != nullptr) crossings(i);
        for (std::size_t el = 0; el < ne; ++el) {
            double v;
            if (lines_ == nullptr || !from_crossings(i, el, v)) v = h_.unit(i, static_cast<int>(el) + 1, shapes_[el]);
            row[el] = v;
        }
    }

private:
    // The rectangle with node i at one corner and the crossing of lines
    // (iy, iz) at the opposite one, for every crossing.
    void crossings(int i) {
        const double yi = h_.y(i), zi = h_.z(i);
        for (std::size_t k = 0; k < a_.size(); ++k) a_[k] = std::fabs(yi - lines_->ys[k]);
        for (std::size_t k = 0; k < b_.size(); ++k) b_[k] = std::fabs(zi - lines_->zs[k]);
        const std::size_t nz = b_.size();
        for (std::size_t iy = 0; iy < a_.size(); ++iy)
            for (std::size_t iz = 0; iz < nz; ++iz)
                table_[iy * nz + iz] = a_[iy] > 0.0 && b_[iz] > 0.0 ? influence(a_[iy], b_[iz], 1.0, h_.e, h_.k) : 0.0;
    }

    // The element's term from the table: false for an element that is no
    // rectangle on lines, or whose span holds the node inside.
    bool from_crossings(int i, std::size_t el, double& v) const {
        const CornerLines::Lines& l = lines_->of[el];
        if (l.y0 < 0) return false;
        const double yi = h_.y(i), zi = h_.z(i);
        const double dy = std::min(a_[l.y0], a_[l.y1]), dz = std::min(b_[l.z0], b_[l.z1]);
        const bool off_y = dy >= kOnLine, off_z = dz >= kOnLine;
        if (off_y && lines_->ys[l.y0] < yi && yi < lines_->ys[l.y1]) return false;
        if (off_z && lines_->zs[l.z0] < zi && zi < lines_->zs[l.z1]) return false;
        const bool low_y_near = a_[l.y0] <= a_[l.y1], low_z_near = b_[l.z0] <= b_[l.z1];
        const int ny = low_y_near ? l.y0 : l.y1, fy = low_y_near ? l.y1 : l.y0;
        const int nz = low_z_near ? l.z0 : l.z1, fz = low_z_near ? l.z1 : l.z0;
        const std::size_t w = b_.size();
        auto at = [&](int iy, int iz) {
            return table_[static_cast<std::size_t>(iy) * w + static_cast<std::size_t>(iz)];
        };
        if (off_y && off_z)
            v = at(fy, fz) - at(ny, fz) - at(fy, nz) + at(ny, nz);
        else if (off_y)
            v = at(fy, fz) - at(ny, fz);
        else if (off_z)
            v = at(fy, fz) - at(fy, nz);
        else
            v = at(fy, fz);
        return true;
    }

    const HalfSpace& h_;
    const CornerLines* lines_;
    const std::vector<ElementShape>& shapes_;
    std::vector<double> a_, b_, table_;
};

// 2 GB less a margin for what the run allocates after the soil cache.
constexpr std::size_t kRunLimit = std::size_t(2000) << 20;
constexpr std::size_t kMargin = std::size_t(160) << 20;
// Below this many node-element pairs one thread does the sum.
constexpr double kPairsPerThread = 4.0e5;

// Resident bytes of the process (0 when unknown).
std::size_t resident_bytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    unsigned long long size = 0, resident = 0;
    const int n = std::fscanf(f, "%llu %llu", &size, &resident);
    std::fclose(f);
    if (n != 2) return 0;
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Bytes the cache may take now.
std::size_t cache_budget(std::size_t budget) {
    if (budget != kAutomaticCacheBudget) return budget;
    const std::size_t used = resident_bytes() + kMargin;
    return used < kRunLimit ? kRunLimit - used : 0;
}

// The threads given, or every core for a sum big enough to share.
int thread_count(int threads, double pairs, int npoin) {
    int n = threads;
    if (n <= 0) {
        n = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        n = static_cast<int>(std::min<double>(n, std::max(1.0, pairs / kPairsPerThread)));
    }
    return std::max(1, std::min(n, npoin));
}

// The settlement sum of a node runs in kLanes running totals, element el
// adding into total el % kLanes in increasing order, and the totals are
// added pairwise at the end.  The totals are independent, so the additions
// overlap instead of each waiting for the one before; the order is fixed by
// the element numbers alone, so kept and fresh rows and every thread count
// give the same bits.
constexpr std::size_t kLanes = 8;

double lane_total(const double (&lane)[kLanes]) {
    return ((lane[0] + lane[1]) + (lane[2] + lane[3])) + ((lane[4] + lane[5]) + (lane[6] + lane[7]));
}

// The settlement of one node from its row of influences.  Built for AVX2
// as well where the processor has it (no fused multiply-add: the same bits).
__attribute__((target_clones("avx2", "default"))) double row_settlement(const double* pressure, const double* g,
                                                                        std::size_t ne) {
    double lane[kLanes] = {};
    std::size_t el = 0;
    for (; el + kLanes <= ne; el += kLanes)
        for (std::size_t j = 0; j < kLanes; ++j) lane[j] += pressure[el + j] * g[el + j];
    for (; el < ne; ++el) lane[el % kLanes] += pressure[el] * g[el];
    return lane_total(lane);
}

// Every element needs an area; its pressure is its load over that area.
// Gives the shapes and the pressures, or the number of the first element
// without area.
int element_pressures(const HalfSpace& h, int nelem, const double* element_load, std::vector<ElementShape>& shapes,
                      std::vector<double>& pressure) {
    for (int el = 1; el <= nelem; ++el) {
        ElementShape& s = shapes[static_cast<std::size_t>(el - 1)];
        s = h.shape(el);
        if (!(s.area > 0.0) || !std::isfinite(s.area)) return el;
        pressure[static_cast<std::size_t>(el - 1)] =
            s.rectangle ? element_load[el - 1] / (s.y1 - s.y0) / (s.z1 - s.z0) : element_load[el - 1] / s.area;
    }
    return 0;
}

// A cache that does not hold this mesh and soil is made over for it: room
// for the rows of as many nodes as the budget allows.  True when this call
// is to fill those rows.
bool prepare_cache(MindlinCache& cache, std::size_t budget, int npoin, int nelem, const double* coord, const int* lnods,
                   double e, double nu) {
    if (cache.matches(npoin, nelem, coord, lnods, e, nu)) return false;
    cache.reset();
    bool fill = false;
    const std::size_t ne = static_cast<std::size_t>(std::max(nelem, 0));
    const std::size_t row_bytes = std::max<std::size_t>(ne, 1) * sizeof(double);
    const std::size_t fit = cache_budget(budget) / row_bytes;
    const int want = static_cast<int>(std::min<std::size_t>(fit, static_cast<std::size_t>(npoin)));
    if (want > 0 && ne > 0) {
        // Not zero-filled: every entry is written by the filling pass.
        cache.influence.reset(new (std::nothrow) double[static_cast<std::size_t>(want) * ne]);
        if (cache.influence) {
            cache.rows = want;
            fill = true;
        }
    }
    cache.npoin = npoin;
    cache.nelem = nelem;
    cache.coord = coord;
    cache.lnods = lnods;
    cache.e = e;
    cache.nu = nu;
    return fill;
}

// Runs work(from, to) over the nodes 1 .. npoin in `threads` shares, this
// thread taking the first; where no more threads can be had, this one does
// the rest.
template <class Work>
void share_nodes(int npoin, int threads, const Work& work) {
    if (threads <= 1) {
        work(1, npoin);
        return;
    }
    std::vector<std::thread> pool;
    const int share = (npoin + threads - 1) / threads;
    int t = 1;
    try {
        for (; t < threads; ++t) {
            const int from = t * share + 1, to = std::min(npoin, (t + 1) * share);
            if (from <= to) pool.emplace_back(work, from, to);
        }
    } catch (const std::system_error&) {
        for (; t < threads; ++t) work(t * share + 1, std::min(npoin, (t + 1) * share));
    }
    work(1, std::min(npoin, share));
    for (std::thread& worker : pool) worker.join();
}

}  // namespace

void mindlin_soil(double* settlement, const double* element_load, const double* coord, const int* lnods, double e,
                  double nu, int nnode, int nelem, int ndime, int npoin, int& bad_element, MindlinSums* sums) {
    bad_element = 0;
    if (npoin <= 0) return;
    const auto t0 = std::chrono::steady_clock::now();
    const HalfSpace h{coord, lnods, nnode, ndime, e, constants_of(nu)};
    const std::size_t ne = static_cast<std::size_t>(std::max(nelem, 0));
    std::vector<ElementShape> shapes(ne);
    std::vector<double> pressure(ne);
    bad_element = element_pressures(h, nelem, element_load, shapes, pressure);
    if (bad_element != 0) return;

    // The influences of the first `rows` nodes are kept, once per mesh and
    // soil, as far as the budget goes.
    MindlinCache* cache = sums != nullptr ? &sums->cache : nullptr;
    const bool fill = cache != nullptr && prepare_cache(*cache, sums->cache_budget, npoin, nelem, coord, lnods, e, nu);
    const int rows = cache != nullptr ? cache->rows : 0;
    const double* kept = cache != nullptr ? cache->influence.get() : nullptr;
    double* keep = fill ? cache->influence.get() : nullptr;

    // Rows computed in this call (to be kept, or beyond the cache) take
    // their terms from the corner lines where the mesh has them.
    CornerLines lines;
    const bool use_lines = (fill || rows < npoin) && lines.build(h, nelem, shapes);

    // Each node's sum runs over the elements in order, whoever computes it,
    // and whether its row is kept or computed afresh.
    auto settle = [&](int from, int to) {
        InfluenceRow maker(h, use_lines ? &lines : nullptr, shapes);
        std::vector<double> scratch;
        for (int i = from; i <= to; ++i) {
            const double* row = i <= rows ? kept + static_cast<std::size_t>(i - 1) * ne : nullptr;
            if (row == nullptr || fill) {
                double* out = i <= rows ? keep + static_cast<std::size_t>(i - 1) * ne : nullptr;
                if (out == nullptr) {
                    scratch.resize(ne);
                    out = scratch.data();
                }
                maker.fill(i, out);
                row = out;
            }
            settlement[i - 1] = row_settlement(pressure.data(), row, ne);
        }
    };
    const int threads = sums != nullptr ? std::max(0, sums->threads) : 0;
    share_nodes(npoin, thread_count(threads, static_cast<double>(npoin) * static_cast<double>(ne), npoin), settle);
    if (sums == nullptr) return;
    sums->times.settlement_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++sums->times.updates;
    sums->times.cached_rows = rows;
}

namespace {

// Whether `q` was made from this mesh, as it stands now.
bool quarters_match(const MindlinQuarters& q, const double* coord, const int* lnods, int nnode, int nelem, int ndime,
                    int npoin) {
    const std::size_t coord_count = static_cast<std::size_t>(npoin) * static_cast<std::size_t>(ndime);
    const std::size_t node_count = static_cast<std::size_t>(nelem) * static_cast<std::size_t>(nnode);
    return q.nnode == nnode && q.ndime == ndime && q.source_xyz.size() == coord_count &&
           q.source_nodes.size() == node_count && std::equal(coord, coord + coord_count, q.source_xyz.begin()) &&
           std::equal(lnods, lnods + node_count, q.source_nodes.begin());
}

// The node lists of 4-node elements as nine slots (corners, then the
// mid-points of the sides, added to q.coord as points of the element's own,
// then the centre slot unused), so that their quarters are made as those of
// 8-node elements.
std::vector<int> linear_node_lists(MindlinQuarters& q, const double* coord, const int* lnods, std::size_t ne,
                                   std::size_t nd) {
    const std::size_t base = q.coord.size() / nd;
    q.coord.resize((base + 4 * ne) * nd, 0.0);
    std::vector<int> lists(9 * ne, 0);
    for (std::size_t el = 0; el < ne; ++el) {
        const int* nodes = lnods + el * 4;
        int* l = &lists[9 * el];
        for (std::size_t c = 0; c < 4; ++c) {
            l[c] = nodes[c];
            l[4 + c] = static_cast<int>(base + 4 * el + c) + 1;
            double* m = &q.coord[static_cast<std::size_t>(l[4 + c] - 1) * nd];
            for (std::size_t d = 0; d < nd; ++d)
                m[d] = 0.5 * (coord[static_cast<std::size_t>(nodes[c] - 1) * nd + d] +
                              coord[static_cast<std::size_t>(nodes[(c + 1) % 4] - 1) * nd + d]);
        }
    }
    return lists;
}

// The centre of an element's map from its eight nodes (the mid-side nodes'
// mean less the corners' quarter), on the line of two opposite mid-side
// nodes where they share a coordinate, written at node `centre` of q.coord.
void place_centre(MindlinQuarters& q, const int* nodes, int centre, std::size_t nd) {
    double* c = &q.coord[static_cast<std::size_t>(centre - 1) * nd];
    for (std::size_t d = 0; d < nd; ++d) {
        auto at = [&](int a) { return q.coord[static_cast<std::size_t>(nodes[a - 1] - 1) * nd + d]; };
        c[d] = 0.5 * (at(5) + at(6) + at(7) + at(8)) - 0.25 * (at(1) + at(2) + at(3) + at(4));
        if (at(5) == at(7))
            c[d] = at(5);
        else if (at(6) == at(8))
            c[d] = at(6);
    }
}

// The quarters' nodes renumbered corners first (the nodes at a corner of a
// quarter's first vertex, in the order of q.coord), then the others; the
// corners' numbers in the mesh go to q.mesh_node.
void number_corners_first(MindlinQuarters& q) {
    const std::size_t nd = static_cast<std::size_t>(q.ndime), total = q.coord.size() / nd;
    std::vector<int> number(total, 0);
    for (std::size_t k = 0; k < q.lnods.size(); k += 4) number[static_cast<std::size_t>(q.lnods[k] - 1)] = -1;
    int next = 0;
    q.mesh_node.clear();
    for (std::size_t p = 0; p < total; ++p)
        if (number[p] == -1) {
            number[p] = ++next;
            q.mesh_node.push_back(static_cast<int>(p) + 1);
        }
    q.corners = next;
    for (std::size_t p = 0; p < total; ++p)
        if (number[p] == 0) number[p] = ++next;
    std::vector<double> renumbered(q.coord.size());
    for (std::size_t p = 0; p < total; ++p)
        std::copy_n(&q.coord[p * nd], nd, &renumbered[static_cast<std::size_t>(number[p] - 1) * nd]);
    q.coord = std::move(renumbered);
    for (int& node : q.lnods) node = number[static_cast<std::size_t>(node - 1)];
}

// The quarters of the elements (see MindlinQuarters), made for this mesh
// unless they are already; true when they are made anew.
bool make_quarters(MindlinQuarters& q, const double* coord, const int* lnods, int nnode, int nelem, int ndime,
                   int npoin) {
    if (quarters_match(q, coord, lnods, nnode, nelem, ndime, npoin)) return false;
    q.reset();
    const std::size_t nd = static_cast<std::size_t>(ndime), ne = static_cast<std::size_t>(nelem);
    const std::size_t np = static_cast<std::size_t>(npoin);
    q.nnode = nnode;
    q.ndime = ndime;
    q.source_xyz.assign(coord, coord + np * nd);
    q.source_nodes.assign(lnods, lnods + ne * static_cast<std::size_t>(nnode));
    // The mesh's nodes, one centre per element without a centre node, then
    // the side mid-points of 4-node elements.
    const bool centre_node = nnode >= 9;
    q.coord.assign(coord, coord + np * nd);
    if (!centre_node) q.coord.resize((np + ne) * nd, 0.0);
    const std::vector<int> linear = nnode == 4 ? linear_node_lists(q, coord, lnods, ne, nd) : std::vector<int>{};
    q.lnods.resize(16 * ne);
    q.load.assign(4 * ne, 0.0);
    for (std::size_t el = 0; el < ne; ++el) {
        const int* nodes = nnode == 4 ? &linear[9 * el] : lnods + el * static_cast<std::size_t>(nnode);
        const int centre = centre_node ? nodes[8] : npoin + static_cast<int>(el) + 1;
        if (!centre_node) place_centre(q, nodes, centre, nd);
        for (int c = 1; c <= 4; ++c) {
            int* quarter = &q.lnods[(4 * el + static_cast<std::size_t>(c - 1)) * 4];
            quarter[0] = nodes[c - 1];
            quarter[1] = nodes[c + 3];  // mid-side node after the corner
            quarter[2] = centre;
            quarter[3] = nodes[c == 1 ? 7 : c + 2];  // mid-side node before it
        }
    }
    number_corners_first(q);
    q.settlement.assign(static_cast<std::size_t>(q.corners), 0.0);
    return true;
}

// Area of quarter k (shoelace over its four nodes in (y, z)).
double quarter_area(const MindlinQuarters& q, std::size_t k) {
    const std::size_t nd = static_cast<std::size_t>(q.ndime);
    double twice = 0;
    for (int v = 0; v < 4; ++v) {
        const std::size_t a = static_cast<std::size_t>(q.lnods[4 * k + static_cast<std::size_t>(v)] - 1);
        const std::size_t b = static_cast<std::size_t>(q.lnods[4 * k + static_cast<std::size_t>((v + 1) % 4)] - 1);
        twice += q.coord[a * nd + 1] * q.coord[b * nd + 2] - q.coord[a * nd + 2] * q.coord[b * nd + 1];
    }
    return 0.5 * std::fabs(twice);
}

}  // namespace

void mindlin_quarter_soil(double* settlement, const double* element_load, const double* corner_pressure,
                          const double* coord, const int* lnods, double e, double nu, int nnode, int nelem, int ndime,
                          int npoin, int& bad_element, MindlinQuarters& quarters, MindlinSums* sums) {
    bad_element = 0;
    if (npoin <= 0) return;
    // A mesh changed in place gives new quarters, whose influences are not
    // those kept.
    if (make_quarters(quarters, coord, lnods, nnode, nelem, ndime, npoin) && sums != nullptr) sums->cache.reset();
    for (std::size_t el = 0; el < static_cast<std::size_t>(std::max(nelem, 0)); ++el) {
        double area[4], weight[4], total = 0, total_area = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            area[c] = quarter_area(quarters, 4 * el + c);
            const int corner = lnods[el * static_cast<std::size_t>(nnode) + c];
            weight[c] = corner_pressure[corner - 1] * (nnode == 4 ? 1.0 : area[c]);
            total += weight[c];
            total_area += area[c];
        }
        for (std::size_t c = 0; c < 4; ++c) {
            const double share = total != 0.0 ? weight[c] / total : total_area > 0.0 ? area[c] / total_area : 0.25;
            quarters.load[4 * el + c] = element_load[el] * share;
        }
    }
    mindlin_soil(quarters.settlement.data(), quarters.load.data(), quarters.coord.data(), quarters.lnods.data(), e, nu,
                 4, 4 * nelem, ndime, quarters.corners, bad_element, sums);
    if (bad_element > 0) {
        bad_element = (bad_element - 1) / 4 + 1;
        return;
    }
    std::fill(settlement, settlement + npoin, 0.0);
    for (std::size_t k = 0; k < quarters.mesh_node.size(); ++k)
        settlement[quarters.mesh_node[k] - 1] = quarters.settlement[k];
}

int mindlin_input_errors(RunState& st) {
    if (st.isoil != 1) return 0;
    int errors = 0;
    auto error = [&](const std::string& text) {
        report_run_error(st, "*** error in soil values: " + text);
        ++errors;
    };
    if (!(st.esoil > 0.0)) error("Young's modulus of the Mindlin soil must be above 0");
    if (!(st.psoil < 1.0) || !(st.psoil > -1.0)) error("Poisson's ratio of the Mindlin soil must lie between -1 and 1");
    return errors;
}

}  // namespace parvane
