// The X-Y plot window under a real X display: a copy of the Winkler mat
// example is analysed by the solver library, the window opens on its
// section-cut results, a variable is picked from the drop-down list with
// the mouse, and a resize request from another client (as a window manager
// sends it) widens the window: the chart follows and the red curve reaches
// beyond the old right edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

// The program's headers before the X headers, whose macros (None, Status)
// would clash with their names.
#include "uibase/Hosts.h"
#include "app/run/AnalysisRun.h"
#include "model/ModelData.h"
#include "viz/ui/DlgXYPlot.h"

#include "XInput.h"
#include "QuietRunHost.h"

namespace {

namespace fs = std::filesystem;

class PlotDoc : public DocHost {
public:
    explicit PlotDoc(ModelData* m) : model(m) {}
    ModelData* GetModelData() const override { return model; }
    ModelData* model;
};

class PlotView : public ViewHost {
public:
    explicit PlotView(ModelData* m) : model(m) {}
    ModelData* GetModelData() const override { return model; }
    ModelData* model;
};

// A scratch folder of this run, removed with everything in it.
struct ScratchFolder {
    ScratchFolder() {
        std::string templ = (fs::temp_directory_path() / "brennix-xyplot-XXXXXX").string();
        if (::mkdtemp(templ.data())) path = templ;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
    std::string path;
};

int RedPixelsRightOf(const Shot& s, int x0) {
    int red = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = x0; x < s.w; ++x) {
            const unsigned char* p = s.At(x, y);
            red += p[0] > 200 && p[1] < 60 && p[2] < 60;
        }
    return red;
}

class FltkXYPlot : public FltkDisplayTest {};

}  // namespace

TEST_F(FltkXYPlot, WidenedByTheWindowManagerTheCurveFollows) {
    ScratchFolder dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string slb = dir.path + "/winkler-mat.slb";
    fs::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/winkler-mat.slb", slb);

    ModelData model;
    ASSERT_EQ(model.ReadModelFile(slb, true), 0);
    QuietRunHost host;
    RunOutcome outcome;
    // The run works in the model's folder; the screenshots go to the test's.
    const fs::path testFolder = fs::current_path();
    RunAnalysis(model, slb, false, BRENNIX_BIN_DIR, host, &outcome);
    fs::current_path(testFolder);
    ASSERT_TRUE(outcome.solverCalled) << host.said;
    ASSERT_EQ(outcome.cutStatus, 0) << host.said;
    ASSERT_EQ(model.cutLineCount, 1);
    ASSERT_EQ(model.cutColumnCount, 9);

    PlotDoc doc(&model);
    PlotView view(&model);
    std::unique_ptr<CDlgXYPlot> dlg = CDlgXYPlot::Open(&doc, &view);
    ASSERT_TRUE(dlg);
    Fl_Window* win = backend.TopWindowOf(*dlg);
    ASSERT_TRUE(win);
    ASSERT_TRUE(WaitFor([&] { return win->shown() && win->visible(); }));
    ASSERT_TRUE(Settle());
    const int oldWidth = win->w();
    ASSERT_EQ(oldWidth, dlg->GetClientSize().cx);
    Fl_Widget* chart = backend.WidgetOf(*dlg->GetDlgItem(CDlgXYPlot::IDC_CHART));
    ASSERT_TRUE(chart);
    // The chart follows the option group, 40 pixels on.
    const int chartX = dlg->MapDialogRect({0, 0, 148, 168}).w + 40;
    EXPECT_EQ(chart->x(), chartX);
    EXPECT_LE(chart->x() + chart->w(), oldWidth);

    // The variable list, opened with the mouse: "My", the fourth entry.
    Fl_Widget* variables = backend.WidgetOf(*dlg->GetDlgItem(CDlgXYPlot::IDC_VARIABLE_LIST));
    ASSERT_TRUE(variables);
    ListPick pick{win, &backend, 3, 9};
    pick.Open(variables->x() + variables->w() / 2, variables->y() + variables->h() / 2);
    const bool picked = WaitFor([&] { return pick.clicked && dlg->m_variableIndex == 3; }, 60.0);
    ASSERT_TRUE(picked) << dlg->m_variableIndex;
    EXPECT_EQ(dlg->Chart().Title(), "CutLine 1: Flexural Moment My (Step = 1)");
    EXPECT_EQ(dlg->Chart().PointCount(), 25);
    ASSERT_TRUE(Settle());
    Fl::flush();
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "fltk_xy_plot.bmp");

    // Another client asks for a narrower window, then for a wider one that
    // still fits on the screen (the screenshot reads it from there).
    const int newWidth = std::min(1250, Fl::w() - win->x());
    const int narrowWidth = newWidth - 250;
    XResizeWindow(fl_display, fl_xid(win), narrowWidth, win->h());
    XFlush(fl_display);
    ASSERT_TRUE(WaitFor([&] { return dlg->GetClientSize().cx == narrowWidth; }));
    XResizeWindow(fl_display, fl_xid(win), newWidth, win->h());
    XFlush(fl_display);
    ASSERT_TRUE(WaitFor([&] {
        return dlg->GetClientSize().cx == newWidth && chart->w() == (newWidth - (chartX - 40)) / 10 * 10 - 40;
    })) << dlg->GetClientSize().cx
        << " " << chart->w();
    EXPECT_EQ(chart->x(), chartX);
    // The option controls keep their places.
    Fl_Widget* close = backend.WidgetOf(*dlg->GetDlgItem(CDlgXYPlot::IDC_CLOSE));
    EXPECT_EQ(close->x(), dlg->MapDialogRect({7, 262, 50, 14}).x);
    ASSERT_TRUE(Settle());
    Fl::flush();
    const Shot wide = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(wide, "fltk_xy_plot_widened.bmp");
    ASSERT_EQ(wide.w, newWidth);
    // The red line and markers reach past the old right edge.
    EXPECT_GT(RedPixelsRightOf(wide, narrowWidth + 5), 100);

    CloseWindow(*dlg);
}
