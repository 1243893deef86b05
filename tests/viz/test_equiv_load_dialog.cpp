// "Equivalent Concentrated Loads " driven headless as the user drives it:
// typing, clicking radios, check boxes and list rows, Apply, OK and Cancel.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgEquivLoad.h"
#include "viz/ui/EquivLoadSketch.h"

namespace {

using D = DlgEquivLoad;

class FakeDoc : public DocHost {
public:
    ModelData* GetModelData() const override { return model; }
    void SetModifiedFlag(bool m) override { modifiedFlag = m; }
    void UpdateAllViews() override { ++updates; }
    ModelData* model = nullptr;
    bool modifiedFlag = false;
    int updates = 0;
};

class FakeView : public ViewHost {
public:
    void SetHighlightedItems(int kind, const std::string& text) override { highlight = {kind, text}; }
    void RebuildScene() override { ++rebuilds; }
    std::pair<int, std::string> highlight{0, "0"};
    int rebuilds = 0;
};

std::vector<std::string> ColumnTitles(const ui::Dialog& d) {
    std::vector<std::string> titles;
    for (const auto& c : d.Get<ui::ListView>(D::IDC_LIST)->Columns()) titles.push_back(c.text);
    return titles;
}

std::string F(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", v);
    return text;
}

class EquivLoadDialogTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        doc.model = &model;
        // Fx -100 at (0, 5, 3): one ring of radius 2 with 4 points from the y axis.
        model.SetEquivLoadParameters(-100, 0, 0, 7, 0, 0, 1.5, 5, 3, 0, 2, 4, 0, 3, 6, 15);
        model.ClearChanged();
    }

    // Runs the dialog with the script; the dialog's result.
    int Run(std::function<void(D&)> script) {
        driver.ExpectModal([&](ui::Dialog& d) { script(static_cast<D&>(d)); }, D::kTemplateId);
        return RunEquivalentLoadsDialog(doc, view);
    }

    ModelData model;
    FakeDoc doc;
    FakeView view;
};

TEST_F(EquivLoadDialogTest, OpensNarrowWithTheModelsValuesAndFixedFields) {
    Run([&](D& d) {
        EXPECT_EQ(d.GetWindowText(), "Equivalent Concentrated Loads ");
        EXPECT_EQ(d.GetDlgItemText(D::IDC_FX), "-100");
        EXPECT_EQ(d.GetDlgItemText(D::IDC_MX), "7");
        EXPECT_EQ(d.GetDlgItemText(D::IDC_X), "1.5");
        EXPECT_EQ(d.GetDlgItemText(D::IDC_R2_ANGLE), "15");
        // "Mx" and "X" keep what the model holds.
        EXPECT_FALSE(d.UserType(D::IDC_MX, "1"));
        EXPECT_FALSE(d.UserType(D::IDC_X, "1"));
        for (int k = 0; k < 6; ++k) EXPECT_EQ(d.IsDlgButtonChecked(D::ShowId(k)), 1) << k;
        // The view was told to show the current pattern.
        EXPECT_EQ(view.rebuilds, 1);
        EXPECT_EQ(doc.updates, 1);

        const ui::Rect ring2 = d.GetDlgItem(D::IDC_RING2)->GetWindowRect();
        const ui::Rect list = d.GetDlgItem(D::IDC_LIST)->GetWindowRect();
        const ui::Rect narrow = d.GetWindowRect();
        EXPECT_EQ(narrow.w, ring2.x + ring2.w + 10);
        EXPECT_GT(list.x, narrow.w);  // the list stays outside
        d.UserClick(D::IDC_SHOW_VALUES);
        const ui::Rect wide = d.GetWindowRect();
        EXPECT_EQ(wide.w, list.x + list.w + 10);
        EXPECT_EQ(wide.x, narrow.x);
        EXPECT_EQ(wide.y, narrow.y);
        EXPECT_EQ(wide.h, narrow.h);
        d.UserClick(D::IDC_SHOW_VALUES);
        EXPECT_EQ(d.GetWindowRect().w, narrow.w);
        d.UserClick(ui::IDCANCEL);
    });
}

TEST_F(EquivLoadDialogTest, RingCountEnablesRingTwoAndChangesTheSketch) {
    Run([&](D& d) {
        auto* sketch = d.Get<ui::Picture>(D::IDC_SKETCH);
        const int w = sketch->GetImage().width, h = sketch->GetImage().height;
        auto ringTwoEnabled = [&] {
            int n = 0;
            for (int id : {D::IDC_R2_RADIUS, D::IDC_R2_POINTS, D::IDC_R2_ANGLE})
                n += d.GetDlgItem(id)->IsWindowEnabled();
            return n;
        };
        EXPECT_EQ(ringTwoEnabled(), 0);
        EXPECT_EQ(sketch->GetImage().rgb, equivsketch::DrawRingSketch(false, w, h).rgb);
        d.UserClick(D::IDC_TWO_RINGS);
        EXPECT_EQ(ringTwoEnabled(), 3);
        EXPECT_EQ(sketch->GetImage().rgb, equivsketch::DrawRingSketch(true, w, h).rgb);
        EXPECT_NE(sketch->GetImage().rgb, equivsketch::DrawRingSketch(false, w, h).rgb);
        // Nothing is computed before Apply: the list keeps its four points.
        EXPECT_EQ(d.Get<ui::ListView>(D::IDC_LIST)->GetItemCount(), 4);
        d.UserClick(D::IDC_ONE_RING);
        EXPECT_EQ(ringTwoEnabled(), 0);
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(model.twoRings, 0);
}

TEST_F(EquivLoadDialogTest, ListShowsEveryPointWithTheCheckedVariables) {
    Run([&](D& d) {
        auto* list = d.Get<ui::ListView>(D::IDC_LIST);
        EXPECT_EQ(ColumnTitles(d), (std::vector<std::string>{"Ring", "N", "X", "Y", "Z", "Fx", "Fy", "Fz"}));
        EXPECT_EQ(list->Columns()[1].width, 35);
        EXPECT_EQ(list->Columns()[2].width, 70);
        EXPECT_TRUE(list->HasStyle(ui::cs::GridLines) && list->HasStyle(ui::cs::FullRowSelect));
        ASSERT_EQ(list->GetItemCount(), 4);
        // Radius 2 about (5, 3) from the y axis towards z; a quarter of Fx each.
        const double y[4] = {7, 5, 3, 5}, z[4] = {3, 5, 3, 1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(list->GetItemText(i, 0), "Int");
            EXPECT_EQ(list->GetItemText(i, 1), std::to_string(i + 1));
            EXPECT_EQ(list->GetItemText(i, 2), F(1.5));
            EXPECT_EQ(list->GetItemText(i, 3), F(y[i])) << i;
            EXPECT_EQ(list->GetItemText(i, 4), F(z[i])) << i;
            EXPECT_EQ(list->GetItemText(i, 5), F(-25)) << i;
        }
        d.UserClick(D::ShowId(3));  // Fx
        EXPECT_EQ(ColumnTitles(d), (std::vector<std::string>{"Ring", "N", "X", "Y", "Z", "Fy", "Fz"}));
        EXPECT_EQ(list->GetItemText(0, 5), F(0));
        EXPECT_EQ(list->GetItemCount(), 4);
        d.UserClick(ui::IDCANCEL);
    });
}

TEST_F(EquivLoadDialogTest, ClickingARowShowsItsPointAndHighlightsIt) {
    Run([&](D& d) {
        d.UserClick(D::ShowId(4));  // Fy off
        d.UserSelectItem(D::IDC_LIST, 1);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_POINT_RING), "Int");
        EXPECT_EQ(d.GetDlgItemText(D::IDC_POINT_NUMBER), "2");
        EXPECT_EQ(d.GetDlgItemText(D::ValueId(1)), F(5));
        EXPECT_EQ(d.GetDlgItemText(D::ValueId(2)), F(5));
        EXPECT_EQ(d.GetDlgItemText(D::ValueId(3)), F(-25));
        EXPECT_EQ(d.GetDlgItemText(D::ValueId(4)), "");  // unchecked
        char expected[96];
        std::snprintf(expected, sizeof expected, "%18.8f  %18.8f  %18.8f  ", 1.5, 5.0, 5.0);
        EXPECT_EQ(view.highlight, std::make_pair(4, std::string(expected)));

        // A click below the rows empties the panel; the highlight stays.
        d.UserSelectItem(D::IDC_LIST, -1);
        for (int k = 0; k < 6; ++k) EXPECT_EQ(d.GetDlgItemText(D::ValueId(k)), "") << k;
        EXPECT_EQ(d.GetDlgItemText(D::IDC_POINT_NUMBER), "");
        EXPECT_EQ(view.highlight.second, expected);

        // The list taking the focus shows the selected row's point, or none.
        d.UserSelectItem(D::IDC_LIST, 3);
        d.UserFocus(D::IDC_FY);
        d.SetDlgItemText(D::IDC_POINT_NUMBER, "");
        d.UserFocus(D::IDC_LIST);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_POINT_NUMBER), "4");
        d.UserClick(ui::IDCANCEL);
    });
}

TEST_F(EquivLoadDialogTest, ApplyStoresAndCancelKeepsWhatWasApplied) {
    Run([&](D& d) {
        d.UserType(D::IDC_R1_POINTS, "6");
        // Not applied yet: the list and the model keep four points.
        d.UserClick(D::ShowId(0));
        EXPECT_EQ(d.Get<ui::ListView>(D::IDC_LIST)->GetItemCount(), 4);
        EXPECT_EQ(model.GetEquivLoadPointCount(), 4);
        EXPECT_FALSE(model.IsChanged());
        d.UserClick(D::IDC_APPLY);
        EXPECT_EQ(model.ring1Points, 6);
        EXPECT_EQ(model.GetEquivLoadPointCount(), 6);
        EXPECT_EQ(d.Get<ui::ListView>(D::IDC_LIST)->GetItemCount(), 6);
        EXPECT_EQ(view.rebuilds, 2);
        d.UserType(D::IDC_R1_POINTS, "8");
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(model.ring1Points, 6);
    EXPECT_EQ(model.GetEquivLoadPointCount(), 6);
    EXPECT_TRUE(doc.modifiedFlag);
}

TEST_F(EquivLoadDialogTest, OkStoresAndMarksTheDocumentOnlyWhenTheModelChanged) {
    EXPECT_EQ(Run([&](D& d) { d.UserClick(ui::IDOK); }), ui::IDOK);
    EXPECT_FALSE(doc.modifiedFlag);
    EXPECT_EQ(Run([&](D& d) {
                  d.UserClick(D::IDC_TWO_RINGS);
                  d.UserType(D::IDC_FY, "12");
                  d.UserClick(ui::IDOK);
              }),
              ui::IDOK);
    EXPECT_TRUE(doc.modifiedFlag);
    EXPECT_EQ(model.patternLoads[1], 12.0);
    EXPECT_EQ(model.twoRings, 1);
    EXPECT_EQ(model.GetEquivLoadPointCount(), 4 + 6);
}

TEST_F(EquivLoadDialogTest, BadFieldStopsApplyAndOkWithTheFocusOnIt) {
    const struct {
        const char* name;
        int field;
        const char* text;
        const char* prompt;
    } cases[] = {
        {"not a number", D::IDC_R1_RADIUS, "2.5.1", "Please enter a number."},
        {"too many points", D::IDC_R2_POINTS, "100001", "Please enter an integer between 0 and 100000."},
        {"negative count", D::IDC_R1_POINTS, "-1", "Please enter an integer between 0 and 100000."},
    };
    for (const auto& c : cases) {
        driver.ClearLogs();
        Run([&](D& d) {
            d.UserClick(D::IDC_TWO_RINGS);
            d.UserType(D::IDC_FZ, "9");  // read before the bad field
            ASSERT_TRUE(d.UserType(c.field, c.text));
            for (int button : {static_cast<int>(D::IDC_APPLY), ui::IDOK}) {
                d.UserClick(button);
                EXPECT_FALSE(d.IsEnded()) << c.name;
                EXPECT_EQ(d.GetFocus(), d.GetDlgItem(c.field)) << c.name;
            }
            EXPECT_EQ(model.patternLoads[2], 0.0) << c.name;
            EXPECT_FALSE(model.IsChanged()) << c.name;
            // Mended, the values typed before the bad field are read again.
            d.UserType(c.field, "3");
            d.UserClick(D::IDC_APPLY);
            EXPECT_EQ(model.patternLoads[2], 9.0) << c.name;
            d.UserClick(ui::IDCANCEL);
        });
        ASSERT_EQ(driver.MessageBoxes().size(), 2u) << c.name;
        EXPECT_EQ(driver.MessageBoxes()[0].text, c.prompt) << c.name;
        model.SetEquivLoadParameters(-100, 0, 0, 7, 0, 0, 1.5, 5, 3, 0, 2, 4, 0, 3, 6, 15);
        model.ClearChanged();
    }
}

TEST_F(EquivLoadDialogTest, PatternWithoutPointsLeavesTheListEmpty) {
    Run([&](D& d) {
        d.UserType(D::IDC_R1_POINTS, "0");
        d.UserClick(D::IDC_APPLY);
        EXPECT_EQ(d.Get<ui::ListView>(D::IDC_LIST)->GetItemCount(), 0);
        EXPECT_EQ(model.GetEquivLoadPointCount(), 0);
        d.UserClick(D::ShowId(5));
        EXPECT_EQ(d.Get<ui::ListView>(D::IDC_LIST)->GetItemCount(), 0);
        d.UserClick(ui::IDCANCEL);
    });
}

}  // namespace
