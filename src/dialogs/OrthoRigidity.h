// The six plate rigidities of the orthotropic materials derived from their
// sections: a slab with four reinforcement layers, a slab with stiffener
// webs in y and z, and a one-way box (cellular) section. Double precision
// throughout; a rigidity can come out infinite or NaN for degenerate input
// (E = 0, nu = 1, zero widths), which AllFinite tells.
#pragma once

#include "model/MaterialTable.h"

namespace ortho {

// G = E / (2 (1 + nu)).
double ShearModulus(double E, double nu);

// With n = Es / E and D0 = E / (1 - nu^2):
// Dyy = D0 (t^3/12 + (n - 1)(As3 x3^2 + As4 x4^2)), Dzz likewise with layers
// 1 and 2; Dv = nu sqrt(Dyy Dzz); Dyz = (1 - nu)/2 sqrt(Dyy Dzz);
// Dsy = Dsz = 5/6 G t.
Rigidities Rebar(double E, double Es, double nu, double t, const RebarLayers& layers);

// Per direction (1: Dyy and Dsy, 2: Dzz and Dsz) the slab with its web of
// area h b / c per unit width about their common neutral axis, and a shear
// rigidity with the T-section's shear factor; without a web (h <= 0) the
// plain slab. Dv is the plain slab's; Dyz adds the webs' torsion and takes
// the reduction factor.
Rigidities Rib(double E, double nu, double t, const RibSection& rib);
// One direction of Rib: flexural and shear rigidity of web (h, b, c).
void RibDirection(double E, double nu, double t, double h, double b, double c, double& flexural, double& shear);

// n cells of width b and height h with walls of thickness t.
Rigidities Box(double E, double nu, double t, const BoxSection& box);

bool AllFinite(const Rigidities& d);

}  // namespace ortho
