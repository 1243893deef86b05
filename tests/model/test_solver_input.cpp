// Numeric solver input: the exact record layout for fixture models, the soil
// records, the state the writer leaves in the model and write failures.

#include <gtest/gtest.h>

#include <regex>

#include "test_solver_input_support.h"

using bridgetest::Fixture;
using bridgetest::Lines;
using bridgetest::ReadAll;
using bridgetest::ReadModelText;
using bridgetest::Scratch;

namespace {

// Two pattern points of an equivalent concentrated load, set directly.
void SetTwoPatternPoints(ModelData& m) {
    m.patternCount = 2;
    m.patternX = {0, 0};
    m.patternY = {1.5, 0.5};
    m.patternZ = {0.5, 0.5};
    m.patternAxial = {-30, -30};
    m.patternShearY = {1, 0};
    m.patternShearZ = {2, 0.25};
}

const char* const kTinyMesh =
    "NODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\nEND_NODE_DATA\n"
    "MATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
    "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\nEND_ELEMENT_DATA\n";

}  // namespace

TEST(SolverInput, FixtureModelsGiveTheRecordLayoutByteForByte) {
    struct Case {
        const char* model;
        const char* expected;
        bool pattern;
    };
    const Case cases[] = {
        {"sin/gaps.slb", "sin/gaps.sin", true},       // node and element numbers with gaps, orthotropic
                                                      // material, pattern points, nonlinear pairs, cut lines
        {"sin/vlasov.slb", "sin/vlasov.sin", false},  // Vlasov soil: free edges, edge expansion of ALL,
                                                      // nodal stiffness rows left to the soil model
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(m.ReadModelFile(Fixture(c.model), true), 0) << c.model;
        if (c.pattern) SetTwoPatternPoints(m);
        Scratch dir;
        ASSERT_EQ(m.WriteSolverInput(dir.File("m.sin")), 0) << c.model;
        EXPECT_EQ(ReadAll(dir.File("m.sin")), ReadAll(Fixture(c.expected))) << c.model;
    }
}

TEST(SolverInput, SoilKindDecidesTheSoilRecordAndTheFreeEdgeCount) {
    struct Case {
        std::string soilBlock;
        std::string soilLine;    // line 2
        std::string valuesLine;  // line 3 when there is one, else the counts line follows
        int freeEdges;           // count 14 of the counts line
    };
    const Case cases[] = {
        {"", "0", "", 0},
        {"SOIL_STIFFNESS_DATA_MINDLIN\n25000\t0.35\t12.5\nEND_SOIL_STIFFNESS_DATA_MINDLIN\n", "1", "25000  0.35  12.5",
         0},
        {"SOIL_STIFFNESS_DATA_VLASOV\n5000\t3000\t0.3\t4\t2.5\nEND_SOIL_STIFFNESS_DATA_VLASOV\n", "2",
         "5000  3000  0.3  4  2.5", 4},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, "V4.1\n" + c.soilBlock + kTinyMesh + "END_DATA\n"), 0);
        Scratch dir;
        ASSERT_EQ(m.WriteSolverInput(dir.File("m.sin")), 0);
        const std::vector<std::string> lines = Lines(ReadAll(dir.File("m.sin")));
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[1], c.soilLine);
        const std::size_t countsLine = c.valuesLine.empty() ? 2 : 3;
        if (!c.valuesLine.empty()) {
            EXPECT_EQ(lines[2], c.valuesLine);
        }
        std::istringstream counts(lines[countsLine]);
        std::vector<int> n(18);
        for (int& v : n) counts >> v;
        EXPECT_EQ(n[0], 4);
        EXPECT_EQ(n[13], c.freeEdges) << c.soilLine;
        // Free-edge lines "element  side  0  " appear only under Vlasov soil.
        const std::regex edgeLine("[0-9]+  [1-4]  0  ");
        int edgeLines = 0;
        for (const std::string& l : lines)
            if (std::regex_match(l, edgeLine)) ++edgeLines;
        EXPECT_EQ(edgeLines, c.freeEdges);
    }
}

TEST(SolverInput, EmptyTablesStillWriteTheCutLineHeaderAndTheEndLine) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, std::string("V4.1\n") + kTinyMesh + "END_DATA\n"), 0);
    Scratch dir;
    ASSERT_EQ(m.WriteSolverInput(dir.File("m.sin")), 0);
    const std::string text = ReadAll(dir.File("m.sin"));
    // Elements, nodes, one material, then straight to the cut-line header.
    const std::string tail = " 1\t1  3e+07  0.2  0.5\n0 1\t5\n\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find("4  1  1  4  2  2  0  0  0  0  0  0  0  0  0  0  0  0  \n0  0  0\n"), std::string::npos);
}

TEST(SolverInput, WriterLeavesWorkingTablesResetAndAFreshConstraintCopy) {
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(Fixture("sin/gaps.slb"), true), 0);
    Scratch dir;
    ASSERT_EQ(m.WriteSolverInput(dir.File("a.sin")), 0);
    ASSERT_EQ(m.WriteSolverInput(dir.File("b.sin")), 0);
    EXPECT_EQ(ReadAll(dir.File("a.sin")), ReadAll(dir.File("b.sin")));

    for (const NodalActionTable* t : {m.perNodeTable.get(), m.perElementTable.get()}) {
        ASSERT_NE(t, nullptr);
        for (const NodalRow* r = t->GetHead(); r; r = r->next) {
            EXPECT_EQ(r->target, "0");
            for (int f : r->flags) EXPECT_EQ(f, 0);
            for (double v : r->values) EXPECT_EQ(v, 0.0);
        }
    }
    EXPECT_EQ(m.perNodeTable->GetCount(), 6);
    EXPECT_EQ(m.perElementTable->GetCount(), 2);
    EXPECT_EQ(m.perNodeTouched, 0);
    ASSERT_NE(m.solverConstraints, nullptr);
    EXPECT_FALSE(m.solverConstraints->CompareWith(*m.GetNodalActionTable(1)));
    EXPECT_NE(m.solverConstraints.get(), m.GetNodalActionTable(1));
}

TEST(SolverInput, FileThatCannotBeCreatedIsReported) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, std::string("V4.1\n") + kTinyMesh + "END_DATA\n"), 0);
    Scratch dir;
    EXPECT_NE(m.WriteSolverInput(dir.File("missing/folder/m.sin")), 0);
    EXPECT_NE(m.WriteSolverInput(dir.Path()), 0);  // a folder, not a file
}
