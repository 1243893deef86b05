// The section-cut grid driven as the user would over the 3 x 3 mesh (model
// box y and z from 0 to 3): the page and its scroll bar, Add and Del, the
// highlight of the focused line, the checks of Apply and OK, the options,
// Enter, OK and Cancel.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "model/DataTable.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgSectionCut.h"

using plottest::FakeDoc;
using plottest::FakeView;

namespace {

using Cells = std::array<double, 4>;
using D = CDlgSectionCut;

class SectionCutTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        plottest::ReadMesh(model);
    }
    CutLineTable& Stored() { return *model.GetCutLineDataTable(); }
    CutLineTable& Working() { return *model.GetCutLineTable(); }
    // The stored table holds `count` lines: the two default ones, then lines
    // across the box at z = 0.5, 0.6, ...
    void StoreLines(int count) {
        CutLineTable& t = Stored();
        while (t.GetCount() > 0) t.RemoveCutLineRow(t.GetCount() - 1);
        for (int i = 0; i < count; ++i) {
            if (i == 0)
                t.AddCutLineRow(-0.3, 1.5, 3.3, 1.5);
            else if (i == 1)
                t.AddCutLineRow(1.5, -0.3, 1.5, 3.3);
            else
                t.AddCutLineRow(-0.3, 0.3 + 0.1 * i, 3.3, 0.3 + 0.1 * i);
        }
        t.CountCutLineRows();
        t.RebuildCutLineIndex();
    }
    D& Open() {
        dlg = D::Open(&doc, &view);
        EXPECT_TRUE(dlg);
        return *dlg;
    }
    int VisibleRows() {
        int n = 0;
        for (int r = 1; r <= D::kRowsPerPage; ++r) n += dlg->GetDlgItem(D::CellId(r, 1))->IsShown() ? 1 : 0;
        return n;
    }
    ui::ScrollBar& Bar() { return *dlg->Get<ui::ScrollBar>(D::IDC_SCROLL_BAR); }
    // 1-based numbers of the highlighted working lines.
    std::vector<int> Highlighted() {
        std::vector<int> lines;
        for (int i = 0; i < Working().GetCount(); ++i)
            if (Working().GetHighlight(i)) lines.push_back(i + 1);
        return lines;
    }
    Cells WorkingLine(int line) {
        const int i = line - 1;
        return {Working().GetStartY(i), Working().GetStartZ(i), Working().GetEndY(i), Working().GetEndZ(i)};
    }
    void TypeRow(int row, const std::array<const char*, 4>& texts) {
        for (int c = 1; c <= 4; ++c) ASSERT_TRUE(dlg->UserType(D::CellId(row, c), texts[c - 1]));
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto& b : driver.MessageBoxes()) texts.push_back(b.text);
        return texts;
    }
    std::tuple<int, int, int> Page() const { return {dlg->m_firstVisibleRow, dlg->m_currentRow, dlg->m_currentColumn}; }
    bool Focused(int row, int column) { return dlg->GetFocus() == dlg->GetDlgItem(D::CellId(row, column)); }
    // The user changes the option, which enables Apply, and clicks it.
    bool ChangeOptionAndApply() {
        return dlg->UserClick(dlg->IsDlgButtonChecked(D::IDC_NODE) ? D::IDC_INTEGRATION_POINT : D::IDC_NODE) &&
               dlg->UserClick(D::IDC_APPLY);
    }

    ModelData model;
    FakeDoc doc{&model};
    FakeView view{&model};
    std::unique_ptr<D> dlg;
};

}  // namespace

TEST_F(SectionCutTest, OpensOnTheStoredLinesWithLineOneHighlighted) {
    StoreLines(3);
    Stored().SetInterpolationOption(2);
    Stored().SetSegmentDivisionCode(4);
    D& d = Open();
    EXPECT_EQ(d.GetWindowText(), "Section Cut");
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_TRUE(view.cutLinesShown);
    EXPECT_EQ(VisibleRows(), 3);
    EXPECT_FALSE(Bar().IsShown());
    EXPECT_EQ(d.GetDlgItemText(D::CellId(3, 0)), "3");
    EXPECT_EQ(d.GetDlgItemText(D::CellId(1, 1)), "-0.3");
    EXPECT_EQ(d.GetDlgItemText(D::CellId(3, 4)), "0.5");
    EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_NODE), 1);
    EXPECT_EQ(d.Get<ui::ComboBox>(D::IDC_DIVISION)->Items(), (std::vector<std::string>{"2", "3", "4", "5", "6"}));
    EXPECT_EQ(d.Get<ui::ComboBox>(D::IDC_DIVISION)->GetCurSel(), 4);
    EXPECT_FALSE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_TRUE(Focused(1, 1));
    EXPECT_EQ(Highlighted(), std::vector<int>{1});
    // The default lines are read-only, the others editable.
    EXPECT_TRUE(d.Get<ui::Edit>(D::CellId(1, 2))->IsReadOnly());
    EXPECT_TRUE(d.Get<ui::Edit>(D::CellId(2, 4))->IsReadOnly());
    EXPECT_FALSE(d.Get<ui::Edit>(D::CellId(3, 1))->IsReadOnly());
}

TEST_F(SectionCutTest, WithoutLinesAddGivesTheLengthenedBoxDiagonal) {
    StoreLines(0);
    D& d = Open();
    EXPECT_EQ(VisibleRows(), 0);
    EXPECT_FALSE(Bar().IsShown());
    ASSERT_TRUE(d.UserClick(D::IDC_ADD_CUT_LINE));
    EXPECT_EQ(VisibleRows(), 1);
    EXPECT_EQ(Page(), std::make_tuple(0, 1, 1));
    EXPECT_EQ(WorkingLine(1), (Cells{-0.3, -0.3, 3.3, 3.3}));
    EXPECT_TRUE(Focused(1, 1));
    EXPECT_EQ(Highlighted(), std::vector<int>{1});
    // The new line passes every check.
    ASSERT_TRUE(d.UserClick(D::IDC_APPLY));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(view.rebuilds, 1);
    EXPECT_EQ(doc.viewUpdates, 1);
}

TEST_F(SectionCutTest, ScrollBarAndAddAtTheEndOfALongTable) {
    struct Case {
        int lines;
        bool bar;
        int rows;
    };
    for (const Case c : {Case{8, false, 8}, Case{9, true, 8}, Case{2, false, 2}}) {
        StoreLines(c.lines);
        D& d = Open();
        EXPECT_EQ(Bar().IsShown(), c.bar) << c.lines;
        EXPECT_EQ(VisibleRows(), c.rows) << c.lines;
        if (c.bar) {
            EXPECT_EQ(Bar().GetMin(), 0);
            EXPECT_EQ(Bar().GetMax(), c.lines - 8);
        }
        d.DestroyWindow();
    }
    StoreLines(10);
    D& d = Open();
    ASSERT_TRUE(d.UserClick(D::IDC_ADD_CUT_LINE));
    EXPECT_EQ(Working().GetCount(), 11);
    EXPECT_EQ(Page(), std::make_tuple(3, 8, 1));
    EXPECT_EQ(d.GetDlgItemText(D::CellId(8, 0)), "11");
    EXPECT_TRUE(Focused(8, 1));
    EXPECT_EQ(Highlighted(), std::vector<int>{11});
    EXPECT_EQ(Bar().GetMax(), 3);
    EXPECT_EQ(Bar().GetScrollPos(), 3);
    EXPECT_TRUE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
}

// Apply is enabled while the lines differ from those found at opening or
// last applied: after Add, an edit of a cell and Del; Apply, or Enter that
// puts the stored values back, disables it again.
TEST_F(SectionCutTest, AddEditAndDelEnableApply) {
    StoreLines(3);
    D& d = Open();
    auto applyEnabled = [&] { return d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled(); };
    EXPECT_FALSE(applyEnabled());
    ASSERT_TRUE(d.UserType(D::CellId(3, 1), "-0.5"));
    EXPECT_TRUE(applyEnabled());
    ASSERT_TRUE(d.UserKey(ui::key::Enter));  // the cell shows -0.3 again
    EXPECT_FALSE(applyEnabled());
    ASSERT_TRUE(d.UserType(D::CellId(3, 1), "-0.5"));
    ASSERT_TRUE(d.UserFocus(D::CellId(3, 2)));  // committed to the working table
    EXPECT_TRUE(applyEnabled());
    ASSERT_TRUE(d.UserClick(D::IDC_APPLY));
    EXPECT_FALSE(applyEnabled());
    EXPECT_EQ(WorkingLine(3), (Cells{-0.5, 0.5, 3.3, 0.5}));

    ASSERT_TRUE(d.UserClick(D::IDC_ADD_CUT_LINE));
    EXPECT_TRUE(applyEnabled());
    ASSERT_TRUE(d.UserClick(D::IDC_APPLY));
    EXPECT_FALSE(applyEnabled());
    ASSERT_TRUE(d.UserFocus(D::CellId(4, 1)));
    ASSERT_TRUE(d.UserClick(D::IDC_DEL_CUT_LINE));
    EXPECT_EQ(Working().GetCount(), 3);
    EXPECT_TRUE(applyEnabled());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SectionCutTest, DefaultLinesCannotBeDeleted) {
    StoreLines(10);
    D& d = Open();
    // Line 1 in row 1.
    ASSERT_TRUE(d.UserClick(D::IDC_DEL_CUT_LINE));
    // Line 2 scrolled into row 1.
    ASSERT_TRUE(d.UserScroll(D::IDC_SCROLL_BAR, ui::sb::LineDown));
    ASSERT_TRUE(d.UserFocus(D::CellId(1, 2)));
    EXPECT_EQ(Highlighted(), std::vector<int>{2});
    ASSERT_TRUE(d.UserClick(D::IDC_DEL_CUT_LINE));
    ASSERT_EQ(Messages(), (std::vector<std::string>(2, "Default cutlines are not deletable")));
    for (const auto& b : driver.MessageBoxes()) EXPECT_EQ(b.icon, ui::Icon::Stop);
    EXPECT_EQ(Working().GetCount(), 10);
    EXPECT_EQ(WorkingLine(2), (Cells{1.5, -0.3, 1.5, 3.3}));

    StoreLines(3);
    D& e = Open();
    ASSERT_TRUE(e.UserFocus(D::CellId(3, 1)));
    ASSERT_TRUE(e.UserClick(D::IDC_DEL_CUT_LINE));
    EXPECT_EQ(Working().GetCount(), 2);
    EXPECT_EQ(VisibleRows(), 2);
    EXPECT_EQ(Page(), std::make_tuple(0, 2, 1));
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Highlighted(), std::vector<int>{2});
}

TEST_F(SectionCutTest, ScrolledPageEditsAndHighlightsItsOwnLines) {
    StoreLines(10);
    D& d = Open();
    ASSERT_TRUE(d.UserScroll(D::IDC_SCROLL_BAR, ui::sb::LineDown));
    ASSERT_TRUE(d.UserScroll(D::IDC_SCROLL_BAR, ui::sb::LineDown));
    EXPECT_EQ(d.GetDlgItemText(D::CellId(1, 0)), "3");
    EXPECT_FALSE(d.Get<ui::Edit>(D::CellId(1, 1))->IsReadOnly());
    EXPECT_FALSE(d.Get<ui::Edit>(D::CellId(2, 3))->IsReadOnly());
    ASSERT_TRUE(d.UserFocus(D::CellId(2, 2)));
    ASSERT_TRUE(d.UserFocus(D::CellId(1, 1)));
    EXPECT_EQ(Highlighted(), std::vector<int>{3});
    // Typing and leaving the cell commits the page into the working table.
    ASSERT_TRUE(d.UserType(D::CellId(1, 2), "0.45"));
    ASSERT_TRUE(d.UserFocus(D::CellId(2, 1)));
    EXPECT_EQ(WorkingLine(3), (Cells{-0.3, 0.45, 3.3, 0.5}));
    EXPECT_EQ(Highlighted(), std::vector<int>{4});
    // Tab moves the highlight with the focus.
    ASSERT_TRUE(d.UserKey(ui::key::Tab));
    EXPECT_TRUE(Focused(2, 2));
    ASSERT_TRUE(d.UserKey(ui::key::Down));
    EXPECT_TRUE(Focused(3, 2));
    EXPECT_EQ(Highlighted(), std::vector<int>{5});
}

TEST_F(SectionCutTest, ApplyChecksEveryLine) {
    struct Case {
        const char* what;
        std::array<const char*, 4> line3;
        const char* message;  // "" when every check passes
    };
    const Case cases[] = {
        {"length exactly 1e-8 is not zero",
         {"0", "0", "1e-08", "0"},
         "End coordinates of cutline can not locate inside of mesh"},
        {"the box diagonal itself", {"0", "0", "3", "3"}, ""},
        {"reversed inside the box", {"2", "2", "1", "1"}, "End coordinates of cutline can not locate inside of mesh"},
        {"reversed outside the box",
         {"3.3", "-0.3", "-0.3", "3.3"},
         "Cutline starts from left-top to right-bottom only."},
        {"zero length", {"1", "1", "1", "1"}, "Cutline can not be set with zero length"},
        {"zero length outside", {"-1", "-1", "-1", "-1"}, "Cutline can not be set with zero length"},
    };
    for (const Case& c : cases) {
        StoreLines(4);
        D& d = Open();
        driver.ClearLogs();
        TypeRow(3, c.line3);
        ASSERT_TRUE(ChangeOptionAndApply());
        EXPECT_EQ(Messages(), std::vector<std::string>(*c.message ? 1 : 0, c.message)) << c.what;
        if (*c.message) {
            EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Stop);
            EXPECT_EQ(Page(), std::make_tuple(0, 3, 1)) << c.what;
            EXPECT_TRUE(Focused(3, 1)) << c.what;
            EXPECT_EQ(Highlighted(), std::vector<int>{3}) << c.what;
        }
        d.DestroyWindow();
    }
}

TEST_F(SectionCutTest, FailingLinesOffThePageAreScrolledIntoView) {
    // Line 12 of zero length below the page: it comes in as the last row.
    StoreLines(12);
    Stored().SetEndY(11, Stored().GetStartY(11));
    Stored().SetEndZ(11, Stored().GetStartZ(11));
    D& d = Open();
    ASSERT_TRUE(ChangeOptionAndApply());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cutline can not be set with zero length"});
    EXPECT_EQ(Page(), std::make_tuple(4, 8, 1));
    EXPECT_TRUE(Focused(8, 1));
    EXPECT_EQ(Highlighted(), std::vector<int>{12});
    // OK runs the checks too: the message, the dialog stays, nothing stored.
    ASSERT_TRUE(d.UserClick(ui::IDOK));
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_EQ(view.stores, 0);

    // Line 3 inside the box above the page: it comes in as the first row.
    StoreLines(12);
    Stored().SetStartY(2, 1.0);
    D& e = Open();
    driver.ClearLogs();
    ASSERT_TRUE(e.UserKey(ui::key::End));
    EXPECT_EQ(e.m_firstVisibleRow, 4);
    ASSERT_TRUE(ChangeOptionAndApply());
    EXPECT_EQ(Messages(), std::vector<std::string>{"End coordinates of cutline can not locate inside of mesh"});
    EXPECT_EQ(Page(), std::make_tuple(2, 1, 1));
    EXPECT_EQ(Highlighted(), std::vector<int>{3});
}

TEST_F(SectionCutTest, OptionsEnableApplyAndMarkTheDocument) {
    StoreLines(3);
    D& d = Open();
    // The committed option clicked again: nothing changes.
    ASSERT_TRUE(d.UserClick(D::IDC_INTEGRATION_POINT));
    EXPECT_FALSE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_TRUE(doc.modifiedCalls.empty());
    EXPECT_TRUE(Highlighted().empty());
    ASSERT_TRUE(d.UserClick(D::IDC_NODE));
    EXPECT_TRUE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_EQ(doc.modifiedCalls, std::vector<bool>{true});
    // Back to the committed value: nothing is left to apply.
    ASSERT_TRUE(d.UserClick(D::IDC_INTEGRATION_POINT));
    EXPECT_FALSE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_EQ(doc.modifiedCalls.size(), 1u);
    // Apply commits the options and disables itself.
    ASSERT_TRUE(d.UserClick(D::IDC_NODE));
    ASSERT_TRUE(d.UserClick(D::IDC_APPLY));
    EXPECT_FALSE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_EQ(Working().GetInterpolationOption(), 2);
    // A division change enables Apply and highlights the current line again.
    ASSERT_TRUE(d.UserSelect(D::IDC_DIVISION, 0));
    EXPECT_TRUE(d.GetDlgItem(D::IDC_APPLY)->IsWindowEnabled());
    EXPECT_EQ(Highlighted(), std::vector<int>{1});
    EXPECT_EQ(Working().GetSegmentDivisionCode(), 2);  // reaches the table at the next commit
    ASSERT_TRUE(d.UserClick(D::IDC_APPLY));
    EXPECT_EQ(Working().GetSegmentDivisionCode(), 0);
    EXPECT_EQ(Stored().GetSegmentDivisionCode(), 2);  // the stored table waits for OK
}

TEST_F(SectionCutTest, EnterRestoresTheCellAndKeepsTheDialog) {
    StoreLines(3);
    D& d = Open();
    ASSERT_TRUE(d.UserFocus(D::CellId(3, 2)));
    ASSERT_TRUE(d.UserType(D::CellId(3, 2), "2.75"));
    ASSERT_TRUE(d.UserKey(ui::key::Enter));
    EXPECT_EQ(d.GetDlgItemText(D::CellId(3, 2)), "0.5");
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_EQ(Highlighted(), std::vector<int>{3});
    EXPECT_EQ(view.stores, 0);
}

TEST_F(SectionCutTest, OkStoresAndCancelKeepsTheStoredTable) {
    StoreLines(3);
    D& d = Open();
    TypeRow(3, {"-1", "0.25", "4", "0.25"});
    ASSERT_TRUE(d.UserFocus(D::CellId(1, 1)));  // leaving the row commits it
    ASSERT_TRUE(d.UserClick(D::IDC_NODE));
    ASSERT_TRUE(d.UserSelect(D::IDC_DIVISION, 3));
    ASSERT_TRUE(d.UserClick(ui::IDOK));
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(d.IsWindowVisible());
    EXPECT_EQ(d.GetResult(), ui::IDOK);
    EXPECT_FALSE(view.cutLinesShown);
    EXPECT_EQ(view.stores, 1);
    ASSERT_EQ(Stored().GetCount(), 3);
    EXPECT_EQ(Stored().GetStartY(2), -1);
    EXPECT_EQ(Stored().GetEndZ(2), 0.25);
    EXPECT_EQ(Stored().GetInterpolationOption(), 2);
    EXPECT_EQ(Stored().GetSegmentDivisionCode(), 3);
    EXPECT_EQ(doc.modifiedCalls.back(), true);

    // Cancel: the edits stay in the working table only; the next opening
    // starts again from the stored lines.
    D& e = Open();
    ASSERT_TRUE(e.UserClick(D::IDC_ADD_CUT_LINE));
    TypeRow(3, {"-2", "0.1", "5", "0.1"});
    ASSERT_TRUE(e.UserFocus(D::CellId(1, 1)));
    ASSERT_TRUE(e.UserClick(ui::IDCANCEL));
    EXPECT_FALSE(e.IsWindowVisible());
    EXPECT_FALSE(view.cutLinesShown);
    EXPECT_EQ(Working().GetCount(), 4);
    EXPECT_EQ(Stored().GetCount(), 3);
    EXPECT_EQ(Stored().GetStartY(2), -1);
    D& f = Open();
    EXPECT_EQ(VisibleRows(), 3);
    EXPECT_EQ(f.GetDlgItemText(D::CellId(3, 1)), "-1");
}

TEST_F(SectionCutTest, TextThatIsNotANumberKeepsTheLine) {
    StoreLines(3);
    D& d = Open();
    ASSERT_TRUE(d.UserType(D::CellId(3, 1), "abc"));
    ASSERT_TRUE(d.UserFocus(D::CellId(3, 2)));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(WorkingLine(3), (Cells{-0.3, 0.5, 3.3, 0.5}));
    EXPECT_EQ(d.GetDlgItemText(D::CellId(3, 1)), "-0.3");
    EXPECT_TRUE(d.IsWindowVisible());
}
