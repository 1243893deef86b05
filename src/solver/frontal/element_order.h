// Order in which the frontal solution assembles the elements.
//
// The front holds the variables of every node between the first and the last
// element that contain it, so its width follows the element order, not the
// numbering of the model.  A model numbered row by row along the short side
// of a mat gives a narrow front; a free mesh numbered as its generator made
// it can give a front of most of the model.  The order chosen here is the
// narrowest of a few candidates; the elements keep their numbers everywhere
// else (listings, results, files).
#pragma once

#include <vector>

namespace parvane {

// Width of the front of an order: the most nodes active at once (a node is
// active from the first to the last element of the order that contains it)
// and the sum of the squared widths over the elements (a measure of the
// elimination work).
struct FrontMeasure {
    long long nodes = 0;
    double work = 0;
};

// `lnods` holds nnode node numbers (1 .. npoin, taken by magnitude; others
// are ignored) for each element; `order` the element indices from 0.
FrontMeasure measure_front(int npoin, int nelem, int nnode, const int* lnods, const std::vector<int>& order);

// Element indices from 0, in the order with the narrowest front among: the
// model's own order; sweeps of the element centres along each coordinate axis
// and along the line between two far-apart elements; Sloan orders along each
// of these sweeps (the front kept straight by the sweep coordinate and narrow
// by taking next the element that brings the fewest new nodes into it less
// the nodes it completes); a Cuthill-McKee order of the element graph
// (elements that share a node are neighbours) from a pseudo-peripheral
// element of each connected part; and Sloan orders of each part from that
// element towards a far one, by distance in the graph.  Ties go to the one
// with less elimination work, then to the earlier candidate.  `coord` holds
// ndime coordinates per node.
std::vector<int> front_reducing_order(int npoin, int nelem, int nnode, const int* lnods, const double* coord,
                                      int ndime);

}  // namespace parvane
