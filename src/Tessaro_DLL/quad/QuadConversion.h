// Quadrilateral conversion of a free region: the triangulation becomes the
// topology model, neighbouring triangles are paired into quadrilaterals in
// four greedy sweeps of falling quality threshold, and a fixed chain of 48
// topology passes, with smoothing between them, removes what is left of
// triangles and badly connected nodes before the model is compacted.
//
// Cost: each sweep is linear in the triangles (lookups by name); the chain
// is a straight sequence of passes, none repeated.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Per boundary node k (record k - 1): the nodes after and before it along
// the boundary and its interior angle in whole degrees (180 straight, below
// 180 convex, above re-entrant).
struct BoundaryNodeAngle {
    int next = 0;
    int previous = 0;
    int angle = 0;
};

// The offset that keeps boundary codes apart from element names.
constexpr int kCodeOffset = 1000000;
constexpr int kLargeCodeOffset = 10000000;
inline int codeOffsetFor(long long triangleCount) { return triangleCount < 1000000 ? kCodeOffset : kLargeCodeOffset; }

// Quality of the quadrilateral p, s, q, r that triangle p, q, r forms with
// triangle q, p, s: 1 for a square, negative when not convex.
double quadMergeQuality(int p, int q, int r, int s, const RegionRecord& region);
// The same measure for an existing quadrilateral.
double quadElementQuality(const RegionRecord& region, TopoElement element);

bool vectorContains(int value, const std::vector<int>& values);

// Steps 1 and 2: one TopoElement per triangle, one TopoNode per node.
void buildTopologyModel(RegionRecord& region, int nb, int codeOffset);
std::vector<BoundaryNodeAngle> buildBoundaryAngles(const RegionRecord& region,
                                                   const std::vector<BoundarySegment>& segments, int nb);
// The four pairing sweeps. False after " Error in node neighbour space >20,
// node= n" when a corner cannot take one more neighbour.
bool pairTriangles(RegionRecord& region, int codeOffset, std::ostream& log);

// The whole conversion, from the stored triangulation to the compacted
// model. False when pairing overflows or a pass of the chain fails.
bool optimizeQuadMesh(RegionRecord& region, std::vector<BoundarySegment>& segments, int codeOffset, std::ostream& log);

// Running totals over the quadrilateral regions converted in this process,
// taken when the chain has run (before the final split): triangles left,
// live interior nodes and those held by exactly four elements. Read by the
// mesher benchmark.
struct QuadChainFigures {
    long triangles = 0;
    long interiorNodes = 0;
    long fourElementNodes = 0;
};
QuadChainFigures& quadChainFigures();

// Name and position of the chain's calls, for listing and tests.
struct ChainCall {
    const char* pass;
    bool smoothAfter;
};
const std::vector<ChainCall>& quadChainCalls();

}  // namespace tessaro
