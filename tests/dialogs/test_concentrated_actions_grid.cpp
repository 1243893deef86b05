// The concentrated actions grid driven as the user drives it: points checked
// against the elements of the model, the walk over the cells that can be
// edited, and the model's table after Apply, OK and Cancel.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ActionGridSupport.h"
#include "dialogs/ActionDialogOpeners.h"
#include "dialogs/DlgConcentratedActions.h"

namespace {

using G = GridPage;
using D = DlgConcentratedActions;

class ConcentratedActionsGridTest : public dialogtest::ActionGridFixture {
protected:
    void ModelRows(int kind, int count, std::array<double, 3> point) {
        ConcentratedActionTable& t = *model.GetConcentratedActionTable(kind);
        for (int i = 0; i < count; ++i) {
            const double values[6] = {double(i), 0, 0, 0, 0, 0};
            t.AddConcentratedActionRow(values, point);
        }
        t.CountRows();
        t.RebuildIndex();
        model.ClearChanged();
    }
    bool Enabled(D& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
};

TEST_F(ConcentratedActionsGridTest, FreshRowStandsAtTheOriginAndAPointOutsideIsRefused) {
    D d(&doc, &view, 1);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Concentrated Loads");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING), "Force");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING + 3), "Moment");
    EXPECT_FALSE(d.GetDlgItem(D::IDC_SORT)->IsShown());
    EXPECT_EQ(view.state, std::make_pair(4, std::string("0")));

    d.UserClick(D::IDC_ADD_ROW);
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(d.GetDlgItemText(G::CellId(1, c)), "0") << c;
    EXPECT_FALSE(Enabled(d, G::CellId(1, 1)));
    EXPECT_FALSE(Enabled(d, G::CellId(1, D::kFirstComponent + 3)));
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 2)));
    EXPECT_EQ(view.highlight,
              std::make_pair(4, std::string("        0.00000000          0.00000000          0.00000000  ")));

    // The point is checked once the row is written (or left), not while its
    // coordinates are typed.
    d.UserType(G::CellId(1, 2), "100");
    d.UserKey(ui::key::Tab);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 3)));
    d.UserClick(ui::IDOK);
    EXPECT_EQ(Boxes(), std::vector<std::string>{
                           " Coordinate 0.000000, 100.000000, 0.000000  is outside of model limits\n Check row 1"});
    EXPECT_FALSE(d.IsEnded());
    d.UserType(G::CellId(1, 2), "1.5");
    d.UserType(G::CellId(1, 3), "2.25");
    EXPECT_EQ(view.highlight,
              std::make_pair(4, std::string("        0.00000000          1.50000000          0.00000000  ")));
    // Two actions may stand at one point: Add Row repeats the last one.
    d.UserClick(D::IDC_ADD_ROW);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 3)), "2.25");
    d.UserClick(ui::IDOK);
    EXPECT_TRUE(d.IsEnded());
    const ConcentratedActionTable& t = *model.GetConcentratedActionTable(1);
    ASSERT_EQ(t.GetCount(), 2);
    EXPECT_EQ(t.GetCoordinate(1, 1), 1.5);
    EXPECT_EQ(t.GetCoordinate(1, 2), 2.25);
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ConcentratedActionsGridTest, TabWalksTheEditableCells) {
    ModelRows(2, 2, {0.0, 1.0, 1.0});
    D d(&doc, &view, 2);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Concentrated Stiffnesses");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING + 1), "Tra. K");
    EXPECT_EQ(d.GetDlgItemText(D::IDC_VALUE_HEADING + 5), "Rot. K");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 2)));
    // y, z, components 1, 2, 3, 5, 6, then the next row's y.
    const int walk[] = {3, 4, 5, 6, 8, 9};
    for (int column : walk) {
        d.UserKey(ui::key::Tab);
        EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, column))) << column;
    }
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, 2)));
    EXPECT_TRUE(Boxes().empty());

    // Moving within the row by a click or Tab checks nothing yet; leaving
    // the row does.
    d.UserType(G::CellId(2, 3), "-4");
    d.UserFocus(G::CellId(2, D::kFirstComponent));
    d.UserFocus(G::CellId(2, D::kFirstComponent + 1));
    d.UserKey(ui::key::Tab);
    EXPECT_TRUE(Boxes().empty());
    d.UserFocus(G::CellId(1, 3));
    EXPECT_EQ(LastBox(), " Coordinate 0.000000, 1.000000, -4.000000  is outside of model limits\n Check row 2");
}

TEST_F(ConcentratedActionsGridTest, MessagesNameTheTableRowOnTheSecondPage) {
    ModelRows(1, 20, {0.0, 2.0, 2.0});
    D d(&doc, &view, 1);
    Open(d);
    d.UserKey(ui::key::PageDown);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 0)), "11");
    d.UserType(G::CellId(1, 3), "-1");
    d.UserKey(ui::key::Down);
    EXPECT_EQ(LastBox(), " Coordinate 0.000000, 2.000000, -1.000000  is outside of model limits\n Check row 11");
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(model.GetConcentratedActionTable(1)->GetCoordinate(10, 2), 2.0);
    EXPECT_FALSE(model.IsChanged());
}

}  // namespace
