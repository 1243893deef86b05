// Mapped (structured) meshing of a region: grid filling by transfinite
// interpolation, quadrilateral or triangle elements with their side codes,
// node adjacency and boundary sides.
#pragma once

#include <string>
#include <vector>

#include "Tessaro_DLL/mapped/Discretize.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Checks that every edge position of the grid was placed by the sides.
// On failure names the first missing position in `error`.
bool checkMappedGridEdges(const MappedGrid& grid, std::string& error);

// Normalised cumulative chord lengths along row 0 (r0), row JMAX-1 (r1),
// column 0 (c0) and column IMAX-1 (c1). False when an edge has zero length.
bool mappedEdgeParameters(int imax, int jmax, std::vector<double>& r0, std::vector<double>& r1, std::vector<double>& c0,
                          std::vector<double>& c1, const MappedGrid& grid);

// Fills the interior of the grid and replaces the region's node list.
// False (with `error` set) when an edge of the grid has zero length.
bool fillMappedGrid(RegionRecord& region, MappedGrid& grid, std::string& error);

void emitMappedQuads(RegionRecord& region, int imax, int jmax, int elemGroup, int objIndex, const ModelLists& lists);
void emitMappedTriangles(RegionRecord& region, int imax, int jmax, int elemGroup, int objIndex,
                         const std::vector<PointRecord>& generatedBoundaryPoints);

// Entity index and code of the boundary points at both ends of a side; both
// 0 when undecided.
void findRecordsAtPoints(int objIndex, const std::vector<PointRecord>& generatedBoundaryPoints, double xa, double ya,
                         double xb, double yb, int& entity, int& code);

// Reverses every element when the first one is clockwise.
void adjustMappedQuads(RegionRecord& region);
// Refreshes the codes of the boundary sides and copies them to the coded sides.
void buildRegionBoundarySides(RegionRecord& region);

// Rebuilds the node adjacency of a region from its elements (`corners`
// corners each).
void buildNodeAdjacency(RegionRecord& region, int corners);

// Sum of the Jacobian determinants of a bilinear quadrilateral over its
// 2 x 2 Gauss points; positive for a counter-clockwise element.
double quadJacobianSum(const double x[4], const double y[4]);

}  // namespace tessaro
