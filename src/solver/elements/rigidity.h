// Material rigidities of the plate element: bending, transverse shear and
// membrane matrices of one material.
#pragma once

namespace parvane {

// Rigidities of one material, for the element loop and the strain/stress
// matrix routines (ElementLoop::rigidity). Column-major: D(r, c) is at [(c - 1) * rows + (r - 1)].
struct RigidityBlock {
    double bending[5 * 5];   // curvature x, curvature y, twist, shear xz, shear yz
    double shear[5 * 5];     // same order, only (4,4) and (5,5) filled
    double membrane[3 * 3];  // strain x, strain y, shear xy (thickness not included)
};

// The three material properties: Young's modulus, Poisson's ratio, thickness.
// `type` points at the five characters of the type word ("ISOTP", "ORTH1",
// "ORTH2"); `ortho` at the model-wide Dxx, Dyy, Dv, Dxy, Dsx, Dsy.
void plate_rigidity_of(const double props[3], const char* type, const double ortho[6], double db[25]);
void shear_rigidity_of(const double props[3], const char* type, const double ortho[6], double ds[25]);
void membrane_rigidity_of(const double props[3], double dm[9]);

struct RunState;

// Form the rigidity of material m (from 1) into the run's element-loop
// rigidities from the material table, the type words and the orthotropic
// rigidities of the run.
void plate_rigidity(RunState& st, int m);
void shear_rigidity(RunState& st, int m);
void membrane_rigidity(RunState& st, int m);

// Rejects material values that make the rigidities meaningless: thickness or
// Young's modulus not above 0, Poisson's ratio not inside (-1, 1). Each bad
// material gives one line on the listing and the message file; the status
// becomes 5 (rejected input). Leaves the status alone when all are valid.
void check_material_values(RunState& st, int& status);

}  // namespace parvane
