// Every control kind of the layer shown by the FLTK back end: programmatic
// changes reach the widgets without notifications, user input through the
// X server reaches the dialog, keys meet the dialog's pre-translation
// before FLTK moves the focus, and timers fire.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "platform/fltk/FltkBackend.h"
#include "platform/ui/UI.h"
#include "XInput.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>

namespace {

enum {
    IDC_LABEL = 2001,
    IDC_CHECK,
    IDC_RADIO1,
    IDC_RADIO2,
    IDC_EDIT,
    IDC_DROP,
    IDC_COMBO,
    IDC_LIST,
    IDC_REPORT,
    IDC_SCROLL,
    IDC_SPINEDIT,
    IDC_SPIN,
    IDC_COLOUR,
    IDC_CUSTOM,
    IDC_PICTURE,
    IDC_GROUP,
    IDC_LINK
};

class Swatch : public ui::Drawable {
public:
    void Draw(ui::Painter& p) override {
        const ui::Size s = p.GetSize();
        p.FillSolidRect({0, 0, s.cx, s.cy}, ui::Rgb(0, 128, 0));
        ++paints;
    }
    int paints = 0;
};

class AllControls : public ui::Dialog {
public:
    AllControls() : ui::Dialog(960, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 960;
        t.caption = "All Controls";
        t.rect = {300, 20, 300, 200};
        t.style |= ui::style::Visible;
        t.Group(IDC_GROUP, "Options", {4, 4, 120, 60});
        t.Label(IDC_LABEL, "&Name:", {10, 16, 30, 8});
        t.EditBox(IDC_EDIT, {44, 14, 70, 14});
        t.CheckBox(IDC_CHECK, "&Check", {10, 32, 60, 10});
        t.Radio(IDC_RADIO1, "One", {10, 46, 40, 10}, ui::cs::Group);
        t.Radio(IDC_RADIO2, "Two", {56, 46, 40, 10});
        t.Combo(IDC_DROP, {130, 4, 70, 60});
        t.Combo(IDC_COMBO, {130, 22, 70, 60}, 0);
        t.List(IDC_LIST, {130, 40, 70, 40});
        t.Report(IDC_REPORT, {4, 70, 160, 50});
        t.VScrollBar(IDC_SCROLL, {206, 4, 10, 80});
        t.EditBox(IDC_SPINEDIT, {222, 4, 40, 14});
        t.SpinBox(IDC_SPIN, {262, 4, 10, 14});
        t.ColorPicker(IDC_COLOUR, {222, 24, 40, 14});
        t.CustomBox(IDC_CUSTOM, {222, 44, 40, 20});
        t.PictureBox(IDC_PICTURE, {222, 70, 20, 20});
        t.Label(IDC_LINK, "link", {170, 90, 40, 10}, ui::cs::Notify);
        t.DefPushButton(ui::IDOK, "OK", {190, 180, 50, 14});
        t.PushButton(ui::IDCANCEL, "Cancel", {244, 180, 50, 14});
        return t;
    }
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        for (int id = IDC_LABEL; id <= IDC_LINK; ++id) {
            for (ui::Notify n :
                 {ui::Notify::Clicked, ui::Notify::Change, ui::Notify::SelChange, ui::Notify::ItemChanged,
                  ui::Notify::DeltaPos, ui::Notify::VScroll, ui::Notify::DoubleClicked}) {
                OnNotify(n, id, [this, id, n](ui::Notification&) {
                    ++counts[{id, static_cast<int>(n)}];
                    ++total;
                });
            }
        }
        return true;
    }
    bool PreTranslateMessage(const ui::Message& m) override {
        if (m.type == ui::Message::KeyDown) keys.push_back(m.key);
        // Paging and vertical arrows are this dialog's own.
        if (m.type == ui::Message::KeyDown &&
            (m.key == ui::key::Up || m.key == ui::key::Down || m.key == ui::key::PageUp || m.key == ui::key::PageDown))
            return true;
        return ui::Dialog::PreTranslateMessage(m);
    }
    void OnTimer(int id) override { ++timer[id]; }
    int Count(int id, ui::Notify n) { return counts[{id, static_cast<int>(n)}]; }

    std::map<std::pair<int, int>, int> counts;
    int total = 0;
    std::vector<int> keys;
    std::map<int, int> timer;
};

}  // namespace

namespace {
class FltkControls : public FltkDisplayTest {};
}  // namespace

TEST_F(FltkControls, EveryKindShownChangedAndUsed) {
    Swatch swatch;
    AllControls dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->non_modal());  // a modeless dialog stays above the program's windows
    // Template units follow the font the controls show.
    EXPECT_EQ(win->w(), dlg.MapDialogRect({0, 0, 300, 200}).w);
    EXPECT_EQ(win->h(), dlg.MapDialogRect({0, 0, 300, 200}).h);
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    EXPECT_NEAR(dlg.MapDialogRect({0, 0, 52 * 4, 8}).w,
                fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), 1.0);
    EXPECT_EQ(dlg.MapDialogRect({0, 0, 4, 8}).h, fl_height());

    // Programmatic changes: shown by the widgets, no notification.
    dlg.CheckDlgButton(IDC_CHECK, 1);
    dlg.CheckRadioButton(IDC_RADIO1, IDC_RADIO2, IDC_RADIO2);
    dlg.SetDlgItemText(IDC_EDIT, "alpha");
    auto* drop = dlg.Get<ui::ComboBox>(IDC_DROP);
    for (const char* s : {"red", "green", "blue"}) drop->AddString(s);
    drop->SetCurSel(2);
    auto* combo = dlg.Get<ui::ComboBox>(IDC_COMBO);
    combo->AddString("one");
    combo->AddString("two");
    combo->SetWindowText("typed");
    auto* list = dlg.Get<ui::ListBox>(IDC_LIST);
    for (const char* s : {"first", "second", "third"}) list->AddString(s);
    list->SetCurSel(0);
    auto* report = dlg.Get<ui::ListView>(IDC_REPORT);
    report->InsertColumn(0, "Node", 0, 60);
    report->InsertColumn(1, "Value", 1, 80);
    for (int i = 0; i < 3; ++i) {
        report->InsertItem(i, std::to_string(i + 1));
        report->SetItemText(i, 1, std::to_string((i + 1) * 10));
    }
    report->SetSelected(1, true);
    auto* bar = dlg.Get<ui::ScrollBar>(IDC_SCROLL);
    bar->SetScrollRange(0, 50);
    bar->SetScrollPos(20);
    auto* spin = dlg.Get<ui::Spin>(IDC_SPIN);
    spin->SetRange(0, 10);
    spin->SetPos(5);
    dlg.Get<ui::ColorButton>(IDC_COLOUR)->SetColor(ui::Rgb(200, 30, 30));
    dlg.Get<ui::CustomControl>(IDC_CUSTOM)->SetDrawable(&swatch);
    ui::Image img;
    img.width = img.height = 4;
    img.rgb.assign(48, 255);
    dlg.Get<ui::Picture>(IDC_PICTURE)->SetImage(img);
    dlg.Get<ui::Control>(IDC_CUSTOM)->Invalidate();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dlg.total, 0);

    auto widget = [&](int id) { return backend.WidgetOf(*dlg.GetDlgItem(id)); };
    EXPECT_EQ(static_cast<Fl_Check_Button*>(widget(IDC_CHECK))->value(), 1);
    EXPECT_EQ(static_cast<Fl_Button*>(widget(IDC_RADIO1))->value(), 0);
    EXPECT_EQ(static_cast<Fl_Button*>(widget(IDC_RADIO2))->value(), 1);
    EXPECT_STREQ(static_cast<Fl_Input*>(widget(IDC_EDIT))->value(), "alpha");
    EXPECT_EQ(static_cast<Fl_Choice*>(widget(IDC_DROP))->value(), 2);
    EXPECT_STREQ(static_cast<Fl_Input_Choice*>(widget(IDC_COMBO))->value(), "typed");
    EXPECT_EQ(static_cast<Fl_Browser*>(widget(IDC_LIST))->value(), 1);
    EXPECT_EQ(static_cast<Fl_Scrollbar*>(widget(IDC_SCROLL))->value(), 20);
    EXPECT_STREQ(widget(IDC_LABEL)->label(), "Name:");
    EXPECT_GT(swatch.paints, 0);

    const Shot shot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(shot, "fltk_all_controls.bmp");
    Fl_Widget* colour = widget(IDC_COLOUR);
    const unsigned char* c = shot.At(colour->x() + colour->w() / 2, colour->y() + colour->h() / 2);
    EXPECT_EQ(c[0], 200);
    EXPECT_EQ(c[1], 30);
    Fl_Widget* custom = widget(IDC_CUSTOM);
    const unsigned char* g = shot.At(custom->x() + custom->w() / 2, custom->y() + custom->h() / 2);
    EXPECT_EQ(g[1], 128);
    EXPECT_EQ(g[0], 0);

    // The user's clicks.
    auto click = [&](int id, int dy = -1) {
        Fl_Widget* w = widget(id);
        SendClick(win, w->x() + 6, dy < 0 ? w->y() + w->h() / 2 : w->y() + dy);
        EXPECT_TRUE(Settle());
    };
    click(IDC_CHECK);
    EXPECT_TRUE(WaitFor([&] { return dlg.Count(IDC_CHECK, ui::Notify::Clicked) == 1; }));
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), 0);
    EXPECT_EQ(static_cast<Fl_Check_Button*>(widget(IDC_CHECK))->value(), 0);
    click(IDC_RADIO1);
    EXPECT_TRUE(WaitFor([&] { return dlg.IsDlgButtonChecked(IDC_RADIO1) == 1; }));
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_RADIO2), 0);
    EXPECT_EQ(static_cast<Fl_Button*>(widget(IDC_RADIO2))->value(), 0);
    click(IDC_LIST, 2 + 16 + 8);  // second line
    EXPECT_TRUE(WaitFor([&] { return dlg.Count(IDC_LIST, ui::Notify::SelChange) == 1; }));
    EXPECT_EQ(list->GetCurSel(), 1);
    click(IDC_SPIN, 2);  // upper half: up
    EXPECT_TRUE(WaitFor([&] { return dlg.Count(IDC_SPIN, ui::Notify::DeltaPos) == 1; }));
    click(IDC_LINK);
    EXPECT_TRUE(WaitFor([&] { return dlg.Count(IDC_LINK, ui::Notify::Clicked) == 1; }));
    // Typing into the edit: one Change per key, the text in the layer.
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_EDIT));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Fl::focus(), widget(IDC_EDIT));
    static_cast<Fl_Input*>(widget(IDC_EDIT))->position(5, 5);
    SendKey(win, XK_x);
    EXPECT_TRUE(WaitFor([&] { return dlg.GetDlgItemText(IDC_EDIT) == "alphax"; }));
    EXPECT_EQ(dlg.Count(IDC_EDIT, ui::Notify::Change), 1);
    // Typing inside the text keeps the caret where the user put it.
    auto* input = static_cast<Fl_Input*>(widget(IDC_EDIT));
    input->position(1, 1);
    SendKey(win, XK_Z, ShiftMask);
    EXPECT_TRUE(WaitFor([&] { return dlg.GetDlgItemText(IDC_EDIT) == "aZlphax"; }));
    EXPECT_EQ(input->position(), 2);
    // A program change of the text reaches the widget.
    dlg.SetDlgItemText(IDC_EDIT, "beta");
    EXPECT_STREQ(input->value(), "beta");

    // Keys: the dialog's pre-translation sees them first; what it takes
    // never reaches FLTK, and Tab moves the focus the layer's way.
    dlg.keys.clear();
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_LIST));
    ASSERT_TRUE(Settle());
    SendKey(win, XK_Down);
    SendKey(win, XK_Next);
    SendKey(win, XK_Tab);
    EXPECT_TRUE(WaitFor([&] { return dlg.keys.size() >= 3; }));
    ASSERT_GE(dlg.keys.size(), 3u);
    EXPECT_EQ(dlg.keys[0], ui::key::Down);
    EXPECT_EQ(dlg.keys[1], ui::key::PageDown);
    EXPECT_EQ(dlg.keys[2], ui::key::Tab);
    EXPECT_EQ(list->GetCurSel(), 1);  // Down was taken by the dialog, not the list
    ASSERT_TRUE(dlg.GetFocus());
    EXPECT_EQ(dlg.GetFocus()->GetDlgCtrlID(), IDC_REPORT);
    EXPECT_TRUE(
        WaitFor([&] { return Fl::focus() && backend.LayerWindowOf(Fl::focus()) == dlg.GetDlgItem(IDC_REPORT); }));

    // Timers of the window.
    dlg.SetTimer(7, 20);
    EXPECT_TRUE(WaitFor([&] { return dlg.timer[7] >= 3; }));
    dlg.KillTimer(7);
    const int fired = dlg.timer[7];
    // Another timer of the same period fires three times meanwhile.
    dlg.SetTimer(8, 20);
    EXPECT_TRUE(WaitFor([&] { return dlg.timer[8] >= 3; }));
    dlg.KillTimer(8);
    EXPECT_EQ(dlg.timer[7], fired);

    // Escape ends the dialog through the layer; the window goes.
    SendKey(win, XK_Escape);
    EXPECT_TRUE(WaitFor([&] { return dlg.IsEnded(); }));
    EXPECT_EQ(dlg.GetResult(), ui::IDCANCEL);
    dlg.DestroyWindow();
    EXPECT_EQ(backend.TopWindowOf(dlg), nullptr);
    ASSERT_TRUE(Settle());
}

namespace {

// A window of the program's own painting, as the progress window is.
class PaintedPopup : public ui::Window {
public:
    PaintedPopup() : ui::Window(ui::WindowKind::Popup) {}
    void OnPaint(ui::Painter& p) override {
        const ui::Size s = p.GetSize();
        p.FillSolidRect({0, 0, s.cx, s.cy}, ui::Rgb(40, 80, 160));
        p.SetFont(ui::Font{"Arial", 16, 700});
        p.SetTextColor(ui::Rgb(255, 255, 255));
        p.SetBackground(false, 0);
        p.TextOut(10, 10, text);
        p.SetPen(ui::PenStyle::Solid, 1, ui::Rgb(255, 255, 0));
        p.MoveTo(0, s.cy - 5);
        p.LineTo(s.cx, s.cy - 5);
        ++paints;
    }
    void OnTimer(int id) override {
        if (id == 1 && ++ticks == 3) DestroyWindow();
    }
    void OnPopupClick(ui::Point p) override { clicks.push_back(p); }
    void OnPopupClose() override { ++closes; }
    std::string text = "Analysis Started...";
    int paints = 0;
    int ticks = 0;
    std::vector<ui::Point> clicks;
    int closes = 0;
};

}  // namespace

TEST_F(FltkControls, PopupPaintsItselfAndClosesFromItsTimer) {
    PaintedPopup popup;
    ASSERT_TRUE(popup.CreatePopup({100, 120, 220, 60}, ui::style::Visible | ui::style::Topmost, nullptr, "Progress"));
    Fl_Window* win = backend.TopWindowOf(popup);
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->non_modal());  // topmost without an owner: above the program's windows
    ASSERT_TRUE(WaitFor([&] { return win->shown() && popup.paints > 0; }));
    ASSERT_TRUE(Settle());
    const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(s, "fltk_popup.bmp");
    EXPECT_EQ(s.w, 220);
    EXPECT_EQ(s.h, 60);
    int blue = 0, white = 0, yellow = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const unsigned char* p = s.At(x, y);
            blue += p[0] == 40 && p[1] == 80 && p[2] == 160;
            white += p[0] > 200 && p[1] > 200 && p[2] > 200 && y < 35;
            yellow += p[0] == 255 && p[1] == 255 && p[2] == 0 && y == s.h - 5;
        }
    EXPECT_GT(blue, 220 * 60 / 2);
    EXPECT_GT(white, 50);    // the text
    EXPECT_EQ(yellow, 220);  // the line across
    // A repaint asked for by the program reaches the window.
    const int before = popup.paints;
    popup.text = "Analysis In Progress...";
    popup.Invalidate(false);
    popup.UpdateWindow();
    EXPECT_GT(popup.paints, before);
    // Its timer closes it.
    popup.SetTimer(1, 30);
    EXPECT_TRUE(WaitFor([&] { return !popup.IsWindow(); }));
    EXPECT_EQ(popup.ticks, 3);
    EXPECT_EQ(backend.TopWindowOf(popup), nullptr);
    ASSERT_TRUE(Settle());
}

// While the program is busy it pumps the progress window alone: a click on
// it and the window manager's close request reach the popup through that
// pump, and the window stays.
TEST_F(FltkControls, PumpingAPopupDeliversItsClicksAndItsCloseRequest) {
    PaintedPopup popup;
    ASSERT_TRUE(popup.CreatePopup({100, 120, 220, 60}, ui::style::Visible | ui::style::Caption, nullptr, "Progress"));
    Fl_Window* win = backend.TopWindowOf(popup);
    ASSERT_TRUE(win && WaitFor([&] { return win->shown() && popup.paints > 0; }));
    ASSERT_TRUE(Settle());
    auto pumpUntil = [&](auto condition) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!condition() && std::chrono::steady_clock::now() < end) {
            ui::PumpWindowMessages(popup);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return condition();
    };
    SendClick(win, 150, 40);
    ASSERT_TRUE(pumpUntil([&] { return !popup.clicks.empty(); }));
    EXPECT_EQ(popup.clicks, (std::vector<ui::Point>{{150, 40}}));

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = fl_xid(win);
    close.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, fl_xid(win), False, NoEventMask, &close);
    XFlush(fl_display);
    ASSERT_TRUE(pumpUntil([&] { return popup.closes > 0; }));
    EXPECT_EQ(popup.closes, 1);
    EXPECT_TRUE(popup.IsWindow());
    CloseWindow(popup);
}

namespace {

// Sends Escape to a dialog's window while a message box is up, then waits
// for the box to go (closing it itself when the key went elsewhere).
struct EscapeBehindTheBox {
    brennix::fltk::FltkBackend* backend;
    Fl_Window* dialogWindow;
    int ticks = 0;
    int sentAt = 0;

    static void Tick(void* data) {
        auto* s = static_cast<EscapeBehindTheBox*>(data);
        Fl_Window* box = s->backend->ActiveMessageBox();
        ++s->ticks;
        if (!box) return;
        if (s->sentAt == 0 && box->shown() && s->ticks > 5) {
            SendKey(s->dialogWindow, XK_Escape);
            s->sentAt = s->ticks;
        } else if ((s->sentAt && s->ticks > s->sentAt + 40) || s->ticks > 200) {
            box->hide();  // the box never saw the key
            return;
        }
        Fl::repeat_timeout(0.05, Tick, data);
    }
};

}  // namespace

TEST_F(FltkControls, KeysGoToTheMessageBoxNotToTheDialogBehindIt) {
    AllControls dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    ASSERT_TRUE(Settle());
    dlg.keys.clear();

    EscapeBehindTheBox script{&backend, win};
    Fl::add_timeout(0.05, EscapeBehindTheBox::Tick, &script);
    const int answer = ui::MessageBox("Stop here?", ui::Buttons::OkCancel, ui::Icon::Question);
    Fl::remove_timeout(EscapeBehindTheBox::Tick, &script);

    EXPECT_GT(script.sentAt, 0);
    // Escape answered the box; the modeless dialog behind it saw no key and
    // is still open.
    EXPECT_EQ(answer, ui::IDCANCEL);
    EXPECT_LT(script.ticks, script.sentAt + 40);
    EXPECT_TRUE(dlg.keys.empty());
    EXPECT_FALSE(dlg.IsEnded());
    CloseWindow(dlg);
}

namespace {

// A list box and a list view (several items may be selected) of many
// lines, more than they can show.
class LongLists : public ui::Dialog {
public:
    enum { IDC_LINES = 2101, IDC_ROWS };
    LongLists() : ui::Dialog(961, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 961;
        t.caption = "Long Lists";
        t.rect = {300, 20, 220, 120};
        t.style |= ui::style::Visible;
        t.List(IDC_LINES, {4, 4, 100, 80});
        t.Report(IDC_ROWS, {110, 4, 100, 80}, ui::cs::MultiSelect);
        t.DefPushButton(ui::IDOK, "OK", {160, 100, 50, 14});
        return t;
    }
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        auto* lines = Get<ui::ListBox>(IDC_LINES);
        auto* rows = Get<ui::ListView>(IDC_ROWS);
        rows->InsertColumn(0, "Row", 0, 80);
        for (int i = 0; i < 40; ++i) {
            lines->AddString("line " + std::to_string(i));
            rows->InsertItem(i, "row " + std::to_string(i));
        }
        return true;
    }
};

}  // namespace

TEST_F(FltkControls, ListsKeepTheirScrollPositionAndShowTheSelection) {
    LongLists dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    auto* lines = dlg.Get<ui::ListBox>(LongLists::IDC_LINES);
    auto* rows = dlg.Get<ui::ListView>(LongLists::IDC_ROWS);
    auto* lineBrowser = static_cast<Fl_Browser*>(backend.WidgetOf(*lines));
    Fl_Browser* rowBrowser = nullptr;
    auto* rowGroup = static_cast<Fl_Group*>(backend.WidgetOf(*rows));
    for (int i = 0; i < rowGroup->children(); ++i)
        if (auto* b = dynamic_cast<Fl_Browser*>(rowGroup->child(i))) rowBrowser = b;
    ASSERT_TRUE(rowBrowser);

    // The user has scrolled both lists down and clicks the first line shown:
    // that line is chosen and the lists stay where they were.
    const struct {
        Fl_Browser* browser;
        std::function<int()> chosen;
    } cases[] = {
        {lineBrowser, [&] { return lines->GetCurSel(); }},
        {rowBrowser, [&] { return rows->GetNextSelected(-1); }},
    };
    for (const auto& c : cases) {
        c.browser->topline(21);
        EXPECT_TRUE(Settle());
        SendClick(win, c.browser->x() + 10, c.browser->y() + 7);
        EXPECT_TRUE(WaitFor([&] { return c.chosen() == 20; })) << c.chosen();
        EXPECT_TRUE(Settle());  // the list is drawn again
        EXPECT_EQ(c.browser->topline(), 21);
    }

    // A selection the program makes below the lines shown is scrolled into
    // view.
    lines->SetCurSel(38);
    rows->SetSelected(20, false);
    rows->SetSelected(38, true);
    ASSERT_TRUE(Settle());
    for (Fl_Browser* b : {lineBrowser, rowBrowser}) {
        EXPECT_TRUE(b->displayed(39)) << b->topline();
        EXPECT_GT(b->topline(), 21);
    }
    CloseWindow(dlg);
}

TEST_F(FltkControls, TextsAreWindows1252InTheProgramAndUtf8OnScreen) {
    AllControls dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    auto widget = [&](int id) { return backend.WidgetOf(*dlg.GetDlgItem(id)); };

    // The program's bytes are shown as their characters.
    dlg.SetDlgItemText(IDC_LABEL,
                       "Gr\xF6\xDF"
                       "e:");
    dlg.SetDlgItemText(IDC_EDIT,
                       "\xFC"
                       "ber 5 \x80");
    auto* drop = dlg.Get<ui::ComboBox>(IDC_DROP);
    drop->AddString(
        "20 \xB0"
        "C");
    drop->SetCurSel(0);
    dlg.Get<ui::ListBox>(IDC_LIST)->AddString("\x93quoted\x94");
    EXPECT_STREQ(widget(IDC_LABEL)->label(), "Größe:");
    auto* input = static_cast<Fl_Input*>(widget(IDC_EDIT));
    EXPECT_STREQ(input->value(), "über 5 €");
    EXPECT_STREQ(static_cast<Fl_Choice*>(widget(IDC_DROP))->text(), "20 °C");
    EXPECT_STREQ(static_cast<Fl_Browser*>(widget(IDC_LIST))->text(1), "“quoted”");
    // A caret after the first character stands after its two UTF-8 bytes.
    dlg.Get<ui::Edit>(IDC_EDIT)->SetSel(1, 1);
    EXPECT_EQ(input->position(), 2);

    // What the user types reaches the program as Windows-1252 bytes; a
    // character without a byte there becomes '?'.
    input->value("Brücke € Ω");
    input->do_callback();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT),
              "Br\xFC"
              "cke \x80 ?");
    EXPECT_EQ(dlg.Count(IDC_EDIT, ui::Notify::Change), 1);
    EXPECT_STREQ(input->value(), "Brücke € ?");  // the field shows what the program holds
    CloseWindow(dlg);
}

namespace {

// Two edits showing the same number, the second with right-aligned text.
class NumberEdits : public ui::Dialog {
public:
    enum { IDC_LEFT = 2101, IDC_RIGHT };
    NumberEdits() : ui::Dialog(961, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 961;
        t.caption = "Number Edits";
        t.rect = {300, 20, 200, 60};
        t.style |= ui::style::Visible;
        t.DefPushButton(ui::IDOK, "OK", {4, 40, 50, 14});
        t.EditBox(IDC_LEFT, {4, 4, 90, 14});
        t.EditBox(IDC_RIGHT, {100, 4, 90, 14}, ui::cs::RightText);
        return t;
    }
};

// Mean column of the dark pixels inside a widget's frame, as a fraction of
// its width; -1 when it shows none. Widget places are the window's.
double InkCentre(const Shot& s, const Fl_Widget& w) {
    double sum = 0;
    int n = 0;
    for (int y = w.y() + 3; y < w.y() + w.h() - 3; ++y)
        for (int x = w.x() + 3; x < w.x() + w.w() - 3; ++x)
            if (IsDark(s.At(x, y))) {
                sum += x - w.x();
                ++n;
            }
    return n ? sum / n / w.w() : -1;
}

}  // namespace

TEST_F(FltkControls, RightTextEditsShowTheirNumberAtTheRightEdge) {
    NumberEdits dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    dlg.SetDlgItemText(NumberEdits::IDC_LEFT, "12.5");
    dlg.SetDlgItemText(NumberEdits::IDC_RIGHT, "12.5");
    dlg.GotoDlgCtrl(dlg.GetDlgItem(ui::IDOK));
    ASSERT_TRUE(Settle());
    const Shot shot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(shot, "fltk_number_edits.bmp");
    Fl_Widget* left = backend.WidgetOf(*dlg.GetDlgItem(NumberEdits::IDC_LEFT));
    Fl_Widget* right = backend.WidgetOf(*dlg.GetDlgItem(NumberEdits::IDC_RIGHT));
    ASSERT_NE(Fl::focus(), right);
    EXPECT_STREQ(static_cast<Fl_Input*>(right)->value(), "12.5");
    const double l = InkCentre(shot, *left), r = InkCentre(shot, *right);
    EXPECT_GT(l, 0.0);
    EXPECT_LT(l, 0.4);
    EXPECT_GT(r, 0.6);
    CloseWindow(dlg);
}
