// Table blocks of the model keyword file: row forms and block readers.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "model/ModelFileBlocks.h"
#include "model/ModelFileText.h"

namespace {

TEST(SlbBlocks, RowFormsOfEveryWriter) {
    {
        NodalActionTable t(2);
        const double v[6] = {0, 0, 0, 0, 0, 0};
        const int f[6] = {1, 1, 1, 0, 0, 0};
        t.AddNodalActionRow("12", v, f);
        t.CountRows();
        t.RebuildIndex();
        std::ostringstream out;
        WriteNodalTableBlock(t, out, "NODAL_LOAD_DATA");
        EXPECT_EQ(out.str(), "*\t12\t 1  1  1  0  0  0 \t0\t0\t0\t0\t0\t0\nEND_NODAL_LOAD_DATA\n");
    }
    {
        ConcentratedActionTable t(1);
        const double v[6] = {-100, 0, 0, 0, 2.5, 0};
        const double c[3] = {0, 0.75, 1e-05};
        t.AddConcentratedActionRow(v, c);
        std::ostringstream out;
        WriteConcentratedTableBlock(t, out, "CONCENTRATED_LOAD_DATA");
        EXPECT_EQ(out.str(), "*\t 0  0.75  1e-05 \t-100\t0\t0\t0\t2.5\t0\nEND_CONCENTRATED_LOAD_DATA\n");
    }
    {
        EdgeActionTable t(1);
        const double v[3] = {-2, -2, 0.5};
        t.AddEdgeActionRow("RIM", 3, 1, v);
        std::ostringstream out;
        WriteEdgeTableBlock(t, out, "EDGE_LOAD_DATA");
        EXPECT_EQ(out.str(), "*\tRIM\t3\t1\t\t-2\t-2\t0.5\nEND_EDGE_LOAD_DATA\n");
    }
    {
        NodeTable t;
        t.AddNodeRow(7, 0, 1234567, -0.5);
        std::ostringstream out;
        WriteNodeBlock(t, out, "NODE_DATA");
        EXPECT_EQ(out.str(), "*\t7\t0\t1234567\t-0.5\nEND_NODE_DATA\n");
    }
    {
        CutLineTable t;
        t.SetInterpolationOption(2);
        t.SetSegmentDivisionCode(4);
        t.AddCutLineRow(0, 1.5, 3, 1.5);
        t.AddCutLineRow(1, 0, 1, 3);
        std::ostringstream out;
        WriteCutLineBlock(t, out, "CUTLINE_DATA");
        EXPECT_EQ(out.str(), "*\t2\t4\n*\t1\t0\t1.5\t3\t1.5\n*\t2\t1\t0\t1\t3\nEND_CUTLINE_DATA\n");
    }
    {
        SetTable t(3);
        SetMemberList members;
        members.AddSetMemberRow("4", 8, 2, 3);
        members.AddSetMemberRow("OTHER", 0, 1, 1);
        members.CountRows();
        members.RebuildIndex();
        t.AddSetRow("ALL", nullptr);
        t.AddSetRow("E", &members);
        std::ostringstream out;
        WriteSetBlock(t, out, "EDGESET_DATA", 3);
        EXPECT_EQ(out.str(), "*\tALL\nEND_ALL\n*\tE\n*\t4\t8\t2\t3\n*\tOTHER\t0\t1\t1\nEND_E\nEND_EDGESET_DATA\n\n");
        std::ostringstream nodeSets;
        WriteSetBlock(t, nodeSets, "NODESET_DATA", 1);
        EXPECT_NE(nodeSets.str().find("*\t4\t8\t2\n*\tOTHER\t0\t1\nEND_E\n"), std::string::npos);
    }
}

TEST(SlbBlocks, MaterialRowsOfEveryType) {
    MaterialTable t;
    t.AddMaterialRow("1", 0, 3e7, 2e8, 0.2, 0.5);
    t.AddRebarMaterialRow("R", 1, 3e7, 2e8, 0.2, 0.5, RebarLayers{1, 2, 3, 4, 5, 6, 7, 8},
                          Rigidities{11, 12, 13, 14, 15, 16});
    t.AddRibMaterialRow("S", 2, 3e7, 2e8, 0.2, 0.5, RibSection{1, 2, 3, 4, 5, 6, 0.7},
                        Rigidities{21, 22, 23, 24, 25, 26});
    t.AddBoxMaterialRow("B", 3, 3e7, 2e8, 0.2, 0.5, BoxSection{5, 0.25, 0.75}, Rigidities{31, 32, 33, 34, 35, 36});
    t.AddUserOrthoMaterialRow("U", 4, 3e7, 2e8, 0.2, 0.5, Rigidities{41, 42, 43, 44, 45, 46});
    t.CountRows();
    t.RebuildIndex();
    std::ostringstream out;
    WriteMaterialBlock(t, out, "MATERIAL_DATA");
    EXPECT_EQ(out.str(),
              "*\t1\t0\t3e+07\t2e+08\t0.2\t0.5\n"
              "*\tR\t1\t3e+07\t2e+08\t0.2\t0.5\n*\t1\t2\t3\t4\t5\t6\t7\t8\n*\t11\t12\t13\t14\t15\t16\n"
              "*\tS\t2\t3e+07\t2e+08\t0.2\t0.5\n*\t1\t2\t3\t4\t5\t6\t0.7\n*\t21\t22\t23\t24\t25\t26\n"
              "*\tB\t3\t3e+07\t2e+08\t0.2\t0.5\n*\t5\t0.25\t0.75\n*\t31\t32\t33\t34\t35\t36\n"
              "*\tU\t4\t3e+07\t2e+08\t0.2\t0.5\n*\t41 42 43 44 45 46\n"
              "END_MATERIAL_DATA\n");

    std::istringstream in(out.str());
    MaterialTable back;
    ASSERT_EQ(ReadMaterialBlock(back, in, "MATERIAL_DATA"), 0);
    EXPECT_FALSE(back.CompareMaterialTable(t));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(back.GetRigidities(i), t.GetRigidities(i)) << i;
}

// Element type and integration words against the table's orders.
TEST(SlbBlocks, ElementHeaderWords) {
    struct Case {
        int nodes;
        int order2;
        const char* header;
        int readOrder1;
        int readOrder2;
    };
    const Case cases[] = {
        {4, 1, "\tLINEAR4\tREDUCED_INTEGRATION\n", 2, 1}, {4, 2, "\tLINEAR4\tNORMAL_INTEGRATION\n", 2, 2},
        {4, 3, "\tLINEAR4\tNORMAL_INTEGRATION\n", 2, 2},  {8, 2, "\tQUAD8\tREDUCED_INTEGRATION\n", 2, 2},
        {8, 3, "\tQUAD8\tNORMAL_INTEGRATION\n", 3, 3},    {9, 1, "\tQUAD9\tREDUCED_INTEGRATION\n", 2, 2},
        {9, 3, "\tQUAD9\tNORMAL_INTEGRATION\n", 3, 3},
    };
    for (const Case& c : cases) {
        ElementTable t(c.nodes);
        t.SetIntegrationOrder1(c.order2 == 1 ? 2 : c.order2);
        t.SetIntegrationOrder2(c.order2);
        std::vector<int> nodes(static_cast<std::size_t>(c.nodes));
        for (int j = 0; j < c.nodes; ++j) nodes[static_cast<std::size_t>(j)] = j + 1;
        t.AddElementRow(5, 2, nodes);
        t.CountRows();
        t.RebuildIndex();
        std::ostringstream out;
        WriteElementBlock(t, out, "ELEMENT_DATA");
        EXPECT_EQ(out.str().substr(0, out.str().find('*')), c.header) << c.nodes << "/" << c.order2;

        std::istringstream in(out.str());
        ElementTable back;
        ASSERT_EQ(ReadElementBlock(back, in, "ELEMENT_DATA"), 0);
        EXPECT_EQ(back.GetNodesPerElement(), c.nodes);
        EXPECT_EQ(back.GetIntegrationOrder1(), c.readOrder1);
        EXPECT_EQ(back.GetIntegrationOrder2(), c.readOrder2);
        EXPECT_FALSE(back.CompareElementTable(t));
    }
}

TEST(SlbBlocks, ReaderEdgeCases) {
    {
        // An unknown type word fails before any row is read.
        std::istringstream in("\tQUAD6\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\t5\t6\nEND_ELEMENT_DATA\n");
        ElementTable t;
        EXPECT_EQ(ReadElementBlock(t, in, "ELEMENT_DATA"), 1);
        EXPECT_EQ(t.GetCount(), 0);
        std::string next;
        modelfile::ReadWord(in, next);
        EXPECT_EQ(next, "NORMAL_INTEGRATION");
    }
    {
        // Node rows come back sorted by number; a node at the same number keeps its order.
        std::istringstream in("*\t3\t0\t3\t0\n*\t1\t0\t1\t0\n*\t2\t0\t2\t0\n*\t1\t0\t9\t0\nEND_NODE_DATA\n");
        NodeTable t;
        ASSERT_EQ(ReadNodeBlock(t, in, "NODE_DATA"), 0);
        ASSERT_EQ(t.GetCount(), 4);
        EXPECT_EQ(t.GetNodeId(0), 1);
        EXPECT_EQ(t.GetY(0), 1);
        EXPECT_EQ(t.GetY(1), 9);
        EXPECT_EQ(t.GetNodeId(3), 3);
    }
    {
        // A set whose members end with a wrong word is still added.
        std::istringstream in("*\tA\n*\t1\t4\t1\nEND_B\n*\tC\nEND_C\nEND_NODESET_DATA\n");
        SetTable t;
        ASSERT_EQ(ReadSetBlock(t, in, "NODESET_DATA", 1), 0);
        ASSERT_EQ(t.GetCount(), 2);
        EXPECT_EQ(t.GetSetKind(), 1);
        EXPECT_EQ(t.GetRowName(0), "A");
        ASSERT_NE(t.GetRowField0At(0), nullptr);
        EXPECT_EQ(t.GetRowField0At(0)->GetFinal(0), 4);
        EXPECT_EQ(t.GetRowField0At(0)->GetSide(0), 1);
        // A set without member rows gets no member list, as "ALL" has none.
        EXPECT_EQ(t.GetRowField0At(1), nullptr);
    }
    {
        // Cut-line header: option 0 is stored as 1.
        std::istringstream in("*\t0\t3\n*\t1\t0\t0\t2\t2\nEND_CUTLINE_DATA\n");
        CutLineTable t;
        ASSERT_EQ(ReadCutLineBlock(t, in, "CUTLINE_DATA"), 0);
        EXPECT_EQ(t.GetInterpolationOption(), 1);
        EXPECT_EQ(t.GetSegmentDivisionCode(), 3);
        EXPECT_EQ(t.GetEndZ(0), 2);
    }
    {
        // A block whose END line names another keyword fails and keeps its rows.
        std::istringstream in("*\tX\t1\t0\t0\t1\t2\t3\t-4\t0\nEND_NODE_DATA\n");
        EdgeActionTable t;
        EXPECT_EQ(ReadEdgeTableBlock(t, in, "EDGE_STIFFNESS_DATA", 2), 1);
        EXPECT_EQ(t.GetCount(), 1);
        EXPECT_EQ(t.GetKindCode(), 2);
    }
}

// Texts that the readers take as one word: a writer refuses what would be read
// back shifted.
TEST(SlbBlocks, WritersRefuseTextsThatAreNotOneWord) {
    for (const std::string& text : {std::string(""), std::string("A B"), std::string("A\tB"), std::string(256, 'W')}) {
        EdgeActionTable t(1);
        const double v[3] = {1, 1, 0};
        t.AddEdgeActionRow(text, 1, 1, v);
        std::ostringstream out;
        EXPECT_NE(WriteEdgeTableBlock(t, out, "EDGE_LOAD_DATA"), 0) << text;
        EXPECT_TRUE(out.fail());
    }
    SetTable sets(2);
    sets.AddSetRow("S S", nullptr);
    std::ostringstream out;
    EXPECT_NE(WriteSetBlock(sets, out, "ELEMENTSET_DATA", 2), 0);
}

TEST(SlbText, RealNotationAndNumberWords) {
    struct Case {
        double value;
        const char* text;
    };
    // "%g" where it reads back exactly, else the fewest digits that do.
    const Case cases[] = {{0.3, "0.3"},
                          {1000, "1000"},
                          {1e-05, "1e-05"},
                          {1234567, "1234567"},
                          {0.1234567, "0.1234567"},
                          {1.5e7, "1.5e+07"},
                          {-0.0001, "-0.0001"},
                          {100000, "100000"},
                          {0, "0"},
                          {-3.7512345678, "-3.7512345678"},
                          {1.0 / 3.0, "0.3333333333333333"},
                          {0.1 + 0.2, "0.30000000000000004"},
                          {123456789012.0, "123456789012"},
                          {2.5e-300, "2.5e-300"}};
    for (const Case& c : cases) {
        EXPECT_EQ(modelfile::FormatReal(c.value), c.text);
        double back = 0;
        EXPECT_TRUE(modelfile::ParseRealText(modelfile::FormatReal(c.value), back));
        EXPECT_EQ(back, c.value);
    }

    std::istringstream in("12 -3 +4 1.5 x 7");
    int i = 0;
    double d = 0;
    EXPECT_TRUE(modelfile::ReadInt(in, i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(modelfile::ReadInt(in, i));
    EXPECT_EQ(i, -3);
    EXPECT_TRUE(modelfile::ReadInt(in, i));
    EXPECT_EQ(i, 4);
    EXPECT_FALSE(modelfile::ReadInt(in, i));   // 1.5 is no integer
    EXPECT_FALSE(modelfile::ReadReal(in, d));  // the stream stays failed
    for (const char* word : {"1e-05", "-2.5E3", ".5", "1.23457e+06"}) {
        std::istringstream s(word);
        EXPECT_TRUE(modelfile::ReadReal(s, d)) << word;
    }
    for (const char* word : {"0x10", "1,5", "--1", "e5", "1e999"}) {
        std::istringstream s(word);
        EXPECT_FALSE(modelfile::ReadReal(s, d)) << word;
    }
    std::istringstream big("99999999999");
    EXPECT_FALSE(modelfile::ReadInt(big, i));
}

}  // namespace
