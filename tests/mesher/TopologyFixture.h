// Builds a region's topology model from nodes and corner lists, linked as
// the conversion leaves it: element k is the k-th corner list, neighbours
// found by shared sides (+triangle, -quadrilateral, -(offset + 1) none),
// boundary nodes 1..nb with negative status, every node's element and
// neighbour lists filled.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace meshtest {

struct TopologyFixture {
    std::vector<std::pair<double, double>> nodes;
    std::vector<std::vector<int>> elements;  // 3 or 4 corners, counter-clockwise
    int nb = 0;
    int codeOffset = 1000000;
};

tessaro::RegionRecord buildTopology(const TopologyFixture& fixture);

// The fixtures' code offset and the side entry of no neighbour.
constexpr int kOffset = 1000000;
constexpr int kNone = -(kOffset + 1);

// The corners of an element, in order.
inline std::vector<int> cornersOf(const tessaro::TopoElement& el) {
    return std::vector<int>(el.c.begin(), el.c.begin() + el.cornerCount);
}

// A grid of nx by ny unit squares (nodes row by row from the origin),
// optionally each square cut into two triangles along its rising diagonal.
// Boundary nodes are not numbered first; nb is left 0.
TopologyFixture gridFixture(int nx, int ny, bool triangles);

}  // namespace meshtest

namespace meshtest {

// Empty when the live part of the model is consistent: every side entry of a
// live element names a live element holding the side reversed (signed by its
// kind) and pointing back, or is -(offset + 1) with no such element; every
// live node (boundary nodes 1..nb included) lists exactly the live elements it is a corner of and their
// other corners. Otherwise the first fault found, in words.
std::string topologyFaults(const tessaro::RegionRecord& region, int nb, int codeOffset);

}  // namespace meshtest
