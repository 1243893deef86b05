// "Contour Plot Options" on a 3 x 3 node slab with 12 result steps, through a
// view that keeps the contour settings.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ResultDialogTestSupport.h"
#include "VizTestSupport.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgContourLimits.h"

using D = DlgContourLimits;

namespace {

constexpr double kTop = 0.0123456;  // largest value of column 0 at step 1

class ContourDialogTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        // Column 0 rises to kTop over the nine nodes; the others c * 100 + row + step.
        viztest::AddResultSteps(model, 12,
                                [](int c, int r, int s) { return c == 0 ? kTop * (r + 1) / 9.0 : c * 100.0 + r + s; });
        view.model = &model;
    }

    void Open() { ASSERT_TRUE(dlg.Create()); }
    std::string Text(int id) const { return dlg.GetDlgItemText(id); }
    bool Enabled(int id) const { return dlg.GetDlgItem(id)->IsWindowEnabled(); }
    struct Limits {
        double minimum, maximum, increment;
        int divisions;
    };
    Limits Stored() const {
        Limits l{};
        model.GetContourLimits(l.minimum, l.maximum, l.divisions, l.increment);
        return l;
    }

    ModelData model;
    viztest::FakeView view;
    DlgContourLimits dlg{view};
};

TEST_F(ContourDialogTest, OpenedWithoutContourShowsEveryPlotControlDisabled) {
    Open();
    EXPECT_EQ(dlg.IsDlgButtonChecked(D::IDC_SHOW_CONTOUR), 0);
    EXPECT_EQ(dlg.Get<ui::ComboBox>(D::IDC_VARIABLE)->GetCurSel(), -1);
    for (int id : {D::IDC_MINIMUM, D::IDC_MINIMUM_SPIN, D::IDC_MAXIMUM, D::IDC_MAXIMUM_SPIN, D::IDC_DIVISIONS,
                   D::IDC_DIVISIONS_SPIN, D::IDC_SHOW_LEGEND, D::IDC_VARIABLE, D::IDC_SHADING, D::IDC_LINES,
                   D::IDC_SHADING_AND_LINES, D::IDC_SHOW_MESH, D::IDC_DISPLACEMENTS, D::IDC_SOIL_REACTIONS,
                   D::IDC_INCREMENT, D::IDC_APPLY})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(Text(ui::IDCANCEL), "Close");
}

TEST_F(ContourDialogTest, TickingTakesTheFirstVariableWithItsRangeAndClearingDropsTheColumn) {
    Open();
    dlg.UserClick(D::IDC_SHOW_CONTOUR);
    EXPECT_EQ(dlg.Get<ui::ComboBox>(D::IDC_VARIABLE)->GetCurSel(), 0);
    EXPECT_EQ(dlg.Get<ui::ComboBox>(D::IDC_VARIABLE)->Items(),
              (std::vector<std::string>{"C0", "C1", "C2", "C3", "C4", "C5"}));
    EXPECT_EQ(view.contour.index, 1);
    EXPECT_EQ(view.contour.column, 1);
    EXPECT_TRUE(Enabled(D::IDC_MINIMUM));
    // The automatic range of column 0 at step 1, shown to four digits.
    EXPECT_EQ(Text(D::IDC_MAXIMUM), "1.235e-02");
    EXPECT_EQ(Text(D::IDC_MINIMUM), "1.372e-03");
    EXPECT_EQ(Text(D::IDC_DIVISIONS), "10");
    EXPECT_DOUBLE_EQ(Stored().maximum, kTop);

    // Apply keeps the automatic range exactly, not the fields' rounding.
    Limits automatic{};
    model.GetDefaultContourLimits(automatic.minimum, automatic.maximum, automatic.divisions, automatic.increment);
    dlg.UserClick(D::IDC_APPLY);
    EXPECT_EQ(Stored().maximum, automatic.maximum);
    EXPECT_EQ(Stored().minimum, automatic.minimum);
    EXPECT_EQ(Stored().increment, automatic.increment);
    EXPECT_EQ(Stored().divisions, 10);

    dlg.UserClick(D::IDC_SHOW_CONTOUR);
    EXPECT_EQ(view.contour.column, 0);
}

TEST_F(ContourDialogTest, VariableTypeTakesTheNewGroupIntoTheView) {
    view.contour = {0, 3, 3, 0, 0, 1};
    Open();
    dlg.UserClick(D::IDC_PLATE_FORCES);
    EXPECT_EQ(dlg.Get<ui::ComboBox>(D::IDC_VARIABLE)->GetCount(), 5);
    EXPECT_EQ(view.contour.group, 2);
    EXPECT_EQ(view.contour.column, 12 + 3);
    dlg.UserClick(D::IDC_SOIL_REACTIONS);
    // One column: the index comes down to 1.
    EXPECT_EQ(dlg.Get<ui::ComboBox>(D::IDC_VARIABLE)->Items(), std::vector<std::string>{"C23"});
    EXPECT_EQ(view.contour.column, 24);
    EXPECT_EQ(Text(D::IDC_MAXIMUM), "2309.0");  // 23 * 100 + last row 8 + step 1
    dlg.UserSelect(D::IDC_VARIABLE, 0);
    EXPECT_TRUE(Enabled(D::IDC_APPLY));
}

// A variable that goes into the view repaints the whole picture, so that
// the picture, its legend and the dialog name one variable also when the
// dialog is then cancelled; a pick of the variable shown repaints nothing.
TEST_F(ContourDialogTest, AVariableTakenIntoTheViewRepaintsThePicture) {
    view.contour = {0, 3, 3, 0, 0, 1};
    Open();
    const auto repaints = [this] { return std::count(view.calls.begin(), view.calls.end(), "Repaint"); };
    dlg.UserSelect(D::IDC_VARIABLE, 2);
    EXPECT_EQ(repaints(), 0);
    dlg.UserSelect(D::IDC_VARIABLE, 0);
    EXPECT_EQ(view.contour.column, 1);
    EXPECT_EQ(repaints(), 1);
    dlg.UserClick(D::IDC_PLATE_FORCES);
    EXPECT_EQ(repaints(), 2);
    dlg.UserClick(D::IDC_SHOW_CONTOUR);
    EXPECT_EQ(view.contour.column, 0);
    EXPECT_EQ(repaints(), 3);
    dlg.UserClick(ui::IDCANCEL);
    EXPECT_EQ(view.contour.column, 0);
}

TEST_F(ContourDialogTest, LimitsAreFormattedBySize) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.0005, "5.000e-04"},    {0.5, "5.000e-01"},     {1234.56, "1234.6"}, {12346.0, "1.235e+04"},
                 {0.0, "0.000e+00"},       {-0.5, "-5.000e-01"},   {999.9, "999.9"},    {0.001, "1.000e-03"},
                 {-0.00144, "-1.440e-03"}, {0.00174, "1.740e-03"}, {12.5, "12.500"},    {1.0, "1.000"}};
    for (const auto& c : cases) EXPECT_EQ(D::FormatLimit(c.value), c.text) << c.value;
}

TEST_F(ContourDialogTest, ValueSpinStepsTheLeadingDigit) {
    view.contour = {0, 1, 1, 0, 0, 1};
    Open();
    const struct {
        const char* start;
        bool up;
        double expected;
    } cases[] = {{"0", true, 1.0},     {"0", false, -1.0},   {"9", true, 10.0},  {"10", true, 20.0},
                 {"1", false, 0.9},    {"0.1", false, 0.09}, {"-1", true, -0.9}, {"-10", true, -9.0},
                 {"-9", false, -10.0}, {"30", false, 20.0}};
    for (const auto& c : cases) {
        dlg.UserType(D::IDC_MAXIMUM, c.start);
        dlg.UserSpin(D::IDC_MAXIMUM_SPIN, c.up);
        EXPECT_NEAR(std::atof(Text(D::IDC_MAXIMUM).c_str()), c.expected, 1e-9) << c.start << (c.up ? " up" : " down");
        EXPECT_DOUBLE_EQ(dlg.Maximum(), std::atof(Text(D::IDC_MAXIMUM).c_str()));
    }
}

// Displacements in metres: ranges of a few thousandths, as the example mats
// give them. Ticking "Show Contour Plot" and OK keep the automatic range
// exactly; typing over a field reads what was typed.
TEST_F(ContourDialogTest, MillimetreRangesSurviveTickingAndOK) {
    const struct {
        double low, high;
        const char* lowText;
        const char* highText;
    } cases[] = {{1.74e-3, 2.46e-3, "1.740e-03", "2.460e-03"},
                 {-1.44e-3, 0.0, "-1.440e-03", "0.000e+00"},
                 {8.2e-3, 9.0e-3, "8.200e-03", "9.000e-03"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lowText);
        ModelData mat;
        ASSERT_TRUE(viztest::LoadFixture(mat, "slab_2x2_q4.slb"));
        viztest::AddResultSteps(mat, 1, [&](int col, int r, int) {
            if (col != 0) return 1.0;
            return r == 0 ? c.low : r == 8 ? c.high : c.low + (c.high - c.low) * r / 8.0;
        });
        viztest::FakeView matView;
        matView.model = &mat;
        DlgContourLimits limits{matView};
        ASSERT_TRUE(limits.Create());
        limits.UserClick(D::IDC_SHOW_CONTOUR);
        EXPECT_EQ(limits.GetDlgItemText(D::IDC_MINIMUM), c.lowText);
        EXPECT_EQ(limits.GetDlgItemText(D::IDC_MAXIMUM), c.highText);
        limits.UserClick(ui::IDOK);
        EXPECT_FALSE(limits.IsShown());
        Limits stored{};
        mat.GetContourLimits(stored.minimum, stored.maximum, stored.divisions, stored.increment);
        EXPECT_EQ(stored.minimum, c.low);
        EXPECT_EQ(stored.maximum, c.high);
        EXPECT_EQ(stored.divisions, 10);
        EXPECT_DOUBLE_EQ(stored.increment, (c.high - c.low) / 10);

        // A typed limit is read as typed; leaving the field keeps it.
        limits.ShowWindow(true);
        limits.UserType(D::IDC_MINIMUM, "-0.0025");
        limits.UserFocus(D::IDC_DIVISIONS);
        EXPECT_EQ(limits.Minimum(), -0.0025);
        EXPECT_EQ(limits.Maximum(), c.high);
        limits.UserClick(ui::IDOK);
        mat.GetContourLimits(stored.minimum, stored.maximum, stored.divisions, stored.increment);
        EXPECT_EQ(stored.minimum, -0.0025);
        EXPECT_EQ(stored.maximum, c.high);
    }
}

TEST_F(ContourDialogTest, ValueSpinAtTheEndsOfTheDoubleRangeStaysFinite) {
    for (double v : {1.7e308, -1.7e308, 4.9e-324, -4.9e-324, 1e-310})
        for (int d : {-1, 1}) EXPECT_TRUE(std::isfinite(D::StepValue(v, d))) << v << " " << d;
    EXPECT_DOUBLE_EQ(D::StepValue(1.7e308, -1), 1.7e308);
}

TEST_F(ContourDialogTest, DivisionsSpinStoresTheLimitsAtOnce) {
    view.contour = {0, 1, 1, 0, 0, 1};
    Open();
    dlg.UserType(D::IDC_MINIMUM, "0");
    dlg.UserType(D::IDC_MAXIMUM, "60");
    const struct {
        const char* start;
        bool up;
        int expected;
    } cases[] = {{"2", false, 1},  {"1", false, 2}, {"1", true, 2},       {"15", true, 20}, {"15", false, 9},
                 {"10", false, 9}, {"9", true, 10}, {"1000", true, 1000}, {"0", true, 2}};
    for (const auto& c : cases) {
        dlg.UserType(D::IDC_DIVISIONS, c.start);
        dlg.UserSpin(D::IDC_DIVISIONS_SPIN, c.up);
        EXPECT_EQ(Text(D::IDC_DIVISIONS), std::to_string(c.expected)) << c.start;
        EXPECT_EQ(Stored().divisions, c.expected);
        EXPECT_DOUBLE_EQ(Stored().increment, 60.0 / c.expected);
        EXPECT_DOUBLE_EQ(Stored().maximum, 60.0);
    }
}

TEST_F(ContourDialogTest, TypedLimitsAreReadAsTheFieldsShowThem) {
    view.contour = {0, 1, 1, 0, 0, 1};
    model.SetContourLimits(1.0, 2.0, 10, 0.1);
    Open();
    dlg.UserType(D::IDC_MAXIMUM, "-");
    EXPECT_DOUBLE_EQ(dlg.Maximum(), 2.0);
    dlg.UserType(D::IDC_MINIMUM, "-");
    EXPECT_DOUBLE_EQ(dlg.Minimum(), 0.0);
    dlg.UserType(D::IDC_MINIMUM, "inf");
    EXPECT_DOUBLE_EQ(dlg.Minimum(), 0.0);
    dlg.UserType(D::IDC_MAXIMUM, "nan");
    EXPECT_DOUBLE_EQ(dlg.Maximum(), 0.0);
    dlg.UserType(D::IDC_MAXIMUM, "2");
    // A minimum above the maximum becomes the maximum when the field is left.
    dlg.UserType(D::IDC_MINIMUM, "5");
    dlg.UserFocus(D::IDC_DIVISIONS);
    EXPECT_EQ(Text(D::IDC_MINIMUM), "2.000");
    EXPECT_DOUBLE_EQ(dlg.Minimum(), 2.0);
}

TEST_F(ContourDialogTest, ApplyClearsThePendingMarkAndShowMeshSetsIt) {
    view.contour = {0, 1, 1, 0, 0, 1};
    Open();
    dlg.UserClick(D::IDC_LINES);
    EXPECT_TRUE(Enabled(D::IDC_APPLY));
    EXPECT_EQ(Text(ui::IDCANCEL), "Cancel");
    dlg.UserClick(D::IDC_APPLY);
    EXPECT_EQ(view.contour.type, 1);
    EXPECT_FALSE(Enabled(D::IDC_APPLY));
    EXPECT_EQ(Text(ui::IDCANCEL), "Close");
    dlg.UserClick(D::IDC_SHOW_MESH);
    EXPECT_TRUE(Enabled(D::IDC_APPLY));
    EXPECT_EQ(Text(ui::IDCANCEL), "Cancel");
    dlg.UserClick(D::IDC_APPLY);
    EXPECT_EQ(view.contour.meshOverContours, 1);
}

TEST_F(ContourDialogTest, ReopenedItShowsWhatItWasLeftWith) {
    view.contour = {0, 1, 1, 0, 0, 1};
    Open();
    dlg.UserType(D::IDC_MAXIMUM, "7.5");
    dlg.UserClick(ui::IDCANCEL);
    EXPECT_FALSE(dlg.IsShown());
    view.step = 3;
    model.SetContourLimits(0, 1, 4, 0.25);
    dlg.ShowWindow(true);
    EXPECT_EQ(Text(D::IDC_MAXIMUM), "7.5");
    EXPECT_DOUBLE_EQ(dlg.Maximum(), 7.5);
}

TEST_F(ContourDialogTest, MoreThanAThousandDivisionsAreRefused) {
    view.contour = {0, 1, 1, 0, 0, 1};
    model.SetContourLimits(0, 1, 4, 0.25);
    Open();
    for (int button : {int(D::IDC_APPLY), ui::IDOK}) {
        driver.ClearLogs();
        dlg.UserType(D::IDC_DIVISIONS, "1001");
        dlg.UserClick(button);
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text, "Number of divisions can not be larger than 1000");
        EXPECT_EQ(dlg.GetFocus(), dlg.GetDlgItem(D::IDC_DIVISIONS));
        EXPECT_EQ(Stored().divisions, 4);
        EXPECT_TRUE(dlg.IsShown());
    }
    dlg.UserType(D::IDC_DIVISIONS, "1000");
    dlg.UserClick(ui::IDOK);
    EXPECT_EQ(Stored().divisions, 1000);
    EXPECT_FALSE(dlg.IsShown());
}

}  // namespace
