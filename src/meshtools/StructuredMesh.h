// The structured mesh of a conventional slab, built in the program from the
// mesh parameters that the template dialog stores in the model: a circular
// slab (kind 0, a square grid bent onto a disc), a rectangle with equal
// spacing (kind 1) or a rectangle whose spans come from the two grid-line
// tables (kind 2), with 4-, 8- or 9-node elements.
//
// The slab lies in the y-z plane (x = 0): y runs from -Lx/2 to +Lx/2, z from
// +Ly/2 down to -Ly/2. Nodes are numbered row by row from the top-left
// corner; a quadratic mesh has a row of mid-side nodes between every two
// corner rows (all 2nx + 1 positions for 9 nodes, only the nx + 1 division
// lines for 8 nodes). Cost: linear in the number of nodes, plus the edge
// flags (hashed, linear as well).
#pragma once

class ModelData;

// Point (y, z) of the square grid moved towards the disc of diameter
// lx (= ly) when `kindPlusOne` is 1; returned unchanged otherwise. Each
// square ring of half-width f is blended towards the circle of radius f with
// the weight f / R (R = lx / 2): the outer ring lands on the circle, the
// centre keeps the square pattern.
void MapSquareToRound(double y, double z, double& yOut, double& zOut, double lx, double ly, int kindPlusOne);

// Largest mesh the generator makes (and the model file reads back).
constexpr long long kMaxStructuredNodes = 100000000;

// Number of nodes of a structured mesh of nx by ny divisions with 4, 8 or 9
// nodes per element, counted in 64 bits; -1 for other node counts or
// negative divisions.
long long StructuredNodeCount(long long nx, long long ny, int nodesPerElement);

// Replaces the node, element, material and cut-line tables of the model by
// the structured mesh of its mesh parameters: nodes and elements numbered
// from 1, material index 1, the edge flags, one isotropic material for
// "ALL" (2000.0, 2000.0, 0.3, 1.0), two cut lines through the centre reaching
// 10 % beyond the slab on either side; both integration orders 3 for 9-node
// elements. Marks the model drawn and changed and rebuilds its number maps.
//
// Grid-line spans without divisions or with a length not above 0 are passed
// over; nx and ny are the division sums of the spans used, and Lx and Ly
// their lengths. An empty (or unusable) direction-2 table takes direction 1.
// Returns false, leaving the model as it was, when the parameters give no
// mesh: nodes per element other than 4, 8 or 9, a length or division count
// not above 0 for kinds 0 and 1 (a width or second count not above 0 takes
// the first), no usable direction-1 span for kind 2, an unknown kind, or more
// than kMaxStructuredNodes nodes.
bool GenerateStructuredMesh(ModelData& model);
