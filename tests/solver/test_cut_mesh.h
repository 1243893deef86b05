// Small plate meshes in the y-z plane for the soil and section-cut tests.
#pragma once

#include <cmath>
#include <functional>

#include "solver/results/gauss_interp_setup.h"
#include "solver/elements/interpolation.h"
#include "solver/run/state.h"

namespace cut_test {

// A grid of ny x nz square 4-node elements of side h whose first node lies at
// (y0, z0); rows run towards -z, so that the corners, taken from local
// (-1, -1), turn counter-clockwise in the element frame (y, -z).  Nodes row
// by row (y fastest), elements row by row.  Arrays allocated as the
// driver does, ngaus = ngaus2 = 2, interpolation tables built.
inline void make_grid(parvane::RunState& st, int ny, int nz, double h = 1.0, double y0 = 0.0, double z0 = 0.0) {
    st.nnode = 4;
    st.npoin = (ny + 1) * (nz + 1);
    st.nelem = ny * nz;
    st.nmats = 1;
    st.ngaus = 2;
    st.ngaus2 = 2;
    parvane::set_fixed_values(st);
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= ny; ++i) {
            const int p = j * (ny + 1) + i + 1;
            st.coord(1, p) = 0.0;
            st.coord(2, p) = y0 + i * h;
            st.coord(3, p) = z0 - j * h;
            st.node_ids(p) = p;
        }
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < ny; ++i) {
            const int e = j * ny + i + 1;
            const int p = j * (ny + 1) + i + 1;
            st.lnods(1, e) = p;
            st.lnods(2, e) = p + 1;
            st.lnods(3, e) = p + ny + 2;
            st.lnods(4, e) = p + ny + 1;
            st.element_ids(e) = e;
            st.element_material(e) = 1;
        }
    parvane::gauss_points(st);
    parvane::stress_interp_setup(st);
    parvane::stress_interpolation(st);
}

// One 8-node element whose nodes 1..8 lie at the given (y, z), arrays
// allocated as the driver does, ngaus = ngaus2 = 2.
inline void make_quad8(parvane::RunState& st, const double (&yz)[8][2]) {
    st.nnode = 8;
    st.npoin = 8;
    st.nelem = 1;
    st.nmats = 1;
    st.ngaus = st.ngaus2 = 2;
    parvane::set_fixed_values(st);
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    for (int p = 1; p <= 8; ++p) {
        st.coord(2, p) = yz[p - 1][0];
        st.coord(3, p) = yz[p - 1][1];
        st.lnods(p, 1) = p;
    }
}

// Nodal results from fields of (y, z): x deflection, the two rotations, the
// five resultants and the soil pressure.
struct Fields {
    std::function<double(double, double)> disp, roty, rotz, resultant[5], soil;
};

inline void set_nodal_fields(parvane::RunState& st, const Fields& f) {
    for (int p = 1; p <= st.npoin; ++p) {
        const double y = st.coord(2, p), z = st.coord(3, p);
        st.disp_vectors((p - 1) * 6 + 1, 1) = f.disp(y, z);
        st.disp_vectors((p - 1) * 6 + 5, 1) = f.roty(y, z);
        st.disp_vectors((p - 1) * 6 + 6, 1) = f.rotz(y, z);
        for (int c = 0; c < 5; ++c) st.nodal_stresses(4 + c, p) = f.resultant[c](y, z);
        st.nodal_soil_results(p) = f.soil(y, z);
    }
}

// Resultants at every stress point from fields of (y, z).
inline void set_gauss_fields(parvane::RunState& st, const std::function<double(double, double)> (&r)[5]) {
    const int ngsq = st.ngaus * st.ngaus;
    for (int e = 1; e <= st.nelem; ++e)
        for (int g = 1; g <= ngsq; ++g) {
            const double y = st.gauss_point_positions(1, g, e), z = st.gauss_point_positions(2, g, e);
            for (int c = 0; c < 5; ++c) st.gauss_stresses(4 + c, g, e) = r[c](y, z);
        }
}

}  // namespace cut_test

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "test_input_support.h"

namespace cut_test {

// The sides without a neighbour of a grid of ny x nz elements (the element
// order of make_grid), as (element, side) in element order.
inline std::vector<std::pair<int, int>> free_sides(int ny, int nz) {
    std::vector<std::pair<int, int>> edges;
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < ny; ++i) {
            const int el = j * ny + i + 1;
            if (j == 0) edges.push_back({el, 1});
            if (i == ny - 1) edges.push_back({el, 2});
            if (j == nz - 1) edges.push_back({el, 3});
            if (i == 0) edges.push_back({el, 4});
        }
    return edges;
}

// Numeric input of a slab of ny x nz square 4-node elements of side h (the
// node and element order of make_grid), every node held in its plane (y, z
// displacement and the rotation about x restrained), a uniform load q on
// every element, and the given soil and cut lines.
struct SlabInput {
    int ny = 4, nz = 4;
    double h = 1.0;
    double e = 3.0e7, nu = 0.2, t = 0.5;
    double q = -100.0;
    int isoil = 0;
    std::vector<double> soil;  // the soil record (3 values for kind 1, 5 for kind 2)
    bool soil_edges = false;   // the free sides as soil-spring edges (kind 2)
    double dt = 1.0, tini = 0.0, tend = 1.0, dtmin = 0.1;
    int maxiter = 30;
    double toler = 1e-4;
    int method = 1, grid = 5;
    std::vector<std::vector<double>> cuts;  // start y, start z, end y, end z

    std::string text() const {
        std::ostringstream o;
        o.precision(12);
        const int npoin = (ny + 1) * (nz + 1), nelem = ny * nz;
        const std::vector<std::pair<int, int>> edges =
            soil_edges ? free_sides(ny, nz) : std::vector<std::pair<int, int>>{};
        o << "slab on soil\n" << isoil << "\n";
        if (isoil == 1 || isoil == 2) {
            for (double v : soil) o << v << "  ";
            o << "\n";
        }
        o << npoin << "  " << nelem << "  1  4  2  2  " << npoin << "  0  0  " << nelem << "  0  0  0  " << edges.size()
          << "  0  0  0  0  \n";
        o << "0  0  0\n";
        o << dt << "  " << tini << "  " << tend << "  " << dtmin << "  " << maxiter << "  " << toler << "  \n";
        for (int j = 0; j < nz; ++j)
            for (int i = 0; i < ny; ++i) {
                const int el = j * ny + i + 1, p = j * (ny + 1) + i + 1;
                o << "  " << el << "  " << el << "  1  " << p << "  " << p + 1 << "  " << p + ny + 2 << "  "
                  << p + ny + 1 << "\n";
            }
        for (int j = 0; j <= nz; ++j)
            for (int i = 0; i <= ny; ++i) {
                const int p = j * (ny + 1) + i + 1;
                o << "  " << p << "  " << p << "  0 " << i * h << "  " << -j * h << "\n";
            }
        for (int p = 1; p <= npoin; ++p) o << "  " << p << "   0  1  1  1  0  0   0  0  0  0  0  0\n";
        o << " 1\t1  " << e << "  " << nu << "  " << t << "\n";
        for (int el = 1; el <= nelem; ++el) o << "  " << el << "    " << q << "  0  0  0  0  0\n";
        for (const auto& [el, side] : edges) o << el << "  " << side << "  0  \n";
        o << cuts.size() << " " << method << "\t" << grid << "\n";
        for (std::size_t k = 0; k < cuts.size(); ++k)
            o << k + 1 << "  " << cuts[k][0] << " " << cuts[k][1] << " " << cuts[k][2] << " " << cuts[k][3] << "\n";
        o << "\n";
        return o.str();
    }
};

// "torve.dat" in the folder, naming its run files "run.slb" .. "run.cut".
inline void write_run_list(const solver_test::ScratchDir& dir) {
    std::ofstream(dir.file("torve.dat")) << dir.file("run.slb") << "\n"
                                         << dir.file("run.sin") << "\n"
                                         << dir.file("run.sou") << "\n"
                                         << dir.file("run.sds") << "\n"
                                         << dir.file("run.sms") << "\n"
                                         << dir.file("run.cut") << "\n";
}

// The slab's numeric input read as the driver reads it (head, arrays, body)
// in a scratch folder: returns the status; `sms` gets the message file.
inline int load_slab_input(const SlabInput& in, const char* tag, parvane::RunState& st, std::string& sms) {
    solver_test::ScratchDir dir(tag);
    solver_test::write_text(dir.file("in.sin"), in.text());
    solver_test::open_units(st, dir.file("in.sin"), dir);
    const int status = solver_test::load_input(st);
    st.units.close_all();
    sms = solver_test::read_text(dir.file("out.sms"));
    return status;
}

}  // namespace cut_test
