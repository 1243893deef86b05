// Control kinds, their notifications and what the back end is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Dialog.h"
#include "platform/ui/HeadlessTest.h"

namespace {

constexpr int kControls = 600;
enum {
    kSpin = 1101,
    kSpinBuddy,
    kReport,
    kSorted,
    kEditCombo,
    kRadioA,
    kRadioB,
    kRadioC,
    kRadioX,
    kRadioY,
    kColor,
    kChart,
    kLink,
    kPlainLabel,
    kDigits,
    kNotes,
    kList
};

ui::DialogTemplate ControlsTemplate() {
    ui::DialogTemplate t;
    t.caption = "Controls";
    t.rect = {0, 0, 300, 240};
    t.EditBox(kSpinBuddy, {10, 10, 40, 12})
        .SpinBox(kSpin, {50, 10, 10, 12}, ui::cs::AutoBuddy | ui::cs::SetBuddyInt)
        .Report(kReport, {10, 30, 150, 60}, ui::cs::MultiSelect | ui::cs::FullRowSelect)
        .Combo(kSorted, {170, 30, 80, 60}, ui::cs::DropList | ui::cs::Sorted)
        .Combo(kEditCombo, {170, 50, 80, 60}, 0)
        .Radio(kRadioA, "A", {10, 100, 30, 10}, ui::cs::Group)
        .Radio(kRadioB, "B", {40, 100, 30, 10})
        .Radio(kRadioC, "C", {70, 100, 30, 10})
        .Radio(kRadioX, "X", {10, 115, 30, 10}, ui::cs::Group)
        .Radio(kRadioY, "Y", {40, 115, 30, 10})
        .ColorPicker(kColor, {10, 130, 60, 12})
        .CustomBox(kChart, {80, 130, 100, 60}, ui::cs::Group)
        .Label(kLink, "www", {10, 150, 60, 10}, ui::cs::Notify)
        .Label(kPlainLabel, "plain", {10, 165, 60, 10})
        .EditBox(kDigits, {10, 180, 60, 12}, ui::cs::Number)
        .EditBox(kNotes, {80, 200, 100, 30}, ui::cs::MultiLine | ui::cs::WantReturn)
        .List(kList, {200, 100, 60, 60}, ui::cs::Notify | ui::cs::Sorted)
        .DefPushButton(ui::IDOK, "OK", {200, 200, 40, 14});
    return t;
}

class Chart : public ui::Drawable {
public:
    bool EraseBackground(ui::Painter& p) override {
        p.FillSolidRect({0, 0, p.GetSize().cx, p.GetSize().cy}, ui::Rgb(240, 240, 240));
        return true;
    }
    void Draw(ui::Painter& p) override {
        p.SetPen(ui::PenStyle::Dash, 2, ui::Rgb(255, 0, 0));
        p.MoveTo(0, 0);
        p.LineTo(10, 20);
        p.SetFont(ui::Font{"Arial", 18, 0, false, false, 900});
        const ui::Size ext = p.TextExtent("abc");
        p.TextOut(5, 5 + ext.cx, "abc");
    }
};

class ControlsDialog : public ui::Dialog {
public:
    ControlsDialog() : ui::Dialog(kControls) {
        OnNotify(ui::Notify::DeltaPos, kSpin, [this](ui::Notification& n) {
            log.push_back("delta " + std::to_string(n.pos) + " " + std::to_string(n.delta));
            n.result = refuseSpin;
        });
        OnNotify(ui::Notify::ItemChanged, kReport, [this](ui::Notification& n) {
            log.push_back("item " + std::to_string(n.item) + " " + std::to_string(n.oldState) + ">" +
                          std::to_string(n.newState));
        });
        OnNotify(ui::Notify::Clicked, kReport,
                 [this](ui::Notification& n) { log.push_back("click " + std::to_string(n.item)); });
        OnNotify(ui::Notify::DoubleClicked, kReport,
                 [this](ui::Notification& n) { log.push_back("dbl " + std::to_string(n.item)); });
        OnNotify(ui::Notify::KeyDown, kReport,
                 [this](ui::Notification& n) { log.push_back("key " + std::to_string(n.key)); });
        OnNotify(ui::Notify::KeyUp, kReport,
                 [this](ui::Notification& n) { log.push_back("key up " + std::to_string(n.key)); });
        OnNotify(ui::Notify::SelChange, kSorted, [this] { log.push_back("sel sorted"); });
        OnNotify(ui::Notify::CloseUp, kSorted,
                 [this] { log.push_back("closed " + std::to_string(Get<ui::ComboBox>(kSorted)->GetCurSel())); });
        OnNotify(ui::Notify::SelChange, kList, [this] { log.push_back("sel list"); });
        OnNotify(ui::Notify::DoubleClicked, kList,
                 [this](ui::Notification& n) { log.push_back("dbl list " + std::to_string(n.item)); });
        OnNotify(ui::Notify::Change, kEditCombo, [this] { log.push_back("edit combo"); });
        OnNotifyRange(ui::Notify::Clicked, kRadioA, kRadioY,
                      [this](ui::Notification& n) { log.push_back("radio " + std::to_string(n.id)); });
        OnNotify(ui::Notify::Clicked, kColor, [this] { log.push_back("colour"); });
        OnNotify(ui::Notify::Clicked, kLink, [this] { log.push_back("link"); });
        OnNotify(ui::Notify::DoubleClicked, kLink, [this] { log.push_back("link twice"); });
        OnNotify(ui::Notify::Change, kNotes, [this] { log.push_back("notes"); });
    }
    bool OnInitDialog() override {
        auto* lv = Get<ui::ListView>(kReport);
        lv->InsertColumn(0, "Name", 0, 80);
        lv->InsertColumn(1, "Type", 0, 60);
        for (const char* name : {"ALL", "LEFT", "RIGHT"}) {
            const int i = lv->InsertItem(lv->GetItemCount(), name);
            lv->SetItemText(i, 1, "Node");
        }
        for (const char* s : {"Tahoma", "arial", "Georgia", "Consolas"}) Get<ui::ComboBox>(kSorted)->AddString(s);
        for (const char* s : {"1", "2", "3"}) Get<ui::ComboBox>(kEditCombo)->AddString(s);
        for (const char* s : {"b", "a"}) Get<ui::ListBox>(kList)->AddString(s);
        Get<ui::CustomControl>(kChart)->SetDrawable(&chart);
        return ui::Dialog::OnInitDialog();
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.Radio(kRadioA, first);
        dx.Radio(kRadioX, second);
        dx.ComboIndex(kSorted, face);
        dx.ComboIndex(kEditCombo, size);
    }
    std::vector<std::string> log;
    int refuseSpin = 0;
    int first = 1;
    int second = -1;
    int face = 0;
    int size = 2;
    Chart chart;
};

class ControlsTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ui::RegisterDialogTemplate(kControls, ControlsTemplate);
        ASSERT_TRUE(d.Create());
        d.ShowWindow(true);
        d.log.clear();
    }
    ControlsDialog d;
};

TEST_F(ControlsTest, SpinKeepsItsReversedDefaultRange) {
    auto* spin = d.Get<ui::Spin>(kSpin);
    EXPECT_EQ(spin->GetBuddy(), d.GetDlgItem(kSpinBuddy));
    EXPECT_EQ(spin->GetLower(), 100);
    EXPECT_EQ(spin->GetUpper(), 0);
    spin->SetPos(50);
    d.UserSpin(kSpin, true);   // up lowers the position
    d.UserSpin(kSpin, false);  // down raises it
    d.UserSpin(kSpin, false);
    EXPECT_EQ(d.log, (std::vector<std::string>{"delta 50 -1", "delta 49 1", "delta 50 1"}));
    EXPECT_EQ(spin->GetPos(), 51);
    EXPECT_EQ(d.GetDlgItemText(kSpinBuddy), "51");
    d.refuseSpin = 1;
    d.UserSpin(kSpin, true);
    EXPECT_EQ(spin->GetPos(), 51);
    // At the limit the change is still reported; the position stays in range.
    d.refuseSpin = 0;
    spin->SetPos(0);
    d.log.clear();
    d.UserSpin(kSpin, true);
    EXPECT_EQ(d.log, (std::vector<std::string>{"delta 0 -1"}));
    EXPECT_EQ(spin->GetPos(), 0);
    spin->SetRange(0, 10);
    d.log.clear();
    d.UserSpin(kSpin, true);
    EXPECT_EQ(d.log, (std::vector<std::string>{"delta 0 1"}));
    EXPECT_EQ(spin->GetPos(), 1);
}

TEST_F(ControlsTest, ReportListSelectionNotifiesEachChange) {
    auto* lv = d.Get<ui::ListView>(kReport);
    EXPECT_EQ(lv->GetColumnCount(), 2);
    EXPECT_EQ(lv->GetItemText(1, 0), "LEFT");
    EXPECT_EQ(lv->GetItemText(1, 1), "Node");
    EXPECT_EQ(lv->GetItemText(1, 5), "");
    d.UserSelectItem(kReport, 0);
    d.UserSelectItem(kReport, 2, true);
    EXPECT_EQ(lv->GetSelectedCount(), 2);
    d.UserSelectItem(kReport, 1);
    EXPECT_EQ(d.log, (std::vector<std::string>{"item 0 0>2", "click 0", "item 2 0>2", "click 2", "item 0 2>0",
                                               "item 2 2>0", "item 1 0>2", "click 1"}));
    EXPECT_EQ(lv->GetNextSelected(-1), 1);
    EXPECT_EQ(lv->GetNextSelected(1), -1);
    d.log.clear();
    d.UserDoubleClick(kReport, 2);
    EXPECT_EQ(d.log, (std::vector<std::string>{"item 1 2>0", "item 2 0>2", "click 2", "dbl 2"}));
    // Keys reach the list after the dialog saw them; Down moves the selection.
    d.log.clear();
    d.UserKey(ui::key::Up);
    EXPECT_EQ(d.log, (std::vector<std::string>{"key 38", "item 2 2>0", "item 1 0>2", "key up 38"}));
    // A click below the items clears the selection and reports no item.
    d.log.clear();
    d.UserSelectItem(kReport, -1);
    EXPECT_EQ(d.log, (std::vector<std::string>{"item 1 2>0", "click -1"}));
    EXPECT_EQ(lv->GetSelectedCount(), 0);
    EXPECT_FALSE(d.UserSelectItem(kReport, -2));
    // Programmatic selection fires nothing.
    d.log.clear();
    lv->SetSelected(0, true);
    lv->DeleteItem(2);
    EXPECT_TRUE(d.log.empty());
    EXPECT_EQ(lv->GetItemCount(), 2);
    // Deleting a column takes its item texts with it.
    EXPECT_TRUE(lv->DeleteColumn(0));
    EXPECT_EQ(lv->GetColumnCount(), 1);
    EXPECT_EQ(lv->GetItemText(1, 0), "Node");
    EXPECT_FALSE(lv->DeleteColumn(1));
    lv->SetAllItems({{"A", "1"}, {"B"}});
    EXPECT_EQ(lv->GetItemCount(), 2);
    EXPECT_EQ(lv->GetItemText(0, 1), "1");
    EXPECT_EQ(lv->GetSelectedCount(), 0);
    EXPECT_TRUE(d.log.empty());
}

TEST_F(ControlsTest, CombosSortAndSelect) {
    auto* sorted = d.Get<ui::ComboBox>(kSorted);
    EXPECT_EQ(sorted->Items(), (std::vector<std::string>{"arial", "Consolas", "Georgia", "Tahoma"}));
    EXPECT_EQ(sorted->GetCurSel(), 0);             // from the exchange at initialisation
    EXPECT_FALSE(d.UserType(kSorted, "Georgia"));  // a drop-down list has no edit
    d.UserSelect(kSorted, 2);
    EXPECT_EQ(sorted->GetWindowText(), "Georgia");
    EXPECT_EQ(sorted->FindStringExact("GEORGIA"), 2);
    sorted->DeleteString(0);
    EXPECT_EQ(sorted->GetCurSel(), 1);  // the selected entry moved up
    sorted->DeleteString(1);
    EXPECT_EQ(sorted->GetCurSel(), -1);

    auto* edit = d.Get<ui::ComboBox>(kEditCombo);
    EXPECT_EQ(edit->GetCurSel(), 2);
    d.UserType(kEditCombo, "2");
    EXPECT_EQ(edit->GetCurSel(), 1);
    d.UserType(kEditCombo, "2.5");
    EXPECT_EQ(edit->GetCurSel(), -1);
    EXPECT_EQ(edit->GetWindowText(), "2.5");
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.size, -1);
    EXPECT_EQ(d.log, (std::vector<std::string>{"sel sorted", "closed 2", "edit combo", "edit combo"}));

    // The arrow keys on a closed drop-down list change the selection without
    // opening and closing the list.
    sorted->SetCurSel(0);
    d.log.clear();
    d.UserFocus(kSorted);
    d.UserKey(ui::key::Down);
    EXPECT_EQ(d.log, (std::vector<std::string>{"sel sorted"}));
    EXPECT_EQ(sorted->GetCurSel(), 1);

    // Sorted list box, Down key and double click.
    auto* list = d.Get<ui::ListBox>(kList);
    EXPECT_EQ(list->Items(), (std::vector<std::string>{"a", "b"}));
    d.log.clear();
    d.UserFocus(kList);
    d.UserKey(ui::key::Down);
    d.UserKey(ui::key::Down);
    d.UserDoubleClick(kList, 0);
    EXPECT_EQ(d.log, (std::vector<std::string>{"sel list", "sel list", "sel list", "dbl list 0"}));
}

TEST_F(ControlsTest, SelectionFollowsItsEntryInListAndComboBoxes) {
    // Entries "a" .. "d" with "c" selected; each change is made on a fresh
    // copy of both boxes, which must agree.
    struct Case {
        const char* what;
        bool insert;
        int index;
        int wantSel;
        int wantResult;
    };
    const Case cases[] = {
        {"insert before the selection", true, 0, 3, 0},  {"insert at the selection", true, 2, 3, 2},
        {"insert after the selection", true, 3, 2, 3},   {"insert past the end appends", true, 9, 2, 4},
        {"delete before the selection", false, 1, 1, 3}, {"delete the selection", false, 2, -1, 3},
        {"delete after the selection", false, 3, 2, 3},  {"delete what is not there", false, 4, 2, -1},
    };
    auto* list = d.Get<ui::ListBox>(kList);
    auto* combo = d.Get<ui::ComboBox>(kEditCombo);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list->ResetContent();
        combo->ResetContent();
        for (const char* s : {"a", "b", "c", "d"}) {
            list->InsertString(-1, s);
            combo->InsertString(-1, s);
        }
        list->SetCurSel(2);
        combo->SetCurSel(2);
        EXPECT_EQ(c.insert ? list->InsertString(c.index, "new") : list->DeleteString(c.index), c.wantResult);
        EXPECT_EQ(c.insert ? combo->InsertString(c.index, "new") : combo->DeleteString(c.index), c.wantResult);
        EXPECT_EQ(list->GetCurSel(), c.wantSel);
        EXPECT_EQ(combo->GetCurSel(), c.wantSel);
        if (c.wantSel >= 0) {
            EXPECT_EQ(list->GetText(c.wantSel), "c");
            EXPECT_EQ(combo->GetLBText(c.wantSel), "c");
        }
    }
    EXPECT_TRUE(d.log.empty());  // none of it is the user's doing
}

TEST_F(ControlsTest, RadioGroupsCheckOneAndExchangeTheirIndex) {
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioB), 1);  // first = 1 at initialisation
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioX), 0);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioY), 0);
    d.UserClick(kRadioC);
    d.UserClick(kRadioY);
    EXPECT_EQ(d.log, (std::vector<std::string>{"radio 1108", "radio 1110"}));
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioB), 0);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioC), 1);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioY), 1);
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.first, 2);
    EXPECT_EQ(d.second, 1);
    // Tab enters a group at its checked button.
    d.UserFocus(kEditCombo);
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(kRadioC));
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(kRadioY));
    d.UserKey(ui::key::Tab, ui::mod::Shift);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(kRadioC));
    d.CheckRadioButton(kRadioA, kRadioC, kRadioA);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioA), 1);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioC), 0);
}

TEST_F(ControlsTest, ColourLinkEditsAndCustomPainting) {
    auto* colour = d.Get<ui::ColorButton>(kColor);
    colour->SetColumnsNumber(5);
    colour->EnableOtherButton(true);
    colour->SetColor(ui::Rgb(255, 0, 0));
    EXPECT_TRUE(d.log.empty());
    d.UserPickColor(kColor, ui::Rgb(0, 0, 255));
    EXPECT_EQ(colour->GetColor(), ui::Rgb(0, 0, 255));
    EXPECT_EQ(ui::BlueOf(colour->GetColor()), 255);
    EXPECT_TRUE(d.UserClick(kLink));
    EXPECT_TRUE(d.UserDoubleClick(kLink));
    EXPECT_FALSE(d.UserClick(kPlainLabel));
    EXPECT_EQ(d.log, (std::vector<std::string>{"colour", "link", "link", "link twice"}));

    d.UserType(kDigits, "12a3");
    EXPECT_EQ(d.GetDlgItemText(kDigits), "123");
    d.log.clear();
    d.UserFocus(kNotes);
    d.UserKey(ui::key::Enter);  // a multi-line edit that wants Enter takes it
    d.UserTypeChars(kNotes, "x");
    EXPECT_EQ(d.GetDlgItemText(kNotes), "\nx");
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(d.log, (std::vector<std::string>{"notes", "notes"}));

    auto* label = d.GetDlgItem(kLink);
    label->SetTextColor(ui::Rgb(0, 0, 255));
    label->SetFont(ui::Font{"Arial", 20, 700});
    EXPECT_EQ(*label->TextColor(), ui::Rgb(0, 0, 255));
    EXPECT_EQ(label->GetFont()->weight, 700);

    auto* chart = d.Get<ui::CustomControl>(kChart);
    chart->Invalidate(true);
    const std::vector<std::string> ops = driver.PaintWindow(*chart);
    const ui::Size size = chart->GetClientSize();
    EXPECT_EQ(ops, (std::vector<std::string>{
                       "Fill 0 0 " + std::to_string(size.cx) + " " + std::to_string(size.cy) + " #f0f0f0",
                       "Pen dash 2 #ff0000", "MoveTo 0 0", "LineTo 10 20", "Font Arial 18 0 900", "TextOut 5 32 abc"}));
    chart->Invalidate(false);
    EXPECT_EQ(driver.PaintWindow(*chart).front(), "Pen dash 2 #ff0000");
}

// A back end that records what it is told, as the desktop back end would use it.
class SpyBackend : public ui::Headless {
public:
    void WindowChanged(ui::Window& w, ui::Change what) override {
        ui::Headless::WindowChanged(w, what);
        const auto* c = dynamic_cast<ui::Control*>(&w);
        events.push_back(std::to_string(c ? c->GetDlgCtrlID() : 0) + ":" + std::to_string(static_cast<int>(what)));
    }
    std::vector<std::string> events;
};

TEST(BackendNotifications, DialogLifeCycleAndChangesReachTheBackEnd) {
    SpyBackend spy;
    spy.Install();
    ui::RegisterDialogTemplate(kControls, ControlsTemplate);
    {
        ControlsDialog dlg;
        ASSERT_TRUE(dlg.Create());
        ASSERT_GE(spy.events.size(), 2u);
        EXPECT_EQ(spy.events[0], "0:" + std::to_string(static_cast<int>(ui::Change::Created)));
        EXPECT_EQ(spy.events[1],
                  std::to_string(kSpinBuddy) + ":" + std::to_string(static_cast<int>(ui::Change::Created)));
        EXPECT_EQ(spy.LiveWindows().size(), 1u + dlg.Controls().size());
        spy.events.clear();
        dlg.SetDlgItemText(kDigits, "5");
        dlg.SetDlgItemText(kDigits, "5");  // no change, nothing told
        dlg.GetDlgItem(kDigits)->EnableWindow(false);
        dlg.ShowWindow(true);
        dlg.MoveWindow({50, 50, 300, 200});
        EXPECT_EQ(spy.events, (std::vector<std::string>{
                                  std::to_string(kDigits) + ":" + std::to_string(static_cast<int>(ui::Change::Text)),
                                  std::to_string(kDigits) + ":" + std::to_string(static_cast<int>(ui::Change::Enabled)),
                                  "0:" + std::to_string(static_cast<int>(ui::Change::Visibility)),
                                  "0:" + std::to_string(static_cast<int>(ui::Change::Geometry))}));
        dlg.EndDialog(ui::IDOK);  // a modeless dialog only hides
        EXPECT_TRUE(dlg.IsWindow());
        EXPECT_FALSE(dlg.IsShown());
        ASSERT_TRUE(dlg.DestroyWindow());
        EXPECT_TRUE(spy.LiveWindows().empty());
        EXPECT_EQ(dlg.GetDlgItem(kDigits), nullptr);
        // It can be made again.
        ASSERT_TRUE(dlg.Create());
        EXPECT_NE(dlg.GetDlgItem(kDigits), nullptr);
        EXPECT_EQ(dlg.MapDialogRect({4, 8, 40, 16}), (ui::Rect{6, 13, 60, 26}));
    }
    EXPECT_TRUE(spy.LiveWindows().empty());
    EXPECT_TRUE(spy.Failures().empty());
}

// A popup that deletes itself when destroyed from its own timer, as a
// progress window does.
class SelfClosing : public ui::Window {
public:
    explicit SelfClosing(bool* gone) : ui::Window(ui::WindowKind::Popup), gone_(gone) {}
    void OnTimer(int id) override {
        if (id == 1) DestroyWindow();
    }
    void OnPaint(ui::Painter& p) override { p.TextOut(0, 0, "progress"); }
    void PostNcDestroy() override {
        *gone_ = true;
        delete this;
    }

private:
    bool* gone_;
};

TEST_F(ControlsTest, PopupClosingItselfFromItsTimer) {
    bool gone = false;
    auto* w = new SelfClosing(&gone);
    ASSERT_TRUE(w->CreatePopup({0, 0, 502, 327}, ui::style::Caption | ui::style::Topmost));
    w->CenterWindow();
    EXPECT_EQ(w->GetWindowRect(), (ui::Rect{1920 / 2 - 251, 1080 / 2 - 163, 502, 327}));
    w->ShowWindow(true);
    w->SetTimer(1, 100);
    w->SetTimer(2, 1000);
    w->Invalidate(false);
    w->UpdateWindow();
    EXPECT_EQ(driver.PaintCount(*w), 1);
    ui::Sleep(100);
    ui::PumpWindowMessages(*w);
    EXPECT_TRUE(gone);
    driver.Advance(5000);  // nothing of it is left to fire
}

}  // namespace
