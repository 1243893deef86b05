// The grid-dialog base over a fake grid of 10 lines by 3 columns: scrolling,
// the current cell, key and scroll-bar moves, validation before every move.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "uibase/TDialog.h"
#include "platform/ui/HeadlessTest.h"

namespace {

constexpr int kGrid = 900;
constexpr int kLines = 10;
constexpr int kColumns = 3;
constexpr int kBar = 950;
constexpr int kExtra = 960;

int CellId(int line, int column) { return 2000 + (column - 1) * 100 + (line - 1); }

ui::DialogTemplate GridTemplate() {
    ui::DialogTemplate t;
    t.caption = "Grid";
    t.rect = {0, 0, 220, 200};
    for (int line = 1; line <= kLines; ++line)
        for (int column = 1; column <= kColumns; ++column)
            t.EditBox(CellId(line, column), {10 + 50 * (column - 1), 10 + 14 * (line - 1), 45, 12});
    t.VScrollBar(kBar, {165, 10, 10, 140});
    t.DefPushButton(ui::IDOK, "OK", {10, 170, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {70, 170, 50, 14});
    t.PushButton(kExtra, "Extra", {130, 170, 50, 14});
    return t;
}

class FakeGrid : public TDialog {
public:
    explicit FakeGrid(int rows) : TDialog(kGrid, nullptr) {
        m_rowsPerPage = kLines;
        m_columns = kColumns;
        m_rowCount = rows;
        for (int column = 1; column <= kColumns; ++column)
            OnNotifyRange(
                ui::Notify::SetFocus, CellId(1, column), CellId(kLines, column),
                [this, column](ui::Notification& n) { SetCurrentCell(n.id - CellId(1, column) + 1, column); });
    }
    void Refresh() override {
        ++refreshes;
        if (m_currentRow > 0)
            if (ui::Control* c = GetCellWnd(m_currentRow, m_currentColumn)) GotoDlgCtrl(c);
    }
    int Validate() override {
        ++validations;
        return failWith;
    }
    ui::Control* GetCellWnd(int line, int column) override {
        if (line < 1 || line > kLines || column < 1 || column > kColumns) return nullptr;
        return GetDlgItem(CellId(line, column));
    }
    void Place(int first, int row, int column) {
        m_firstVisibleRow = first;
        m_currentRow = row;
        m_currentColumn = column;
    }
    std::tuple<int, int, int> State() const { return {m_firstVisibleRow, m_currentRow, m_currentColumn}; }

    int refreshes = 0;
    int validations = 0;
    int failWith = 0;
};

class TDialogTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ui::RegisterDialogTemplate(kGrid, GridTemplate);
    }
    void Open(FakeGrid& g) {
        ASSERT_TRUE(g.CreateModeless());
        g.ShowWindow(true);
    }
};

enum class Cells { All, Column2Off, Column2Hidden, Column1Off, Column3Off, NoneUsable };

void ApplyCells(FakeGrid& g, Cells cells) {
    for (int line = 1; line <= kLines; ++line)
        for (int column = 1; column <= kColumns; ++column) {
            ui::Control* c = g.GetDlgItem(CellId(line, column));
            const bool off = cells == Cells::NoneUsable || (cells == Cells::Column2Off && column == 2) ||
                             (cells == Cells::Column1Off && column == 1) || (cells == Cells::Column3Off && column == 3);
            c->EnableWindow(!off);
            c->ShowWindow(!(cells == Cells::Column2Hidden && column == 2));
        }
}

struct MoveCase {
    const char* what;
    int rows;
    Cells cells;
    int first, row, column;  // before
    int key;
    int modifiers;
    int wantFirst, wantRow, wantColumn;
};

TEST_F(TDialogTest, KeyMovesOverTheTable) {
    using namespace ui::key;
    const int S = ui::mod::Shift;
    const MoveCase cases[] = {
        {"page down with fewer rows than a page", 5, Cells::All, 0, 2, 1, PageDown, 0, 0, 2, 1},
        {"end with fewer rows than a page", 5, Cells::All, 0, 2, 1, End, 0, 0, 2, 1},
        {"end with exactly one page", 10, Cells::All, 0, 2, 1, End, 0, 0, 2, 1},
        {"page down", 25, Cells::All, 0, 2, 1, PageDown, 0, 10, 2, 1},
        {"page down to the last page", 25, Cells::All, 10, 2, 1, PageDown, 0, 15, 2, 1},
        {"page down on the last page stays", 25, Cells::All, 15, 2, 1, PageDown, 0, 15, 2, 1},
        {"end shows the last row in the last line", 25, Cells::All, 0, 2, 1, End, 0, 15, 2, 1},
        {"home", 25, Cells::All, 15, 2, 1, Home, 0, 0, 2, 1},
        {"page up", 25, Cells::All, 15, 2, 1, PageUp, 0, 5, 2, 1},
        {"page up to the top", 25, Cells::All, 5, 2, 1, PageUp, 0, 0, 2, 1},
        {"tab to the next column", 25, Cells::All, 0, 4, 1, Tab, 0, 0, 4, 2},
        {"tab at the end of a line", 25, Cells::All, 0, 4, 3, Tab, 0, 0, 5, 1},
        {"tab on the last cell scrolls by one", 25, Cells::All, 0, 10, 3, Tab, 0, 1, 10, 1},
        {"tab on the last cell at the end of the table", 25, Cells::All, 15, 10, 3, Tab, 0, 15, 10, 1},
        {"tab on the last cell of a short table", 5, Cells::All, 0, 5, 3, Tab, 0, 0, 5, 1},
        {"shift tab to the line above", 25, Cells::All, 0, 4, 1, Tab, S, 0, 3, 3},
        {"shift tab on the first cell scrolls up", 25, Cells::All, 5, 1, 1, Tab, S, 4, 1, 3},
        {"shift tab on the first cell of the table", 25, Cells::All, 0, 1, 1, Tab, S, 0, 1, 3},
        {"tab skips a disabled cell", 25, Cells::Column2Off, 0, 3, 1, Tab, 0, 0, 3, 3},
        {"shift tab skips a disabled cell", 25, Cells::Column2Off, 0, 3, 3, Tab, S, 0, 3, 1},
        {"tab skips a hidden cell", 25, Cells::Column2Hidden, 0, 3, 1, Tab, 0, 0, 3, 3},
        {"tab over a disabled first column", 25, Cells::Column1Off, 0, 3, 3, Tab, 0, 0, 4, 2},
        {"the search turns at the first cell of the table", 25, Cells::Column1Off, 0, 1, 2, Tab, S, 0, 1, 3},
        {"the search turns at the first cell of line 1, rows above", 25, Cells::Column1Off, 5, 1, 2, Tab, S, 4, 1, 3},
        {"the search turns at the last cell of the table", 25, Cells::Column3Off, 15, 10, 2, Tab, 0, 15, 10, 1},
        {"the search turns at the last cell of the page, rows below", 25, Cells::Column3Off, 0, 10, 2, Tab, 0, 1, 10,
         1},
        {"shift tab over a disabled first column", 25, Cells::Column1Off, 0, 4, 2, Tab, S, 0, 3, 3},
        {"down", 25, Cells::All, 0, 4, 2, Down, 0, 0, 5, 2},
        {"down on the last line scrolls by one", 25, Cells::All, 0, 10, 2, Down, 0, 1, 10, 2},
        {"down on the last row stays", 25, Cells::All, 15, 10, 2, Down, 0, 15, 10, 2},
        {"down on the last row of a short table", 5, Cells::All, 0, 5, 2, Down, 0, 0, 5, 2},
        {"up", 25, Cells::All, 0, 4, 2, Up, 0, 0, 3, 2},
        {"up on line 1 scrolls by one", 25, Cells::All, 3, 1, 2, Up, 0, 2, 1, 2},
        {"up on the first row stays", 25, Cells::All, 0, 1, 2, Up, 0, 0, 1, 2},
        {"down into a disabled cell walks on", 25, Cells::Column2Off, 0, 4, 2, Down, 0, 0, 5, 3},
        {"up into a disabled cell walks back", 25, Cells::Column2Off, 0, 4, 2, Up, 0, 0, 3, 1},
        {"down without a current row scrolls", 25, Cells::All, 3, 0, 0, Down, 0, 4, 0, 0},
        {"up without a current row scrolls", 25, Cells::All, 3, 0, 0, Up, 0, 2, 0, 0},
        {"no usable cell: tab leaves the cell", 25, Cells::NoneUsable, 3, 4, 2, Tab, 0, 3, 4, 2},
        {"no usable cell: shift tab leaves the cell", 25, Cells::NoneUsable, 3, 1, 1, Tab, S, 3, 1, 1},
        {"no usable cell: down leaves the cell", 25, Cells::NoneUsable, 3, 10, 2, Down, 0, 3, 10, 2},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeGrid g(c.rows);
        Open(g);
        ApplyCells(g, c.cells);
        g.Place(c.first, c.row, c.column);
        g.validations = g.refreshes = 0;
        g.UserKey(c.key, c.modifiers);
        EXPECT_EQ(g.State(), std::make_tuple(c.wantFirst, c.wantRow, c.wantColumn));
        EXPECT_EQ(g.m_touched, 1);
        EXPECT_EQ(g.validations, 1);
        EXPECT_EQ(g.refreshes, 1);
        EXPECT_EQ(g.m_shiftDown, 0);  // released again
        g.DestroyWindow();
    }
}

TEST_F(TDialogTest, FailingValidationBlocksEveryMove) {
    // The move is tried on a page whose validation fails: nothing moves and
    // nothing is redrawn, but the grid counts as touched.
    auto blocked = [this](const std::function<void(FakeGrid&)>& move) {
        FakeGrid g(25);
        Open(g);
        g.Place(5, 4, 2);
        g.failWith = 1;
        g.refreshes = 0;
        move(g);
        EXPECT_EQ(g.State(), std::make_tuple(5, 4, 2));
        EXPECT_EQ(g.validations, 1);
        EXPECT_EQ(g.refreshes, 0);
        EXPECT_EQ(g.m_touched, 1);
        g.DestroyWindow();
    };
    using namespace ui::key;
    for (int key : {Tab, PageUp, PageDown, End, Home, Up, Down}) {
        SCOPED_TRACE(key);
        blocked([key](FakeGrid& g) { g.UserKey(key); });
    }
    for (int code : {ui::sb::LineUp, ui::sb::LineDown, ui::sb::PageUp, ui::sb::PageDown, ui::sb::ThumbTrack,
                     ui::sb::ThumbPosition, ui::sb::Top, ui::sb::Bottom}) {
        SCOPED_TRACE(code);
        blocked([code](FakeGrid& g) { g.UserScroll(kBar, code, 12); });
    }
}

TEST_F(TDialogTest, ScrollBarMovesTheFirstVisibleRow) {
    struct Case {
        int code;
        int pos;
        int first;
        int want;
    };
    const Case cases[] = {
        {ui::sb::LineDown, 0, 3, 4},   {ui::sb::LineUp, 0, 3, 2},          {ui::sb::LineUp, 0, 0, 0},
        {ui::sb::PageDown, 0, 3, 13},  {ui::sb::PageDown, 0, 10, 15},      {ui::sb::PageUp, 0, 3, 0},
        {ui::sb::ThumbTrack, 7, 3, 7}, {ui::sb::ThumbPosition, 40, 3, 15}, {ui::sb::Top, 0, 9, 0},
        {ui::sb::Bottom, 0, 2, 15},    {ui::sb::EndScroll, 0, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        FakeGrid g(25);
        Open(g);
        g.Place(c.first, 4, 2);
        g.Get<ui::ScrollBar>(kBar)->SetScrollRange(0, 15);
        g.Get<ui::ScrollBar>(kBar)->SetScrollPos(c.first);
        g.refreshes = 0;
        g.UserScroll(kBar, c.code, c.pos);
        EXPECT_EQ(g.State(), std::make_tuple(c.want, 4, 2));
        EXPECT_EQ(g.refreshes, 1);
        EXPECT_EQ(g.m_touched, 1);
        g.DestroyWindow();
    }
    // With fewer rows than a page every scroll leaves the first row at 0.
    FakeGrid g(5);
    Open(g);
    g.UserScroll(kBar, ui::sb::Bottom);
    g.UserScroll(kBar, ui::sb::PageDown);
    EXPECT_EQ(g.m_firstVisibleRow, 0);
}

TEST_F(TDialogTest, LeftRightAndTabWithoutACellAreNotTaken) {
    FakeGrid g(25);
    Open(g);
    g.Place(2, 4, 2);
    g.validations = 0;
    g.UserKey(ui::key::Left);
    g.UserKey(ui::key::Right);
    EXPECT_EQ(g.State(), std::make_tuple(2, 4, 2));
    EXPECT_EQ(g.validations, 0);
    EXPECT_EQ(g.m_touched, 0);

    // Without a current row Tab follows the dialog's own tab order.
    g.Place(2, 0, 0);
    g.SetFocusSilently(g.GetDlgItem(ui::IDCANCEL));
    g.UserKey(ui::key::Tab);
    EXPECT_EQ(g.GetFocus(), g.GetDlgItem(kExtra));
    EXPECT_EQ(g.validations, 0);
}

TEST_F(TDialogTest, FocusEnteringACellMakesItCurrentAfterValidation) {
    FakeGrid g(25);
    Open(g);
    g.Place(0, 1, 1);
    g.validations = g.refreshes = 0;
    ASSERT_TRUE(g.UserFocus(CellId(4, 3)));
    EXPECT_EQ(g.State(), std::make_tuple(0, 4, 3));
    EXPECT_EQ(g.validations, 1);
    EXPECT_EQ(g.refreshes, 1);
    // The same cell again: nothing runs.
    EXPECT_EQ(g.SetCurrentCell(4, 3), 0);
    EXPECT_EQ(g.validations, 1);
    // A failing page: the cell is stored, nothing is redrawn.
    g.failWith = 1;
    ASSERT_TRUE(g.UserFocus(CellId(6, 1)));
    EXPECT_EQ(g.State(), std::make_tuple(0, 6, 1));
    EXPECT_EQ(g.validations, 2);
    EXPECT_EQ(g.refreshes, 1);
    EXPECT_EQ(g.SetCurrentCell(7, 1), 1);
}

TEST_F(TDialogTest, ShiftIsTrackedFromKeyMessages) {
    FakeGrid g(25);
    Open(g);
    g.UserKeyDown(ui::key::Shift);
    EXPECT_EQ(g.m_shiftDown, 1);
    g.Place(0, 3, 2);
    g.UserKeyDown(ui::key::Tab);
    g.UserKeyUp(ui::key::Tab);
    EXPECT_EQ(g.State(), std::make_tuple(0, 3, 1));
    g.UserKeyUp(ui::key::Shift);
    EXPECT_EQ(g.m_shiftDown, 0);
    g.UserKey(ui::key::Tab);
    EXPECT_EQ(g.State(), std::make_tuple(0, 3, 2));
}

TEST_F(TDialogTest, BaseRefreshAndValidateExchangeData) {
    struct Plain : TDialog {
        Plain() : TDialog(kGrid, nullptr) {}
        void DoDataExchange(ui::DataExchange& dx) override { dx.Text(CellId(1, 1), value); }
        int value = 8;
    };
    Plain p;
    ASSERT_TRUE(p.CreateModeless());
    p.ShowWindow(true);
    p.value = 21;
    p.Refresh();
    EXPECT_EQ(p.GetDlgItemText(CellId(1, 1)), "21");
    p.SetDlgItemText(CellId(1, 1), "34");
    EXPECT_EQ(p.Validate(), 0);
    EXPECT_EQ(p.value, 34);
    EXPECT_EQ(p.GetCellWnd(1, 1), nullptr);
    EXPECT_FALSE(p.IsCellUsable(1, 1));
    EXPECT_EQ(p.m_templateId, kGrid);
}

}  // namespace
