// Settings store, processes, libraries, timers on the virtual clock, the
// analysis marker, file filters and the text editor command.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/App.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Services.h"
#include "platform/ui/Settings.h"

namespace {

namespace fs = std::filesystem;

class ServicesTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        dir = fs::path(::testing::TempDir()) / ("services_" + std::to_string(::getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        ui::HeadlessTest::TearDown();
    }
    std::string WriteScript(const std::string& name, const std::string& body) {
        const fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "#!/bin/sh\n" << body;
        fs::permissions(p, fs::perms::owner_all);
        return p.string();
    }
    static std::vector<std::string> Lines(const fs::path& p) {
        std::ifstream in(p);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    fs::path dir;
};

TEST_F(ServicesTest, SettingsRoundTripThroughTheFile) {
    const std::string path = (dir / "new folder" / "deeper" / "settings").string();
    ui::Settings s(path);
    ASSERT_TRUE(s.Load());  // a missing file is an empty store
    const std::string key = "SOFTWARE\\Calvex\\Brennix\\2025.4.1";
    struct Value {
        std::string section, key, value;
    };
    const Value values[] = {{key, "UserName", "Ann O'Neil"},
                            {key, "Odd", "tab\there, new\nline, back\\slash, = sign"},
                            {"Tools", "TextEditor", "\"/opt/my editor/ed\" -n"},
                            {"Section with\ttab", "key\nline", ""}};
    for (const Value& v : values) s.SetString(v.section, v.key, v.value);
    s.SetInt("Numbers", "Count", -42);
    ASSERT_TRUE(s.Save());
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
        EXPECT_EQ(entry.path().filename(), "settings") << "left over: " << entry.path();

    ui::Settings t(path);
    ASSERT_TRUE(t.Load());
    for (const Value& v : values) {
        ASSERT_TRUE(t.Has(v.section, v.key)) << v.key;
        EXPECT_EQ(t.GetString(v.section, v.key), v.value);
    }
    EXPECT_EQ(t.GetInt("Numbers", "Count"), -42);
    EXPECT_EQ(t.GetInt(key, "UserName", 7), 7);  // not a number
    EXPECT_EQ(t.GetString(key, "Missing", "fallback"), "fallback");
    t.Remove(key, "UserName");
    ASSERT_TRUE(t.Save());
    ui::Settings u(path);
    ASSERT_TRUE(u.Load());
    EXPECT_FALSE(u.Has(key, "UserName"));
    EXPECT_TRUE(u.Has(key, "Odd"));

    // A store that cannot be written says so and leaves nothing behind.
    ui::Settings bad((dir / "file" / "settings").string());
    std::ofstream(dir / "file") << "in the way\n";
    bad.SetString("a", "b", "c");
    EXPECT_FALSE(bad.Save());
}

TEST_F(ServicesTest, ConfigFolderFollowsTheEnvironment) {
    struct Saved {
        const char* name;
        bool had;
        std::string value;
    };
    std::vector<Saved> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v != nullptr, v ? v : ""});
    }
    ::setenv("HOME", "/home/tester", 1);
    ::setenv("XDG_CONFIG_HOME", "/some/where", 1);
    EXPECT_EQ(ui::ConfigFolder("Brennix"), "/some/where/Brennix");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(ui::ConfigFolder("Brennix"), "/home/tester/.config/Brennix");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ui::ConfigFolder("Brennix"), "/home/tester/.config/Brennix");
    for (const Saved& s : saved) {
        if (s.had)
            ::setenv(s.name, s.value.c_str(), 1);
        else
            ::unsetenv(s.name);
    }
}

TEST_F(ServicesTest, RecentFileListOfFour) {
    ui::RecentFileList list(4);
    for (const char* p : {"/a/1.slb", "/a/2.slb", "/a/3.slb", "/a/4.slb", "/a/5.slb", "/a/3.slb", "/a/./x/../2.slb"})
        list.Add(p);
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/a/2.slb", "/a/3.slb", "/a/5.slb", "/a/4.slb"}));
    list.Add("/a/R&D.slb");
    EXPECT_EQ(list.MenuText(0), "&1 /a/R&&D.slb");
    list.Remove(1);
    EXPECT_EQ(list.Count(), 3);
    ui::Settings s;
    list.Save(s);
    ui::RecentFileList back(4);
    back.Load(s);
    EXPECT_EQ(back.Files(), list.Files());
    // Saving fewer entries drops the old ones from the store.
    ui::RecentFileList shorter(4);
    shorter.Add("/only.slb");
    shorter.Save(s);
    back.Load(s);
    EXPECT_EQ(back.Files(), (std::vector<std::string>{"/only.slb"}));
}

TEST_F(ServicesTest, ProcessGetsItsArgumentsUnsplit) {
    const std::string out = (dir / "out.txt").string();
    const std::string script =
        WriteScript("folder with blanks/echo args.sh", "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"" + out +
                                                           "\"; done\npwd >> \"" + out + "\"\nexit 3\n");
    ui::Process p;
    const std::vector<std::string> args = {"first argument", "x\"y", "*", "$HOME", ""};
    std::vector<std::string> argv = {script};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::string work = (dir / "folder with blanks").string();
    ASSERT_TRUE(p.Start(argv, work)) << p.Error();
    EXPECT_EQ(p.Wait(), 3);
    std::vector<std::string> want = args;
    want.push_back(fs::canonical(work).string());
    EXPECT_EQ(Lines(out), want);
    EXPECT_EQ(p.Wait(), -1);  // nothing runs any more

    ui::Process missing;
    const std::string nowhere = (dir / "no such dir" / "prog").string();
    EXPECT_FALSE(missing.Start({nowhere, "a"}));
    EXPECT_NE(missing.Error().find(nowhere), std::string::npos);
    EXPECT_FALSE(missing.Start({}));
}

TEST_F(ServicesTest, MissingLibraryNamesItsPath) {
    ui::Library lib;
    const std::string path = (dir / "lib folder" / "Parvane_DLL.so").string();
    EXPECT_FALSE(lib.Open(path));
    EXPECT_FALSE(lib.IsOpen());
    EXPECT_NE(lib.Error().find(path), std::string::npos);
    EXPECT_EQ(lib.Symbol("ITORVE"), nullptr);

    ui::Library math;
    ASSERT_TRUE(math.Open("libm.so.6")) << math.Error();
    auto cosine = reinterpret_cast<double (*)(double)>(math.Symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(math.Symbol("no_such_function"), nullptr);
    EXPECT_NE(math.Error().find("no_such_function"), std::string::npos);
    EXPECT_NE(math.Error().find("libm.so.6"), std::string::npos);
    math.Close();
    EXPECT_FALSE(math.IsOpen());
}

class TickWindow : public ui::Window {
public:
    TickWindow() : ui::Window(ui::WindowKind::Popup) {}
    void OnTimer(int id) override {
        ticks.push_back(id);
        if (id == 3) DestroyWindow();
    }
    std::vector<int> ticks;
};

TEST_F(ServicesTest, TimersRunOnTheVirtualClock) {
    TickWindow w;
    ASSERT_TRUE(w.CreatePopup({0, 0, 100, 50}, ui::style::Visible));
    w.SetTimer(1, 100);
    w.SetTimer(2, 1000);
    driver.Advance(250);
    EXPECT_EQ(w.ticks, (std::vector<int>{1, 1}));
    driver.Advance(800);
    ASSERT_EQ(w.ticks.size(), 11u);  // ten of timer 1, then timer 2 at 1000 (set later)
    EXPECT_EQ(w.ticks[9], 1);
    EXPECT_EQ(w.ticks[10], 2);
    // Sleeping moves the clock; the timers fire when the window pumps.
    w.ticks.clear();
    ui::Sleep(350);
    EXPECT_TRUE(w.ticks.empty());
    ui::PumpWindowMessages(w);
    EXPECT_EQ(w.ticks, (std::vector<int>{1}));  // a late timer fires once
    w.KillTimer(1);
    w.ticks.clear();
    driver.Advance(1000);
    EXPECT_EQ(w.ticks, (std::vector<int>{2}));
    // A timer that destroys its window ends every timer of it.
    w.SetTimer(3, 10);
    driver.Advance(2000);
    EXPECT_FALSE(w.IsWindow());
    EXPECT_FALSE(driver.TimerActive(w, 2));
    EXPECT_EQ(w.ticks.back(), 3);
}

TEST_F(ServicesTest, GlobalMarkerLastsForItsScope) {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_FALSE(ui::FindGlobalMarker("Brennix"));
    {
        ui::ScopedGlobalMarker marker("Brennix");
        EXPECT_TRUE(ui::FindGlobalMarker("Brennix"));
        EXPECT_EQ(fs::path(ui::GlobalMarkerPath("Brennix")).parent_path(), dir);
    }
    EXPECT_FALSE(ui::FindGlobalMarker("Brennix"));

    // A link planted at the marker's name is not followed: the file it
    // points at keeps its content.
    const fs::path victim = dir / "victim";
    std::ofstream(victim) << "keep\n";
    fs::create_symlink(victim, ui::GlobalMarkerPath("Brennix"));
    EXPECT_FALSE(ui::AddGlobalMarker("Brennix"));
    EXPECT_EQ(Lines(victim), (std::vector<std::string>{"keep"}));
    fs::remove(ui::GlobalMarkerPath("Brennix"));
    if (old)
        ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(ServicesTest, FileFiltersAndDefaultExtension) {
    auto f = ui::ParseFilter("Brennix Files (*.slb)|*.slb|");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"*.slb"}));
    f = ui::ParseFilter("Nonlinear Spring Files (*.txt|*.txt|All Files (*.*)|*.*||");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].name, "Nonlinear Spring Files (*.txt");
    EXPECT_EQ(f[1].patterns, (std::vector<std::string>{"*.*"}));
    f = ui::ParseFilter("Pictures|*.bmp; *.png|");
    EXPECT_EQ(f[0].patterns, (std::vector<std::string>{"*.bmp", "*.png"}));
    EXPECT_TRUE(ui::MatchesPattern("Model.SLB", "*.slb"));
    EXPECT_FALSE(ui::MatchesPattern("model.sin", "*.slb"));
    EXPECT_TRUE(ui::MatchesPattern("README", "*.*"));

    driver.ExpectFileDialog("/tmp/picture");
    driver.ExpectFileDialog("/tmp/picture.png");
    driver.ExpectFileDialog("/tmp/in.txt");
    ui::FileDialog save(false, "bmp", "", ui::ofn::HideReadOnly | ui::ofn::OverwritePrompt,
                        "Bitmap Files (*.bmp)|*.bmp|");
    ASSERT_EQ(save.DoModal(), ui::IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/picture.bmp");
    EXPECT_EQ(save.GetFileName(), "picture.bmp");
    ASSERT_EQ(save.DoModal(), ui::IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/picture.png");
    ui::FileDialog open(true, "txt");
    ASSERT_EQ(open.DoModal(), ui::IDOK);
    EXPECT_EQ(open.GetPathName(), "/tmp/in.txt");
    EXPECT_EQ(driver.FileDialogs()[0].request.defaultExt, "bmp");
}

TEST_F(ServicesTest, TextEditorCommandAndShellOpen) {
    EXPECT_EQ(ui::SplitCommandLine("\"/opt/my editor/ed\"  -n \"\" x"),
              (std::vector<std::string>{"/opt/my editor/ed", "-n", "", "x"}));
    ui::App app;
    EXPECT_EQ(ui::TextEditorCommand(), (std::vector<std::string>{"xdg-open"}));
    ui::OpenInTextEditor("/runs/model 1.sms");
    ui::SetTextEditorCommand("\"/opt/my editor/ed\" -n");
    ui::OpenInTextEditor("/runs/model 1.sou");
    ui::ShellOpen("/prog/Brennix_Help.chm");
    ASSERT_EQ(driver.Launched().size(), 3u);
    EXPECT_EQ(driver.Launched()[0], (std::vector<std::string>{"xdg-open", "/runs/model 1.sms"}));
    EXPECT_EQ(driver.Launched()[1], (std::vector<std::string>{"/opt/my editor/ed", "-n", "/runs/model 1.sou"}));
    EXPECT_EQ(driver.Launched()[2], (std::vector<std::string>{"xdg-open", "/prog/Brennix_Help.chm"}));

    // What a desktop back end does: the editor starts detached with the path as one argument.
    const std::string out = (dir / "editor.txt").string();
    const std::string editor = WriteScript(
        "my editor.sh", "printf '%s\\n' \"$@\" > \"" + out + ".tmp\"; mv \"" + out + ".tmp\" \"" + out + "\"\n");
    ui::SetTextEditorCommand("\"" + editor + "\" --wait");
    ASSERT_TRUE(ui::LaunchTextEditor("/runs/model 1.sms"));
    // The editor runs on its own: its file appears when it has run (a generous deadline for a loaded machine).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(out) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Lines(out), (std::vector<std::string>{"--wait", "/runs/model 1.sms"}));
}

TEST_F(ServicesTest, FoldersAndPaths) {
    const std::string prog = ui::ProgramFolder();
    ASSERT_FALSE(prog.empty());
    EXPECT_EQ(prog.back(), '/');
    EXPECT_TRUE(fs::exists(prog + "test_ui"));
    EXPECT_EQ(ui::DirectoryOfPath("/runs/a b/model.slb"), "/runs/a b/");
    EXPECT_EQ(ui::DirectoryOfPath("model.slb"), "");
    const std::string before = ui::CurrentDirectory();
    ASSERT_TRUE(ui::SetCurrentDirectory(dir.string()));
    EXPECT_EQ(fs::canonical(ui::CurrentDirectory()), fs::canonical(dir));
    EXPECT_FALSE(ui::SetCurrentDirectory((dir / "missing").string()));
    ASSERT_TRUE(ui::SetCurrentDirectory(before));
    EXPECT_TRUE(ui::FileExists(prog + "test_ui"));
    EXPECT_FALSE(ui::FileExists((dir / "missing").string()));
    EXPECT_FALSE(ui::LogonUserName().empty());
}

TEST_F(ServicesTest, TypedFileNamesKeepWhatWasTyped) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    struct Case {
        const char* folder;
        const char* typed;
        std::string path;
    };
    for (const Case& c : std::vector<Case>{{"/runs", "e", "/runs/e"},
                                           {"/runs/", "model.slb", "/runs/model.slb"},
                                           {"/runs", "sub/model.slb", "/runs/sub/model.slb"},
                                           {"/runs", "/tmp/x@y&z.slb", "/tmp/x@y&z.slb"},
                                           {"/runs", "  /tmp/a b.slb ", "/tmp/a b.slb"},
                                           {"/runs", "", ""},
                                           {"/runs", "   ", ""}}) {
        EXPECT_EQ(ui::ResolveTypedPath(c.folder, c.typed), c.path) << c.typed;
    }
    if (!home.empty()) {
        EXPECT_EQ(ui::ResolveTypedPath("/runs", "~/m.slb"), home + "/m.slb");
    }
    EXPECT_EQ(ui::ResolveTypedPath("", "m.slb"), ui::CurrentDirectory() + "/m.slb");
}

TEST_F(ServicesTest, MessageBoxCaptionIsTheApplicationName) {
    ui::App app;
    app.SetAppName("Brennix");
    ui::MessageBox("Done.");
    ui::MessageBox("Other", ui::Buttons::Ok, ui::Icon::Stop, "Own caption");
    ASSERT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, "Brennix");
    EXPECT_EQ(driver.MessageBoxes()[1].caption, "Own caption");
    EXPECT_EQ(driver.MessageBoxes()[1].icon, ui::Icon::Stop);
}

}  // namespace
