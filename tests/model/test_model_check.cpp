// The model check block of the message file: spring warnings, group errors,
// the error flag and what follows the block.

#include <gtest/gtest.h>

#include "test_solver_input_support.h"

using bridgetest::Fixture;
using bridgetest::ReadAll;
using bridgetest::ReadModelText;
using bridgetest::Scratch;

TEST(ModelCheck, FixturesGiveTheExactBlockAndErrorFlag)
{
    struct Case {
        const char* model;
        const char* expected;
        bool error;
    };
    const Case cases[] = {
        {"check/springs.slb", "check/springs.sms", false},  // warnings only
        {"check/groups.slb", "check/groups.sms", true},     // missing spring, no nodes, both at once
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(m.ReadModelFile(Fixture(c.model), true), 0) << c.model;
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        EXPECT_EQ(ReadAll(dir.File("m.sms")), ReadAll(Fixture(c.expected))) << c.model;
        EXPECT_EQ(error, c.error) << c.model;
    }
}

TEST(ModelCheck, CleanModelGivesTheFrameOnlyAndAnOldFileIsReplaced)
{
    ModelData m;
    ASSERT_EQ(ReadModelText(m, "V4.1\nEND_DATA\n"), 0);
    Scratch dir;
    bridgetest::WriteAll(dir.File("m.sms"), "old messages of an earlier run\n");
    bool error = false;
    m.CheckModel(dir.File("m.sms"), error);
    EXPECT_FALSE(error);
    EXPECT_EQ(ReadAll(dir.File("m.sms")), " ****** Check Model ******\n\n\n ****** End of Model Check ******\n\n");

    // The flag is never cleared by the check.
    error = true;
    m.CheckModel(dir.File("m.sms"), error);
    EXPECT_TRUE(error);

    // A message file that cannot be created is no error of the model.
    error = false;
    m.CheckModel(dir.File("no/such/folder/m.sms"), error);
    EXPECT_FALSE(error);
}

TEST(ModelCheck, NodalStiffnessUnderASoilModelIsAWarning)
{
    const std::string mesh = "NODAL_STIFFNESS_DATA\n*\tALL\t 1  0  0  0  0  0 \t100\t0\t0\t0\t0\t0\nEND_NODAL_STIFFNESS_DATA\n";
    const std::string mindlin = "SOIL_STIFFNESS_DATA_MINDLIN\n25000\t0.35\t12.5\nEND_SOIL_STIFFNESS_DATA_MINDLIN\n";
    struct Case {
        std::string blocks;
        bool warned;
    };
    const Case cases[] = {{mindlin + mesh, true}, {mesh, false}, {mindlin, false}};
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, "V4.1\n" + c.blocks + "END_DATA\n"), 0);
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        EXPECT_FALSE(error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_EQ(text.find("Nodal stiffnesses are ignored") != std::string::npos, c.warned) << text;
        EXPECT_EQ(text.find("   Warning:\n") != std::string::npos, c.warned);
    }
}
