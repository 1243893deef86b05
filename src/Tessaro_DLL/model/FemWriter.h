// The mesh file of a run (".fem") in text or binary form, and the final
// check of the mesh before it is written.
#pragma once

#include <string>
#include <vector>

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

// Checks node numbering 1..n, node references of every element, distinct
// corner nodes at distinct places and positive corner area. On failure `error` starts with
// "invalid element n".
bool validateFinishedMesh(const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                          int nodesPerElementCount, std::string& error);

}  // namespace tessaro
