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

// Coordinates of end 1 (start) or 2 (end) of the first segment of region
// side `side` from the point list; false, leaving `out` alone, when no
// point matches.
bool sideEndPointCoordinates(int end, int side, const RegionRecord& region, const std::vector<PointRecord>& points,
                             MeshNode& out);

// The segments of every -8 face (second face list) and of the -9 face that
// meets it, in reverse order (first face list), so that entry k of the two
// lists lie at the same place.
void collectInterfaceSegments(RegionRecord& region, const std::vector<PointRecord>& points,
                              const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments);

// Queues, for each -6 face and the -7 face starting at its end, the
// coordinates that put the -7 nodes onto their -6 partners. "No matched
// boundary nodes on zero thickness interface" ends the pairing when the
// faces carry different node counts.
void pairInterfaceBoundaryNodes(RegionRecord& region, const std::vector<PointRecord>& points,
                                const std::vector<MeshNode>& nodes, std::ostream& log);

// All words of the record zero, the status included.
void clearTopoNode(TopoNode& node);

// Rebuilds the region's boundary-side triples from the segments and appends
// the coded ones to its coded side list (mode 0: the stored triangles,
// mode 1: the elements of the topology model). Closes every slit: the
// elements on its two faces become neighbours, each -9 node other than the
// ends shared with the -8 face is merged into its -8 partner and the nodes
// are renumbered from 1. The segment list loses the slit segments (-8, -9)
// and is numbered from 1.
// False, changing nothing, when the two face lists differ in length.
bool connectInterfaceFaces(RegionRecord& region, std::vector<BoundarySegment>& segments, int mode);

// Queues the coordinates that put each -7 face's nodes onto its -6 face.
// "error to match recover nodes" and false when the runs differ in length.
bool matchRecoveredNodes(RegionRecord& region, bool quadrilateral, std::ostream& log);

}  // namespace tessaro
