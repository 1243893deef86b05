// The contour plot of an analysed example in the program's own frame and
// view on a real X display. The example is analysed by brennix-run; the
// application opens it as the program does; the view's Contour Plot command
// opens "Contour Plot Options", where "Show Contour Plot" and "OK" are
// clicked through the X server. The screenshot of the frame is kept. (The
// example's mat carries a uniform load on uniform springs: its results are
// the same at every node, so the plot is one colour of the ramp.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "../fltk/XInput.h"
#include "../model/test_slb_support.h"
#include "app/KorbelApp.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "model/ModelData.h"
#include "platform/ui/Settings.h"

#include <FL/Fl_Group.H>

namespace {

// The widget of the window (or of its groups) with the label.
Fl_Widget* WidgetLabelled(Fl_Group* group, const std::string& label)
{
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->label() && label == w->label() && w->visible()) return w;
        if (Fl_Group* g = w->as_group())
            if (Fl_Widget* found = WidgetLabelled(g, label)) return found;
    }
    return nullptr;
}

// Clicks the middle of the widget as the X server would deliver it.
bool ClickWidget(Fl_Window* win, const std::string& label)
{
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
int RampPixels(const Shot& s, int x0, int y0, int x1, int y1)
{
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
    void TearDown() override
    {
        app.reset();
        FltkDisplayTest::TearDown();
    }
    void OpenAnalysedExample(const std::string& name)
    {
        const std::string model = dir.File(name);
        std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/" + name, model);
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
    slbtest::ScratchDir dir;
    std::unique_ptr<CKorbelApp> app = std::make_unique<CKorbelApp>();
    CKorbelView* view = nullptr;
    Fl_Window* frame = nullptr;
};

}  // namespace

TEST_F(ContourDesktop, ContourPlotOfAnAnalysedExampleShowsContoursAndLegend)
{
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
        return Screenshot(frame->x() + viewWidget->x(), frame->y() + viewWidget->y(), viewWidget->w(),
                          viewWidget->h());
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
TEST_F(ContourDesktop, MillimetreDisplacementsKeepTheirRangeThroughTheDialog)
{
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
