// "Element Connectivity" driven as the user drives it, against the model's
// element table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/DlgElementConect.h"

namespace {

using dialogtest::DialogFixture;
using G = GridPage;
using D = DlgElementConect;

class ElementGridTest : public DialogFixture {
protected:
    // Types texts[k] into column k + 1, then texts[k + 5] over column k + 1
    // again (an empty text skips the cell).
    void TypeRow(D& d, int slot, const std::vector<std::string>& texts) {
        for (size_t k = 0; k < texts.size(); ++k)
            if (!texts[k].empty()) d.UserType(G::CellId(slot, static_cast<int>(k % 5) + 1), texts[k]);
    }
    std::vector<int> ModelIds() const {
        std::vector<int> ids;
        for (int i = 0; i < model.GetElementTable()->GetCount(); ++i) ids.push_back(model.GetElementTable()->GetId(i));
        return ids;
    }
};

TEST_F(ElementGridTest, ShowsTheNodeColumnsOfTheElementType) {
    D d(&doc, &view);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Element Connectivity");
    EXPECT_EQ(view.state, std::make_pair(2, std::string("0")));
    for (int c = 1; c <= 10; ++c) EXPECT_EQ(d.GetDlgItem(G::CellId(1, c))->IsShown(), c <= 5) << c;
    EXPECT_FALSE(d.GetDlgItem(G::CellId(2, 1))->IsShown());
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 5)), "4");
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");
    // Tab from the last node column goes on to the next row, not into the
    // hidden columns.
    d.UserFocus(G::CellId(1, 5));
    d.UserClick(D::IDC_ADD_ELEMENT);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, 1)));
}

TEST_F(ElementGridTest, AFreshRowPassesWhileCurrentAndIsReportedOnceLeft) {
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_ELEMENT);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 1)), "2");
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(d.GetDlgItemText(G::CellId(2, c)), "0");
    EXPECT_EQ(view.highlight, std::make_pair(2, std::string("2")));
    d.UserKey(ui::key::Tab);  // moving within the row passes
    EXPECT_TRUE(Boxes().empty());
    d.UserFocus(G::CellId(1, 3));
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{" Node Number 0 is not defined\n Check element number 2 in row 2, column 1"});
    // The page stays as it was.
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "2");
}

TEST_F(ElementGridTest, DeleteSkipsTheNodeCheckAndMarksTheElement) {
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_ELEMENT);
    d.UserType(G::CellId(2, 3), "77");  // no such node
    d.UserClick(D::IDC_DELETE_ELEMENT);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");
    EXPECT_EQ(view.picked, (std::vector<std::pair<int, std::string>>{{2, "2"}}));
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(1, 3)));
}

TEST_F(ElementGridTest, RowChecks) {
    struct Case {
        const char* what;
        std::vector<std::string> row2;
        const char* message;
    };
    const std::vector<Case> cases = {
        // Cells typed in this order; the failing one last, so that only
        // Apply checks it.
        {"duplicate number",
         {"", "1", "2", "3", "4", "1"},
         " Element Number 1 is already defined \n Check rows 2 and 1"},
        {"number 0", {"", "1", "2", "3", "4", "0"}, " Element Number 0 is not valid \n Check row 2"},
        {"unknown node",
         {"5", "1", "2", "3", "4", "", "", "9"},
         " Node Number 9 is not defined\n Check element number 5 in row 2, column 2"},
        {"node 0 on Apply",
         {"5", "1", "2", "3"},
         " Node Number 0 is not defined\n Check element number 5 in row 2, column 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        D d(&doc, &view);
        Open(d);
        d.UserClick(D::IDC_ADD_ELEMENT);
        driver.ClearLogs();
        TypeRow(d, 2, c.row2);
        d.UserClick(G::kApplyId);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.message});
        EXPECT_EQ(ModelIds(), std::vector<int>{1});
        d.DestroyWindow();
    }
}

TEST_F(ElementGridTest, ApplyLeavesTheTableSortedAndEnterDoesNothing) {
    // Element 1 named by no set or material row may take another number.
    model.GetMaterialTable()->SetMaterialRowTextAt(0, "ALL");
    model.FindSetTable(2, "MID")->RemoveSetMemberRow(0);
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_ELEMENT);
    TypeRow(d, 2, {"2", "4", "3", "2", "1"});
    TypeRow(d, 1, {"7"});
    d.UserKey(ui::key::Enter);
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(ModelIds(), std::vector<int>{1});
    d.UserClick(G::kApplyId);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ModelIds(), (std::vector<int>{2, 7}));
    EXPECT_EQ(model.GetElementTable()->GetNodeNumber(0, 0), 4);
    EXPECT_EQ(model.ElementRowOfNumber(7), 1);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "2");
    EXPECT_FALSE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
}

TEST_F(ElementGridTest, EmptyTableAddsElementOne) {
    model.GetElementTable()->Clear();
    D d(&doc, &view);
    Open(d);
    EXPECT_FALSE(d.GetDlgItem(D::IDC_DELETE_ELEMENT)->IsWindowEnabled());
    EXPECT_FALSE(d.GetDlgItem(D::IDC_INSERT_ELEMENT)->IsWindowEnabled());
    d.UserClick(D::IDC_ADD_ELEMENT);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "1");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 2)), "0");
}

}  // namespace
