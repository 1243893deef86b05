// Bounding box of the nodes and the side flags of the elements.

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/ModelData.h"

void ModelData::UpdateBoundingBox() {
    const NodeTable* t = nodeTable.get();
    const int rows = t ? std::min(nodeCount, t->GetCount()) : 0;
    if (rows <= 0) {
        maxX = minX = maxY = minY = maxZ = minZ = 0.0;
        maxExtent = extentY = extentZ = centreY = centreZ = 0.0;
        return;
    }
    const NodeRow* first = t->GetRow(0);
    maxX = minX = first->x;
    maxY = minY = first->y;
    maxZ = minZ = first->z;
    for (int i = 1; i < rows; ++i) {
        const NodeRow* r = t->GetRow(i);
        maxX = std::max(maxX, r->x);
        minX = std::min(minX, r->x);
        maxY = std::max(maxY, r->y);
        minY = std::min(minY, r->y);
        maxZ = std::max(maxZ, r->z);
        minZ = std::min(minZ, r->z);
    }
    extentY = maxY - minY;
    extentZ = maxZ - minZ;
    centreY = (maxY + minY) / 2.0;
    centreZ = (maxZ + minZ) / 2.0;
    maxExtent = maxX - minX;
    if (extentY > maxExtent) maxExtent = extentY;
    if (extentZ > maxExtent) maxExtent = extentZ;
}

namespace {

std::uint64_t SideKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

int Corner(const ElementRow* e, int k) {
    return k < static_cast<int>(e->nodes.size()) ? e->nodes[static_cast<std::size_t>(k)] : 0;
}

}  // namespace

// Side k of an element runs from corner k to corner k + 1 (corner 4 back to
// corner 1). A side whose reverse is found on another element is shared: the
// first in row order gets 1, its partner 2 (other material) or 3 (same
// material); a side that stays unmatched is a boundary side (0). Partners are
// taken in row order among the sides still flagged 0, through a map of the
// directed sides instead of a search over all elements.
void ModelData::BuildEdgeFlags() {
    const ElementTable* t = elementTable.get();
    const int count = t ? t->GetCount() : 0;
    const std::size_t needed = static_cast<std::size_t>(count) * 4;
    // One flag per element side: a table that lost elements loses their flags.
    edgeFlags.assign(needed, 0);

    std::vector<const ElementRow*> rows(static_cast<std::size_t>(count));
    std::unordered_map<std::uint64_t, std::vector<int>> sides;  // directed side -> 4 * row + side
    sides.reserve(needed);
    for (int j = 0; j < count; ++j) {
        rows[static_cast<std::size_t>(j)] = t->GetRow(j);
        for (int k = 0; k < 4; ++k)
            sides[SideKey(Corner(rows[static_cast<std::size_t>(j)], k),
                          Corner(rows[static_cast<std::size_t>(j)], (k + 1) % 4))]
                .push_back(4 * j + k);
    }

    for (int j = 0; j < count; ++j) {
        const ElementRow* e = rows[static_cast<std::size_t>(j)];
        for (int k = 0; k < 4; ++k) {
            if (edgeFlags[static_cast<std::size_t>(4 * j + k)] != 0) continue;
            const int a = Corner(e, k);
            const int b = Corner(e, (k + 1) % 4);
            auto found = sides.find(SideKey(b, a));
            if (found == sides.end()) continue;
            for (int other : found->second) {
                const int l = other / 4;
                if (l == j || edgeFlags[static_cast<std::size_t>(other)] != 0) continue;
                edgeFlags[static_cast<std::size_t>(4 * j + k)] = 1;
                edgeFlags[static_cast<std::size_t>(other)] =
                    rows[static_cast<std::size_t>(l)]->material == e->material ? 3 : 2;
                break;
            }
        }
    }
    vlasovEdgeCount =
        static_cast<int>(std::count(edgeFlags.begin(), edgeFlags.begin() + static_cast<std::ptrdiff_t>(needed), 0));
}

int ModelData::CountDistinctEdges() const {
    const int count = elementTable ? elementTable->GetCount() : 0;
    const std::size_t n = std::min(edgeFlags.size(), static_cast<std::size_t>(count) * 4);
    int distinct = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (edgeFlags[i] == 0 || edgeFlags[i] == 1) ++distinct;
    return distinct;
}
