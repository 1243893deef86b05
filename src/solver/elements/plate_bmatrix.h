// Strain matrices B and stress matrices D B of the plate elements at one
// integration point.
//
// Plate strain rows: curvature x, curvature y, twist xy, shear xz, shear yz.
// Plate columns per node: w, rotation about local x (a), rotation about local
// y (b). Membrane rows: strain x, strain y, shear xy; columns per node u, v.
// The 4-node element adds four side rotation parameters to its plate columns
// (12 + 4) and four drilling rotations to its membrane columns (8 + 4).
// All matrices are column-major with the leading size of their rows.
#pragma once

namespace parvane {

// Shape values and cartesian derivatives at the current point. For 4-node
// elements entries 5..8 hold the mid-side functions of the 8-node element.
struct PointShape {
    double n[9];
    double nx[9];
    double ny[9];
};

// Side geometry of a 4-node element in its local frame: side k runs from
// corner k to corner k + 1 (side 4 back to corner 1).
struct SideGeometry {
    double len[4];
    double cos[4];
    double sin[4];
};

struct BMatrixBlock {
    double plate_b[5 * 27];
    double bending_s[5 * 27];
    double shear_b[5 * 27];
    double shear_s[5 * 27];
    double membrane_b[3 * 18];
    double membrane_s[3 * 18];
    double q4_bending_b[5 * 16];
    double q4_bending_s[5 * 16];
    double q4_shear_b[5 * 16];
    double q4_shear_s[5 * 16];
    double q4_membrane_b[3 * 12];
    double q4_membrane_s[3 * 12];
    SideGeometry sides;  // of the current 4-node element
};

// Coefficient of a side parameter in its side's tangential shear strain: the
// single-precision value of -2/3.
inline constexpr double side_parameter_shear = -0.6666666865348816;

// Kernels with explicit inputs.
void side_geometry_of(const double corner_x[4], const double corner_y[4], SideGeometry& g);
void plate_strain_of(int nnode, const PointShape& p, double b[5 * 27]);
void membrane_strain_of(int nnode, const PointShape& p, double b[3 * 18]);
void quad4_bending_strain_of(const PointShape& p, const SideGeometry& g, double b[5 * 16]);
// Adds scale times the side-parameter columns 13..16 (curvature rows) of the
// 4-node bending strain matrix to b.
void quad4_side_columns(const PointShape& p, const SideGeometry& g, double scale, double b[5 * 16]);
void quad4_shear_strain_of(const PointShape& p, const SideGeometry& g, double b[5 * 16]);
void quad4_membrane_strain_of(const PointShape& p, const SideGeometry& g, double b[3 * 12]);
// s(rows x ncol) = d(rows x rows) b(rows x ncol)
void stress_product(int rows, int ncol, const double* d, const double* b, double* s);

struct RunState;

// Shape values and cartesian derivatives of the current point as left in the
// run's shape block by shape_functions and jacob2 (8 functions for 4-node
// elements).
PointShape current_point_shape(const RunState& st);
// Side geometry of the current 4-node element from its local corner
// coordinates (the plane coordinates of the shape block); also stored in
// the run's ElementLoop::bmatrix.sides.
SideGeometry load_quad4_sides(RunState& st);

// The twelve routines of the element loop: each pair fills B from the current
// point, then D B with the rigidities of ElementLoop::rigidity, into the
// run's ElementLoop::bmatrix. The 4-node routines use its sides
// (load_quad4_sides).
void plate_strain_matrix(RunState& st);
void bending_stress_matrix(RunState& st);
void plate_shear_strain_matrix(RunState& st);
void shear_stress_matrix(RunState& st);
void membrane_strain_matrix(RunState& st);
void membrane_stress_matrix(RunState& st);
void quad4_bending_strain_matrix(RunState& st);
void quad4_bending_stress_matrix(RunState& st);
void quad4_shear_strain_matrix(RunState& st);
void quad4_shear_stress_matrix(RunState& st);
void quad4_membrane_strain_matrix(RunState& st);
void quad4_membrane_stress_matrix(RunState& st);

}  // namespace parvane
