// The X-Y plot window driven as the user would: curves along the section-cut
// results and along node paths, the chart options, the view's highlight and
// the layout when the window is resized.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "platform/ui/HeadlessTest.h"
#include "model/DataTable.h"
#include "viz/ui/DlgXYPlot.h"

using plottest::FakeDoc;
using plottest::FakeView;
using plottest::Fixture;

namespace {

class XYPlotTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        plottest::ReadMesh(model);
    }
    void ReadResults() {
        ASSERT_EQ(model.ReadResultsFile(Fixture("mesh3x3.sds")), 0);
        ASSERT_EQ(model.ReadCutLineResults(Fixture("ten_lines.cut")), 0);
    }
    CDlgXYPlot& Open() {
        dlg = CDlgXYPlot::Open(&doc, &view);
        EXPECT_TRUE(dlg);
        return *dlg;
    }
    ui::ComboBox& Combo(int id) { return *dlg->Get<ui::ComboBox>(id); }
    std::vector<std::string> PaintChart() { return driver.PaintWindow(*dlg->GetDlgItem(CDlgXYPlot::IDC_CHART)); }

    ModelData model;
    FakeDoc doc{&model};
    FakeView view{&model};
    std::unique_ptr<CDlgXYPlot> dlg;
};

bool Has(const std::vector<std::string>& ops, const std::string& op) {
    return std::find(ops.begin(), ops.end(), op) != ops.end();
}

}  // namespace

TEST_F(XYPlotTest, OpensOnTheCutLinesAsAResizableToolWindow) {
    ReadResults();
    CDlgXYPlot& d = Open();
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_FALSE(d.IsModal());
    EXPECT_EQ(d.GetWindowText(), "X-Y Plot");
    EXPECT_TRUE(d.GetStyle() & ui::style::ToolWindow);
    EXPECT_TRUE(d.GetStyle() & ui::style::Resizable);
    // 50 pixels below its place centred on the desktop (there is no main
    // window here).
    const ui::Rect desk = driver.DesktopRect();
    EXPECT_EQ(d.GetWindowRect().y, desk.y + (desk.h - d.MapDialogRect({0, 0, 685, 282}).h) / 2 + 50);
    EXPECT_EQ(d.IsDlgButtonChecked(CDlgXYPlot::IDC_CUT_LINE_MODE), 1);
    EXPECT_EQ(d.IsDlgButtonChecked(CDlgXYPlot::IDC_NODE_PATH_MODE), 0);
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_SELECTION_LABEL), "Cut Line Selection");
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) lines.push_back("Cutline " + std::to_string(i));
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_ITEM_LIST).Items(), lines);
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_VARIABLE_LIST).Items(), model.cutColumnNames);
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_WIDTH_LIST).Items(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_WIDTH_LIST).GetCurSel(), 1);
    auto* colour = d.Get<ui::ColorButton>(CDlgXYPlot::IDC_LINE_COLOR);
    EXPECT_EQ(colour->GetColor(), ui::Rgb(255, 0, 0));
    EXPECT_EQ(colour->ColumnsNumber(), 5);
    EXPECT_TRUE(colour->OtherButtonEnabled());
    EXPECT_FALSE(colour->AutomaticButtonEnabled());
    EXPECT_EQ(d.IsDlgButtonChecked(CDlgXYPlot::IDC_MARKER), 1);
    EXPECT_EQ(d.IsDlgButtonChecked(CDlgXYPlot::IDC_X_GRID), 1);
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, ""}));

    // Line 1, column 0: two points, solid red of width 2.
    const CCurvePlot& chart = d.Chart();
    EXPECT_EQ(chart.XValues(), (std::vector<double>{0, 1}));
    EXPECT_EQ(chart.YValues(), (std::vector<double>{100, 101}));
    EXPECT_EQ(chart.Title(), "CutLine 1: Deflection w (Step = 2)");
    EXPECT_EQ(chart.PlotMode(), 0);
    EXPECT_EQ(chart.m_solidLine, 1);
    EXPECT_EQ(chart.LineWidth(), 2);
    // The chart fills the area right of the option group (148 dialog units).
    EXPECT_EQ(d.GetDlgItem(CDlgXYPlot::IDC_OPTION_GROUP)->GetWindowRect().w, 222);
    const ui::Size client = d.GetClientSize();
    EXPECT_EQ(d.GetDlgItem(CDlgXYPlot::IDC_CHART)->GetWindowRect(),
              (ui::Rect{262, 5, (client.cx - 222) / 10 * 10 - 40, client.cy / 10 * 10 - 10}));
}

TEST_F(XYPlotTest, TenthCutLineAndLastVariable) {
    ReadResults();
    CDlgXYPlot& d = Open();
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_ITEM_LIST, 9));
    const CCurvePlot& chart = d.Chart();
    EXPECT_EQ(chart.Title(), "CutLine 10: Deflection w (Step = 2)");
    EXPECT_EQ(chart.XCaption(), " Location along cut line ");
    EXPECT_EQ(chart.YCaption(), "Disp_X");
    ASSERT_EQ(chart.PointCount(), 11);
    for (int p = 0; p <= 10; ++p) {
        EXPECT_EQ(chart.XValues()[p], p);
        EXPECT_EQ(chart.YValues()[p], 1000 + p);
    }
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_VARIABLE_LIST, 8));
    EXPECT_EQ(chart.Title(), "CutLine 10: Soil Pressure on Slab (Step = 2)");
    EXPECT_EQ(chart.YCaption(), "Soil_press_q");
    EXPECT_EQ(chart.YValues()[3], 1083);
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, ""}));
    // The chart paints the curve it holds.
    const auto ops = PaintChart();
    EXPECT_TRUE(Has(ops, "TextOut 53 72  1.09e+03"));  // ends 6 pixels left of the rule
}

TEST_F(XYPlotTest, NodePathCurvesUseStepOneAndMarkThePath) {
    ReadResults();
    CDlgXYPlot& d = Open();
    // A width and a colour chosen along the cut lines.
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_WIDTH_LIST, 3));
    EXPECT_EQ(d.Chart().LineWidth(), 4);
    ASSERT_TRUE(d.UserPickColor(CDlgXYPlot::IDC_LINE_COLOR, ui::Rgb(0, 0, 255)));
    EXPECT_EQ(d.Chart().LineColor(), ui::Rgb(0, 0, 255));

    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_SELECTION_LABEL), "Node path Selection");
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_NODE_PATH_MODE), "On Node Path");
    EXPECT_EQ(d.IsDlgButtonChecked(CDlgXYPlot::IDC_CUT_LINE_MODE), 0);
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_ITEM_LIST).Items(), (std::vector<std::string>{"diagonal", "bottom edge"}));
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_VARIABLE_LIST).Items(),
              (std::vector<std::string>{"discrete nodal Rx", "force in nonlinear spring", "Rx + spring force"}));
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, "1,6,11,16"}));
    // The width list keeps "4" while the chart is red and 2 wide again.
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_WIDTH_LIST).GetCurSel(), 3);
    const CCurvePlot& chart = d.Chart();
    EXPECT_EQ(chart.LineColor(), ui::Rgb(255, 0, 0));
    EXPECT_EQ(chart.LineWidth(), 2);
    EXPECT_EQ(d.Get<ui::ColorButton>(CDlgXYPlot::IDC_LINE_COLOR)->GetColor(), ui::Rgb(255, 0, 0));
    EXPECT_EQ(chart.m_solidLine, 0);

    // Column 24 at step 1 (10 n), distances along the diagonal.
    const double r2 = std::sqrt(2.0);
    EXPECT_EQ(chart.YValues(), (std::vector<double>{10, 60, 110, 160}));
    ASSERT_EQ(chart.XValues().size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(chart.XValues()[i], i * r2, 1e-12);
    EXPECT_EQ(chart.Title(), "Node Path 1: Discrete Soil Reaction (Step = 1)");
    EXPECT_EQ(chart.YCaption(), "Nodal Rx");
    EXPECT_EQ(chart.XCaption(), " Location along node path line ");

    struct Case {
        int variable;
        std::vector<double> values;
        const char* title;
        const char* yCaption;
    };
    const Case cases[] = {
        {1, {1, 36, 121, 256}, "Node Path 1: Force in Nonlinear Spring (Step = 1)", "Force in nonlinear spring"},
        {2,
         {11, 96, 231, 416},
         "Node Path 1: Discrete Force Rx + Force in Nonlinear Spring (Step = 1)",
         "Force in nonlinear spring"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_VARIABLE_LIST, c.variable));
        EXPECT_EQ(chart.YValues(), c.values) << c.title;
        EXPECT_EQ(chart.Title(), c.title);
        EXPECT_EQ(chart.YCaption(), c.yCaption);
    }
    // Dashed black line, red markers, whatever width is chosen.
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_WIDTH_LIST, 4));
    auto ops = PaintChart();
    EXPECT_TRUE(Has(ops, "Pen dash 1 #000000"));
    EXPECT_TRUE(Has(ops, "Brush #ff0000"));
    EXPECT_FALSE(Has(ops, "Pen solid 5 #ff0000"));

    // The second path: its nodes marked, x along the edge.
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_ITEM_LIST, 1));
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, "1,2,3,4"}));
    EXPECT_EQ(chart.XValues(), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(chart.YValues(), (std::vector<double>{11, 24, 39, 56}));
    EXPECT_EQ(chart.Title(), "Node Path 2: Discrete Force Rx + Force in Nonlinear Spring (Step = 1)");

    // Options: markers and grids reach the chart.
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_MARKER));
    EXPECT_EQ(chart.Marker(), 0);
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_X_GRID));
    EXPECT_EQ(chart.HorizontalGrid(), 0);
    EXPECT_EQ(chart.VerticalGrid(), 1);

    // Back to the cut lines: the highlight goes, the line is solid again.
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_CUT_LINE_MODE));
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, ""}));
    EXPECT_EQ(chart.m_solidLine, 1);
    EXPECT_EQ(chart.Title(), "CutLine 1: Deflection w (Step = 2)");

    // Close clears the highlight and hides the window.
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_CLOSE));
    EXPECT_EQ(view.highlights.back(), (std::pair<int, std::string>{1, ""}));
    EXPECT_FALSE(d.IsWindowVisible());
    EXPECT_EQ(d.GetResult(), ui::IDOK);
}

TEST_F(XYPlotTest, WithoutCutLinesOrNodePathsTheChartStaysEmpty) {
    // No section-cut results.
    CDlgXYPlot& d = Open();
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_ITEM_LIST).GetCount(), 0);
    EXPECT_EQ(d.Chart().PointCount(), 0);
    // The erase, then the white area and nothing on it.
    const ui::Rect r = d.GetDlgItem(CDlgXYPlot::IDC_CHART)->GetWindowRect();
    const std::string area = "Fill 0 0 " + std::to_string(r.w) + " " + std::to_string(r.h);
    EXPECT_EQ(PaintChart(), (std::vector<std::string>{area + " #f0f0f0", area + " #ffffff"}));
    // No node paths: an empty list and chart, the highlight untouched.
    model.RemoveNodePath(1);
    model.RemoveNodePath(0);
    ASSERT_EQ(model.NodePathCount(), 0);
    const size_t before = view.highlights.size();
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_ITEM_LIST).GetCount(), 0);
    EXPECT_TRUE(d.Chart().XValues().empty());
    EXPECT_EQ(view.highlights.size(), before);
    // The window says why, and where node paths are made.
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_NOTE),
              "The model has no node paths. Define one with Input Data > Node Path.");
    EXPECT_TRUE(d.GetDlgItem(CDlgXYPlot::IDC_NOTE)->IsShown());
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_VARIABLE_LIST, 2));
    EXPECT_TRUE(d.Chart().XValues().empty());
    EXPECT_EQ(view.highlights.size(), before);
}

// The cut results are those of the last run: a cut line added since then
// is not in them, and the window says so until the analysis runs again.
TEST_F(XYPlotTest, ACutLineAddedAfterTheRunIsNamedAsMissing) {
    ReadResults();  // ten lines analysed
    CutLineTable& stored = *model.GetCutLineDataTable();
    while (stored.GetCount() < 10) {
        stored.AddCutLineRow(-0.3, 0.5, 3.3, 0.5);
        stored.CountCutLineRows();
    }
    CDlgXYPlot& d = Open();
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_NOTE), "");
    // With node paths the node-path mode has nothing to say either.
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    EXPECT_EQ(d.GetDlgItemText(CDlgXYPlot::IDC_NOTE), "");

    stored.AddCutLineRow(-0.3, 2.5, 3.3, 2.5);
    stored.CountCutLineRows();
    dlg.reset();
    CDlgXYPlot& again = Open();
    EXPECT_EQ(Combo(CDlgXYPlot::IDC_ITEM_LIST).GetCount(), 10);
    EXPECT_EQ(again.GetDlgItemText(CDlgXYPlot::IDC_NOTE),
              "The cut lines have changed since the analysis: the plot shows the 10 lines analysed. Run the "
              "analysis again to plot the 11 lines of the model.");
}

// A path holding nodes the model lacks: a message names them, once for the
// path, and no curve is drawn; a sound path plots again.
TEST_F(XYPlotTest, NodePathWithUnknownNodesSaysWhichInsteadOfAnEmptyChart) {
    ReadResults();
    model.NodePathAt(0)->nodes = {1, 999, 6, 99999};
    CDlgXYPlot& d = Open();
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "Node path \"diagonal\" holds nodes that are not in the model: 999, 99999.\n"
              "There is no curve to plot along it.");
    EXPECT_TRUE(d.Chart().XValues().empty());
    EXPECT_TRUE(d.Chart().YValues().empty());
    // Another variable of the same path: no second message.
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_VARIABLE_LIST, 1));
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_TRUE(d.Chart().YValues().empty());
    // The sound path plots; back on the faulty one the message comes again.
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_ITEM_LIST, 1));
    EXPECT_EQ(d.Chart().XValues(), (std::vector<double>{0, 1, 2, 3}));
    ASSERT_TRUE(d.UserSelect(CDlgXYPlot::IDC_ITEM_LIST, 0));
    EXPECT_EQ(driver.MessageBoxes().size(), 2u);
}

TEST_F(XYPlotTest, ResizingPlacesTheChartRightOfTheOptions) {
    ReadResults();
    CDlgXYPlot& d = Open();
    struct Case {
        int cx, cy;
        ui::Rect chart;
    };
    const Case cases[] = {
        {1303, 615, {262, 5, 1040, 600}},
        {1500, 1009, {262, 5, 1230, 990}},
        {900, 300, {262, 5, 630, 290}},  // a small window: the chart stays inside it
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(d.UserResize(c.cx, c.cy));
        EXPECT_EQ(d.GetDlgItem(CDlgXYPlot::IDC_CHART)->GetWindowRect(), c.chart) << c.cx << " x " << c.cy;
        // The other controls keep their places.
        EXPECT_EQ(d.GetDlgItem(CDlgXYPlot::IDC_CLOSE)->GetWindowRect(), d.MapDialogRect({7, 262, 50, 14}));
        // The chart paints for its new size.
        const auto ops = PaintChart();
        ASSERT_GE(ops.size(), 2u);
        EXPECT_EQ(ops[1], "Fill 0 0 " + std::to_string(c.chart.w) + " " + std::to_string(c.chart.h) + " #ffffff");
    }
    // A mode change lays the chart out for the same client area.
    ASSERT_TRUE(d.UserClick(CDlgXYPlot::IDC_NODE_PATH_MODE));
    EXPECT_EQ(d.GetDlgItem(CDlgXYPlot::IDC_CHART)->GetWindowRect(), (ui::Rect{262, 5, 630, 290}));
}
