// Model keyword file: read and write of whole models.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ModelData.h"
#include "model/ModelFile.h"
#include "test_slb_support.h"

using slbtest::ExpectModelsEqual;
using slbtest::FixturePath;
using slbtest::ModelIsWhole;
using slbtest::ReadBytes;
using slbtest::ScratchDir;
using slbtest::WriteBytes;

namespace {

const char* const kCorpus[] = {"full_mindlin_linear4.slb", "vlasov_quad8_circular.slb", "minimal_quad9.slb"};

class SlbCorpus : public ::testing::TestWithParam<const char*> {};

// Read then write gives the file's bytes; writing then reading gives back an
// equal model.
TEST_P(SlbCorpus, ReadWriteReproducesBytesAndModel) {
    const std::string source = FixturePath(GetParam());
    ModelData first;
    ASSERT_EQ(first.ReadModelFile(source, true), 0);
    EXPECT_TRUE(ModelIsWhole(first));

    ScratchDir dir;
    const std::string copy = dir.File("copy.slb");
    ASSERT_EQ(first.WriteModelFile(copy), 0);
    EXPECT_EQ(ReadBytes(copy), ReadBytes(source));

    ModelData second;
    ASSERT_EQ(second.ReadModelFile(copy, true), 0);
    ExpectModelsEqual(first, second);
}

// CR LF line ends and a last word without a line break read as the plain file.
TEST_P(SlbCorpus, LineEndVariantsReadAsTheOriginal) {
    const std::string original = ReadBytes(FixturePath(GetParam()));
    std::string crlf;
    for (char c : original) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::string unterminated = original;
    ASSERT_EQ(unterminated.back(), '\n');
    unterminated.pop_back();

    ScratchDir dir;
    for (const std::string& variant : {crlf, unterminated}) {
        WriteBytes(dir.File("in.slb"), variant);
        ModelData m;
        ASSERT_EQ(m.ReadModelFile(dir.File("in.slb"), true), 0);
        ASSERT_EQ(m.WriteModelFile(dir.File("out.slb")), 0);
        EXPECT_EQ(ReadBytes(dir.File("out.slb")), original);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SlbCorpus, ::testing::ValuesIn(kCorpus));

// Every block of the full fixture lands in the fields it belongs to.
TEST(SlbRead, FullFixtureFillsEveryField) {
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(FixturePath("full_mindlin_linear4.slb"), true), 0);

    EXPECT_EQ(m.halvorFlag, 1);
    EXPECT_EQ(m.title, "Mat foundation, block B-2 (rev. 3)");
    EXPECT_EQ(m.soilModel, 1);
    // Mindlin values go to soil values 1, 3 and 4; the others keep their defaults.
    EXPECT_EQ(m.soilValues, (std::array<double, 6>{25000, 1000, 0.35, 12.5, 10, 1}));
    EXPECT_EQ(m.unitCode, 2);
    EXPECT_EQ(m.initialIncrement, 0.5);
    EXPECT_EQ(m.initialTime, 0);
    EXPECT_EQ(m.finalTime, 2);
    EXPECT_EQ(m.minIncrement, 0.125);
    EXPECT_EQ(m.iterationsPerStep, 25);
    EXPECT_EQ(m.errorTolerance, 1e-05);
    EXPECT_EQ(m.redrawFlag, 1);
    EXPECT_FALSE(m.IsChanged()) << "reading a file is no edit";

    EXPECT_EQ(m.nodeCount, 9);
    EXPECT_EQ(m.maxY, 3);
    EXPECT_EQ(m.minZ, 0);
    EXPECT_EQ(m.NodeRowOfNumber(5), 4);
    EXPECT_EQ(m.elementTable->GetNodesPerElement(), 4);
    EXPECT_EQ(m.elementTable->GetIntegrationOrder1(), 2);
    EXPECT_EQ(m.elementTable->GetIntegrationOrder2(), 1);
    EXPECT_EQ(m.vlasovEdgeCount, 8);
    EXPECT_EQ(m.CountDistinctEdges(), 12);

    ASSERT_EQ(m.materialTable->GetCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(m.materialTable->GetMaterialType(i), i);
    EXPECT_EQ(m.materialTable->GetMaterialRowTextAt(1), "SLAB");
    EXPECT_EQ(m.materialTable->GetMaterialValues(1).x4, 0.43);
    EXPECT_EQ(m.materialTable->GetRibValues(2).torsionalReduction, 0.8);
    EXPECT_EQ(m.materialTable->GetBoxValues(3).n, 4);
    EXPECT_EQ(m.materialTable->GetBoxValues(3).h, 0.9);
    EXPECT_EQ(m.materialTable->GetMaterialDsz(4), 6e+06);
    EXPECT_EQ(m.materialTable->GetMaterialDyy(1), 312500);

    EXPECT_EQ(m.GetNodalActionTable(1)->GetCount(), 2);
    EXPECT_EQ(m.GetNodalActionTable(1)->GetKindCode(), 1);
    EXPECT_EQ(m.GetNodalActionTable(5)->GetKindCode(), 5);
    EXPECT_EQ(m.GetNodalActionTable(5)->GetTarget(0), "1,CORE");
    EXPECT_EQ(m.GetNodalActionTable(3)->GetFlag(0, 3), 1);
    EXPECT_EQ(m.GetNodalActionTable(3)->GetValue(0, 3), 2500);
    EXPECT_EQ(m.concentratedLoads->GetValue(0, 5), -5);
    EXPECT_EQ(m.totalConcentratedStiffness->GetKindCode(), 2);
    EXPECT_EQ(m.totalConcentratedStiffness->GetValue(0, 0), 1.2e6);
    EXPECT_EQ(m.edgeLoads->GetTarget(1), "RIM");
    EXPECT_EQ(m.edgeStiffness->GetSide(0), 4);
    EXPECT_EQ(m.edgeStiffness->GetKindCode(), 2);

    const SetTable* edgeSets = m.GetSetTable(3);
    const SetMemberList* rim = edgeSets->GetRowField0At(edgeSets->FindRowByName("RIM"));
    ASSERT_NE(rim, nullptr);
    ASSERT_EQ(rim->GetCount(), 3);
    EXPECT_EQ(rim->GetSide(1), 2);
    EXPECT_EQ(rim->GetText(2), "3,4");
    const SetTable* elementSets = m.GetSetTable(2);
    EXPECT_EQ(elementSets->GetRowField0At(elementSets->FindRowByName("SLAB"))->GetText(1), "CORE");
    EXPECT_EQ(m.cutLineTable->GetInterpolationOption(), 2);
    EXPECT_EQ(m.cutLineTable->GetSegmentDivisionCode(), 3);
    EXPECT_EQ(m.cutLineTable->GetEndZ(1), 3);

    // Node paths: mode 1 along the segment, mode 2 from the list, mode 3 none.
    ASSERT_EQ(m.NodePathCount(), 3);
    EXPECT_EQ(m.NodePathAt(0)->name, "Centre line y");
    EXPECT_EQ(m.NodePathAt(0)->nodes, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(m.NodePathAt(1)->nodes, (std::vector<int>{1, 5, 9}));
    EXPECT_TRUE(m.NodePathAt(2)->nodes.empty());
    EXPECT_EQ(m.NodePathAt(2)->nodeListText, "1:9:4,2");

    // The pattern is recomputed from the sixteen values: 4 + 8 points.
    EXPECT_EQ(m.twoRings, 1);
    EXPECT_EQ(m.GetEquivLoadPointCount(), 12);
    EXPECT_EQ(m.GetEquivLoadRing(4), 1);
    EXPECT_EQ(m.GetEquivLoadFy(11), 2.5);

    EXPECT_EQ(m.templateKind, 1);
    EXPECT_EQ(m.templateElementOption, 1);
    EXPECT_EQ(m.templateIntegration, 2);
    EXPECT_EQ(m.planDims1, (std::array<double, 3>{12, 8, 1.5}));
    EXPECT_EQ(m.templateAngle, 22.5);
    EXPECT_EQ(m.sectionDims, (std::array<double, 3>{0.5, 1.2, 0.8}));
    EXPECT_EQ(m.templateLoads, (std::array<double, 3>{3500, 450, 9000}));
    EXPECT_EQ(m.typicalElementSize, 0.75);

    ASSERT_EQ(m.NonlinearSpringCount(), 2);
    EXPECT_EQ(m.NonlinearSpringAt(0)->name, "Pile P1");
    EXPECT_EQ(m.NonlinearSpringAt(0)->forces, (std::vector<double>{0, 500, 800}));
    EXPECT_EQ(m.NonlinearSpringAt(1)->deformations, (std::vector<double>{-0.002, 0}));
    ASSERT_EQ(m.NonlinearActionCount(), 2);
    const NonlinearAction* piles = m.NonlinearActionAt(0);
    EXPECT_EQ(piles->groupName, "Piles A");
    EXPECT_EQ(piles->springNumber, 1);
    EXPECT_EQ(piles->setSelector, 0);
    EXPECT_EQ(piles->nodes, (std::vector<int>{1, 3}));
    EXPECT_EQ(piles->nodeY, (std::vector<double>{0, 3}));
    const NonlinearAction* gaps = m.NonlinearActionAt(1);
    EXPECT_EQ(gaps->nodeText, "CORNERS");
    EXPECT_EQ(gaps->springNumber, 2);
    EXPECT_EQ(gaps->setSelector, 1);
}

TEST(SlbRead, CircularFixtureReadsVlasovAndKindTwo) {
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(FixturePath("vlasov_quad8_circular.slb"), true), 0);
    EXPECT_EQ(m.halvorFlag, 0);
    EXPECT_EQ(m.soilModel, 2);
    // Vlasov values go to soil values 1, 2, 3, 5 and 6.
    EXPECT_EQ(m.soilValues, (std::array<double, 6>{30000, 28000, 0.3, 500, 6.5, 1.2}));
    EXPECT_EQ(m.elementTable->GetIntegrationOrder1(), 3);
    EXPECT_EQ(m.elementTable->GetIntegrationOrder2(), 3);
    EXPECT_EQ(m.templateKind, 2);
    EXPECT_EQ(m.planDims2, (std::array<double, 3>{18.5, 0, 2.25}));
    EXPECT_EQ(m.planDims1, (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(m.GetEquivLoadPointCount(), 6);
    EXPECT_EQ(m.vlasovEdgeCount, 4);
}

// Values written by the model: six significant digits, exponent form where
// shorter, and every line-based text back in its field.
TEST(SlbWrite, BuiltModelRoundTrips) {
    ModelData m;
    m.Reset();
    m.title = std::string(300, 'T') + " long title";
    m.soilModel = 2;
    m.soilValues = {1.5e+07, 0.1234567, 0.3, 9, 1e-05, 2};
    m.nodeTable->AddNodeRow(3, 0, 1.25, -2);
    m.nodeTable->AddNodeRow(4, 0.5, 1e-05, 123456789);
    m.nodeTable->CountRows();
    m.nodeTable->RebuildIndex();
    NodePath* p = m.AppendNodePath();
    p->name = "  path with blanks ";
    p->nodeListText = "";
    p->mode = 0;
    NonlinearSpring* s = m.AppendNonlinearSpring();
    s->name = "";
    NonlinearAction* a = m.AppendNonlinearAction();
    a->groupName = "G";
    a->nodeText = "3";
    a->setSelector = 7;

    ScratchDir dir;
    ASSERT_EQ(m.WriteModelFile(dir.File("m.slb")), 0);
    const std::string text = ReadBytes(dir.File("m.slb"));
    // Every digit entered is kept; values that "%g" holds exactly keep its form.
    EXPECT_NE(text.find("SOIL_STIFFNESS_DATA_VLASOV\n1.5e+07\t0.1234567\t0.3\t1e-05\t2\n"), std::string::npos);
    EXPECT_NE(text.find("*\t4\t0.5\t1e-05\t123456789\n"), std::string::npos);
    EXPECT_NE(text.find("MODEL_PROFILE_DATA\n0\nNONLINEAR_SPRING_DATA\n"), std::string::npos);
    EXPECT_EQ(text.find("END_MODEL_PROFILE_DATA"), std::string::npos);
    EXPECT_EQ(text.find("EQUIV_CONCENTRATED_LOAD_DATA"), std::string::npos);
    EXPECT_EQ(text.find("CUTLINE_DATA"), std::string::npos);

    ModelData back;
    ASSERT_EQ(back.ReadModelFile(dir.File("m.slb"), true), 0);
    EXPECT_EQ(back.title, m.title);
    EXPECT_EQ(back.soilValues[1], 0.1234567);
    EXPECT_EQ(back.soilValues[4], 1e-05);
    EXPECT_EQ(back.nodeTable->GetZ(1), 123456789);
    EXPECT_EQ(back.NodePathAt(0)->name, "  path with blanks ");
    EXPECT_EQ(back.NonlinearSpringAt(0)->name, "");
    EXPECT_TRUE(back.NonlinearSpringAt(0)->deformations.empty());
    EXPECT_EQ(back.NonlinearActionAt(0)->setSelector, 1);
}

TEST(SlbRead, HeaderBlocksAndKeywordRules) {
    struct Case {
        const char* name;
        const char* text;
        bool skip;
    };
    const Case cases[] = {
        {"early soil keyword", "V3.0\nSOIL_STIFFNESS_DATA\n100\t0.25\t7\nEND_SOIL_STIFFNESS_DATA\nEND_DATA\n", true},
        {"first word is a keyword", "TITLE\nT\nEND_DATA\n", false},
        {"words after TITLE dropped", "V4.1\nTITLE extra words\nT\nEND_DATA\n", true},
        {"second NODE_DATA wins",
         "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\nEND_NODE_DATA\n"
         "NODE_DATA\n*\t7\t0\t5\t5\nEND_NODE_DATA\nEND_DATA\n",
         true},
        {"nothing read after END_DATA", "V4.1\nEND_DATA\nGARBAGE\n", true},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteBytes(dir.File("h.slb"), c.text);
        ModelData m;
        m.soilModel = 2;
        ASSERT_EQ(m.ReadModelFile(dir.File("h.slb"), c.skip), 0) << c.name;
        EXPECT_TRUE(ModelIsWhole(m)) << c.name;
        const std::string name = c.name;
        if (name == "early soil keyword") {
            EXPECT_EQ(m.soilModel, 1);
            EXPECT_EQ(m.soilValues[0], 100);
            EXPECT_EQ(m.soilValues[2], 0.25);
            EXPECT_EQ(m.soilValues[3], 7);
        } else if (name == "second NODE_DATA wins") {
            ASSERT_EQ(m.nodeTable->GetCount(), 1);
            EXPECT_EQ(m.nodeTable->GetNodeId(0), 7);
            EXPECT_EQ(m.nodeCount, 1);
            EXPECT_EQ(m.maxY, 5);
        } else {
            // Without a soil block the model keeps the soil model it had.
            EXPECT_EQ(m.soilModel, 2) << c.name;
        }
        if (name == "first word is a keyword" || name == "words after TITLE dropped") {
            EXPECT_EQ(m.title, "T") << c.name;
        }
    }
}

TEST(SlbRead, FirstWordAndFileExists) {
    ScratchDir dir;
    WriteBytes(dir.File("v.slb"), "V4.1\r\nTITLE\n");
    WriteBytes(dir.File("empty.slb"), "");
    WriteBytes(dir.File("blank.slb"), "  \n\n");
    ModelData m;
    EXPECT_EQ(m.ReadFirstLine(dir.File("v.slb")), "V4.1");
    EXPECT_EQ(m.ReadFirstLine(dir.File("empty.slb")), "");
    EXPECT_EQ(m.ReadFirstLine(dir.File("blank.slb")), "");
    EXPECT_EQ(m.ReadFirstLine(dir.File("missing.slb")), "");
    EXPECT_EQ(FileExists(dir.File("v.slb")), 1);
    EXPECT_EQ(FileExists(dir.File("missing.slb")), 0);
}

// A save that cannot complete reports it and leaves the previous file as it was.
TEST(SlbWrite, FailedSaveKeepsThePreviousFile) {
    ScratchDir dir;
    const std::string path = dir.File("keep.slb");
    WriteBytes(path, "previous contents\n");

    ModelData m;
    m.Reset();
    const double zero[6] = {0, 0, 0, 0, 0, 0};
    const int flags[6] = {1, 0, 0, 0, 0, 0};
    // A target holding a blank would be read back as two words.
    m.nodalTables[1]->AddNodalActionRow("SET A", zero, flags);
    m.nodalTables[1]->CountRows();
    m.nodalTables[1]->RebuildIndex();
    EXPECT_NE(m.WriteModelFile(path), 0);
    EXPECT_EQ(ReadBytes(path), "previous contents\n");

    m.nodalTables[1]->SetTarget(0, "SETA");
    EXPECT_EQ(m.WriteModelFile(path), 0);
    EXPECT_NE(ReadBytes(path).find("*\tSETA\t 1  0  0  0  0  0 \t0"), std::string::npos);

    EXPECT_NE(m.WriteModelFile(dir.File("no/such/folder/x.slb")), 0);
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1);
}

// Saving over a write-protected file is refused with the file untouched; a
// save keeps the file's permission bits; a link keeps pointing at its target,
// which receives the model.
TEST(SlbWrite, SavesRespectProtectionPermissionsAndLinks) {
    namespace fs = std::filesystem;
    ScratchDir dir;
    ModelData m;
    m.Reset();
    m.title = "saved";

    const std::string locked = dir.File("locked.slb");
    WriteBytes(locked, "locked contents\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_NE(m.WriteModelFile(locked), 0);
    EXPECT_EQ(ReadBytes(locked), "locked contents\n");
    EXPECT_EQ(fs::status(locked).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const std::string shared = dir.File("shared.slb");
    WriteBytes(shared, "old\n");
    const fs::perms mode =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write;
    fs::permissions(shared, mode);
    ASSERT_EQ(m.WriteModelFile(shared), 0);
    EXPECT_EQ(fs::status(shared).permissions() & fs::perms::all, mode);
    EXPECT_NE(ReadBytes(shared).find("saved"), std::string::npos);

    fs::create_directories(dir.File("real"));
    const std::string target = dir.File("real/model.slb");
    WriteBytes(target, "old\n");
    fs::create_symlink("real/model.slb", dir.File("link.slb"));
    ASSERT_EQ(m.WriteModelFile(dir.File("link.slb")), 0);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.slb")));
    EXPECT_NE(ReadBytes(target).find("saved"), std::string::npos);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.File("real"))) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary file left beside the target
    fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace

namespace {

// After a read the nonlinear groups hold their existing nodes with their
// coordinates; numbers that name no node are left out.
TEST(SlbRead, NonlinearGroupsResolveToExistingNodes) {
    const char* text =
        "V4.1\n"
        "NODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0.5\n*\t3\t0\t2\t-1\nEND_NODE_DATA\n"
        "NODESET_DATA\n*\tALL\nEND_ALL\n*\tNS\n*\t2\t10\t1\nEND_NS\nEND_NODESET_DATA\n\n"
        "NONLINEAR_NODAL_STIFFNESS_DATA\n3\n"
        "By list\n1,3,99\n0\n1\nS\n0\n"
        "By set\nNS\n0\n1\nS\n1\n"
        "Missing set\nNOPE\n0\n1\nS\n1\n"
        "END_NONLINEAR_NODAL_STIFFNESS_DATA\nEND_DATA\n";
    ScratchDir dir;
    WriteBytes(dir.File("g.slb"), text);
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(dir.File("g.slb"), true), 0);
    ASSERT_EQ(m.NonlinearActionCount(), 3);
    const NonlinearAction* list = m.NonlinearActionAt(0);
    EXPECT_EQ(list->nodes, (std::vector<int>{1, 3}));
    EXPECT_EQ(list->nodeY, (std::vector<double>{0, 2}));
    EXPECT_EQ(list->nodeZ, (std::vector<double>{0, -1}));
    const NonlinearAction* set = m.NonlinearActionAt(1);
    EXPECT_EQ(set->nodes, (std::vector<int>{2, 3}));
    EXPECT_EQ(set->nodeZ, (std::vector<double>{0.5, -1}));
    EXPECT_TRUE(m.NonlinearActionAt(2)->nodes.empty());
    EXPECT_TRUE(m.NonlinearActionAt(2)->nodeY.empty());
}

// Node paths and nonlinear groups are resolved once the whole file is read,
// so blocks that come before the node block still find their nodes; a node set
// member listing several numbers gives each of them, and a range running far
// beyond the last node stops there.
TEST(SlbRead, ListsBeforeTheNodeBlockAndSetMembersOfSeveralNumbers) {
    const char* text =
        "V4.1\n"
        "NODEPATH_DATA\n2\nAlong\n\n1  3\n1\nListed\n2:9:3,1\n0  0\n2\nEND_NODEPATH_DATA\n\n"
        "NONLINEAR_NODAL_STIFFNESS_DATA\n3\n"
        "Listed set\nNS\n0\n1\nS\n1\n"
        "Long range\nLONG\n0\n1\nS\n1\n"
        "Everything\nALL\n0\n1\nS\n1\n"
        "END_NONLINEAR_NODAL_STIFFNESS_DATA\n"
        "NODESET_DATA\n*\tALL\nEND_ALL\n*\tNS\n*\t1,3,4\t0\t1\nEND_NS\n"
        "*\tLONG\n*\t3\t2000000000\t1\nEND_LONG\nEND_NODESET_DATA\n\n"
        "NODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t2\t0\n*\t4\t0\t5\t5\nEND_NODE_DATA\n"
        "END_DATA\n";
    ScratchDir dir;
    WriteBytes(dir.File("lists.slb"), text);
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(dir.File("lists.slb"), true), 0);
    ASSERT_EQ(m.NodePathCount(), 2);
    EXPECT_EQ(m.NodePathAt(0)->nodes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m.NodePathAt(1)->nodes, (std::vector<int>{2, 1}));
    ASSERT_EQ(m.NonlinearActionCount(), 3);
    EXPECT_EQ(m.NonlinearActionAt(0)->nodes, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(m.NonlinearActionAt(0)->nodeY, (std::vector<double>{0, 2, 5}));
    EXPECT_EQ(m.NonlinearActionAt(1)->nodes, (std::vector<int>{3, 4}));
    EXPECT_EQ(m.NonlinearActionAt(2)->nodes, (std::vector<int>{1, 2, 3, 4}));
}

// The sets of a model read from its file compare equal to those of a new model.
TEST(SlbRead, ReadSetsMatchANewModel) {
    ModelData fresh;
    fresh.Reset();
    ModelData read;
    ASSERT_EQ(read.ReadModelFile(FixturePath("minimal_quad9.slb"), true), 0);
    for (int k = 1; k <= 3; ++k) EXPECT_FALSE(read.GetSetTable(k)->CompareSetTable(*fresh.GetSetTable(k))) << k;
}

}  // namespace
