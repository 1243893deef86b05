// Import of a generated mesh: both file forms, the derived sets, materials,
// boundary loads, soil values and cut lines, nine-node elements and failures.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "model/MeshImport.h"
#include "test_solver_input_support.h"

using bridgetest::Fixture;
using bridgetest::ReadAll;
using bridgetest::Scratch;
using bridgetest::WriteAll;

namespace {

const double kPi = 3.14159265358979323846;

// A circular-template model before the import (as after File New).
void PrepareCircularTemplate(ModelData& m, int elementOption, double P) {
    m.Reset();
    m.templateKind = 2;
    m.planDims2 = {2.0, 0.0, 0.0};
    m.templateElementOption = elementOption;
    m.templateIntegration = 2;
    m.templateLoads = {P, 0.0, 0.0};
    m.typicalElementSize = 1.0;
}

int Import(ModelData& m, const Scratch& dir, const std::string& fixture, int mode,
           std::vector<std::string> setNames = {"Inner", "Outer"},
           std::vector<std::vector<int>> setRegions = {{0, 10}, {0, 20}},
           std::vector<double> thicknesses = {0.5, 0.75}) {
    const std::string path = dir.File("temp.fem");
    std::filesystem::copy_file(Fixture("mesh/" + fixture), path, std::filesystem::copy_options::overwrite_existing);
    return m.ImportMeshFile(path, mode, {"R10", "R20"}, {10, 20}, setNames, setRegions, thicknesses);
}

std::vector<std::string> MemberRows(const ModelData& m, int kind, const std::string& name) {
    std::vector<std::string> rows;
    const SetMemberList* list = m.FindSetTable(kind, name);
    if (!list) return rows;
    for (const SetMemberRow* r = list->GetHead(); r; r = r->next)
        rows.push_back(r->first + " " + std::to_string(r->final) + " " + std::to_string(r->increment));
    return rows;
}

}  // namespace

TEST(MeshImport, BinaryAndTextFormsGiveTheSameModel) {
    ModelData a, b;
    Scratch da, db;
    PrepareCircularTemplate(a, 1, 100.0);
    PrepareCircularTemplate(b, 1, 100.0);
    ASSERT_EQ(Import(a, da, "ring_quad8.fem", 1), 1);
    ASSERT_EQ(Import(b, db, "ring_quad8_text.fem", 2), 1);
    EXPECT_FALSE(a.nodeTable->CompareNodeTable(*b.nodeTable));
    EXPECT_FALSE(a.elementTable->CompareElementTable(*b.elementTable));
    EXPECT_FALSE(a.materialTable->CompareMaterialTable(*b.materialTable));
    EXPECT_FALSE(a.GetNodalActionTable(2)->CompareWith(*b.GetNodalActionTable(2)));
    for (int k = 1; k <= 2; ++k) EXPECT_FALSE(a.GetSetTable(k)->CompareSetTable(*b.GetSetTable(k)));
    // The keyword text is left beside the mesh file for the caller.
    EXPECT_EQ(ReadAll(da.File("temp.txt")), ReadAll(db.File("temp.txt")));
}

TEST(MeshImport, TemplateMeshBecomesACompleteModel) {
    ModelData m;
    Scratch dir;
    PrepareCircularTemplate(m, 1, 100.0);
    m.ClearChanged();
    ASSERT_EQ(Import(m, dir, "ring_quad8.fem", 1), 1);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.redrawFlag, 1);

    // Nodes: centred, second coordinate mirrored, x = 0; the keyword text
    // carries six significant digits.
    ASSERT_EQ(m.GetNodeCount(), 21);
    EXPECT_EQ(m.nodeCount, 21);
    const NodeTable& nodes = *m.nodeTable;
    const int boundaryMid = m.NodeRowOfNumber(10);  // on the arc at 22.5 degrees
    EXPECT_NEAR(nodes.GetY(boundaryMid), 2 * std::cos(kPi / 8), 1e-5);
    EXPECT_NEAR(nodes.GetZ(boundaryMid), -2 * std::sin(kPi / 8), 1e-5);
    const int interiorMid = m.NodeRowOfNumber(18);  // moved onto the midpoint of its side
    EXPECT_NEAR(nodes.GetY(interiorMid), 1.0, 1e-12);
    EXPECT_NEAR(nodes.GetZ(interiorMid), 0.0, 1e-12);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(nodes.GetX(i), 0.0);

    // Elements of 8 nodes, material by set, side flags of the mesh.
    ASSERT_EQ(m.GetElementCount(), 4);
    EXPECT_EQ(m.elementTable->GetNodesPerElement(), 8);
    EXPECT_EQ(m.elementTable->GetIntegrationOrder1(), 3);
    for (int e = 0; e < 4; ++e) EXPECT_EQ(m.GetElementMaterial(e), e < 2 ? 1 : 2);
    EXPECT_EQ(m.vlasovEdgeCount, 8);
    EXPECT_EQ(m.CountDistinctEdges(), 12);

    // Sets.
    EXPECT_EQ(m.FindSetIndex(1, "ALL"), 0);
    EXPECT_EQ(m.FindSetIndex(1, "Edge"), 1);
    EXPECT_EQ(MemberRows(m, 1, "Edge").size(), 16u);  // corner and mid node of each boundary side
    EXPECT_EQ(MemberRows(m, 1, "Edge")[0], "2 2 1");
    EXPECT_EQ(MemberRows(m, 2, "Inner"), (std::vector<std::string>{"1 2 1"}));
    EXPECT_EQ(MemberRows(m, 2, "Outer"), (std::vector<std::string>{"3 4 1"}));
    for (int n = 1; n <= 21; ++n) {
        // The outer set holds every node of elements 3 and 4.
        const ElementRow* e3 = m.elementTable->GetRow(2);
        const ElementRow* e4 = m.elementTable->GetRow(3);
        const bool inOuter =
            std::count(e3->nodes.begin(), e3->nodes.end(), n) + std::count(e4->nodes.begin(), e4->nodes.end(), n) > 0;
        EXPECT_EQ(m.IsInSet(n, "Outer", 1), inOuter ? 1 : 0) << n;
    }

    // One isotropic material per set with the set's thickness.
    ASSERT_EQ(m.materialTable->GetCount(), 2);
    EXPECT_EQ(m.materialTable->GetMaterialRowTextAt(0), "Inner");
    EXPECT_EQ(m.materialTable->GetMaterialRowTextAt(1), "Outer");
    EXPECT_EQ(m.materialTable->GetMaterialType(1), 0);
    EXPECT_EQ(m.materialTable->GetMaterialE(1), 5.2e5);
    EXPECT_EQ(m.materialTable->GetMaterialEs(1), 4.176e6);
    EXPECT_EQ(m.materialTable->GetMaterialNu(1), 0.2);
    EXPECT_EQ(m.materialTable->GetMaterialThickness(1), 0.75);

    // The axial template load spread on the round boundary of the second set:
    // in total P / (2 pi R) times the length of its two boundary edges.
    const NodalActionTable& loads = *m.GetNodalActionTable(2);
    double total = 0.0;
    for (int i = 0; i < loads.GetCount(); ++i) {
        total += loads.GetValue(i, 0);
        EXPECT_EQ(loads.GetValue(i, 1), 0.0);
        EXPECT_EQ(loads.GetFlag(i, 0), 1);
        EXPECT_EQ(loads.GetFlag(i, 3), 0);
    }
    EXPECT_EQ(loads.GetCount(), 6);  // two edges of three nodes, one corner shared
    const double edge = 2 * 2 * 2 * std::sin(kPi / 16);
    EXPECT_NEAR(total, 100.0 / (2 * kPi * 2.0) * 2 * edge, 1e-4);

    // Soil values, template fields read back, cut lines through the centre.
    const double soil[6] = {150.0, 250.0, 0.3, 200.0, 30.0, 1.0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(m.GetSoilValue(k), soil[k]);
    EXPECT_EQ(m.templateKind, 2);
    EXPECT_EQ(m.planDims2[0], 2.0);
    EXPECT_EQ(m.templateLoads[0], 100.0);
    const CutLineTable& cuts = *m.GetCutLineDataTable();
    ASSERT_EQ(cuts.GetCount(), 2);
    EXPECT_NEAR(cuts.GetStartY(0), -2.4, 1e-12);
    EXPECT_NEAR(cuts.GetEndY(0), 2.4, 1e-12);
    EXPECT_EQ(cuts.GetStartZ(0), 0.0);
    EXPECT_EQ(cuts.GetStartY(1), 0.0);
    EXPECT_NEAR(cuts.GetStartZ(1), -2.4, 1e-12);
    EXPECT_NEAR(cuts.GetEndZ(1), 2.4, 1e-12);
    EXPECT_EQ(cuts.GetInterpolationOption(), 1);
    EXPECT_EQ(cuts.GetSegmentDivisionCode(), 2);
    EXPECT_NE(m.GetNodalActionTable(1), nullptr);  // missing tables created
}

TEST(MeshImport, TemplateOptionsChangeMaterialsLoadsAndElementKind) {
    {
        // Nine-node elements: a centre node per element, numbered after the others.
        ModelData m;
        Scratch dir;
        PrepareCircularTemplate(m, 2, 0.0);
        ASSERT_EQ(Import(m, dir, "ring_quad8.fem", 1), 1);
        EXPECT_EQ(m.GetNodeCount(), 25);
        EXPECT_EQ(m.elementTable->GetNodesPerElement(), 9);
        for (int e = 0; e < 4; ++e) EXPECT_EQ(m.elementTable->GetNodeNumber(e, 8), 22 + e);
        EXPECT_NE(ReadAll(dir.File("temp.txt")).find("QUAD9 NORMAL_INTEGRATION\n"), std::string::npos);
        EXPECT_EQ(m.GetNodalActionTable(2)->GetCount(), 0);  // no template load, no rows
        // The centre of element 1 (first quadrant, mirrored) lies in the fourth.
        const int centre = m.NodeRowOfNumber(22);
        EXPECT_GT(m.nodeTable->GetY(centre), 0.0);
        EXPECT_LT(m.nodeTable->GetZ(centre), 0.0);
    }
    {
        // Nine-node elements asked for on a mesh of four-node elements: the
        // elements stay four-node ones, every node number names a node.
        ModelData m;
        Scratch dir;
        PrepareCircularTemplate(m, 2, 0.0);
        WriteAll(dir.File("temp.fem"),
                 "4  1  4  \n1  0  0\n2  1  0\n3  1  1\n4  0  1\n"
                 "      1  0  10  4         1         2         3         4\n"
                 "      1   4   -1  -1  -1  -1\n 0   0\n 0 \n");
        ASSERT_EQ(m.ImportMeshFile(dir.File("temp.fem"), 2, {"R10"}, {10}, {"Only"}, {{0, 10}}, {0.5}), 1);
        EXPECT_EQ(m.GetNodeCount(), 4);
        EXPECT_EQ(m.elementTable->GetNodesPerElement(), 4);
        ASSERT_EQ(m.GetElementCount(), 1);
        for (int k = 0; k < 4; ++k) EXPECT_GE(m.NodeRowOfNumber(m.elementTable->GetNodeNumber(0, k)), 0) << k;
        EXPECT_NE(ReadAll(dir.File("temp.txt")).find("LINEAR4 NORMAL_INTEGRATION\n"), std::string::npos);
    }
    {
        // No thicknesses: one material for every element.
        ModelData m;
        Scratch dir;
        PrepareCircularTemplate(m, 1, 0.0);
        ASSERT_EQ(Import(m, dir, "ring_quad8.fem", 1, {"Only"}, {{0, 10, 0, 20}}, {}), 1);
        ASSERT_EQ(m.materialTable->GetCount(), 1);
        EXPECT_EQ(m.materialTable->GetMaterialRowTextAt(0), "ALL");
        EXPECT_EQ(m.materialTable->GetMaterialNu(0), 0.3);
        EXPECT_EQ(MemberRows(m, 2, "Only"), (std::vector<std::string>{"1 4 1"}));
    }
}

// Template loads that cannot be placed fail the import instead of vanishing.
TEST(MeshImport, TemplateLoadsThatCannotBePlacedFailTheImport) {
    struct Case {
        const char* what;
        double radius;
        std::array<double, 3> loads;  // P, V, M
        std::vector<std::string> sets;
        std::vector<std::vector<int>> regions;
    };
    const Case cases[] = {
        {"a single set", 2.0, {100.0, 0.0, 0.0}, {"Only"}, {{0, 10, 0, 20}}},
        {"no side on the ring radius", 7.0, {100.0, 0.0, 0.0}, {"Inner", "Outer"}, {{0, 10}, {0, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelData m;
        Scratch dir;
        PrepareCircularTemplate(m, 1, 0.0);
        m.planDims2 = {c.radius, 0.0, 0.0};
        m.templateLoads = c.loads;
        EXPECT_EQ(Import(m, dir, "ring_quad8.fem", 1, c.sets, c.regions), 0);
        EXPECT_EQ(m.GetElementCount(), 0);
    }
    // A moment about an axis with no ring side beyond it.
    ModelData m;
    m.templateKind = 2;
    m.planDims2 = {1.0, 0.0, 0.0};
    m.templateLoads = {0.0, 0.0, 50.0};
    m.templateAngle = 0.0;
    // One element whose ring side lies at y > 0 only.
    const std::vector<double> y = {0.5, 1.0, 1.0, 0.5}, z = {-0.1, -0.1, 0.1, 0.1};
    std::vector<double> ry = y, rz = z;
    const double r = std::hypot(1.0, 0.1);
    ry[1] = ry[2] = 1.0 / r * 1.0;
    rz[1] = -0.1 / r;
    rz[2] = 0.1 / r;
    std::vector<int> loadNodes(4, 0);
    std::vector<std::array<double, 3>> loadValues(4, {0.0, 0.0, 0.0});
    EXPECT_FALSE(m.ComputeBoundaryNodalLoads(4, 1, 4, loadNodes, loadValues, {{1, 2, 3, 4}, {1, 2, 3, 4}}, {{1}, {1}},
                                             ry, rz, {{1, 2, 3, 4}}));
    m.templateLoads = {10.0, 0.0, 0.0};
    EXPECT_TRUE(m.ComputeBoundaryNodalLoads(4, 1, 4, loadNodes, loadValues, {{1, 2, 3, 4}, {1, 2, 3, 4}}, {{1}, {1}},
                                            ry, rz, {{1, 2, 3, 4}}));
}

TEST(MeshImport, UnreadableMeshesLeaveTheModelAsItWas) {
    const std::string good = ReadAll(Fixture("mesh/ring_quad8_text.fem"));
    struct Case {
        std::string what;
        std::string text;
        int redraw;
    };
    const Case cases[] = {
        {"six nodes per element", "21 4 6\n" + good.substr(good.find('\n') + 1), 1},
        {"counts beyond the file", "2000000000 2000000000 8\n1 0 0\n", 1},
        {"no elements", "21 0 8\n" + good.substr(good.find('\n') + 1), 1},
        {"ends in the side codes", good.substr(0, good.rfind("1 -1")), 0},
        {"node number beyond the nodes",
         good.substr(0, good.find("1 0 10 8 1 ")) + "1 0 10 8 1 99" + good.substr(good.find("1 0 10 8 1 ") + 12), 0},
        {"empty file", "", 1},
    };
    for (const Case& c : cases) {
        ModelData m;
        PrepareCircularTemplate(m, 1, 100.0);
        m.redrawFlag = 0;
        Scratch dir;
        WriteAll(dir.File("temp.fem"), c.text);
        EXPECT_EQ(
            m.ImportMeshFile(dir.File("temp.fem"), 2, {"R10", "R20"}, {10, 20}, {"A", "B"}, {{0, 10}, {0, 20}}, {}), 0)
            << c.what;
        EXPECT_EQ(m.redrawFlag, c.redraw) << c.what;
        EXPECT_EQ(m.GetNodeCount(), 0) << c.what;
        EXPECT_EQ(m.GetCutLineDataTable()->GetCount(), 0) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir.File("temp.txt"))) << c.what;
    }
}

TEST(MeshImport, NumberListsBecomeMemberRowsOfRuns) {
    struct Case {
        std::vector<int> numbers;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {{1, 2, 3, 4, 10, 20, 30}, {"*    1  4  1", "*    10  30  10"}},
        {{30, 10, 4, 2, 20, 3, 1}, {"*    1  4  1", "*    10  30  10"}},
        {{5}, {"*    5  5  1"}},
        {{}, {}},
        {{1, 3, 5, 6}, {"*    1  5  2", "*    6  6  1"}},
        {{7, 7, 8}, {"*    7  8  1"}},
    };
    for (const Case& c : cases) EXPECT_EQ(IdListToMemberRows(c.numbers), c.rows);
}

TEST(MeshImport, CentreNodesAndSetNodeLists) {
    std::vector<int> numbers{1, 2, 3, 4, 5, 6};
    std::vector<double> x(6, 0.0), y{0, 2, 2, 0, 4, 4}, z{0, 0, 2, 2, 0, 2};
    std::vector<std::vector<int>> elements{{1, 2, 3, 4, 0, 0, 0, 0}, {2, 5, 6, 3, 0, 0, 0, 0}};
    std::vector<std::vector<int>> setNodes;
    AddElementCentreNodes(numbers, x, y, z, {1, 2}, elements, {{2}, {1, 2}}, setNodes);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(y[6], 1.0);
    EXPECT_EQ(z[6], 1.0);
    EXPECT_EQ(y[7], 3.0);
    EXPECT_EQ(elements[1][8], 8);
    // Unset mid-side entries (0) name no node.
    EXPECT_EQ(setNodes[0], (std::vector<int>{2, 5, 6, 3, 8}));
    EXPECT_EQ(setNodes[1], (std::vector<int>{1, 2, 3, 4, 7, 5, 6, 8}));
}
