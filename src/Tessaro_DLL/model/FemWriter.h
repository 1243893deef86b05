// The mesh file of a run (".fem") in text or binary form, and the final
// check of the mesh before it is written.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/CornerAngle.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Nodes per element written to the mesh file.
int nodesPerElement(int interfaceFlag, int elementShape);

// Writes the mesh file: OUTPUT FORMAT 1 text, 0 binary. False, with the
// reason in `error`, for another format or when the file cannot be opened or
// written completely (a partly written file is removed).
bool writeFemFile(const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                  const std::vector<ElementNeighbours>& neighbours, int interfaceFlag, int elementShape,
                  const std::vector<FemNode>& structureNodes, const std::vector<LineElement>& lineElements,
                  const std::vector<LineElement>& thirdList, int outputFormat, const std::string& fileName,
                  std::string& error);

// Corners at this angle (degrees) or more make an element unusable.
inline constexpr double kLargestCornerAngle = 177.0;

// True when two opposite sides of the quadrilateral cross.
bool quadSelfIntersects(const std::array<FemNode, 4>& corners);

// Checks node numbering 1..n, node references of every element, distinct
// corner nodes at distinct places (apart by more than 1e-10 of the mesh's
// extent), positive corner area, no crossing sides
// and every corner angle below kLargestCornerAngle. On failure `error`
// starts with "invalid element n" and names the corner and its angle.
bool validateFinishedMesh(const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                          int nodesPerElementCount, std::string& error);

}  // namespace tessaro
