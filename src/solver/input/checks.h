// Checks of the numeric input: control values before the body is read
// (check1) and mesh and restraints after it (check2).
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Diagnoses 1..12 on the control values; on any error lists the rest of the
// input as post-disaster data cards and sets status kStatusInput.
void check1(RunState& st, int& status);

// Diagnoses 13..24 on coord, fixnod, fixcod, lnods, element_material and
// node_ids; chooses the order in which the frontal solution takes the
// elements (element_order), writes the maximum front width of that order and
// sets front_capacity; on any error lists the rest of the input and sets
// status kStatusInput.  lnods is left unchanged.
void check2(RunState& st, int& status);

// Largest number of variables active at once when the elements are taken in
// order (a node's ndofn variables count from the first element that holds it
// to the last one).
int front_width(const RunState& st);

// The post-disaster data-card listing: the rest of unit 5 to the listing.
void list_data_cards(RunState& st);

}  // namespace parvane
