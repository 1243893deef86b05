#include "solver/cuts/cut_lsq.h"

#include <algorithm>
#include <cmath>

#include "solver/cuts/cut_lsq_system.h"
#include "solver/cuts/local_coords.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

constexpr double kSameEnd = 1.0e-10;
constexpr double kSamePoint = 1.0e-8;

double distance(double y1, double z1, double y2, double z2) { return std::hypot(y1 - y2, z1 - z2); }

}  // namespace

std::vector<CutPoint> least_squares_points(RunState& st, const std::vector<CutStretch>& stretches, int& status) {
    const int n = st.ngrid;
    const int nnode = st.nnode;
    const double ys = st.cutpt[0], zs = st.cutpt[2];
    const std::size_t m = stretches.size();
    if (n <= 0 || m == 0) return {};

    std::vector<CutPoint> rows(static_cast<std::size_t>(n) * m);
    std::vector<double> ya(m), za(m), yb(m), zb(m);
    std::vector<double> xi(static_cast<std::size_t>(n)), eta(static_cast<std::size_t>(n));
    std::vector<double> points(static_cast<std::size_t>(3 * n)), fitted(static_cast<std::size_t>(5 * n));

    for (std::size_t i = 0; i < m; ++i) {
        const CutStretch& s = stretches[i];
        const int e = s.element;
        order_stretch_ends(s, ys, zs, ya[i], za[i], yb[i], zb[i]);

        // Patch: the element and every element that shares a node with it.
        std::vector<int> patch;
        for (int a = 1; a <= nnode; ++a) {
            const int p = st.lnods(a, e);
            if (p < 1 || p > st.node_element_list.npoin()) continue;
            for (int q : st.node_element_list.row(p))
                if (std::find(patch.begin(), patch.end(), q) == patch.end()) patch.push_back(q);
        }
        if (std::find(patch.begin(), patch.end(), e) == patch.end()) patch.insert(patch.begin(), e);

        // Nodal values of the element.
        double geometry[18] = {};
        element_geometry(st, e, geometry);
        double disp[9] = {}, roty[9] = {}, rotz[9] = {}, soil[9] = {};
        for (int a = 1; a <= nnode && a <= 9; ++a) {
            const int p = st.lnods(a, e);
            disp[a - 1] = st.disp_vectors((p - 1) * 6 + 1, 1);
            roty[a - 1] = st.disp_vectors((p - 1) * 6 + 5, 1);
            rotz[a - 1] = st.disp_vectors((p - 1) * 6 + 6, 1);
            soil[a - 1] = st.nodal_soil_results(p);
        }

        local_coords(nnode, n, geometry, ya[i], za[i], yb[i], zb[i], xi.data(), eta.data());
        for (int k = 0; k < n; ++k) {
            double nv[9] = {};
            point_shape_values(nnode, xi[static_cast<std::size_t>(k)], eta[static_cast<std::size_t>(k)], nv);
            CutPoint& r = rows[i * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)];
            r.element = e;
            for (int a = 0; a < nnode && a < 9; ++a) {
                r.y += nv[a] * geometry[a];
                r.z += nv[a] * geometry[9 + a];
                r.v[0] += nv[a] * disp[a];
                r.v[1] += nv[a] * roty[a];
                r.v[2] += nv[a] * rotz[a];
                r.v[8] += nv[a] * soil[a];
            }
            points[static_cast<std::size_t>(3 * k)] = 0.0;
            points[static_cast<std::size_t>(3 * k + 1)] = r.y;
            points[static_cast<std::size_t>(3 * k + 2)] = r.z;
        }
        lsq_setup(st, patch, n, points.data(), fitted.data(), status);
        if (status > 0) return {};
        for (int k = 0; k < n; ++k)
            for (int c = 0; c < 5; ++c)
                rows[i * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)].v[3 + c] =
                    fitted[static_cast<std::size_t>(5 * k + c)];
    }

    // Origin of S, from the first stretch: the top end of a vertical cut, the
    // left end of any other.
    double y0 = 0.0, z0 = 0.0;
    if (std::fabs(ya[0] - yb[0]) < kSameEnd) {
        y0 = ya[0];
        z0 = -1.0e30;
        for (std::size_t i = 0; i < m; ++i) z0 = std::max({z0, za[i], zb[i]});
    } else if (std::fabs(za[0] - zb[0]) < kSameEnd) {
        z0 = za[0];
        y0 = 1.0e30;
        for (std::size_t i = 0; i < m; ++i) y0 = std::min({y0, ya[i], yb[i]});
    } else {
        y0 = ya[0];
        z0 = za[0];
        for (std::size_t i = 1; i < m; ++i)
            if (ya[i] < y0) y0 = ya[i], z0 = za[i];
        for (std::size_t i = 0; i < m; ++i)
            if (yb[i] < y0) y0 = yb[i], z0 = zb[i];
    }

    // Merge coincident points: their displacements and resultants are averaged.
    std::vector<char> live(rows.size(), 1);
    for (std::size_t g = 0; g < rows.size(); ++g) {
        if (!live[g]) continue;
        CutPoint& r = rows[g];
        r.s = distance(r.y, r.z, y0, z0);
        int merged = 0;
        for (std::size_t h = g + 1; h < rows.size(); ++h) {
            if (!live[h] || !(distance(rows[h].y, rows[h].z, r.y, r.z) < kSamePoint)) continue;
            for (int c = 0; c < 8; ++c) r.v[c] += rows[h].v[c];
            live[h] = 0;
            ++merged;
        }
        if (merged > 0)
            for (int c = 0; c < 8; ++c) r.v[c] /= static_cast<double>(1 + merged);
    }
    std::vector<CutPoint> out;
    for (std::size_t g = 0; g < rows.size(); ++g)
        if (live[g]) out.push_back(rows[g]);

    // Order by S; rows with equal S keep their places.
    for (std::size_t i = 0; i < out.size(); ++i)
        for (std::size_t j = i + 1; j < out.size(); ++j)
            if (out[j].s < out[i].s) std::swap(out[i], out[j]);
    return out;
}

void cut_least_squares(RunState& st, int count, int& status) {
    std::vector<CutStretch> stretches;
    read_cut_stretches(st, count, stretches, status);
    if (status > 0) {
        delete_cut_scratch(st);
        return;
    }
    const std::vector<CutPoint> points = least_squares_points(st, stretches, status);
    delete_cut_scratch(st);
    if (status > 0) return;
    write_cut_block(st, points, status);
}

}  // namespace parvane
