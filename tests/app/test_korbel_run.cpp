// Computations > Run Analysis through the view and the document: Save As
// first for a new model, the results question, model errors, the solver
// route with a stand-in solver library, the separate analysis program, and
// every failure the run reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "KorbelTestSupport.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/SplashWindow.h"
#include "app/run/RunLock.h"
#include "model/ModelData.h"
#include "platform/ui/App.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Frame.h"
#include "platform/ui/HeadlessTest.h"

using namespace korbeltest;
using bridgetest::Lines;

namespace {

namespace fs = std::filesystem;

// What the stand-in solver saw during its call, and what it is to do.
struct SolverCall {
    // Set by the test.
    int status = 0;
    std::string sds;  // canned step results ("" writes none)
    std::string cut;  // canned cut results ("" writes none)
    ui::Headless* driver = nullptr;
    // Recorded.
    int calls = 0;
    std::string folder;
    std::string list;
    bool marker = false;
    int waitCursor = 0;
    std::string progressTitle;
    std::string progressSubtitle;
    bool progressShown = false;
    std::size_t boxesBefore = 0;
    std::string modelText;  // the model file as the solver found it
};
SolverCall g_solver;
// A run that waits for a stop request after writing its results: the
// solver's thread says when it waits and hears the request.
bool g_waitForStop = false;
std::atomic<bool> g_solverWaiting{false};
std::atomic<bool> g_stopAsked{false};
// The solver's status of a run its stop request ended.
constexpr int kStoppedStatus = 14;

}  // namespace

// The stand-in library's ITORVE hands its call here.
extern "C" __attribute__((visibility("default"))) int BrennixTestSolverCall(int mode) {
    SolverCall& s = g_solver;
    ++s.calls;
    s.folder = fs::current_path().string();
    s.list = ReadAll("torve.dat");
    s.marker = ui::FindGlobalMarker("Brennix");
    s.waitCursor = s.driver ? s.driver->WaitCursorDepth() : 0;
    s.progressTitle = CSplashWindow::Title();
    s.progressSubtitle = CSplashWindow::Subtitle();
    s.progressShown = CSplashWindow::Current() && CSplashWindow::Current()->IsWindowVisible();
    s.boxesBefore = s.driver ? s.driver->MessageBoxes().size() : 0;
    const std::vector<std::string> files = Lines(s.list);
    if (files.size() == 6) {
        s.modelText = ReadAll(files[0]);
        if (!s.sds.empty()) WriteAll(files[3], s.sds);
        if (!s.cut.empty()) WriteAll(files[5], s.cut);
    }
    if (g_waitForStop) {
        // Runs until the program asks it to stop (a minute at most, so that
        // a program that never asks fails the test instead of hanging it).
        g_solverWaiting = true;
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!g_stopAsked && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        g_solverWaiting = false;
        if (g_stopAsked) return kStoppedStatus;
    }
    return mode == 2 ? s.status : -1;
}

extern "C" __attribute__((visibility("default"))) void BrennixTestSolverStop() { g_stopAsked = true; }

namespace {

// OnePlate with its corners counter-clockwise in the plate's frame (y, -z),
// as the model check before a run wants them.
std::string RunPlate() {
    std::string text = OnePlate();
    const std::string element = "*\t1\t1\t1\t2\t3\t4\n";
    text.replace(text.find(element), element.size(), "*\t1\t1\t4\t3\t2\t1\n");
    return text;
}

class KorbelRun : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        cwd_ = fs::current_path();
        CSplashWindow::ResetState();
        g_solver = SolverCall{};
        g_waitForStop = false;
        g_solverWaiting = false;
        g_stopAsked = false;
        g_solver.driver = &driver;
        g_solver.sds = OneStep();
        doc.Factories() = DocDialogFactories{};
        doc.SetProgramFolder(BRENNIX_FAKE_PARVANE_DIR);
        view.SetDocument(&doc);
        folder = fs::canonical(dir.Path()).string();
        path = folder + "/m.slb";
        // The analysis marker is per user: other test programs running at
        // the same time add and delete theirs, so this one gets a folder
        // of its own.
        if (const char* run = std::getenv("XDG_RUNTIME_DIR")) savedRuntimeDir_ = run;
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
    void TearDown() override {
        CSplashWindow::ResetState();
        view.SetDocument(nullptr);
        fs::current_path(cwd_);
        if (savedRuntimeDir_)
            ::setenv("XDG_RUNTIME_DIR", savedRuntimeDir_->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
        ui::HeadlessTest::TearDown();
    }
    void Open(const std::string& text) {
        WriteAll(path, text);
        ASSERT_TRUE(doc.OnOpenDocument(path));
        doc.SetPathName(path, false);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : driver.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }
    std::vector<std::string> Edited() const {
        std::vector<std::string> files;
        for (const auto& line : driver.Log())
            if (line.rfind("TextEditor ", 0) == 0) files.push_back(line.substr(11));
        return files;
    }

    Scratch dir;
    std::string folder;
    std::string path;
    CKorbelDoc doc;
    CKorbelView view;

private:
    fs::path cwd_;
    std::optional<std::string> savedRuntimeDir_;
};

TEST_F(KorbelRun, SolverRouteWritesTheListCallsTheLibraryAndReadsTheResults) {
    Open(RunPlate());
    g_solver.cut =
        ("2 5 9\nA B C D E F G H I\n2\n1 0 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0 0\n"
         "3\n1 0 0 0 0 0 0 0 0 0\n2 0 0 0 0 0 0 0 0 0\n3 0 0 0 0 0 0 0 0 0\n");
    WriteAll(folder + "/m.cut", "old cut results\n");  // deleted before the run
    view.OnRunAnalysis();

    ASSERT_EQ(g_solver.calls, 1);
    const std::string base = folder + "/m";
    EXPECT_EQ(g_solver.list,
              path + "\n" + base + ".sin\n" + base + ".sou\n" + base + ".sds\n" + base + ".sms\n" + base + ".cut\n");
    EXPECT_EQ(g_solver.folder, folder);
    EXPECT_EQ(fs::current_path().string(), folder);  // stays the document's folder
    EXPECT_TRUE(g_solver.marker);
    EXPECT_EQ(g_solver.waitCursor, 1);
    EXPECT_EQ(g_solver.progressTitle, "Analysis In Progress...");
    EXPECT_EQ(g_solver.progressSubtitle, "Please Wait...");
    EXPECT_TRUE(g_solver.progressShown);
    EXPECT_FALSE(ui::FindGlobalMarker("Brennix"));
    EXPECT_EQ(driver.WaitCursorDepth(), 0);
    EXPECT_FALSE(fs::exists(folder + "/torve.dat"));
    EXPECT_TRUE(fs::exists(base + ".sin"));
    EXPECT_EQ(Edited(), std::vector<std::string>{base + ".sms"});
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_EQ(doc.ResultsFlag(), 1);
    EXPECT_EQ(doc.GetModelData()->cutLineCount, 2);

    // "Analysis Completed..." closes itself at the first pump 100 ms later.
    ASSERT_NE(CSplashWindow::Current(), nullptr);
    EXPECT_EQ(CSplashWindow::Title(), "Analysis Completed...");
    EXPECT_EQ(CSplashWindow::Subtitle(), "");
    ui::PumpWindowMessages(*CSplashWindow::Current());
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
}

TEST_F(KorbelRun, CancelOnTheProgressWindowStopsTheRunAndMarksItsStepsUnfinished) {
    Open(RunPlate());
    const int nodes = doc.GetModelData()->GetNodeCount();
    const std::string base = folder + "/m";
    g_waitForStop = true;
    int presses = 0;
    bool lockHeld = false;
    driver.onPump = [&](ui::Window& w) {
        auto* progress = dynamic_cast<CSplashWindow*>(&w);
        if (!progress || !g_solverWaiting || presses > 0) return;
        ++presses;
        EXPECT_TRUE(CSplashWindow::CancelOffered());
        lockHeld = fs::exists(RunLockPath(path));
        // A click beside the button asks nothing; one on it cancels.
        const ui::Rect b = CSplashWindow::kCancelButton;
        progress->OnPopupClick({b.x - 5, b.y + b.h / 2});
        EXPECT_FALSE(CSplashWindow::CancelAsked());
        progress->OnPopupClick({b.x + b.w / 2, b.y + b.h / 2});
        EXPECT_TRUE(CSplashWindow::CancelAsked());
        EXPECT_EQ(CSplashWindow::Subtitle(), "Cancelling...");
    };
    view.OnRunAnalysis();
    driver.onPump = nullptr;

    ASSERT_EQ(presses, 1);
    EXPECT_TRUE(lockHeld);
    EXPECT_TRUE(g_stopAsked);
    const RunOutcome& run = doc.LastRunOutcome();
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(run.solverStatus, kStoppedStatus);
    EXPECT_EQ(RunStatusText(run), "Analysis cancelled: not a finished run (see the message file)");
    EXPECT_EQ(CSplashWindow::Title(), "Analysis Cancelled...");
    EXPECT_FALSE(CSplashWindow::CancelOffered());
    // The steps written so far are kept under the unfinished name and said
    // so in the message file; nothing is read back, no editor, no box.
    EXPECT_FALSE(fs::exists(base + ".sds"));
    EXPECT_EQ(ReadAll(base + ".unfinished.sds"), OneStep());
    EXPECT_NE(ReadAll(base + ".sms")
                  .find("\n *** Analysis cancelled: not a finished run. The steps written so far are in " + base +
                        ".unfinished.sds\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder + "/torve.dat"));
    EXPECT_EQ(doc.ResultsFlag(), 0);
    EXPECT_TRUE(Edited().empty());
    EXPECT_TRUE(driver.MessageBoxes().empty());
    // The model is as the run saved it, and the lock is free.
    EXPECT_EQ(ReadAll(path), g_solver.modelText);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), nodes);
    EXPECT_FALSE(fs::exists(RunLockPath(path)));

    // The next run goes through and offers nothing once it is over.
    g_waitForStop = false;
    view.OnRunAnalysis();
    EXPECT_FALSE(doc.LastRunOutcome().cancelled);
    EXPECT_EQ(RunStatusText(doc.LastRunOutcome()), "Analysis completed");
    EXPECT_EQ(doc.ResultsFlag(), 1);
    EXPECT_FALSE(CSplashWindow::CancelOffered());
}

TEST_F(KorbelRun, UnnamedModelIsSavedFirstAndCancelDoesNothing) {
    Open(RunPlate());
    WriteAll(folder + "/m.sds", OneStep());
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(doc.ResultsFlag(), 1);
    doc.SetPathName("", false);

    driver.ExpectFileDialog(std::nullopt);
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 0);
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_FALSE(fs::exists(folder + "/n.slb"));

    // After the save the results are gone from the new name: no question.
    driver.ExpectFileDialog(folder + "/n.slb");
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 1);
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_EQ(Lines(g_solver.list).front(), folder + "/n.slb");
    EXPECT_EQ(doc.GetPathName(), folder + "/n.slb");
}

TEST_F(KorbelRun, ResultsQuestionKeepsOrDeletesTheResultFiles) {
    std::string text = RunPlate();
    text.insert(text.find("END_DATA"),
                "NONLINEAR_NODAL_STIFFNESS_DATA\n1\nPiles\n1,2\n0\n0\nNoSuchSpring\n0\n"
                "END_NONLINEAR_NODAL_STIFFNESS_DATA\n");
    WriteAll(folder + "/m.sds", OneStep());
    Open(text);
    ASSERT_EQ(doc.ResultsFlag(), 1);
    const char* exts[] = {".sds", ".sou", ".sms", ".cut"};
    for (const char* ext : exts)
        if (!fs::exists(folder + "/m" + ext)) WriteAll(folder + "/m" + ext, "old\n");

    driver.ExpectMessageBox(ui::IDNO, "Analysis will delete previous results\n Do you want to continue?");
    view.OnRunAnalysis();
    for (const char* ext : exts) EXPECT_TRUE(fs::exists(folder + "/m" + ext)) << ext;

    driver.ClearLogs();
    driver.ExpectMessageBox(ui::IDYES, "delete previous results");
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 0);
    EXPECT_EQ(Texts().back(), "Model has errors. Please see message file for details");
    for (const char* ext : {".sds", ".sou", ".cut"}) EXPECT_FALSE(fs::exists(folder + "/m" + ext)) << ext;
    // The message file holds the check's report, not the old text.
    EXPECT_NE(ReadAll(folder + "/m.sms").find("NoSuchSpring"), std::string::npos);
    EXPECT_EQ(doc.ResultsFlag(), 1);
}

TEST_F(KorbelRun, FailuresOfTheSolverRouteAreReported) {
    struct Case {
        const char* what;
        std::string libraryFolder;  // "" the stand-in
        int status;
        bool writeResults;
        std::vector<std::string> messages;
        bool called;
        bool results;
        const char* statusText;     // the status bar after the run
        const char* title = "";     // the progress window's last text, for a called solver
        const char* sds = nullptr;  // step results other than one step
        const char* cut = nullptr;  // cut results
    };
    Scratch empty, noExport;
    for (const char* lib : {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"})
        if (fs::exists(lib) && !fs::exists(noExport.File("Parvane_DLL.so")))
            fs::copy_file(lib, noExport.File("Parvane_DLL.so"));
    const std::string noLibrary = empty.Path() + "/";
    const Case cases[] = {
        {"no library",
         noLibrary,
         0,
         true,
         {"Can not load Executable Library\n" + noLibrary + "Parvane_DLL.so\nPlease Check."},
         false,
         false,
         "Analysis failed: the solver library could not be loaded"},
        {"no export",
         noExport.Path() + "/",
         0,
         true,
         {"Can not find function in Library\nPlease Check."},
         false,
         false,
         "Analysis failed: the solver library has no entry point"},
        {"analysis error",
         "",
         3,
         true,
         {"Analysis terminated with errors. Please see message file for details"},
         true,
         true,
         "Analysis terminated with errors (see the message file)",
         "Analysis Terminated..."},
        {"no step results",
         "",
         0,
         false,
         {},
         true,
         false,
         "Analysis ended without results (see the message file)",
         "Analysis Terminated..."},
        {"unreadable step results",
         "",
         0,
         true,
         {},
         true,
         false,
         "Analysis ended: the results could not be read",
         "Analysis Terminated...",
         "step_data\n26\nEND_STEP_DATA\n"},
        {"unreadable cut results",
         "",
         0,
         true,
         {"Error in reading cut line results."},
         true,
         true,
         "Analysis ended: the cut line results could not be read",
         "Analysis Terminated...",
         nullptr,
         "2 5 9\nA\n"},
        {"complete", "", 0, true, {}, true, true, "Analysis completed", "Analysis Completed..."},
    };
    ui::App app;
    app.SetMainFrame(std::make_unique<ui::Frame>());
    ui::Frame& frame = *app.MainFrame();
    frame.CreateStatusBar({"CAP"});
    for (const Case& c : cases) {
        CSplashWindow::ResetState();
        g_solver = SolverCall{};
        g_waitForStop = false;
        g_solverWaiting = false;
        g_stopAsked = false;
        g_solver.driver = &driver;
        g_solver.status = c.status;
        g_solver.sds = !c.writeResults ? "" : c.sds ? c.sds : OneStep();
        g_solver.cut = c.cut ? c.cut : "";
        driver.ClearLogs();
        fs::remove(folder + "/m.sds");
        Open(RunPlate());
        doc.SetProgramFolder(c.libraryFolder.empty() ? BRENNIX_FAKE_PARVANE_DIR : c.libraryFolder);
        view.OnRunAnalysis();
        EXPECT_EQ(Texts(), c.messages) << c.what;
        EXPECT_EQ(g_solver.calls, c.called ? 1 : 0) << c.what;
        EXPECT_EQ(doc.ResultsFlag(), c.results ? 1 : 0) << c.what;
        EXPECT_EQ(Edited().size(), c.called ? 1u : 0u) << c.what;
        EXPECT_EQ(CSplashWindow::Current() != nullptr, c.called) << c.what;
        // Never "Completed" before a failure.
        if (c.called) {
            EXPECT_EQ(CSplashWindow::Title(), c.title) << c.what;
        }
        EXPECT_FALSE(fs::exists(folder + "/torve.dat")) << c.what;
        // The outcome stays when the pointer leaves the button that ran it.
        EXPECT_EQ(frame.GetStatusBar().message, c.statusText) << c.what;
        frame.UserHoverEnd();
        EXPECT_EQ(frame.GetStatusBar().message, c.statusText) << c.what;
        // The analysis error comes after the progress window's last text.
        if (c.status > 0) {
            EXPECT_EQ(g_solver.boxesBefore, 0u) << c.what;
        }
    }
}

TEST_F(KorbelRun, TheNextCommandClearsTheOutcomeAndAMissingEditorIsReported) {
    ui::App app;
    app.SetMainFrame(std::make_unique<ui::Frame>());
    ui::Frame& frame = *app.MainFrame();
    frame.CreateStatusBar({"CAP"});
    Open(RunPlate());
    driver.FailLaunches(true);
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 1);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find(folder + "/m.sms"), std::string::npos) << Texts()[0];
    EXPECT_NE(Texts()[0].find("TextEditor"), std::string::npos) << Texts()[0];
    EXPECT_EQ(frame.GetStatusBar().message, "Analysis completed");
    ASSERT_TRUE(frame.ExecuteCommand(ui::cmd::ViewStatusBar));
    EXPECT_EQ(frame.GetStatusBar().message, ui::kIdleMessage);
    frame.UserHoverEnd();
    EXPECT_EQ(frame.GetStatusBar().message, ui::kIdleMessage);
}

TEST_F(KorbelRun, UnwritableFileListSkipsTheSolver) {
    Open(RunPlate());
    fs::create_directory(folder + "/torve.dat");
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 0);
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"Can not write the file list\n" + folder + "/torve.dat\nPlease Check."});
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Stop);
    EXPECT_TRUE(Edited().empty());
}

// The solver's file list is the folder's: while another model of the
// folder is being analysed, Run Analysis is refused naming that model and
// touches nothing; the status bar says why.
TEST_F(KorbelRun, AnotherModelOfTheFolderBeingAnalysedRefusesTheRun) {
    ui::App app;
    app.SetMainFrame(std::make_unique<ui::Frame>());
    ui::Frame& frame = *app.MainFrame();
    frame.CreateStatusBar({"CAP"});
    Open(RunPlate());
    WriteAll(folder + "/m.sds", OneStep());
    ASSERT_TRUE(doc.OnOpenDocument(path));
    RunLock other;
    ASSERT_TRUE(other.AcquireFile(folder + "/torve.dat", folder + "/other.slb\n" + folder + "/other.sin\n"));
    driver.ExpectMessageBox(ui::IDYES, "delete previous results");
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 0);
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], "Another model in the same folder is being analysed: " + folder +
                              "/other.slb.\nPlease wait until that run ends.");
    EXPECT_EQ(driver.MessageBoxes()[1].icon, ui::Icon::Stop);
    EXPECT_EQ(frame.GetStatusBar().message, "Analysis not run: another model in the same folder is being analysed");
    EXPECT_EQ(ReadAll(folder + "/m.sds"), OneStep());
    EXPECT_EQ(ReadAll(folder + "/torve.dat"), folder + "/other.slb\n" + folder + "/other.sin\n");
    EXPECT_FALSE(fs::exists(RunLockPath(path)));
    EXPECT_EQ(doc.ResultsFlag(), 1);

    // Once that run is over the model runs.
    other.Release();
    driver.ClearLogs();
    driver.ExpectMessageBox(ui::IDYES, "delete previous results");
    view.OnRunAnalysis();
    EXPECT_EQ(g_solver.calls, 1);
    EXPECT_EQ(frame.GetStatusBar().message, "Analysis completed");
}

TEST_F(KorbelRun, SeparateProgramRouteListsNineFilesAndLeavesAnUnchangedModelAlone) {
    Scratch bin;
    const std::string program = fs::canonical(bin.Path()).string() + "/";
    doc.SetProgramFolder(program);
    std::string text = RunPlate();
    text.insert(text.find('\n') + 1, "HALVOR_FC\n");
    Open(text);
    const auto stamp = fs::last_write_time(path);
    const std::string before = ReadAll(path);

    // Without the program: reported, then the read-back.
    view.OnRunAnalysis();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can not start program\n" + program + "Halvor\nPlease Check."});
    EXPECT_FALSE(fs::exists(program + "names.dat"));

    WriteAll(program + "Halvor",
             "#!/bin/sh\ncp names.dat seen-names.txt\n"
             "printf '%s\\n' '" +
                 OneStep() +
                 "' > \"$(sed -n 7p names.dat)\"\n"
                 "echo broken > \"$(dirname \"$(sed -n 9p names.dat)\")/m.cut\"\n");
    fs::permissions(program + "Halvor", fs::perms::owner_all);
    driver.ClearLogs();
    view.OnRunAnalysis();
    const std::string base = folder + "/m";
    std::string expected;
    for (const char* ext : {".gpd", ".gpo", ".gpp", ".gpr", ".sin", ".sou", ".sds", ".sms", ".slb"})
        expected += base + ext + "\n";
    EXPECT_EQ(ReadAll(program + "seen-names.txt"), expected);
    EXPECT_FALSE(fs::exists(program + "names.dat"));
    EXPECT_TRUE(driver.MessageBoxes().empty());  // the broken ".cut" is not read
    EXPECT_EQ(doc.ResultsFlag(), 1);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(fs::last_write_time(path), stamp);
    EXPECT_TRUE(Edited().empty());
    EXPECT_EQ(g_solver.calls, 0);
}

}  // namespace
