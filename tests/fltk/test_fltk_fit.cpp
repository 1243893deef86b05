// What the user reads and types on the desktop: texts shown as written,
// message boxes as large as their text, labels from the templates on one
// line, a file chooser that keeps what is typed, and modeless windows kept
// above the main window.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkWidgets.h"
#include "platform/ui/UI.h"
#include "XInput.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/fl_draw.H>

namespace {

namespace fs = std::filesystem;

class FltkFit : public FltkDisplayTest {};

// The first child of the window (searched through groups) that passes.
template <class W, class F>
W* FindWidget(Fl_Group* g, F pass) {
    for (int i = 0; i < g->children(); ++i) {
        Fl_Widget* c = g->child(i);
        if (auto* w = dynamic_cast<W*>(c); w && pass(w)) return w;
        if (Fl_Group* sub = c->as_group())
            if (W* w = FindWidget<W>(sub, pass)) return w;
    }
    return nullptr;
}

// The width FLTK gives a widget's label as it would draw it.
int LabelWidth(const Fl_Widget& w) {
    int lw = 0, lh = 0;
    const_cast<Fl_Widget&>(w).measure_label(lw, lh);
    return lw;
}

enum { IDC_MAIL = 3001, IDC_FILE, IDC_CUT, IDC_PATH, IDC_SEGMENT, IDC_REACTION };

class TextsDialog : public ui::Dialog {
public:
    TextsDialog() : ui::Dialog(961, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 961;
        t.caption = "Texts";
        t.rect = {0, 0, 260, 120};
        t.style |= ui::style::Visible;
        t.Label(IDC_MAIL, "support@calvex.example", {8, 8, 120, 9});
        t.PushButton(IDC_FILE, "x@y&&z/w", {140, 6, 80, 14});
        // Template places of texts that ran over their neighbours.
        t.Label(IDC_CUT, "Cut Line Selection", {15, 44, 71, 9});
        t.Label(IDC_SEGMENT, "Segment division", {150, 44, 70, 8});
        t.Radio(IDC_REACTION, "Reaction at Fixed BC", {15, 70, 90, 10}, ui::cs::Group);
        t.Label(IDC_PATH, "Node path Selection", {15, 90, 71, 9});
        t.DefPushButton(ui::IDOK, "OK", {200, 100, 50, 14});
        return t;
    }
};

}  // namespace

TEST_F(FltkFit, TextsShownAsWrittenAndTemplateLabelsOnOneLine) {
    TextsDialog dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    auto widget = [&](int id) { return backend.WidgetOf(*dlg.GetDlgItem(id)); };
    Fl_Widget* mail = widget(IDC_MAIL);
    fl_font(mail->labelfont(), mail->labelsize());
    // "@" starts no symbol: the whole address is measured and drawn.
    EXPECT_GE(LabelWidth(*mail), static_cast<int>(fl_width("support@calvex.example")));
    Fl_Widget* file = widget(IDC_FILE);
    fl_font(file->labelfont(), file->labelsize());
    EXPECT_GE(LabelWidth(*file), static_cast<int>(fl_width("x@y&z/w")));

    // Each template label fits its place on one line in the font shown.
    for (int id : {IDC_CUT, IDC_SEGMENT, IDC_PATH, IDC_REACTION}) {
        Fl_Widget* w = widget(id);
        SCOPED_TRACE(w->label());
        fl_font(w->labelfont(), w->labelsize());
        // Labels keep 3 pixels each side; a radio's text follows its button.
        int room = w->w() - 6;
        if (id == IDC_REACTION) room -= w->labelsize() + 4;
        int tw = room, th = 0;
        fl_measure(w->label(), tw, th, 0);
        EXPECT_EQ(th, fl_height());
    }
    // Shot once the window is painted (its face is no longer black).
    EXPECT_TRUE(WaitFor([&] {
        Fl::flush();
        const Shot corner = Screenshot(win->x() + 2, win->y() + 2, 1, 1);
        return corner.w == 1 && !IsDark(corner.At(0, 0));
    }));
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "fltk_texts_dialog.bmp");
    CloseWindow(dlg);

    // Menu entries: a recent file named with "@" and "&" reads as named.
    ui::Frame frame;
    ASSERT_TRUE(frame.LoadFrame("Texts"));
    ui::MenuItem bar;
    bar.AddPopup("&File").AddCommand(ui::cmd::FileMruFirst, "&1 /tmp/x@y&&z.slb");
    frame.SetMenuBar(bar);
    Fl_Window* top = backend.TopWindowOf(frame);
    ASSERT_TRUE(top);
    auto* menu = FindWidget<Fl_Menu_Bar>(top, [](Fl_Menu_Bar*) { return true; });
    ASSERT_TRUE(menu);
    const Fl_Menu_Item* entry = menu->menu()->submenu() ? menu->menu() + 1 : nullptr;
    ASSERT_TRUE(entry && entry->label());
    Fl_Label l{};
    l.value = entry->label();
    l.type = entry->labeltype_;
    l.font = menu->textfont();
    l.size = menu->textsize();
    int lw = 0, lh = 0;
    l.measure(lw, lh);
    fl_font(menu->textfont(), menu->textsize());
    EXPECT_GE(lw, static_cast<int>(fl_width("1 /tmp/x@y&z.slb")));
    CloseWindow(frame);
}

// File names are UTF-8 on this system: a model named with accents, CJK
// characters and an emoji is shown as it is in the window title (as the
// window manager reads it) and in the recent-file menu, while the program's
// own Windows-1252 texts stay converted.
TEST_F(FltkFit, FileNamesInTitlesAndMenusAreShownAsTheirUtf8) {
    const std::string name = "Plaque dalle \xC3\xA0 \xE6\xA8\xA1\xE5\x9E\x8B 1 \xF0\x9F\x98\x80.slb";
    ui::Frame frame;
    ASSERT_TRUE(frame.LoadFrame("Names"));
    ui::MenuItem bar;
    bar.AddPopup("&File").AddCommand(ui::cmd::FileMruFirst, "&1 /tmp/" + name);
    frame.SetMenuBar(bar);
    frame.SetWindowText("Brennix 2025.4.1 - " + name);
    frame.ShowWindow(true);
    Fl_Window* top = backend.TopWindowOf(frame);
    ASSERT_TRUE(top);
    EXPECT_EQ(std::string(top->label()), "Brennix 2025.4.1 - " + name);
    ASSERT_TRUE(WaitFor([&] { return top->shown(); }));
    Fl::flush();
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(fl_display, fl_xid(top), XInternAtom(fl_display, "_NET_WM_NAME", False), 0, 1024,
                                 False, AnyPropertyType, &type, &format, &items, &after, &data),
              Success);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), items), "Brennix 2025.4.1 - " + name);
    XFree(data);
    auto* menu = FindWidget<Fl_Menu_Bar>(top, [](Fl_Menu_Bar*) { return true; });
    ASSERT_TRUE(menu);
    const Fl_Menu_Item* entry = menu->menu()->submenu() ? menu->menu() + 1 : nullptr;
    ASSERT_TRUE(entry && entry->label());
    EXPECT_EQ(std::string(entry->label()), "&1 /tmp/" + name);

    frame.SetWindowText(
        "Gr\xF6\xDF"
        "e");
    EXPECT_STREQ(top->label(), "Größe");
    CloseWindow(frame);
}

TEST_F(FltkFit, MessageBoxesAsLargeAsTheirText) {
    const std::vector<std::string> texts = {
        "Save changes to Brnx1?", "Node Number 2 is already defined",
        "Analysis will delete previous results\nDo you want to continue?",
        "The separate analysis program could not write its file list into the program's folder, which is not "
        "writable for this user. Choose a folder of your own for the runs and start the analysis again."};
    const std::vector<int> lines = {1, 1, 2, -1};  // -1: wrapped between words
    for (size_t k = 0; k < texts.size(); ++k) {
        SCOPED_TRACE(texts[k]);
        const brennix::fltk::TextExtent e = brennix::fltk::MessageTextExtent(texts[k], 13);
        fl_font(FL_HELVETICA, 13);
        if (lines[k] > 0)
            EXPECT_EQ(e.h, lines[k] * fl_height());
        else
            EXPECT_GT(e.h, fl_height());
        ModalSteps steps;
        steps.abort = [&] {
            if (Fl_Window* b = backend.ActiveMessageBox()) b->hide();
        };
        steps.list.push_back({"box shown", [&] {
                                  Fl_Window* box = backend.ActiveMessageBox();
                                  if (!box || !box->shown() || !box->visible()) return false;
                                  auto* text = FindWidget<Fl_Box>(
                                      box, [&](Fl_Box* b) { return b->label() && texts[k] == b->label(); });
                                  auto* button = FindWidget<Fl_Button>(box, [](Fl_Button*) { return true; });
                                  EXPECT_TRUE(text && button);
                                  if (text && button) {
                                      // Drawn as measured: the same lines, all above the buttons.
                                      int tw = text->w() - 6, th = 0;
                                      fl_font(text->labelfont(), text->labelsize());
                                      fl_measure(text->label(), tw, th, 0);
                                      EXPECT_EQ(th, e.h);
                                      EXPECT_LE(text->y() + th + 8, button->y());
                                  }
                                  Fl::flush();
                                  SaveShot(Screenshot(box->x(), box->y(), box->w(), box->h()),
                                           "fltk_message_box_" + std::to_string(k) + ".bmp");
                                  SendKey(box, XK_Return);
                                  return true;
                              }});
        Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
        EXPECT_EQ(ui::MessageBox(texts[k], ui::Buttons::OkCancel, ui::Icon::Question), ui::IDOK);
        Fl::remove_timeout(ModalSteps::Tick, &steps);
        EXPECT_EQ(steps.failure, "");
    }
}

TEST_F(FltkFit, FileChooserKeepsWhatIsTyped) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("chooser_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "a.slb") << "x";
    std::ofstream(dir / "b.txt") << "x";
    ui::FileDialogRequest req;
    req.open = false;
    req.title = "Save As";
    req.initialDir = dir.string();
    req.fileName = "Brnx1.slb";
    req.defaultExt = "slb";
    req.filters = ui::ParseFilter("Brennix Files (*.slb)|*.slb|All Files (*.*)|*.*||");
    req.flags = ui::ofn::OverwritePrompt;

    // Runs the chooser with the steps; the chosen path.
    auto run = [&](std::vector<std::pair<std::string, std::function<bool()>>> list) {
        ModalSteps steps;
        steps.list = std::move(list);
        steps.abort = [&] {
            if (Fl_Window* b = backend.ActiveMessageBox()) b->hide();
            if (Fl_Window* c = backend.ActiveFileChooser()) c->hide();
        };
        Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
        std::optional<std::string> chosen = backend.ShowFileDialog(req);
        Fl::remove_timeout(ModalSteps::Tick, &steps);
        EXPECT_EQ(steps.failure, "");
        return chosen;
    };
    auto chooser = [&] {
        Fl_Window* c = backend.ActiveFileChooser();
        return c && c->shown() && c->visible() && dynamic_cast<Fl_Input*>(Fl::focus()) ? c : nullptr;
    };
    auto field = [] { return dynamic_cast<Fl_Input*>(Fl::focus()); };
    // Clears the name field as a user does and types the text.
    auto clearAndType = [&](const std::string& text) {
        Fl_Window* c = chooser();
        if (!c) return false;
        SendKey(c, XK_End);
        SendKey(c, XK_Home, ShiftMask);
        SendKey(c, XK_Delete);
        TypeText(c, text);
        return true;
    };

    // A name typed letter by letter stays the name: the folder is not put
    // in front of it; Enter takes it in the folder shown.
    std::optional<std::string> chosen = run({
        {"the list shows sub-folders and model files only",
         [&] {
             Fl_Window* c = chooser();
             if (!c) return false;
             auto* list = FindWidget<Fl_Browser>(c, [](Fl_Browser*) { return true; });
             EXPECT_TRUE(list);
             std::vector<std::string> lines;
             for (int i = 1; list && i <= list->size(); ++i) lines.push_back(list->text(i));
             EXPECT_EQ(lines, (std::vector<std::string>{"sub/", "a.slb"}));
             auto* type = FindWidget<Fl_Choice>(c, [](Fl_Choice*) { return true; });
             EXPECT_TRUE(type && type->size() == 3);  // two filters and the end mark
             EXPECT_EQ(std::string(field()->value()), "Brnx1.slb");
             Fl::flush();
             SaveShot(Screenshot(c->x(), c->y(), c->w(), c->h()), "fltk_file_chooser.bmp");
             return clearAndType("em");
         }},
        {"typed",
         [&] {
             if (!chooser() || std::string(field()->value()) != "em") return false;
             SendKey(chooser(), XK_Return);
             return true;
         }},
    });
    EXPECT_EQ(chosen, (dir / "em").string());

    // An absolute path typed whole is taken as typed.
    const std::string elsewhere = (dir / "sub" / "model two.slb").string();
    chosen = run({{"type a path", [&] { return clearAndType(elsewhere); }},
                  {"typed", [&] {
                       if (!chooser() || std::string(field()->value()) != elsewhere) return false;
                       SendKey(chooser(), XK_Return);
                       return true;
                   }}});
    EXPECT_EQ(chosen, elsewhere);

    // A name without extension that names an existing model asks before
    // replacing it; No comes back to the chooser, Escape cancels.
    chosen =
        run({{"type a name", [&] { return clearAndType("a"); }},
             {"typed",
              [&] {
                  if (!chooser() || std::string(field()->value()) != "a") return false;
                  SendKey(chooser(), XK_Return);
                  return true;
              }},
             {"asked",
              [&] {
                  Fl_Window* box = backend.ActiveMessageBox();
                  if (!box || !box->shown()) return false;
                  auto* text = FindWidget<Fl_Box>(box, [](Fl_Box* b) { return b->label() && *b->label(); });
                  EXPECT_TRUE(text && std::string(text->label()).find("a.slb already exists") != std::string::npos);
                  auto* no = FindWidget<Fl_Button>(
                      box, [](Fl_Button* b) { return b->label() && std::string(b->label()) == "&No"; });
                  EXPECT_TRUE(no);
                  if (no) SendClick(box, no->x() + no->w() / 2, no->y() + no->h() / 2);
                  return true;
              }},
             {"back in the chooser", [&] {
                  if (backend.ActiveMessageBox() || !chooser()) return false;
                  EXPECT_EQ(std::string(field()->value()), "a");
                  SendKey(chooser(), XK_Escape);
                  return true;
              }}});
    EXPECT_FALSE(chosen.has_value());
    fs::remove_all(dir);
}

TEST_F(FltkFit, ModelessWindowsStayAboveTheMainWindow) {
    ui::Frame frame;
    ASSERT_TRUE(frame.LoadFrame("Main"));
    frame.MoveWindow({0, 0, 800, 600});
    frame.ShowWindow(true);
    Fl_Window* top = backend.TopWindowOf(frame);
    ASSERT_TRUE(top && WaitFor([&] { return top->shown() && top->visible(); }));
    TextsDialog dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    // Stacking order of the top-level windows, bottom first.
    auto above = [&] {
        XSync(fl_display, False);
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        int frameAt = -1, dialogAt = -1;
        // The windows may be reparented by a window manager: find the
        // root's children that hold them.
        auto holder = [&](::Window w) {
            for (;;) {
                ::Window r = 0, p = 0, *c = nullptr;
                unsigned k = 0;
                if (!XQueryTree(fl_display, w, &r, &p, &c, &k)) return w;
                if (c) XFree(c);
                if (p == r) return w;
                w = p;
            }
        };
        const ::Window f = holder(fl_xid(top)), d = holder(fl_xid(win));
        if (XQueryTree(fl_display, RootWindow(fl_display, fl_screen), &root, &parent, &children, &n)) {
            for (unsigned i = 0; i < n; ++i) {
                if (children[i] == f) frameAt = static_cast<int>(i);
                if (children[i] == d) dialogAt = static_cast<int>(i);
            }
            XFree(children);
        }
        return dialogAt > frameAt && frameAt >= 0;
    };
    // The main window comes to the front (as a click on it may bring it);
    // a click on it raises the modeless window again.
    XRaiseWindow(fl_display, fl_xid(top));
    XSync(fl_display, False);
    SendClick(top, 400, 400);
    EXPECT_TRUE(WaitFor(above));
    CloseWindow(dlg);
    CloseWindow(frame);
}

namespace {

// A window with the sizing border whose one control follows its right edge.
class SizedDialog : public ui::Dialog {
public:
    SizedDialog() : ui::Dialog(962, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 962;
        t.caption = "Sized";
        t.rect = {0, 0, 300, 150};
        t.style |= ui::style::Visible | ui::style::Resizable;
        t.PushButton(ui::IDOK, "OK", {240, 120, 50, 14});
        return t;
    }
    void OnSize(int cx, int cy) override {
        ui::Dialog::OnSize(cx, cy);
        if (ui::Control* ok = GetDlgItem(ui::IDOK)) {
            ui::Rect r = ok->GetWindowRect();
            r.x = cx - r.w - 10;
            ok->MoveWindow(r, false);
        }
    }
};

}  // namespace

// A window moved and made smaller by another client (a window manager, a
// smaller screen) stays where it was put: the program's own later changes of
// its size keep that place, and its controls follow the new size.
TEST_F(FltkFit, AWindowMovedAndSizedFromOutsideStaysWhereItWasPut) {
    SizedDialog dlg;
    Fl_Window* win = ShowDialog(dlg);
    ASSERT_TRUE(win);
    const int x = win->x() > 40 ? win->x() - 40 : win->x() + 40, y = win->y() + 20;
    const int w = win->w() - 60, h = win->h() - 20;
    XMoveResizeWindow(fl_display, fl_xid(win), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    ASSERT_TRUE(WaitFor([&] { return Settle(1.0) && win->w() == w && win->h() == h; }));
    EXPECT_EQ(win->x(), x);
    EXPECT_EQ(dlg.GetWindowRect().x, x);
    EXPECT_EQ(dlg.GetWindowRect().y, y);
    EXPECT_EQ(dlg.GetWindowRect().w, w);
    Fl_Widget* ok = backend.WidgetOf(*dlg.GetDlgItem(ui::IDOK));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->x() + ok->w(), w - 10);

    // The program's own change of size leaves the window in its place.
    dlg.SetWindowSize(w - 20, h);
    ASSERT_TRUE(WaitFor([&] { return Settle(1.0) && win->w() == w - 20; }));
    EXPECT_EQ(win->x(), x);
    EXPECT_EQ(win->y(), y);
    CloseWindow(dlg);
}
