// Soil stiffness, time stepping and title dialogs through their openers, and
// the openers of the grids: what reaches the model and when the document is
// marked modified.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgMaterialProps.h"
#include "dialogs/DlgNodeData.h"
#include "dialogs/DlgSoilStiffness.h"
#include "dialogs/DlgTimeStepping.h"
#include "dialogs/DlgTitle.h"
#include "dialogs/InputDialogOpeners.h"

namespace {

using dialogtest::DialogFixture;
using S = DlgSoilStiffness;
using T = DlgTimeStepping;

class SettingsTest : public DialogFixture {};

TEST_F(SettingsTest, SoilModelTakesTheFieldsOfTheChosenApproach) {
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Soil Stiffness ");
        // Selector 0: the Mindlin fields shown but disabled, Vlasov hidden.
        EXPECT_TRUE(d.GetDlgItem(S::IDC_MINDLIN_E)->IsShown());
        EXPECT_FALSE(d.GetDlgItem(S::IDC_MINDLIN_E)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(S::IDC_VLASOV_GROUP)->IsShown());
        d.UserClick(S::IDC_VLASOV);
        EXPECT_FALSE(d.GetDlgItem(S::IDC_MINDLIN_GROUP)->IsShown());
        EXPECT_FALSE(d.GetDlgItem(S::IDC_MINDLIN_E)->IsShown());
        EXPECT_TRUE(d.GetDlgItem(S::IDC_GAMMA)->IsWindowEnabled());
        EXPECT_EQ(d.GetDlgItemText(S::IDC_MINDLIN_E), "1000");
        d.UserType(S::IDC_TOP_E, "2000");
        d.UserType(S::IDC_VLASOV_NU, "0.25");
        d.UserClick(ui::IDOK);
    });
    inputdialogs::RunSoilStiffnessDialog(doc);
    EXPECT_EQ(model.GetSoilModel(), 2);
    EXPECT_EQ(model.GetSoilValue(0), 2000.0);
    EXPECT_EQ(model.GetSoilValue(2), 0.25);
    EXPECT_TRUE(doc.modifiedFlag);

    // Mindlin: its own E, and the hidden Vlasov depth and gamma as shown.
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(S::IDC_MINDLIN_E), "2000");
        d.UserType(S::IDC_DEPTH, "12");
        d.UserType(S::IDC_GAMMA, "2.5");
        d.UserClick(S::IDC_MINDLIN);
        EXPECT_TRUE(d.GetDlgItem(S::IDC_MINDLIN_E)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(S::IDC_DEPTH)->IsShown());
        d.UserType(S::IDC_MINDLIN_E, "1000");
        d.UserClick(ui::IDOK);
    });
    inputdialogs::RunSoilStiffnessDialog(doc);
    EXPECT_EQ(model.GetSoilModel(), 1);
    EXPECT_EQ(model.GetSoilValue(0), 1000.0);
    EXPECT_EQ(model.GetSoilValue(4), 12.0);
    EXPECT_EQ(model.GetSoilValue(5), 2.5);
}

TEST_F(SettingsTest, UnchangedSettingsLeaveTheDocumentUnmodified) {
    // The Vlasov values differ from the Mindlin ones: the model ends as it was.
    model.SetSoilModel(2);
    model.SetSoilValue(0, 2000.0);
    model.ClearChanged();
    const auto okAsShown = [](ui::Dialog& d) { d.UserClick(ui::IDOK); };
    driver.ExpectModal(okAsShown);
    inputdialogs::RunSoilStiffnessDialog(doc);
    driver.ExpectModal(okAsShown);
    inputdialogs::RunTimeSteppingDialog(doc, view);
    driver.ExpectModal(okAsShown);
    DlgTitle(&doc).DoModal();
    EXPECT_FALSE(model.IsChanged());
    EXPECT_FALSE(doc.modifiedFlag);
    EXPECT_EQ(model.GetSoilValue(0), 2000.0);

    // Cancel writes nothing.
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserType(T::IDC_FINAL_TIME, "9");
        d.UserClick(ui::IDCANCEL);
    });
    inputdialogs::RunTimeSteppingDialog(doc, view);
    EXPECT_EQ(model.finalTime, 1.0);
    EXPECT_FALSE(doc.modifiedFlag);
}

// Apply stores what the fields hold and marks the document, and the dialog
// stays open: a Cancel or the close box after it keeps what was applied. A
// field that does not read stores nothing.
TEST_F(SettingsTest, ApplyStoresIntoTheModelAndMarksTheDocument) {
    driver.ExpectModal([this](ui::Dialog& d) {
        d.UserClick(S::IDC_MINDLIN);
        d.UserType(S::IDC_MINDLIN_E, "25000");
        d.UserType(S::IDC_MINDLIN_NU, "abc");
        d.UserClick(S::IDC_APPLY);
        EXPECT_EQ(model.GetSoilModel(), 0);
        EXPECT_FALSE(doc.modifiedFlag);
        d.UserType(S::IDC_MINDLIN_NU, "0.35");
        d.UserType(S::IDC_STIFFNESS, "800");
        d.UserClick(S::IDC_APPLY);
        EXPECT_FALSE(d.IsEnded());
        EXPECT_TRUE(doc.modifiedFlag);
        d.UserClose();
    });
    inputdialogs::RunSoilStiffnessDialog(doc);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);  // the unreadable field's
    EXPECT_EQ(model.GetSoilModel(), 1);
    EXPECT_EQ(model.GetSoilValue(0), 25000.0);
    EXPECT_EQ(model.GetSoilValue(2), 0.35);
    EXPECT_EQ(model.GetSoilValue(3), 800.0);

    doc.modifiedFlag = false;
    model.ClearChanged();
    const int repaints = view.repaints;
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserType(T::IDC_FINAL_TIME, "2");
        d.UserClick(T::IDC_APPLY);
        d.UserType(T::IDC_FINAL_TIME, "3");
        d.UserClick(ui::IDCANCEL);
    });
    inputdialogs::RunTimeSteppingDialog(doc, view);
    EXPECT_EQ(model.finalTime, 2.0);
    EXPECT_TRUE(doc.modifiedFlag);
    EXPECT_GT(view.repaints, repaints);
}

TEST_F(SettingsTest, TimeSteppingAndItsSpin) {
    struct Case {
        const char* start;
        bool up;
        const char* want;
    };
    const Case cases[] = {
        {"1", false, "1"}, {"50", true, "51"}, {"50", false, "49"}, {"-4", true, "1"}, {"0", false, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        T d;
        ASSERT_TRUE(d.Create());
        d.ShowWindow(true);
        d.SetDlgItemText(T::IDC_ITERATIONS, c.start);
        d.UserSpin(T::IDC_SPIN, c.up);
        EXPECT_EQ(d.GetDlgItemText(T::IDC_ITERATIONS), c.want);
    }
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Time Stepping");
        EXPECT_EQ(d.GetDlgItemText(T::IDC_ITERATIONS), "50");
        d.UserSpin(T::IDC_SPIN, true);
        d.UserType(T::IDC_INITIAL_INCREMENT, "0.5");
        d.UserType(T::IDC_MIN_INCREMENT, "0.1");
        d.UserType(T::IDC_INITIAL_TIME, "0.25");
        d.UserType(T::IDC_FINAL_TIME, "4");
        d.UserType(T::IDC_TOLERANCE, "1e-5");
        d.UserClick(ui::IDOK);
    });
    inputdialogs::RunTimeSteppingDialog(doc, view);
    EXPECT_EQ(model.iterationsPerStep, 51);
    EXPECT_EQ(model.initialIncrement, 0.5);
    EXPECT_EQ(model.minIncrement, 0.1);
    EXPECT_EQ(model.initialTime, 0.25);
    EXPECT_EQ(model.finalTime, 4.0);
    EXPECT_EQ(model.errorTolerance, 1e-5);
    EXPECT_TRUE(doc.modifiedFlag);
    EXPECT_EQ(view.repaints, 1);
}

// A stepping of more increments than a run may take is refused with the
// count and the limit; the dialog stays open and the model keeps its values.
TEST_F(SettingsTest, TimeSteppingBeyondTheIncrementLimitIsRefused) {
    driver.ExpectModal([this](ui::Dialog& d) {
        d.UserType(T::IDC_INITIAL_INCREMENT, "1");
        d.UserType(T::IDC_INITIAL_TIME, "0");
        d.UserType(T::IDC_FINAL_TIME, "1e9");
        d.UserClick(ui::IDOK);
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text,
                  "The time stepping takes 1000000000 increments; at most 10000 are allowed.");
        EXPECT_FALSE(d.IsEnded());
        d.UserType(T::IDC_FINAL_TIME, "10000");
        d.UserClick(ui::IDOK);
    });
    inputdialogs::RunTimeSteppingDialog(doc, view);
    EXPECT_EQ(model.finalTime, 10000.0);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
}

// A stepping that makes no step (the increment above the final time, the
// final time below the increment, the start after the end) is refused with
// the three values; the dialog stays open and the model keeps its values.
TEST_F(SettingsTest, TimeSteppingThatMakesNoStepIsRefused) {
    struct Case {
        const char* increment;
        const char* start;
        const char* end;
        const char* text;
    };
    const Case cases[] = {
        {"2", "0", "1",
         "The time stepping makes no step: the initial analysis time 0 plus the initial time increment 2 lies beyond "
         "the final analysis time 1."},
        {"1", "0", "0.001",
         "The time stepping makes no step: the initial analysis time 0 plus the initial time increment 1 lies beyond "
         "the final analysis time 0.001."},
        {"1", "5", "1",
         "The time stepping makes no step: the initial analysis time 5 plus the initial time increment 1 lies beyond "
         "the final analysis time 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        driver.ClearLogs();
        driver.ExpectModal([&](ui::Dialog& d) {
            d.UserType(T::IDC_INITIAL_INCREMENT, c.increment);
            d.UserType(T::IDC_INITIAL_TIME, c.start);
            d.UserType(T::IDC_FINAL_TIME, c.end);
            d.UserClick(ui::IDOK);
            ASSERT_EQ(driver.MessageBoxes().size(), 1u);
            EXPECT_EQ(driver.MessageBoxes()[0].text, c.text);
            EXPECT_FALSE(d.IsEnded());
            d.UserClick(ui::IDCANCEL);
        });
        inputdialogs::RunTimeSteppingDialog(doc, view);
        EXPECT_EQ(model.initialIncrement, 1.0);
        EXPECT_EQ(model.initialTime, 0.0);
        EXPECT_EQ(model.finalTime, 1.0);
    }
}

TEST_F(SettingsTest, MaterialGridIsCreatedOnceAndReloaded) {
    std::unique_ptr<DlgMaterialDataNew> slot;
    inputdialogs::ShowMaterialDataDialog(slot, doc, view);
    ASSERT_TRUE(slot);
    DlgMaterialDataNew* first = slot.get();
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_EQ(view.pickTarget, 2);
    EXPECT_EQ(doc.pickMode, 3);
    const ui::Rect placed = first->GetWindowRect();
    first->UserClick(DlgMaterialDataNew::IDC_ADD_MATERIAL);
    first->UserClick(ui::IDCANCEL);
    EXPECT_FALSE(first->IsWindowVisible());
    inputdialogs::ShowMaterialDataDialog(slot, doc, view);
    EXPECT_EQ(slot.get(), first);
    EXPECT_EQ(first->GetWindowRect(), placed);
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_EQ(first->GetDlgItemText(GridPage::kCountLabelId), "1");
    slot->DestroyWindow();
}

TEST_F(SettingsTest, NewMaterialRefusesATakenName) {
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_NAME), "NUEVO_MAT");
            EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_YOUNG), "2000");
            EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_POISSON), "0.3");
            EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_THICKNESS), "1");
            d.UserType(DlgMaterialProps::IDC_NAME, "1");
            d.UserType(DlgMaterialProps::IDC_THICKNESS, "0.4");
            d.UserClick(ui::IDOK);
        },
        DlgMaterialProps::kTemplateId);
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_NAME), "1");
        EXPECT_EQ(d.GetDlgItemText(DlgMaterialProps::IDC_THICKNESS), "0.4");
        d.UserType(DlgMaterialProps::IDC_NAME, "MID");
        d.UserClick(ui::IDOK);
    });
    EXPECT_TRUE(inputdialogs::RunNewMaterialDialog(doc));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Element Set already defined"});
    const MaterialTable& t = *model.GetMaterialTable();
    ASSERT_EQ(t.GetCount(), 2);
    EXPECT_EQ(t.GetMaterialRowTextAt(1), "MID");
    EXPECT_EQ(t.GetMaterialThickness(1), 0.4);
    EXPECT_EQ(t.GetMaterialE(1), 2000.0);
    EXPECT_EQ(t.GetMaterialEs(1), 2000.0);
    EXPECT_TRUE(doc.modifiedFlag);
}

}  // namespace
