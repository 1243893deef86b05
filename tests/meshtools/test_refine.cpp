// Mesh refinement: counts, numbering and geometry of refined grids, and the
// sets, actions, materials and paths that follow the sub-elements.

#include <gtest/gtest.h>

#include <string>

#include "GridMeshSupport.h"
#include "meshtools/Refine.h"

using gridmesh::AddNodalRow;
using gridmesh::BuildGrid;
using gridmesh::NodeAt;
using gridmesh::PointOf;

TEST(Refine, StructuredGridsSplitIntoSoundMeshes) {
    struct Case {
        int n, nx, ny, a, b;
        int nodes, elements;
    };
    const Case cases[] = {
        {4, 2, 1, 2, 3, 20, 12},
        {4, 4, 4, 2, 3, 117, 96},
        {8, 4, 4, 2, 2, 225, 64},
        {9, 4, 4, 2, 2, 289, 64},
        {8, 3, 2, 3, 1, 19 * 5 - 9 * 2, 18},
        {9, 1, 1, 3, 2, 7 * 5, 6},
    };
    for (const Case& c : cases) {
        const std::string where = std::to_string(c.n) + "-node " + std::to_string(c.nx) + " x " + std::to_string(c.ny) +
                                  " by " + std::to_string(c.a) + " x " + std::to_string(c.b);
        SCOPED_TRACE(where);
        ModelData model;
        BuildGrid(model, {.nx = c.nx, .ny = c.ny, .nodesPerElement = c.n, .h = 3.0});
        // Quadratic elements at 3 x 3 points, which the refinement keeps.
        const int order = c.n == 4 ? 2 : 3;
        model.GetElementTable()->SetIntegrationOrder1(order);
        model.GetElementTable()->SetIntegrationOrder2(order);
        const auto expected = gridmesh::FirstMeetingOrder(model, c.a, c.b, c.n);
        ASSERT_EQ(RefineMesh(model, c.a, c.b), "");
        EXPECT_EQ(model.GetNodeCount(), c.nodes);
        EXPECT_EQ(model.GetElementCount(), c.elements);
        EXPECT_EQ(model.GetElementTable()->GetNodesPerElement(), c.n);
        EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder1(), order);
        EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder2(), order);
        ASSERT_EQ(static_cast<int>(expected.size()), model.GetNodeCount());
        for (int j = 0; j < model.GetNodeCount(); ++j) {
            const auto [y, z] = PointOf(model, j + 1);
            EXPECT_NEAR(y, expected[static_cast<std::size_t>(j)].first, 1e-12) << "node " << j + 1;
            EXPECT_NEAR(z, expected[static_cast<std::size_t>(j)].second, 1e-12) << "node " << j + 1;
        }
        for (int j = 0; j < c.elements; ++j) EXPECT_EQ(model.GetElementTable()->GetId(j), j + 1);
        gridmesh::ExpectSoundMesh(model, 9.0 * c.nx * c.ny, where);
        gridmesh::ExpectSavesAndReadsBack(model, where);
    }
}

TEST(Refine, DegenerateDivisionsChangeNothing) {
    const std::pair<int, int> divisions[] = {{1, 1}, {0, 5}, {5, 0}, {-2, 3}};
    for (const auto& [a, b] : divisions) {
        ModelData model;
        BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 8});
        model.ClearChanged();
        EXPECT_EQ(RefineMesh(model, a, b), "");
        EXPECT_FALSE(model.IsChanged()) << a << " x " << b;
        EXPECT_EQ(model.GetNodeCount(), 21);
        EXPECT_EQ(model.GetElementCount(), 4);
    }
}

TEST(Refine, ElementSetMembersBecomeTheirSubElements) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 3, .nodesPerElement = 4});
    gridmesh::AddSetMember(model, 2, "one", "7", 0, 1, 1);
    gridmesh::AddSetMember(model, 2, "range", "1", 5, 4, 1);  // elements 1 and 5
    gridmesh::AddSetMember(model, 2, "list", "2,one,40", 0, 0, 1);
    gridmesh::AddSetMember(model, 2, "name", "one", 3, 1, 1);
    ASSERT_EQ(RefineMesh(model, 2, 2), "");

    struct Expect {
        const char* set;
        const char* text;
    };
    const Expect expects[] = {
        {"one", "25,26,27,28"}, {"range", "1,2,3,4,17,18,19,20"}, {"list", "5,6,7,8,one"}, {"name", "one"}};
    for (const Expect& e : expects) {
        const SetMemberList* m = model.FindSetTable(2, e.set);
        ASSERT_NE(m, nullptr) << e.set;
        ASSERT_EQ(m->GetCount(), 1) << e.set;
        EXPECT_EQ(m->GetText(0), e.text) << e.set;
        EXPECT_EQ(m->GetFinal(0), 0) << e.set;
        EXPECT_EQ(m->GetIncrement(0), 0) << e.set;
    }
}

TEST(Refine, EdgeMembersBecomeTheSubElementsAlongTheirSide) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 8});
    gridmesh::AddSetMember(model, 3, "right", "4", 0, 1, 2);
    gridmesh::AddSetMember(model, 3, "bottom", "1", 2, 1, 1);  // elements 1 and 2, side 1
    gridmesh::AddSetMember(model, 3, "list", "3,other", 0, 0, 4);
    gridmesh::AddSetMember(model, 3, "named", "other", 5, 1, 3);
    ASSERT_EQ(RefineMesh(model, 3, 2), "");

    // Element 4 owns sub-elements 19..24; side 2 holds its indices 2 and 5.
    const SetMemberList* right = model.FindSetTable(3, "right");
    ASSERT_EQ(right->GetCount(), 2);
    EXPECT_EQ(right->GetText(0), "21");
    EXPECT_EQ(right->GetText(1), "24");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(right->GetSide(i), 2);
        EXPECT_EQ(right->GetFinal(i), 0);
        EXPECT_EQ(right->GetIncrement(i), 0);
    }
    const SetMemberList* bottom = model.FindSetTable(3, "bottom");
    ASSERT_EQ(bottom->GetCount(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bottom->GetText(i), std::to_string(i < 3 ? 1 + i : 4 + i)) << i;
    const SetMemberList* list = model.FindSetTable(3, "list");
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetText(0), "13,16,other");
    const SetMemberList* named = model.FindSetTable(3, "named");
    EXPECT_EQ(named->GetText(0), "other");
    EXPECT_EQ(named->GetFinal(0), 5);
    EXPECT_EQ(named->GetSide(0), 3);
}

TEST(Refine, ActionsFollowTheirNodesAndElements) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 4});
    AddNodalRow(model, 1, "5", 0.25);  // the centre node
    AddNodalRow(model, 4, "2", 50.0);  // distributed load on element 2
    AddNodalRow(model, 5, "ALL", 1e4);
    AddNodalRow(model, 4, "4,SLAB", 7.0);
    gridmesh::AddEdgeRow(model, 1, "3", 3, 2.0);
    gridmesh::AddEdgeRow(model, 2, "EDGES", 1, 4.0);
    const auto centre = PointOf(model, 5);
    ASSERT_EQ(RefineMesh(model, 2, 2), "");

    const NodalActionTable& constraints = *model.GetNodalActionTable(1);
    ASSERT_EQ(constraints.GetCount(), 1);
    EXPECT_EQ(constraints.GetTarget(0), std::to_string(NodeAt(model, centre.first, centre.second)));
    EXPECT_EQ(constraints.GetFlag(0, 0), 1);
    EXPECT_EQ(constraints.GetValue(0, 0), 0.25);

    const NodalActionTable& loads = *model.GetNodalActionTable(4);
    ASSERT_EQ(loads.GetCount(), 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(loads.GetTarget(i), std::to_string(5 + i));
        EXPECT_EQ(loads.GetFlag(i, 0), 1);
        EXPECT_EQ(loads.GetValue(i, 0), 50.0);
    }
    EXPECT_EQ(loads.GetTarget(4), "13,14,15,16,SLAB");
    EXPECT_EQ(model.GetNodalActionTable(5)->GetTarget(0), "ALL");

    const EdgeActionTable& edges = *model.GetEdgeActionTable(1);
    ASSERT_EQ(edges.GetCount(), 2);
    EXPECT_EQ(edges.GetTarget(0), "11");
    EXPECT_EQ(edges.GetTarget(1), "12");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(edges.GetSide(i), 3);
        EXPECT_EQ(edges.GetValue(i, 1), 2.0);
    }
    EXPECT_EQ(model.GetEdgeActionTable(2)->GetTarget(0), "EDGES");
}

TEST(Refine, MaterialsFollowTheSubElements) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 9, .twoMaterials = true});
    // Elements 1 and 4 have material 1, elements 2 and 3 material 2.
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialRowTextAt(1), "2,3");
    ASSERT_EQ(RefineMesh(model, 2, 2), "");
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialRowTextAt(0), "1,2,3,4,13,14,15,16");
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialRowTextAt(1), "5,6,7,8,9,10,11,12");
    const std::vector<int> after = gridmesh::ElementMaterials(model);
    EXPECT_EQ(after, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
    model.AssignMaterialsToElements();
    EXPECT_EQ(gridmesh::ElementMaterials(model), after);
}

TEST(Refine, NodePathsNameNodesAtTheSamePoints) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 3, .nodesPerElement = 4});
    model.AddNodePath(gridmesh::NodeListPath("column", {1, 5, 9, 13}));
    ASSERT_EQ(RefineMesh(model, 2, 3), "");
    std::vector<int> expected;
    for (int k = 0; k < 4; ++k) expected.push_back(NodeAt(model, 0.0, k));
    EXPECT_EQ(model.NodePathAt(0)->nodes, expected);
    EXPECT_EQ(model.NodePathAt(0)->nodeListText, ModelData::JoinNumbers(expected));
}

TEST(Refine, MeshNumberedFromTheTopRefinesConnected) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 2, .nodesPerElement = 9, .fromTop = true});
    ASSERT_EQ(RefineMesh(model, 2, 2), "");
    EXPECT_EQ(model.GetNodeCount(), 13 * 9);
    gridmesh::ExpectSoundMesh(model, 6.0, "from the top");
}

TEST(Refine, TurnedElementTakesEqualDivisionsOnly) {
    for (int n : {4, 8}) {
        SCOPED_TRACE(n);
        ModelData model;
        BuildGrid(model, {.nx = 3, .ny = 2, .nodesPerElement = n, .turnedElement = 4});
        const int nodes = model.GetNodeCount();
        model.ClearChanged();
        EXPECT_EQ(RefineMesh(model, 2, 3),
                  "Elements of this mesh have different local directions; refine with equal divisions");
        EXPECT_FALSE(model.IsChanged());
        EXPECT_EQ(model.GetNodeCount(), nodes);
        EXPECT_EQ(model.GetElementCount(), 6);
        ASSERT_EQ(RefineMesh(model, 2, 2), "");
        EXPECT_EQ(model.GetElementCount(), 24);
        gridmesh::ExpectSoundMesh(model, 6.0, "turned");
    }
}

TEST(Refine, MeshesBeyondTheNodeLimitAreRefused) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 4});
    EXPECT_TRUE(RefinementTooLarge(model, 100000, 100000));
    EXPECT_TRUE(RefinementTooLarge(model, 2147483647, 2147483647));
    EXPECT_FALSE(RefinementTooLarge(model, 4999, 4999));  // 4 x 5000 x 5000 nodes at most
    EXPECT_TRUE(RefinementTooLarge(model, 5000, 5000));
    model.ClearChanged();
    EXPECT_EQ(RefineMesh(model, 100000, 100000), "The refined mesh would have more than 100,000,000 nodes");
    EXPECT_FALSE(model.IsChanged());
}
