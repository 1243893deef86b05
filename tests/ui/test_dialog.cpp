// The demo dialog: two edits, a check box, a default OK, a list box and a
// scroll bar, driven as a user would through the headless driver.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Services.h"

namespace {

constexpr int kDemo = 500;
constexpr int kCount = 1001;
constexpr int kFactor = 1002;
constexpr int kFlag = 1003;
constexpr int kList = 1004;
constexpr int kBar = 1005;
constexpr int kMore = 1006;

ui::DialogTemplate DemoTemplate() {
    ui::DialogTemplate t;
    t.caption = "Demo";
    t.rect = {10, 10, 200, 120};
    t.EditBox(kCount, {10, 10, 60, 12})
        .EditBox(kFactor, {10, 26, 60, 12})
        .CheckBox(kFlag, "Flag", {10, 42, 60, 10})
        .DefPushButton(ui::IDOK, "OK", {140, 10, 50, 14})
        .PushButton(ui::IDCANCEL, "Cancel", {140, 28, 50, 14})
        .List(kList, {10, 56, 80, 40})
        .VScrollBar(kBar, {95, 56, 10, 40})
        .PushButton(kMore, "More", {140, 46, 50, 14})
        .Label(ui::IDSTATIC, "Count", {75, 10, 40, 10});
    return t;
}

class DemoDialog : public ui::Dialog {
public:
    DemoDialog() : ui::Dialog(kDemo) {
        OnNotifyRange(ui::Notify::SetFocus, 1, 2000,
                      [this](ui::Notification& n) { events.push_back("set " + std::to_string(n.id)); });
        OnNotifyRange(ui::Notify::KillFocus, 1, 2000,
                      [this](ui::Notification& n) { events.push_back("kill " + std::to_string(n.id)); });
        OnNotify(ui::Notify::Clicked, kFlag, [this] { events.push_back("clicked " + std::to_string(kFlag)); });
        OnNotify(ui::Notify::Change, kCount, [this] { events.push_back("change " + std::to_string(kCount)); });
        OnNotify(ui::Notify::Clicked, kMore, [this] {
            DemoDialog inner;
            innerResult = inner.DoModal();
            innerCount = inner.count;
        });
    }
    bool OnInitDialog() override {
        Get<ui::ListBox>(kList)->AddString("first");
        Get<ui::ListBox>(kList)->AddString("second");
        Get<ui::ScrollBar>(kBar)->SetScrollRange(0, 10);
        return ui::Dialog::OnInitDialog();
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.Text(kCount, count);
        dx.Text(kFactor, factor);
        dx.Check(kFlag, flag);
        dx.ListIndex(kList, pick);
    }
    void OnOK() override {
        ++okCalls;
        ui::Dialog::OnOK();
    }
    void OnVScroll(int code, int pos, ui::ScrollBar* bar) override {
        scrolls.push_back({code, pos});
        scrollBar = bar;
    }

    int count = 3;
    double factor = 1.5;
    int flag = 0;
    int pick = -1;
    int okCalls = 0;
    int innerResult = 0;
    int innerCount = 0;
    std::vector<std::string> events;
    std::vector<std::pair<int, int>> scrolls;
    ui::ScrollBar* scrollBar = nullptr;
};

class DialogTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ui::RegisterDialogTemplate(kDemo, DemoTemplate);
    }
    // A modeless demo dialog, open and shown, for direct driving.
    void Open(DemoDialog& d) {
        ASSERT_TRUE(d.Create());
        d.ShowWindow(true);
    }
};

TEST_F(DialogTest, TypedIntegerReachesTheMemberOnOk) {
    DemoDialog d;
    driver.ExpectModal([](ui::Dialog& dlg) {
        EXPECT_EQ(dlg.GetDlgItemText(kCount), "3");
        dlg.UserType(kCount, "12");
        dlg.UserClick(ui::IDOK);
    });
    EXPECT_EQ(d.DoModal(), ui::IDOK);
    EXPECT_EQ(d.count, 12);
    EXPECT_FALSE(d.IsWindow());
}

TEST_F(DialogTest, InvalidIntegerShowsOnePromptKeepsValueAndFocusesTheEdit) {
    DemoDialog d;
    driver.ExpectModal([&](ui::Dialog& dlg) {
        dlg.UserType(kCount, "1e3x");
        dlg.UserType(kFactor, "nan");  // would be a second failure; the exchange stops at the first
        dlg.UserClick(ui::IDOK);
        EXPECT_FALSE(dlg.IsEnded());
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text, "Please enter an integer.");
        EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Exclamation);
        EXPECT_EQ(driver.MessageBoxes()[0].buttons, ui::Buttons::Ok);
        EXPECT_EQ(dlg.GetFocus(), dlg.GetDlgItem(kCount));
        auto* edit = dlg.Get<ui::Edit>(kCount);
        EXPECT_EQ(edit->SelectedText(), "1e3x");
        EXPECT_EQ(d.count, 3);
        dlg.UserType(kCount, "7");
        dlg.UserType(kFactor, "2");
        dlg.UserClick(ui::IDOK);
    });
    EXPECT_EQ(d.DoModal(), ui::IDOK);
    EXPECT_EQ(d.count, 7);
    EXPECT_EQ(d.factor, 2.0);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
}

TEST_F(DialogTest, NumberTextsAreAcceptedOrRefusedAsAUserWouldExpect) {
    struct Case {
        int id;
        const char* text;
        bool accepted;
        double value;
    };
    const Case cases[] = {
        {kFactor, " 2.5 ", true, 2.5},
        {kFactor, "-.5", true, -0.5},
        {kFactor, "1e-3", true, 0.001},
        {kFactor, "+4", true, 4.0},
        {kFactor, "7.", true, 7.0},
        {kFactor, "1e-400", true, 0.0},
        {kFactor, "", false, 0},
        {kFactor, "nan", false, 0},
        {kFactor, "inf", false, 0},
        {kFactor, "0x10", false, 0},
        {kFactor, "3,5", false, 0},
        {kFactor, "1e400", false, 0},
        {kFactor, "2.5x", false, 0},
        {kFactor, ".", false, 0},
        {kFactor, "1e", false, 0},
        {kFactor, "- 1", false, 0},
        {kCount, "2147483647", true, 2147483647.0},
        {kCount, "-2147483648", true, -2147483648.0},
        {kCount, "2147483648", false, 0},
        {kCount, " 12 ", true, 12},
        {kCount, "12.0", false, 0},
        {kCount, "1e3", false, 0},
        {kCount, "", false, 0},
        {kCount, "0x10", false, 0},
        {kCount, "+", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        DemoDialog d;
        Open(d);
        driver.ClearLogs();
        d.SetDlgItemText(c.id, c.text);
        const bool ok = d.UpdateData(true);
        EXPECT_EQ(ok, c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(driver.MessageBoxes().empty());
            if (c.id == kFactor)
                EXPECT_EQ(d.factor, c.value);
            else
                EXPECT_EQ(d.count, static_cast<int>(c.value));
        } else {
            ASSERT_EQ(driver.MessageBoxes().size(), 1u);
            EXPECT_EQ(driver.MessageBoxes()[0].text,
                      c.id == kCount ? "Please enter an integer." : "Please enter a number.");
            EXPECT_EQ(d.count, 3);
            EXPECT_EQ(d.factor, 1.5);
            EXPECT_EQ(d.GetFocus(), d.GetDlgItem(c.id));
        }
        d.DestroyWindow();
    }
}

TEST_F(DialogTest, RangedExchangeRefusesValuesOutsideTheRangeLikeBadTexts) {
    struct RangeDialog : DemoDialog {
        void DoDataExchange(ui::DataExchange& dx) override {
            dx.Text(kCount, count, 1, 100);
            dx.Text(kFactor, factor, 0.0, 1e128);
        }
    };
    struct Case {
        int id;
        const char* text;
        const char* prompt;  // "" when accepted
    };
    const Case cases[] = {
        {kCount, "1", ""},
        {kCount, "100", ""},
        {kCount, "0", "Please enter an integer between 1 and 100."},
        {kCount, "101", "Please enter an integer between 1 and 100."},
        {kCount, "abc", "Please enter an integer."},
        {kFactor, "0", ""},
        {kFactor, "1e128", ""},
        {kFactor, "-0.001", "Please enter a number between 0 and 1e+128."},
        {kFactor, "1.0000001e128", "Please enter a number between 0 and 1e+128."},
        {kFactor, "x", "Please enter a number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        RangeDialog d;
        Open(d);
        driver.ClearLogs();
        d.SetDlgItemText(c.id, c.text);
        const bool accepted = *c.prompt == 0;
        EXPECT_EQ(d.UpdateData(true), accepted);
        if (accepted) {
            EXPECT_TRUE(driver.MessageBoxes().empty());
        } else {
            ASSERT_EQ(driver.MessageBoxes().size(), 1u);
            EXPECT_EQ(driver.MessageBoxes()[0].text, c.prompt);
            EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Exclamation);
            EXPECT_EQ(d.GetFocus(), d.GetDlgItem(c.id));
            EXPECT_EQ(d.count, 3);  // the members keep their values
            EXPECT_EQ(d.factor, 1.5);
        }
        d.DestroyWindow();
    }
}

TEST_F(DialogTest, DoublesAreWrittenInTheShortestTextThatReadsBackExactly) {
    const double values[] = {0.1 + 0.2, 1.0 / 3.0, 5e-324, DBL_MAX, -DBL_MIN, 123456789.125, 1e21, -0.0, 100.0};
    for (double v : values) {
        SCOPED_TRACE(v);
        DemoDialog d;
        Open(d);
        d.factor = v;
        d.UpdateData(false);
        const std::string text = d.GetDlgItemText(kFactor);
        d.factor = 42;
        ASSERT_TRUE(d.UpdateData(true));
        EXPECT_EQ(std::signbit(d.factor), std::signbit(v));
        EXPECT_EQ(d.factor, v) << text;
        d.DestroyWindow();
    }
    DemoDialog d;
    Open(d);
    d.factor = 0.1 + 0.2;
    d.UpdateData(false);
    EXPECT_EQ(d.GetDlgItemText(kFactor), "0.30000000000000004");
    d.factor = 2.5;
    d.UpdateData(false);
    EXPECT_EQ(d.GetDlgItemText(kFactor), "2.5");
    d.count = -17;
    d.UpdateData(false);
    EXPECT_EQ(d.GetDlgItemText(kCount), "-17");
}

TEST(NumberText, FloatsReadBackAndRefuseWhatDoesNotFit) {
    for (float v : {0.1f, 359.6f, -2.3f, 1e-7f, 3.4028235e38f}) {
        float back = 0;
        ASSERT_TRUE(ui::ParseFloat(ui::FormatFloat(v), back)) << ui::FormatFloat(v);
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(ui::FormatFloat(0.1f), "0.1");
    float f = 5;
    EXPECT_FALSE(ui::ParseFloat("1e39", f));
    EXPECT_FALSE(ui::ParseFloat("nan", f));
    EXPECT_TRUE(ui::ParseFloat(" -7.25 ", f));
    EXPECT_EQ(f, -7.25f);
}

TEST_F(DialogTest, TabWalksEnabledVisibleTabStopsInCreationOrder) {
    DemoDialog d;
    Open(d);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(kCount));  // the first tab stop after initialisation
    std::vector<int> order;
    for (int i = 0; i < 7; ++i) {
        d.UserKey(ui::key::Tab);
        order.push_back(d.GetFocus()->GetDlgCtrlID());
    }
    EXPECT_EQ(order, (std::vector<int>{kFactor, kFlag, ui::IDOK, ui::IDCANCEL, kList, kMore, kCount}));

    d.GetDlgItem(kFlag)->EnableWindow(false);
    d.GetDlgItem(ui::IDCANCEL)->ShowWindow(false);
    order.clear();
    for (int i = 0; i < 5; ++i) {
        d.UserKey(ui::key::Tab);
        order.push_back(d.GetFocus()->GetDlgCtrlID());
    }
    EXPECT_EQ(order, (std::vector<int>{kFactor, ui::IDOK, kList, kMore, kCount}));
    order.clear();
    for (int i = 0; i < 2; ++i) {
        d.UserKey(ui::key::Tab, ui::mod::Shift);
        order.push_back(d.GetFocus()->GetDlgCtrlID());
    }
    EXPECT_EQ(order, (std::vector<int>{kMore, kList}));
    // Tabbing into an edit selects its text.
    d.SetDlgItemText(kFactor, "3.25");
    d.SetFocusSilently(d.GetDlgItem(kCount));
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.Get<ui::Edit>(kFactor)->SelectedText(), "3.25");
}

TEST_F(DialogTest, FocusNotificationsComeKillThenSetThenClicked) {
    DemoDialog d;
    Open(d);
    d.UserFocus(kFactor);
    d.events.clear();
    d.UserClick(kFlag);
    EXPECT_EQ(d.events, (std::vector<std::string>{"kill 1002", "set 1003", "clicked 1003"}));
    EXPECT_EQ(d.IsDlgButtonChecked(kFlag), 1);
    d.events.clear();
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.events, (std::vector<std::string>{"kill 1003", "set 1"}));
    // Programmatic focus moves without notifications.
    d.events.clear();
    d.GotoDlgCtrl(d.GetDlgItem(kCount));
    EXPECT_TRUE(d.events.empty());
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(kCount));
}

TEST_F(DialogTest, AHandlerThatDestroysTheDialogOnKillFocusEndsTheUserAction) {
    struct Case {
        const char* what;
        std::function<bool(DemoDialog&)> act;
    };
    const Case cases[] = {
        {"click a check box", [](DemoDialog& d) { return d.UserClick(kFlag); }},
        {"click a button", [](DemoDialog& d) { return d.UserClick(kMore); }},
        {"type into another edit", [](DemoDialog& d) { return d.UserType(kFactor, "2"); }},
        {"type characters into another edit", [](DemoDialog& d) { return d.UserTypeChars(kFactor, "2"); }},
        {"choose a list entry", [](DemoDialog& d) { return d.UserSelect(kList, 1); }},
        {"tab away", [](DemoDialog& d) { return d.UserKey(ui::key::Tab); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DemoDialog d;
        Open(d);
        d.UserFocus(kCount);
        d.OnNotify(ui::Notify::KillFocus, kCount, [&d] { d.DestroyWindow(); });
        d.events.clear();
        EXPECT_TRUE(c.act(d));
        EXPECT_FALSE(d.IsWindow());
        EXPECT_TRUE(d.events.empty());  // no set-focus, click or change after the dialog went
        EXPECT_EQ(d.flag, 0);
        EXPECT_EQ(d.innerResult, 0);
    }
}

TEST_F(DialogTest, ProgrammaticChangesFireNothingAndTypingFiresOneChange) {
    DemoDialog d;
    Open(d);
    d.UserFocus(kCount);
    d.events.clear();
    d.SetDlgItemText(kCount, "5");
    d.CheckDlgButton(kFlag, 1);
    d.Get<ui::ListBox>(kList)->SetCurSel(1);
    EXPECT_TRUE(d.events.empty());
    d.UserType(kCount, "66");
    EXPECT_EQ(d.events, (std::vector<std::string>{"change 1001"}));
    EXPECT_EQ(d.GetDlgItemText(kCount), "66");
    d.events.clear();
    d.UserTypeChars(kCount, "78");
    EXPECT_EQ(d.events, (std::vector<std::string>{"change 1001", "change 1001"}));
    EXPECT_EQ(d.GetDlgItemText(kCount), "6678");
}

TEST_F(DialogTest, EnterRunsTheDefaultButtonUnlessItCannotBeUsed) {
    {
        DemoDialog d;
        driver.ExpectModal([](ui::Dialog& dlg) {
            dlg.UserType(kCount, "9");
            dlg.UserKey(ui::key::Enter);
        });
        EXPECT_EQ(d.DoModal(), ui::IDOK);
        EXPECT_EQ(d.count, 9);
    }
    {
        DemoDialog d;
        driver.ExpectModal([&](ui::Dialog& dlg) {
            dlg.GetDlgItem(ui::IDOK)->ShowWindow(false);
            dlg.UserKey(ui::key::Enter);
            EXPECT_FALSE(dlg.IsEnded());
            EXPECT_EQ(d.okCalls, 0);
            dlg.GetDlgItem(ui::IDOK)->ShowWindow(true);
            dlg.GetDlgItem(ui::IDOK)->EnableWindow(false);
            dlg.UserKey(ui::key::Enter);
            EXPECT_FALSE(dlg.IsEnded());
            dlg.UserFocus(ui::IDCANCEL);  // Enter on a focused button presses that button
            dlg.UserKey(ui::key::Enter);
        });
        EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
        EXPECT_EQ(d.okCalls, 0);
    }
}

TEST_F(DialogTest, EscapeAndTheCloseBoxCancel) {
    DemoDialog d;
    driver.ExpectModal([](ui::Dialog& dlg) {
        dlg.UserType(kCount, "44");
        dlg.UserKey(ui::key::Escape);
    });
    EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(d.count, 3);
    driver.ExpectModal([](ui::Dialog& dlg) { dlg.UserClose(); });
    EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
}

TEST_F(DialogTest, NestedModalRunsItsOwnScript) {
    DemoDialog outer;
    std::vector<std::string> order;
    driver.ExpectModal([&](ui::Dialog& dlg) {
        order.push_back("outer");
        dlg.UserClick(kMore);
        order.push_back("outer again");
        EXPECT_TRUE(dlg.IsWindow());
        dlg.UserType(kCount, "1");
        dlg.UserClick(ui::IDOK);
    });
    driver.ExpectModal([&](ui::Dialog& dlg) {
        order.push_back("inner");
        dlg.UserType(kCount, "55");
        dlg.UserKey(ui::key::Enter);
    });
    EXPECT_EQ(outer.DoModal(), ui::IDOK);
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner", "outer again"}));
    EXPECT_EQ(outer.innerResult, ui::IDOK);
    EXPECT_EQ(outer.innerCount, 55);
    EXPECT_EQ(outer.count, 1);
}

TEST_F(DialogTest, ScrollBarReportsToTheDialogAndNeverMovesItself) {
    DemoDialog d;
    Open(d);
    d.Get<ui::ScrollBar>(kBar)->SetScrollPos(4);
    d.UserScroll(kBar, ui::sb::LineDown);
    d.UserScroll(kBar, ui::sb::ThumbTrack, 7);
    d.UserScroll(kBar, ui::sb::EndScroll);
    ASSERT_EQ(d.scrolls.size(), 3u);
    EXPECT_EQ(d.scrolls[0], std::make_pair(ui::sb::LineDown, 0));
    EXPECT_EQ(d.scrolls[1], std::make_pair(ui::sb::ThumbTrack, 7));
    EXPECT_EQ(d.scrollBar, d.GetDlgItem(kBar));
    EXPECT_EQ(d.Get<ui::ScrollBar>(kBar)->GetScrollPos(), 4);
    // The list box selection goes to its member.
    d.UserSelect(kList, 1);
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.pick, 1);
}

TEST_F(DialogTest, DisabledOrHiddenControlsIgnoreTheUser) {
    DemoDialog d;
    Open(d);
    d.GetDlgItem(kCount)->EnableWindow(false);
    EXPECT_FALSE(d.UserType(kCount, "8"));
    EXPECT_FALSE(d.UserFocus(kCount));
    d.GetDlgItem(kFlag)->ShowWindow(false);
    EXPECT_FALSE(d.UserClick(kFlag));
    EXPECT_EQ(d.IsDlgButtonChecked(kFlag), 0);
    d.ShowWindow(false);
    EXPECT_FALSE(d.UserType(kFactor, "1"));
}

// Failures of the driver itself are observed here without failing the test.
class DriverFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.onFailure = [this](const std::string& what) { failures.push_back(what); };
        driver.Install();
        ui::RegisterDialogTemplate(kDemo, DemoTemplate);
    }
    ui::Headless driver;
    std::vector<std::string> failures;
};

TEST_F(DriverFailureTest, UnscriptedQuestionFailsAndAnswersTheSafeWay) {
    EXPECT_EQ(ui::MessageBox("Delete everything?", ui::Buttons::YesNo, ui::Icon::Question), ui::IDNO);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Delete everything?"), std::string::npos);
    EXPECT_EQ(ui::MessageBox("Save?", ui::Buttons::YesNoCancel), ui::IDCANCEL);
    EXPECT_EQ(failures.size(), 2u);
    // An information box needs no script.
    EXPECT_EQ(ui::MessageBox("Done."), ui::IDOK);
    EXPECT_EQ(failures.size(), 2u);
}

TEST_F(DriverFailureTest, ScriptsAnswerInOrderAndCheckTheirQuestion) {
    driver.ExpectMessageBox(ui::IDYES, "continue");
    driver.ExpectMessageBox(ui::IDOK);
    driver.ExpectMessageBox(ui::IDYES, "other text");
    EXPECT_EQ(ui::MessageBox("Do you want to continue?", ui::Buttons::YesNo, ui::Icon::Question), ui::IDYES);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(ui::MessageBox("Proceed?", ui::Buttons::YesNo), ui::IDNO);  // IDOK is not offered
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(ui::MessageBox("Unrelated", ui::Buttons::OkCancel), ui::IDYES == ui::IDYES ? ui::IDCANCEL : 0);
    EXPECT_EQ(failures.size(), 3u);  // wrong text and an answer not offered
    EXPECT_TRUE(driver.AllScriptsUsed());
    ASSERT_EQ(driver.MessageBoxes().size(), 3u);
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Question);
}

TEST_F(DriverFailureTest, UnscriptedOrUnfinishedModalDialogFails) {
    DemoDialog d;
    EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(failures.size(), 1u);
    driver.ExpectModal([](ui::Dialog& dlg) { dlg.UserType(kCount, "2"); });
    EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(failures.size(), 2u);
    driver.ExpectModal([](ui::Dialog& dlg) { dlg.UserClick(ui::IDOK); }, 777);
    EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(failures.size(), 3u);
    ui::FileDialog fd(true);
    EXPECT_EQ(fd.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(failures.size(), 4u);
}

}  // namespace

TEST_F(DialogTest, OpensCentredOverItsOwnerAndOnTheDesktop) {
    driver.SetDesktop({0, 0, 1024, 768});
    const ui::Rect size = DemoDialog().MapDialogRect({0, 0, 200, 120});
    ui::Window owner(ui::WindowKind::Popup);
    ASSERT_TRUE(owner.CreatePopup({100, 200, 600, 400}, ui::style::Caption, nullptr, "owner"));
    struct Case {
        ui::Rect owner;
        int x, y;
    };
    // Centred over the owner; an owner near an edge keeps the dialog on
    // the desktop, never over the desktop's top-left by default.
    for (const Case& c : std::vector<Case>{{{100, 200, 600, 400}, 100 + (600 - size.w) / 2, 200 + (400 - size.h) / 2},
                                           {{900, 700, 400, 300}, 1024 - size.w, 768 - size.h},
                                           {{-300, -200, 200, 100}, 0, 0}}) {
        owner.MoveWindow(c.owner, false);
        DemoDialog d;
        ASSERT_TRUE(d.Create(0, &owner));
        EXPECT_EQ(d.GetWindowRect(), (ui::Rect{c.x, c.y, size.w, size.h}));
        d.DestroyWindow();
    }
    // Without an owner (and no main window): centred on the desktop.
    DemoDialog d;
    ASSERT_TRUE(d.Create());
    EXPECT_EQ(d.GetWindowRect(), (ui::Rect{(1024 - size.w) / 2, (768 - size.h) / 2, size.w, size.h}));
}

TEST_F(DialogTest, AResizableDialogLargerThanTheDesktopIsFittedToIt) {
    constexpr int kBig = 1090;
    ui::RegisterDialogTemplate(kBig, [] {
        ui::DialogTemplate t;
        t.caption = "Big";
        t.rect = {0, 0, 400, 300};
        t.style |= ui::style::Resizable;
        t.DefPushButton(ui::IDOK, "OK", {340, 280, 50, 14});
        return t;
    });
    driver.SetDesktop({0, 0, 1024, 400});
    ui::Dialog big(kBig);
    ASSERT_TRUE(big.Create());
    EXPECT_EQ(big.GetWindowRect(), (ui::Rect{(1024 - 600) / 2, 0, 600, 400}));
}
