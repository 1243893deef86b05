// The application: start-up with and without a stored user name, the
// command line, one document at a time, toolbars and the command table, and
// the result commands that follow the document's results.
#include <gtest/gtest.h>

#include "KorbelTestSupport.h"
#include "app/AppDialogs.h"
#include "app/KorbelApp.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/MainFrame.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Services.h"

using namespace korbeltest;
using namespace korbel;

namespace {

class KorbelAppTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        settings = dir.File("settings");
        programFactories = InputDialogFactories();
        InputDialogFactories() = DocDialogFactories{};
    }
    // Later tests of the program see its own hooks again.
    void TearDown() override {
        InputDialogFactories() = programFactories;
        ui::HeadlessTest::TearDown();
    }
    DocDialogFactories programFactories;
    // A stored user name, so that start-up asks nothing.
    void StoreUserName(const std::string& name) {
        ui::Settings s(settings);
        s.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, name);
        ASSERT_TRUE(s.Save());
    }
    // Starts the application as the program does, with scratch settings.
    bool Start(CKorbelApp& app, std::vector<std::string> args = {}) {
        app.GetSettings().SetPath(settings);
        return app.Run(std::move(args)) == 0;
    }
    bool Init(CKorbelApp& app, std::vector<std::string> args = {}) {
        app.GetSettings().SetPath(settings);
        app.Run(std::move(args));  // the headless main loop returns at once
        return app.MainFrame() != nullptr;
    }
    Scratch dir;
    std::string settings;
};

TEST_F(KorbelAppTest, FirstStartAsksTheUserNameAndLaterStartsDoNot) {
    {
        CKorbelApp app;
        driver.ExpectModal(
            [](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), "User Information");
                EXPECT_TRUE(d.GetDlgItem(CUserDlg::IDC_HINT)->IsWindowVisible());
                EXPECT_EQ(d.GetDlgItemText(CUserDlg::IDC_USER_NAME), GetLogonUserName());
                d.UserType(CUserDlg::IDC_USER_NAME, "Ann Engineer");
                d.UserClick(ui::IDCANCEL);  // the typed name is kept all the same
            },
            CUserDlg::IDD);
        ASSERT_TRUE(Start(app));
        EXPECT_TRUE(app.UserNameMissing());
        EXPECT_EQ(app.UserName(), "Ann Engineer");
    }
    ui::Settings stored(settings);
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.GetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue), "Ann Engineer");

    CKorbelApp again;
    ASSERT_TRUE(Start(again));  // no dialog scripted: none may open
    EXPECT_FALSE(again.UserNameMissing());
    EXPECT_EQ(again.UserName(), "Ann Engineer");
}

TEST_F(KorbelAppTest, UserInformationShowsNoHint) {
    StoreUserName("Ann");
    CKorbelApp app;
    ASSERT_TRUE(Init(app));
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_FALSE(d.GetDlgItem(CUserDlg::IDC_HINT)->IsWindowVisible());
            EXPECT_EQ(d.GetDlgItemText(CUserDlg::IDC_USER_NAME), "Ann");
            d.UserType(CUserDlg::IDC_USER_NAME, "Bo");
            d.UserClick(ui::IDOK);
        },
        CUserDlg::IDD);
    EXPECT_TRUE(app.MainFrame()->ExecuteCommand(ID_HELP_USER_INFORMATION));
    EXPECT_EQ(app.UserName(), "Bo");
}

TEST_F(KorbelAppTest, PathOnTheCommandLineOrDroppedOpensIt) {
    StoreUserName("Ann");
    WriteAll(dir.File("a.slb"), OnePlate());
    WriteAll(dir.File("b.slb"), Strip(2));
    CKorbelApp app;
    ASSERT_TRUE(Init(app, {dir.File("a.slb")}));
    auto* first = app.FindOpenDocument();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetPathName(), dir.File("a.slb"));
    EXPECT_EQ(first->GetModelData()->GetElementCount(), 1);

    // Opening a second model closes the first: one document at a time.
    app.UserDropFiles({dir.File("b.slb")});
    auto* second = app.FindOpenDocument();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->GetModelData()->GetElementCount(), 2);
    EXPECT_EQ(app.MainFrame()->GetActiveDocument(), second);
    app.ExitInstance();
}

TEST_F(KorbelAppTest, UnreadableModelOnTheCommandLineEndsStartUp) {
    StoreUserName("Ann");
    WriteAll(dir.File("bad.slb"), "V4.1\nNODE_DATA\n*\t1\t0\n");
    CKorbelApp app;
    app.GetSettings().SetPath(settings);
    EXPECT_NE(app.Run({dir.File("bad.slb")}), 0);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    // The stored name was never read: it stays.
    ui::Settings stored(settings);
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.GetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue), "Ann");
}

TEST_F(KorbelAppTest, CancelledSaveQuestionKeepsTheModifiedModel) {
    StoreUserName("Ann");
    int slabTypeRuns = 0;
    InputDialogFactories().slabType = [&](const DocDialogRequest&) { return ++slabTypeRuns, ui::IDCANCEL; };
    CKorbelApp app;
    ASSERT_TRUE(Init(app));
    CKorbelDoc* doc = app.FindOpenDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag(true);

    driver.ExpectMessageBox(ui::IDCANCEL, "Save changes");
    app.MainFrame()->ExecuteCommand(ui::cmd::FileNew);
    EXPECT_EQ(app.FindOpenDocument(), doc);
    EXPECT_TRUE(doc->IsModified());

    // New from template on the same question: the template is not put into
    // the old model.
    driver.ExpectMessageBox(ui::IDCANCEL, "Save changes");
    app.MainFrame()->ExecuteCommand(ID_FILE_NEW_FROM_TEMPLATE);
    EXPECT_EQ(app.FindOpenDocument(), doc);
    EXPECT_EQ(slabTypeRuns, 0);

    driver.ExpectMessageBox(ui::IDNO, "Save changes");
    app.MainFrame()->ExecuteCommand(ID_FILE_NEW_FROM_TEMPLATE);
    EXPECT_NE(app.FindOpenDocument(), doc);
    EXPECT_EQ(slabTypeRuns, 1);
    app.ExitInstance();
}

TEST_F(KorbelAppTest, ToolbarsTogglesAndTheCommandTable) {
    StoreUserName("Ann");
    CKorbelApp app;
    ASSERT_TRUE(Init(app));
    ui::Frame& frame = *app.MainFrame();
    EXPECT_TRUE(frame.GetStyle() & ui::style::Maximized);
    ASSERT_EQ(frame.ToolBarCount(), 5);
    const std::size_t counts[] = {11, 11, 3, 10, 5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(frame.GetToolBar(i)->buttons.size(), counts[i]) << i;
        EXPECT_EQ(frame.GetToolBar(i)->images.width, 32 * static_cast<int>(counts[i])) << i;
        for (int id : frame.GetToolBar(i)->buttons) EXPECT_NE(ui::FindCommand(id), nullptr) << id;
    }
    EXPECT_EQ(frame.GetStatusBar().indicators, (std::vector<std::string>{"CAP", "NUM", "SCRL"}));

    // View > Results Toolbar twice restores the bar, ticked while shown.
    EXPECT_TRUE(frame.UpdateCommand(ID_VIEW_RESULTS_TOOLBAR).Checked());
    frame.ExecuteCommand(ID_VIEW_RESULTS_TOOLBAR);
    EXPECT_FALSE(frame.IsToolBarVisible(CMainFrame::ResultsBar));
    EXPECT_FALSE(frame.UpdateCommand(ID_VIEW_RESULTS_TOOLBAR).Checked());
    frame.ExecuteCommand(ID_VIEW_RESULTS_TOOLBAR);
    EXPECT_TRUE(frame.IsToolBarVisible(CMainFrame::ResultsBar));
    EXPECT_TRUE(frame.UpdateCommand(ID_VIEW_RESULTS_TOOLBAR).Checked());

    // Every menu item has its texts.
    std::vector<const ui::MenuItem*> stack{&frame.GetMenuBar()};
    int items = 0;
    while (!stack.empty()) {
        const ui::MenuItem* m = stack.back();
        stack.pop_back();
        for (const ui::MenuItem& item : m->items) {
            if (item.type == ui::MenuItem::Type::Popup) stack.push_back(&item);
            if (item.type != ui::MenuItem::Type::Command ||
                (item.id >= ui::cmd::FileMruFirst && item.id <= ui::cmd::FileMruLast))
                continue;
            ++items;
            const ui::CommandInfo* info = ui::FindCommand(item.id);
            ASSERT_NE(info, nullptr) << item.id;
            EXPECT_FALSE(item.text.empty()) << item.id;
            EXPECT_NE(info->prompt.find('\n'), std::string::npos) << item.id;
        }
    }
    EXPECT_GE(items, 95);  // the items of both command tables
    EXPECT_EQ(ui::FindCommand(ID_RUN_ANALYSIS)->prompt, "Perform Analysis\nRun Analysis");
    app.ExitInstance();
}

TEST_F(KorbelAppTest, ResultCommandsFollowTheDocumentsResults) {
    StoreUserName("Ann");
    WriteAll(dir.File("m.slb"), OnePlate());
    CKorbelApp app;
    ASSERT_TRUE(Init(app, {dir.File("m.slb")}));
    ui::Frame& frame = *app.MainFrame();
    for (int id : kResultCommands) EXPECT_FALSE(frame.UpdateCommand(id).Enabled()) << id;
    EXPECT_TRUE(frame.UpdateCommand(ID_RUN_ANALYSIS).Enabled());
    EXPECT_FALSE(frame.UpdateCommand(ui::cmd::FileSave).Enabled());
    EXPECT_TRUE(frame.UpdateCommand(ui::cmd::FileSaveAs).Enabled());

    WriteAll(dir.File("m.sds"), OneStep());
    app.OpenDocumentFile(dir.File("m.slb"));
    // With results every result command is enabled; the X-Y plot also needs
    // its dialog, whose hook this test leaves empty.
    for (int id : kResultCommands) EXPECT_EQ(frame.UpdateCommand(id).Enabled(), id != ID_XY_PLOT) << id;
    app.FindOpenDocument()->SetModifiedFlag(true);
    EXPECT_TRUE(frame.UpdateCommand(ui::cmd::FileSave).Enabled());
    app.FindOpenDocument()->SetModifiedFlag(false);
    app.ExitInstance();
}

TEST_F(KorbelAppTest, AboutBoxOpensTheMakersAddresses) {
    StoreUserName("Ann");
    CKorbelApp app;
    ASSERT_TRUE(Init(app));
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "About Brennix");
            EXPECT_EQ(d.GetDlgItem(CAboutDlg::IDC_PRODUCT)->GetFont()->weight, 700);
            EXPECT_EQ(d.GetDlgItem(CAboutDlg::IDC_WEB)->TextColor(), ui::Rgb(0, 0, 255));
            d.UserClick(CAboutDlg::IDC_WEB);
            d.UserClick(ui::IDOK);
        },
        CAboutDlg::IDD);
    app.MainFrame()->ExecuteCommand(ui::cmd::AppAbout);
    ASSERT_FALSE(driver.Launched().empty());
    EXPECT_EQ(driver.Launched().back().back(), CAboutDlg::kWebPage);
    app.ExitInstance();
}

}  // namespace
