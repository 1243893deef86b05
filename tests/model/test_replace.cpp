// Handing working copies of tables back to the model: in place when the row
// counts agree, a new table otherwise, the modified flag only on a change.

#include <gtest/gtest.h>

#include "test_solver_input_support.h"

using bridgetest::ReadModelText;

namespace {

const char* const kModel =
    "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\n*\t5\t0\t2\t0\n*\t6\t0\t2\t1\n"
    "END_NODE_DATA\nMATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\n*\tRIBS\t2\t3e+07\t2e+08\t0.2\t0.25\n"
    "*\t0.6\t0.3\t1.2\t0.5\t0.25\t1\t0.8\n*\t1.2e+06\t900000\t45000\t80000\t6e+06\t5.5e+06\nEND_MATERIAL_DATA\n"
    "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\n*\t2\t1\t2\t5\t6\t3\nEND_ELEMENT_DATA\n"
    "NODAL_LOAD_DATA\n*\t3\t 1  0  0  0  0  0 \t-10\t0\t0\t0\t0\t0\nEND_NODAL_LOAD_DATA\n"
    "CONCENTRATED_STIFFNESS_DATA\n*\t 0  0.5  0.5 \t800\t0\t0\t0\t0\t0\nEND_CONCENTRATED_STIFFNESS_DATA\n"
    "EDGE_LOAD_DATA\n*\t1\t1\t1\t\t-2\t-2\t0\nEND_EDGE_LOAD_DATA\n"
    "NODESET_DATA\n*\tALL\nEND_ALL\n*\tTOP\n*\t3\t4\t1\nEND_TOP\nEND_NODESET_DATA\n"
    "END_DATA\n";

// Replaces a copy of the model's table, changed by `edit`, and reports
// whether the table object was kept and whether the model was marked.
template <class Table, class Get, class Copy, class Edit, class Replace>
void Check(const std::string& what, Get get, Copy copyAll, Edit edit, Replace replace, bool kept, bool marked) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, kModel), 0) << what;
    m.ClearChanged();
    Table* before = get(m);
    Table copy;
    (copy.*copyAll)(*before);
    edit(copy);
    replace(m, copy);
    EXPECT_EQ(get(m) == before, kept) << what;
    EXPECT_EQ(m.IsChanged(), marked) << what;
}

}  // namespace

TEST(TableReplace, UnchangedChangedAndResizedCopies) {
    auto nodal = [](ModelData& m) { return m.GetNodalActionTable(2); };
    auto nodalReplace = [](ModelData& m, const NodalActionTable& t) { m.ReplaceNodalTable(t); };
    const std::vector<double> v(6, 1.0);
    const std::vector<int> f(6, 1);
    Check<NodalActionTable>(
        "nodal same", nodal, &NodalActionTable::CopyFrom, [](NodalActionTable&) {}, nodalReplace, true, false);
    Check<NodalActionTable>(
        "nodal value", nodal, &NodalActionTable::CopyFrom, [](NodalActionTable& t) { t.SetValue(0, 0, -20); },
        nodalReplace, true, true);
    Check<NodalActionTable>(
        "nodal row more", nodal, &NodalActionTable::CopyFrom,
        [&](NodalActionTable& t) {
            t.AddNodalActionRow("4", v, f);
            t.CountRows();
            t.RebuildIndex();
        },
        nodalReplace, false, true);

    auto conc = [](ModelData& m) { return m.GetConcentratedActionTable(2); };
    auto concReplace = [](ModelData& m, const ConcentratedActionTable& t) { m.ReplaceConcentratedTable(t); };
    Check<ConcentratedActionTable>(
        "concentrated same", conc, &ConcentratedActionTable::CopyConcentratedActionTable,
        [](ConcentratedActionTable&) {}, concReplace, true, false);
    Check<ConcentratedActionTable>(
        "concentrated value", conc, &ConcentratedActionTable::CopyConcentratedActionTable,
        [](ConcentratedActionTable& t) { t.SetCoordinate(0, 1, 0.75); }, concReplace, true, true);

    auto edge = [](ModelData& m) { return m.GetEdgeActionTable(1); };
    auto edgeReplace = [](ModelData& m, const EdgeActionTable& t) { m.ReplaceEdgeTable(t); };
    Check<EdgeActionTable>(
        "edge same", edge, &EdgeActionTable::CopyEdgeActionTable, [](EdgeActionTable&) {}, edgeReplace, true, false);
    Check<EdgeActionTable>(
        "edge row removed", edge, &EdgeActionTable::CopyEdgeActionTable,
        [](EdgeActionTable& t) { t.RemoveEdgeActionRow(0); }, edgeReplace, false, true);

    auto material = [](ModelData& m) { return m.GetMaterialTable(); };
    auto materialReplace = [](ModelData& m, const MaterialTable& t) { m.ReplaceMaterialTable(t); };
    Check<MaterialTable>(
        "material same", material, &MaterialTable::CopyMaterialTable, [](MaterialTable&) {}, materialReplace, true,
        false);
    Check<MaterialTable>(
        "stiffener web height", material, &MaterialTable::CopyMaterialTable,
        [](MaterialTable& t) {
            RibSection rib = t.GetRibValues(1);
            rib.h1 = 0.7;
            t.SetRibValues(1, 3e7, 2e8, 0.2, 0.25, rib);
        },
        materialReplace, true, true);

    auto sets = [](ModelData& m) { return m.GetSetTable(1); };
    auto setReplace = [](ModelData& m, const SetTable& t) { m.ReplaceSetTable(t); };
    Check<SetTable>(
        "sets same", sets, &SetTable::CopySetTable, [](SetTable&) {}, setReplace, true, false);
    Check<SetTable>(
        "set renamed", sets, &SetTable::CopySetTable, [](SetTable& t) { t.SetSetRowName(1, "UP"); }, setReplace, true,
        true);
}

TEST(TableReplace, ChangedRowsArriveInTheKeptTable) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, kModel), 0);
    MaterialTable copy;
    copy.CopyMaterialTable(*m.GetMaterialTable());
    RibSection rib = copy.GetRibValues(1);
    rib.h1 = 0.7;
    copy.SetRibValues(1, 3e7, 2e8, 0.2, 0.25, rib);
    const MaterialRow* row = m.GetMaterialTable()->GetRow(1);
    m.ReplaceMaterialTable(copy);
    EXPECT_EQ(m.GetMaterialTable()->GetRow(1), row);
    EXPECT_EQ(m.GetMaterialTable()->GetRibValues(1).h1, 0.7);
    EXPECT_EQ(m.GetMaterialTable()->GetModel(), &m);
}

TEST(TableReplace, ElementsRebuildTheSideFlags) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, kModel), 0);
    ASSERT_EQ(m.vlasovEdgeCount, 6);

    // Same count, element 2 turned the other way round: its side 3-2 no
    // longer meets side 2-3 of element 1, and the flags are rebuilt.
    ElementTable copy;
    copy.CopyElementTable(*m.GetElementTable());
    copy.SetNodeNumber(1, 0, 2);
    copy.SetNodeNumber(1, 1, 3);
    copy.SetNodeNumber(1, 2, 6);
    copy.SetNodeNumber(1, 3, 5);
    ElementTable* before = m.GetElementTable();
    m.ClearChanged();
    m.ReplaceElementTable(copy);
    EXPECT_EQ(m.GetElementTable(), before);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.vlasovEdgeCount, 8);

    // Another number of nodes per element: a new table and new flags.
    ElementTable nine(9);
    const std::vector<int> nodes{1, 2, 3, 4, 5, 6, 5, 6, 2};
    nine.AddElementRow(7, 1, nodes);
    nine.AddElementRow(8, 1, nodes);
    nine.CountRows();
    nine.RebuildIndex();
    m.ReplaceElementTable(nine);
    EXPECT_NE(m.GetElementTable(), before);
    EXPECT_EQ(m.GetElementTable()->GetNodesPerElement(), 9);
    EXPECT_EQ(m.edgeFlags.size(), 8u);
    EXPECT_EQ(m.ElementRowOfNumber(8), 1);  // number maps follow the new table
    EXPECT_EQ(m.ElementRowOfNumber(1), -1);
}

TEST(TableReplace, NodesGridLinesAndSetMembers) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, kModel), 0);
    NodeTable copy;
    copy.CopyNodeTable(*m.GetNodeTable());
    copy.SetZ(5, 4.0);
    NodeTable* before = m.GetNodeTable();
    m.ClearChanged();
    m.ReplaceNodeTable(copy);
    EXPECT_EQ(m.GetNodeTable(), before);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.maxZ, 4.0);  // bounding box recomputed

    copy.AddNodeRow(7, 0, 3, 3);
    copy.CountRows();
    copy.RebuildIndex();
    m.ReplaceNodeTable(copy);
    EXPECT_NE(m.GetNodeTable(), before);
    EXPECT_EQ(m.nodeCount, 7);
    EXPECT_EQ(m.NodeRowOfNumber(7), 6);
    EXPECT_EQ(m.maxY, 3.0);

    // Grid lines never mark the model and leave the node count alone.
    NodeTable grid;
    grid.AddNodeRow(4, 2.5, 0, 0);
    grid.AddNodeRow(3, 1.5, 0, 0);
    grid.CountRows();
    grid.RebuildIndex();
    m.ClearChanged();
    m.ReplaceGridLineTable(1, grid);
    EXPECT_FALSE(m.IsChanged());
    EXPECT_EQ(m.nodeCount, 7);
    EXPECT_EQ(m.SumTableColumn(1), 4.0);
    EXPECT_EQ(m.SumTableCounts(1), 7);
    EXPECT_EQ(m.SumTableColumn(2), 0.0);

    // Set members: same count in place, another count replaced, a missing
    // set untouched.
    SetMemberList members;
    members.AddSetMemberRow("4", 6, 2, 1);
    members.CountRows();
    members.RebuildIndex();
    const SetMemberList* list = m.FindSetTable(1, "TOP");
    m.ClearChanged();
    m.ReplaceSetMembers(1, "TOP", members);
    EXPECT_EQ(m.FindSetTable(1, "TOP"), list);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.IsInSet(6, "TOP", 1), 1);
    EXPECT_EQ(m.IsInSet(3, "TOP", 1), 0);
    m.ClearChanged();
    m.ReplaceSetMembers(1, "TOP", members);
    EXPECT_FALSE(m.IsChanged());
    members.AddSetMemberRow("1", 1, 1, 1);
    members.CountRows();
    members.RebuildIndex();
    m.ReplaceSetMembers(1, "TOP", members);
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.FindSetTable(1, "TOP")->GetCount(), 2);
    m.ClearChanged();
    m.ReplaceSetMembers(1, "NOSUCH", members);
    m.ReplaceSetMembers(5, "TOP", members);
    EXPECT_FALSE(m.IsChanged());
    EXPECT_EQ(m.FindSetIndex(1, "NOSUCH"), -1);
}
