// Zero-thickness interface faces of a free region: the junction nodes where
// two faces meet, the rebuilt boundary-side triples with the coded side list,
// and the pairing of recovered nodes on an open interface.
#pragma once

#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Copies of the boundary nodes where a -8/-9 or a -6/-7 pair of faces meets.
void collectFaceJunctionNodes(std::vector<MeshNode>& junctions, const std::vector<BoundarySegment>& segments,
                              const std::vector<MeshNode>& nodes);

// Rebuilds the region's boundary-side triples from the segments and appends
// the coded ones to its coded side list (mode 0: the stored triangles,
// mode 1: the elements of the topology model). The
// segment list loses the slit segments (-8, -9) and is numbered from 1.
// False, changing nothing, when the two face lists differ in length.
bool connectInterfaceFaces(RegionRecord& region, std::vector<BoundarySegment>& segments, int mode);

// Queues the coordinates that put each -7 face's nodes onto its -6 face.
// "error to match recover nodes" and false when the runs differ in length.
bool matchRecoveredNodes(RegionRecord& region, bool quadrilateral, std::ostream& log);

}  // namespace tessaro
