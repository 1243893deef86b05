// "Deformed Shape", "Font and Color" and "Rotation Menu" through a view that
// keeps their settings.

#include <gtest/gtest.h>

#include <cstdlib>

#include "ResultDialogTestSupport.h"
#include "VizTestSupport.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgDefFactor.h"
#include "viz/ui/DlgFontColor.h"
#include "viz/ui/DlgRotation.h"

namespace {

class ViewSettingsTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        view.model = &model;
    }
    ModelData model;
    viztest::FakeView view;
};

using F = DlgDefFactor;

TEST_F(ViewSettingsTest, FactorSpinStepsTheLeadingDigit) {
    const struct {
        double start;
        bool up;
        double expected;
    } cases[] = {{0.0, true, 1.0},   {0.0, false, 1.0}, {-3.0, true, 1.0},  {9.0, true, 10.0},
                 {10.0, true, 20.0}, {1.0, false, 0.9}, {0.1, false, 0.09}, {20.0, false, 10.0}};
    for (const auto& c : cases)
        EXPECT_NEAR(F::StepFactor(c.start, c.up ? -1 : 1), c.expected, 1e-12) << c.start << (c.up ? " up" : " down");
}

TEST_F(ViewSettingsTest, FactorSpinFromPointThreeShowsItAgainThenPointFour) {
    view.deformed = 1;
    F dlg(view);
    ASSERT_TRUE(dlg.Create());
    dlg.UserType(F::IDC_FACTOR, "0.3");
    dlg.UserSpin(F::IDC_FACTOR_SPIN, true);
    EXPECT_EQ(dlg.GetDlgItemText(F::IDC_FACTOR), "0.3");
    dlg.UserSpin(F::IDC_FACTOR_SPIN, true);
    EXPECT_EQ(dlg.GetDlgItemText(F::IDC_FACTOR), "0.4");
}

TEST_F(ViewSettingsTest, ApplyMakesTheTypedFactorTheModels) {
    const struct {
        double modelFactor;
        int redraw;
    } cases[] = {{0.0, 0}, {2.0, 1}};
    for (const auto& c : cases) {
        model.deformationFactor = c.modelFactor;
        model.redrawFlag = c.redraw;  // a model shown in the view
        view.deformed = 1;
        F dlg(view);
        ASSERT_TRUE(dlg.Create());
        dlg.UserType(F::IDC_FACTOR, "6");
        EXPECT_TRUE(dlg.GetDlgItem(F::IDC_APPLY)->IsWindowEnabled());
        dlg.UserClick(F::IDC_APPLY);
        EXPECT_DOUBLE_EQ(model.GetDeformationFactor(), 6.0) << c.modelFactor;
        EXPECT_FALSE(dlg.GetDlgItem(F::IDC_APPLY)->IsWindowEnabled());
        EXPECT_EQ(dlg.GetDlgItemText(ui::IDCANCEL), "Close");
    }
}

TEST_F(ViewSettingsTest, FactorFieldRefusesTextOutsideItsRange) {
    view.deformed = 1;
    F dlg(view);
    ASSERT_TRUE(dlg.Create());
    dlg.UserType(F::IDC_FACTOR, "-1");
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_NE(driver.MessageBoxes()[0].text.find("Please enter a number"), std::string::npos);
    dlg.UserClick(ui::IDOK);
    EXPECT_TRUE(dlg.IsShown());
    EXPECT_DOUBLE_EQ(model.GetDeformationFactor(), 1.0);
}

TEST_F(ViewSettingsTest, ClearingShowDeformedDisablesTheFactor) {
    view.deformed = 1;
    view.undeformed = 1;
    F dlg(view);
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(dlg.GetDlgItem(F::IDC_APPLY)->IsWindowEnabled());
    dlg.UserClick(F::IDC_SHOW_DEFORMED);
    for (int id : {F::IDC_SHOW_UNDEFORMED, F::IDC_FACTOR, F::IDC_FACTOR_SPIN})
        EXPECT_FALSE(dlg.GetDlgItem(id)->IsWindowEnabled()) << id;
    EXPECT_TRUE(dlg.GetDlgItem(F::IDC_APPLY)->IsWindowEnabled());
    EXPECT_EQ(dlg.GetDlgItemText(ui::IDCANCEL), "Cancel");
    dlg.UserClick(ui::IDOK);
    EXPECT_EQ(view.deformed, 0);
    EXPECT_EQ(view.undeformed, 1);
    EXPECT_FALSE(dlg.IsShown());
}

using C = DlgFontColor;

TEST_F(ViewSettingsTest, FontChoicesGoIntoTheViewAndColoursIntoTheModel) {
    C dlg(view);
    ASSERT_TRUE(dlg.Create());
    auto* faces = dlg.Get<ui::ComboBox>(C::IDC_FACE);
    EXPECT_EQ(faces->Items(),
              (std::vector<std::string>{"Arial", "Consolas", "Georgia", "Tahoma", "Times New Roman", "Tunga"}));
    // Opening applies bold at once.
    EXPECT_EQ(view.font.weight, 700);
    EXPECT_EQ(view.calls.front(), "RebuildFont");

    dlg.UserSelect(C::IDC_FACE, faces->FindStringExact("Tahoma"));
    EXPECT_EQ(view.font.face, "Tahoma");
    auto* sizes = dlg.Get<ui::ComboBox>(C::IDC_SIZE);
    const struct {
        const char* size;
        int offset;
    } offsets[] = {{"18", 30}, {"12", 0}, {"16", 20}, {"20", 50}, {"6", 0}};
    for (const auto& o : offsets) {
        dlg.UserSelect(C::IDC_SIZE, sizes->FindStringExact(o.size));
        EXPECT_EQ(view.font.size, std::atoi(o.size));
        EXPECT_EQ(view.font.legendOffset, o.offset) << o.size;
    }
    dlg.UserPickColor(C::IDC_BACKGROUND, ui::Rgb(255, 0, 0));
    EXPECT_EQ(view.background, ui::Rgb(255, 0, 0));
    EXPECT_EQ(model.foregroundColor, ui::Rgb(0, 255, 255));
    dlg.UserPickColor(C::IDC_NODE_COLOR, ui::Rgb(1, 2, 3));
    dlg.UserPickColor(C::IDC_ELEMENT_COLOR, ui::Rgb(4, 5, 6));
    EXPECT_EQ(model.nodeNumberColor, ui::Rgb(1, 2, 3));
    EXPECT_EQ(model.elementNumberColor, ui::Rgb(4, 5, 6));
    dlg.UserClick(C::IDC_BOLD);
    EXPECT_EQ(view.font.weight, 700);  // read at Apply
    dlg.UserClick(C::IDC_APPLY);
    EXPECT_EQ(view.font.weight, 400);

    dlg.UserClick(C::IDC_USE_DEFAULT);
    EXPECT_EQ(view.font.face, "Arial");
    EXPECT_EQ(view.font.size, 14);
    EXPECT_EQ(view.font.weight, 400);
    EXPECT_EQ(view.font.legendOffset, 0);
    EXPECT_EQ(model.nodeNumberColor, ui::Rgb(0, 0, 0));
    EXPECT_EQ(model.elementNumberColor, ui::Rgb(255, 255, 255));
    EXPECT_EQ(view.background, ui::Rgb(255, 255, 255));
    EXPECT_EQ(model.foregroundColor, ui::Rgb(0, 0, 0));
    EXPECT_EQ(dlg.GetDlgItemText(C::IDC_FACE), "Arial");
    EXPECT_EQ(dlg.GetDlgItemText(C::IDC_SIZE), "14");
    EXPECT_EQ(dlg.Get<ui::ColorButton>(C::IDC_BACKGROUND)->GetColor(), ui::Rgb(255, 255, 255));
}

using Rot = DlgRotation;

TEST_F(ViewSettingsTest, RotationShowsYAndZNegatedAndWritesThemBack) {
    view.rotationX = 10.0f;
    view.rotationY = 30.0f;
    view.rotationZ = -5.0f;
    Rot dlg(view);
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(Rot::IDC_X), "10");
        EXPECT_EQ(d.GetDlgItemText(Rot::IDC_Y), "-30");
        EXPECT_EQ(d.GetDlgItemText(Rot::IDC_Z), "5");
        d.UserClick(Rot::IDC_APPLY);
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_FLOAT_EQ(view.rotationY, 30.0f);
    EXPECT_FLOAT_EQ(view.rotationZ, -5.0f);
    EXPECT_EQ(view.rebuildScene, 0);
}

TEST_F(ViewSettingsTest, RotationOfZeroShowsNoMinusSign) {
    Rot dlg(view);
    driver.ExpectModal([](ui::Dialog& d) {
        for (int id : {Rot::IDC_X, Rot::IDC_Y, Rot::IDC_Z}) EXPECT_EQ(d.GetDlgItemText(id), "0");
        d.UserClick(ui::IDCANCEL);
    });
    dlg.DoModal();
}

TEST_F(ViewSettingsTest, AngleSpinStepsWholeDegreesWithinATurn) {
    const struct {
        float start;
        int delta;
        float expected;
    } cases[] = {{359.6f, 1, 0.0f},  {359.4f, 1, 360.0f},    {-2.3f, 1, 0.0f},
                 {-2.3f, -1, -2.0f}, {-360.0f, -1, -360.0f}, {-360.6f, -1, 0.0f},
                 {5.0f, -1, 4.0f},   {3.0e9f, 1, 0.0f},      {-1.0e30f, -1, 0.0f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(Rot::StepAngle(c.start, c.delta), c.expected) << c.start;

    Rot dlg(view);
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserType(Rot::IDC_X, "359.6");
        d.UserSpin(Rot::IDC_X_SPIN, false);  // the down arrow's positive change
        EXPECT_EQ(d.GetDlgItemText(Rot::IDC_X), "0");
        d.UserType(Rot::IDC_Y, "12");
        d.UserSpin(Rot::IDC_Y_SPIN, true);
        EXPECT_EQ(d.GetDlgItemText(Rot::IDC_Y), "11");
        d.UserClick(ui::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_FLOAT_EQ(view.rotationY, -11.0f);
}

}  // namespace
