#include "Tessaro_DLL/structure/StructureSides.h"

#include <cmath>

namespace tessaro {

namespace {

constexpr double kCoincide = 1e-8;
constexpr double kCandidateApart = 1e-4;

double distance(double xa, double ya, double xb, double yb) { return std::hypot(xa - xb, ya - yb); }

// Every point with the entity and point number: the segment end takes its
// coordinates and the vertex list gets (position + 1, x, y).
void locateEnd(int entity, int number, const std::vector<PointRecord>& points, double& x, double& y,
               std::vector<MeshNode>& ends)
{
    for (std::size_t k = 0; k < points.size(); ++k) {
        const PointRecord& p = points[k];
        if (p.entity != entity || p.pointNumber != number) continue;
        x = p.x;
        y = p.y;
        ends.push_back(MeshNode{static_cast<int>(k) + 1, p.x, p.y, 0.0});
    }
}

// Appends the Obj. index of every region once per side segment the element
// runs along; true when there is at least one.
bool recordRegionsAlong(StructureElementRecord& element, const SideSegment& beam, const ModelLists& lists)
{
    bool onSide = false;
    for (const RegionRecord& region : lists.regions)
        for (const RegionSide& side : region.sides)
            for (const SideSegment& seg : side.segments) {
                const bool forward = distance(seg.x1, seg.y1, beam.x1, beam.y1) < kCoincide &&
                                     distance(seg.x2, seg.y2, beam.x2, beam.y2) < kCoincide;
                const bool reversed = distance(seg.x1, seg.y1, beam.x2, beam.y2) < kCoincide &&
                                      distance(seg.x2, seg.y2, beam.x1, beam.y1) < kCoincide;
                if (!forward && !reversed) continue;
                element.regionValues.push_back(region.objIndex);
                onSide = true;
            }
    return onSide;
}

void addCandidate(std::vector<MeshNode>& candidates, const MeshNode& end)
{
    for (const MeshNode& c : candidates)
        if (distance(c.x, c.y, end.x, end.y) < kCandidateApart) return;
    candidates.push_back(end);
}

int endsAt(const std::vector<MeshNode>& ends, const MeshNode& at)
{
    int count = 0;
    for (const MeshNode& e : ends)
        if (distance(e.x, e.y, at.x, at.y) < kCoincide) ++count;
    return count;
}

}  // namespace

void intersectStructureElementsWithSides(std::vector<MeshNode>& vertices, const std::vector<PointRecord>& points,
                                         ModelLists& lists)
{
    std::vector<MeshNode> starts, ends, candidates;
    for (StructureElementRecord& element : lists.structureElements) {
        if (element.segments.empty()) continue;
        SideSegment& beam = element.segments.front();
        const std::size_t startsBefore = starts.size(), endsBefore = ends.size();
        locateEnd(beam.startEntity, beam.startPoint, points, beam.x1, beam.y1, starts);
        locateEnd(beam.endEntity, beam.endPoint, points, beam.x2, beam.y2, ends);
        if (!recordRegionsAlong(element, beam, lists)) continue;
        for (std::size_t k = startsBefore; k < starts.size(); ++k) addCandidate(candidates, starts[k]);
        for (std::size_t k = endsBefore; k < ends.size(); ++k) addCandidate(candidates, ends[k]);
    }
    for (const MeshNode& candidate : candidates)
        if (endsAt(starts, candidate) + endsAt(ends, candidate) == 1) vertices.push_back(candidate);
}

}  // namespace tessaro
