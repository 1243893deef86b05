// Tables that move values between nodes, elements and integration points:
// the elements of every node, and where the stress points of every element lie.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Fills st.node_element_list (the elements that name each node, in element
// order; an element naming a node twice is listed twice) and
// st.node_element_pairs (element and local node position of each node).
void stress_interp_setup(RunState& st);

// Fills st.gauss_point_positions (y, z of every stress point) and
// st.first_gauss_point.  The stress points are the ngaus x ngaus points of the
// first rule, numbered with the first local coordinate varying slowest; the
// first point of element e is (e - 1) * ngaus^2 + 1 for every element type.
void stress_interpolation(RunState& st);

// Global x, y, z of the point (xi, eta) of element e through the shape
// functions of its kind (4-node bilinear, 8-node serendipity, 9-node
// Lagrange), evaluated in `sc`: where a stress point lies.
void element_point_coordinates(const RunState& st, ShapeCommon& sc, int e, double xi, double eta, double xyz[3]);

}  // namespace parvane
