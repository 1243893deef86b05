// The nodal actions grid driven as the user drives it: targets checked as
// nodes, elements and sets, the check boxes and the dof-4 rule, picks from
// the view, and the model's table after Apply, OK and Cancel.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ActionGridSupport.h"
#include "dialogs/DlgNodalActions.h"
#include "dialogs/DlgNodeData.h"

namespace {

using G = GridPage;
using D = DlgNodalActions;

class NodalActionsGridTest : public dialogtest::ActionGridFixture {
protected:
    // Appends a row to the model's table of the kind.
    void ModelRow(int kind, const std::string& target, std::array<double, 6> values, std::array<int, 6> flags) {
        NodalActionTable& t = *model.GetNodalActionTable(kind);
        t.AddNodalActionRow(target, values, flags);
        t.CountRows();
        t.RebuildIndex();
        model.ClearChanged();
    }
    bool Enabled(D& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
    std::vector<std::string> Targets(int kind) {
        std::vector<std::string> t;
        const NodalActionTable& table = *model.GetNodalActionTable(kind);
        for (int i = 0; i < table.GetCount(); ++i) t.push_back(table.GetTarget(i));
        return t;
    }
};

TEST_F(NodalActionsGridTest, FreshRowOfSpecifiedDisplacementsIsCheckedAsTheUserMovesOn) {
    D d(&doc, &view, 1);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Specified Nodal Displacements");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_TARGET_HEADING), "Node");
    EXPECT_EQ(d.GetDlgItemText(D::ValueHeadingId(1)), "Displac.");
    EXPECT_EQ(d.GetDlgItemText(D::ValueHeadingId(6)), "Rotation");
    EXPECT_FALSE(d.GetDlgItem(G::CellId(1, 1))->IsShown());
    EXPECT_FALSE(Enabled(d, D::IDC_DELETE_ROW));

    d.UserClick(D::IDC_ADD_ROW);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "0");
    for (int dof = 1; dof <= 6; ++dof) {
        EXPECT_EQ(d.IsDlgButtonChecked(D::CheckId(1, dof)), dof == 4 ? 1 : 0) << dof;
        EXPECT_EQ(Enabled(d, G::CellId(1, dof + 1)), dof == 4) << dof;
        EXPECT_EQ(d.GetDlgItemText(G::CellId(1, dof + 1)), "0") << dof;
    }
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 1)));
    // Moving within the row lets the fresh row pass; Tab does not.
    d.UserFocus(G::CellId(1, 5));
    EXPECT_TRUE(Boxes().empty());
    d.UserFocus(G::CellId(1, 1));
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node  Number 0 is not defined\n Check row 1");
    d.UserType(G::CellId(1, 1), "EDGX");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node  Set EDGX is not defined \n Check row 1");
    d.UserType(G::CellId(1, 1), "");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node  Set  is not defined \n Check row 1");
    d.UserType(G::CellId(1, 1), "3");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("3")));

    d.UserClick(D::IDC_ADD_ROW);
    d.UserType(G::CellId(2, 1), "3");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node  in  Specified Displacements  3 are already defined \n Check rows 2 and 1");
    // A duplicate blocks even its own deletion; an undefined target does not.
    d.UserClick(D::IDC_DELETE_ROW);
    EXPECT_EQ(Boxes().size(), 5u);
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "2");
    d.UserType(G::CellId(2, 1), "EDGX");
    d.UserClick(D::IDC_DELETE_ROW);
    EXPECT_EQ(Boxes().size(), 5u);
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");

    d.UserClick(G::kApplyId);
    ASSERT_EQ(Targets(1), std::vector<std::string>{"3"});
    EXPECT_EQ(model.GetNodalActionTable(1)->GetFlag(0, 3), 1);
    EXPECT_EQ(model.GetNodalActionTable(1)->GetFlag(0, 0), 0);
    EXPECT_TRUE(model.IsChanged());
}

TEST_F(NodalActionsGridTest, TargetsOfEachKindAreLookedUpInTheirOwnTables) {
    struct Case {
        const char* name;
        int kind;
        const char* target;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {"node", 2, "12", ""},
        {"missing node", 3, "17", "  Node  Number 17 is not defined\n Check row 1"},
        {"node set", 2, "EDGE", ""},
        {"element set is no node set", 2, "MID", "  Node  Set MID is not defined \n Check row 1"},
        {"missing element", 4, "12", "  Element  Number 12 is not defined\n Check row 1"},
        {"element", 5, "9", ""},
        {"element set", 4, "MID", ""},
        {"node set is no element set", 5, "EDGE", "  Element  Set EDGE is not defined \n Check row 1"},
        {"leading number", 4, "9,3", ""},
        {"case-sensitive set", 2, "edge", "  Node  Set edge is not defined \n Check row 1"},
    };
    for (const Case& c : cases) {
        driver.ClearLogs();
        D d(&doc, &view, c.kind);
        Open(d);
        d.UserClick(D::IDC_ADD_ROW);
        d.UserType(G::CellId(1, 1), c.target);
        d.UserKey(ui::key::Tab);
        EXPECT_EQ(LastBox(), c.message) << c.name;
    }
}

TEST_F(NodalActionsGridTest, CheckBoxesEnableTheirValuesAndUncheckedValuesStoreZero) {
    ModelRow(2, "5", {10, 20, 30, 0, 0, 0}, {1, 1, 0, 0, 0, 0});
    D d(&doc, &view, 2);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Nodal Loads");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 3)), "20");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 4)), "0");  // unchecked: shown as 0
    EXPECT_FALSE(Enabled(d, G::CellId(1, 4)));

    d.UserClick(D::CheckId(1, 2));
    EXPECT_FALSE(Enabled(d, G::CellId(1, 3)));
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 3)), "0");
    EXPECT_EQ(d.WorkingCopy()->GetValue(0, 1), 0.0);
    EXPECT_EQ(d.WorkingCopy()->GetFlag(0, 1), 0);

    d.UserClick(D::CheckId(1, 3));
    EXPECT_TRUE(Enabled(d, G::CellId(1, 4)));
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 4)));
    d.UserType(G::CellId(1, 4), "-7.5");
    d.UserClick(G::kApplyId);
    const NodalActionTable& t = *model.GetNodalActionTable(2);
    EXPECT_EQ(t.GetValue(0, 0), 10.0);
    EXPECT_EQ(t.GetValue(0, 1), 0.0);
    EXPECT_EQ(t.GetValue(0, 2), -7.5);
    EXPECT_EQ(t.GetFlag(0, 2), 1);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(NodalActionsGridTest, ABoxClickOnAFailingPageKeepsWhatWasTyped) {
    ModelRow(2, "5", {10, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0});
    D d(&doc, &view, 2);
    Open(d);
    d.UserType(G::CellId(1, 1), "99");
    d.UserClick(D::CheckId(1, 2));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"  Node  Number 99 is not defined\n Check row 1"});
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "99");
    EXPECT_TRUE(Enabled(d, G::CellId(1, 3)));
    EXPECT_EQ(d.WorkingCopy()->GetTarget(0), "5");
}

TEST_F(NodalActionsGridTest, EightNodeElementsDisableDofFourInEveryRow) {
    dialogtest::BuildSquareMesh(model, 8);
    ModelRow(1, "1", {0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1});
    ModelRow(1, "2", {0, 0, 0, 0, 0, 0}, {1, 1, 1, 0, 0, 0});
    D d(&doc, &view, 1);
    Open(d);
    for (int slot = 1; slot <= 2; ++slot) {
        EXPECT_FALSE(Enabled(d, D::CheckId(slot, 4))) << slot;
        EXPECT_FALSE(Enabled(d, G::CellId(slot, 5))) << slot;
        EXPECT_TRUE(Enabled(d, D::CheckId(slot, 5))) << slot;
    }
    // Tab passes over the disabled value.
    d.UserFocus(G::CellId(1, 4));
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 6)));
}

TEST_F(NodalActionsGridTest, PicksGoIntoTheCurrentRowAndTypedValuesSurvive) {
    ModelRow(2, "5", {10, 20, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0});
    D d(&doc, &view, 2);
    Open(d);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 1)));
    d.InsertPickedName("7");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "7");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 2)));
    EXPECT_EQ(d.WorkingCopy()->GetTarget(0), "7");
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("7")));

    d.UserType(G::CellId(1, 3), "9.5");
    d.InsertPickedName("8");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "8");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 3)), "9.5");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 1)));
    EXPECT_EQ(d.WorkingCopy()->GetTarget(0), "8");
    EXPECT_EQ(d.WorkingCopy()->GetValue(0, 1), 9.5);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(NodalActionsGridTest, ApplyKeepsTheOrderAndSortOrdersByNumber) {
    D d(&doc, &view, 2);
    Open(d);
    for (const char* target : {"9", "EDGE", "3"}) {
        d.UserClick(D::IDC_ADD_ROW);
        d.UserType(G::CellId(d.m_currentRow, 1), target);
    }
    d.UserClick(G::kApplyId);
    EXPECT_EQ(Targets(2), (std::vector<std::string>{"9", "EDGE", "3"}));
    d.UserClick(D::IDC_SORT);
    d.UserClick(G::kApplyId);
    EXPECT_EQ(Targets(2), (std::vector<std::string>{"EDGE", "3", "9"}));
    // Add Row copies the last row's boxes and values.
    d.UserClick(D::CheckId(3, 5));
    d.UserType(G::CellId(3, 6), "4");
    d.UserClick(D::IDC_ADD_ROW);
    EXPECT_EQ(d.IsDlgButtonChecked(D::CheckId(4, 5)), 1);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(4, 6)), "4");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(4, 1)), "0");
}

TEST_F(NodalActionsGridTest, OkAndCancelHideTheGridAndReopeningReloadsTheKind) {
    D d(&doc, &view, 2);
    Open(d);
    d.UserClick(D::IDC_ADD_ROW);
    d.UserType(G::CellId(1, 1), "4");
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_FALSE(d.IsWindowVisible());
    EXPECT_EQ(doc.nodalClosed, 1);
    EXPECT_EQ(model.GetNodalActionTable(2)->GetCount(), 0);

    d.Reopen(5);
    d.ShowWindow(true);
    EXPECT_EQ(d.GetWindowText(), "Distributed Stiffnesses");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_TARGET_HEADING), "Element");
    EXPECT_EQ(d.GetDlgItemText(D::ValueHeadingId(2)), "D. Tr. K");
    EXPECT_EQ(d.GetDlgItemText(D::ValueHeadingId(5)), "D. Rot K");
    EXPECT_EQ(view.state, std::make_pair(2, std::string("0")));
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "0");

    d.UserClick(D::IDC_ADD_ROW);
    d.UserClick(ui::IDOK);  // the fresh row fails the check: the grid stays
    EXPECT_EQ(LastBox(), "  Element  Number 0 is not defined\n Check row 1");
    EXPECT_EQ(doc.nodalClosed, 1);
    d.UserType(G::CellId(1, 1), "MID");
    d.UserClick(ui::IDOK);
    EXPECT_EQ(doc.nodalClosed, 2);
    EXPECT_EQ(Targets(5), std::vector<std::string>{"MID"});
}

TEST_F(NodalActionsGridTest, ChecksFollowANodeTableReplacedWhileTheGridIsOpen) {
    ModelRow(2, "16", {1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0});
    D d(&doc, &view, 2);
    Open(d);
    d.UserType(G::CellId(1, 1), "17");
    // The node grid adds node 17 and applies: the model's node table is
    // replaced by a larger one while the nodal grid stays open.
    DlgNodeData nodes(&doc, &view);
    Open(nodes);
    nodes.UserClick(DlgNodeData::IDC_ADD_NODE);
    nodes.UserClick(G::kApplyId);
    ASSERT_EQ(model.GetNodeTable()->GetCount(), 17);
    nodes.UserClick(ui::IDOK);
    d.UserKey(ui::key::Down);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(d.WorkingCopy()->GetTarget(0), "17");
}

}  // namespace
