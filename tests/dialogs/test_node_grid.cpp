// "Node Coordinates" driven as the user drives it: typing into cells, Tab,
// the row buttons, Apply, OK, Enter and Cancel, checked against the model's
// node table afterwards.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/DlgNodeData.h"

namespace {

using dialogtest::DialogFixture;
using G = GridPage;

class NodeGridTest : public DialogFixture {
protected:
    // The model's nodes as (number, x, y, z) in table order.
    std::vector<std::tuple<int, double, double, double>> ModelNodes() const {
        std::vector<std::tuple<int, double, double, double>> rows;
        const NodeTable& t = *model.GetNodeTable();
        for (int i = 0; i < t.GetCount(); ++i) rows.emplace_back(t.GetNodeId(i), t.GetX(i), t.GetY(i), t.GetZ(i));
        return rows;
    }
    static int FocusId(const ui::Dialog& d) { return d.GetFocus() ? d.GetFocus()->GetDlgCtrlID() : 0; }
};

TEST_F(NodeGridTest, OpensOnTheModelsNodes) {
    DlgNodeData d(&doc, &view);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Node Coordinates");
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "4");
    EXPECT_FALSE(d.GetDlgItem(G::kScrollBarId)->IsShown());
    for (int s = 1; s <= DlgNodeData::kRows; ++s) {
        SCOPED_TRACE(s);
        for (int c = 0; c <= 4; ++c) EXPECT_EQ(d.GetDlgItem(G::CellId(s, c))->IsShown(), s <= 4);
        EXPECT_FALSE(d.GetDlgItem(G::CellId(s, 2))->IsWindowEnabled());
    }
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 0)), "3");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 1)), "3");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 3)), "1");
    EXPECT_FALSE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
    EXPECT_EQ(view.state, std::make_pair(1, std::string("0")));
    EXPECT_EQ(FocusId(d), G::CellId(1, 1));

    // Tab skips the disabled X cell and Shift+Tab comes back.
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(FocusId(d), G::CellId(1, 3));
    d.UserKey(ui::key::Tab, ui::mod::Shift);
    EXPECT_EQ(FocusId(d), G::CellId(1, 1));
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("1")));
}

TEST_F(NodeGridTest, DuplicateNumberIsRefusedThenANewNumberIsApplied) {
    dialogtest::FreeNodeOne(model);
    DlgNodeData d(&doc, &view);
    Open(d);
    view.picked = {{1, "7"}};
    d.UserType(G::CellId(1, 1), "2");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes(), std::vector<std::string>{" Node Number 2 is already defined \n Check rows 2 and 1"});
    EXPECT_EQ(driver.MessageBoxes().back().icon, ui::Icon::None);
    EXPECT_EQ(FocusId(d), G::CellId(1, 1));
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "2");

    d.UserType(G::CellId(1, 1), "9");
    d.UserKey(ui::key::Tab);
    EXPECT_TRUE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Cancel");
    EXPECT_EQ(ModelNodes()[0], std::make_tuple(1, 0.0, 0.0, 0.0));  // nothing before Apply
    d.UserClick(G::kApplyId);
    using N = std::tuple<int, double, double, double>;
    EXPECT_EQ(ModelNodes(), (std::vector<N>{{2, 0, 1, 0}, {3, 0, 1, 1}, {4, 0, 0, 1}, {5, 0, 0.5, 0}, {9, 0, 0, 0}}));
    EXPECT_TRUE(model.IsChanged());
    EXPECT_FALSE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
    EXPECT_TRUE(view.picked.empty());
    EXPECT_GE(view.rebuilds, 1);
    EXPECT_GE(doc.updates, 1);
    // The grid shows the sorted copy.
    EXPECT_EQ(d.GetDlgItemText(G::CellId(5, 1)), "9");

    // An edit typed back to the applied value keeps Apply enabled.
    d.UserType(G::CellId(2, 3), "5");
    d.UserKey(ui::key::Tab);
    d.UserType(G::CellId(2, 3), "1");
    d.UserKey(ui::key::Tab);
    EXPECT_TRUE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Cancel");
}

TEST_F(NodeGridTest, RowChecksNameTheRows) {
    struct Case {
        const char* what;
        int slot;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"duplicate below", 1, "4", " Node Number 4 is already defined \n Check rows 4 and 1"},
        {"the earlier slot is checked first", 3, "1", " Node Number 1 is already defined \n Check rows 3 and 1"},
        {"zero", 2, "0", " Node Number 0 is not valid \n Check row 2"},
        {"negative", 2, "-3", " Node Number -3 is not valid \n Check row 2"},
        {"beyond the file's numbers", 4, "100000001", " Node Number 100000001 is not valid \n Check row 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DlgNodeData d(&doc, &view);
        Open(d);
        driver.ClearLogs();
        d.UserType(G::CellId(c.slot, 1), c.text);
        d.UserKey(ui::key::Tab);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.message});
        EXPECT_FALSE(model.IsChanged());
        d.DestroyWindow();
    }
    // The largest number the model file reads back passes.
    dialogtest::FreeNodeOne(model);
    DlgNodeData d(&doc, &view);
    Open(d);
    driver.ClearLogs();
    d.UserType(G::CellId(1, 1), "100000000");
    d.UserKey(ui::key::Tab);
    d.UserClick(G::kApplyId);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(model.GetNodeTable()->GetNodeId(4), 100000000);
}

TEST_F(NodeGridTest, NodeOfAnElementKeepsItsNumber) {
    // Refused when the row is left and at OK, like Delete Node; the model
    // keeps the number and the grid shows what was typed.
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Tab");
        DlgNodeData d(&doc, &view);
        Open(d);
        driver.ClearLogs();
        d.UserType(G::CellId(1, 1), "500");
        if (ok)
            d.UserClick(ui::IDOK);
        else
            d.UserKey(ui::key::Tab);
        EXPECT_EQ(Boxes(),
                  std::vector<std::string>{" Node Number 1 can not be renumbered \n it is assign to element 1"});
        EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "500");
        EXPECT_EQ(model.GetNodeTable()->GetNodeId(0), 1);
        EXPECT_FALSE(model.IsChanged());
        d.DestroyWindow();
    }
}

TEST_F(NodeGridTest, UnreadableCellStopsTheMoveAndKeepsTheText) {
    DlgNodeData d(&doc, &view);
    Open(d);
    d.UserType(G::CellId(2, 3), "1.5");
    d.UserType(G::CellId(3, 4), "abc");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 4)), "abc");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 3)), "1.5");
    EXPECT_EQ(FocusId(d), G::CellId(3, 4));
    d.UserType(G::CellId(3, 4), "2");
    d.UserClick(G::kApplyId);
    EXPECT_EQ(model.GetNodeTable()->GetY(1), 1.5);
    EXPECT_EQ(model.GetNodeTable()->GetZ(2), 2.0);
}

TEST_F(NodeGridTest, DeleteRefusesANodeOfAnElementAndMarksADeletedOne) {
    DlgNodeData d(&doc, &view);
    Open(d);
    d.UserFocus(G::CellId(2, 1));
    d.UserClick(DlgNodeData::IDC_DELETE_NODE);
    EXPECT_EQ(Boxes(), std::vector<std::string>{" Node Number 2 can not be deleted \n it is assign to element 1"});
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "4");

    // A node of no element goes; the deleted node's number is marked, also
    // when it was the last row of a one-page table.
    d.UserClick(DlgNodeData::IDC_ADD_NODE);
    d.UserClick(DlgNodeData::IDC_ADD_NODE);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(6, 1)), "6");
    d.UserClick(DlgNodeData::IDC_DELETE_NODE);
    EXPECT_EQ(view.picked, (std::vector<std::pair<int, std::string>>{{1, "6"}}));
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "5");
    EXPECT_EQ(FocusId(d), G::CellId(5, 1));
    d.UserClick(G::kApplyId);
    EXPECT_EQ(model.GetNodeTable()->GetCount(), 5);
    EXPECT_TRUE(view.picked.empty());
}

TEST_F(NodeGridTest, InsertTakesTheCurrentRowsPlace) {
    DlgNodeData d(&doc, &view);
    Open(d);
    d.UserFocus(G::CellId(2, 3));
    d.UserClick(DlgNodeData::IDC_INSERT_NODE);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 1)), "5");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 1)), "2");
    EXPECT_EQ(FocusId(d), G::CellId(2, 3));
    d.UserClick(DlgNodeData::IDC_SORT);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 1)), "2");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(5, 1)), "5");
}

TEST_F(NodeGridTest, EmptyTableAddsNodeOne) {
    model.GetElementTable()->Clear();
    model.GetNodeTable()->Clear();
    DlgNodeData d(&doc, &view);
    Open(d);
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "0");
    EXPECT_FALSE(d.GetDlgItem(DlgNodeData::IDC_DELETE_NODE)->IsWindowEnabled());
    EXPECT_FALSE(d.GetDlgItem(DlgNodeData::IDC_INSERT_NODE)->IsWindowEnabled());
    EXPECT_FALSE(d.GetDlgItem(G::CellId(1, 1))->IsShown());
    d.UserClick(DlgNodeData::IDC_ADD_NODE);
    EXPECT_TRUE(d.GetDlgItem(DlgNodeData::IDC_DELETE_NODE)->IsWindowEnabled());
    d.UserClick(G::kApplyId);
    ASSERT_EQ(model.GetNodeTable()->GetCount(), 1);
    EXPECT_EQ(model.GetNodeTable()->GetNodeId(0), 1);
    EXPECT_EQ(model.GetNodeTable()->GetY(0), 0.0);
}

TEST_F(NodeGridTest, LongTableScrollsAndFindsDuplicatesOffThePage) {
    for (int n = 5; n <= 20; ++n) model.GetNodeTable()->AddNodeRow(n, 0, n, 0);
    model.GetNodeTable()->CountNodeRows();
    model.GetNodeTable()->RebuildNodeTableIndex();
    DlgNodeData d(&doc, &view);
    Open(d);
    auto* bar = d.Get<ui::ScrollBar>(G::kScrollBarId);
    EXPECT_TRUE(bar->IsShown());
    EXPECT_EQ(bar->GetMax(), 5);
    d.UserKey(ui::key::End);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(15, 0)), "20");
    EXPECT_EQ(bar->GetScrollPos(), 5);
    // Row 1 is above the page now.
    d.UserType(G::CellId(3, 1), "1");
    d.UserKey(ui::key::Home);
    EXPECT_EQ(LastBox(), " Node Number 1 is already defined \n Check rows 1 and 8");
    d.UserType(G::CellId(3, 1), "8");
    d.UserKey(ui::key::Home);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 0)), "1");
    // Add on a long table shows the new row in the last slot.
    d.UserClick(DlgNodeData::IDC_ADD_NODE);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(15, 0)), "21");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(15, 1)), "21");
    EXPECT_EQ(FocusId(d), G::CellId(15, 1));
}

TEST_F(NodeGridTest, EnterActsAsOkAndCancelLeavesTheModel) {
    {
        driver.ExpectModal([](ui::Dialog& dlg) {
            dlg.UserType(G::CellId(1, 3), "7.25");
            dlg.UserKey(ui::key::Enter);
        });
        DlgNodeData d(&doc, &view);
        EXPECT_EQ(d.DoModal(), ui::IDOK);
        EXPECT_EQ(model.GetNodeTable()->GetY(0), 7.25);
        EXPECT_TRUE(model.IsChanged());
    }
    model.ClearChanged();
    {
        driver.ExpectModal([](ui::Dialog& dlg) {
            dlg.UserType(G::CellId(1, 3), "3");
            dlg.UserKey(ui::key::Tab);
            dlg.UserClick(DlgNodeData::IDC_ADD_NODE);
            dlg.UserClick(ui::IDCANCEL);
        });
        DlgNodeData d(&doc, &view);
        EXPECT_EQ(d.DoModal(), ui::IDCANCEL);
        EXPECT_EQ(model.GetNodeTable()->GetY(0), 7.25);
        EXPECT_EQ(model.GetNodeTable()->GetCount(), 4);
        EXPECT_FALSE(model.IsChanged());
    }
}

}  // namespace
