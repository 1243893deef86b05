// Readers of the step results and the section-cut results, and the result
// lookups.

#include <gtest/gtest.h>

#include "model/ModelResults.h"
#include "test_solver_input_support.h"

using bridgetest::Fixture;
using bridgetest::ReadAll;
using bridgetest::ReadModelText;
using bridgetest::Scratch;
using bridgetest::WriteAll;

namespace {

std::string NodesModel(int n) {
    std::string s = "V4.1\nNODE_DATA\n";
    for (int i = 1; i <= n; ++i) s += "*\t" + std::to_string(i) + "\t0\t" + std::to_string(i) + "\t0\n";
    return s + "END_NODE_DATA\nEND_DATA\n";
}

std::vector<int> StepNumbers(const ModelData& m) {
    std::vector<int> out(static_cast<std::size_t>(m.GetStepCount()), -1);
    m.GetStepNumbers(out.data());
    return out;
}

int Listed(const ModelData& m) {
    int n = 0;
    for (const ResultStep* s = m.resultSteps; s; s = s->next) ++n;
    return n;
}

// Value the fixtures hold for a step, node and file column.
double FileValue(int step, int node, int fileColumn) { return step * 1000.0 + node * 100.0 + fileColumn; }

}  // namespace

TEST(StepResults, FixtureFilesReadWithTheirStatusStepsAndFlag) {
    struct Case {
        const char* file;
        int status;
        int flag;
        std::vector<int> steps;
    };
    const Case cases[] = {
        {"results/header_only.sds", 0, 1, {}},   {"results/layout17.sds", 0, 1, {1}},
        {"results/two_steps.sds", 0, 1, {1, 5}},  // ends with END_STEP_DATA and no line break
        {"results/truncated.sds", 4, 0, {1, 2}},  // the second block ends early
        {"results/no_such_file.sds", 1, 0, {}},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, NodesModel(2)), 0);
        EXPECT_EQ(m.ReadResultsFile(Fixture(c.file)), c.status) << c.file;
        EXPECT_EQ(m.HasResults() ? 1 : 0, c.flag) << c.file;
        EXPECT_EQ(StepNumbers(m), c.steps) << c.file;
        EXPECT_EQ(Listed(m), static_cast<int>(c.steps.size())) << c.file;
    }
}

TEST(StepResults, LayoutsFillTheirColumnsAndLeaveTheRestZero) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, NodesModel(2)), 0);
    ASSERT_EQ(m.ReadResultsFile(Fixture("results/layout17.sds")), 0);
    ASSERT_EQ(m.GetResultColumnCount(), 26);
    ASSERT_EQ(m.resultCaptions.size(), 26u);
    EXPECT_EQ(m.resultCaptions[0], "Disp. X");
    EXPECT_EQ(m.resultCaptions[23], "soil_press_q");
    EXPECT_EQ(m.resultCaptions[25], "Rx_NL");
    const int starts[5] = {0, 6, 12, 17, 23}, sizes[5] = {6, 6, 5, 6, 1};
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(m.GetResultGroupStart(g), starts[g]);
        EXPECT_EQ(m.GetResultGroupSize(g), sizes[g]);
    }
    for (int node = 1; node <= 2; ++node) {
        for (int c = 0; c < 26; ++c) {
            double expected = 0.0;
            if (c <= 5) expected = FileValue(1, node, c);
            if (c >= 12 && c <= 22) expected = FileValue(1, node, c - 6);
            EXPECT_EQ(m.GetResultValue(c, node - 1, 1), expected) << "node " << node << " column " << c;
        }
    }

    // All 26 columns of the full layout, and the first kept of a truncated file.
    ASSERT_EQ(m.ReadResultsFile(Fixture("results/two_steps.sds")), 0);
    for (int c = 0; c < 26; ++c) EXPECT_EQ(m.GetResultValue(c, 1, 5), FileValue(5, 2, c));
    ASSERT_EQ(m.ReadResultsFile(Fixture("results/truncated.sds")), 4);
    for (int c = 0; c < 23; ++c) EXPECT_EQ(m.GetResultValue(c, 1, 1), FileValue(1, 2, c));
    for (int c = 23; c < 26; ++c) EXPECT_EQ(m.GetResultValue(c, 1, 1), 0.0);
    EXPECT_EQ(m.GetStepCount(), 2);
    // The row where the file ends holds the values it reached over the
    // previous row's values.
    for (int c = 0; c < 23; ++c) EXPECT_EQ(m.GetResultValue(c, 1, 2), FileValue(2, c < 2 ? 2 : 1, c)) << "column " << c;
}

// A reset model has no results, whatever it held before.
TEST(StepResults, ResetClearsTheResultsState) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, NodesModel(2)), 0);
    ASSERT_EQ(m.ReadResultsFile(Fixture("results/two_steps.sds")), 0);
    ASSERT_TRUE(m.HasResults());
    ASSERT_EQ(m.GetStepCount(), 2);
    m.Reset();
    EXPECT_FALSE(m.HasResults());
    EXPECT_EQ(m.GetStepCount(), 0);
    EXPECT_EQ(m.resultSteps, nullptr);
}

TEST(StepResults, LookupsByStepNumberRowAndColumn) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, NodesModel(2)), 0);
    ASSERT_EQ(m.ReadResultsFile(Fixture("results/two_steps.sds")), 0);
    EXPECT_EQ(m.resultSteps->label, "STEP   1");
    EXPECT_EQ(m.resultSteps->next->label, "STEP   5");
    EXPECT_EQ(m.resultSteps->rowCount, 2);

    EXPECT_EQ(m.GetResultValue(0, 0, 3), 0.0);   // no step 3
    EXPECT_EQ(m.GetResultValue(26, 0, 1), 0.0);  // outside the columns
    EXPECT_EQ(m.GetResultValue(-1, 0, 1), 0.0);
    EXPECT_EQ(m.GetResultValue(0, 2, 1), 0.0);  // outside the rows
    EXPECT_EQ(m.GetResultValue(0, -1, 1), 0.0);

    // Displacement x as stored, the sign every display shows.
    EXPECT_EQ(m.GetDispX(0, 5), FileValue(5, 1, 0));
    EXPECT_EQ(GetResultDispX(m, 0, 5), FileValue(5, 1, 0));
    struct Case {
        double got;
        int column;
    };
    const Case cases[] = {
        {m.GetDispY(1, 5), 1},
        {m.GetDispZ(1, 5), 2},
        {m.GetRotX(1, 5), 3},
        {m.GetRotY(1, 5), 4},
        {m.GetRotZ(1, 5), 5},
        {m.GetReaction(1, 1, 5), 6},
        {m.GetReaction(6, 1, 5), 11},
        {m.GetPlateForce(1, 1, 5), 12},
        {m.GetPlateForce(5, 1, 5), 16},
        {m.GetPlateStress(1, 1, 5), 17},
        {m.GetPlateStress(6, 1, 5), 22},
        {m.GetSoilReaction(1, 1, 5), 23},
        {m.GetSoilReaction(3, 1, 5), 25},
        {GetResultColumn4(m, 1, 5), 4},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, FileValue(5, 2, c.column)) << c.column;
    EXPECT_EQ(m.GetReaction(7, 1, 5), 0.0);
    EXPECT_EQ(m.GetSoilReaction(0, 1, 5), 0.0);
}

TEST(StepResults, FilesThatDoNotFitTheModelAreRefusedWholly) {
    auto rows = [](int n) {
        std::string s;
        for (int r = 1; r <= n; ++r) {
            s += std::to_string(r);
            for (int c = 0; c < 26; ++c) s += " 1.5";
            s += "\n";
        }
        return s;
    };
    std::string caps;
    for (int c = 0; c < 26; ++c) caps += " c" + std::to_string(c);
    struct Case {
        std::string what;
        std::string text;
        int status;
    };
    const Case cases[] = {
        {"unknown column count", "step_data 20" + caps + "\nSTEP 1\n" + rows(2) + "END_STEP_DATA\n", 1},
        {"block without STEP",
         "step_data 26" + caps + "\nSTEP 1\n" + rows(2) + "STAP 2\n" + rows(2) + "END_STEP_DATA\n", 4},
        {"first block without STEP", "step_data 26" + caps + "\nBLOCK 1\n" + rows(2) + "END_STEP_DATA\n", 2},
        {"fewer rows than nodes",
         "step_data 26" + caps + "\nSTEP 1\n" + rows(1) + "STEP 2\n" + rows(1) + "END_STEP_DATA\n", 3},
        {"more rows than nodes", "step_data 26" + caps + "\nSTEP 1\n" + rows(3) + "END_STEP_DATA\n", 4},
        {"value that is no number",
         "step_data 26" + caps + "\nSTEP 1\n" + rows(1) + "2 x" + rows(0) + "\nEND_STEP_DATA\n", 3},
        {"empty file", "", 1},
        {"column count missing", "step_data\n", 1},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, NodesModel(2)), 0);
        // Results of an earlier read are released as well.
        ASSERT_EQ(m.ReadResultsFile(Fixture("results/two_steps.sds")), 0);
        Scratch dir;
        WriteAll(dir.File("r.sds"), c.text);
        EXPECT_EQ(m.ReadResultsFile(dir.File("r.sds")), c.status) << c.what;
        EXPECT_EQ(m.resultSteps, nullptr) << c.what;
        EXPECT_EQ(m.GetStepCount(), 0) << c.what;
        EXPECT_FALSE(m.HasResults()) << c.what;
    }
}

TEST(StepResults, StepNumberLabelAndFortranExponents) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, NodesModel(1)), 0);
    std::string text = "step_data 23";
    for (int c = 0; c < 23; ++c) text += " c";
    text += "\nSTEP      12\n    1";
    for (int c = 0; c < 22; ++c) text += "   0.250E+00";
    text += "   0.125-100\nEND_STEP_DATA\n";
    Scratch dir;
    WriteAll(dir.File("r.sds"), text);
    ASSERT_EQ(m.ReadResultsFile(dir.File("r.sds")), 0);
    EXPECT_EQ(m.resultSteps->label, "STEP  12");
    EXPECT_EQ(m.GetResultValue(21, 0, 12), 0.25);
    EXPECT_DOUBLE_EQ(m.GetResultValue(22, 0, 12), 0.125e-100);
}

TEST(CutResults, LinesAndPointsAreReadIntoRowsOfDistanceAndValues) {
    ModelData m;
    ASSERT_EQ(m.ReadCutLineResults(Fixture("results/two_lines.cut")), 0);
    EXPECT_EQ(m.cutLineCount, 2);
    EXPECT_EQ(m.cutPointTotal, 5);
    EXPECT_EQ(m.cutColumnCount, 9);
    EXPECT_EQ(m.cutPointsPerLine, (std::vector<int>{2, 3}));
    ASSERT_EQ(m.cutColumnNames.size(), 9u);
    EXPECT_EQ(m.cutColumnNames[0], "Disp_X");
    EXPECT_EQ(m.cutColumnNames[8], "Soil_press_q");
    ASSERT_EQ(m.cutRows.size(), 5u);
    for (const auto& row : m.cutRows) EXPECT_EQ(row.size(), 10u);
    EXPECT_EQ(m.cutRows[1][0], 1.5);
    EXPECT_EQ(m.cutRows[2][0], 2.0);  // the second line's rows start at row 2
    EXPECT_EQ(m.cutRows[4][9], 3.09);
}

TEST(CutResults, CountsAreCheckedAndUnreadPointsStayZero) {
    const std::string names = " a b c d e f g h i\n";
    struct Case {
        std::string what;
        std::string text;
        int status;
        std::vector<int> perLine;
    };
    const Case cases[] = {
        {"a line without points", "2 2 9" + names + "0\n2\n0 1 1 1 1 1 1 1 1 1\n1 2 2 2 2 2 2 2 2 2\n", 0, {0, 2}},
        {"a line without a block", "2 2 9" + names + "1\n0 1 1 1 1 1 1 1 1 1\n", 0, {1, 0}},
        {"points beyond the total", "1 2 9" + names + "3\n", 1, {}},
        {"a row that cannot be read", "1 1 9" + names + "1\n0 1 1 x 1 1 1 1 1 1\n", 1, {}},
        {"a row cut short", "1 1 9" + names + "1\n0 1 1\n", 1, {}},
        {"negative count", "-1 1 9" + names, 1, {}},
        {"impossible total", "1 2000000000 9" + names + "0\n", 1, {}},
        {"column names missing", "1 1 9 a b\n", 1, {}},
        {"empty file", "", 1, {}},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(m.ReadCutLineResults(Fixture("results/two_lines.cut")), 0);
        Scratch dir;
        WriteAll(dir.File("r.cut"), c.text);
        EXPECT_EQ(m.ReadCutLineResults(dir.File("r.cut")), c.status) << c.what;
        EXPECT_EQ(m.cutPointsPerLine, c.perLine) << c.what;
        if (c.status == 0) {
            ASSERT_EQ(m.cutRows.size(), 2u) << c.what;
            EXPECT_EQ(m.cutRows[1][0], c.perLine[0] == 1 ? 0.0 : 1.0) << c.what;
        } else {
            EXPECT_TRUE(m.cutRows.empty()) << c.what;
        }
    }
    ModelData m;
    EXPECT_EQ(m.ReadCutLineResults(Fixture("results/none.cut")), 1);
}
