// Small plate meshes in the y-z plane for the soil and section-cut tests.
#pragma once

#include <cmath>
#include <functional>

#include "solver/gauss_interp_setup.h"
#include "solver/interpolation.h"
#include "solver/state.h"

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
