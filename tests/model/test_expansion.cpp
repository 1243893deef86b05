// Expansion of actions into rows per node, element and element side; the
// nodes of nonlinear springs; material assignment; set questions.

#include <gtest/gtest.h>

#include <set>

#include "test_solver_input_support.h"

using bridgetest::ReadModelText;

namespace {

// An n x n mesh of 4-node elements of unit size, nodes numbered row by row
// from 1, elements likewise; `extra` holds further keyword blocks.
std::string GridModel(int n, const std::string& extra) {
    std::ostringstream s;
    s << "V4.1\nNODE_DATA\n";
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c) s << "*\t" << r * (n + 1) + c + 1 << "\t0\t" << c << '\t' << r << '\n';
    s << "END_NODE_DATA\nMATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n";
    s << "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n";
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const int a = r * (n + 1) + c + 1;
            s << "*\t" << r * n + c + 1 << "\t1\t" << a << '\t' << a + 1 << '\t' << a + n + 2 << '\t' << a + n + 1
              << '\n';
        }
    s << "END_ELEMENT_DATA\n" << extra << "END_DATA\n";
    return s.str();
}

// Node (element) numbers of the touched rows of a working table.
std::set<int> Touched(const NodalActionTable& t) {
    std::set<int> out;
    for (const NodalRow* r = t.GetHead(); r; r = r->next)
        if (r->target != "0") out.insert(std::stoi(r->target));
    return out;
}

NodalActionTable Rows(std::initializer_list<std::pair<std::string, std::vector<int>>> rows) {
    NodalActionTable t(1);
    for (const auto& [target, flags] : rows) {
        std::vector<double> values(6);
        for (std::size_t j = 0; j < 6; ++j) values[j] = flags[j] ? 10.0 * (j + 1) + flags[j] : 0.0;
        t.AddNodalActionRow(target, values, flags);
    }
    t.CountRows();
    t.RebuildIndex();
    return t;
}

const std::string kSets =
    "NODESET_DATA\n*\tALL\nEND_ALL\n*\tSETA\n*\t7\t9\t1\nEND_SETA\n*\tRANGE\n*\t10\t20\t5\nEND_RANGE\n"
    "*\tLIST\n*\t10,12\t0\t1\nEND_LIST\n*\tNEST\n*\tLIST\t0\t1\n*\t3\t3\t1\nEND_NEST\n"
    "*\tLOOP1\n*\tLOOP2\t0\t1\n*\t1\t1\t1\nEND_LOOP1\n*\tLOOP2\n*\tLOOP1\t0\t1\n*\t2\t2\t1\nEND_LOOP2\n"
    "END_NODESET_DATA\n"
    "ELEMENTSET_DATA\n*\tALL\nEND_ALL\n*\tMID\n*\t6\t11\t5\nEND_MID\nEND_ELEMENTSET_DATA\n"
    "EDGESET_DATA\n*\tALL\nEND_ALL\n*\tRIM\n*\t1\t2\t1\t1\n*\t4\t4\t1\t4\nEND_RIM\nEND_EDGESET_DATA\n";

}  // namespace

TEST(Expansion, NodalTargetsReachEachNodeOnceWhateverNamesThem) {
    struct Case {
        std::string target;
        std::set<int> nodes;
    };
    const Case cases[] = {
        {"1,5,SETA", {1, 5, 7, 8, 9}},
        {"1,1,SETA,SETA,8", {1, 7, 8, 9}},
        {"RANGE", {10, 15, 20}},
        {"LIST", {10, 12}},
        {"NEST", {3, 10, 12}},
        {"LOOP1", {1, 2}},  // sets naming each other are followed once
        {"NOSUCHSET", {}},
        {"ALL", {}},      // filled below: every node
        {"0,26,99", {}},  // no such nodes; "0" is a name
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, GridModel(4, kSets)), 0);
        m.PrepareExpandedTable(1);
        const NodalActionTable t = Rows({{c.target, {1, 0, 0, 0, 0, 0}}});
        std::set<int> expected = c.nodes;
        if (c.target == "ALL")
            for (int n = 1; n <= 25; ++n) expected.insert(n);
        EXPECT_EQ(m.ExpandNodalTable(1, &t, false), static_cast<int>(expected.size())) << c.target;
        EXPECT_EQ(Touched(*m.perNodeTable), expected) << c.target;
        // Touched rows sit at the row of their node.
        for (int i = 0; i < m.perNodeTable->GetCount(); ++i) {
            if (m.perNodeTable->GetTarget(i) != "0") {
                EXPECT_EQ(std::stoi(m.perNodeTable->GetTarget(i)), m.nodeTable->GetNodeId(i));
            }
        }
    }
}

TEST(Expansion, LaterRowsOverwriteOnlyTheComponentsTheyFlag) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, GridModel(2, "")), 0);
    m.PrepareExpandedTable(1);
    const NodalActionTable t =
        Rows({{"4", {1, 0, 0, 0, 0, 0}}, {"4", {0, 2, 0, 0, 0, 0}}, {"4,5", {0, 0, 0, 0, 0, 1}}});
    EXPECT_EQ(m.ExpandNodalTable(1, &t, false), 2);
    const int row = m.NodeRowOfNumber(4);
    EXPECT_EQ(m.perNodeTable->GetFlag(row, 0), 1);
    EXPECT_EQ(m.perNodeTable->GetFlag(row, 1), 2);
    EXPECT_EQ(m.perNodeTable->GetFlag(row, 2), 0);
    EXPECT_EQ(m.perNodeTable->GetValue(row, 0), 11.0);
    EXPECT_EQ(m.perNodeTable->GetValue(row, 1), 22.0);
    EXPECT_EQ(m.perNodeTable->GetValue(row, 5), 61.0);

    // With the reset flag the count is kept but the table is left clean.
    m.PrepareExpandedTable(1);
    EXPECT_EQ(m.ExpandNodalTable(1, &t, true), 2);
    EXPECT_TRUE(Touched(*m.perNodeTable).empty());
    EXPECT_EQ(m.perNodeTouched, 0);
}

TEST(Expansion, DistributedTargetsReachElements) {
    struct Case {
        std::string target;
        int touched;
    };
    const Case cases[] = {{"ALL", 16}, {"MID", 2}, {"3,MID", 3}, {"17", 0}, {"NONE", 0}};
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, GridModel(4, kSets)), 0);
        m.PrepareExpandedTable(2);
        const NodalActionTable t = Rows({{c.target, {1, 0, 0, 0, 0, 0}}});
        EXPECT_EQ(m.ExpandNodalTable(2, &t, true), c.touched) << c.target;
    }
}

TEST(Expansion, EdgeRowsCountAsTheyExpand) {
    struct Case {
        std::string target;
        int side;
        std::vector<std::pair<int, int>> edges;  // element, side
    };
    const Case cases[] = {
        {"RIM", 3, {{1, 1}, {2, 1}, {4, 4}}},  // sides from the member rows
        {"5", 2, {{5, 2}}},
        {"5,5", 2, {{5, 2}, {5, 2}}},  // never merged
        {"99,NONE", 1, {}},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, GridModel(4, kSets)), 0);
        EdgeActionTable source(1);
        const std::array<double, 3> values{1, 2, 3};
        source.AddEdgeActionRow(c.target, c.side, 1, values);
        source.CountRows();
        source.RebuildIndex();
        EdgeActionTable out;
        m.ExpandEdgeTable(out, &source, 3);
        EXPECT_EQ(m.CountEdgeExpansion(&source, 3), static_cast<int>(c.edges.size())) << c.target;
        std::vector<std::pair<int, int>> got;
        for (const EdgeRow* r = out.GetHead(); r; r = r->next) {
            got.push_back({std::stoi(r->target), r->side});
            EXPECT_EQ(r->values, values);
        }
        EXPECT_EQ(got, c.edges) << c.target;
    }

    // "ALL": every distinct side of a 2 x 2 mesh once.
    ModelData m;
    ASSERT_EQ(ReadModelText(m, GridModel(2, "")), 0);
    EXPECT_EQ(m.CountEdgeSetExpansion("ALL", 3), 12);
    EdgeActionTable out;
    m.ExpandEdgeSet(out, 3, "ALL", {5, 5, 0}, 1, 1);
    std::set<std::pair<int, int>> corners;
    for (const EdgeRow* r = out.GetHead(); r; r = r->next) {
        const ElementRow* e = m.elementTable->GetRow(m.ElementRowOfNumber(std::stoi(r->target)));
        const int a = e->nodes[static_cast<std::size_t>(r->side - 1)],
                  b = e->nodes[static_cast<std::size_t>(r->side % 4)];
        corners.insert({std::min(a, b), std::max(a, b)});
    }
    EXPECT_EQ(corners.size(), 12u);
    EXPECT_EQ(out.CountRows(), 12);
}

TEST(Expansion, NonlinearNodesKeepTheSpringOfTheFirstAction) {
    ModelData m;
    const std::string lists =
        "NONLINEAR_SPRING_DATA\n2\nSoft\n2\n0 0\n1 1\nStiff\n2\n0 0\n1 10\nEND_NONLINEAR_SPRING_DATA\n"
        "NONLINEAR_NODAL_STIFFNESS_DATA\n3\nG1\n3,7\n0\n0\nStiff\n0\nG2\nSETA\n0\n0\nSoft\n1\n"
        "G3\n9,77\n0\n0\nMissing\n0\nEND_NONLINEAR_NODAL_STIFFNESS_DATA\n";
    ASSERT_EQ(ReadModelText(m, GridModel(4, kSets + lists)), 0);
    std::vector<int> nodes{99}, springs{99};
    m.CollectNonlinearNodes(nodes, springs);
    EXPECT_EQ(nodes, (std::vector<int>{3, 7, 8, 9}));
    EXPECT_EQ(springs, (std::vector<int>{2, 2, 1, 1}));  // spring positions in the list, by name
    EXPECT_TRUE(ModelData::NodeInActionList(8, nodes));
    EXPECT_FALSE(ModelData::NodeInActionList(77, nodes));
}

TEST(Expansion, SetQuestions) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, GridModel(4, kSets)), 0);
    struct Case {
        int id;
        std::string set;
        int kind;
        int in;
    };
    const Case cases[] = {
        {15, "RANGE", 1, 1}, {16, "RANGE", 1, 0}, {12, "NEST", 1, 1},  {11, "NEST", 1, 0},
        {20, "RANGE", 1, 1}, {12, "RANGE", 1, 0}, {25, "RANGE", 1, 0},  // last of the range, between steps, past it
        {2, "LOOP1", 1, 1},  {5, "LOOP1", 1, 0},  {123, "ALL", 2, 1},  {11, "MID", 2, 1},
        {1, "RIM", 3, 1},   // element 1 side 1: 4 * 0 + 1
        {5, "RIM", 3, 1},   // element 2 side 1
        {16, "RIM", 3, 1},  // element 4 side 4
        {2, "RIM", 3, 0},   // element 1 side 2
        {1, "NOSUCH", 1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(m.IsInSet(c.id, c.set, c.kind), c.in) << c.id << " " << c.set;

    EXPECT_EQ(m.FindSetIndex(1, "ALL"), 0);
    EXPECT_EQ(m.FindSetIndex(1, "RANGE"), 2);
    EXPECT_EQ(m.FindSetIndex(1, "range"), -1);
    EXPECT_EQ(m.FindSetIndex(4, "ALL"), -1);

    // Node 10 lies in ALL, RANGE, LIST and NEST.
    EXPECT_EQ(m.FindNextSetContaining(10, 1, "RANGE", "ALL"), "LIST");
    EXPECT_EQ(m.FindNextSetContaining(10, 1, "NEST", "ALL"), "RANGE");
    EXPECT_EQ(m.FindNextSetContaining(10, 1, "NEST", "RANGE"), "ALL");
    EXPECT_EQ(m.FindNextSetContaining(4, 1, "SETA", "ALL"), "0");

    EXPECT_EQ(m.ElementOfNode(7), 1);
    EXPECT_EQ(m.ElementOfNode(25), 16);
    EXPECT_EQ(m.ElementOfNode(26), 0);
    EXPECT_EQ(m.GetTotalConcentratedTable(1), m.totalConcentratedStiffness.get());
    EXPECT_EQ(m.GetTotalConcentratedTable(3), nullptr);
}

TEST(Expansion, MaterialRowsAssignInOrderLaterRowsWin) {
    const std::string materials =
        "MATERIAL_DATA\n*\tALL\t0\t1\t1\t0.2\t0.5\n*\tMID\t0\t2\t2\t0.2\t0.5\n*\t11,3,99\t0\t3\t3\t0.2\t0.5\n"
        "END_MATERIAL_DATA\n";
    ModelData m;
    ASSERT_EQ(ReadModelText(m, GridModel(4, kSets + materials)), 0);
    m.AssignMaterialsToElements();
    for (int e = 1; e <= 16; ++e) {
        const int expected = e == 6 ? 2 : (e == 11 || e == 3) ? 3 : 1;
        EXPECT_EQ(m.GetElementMaterial(m.ElementRowOfNumber(e)), expected) << e;
    }
}

TEST(Expansion, PreparedTablesFollowTheMeshSize) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, GridModel(2, "")), 0);
    m.PrepareExpandedTable(1);
    NodalActionTable* before = m.perNodeTable.get();
    m.PrepareExpandedTable(1);
    EXPECT_EQ(m.perNodeTable.get(), before);  // same size: kept and reset
    m.nodeTable->AddNodeRow(100, 0, 5, 5);
    m.RebuildNodeIndex();
    m.PrepareExpandedTable(1);
    EXPECT_EQ(m.perNodeTable->GetCount(), 10);
    m.PrepareExpandedTable(2);
    EXPECT_EQ(m.perElementTable->GetCount(), 4);
}
