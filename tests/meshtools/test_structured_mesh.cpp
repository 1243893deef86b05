// The structured slab mesh: node positions and element numbering of the
// three slab kinds with 4, 8 and 9 nodes, checked against the layout the
// elements must have (shared sides, mid-side nodes half-way between their
// corners) and against hand-made answers.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "GridLineTables.h"
#include "meshtools/StructuredMesh.h"
#include "model/ModelData.h"

namespace {

using meshtest::FillGrid;
using SpanRow = meshtest::Span;

std::vector<int> ElementNodes(const ModelData& m, int row) {
    const ElementTable* t = m.GetElementTable();
    std::vector<int> n;
    for (int j = 0; j < t->GetNodesPerElement(); ++j) n.push_back(t->GetNodeNumber(row, j));
    return n;
}

std::pair<double, double> NodeYZ(const ModelData& m, int number) {
    const int row = m.NodeRowOfNumber(number);
    EXPECT_GE(row, 0) << "node " << number;
    if (row < 0) return {0.0, 0.0};
    return {m.GetNodeTable()->GetY(row), m.GetNodeTable()->GetZ(row)};
}

std::set<double> Rounded(const std::vector<double>& v) {
    std::set<double> s;
    for (double x : v) s.insert(std::round(x * 1e9) / 1e9);
    return s;
}

// What every generated mesh must satisfy: numbers 1..n found through the
// maps, x = 0, every element's nodes present, all elements turning the same
// way, a side on two elements flagged 1 and 3 and a side on one flagged 0,
// and (for the straight kinds) mid-side nodes half-way between their
// corners and the centre node at the corners' mean.
void CheckMeshInvariants(const ModelData& m, bool straight) {
    const NodeTable* nodes = m.GetNodeTable();
    const ElementTable* elements = m.GetElementTable();
    ASSERT_TRUE(nodes && elements);
    EXPECT_EQ(m.GetNodeCount(), nodes->GetCount());
    EXPECT_EQ(m.nodeCount, nodes->GetCount());
    for (int i = 0; i < nodes->GetCount(); ++i) {
        EXPECT_EQ(nodes->GetNodeId(i), i + 1);
        EXPECT_EQ(m.NodeRowOfNumber(i + 1), i);
        EXPECT_EQ(nodes->GetX(i), 0.0);
    }
    const int npe = elements->GetNodesPerElement();
    std::map<std::pair<int, int>, int> sideUse;
    int orientation = 0;
    for (int e = 0; e < elements->GetCount(); ++e) {
        SCOPED_TRACE("element " + std::to_string(e + 1));
        EXPECT_EQ(elements->GetId(e), e + 1);
        EXPECT_EQ(m.ElementRowOfNumber(e + 1), e);
        EXPECT_EQ(elements->GetElementMaterial(e), 1);
        const std::vector<int> n = ElementNodes(m, e);
        std::vector<std::pair<double, double>> p;
        for (int id : n) p.push_back(NodeYZ(m, id));
        double area = 0.0;
        for (int k = 0; k < 4; ++k) area += p[k].first * p[(k + 1) % 4].second - p[(k + 1) % 4].first * p[k].second;
        const int sign = area > 1e-12 ? 1 : area < -1e-12 ? -1 : 0;
        EXPECT_NE(sign, 0);
        if (orientation == 0) orientation = sign;
        EXPECT_EQ(sign, orientation);
        for (int k = 0; k < 4; ++k) ++sideUse[std::minmax(n[k], n[(k + 1) % 4])];
        if (straight && npe > 4)
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(p[4 + k].first, (p[k].first + p[(k + 1) % 4].first) / 2, 1e-12);
                EXPECT_NEAR(p[4 + k].second, (p[k].second + p[(k + 1) % 4].second) / 2, 1e-12);
            }
        if (straight && npe == 9) {
            EXPECT_NEAR(p[8].first, (p[0].first + p[1].first + p[2].first + p[3].first) / 4, 1e-12);
            EXPECT_NEAR(p[8].second, (p[0].second + p[1].second + p[2].second + p[3].second) / 4, 1e-12);
        }
    }
    ASSERT_EQ(m.edgeFlags.size(), static_cast<size_t>(elements->GetCount()) * 4);
    for (int e = 0; e < elements->GetCount(); ++e) {
        const std::vector<int> n = ElementNodes(m, e);
        for (int k = 0; k < 4; ++k) {
            const int flag = m.edgeFlags[static_cast<size_t>(4 * e + k)];
            if (sideUse[std::minmax(n[k], n[(k + 1) % 4])] == 1)
                EXPECT_EQ(flag, 0) << "element " << e + 1 << " side " << k + 1;
            else
                EXPECT_TRUE(flag == 1 || flag == 3) << "element " << e + 1 << " side " << k + 1 << ": " << flag;
        }
    }
}

struct MeshCase {
    const char* what;
    int kind;
    int npe;
    double lx, ly;
    int nx, ny;
    std::vector<SpanRow> grid1;
    std::vector<SpanRow> grid2;
    int wantNodes;
    int wantElements;
    std::vector<std::vector<int>> wantFirstElements;  // element 1, 2, ... as far as given
    std::vector<double> wantY;                        // the distinct node y values, when given
    std::vector<double> wantZ;
};

TEST(StructuredMesh, GeneratesTheLayoutOfEveryKindAndElementType) {
    const std::vector<MeshCase> cases = {
        {"rectangle, 4 nodes, 2 x 1",
         1,
         4,
         2.0,
         1.0,
         2,
         1,
         {},
         {},
         6,
         2,
         {{1, 2, 5, 4}, {2, 3, 6, 5}},
         {-1.0, 0.0, 1.0},
         {0.5, -0.5}},
        {"rectangle, 8 nodes, 1 x 1", 1, 8, 1.0, 1.0, 1, 1, {}, {}, 8, 1, {{1, 3, 8, 6, 2, 5, 7, 4}}, {}, {}},
        {"rectangle, 8 nodes, 2 x 2", 1, 8, 1.0, 1.0, 2, 2, {}, {}, 21, 4, {}, {}, {}},
        {"rectangle, 9 nodes, 1 x 1", 1, 9, 1.0, 1.0, 1, 1, {}, {}, 9, 1, {{1, 3, 9, 7, 2, 6, 8, 4, 5}}, {}, {}},
        {"rectangle, 9 nodes, 2 x 2", 1, 9, 1.0, 1.0, 2, 2, {}, {}, 25, 4, {}, {}, {}},
        {"rectangle, 8 nodes, 5 x 5", 1, 8, 1.0, 1.0, 5, 5, {}, {}, 96, 25, {{1, 3, 20, 18, 2, 13, 19, 12}}, {}, {}},
        {"rectangle, 4 nodes, 3 x 2, unequal sides",
         1,
         4,
         3.0,
         8.0,
         3,
         2,
         {},
         {},
         12,
         6,
         {},
         {-1.5, -0.5, 0.5, 1.5},
         {4.0, 0.0, -4.0}},
        {"grid lines, 4 nodes, direction 2 from direction 1",
         2,
         4,
         0,
         0,
         0,
         0,
         {{2, 2.0}, {1, 4.0}},
         {},
         16,
         9,
         {},
         {-3.0, -2.0, -1.0, 3.0},
         {3.0, 2.0, 1.0, -3.0}},
        {"grid lines, 8 nodes", 2, 8, 0, 0, 0, 0, {{2, 2.0}, {1, 4.0}}, {}, 40, 9, {}, {}, {}},
        {"grid lines, 9 nodes", 2, 9, 0, 0, 0, 0, {{2, 2.0}, {1, 4.0}}, {}, 49, 9, {}, {}, {}},
        {"grid lines in both directions",
         2,
         4,
         0,
         0,
         0,
         0,
         {{1, 1.0}, {2, 1.0}},
         {{1, 4.0}},
         8,
         3,
         {},
         {-1.0, 0.0, 0.5, 1.0},
         {2.0, -2.0}},
        {"grid lines: spans without divisions or length are passed over",
         2,
         4,
         0,
         0,
         0,
         0,
         {{0, 5.0}, {2, 2.0}, {3, 0.0}, {1, -1.0}, {1, 4.0}},
         {{2, 0.0}},
         16,
         9,
         {},
         {-3.0, -2.0, -1.0, 3.0},
         {3.0, 2.0, 1.0, -3.0}},
        {"rectangle: width and second count 0 take the first",
         1,
         4,
         2.0,
         0.0,
         2,
         0,
         {},
         {},
         9,
         4,
         {},
         {-1.0, 0.0, 1.0},
         {1.0, 0.0, -1.0}},
    };
    for (const MeshCase& c : cases) {
        SCOPED_TRACE(c.what);
        ModelData m;
        m.Reset();
        m.SetMeshParameters(c.kind, c.lx, c.ly, c.nx, c.ny, c.npe);
        FillGrid(m, 1, c.grid1);
        FillGrid(m, 2, c.grid2);
        ASSERT_TRUE(GenerateStructuredMesh(m));
        ASSERT_EQ(m.GetNodeCount(), c.wantNodes);
        ASSERT_EQ(m.GetElementCount(), c.wantElements);
        EXPECT_EQ(m.GetElementTable()->GetNodesPerElement(), c.npe);
        for (size_t e = 0; e < c.wantFirstElements.size(); ++e)
            EXPECT_EQ(ElementNodes(m, static_cast<int>(e)), c.wantFirstElements[e]) << "element " << e + 1;
        std::vector<double> ys, zs;
        for (int i = 0; i < m.GetNodeCount(); ++i) {
            ys.push_back(m.GetNodeTable()->GetY(i));
            zs.push_back(m.GetNodeTable()->GetZ(i));
        }
        if (!c.wantY.empty()) {
            EXPECT_EQ(Rounded(ys), Rounded(c.wantY));
        }
        if (!c.wantZ.empty()) {
            EXPECT_EQ(Rounded(zs), Rounded(c.wantZ));
        }
        // The top-left node first, the bottom-right one last.
        EXPECT_NEAR(ys.front(), m.GetMinY(), 1e-12);
        EXPECT_NEAR(zs.front(), m.GetMaxZ(), 1e-12);
        EXPECT_NEAR(ys.back(), m.GetMaxY(), 1e-12);
        EXPECT_NEAR(zs.back(), m.GetMinZ(), 1e-12);
        const int order = c.npe == 9 ? 3 : 2;
        EXPECT_EQ(m.GetElementTable()->GetIntegrationOrder1(), order);
        EXPECT_EQ(m.GetElementTable()->GetIntegrationOrder2(), order);
        CheckMeshInvariants(m, true);
    }
}

TEST(StructuredMesh, CircularSlabPutsTheOuterRingOnTheCircle) {
    for (int npe : {4, 8, 9}) {
        SCOPED_TRACE(npe);
        ModelData m;
        m.Reset();
        m.SetMeshParameters(0, 10.0, 3.0, 4, 7, npe);  // width and second count are not used
        ASSERT_TRUE(GenerateStructuredMesh(m));
        const int side = npe == 4 ? 5 : 9;
        ASSERT_EQ(m.GetNodeCount(), npe == 8 ? 9 * 5 + 4 * 5 : side * side);
        EXPECT_EQ(m.GetElementCount(), 16);
        int onCircle = 0;
        for (int i = 0; i < m.GetNodeCount(); ++i) {
            const double r = std::hypot(m.GetNodeTable()->GetY(i), m.GetNodeTable()->GetZ(i));
            EXPECT_LE(r, 5.0 + 1e-12);
            if (std::fabs(r - 5.0) < 1e-12) ++onCircle;
        }
        EXPECT_EQ(onCircle, npe == 4 ? 16 : 32);
        CheckMeshInvariants(m, false);
    }
    // 4 nodes: the centre node 13 stays at the centre.
    ModelData m;
    m.Reset();
    m.SetMeshParameters(0, 10.0, 10.0, 4, 4, 4);
    ASSERT_TRUE(GenerateStructuredMesh(m));
    EXPECT_EQ(NodeYZ(m, 13), std::make_pair(0.0, 0.0));
}

TEST(StructuredMesh, MapSquareToRoundBlendsEachRingTowardsItsCircle) {
    struct Case {
        double y, z;
        int kindPlusOne;
        double wantY, wantZ;
    };
    const double h = std::sqrt(0.5) * 5.0;
    const Case cases[] = {
        {5.0, 5.0, 1, h, h},           // a corner of the outer ring on the circle
        {-5.0, 5.0, 1, -h, h},         //
        {5.0, -5.0, 1, h, -h},         //
        {-5.0, -5.0, 1, -h, -h},       //
        {5.0, 0.0, 1, 5.0, 0.0},       // mid-sides stay
        {0.0, -5.0, 1, 0.0, -5.0},     //
        {0.0, 0.0, 1, 0.0, 0.0},       // the centre
        {1e-17, -1e-17, 1, 0.0, 0.0},  //
        {2.5, 2.5, 1, 2.5 * 0.5 + 0.5 * 2.5 * std::sqrt(0.5), 2.5 * 0.5 + 0.5 * 2.5 * std::sqrt(0.5)},  // half-blended
        {3.0, 4.0, 2, 3.0, 4.0},  // other kinds: unchanged
        {3.0, 4.0, 3, 3.0, 4.0},
    };
    for (const Case& c : cases) {
        double y = -99, z = -99;
        MapSquareToRound(c.y, c.z, y, z, 10.0, 10.0, c.kindPlusOne);
        EXPECT_NEAR(y, c.wantY, 1e-12) << c.y << ", " << c.z;
        EXPECT_NEAR(z, c.wantZ, 1e-12) << c.y << ", " << c.z;
    }
}

TEST(StructuredMesh, DefaultSlabHasItsMaterialCutLinesAndFlags) {
    ModelData m;
    m.Reset();
    m.ClearChanged();
    ASSERT_TRUE(GenerateStructuredMesh(m));  // a new model: 1 x 1, 5 x 5, 8 nodes
    EXPECT_EQ(m.GetNodeCount(), 96);
    EXPECT_EQ(ElementNodes(m, 24), (std::vector<int>{77, 79, 96, 94, 78, 85, 95, 84}));
    EXPECT_NEAR(NodeYZ(m, 1).first, -0.5, 1e-12);
    EXPECT_NEAR(NodeYZ(m, 1).second, 0.5, 1e-12);
    EXPECT_NEAR(NodeYZ(m, 96).first, 0.5, 1e-12);
    EXPECT_NEAR(NodeYZ(m, 96).second, -0.5, 1e-12);
    const MaterialTable* mat = m.GetMaterialTable();
    ASSERT_EQ(mat->GetCount(), 1);
    const MaterialRow* row = mat->GetRow(0);
    EXPECT_EQ(row->element, "ALL");
    EXPECT_EQ(row->type, 0);
    EXPECT_EQ(row->E, 2000.0);
    EXPECT_EQ(row->Es, 2000.0);
    EXPECT_EQ(row->nu, 0.3);
    EXPECT_EQ(row->thickness, 1.0);
    const CutLineTable* cuts = m.GetCutLineDataTable();
    ASSERT_EQ(cuts->GetCount(), 2);
    EXPECT_NEAR(cuts->GetStartY(0), -0.6, 1e-12);
    EXPECT_EQ(cuts->GetStartZ(0), 0.0);
    EXPECT_NEAR(cuts->GetEndY(0), 0.6, 1e-12);
    EXPECT_EQ(cuts->GetEndZ(0), 0.0);
    EXPECT_EQ(cuts->GetStartY(1), 0.0);
    EXPECT_NEAR(cuts->GetStartZ(1), -0.6, 1e-12);
    EXPECT_EQ(cuts->GetEndY(1), 0.0);
    EXPECT_NEAR(cuts->GetEndZ(1), 0.6, 1e-12);
    EXPECT_EQ(cuts->GetInterpolationOption(), 1);
    EXPECT_EQ(cuts->GetSegmentDivisionCode(), 2);
    EXPECT_EQ(m.redrawFlag, 1);
    EXPECT_TRUE(m.IsChanged());
}

TEST(StructuredMesh, ParametersThatGiveNoMeshLeaveTheModelAlone) {
    struct Case {
        const char* what;
        int kind, npe;
        double lx;
        int nx, ny;
        std::vector<SpanRow> grid1;
    };
    const Case cases[] = {
        {"no divisions", 1, 8, 1.0, 0, 5, {}},
        {"no length", 1, 8, 0.0, 5, 5, {}},
        {"negative diameter", 0, 4, -2.0, 5, 5, {}},
        {"6 nodes per element", 1, 6, 1.0, 5, 5, {}},
        {"unknown kind", 3, 4, 1.0, 5, 5, {}},
        {"grid lines without a usable span", 2, 4, 1.0, 5, 5, {{0, 1.0}, {2, 0.0}}},
        {"more than 100,000,000 nodes", 1, 4, 1.0, 20000, 20000, {}},
        {"node count beyond 32 bits", 1, 9, 1.0, 2000000000, 2000000000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelData m;
        m.Reset();
        m.ClearChanged();
        m.SetMeshParameters(c.kind, c.lx, 1.0, c.nx, c.ny, c.npe);
        FillGrid(m, 1, c.grid1);
        EXPECT_FALSE(GenerateStructuredMesh(m));
        EXPECT_EQ(m.GetNodeCount(), 0);
        EXPECT_EQ(m.GetElementCount(), 0);
        EXPECT_EQ(m.GetMaterialTable()->GetCount(), 0);
        EXPECT_FALSE(m.IsChanged());
    }
    EXPECT_EQ(StructuredNodeCount(20000, 20000, 4), 400040001LL);
    EXPECT_EQ(StructuredNodeCount(1, 1, 5), -1);
}

}  // namespace
