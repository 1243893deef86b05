// Fixture of the set and list dialog tests: a square 3 x 3 mesh of 4-node
// elements (nodes 1-16 row by row, one unit apart in y and z), the node set
// "EDGE" (nodes 1 to 4) and two spring profiles, behind fake hosts.
#pragma once

#include <string>
#include <vector>

#include "DialogTestSupport.h"

namespace dialogtest {

inline void BuildSquareMesh(ModelData& m) {
    m.nodesPerElement = 4;
    m.Reset();
    NodeTable& nodes = *m.GetNodeTable();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) nodes.AddNodeRow(r * 4 + c + 1, 0.0, c, r);
    nodes.CountNodeRows();
    nodes.RebuildNodeTableIndex();
    m.nodeCount = 16;
    ElementTable& elements = *m.GetElementTable();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int n = r * 4 + c + 1;
            const int ids[] = {n, n + 1, n + 5, n + 4};
            elements.AddElementRow(r * 3 + c + 1, 1, ids);
        }
    elements.CountRows();
    elements.RebuildIndex();
    SetMemberList edge;
    edge.AddSetMemberRow("1", 4, 1, 1);
    edge.CountSetMemberRows();
    edge.RebuildSetMemberIndex();
    SetTable& sets = *m.GetSetTable(1);
    sets.AddSetRow("EDGE", &edge);
    sets.CountRows();
    sets.RebuildIndex();
    NonlinearSpring soft;
    soft.name = "Soft";
    soft.deformations = {0.0, 0.01, 0.02};
    soft.forces = {0.0, 100.0, 150.0};
    m.AddNonlinearSpring(soft);
    NonlinearSpring stiff;
    stiff.name = "Stiff";
    stiff.deformations = {0.0, 0.01};
    stiff.forces = {0.0, 500.0};
    m.AddNonlinearSpring(stiff);
    m.RebuildNodeIndex();
    m.ClearChanged();
}

class SquareMeshFixture : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        model.Clear();
        BuildSquareMesh(model);
    }
    bool Enabled(const ui::Dialog& d, int id) const { return d.GetDlgItem(id)->IsWindowEnabled(); }
    bool Visible(const ui::Dialog& d, int id) const { return d.GetDlgItem(id)->IsWindowVisible(); }
    static std::vector<std::string> ListItems(const ui::Dialog& d, int id) { return d.Get<ui::ListBox>(id)->Items(); }
};

}  // namespace dialogtest
