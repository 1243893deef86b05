// Small plate meshes and helpers for the element-loop tests.
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "solver/elements/element_matrices.h"
#include "solver/elements/interpolation.h"
#include "solver/run/state.h"

namespace element_test {

using parvane::RunState;

// The element frame (X, Y) maps to global (x, y, z) = (0, X, -Y); a node's
// local freedoms (u, v, w, rx, ry, rz) are global (-w, u, -v, -rz, rx, -ry).
inline void local_to_global_dofs(const double l[6], double g[6]) {
    g[0] = -l[2];
    g[1] = l[0];
    g[2] = -l[1];
    g[3] = -l[5];
    g[4] = l[3];
    g[5] = -l[4];
}

struct GridSpec {
    int nx = 2, ny = 2;         // elements per direction
    int nnode = 4;              // 4, 8 or 9
    double lx = 2.0, ly = 2.0;  // extent in the element frame
    double young = 1000.0, nu = 0.3, thick = 0.1;
    int ngaus = 2, ngaus2 = 2;
    // Moves a corner point of the coarse grid (X, Y) -> (X', Y'); mid-side and
    // centre nodes stay at the mid-points of straight sides.
    std::function<std::pair<double, double>(double, double)> distort;
};

struct Grid {
    std::vector<double> x, y;  // element-frame coordinates of node p at [p - 1]
    // node number at fine grid position (i, j), 0 when absent
    std::map<std::pair<int, int>, int> at;
};

// Fills st with a rectangular mesh, one isotropic material, and allocates the
// work arrays; the caller may add springs before calling allocate (counts) --
// see build_grid's `counts` hook.
inline Grid build_grid(RunState& st, const GridSpec& g, const std::function<void(RunState&)>& counts = {}) {
    Grid grid;
    const bool quadratic = g.nnode > 4;
    const int step = quadratic ? 2 : 1;
    const int fx = g.nx * step, fy = g.ny * step;
    auto corner_xy = [&](int ci, int cj) {
        double X = g.lx * ci / g.nx, Y = g.ly * cj / g.ny;
        if (g.distort) std::tie(X, Y) = g.distort(X, Y);
        return std::make_pair(X, Y);
    };
    auto wanted = [&](int i, int j) {
        if (!quadratic) return true;
        if (g.nnode == 9) return true;
        return !(i % 2 == 1 && j % 2 == 1);
    };
    for (int j = 0; j <= fy; ++j)
        for (int i = 0; i <= fx; ++i) {
            if (!wanted(i, j)) continue;
            double X, Y;
            if (!quadratic) {
                std::tie(X, Y) = corner_xy(i, j);
            } else {
                // average of the surrounding coarse corners
                const int i0 = i / 2, j0 = j / 2, i1 = (i + 1) / 2, j1 = (j + 1) / 2;
                auto a = corner_xy(i0, j0), b = corner_xy(i1, j0), c = corner_xy(i1, j1), d = corner_xy(i0, j1);
                X = 0.25 * (a.first + b.first + c.first + d.first);
                Y = 0.25 * (a.second + b.second + c.second + d.second);
            }
            grid.x.push_back(X);
            grid.y.push_back(Y);
            grid.at[{i, j}] = static_cast<int>(grid.x.size());
        }
    st.nnode = g.nnode;
    st.npoin = static_cast<int>(grid.x.size());
    st.nelem = g.nx * g.ny;
    st.nmats = 1;
    st.ngaus = g.ngaus;
    st.ngaus2 = g.ngaus2;
    if (counts) counts(st);
    parvane::set_fixed_values(st);
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    for (int p = 1; p <= st.npoin; ++p) {
        st.coord(1, p) = 0.0;
        st.coord(2, p) = grid.x[static_cast<std::size_t>(p - 1)];
        st.coord(3, p) = -grid.y[static_cast<std::size_t>(p - 1)];
    }
    int e = 0;
    for (int cj = 0; cj < g.ny; ++cj)
        for (int ci = 0; ci < g.nx; ++ci) {
            ++e;
            const int i = ci * step, j = cj * step;
            std::vector<std::pair<int, int>> pos;
            if (!quadratic) {
                pos = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
            } else {
                pos = {{i, j},     {i + 2, j},     {i + 2, j + 2}, {i, j + 2},
                       {i + 1, j}, {i + 2, j + 1}, {i + 1, j + 2}, {i, j + 1}};
                if (g.nnode == 9) pos.push_back({i + 1, j + 1});
            }
            for (int a = 0; a < g.nnode; ++a) st.lnods(a + 1, e) = grid.at.at(pos[static_cast<std::size_t>(a)]);
            st.element_material(e) = 1;
        }
    st.props(1, 1) = g.young;
    st.props(2, 1) = g.nu;
    st.props(3, 1) = g.thick;
    const char* iso = "ISOTP";
    for (int c = 0; c < 5; ++c) st.material_type_names(c + 1, 1) = iso[c];
    parvane::gauss_points(st);
    return grid;
}

// Unformatted unit 3 on a scratch file removed with the object.
struct ScratchUnit3 {
    std::filesystem::path path;
    RunState& st;
    explicit ScratchUnit3(RunState& s, const std::string& name) : st(s) {
        path =
            std::filesystem::temp_directory_path() / ("elements_" + name + "_" + std::to_string(::getpid()) + ".fort3");
        st.units.open(parvane::kUnitFort3, path.string(), fio::OpenStatus::Unknown, fio::Form::Unformatted);
    }
    ~ScratchUnit3() {
        st.units.close(parvane::kUnitFort3, fio::CloseStatus::Delete);
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

// Formatted unit on a scratch file, read back as lines.
struct ScratchText {
    std::filesystem::path path;
    RunState& st;
    int unit;
    ScratchText(RunState& s, int u, const std::string& name) : st(s), unit(u) {
        path =
            std::filesystem::temp_directory_path() / ("elements_" + name + "_" + std::to_string(::getpid()) + ".txt");
        st.units.open(unit, path.string(), fio::OpenStatus::Unknown, fio::Form::Formatted);
    }
    std::vector<std::string> lines() {
        st.units.flush(unit);
        std::vector<std::string> out;
        if (FILE* f = std::fopen(path.string().c_str(), "r")) {
            char buf[512];
            while (std::fgets(buf, sizeof buf, f)) {
                std::string s(buf);
                while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
                out.push_back(s);
            }
            std::fclose(f);
        }
        return out;
    }
    ~ScratchText() {
        st.units.close(unit, fio::CloseStatus::Delete);
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

// Loads the coordinates of element e into the shape block, as the element
// loop does.
inline void load_element(RunState& st, int e) { parvane::load_element_coordinates(st, e); }

// The items of one element record of unit 3.
struct ElementRecordItems {
    std::vector<double> bending = std::vector<double>(parvane::kRecordBending);
    std::vector<double> shear = std::vector<double>(parvane::kRecordShear);
    std::vector<double> membrane = std::vector<double>(parvane::kRecordMembrane);
    std::vector<double> points = std::vector<double>(parvane::kRecordPoints);
    std::vector<double> quad4 = std::vector<double>(parvane::kRecordQuad4);
};

// Reads the next element record of unit 3 (with item 5 when quad4); returns
// the unit's status, 0 when the record was read.
inline int read_element_record(RunState& st, ElementRecordItems& r, bool quad4) {
    const parvane::RecordItems n = parvane::record_items(st.ngaus, st.ngaus2);
    const std::span<std::byte> parts[5] = {
        fio::bytes_of(r.bending.data(), n.bending), fio::bytes_of(r.shear.data(), n.shear),
        fio::bytes_of(r.membrane.data(), n.membrane), fio::bytes_of(r.points.data(), n.points),
        fio::bytes_of(r.quad4.data(), r.quad4.size())};
    return st.units.read_record(parvane::kUnitFort3, std::span<const std::span<std::byte>>(parts, quad4 ? 5 : 4));
}

// Element matrix of element e as a dense nevab x nevab vector (column-major).
inline std::vector<double> element_matrix(const RunState& st, int e) {
    const int n = st.nevab;
    std::vector<double> k(static_cast<std::size_t>(n * n));
    for (int c = 1; c <= n; ++c)
        for (int r = 1; r <= n; ++r) k[static_cast<std::size_t>((c - 1) * n + r - 1)] = st.estiff(r, c, e);
    return k;
}

// Eigenvalues of a symmetric matrix (Jacobi).
inline std::vector<double> eigenvalues(std::vector<double> a, int n) {
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0, diag = 0.0;
        for (int p = 0; p < n; ++p) {
            diag += a[static_cast<std::size_t>(p * n + p)] * a[static_cast<std::size_t>(p * n + p)];
            for (int q = p + 1; q < n; ++q)
                off += a[static_cast<std::size_t>(q * n + p)] * a[static_cast<std::size_t>(q * n + p)];
        }
        if (off <= 1e-30 * diag) break;
        for (int p = 0; p < n; ++p)
            for (int q = p + 1; q < n; ++q) {
                const double apq = a[static_cast<std::size_t>(q * n + p)];
                if (apq == 0.0) continue;
                const double th =
                    (a[static_cast<std::size_t>(q * n + q)] - a[static_cast<std::size_t>(p * n + p)]) / (2 * apq);
                const double t = (th >= 0 ? 1.0 : -1.0) / (std::fabs(th) + std::sqrt(th * th + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < n; ++k) {
                    double& akp = a[static_cast<std::size_t>(p * n + k)];
                    double& akq = a[static_cast<std::size_t>(q * n + k)];
                    const double x = akp, y = akq;
                    akp = c * x - s * y;
                    akq = s * x + c * y;
                }
                for (int k = 0; k < n; ++k) {
                    double& apk = a[static_cast<std::size_t>(k * n + p)];
                    double& aqk = a[static_cast<std::size_t>(k * n + q)];
                    const double x = apk, y = aqk;
                    apk = c * x - s * y;
                    aqk = s * x + c * y;
                }
            }
    }
    std::vector<double> ev(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) ev[static_cast<std::size_t>(i)] = a[static_cast<std::size_t>(i * n + i)];
    return ev;
}

}  // namespace element_test
