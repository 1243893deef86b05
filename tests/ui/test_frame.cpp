// Commands routed along view, document, frame and application; the update
// pass of menus and toolbars; the document's save flow and the recent files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/App.h"
#include "platform/ui/HeadlessTest.h"

namespace {

namespace fs = std::filesystem;

constexpr int kViewCmd = 32001;
constexpr int kDocCmd = 32002;
constexpr int kFrameCmd = 32003;
constexpr int kAppCmd = 32004;
constexpr int kNobody = 32005;
constexpr int kShared = 32006;

std::vector<std::string>* g_calls = nullptr;

void Called(const std::string& who) {
    if (g_calls) g_calls->push_back(who);
}

class TestDoc : public ui::Document {
public:
    TestDoc() {
        OnCommand(kDocCmd, [] { Called("doc"); });
        OnCommand(kShared, [] { Called("doc shared"); });
        OnUpdateUI(kDocCmd, [this](ui::CmdUI& ui) {
            ui.SetCheck(checked);
            ui.SetText("&Document item");
        });
    }
    bool OnOpenDocument(const std::string& path) override {
        if (!ui::Document::OnOpenDocument(path)) return false;
        Called("open " + fs::path(path).filename().string());
        return true;
    }
    bool OnSaveDocument(const std::string& path) override {
        if (!ui::Document::OnSaveDocument(path)) return false;
        std::ofstream(path) << "saved\n";
        Called("save " + fs::path(path).filename().string());
        return true;
    }
    void OnCloseDocument() override {
        Called("close");
        ui::Document::OnCloseDocument();
    }
    bool checked = false;
};

class TestView : public ui::View {
public:
    TestView() {
        OnCommand(kViewCmd, [] { Called("view"); });
        OnCommand(kShared, [] { Called("view shared"); });
        OnUpdateUI(kViewCmd, [this](ui::CmdUI& ui) { ui.Enable(viewEnabled); });
    }
    void OnLButtonDown(int flags, ui::Point p) override {
        Called("down " + std::to_string(flags) + " " + std::to_string(p.x));
    }
    void OnLButtonUp(int flags, ui::Point p) override {
        Called("up " + std::to_string(flags) + " " + std::to_string(p.y));
    }
    void OnLButtonDblClk(int, ui::Point) override { Called("dbl"); }
    void OnRButtonDown(int flags, ui::Point p) override {
        Called("rdown " + std::to_string(flags) + " " + std::to_string(p.x));
    }
    void OnRButtonUp(int flags, ui::Point) override { Called("rup " + std::to_string(flags)); }
    void OnRButtonDblClk(int flags, ui::Point) override { Called("rdbl " + std::to_string(flags)); }
    void OnMouseMove(int flags, ui::Point) override { Called("move " + std::to_string(flags)); }
    void OnSize(int cx, int cy) override {
        if (recordSize) Called("size " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    bool recordSize = false;
    void OnKeyDown(int key, int, int) override { Called("key " + std::to_string(key)); }
    bool viewEnabled = true;
};

class TestFrame : public ui::Frame {
public:
    TestFrame() {
        OnCommand(kFrameCmd, [] { Called("frame"); });
    }
    int OnCreate() override {
        for (int i = 0; i < 5; ++i) {
            ui::ToolBar bar;
            bar.id = 100 + i;
            bar.name = "bar" + std::to_string(i);
            bar.buttons = {kViewCmd, 0, kDocCmd, kNobody};
            if (AddToolBar(bar) < 0) return -1;
        }
        return CreateStatusBar({"", "CAP", "NUM", "SCRL"}) ? 0 : -1;
    }
};

class TestApp : public ui::App {
public:
    TestApp() {
        SetAppName("Brennix");
        OnCommand(kAppCmd, [] { Called("app"); });
        OnCommand(kShared, [] { Called("app shared"); });
        ui::DocumentType t =
            ui::DocumentType::Parse("\nBrnx\nBrnx\nBrennix Files (*.slb)\n.slb\nBrennix.Document\nBrennix Document");
        t.createDocument = [] { return std::make_unique<TestDoc>(); };
        t.createView = [] { return std::make_unique<TestView>(); };
        SetDocumentType(std::move(t));
    }
    bool InitInstance() override {
        auto frame = std::make_unique<TestFrame>();
        if (!frame->LoadFrame("Brennix 2025.4.1")) return false;
        ui::MenuItem bar;
        ui::MenuItem& file = bar.AddPopup("&File");
        file.AddCommand(ui::cmd::FileNew, "&New\tCtrl+N");
        file.AddCommand(ui::cmd::FileSave, "&Save\tCtrl+S");
        file.AddSeparator();
        file.AddCommand(ui::cmd::FileMruFirst, "Recent File");
        ui::MenuItem& edit = bar.AddPopup("&Edit");
        edit.AddCommand(kViewCmd, "&View item\tF5");
        edit.AddCommand(kDocCmd, "&Doc item");
        edit.AddCommand(kFrameCmd, "&Frame item");
        edit.AddCommand(kAppCmd, "&App item");
        edit.AddCommand(kNobody, "&Nobody");
        edit.AddPopup("&More").AddCommand(ui::cmd::ViewToolBar, "&Toolbar");
        frame->SetMenuBar(bar);
        SetMainFrame(std::move(frame));
        return true;
    }
};

class FrameTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        g_calls = &calls;
        dir = fs::path(::testing::TempDir()) / ("frame_" + std::to_string(::getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        app.GetSettings().SetPath((dir / "settings").string());
        app.LoadStdProfileSettings(4);
        ASSERT_TRUE(app.InitInstance());
        frame = app.MainFrame();
        frame->ShowWindow(true);
    }
    void TearDown() override {
        g_calls = nullptr;
        ui::HeadlessTest::TearDown();
    }
    std::string MakeFile(const std::string& name) {
        const fs::path p = dir / name;
        std::ofstream(p) << "model\n";
        return p.string();
    }
    TestDoc* Doc() { return static_cast<TestDoc*>(app.GetDocument()); }

    std::vector<std::string> calls;
    fs::path dir;
    TestApp app;
    ui::Frame* frame = nullptr;
};

TEST_F(FrameTest, CommandsRouteAlongViewDocumentFrameApplication) {
    app.OnFileNew();
    ASSERT_NE(Doc(), nullptr);
    calls.clear();
    for (int id : {kViewCmd, kDocCmd, kFrameCmd, kAppCmd, kShared}) EXPECT_TRUE(frame->ExecuteCommand(id)) << id;
    EXPECT_FALSE(frame->ExecuteCommand(kNobody));
    EXPECT_EQ(calls, (std::vector<std::string>{"view", "doc", "frame", "app", "view shared"}));

    // Without a document only frame and application are on the route.
    app.CloseAllDocuments();
    calls.clear();
    EXPECT_FALSE(frame->ExecuteCommand(kViewCmd));
    EXPECT_TRUE(frame->ExecuteCommand(kShared));
    EXPECT_EQ(calls, (std::vector<std::string>{"app shared"}));
}

TEST_F(FrameTest, UpdatePassEnablesChecksAndRenamesBeforeAMenuOpens) {
    app.OnFileNew();
    auto* view = static_cast<TestView*>(frame->GetActiveView());
    view->viewEnabled = false;
    Doc()->checked = true;
    ASSERT_TRUE(frame->UserOpenMenu(1));
    ui::MenuItem& edit = frame->GetMenuBar().items[1];
    struct Want {
        int id;
        bool enabled;
        bool checked;
        const char* text;
    };
    const Want wants[] = {{kViewCmd, false, false, "&View item\tF5"}, {kDocCmd, true, true, "&Document item"},
                          {kFrameCmd, true, false, "&Frame item"},    {kAppCmd, true, false, "&App item"},
                          {kNobody, false, false, "&Nobody"},         {ui::cmd::ViewToolBar, true, true, "&Toolbar"}};
    for (const Want& w : wants) {
        SCOPED_TRACE(w.id);
        ui::MenuItem* m = edit.Find(w.id);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->enabled, w.enabled);
        EXPECT_EQ(m->checked, w.checked);
        EXPECT_EQ(m->text, w.text);
    }
    calls.clear();
    EXPECT_FALSE(frame->UserChooseMenuItem(kViewCmd));  // disabled: no handler runs
    EXPECT_FALSE(frame->UserAccelerator("F5"));
    view->viewEnabled = true;
    EXPECT_TRUE(frame->UserAccelerator("f5"));
    EXPECT_TRUE(frame->UserChooseMenuItem(kDocCmd));
    EXPECT_EQ(calls, (std::vector<std::string>{"view", "doc"}));
}

TEST_F(FrameTest, ToolbarsUpdateOnIdleAndToggle) {
    EXPECT_EQ(frame->ToolBarCount(), 5);
    EXPECT_EQ(frame->AddToolBar(ui::ToolBar{}), -1);
    app.OnFileNew();
    auto* view = static_cast<TestView*>(frame->GetActiveView());
    view->viewEnabled = false;
    app.OnIdle();
    const ui::ToolBar* bar = frame->GetToolBar(2);
    EXPECT_FALSE(bar->state[0].Enabled());
    EXPECT_TRUE(bar->state[2].Enabled());
    EXPECT_TRUE(bar->state[2].Checked() == false);
    EXPECT_FALSE(bar->state[3].Enabled());
    calls.clear();
    EXPECT_FALSE(frame->UserClickToolButton(kViewCmd));
    EXPECT_TRUE(frame->UserClickToolButton(kDocCmd));
    EXPECT_EQ(calls, (std::vector<std::string>{"doc"}));

    const ui::Rect withBars = frame->ViewRect();
    EXPECT_EQ(withBars.y, ui::kToolBarRowHeight);
    for (int i = 0; i < 5; ++i) frame->ShowToolBar(i, false);
    EXPECT_EQ(frame->ViewRect().y, 0);
    EXPECT_EQ(frame->GetActiveView()->GetWindowRect(), frame->ViewRect());
    // The standard toggle works on the first toolbar; twice restores it.
    frame->ExecuteCommand(ui::cmd::ViewToolBar);
    EXPECT_TRUE(frame->IsToolBarVisible(0));
    EXPECT_TRUE(frame->UpdateCommand(ui::cmd::ViewToolBar).Checked());
    frame->ExecuteCommand(ui::cmd::ViewToolBar);
    EXPECT_FALSE(frame->IsToolBarVisible(0));
    EXPECT_FALSE(frame->UpdateCommand(ui::cmd::ViewToolBar).Checked());
}

TEST_F(FrameTest, StatusBarShowsPromptsAndLockKeys) {
    ui::RegisterCommand({kDocCmd, "&Doc item", "Does the document thing\nDoc Thing"});
    EXPECT_EQ(frame->GetStatusBar().message, "Ready");
    frame->UserHover(kDocCmd);
    EXPECT_EQ(frame->GetStatusBar().message, "Does the document thing");
    EXPECT_EQ(ui::TooltipOf(ui::FindCommand(kDocCmd)->prompt), "Doc Thing");
    frame->UserHoverEnd();
    EXPECT_EQ(frame->GetStatusBar().message, "Ready");
    driver.SetKeyLock(ui::key::NumLock, true);
    app.OnIdle();
    EXPECT_EQ(frame->GetStatusBar().lit, (std::vector<bool>{false, false, true, false}));
}

TEST_F(FrameTest, MenuTextPieces) {
    struct Case {
        const char* text;
        char access;
        const char* accel;
        const char* label;
    };
    const Case cases[] = {{"&Save\tCtrl+S", 'S', "Ctrl+S", "&Save"},
                          {"Save &As...", 'A', "", "Save &As..."},
                          {"R&&D &Notes", 'N', "", "R&&D &Notes"},
                          {"Plain", 0, "", "Plain"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ui::AccessKeyOf(c.text), c.access) << c.text;
        EXPECT_EQ(ui::AcceleratorOf(c.text), c.accel) << c.text;
        EXPECT_EQ(ui::MenuLabelOf(c.text), c.label) << c.text;
    }
    EXPECT_EQ(ui::StatusTextOf("Create a new document\nNew"), "Create a new document");
    EXPECT_EQ(ui::StatusTextOf("No tooltip"), "No tooltip");
}

TEST_F(FrameTest, TitleFollowsTheDocument) {
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1");
    app.OnFileNew();
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1 - Brnx1");
    const std::string path = MakeFile("plate.slb");
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1 - plate.slb");
    EXPECT_EQ(Doc()->GetPathName(), fs::path(path).lexically_normal().string());
    app.CloseAllDocuments();
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1");
    EXPECT_EQ(frame->GetActiveView(), nullptr);
}

TEST_F(FrameTest, SaveAsAsksForANameAndAddsTheExtension) {
    app.OnFileNew();
    Doc()->SetModifiedFlag();
    driver.ExpectFileDialog(std::nullopt);
    EXPECT_FALSE(frame->ExecuteCommand(ui::cmd::FileSave) && !Doc()->GetPathName().empty());
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_TRUE(Doc()->GetPathName().empty());

    const std::string chosen = (dir / "first model").string();
    driver.ExpectFileDialog(chosen);
    calls.clear();
    frame->ExecuteCommand(ui::cmd::FileSave);
    EXPECT_EQ(calls, (std::vector<std::string>{"save first model.slb"}));
    EXPECT_EQ(Doc()->GetPathName(), chosen + ".slb");
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1 - first model.slb");
    const auto& req = driver.FileDialogs().back().request;
    EXPECT_FALSE(req.open);
    EXPECT_EQ(req.fileName, "Brnx1.slb");
    ASSERT_EQ(req.filters.size(), 1u);
    EXPECT_EQ(req.filters[0].name, "Brennix Files (*.slb)");
    EXPECT_EQ(req.filters[0].patterns, (std::vector<std::string>{"*.slb"}));
    EXPECT_NE(req.flags & ui::ofn::OverwritePrompt, 0u);

    // A named document saves without a dialog.
    Doc()->SetModifiedFlag();
    calls.clear();
    frame->ExecuteCommand(ui::cmd::FileSave);
    EXPECT_EQ(calls, (std::vector<std::string>{"save first model.slb"}));
    EXPECT_EQ(app.RecentFiles().At(0), chosen + ".slb");
}

TEST_F(FrameTest, SaveOrDiscardQuestionGuardsTheOpenDocument) {
    app.OnFileNew();
    TestDoc* first = Doc();
    first->SetModifiedFlag();
    driver.ExpectMessageBox(ui::IDCANCEL, "Save changes to Brnx1?");
    app.OnFileNew();
    EXPECT_EQ(Doc(), first);
    EXPECT_EQ(driver.MessageBoxes().back().icon, ui::Icon::Question);
    EXPECT_EQ(driver.MessageBoxes().back().buttons, ui::Buttons::YesNoCancel);

    driver.ExpectMessageBox(ui::IDNO);
    calls.clear();
    app.OnFileNew();
    EXPECT_EQ(calls, (std::vector<std::string>{"close"}));
    EXPECT_EQ(frame->GetWindowText(), "Brennix 2025.4.1 - Brnx2");
    EXPECT_FALSE(Doc()->IsModified());

    // Yes saves first (through Save As here), then the file opens.
    Doc()->SetModifiedFlag();
    const std::string other = MakeFile("other.slb");
    driver.ExpectMessageBox(ui::IDYES);
    driver.ExpectFileDialog((dir / "kept.slb").string());
    calls.clear();
    ASSERT_NE(app.OpenDocumentFile(other), nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"save kept.slb", "close", "open other.slb"}));

    // Yes with a cancelled Save As keeps the unnamed document open.
    app.CloseAllDocuments();
    app.OnFileNew();
    Doc()->SetModifiedFlag();
    TestDoc* kept = Doc();
    driver.ExpectMessageBox(ui::IDYES);
    driver.ExpectFileDialog(std::nullopt);
    EXPECT_EQ(app.OpenDocumentFile(MakeFile("third.slb")), kept);
    EXPECT_EQ(Doc(), kept);
    EXPECT_TRUE(kept->IsModified());
}

TEST_F(FrameTest, RecentFileListKeepsFourNewestFirst) {
    std::vector<std::string> paths;
    for (int i = 1; i <= 5; ++i) {
        paths.push_back(MakeFile("m" + std::to_string(i) + ".slb"));
        ASSERT_NE(app.OpenDocumentFile(paths.back()), nullptr);
    }
    ASSERT_EQ(app.RecentFiles().Count(), 4);
    EXPECT_EQ(app.RecentFiles().Files(), (std::vector<std::string>{paths[4], paths[3], paths[2], paths[1]}));
    // Reopening moves a file to the front without duplicating it.
    ASSERT_NE(app.OpenDocumentFile(paths[2]), nullptr);
    EXPECT_EQ(app.RecentFiles().Files(), (std::vector<std::string>{paths[2], paths[4], paths[3], paths[1]}));

    // The File menu lists them; choosing one opens it.
    ASSERT_TRUE(frame->UserOpenMenu(0));
    const ui::MenuItem& file = frame->GetMenuBar().items[0];
    std::vector<std::string> texts;
    for (const ui::MenuItem& m : file.items)
        if (m.id >= ui::cmd::FileMruFirst && m.id <= ui::cmd::FileMruLast) {
            texts.push_back(m.text);
            EXPECT_TRUE(m.enabled);
        }
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "&1 " + paths[2]);
    EXPECT_EQ(texts[3], "&4 " + paths[1]);
    calls.clear();
    EXPECT_TRUE(frame->UserChooseMenuItem(ui::cmd::FileMruFirst + 3));
    EXPECT_EQ(calls, (std::vector<std::string>{"close", "open m2.slb"}));
    EXPECT_EQ(app.RecentFiles().At(0), paths[1]);

    // A recent file that no longer opens leaves the list.
    fs::remove(paths[4]);
    const int index = 2;
    ASSERT_EQ(app.RecentFiles().At(index), paths[4]);
    frame->UserChooseMenuItem(ui::cmd::FileMruFirst + index);
    ASSERT_FALSE(driver.MessageBoxes().empty());
    EXPECT_NE(driver.MessageBoxes().back().text.find(paths[4]), std::string::npos);
    EXPECT_EQ(app.RecentFiles().Count(), 3);
    for (const std::string& p : app.RecentFiles().Files()) EXPECT_NE(p, paths[4]);

    // The list survives in the settings store.
    ASSERT_TRUE(app.SaveSettings());
    ui::Settings reread((dir / "settings").string());
    ASSERT_TRUE(reread.Load());
    ui::RecentFileList again(4);
    again.Load(reread);
    EXPECT_EQ(again.Files(), app.RecentFiles().Files());
}

TEST_F(FrameTest, ViewReceivesMouseKeysAndSize) {
    app.OnFileNew();
    auto* view = static_cast<TestView*>(frame->GetActiveView());
    view->recordSize = true;
    calls.clear();
    view->UserMouseDown(ui::MouseButton::Left, 10, 20, ui::mod::Shift);
    view->UserMouseMove(11, 21);
    view->UserMouseUp(ui::MouseButton::Left, 12, 22);
    view->UserMouseMove(13, 23);
    view->UserDoubleClick(ui::MouseButton::Left, 12, 22);
    view->UserKeyDown(ui::key::Delete);
    frame->UserResize(800, 600);
    const int both = ui::mod::Shift | ui::mod::LeftButton;
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "down " + std::to_string(both) + " 10", "move " + std::to_string(ui::mod::LeftButton),
                         "up 0 22", "move 0", "dbl", "key 46",
                         "size 800x" + std::to_string(600 - ui::kToolBarRowHeight - ui::kStatusBarHeight)}));
    // The other buttons: the flags name every button held after the change;
    // the middle button only counts in the flags.
    view->UserMouseUp(ui::MouseButton::Left, 12, 22);  // the end of the double click
    calls.clear();
    view->UserMouseDown(ui::MouseButton::Middle, 1, 1);
    view->UserMouseDown(ui::MouseButton::Right, 5, 6, ui::mod::Control);
    view->UserMouseUp(ui::MouseButton::Middle, 1, 1);
    view->UserMouseUp(ui::MouseButton::Right, 5, 6);
    view->UserDoubleClick(ui::MouseButton::Right, 5, 6);
    view->UserMouseUp(ui::MouseButton::Right, 5, 6);
    const int right = ui::mod::RightButton;
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "rdown " + std::to_string(ui::mod::Control | right | ui::mod::MiddleButton) + " 5", "rup 0",
                         "rdbl " + std::to_string(right), "rup 0"}));
    view->UserResize(300, 200);
    EXPECT_EQ(view->GetClientSize(), (ui::Size{300, 200}));
    view->Invalidate();
    EXPECT_TRUE(view->NeedsPaint());
    view->UpdateWindow();
    EXPECT_FALSE(view->NeedsPaint());
    EXPECT_EQ(driver.PaintCount(*view), 1);
    {
        ui::WaitCursor wait;
        EXPECT_EQ(driver.WaitCursorDepth(), 1);
    }
    EXPECT_EQ(driver.WaitCursorDepth(), 0);
}

TEST(DocumentView, EitherMayGoFirst) {
    ui::Headless driver;
    driver.Install();
    auto view = std::make_unique<ui::View>();
    {
        ui::Document doc;
        view->SetDocument(&doc);
        EXPECT_EQ(doc.Views().size(), 1u);
    }
    EXPECT_EQ(view->GetDocument(), nullptr);
    ui::Document doc;
    view->SetDocument(&doc);
    view.reset();
    EXPECT_TRUE(doc.Views().empty());
}

TEST_F(FrameTest, CommandLineAndExit) {
    EXPECT_TRUE(app.ProcessShellCommand({}));
    EXPECT_NE(Doc(), nullptr);
    EXPECT_FALSE(app.ProcessShellCommand({(dir / "missing.slb").string()}));
    EXPECT_EQ(Doc(), nullptr);
    EXPECT_TRUE(app.ProcessShellCommand({MakeFile("given.slb")}));
    Doc()->SetModifiedFlag();
    driver.ExpectMessageBox(ui::IDCANCEL);
    frame->UserClose();
    EXPECT_FALSE(app.QuitRequested());
    driver.ExpectMessageBox(ui::IDNO);
    EXPECT_TRUE(frame->ExecuteCommand(ui::cmd::AppExit));
    EXPECT_TRUE(app.QuitRequested());
    EXPECT_EQ(Doc(), nullptr);
}

}  // namespace

namespace {

// A frame with the program's five bars: 11, 11, 3, 10 and 5 buttons.
class FiveBarFrame : public ui::Frame {
public:
    int OnCreate() override {
        for (int count : {11, 11, 3, 10, 5}) {
            ui::ToolBar bar;
            for (int i = 0; i < count; ++i) bar.buttons.push_back(33000 + 100 * ToolBarCount() + i);
            if (ToolBarCount() == 0) bar.buttons.insert(bar.buttons.begin() + 3, 0);  // a gap inside a bar
            bar.state.assign(bar.buttons.size(), ui::CmdUI(0));
            if (AddToolBar(bar) < 0) return -1;
        }
        return 0;
    }
};

class ToolBarLayoutTest : public ui::HeadlessTest {};

}  // namespace

TEST_F(ToolBarLayoutTest, EveryButtonReachableAndTheViewBelowTheRows) {
    FiveBarFrame frame;
    ASSERT_TRUE(frame.LoadFrame("Brennix"));
    struct Case {
        int width;
        int rows;
    };
    // One row of 1354 px does not fit 1280: bars move down whole; narrower
    // than a bar, a bar wraps between its buttons.
    for (const Case& c : std::vector<Case>{{1400, 1}, {1280, 2}, {1024, 2}, {900, 2}, {520, 3}, {300, 6}}) {
        SCOPED_TRACE(c.width);
        frame.MoveWindow({0, 0, c.width, 700});
        const ui::ToolBarLayout layout = frame.LayoutToolBars(c.width);
        EXPECT_EQ(layout.rows, c.rows);
        ASSERT_EQ(layout.buttons.size(), 40u);
        for (size_t i = 0; i < layout.buttons.size(); ++i) {
            const ui::ToolButtonPlace& b = layout.buttons[i];
            EXPECT_GE(b.rect.x, 0);
            EXPECT_LE(b.rect.x + b.rect.w, c.width) << "button " << i;
            EXPECT_LT(b.rect.y + b.rect.h, layout.Height());
            EXPECT_EQ(b.id, frame.GetToolBar(b.bar)->buttons[static_cast<size_t>(b.button)]);
            // In order: left to right within a row, rows top to bottom.
            if (i > 0) {
                const ui::Rect& prev = layout.buttons[i - 1].rect;
                EXPECT_TRUE(b.rect.y > prev.y || (b.rect.y == prev.y && b.rect.x >= prev.x + prev.w)) << "button " << i;
            }
        }
        // Pictures are counted per bar, separators left out.
        EXPECT_EQ(layout.buttons[3].image, 3);
        EXPECT_EQ(layout.buttons[11].image, 0);
        const ui::Rect view = frame.ViewRect();
        EXPECT_EQ(view.y, c.rows * ui::kToolBarRowHeight);
        EXPECT_EQ(view.h, 700 - view.y);
    }
    // Hidden bars take no place; no visible bar, no row.
    frame.ShowToolBar(0, false);
    frame.ShowToolBar(1, false);
    EXPECT_EQ(frame.LayoutToolBars(1024).rows, 1);
    EXPECT_EQ(frame.LayoutToolBars(1024).buttons.size(), 18u);
    for (int i = 2; i < 5; ++i) frame.ShowToolBar(i, false);
    EXPECT_EQ(frame.ViewRect().y, 0);
}
