// "Results at nodes", "Node Coordinates, and Results" and "Select Step" on a
// mesh numbered 1, 2, 5, 9 and on a 3 x 3 node slab, with 12 result steps.

#include <gtest/gtest.h>

#include <cmath>

#include "ResultDialogTestSupport.h"
#include "VizTestSupport.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"
#include "viz/ui/DlgSelectStep.h"

namespace {

// Every value tells its row, column and step apart.
double Value(int column, int row, int step) { return (row + 1) * 100.0 + column + step / 1000.0; }

class ResultInspectionTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ASSERT_TRUE(viztest::LoadFixture(model, "nodes_1_2_5_9.slb"));
        view.model = &model;
    }
    void WithResults() { viztest::AddResultSteps(model, 12, Value); }

    ModelData model;
    viztest::FakeView view;
};

using N = DlgNodeResults;
using R = DlgResultValues;

// Both windows open, Result Values on its first variable, "Disp. X".
bool OpenBoth(N& nodeResults, R& values) {
    if (!nodeResults.Create() || !values.Create()) return false;
    values.SetKind(2);
    return true;
}

TEST_F(ResultInspectionTest, NodeResultsFollowTheTypedAndSpunNode) {
    WithResults();
    view.step = 4;
    N dlg(view);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(view.highlight, "1");
    dlg.UserType(N::IDC_NODE, "5");
    EXPECT_EQ(view.highlight, "5");
    EXPECT_DOUBLE_EQ(dlg.Value(0), Value(0, 2, 4));  // x displacement as stored
    EXPECT_DOUBLE_EQ(dlg.Value(5), Value(5, 2, 4));

    const struct {
        bool up;
        int node;
    } spins[] = {{true, 9}, {true, 9}, {false, 5}, {false, 2}, {false, 1}, {false, 1}};
    for (const auto& s : spins) {
        dlg.UserSpin(N::IDC_NODE_SPIN, s.up);
        EXPECT_EQ(dlg.GetDlgItemText(N::IDC_NODE), std::to_string(s.node));
        EXPECT_EQ(view.highlight, std::to_string(s.node));
    }
    dlg.UserSpin(N::IDC_NODE_SPIN, true);  // 2
    dlg.UserSpin(N::IDC_NODE_SPIN, true);  // 5
    // A number no node carries changes nothing.
    dlg.UserType(N::IDC_NODE, "7");
    EXPECT_EQ(view.highlight, "5");
    EXPECT_DOUBLE_EQ(dlg.Value(1), Value(1, 2, 4));
    dlg.UserSpin(N::IDC_NODE_SPIN, true);  // from the nearest row
    EXPECT_NE(dlg.GetDlgItemText(N::IDC_NODE), "7");

    dlg.UserClick(ui::IDOK);
    EXPECT_FALSE(dlg.IsShown());
    EXPECT_EQ(view.calls.back(), "NodeResultsClosed");
}

TEST_F(ResultInspectionTest, NodeResultsShowEachGroupsValues) {
    WithResults();
    N dlg(view);
    ASSERT_TRUE(dlg.Create());
    dlg.UserType(N::IDC_NODE, "2");
    const struct {
        int radio;
        int firstColumn;
        int shown;
        const char* firstLabel;
    } groups[] = {{N::IDC_DISPLACEMENT, 0, 6, "Disp. x"},
                  {N::IDC_REACTION, 6, 6, "Force x"},
                  {N::IDC_PLATE_FORCE, 12, 5, "My"},
                  {N::IDC_PLATE_STRESS, 17, 6, "Sigma yy top"},
                  {N::IDC_SOIL_REACTION, 23, 3, "soil press. q"}};
    for (const auto& g : groups) {
        dlg.UserClick(g.radio);
        EXPECT_EQ(dlg.GetDlgItemText(N::IDC_LABEL1), g.firstLabel);
        for (int i = 0; i < 6; ++i) {
            const bool shown = i < g.shown;
            EXPECT_EQ(dlg.GetDlgItem(N::IDC_VALUE1 + 2 * i)->IsShown(), shown) << g.firstLabel << " " << i;
            if (shown && g.firstColumn > 0) {
                EXPECT_DOUBLE_EQ(dlg.Value(i), Value(g.firstColumn + i, 1, 1));
            }
        }
        EXPECT_EQ(dlg.GetDlgItem(N::IDC_EXPLANATION)->IsShown(), g.shown == 3);
    }
    EXPECT_EQ(dlg.GetDlgItemText(N::IDC_EXPLANATION),
              "nodal Rx (sti): concentrated nodal reaction from soil stiffness. \n"
              "nodal Rx (NL): concentrated nodal reaction from nonlinear spring");
    dlg.UserClick(N::IDC_PLATE_FORCE);
    EXPECT_DOUBLE_EQ(dlg.Value(5), 0.0);
    EXPECT_EQ(dlg.GetDlgItemText(N::IDC_LABEL1 + 10), " ");
}

TEST_F(ResultInspectionTest, ResultValuesMoveToTheNearestNodeAndListStepsAsText) {
    WithResults();
    R dlg(view);
    ASSERT_TRUE(dlg.Create());
    dlg.SetKind(2);
    EXPECT_EQ(dlg.Get<ui::ComboBox>(R::IDC_STEP)->Items(),
              (std::vector<std::string>{"1", "10", "11", "12", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(dlg.GetDlgItemText(R::IDC_STEP), "1");
    EXPECT_EQ(dlg.Get<ui::ComboBox>(R::IDC_VARIABLE)->GetCount(), 26);
    EXPECT_FALSE(dlg.GetDlgItem(ui::IDCANCEL)->IsShown());
    EXPECT_EQ(view.calls.front(), "PickState 1 0");

    dlg.UserType(R::IDC_NODE, "7");
    const NodeTable& nodes = *model.GetNodeTable();
    const int nearest = nodes.GetNodeId(nodes.FindNearestRow(7));
    EXPECT_EQ(dlg.GetDlgItemText(R::IDC_NODE), std::to_string(nearest));
    EXPECT_EQ(view.highlight, std::to_string(nearest));

    dlg.UserType(R::IDC_NODE, "5");
    EXPECT_EQ(dlg.GetDlgItemText(R::IDC_Y), "1.5");
    EXPECT_EQ(dlg.GetDlgItemText(R::IDC_Z), "1.25");
    dlg.UserSelect(R::IDC_STEP, 1);  // "10"
    dlg.UserSelect(R::IDC_VARIABLE, 3);
    EXPECT_EQ(dlg.Step(), 10);
    EXPECT_DOUBLE_EQ(dlg.Value(), Value(3, 2, 10));
    dlg.UserSpin(R::IDC_NODE_SPIN, true);
    EXPECT_EQ(dlg.Node(), 9);

    dlg.UserClick(ui::IDOK);
    EXPECT_EQ(view.calls.back(), "ResultValuesClosed");
}

TEST_F(ResultInspectionTest, APickUpdatesBothDialogs) {
    WithResults();
    N nodeResults(view);
    R values(view);
    ASSERT_TRUE(OpenBoth(nodeResults, values));
    // As the view hands a picked node to the dialogs it has open.
    nodeResults.ShowNode(9);
    values.ShowNode(9);
    EXPECT_EQ(nodeResults.GetDlgItemText(N::IDC_NODE), "9");
    EXPECT_EQ(values.GetDlgItemText(R::IDC_NODE), "9");
    EXPECT_DOUBLE_EQ(values.Value(), Value(0, 3, 1));
    EXPECT_EQ(view.highlight, "9");
}

// Disp. X reads as stored in both windows (the sign the results file and the
// contour legend show); a zero shows no sign.
TEST_F(ResultInspectionTest, BothWindowsShowDispXAsStoredAndZeroWithoutSign) {
    viztest::AddResultSteps(model, 1, [](int c, int r, int) { return c != 0 ? 1.0 : r == 2 ? -0.00144 : -0.0; });
    N nodeResults(view);
    R values(view);
    ASSERT_TRUE(OpenBoth(nodeResults, values));
    const struct {
        int node;
        double value;
        const char* text;
    } cases[] = {{5, -0.00144, "-0.00144"}, {1, 0.0, "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        nodeResults.ShowNode(c.node);
        values.ShowNode(c.node);
        EXPECT_EQ(nodeResults.Value(0), c.value);
        EXPECT_EQ(values.Value(), c.value);
        EXPECT_EQ(std::signbit(nodeResults.Value(0)), c.value < 0.0);
        EXPECT_EQ(std::signbit(values.Value()), c.value < 0.0);
        EXPECT_EQ(nodeResults.GetDlgItemText(N::IDC_VALUE1), c.text);
        EXPECT_EQ(values.GetDlgItemText(R::IDC_VALUE), c.text);
    }
}

TEST_F(ResultInspectionTest, ResultValuesOpenedBeforeResultsFillTheirListsWhenShownWithThem) {
    R dlg(view);
    ASSERT_TRUE(dlg.Create());
    dlg.SetKind(1);
    EXPECT_FALSE(dlg.GetDlgItem(R::IDC_STEP)->IsWindowEnabled());
    EXPECT_EQ(dlg.Get<ui::ComboBox>(R::IDC_STEP)->GetCount(), 0);
    WithResults();
    dlg.SetKind(2);
    EXPECT_TRUE(dlg.ListsFilled());
    EXPECT_TRUE(dlg.GetDlgItem(R::IDC_STEP)->IsWindowEnabled());
    EXPECT_EQ(dlg.Get<ui::ComboBox>(R::IDC_STEP)->GetCount(), 12);
    EXPECT_EQ(dlg.VariableIndex(), 1);
    EXPECT_DOUBLE_EQ(dlg.Value(), Value(0, 0, 1));
}

TEST_F(ResultInspectionTest, WithoutNodesOrStepsNothingMoves) {
    viztest::AddResultSteps(model, 0, Value);
    model.resultsFlag = 1;
    R values(view);
    ASSERT_TRUE(values.Create());
    values.SetKind(2);
    EXPECT_EQ(values.Step(), 0);
    EXPECT_EQ(values.Get<ui::ComboBox>(R::IDC_STEP)->GetCount(), 0);

    model.GetNodeTable()->DeleteRows();
    N nodeResults(view);
    ASSERT_TRUE(nodeResults.Create());
    nodeResults.UserSpin(N::IDC_NODE_SPIN, true);
    values.UserSpin(R::IDC_NODE_SPIN, true);
    values.UserType(R::IDC_NODE, "3");
    EXPECT_EQ(nodeResults.Node(), 1);
    EXPECT_EQ(values.Node(), 3);
}

// The node field of both windows while a number is typed over: clearing it
// asks nothing, each number typed shows its node, and a field left empty is
// refused once, on leaving it or at Enter, with the node shown before back
// in the field.
TEST_F(ResultInspectionTest, TheNodeFieldIsCheckedWhenLeftNotWhileTyped) {
    WithResults();
    N nodeResults(view);
    R values(view);
    ASSERT_TRUE(OpenBoth(nodeResults, values));
    const struct {
        const char* name;
        NodeResultDialog& dlg;
        int edit, leaveTo;
    } windows[] = {{"Results at nodes", nodeResults, N::IDC_NODE, N::IDC_SOIL_REACTION},
                   {"Node Coordinates, and Results", values, R::IDC_NODE, R::IDC_VARIABLE}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        driver.ClearLogs();
        w.dlg.UserType(w.edit, "5");
        ASSERT_EQ(w.dlg.Node(), 5);
        w.dlg.UserType(w.edit, "");
        EXPECT_TRUE(driver.MessageBoxes().empty());
        EXPECT_EQ(w.dlg.Node(), 5);
        w.dlg.UserType(w.edit, "9");
        EXPECT_EQ(w.dlg.Node(), 9);
        EXPECT_EQ(view.highlight, "9");
        EXPECT_TRUE(driver.MessageBoxes().empty());

        // Leaving the cleared field: one prompt, the node back in it.
        w.dlg.UserType(w.edit, "");
        w.dlg.UserFocus(w.leaveTo);
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text, "Please enter an integer.");
        EXPECT_EQ(w.dlg.GetDlgItemText(w.edit), "9");

        // Enter (the default button) on a cleared field: one prompt, the
        // window stays.
        w.dlg.UserType(w.edit, "");
        w.dlg.UserKeyDown(ui::key::Enter);
        EXPECT_EQ(driver.MessageBoxes().size(), 2u);
        EXPECT_TRUE(w.dlg.IsShown());
        EXPECT_EQ(w.dlg.Node(), 9);
    }
}

TEST_F(ResultInspectionTest, SelectStepApplyStaysAfterCancel) {
    WithResults();
    view.contour.column = 2;
    DlgSelectStep dlg(view);
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(DlgSelectStep::IDC_STEP), "1");
        d.UserSelect(DlgSelectStep::IDC_STEP, 2);  // "11"
        d.UserClick(DlgSelectStep::IDC_APPLY);
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(view.step, 11);
    double lo, hi, inc;
    int levels;
    model.GetContourLimits(lo, hi, levels, inc);
    EXPECT_DOUBLE_EQ(hi, Value(1, 3, 11));
    EXPECT_DOUBLE_EQ(lo, Value(1, 0, 11));

    driver.ExpectModal([](ui::Dialog& d) {
        d.UserType(DlgSelectStep::IDC_STEP, "x");
        d.UserClick(ui::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.Step(), 0);
}

}  // namespace
