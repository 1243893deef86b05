#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "model/ModelData.h"

namespace {

const std::array<double, 6> kZero6{};
const std::array<int, 6> kNoFlags{};

TEST(ModelDefaults, NewModel) {
    ModelData m;
    EXPECT_EQ(m.GetTitle(), "Slab");
    EXPECT_EQ(m.GetVersion(), "V4.1");
    EXPECT_EQ(m.GetSoilModel(), 0);
    const std::array<double, 6> soil{1000.0, 1000.0, 0.3, 500.0, 10.0, 1.0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(m.GetSoilValue(k), soil[static_cast<size_t>(k)]) << k;

    int iterations = 0;
    double inc = 0, t0 = 0, t1 = 0, minInc = 0, tol = 0;
    m.GetTimeSteppingParameters(iterations, inc, t0, t1, minInc, tol);
    EXPECT_EQ(inc, 1.0);
    EXPECT_EQ(t0, 0.0);
    EXPECT_EQ(t1, 1.0);
    EXPECT_EQ(minInc, 1.0);
    EXPECT_EQ(iterations, 50);
    EXPECT_EQ(tol, 0.0001);

    int option = 0, nx = 0, ny = 0, type = -1;
    double length = 0, width = 0;
    m.GetMeshParameters(option, length, width, nx, ny, type);
    EXPECT_EQ(option, 1);
    EXPECT_EQ(length, 1.0);
    EXPECT_EQ(width, 1.0);
    EXPECT_EQ(nx, 5);
    EXPECT_EQ(ny, 5);
    EXPECT_EQ(type, 1) << "8-node elements";

    EXPECT_EQ(m.GetDeformationFactor(), 1.0);
    EXPECT_EQ(m.viewScale, 1.0);
    EXPECT_EQ(m.GetRing1Radius(), 1.0);
    EXPECT_EQ(m.ring2Radius, 1.0);
    EXPECT_EQ(m.valuesPerNode, 6);
    EXPECT_EQ(m.templateKind, 0);
    EXPECT_EQ(m.templateElementOption, 1);
    EXPECT_EQ(m.templateIntegration, 1);
    EXPECT_EQ(m.typicalElementSize, 0.0);
    EXPECT_FALSE(m.IsChanged());
    EXPECT_FALSE(m.HasResults());
    EXPECT_EQ(m.GetHalvorFlag(), 0);
    EXPECT_EQ(m.unitCode, 0);
    EXPECT_EQ(m.GetNodeTable(), nullptr) << "tables come with Reset";
    EXPECT_EQ(m.GetNodeCount(), 0);
    EXPECT_EQ(m.GetElementCount(), 0);
}

TEST(ModelDefaults, ResetCreatesEveryTableEmptyWithAllSets) {
    ModelData m;
    m.Reset();
    ASSERT_NE(m.GetNodeTable(), nullptr);
    ASSERT_NE(m.GetElementTable(), nullptr);
    ASSERT_NE(m.GetMaterialTable(), nullptr);
    ASSERT_NE(m.GetCutLineDataTable(), nullptr);
    EXPECT_EQ(m.GetCutLineTable(), nullptr) << "the drawn copy is made by CopyCutLines";
    EXPECT_EQ(m.GetNodeCount(), 0);
    EXPECT_EQ(m.GetElementTable()->GetNodesPerElement(), 8);
    EXPECT_EQ(m.GetNodeTable()->GetModel(), &m);
    for (int k : {1, 2}) {
        ASSERT_NE(m.GetGridTable(k), nullptr);
        EXPECT_EQ(m.GetGridTable(k)->GetModel(), &m);
    }
    EXPECT_NE(m.GetGridTable(1), m.GetGridTable(2));
    EXPECT_EQ(m.GetGridTable(7), m.GetGridTable(2));
    for (int k = 1; k <= 5; ++k) {
        ASSERT_NE(m.GetNodalActionTable(k), nullptr) << k;
        EXPECT_EQ(m.GetNodalActionTable(k)->GetKindCode(), k);
        EXPECT_EQ(m.GetNodalActionTable(k)->GetCount(), 0);
        EXPECT_EQ(m.GetNodalActionTable(k)->GetModel(), &m);
    }
    EXPECT_EQ(m.solverConstraints->GetKindCode(), 1);
    EXPECT_EQ(m.GetConcentratedActionTable(1)->GetKindCode(), 1);
    EXPECT_EQ(m.GetConcentratedActionTable(2)->GetKindCode(), 2);
    EXPECT_EQ(m.totalConcentratedStiffness->GetKindCode(), 2);
    EXPECT_EQ(m.GetEdgeActionTable(1)->GetKindCode(), 1);
    EXPECT_EQ(m.GetEdgeActionTable(2)->GetKindCode(), 2);
    for (int k = 1; k <= 3; ++k) {
        const SetTable* sets = m.GetSetTable(k);
        ASSERT_NE(sets, nullptr);
        EXPECT_EQ(sets->GetSetKind(), k);
        ASSERT_EQ(sets->GetCount(), 1);
        EXPECT_EQ(sets->GetRowName(0), "ALL");
        EXPECT_EQ(sets->GetRowField0At(0), nullptr);
    }
    ASSERT_NE(m.perNodeTable, nullptr);
    ASSERT_NE(m.perElementTable, nullptr);
    EXPECT_EQ(m.perNodeTable->GetCount(), 0);
}

TEST(ModelAccessors, OutOfRangeKindsGiveNull) {
    ModelData m;
    m.Reset();
    for (int k : {0, 6, -1}) EXPECT_EQ(m.GetNodalActionTable(k), nullptr) << k;
    for (int k : {0, 3}) {
        EXPECT_EQ(m.GetConcentratedActionTable(k), nullptr) << k;
        EXPECT_EQ(m.GetEdgeActionTable(k), nullptr) << k;
    }
    for (int k : {0, 4}) EXPECT_EQ(m.GetSetTable(k), nullptr) << k;
    EXPECT_EQ(m.GetResultGroupStart(5), 0);
    EXPECT_EQ(m.GetResultGroupSize(-1), 0);
    EXPECT_EQ(m.GetSoilValue(6), 0.0);
}

TEST(ModelLifecycle, ClearTwiceIsHarmlessAndKeepsScalars) {
    ModelData m;
    m.Reset();
    m.SetModelTitle("Mat");
    m.AppendNodePath();
    m.AppendNonlinearSpring();
    m.AppendNonlinearAction();
    m.Clear();
    m.Clear();
    EXPECT_EQ(m.GetNodeTable(), nullptr);
    EXPECT_EQ(m.GetSetTable(1), nullptr);
    EXPECT_EQ(m.GetCutLineDataTable(), nullptr);
    EXPECT_EQ(m.FirstNodePath(), nullptr);
    EXPECT_EQ(m.FirstNonlinearSpring(), nullptr);
    EXPECT_EQ(m.FirstNonlinearAction(), nullptr);
    EXPECT_EQ(m.GetTitle(), "Mat");
    m.Reset();
    m.Reset();
    EXPECT_EQ(m.GetSetTable(2)->GetCount(), 1);
}

TEST(ModelLifecycle, ResetReleasesResultsAndPattern) {
    ModelData m;
    m.Reset();
    // Results as the readers leave them.
    auto* first = new ResultStep;
    first->rows.assign(2, std::vector<double>(26, 1.0));
    first->next = new ResultStep;
    first->next->next = new ResultStep;
    m.resultSteps = first;
    m.stepCount = 3;
    m.cutLineCount = 1;
    m.cutColumnCount = 2;
    m.cutPointTotal = 2;
    m.cutPointsPerLine = {2};
    m.cutColumnNames = {"a", "b"};
    m.cutRows.assign(2, std::vector<double>(3, 0.0));
    m.patternCount = 2;
    m.patternX = {1, 2};
    m.patternRing = {0, 0};
    m.edgeFlags.assign(8, 1);
    m.redrawFlag = 1;

    m.Reset();
    EXPECT_EQ(m.resultSteps, nullptr);
    EXPECT_EQ(m.cutLineCount, 0);
    EXPECT_EQ(m.cutColumnCount, 0);
    EXPECT_EQ(m.cutPointTotal, 0);
    EXPECT_TRUE(m.cutRows.empty());
    EXPECT_TRUE(m.cutPointsPerLine.empty());
    EXPECT_TRUE(m.cutColumnNames.empty());
    EXPECT_EQ(m.GetEquivLoadPointCount(), 0);
    EXPECT_TRUE(m.patternX.empty());
    EXPECT_TRUE(m.edgeFlags.empty());
    EXPECT_EQ(m.redrawFlag, 0);
    EXPECT_NE(m.GetNodeTable(), nullptr);
}

TEST(ModelLifecycle, CreateMissingTablesKeepsExistingTablesAndSizesWorkingTables) {
    ModelData m;
    m.Reset();
    NodeTable* nodes = m.GetNodeTable();
    for (int id = 1; id <= 3; ++id) nodes->AddNodeRow(id, 0, id, 0);
    nodes->CountNodeRows();
    nodes->RebuildNodeTableIndex();
    m.GetSetTable(1)->AddSetRow("all", nullptr);
    m.CreateMissingTables();
    EXPECT_EQ(m.GetNodeTable(), nodes);
    EXPECT_EQ(m.GetSetTable(1)->CountConcentratedActionRows(), 2) << "no second ALL";
    ASSERT_EQ(m.perNodeTable->GetCount(), 3);
    EXPECT_EQ(m.perElementTable->GetCount(), 0);

    // A working table of the right size is kept and zeroed.
    NodalActionTable* working = m.perNodeTable.get();
    const std::array<double, 6> v{1, 2, 3, 4, 5, 6};
    const std::array<int, 6> f{1, 1, 1, 1, 1, 1};
    working->SetTarget(1, "7");
    working->SetRowValues(1, v);
    for (int j = 0; j < 6; ++j) working->SetFlag(1, j, f[static_cast<size_t>(j)]);
    m.CreateMissingTables();
    EXPECT_EQ(m.perNodeTable.get(), working);
    EXPECT_EQ(working->GetTarget(1), "0");
    for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(working->GetValue(1, j), 0.0);
        EXPECT_EQ(working->GetFlag(1, j), 0);
    }

    // A working table of another size is rebuilt.
    nodes->RemoveNodeRow(0);
    m.CreateMissingTables();
    EXPECT_EQ(m.perNodeTable->GetCount(), 2);
    EXPECT_EQ(m.perNodeTable->GetModel(), &m);
}

TEST(ModelSetters, TitleSetsModifiedOnlyWhenDifferent) {
    ModelData m;
    m.SetModelTitle("Slab");
    EXPECT_FALSE(m.IsChanged());
    m.SetModelTitle("slab");
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.GetTitle(), "slab");
    m.ClearChanged();
    m.SetModelTitle(std::string(5000, 'x'));
    EXPECT_EQ(m.GetTitle().size(), 5000u) << "titles have no length limit";
}

TEST(ModelSetters, TimeStepping) {
    struct Case {
        const char* what;
        int iterations;
        double inc, t0, t1, minInc, tol;
        bool changed;
        double storedMin;
    };
    const Case cases[] = {
        {"unchanged", 50, 1.0, 0.0, 1.0, 1.0, 0.0001, false, 1.0},
        {"minimum above initial", 50, 0.1, 0.0, 1.0, 0.5, 0.0001, true, 0.1},
        {"iterations", 51, 1.0, 0.0, 1.0, 1.0, 0.0001, true, 1.0},
        {"tolerance", 50, 1.0, 0.0, 1.0, 1.0, 0.0002, true, 1.0},
        {"smaller minimum kept", 50, 1.0, 0.0, 1.0, 0.25, 0.0001, true, 0.25},
    };
    for (const Case& c : cases) {
        ModelData m;
        m.SetTimeSteppingParameters(c.iterations, c.inc, c.t0, c.t1, c.minInc, c.tol);
        EXPECT_EQ(m.IsChanged(), c.changed) << c.what;
        int iterations = 0;
        double inc = 0, t0 = 0, t1 = 0, minInc = 0, tol = 0;
        m.GetTimeSteppingParameters(iterations, inc, t0, t1, minInc, tol);
        EXPECT_EQ(minInc, c.storedMin) << c.what;
        EXPECT_EQ(iterations, c.iterations) << c.what;
        EXPECT_EQ(tol, c.tol) << c.what;
    }
}

TEST(ModelSetters, MeshParametersAndElementTypeCode) {
    struct Case {
        int nodes;
        int code;
    };
    for (const Case& c : {Case{4, 0}, Case{8, 1}, Case{9, 2}, Case{6, 2}}) {
        ModelData m;
        m.SetMeshParameters(2, 3.5, 4.5, 7, 8, c.nodes);
        EXPECT_FALSE(m.IsChanged());
        int option = 0, nx = 0, ny = 0, code = -1;
        double length = 0, width = 0;
        m.GetMeshParameters(option, length, width, nx, ny, code);
        EXPECT_EQ(code, c.code) << c.nodes;
        EXPECT_EQ(option, 2);
        EXPECT_EQ(length, 3.5);
        EXPECT_EQ(width, 4.5);
        EXPECT_EQ(nx, 7);
        EXPECT_EQ(ny, 8);
    }
}

TEST(ModelSetters, TemplatePlanDimensionsGoToTheirKind) {
    ModelData m;
    m.SetTemplateParameters(1, 0, 2, 10, 11, 12, 22.5, 1, 2, 3, 100, 200, 300, 0.5);
    m.SetTemplateParameters(2, 2, 1, 20, 21, 22, 45, 4, 5, 6, 7, 8, 9, 0.25);
    m.SetTemplateParameters(0, 1, 1, 90, 91, 92, 0, 0, 0, 0, 0, 0, 0, 0.75);
    EXPECT_FALSE(m.IsChanged());
    EXPECT_EQ(m.planDims1, (std::array<double, 3>{10, 11, 12}));
    EXPECT_EQ(m.planDims2, (std::array<double, 3>{20, 21, 22}));

    int kind = -1, element = -1, rule = -1;
    double d1 = -1, d2 = -1, d3 = -1, angle, D1, D2, D3, P, V, M, size;
    m.GetTemplateParameters(kind, element, rule, d1, d2, d3, angle, D1, D2, D3, P, V, M, size);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(d1, -1.0) << "untouched for a kind without plan slots";
    EXPECT_EQ(size, 0.75);

    m.SetTemplateParameters(1, 0, 2, 10, 11, 12, 22.5, 1, 2, 3, 100, 200, 300, 0.5);
    m.GetTemplateParameters(kind, element, rule, d1, d2, d3, angle, D1, D2, D3, P, V, M, size);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(element, 0);
    EXPECT_EQ(rule, 2);
    EXPECT_EQ(d3, 12.0);
    EXPECT_EQ(angle, 22.5);
    EXPECT_EQ(D2, 2.0);
    EXPECT_EQ(V, 200.0);
    EXPECT_EQ(m.planDims2[0], 20.0) << "the other kind's values are kept";
}

TEST(ModelSetters, EquivalentLoadFlagsOnlyChangesButAlwaysRecomputes) {
    ModelData m;
    m.SetEquivLoadParameters(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0, 0, 0, 1.0, 0, 0);
    EXPECT_FALSE(m.IsChanged()) << "the defaults again";

    m.SetEquivLoadParameters(100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2.0, 8, 0, 1.0, 0, 0);
    EXPECT_TRUE(m.IsChanged());
    const int points = m.GetEquivLoadPointCount();
    EXPECT_GT(points, 0);

    m.ClearChanged();
    m.patternCount = 0;  // forget the pattern: the setter must rebuild it
    m.patternX.clear();
    m.SetEquivLoadParameters(100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2.0, 8, 0, 1.0, 0, 0);
    EXPECT_FALSE(m.IsChanged());
    EXPECT_EQ(m.GetEquivLoadPointCount(), points);

    double v[16]{};
    int twoRings = -1, n1 = -1, n2 = -1;
    m.GetEquivalentLoadParameters(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], twoRings, v[9], n1, v[10],
                                  v[11], n2, v[12]);
    EXPECT_EQ(v[0], 100.0);
    EXPECT_EQ(v[9], 2.0);
    EXPECT_EQ(n1, 8);
    EXPECT_EQ(twoRings, 0);
}

TEST(ModelSetters, SoilModelAndValues) {
    ModelData m;
    m.SetSoilModel(0);
    m.SetSoilValue(2, 0.3);
    EXPECT_FALSE(m.IsChanged());
    m.SetSoilValue(2, 0.35);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.GetSoilValue(2), 0.35);
    m.ClearChanged();
    m.SetSoilModel(2);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.GetSoilModel(), 2);
    m.ClearChanged();
    m.SetSoilValue(9, 1.0);
    EXPECT_FALSE(m.IsChanged());
}

TEST(ModelSetters, MaterialTableIsReplacedByACopy) {
    ModelData m;
    m.Reset();
    MaterialTable edited;
    edited.AddMaterialRow("ALL", 0, 30e6, 200e6, 0.2, 0.5);
    edited.CountMaterialRows();
    edited.RebuildMaterialIndex();
    m.SetMaterialTable(edited);
    EXPECT_TRUE(m.IsChanged());
    ASSERT_EQ(m.GetMaterialTable()->GetCount(), 1);
    EXPECT_NE(m.GetMaterialTable()->GetRow(0), edited.GetRow(0));
    EXPECT_EQ(m.GetMaterialTable()->GetModel(), &m);
    EXPECT_FALSE(m.GetMaterialTable()->CompareMaterialTable(edited));
}

TEST(ModelSetters, ContourLimits) {
    ModelData m;
    m.SetContourLimits(-2.0, 3.0, 10, 0.5);
    double lo = 0, hi = 0, inc = 0;
    int levels = 0;
    m.GetContourLimits(lo, hi, levels, inc);
    EXPECT_EQ(lo, -2.0);
    EXPECT_EQ(hi, 3.0);
    EXPECT_EQ(levels, 10);
    EXPECT_EQ(inc, 0.5);
    m.autoContourMin = 1;
    m.autoContourMax = 2;
    m.autoContourLevels = 10;
    m.autoContourIncrement = 0.1;
    m.GetDefaultContourLimits(lo, hi, levels, inc);
    EXPECT_EQ(lo, 1.0);
    EXPECT_EQ(inc, 0.1);
}

TEST(ModelTables, ElementMaterialByRow) {
    ModelData m;
    m.Reset();
    const std::array<int, 8> nodes{};
    m.GetElementTable()->AddElementRow(3, 0, nodes);
    m.GetElementTable()->CountRows();
    m.GetElementTable()->RebuildIndex();
    m.GetElementTable()->SetElementMaterial(0, 4);
    EXPECT_EQ(m.GetElementMaterial(0), 4);
    EXPECT_EQ(m.GetElementMaterial(1), 0) << "no such row";
    ModelData empty;
    EXPECT_EQ(empty.GetElementMaterial(0), 0);
}

TEST(ModelTables, NumberMapsMarkUnusedNumbersAbsent) {
    ModelData m;
    m.Reset();
    NodeTable* nodes = m.GetNodeTable();
    for (int id : {5, 2, 9, -3, 0}) nodes->AddNodeRow(id, 0, 0, 0);
    ElementTable* elements = m.GetElementTable();
    const std::array<int, 8> n{};
    for (int id : {4, 1}) elements->AddElementRow(id, 0, n);
    m.RebuildNodeIndex();
    m.RebuildNodeIndex();  // rebuilding empties the maps first

    ASSERT_EQ(m.nodeLookup.size(), 9u);
    struct Case {
        int number;
        int row;
    };
    for (const Case& c : {Case{5, 0}, Case{2, 1}, Case{9, 2}, Case{1, -1}, Case{3, -1}, Case{8, -1}, Case{0, -1},
                          Case{-3, -1}, Case{10, -1}, Case{1000000, -1}})
        EXPECT_EQ(m.NodeRowOfNumber(c.number), c.row) << "node " << c.number;
    EXPECT_EQ(m.nodeLookup[0], -1) << "an unused number never maps to row 0";

    ASSERT_EQ(m.elementLookup.size(), 4u);
    EXPECT_EQ(m.ElementRowOfNumber(4), 0);
    EXPECT_EQ(m.ElementRowOfNumber(1), 1);
    EXPECT_EQ(m.ElementRowOfNumber(2), -1);
    EXPECT_EQ(m.ElementRowOfNumber(5), -1);
}

TEST(ModelTables, NumberMapsOfAnEmptyModel) {
    ModelData m;
    m.RebuildNodeIndex();
    EXPECT_TRUE(m.nodeLookup.empty());
    EXPECT_EQ(m.NodeRowOfNumber(1), -1);
    m.Reset();
    m.RebuildNodeIndex();
    EXPECT_TRUE(m.elementLookup.empty());
    EXPECT_EQ(m.ElementRowOfNumber(1), -1);
}

TEST(ModelTables, CopyCutLinesReplacesTheDrawnCopy) {
    ModelData m;
    m.Reset();
    CutLineTable* stored = m.GetCutLineDataTable();
    stored->AddCutLineRow(0, 0, 1, 0);
    stored->CountCutLineRows();
    stored->RebuildCutLineIndex();
    stored->SetHighlight(0, 1);
    stored->SetInterpolationOption(2);
    m.CopyCutLines();
    CutLineTable* drawn = m.GetCutLineTable();
    ASSERT_NE(drawn, nullptr);
    EXPECT_NE(drawn, stored);
    ASSERT_EQ(drawn->GetCount(), 1);
    EXPECT_EQ(drawn->GetHighlight(0), 0);
    EXPECT_EQ(drawn->GetInterpolationOption(), 2);
    EXPECT_EQ(drawn->GetModel(), &m);

    stored->AddCutLineRow(1, 1, 2, 2);
    stored->CountCutLineRows();
    stored->RebuildCutLineIndex();
    m.CopyCutLines();
    EXPECT_EQ(m.GetCutLineTable()->GetCount(), 2);
}

TEST(ModelTables, WorkingTablesFollowTheElementCount) {
    ModelData m;
    m.Reset();
    const std::array<int, 8> n{};
    for (int id = 1; id <= 4; ++id) m.GetElementTable()->AddElementRow(id, 0, n);
    m.CreateMissingTables();
    EXPECT_EQ(m.GetElementCount(), 4);
    ASSERT_EQ(m.perElementTable->GetCount(), 4);
    EXPECT_EQ(m.perElementTable->GetTarget(3), "0");
    EXPECT_EQ(m.perElementTable->GetValue(3, 5), 0.0);
    (void)kZero6;
    (void)kNoFlags;
}

}  // namespace
