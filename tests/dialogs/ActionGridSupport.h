// The model of the action grid tests: a 3 x 3 mesh of unit squares in the
// y-z plane, nodes 1-16 (node = 4 * row + column + 1, y = column, z = row),
// elements 1-9 (element = 3 * row + column + 1), the node set "EDGE"
// (nodes 1-4), the element set "MID" (element 5) and the edge set "SIDE"
// (side 1 of element 1). With 8 nodes per element the elements carry four
// more (unused) node numbers.
#pragma once

#include <string>

#include "DialogTestSupport.h"

namespace dialogtest {

inline void AddSet(ModelData& m, int kind, const std::string& name, const std::string& first, int last, int side) {
    SetMemberList members;
    members.AddSetMemberRow(first, last, 1, side);
    members.CountSetMemberRows();
    members.RebuildSetMemberIndex();
    SetTable& sets = *m.GetSetTable(kind);
    sets.AddSetRow(name, &members);
    sets.CountRows();
    sets.RebuildIndex();
}

inline void BuildSquareMesh(ModelData& m, int nodesPerElement = 4) {
    m.nodesPerElement = nodesPerElement;
    m.Reset();
    NodeTable& nodes = *m.GetNodeTable();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) nodes.AddNodeRow(4 * row + column + 1, 0.0, column, row);
    nodes.CountNodeRows();
    nodes.RebuildNodeTableIndex();
    m.nodeCount = 16;
    ElementTable& elements = *m.GetElementTable();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const int n = 4 * row + column + 1;
            const int ids[8] = {n, n + 1, n + 5, n + 4, n, n + 1, n + 5, n + 4};
            elements.AddElementRow(3 * row + column + 1, 1,
                                   std::span<const int>(ids, static_cast<size_t>(nodesPerElement)));
        }
    elements.CountRows();
    elements.RebuildIndex();
    AddSet(m, 1, "EDGE", "1", 4, 1);
    AddSet(m, 2, "MID", "5", 5, 1);
    AddSet(m, 3, "SIDE", "1", 1, 1);
    m.RebuildNodeIndex();
    m.ClearChanged();
}

class ActionGridFixture : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        BuildSquareMesh(model);
    }
};

}  // namespace dialogtest
