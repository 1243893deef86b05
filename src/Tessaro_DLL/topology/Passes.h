// The topology passes of the quadrilateral chain. Each works in place on
// the region's topology model and returns false (after its own log line)
// when the chain has to stop. `history` is the chain's history file name,
// taken by value and never opened.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/Records.h"
#include "Tessaro_DLL/quad/QuadConversion.h"

namespace tessaro {

using AngleTable = std::vector<BoundaryNodeAngle>;

bool removeValence2Nodes(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);
bool collapseBoundaryTriangle(RegionRecord& region, const AngleTable& table, int nb, int codeOffset, std::ostream& log,
                              std::string history);
bool shiftBoundaryTriangleInward(RegionRecord& region, const AngleTable& table, int codeOffset,
                                 const std::vector<BoundarySegment>& segments, std::string history, std::ostream& log);
bool relieveSixElementNodes(RegionRecord& region, int nb, int codeOffset, std::string history, std::ostream& log);
bool fixValence6Nodes(RegionRecord& region, int nb, std::string history, std::ostream& log);
bool convertTriangleRingedQuads(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);
bool fixQuadQuadTriangleNodes(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);
bool resolveTrianglePairsBetweenQuads(RegionRecord& region, int nb, int codeOffset, std::string history,
                                      std::ostream& log);
bool resolveTrianglePairsAtBoundary(RegionRecord& region, const AngleTable& table, int codeOffset, std::string history,
                                    std::ostream& log);
bool resolveTrianglePairs(RegionRecord& region, int nb, int codeOffset, std::string history, std::ostream& log);
bool mergeQuadWithOppositeTriangles(RegionRecord& region, int nb, int codeOffset, std::string history,
                                    std::ostream& log);
bool fixAdjacentValence3Nodes(RegionRecord& region, int nb, int codeOffset, std::string history, std::ostream& log);
bool fixAdjacentValence3NodesNearBoundary(RegionRecord& region, const AngleTable& table, int codeOffset,
                                          std::string history, std::ostream& log);
bool collapseValence3Pairs(RegionRecord& region, int nb, std::string history, std::ostream& log);
bool reduceFlatBoundaryValence3(RegionRecord& region, const AngleTable& table, std::string history, std::ostream& log);

// Workers shared by several passes.

// Collapses the first quadrilateral of the smaller-named node that holds the
// two nodes as opposite corners: the smaller name survives at its centroid.
// True when collapsed or nothing to collapse (also when the survivor would
// keep no quadrilateral); false when a rebuilt node list overflows.
bool collapseQuadDiagonal(RegionRecord& region, int first, int second, int nb, std::ostream& log);

// Collapses quadrilateral q at boundary node k along its diagonal c1-c3
// (c3 before k, c1 after, c2 opposite): the smaller name survives at the
// midpoint. False when a rebuilt node list overflows.
bool collapseQuadAtBoundaryNode(RegionRecord& region, int k, int q, int c3, int c1, int c2, int nb, std::ostream& log);

// Direction of the vector from (x1, y1) to (x2, y2) in [0, 2 pi); a dx
// within 1e-7 counts as vertical.
double segmentAngle(double x1, double y1, double x2, double y2);

// More than one distinct corner named at most nb.
bool elementTouchesBoundaryTwice(const TopoElement& element, int nb);

// 2 sqrt(3) times the cross product over the sum of the squared sides: 1
// for an equilateral triangle, negative when turned clockwise.
double triangleQuality(const RegionRecord& region, const TopoElement& triangle);

// Removes interior node n held by two quadrilaterals and one triangle.
bool resolveQuadQuadTriangleNode(RegionRecord& region, int n, int codeOffset, std::ostream& log);

// Replaces quadrilateral e, ringed by four triangles, by a node at its
// centroid that each triangle takes as its fourth corner.
bool splitQuadIntoTriangleRing(RegionRecord& region, int e, int codeOffset, std::ostream& log);

// Cuts quadrilateral e, with triangle a across its side `firstSide` and b
// across the opposite side `secondSide` (0-based), into two quadrilaterals
// joined with a and b. Unchanged (true) when a boundary node is involved.
bool splitQuadIntoOppositeTriangles(RegionRecord& region, int e, int a, int b, int firstSide, int secondSide, int nb,
                                    int codeOffset, std::ostream& log);

// Removes neighbouring interior nodes n and m of three quadrilaterals each
// and re-cuts their hexagon into two quadrilaterals.
bool reduceValence3PairToTwoQuads(RegionRecord& region, int n, int m, int codeOffset, std::ostream& log);

// The same near the boundary: the cut starts at a boundary node of the
// hexagon where the boundary is nearly straight; other layouts stay.
bool reduceValence3PairNearBoundary(RegionRecord& region, int n, int m, const AngleTable& table, int nb, int codeOffset,
                                    std::ostream& log);

// Turns the two separated triangles t1, t2 at node n into quadrilaterals:
// mode 0 (one quadrilateral at n) and 2 (none, or three or more) through the
// quadrilateral between them, mode 1 (two) by removing n.
bool resolveTrianglePairAtNode(RegionRecord& region, int mode, int n, int t1, int t2, int nb, int codeOffset,
                               std::ostream& log);

}  // namespace tessaro
