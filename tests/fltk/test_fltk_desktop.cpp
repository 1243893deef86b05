// Drives a small program on the layer under a real X display: a main frame
// with menus, toolbars, a status bar and an OpenGL view with text; a dialog
// opened from the toolbar, typed into and confirmed, and a message box
// answered, all through input events sent through the X server. Screenshots
// are read back from the screen and their pixels checked.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uibase/GLView.h"
#include "platform/fltk/FltkBackend.h"
#include "platform/gl/DibImage.h"
#include "platform/gl/GlIncludes.h"
#include "platform/ui/UI.h"
#include "XInput.h"

namespace {

constexpr int ID_OPEN_DIALOG = 32900;
constexpr int ID_SAY_HELLO = 32901;
constexpr int ID_TOGGLE = 32902;
constexpr int ID_SAVE_BITMAP = 32903;
constexpr int IDD_DEMO = 950;
constexpr int IDC_VALUE = 1001;

const ui::Color kBackground = ui::Rgb(255, 255, 200);

class DemoView : public GLView {
public:
    void OnLButtonDown(int, ui::Point p) override { presses.push_back(p); }
    void OnKeyDown(int key, int, int) override { keys.push_back(key); }
    std::vector<ui::Point> presses;
    std::vector<int> keys;
    void RenderScene() override {
        GLView::RenderScene();
        glColor3f(0.0f, 0.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex2f(-60, -30);
        glVertex2f(60, -30);
        glVertex2f(60, 30);
        glVertex2f(-60, 30);
        glEnd();
        SetColor(ui::Rgb(0, 0, 0), 1.0f);
        glRasterPos2f(-40.0f, 50.0f);
        DrawText("Brennix 2025");
        glFlush();
    }
};

class DemoDialog : public ui::Dialog {
public:
    explicit DemoDialog(ui::Window* parent) : ui::Dialog(IDD_DEMO, parent) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = IDD_DEMO;
        t.caption = "Demo Value";
        t.rect = {40, 60, 160, 70};
        t.Label(ui::IDSTATIC, "&Value:", {8, 10, 40, 8});
        t.EditBox(IDC_VALUE, {52, 8, 100, 14});
        t.DefPushButton(ui::IDOK, "OK", {48, 48, 50, 14});
        t.PushButton(ui::IDCANCEL, "Cancel", {102, 48, 50, 14});
        return t;
    }
    void DoDataExchange(ui::DataExchange& dx) override { dx.Text(IDC_VALUE, value); }
    void OnOK() override {
        if (!UpdateData(true)) return;
        answer = ui::MessageBox("Keep the value " + value + "?", ui::Buttons::YesNo, ui::Icon::Question);
        if (answer == ui::IDYES) ui::Dialog::OnOK();
    }
    std::string value;
    int answer = 0;
};

class DemoFrame : public ui::Frame {
public:
    int OnCreate() override {
        ui::ToolBar file;
        file.name = "File";
        file.buttons = {ui::cmd::FileNew, ui::cmd::FileOpen, 0, ID_OPEN_DIALOG};
        file.state.assign(file.buttons.size(), ui::CmdUI(0));
        if (AddToolBar(file) < 0) return -1;
        ui::ToolBar view;
        view.name = "View";
        view.buttons = {ID_SAY_HELLO, ID_TOGGLE};
        view.state.assign(view.buttons.size(), ui::CmdUI(0));
        if (AddToolBar(view) < 0) return -1;
        return CreateStatusBar({"CAP", "NUM", "SCRL"}) ? 0 : -1;
    }
};

class DemoApp : public ui::App {
public:
    bool InitInstance() override {
        SetAppName("Brennix Demo");
        ui::RegisterCommand({ID_OPEN_DIALOG, "&Value...\tCtrl+D", "Edit the value\nValue"});
        ui::RegisterCommand({ID_SAY_HELLO, "&Hello", "Say hello in the status bar\nHello"});
        ui::RegisterCommand({ID_TOGGLE, "&Toggle", "Toggle a mark\nToggle"});
        auto frame = std::make_unique<DemoFrame>();
        DemoFrame* f = frame.get();
        SetMainFrame(std::move(frame));
        if (!f->LoadFrame("Brennix Demo")) return false;
        ui::MenuItem bar;
        ui::MenuItem& file = bar.AddPopup("&File");
        file.AddCommand(ui::cmd::FileNew, "&New\tCtrl+N");
        file.AddCommand(ID_SAVE_BITMAP, "Save as &Bitmap...\tCtrl+B");
        file.AddCommand(ui::cmd::FilePrintPreview, "Print Pre&view\tCtrl+W");
        file.AddSeparator();
        file.AddCommand(ui::cmd::AppExit, "E&xit");
        ui::MenuItem& edit = bar.AddPopup("&Edit");
        edit.AddCommand(ID_OPEN_DIALOG);
        edit.AddCommand(ID_TOGGLE);
        f->SetMenuBar(bar);
        f->MoveWindow({0, 0, 640, 480});
        auto view = std::make_unique<DemoView>();
        view->StoreClearColor(kBackground);
        this->view = view.get();
        view->OnCommand(ID_SAVE_BITMAP, [v = view.get()] { v->ExportBitmap(); });
        f->SetView(std::move(view));
        OnCommand(ID_OPEN_DIALOG, [this, f] {
            DemoDialog dlg(f);
            dialogResult = dlg.DoModal();
            value = dlg.value;
            answer = dlg.answer;
        });
        OnCommand(ID_SAY_HELLO, [this, f] {
            ++hellos;
            f->SetMessageText("Hello");
        });
        OnCommand(ID_TOGGLE, [this] { toggled = !toggled; });
        OnUpdateUI(ID_TOGGLE, [this](ui::CmdUI& ui) { ui.SetCheck(toggled); });
        f->ShowWindow(true);
        return true;
    }
    DemoView* view = nullptr;
    int dialogResult = 0;
    std::string value;
    int answer = 0;
    bool toggled = false;
    int hellos = 0;
};

// A script of steps run by a timer inside whatever event loop runs (the
// main loop or a modal one). A step returns true when it is done; a step
// that is not done is retried at the next tick.
struct Script {
    std::vector<std::pair<std::string, std::function<bool()>>> steps;
    size_t next = 0;
    int ticks = 0;
    std::string failure;
    std::function<void()> abort;

    static void Tick(void* data) {
        auto* s = static_cast<Script*>(data);
        if (++s->ticks > 400) {  // 20 seconds
            if (s->failure.empty())
                s->failure = "timed out at step " + (s->next < s->steps.size() ? s->steps[s->next].first : "end");
            // Again at every tick until the program has ended: a window
            // that the program opens after the first abort goes too.
            s->abort();
            Fl::repeat_timeout(0.05, Tick, data);
            return;
        }
        if (s->next < s->steps.size() && s->steps[s->next].second()) ++s->next;
        if (s->next < s->steps.size()) Fl::repeat_timeout(0.05, Tick, data);
    }
};

}  // namespace

namespace {
class FltkDesktop : public FltkDisplayTest {};
}  // namespace

TEST_F(FltkDesktop, FrameViewDialogAndMessageBoxUnderARealDisplay) {
    DemoApp app;

    Script script;
    // A name of this run's own in the working folder.
    const std::string exportName = "fltkexport" + std::to_string(::getpid()) + ".bmp";
    Fl_Window* frameWin = nullptr;
    ui::Frame* frame = nullptr;
    int settle = 0;
    auto settled = [&settle] { return ++settle % 6 == 0; };  // a few ticks for drawing to finish

    script.steps = {
        {"frame shown",
         [&] {
             frame = app.MainFrame();
             frameWin = frame ? backend.TopWindowOf(*frame) : nullptr;
             return frameWin && frameWin->shown() && app.view && !app.view->Picture().empty() && settled();
         }},
        {"main screenshot",
         [&] {
             Fl::flush();
             const Shot s = Screenshot(frameWin->x(), frameWin->y(), frameWin->w(), frameWin->h());
             SaveShot(s, "fltk_main_window.bmp");
             EXPECT_EQ(s.w, 640);
             EXPECT_EQ(s.h, 480 + 25);
             Fl_Widget* viewWidget = backend.WidgetOf(*app.view);
             EXPECT_TRUE(viewWidget);
             if (!viewWidget || s.w == 0) return true;
             // The view shows the rendered picture pixel for pixel.
             const brennix::gl::DibImage& pic = app.view->Picture();
             EXPECT_EQ(pic.width, viewWidget->w());
             EXPECT_EQ(pic.height, viewWidget->h());
             int differing = 0, blue = 0, ink = 0, background = 0;
             for (int y = 0; y < pic.height; ++y)
                 for (int x = 0; x < pic.width; ++x) {
                     unsigned char want[3];
                     pic.PixelAt(x, y, want);
                     const unsigned char* got = s.At(viewWidget->x() + x, viewWidget->y() + y);
                     if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2]) ++differing;
                     if (got[0] == 0 && got[1] == 0 && got[2] == 255) ++blue;
                     if (got[0] == 255 && got[1] == 255 && got[2] == 200) ++background;
                     if (IsDark(got)) ++ink;
                 }
             EXPECT_EQ(differing, 0);
             EXPECT_EQ(blue, 120 * 60);  // the quad, one pixel per unit
             EXPECT_GT(background, pic.width * pic.height / 2);
             EXPECT_GT(ink, 60);  // the label
             // The label stands right of its raster position, above the quad.
             const int cx = viewWidget->x() + pic.width / 2, cy = viewWidget->y() + pic.height / 2;
             int labelInk = 0;
             for (int y = cy - 50 - 14; y < cy - 50; ++y)
                 for (int x = cx - 40; x < cx + 80; ++x) labelInk += IsDark(s.At(x, y));
             EXPECT_GT(labelInk, 60);
             // The view starts below the menu bar and the toolbar row and
             // ends above the status bar.
             EXPECT_EQ(viewWidget->y(), 25 + ui::kToolBarRowHeight);
             EXPECT_EQ(viewWidget->y() + viewWidget->h(), 505 - ui::kStatusBarHeight);
             // Toolbar icons are drawn in colour; the menu bar and the status
             // bar carry dark text.
             int toolColour = 0, menuInk = 0, statusInk = 0;
             for (int y = 25; y < 25 + ui::kToolBarRowHeight; ++y)
                 for (int x = 0; x < 300; ++x) {
                     const unsigned char* p = s.At(x, y);
                     if (std::abs(p[0] - p[1]) > 40 || std::abs(p[1] - p[2]) > 40) ++toolColour;
                 }
             for (int y = 0; y < 25; ++y)
                 for (int x = 0; x < 120; ++x) menuInk += IsDark(s.At(x, y));
             for (int y = 505 - ui::kStatusBarHeight; y < 505; ++y)
                 for (int x = 0; x < 200; ++x) statusInk += IsDark(s.At(x, y));
             EXPECT_GT(toolColour, 5 * 100);
             EXPECT_GT(menuInk, 20);
             EXPECT_GT(statusInk, 10);
             return true;
         }},
        {"click the toolbar's Hello",
         [&] {
             // Second toolbar, first button: after 3 buttons and a separator of the first bar.
             const int button = ui::kToolBarRowHeight - 6;
             const int x = 2 + 3 * (button + 1) + 6 + 8 + button / 2;
             SendClick(frameWin, x, 25 + 3 + button / 2);
             return true;
         }},
        {"the toolbar button ran its command",
         [&] {
             if (app.hellos != 1) return false;
             // Pointing at the next button shows its status text.
             const int button = ui::kToolBarRowHeight - 6;
             SendMotion(frameWin, 2 + 3 * (button + 1) + 6 + 8 + (button + 1) + button / 2, 25 + 3 + button / 2);
             return true;
         }},
        {"fly-by text of the pointed button",
         [&] {
             if (frame->GetStatusBar().message != "Toggle a mark") return false;
             SendClick(frameWin, 55, 12);  // the Edit menu
             return true;
         }},
        {"menu open: choose its second item",
         [&] {
             Fl_Window* menu = Fl::first_window();
             if (!menu || menu == frameWin || backend.LayerWindowOf(menu) || !settled()) return false;
             // Edit holds "Value..." and "Toggle".
             SendClick(menu, menu->w() / 2, menu->h() * 3 / 4);
             return true;
         }},
        {"the menu item ran its command",
         [&] {
             if (!app.toggled) return false;
             SendClick(frameWin, 55, 12);  // open Edit again: the update pass checks Toggle
             return true;
         }},
        {"the reopened menu shows the check mark",
         [&] {
             Fl_Window* menu = Fl::first_window();
             if (!menu || menu == frameWin || backend.LayerWindowOf(menu) || !settled()) return false;
             const ui::MenuItem* item = frame->GetMenuBar().Find(ID_TOGGLE);
             EXPECT_TRUE(item && item->checked);
             SendKey(menu, XK_Escape);
             return true;
         }},
        {"menu closed",
         [&] {
             Fl_Window* top = Fl::first_window();
             return top == frameWin && settled();
         }},
        {"open the dialog with its accelerator",
         [&] {
             SendKey(frameWin, XK_d, ControlMask);
             return true;
         }},
        {"dialog shown",
         [&] {
             Fl_Window* top = Fl::first_window();
             auto* lw = top ? backend.LayerWindowOf(top) : nullptr;
             auto* dlg = dynamic_cast<ui::Dialog*>(lw);
             if (!dlg || !top->shown() || !settled()) return false;
             EXPECT_EQ(dlg->TemplateId(), IDD_DEMO);
             EXPECT_TRUE(dlg->IsModal());
             // The edit has the focus: typing goes there.
             EXPECT_EQ(dlg->GetFocus() ? dlg->GetFocus()->GetDlgCtrlID() : 0, IDC_VALUE);
             const Shot s = Screenshot(top->x(), top->y(), top->w(), top->h());
             SaveShot(s, "fltk_dialog.bmp");
             // 160 x 70 dialog units in the font's base units, centred
             // over the main window.
             EXPECT_EQ(s.w, dlg->MapDialogRect({0, 0, 160, 70}).w);
             EXPECT_EQ(s.h, dlg->MapDialogRect({0, 0, 160, 70}).h);
             EXPECT_NEAR(top->x() + top->w() / 2, frameWin->x() + frameWin->w() / 2, 2);
             SendKey(top, XK_4);
             SendKey(top, XK_2);
             return true;
         }},
        {"typed, Tab to OK",
         [&] {
             Fl_Window* top = Fl::first_window();
             auto* dlg = dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(top));
             if (!dlg || dlg->GetDlgItemText(IDC_VALUE) != "42") return false;
             SendKey(top, XK_Tab);
             return true;
         }},
        {"OK has the focus, Enter",
         [&] {
             Fl_Window* top = Fl::first_window();
             auto* dlg = dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(top));
             if (!dlg || !dlg->GetFocus() || dlg->GetFocus()->GetDlgCtrlID() != ui::IDOK) return false;
             SendKey(top, XK_Return);
             return true;
         }},
        {"message box shown",
         [&] {
             Fl_Window* box = backend.ActiveMessageBox();
             if (!box || !box->shown() || !settled()) return false;
             const Shot s = Screenshot(box->x(), box->y(), box->w(), box->h());
             SaveShot(s, "fltk_message_box.bmp");
             int questionBlue = 0, ink = 0;
             for (int y = 0; y < s.h; ++y)
                 for (int x = 0; x < s.w; ++x) {
                     const unsigned char* p = s.At(x, y);
                     if (p[0] == 32 && p[1] == 96 && p[2] == 192) ++questionBlue;
                     ink += IsDark(p);
                 }
             EXPECT_GT(questionBlue, 300);  // the question icon
             EXPECT_GT(ink, 100);           // text and buttons
             SendKey(box, XK_Return);       // Yes is the default button
             return true;
         }},
        {"dialog closed", [&] { return app.dialogResult != 0 && settled(); }},
        {"after the dialog",
         [&] {
             EXPECT_EQ(app.answer, ui::IDYES);
             EXPECT_EQ(app.dialogResult, ui::IDOK);
             EXPECT_EQ(app.value, "42");
             EXPECT_EQ(backend.ActiveMessageBox(), nullptr);
             const Shot s = Screenshot(frameWin->x(), frameWin->y(), frameWin->w(), frameWin->h());
             SaveShot(s, "fltk_after_dialog.bmp");
             Fl_Widget* viewWidget = backend.WidgetOf(*app.view);
             const int cx = viewWidget->x() + viewWidget->w() / 2, cy = viewWidget->y() + viewWidget->h() / 2;
             const unsigned char* centre = s.At(cx, cy);
             EXPECT_EQ(centre[2], 255);  // the picture is back where the dialog was
             EXPECT_EQ(centre[0], 0);
             // A click in the view reaches it at view coordinates and
             // gives it the keyboard; menu accelerators still work.
             SendClick(frameWin, viewWidget->x() + 10, viewWidget->y() + 20);
             return true;
         }},
        {"the view has the click and the focus",
         [&] {
             if (app.view->presses.empty()) return false;
             EXPECT_EQ(app.view->presses[0], (ui::Point{10, 20}));
             EXPECT_EQ(Fl::focus(), backend.WidgetOf(*app.view));
             app.view->keys.clear();
             SendKey(frameWin, XK_Right);
             return true;
         }},
        {"a key reached the view; accelerator with the view focused",
         [&] {
             if (app.view->keys.empty() || app.view->keys.back() != ui::key::Right) return false;
             std::remove(exportName.c_str());
             SendKey(frameWin, XK_b, ControlMask);
             return true;
         }},
        {"file chooser: type a name",
         [&] {
             Fl_Window* chooser = WindowTitled("Save As");
             if (!chooser || !settled()) return false;
             TypeText(chooser, exportName);
             SendKey(chooser, XK_Return);
             return true;
         }},
        {"bitmap exported",
         [&] {
             brennix::gl::DibImage saved;
             if (WindowTitled("Save As") || !brennix::gl::ReadBitmapFile(exportName, saved)) return false;
             EXPECT_EQ(saved.width, app.view->Picture().width);
             EXPECT_EQ(saved.height, app.view->Picture().height);
             EXPECT_TRUE(saved.bits == app.view->Picture().bits);
             std::remove(exportName.c_str());
             SendKey(frameWin, XK_w, ControlMask);
             return true;
         }},
        {"print preview shown",
         [&] {
             Fl_Window* preview = WindowTitled("Print Preview");
             if (!preview || !settled()) return false;
             const Shot s = Screenshot(preview->x(), preview->y(), preview->w(), preview->h());
             SaveShot(s, "fltk_print_preview.bmp");
             int white = 0, blue = 0;
             for (int y = 42; y < s.h; ++y)
                 for (int x = 0; x < s.w; ++x) {
                     const unsigned char* p = s.At(x, y);
                     white += p[0] == 255 && p[1] == 255 && p[2] == 255;
                     blue += p[0] == 0 && p[1] == 0 && p[2] == 255;
                 }
             EXPECT_GT(white, s.w * (s.h - 42) / 4);  // the sheet
             EXPECT_GT(blue, 100);                    // the picture's quad on it
             SendClick(preview, 96 + 40, 8 + 13);     // Close
             return true;
         }},
        {"preview closed, the window grows",
         [&] {
             if (WindowTitled("Print Preview")) return false;
             XResizeWindow(fl_display, fl_xid(frameWin), 700, 545);
             XFlush(fl_display);
             return true;
         }},
        {"the layout follows the new size",
         [&] {
             if (frame->GetWindowRect().w != 700 || !settled()) return false;
             EXPECT_EQ(frame->GetWindowRect().h, 545 - 25);
             Fl_Widget* viewWidget = backend.WidgetOf(*app.view);
             EXPECT_EQ(viewWidget->w(), 700);
             EXPECT_EQ(viewWidget->h(), 545 - 25 - ui::kToolBarRowHeight - ui::kStatusBarHeight);
             EXPECT_EQ(app.view->Width(), 700);
             EXPECT_EQ(app.view->Height(), viewWidget->h());
             const Shot s = Screenshot(frameWin->x(), frameWin->y(), frameWin->w(), frameWin->h());
             SaveShot(s, "fltk_resized.bmp");
             // Toolbar buttons keep their size and place; the status bar
             // sits at the new bottom; the picture fills the new view.
             const int button = ui::kToolBarRowHeight - 6;
             const unsigned char* firstIcon = s.At(2 + button / 2, 25 + 3 + button / 2);
             EXPECT_FALSE(firstIcon[0] == firstIcon[1] && firstIcon[1] == firstIcon[2]);
             int statusInk = 0;
             for (int y = 545 - ui::kStatusBarHeight; y < 545; ++y)
                 for (int x = 0; x < 200; ++x) statusInk += IsDark(s.At(x, y));
             EXPECT_GT(statusInk, 10);
             const unsigned char* corner = s.At(viewWidget->x() + 695, viewWidget->y() + viewWidget->h() - 3);
             EXPECT_EQ(corner[0], 255);
             EXPECT_EQ(corner[2], 200);
             const unsigned char* centre = s.At(viewWidget->x() + 350, viewWidget->y() + viewWidget->h() / 2);
             EXPECT_EQ(centre[2], 255);
             app.Quit();
             return true;
         }},
    };
    script.abort = [&] {
        // End whatever loop runs: dialogs first, then the windows that are
        // not the program's own (message boxes, the file chooser, the
        // preview), then the program.
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
            if (auto* d = dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(w)); d && d->IsModal())
                d->EndDialog(ui::IDCANCEL);
        }
        for (Fl_Window* w = Fl::first_window(); w;) {
            Fl_Window* next = Fl::next_window(w);
            if (!backend.LayerWindowOf(w)) {
                w->do_callback();  // as its close box: the chooser cancels
                if (w->shown()) w->hide();
            }
            w = next;
        }
        app.Quit();
    };
    Fl::add_timeout(0.05, Script::Tick, &script);

    const int exitCode = app.Run({});
    Fl::remove_timeout(Script::Tick, &script);
    EXPECT_EQ(script.failure, "");
    EXPECT_EQ(script.next, script.steps.size());
    EXPECT_EQ(exitCode, 0);
}
