// The foundation template dialog, headless: its defaults for both kinds, the
// typical size that follows the divisions, the element and integration
// radios, the checks of OK, the shear-force notice, what OK stores and the
// sketch that suits the desktop.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "meshtools/ui/DlgTemplateOctagon.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

namespace {

using D = DlgTemplateOctagon;

int FocusId(const ui::Dialog& d) { return d.GetFocus() ? d.GetFocus()->GetDlgCtrlID() : 0; }

class TemplateDialogTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        model.Reset();
    }
    int Run(int kind, std::function<void(ui::Dialog&)> script) {
        D dialog(&model, kind);
        driver.ExpectModal(std::move(script), D::kTemplateId);
        return dialog.DoModal();
    }
    std::string LastBox() const {
        return driver.MessageBoxes().empty() ? std::string() : driver.MessageBoxes().back().text;
    }
    ModelData model;
};

TEST_F(TemplateDialogTest, OpensWithTheDefaultsOfEachKind) {
    struct Case {
        int kind;
        const char* title;
        const char* labels[4];
        const char* dims[3];
        const char* size;
        const char* divisions;
    } cases[] = {
        {1,
         "Template of Octagon Wind Turbine Foundation",
         {"L1", "L2", "D", "Division of L1"},
         {"21.0", "17.0", "14.0"},
         "1.75",
         "12"},
        {2,
         "Template of Circular Wind Turbine Foundation",
         {"R1", "R2", "R3", "Division of 2*Pi*R3"},
         {"3.5", "5.0", "14.0"},
         "1.10",
         "40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Run(c.kind, [&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), c.title);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM1_LABEL), c.labels[0]);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM2_LABEL), c.labels[1]);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM3_LABEL), c.labels[2]);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIVISIONS_LABEL), c.labels[3]);
            for (int k = 0; k < 3; ++k) EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM1 + 2 * k), c.dims[k]);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_ANGLE), "0");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_D1), "1.5");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_D2), "5.0");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_D3), "3.5");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_P), "600.0");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_V), "0.0");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_M), "50000.0");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), c.size);
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIVISIONS), c.divisions);
            EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_QUADRATIC8), 1);
            EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE2), 1);
            EXPECT_FALSE(d.GetDlgItem(D::IDC_RULE1)->IsWindowEnabled());
            EXPECT_FALSE(d.Get<ui::Picture>(D::IDC_SKETCH)->GetImage().Empty());
            d.UserClick(ui::IDCANCEL);
        });
    }
    EXPECT_EQ(model.GetTemplateKind(), 0);
}

TEST_F(TemplateDialogTest, TypicalSizeFollowsOnLeavingAFieldAndOnEnter) {
    Run(1, [](ui::Dialog& d) {
        d.UserType(D::IDC_DIVISIONS, "24");
        d.UserFocus(D::IDC_ANGLE);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "0.88");
        d.UserType(D::IDC_DIM1, "42.0");
        d.UserFocus(D::IDC_DIM2);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "1.75");
        d.UserType(D::IDC_DIVISIONS, "12");
        d.UserKey(ui::key::Enter);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "3.50");
        EXPECT_FALSE(static_cast<D&>(d).IsEnded());
        d.UserClick(ui::IDCANCEL);
    });
    Run(2, [](ui::Dialog& d) {
        // pi R3 / divisions, although the label reads 2*Pi*R3.
        d.UserType(D::IDC_DIM3, "28.0");
        d.UserFocus(D::IDC_D1);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "2.20");
        // L1's field is R1 here: leaving it changes nothing.
        d.UserType(D::IDC_DIM1, "1.0");
        d.UserType(D::IDC_SIZE, "0.7");
        d.UserFocus(D::IDC_DIM1);
        d.UserFocus(D::IDC_DIM2);
        EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "0.7");
        d.UserClick(ui::IDCANCEL);
    });
}

TEST_F(TemplateDialogTest, ElementTypeChoosesAndLimitsTheIntegrationRule) {
    Run(1, [](ui::Dialog& d) {
        d.UserClick(D::IDC_QUADRATIC9);
        EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE3), 1);
        EXPECT_FALSE(d.GetDlgItem(D::IDC_RULE1)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(D::IDC_RULE2)->IsWindowEnabled());
        d.UserClick(D::IDC_LINEAR4);
        EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE2), 1);
        EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE3), 0);
        EXPECT_FALSE(d.GetDlgItem(D::IDC_RULE3)->IsWindowEnabled());
        EXPECT_TRUE(d.UserClick(D::IDC_RULE1));
        EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE1), 1);
        EXPECT_EQ(d.IsDlgButtonChecked(D::IDC_RULE2), 0);
        d.UserClick(ui::IDOK);
    });
    const ElementTable* elements = model.GetElementTable();
    ASSERT_NE(elements, nullptr);
    EXPECT_EQ(elements->GetNodesPerElement(), 4);
    EXPECT_EQ(elements->GetIntegrationOrder2(), 1);
}

TEST_F(TemplateDialogTest, ChecksOfOkReportTheLastFailureAndFocusItsField) {
    struct Case {
        const char* name;
        int kind;
        std::vector<std::pair<int, std::string>> typed;
        const char* message;  // "" passes
        int focus;            // 0: no focus check
    } cases[] = {
        {"R1 = R2", 2, {{D::IDC_DIM1, "5.0"}}, "Dimension R1 can not be larger than dimension R2", 0},
        {"R2 = R3", 2, {{D::IDC_DIM2, "14.0"}}, "Dimension R2 can not be larger than dimension R3", 0},
        {"D = L1", 1, {{D::IDC_DIM3, "21.0"}}, "Dimension D can not be larger than dimension L1", 0},
        {"D1 = 0", 1, {{D::IDC_D1, "0"}}, "Invalid dimension input", D::IDC_D1},
        {"D2 = D3 = 0", 1, {{D::IDC_D2, "0"}, {D::IDC_D3, "0"}}, "", 0},
        {"L2 not a number", 1, {{D::IDC_DIM2, "1e3"}}, "Invalid dimension input", D::IDC_DIM2},
        {"D3 not a number", 2, {{D::IDC_D3, "abc"}}, "Invalid dimension input", D::IDC_D3},
        {"size 0", 1, {{D::IDC_SIZE, "0"}}, "Invalid dimension input", D::IDC_SIZE},
        {"size not a number", 2, {{D::IDC_SIZE, "x"}}, "Invalid dimension input", D::IDC_SIZE},
        {"bad D and divisions",
         1,
         {{D::IDC_DIM3, "-1"}, {D::IDC_DIVISIONS, "0"}},
         "Invalid division input",
         D::IDC_DIVISIONS},
        {"divisions not a number", 2, {{D::IDC_DIVISIONS, "4.5"}}, "Invalid division input", D::IDC_DIVISIONS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driver.ClearLogs();
        const int result = Run(c.kind, [&](ui::Dialog& d) {
            for (const auto& [id, text] : c.typed) d.UserType(id, text);
            d.UserClick(ui::IDOK);
            if (*c.message) {
                EXPECT_FALSE(static_cast<D&>(d).IsEnded());
                if (c.focus) {
                    EXPECT_EQ(FocusId(d), c.focus);
                }
                d.UserClick(ui::IDCANCEL);
            }
        });
        EXPECT_EQ(result, *c.message ? ui::IDCANCEL : ui::IDOK);
        EXPECT_EQ(LastBox(), c.message);
        EXPECT_EQ(driver.MessageBoxes().size(), *c.message ? 1u : 0u);
    }
}

TEST_F(TemplateDialogTest, ShearForceBringsTheNoticeAndGoesOn) {
    EXPECT_EQ(Run(2,
                  [](ui::Dialog& d) {
                      d.UserType(D::IDC_V, "100");
                      d.UserClick(ui::IDOK);
                  }),
              ui::IDOK);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "Shear force V is not zero. Please define appropriate nodal constraints to remove rigid body motion. ");
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Information);
    int kind, element, rule;
    double r1, r2, r3, angle, D1, D2, D3, P, V, M, size;
    model.GetTemplateParameters(kind, element, rule, r1, r2, r3, angle, D1, D2, D3, P, V, M, size);
    EXPECT_EQ(V, 100.0);
}

TEST_F(TemplateDialogTest, OkStoresTheValuesTheFieldsShow) {
    Run(2, [](ui::Dialog& d) {
        d.UserType(D::IDC_DIM1, "4.0");
        d.UserType(D::IDC_DIM2, "6.5");
        d.UserType(D::IDC_DIM3, "15.0");
        d.UserType(D::IDC_ANGLE, "30");
        d.UserType(D::IDC_D1, "1.25");
        d.UserType(D::IDC_P, "700");
        d.UserType(D::IDC_M, "-2e4");
        d.UserType(D::IDC_DIVISIONS, "50");
        d.UserClick(D::IDC_QUADRATIC9);
        d.UserClick(ui::IDOK);
    });
    int kind, element, rule;
    double r1, r2, r3, angle, D1, D2, D3, P, V, M, size;
    model.GetTemplateParameters(kind, element, rule, r1, r2, r3, angle, D1, D2, D3, P, V, M, size);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(element, 2);
    EXPECT_EQ(rule, 2);
    EXPECT_EQ(r1, 4.0);
    EXPECT_EQ(r2, 6.5);
    EXPECT_EQ(r3, 15.0);
    EXPECT_EQ(angle, 30.0);
    EXPECT_EQ(D1, 1.25);
    EXPECT_EQ(D2, 5.0);
    EXPECT_EQ(D3, 3.5);
    EXPECT_EQ(P, 700.0);
    EXPECT_EQ(V, 0.0);
    EXPECT_EQ(M, -2e4);
    // The size shown after leaving the divisions: pi * 15 / 50 = 0.94.
    EXPECT_EQ(size, 0.94);
    EXPECT_EQ(model.GetElementTable()->GetNodesPerElement(), 9);
    EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder2(), 3);
}

TEST_F(TemplateDialogTest, LoadThatIsNotANumberIsRefusedByTheExchange) {
    Run(1, [](ui::Dialog& d) {
        d.UserType(D::IDC_P, "much");
        d.UserClick(ui::IDOK);
        EXPECT_FALSE(static_cast<D&>(d).IsEnded());
        EXPECT_EQ(FocusId(d), D::IDC_P);
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(LastBox(), "Please enter a number.");
    EXPECT_EQ(model.GetTemplateKind(), 0);
}

TEST_F(TemplateDialogTest, LargeDesktopShowsTheLargeSketch) {
    const ui::Image small = ui::LoadImage(ui::ProgramFolder() + "images/" + D::SketchFileName(1, false));
    const ui::Image large = ui::LoadImage(ui::ProgramFolder() + "images/" + D::SketchFileName(1, true));
    ASSERT_FALSE(small.Empty());
    ASSERT_GT(large.width, small.width);
    struct Case {
        ui::Rect desktop;
        int width;
    } cases[] = {
        {{0, 0, 2560, 1440}, small.width}, {{0, 0, 2561, 1440}, large.width}, {{0, 0, 1440, 2561}, large.width}};
    for (const Case& c : cases) {
        driver.SetDesktop(c.desktop);
        Run(1, [&](ui::Dialog& d) {
            EXPECT_EQ(d.Get<ui::Picture>(D::IDC_SKETCH)->GetImage().width, c.width);
            d.UserClick(ui::IDCANCEL);
        });
    }
}

}  // namespace
