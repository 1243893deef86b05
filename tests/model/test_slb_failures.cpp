// Model keyword file: the reader's failure codes, and a model that stays whole
// after any failure.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/ModelData.h"
#include "model/ModelFile.h"
#include "test_slb_support.h"

using slbtest::FixturePath;
using slbtest::ModelIsWhole;
using slbtest::ScratchDir;
using slbtest::WriteBytes;

namespace {

TEST(SlbFailure, FixtureFilesGiveTheirCodes) {
    struct Case {
        const char* file;
        int code;
    };
    const Case cases[] = {
        {"misspelt_keyword.slb", 10}, {"end_in_wrong_block.slb", 2}, {"unknown_element_type.slb", 3},
        {"truncated.slb", 1},         {"no_such_file.slb", 11},
    };
    for (const Case& c : cases) {
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(FixturePath(c.file), true), c.code) << c.file;
        EXPECT_TRUE(ModelIsWhole(m)) << c.file;
    }
}

// The rows read before a failure stay, counted and indexed.
TEST(SlbFailure, TruncatedFileKeepsTheRowsReadSoFar) {
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(FixturePath("truncated.slb"), true), 1);
    ASSERT_EQ(m.nodeTable->GetCount(), 2);
    EXPECT_EQ(m.nodeTable->GetRow(1)->id, 2);
    EXPECT_EQ(m.nodeCount, 2);
    EXPECT_EQ(m.title, "Broken");
}

TEST(SlbFailure, EveryCodeFromAMinimalFile) {
    struct Case {
        const char* what;
        const char* body;  // between the version line and END_DATA
        int code;
    };
    const Case cases[] = {
        {"node block ended by another END", "NODE_DATA\n*\t1\t0\t0\t0\nEND_MATERIAL_DATA\n", 1},
        {"node number that is no number", "NODE_DATA\n*\tx\t0\t0\t0\nEND_NODE_DATA\n", 1},
        {"node number beyond any mesh", "NODE_DATA\n*\t2000000000\t0\t0\t0\nEND_NODE_DATA\n", 1},
        {"material type outside 0..4",
         "MATERIAL_DATA\n*\tA\t0\t1\t1\t0.2\t1\n*\tB\t5\t1\t1\t0.2\t1\n"
         "*\tC\t0\t1\t1\t0.2\t1\nEND_MATERIAL_DATA\n",
         2},
        {"cut lines without header", "CUTLINE_DATA\n*\t1\t0\t0\t1\t1\nEND_CUTLINE_DATA\n", 2},
        {"cut lines ended by another END", "CUTLINE_DATA\n*\t1\t2\n*\t1\t0\t0\t1\t1\nEND_NODE_DATA\n", 2},
        {"unknown integration word", "ELEMENT_DATA\n\tLINEAR4\tFULL_INTEGRATION\nEND_ELEMENT_DATA\n", 3},
        {"element block ended by another END",
         "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n"
         "*\t1\t1\t1\t2\t3\t4\nEND_NODE_DATA\n",
         3},
        {"spring point line without two reals",
         "NONLINEAR_SPRING_DATA\n1\nS\n2\n0   0\n0.1\nEND_NONLINEAR_SPRING_DATA\n", 3},
        {"nodal constraint", "NODAL_CONSTRAINT_DATA\n*\t1\t 1  1  1  0  0  0 \t0\t0\t0\t0\t0\t0\nEND_X\n", 4},
        {"nodal load", "NODAL_LOAD_DATA\nEND_NODAL_CONSTRAINT_DATA\n", 5},
        {"nodal stiffness", "NODAL_STIFFNESS_DATA\nEND_X\n", 6},
        {"distributed load", "DISTRIBUTED_LOAD_DATA\nEND_X\n", 7},
        {"distributed stiffness", "DISTRIBUTED_STIFFNESS_DATA\nEND_X\n", 8},
        {"concentrated load", "CONCENTRATED_LOAD_DATA\n*\t 0  1  1 \t1\t0\t0\t0\t0\nEND_CONCENTRATED_LOAD_DATA\n", 9},
        {"edge load", "EDGE_LOAD_DATA\nEND_EDGE_STIFFNESS_DATA\n", 9},
        {"concentrated stiffness", "CONCENTRATED_STIFFNESS_DATA\nEND_X\n", 10},
        {"total concentrated stiffness", "TOTAL_CONCENTRATED_STIFFNESS_DATA\nEND_CONCENTRATED_STIFFNESS_DATA\n", 10},
        {"edge stiffness", "EDGE_STIFFNESS_DATA\nEND_X\n", 10},
        {"word that is no keyword", "title\nSlab\n", 10},
        {"node sets", "NODESET_DATA\n*\tALL\nEND_ALL\nEND_ELEMENTSET_DATA\n", 11},
        {"value that does not parse", "TIME_STEPPING_DATA\n1\t0\tone\t1\t50\t0.0001\nEND_TIME_STEPPING_DATA\n", 11},
        {"ring count beyond any pattern",
         "EQUIV_CONCENTRATED_LOAD_DATA\n2000000000\t1\t0\t0\t1\t0\t0\n"
         "1\t0\t0\t0\t0\t0\t0\t0\t0\nEND_EQUIV_CONCENTRATED_LOAD_DATA\n",
         11},
        {"list count beyond the file", "NODEPATH_DATA\n2000000000\nP\n1\n0  0\n2\n", 11},
        {"word longer than 255", nullptr, 11},
        {"element sets", "ELEMENTSET_DATA\n*\tALL\nEND_ALL\nEND_X\n", 12},
        {"edge sets", "EDGESET_DATA\n*\tE\n*\t1\t2\t1\nEND_E\nEND_X\n", 12},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        std::string text = "V4.1\n";
        text += c.body ? c.body : std::string(300, 'K') + "\n";
        // A failure that ends the read before END_DATA never reaches it.
        text += "END_DATA\n";
        WriteBytes(dir.File("f.slb"), text);
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(dir.File("f.slb"), true), c.code) << c.what;
        EXPECT_TRUE(ModelIsWhole(m)) << c.what;
    }
}

TEST(SlbFailure, EndOfFileWithoutEndData) {
    ScratchDir dir;
    // The title keyword needs the rest of its line and one more line.
    for (const char* text : {"V4.1\nTITLE\n", "V4.1\nTITLE"}) {
        WriteBytes(dir.File("t.slb"), text);
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(dir.File("t.slb"), true), 9) << text;
        EXPECT_TRUE(ModelIsWhole(m));
    }
    for (const char* text : {"", "V4.1\n", "V4.1\nTITLE\nSlab\n", "V4.1\nUNIT_DATA\n*\t0\nEND_UNIT_DATA\n"}) {
        WriteBytes(dir.File("e.slb"), text);
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(dir.File("e.slb"), true), 11) << text;
        EXPECT_TRUE(ModelIsWhole(m));
    }
}

// Reading into a model that holds data from an earlier read releases it.
TEST(SlbFailure, SecondReadReplacesTheFirst) {
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(FixturePath("full_mindlin_linear4.slb"), true), 0);
    ASSERT_EQ(m.ReadModelFile(FixturePath("unknown_element_type.slb"), true), 3);
    EXPECT_TRUE(ModelIsWhole(m));
    EXPECT_EQ(m.materialTable->GetCount(), 0);
    EXPECT_EQ(m.elementTable->GetCount(), 0);
    EXPECT_EQ(m.NonlinearSpringCount(), 0);
    EXPECT_EQ(m.GetEquivLoadPointCount(), 0);
    ASSERT_EQ(m.ReadModelFile(FixturePath("minimal_quad9.slb"), true), 0);
    EXPECT_EQ(m.elementTable->GetCount(), 1);
    EXPECT_EQ(m.NodePathCount(), 0);
}

}  // namespace

namespace {

// Every prefix of a full model file, and the file with any one character
// replaced, reads without harm and leaves a whole model.
TEST(SlbFailure, DamagedCopiesOfAFullFile) {
    const std::string full = slbtest::ReadBytes(FixturePath("full_mindlin_linear4.slb"));
    ASSERT_GT(full.size(), 1000u);
    ScratchDir dir;
    const std::string path = dir.File("d.slb");
    int failures = 0;
    for (std::size_t n = 0; n < full.size(); ++n) {
        WriteBytes(path, full.substr(0, n));
        ModelData m;
        const int code = m.ReadModelFile(path, true);
        EXPECT_TRUE(ModelIsWhole(m)) << "prefix " << n;
        failures += code != 0;
    }
    // Only the cut of the last line break still reads.
    EXPECT_EQ(failures, static_cast<int>(full.size()) - 1);
    for (std::size_t i = 0; i < full.size(); i += 5) {
        std::string damaged = full;
        damaged[i] = damaged[i] == '9' ? '#' : '9';
        WriteBytes(path, damaged);
        ModelData m;
        const int code = m.ReadModelFile(path, true);
        EXPECT_GE(code, 0) << "offset " << i;
        EXPECT_LE(code, 12) << "offset " << i;
        EXPECT_TRUE(ModelIsWhole(m)) << "offset " << i;
    }
}

}  // namespace

namespace {

// Numbers that are not finite are refused where they stand: the reason
// names the line, the field and the block.
TEST(SlbFailure, NotFiniteNumbersAreRefusedWithLineAndField) {
    struct Case {
        const char* body;  // after the version line
        int code;
        const char* reason;
    };
    const Case cases[] = {
        {"NODE_DATA\n*\t1\t0\tnan\t0\nEND_NODE_DATA\nEND_DATA\n", 1,
         "line 3, field 4 of block NODE_DATA: expected a finite number, found \"nan\""},
        {"NODE_DATA\n*\t1\t0\t0\t0\n*\t2\tinf\t0\t0\nEND_NODE_DATA\nEND_DATA\n", 1,
         "line 4, field 3 of block NODE_DATA: expected a finite number, found \"inf\""},
        {"TIME_STEPPING_DATA\n1\t0\t-Infinity\t1\t50\t0.0001\nEND_TIME_STEPPING_DATA\nEND_DATA\n", 11,
         "line 3, field 3 of block TIME_STEPPING_DATA: expected a finite number, found \"-Infinity\""},
        {"NONLINEAR_SPRING_DATA\n1\nS\n2\n0 0\n0.01 NaN\nEND_NONLINEAR_SPRING_DATA\nEND_DATA\n", 3,
         "line 7, field 2 of block NONLINEAR_SPRING_DATA: expected a finite number, found \"NaN\""},
        {"NODE_DATA\n*\tx\t0\t0\t0\nEND_NODE_DATA\nEND_DATA\n", 1,
         "line 3, field 2 of block NODE_DATA: expected an integer, found \"x\""},
        {"NODE_DATAX\nEND_DATA\n", 10, "line 2: \"NODE_DATAX\" is not a block of a model file"},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        WriteBytes(dir.File("m.slb"), std::string("V4.1\n") + c.body);
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(dir.File("m.slb"), true), c.code) << c.body;
        EXPECT_EQ(m.GetReadError(), c.reason) << c.body;
        EXPECT_TRUE(ModelIsWhole(m)) << c.body;
    }
}

// Only regular files are read: a folder or a pipe (which would block a
// reader) is refused at once, and the first word of a file is read to a
// bounded length.
TEST(SlbFailure, FoldersPipesAndEndlessFirstWordsAreRefused) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("d.slb"));
    ASSERT_EQ(::mkfifo(dir.File("p.slb").c_str(), 0600), 0);
    WriteBytes(dir.File("long.slb"), std::string(100000, 'V'));
    const struct {
        const char* name;
        const char* why;
    } cases[] = {{"d.slb", "is a folder"}, {"p.slb", "is not a regular file"}, {"none.slb", "No such file"}};
    for (const auto& c : cases) {
        ModelData m;
        EXPECT_EQ(m.ReadFirstLine(dir.File(c.name)), "") << c.name;
        EXPECT_EQ(m.ReadModelFile(dir.File(c.name), true), 11) << c.name;
        EXPECT_NE(m.GetReadError().find(c.why), std::string::npos) << m.GetReadError();
        EXPECT_NE(WhyNotReadableFile(dir.File(c.name)).find(c.why), std::string::npos) << c.name;
        EXPECT_TRUE(ModelIsWhole(m)) << c.name;
    }
    ModelData m;
    EXPECT_EQ(m.ReadFirstLine(dir.File("long.slb")), "");
    WriteBytes(dir.File("v.slb"), "  V4.1\nEND_DATA\n");
    EXPECT_EQ(m.ReadFirstLine(dir.File("v.slb")), "V4.1");
    EXPECT_EQ(WhyNotReadableFile(dir.File("v.slb")), "");
}

}  // namespace

namespace {

// A save killed between writing its temporary file and renaming it leaves
// the file behind; the next open or save of the model removes it, while a
// save still running in another process keeps its own.
TEST(SlbFailure, TemporaryFilesOfKilledSavesGoAtTheNextOpenOrSave) {
    ScratchDir dir;
    const std::string path = dir.File("m.slb");
    WriteBytes(path, "V4.1\nEND_DATA\n");
    const std::string dead = path + ".tmp999999999_0";
    const std::string alive = path + ".tmp" + std::to_string(::getppid()) + "_0";
    for (const bool save : {false, true}) {
        WriteBytes(dead, "V4.1\nNODE");
        WriteBytes(alive, "V4.1\nNODE");
        ModelData m;
        if (save) {
            ASSERT_EQ(m.ReadModelFile(path, true), 0);
            WriteBytes(dead, "V4.1\nNODE");
            EXPECT_EQ(m.WriteModelFile(path), 0);
        } else {
            EXPECT_EQ(m.ReadModelFile(path, true), 0);
        }
        EXPECT_FALSE(std::filesystem::exists(dead)) << save;
        EXPECT_TRUE(std::filesystem::exists(alive)) << save;
    }
}

}  // namespace
