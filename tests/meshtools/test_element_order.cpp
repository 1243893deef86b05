// Element-order conversion on structured grids and small hand-built meshes:
// node counts, numbering, geometry, integration orders and the tables that
// name nodes.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "GridMeshSupport.h"
#include "meshtools/ElementOrder.h"

using gridmesh::AddNodalRow;
using gridmesh::BuildGrid;
using gridmesh::GridOptions;
using gridmesh::NodeAt;
using gridmesh::PointOf;

namespace {

void ExpectNumbering(const ModelData& model, const std::vector<std::pair<double, double>>& expected) {
    ASSERT_EQ(model.GetNodeCount(), static_cast<int>(expected.size()));
    for (int j = 0; j < model.GetNodeCount(); ++j) {
        const auto [y, z] = PointOf(model, j + 1);
        EXPECT_NEAR(y, expected[static_cast<std::size_t>(j)].first, 1e-12) << "node " << j + 1;
        EXPECT_NEAR(z, expected[static_cast<std::size_t>(j)].second, 1e-12) << "node " << j + 1;
    }
}

std::string ConvertTo(ModelData& model, int n) {
    switch (n) {
        case 4: return ConvertToLinear4(model);
        case 8: return ConvertToQuad8(model);
        default: return ConvertToQuad9(model);
    }
}

}  // namespace

TEST(ElementOrder, StructuredGridsGainAndLoseNodesAndStaySound) {
    struct Case {
        int from, to;
        int nodes(int nx, int ny) const {
            const int full = (2 * nx + 1) * (2 * ny + 1);
            if (to == 4) return (nx + 1) * (ny + 1);
            return to == 9 ? full : full - nx * ny;
        }
    };
    const Case cases[] = {{4, 9}, {4, 8}, {9, 8}, {8, 9}, {8, 4}, {9, 4}};
    const std::pair<int, int> grids[] = {{1, 1}, {2, 1}, {3, 2}, {4, 4}};
    for (const Case& c : cases)
        for (const auto& [nx, ny] : grids) {
            const std::string where = std::to_string(c.from) + " to " + std::to_string(c.to) + ", " +
                                      std::to_string(nx) + " x " + std::to_string(ny);
            SCOPED_TRACE(where);
            ModelData model;
            BuildGrid(model, {.nx = nx, .ny = ny, .nodesPerElement = c.from, .h = 0.5});
            const auto expected = gridmesh::FirstMeetingOrder(model, 1, 1, c.to);
            model.ClearChanged();
            ASSERT_EQ(ConvertTo(model, c.to), "");
            EXPECT_TRUE(model.IsChanged());
            EXPECT_EQ(model.GetElementTable()->GetNodesPerElement(), c.to);
            EXPECT_EQ(model.GetNodeCount(), c.nodes(nx, ny));
            ASSERT_EQ(model.GetElementCount(), nx * ny);
            for (int j = 0; j < nx * ny; ++j) {
                EXPECT_EQ(model.GetElementTable()->GetId(j), j + 1);
                EXPECT_EQ(model.GetElementTable()->GetElementMaterial(j), 1);
            }
            ExpectNumbering(model, expected);
            gridmesh::ExpectSoundMesh(model, nx * ny * 0.25, where);
            gridmesh::ExpectSavesAndReadsBack(model, where);
        }
}

TEST(ElementOrder, FourToEightToFourRestoresTheCornersNumberedElementByElement) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 2, .nodesPerElement = 4});
    const auto corners = gridmesh::FirstMeetingOrder(model, 1, 1, 4);
    ASSERT_EQ(ConvertToQuad8(model), "");
    ASSERT_EQ(ConvertToLinear4(model), "");
    EXPECT_EQ(model.GetNodeCount(), 12);
    ExpectNumbering(model, corners);
    // Element 2 (the second of the bottom row) takes nodes 2 and 4 of element
    // 1 and adds 5 and 6.
    const ElementTable& e = *model.GetElementTable();
    EXPECT_EQ((std::array{e.GetNodeNumber(1, 0), e.GetNodeNumber(1, 1), e.GetNodeNumber(1, 2), e.GetNodeNumber(1, 3)}),
              (std::array{2, 5, 6, 4}));
}

TEST(ElementOrder, LoneElementGetsItsNineNodesInGridOrder) {
    ModelData model;
    BuildGrid(model, {.nx = 1, .ny = 1, .nodesPerElement = 4, .h = 2.0});
    ASSERT_EQ(ConvertToQuad9(model), "");
    const std::pair<double, double> grid[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(PointOf(model, k + 1), grid[k]) << "node " << k + 1;
    const std::vector<int> row = model.GetElementTable()->GetRowField0At(0);
    EXPECT_EQ(row, (std::vector<int>{1, 3, 9, 7, 2, 6, 8, 4, 5}));
}

TEST(ElementOrder, IntegrationOrdersFollowTheNewOrder) {
    struct Case {
        int from, to;
        std::pair<int, int> before, after;
    };
    const Case cases[] = {
        {4, 8, {2, 1}, {2, 2}}, {4, 9, {2, 1}, {3, 3}}, {8, 4, {3, 3}, {2, 2}},
        {9, 4, {3, 3}, {2, 2}}, {8, 9, {2, 2}, {3, 3}}, {9, 8, {3, 3}, {3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        ModelData model;
        BuildGrid(model, {.nx = 2, .ny = 1, .nodesPerElement = c.from});
        model.GetElementTable()->SetIntegrationOrder1(c.before.first);
        model.GetElementTable()->SetIntegrationOrder2(c.before.second);
        ASSERT_EQ(ConvertTo(model, c.to), "");
        EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder1(), c.after.first);
        EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder2(), c.after.second);
    }
}

TEST(ElementOrder, SameOrderChangesNothing) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 8});
    model.ClearChanged();
    EXPECT_EQ(ConvertToQuad8(model), "");
    EXPECT_FALSE(model.IsChanged());
    EXPECT_EQ(model.GetNodeCount(), 21);
}

// A lone 8-node element whose top-left corner is node 5 and whose side 3-4
// mid-side node is node 7: 4 nodes give the corner the number 3.
TEST(ElementOrder, MembersKeepTheirSurvivingNodesAndSetNames) {
    ModelData model;
    model.Reset();
    NodeTable nodes;
    const std::array<std::array<double, 2>, 8> at = {{{0, 0}, {2, 0}, {2, 2}, {1, 0}, {0, 2}, {2, 1}, {1, 2}, {0, 1}}};
    for (int k = 0; k < 8; ++k) nodes.AddNodeRow(k + 1, 0.0, at[k][0], at[k][1]);
    nodes.CountRows();
    nodes.RebuildIndex();
    model.ReplaceNodeTable(nodes);
    ElementTable elements(8);
    elements.AddElementRow(1, 1, std::array{1, 2, 3, 5, 4, 6, 7, 8});
    elements.CountRows();
    elements.RebuildIndex();
    model.ReplaceElementTable(elements);
    gridmesh::AddSetMember(model, 1, "setB", "5,setA,7", 0, 0, 1);
    gridmesh::AddSetMember(model, 1, "setB", "6", 0, 1, 1);     // mid-side only: goes
    gridmesh::AddSetMember(model, 1, "setB", "1", 3, 1, 1);     // corners 1, 2, 3
    gridmesh::AddSetMember(model, 1, "setB", "setA", 9, 2, 1);  // a name: final and step 0
    AddNodalRow(model, 1, "7", 0.0);                            // goes with node 7
    AddNodalRow(model, 2, "5", 10.0);

    ASSERT_EQ(ConvertToLinear4(model), "");
    const SetMemberList* m = model.FindSetTable(1, "setB");
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->GetCount(), 3);
    EXPECT_EQ(m->GetText(0), "3,setA");
    EXPECT_EQ(m->GetText(1), "1,2,4");
    EXPECT_EQ(m->GetText(2), "setA");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m->GetFinal(i), 0);
        EXPECT_EQ(m->GetIncrement(i), 0);
    }
    EXPECT_EQ(model.GetNodalActionTable(1)->GetCount(), 0);
    ASSERT_EQ(model.GetNodalActionTable(2)->GetCount(), 1);
    EXPECT_EQ(model.GetNodalActionTable(2)->GetTarget(0), "3");
    EXPECT_EQ(model.GetNodalActionTable(2)->GetValue(0, 0), 10.0);
}

TEST(ElementOrder, CentreNodesGoWithTheirMembersAndLoads) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 1, .nodesPerElement = 9});
    const int centre1 = NodeAt(model, 0.5, 0.5), centre2 = NodeAt(model, 1.5, 0.5);
    const int corner = NodeAt(model, 1.0, 1.0);
    gridmesh::AddSetMember(model, 1, "centres", std::to_string(centre1) + "," + std::to_string(centre2), 0, 0, 1);
    gridmesh::AddSetMember(model, 1, "mixed", std::to_string(centre1), 0, 0, 1);
    gridmesh::AddSetMember(model, 1, "mixed", std::to_string(corner), 0, 0, 1);
    AddNodalRow(model, 2, std::to_string(centre2), 5.0);
    AddNodalRow(model, 2, std::to_string(corner), 7.0);

    ASSERT_EQ(ConvertToQuad8(model), "");
    EXPECT_EQ(model.GetNodeCount(), 13);
    ASSERT_NE(model.FindSetTable(1, "centres"), nullptr);
    EXPECT_EQ(model.FindSetTable(1, "centres")->GetCount(), 0);
    const SetMemberList* mixed = model.FindSetTable(1, "mixed");
    ASSERT_EQ(mixed->GetCount(), 1);
    EXPECT_EQ(mixed->GetText(0), std::to_string(NodeAt(model, 1.0, 1.0)));
    const NodalActionTable& loads = *model.GetNodalActionTable(2);
    ASSERT_EQ(loads.GetCount(), 1);
    EXPECT_EQ(loads.GetTarget(0), std::to_string(NodeAt(model, 1.0, 1.0)));
    EXPECT_EQ(loads.GetValue(0, 0), 7.0);
}

TEST(ElementOrder, ListTargetsNameTheNewNumbersAndKeepSetNames) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 4});
    const auto p1 = PointOf(model, 1), p5 = PointOf(model, 5);
    AddNodalRow(model, 2, "1,5,SETA", 3.0);
    ASSERT_EQ(ConvertToQuad9(model), "");
    const NodalActionTable& loads = *model.GetNodalActionTable(2);
    ASSERT_EQ(loads.GetCount(), 1);
    const std::string expected = std::to_string(NodeAt(model, p1.first, p1.second)) + "," +
                                 std::to_string(NodeAt(model, p5.first, p5.second)) + ",SETA";
    EXPECT_EQ(loads.GetTarget(0), expected);
}

TEST(ElementOrder, MeshNumberedFromTheTopStaysConnected) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 2, .nodesPerElement = 4, .fromTop = true});
    ASSERT_EQ(ConvertToQuad9(model), "");
    EXPECT_EQ(model.GetNodeCount(), 35);
    gridmesh::ExpectSoundMesh(model, 6.0, "from the top");
}

TEST(ElementOrder, ElementNamingAnUndefinedNodeLeavesTheModelUnchanged) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 1, .nodesPerElement = 4});
    model.GetElementTable()->SetNodeNumber(1, 2, 40);
    model.ClearChanged();
    EXPECT_EQ(ConvertToQuad8(model), "Element 2 names node 40, which is not defined");
    EXPECT_FALSE(model.IsChanged());
    EXPECT_EQ(model.GetNodeCount(), 6);
    EXPECT_EQ(model.GetElementTable()->GetNodesPerElement(), 4);
}

TEST(ElementOrder, NumbersWithGapsAreFoundThroughTheMaps) {
    ModelData model;
    BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 4, .nodeOffset = 100});
    // Element numbers with gaps as well: 1, 2, 3, 4 become 10, 20, 30, 40.
    for (int j = 0; j < 4; ++j) model.GetElementTable()->SetId(j, 10 * (j + 1));
    model.RebuildNodeIndex();
    AddNodalRow(model, 1, "105", 0.0);  // the centre node
    ASSERT_EQ(ConvertToQuad8(model), "");
    EXPECT_EQ(model.GetNodeCount(), 21);
    EXPECT_EQ(model.GetElementTable()->GetId(3), 40);
    EXPECT_EQ(model.GetNodalActionTable(1)->GetTarget(0), std::to_string(NodeAt(model, 1.0, 1.0)));
    gridmesh::ExpectSoundMesh(model, 4.0, "gaps");
}

TEST(ElementOrder, MaterialsStayWithTheirElements) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 2, .nodesPerElement = 8, .twoMaterials = true});
    const std::vector<int> before = gridmesh::ElementMaterials(model);
    EXPECT_EQ(before, (std::vector<int>{1, 2, 1, 2, 1, 2}));
    ASSERT_EQ(ConvertToQuad9(model), "");
    EXPECT_EQ(gridmesh::ElementMaterials(model), before);
    // The material texts still give every element its material.
    model.AssignMaterialsToElements();
    EXPECT_EQ(gridmesh::ElementMaterials(model), before);
}

TEST(ElementOrder, NodePathsNameNodesAtTheSamePoints) {
    ModelData model;
    BuildGrid(model, {.nx = 3, .ny = 3, .nodesPerElement = 4});
    const NodePath listed = gridmesh::NodeListPath("column", {1, 5, 9, 13});
    model.AddNodePath(listed);
    NodePath between;
    between.mode = 1;
    between.name = "bottom";
    between.startNode = 1;
    between.endNode = 4;
    model.ResolveNodePath(between.nodes, "1", "4");
    model.AddNodePath(between);
    NodePath lost = listed;
    lost.name = "lost";
    model.AddNodePath(lost);

    ASSERT_EQ(ConvertToQuad8(model), "");
    ASSERT_EQ(ConvertToQuad9(model), "");
    // Drop the centre of element 1 from the third path by hand: convert a
    // path naming a centre node to 8 nodes.
    model.NodePathAt(2)->nodes = {NodeAt(model, 0.5, 0.5)};
    model.NodePathAt(2)->nodeListText = std::to_string(NodeAt(model, 0.5, 0.5));
    ASSERT_EQ(ConvertToQuad8(model), "");

    const NodePath* column = model.NodePathAt(0);
    std::vector<int> expected;
    for (int k = 0; k < 4; ++k) expected.push_back(NodeAt(model, 0.0, k));
    EXPECT_EQ(column->nodes, expected);
    EXPECT_EQ(column->nodeListText, ModelData::JoinNumbers(expected));
    const NodePath* bottom = model.NodePathAt(1);
    EXPECT_EQ(bottom->startNode, NodeAt(model, 0.0, 0.0));
    EXPECT_EQ(bottom->endNode, NodeAt(model, 3.0, 0.0));
    EXPECT_EQ(bottom->nodes.size(), 7u);  // corners and mid-side nodes along the side
    const NodePath* gone = model.NodePathAt(2);
    EXPECT_EQ(gone->name, "lost");
    EXPECT_TRUE(gone->nodes.empty());
    EXPECT_EQ(gone->nodeListText, "");
}
