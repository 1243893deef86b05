// The blocks the routines of the element loop share while they form one
// element: the rigidities of its material, the strain and stress matrices at
// the current point, the soil interpolation and 4-node correction values,
// and the working buffers of the element's matrices and record.  The run
// holds one (RunState::element_loop), as it holds the shape and Gauss blocks.
#pragma once

#include "solver/elements/element_matrices.h"
#include "solver/elements/element_utils.h"
#include "solver/elements/plate_bmatrix.h"
#include "solver/elements/rigidity.h"

namespace parvane {

// Leading size of the element matrices K1 and K2 and their work matrix.
inline constexpr int kElementLd = 54;

// Working buffers of one element, sized for the largest element (9 nodes,
// 3 x 3 points, 54 freedoms) and reused for every element; an element pass
// that reuses kept plate matrices reads what the previous pass left.
struct LoopBuffers {
    double bending[27 * 27];
    double shear[27 * 27];
    double membrane[18 * 18];
    double vlasov1[27 * 27];
    double vlasov2[27 * 27];
    double k1[kElementLd * kElementLd];
    double k2[kElementLd * kElementLd];
    double work[kElementLd * kElementLd];
    double item_bending[kRecordBending];
    double item_shear[kRecordShear];
    double item_membrane[kRecordMembrane];
    double membrane_work[3 * 12];
    double saved_points[kRecordPoints];
};

struct ElementLoop {
    RigidityBlock rigidity;  // of the current element's material
    BMatrixBlock bmatrix;    // B and D B at the current point, 4-node side geometry
    ElementUtilBlock util;   // soil interpolation, 4-node side correction and condensation
    LoopBuffers buffers;
};

}  // namespace parvane
