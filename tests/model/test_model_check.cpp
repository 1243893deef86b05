// The model check block of the message file: spring warnings, group errors,
// the error flag and what follows the block.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <span>
#include <vector>

#include "test_solver_input_support.h"

using bridgetest::Fixture;
using bridgetest::ReadAll;
using bridgetest::ReadModelText;
using bridgetest::Scratch;

TEST(ModelCheck, FixturesGiveTheExactBlockAndErrorFlag) {
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

TEST(ModelCheck, CleanModelGivesTheFrameOnlyAndAnOldFileIsReplaced) {
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

TEST(ModelCheck, NodalStiffnessUnderASoilModelIsAWarning) {
    const std::string mesh =
        "NODAL_STIFFNESS_DATA\n*\tALL\t 1  0  0  0  0  0 \t100\t0\t0\t0\t0\t0\nEND_NODAL_STIFFNESS_DATA\n";
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

// Loads in the plane of the plate need something that holds the plate in its
// plane; otherwise the check refuses the run, naming the rigid motions in the
// plane that nothing holds (a support or spring at one place leaves the turn
// about it free).
TEST(ModelCheck, InPlaneLoadsWithoutInPlaneSupportAreErrors) {
    const double zero[6] = {}, vertical[6] = {10, 0, 0, 0, 0, 0}, inY[6] = {0, 5, 0, 0, 0, 0},
                 inZ[6] = {0, 0, 5, 0, 0, 0};
    // A value acts where its check box is set.
    const int fixX[6] = {1, 0, 0, 0, 0, 0}, fixY[6] = {0, 1, 0, 0, 0, 0}, fixZ[6] = {0, 0, 1, 0, 0, 0};
    const double edgeY[3] = {1, 1, 1};
    using Setup = std::function<void(ModelData&)>;
    auto nodal = [](int table, const double* values, const int* flags) {
        return [=](ModelData& m) {
            m.GetNodalActionTable(table)->AddNodalActionRow("1", std::span(values, 6), std::span(flags, 6));
        };
    };
    struct Case {
        const char* name;
        std::vector<Setup> setup;
        const char* free;  // "" when held
    };
    const char* const all = "slide in y, slide in z and turn in its plane (about x)";
    const Case cases[] = {
        {"vertical load only", {nodal(2, vertical, fixX)}, ""},
        {"nodal load in y", {nodal(2, inY, fixY)}, all},
        {"distributed load in z", {nodal(4, inZ, fixZ)}, all},
        {"concentrated load in y",
         {[&](ModelData& m) {
             m.GetConcentratedActionTable(1)->AddConcentratedActionRow(std::span(inY, 6), std::span(zero, 3));
         }},
         all},
        {"edge load in y",
         {[&](ModelData& m) { m.GetEdgeActionTable(1)->AddEdgeActionRow("1", 1, 2, std::span(edgeY, 3)); }},
         all},
        {"load in y, constraint in x only", {nodal(2, inY, fixY), nodal(1, zero, fixX)}, all},
        {"load in y, constraint in z",
         {nodal(2, inY, fixY), nodal(1, zero, fixZ)},
         "slide in y and turn in its plane (about x)"},
        {"load in y, nodal stiffness in y",
         {nodal(2, inY, fixY), nodal(3, inY, fixY)},
         "slide in z and turn in its plane (about x)"},
        {"load in y, edge stiffness in y",
         {nodal(2, inY, fixY),
          [&](ModelData& m) { m.GetEdgeActionTable(2)->AddEdgeActionRow("1", 1, 2, std::span(edgeY, 3)); }},
         "slide in z and turn in its plane (about x)"},
        {"load in y, nodal stiffness in y under a soil model",
         {nodal(2, inY, fixY), nodal(3, inY, fixY), [](ModelData& m) { m.SetSoilModel(2); }},
         all},
    };
    for (const Case& c : cases) {
        ModelData m;
        // The rows name node and element 1: one plate.
        ASSERT_EQ(ReadModelText(m,
                                "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t-1\n*\t4\t0\t0\t-1\n"
                                "END_NODE_DATA\nELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\n"
                                "END_ELEMENT_DATA\nEND_DATA\n"),
                  0);
        for (const Setup& s : c.setup) s(m);
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_EQ(error, *c.free != '\0') << c.name << "\n" << text;
        if (*c.free) {
            EXPECT_NE(text.find(std::string("    Error:\n      Loads act in the plane of the slab (y, z or about x), "
                                            "but nothing holds its in-plane motion: the slab can ") +
                                c.free + ". Please define nodal constraints in y and z"),
                      std::string::npos)
                << c.name << "\n"
                << text;
        }
    }
}

namespace {

// One element on the nodes given as (y, z) pairs (x = 0 unless given),
// numbered 1.. in order; `corners` the element's node numbers.
std::string OneElementModel(const std::vector<std::array<double, 3>>& nodes, const std::vector<int>& corners,
                            const char* type = "LINEAR4", const char* stepping = "1\t0\t1\t1\t50\t0.0001") {
    std::ostringstream s;
    s << "V4.1\nNODE_DATA\n";
    for (std::size_t i = 0; i < nodes.size(); ++i)
        s << "*\t" << i + 1 << '\t' << nodes[i][0] << '\t' << nodes[i][1] << '\t' << nodes[i][2] << '\n';
    s << "END_NODE_DATA\nELEMENT_DATA\n\t" << type << "\tNORMAL_INTEGRATION\n*\t1\t1";
    for (int n : corners) s << '\t' << n;
    s << "\nEND_ELEMENT_DATA\nTIME_STEPPING_DATA\n" << stepping << "\nEND_TIME_STEPPING_DATA\nEND_DATA\n";
    return s.str();
}

}  // namespace

// Elements the solver cannot integrate, coordinates beyond the range and a
// time stepping beyond the increment limit are errors with the element,
// node or count named; good shapes pass. The plate's frame is (y, -z): a
// square with y to the right and z down runs counter-clockwise.
TEST(ModelCheck, DegenerateElementsFarNodesAndLongSteppingAreErrors) {
    const std::vector<std::array<double, 3>> square = {{0, 0, 0}, {0, 1, 0}, {0, 1, -1}, {0, 0, -1}};
    const std::vector<std::array<double, 3>> line3 = {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 1, -1}};
    // Eight nodes of a unit square, mid-side node 6 (side 2-3) pulled across
    // the element: the corners are convex, the Jacobian is not.
    std::vector<std::array<double, 3>> pulled = {{0, 0, 0}, {0, 2, 0},   {0, 2, -2}, {0, 0, -2},
                                                 {0, 1, 0}, {0, -1, -1}, {0, 1, -2}, {0, 0, -1}};
    struct Case {
        const char* name;
        std::string model;
        const char* expected;  // "" for no error
    };
    const Case cases[] = {
        {"square", OneElementModel(square, {1, 2, 3, 4}), ""},
        {"three corners on a line", OneElementModel(line3, {1, 2, 3, 4}),
         "Element 1: corner angle of 180 degrees or more at node 2"},
        {"three on a line, other start", OneElementModel(line3, {2, 3, 4, 1}),
         "Element 1: corner angle of 180 degrees or more at node 2"},
        {"clockwise", OneElementModel(square, {4, 3, 2, 1}), "Element 1: zero or negative area"},
        // Mid-side nodes take a straight corner; the integration points
        // see a positive Jacobian.
        {"8 nodes, three corners on a line",
         OneElementModel(
             {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 1, -1}, {0, 0.5, 0}, {0, 1.5, 0}, {0, 1.5, -0.5}, {0, 0.5, -0.5}},
             {1, 2, 3, 4, 5, 6, 7, 8}, "QUAD8"),
         ""},
        {"mid-side node across", OneElementModel(pulled, {1, 2, 3, 4, 5, 6, 7, 8}, "QUAD8"),
         "Element 1: Jacobian not positive at an integration point"},
        {"out-of-plane 1e8", OneElementModel({{1e8, 0, 0}, {0, 1, 0}, {0, 1, -1}, {0, 0, -1}}, {1, 2, 3, 4}),
         "Node 1: coordinate 1.000e+08 beyond the range -1e+07 to 1e+07"},
        {"in-plane 2^31", OneElementModel({{0, 0, 0}, {0, 2147483648.0, 0}, {0, 1, -1}, {0, 0, -1}}, {1, 2, 3, 4}),
         "Node 2: coordinate 2.147e+09 beyond the range"},
        {"10000 increments", OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "1\t0\t10000\t1\t50\t0.0001"), ""},
        {"1e9 increments", OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "1\t0\t1e9\t1\t50\t0.0001"),
         "The time stepping takes 1000000000 increments; at most 10000 are allowed."},
        {"increment above the final time", OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "2\t0\t1\t1\t50\t0.0001"),
         "The time stepping makes no step: the initial analysis time 0 plus the initial time increment 2 lies "
         "beyond the final analysis time 1."},
        {"final time below the increment",
         OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "1\t0\t0.001\t1\t50\t0.0001"),
         "The time stepping makes no step: the initial analysis time 0 plus the initial time increment 1 lies "
         "beyond the final analysis time 0.001."},
        {"start after the end", OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "1\t5\t1\t1\t50\t0.0001"),
         "The time stepping makes no step: the initial analysis time 5 plus the initial time increment 1 lies "
         "beyond the final analysis time 1."},
        {"first step at the final time within round-off",
         OneElementModel(square, {1, 2, 3, 4}, "LINEAR4", "0.2\t0.1\t0.3\t0.2\t50\t0.0001"), ""},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, c.model), 0) << c.name;
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_EQ(error, *c.expected != '\0') << c.name << "\n" << text;
        if (*c.expected) {
            EXPECT_NE(text.find(c.expected), std::string::npos) << c.name << "\n" << text;
        }
    }
}

namespace {

// One plate of four nodes with a node set "EDGE", an element set "HALF" and
// an edge set "RIM", and the blocks under test.
std::string TargetModel(const std::string& blocks) {
    return "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t-1\n*\t4\t0\t0\t-1\nEND_NODE_DATA\n"
           "MATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
           "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\nEND_ELEMENT_DATA\n" +
           blocks +
           "NODESET_DATA\n*\tALL\nEND_ALL\n*\tEDGE\n*\t1,2\t0\t1\nEND_EDGE\nEND_NODESET_DATA\n"
           "ELEMENTSET_DATA\n*\tALL\nEND_ALL\n*\tHALF\n*\t1\t0\t1\nEND_HALF\n*\tOUTER\n*\tHALF\t0\t1\nEND_OUTER\n"
           "END_ELEMENTSET_DATA\n"
           "EDGESET_DATA\n*\tALL\nEND_ALL\n*\tRIM\n*\t1\t0\t1\t1\nEND_RIM\nEND_EDGESET_DATA\nEND_DATA\n";
}

std::string NodalBlock(const std::string& keyword, const std::string& target) {
    return keyword + "\n*\tALL\t 1  0  0  0  0  0 \t0\t0\t0\t0\t0\t0\n*\t" + target +
           "\t 1  0  0  0  0  0 \t50\t0\t0\t0\t0\t0\nEND_" + keyword + "\n";
}

}  // namespace

// A target that names no set, node or element is an error with its table and
// row; one that names what exists passes.
TEST(ModelCheck, TargetsThatNameNothingAreErrorsWithTableAndRow) {
    struct Case {
        std::string blocks;
        const char* line;  // the error line, or null when the model passes
    };
    const Case cases[] = {
        {NodalBlock("DISTRIBUTED_LOAD_DATA", "HALF2"),
         "Distributed Loads (DISTRIBUTED_LOAD_DATA) row 2: no element set named \"HALF2\""},
        {NodalBlock("NODAL_CONSTRAINT_DATA", "1,EDGES"),
         "Nodal Constraints (NODAL_CONSTRAINT_DATA) row 2: no node set named \"EDGES\""},
        {NodalBlock("NODAL_LOAD_DATA", "3,9"), "Nodal Loads (NODAL_LOAD_DATA) row 2: no node 9 in the model"},
        {NodalBlock("DISTRIBUTED_STIFFNESS_DATA", "EDGE"),
         "Distributed Stiffness (DISTRIBUTED_STIFFNESS_DATA) row 2: no element set named \"EDGE\""},
        {"EDGE_LOAD_DATA\n*\tRIM\t1\t1\t\t-2\t-2\t0\n*\tHALF\t2\t1\t\t-1\t-1\t0\nEND_EDGE_LOAD_DATA\n",
         "Edge Loads (EDGE_LOAD_DATA) row 2: no edge set named \"HALF\""},
        {"NONLINEAR_SPRING_DATA\n1\nS\n2\n0   0\n0.01   100\nEND_NONLINEAR_SPRING_DATA\n"
         "NONLINEAR_NODAL_STIFFNESS_DATA\n1\nG1\n1,2,999\n0\n0\nS\n0\nEND_NONLINEAR_NODAL_STIFFNESS_DATA\n",
         "Nonlinear Nodal Stiffness (NONLINEAR_NODAL_STIFFNESS_DATA) row 1: no node 999 in the model"},
        {NodalBlock("NODAL_LOAD_DATA", "EDGE,3") + NodalBlock("DISTRIBUTED_LOAD_DATA", "OUTER") +
             "EDGE_LOAD_DATA\n*\t1\t1\t1\t\t-2\t-2\t0\nEND_EDGE_LOAD_DATA\n",
         nullptr},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, TargetModel(c.blocks)), 0) << c.blocks;
        m.ResolveNonlinearActions();
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_EQ(error, c.line != nullptr) << text;
        if (c.line) {
            EXPECT_NE(text.find(std::string("    Error:\n      ") + c.line + "\n"), std::string::npos) << text;
        }
    }
}

// Who names a set, and a rename carried into every row and set naming it.
TEST(ModelCheck, SetUsersAndRenameFollowEveryTarget) {
    ModelData m;
    ASSERT_EQ(ReadModelText(m, TargetModel(NodalBlock("DISTRIBUTED_LOAD_DATA", "1,HALF") +
                                           NodalBlock("NODAL_LOAD_DATA", "EDGE"))),
              0);
    EXPECT_EQ(m.SetUsers(2, "HALF"), (std::vector<std::string>{"Distributed Loads row 2", "element set OUTER"}));
    EXPECT_EQ(m.SetUsers(1, "EDGE"), (std::vector<std::string>{"Nodal Loads row 2"}));
    EXPECT_TRUE(m.SetUsers(1, "HALF").empty());
    m.ClearChanged();
    EXPECT_EQ(m.RenameSetInTargets(2, "HALF", "WEST"),
              (std::vector<std::string>{"Distributed Loads", "element set OUTER"}));
    EXPECT_TRUE(m.IsChanged());
    EXPECT_EQ(m.GetNodalActionTable(4)->GetHead()->next->target, "1,WEST");
    EXPECT_EQ(m.GetNodalActionTable(2)->GetHead()->next->target, "EDGE");
    EXPECT_TRUE(m.SetUsers(2, "HALF").empty());
}

namespace {

// The model of TargetModel with one text replaced.
std::string TargetModelWith(const std::string& blocks, const std::string& from, const std::string& to) {
    std::string text = TargetModel(blocks);
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

// Items are taken whole: a number item with more than digits is no number
// (read by its leading digits it named another node), a set name with a
// separator would be read as several sets, and a set member naming no node
// or element would drop its load. Each is an error naming table or set and
// row, and the solver input writer refuses the model with the same line.
TEST(ModelCheck, ItemsAreTakenWholeAndSetMembersNameWhatExists) {
    struct Case {
        const char* name;
        std::string model;
        const char* line;
    };
    const std::string half = "*\tHALF\n*\t1\t0\t1\n";
    const std::string edge = "*\tEDGE\n*\t1,2\t0\t1\nEND_EDGE\n";
    const Case cases[] = {
        {"letter O", TargetModel(NodalBlock("NODAL_LOAD_DATA", "3O")),
         "Nodal Loads (NODAL_LOAD_DATA) row 2: \"3O\" is not a node number: a number item is digits only"},
        {"colon range", TargetModel(NodalBlock("NODAL_LOAD_DATA", "3:4")),
         "Nodal Loads (NODAL_LOAD_DATA) row 2: \"3:4\" is not a node number"},
        {"semicolon", TargetModel(NodalBlock("NODAL_CONSTRAINT_DATA", "2,3;4")),
         "Nodal Constraints (NODAL_CONSTRAINT_DATA) row 2: \"3;4\" is not a node number"},
        {"dash", TargetModel(NodalBlock("DISTRIBUTED_LOAD_DATA", "1-1")),
         "Distributed Loads (DISTRIBUTED_LOAD_DATA) row 2: \"1-1\" is not an element number"},
        {"decimal", TargetModel("EDGE_LOAD_DATA\n*\t1.9\t1\t1\t\t-2\t-2\t0\nEND_EDGE_LOAD_DATA\n"),
         "Edge Loads (EDGE_LOAD_DATA) row 1: \"1.9\" is not an element number"},
        {"member range typed", TargetModelWith("", half, "*\tHALF\n*\t1:1\t0\t1\n"),
         "Element set HALF row 1: \"1:1\" is not an element number"},
        {"set name with a comma", TargetModelWith("", edge, "*\tP,Q\n*\t1\t1\t1\nEND_P,Q\n"),
         "Node set row 2 (NODESET_DATA): set name \"P,Q\" must not contain \",\", \":\" or \";\""},
        {"set name with a colon", TargetModelWith("", half, "*\tH:1\n*\t1\t0\t1\n"),
         "Element set row 2 (ELEMENTSET_DATA): set name \"H:1\" must not contain"},
        {"member naming no element",
         TargetModelWith(NodalBlock("DISTRIBUTED_LOAD_DATA", "HALF"), half, "*\tHALF\n*\t5\t5\t1\n"),
         "Element set HALF row 1: no element 5 in the model"},
        {"range past the last node", TargetModelWith("", edge, "*\tEDGE\n*\t1\t6\t1\nEND_EDGE\n"),
         "Node set EDGE row 1: no nodes 5 to 6 in the model"},
        {"list item naming no node", TargetModelWith("", edge, "*\tEDGE\n*\t1,7,2\t0\t0\nEND_EDGE\n"),
         "Node set EDGE row 1: no node 7 in the model"},
        {"edge member", TargetModelWith("", "*\tRIM\n*\t1\t0\t1\t1\n", "*\tRIM\n*\t2\t0\t1\t1\n"),
         "Edge set RIM row 1: no element 2 in the model"},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, c.model), 0) << c.name;
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_TRUE(error) << c.name << "\n" << text;
        EXPECT_NE(text.find(std::string("    Error:\n      ") + c.line), std::string::npos) << c.name << "\n" << text;
        std::string refusal;
        EXPECT_EQ(m.WriteSolverInput(dir.File("m.sin"), &refusal), 1) << c.name;
        EXPECT_EQ(refusal.rfind(c.line, 0), 0u) << c.name << ": " << refusal;
        EXPECT_FALSE(std::filesystem::exists(dir.File("m.sin"))) << c.name;
    }
}

// Where a node or element is named by its number: targets and the sets
// whose members reach it (a range too).
TEST(ModelCheck, NumberUsersAreTheRowsAndSetsNamingIt) {
    ModelData m;
    ASSERT_EQ(ReadModelText(
                  m, TargetModelWith(NodalBlock("DISTRIBUTED_LOAD_DATA", "1") + NodalBlock("NODAL_LOAD_DATA", "3,EDGE"),
                                     "*\tEDGE\n*\t1,2\t0\t1\n", "*\tEDGE\n*\t1\t3\t2\n")),
              0);
    EXPECT_EQ(m.NumberUsers(2, 1),
              (std::vector<std::string>{"Distributed Loads row 2", "Element set HALF", "Edge set RIM"}));
    EXPECT_EQ(m.NumberUsers(1, 3), (std::vector<std::string>{"Nodal Loads row 2", "Node set EDGE"}));
    EXPECT_EQ(m.NumberUsers(1, 1), (std::vector<std::string>{"Node set EDGE"}));
    EXPECT_TRUE(m.NumberUsers(1, 2).empty());
}

// Loads in the plane of the slab (y, z, moments about x) need constraints or
// springs that hold every rigid motion in the plane: the check names the
// motions left free and refuses the run; loads across the slab alone, or a
// slab held in its plane, pass.
TEST(ModelCheck, InPlaneLoadsOnASlabFreeInItsPlaneAreErrors) {
    const auto nodal = [](const std::string& keyword, const std::string& target, const std::string& flags,
                          const std::string& values) {
        return keyword + "\n*\t" + target + "\t " + flags + " \t" + values + "\nEND_" + keyword + "\n";
    };
    const std::string loadY = nodal("NODAL_LOAD_DATA", "3", "0  1  0  0  0  0", "0\t100\t0\t0\t0\t0");
    const std::string loadX = nodal("NODAL_LOAD_DATA", "3", "1  0  0  0  0  0", "100\t0\t0\t0\t0\t0");
    const std::string loadZ = nodal("NODAL_LOAD_DATA", "3", "0  0  1  0  0  0", "0\t0\t100\t0\t0\t0");
    const std::string torque = nodal("NODAL_LOAD_DATA", "3", "0  0  0  1  0  0", "0\t0\t0\t100\t0\t0");
    const std::string holdYZ = "0  1  1  0  0  0";
    const std::string zeros = "0\t0\t0\t0\t0\t0";
    struct Case {
        const char* name;
        std::string blocks;
        const char* free;  // "" for no error
    };
    const Case cases[] = {
        {"load across the slab only", loadX, ""},
        {"y and z held at one node", loadY + nodal("NODAL_CONSTRAINT_DATA", "1", holdYZ, zeros),
         "turn in its plane (about x)"},
        {"y and z held at the nodes of a set", loadY + nodal("NODAL_CONSTRAINT_DATA", "EDGE", holdYZ, zeros), ""},
        {"z held at two nodes apart in y", loadZ + nodal("NODAL_CONSTRAINT_DATA", "1,2", "0  0  1  0  0  0", zeros),
         "slide in y"},
        {"moment about x, y held at node 1", torque + nodal("NODAL_CONSTRAINT_DATA", "1", "0  1  0  0  0  0", zeros),
         "slide in z and turn in its plane (about x)"},
        {"in-plane springs on every element",
         loadY + nodal("DISTRIBUTED_STIFFNESS_DATA", "ALL", "0  1  1  0  0  0", "0\t100\t100\t0\t0\t0"), ""},
        {"in-plane springs on every edge",
         loadY + "EDGE_STIFFNESS_DATA\n*\tALL\t1\t2\t\t100\t100\t0\n"
                 "*\tALL\t1\t3\t\t100\t100\t0\nEND_EDGE_STIFFNESS_DATA\n",
         ""},
        {"concentrated load in z, concentrated springs in y and z at two points",
         "CONCENTRATED_LOAD_DATA\n*\t 0  0.5  -0.5 \t0\t0\t10\t0\t0\t0\nEND_CONCENTRATED_LOAD_DATA\n"
         "CONCENTRATED_STIFFNESS_DATA\n*\t 0  0  0 \t0\t100\t100\t0\t0\t0\n*\t 0  1  -1 \t0\t100\t100\t0\t0\t0\n"
         "END_CONCENTRATED_STIFFNESS_DATA\n",
         ""},
    };
    for (const Case& c : cases) {
        ModelData m;
        ASSERT_EQ(ReadModelText(m, TargetModel(c.blocks)), 0) << c.name;
        Scratch dir;
        bool error = false;
        m.CheckModel(dir.File("m.sms"), error);
        const std::string text = ReadAll(dir.File("m.sms"));
        EXPECT_EQ(error, *c.free != '\0') << c.name << "\n" << text;
        if (*c.free) {
            EXPECT_NE(text.find(std::string("nothing holds its in-plane motion: the slab can ") + c.free +
                                ". Please define nodal constraints in y and z"),
                      std::string::npos)
                << c.name << "\n"
                << text;
        }
    }
}
