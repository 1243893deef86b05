// The command-line runner: example models analysed end to end through the
// solver library, and the ways a run stops.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sys/wait.h>
#include <unistd.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>

#include "app/run/AnalysisRun.h"
#include "app/run/RunLock.h"
#include "test_solver_input_support.h"

using bridgetest::Lines;
using bridgetest::ReadAll;
using bridgetest::Scratch;
using bridgetest::WriteAll;

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Runs `program` on `model` with the scratch folder as current directory.
RunResult RunProgram(const std::string& program, const std::string& folder, const std::string& model) {
    RunResult run;
    const std::string command = "cd '" + folder + "' && '" + program + "' " + model + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs `program model` in `folder` as RunProgram does, after `prepare` has
// set up the child process (its limits, signals and environment).
RunResult RunPrepared(const std::string& program, const std::string& folder, const std::string& model,
                      const std::function<void()>& prepare) {
    RunResult run;
    int out[2];
    if (::pipe(out) != 0) return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        if (::chdir(folder.c_str()) != 0 || ::dup2(out[1], 1) < 0 || ::dup2(out[1], 2) < 0) ::_exit(127);
        ::close(out[0]);
        ::execl(program.c_str(), program.c_str(), model.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Runner() { return std::string(BRENNIX_BIN_DIR) + "/brennix-run"; }

std::string Example(const std::string& name) {
    return (fs::path(BRENNIX_TEST_DATA).parent_path().parent_path() / "examples" / name).string();
}

void CopyExample(const Scratch& dir, const std::string& name) {
    fs::copy_file(Example(name), dir.File(name), fs::copy_options::overwrite_existing);
}

}  // namespace

TEST(Runner, EveryExampleModelCompletes) {
    for (const char* name : {"winkler-mat.slb", "slab-point-loads.slb", "mat-piles.slb"}) {
        Scratch dir;
        CopyExample(dir, name);
        const RunResult run = RunProgram(Runner(), dir.Path(), name);
        EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.output;
        EXPECT_NE(run.output.find("Status: 0"), std::string::npos) << run.output;
        const std::string base = dir.File(fs::path(name).stem().string());
        for (const char* ext : {".sin", ".sou", ".sms", ".sds"})
            EXPECT_TRUE(fs::exists(base + ext)) << name << " " << ext;
        EXPECT_FALSE(fs::exists(dir.File("torve.dat"))) << name;  // the file list is removed
        // The message file starts with the model check, the solver appends.
        const std::string sms = ReadAll(base + ".sms");
        EXPECT_EQ(sms.rfind(" ****** Check Model ******\n", 0), 0u) << sms;
        EXPECT_NE(sms.find("Run Analysis"), std::string::npos) << sms;
    }
}

TEST(Runner, UniformLoadOnWinklerSpringsDeflectsEveryNodeByLoadOverStiffness) {
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    ModelData m;
    ASSERT_EQ(m.ReadModelFile(dir.File("winkler-mat.slb"), true), 0);
    ASSERT_EQ(m.ReadResultsFile(dir.File("winkler-mat.sds")), 0);
    ASSERT_EQ(m.GetStepCount(), 1);
    const double q = 50.0, k = 10000.0;
    ASSERT_EQ(m.GetNodeCount(), 133);
    for (int r = 0; r < m.GetNodeCount(); ++r) {
        EXPECT_NEAR(m.GetResultValue(0, r, 1), q / k, 1e-6 * q / k) << "node " << m.nodeTable->GetNodeId(r);
        EXPECT_NEAR(m.GetResultValue(4, r, 1), 0.0, 1e-9);
    }
    // The summary names the deflection column with its extremes.
    EXPECT_NE(run.output.find("Disp. X"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Nodes: 133"), std::string::npos) << run.output;
}

// "-h" and "--help" are asked for the usage, not model names.
TEST(Runner, HelpOptionsPrintTheUsage) {
    Scratch dir;
    for (const char* option : {"-h", "--help"}) {
        SCOPED_TRACE(option);
        const RunResult run = RunProgram(Runner(), dir.Path(), option);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output.rfind("usage: brennix-run MODEL.slb\n", 0), 0u) << run.output;
        EXPECT_EQ(run.output.find("Status: failed"), std::string::npos);
    }
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 0);
}

TEST(Runner, ModelErrorsStopTheRunBeforeTheSolverInput) {
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    std::string text = ReadAll(dir.File("winkler-mat.slb"));
    text.replace(text.rfind("END_DATA"), 8,
                 "NONLINEAR_NODAL_STIFFNESS_DATA\n1\nPiles\n1,2\n0\n0\nNoSuchSpring\n0\n"
                 "END_NONLINEAR_NODAL_STIFFNESS_DATA\nEND_DATA");
    WriteAll(dir.File("winkler-mat.slb"), text);
    WriteAll(dir.File("winkler-mat.sds"), "old results\n");
    const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("Model has errors. Please see message file for details"), std::string::npos)
        << run.output;
    // Earlier results: the question is asked (and answered Yes) first.
    EXPECT_NE(run.output.find("Analysis will delete previous results  Do you want to continue? Yes"), std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sds")));  // old results deleted before the check
    EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sin")));
    EXPECT_NE(ReadAll(dir.File("winkler-mat.sms")).find("Can not find data of nonlinear spring \"NoSuchSpring\""),
              std::string::npos);
}

// A load on a set the model does not hold would load nothing: the run stops
// and the message file names the table and row.
TEST(Runner, UnknownSetTargetStopsTheRun) {
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    std::string text = ReadAll(dir.File("winkler-mat.slb"));
    const std::string load = "DISTRIBUTED_LOAD_DATA\n*\tALL\t";
    ASSERT_NE(text.find(load), std::string::npos);
    text.replace(text.find(load), load.size(), "DISTRIBUTED_LOAD_DATA\n*\tHALF2\t");
    WriteAll(dir.File("winkler-mat.slb"), text);
    const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Model has errors"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sin")));
    EXPECT_NE(ReadAll(dir.File("winkler-mat.sms"))
                  .find("Distributed Loads (DISTRIBUTED_LOAD_DATA) row 1: no element set named \"HALF2\""),
              std::string::npos);
}

// Model files edited by hand whose targets or sets a run cannot take: a set
// member naming no element (the load on the set would be lost), a target
// read by its leading digits, a set name read as two. The run stops before
// the solver input and the message file names the table or set and row.
TEST(Runner, TargetsAndSetsThatARunCannotTakeStopTheRun) {
    struct Case {
        const char* name;
        const char* load;  // the distributed load's target
        const char* sets;  // element and node sets added to the file
        const char* line;
    };
    const Case cases[] = {
        {"missing member", "E5", "ELEMENTSET_DATA\n*\tE5\n*\t105\t105\t1\nEND_E5\n",
         "Element set E5 row 1: no element 105 in the model"},
        {"letter O", "3O", "", "Distributed Loads (DISTRIBUTED_LOAD_DATA) row 1: \"3O\" is not an element number"},
        {"colon range", "30:34", "",
         "Distributed Loads (DISTRIBUTED_LOAD_DATA) row 1: \"30:34\" is not an element number"},
        {"comma in a set name", "ALL", "NODESET_DATA\n*\tP,Q\n*\t30\t30\t1\nEND_P,Q\n",
         "Node set row 2 (NODESET_DATA): set name \"P,Q\" must not contain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scratch dir;
        CopyExample(dir, "winkler-mat.slb");
        std::string text = ReadAll(dir.File("winkler-mat.slb"));
        const std::string load = "DISTRIBUTED_LOAD_DATA\n*\tALL\t";
        ASSERT_NE(text.find(load), std::string::npos);
        text.replace(text.find(load), load.size(), "DISTRIBUTED_LOAD_DATA\n*\t" + std::string(c.load) + "\t");
        // The added sets go after the file's own "ALL" of their table.
        const std::string sets = c.sets;
        const std::string table = sets.substr(0, sets.find('\n') + 1);
        if (!sets.empty()) {
            const std::size_t at = text.find(table + "*\tALL\nEND_ALL\n");
            ASSERT_NE(at, std::string::npos);
            text.insert(at + table.size() + std::string("*\tALL\nEND_ALL\n").size(), sets.substr(table.size()));
        }
        WriteAll(dir.File("winkler-mat.slb"), text);
        const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
        EXPECT_NE(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("Model has errors"), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sin")));
        EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sds")));
        const std::string sms = ReadAll(dir.File("winkler-mat.sms"));
        EXPECT_NE(sms.find(std::string("    Error:\n      ") + c.line), std::string::npos) << sms;
    }
}

TEST(Runner, MissingLibraryOrExportIsReported) {
    Scratch dir;
    fs::create_directories(dir.File("bin"));
    fs::copy_file(Runner(), dir.File("bin/brennix-run"));
    CopyExample(dir, "winkler-mat.slb");
    RunResult run = RunProgram(dir.File("bin/brennix-run"), dir.Path(), "winkler-mat.slb");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("Can not load Executable Library " + dir.File("bin/Parvane_DLL.so") + " Please Check."),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(dir.File("torve.dat")));
    EXPECT_TRUE(fs::exists(dir.File("winkler-mat.sin")));

    // A library without the export.
    for (const char* lib : {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"}) {
        if (!fs::exists(lib)) continue;
        fs::copy_file(lib, dir.File("bin/Parvane_DLL.so"));
        run = RunProgram(dir.File("bin/brennix-run"), dir.Path(), "winkler-mat.slb");
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.output.find("Can not find function in Library Please Check."), std::string::npos) << run.output;
        break;
    }
}

TEST(Runner, CommandLineMistakes) {
    Scratch dir;
    EXPECT_EQ(RunProgram(Runner(), dir.Path(), "").exitCode, 2);
    RunResult run = RunProgram(Runner(), dir.Path(), "none.slb");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("none.slb"), std::string::npos);
    // A model file under another name: its run files would fall on the file
    // itself (results written over it), so it is refused untouched.
    for (const char* name : {"winkler.sds", "winkler.sin", "slb"}) {
        fs::copy_file(Example("winkler-mat.slb"), dir.File(name), fs::copy_options::overwrite_existing);
        run = RunProgram(Runner(), dir.Path(), name);
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_NE(run.output.find("must end in .slb"), std::string::npos) << run.output;
        EXPECT_EQ(ReadAll(dir.File(name)), ReadAll(Example("winkler-mat.slb"))) << name;
    }
    WriteAll(dir.File("bad.slb"), "V4.1\nNODE_DATA\n*\t1\t0\n");
    run = RunProgram(Runner(), dir.Path(), "bad.slb");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("could not be read"), std::string::npos) << run.output;
    // A folder or a pipe under a model's name is refused without being read
    // (a pipe with no writer would otherwise hold the run forever).
    fs::create_directory(dir.File("d.slb"));
    ASSERT_EQ(::mkfifo(dir.File("p.slb").c_str(), 0600), 0);
    for (const auto& [name, why] : {std::pair{"d.slb", "is a folder"}, std::pair{"p.slb", "not a regular file"}}) {
        run = RunProgram(Runner(), dir.Path(), name);
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_NE(run.output.find(why), std::string::npos) << run.output;
    }
}

TEST(Runner, SeparateAnalysisProgramRoute) {
    // A stand-in analysis program: keeps the file list it was given and
    // writes one result step for the four nodes of the model, and a cut
    // file that this route must not read.
    Scratch dir;
    fs::create_directories(dir.File("bin"));
    fs::copy_file(Runner(), dir.File("bin/brennix-run"));
    const std::string sds = bridgetest::OneResultStep(4);
    WriteAll(dir.File("bin/Halvor"),
             "#!/bin/sh\ncp names.dat seen-names.txt\npwd > seen-folder.txt\n"
             "printf '%s\\n' '" +
                 sds +
                 "' > \"$(sed -n 7p names.dat)\"\n"
                 "echo broken > \"$(dirname \"$(sed -n 9p names.dat)\")/m.cut\"\n");
    fs::permissions(dir.File("bin/Halvor"), fs::perms::owner_all);
    WriteAll(dir.File("m.slb"),
             "V4.1\nHALVOR_FC\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\nEND_NODE_DATA\n"
             "MATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
             "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t4\t3\t2\t1\nEND_ELEMENT_DATA\nEND_DATA\n");
    const std::string before = ReadAll(dir.File("m.slb"));

    const RunResult run = RunProgram(dir.File("bin/brennix-run"), dir.Path(), "m.slb");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Steps: 1"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("cut line"), std::string::npos) << run.output;
    const std::string base = fs::canonical(dir.Path()).string() + "/m";
    std::string expected;
    for (const char* ext : {".gpd", ".gpo", ".gpp", ".gpr", ".sin", ".sou", ".sds", ".sms", ".slb"})
        expected += base + ext + "\n";
    EXPECT_EQ(ReadAll(dir.File("bin/seen-names.txt")), expected);
    EXPECT_EQ(ReadAll(dir.File("bin/seen-folder.txt")), fs::canonical(dir.File("bin")).string() + "\n");
    EXPECT_FALSE(fs::exists(dir.File("bin/names.dat")));
    EXPECT_TRUE(fs::exists(dir.File("m.sin")));
    EXPECT_EQ(ReadAll(dir.File("m.slb")), before);  // an unchanged model is not rewritten
}

namespace {

// Records what the run shows and tells the document.
class RecordingHost : public RunHost {
public:
    bool Ask(const std::string&) override { return true; }
    void Progress(const std::string&, const std::string&, int) override {}
    void Message(const std::string& text, RunIcon) override { messages += text + "\n"; }
    void OpenTextFile(const std::string&) override {}
    void ModelSaved() override { ++saves; }

    std::string messages;
    int saves = 0;
};

}  // namespace

TEST(Runner, ModelThatCannotBeSavedStopsTheRunAndStaysModified) {
    // Both routes save the model before anything else; a document in a
    // folder that does not exist cannot be written.
    for (const bool halvor : {false, true}) {
        Scratch dir;
        ModelData m;
        ASSERT_EQ(m.ReadModelFile(Example("winkler-mat.slb"), true), 0);
        m.halvorFlag = halvor ? 1 : 0;
        m.SetChanged();
        RecordingHost host;
        RunOutcome outcome;
        const std::string document = dir.File("missing/winkler-mat.slb");
        RunAnalysis(m, document, false, dir.Path(), host, &outcome);
        EXPECT_TRUE(outcome.saveFailed) << halvor;
        EXPECT_NE(host.messages.find("Can not save the model file\n" + document), std::string::npos) << host.messages;
        EXPECT_TRUE(m.IsChanged()) << halvor;
        EXPECT_EQ(host.saves, 0) << halvor;
        EXPECT_FALSE(outcome.inputWritten) << halvor;
        EXPECT_FALSE(outcome.solverCalled || outcome.programStarted) << halvor;
    }
}

namespace {

// A one-element Winkler slab on the four nodes given as (x, y, z); the
// element runs 4, 3, 2, 1.
std::string OnePlateOnSprings(const std::string& nodes, const std::string& stepping = "1\t0\t1\t1\t50\t0.0001") {
    return "V4.1\nNODE_DATA\n" + nodes +
           "END_NODE_DATA\nMATERIAL_DATA\n*\tALL\t0\t3e+07\t2e+08\t0.2\t0.5\nEND_MATERIAL_DATA\n"
           "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t4\t3\t2\t1\nEND_ELEMENT_DATA\n"
           "NODAL_CONSTRAINT_DATA\n*\tALL\t 0  1  1  1  0  0 \t0\t0\t0\t0\t0\t0\nEND_NODAL_CONSTRAINT_DATA\n"
           "DISTRIBUTED_LOAD_DATA\n*\tALL\t 1  0  0  0  0  0 \t50\t0\t0\t0\t0\t0\nEND_DISTRIBUTED_LOAD_DATA\n"
           "DISTRIBUTED_STIFFNESS_DATA\n*\tALL\t 1  0  0  0  0  0 \t10000\t0\t0\t0\t0\t0\n"
           "END_DISTRIBUTED_STIFFNESS_DATA\nTIME_STEPPING_DATA\n" +
           stepping +
           "\nEND_TIME_STEPPING_DATA\n"
           "NODESET_DATA\n*\tALL\nEND_ALL\nEND_NODESET_DATA\nELEMENTSET_DATA\n*\tALL\nEND_ALL\nEND_ELEMENTSET_DATA\n"
           "END_DATA\n";
}

// The plate without its constraints, with a load in y at node 3.
std::string InPlaneLoadWithoutSupport(std::string model) {
    const std::string constraints =
        "NODAL_CONSTRAINT_DATA\n*\tALL\t 0  1  1  1  0  0 \t0\t0\t0\t0\t0\t0\nEND_NODAL_CONSTRAINT_DATA\n";
    model.replace(model.find(constraints), constraints.size(),
                  "NODAL_LOAD_DATA\n*\t3\t 0  1  0  0  0  0 \t0\t100\t0\t0\t0\t0\nEND_NODAL_LOAD_DATA\n");
    return model;
}

}  // namespace

// Shapes and values the arithmetic cannot take never end as a finished run:
// the run stops with a non-zero exit, the reason in the message file, and
// no step results.
TEST(Runner, DegenerateFarAndEndlessModelsFailWithTheReason) {
    const std::string square = "*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\n";
    const struct {
        const char* name;
        std::string model;
        const char* reason;
    } cases[] = {
        {"three corners on a line", OnePlateOnSprings("*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t2\t0\n*\t4\t0\t1\t1\n"),
         "Element 1: corner angle of 180 degrees or more at node 2"},
        {"out-of-plane coordinate 1e8",
         OnePlateOnSprings("*\t1\t1e8\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\n"),
         "Node 1: coordinate 1.000e+08 beyond the range -1e+07 to 1e+07"},
        {"a billion increments", OnePlateOnSprings(square, "1\t0\t1e9\t1\t50\t0.0001"),
         "The time stepping takes 1000000000 increments; at most 10000 are allowed."},
        {"increment above the final time", OnePlateOnSprings(square, "2\t0\t1\t1\t50\t0.0001"),
         "The time stepping makes no step: the initial analysis time 0 plus the initial time increment 2 lies "
         "beyond the final analysis time 1."},
        {"a load in y on a slab free in its plane", InPlaneLoadWithoutSupport(OnePlateOnSprings(square)),
         "the slab can slide in y, slide in z and turn in its plane (about x)"},
    };
    for (const auto& c : cases) {
        Scratch dir;
        WriteAll(dir.File("m.slb"), c.model);
        const RunResult run = RunProgram(Runner(), dir.Path(), "m.slb");
        EXPECT_NE(run.exitCode, 0) << c.name << "\n" << run.output;
        EXPECT_EQ(run.output.find("Status: 0"), std::string::npos) << c.name << "\n" << run.output;
        EXPECT_NE(ReadAll(dir.File("m.sms")).find(c.reason), std::string::npos) << c.name;
        EXPECT_FALSE(fs::exists(dir.File("m.sds"))) << c.name;
    }
    // The same square with its corners in order runs.
    Scratch dir;
    WriteAll(dir.File("m.slb"), OnePlateOnSprings(square));
    const RunResult run = RunProgram(Runner(), dir.Path(), "m.slb");
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

namespace {

// Waits (up to a generous deadline) for a file to appear.
bool AppearsWithin(const std::string& path, int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
        if (fs::exists(path)) return true;
        ::usleep(10000);
    }
    return fs::exists(path);
}

// Starts `program model` in `folder` with its output in `output`.
pid_t Start(const std::string& program, const std::string& folder, const std::string& model,
            const std::string& output) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        std::FILE* out = std::freopen(output.c_str(), "w", stdout);
        if (!out || ::dup2(::fileno(stdout), 2) < 0) ::_exit(127);
        ::execl(program.c_str(), program.c_str(), model.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

}  // namespace

// One run per model: a second run while the lock is held is refused naming
// the holder and touches nothing; a lock left by a process that is gone is
// taken over.
TEST(Runner, SecondRunIsRefusedWhileTheLockIsHeldAndAStaleLockIsTakenOver) {
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    WriteAll(dir.File("winkler-mat.sds"), "results of the other run\n");
    {
        RunLock held;
        ASSERT_TRUE(held.Acquire(dir.File("winkler-mat.slb"), "test_model"));
        const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.output.find("the model is being analysed by another run: process " + std::to_string(::getpid()) +
                                  " (test_model)"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(ReadAll(dir.File("winkler-mat.sds")), "results of the other run\n");
        EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sin")));
    }
    EXPECT_FALSE(fs::exists(RunLockPath(dir.File("winkler-mat.slb"))));  // released

    // A lock file whose process is gone.
    WriteAll(RunLockPath(dir.File("winkler-mat.slb")), "process 999999999 (brennix-run) on elsewhere\n");
    const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(fs::exists(RunLockPath(dir.File("winkler-mat.slb"))));
}

// Ctrl-C, SIGTERM or SIGHUP (the terminal closed) during the solver: the
// process ends at once with 128 + the signal, the model intact, the step
// results written so far set aside as unfinished and said so in the message
// file, the lock released.
TEST(Runner, InterruptedRunEndsCleanlyAndMarksItsResultsUnfinished) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        Scratch dir;
        fs::create_directories(dir.File("bin"));
        fs::copy_file(Runner(), dir.File("bin/brennix-run"));
        fs::copy_file(BRENNIX_STALLING_PARVANE, dir.File("bin/Parvane_DLL.so"));
        CopyExample(dir, "winkler-mat.slb");
        const pid_t pid = Start(dir.File("bin/brennix-run"), dir.Path(), "winkler-mat.slb", dir.File("out.txt"));
        ASSERT_GT(pid, 0);
        const bool stalled = AppearsWithin(dir.File("winkler-mat.stalled"), 120);
        ::kill(pid, sig);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(stalled) << ReadAll(dir.File("out.txt"));
        ASSERT_TRUE(WIFEXITED(status)) << sig;
        EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
        const std::string model = ReadAll(dir.File("winkler-mat.slb"));
        EXPECT_NE(model.find("END_DATA"), std::string::npos);
        ModelData m;
        EXPECT_EQ(m.ReadModelFile(dir.File("winkler-mat.slb"), true), 0);
        EXPECT_FALSE(fs::exists(dir.File("winkler-mat.sds")));
        EXPECT_TRUE(fs::exists(dir.File("winkler-mat.unfinished.sds")));
        EXPECT_NE(ReadAll(dir.File("winkler-mat.sms"))
                      .find(std::string("interrupted (") +
                            (sig == SIGINT   ? "SIGINT"
                             : sig == SIGHUP ? "SIGHUP"
                                             : "SIGTERM") +
                            "): not a finished run"),
                  std::string::npos);
        EXPECT_FALSE(fs::exists(RunLockPath(dir.File("winkler-mat.slb"))));
        EXPECT_FALSE(fs::exists(dir.File("torve.dat")));
        int leftovers = 0;
        for (const auto& e : fs::directory_iterator(dir.Path()))
            leftovers += e.path().filename().string().find(".tmp") != std::string::npos;
        EXPECT_EQ(leftovers, 0);
    }
}

namespace {

// A run of `model` in `folder` with the stalling solver library, which holds
// the run once it has written a step; the caller ends it.
struct StalledRun {
    StalledRun(const Scratch& dir, const std::string& model) {
        fs::create_directories(dir.File("bin"));
        fs::copy_file(Runner(), dir.File("bin/brennix-run"), fs::copy_options::overwrite_existing);
        fs::copy_file(BRENNIX_STALLING_PARVANE, dir.File("bin/Parvane_DLL.so"), fs::copy_options::overwrite_existing);
        pid = Start(dir.File("bin/brennix-run"), dir.Path(), model, dir.File("stalled-out.txt"));
        stalled = pid > 0 && AppearsWithin(dir.File(fs::path(model).stem().string() + ".stalled"), 120);
    }
    ~StalledRun() {
        int status = 0;
        if (pid > 0 && ::kill(pid, SIGTERM) == 0) ::waitpid(pid, &status, 0);
    }
    pid_t pid = -1;
    bool stalled = false;
};

// The step results of `name` run alone in a folder of its own.
std::string SoloResults(const std::string& name) {
    Scratch solo;
    CopyExample(solo, name);
    const RunResult run = RunProgram(Runner(), solo.Path(), name);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return ReadAll(solo.File(fs::path(name).stem().string() + ".sds"));
}

}  // namespace

// The solver's file list and scratch files are the folder's: while one
// model's solver runs, another model of the same folder is refused, naming
// the model and the run that holds the folder, with nothing of its own
// touched; once that run is over it runs as it runs alone.
TEST(Runner, SecondModelOfAFolderWaitsForTheFirstsSolverRun) {
    const std::string second = "slab-point-loads.slb";
    const std::string solo = SoloResults(second);
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    CopyExample(dir, second);
    WriteAll(dir.File("slab-point-loads.sds"), "earlier results\n");
    {
        const StalledRun first(dir, "winkler-mat.slb");
        ASSERT_TRUE(first.stalled) << ReadAll(dir.File("stalled-out.txt"));
        const RunResult run = RunProgram(Runner(), dir.Path(), second);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        const std::string folder = fs::canonical(dir.Path()).string();
        EXPECT_NE(run.output.find("another model in the same folder is being analysed: " + folder +
                                  "/winkler-mat.slb, process " + std::to_string(first.pid) + " (brennix-run)"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(ReadAll(dir.File("slab-point-loads.sds")), "earlier results\n");
        EXPECT_FALSE(fs::exists(dir.File("slab-point-loads.sin")));
        EXPECT_FALSE(fs::exists(RunLockPath(dir.File(second))));
        EXPECT_EQ(Lines(ReadAll(dir.File("torve.dat"))).front(), folder + "/winkler-mat.slb");
    }
    const RunResult run = RunProgram(Runner(), dir.Path(), second);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadAll(dir.File("slab-point-loads.sds")), solo);
}

// Two models of one folder started at the same moment, several times: each
// run either gives the results of its solo run or is refused naming the
// other; never a mixture.
TEST(Runner, TwoModelsOfAFolderStartedTogetherNeverMix) {
    const std::string names[2] = {"winkler-mat.slb", "mat-piles.slb"};
    const std::string solo[2] = {SoloResults(names[0]), SoloResults(names[1])};
    for (int trial = 0; trial < 4; ++trial) {
        SCOPED_TRACE(trial);
        Scratch dir;
        pid_t pids[2];
        for (int i = 0; i < 2; ++i) CopyExample(dir, names[i]);
        for (int i = 0; i < 2; ++i)
            pids[i] = Start(Runner(), dir.Path(), names[i], dir.File(std::to_string(i) + ".txt"));
        for (int i = 0; i < 2; ++i) {
            int status = 0;
            ASSERT_EQ(::waitpid(pids[i], &status, 0), pids[i]);
            const std::string output = ReadAll(dir.File(std::to_string(i) + ".txt"));
            const std::string sds = dir.File(fs::path(names[i]).stem().string() + ".sds");
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                EXPECT_EQ(ReadAll(sds), solo[i]) << names[i];
            } else {
                EXPECT_NE(output.find("another model in the same folder is being analysed: " +
                                      fs::canonical(dir.Path()).string() + "/" + names[1 - i]),
                          std::string::npos)
                    << output;
                EXPECT_FALSE(fs::exists(sds));
            }
        }
    }
}

// The solver reads its file list from the current directory: when the
// model's folder cannot be made the current one, the run says so and stops
// before the solver could read another folder's list.
TEST(Runner, FolderThatCannotBeEnteredStopsTheRun) {
    // The host moves the folder away once the model is saved.
    class MovingHost : public RecordingHost {
    public:
        void ModelSaved() override {
            RecordingHost::ModelSaved();
            fs::rename(from, to);
        }
        std::string from, to;
    };
    Scratch dir;
    fs::create_directories(dir.File("models"));
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(Example("winkler-mat.slb"), true), 0);
    MovingHost host;
    host.from = dir.File("models");
    host.to = dir.File("moved");
    RunOutcome outcome;
    const std::string folder = fs::canonical(dir.Path()).string() + "/models/";
    RunAnalysis(m, folder + "winkler-mat.slb", false, BRENNIX_BIN_DIR, host, &outcome);
    EXPECT_TRUE(outcome.folderFailed);
    EXPECT_EQ(outcome.systemReason, std::strerror(ENOENT));
    EXPECT_NE(host.messages.find("Can not make the folder of the model the current folder\n" + folder + "\n" +
                                 std::strerror(ENOENT) + "\nPlease Check."),
              std::string::npos)
        << host.messages;
    EXPECT_FALSE(outcome.inputWritten);
    EXPECT_FALSE(outcome.solverCalled);
}

// The runner's own failures to write give the system's reason: a full disk
// under the solver input, a file-size limit under the model.
TEST(Runner, RefusedWritesGiveTheSystemsReason) {
    {
        Scratch dir;
        CopyExample(dir, "winkler-mat.slb");
        fs::create_symlink("/dev/full", dir.File("winkler-mat.sin"));
        const RunResult run = RunProgram(Runner(), dir.Path(), "winkler-mat.slb");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.output.find(std::string("the solver input could not be written: ") + std::strerror(ENOSPC)),
                  std::string::npos)
            << run.output;
    }
    Scratch dir;
    CopyExample(dir, "winkler-mat.slb");
    const std::string before = ReadAll(dir.File("winkler-mat.slb"));
    const RunResult run = RunPrepared(Runner(), dir.Path(), "winkler-mat.slb", [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{1024, 1024};  // smaller than the model file
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("the model could not be saved: winkler-mat.slb: " + std::string(std::strerror(EFBIG))),
              std::string::npos)
        << run.output;
    EXPECT_EQ(ReadAll(dir.File("winkler-mat.slb")), before);
}

namespace {

// AddressSanitizer ends a process whose memory runs out with a report of
// its own (its operator new never throws), and its shadow memory rules out
// an address space limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

}  // namespace

// A model that needs more memory than there is (here: a node number of a
// hundred million, whose lookup takes 400 MB, under a limit of 256 MB) ends
// with a message naming the model and its size, never with an abort; the
// model and its results stay. Memory that runs out during the run is said
// so, and the run's locks are let go.
TEST(Runner, ModelTooLargeForTheMemoryIsSaidToBeSo) {
    Scratch dir;
    if (!kAddressSanitizer) {
        std::string text = ReadAll(Example("winkler-mat.slb"));
        text.replace(text.find("*\t133\t"), 6, "*\t100000000\t");
        WriteAll(dir.File("m.slb"), text);
        WriteAll(dir.File("m.sds"), "earlier results\n");
        const RunResult run = RunPrepared(Runner(), dir.Path(), "m.slb", [] {
            const rlimit limit{256u << 20, 256u << 20};
            ::setrlimit(RLIMIT_AS, &limit);
        });
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find("brennix-run: the model file m.slb (" + std::to_string(text.size()) +
                                  " bytes) needs more memory than there is"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(ReadAll(dir.File("m.slb")), text);
        EXPECT_EQ(ReadAll(dir.File("m.sds")), "earlier results\n");
    }

    // The memory runs out once the model is saved.
    class StarvingHost : public RecordingHost {
    public:
        void ModelSaved() override { throw std::bad_alloc(); }
    };
    CopyExample(dir, "winkler-mat.slb");
    ModelData m;
    ASSERT_EQ(m.ReadModelFile(dir.File("winkler-mat.slb"), true), 0);
    StarvingHost host;
    RunOutcome outcome;
    RunAnalysis(m, dir.File("winkler-mat.slb"), false, BRENNIX_BIN_DIR, host, &outcome);
    EXPECT_TRUE(outcome.outOfMemory);
    EXPECT_NE(host.messages.find("The analysis of " + dir.File("winkler-mat.slb") + " ("), std::string::npos)
        << host.messages;
    EXPECT_NE(host.messages.find(" needs more memory than there is."), std::string::npos) << host.messages;
    EXPECT_FALSE(fs::exists(RunLockPath(dir.File("winkler-mat.slb"))));
    EXPECT_FALSE(fs::exists(dir.File("torve.dat")));
    EXPECT_NE(ReadAll(dir.File("winkler-mat.slb")).find("END_DATA"), std::string::npos);
}
