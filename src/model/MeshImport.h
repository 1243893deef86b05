#pragma once
// Helpers of the import of a generated mesh (ModelData::ImportMeshFile).

#include <array>
#include <string>
#include <vector>

// Turns the 8-node elements into 9-node elements: element j (0-based) gets
// the new node n + j + 1 (n = node count before the call) at the mean of its
// four corners, x = 0. The set node lists are rebuilt from the sets'
// elements, each node once in order of first appearance.
void AddElementCentreNodes(std::vector<int>& nodeNumbers, std::vector<double>& x, std::vector<double>& y,
                           std::vector<double>& z, const std::vector<int>& elementNumbers,
                           std::vector<std::vector<int>>& elementNodes,
                           const std::vector<std::vector<int>>& setElements, std::vector<std::vector<int>>& setNodes);

// Member rows of a set holding the numbers: sorted, split into runs of
// constant step, each "*    first  last  step"; a number left alone gives
// first = last, step 1. Repeated numbers count once.
std::vector<std::string> IdListToMemberRows(std::vector<int> numbers);

// The mesh generator's mesh file as read: node numbers and coordinates;
// element numbers, regions and nodes (the four corners first, then the
// mid-side nodes in side order); the four side codes of every element.
struct MeshFileContents {
    int nodesPerElement = 0;  // 4 or 8; 0 when the counts could not be read
    std::vector<int> nodeNumbers;
    std::vector<double> x, y;
    std::vector<int> elementNumbers, elementRegions;
    std::vector<std::vector<int>> elementNodes;
    std::vector<std::array<int, 4>> sides;
};

// Reads the mesh file, binary (little-endian int32 and IEEE doubles) or
// text (white-space separated). False when the file cannot be read, its
// counts do not fit its size or a number is missing or out of range.
bool ReadMeshFile(const std::string& fileName, bool binary, MeshFileContents& mesh);
