#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "model/DataTable.h"
#include "model/ModelData.h"

namespace {

const std::array<double, 6> kZero6{};
const std::array<int, 6> kNoFlags{};

// Node ids of a node table in list order, walking the chain.
std::vector<int> ChainIds(const NodeTable& t) {
    std::vector<int> ids;
    for (const NodeRow* r = t.GetHead(); r; r = r->next) ids.push_back(r->id);
    return ids;
}

// Node ids in index order.
std::vector<int> IndexIds(const NodeTable& t) {
    std::vector<int> ids;
    for (int i = 0; i < t.GetCount(); ++i) ids.push_back(t.GetNodeId(i));
    return ids;
}

NodeTable MakeNodes(const std::vector<int>& ids) {
    NodeTable t;
    for (int id : ids) t.AddNodeRow(id, 0.0, id * 1.0, 0.0);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    return t;
}

// Checks that head, tail, index and count all describe the same chain.
void ExpectConsistent(const NodeTable& t) {
    const std::vector<int> chain = ChainIds(t);
    EXPECT_EQ(IndexIds(t), chain);
    EXPECT_EQ(t.GetCount(), static_cast<int>(chain.size()));
    if (chain.empty()) {
        EXPECT_EQ(t.GetHead(), nullptr);
        EXPECT_EQ(t.GetTail(), nullptr);
    } else {
        EXPECT_EQ(t.GetHead(), t.GetRow(0));
        EXPECT_EQ(t.GetTail(), t.GetRow(t.GetCount() - 1));
        EXPECT_EQ(t.GetTail()->next, nullptr);
    }
}

TEST(TableAppend, CountAndIndexStayStaleUntilRecounted) {
    NodeTable t;
    t.AddNodeRow(10, 0, 0, 0);
    t.AddNodeRow(20, 0, 0, 0);
    t.AddNodeRow(30, 0, 0, 0);
    EXPECT_EQ(t.GetCount(), 0);
    EXPECT_EQ(t.RowOrNull(0), nullptr);
    EXPECT_EQ(t.CountNodeRows(), 3);
    t.RebuildNodeTableIndex();
    EXPECT_EQ(t.GetNodeId(2), 30);
    ExpectConsistent(t);
}

struct CleanCase {
    double given;
    double storedByAdd;
    double storedByInsert;
};

class NodeCoordinateCleaning : public ::testing::TestWithParam<CleanCase> {};

TEST_P(NodeCoordinateCleaning, AddCleansTinyValuesInsertKeepsThem) {
    const CleanCase& c = GetParam();
    NodeTable t;
    t.AddNodeRow(1, c.given, c.given, c.given);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    t.InsertNodeRow(1, 2, c.given, c.given, c.given);
    for (int axis : {0, 1, 2}) {
        EXPECT_EQ(t.GetNodeCoordinate(0, axis), c.storedByAdd) << "axis " << axis;
        EXPECT_EQ(t.GetNodeCoordinate(1, axis), c.storedByInsert) << "axis " << axis;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NodeCoordinateCleaning,
                         ::testing::Values(CleanCase{5e-15, 0.0, 5e-15}, CleanCase{-5e-15, 0.0, -5e-15},
                                           CleanCase{1e-14, 1e-14, 1e-14}, CleanCase{-1e-14, -1e-14, -1e-14},
                                           CleanCase{2.5, 2.5, 2.5}));

TEST(NodeTable, CoordinateByAxisCode) {
    NodeTable t;
    t.AddNodeRow(1, 1.0, 2.0, 3.0);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    EXPECT_EQ(t.GetNodeCoordinate(0, 1), 2.0);
    EXPECT_EQ(t.GetNodeCoordinate(0, 2), 3.0);
    EXPECT_EQ(t.GetNodeCoordinate(0, 0), 1.0);
    EXPECT_EQ(t.GetNodeCoordinate(0, 7), 1.0);
}

struct RemoveCase {
    std::vector<int> ids;
    int position;
    std::vector<int> expected;
};

class TableRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(TableRemove, KeepsHeadTailIndexAndCount) {
    const RemoveCase& c = GetParam();
    NodeTable t = MakeNodes(c.ids);
    t.RemoveNodeRow(c.position);
    EXPECT_EQ(ChainIds(t), c.expected);
    ExpectConsistent(t);
    // A following append links after the tail.
    t.AddNodeRow(99, 0, 0, 0);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    std::vector<int> after = c.expected;
    after.push_back(99);
    EXPECT_EQ(ChainIds(t), after);
}

INSTANTIATE_TEST_SUITE_P(Table, TableRemove,
                         ::testing::Values(RemoveCase{{1}, 0, {}},               // only row
                                           RemoveCase{{1, 2, 3}, 2, {1, 2}},     // tail
                                           RemoveCase{{1, 2, 3}, 0, {2, 3}},     // head
                                           RemoveCase{{1, 2, 3}, 1, {1, 3}},     // middle
                                           RemoveCase{{1, 2, 3}, 3, {1, 2, 3}},  // beyond: nothing
                                           RemoveCase{{1, 2, 3}, -1, {1, 2, 3}}));

struct InsertCase {
    std::vector<int> ids;
    int position;
    std::vector<int> expected;
};

class TableInsert : public ::testing::TestWithParam<InsertCase> {};

TEST_P(TableInsert, PlacesRowBeforePosition) {
    const InsertCase& c = GetParam();
    NodeTable t = MakeNodes(c.ids);
    t.InsertNodeRow(c.position, 50, 0, 0, 0);
    EXPECT_EQ(ChainIds(t), c.expected);
    ExpectConsistent(t);
    t.AddNodeRow(99, 0, 0, 0);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    EXPECT_EQ(ChainIds(t).back(), 99);
}

INSTANTIATE_TEST_SUITE_P(Table, TableInsert,
                         ::testing::Values(InsertCase{{}, 0, {50}},            // empty: head and tail
                                           InsertCase{{1, 2}, 2, {1, 2, 50}},  // at count: the tail
                                           InsertCase{{1, 2}, 0, {50, 1, 2}}, InsertCase{{1, 2}, 1, {1, 50, 2}},
                                           InsertCase{{1, 2}, 3, {1, 2}}));  // beyond count: nothing

TEST(TableInsert, AfterUncountedAppendsNoRowIsLost) {
    NodeTable t = MakeNodes({1, 2});
    t.AddNodeRow(3, 0, 0, 0);  // not counted
    t.InsertNodeRow(0, 50, 0, 0, 0);
    EXPECT_EQ(ChainIds(t), (std::vector<int>{50, 1, 2, 3}));
    ExpectConsistent(t);
    t.RemoveNodeRow(3);
    EXPECT_EQ(ChainIds(t), (std::vector<int>{50, 1, 2}));
    ExpectConsistent(t);
}

TEST(TableSort, NodalRowsByTargetNumberWithSetNamesFirst) {
    NodalActionTable t(2);
    for (const char* target : {"12", "ALL", "3", "EDGE", "3"}) t.AddNodalActionRow(target, kZero6, kNoFlags);
    t.CountRows();
    t.RebuildIndex();
    t.SetValue(2, 0, 1.0);  // marks the first "3"
    t.SortNodalActionRows();
    std::vector<std::string> order;
    for (int i = 0; i < t.GetCount(); ++i) order.push_back(t.GetTarget(i));
    EXPECT_EQ(order, (std::vector<std::string>{"ALL", "EDGE", "3", "3", "12"}));
    EXPECT_EQ(t.GetValue(2, 0), 1.0) << "equal keys keep their order";
    EXPECT_EQ(t.GetHead(), t.GetRow(0));
    EXPECT_EQ(t.GetTail(), t.GetRow(4));
    EXPECT_EQ(t.GetTail()->next, nullptr);
    EXPECT_EQ(t.NodalRowKey(4), 12);
}

TEST(TableSort, EqualNodeNumbersKeepTheirOrder) {
    NodeTable t;
    t.AddNodeRow(5, 0, 1.0, 0);
    t.AddNodeRow(2, 0, 2.0, 0);
    t.AddNodeRow(5, 0, 3.0, 0);
    t.CountNodeRows();
    t.RebuildNodeTableIndex();
    t.SortNodeRows();
    EXPECT_EQ(IndexIds(t), (std::vector<int>{2, 5, 5}));
    EXPECT_EQ(t.GetY(1), 1.0);
    EXPECT_EQ(t.GetY(2), 3.0);
    ExpectConsistent(t);
}

TEST(TableSort, EmptyAndSingleRowTables) {
    NodeTable empty;
    empty.SortNodeRows();
    ExpectConsistent(empty);

    NodeTable one;
    one.AddNodeRow(7, 0, 0, 0);
    one.CountNodeRows();
    one.RebuildNodeTableIndex();
    one.SortNodeRows();
    EXPECT_EQ(one.GetHead(), one.GetRow(0));
    EXPECT_EQ(one.GetTail(), one.GetRow(0));
}

TEST(TableSort, RowsAppendedWithoutRecountAreSortedToo) {
    NodeTable t = MakeNodes({4, 2});
    t.AddNodeRow(1, 0, 0, 0);  // not counted
    t.SortNodeRows();
    EXPECT_EQ(ChainIds(t), (std::vector<int>{1, 2, 4}));
    ExpectConsistent(t);
}

TEST(TableClear, EmptiesTheTableAndForgetsTheModel) {
    NodeTable t = MakeNodes({1, 2, 3});
    t.AddNodeRow(4, 0, 0, 0);  // not counted: cleared all the same
    ModelData model;
    t.SetModel(&model);
    EXPECT_EQ(t.GetModel(), &model);
    t.Clear();
    EXPECT_EQ(t.GetModel(), nullptr);
    ExpectConsistent(t);
}

TEST(TableSort, OtherKindsSortByTheirKeys) {
    ElementTable e(4);
    const std::array<int, 4> n{1, 2, 3, 4};
    for (int id : {9, 1, 5}) e.AddElementRow(id, 0, n);
    e.CountRows();
    e.RebuildIndex();
    e.SortById();
    EXPECT_EQ(e.GetId(0), 1);
    EXPECT_EQ(e.GetId(2), 9);
    EXPECT_EQ(e.FindRowById(5), 1);
    EXPECT_EQ(e.FindRowById(4), -1);

    ConcentratedActionTable c(1);
    for (double x : {3.0, -1.0, 2.0}) {
        const std::array<double, 3> xyz{x, 0, 0};
        c.AddConcentratedActionRow(kZero6, xyz);
    }
    c.CountConcentratedActionRows();
    c.RebuildConcentratedActionIndex();
    c.SortConcentratedActionRows();
    EXPECT_EQ(c.GetCoordinate(0, 0), -1.0);
    EXPECT_EQ(c.GetCoordinate(2, 0), 3.0);

    EdgeActionTable g(1);
    const std::array<double, 3> v{};
    for (const char* target : {"20", "4", "SET"}) g.AddEdgeActionRow(target, 1, 1, v);
    g.CountEdgeActionRows();
    g.RebuildEdgeActionIndex();
    g.SortEdgeActionRows();
    EXPECT_EQ(g.GetTarget(0), "SET");
    EXPECT_EQ(g.EdgeRowKey(1), 4);
    EXPECT_EQ(g.EdgeRowKey(2), 20);
}

TEST(NodeSearch, BinaryAndNearest) {
    NodeTable t = MakeNodes({1, 3, 5});
    EXPECT_EQ(t.FindNodeRowById(4), -1);
    EXPECT_EQ(t.FindNodeRowById(5), 2);
    EXPECT_EQ(t.FindNodeRowById(1), 0);

    struct Case {
        int wanted;
        int row;
    };
    for (const Case& c : {Case{4, 1}, Case{3, 1}, Case{0, 0}, Case{-100, 0}, Case{100, 2}, Case{6, 2}, Case{2, 0}})
        EXPECT_EQ(t.FindNearestRow(c.wanted), c.row) << "wanted " << c.wanted;

    NodeTable empty;
    EXPECT_EQ(empty.FindNodeRowById(1), -1);
    EXPECT_EQ(empty.FindNearestRow(1), -1);
}

TEST(TableSearch, LargestIdIsZeroForEmptyTables) {
    EXPECT_EQ(NodeTable().MaxNodeId(), 0);
    EXPECT_EQ(ElementTable(4).MaxId(), 0);
    NodeTable t = MakeNodes({4, 17, 2});
    EXPECT_EQ(t.MaxNodeId(), 17);
    NodeTable negative = MakeNodes({-4, -2});
    EXPECT_EQ(negative.MaxNodeId(), -2);
}

TEST(CutLineTable, FullCopyResetsHighlightsAndCopiesParameters) {
    CutLineTable src;
    src.AddCutLineRow(0, 0, 1, 1);
    src.AddCutLineRow(2, 2, 3, 3);
    src.CountCutLineRows();
    src.RebuildCutLineIndex();
    src.SetHighlight(0, 1);
    src.SetHighlight(1, 1);
    src.SetSegmentDivisionCode(4);
    src.SetInterpolationOption(2);

    CutLineTable copy;
    copy.CopyCutLineTable(src);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetHighlight(0), 0);
    EXPECT_EQ(copy.GetHighlight(1), 0);
    EXPECT_EQ(copy.GetEndZ(1), 3.0);
    EXPECT_EQ(copy.GetSegmentDivisionCode(), 4);
    EXPECT_EQ(copy.GetInterpolationOption(), 2);

    CutLineTable fresh;
    EXPECT_EQ(fresh.GetSegmentDivisionCode(), 2);
    EXPECT_EQ(fresh.GetInterpolationOption(), 1);
}

TEST(CutLineTable, RemoveKeepsChain) {
    CutLineTable t;
    for (int k = 0; k < 3; ++k) t.AddCutLineRow(k, 0, 0, 0);
    t.CountCutLineRows();
    t.RebuildCutLineIndex();
    t.RemoveCutLineRow(2);
    EXPECT_EQ(t.GetCount(), 2);
    EXPECT_EQ(t.GetTail(), t.GetRow(1));
    EXPECT_EQ(t.GetStartY(1), 1.0);
}

double LastBit(double v) { return std::nextafter(v, 1e300); }

TEST(TableCompare, LastBitOfAValueMakesTablesDiffer) {
    const std::array<double, 6> values{1, 2, 3, 4, 5, 0.1};
    const std::array<int, 6> flags{1, 0, 1, 0, 1, 0};
    NodalActionTable a(2), b(2);
    for (NodalActionTable* t : {&a, &b}) {
        t->AddNodalActionRow("7", values, flags);
        t->AddNodalActionRow("SET", values, flags);
        t->CountRows();
        t->RebuildIndex();
    }
    EXPECT_FALSE(a.CompareWith(b));
    b.SetValue(1, 5, LastBit(0.1));
    EXPECT_TRUE(a.CompareWith(b));
    b.SetValue(1, 5, 0.1);
    b.SetFlag(0, 3, 1);
    EXPECT_TRUE(a.CompareWith(b));
    b.SetFlag(0, 3, 0);
    b.SetTarget(1, "set");
    EXPECT_TRUE(a.CompareWith(b)) << "targets compare case-sensitively";
    b.SetTarget(1, "SET");
    b.SetKindCode(3);
    EXPECT_TRUE(a.CompareWith(b));

    NodeTable n1 = MakeNodes({1, 2}), n2 = MakeNodes({1, 2});
    EXPECT_FALSE(n1.CompareNodeTable(n2));
    n2.SetZ(1, LastBit(n2.GetZ(1)));
    EXPECT_TRUE(n1.CompareNodeTable(n2));
    NodeTable n3 = MakeNodes({1, 2});
    n3.SetColumns(3);
    EXPECT_TRUE(n1.CompareNodeTable(n3));

    ConcentratedActionTable c1(1), c2(1);
    const std::array<double, 3> xyz{1, 2, 3};
    for (ConcentratedActionTable* t : {&c1, &c2}) {
        t->AddConcentratedActionRow(values, xyz);
        t->CountConcentratedActionRows();
        t->RebuildConcentratedActionIndex();
    }
    EXPECT_FALSE(c1.CompareConcentratedActionTable(c2));
    c2.SetCoordinate(0, 2, LastBit(3.0));
    EXPECT_TRUE(c1.CompareConcentratedActionTable(c2));

    EdgeActionTable e1(1), e2(1);
    const std::array<double, 3> ev{1, 2, 3};
    for (EdgeActionTable* t : {&e1, &e2}) {
        t->AddEdgeActionRow("4", 2, 1, ev);
        t->CountEdgeActionRows();
        t->RebuildEdgeActionIndex();
    }
    EXPECT_FALSE(e1.CompareEdgeActionTable(e2));
    e2.SetValue(0, 2, LastBit(3.0));
    EXPECT_TRUE(e1.CompareEdgeActionTable(e2));
    e2.SetValue(0, 2, 3.0);
    e2.SetSide(0, 3);
    EXPECT_TRUE(e1.CompareEdgeActionTable(e2));

    ElementTable l1(4), l2(4);
    const std::array<int, 4> nodes{1, 2, 3, 4};
    for (ElementTable* t : {&l1, &l2}) {
        t->AddElementRow(1, 1, nodes);
        t->CountRows();
        t->RebuildIndex();
    }
    EXPECT_FALSE(l1.CompareElementTable(l2));
    l2.SetIntegrationOrder2(3);
    EXPECT_FALSE(l1.CompareElementTable(l2)) << "integration orders are not compared";
    l2.SetNodeNumber(0, 3, 5);
    EXPECT_TRUE(l1.CompareElementTable(l2));
}

TEST(TableCompare, DifferentCountsDiffer) {
    NodeTable a = MakeNodes({1, 2}), b = MakeNodes({1});
    EXPECT_TRUE(a.CompareNodeTable(b));
    EXPECT_TRUE(b.CompareNodeTable(a));
}

TEST(TableCopy, FullCopyTakesParametersAndNewRows) {
    ElementTable src(8);
    src.SetIntegrationOrder1(3);
    src.SetIntegrationOrder2(3);
    const std::array<int, 8> nodes{1, 2, 3, 4, 5, 6, 7, 8};
    src.AddElementRow(4, 2, nodes);
    src.AddElementRow(6, 1, nodes);
    src.CountRows();
    src.RebuildIndex();

    ElementTable copy;
    copy.CopyElementTable(src);
    EXPECT_FALSE(copy.CompareElementTable(src));
    EXPECT_EQ(copy.GetNodesPerElement(), 8);
    EXPECT_EQ(copy.GetIntegrationOrder2(), 3);
    EXPECT_NE(copy.GetRow(0), src.GetRow(0)) << "copies make new rows";
    src.SetNodeNumber(0, 7, 80);
    EXPECT_EQ(copy.GetNodeNumber(0, 7), 8);
    EXPECT_EQ(copy.GetRowField0At(1).size(), 8u);
}

// A full copy of a table onto itself leaves every kind as it was.
TEST(TableCopy, FullCopyOntoItselfKeepsTheRows) {
    NodeTable nodes = MakeNodes({3, 5});
    nodes.CopyNodeTable(nodes);
    EXPECT_EQ(ChainIds(nodes), (std::vector<int>{3, 5}));
    ExpectConsistent(nodes);

    NodalActionTable nodal(2);
    nodal.AddNodalActionRow("7", kZero6, kNoFlags);
    ConcentratedActionTable concentrated(1);
    concentrated.AddConcentratedActionRow(kZero6, std::array<double, 3>{1, 2, 3});
    EdgeActionTable edges(1);
    edges.AddEdgeActionRow("4", 2, 1, std::array<double, 3>{});
    ElementTable elements(4);
    elements.AddElementRow(9, 1, std::array<int, 4>{1, 2, 3, 4});
    CutLineTable cuts;
    cuts.AddCutLineRow(0, 0, 1, 1);
    MaterialTable materials;
    materials.AddMaterialRow("ALL", 0, 1, 2, 0.3, 0.5);
    SetTable sets(1);
    sets.AddSetRow("S", nullptr);
    SetMemberList members;
    members.AddSetMemberRow("1", 4, 1, 1);
    auto recount = [](auto& t) {
        t.CountRows();
        t.RebuildIndex();
    };
    recount(nodal);
    recount(concentrated);
    recount(edges);
    recount(elements);
    recount(cuts);
    recount(materials);
    recount(sets);
    recount(members);

    nodal.CopyFrom(nodal);
    concentrated.CopyConcentratedActionTable(concentrated);
    edges.CopyEdgeActionTable(edges);
    elements.CopyElementTable(elements);
    cuts.CopyCutLineTable(cuts);
    materials.CopyMaterialTable(materials);
    sets.CopySetTable(sets);
    members.CopySetMemberList(&members);
    EXPECT_EQ(nodal.GetCount(), 1);
    EXPECT_EQ(nodal.GetTarget(0), "7");
    EXPECT_EQ(concentrated.GetCount(), 1);
    EXPECT_EQ(concentrated.GetCoordinate(0, 2), 3);
    EXPECT_EQ(edges.GetCount(), 1);
    EXPECT_EQ(edges.GetSide(0), 2);
    EXPECT_EQ(elements.GetCount(), 1);
    EXPECT_EQ(elements.GetNodeNumber(0, 3), 4);
    EXPECT_EQ(cuts.GetCount(), 1);
    EXPECT_EQ(cuts.GetEndZ(0), 1);
    EXPECT_EQ(materials.GetCount(), 1);
    EXPECT_EQ(materials.GetMaterialNu(0), 0.3);
    EXPECT_EQ(sets.GetCount(), 1);
    EXPECT_EQ(sets.GetRowName(0), "S");
    EXPECT_EQ(members.GetCount(), 1);
    EXPECT_EQ(members.GetFinal(0), 4);
}

TEST(TableCopy, ElementNodesAreSizedByNodesPerElement) {
    ElementTable t(9);
    const std::array<int, 4> four{1, 2, 3, 4};
    t.AddElementRow(1, 0, four);
    t.CountRows();
    t.RebuildIndex();
    ASSERT_EQ(t.GetRowField0At(0).size(), 9u);
    EXPECT_EQ(t.GetNodeNumber(0, 3), 4);
    EXPECT_EQ(t.GetNodeNumber(0, 8), 0);
    EXPECT_EQ(t.GetNodeNumber(0, 9), 0) << "outside the row reads 0";
}

TEST(TableCopy, ValueCopyOverwritesRowsInPlace) {
    const std::array<double, 6> v1{1, 1, 1, 1, 1, 1}, v2{2, 2, 2, 2, 2, 2};
    const std::array<int, 6> f1{}, f2{1, 1, 1, 1, 1, 1};
    NodalActionTable a(1), b(1);
    a.AddNodalActionRow("1", v1, f1);
    b.AddNodalActionRow("ALL", v2, f2);
    for (NodalActionTable* t : {&a, &b}) {
        t->CountRows();
        t->RebuildIndex();
    }
    NodalRow* row = a.GetRow(0);
    a.CopyNodalActionRowValues(b);
    EXPECT_EQ(a.GetRow(0), row);
    EXPECT_FALSE(a.CompareWith(b));

    NodeTable n1 = MakeNodes({1, 2}), n2 = MakeNodes({5, 6});
    n1.CopyNodeRowValues(n2);
    EXPECT_EQ(IndexIds(n1), (std::vector<int>{5, 6}));
}

TEST(TableCopy, NodalCopyIntoAFilledTableReplacesItsRows) {
    const std::array<double, 6> v{};
    NodalActionTable src(4), dst(1);
    src.AddNodalActionRow("3", v, kNoFlags);
    src.CountRows();
    src.RebuildIndex();
    dst.AddNodalActionRow("9", v, kNoFlags);
    dst.AddNodalActionRow("8", v, kNoFlags);
    dst.CountRows();
    dst.RebuildIndex();
    dst.CopyFrom(src);
    EXPECT_EQ(dst.GetCount(), 1);
    EXPECT_EQ(dst.GetTarget(0), "3");
    EXPECT_EQ(dst.GetKindCode(), 4);
    EXPECT_FALSE(dst.CompareWith(src));
}

TEST(NodalTable, RowArraysHaveValuesPerRowEntries) {
    NodalActionTable t(2);
    const std::array<double, 2> shortValues{7, 8};
    const std::array<int, 1> shortFlags{1};
    t.AddNodalActionRow("1", shortValues, shortFlags);
    t.CountRows();
    t.RebuildIndex();
    EXPECT_EQ(t.GetRow(0)->values.size(), 6u);
    EXPECT_EQ(t.GetValue(0, 1), 8.0);
    EXPECT_EQ(t.GetValue(0, 5), 0.0);
    EXPECT_EQ(t.GetFlag(0, 0), 1);
    const std::array<double, 6> all{1, 2, 3, 4, 5, 6};
    t.SetRowValues(0, all);
    EXPECT_EQ(t.GetValue(0, 5), 6.0);
    EXPECT_EQ(t.GetRow(0)->target, "1");
    NodalRow fresh;
    EXPECT_EQ(fresh.target, "0");
}

}  // namespace
