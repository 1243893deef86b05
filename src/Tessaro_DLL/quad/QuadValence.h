// Node valence of the compacted quadrilateral model: interior sides shared by
// two quadrilaterals are turned where that brings the element counts of the
// six nodes involved closer to four (inside) or to what the outline's angle
// asks for (on the boundary), so fewer nodes of the final mesh are irregular.
#pragma once

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Smallest corner scaled Jacobian a quadrilateral made by turning a side may
// have.
inline constexpr double kTurnedQuadJacobian = 0.1;

// Turns interior sides between two elements of the compacted model (after
// compactAndRenumber), at least one a quadrilateral: the two form a hexagon
// or a pentagon, split again along another diagonal into elements of the
// same corner counts when that lowers the sum of squared differences
// between each node's element count and its goal (four inside; on the
// boundary the outline's angle in quarter turns, at least one). At equal
// sum a triangle may move when that brings it much nearer to another
// triangle; two triangles that meet become one quadrilateral unless the
// sum grows (each triangle counts one, for the irregular centre of its
// split). A split that moves a triangle next to another is also taken when
// merging the two right after it makes the sum of both steps lower. Never leaves an interior node with fewer than three elements or
// makes a side twice; every new element is valid with a worst corner scaled
// Jacobian of kTurnedQuadJacobian or more. Neighbour entries, node lists
// and the boundary side list follow, removed elements are dropped and the
// interior nodes smoothed, each move kept only when the worst corner around
// the node does not get worse. Returns the number of changes.
int improveQuadValence(RegionRecord& region);

}  // namespace tessaro
