// The result windows of an analysed example in the program's own frame and
// view on a real X display: the contour plot, the node result windows, the
// X-Y plot and the section cuts, each driven with clicks and keys through
// the X server, with screenshots of the frame at 1280 x 1024 and 1024 x 768
// kept; and the progress window's texts. The examples are analysed by
// brennix-run; the application opens them as the program does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The program's headers before the X headers, whose macros (None, Status)
// would clash with their names.
#include "../model/test_slb_support.h"
#include "app/KorbelApp.h"
#include "app/KorbelCommands.h"
#include "app/DialogFactories.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "app/SplashWindow.h"
#include "model/DataTable.h"
#include "meshtools/MesherBinding.h"
#include "meshtools/TemplateMeshing.h"
#include "model/ModelData.h"
#include "platform/ui/Settings.h"
#include "viz/ui/DlgContourLimits.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"
#include "viz/ui/DlgSectionCut.h"
#include "viz/ui/DlgXYPlot.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>

namespace {

// The widget of the window (or of its groups) with the label.
Fl_Widget* WidgetLabelled(Fl_Group* group, const std::string& label) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->label() && label == w->label() && w->visible()) return w;
        if (Fl_Group* g = w->as_group())
            if (Fl_Widget* found = WidgetLabelled(g, label)) return found;
    }
    return nullptr;
}

// Clicks the middle of the widget as the X server would deliver it.
bool ClickWidget(Fl_Window* win, const std::string& label) {
    Fl_Widget* w = WidgetLabelled(win, label);
    if (!w) return false;
    int x = w->x() + w->w() / 2, y = w->y() + w->h() / 2;
    if (w->window() != win) {  // inside a sub-window
        x += w->window()->x();
        y += w->window()->y();
    }
    SendClick(win, x, y);
    return true;
}

// Pixels of a colour of the contour ramp (neither grey, black nor white).
int RampPixels(const Shot& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = s.At(x, y);
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            n += hi - lo > 100;
        }
    return n;
}

// An example analysed with brennix-run and opened in the program, whose
// frame is shown; the start asks nothing (a user name is stored).
class ContourDesktop : public FltkDisplayTest {
protected:
    // The program ends before the display test's own teardown, as it did
    // when it lived in the test body.
    void TearDown() override {
        app.reset();
        FltkDisplayTest::TearDown();
    }
    void OpenAnalysedExample(const std::string& name) {
        const std::string model = dir.File(name);
        std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/" + name, model);
        OpenAnalysedModel(model);
    }
    void OpenAnalysedModel(const std::string& model) {
        const std::string run = std::string(BRENNIX_BIN_DIR) + "/brennix-run \"" + model + "\" >/dev/null 2>&1";
        ASSERT_EQ(std::system(run.c_str()), 0) << run;
        ui::Settings stored(dir.File("settings"));
        stored.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Desktop Test");
        ASSERT_TRUE(stored.Save());
        app->GetSettings().SetPath(dir.File("settings"));
        ASSERT_TRUE(app->InitInstance());
        ASSERT_NE(app->OpenDocumentFile(model), nullptr);
        view = dynamic_cast<CKorbelView*>(app->MainFrame()->GetActiveView());
        ASSERT_NE(view, nullptr);
        frame = backend.TopWindowOf(*app->MainFrame());
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitFor([&] { return frame->shown() && frame->visible(); }, 30.0));
    }
    void ShotAtBothSizes(const std::string& name);

    slbtest::ScratchDir dir;
    std::unique_ptr<CKorbelApp> app = std::make_unique<CKorbelApp>();
    CKorbelView* view = nullptr;
    Fl_Window* frame = nullptr;
};

}  // namespace

TEST_F(ContourDesktop, ContourPlotOfAnAnalysedExampleShowsContoursAndLegend) {
    OpenAnalysedExample("winkler-mat.slb");
    if (HasFatalFailure()) return;

    // Results > Contour Plot, as its menu item runs it.
    view->OnResultsContourPlot();
    Fl_Window* dlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dlg = WindowTitled("Contour Plot Options")) && dlg->visible(); }));
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(ClickWidget(dlg, "Show Contour Plot"));
    ASSERT_TRUE(WaitFor([&] { return view->display.contourColumn == 1; })) << view->display.contourColumn;
    SaveShot(Screenshot(dlg->x(), dlg->y(), dlg->w(), dlg->h()), "view_contour_dialog.bmp");
    ASSERT_TRUE(ClickWidget(dlg, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !dlg->visible(); }));

    Fl_Widget* viewWidget = backend.WidgetOf(*view);
    ASSERT_NE(viewWidget, nullptr);
    auto viewShot = [&](const std::string& name) {
        EXPECT_TRUE(Settle());
        SaveShot(Screenshot(frame->x(), frame->y(), frame->w(), frame->h()), name);
        return Screenshot(frame->x() + viewWidget->x(), frame->y() + viewWidget->y(), viewWidget->w(), viewWidget->h());
    };
    const int vw = viewWidget->w(), vh = viewWidget->h();
    // The example's first variable, the x displacement, is the same at every
    // node: the slab is filled in one colour of the ramp, and the legend's
    // eleven bars (from 50 pixels below the top, 150 .. 100 pixels from the
    // right edge) show it.
    const Shot uniform = viewShot("view_contour_plot.bmp");
    EXPECT_GT(RampPixels(uniform, vw - 145, 45, vw - 105, 260), 40 * 200);
    EXPECT_GT(RampPixels(uniform, 0, 0, vw - 160, vh), vw * vh / 3);

    // The legend's caption and values are written beside the bars.
    int ink = 0;
    for (int y = 20; y < 270; ++y)
        for (int x = vw - 95; x < vw; ++x) ink += IsDark(uniform.At(x, y));
    EXPECT_GT(ink, 300);

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

namespace {

// mat-piles: displacements in metres of a few millimetres. Ticking "Show
// Contour Plot" and OK through the X server keep the automatic range
// exactly, so the slab is filled with many colours of the ramp.
TEST_F(ContourDesktop, MillimetreDisplacementsKeepTheirRangeThroughTheDialog) {
    OpenAnalysedExample("mat-piles.slb");
    if (HasFatalFailure()) return;

    view->OnResultsContourPlot();
    Fl_Window* dlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dlg = WindowTitled("Contour Plot Options")) && dlg->visible(); }, 30.0));
    ASSERT_TRUE(ClickWidget(dlg, "Show Contour Plot"));
    ASSERT_TRUE(WaitFor([&] { return view->display.contourColumn == 1; }, 30.0));
    ASSERT_TRUE(ClickWidget(dlg, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !dlg->visible(); }, 30.0));

    const ModelData& m = *view->GetModelData();
    double low = 0, high = 0, autoLow = 0, autoHigh = 0, increment = 0;
    int divisions = 0;
    m.GetContourLimits(low, high, divisions, increment);
    m.GetDefaultContourLimits(autoLow, autoHigh, divisions, increment);
    EXPECT_EQ(low, autoLow);
    EXPECT_EQ(high, autoHigh);
    EXPECT_LT(low, high);

    // The picture after the view has painted the contours.
    Fl_Widget* viewWidget = backend.WidgetOf(*view);
    ASSERT_NE(viewWidget, nullptr);
    const int vw = viewWidget->w(), vh = viewWidget->h();
    const auto rampColours = [&] {
        const Shot s = Screenshot(frame->x() + viewWidget->x(), frame->y() + viewWidget->y(), vw, vh);
        std::set<int> colours;
        for (int y = 0; y < vh; ++y)
            for (int x = 0; x < vw - 160; ++x) {
                const unsigned char* p = s.At(x, y);
                const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
                if (hi - lo > 100) colours.insert((p[0] / 32) * 64 + (p[1] / 32) * 8 + p[2] / 32);
            }
        return colours.size();
    };
    EXPECT_TRUE(WaitFor([&] { return rampColours() >= 6; }, 30.0)) << rampColours();
    SaveShot(Screenshot(frame->x(), frame->y(), frame->w(), frame->h()), "view_contour_mm_range.bmp");

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

}  // namespace

namespace {

using korbel::ID_NODE_RESULTS;
using korbel::ID_SECTION_CUT;
using korbel::ID_XY_PLOT;

// The program's shown window titled so, and the dialog of the layer behind
// it; null until it is up.
template <class Dlg>
Dlg* DialogTitled(brennix::fltk::FltkBackend& backend, const std::string& title, Fl_Window*& win) {
    win = WindowTitled(title);
    if (!win || !win->visible()) return nullptr;
    return dynamic_cast<Dlg*>(backend.LayerWindowOf(win));
}

// Results > Contour Plot, "Show Contour Plot" ticked, the variable type
// clicked (its first variable is the view's column `column`) and OK: the
// dialog and its window, hidden again.
void ShowContoursOf(brennix::fltk::FltkBackend& backend, CKorbelView& view, const std::string& type, int column,
                    DlgContourLimits*& dlg, Fl_Window*& win) {
    view.OnResultsContourPlot();
    ASSERT_TRUE(WaitFor([&] { return (dlg = DialogTitled<DlgContourLimits>(backend, "Contour Plot Options", win)); }));
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(ClickWidget(win, "Show Contour Plot"));
    ASSERT_TRUE(WaitFor([&] { return view.display.contourColumn == 1; }));
    ASSERT_TRUE(ClickWidget(win, type));
    ASSERT_TRUE(WaitFor([&] { return view.display.contourColumn == column; })) << view.display.contourColumn;
    ASSERT_TRUE(ClickWidget(win, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !win->visible(); }));
}

// A press and release of the button, twice, as the server delivers a
// double click.
void SendDoubleClick(Fl_Window* win, int x, int y, unsigned button) {
    auto ev = EventAt<XButtonEvent>(win, x, y);
    ev.button = button;
    const unsigned mask = button == Button3 ? Button3Mask : Button1Mask;
    for (int i = 0; i < 2; ++i) {
        ev.state = 0;
        SendEvent(ev, ButtonPress, ButtonPressMask);
        ev.state = mask;
        SendEvent(ev, ButtonRelease, ButtonReleaseMask);
    }
    XFlush(fl_display);
}

// Message boxes that come up answered with Enter and counted, from a timer
// that also runs in their own loop.
struct BoxWatch {
    int boxes = 0;
    static void Tick(void* data) {
        auto* w = static_cast<BoxWatch*>(data);
        if (Fl_Window* box = WindowTitled("Brennix"); box && box->visible() && box->modal()) {
            ++w->boxes;
            SendKey(box, XK_Return);
            Fl::repeat_timeout(0.5, Tick, data);
            return;
        }
        Fl::repeat_timeout(0.05, Tick, data);
    }
    BoxWatch() { Fl::add_timeout(0.05, Tick, this); }
    ~BoxWatch() { Fl::remove_timeout(Tick, this); }
};

// Pixels of blue text and of the green product lines in a row of a shot.
bool RowHas(const Shot& s, int y, bool (*test)(const unsigned char*)) {
    for (int x = 0; x < s.w; ++x)
        if (test(s.At(x, y))) return true;
    return false;
}
bool IsBlueText(const unsigned char* p) { return p[2] > 180 && p[0] < 90 && p[1] < 90; }
bool IsGreenText(const unsigned char* p) { return p[1] > 100 && p[0] < 150 && p[2] < 90 && p[1] > p[0]; }

// A copy of the example with every length times 1500 (metres to
// millimetres): its cut line runs 12000 long.
std::string MillimetreCopy(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    std::string block;
    int row = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 5 && line.compare(line.size() - 5, 5, "_DATA") == 0 && line.rfind("END_", 0) != 0) {
            block = line;
            row = 0;
            out << line << '\n';
            continue;
        }
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;) f.push_back(w);
        // Fields scaled: node y and z; the point of a concentrated load; the
        // ends of a cut line (after the options row).
        std::vector<int> scaled;
        if (block == "NODE_DATA" && f.size() == 5) scaled = {3, 4};
        if (block == "CONCENTRATED_LOAD_DATA" && f.size() >= 4) scaled = {2, 3};
        if (block == "CUTLINE_DATA" && row++ > 0 && f.size() == 6) scaled = {2, 3, 4, 5};
        if (scaled.empty()) {
            out << line << '\n';
            continue;
        }
        for (int i : scaled)
            f[static_cast<std::size_t>(i)] = std::to_string(std::stod(f[static_cast<std::size_t>(i)]) * 1500);
        for (std::size_t i = 0; i < f.size(); ++i) out << (i ? "\t" : "") << f[i];
        out << '\n';
    }
    return out.str();
}

}  // namespace

// The frame and the program's other windows at 1280 x 1024, then with the
// frame made 1024 x 768 and the windows moved inside it (a window wider or
// higher made to fit, as a smaller screen makes it), and back; both
// screenshots kept.
void ContourDesktop::ShotAtBothSizes(const std::string& name) {
    EXPECT_TRUE(Settle());
    SaveShot(Screenshot(0, 0, 1280, 1024), name + "_1280.bmp");
    const int fx = frame->x(), fy = frame->y(), fw = frame->w(), fh = frame->h();
    struct Placed {
        Fl_Window* window;
        int x, y, w, h;
    };
    std::vector<Placed> moved;
    frame->resize(0, 0, 1024, 768);
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (w == frame || !w->visible()) continue;
        const int width = std::min(w->w(), 1024), height = std::min(w->h(), 768);
        const int x = std::clamp(w->x(), 0, 1024 - width), y = std::clamp(w->y(), 0, 768 - height);
        if (x == w->x() && y == w->y() && width == w->w() && height == w->h()) continue;
        moved.push_back({w, w->x(), w->y(), w->w(), w->h()});
        // As another client (a window manager) asks it.
        XMoveResizeWindow(fl_display, fl_xid(w), x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
    EXPECT_TRUE(WaitFor([&] { return Settle(1.0) && view->Width() <= 1024 && view->Height() < 768; }));
    EXPECT_TRUE(Settle());
    // Each window stays where it was put, whole on the smaller screen.
    for (const Placed& p : moved)
        EXPECT_TRUE(p.window->x() >= 0 && p.window->x() + p.window->w() <= 1024 && p.window->y() + p.window->h() <= 768)
            << p.window->label() << " at " << p.window->x() << ", " << p.window->y();
    SaveShot(Screenshot(0, 0, 1024, 768), name + "_1024.bmp");
    for (const Placed& p : moved)
        XMoveResizeWindow(fl_display, fl_xid(p.window), p.x, p.y, static_cast<unsigned>(p.w),
                          static_cast<unsigned>(p.h));
    frame->resize(fx, fy, fw, fh);
    EXPECT_TRUE(Settle());
}

// The circular foundation of 8-node elements on the half-space soil under
// P 600 and a moment that lifts one side (M 5040 = 0.6 P R3), analysed by
// brennix-run and opened in the program: the soil-pressure contour runs from
// the largest compression up to 0, the pressure of the lifted nodes.
TEST_F(ContourDesktop, LiftedSideOfAFoundationOnTheHalfSpaceShowsNoSoilPressure) {
    struct Host : MesherHost {
        void Message(const std::string& text, MesherIcon) override { said += text; }
        bool Ask(const std::string&) override { return true; }
        std::string said;
    } host;
    ModelData made;
    made.Reset();
    made.SetTemplateParameters(2, 1, 1, 3.5, 5.0, 14.0, 0.0, 1.5, 5.0, 3.5, 600.0, 0.0, 5040.0, 1.1);
    ASSERT_TRUE(MeshAndImportTemplate(made, BRENNIX_BIN_DIR, host)) << host.said;
    made.SetSoilModel(1);
    const std::string model = dir.File("lifting.slb");
    ASSERT_EQ(made.WriteModelFile(model), 0);
    OpenAnalysedModel(model);
    if (HasFatalFailure()) return;
    const ModelData& m = *view->GetModelData();
    ASSERT_TRUE(m.HasResults());
    const int pressure = 24;  // soil_press_q, a view column from 1
    ASSERT_EQ(m.resultCaptions[pressure - 1], "soil_press_q");
    int lifted = 0;
    for (int row = 0; row < m.GetNodeCount(); ++row) {
        const double q = m.GetResultValue(pressure - 1, row, 1);
        EXPECT_LE(q, 0.0) << "node row " << row;
        lifted += q == 0.0;
    }
    EXPECT_GT(lifted, m.GetNodeCount() / 10);

    Fl_Window* win = nullptr;
    DlgContourLimits* dlg = nullptr;
    ShowContoursOf(backend, *view, "Soil Reactions", pressure, dlg, win);
    if (HasFatalFailure()) return;
    double low = 0, high = 0, increment = 0;
    int divisions = 0;
    m.GetContourLimits(low, high, divisions, increment);
    EXPECT_LT(low, 0.0);
    EXPECT_EQ(high, 0.0);
    EXPECT_TRUE(Settle());
    SaveShot(Screenshot(frame->x(), frame->y(), frame->w(), frame->h()), "view_contour_halfspace_lifted.bmp");

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

// Contour Plot Options: a variable picked from the list with the mouse is
// the one the picture, the legend and the field show, also the list's first
// entry after a pick that was cancelled (the list then held it).
TEST_F(ContourDesktop, AContourVariablePickedFromTheListReachesThePicture) {
    OpenAnalysedExample("mat-piles.slb");
    if (HasFatalFailure()) return;
    const ModelData& m = *view->GetModelData();
    const int my = m.GetResultGroupStart(2) + 1, mz = my + 1;  // view columns, from 1

    Fl_Window* win = nullptr;
    DlgContourLimits* dlg = nullptr;
    ShowContoursOf(backend, *view, "Plate Forces", my, dlg, win);
    if (HasFatalFailure()) return;

    Fl_Widget* list = backend.WidgetOf(*dlg->GetDlgItem(DlgContourLimits::IDC_VARIABLE));
    ASSERT_NE(list, nullptr);
    // The list opens at the arrow at its right end.
    const auto pickEntry = [&](int entry, int column) {
        view->OnResultsContourPlot();
        EXPECT_TRUE(WaitFor([&] { return win->visible(); }) && Settle());
        ListPick pick{win, &backend, entry, m.GetResultGroupSize(2)};
        pick.Open(list->x() + list->w() - 8, list->y() + list->h() / 2);
        return WaitFor([&] { return pick.clicked && view->display.contourColumn == column; }, 60.0);
    };
    ASSERT_TRUE(pickEntry(1, mz)) << view->display.contourColumn;
    ASSERT_TRUE(ClickWidget(win, "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return !win->visible(); }));
    EXPECT_EQ(view->display.contourColumn, mz);

    ASSERT_TRUE(pickEntry(0, my)) << view->display.contourColumn;
    EXPECT_STREQ(static_cast<Fl_Input_Choice*>(list)->value(),
                 dlg->GetDlgItemText(DlgContourLimits::IDC_VARIABLE).c_str());
    EXPECT_EQ(dlg->GetDlgItemText(DlgContourLimits::IDC_VARIABLE), m.resultCaptions[static_cast<std::size_t>(my - 1)]);
    ASSERT_TRUE(Settle());
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "view_contour_first_variable_dialog.bmp");
    ASSERT_TRUE(ClickWidget(win, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !win->visible(); }));

    // The legend runs over My of the shown step.
    double low = 0, high = 0, increment = 0;
    int divisions = 0;
    m.GetContourLimits(low, high, divisions, increment);
    double least = 1e300, most = -1e300;
    for (int row = 0; row < m.GetNodeCount(); ++row) {
        const double v = m.GetResultValue(my - 1, row, view->display.step);
        least = std::min(least, v);
        most = std::max(most, v);
    }
    EXPECT_DOUBLE_EQ(low, least);
    EXPECT_DOUBLE_EQ(high, most);
    ShotAtBothSizes("view_contour_first_variable");

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

// The right double-click window shows its node's value when it opens; after
// Node Results one click on a node shows that node; the node field takes a
// triple-click and a new number, and a cleared field asks nothing until it
// is left.
TEST_F(ContourDesktop, TheNodeResultWindowsTakeClicksAndTypedNumbers) {
    OpenAnalysedExample("mat-piles.slb");
    if (HasFatalFailure()) return;
    const ModelData& m = *view->GetModelData();
    const NodeTable& nodes = *m.GetNodeTable();
    // The view's widget in the frame: clicks go to the frame at its place.
    Fl_Widget* vw = backend.WidgetOf(*view);
    ASSERT_NE(vw, nullptr);
    ASSERT_TRUE(Settle());

    SendDoubleClick(frame, vw->x() + vw->w() / 2, vw->y() + vw->h() / 2, Button3);
    Fl_Window* valuesWin = nullptr;
    DlgResultValues* values = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (values = DialogTitled<DlgResultValues>(backend, "Node Coordinates, and Results", valuesWin)); }));
    const int row = nodes.FindNodeRowById(values->Node());
    ASSERT_GE(row, 0);
    const double expected = m.GetResultValue(0, row, values->Step());
    EXPECT_NE(expected, 0.0);
    EXPECT_EQ(values->Value(), expected);
    Fl_Widget* valueField = backend.WidgetOf(*values->GetDlgItem(DlgResultValues::IDC_VALUE));
    EXPECT_STREQ(static_cast<Fl_Input*>(valueField)->value(), ui::FormatDouble(expected).c_str());
    ShotAtBothSizes("view_result_values_first_value");
    ASSERT_TRUE(ClickWidget(valuesWin, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !valuesWin->visible(); }));

    // Node Results, then one click on node 111.
    ui::RouteCommand({view, view->GetDocument()}, ID_NODE_RESULTS);
    Fl_Window* win = nullptr;
    DlgNodeResults* dlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dlg = DialogTitled<DlgNodeResults>(backend, "Results at nodes", win)); }));
    ASSERT_TRUE(Settle());
    const int picked = nodes.FindNodeRowById(111);
    ASSERT_GE(picked, 0);
    const double s = view->display.symbolScale;
    const double left = view->display.userZoom * view->display.legendClearance;
    const int px = static_cast<int>(vw->w() / 2.0 - left + s * (nodes.GetY(picked) - m.centreY));
    const int py = static_cast<int>(vw->h() / 2.0 + s * (nodes.GetZ(picked) - m.centreZ));
    SendClick(frame, vw->x() + px, vw->y() + py);
    ASSERT_TRUE(WaitFor([&] { return dlg->Node() == 111; })) << dlg->Node();
    EXPECT_EQ(dlg->Value(0), m.GetResultValue(0, picked, view->display.step));
    ShotAtBothSizes("view_node_results_pick");

    // Triple-click on the number and type another: it replaces the number.
    BoxWatch watch;
    Fl_Widget* edit = backend.WidgetOf(*dlg->GetDlgItem(DlgNodeResults::IDC_NODE));
    const int ex = edit->x() + edit->w() / 2, ey = edit->y() + edit->h() / 2;
    for (int i = 0; i < 3; ++i) SendClick(win, ex, ey);
    ASSERT_TRUE(Settle());
    TypeText(win, "5");
    EXPECT_TRUE(WaitFor([&] { return dlg->Node() == 5; })) << dlg->Node();
    EXPECT_STREQ(static_cast<Fl_Input*>(edit)->value(), "5");
    // Cleared with Ctrl+A and Backspace: no box while typing goes on.
    SendKey(win, XK_a, ControlMask);
    SendKey(win, XK_BackSpace);
    ASSERT_TRUE(Settle());
    EXPECT_STREQ(static_cast<Fl_Input*>(edit)->value(), "");
    TypeText(win, "9");
    EXPECT_TRUE(WaitFor([&] { return dlg->Node() == 9; })) << dlg->Node();
    EXPECT_EQ(watch.boxes, 0);
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "view_node_results_typed.bmp");
    // Left empty with Tab: one box, and the field shows the node again.
    SendKey(win, XK_a, ControlMask);
    SendKey(win, XK_BackSpace);
    SendKey(win, XK_Tab);
    EXPECT_TRUE(WaitFor([&] { return watch.boxes == 1 && std::string(static_cast<Fl_Input*>(edit)->value()) == "9"; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(watch.boxes, 1);

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

// The X-Y plot of a model of two steps at step 1 names the step its cut
// shows; Section Cut enables Apply after Add, and the X-Y plot then says the
// new line waits for a run; a cut line 12000 long keeps its labels whole.
TEST_F(ContourDesktop, XYPlotNamesItsStepAndKeepsItsLabelsWhole) {
    RegisterProgramDialogs();
    OpenAnalysedExample("mat-piles.slb");
    if (HasFatalFailure()) return;
    BoxWatch watch;  // answers the question to save the changed cut lines
    ASSERT_EQ(view->display.step, 1);
    auto* doc = view->GetDocument();
    ui::RouteCommand({view, doc}, ID_XY_PLOT);
    Fl_Window* win = nullptr;
    CDlgXYPlot* plot = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (plot = DialogTitled<CDlgXYPlot>(backend, "X-Y Plot", win)); }));
    EXPECT_EQ(plot->Chart().Title(), "CutLine 1: Deflection w (Step = 2)");
    ShotAtBothSizes("view_xy_plot_step");
    ASSERT_TRUE(ClickWidget(win, "Close"));

    ui::RouteCommand({view, doc}, ID_SECTION_CUT);
    Fl_Window* cutWin = nullptr;
    CDlgSectionCut* cut = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (cut = DialogTitled<CDlgSectionCut>(backend, "Section Cut", cutWin)); }));
    ASSERT_TRUE(Settle());
    Fl_Widget* apply = backend.WidgetOf(*cut->GetDlgItem(CDlgSectionCut::IDC_APPLY));
    EXPECT_FALSE(apply->active());
    ASSERT_TRUE(ClickWidget(cutWin, "Add Cut Line"));
    EXPECT_TRUE(WaitFor([&] { return apply->active(); }));
    ASSERT_TRUE(ClickWidget(cutWin, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !cutWin->visible(); }));
    ui::RouteCommand({view, doc}, ID_XY_PLOT);
    ASSERT_TRUE(WaitFor([&] { return (plot = DialogTitled<CDlgXYPlot>(backend, "X-Y Plot", win)); }));
    Fl_Widget* note = backend.WidgetOf(*plot->GetDlgItem(CDlgXYPlot::IDC_NOTE));
    ASSERT_NE(note, nullptr);
    EXPECT_NE(std::string(note->label() ? note->label() : "").find("Run the analysis again"), std::string::npos);
    ShotAtBothSizes("view_xy_plot_new_cut_line");
    ASSERT_TRUE(ClickWidget(win, "Close"));
    ASSERT_TRUE(WaitFor([&] { return !win->visible(); }));
    app->CloseAllDocuments();
    app->OnIdle();  // as the main loop does: the closed document goes

    // The millimetre copy: labels up to 12000, the last whole at the right.
    std::string text;
    {
        std::ifstream in(std::string(BRENNIX_TEST_DATA) + "/../../examples/slab-point-loads.slb");
        std::ostringstream all;
        all << in.rdbuf();
        text = MillimetreCopy(all.str());
    }
    const std::string model = dir.File("slab-mm.slb");
    {
        std::ofstream out(model);
        out << text;
    }
    const std::string run = std::string(BRENNIX_BIN_DIR) + "/brennix-run \"" + model + "\" >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    ASSERT_NE(app->OpenDocumentFile(model), nullptr);
    view = dynamic_cast<CKorbelView*>(app->MainFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    ui::RouteCommand({view, view->GetDocument()}, ID_XY_PLOT);
    ASSERT_TRUE(WaitFor([&] { return (plot = DialogTitled<CDlgXYPlot>(backend, "X-Y Plot", win)); }));
    ASSERT_GT(plot->Chart().PointCount(), 1);
    EXPECT_NEAR(plot->Chart().XValues().back(), 12000.0, 1.0);
    ASSERT_TRUE(Settle());
    // The chart's label band: blue ink near the last rule, none in the last
    // columns (a clipped label reaches the edge).
    Fl_Widget* chart = backend.WidgetOf(*plot->GetDlgItem(CDlgXYPlot::IDC_CHART));
    const Shot shot = Screenshot(win->x() + chart->x(), win->y() + chart->y(), chart->w(), chart->h());
    int nearLast = 0, atEdge = 0;
    for (int y = shot.h - 78; y < shot.h - 50; ++y)
        for (int x = shot.w - 80; x < shot.w; ++x) {
            if (!IsBlueText(shot.At(x, y))) continue;
            ++nearLast;
            atEdge += x >= shot.w - 2;
        }
    EXPECT_GT(nearLast, 20);
    EXPECT_EQ(atEdge, 0);
    ShotAtBothSizes("view_xy_plot_long_cut_line");

    app->CloseAllDocuments();
    CloseWindow(*app->MainFrame());
}

// The progress window while a run goes on: the blue progress texts lie
// together, on rows of their own, and no green line of the maker or the
// comments comes between them.
TEST_F(FltkDisplayTest, ProgressTextsDoNotOverlapTheProductLines) {
    CSplashWindow::ResetState();
    const std::string title = "Analysis In Progress...", subtitle = "Please Wait...";
    CSplashWindow::ShowProgress(nullptr, &title, &subtitle, 0);
    ASSERT_NE(CSplashWindow::Current(), nullptr);
    Fl_Window* win = backend.TopWindowOf(*CSplashWindow::Current());
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(WaitFor([&] { return win->shown() && win->visible(); }) && Settle());
    const Shot shot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(shot, "app_progress_window.bmp");
    int firstBlue = -1, lastBlue = -1, greenRows = 0;
    for (int y = 0; y < shot.h; ++y) {
        if (!RowHas(shot, y, IsBlueText)) continue;
        if (firstBlue < 0) firstBlue = y;
        lastBlue = y;
    }
    ASSERT_GT(lastBlue - firstBlue, 20);
    for (int y = 0; y < shot.h; ++y) greenRows += RowHas(shot, y, IsGreenText);
    EXPECT_GT(greenRows, 20);
    for (int y = firstBlue; y <= lastBlue; ++y) EXPECT_FALSE(RowHas(shot, y, IsGreenText)) << "row " << y;
    CSplashWindow::ResetState();
    EXPECT_TRUE(Settle());
}
