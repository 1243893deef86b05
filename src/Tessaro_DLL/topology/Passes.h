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
bool collapseBoundaryTriangle(RegionRecord& region, const AngleTable& table, int nb, int codeOffset,
                              std::ostream& log, std::string history);
bool shiftBoundaryTriangleInward(RegionRecord& region, const AngleTable& table, int codeOffset,
                                 const std::vector<BoundarySegment>& segments, std::string history,
                                 std::ostream& log);
bool relieveSixElementNodes(RegionRecord& region, int nb, int codeOffset, std::string history, std::ostream& log);
bool fixValence6Nodes(RegionRecord& region, int nb, std::string history, std::ostream& log);
bool convertTriangleRingedQuads(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);
bool fixQuadQuadTriangleNodes(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);
bool resolveTrianglePairsBetweenQuads(RegionRecord& region, int nb, int codeOffset, std::string history,
                                      std::ostream& log);
bool resolveTrianglePairsAtBoundary(RegionRecord& region, const AngleTable& table, int codeOffset,
                                    std::string history, std::ostream& log);
bool resolveTrianglePairs(RegionRecord& region, int nb, int codeOffset, std::string history, std::ostream& log);
bool mergeQuadWithOppositeTriangles(RegionRecord& region, int nb, int codeOffset, std::string history,
                                    std::ostream& log);
bool fixAdjacentValence3Nodes(RegionRecord& region, int nb, int codeOffset, std::string history,
                              std::ostream& log);
bool fixAdjacentValence3NodesNearBoundary(RegionRecord& region, const AngleTable& table, int codeOffset,
                                          std::string history, std::ostream& log);
bool collapseValence3Pairs(RegionRecord& region, int nb, std::string history, std::ostream& log);
bool reduceFlatBoundaryValence3(RegionRecord& region, const AngleTable& table, std::string history,
                                std::ostream& log);

}  // namespace tessaro
