// The edge actions grid driven as the user drives it: side picks, the
// side, degree-of-freedom and duplicate checks, and the model's table after
// Apply, OK and Cancel.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ActionGridSupport.h"
#include "dialogs/DlgEdgeActions.h"

namespace {

using G = GridPage;
using D = DlgEdgeActions;

class EdgeActionsGridTest : public dialogtest::ActionGridFixture {
protected:
    void ModelRow(int kind, const std::string& target, int side, int dof, std::array<double, 3> values) {
        EdgeActionTable& t = *model.GetEdgeActionTable(kind);
        t.AddEdgeActionRow(target, side, dof, values);
        t.CountRows();
        t.RebuildIndex();
        model.ClearChanged();
    }
    // Puts a row's target, side and degree of freedom into its cells at
    // once (a move between them would check the half-typed row).
    void FillRow(D& d, int slot, const std::string& target, int side, int dof) {
        d.SetDlgItemText(G::CellId(slot, D::kTarget), target);
        d.SetDlgItemText(G::CellId(slot, D::kSide), std::to_string(side));
        d.SetDlgItemText(G::CellId(slot, D::kDof), std::to_string(dof));
    }
};

TEST_F(EdgeActionsGridTest, SidePicksFillTheCurrentRowAndItsHighlight) {
    D d(&doc, &view, 1);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Edge Loads");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING), "Load");
    d.InsertPickedName("27");  // no current row: nothing
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "0");
    ModelRow(1, "SIDE", 2, 1, {0, 0, 0});
    const int rebuilds = view.rebuilds;
    d.Reopen(1);
    EXPECT_EQ(view.highlight, std::make_pair(3, std::string("SIDE")));
    EXPECT_EQ(view.rebuilds, rebuilds + 1);  // once per opening

    d.UserClick(D::IDC_ADD_ROW);
    d.InsertPickedName("27");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kTarget)), "6");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kSide)), "3");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, D::kSide)));
    EXPECT_EQ(view.highlight, std::make_pair(3, std::string("27")));

    d.InsertPickedName("SIDE");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kTarget)), "SIDE");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kSide)), "1");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, D::kTarget)));
    EXPECT_EQ(view.highlight, std::make_pair(3, std::string("SIDE")));
    EXPECT_TRUE(Boxes().empty());
    d.UserClick(G::kApplyId);
    ASSERT_EQ(model.GetEdgeActionTable(1)->GetCount(), 2);
    EXPECT_EQ(model.GetEdgeActionTable(1)->GetTarget(1), "SIDE");
    EXPECT_EQ(model.GetEdgeActionTable(1)->GetSide(1), 1);
}

TEST_F(EdgeActionsGridTest, RowsAreCheckedForSideDofTargetAndDuplicates) {
    struct Case {
        const char* name;
        const char* target;
        int side;
        int dof;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"element side", "6", 3, 1, ""},
        {"side 5", "6", 5, 1, " Side number should be between 1 and 4\n Check row 1"},
        {"side 0", "6", 0, 1, " Side number should be between 1 and 4\n Check row 1"},
        {"set row has no side check", "SIDE", 5, 1, ""},
        {"dof 0", "6", 3, 0, " Dof number should be between 1 and 6\n Check row 1"},
        {"dof 7", "SIDE", 1, 7, " Dof number should be between 1 and 6\n Check row 1"},
        {"missing element", "10", 1, 1, " Element Number 10 is not defined\n Check row 1"},
        {"missing set", "SIDX", 1, 1, " Edge Set SIDX is not defined \n Check row 1"},
        {"element set is no edge set", "MID", 1, 1, " Edge Set MID is not defined \n Check row 1"},
    };
    for (const Case& c : cases) {
        driver.ClearLogs();
        D d(&doc, &view, 1);
        Open(d);
        d.UserClick(D::IDC_ADD_ROW);
        FillRow(d, 1, c.target, c.side, c.dof);
        d.UserKey(ui::key::Tab);
        EXPECT_EQ(LastBox(), c.message) << c.name;
    }
}

TEST_F(EdgeActionsGridTest, TheSameSideAndDofTwiceIsADuplicate) {
    ModelRow(2, "6", 3, 1, {1, 2, 3});
    D d(&doc, &view, 2);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Edge Stiffnesses");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING + 2), "Stiff.");
    // Add Row repeats the last row's side, dof and values with target "0".
    d.UserClick(D::IDC_ADD_ROW);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kTarget)), "0");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kSide)), "3");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kDof)), "1");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kValue1 + 2)), "3");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, D::kTarget)));

    d.UserType(G::CellId(2, D::kTarget), "6");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Stiffness  are already defined \n Check rows 2 and 1");
    // Moving into the dof cell checks the row again.
    d.UserType(G::CellId(2, D::kDof), "2");
    EXPECT_EQ(Boxes().size(), 2u);
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes().size(), 2u);
    d.UserClick(ui::IDOK);
    EXPECT_EQ(doc.edgeClosed, 1);
    ASSERT_EQ(model.GetEdgeActionTable(2)->GetCount(), 2);
    EXPECT_EQ(model.GetEdgeActionTable(2)->GetDof(1), 2);
    EXPECT_EQ(model.GetEdgeActionTable(2)->GetValue(1, 0), 1.0);
}

TEST_F(EdgeActionsGridTest, DuplicateMessageNamesTheLoadTable) {
    ModelRow(1, "SIDE", 1, 3, {0, 0, 0});
    ModelRow(1, "2", 1, 3, {0, 0, 0});
    D d(&doc, &view, 1);
    Open(d);
    d.UserType(G::CellId(2, D::kTarget), "SIDE");
    d.UserKey(ui::key::Up);
    EXPECT_EQ(LastBox(), "  Loads  are already defined \n Check rows 2 and 1");
}

TEST_F(EdgeActionsGridTest, OkWithAFreshRowStaysOpenAndDeleteRemovesIt) {
    ModelRow(1, "6", 3, 1, {1, 2, 3});
    D d(&doc, &view, 1);
    Open(d);
    d.UserClick(D::IDC_ADD_ROW);
    d.UserClick(ui::IDOK);
    EXPECT_EQ(LastBox(), " Element Number 0 is not defined\n Check row 2");
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(doc.edgeClosed, 0);
    d.UserType(G::CellId(2, D::kTarget), "10");
    d.UserType(G::CellId(2, D::kSide), "5");
    EXPECT_EQ(LastBox(), " Element Number 10 is not defined\n Check row 2");
    // The row about to go need not name an element; a bad side still counts.
    d.UserClick(D::IDC_DELETE_ROW);
    EXPECT_EQ(LastBox(), " Side number should be between 1 and 4\n Check row 2");
    d.UserType(G::CellId(2, D::kSide), "4");
    d.UserClick(D::IDC_DELETE_ROW);
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(doc.edgeClosed, 1);
    EXPECT_FALSE(model.IsChanged());

    d.Reopen(2);
    EXPECT_EQ(d.GetWindowText(), "Edge Stiffnesses");
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "0");
}

TEST_F(EdgeActionsGridTest, ApplyKeepsTheOrderAndSortOrdersByElement) {
    ModelRow(1, "9", 1, 1, {0, 0, 0});
    ModelRow(1, "SIDE", 1, 1, {0, 0, 0});
    ModelRow(1, "2", 4, 1, {0, 0, 0});
    D d(&doc, &view, 1);
    Open(d);
    d.UserType(G::CellId(1, D::kValue1), "2.5");
    EXPECT_FALSE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    d.UserKey(ui::key::Tab);  // the change counts once the page is checked
    d.UserClick(G::kApplyId);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(model.GetEdgeActionTable(1)->GetTarget(0), "9");
    EXPECT_EQ(model.GetEdgeActionTable(1)->GetValue(0, 0), 2.5);
    d.UserClick(D::IDC_SORT);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, D::kTarget)), "SIDE");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, D::kTarget)), "2");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, D::kTarget)), "9");
}

}  // namespace
