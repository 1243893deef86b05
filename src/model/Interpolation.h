#pragma once
// Isoparametric shape functions of the 4-node bilinear, 8-node serendipity
// and 9-node Lagrangian quadrilaterals and of 2- and 3-node element sides,
// and the searches for the local coordinate where an interpolated field
// reaches a contour level.
//
// Node order: corners 1..4 counter-clockwise from (-1, -1), mid-side nodes
// 5..8 on sides 1-2, 2-3, 3-4, 4-1, node 9 at the centre. A kind of 4 takes
// the 4-node functions, 8 the 8-node functions, any other value the 9-node
// functions. Output arrays hold at least as many entries as the kind's
// nodes (9 is always enough).

#include <vector>

// N1..Nk at (xi, eta).
void ShapeFunctions(double xi, double eta, int kind, double* n);
// dNi/dxi and dNi/deta at (xi, eta).
void ShapeFunctionsDXi(double xi, double eta, int kind, double* d);
void ShapeFunctionsDEta(double xi, double eta, int kind, double* d);
// Side functions at s in [-1, 1]: 2 nodes (ends), 3 nodes (ends, then the
// middle node).
void EdgeShapeFunctions(double s, int nodes, double* n);

// Sum of weights[i] * values[i] over i < count, accumulated from 0.
double DotProduct(int count, const double* weights, const double* values);

// Newton search along one local coordinate for the point where the field of
// the nodal values equals `level`. Direction 0 varies xi with eta = fixed,
// any other value varies eta with xi = fixed. `t` holds the start and
// receives the result. 1 when found inside [-1, 1], else 0.
int FindContourCrossing(int kind, int direction, double fixed, const double* values, double level, double& t);

// Crossings of `level` along one coordinate line of an element: -1 none, 0
// the field is constant on the line, else the number of crossings (1 or 2)
// with their coordinates in t1 and t2.
int FindEdgeLevelCrossings(int kind, int direction, double fixed, const double* values, double level, double& t1,
                           double& t2);

// 3-D distance between entries i and j of the coordinate arrays.
double NodeDistance(int i, int j, const double* x, const double* y, const double* z);

// An RGB colour of the contour ramp.
struct RampColor {
    unsigned char r = 0, g = 0, b = 0;
    bool operator==(const RampColor&) const = default;
};

// Colour of `value` on the contour ramp from min to max (dark blue, blue,
// cyan, green, yellow, red, dark red); 0, 0, 128 for a degenerate range.
RampColor ColorRamp(double value, double max, double min);

// Unit normal of the triangle p0, p1, p2 ((p1 - p0) x (p2 - p0)); the
// unnormalised cross product when it has length 0.
void ComputeFaceNormal(const float* x, const float* y, const float* z, float* normal);

// True when the id (1-based) was marked before; otherwise marks it and
// returns false and appends the id to `list`. The marks grow to hold the
// id; an id below 1 is never marked and gives true.
bool TableLookupIndex(int id, std::vector<int>& list, std::vector<unsigned char>& marks);
