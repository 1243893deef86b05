// Boundary discretisation: one segment of a region side or of a structure
// element becomes an ordered row of nodes, straight or along a curve.
#pragma once

#include <deque>
#include <ostream>
#include <utility>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Node grid of a mapped region: IMAX columns by JMAX rows of x and y.
// Edge positions written by the side discretisation are marked as filled.
struct MappedGrid {
    int imax = 0;
    int jmax = 0;
    std::vector<double> x, y;
    std::vector<unsigned char> filled;

    MappedGrid() = default;
    MappedGrid(int imaxIn, int jmaxIn)
        : imax(imaxIn), jmax(jmaxIn), x(static_cast<std::size_t>(imaxIn) * jmaxIn, 0.0),
          y(static_cast<std::size_t>(imaxIn) * jmaxIn, 0.0), filled(static_cast<std::size_t>(imaxIn) * jmaxIn, 0)
    {}
    std::size_t at(int i, int j) const { return static_cast<std::size_t>(j) * imax + i; }
    void set(int i, int j, double px, double py)
    {
        x[at(i, j)] = px;
        y[at(i, j)] = py;
        filled[at(i, j)] = 1;
    }
};

using Point2 = std::pair<double, double>;

// Graded parameter values s_0..s_(n-1) in [0, 1]; CPAR or WN of 0 give
// equal spacing.
std::vector<double> gradedParameter(int n, double cpar, double wn);

// Nodes along the numbered points p1..p2 of an entity by a chord-length
// Hermite spline, at the parameter values s (first and last node exactly on
// the end points). False when a point of the range does not exist.
bool curveSpline(int entity, int p1, int p2, const std::vector<PointRecord>& points, const std::vector<double>& s,
                 std::vector<Point2>& nodes);

// Arc segments (entity code 31) are placed on the arc of their entity
// (`entities`), corner nodes as the mid-side nodes are.
void discretizeMappedSegment(RegionRecord& region, int sideIndex, int segmentIndex,
                             const std::vector<PointRecord>& points, const std::deque<GeometryEntityRecord>& entities,
                             std::vector<PointRecord>& generatedBoundaryPoints, std::ostream& log, MappedGrid& grid);

void discretizeFreeRegionSide(RegionRecord& region, int sideIndex, int& nodeCounter,
                              std::vector<PointRecord>& generatedBoundaryPoints, const std::vector<PointRecord>& points,
                              const std::deque<GeometryEntityRecord>& entities, std::vector<MeshNode>& nodes,
                              std::vector<BoundarySegment>& segments, int previousCode, int sideCode,
                              MeshNode& interfacePointA, MeshNode& interfacePointB, bool firstSideIsInterface,
                              std::ostream& log);

bool discretizeStructureElement(StructureElementRecord& element, const std::vector<PointRecord>& points,
                                const std::deque<GeometryEntityRecord>& entities, std::ostream& log);

}  // namespace tessaro
