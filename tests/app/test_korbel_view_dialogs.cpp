// The view's result and view-settings dialogs on the program's view: what
// they set shows in the painted picture.

#include <gtest/gtest.h>

#include <string>

#include "../viz/ResultDialogTestSupport.h"
#include "app/KorbelView.h"
#include "model/Interpolation.h"
#include "model/ModelData.h"
#include "platform/gl/Printing.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/Scene.h"
#include "viz/ui/DlgContourLimits.h"
#include "viz/ui/DlgFontColor.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"
#include "viz/ui/DlgRotation.h"
#include "viz/ui/DlgSelectStep.h"

using brennix::gl::DibImage;

namespace {

class ResultsDoc : public ui::Document, public DocHost {
public:
    ModelData model;
    ModelData* GetModelData() const override { return const_cast<ModelData*>(&model); }
    bool HasResults() const override { return model.HasResults(); }
};

struct Rgb {
    int r, g, b;
};

Rgb Pixel(const DibImage& image, int x, int yFromTop) {
    unsigned char px[3];
    image.PixelAt(x, yFromTop, px);
    return {px[0], px[1], px[2]};
}

class KorbelViewDialogsTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        const std::string path = std::string(BRENNIX_TEST_DATA) + "/viz/slab_2x2_q4.slb";
        ASSERT_EQ(doc.model.ReadModelFile(path, true), 0);
        viztest::AddResultSteps(doc.model, 12, [](int c, int r, int s) { return c * 10.0 + r * s; });
        view.SetDocument(&doc);
        ASSERT_EQ(view.OnCreate(), 0);
        view.OnSize(400, 400);
        ASSERT_TRUE(view.HasContext());
    }

    DibImage Paint() {
        ui::RecordingPainter painter({view.Width(), view.Height()});
        view.OnDraw(painter);
        return view.Picture();
    }

    // The open dialog of the type, or null.
    template <class Dlg>
    Dlg* Find() const {
        for (ui::Window* w : driver.LiveWindows())
            if (auto* d = dynamic_cast<Dlg*>(w)) return d;
        return nullptr;
    }

    ResultsDoc doc;
    CKorbelView view;
};

TEST_F(KorbelViewDialogsTest, ContourApplyShowsTheLegendInRampColours) {
    view.OnResultsContourPlot();
    auto* dlg = Find<DlgContourLimits>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->IsShown());
    dlg->UserClick(DlgContourLimits::IDC_SHOW_CONTOUR);
    dlg->UserClick(ui::IDOK);
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_EQ(view.display.contourColumn, 1);

    const DibImage image = Paint();
    brennix::gl::WriteBitmapFile("view_contour_legend.bmp",
                                 brennix::gl::MakeBitmapInfo(image.width, image.height, 1, 24), image);
    double lo, hi, increment;
    int n;
    doc.model.GetContourLimits(lo, hi, n, increment);
    ASSERT_EQ(n, 10);
    // Bars 20 pixels high from 50 pixels below the top, 150 .. 100 pixels
    // from the right edge.
    for (int k = 0; k <= n; ++k) {
        const RampColor c = ColorRamp(viz::ContourLevel(lo, hi, n, k), hi, lo);
        const Rgb p = Pixel(image, view.Width() - 125, 50 + 20 * k);
        EXPECT_NEAR(p.r, c.r, 2) << k;
        EXPECT_NEAR(p.g, c.g, 2) << k;
        EXPECT_NEAR(p.b, c.b, 2) << k;
    }

    // Shown again, it is the same dialog with its values.
    view.OnResultsContourPlot();
    EXPECT_EQ(Find<DlgContourLimits>(), dlg);
    EXPECT_EQ(dlg->IsDlgButtonChecked(DlgContourLimits::IDC_SHOW_CONTOUR), 1);
    // A new run closes it.
    view.ResetResultDisplayForRun();
    EXPECT_EQ(Find<DlgContourLimits>(), nullptr);
}

// "Contour Plot Options" reopened on a variable it did not apply: the
// variable chosen from the list then is what the picture, the limits and the
// dialog show, also when it is the one applied before (the list's first).
TEST_F(KorbelViewDialogsTest, AContourVariableChosenAfterACancelledChoiceReachesThePicture) {
    using D = DlgContourLimits;
    // Plate forces start at result column 12; the view counts columns from 1.
    const int my = 13, mz = 14;
    const int lastRow = doc.model.GetNodeCount() - 1;
    auto expectPicture = [&](int column) {
        EXPECT_EQ(view.display.contourColumn, column);
        double lo, hi, increment;
        int n;
        doc.model.GetContourLimits(lo, hi, n, increment);
        // Step 1 holds 10 x column + row at each row.
        EXPECT_DOUBLE_EQ(lo, 10.0 * (column - 1));
        EXPECT_DOUBLE_EQ(hi, 10.0 * (column - 1) + lastRow);
    };
    view.OnResultsContourPlot();
    auto* dlg = Find<D>();
    ASSERT_NE(dlg, nullptr);
    dlg->UserClick(D::IDC_SHOW_CONTOUR);
    dlg->UserClick(D::IDC_PLATE_FORCES);  // My, the list's first
    dlg->UserClick(ui::IDOK);
    expectPicture(my);

    view.OnResultsContourPlot();
    dlg->UserSelect(D::IDC_VARIABLE, 1);  // Mz
    expectPicture(mz);
    dlg->UserClick(ui::IDCANCEL);  // the picture keeps Mz
    expectPicture(mz);

    view.OnResultsContourPlot();
    EXPECT_EQ(dlg->GetDlgItemText(D::IDC_VARIABLE), "C13");
    dlg->UserSelect(D::IDC_VARIABLE, 0);  // My again
    expectPicture(my);
    EXPECT_EQ(dlg->GetDlgItemText(D::IDC_VARIABLE), "C12");
    EXPECT_EQ(dlg->GetDlgItemText(D::IDC_MAXIMUM), D::FormatLimit(10.0 * (my - 1) + lastRow));
    dlg->UserClick(ui::IDOK);
    expectPicture(my);
}

// The right double-click window shows the value of its node when it first
// opens, not only after the node is changed.
TEST_F(KorbelViewDialogsTest, TheResultValuesWindowShowsTheNodesValueAtOnce) {
    viztest::AddResultSteps(doc.model, 2, [](int c, int r, int s) { return 0.001 * (c + 1) + r + 100.0 * s; });
    view.ShowResultValues(2);
    auto* values = Find<DlgResultValues>();
    ASSERT_NE(values, nullptr);
    const int row = doc.model.GetNodeTable()->FindNodeRowById(values->Node());
    ASSERT_GE(row, 0);
    EXPECT_DOUBLE_EQ(values->Value(), 0.001 + row + 100.0);
    EXPECT_EQ(values->GetDlgItemText(DlgResultValues::IDC_VALUE), ui::FormatDouble(0.001 + row + 100.0));
}

TEST_F(KorbelViewDialogsTest, BackgroundAndFontGoIntoThePicture) {
    view.OnOptionsFontAndColor();
    auto* dlg = Find<DlgFontColor>();
    ASSERT_NE(dlg, nullptr);
    dlg->UserPickColor(DlgFontColor::IDC_BACKGROUND, ui::Rgb(255, 0, 0));
    const DibImage image = Paint();
    const Rgb corner = Pixel(image, 2, 2);
    EXPECT_EQ(corner.r, 255);
    EXPECT_EQ(corner.g, 0);
    EXPECT_EQ(corner.b, 0);
    EXPECT_EQ(doc.model.foregroundColor, ui::Rgb(0, 255, 255));

    auto* faces = dlg->Get<ui::ComboBox>(DlgFontColor::IDC_FACE);
    dlg->UserSelect(DlgFontColor::IDC_FACE, faces->FindStringExact("Tahoma"));
    dlg->UserSelect(DlgFontColor::IDC_SIZE, dlg->Get<ui::ComboBox>(DlgFontColor::IDC_SIZE)->FindStringExact("18"));
    EXPECT_EQ(view.FontFace(), "Arial");  // from the next Apply
    dlg->UserClick(ui::IDOK);
    EXPECT_EQ(view.FontFace(), "Tahoma");
    EXPECT_EQ(view.FontHeight(), 18);
    EXPECT_EQ(view.FontWeight(), 700);
    EXPECT_EQ(view.display.legendSpacing, 30);
    EXPECT_TRUE(view.HasContext());
}

TEST_F(KorbelViewDialogsTest, StepAndRotationTakeEffectOnOK) {
    view.display.contourColumn = 2;
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserSelect(DlgSelectStep::IDC_STEP, d.Get<ui::ComboBox>(DlgSelectStep::IDC_STEP)->FindStringExact("11"));
        d.UserClick(ui::IDOK);
    });
    view.OnResultsSelectStep();
    EXPECT_EQ(view.display.step, 11);
    double lo, hi, increment;
    int n;
    doc.model.GetContourLimits(lo, hi, n, increment);
    EXPECT_DOUBLE_EQ(hi, 10.0 + 8 * 11);

    view.display.rotationY = 30.0f;
    view.display.rebuildScene = 1;
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(DlgRotation::IDC_Y), "-30");
        d.UserType(DlgRotation::IDC_Y, "-45");
        d.UserClick(ui::IDOK);
    });
    view.OnTransformRotationAngles();
    EXPECT_FLOAT_EQ(view.display.rotationY, 45.0f);
    EXPECT_EQ(view.display.rebuildScene, 0);
}

TEST_F(KorbelViewDialogsTest, APickedNodeReachesBothResultDialogsAndClosingClearsTheHighlight) {
    view.OnResultsNodeResults();
    view.ShowResultValues(2);
    auto* nodeResults = Find<DlgNodeResults>();
    auto* values = Find<DlgResultValues>();
    ASSERT_NE(nodeResults, nullptr);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->Kind(), 2);
    view.ShowNodeInResultDialogs(5);
    EXPECT_EQ(nodeResults->Node(), 5);
    EXPECT_EQ(values->Node(), 5);
    EXPECT_EQ(view.CurrentSetKind(), 1);
    EXPECT_EQ(view.CurrentSetText(), "5");
    nodeResults->UserClick(ui::IDOK);
    EXPECT_EQ(view.CurrentSetText(), "0");
    // A second Node Results command makes a new dialog.
    view.OnResultsNodeResults();
    EXPECT_NE(Find<DlgNodeResults>(), nullptr);
}

}  // namespace
