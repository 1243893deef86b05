// The program's view on a small fake document: display state, the scene in
// display list 1, the legend rules, highlights and the pictures it paints.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "../model/test_slb_support.h"
#include "app/KorbelView.h"
#include "app/run/AnalysisRun.h"
#include "model/Interpolation.h"
#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "platform/gl/Printing.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/Scene.h"
#include "viz/Text.h"
#include "QuietRunHost.h"

using brennix::gl::DibImage;

namespace {

// A document that holds a model and answers what the view asks.
class FakeDoc : public ui::Document, public DocHost {
public:
    ModelData model;
    bool withModel = true;
    int pickMode = 0;
    bool results = false;
    bool pending = false;
    int pendingSolidFace = 1;

    ModelData* GetModelData() const override { return withModel ? const_cast<ModelData*>(&model) : nullptr; }
    int PickMode() const override { return pickMode; }
    bool HasResults() const override { return results; }
    bool TakePendingDisplaySettings(int& solidFace) override {
        if (!pending) return false;
        pending = false;
        solidFace = pendingSolidFace;
        return true;
    }

    // As the document does on opening: the view takes the solid-face
    // setting at its next rebuild.
    bool Open(const std::string& path) {
        if (model.ReadModelFile(path, true) != 0) return false;
        pending = true;
        pendingSolidFace = DocHost::SolidFaceFor(model.GetElementCount());
        return true;
    }
};

std::string Fixture(const std::string& name) { return std::string(BRENNIX_TEST_DATA) + "/viz/" + name; }

// The example Winkler mat copied into a scratch folder; its path.
std::string CopyWinklerMat(const slbtest::ScratchDir& dir) {
    const std::string path = dir.File("winkler-mat.slb");
    std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/winkler-mat.slb", path);
    return path;
}

struct Rgb {
    int r, g, b;
};

Rgb Pixel(const DibImage& image, int x, int yFromTop) {
    unsigned char px[3];
    image.PixelAt(x, yFromTop, px);
    return {px[0], px[1], px[2]};
}

bool IsPink(Rgb p) { return p.r > 230 && p.g > 170 && p.g < 235 && p.b > 180 && p.b < 245 && p.b > p.g; }
bool IsWhite(Rgb p) { return p.r > 250 && p.g > 250 && p.b > 250; }

int CountPixels(const DibImage& image, bool (*test)(Rgb)) {
    int n = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) n += test(Pixel(image, x, y));
    return n;
}

void KeepPicture(const DibImage& image, const std::string& name) {
    brennix::gl::WriteBitmapFile(name, brennix::gl::MakeBitmapInfo(image.width, image.height, 1, 24), image);
}

class KorbelViewTest : public ui::HeadlessTest {
protected:
    void Open(int w, int h) {
        view.SetDocument(&doc);
        ASSERT_EQ(view.OnCreate(), 0);
        view.OnSize(w, h);
        ASSERT_TRUE(view.HasContext());
    }

    DibImage Paint() {
        ui::RecordingPainter painter({view.Width(), view.Height()});
        view.OnDraw(painter);
        return view.Picture();
    }

    // Window pixel (from the top) of model point (y, z) in the last paint.
    std::pair<int, int> PixelOf(double y, double z) {
        const double s = view.display.symbolScale;
        const double left = view.display.userZoom * view.display.legendClearance;
        return {static_cast<int>(view.Width() / 2.0 - left + s * (y - doc.model.centreY)),
                static_cast<int>(view.Height() / 2.0 + s * (z - doc.model.centreZ))};
    }

    Rgb At(const DibImage& image, double y, double z) {
        const auto [x, row] = PixelOf(y, z);
        return Pixel(image, x, row);
    }

    FakeDoc doc;
    CKorbelView view;
};

TEST_F(KorbelViewTest, DefaultSlabShowsPinkFacesGreySidesAndRedNodes) {
    ASSERT_TRUE(doc.Open(Fixture("default_slab_q8.slb")));
    Open(500, 400);
    view.display.nodeLabels = 1;
    const DibImage image = Paint();
    KeepPicture(image, "view_default_slab.bmp");
    EXPECT_EQ(view.display.fitScale, GLView::FitScale(500, 400, 1.0, 1.0));
    // The middle of element 13, the side y = 0.6 between 13 and 14 (off its
    // mid-side node) and the corner node at (0.4, 0.6).
    EXPECT_TRUE(IsPink(At(image, 0.5, 0.5)));
    const auto [sideX, sideRow] = PixelOf(0.6, 0.45);
    int greyNear = 0;  // the one-pixel line lies within a pixel of its place
    for (int x = sideX - 1; x <= sideX + 1; ++x) {
        const Rgb p = Pixel(image, x, sideRow);
        greyNear += p.r < 120 && p.r == p.g && p.g == p.b;
    }
    EXPECT_EQ(greyNear, 1);
    const Rgb node = At(image, 0.4, 0.6);
    EXPECT_TRUE(node.r > 200 && node.g < 60 && node.b < 60) << node.r << " " << node.g << " " << node.b;
    // The slab is centred: its corners lie 25 pixels or more inside the
    // window, equally far from the left and right edges.
    const auto [left, top] = PixelOf(0.0, 1.0);
    const auto [right, bottom] = PixelOf(1.0, 0.0);
    EXPECT_NEAR(left, 500 - right, 1);
    EXPECT_GE(top, 0);
    EXPECT_GE(left, 25);
    (void)bottom;
}

// Pixels along the window line between two pixels of the same row or column
// (ends and what lies outside the picture left out) where the pink face
// shows and no grey side pixel lies within a pixel across the line (the
// axes and their labels may cover the line).
int GapsAlongLine(const DibImage& image, std::pair<int, int> from, std::pair<int, int> to) {
    const bool vertical = from.first == to.first;
    const int along0 = vertical ? from.second : from.first, along1 = vertical ? to.second : to.first;
    const int across = vertical ? from.first : from.second;
    const int last = (vertical ? image.height : image.width) - 1;
    int gaps = 0;
    for (int a = std::max(std::min(along0, along1) + 2, 0); a <= std::min(std::max(along0, along1) - 2, last); ++a) {
        bool grey = false;
        for (int d = -1; d <= 1; ++d) {
            const Rgb p = vertical ? Pixel(image, across + d, a) : Pixel(image, a, across + d);
            grey = grey || (p.r < 120 && p.r == p.g && p.g == p.b);
        }
        gaps += !grey && IsPink(vertical ? Pixel(image, across, a) : Pixel(image, a, across));
    }
    return gaps;
}

// The interior sides of the Winkler mat (6 x 6 elements of 1 x 1, eight
// nodes each) at y = 1 .. 5 and z = 1 .. 5 are drawn over the faces along
// their whole length, whatever the client size and whether the scene is
// compiled or replayed, and in the thickness view where they lie on the
// surfaces of the solid; only the outline view leaves them out.
TEST_F(KorbelViewTest, EveryInteriorSideOfTheWinklerMatShowsOverTheFaces) {
    slbtest::ScratchDir dir;
    const std::string path = CopyWinklerMat(dir);
    ASSERT_TRUE(doc.Open(path));
    ASSERT_EQ(doc.model.GetElementCount(), 36);
    const struct {
        const char* name;
        int width, height;
        std::function<void()> before;  // what the user did before the paint
        bool interiorShown;
    } cases[] = {
        {"as the program opens it", 640, 480, [] {}, true},
        {"replayed by a view preset", 640, 480, [&] { view.display.rebuildScene = 0; }, true},
        {"the program's own window", 1262, 893, [] {}, true},
        {"an odd client size", 333, 251, [] {}, true},
        {"zoomed in", 640, 480, [&] { view.display.userZoom = 1.7f; }, true},
        {"the thickness view", 640, 480, [&] { view.display.showThickness = 1; }, true},
        {"boundary only", 640, 480, [&] { view.display.boundaryOnly = 1; }, false},
    };
    view.SetDocument(&doc);
    ASSERT_EQ(view.OnCreate(), 0);
    for (const auto& c : cases) {
        view.OnSize(c.width, c.height);
        view.display.boundaryOnly = 0;
        view.display.showThickness = 0;
        view.display.userZoom = 1.0f;
        Paint();
        c.before();
        const DibImage image = Paint();
        if (std::string(c.name) == "as the program opens it") KeepPicture(image, "view_winkler_mesh.bmp");
        for (int k = 1; k <= 5; ++k) {
            const int vertical = GapsAlongLine(image, PixelOf(k, 0.0), PixelOf(k, 6.0));
            const int horizontal = GapsAlongLine(image, PixelOf(0.0, k), PixelOf(6.0, k));
            if (c.interiorShown) {
                EXPECT_EQ(vertical, 0) << c.name << ": side y = " << k;
                EXPECT_EQ(horizontal, 0) << c.name << ": side z = " << k;
            } else {
                EXPECT_GT(vertical, 0) << c.name << ": side y = " << k;
                EXPECT_GT(horizontal, 0) << c.name << ": side z = " << k;
            }
        }
    }
}

TEST_F(KorbelViewTest, ReplayShowsTheCompiledListUntilTheNextRebuild) {
    ASSERT_TRUE(doc.Open(Fixture("default_slab_q8.slb")));
    Open(300, 300);
    EXPECT_TRUE(IsPink(At(Paint(), 0.5, 0.5)));
    ASSERT_TRUE(view.SceneListValid());
    EXPECT_EQ(view.display.rebuildScene, 1);

    // A view preset changes only the transform: the list is replayed, so a
    // change of the drawing made meanwhile does not show yet.
    view.display.solidFace = 0;
    view.display.rebuildScene = 0;
    EXPECT_TRUE(IsPink(At(Paint(), 0.5, 0.5)));
    EXPECT_EQ(view.display.rebuildScene, 1);
    // The paint after it compiles the list again.
    EXPECT_TRUE(IsWhite(At(Paint(), 0.5, 0.5)));
}

TEST_F(KorbelViewTest, ResizePrintAndExportLeaveTheNextPaintWhole) {
    ASSERT_TRUE(doc.Open(Fixture("default_slab_q8.slb")));
    Open(300, 300);
    Paint();
    const std::function<void()> steps[] = {
        [&] { view.OnSize(320, 280); },
        [&] { EXPECT_FALSE(view.RenderOffscreen().empty()); },
        [&] {
            slbtest::ScratchDir dir;
            EXPECT_TRUE(view.SaveBitmapFile(dir.File("export.bmp"), view.RenderOffscreen()));
        },
    };
    for (const auto& step : steps) {
        view.display.rebuildScene = 0;  // as the view presets and mouse drags leave it
        step();
        const DibImage image = Paint();
        EXPECT_TRUE(IsPink(At(image, 0.5, 0.5)));
        EXPECT_GT(CountPixels(image, IsPink), image.width * image.height / 4);
    }
    // The exported picture is the painted one.
    view.display.rebuildScene = 0;
    const DibImage shown = Paint();
    EXPECT_EQ(view.RenderOffscreen().bits, shown.bits);
}

TEST_F(KorbelViewTest, FlatModelAndTinyClientKeepAPositiveScale) {
    ASSERT_TRUE(doc.Open(Fixture("slab_2x2_q4.slb")));
    NodeTable& nodes = *doc.model.GetNodeTable();
    for (int i = 0; i < nodes.GetCount(); ++i) nodes.GetRow(i)->z = 0.0;
    doc.model.UpdateBoundingBox();
    Open(300, 300);
    Paint();
    EXPECT_EQ(view.display.fitScale, 1.0f);  // z extent 0: ratio 1.0, smaller than 250 / 2
    view.OnSize(30, 20);
    Paint();
    EXPECT_GT(view.display.fitScale, 0.0f);
}

TEST_F(KorbelViewTest, WithoutAModelOnlyTheAxesAreDrawn) {
    doc.withModel = false;
    Open(200, 200);
    view.display.globalAxes = 1;
    const DibImage image = Paint();
    EXPECT_EQ(view.display.localAxes, 0);
    EXPECT_EQ(CountPixels(image, IsPink), 0);
    // The stippled red x axis runs from the centre towards the viewer and the
    // green y axis to the right.
    int green = 0;
    for (int x = 100; x < 160; ++x) {
        const Rgb p = Pixel(image, x, 100);
        green += p.g > 150 && p.r < 100;
    }
    EXPECT_GT(green, 10);
}

TEST_F(KorbelViewTest, AnOpenInputDialogShowsTheUndeformedMeshAtStepOne) {
    ASSERT_TRUE(doc.Open(Fixture("slab_2x2_q4.slb")));
    Open(200, 200);
    view.display.showDeformed = 1;
    view.display.step = 3;
    view.display.boundaryOnly = 1;
    doc.pickMode = 2;
    Paint();
    EXPECT_EQ(view.display.showDeformed, 0);
    EXPECT_EQ(view.display.step, 1);
    EXPECT_EQ(view.display.boundaryOnly, 0);
    EXPECT_EQ(view.display.showUndeformed, 1);
    // Without a routed dialog the settings stay.
    doc.pickMode = 0;
    view.display.showDeformed = 1;
    Paint();
    EXPECT_EQ(view.display.showDeformed, 1);
}

// A strip of n 4-node elements in a row.
void MakeStrip(ModelData& model, int n) {
    model.Reset();
    NodeTable& nodes = *model.GetNodeTable();
    for (int i = 0; i <= n; ++i) {
        nodes.AddNodeRow(2 * i + 1, 0.0, i, 0.0);
        nodes.AddNodeRow(2 * i + 2, 0.0, i, 1.0);
    }
    nodes.CountRows();
    nodes.RebuildIndex();
    ElementTable& elements = *model.GetElementTable();
    elements.SetNodesPerElement(4);
    for (int e = 0; e < n; ++e) {
        const int nodeIds[] = {2 * e + 1, 2 * e + 3, 2 * e + 4, 2 * e + 2};
        elements.AddElementRow(e + 1, 1, nodeIds);
    }
    elements.CountRows();
    elements.RebuildIndex();
    model.nodeCount = nodes.GetCount();
    model.RebuildNodeIndex();
    model.BuildEdgeFlags();
    model.UpdateBoundingBox();
    model.redrawFlag = 1;
}

TEST_F(KorbelViewTest, LargeModelsComeUpWithoutSolidFaces) {
    for (int n : {1000, 1001}) {
        FakeDoc d;
        MakeStrip(d.model, n);
        ASSERT_EQ(d.model.GetElementCount(), n);
        d.pending = true;
        d.pendingSolidFace = DocHost::SolidFaceFor(n);
        CKorbelView v;
        v.SetDocument(&d);
        ASSERT_EQ(v.OnCreate(), 0);
        v.OnSize(100, 100);
        ui::RecordingPainter painter({100, 100});
        v.OnDraw(painter);
        EXPECT_EQ(v.display.solidFace, n > 1000 ? 0 : 1) << n;
        EXPECT_FALSE(d.pending);
        v.SetDocument(nullptr);
    }
}

TEST_F(KorbelViewTest, LegendNeedsTheFlagAColumnAndResults) {
    ASSERT_TRUE(doc.Open(Fixture("slab_2x2_q4.slb")));
    Open(400, 300);
    const struct {
        const char* name;
        int legend, column;
        bool results;
        bool shown;
    } cases[] = {
        {"all three", 1, 1, true, true},
        {"legend off", 0, 1, true, false},
        {"no column", 1, 0, true, false},
        {"no results", 1, 1, false, false},
    };
    for (const auto& c : cases) {
        view.SetShowLegend(c.legend != 0);
        view.display.contourColumn = c.column;
        doc.results = c.results;
        viz::TextRecorder texts;
        Paint();
        bool caption = false;
        for (const auto& t : texts.Texts()) caption |= t.text == "Step = 1";
        EXPECT_EQ(caption, c.shown) << c.name;
    }
}

TEST_F(KorbelViewTest, FitKeepsTheLegendColumnClearOfTheModel) {
    // A wide slab (8 x 6) in a wide view: without the legend it fills the
    // width; with it, its fill ends left of the legend column.
    ASSERT_TRUE(doc.Open(std::string(BRENNIX_TEST_DATA) + "/../../examples/slab-point-loads.slb"));
    const int w = 700, h = 600;
    Open(w, h);
    doc.results = true;
    view.display.contourColumn = 1;
    view.display.contourType = 0;
    view.SetContourRange();
    struct Case {
        int legend, spacing;
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{1, 50}}) {
        view.SetShowLegend(c.legend != 0);
        view.display.legendSpacing = c.spacing;
        view.RebuildScene();
        const DibImage image = Paint();
        if (c.legend && c.spacing == 0) KeepPicture(image, "view_legend_beside_wide_slab.bmp");
        const double right = doc.model.centreY + doc.model.extentY / 2.0;
        const double left = doc.model.centreY - doc.model.extentY / 2.0;
        const int rightEdge = PixelOf(right, doc.model.centreZ).first;
        const int leftEdge = PixelOf(left, doc.model.centreZ).first;
        EXPECT_NEAR(leftEdge, 25, 1) << c.legend << " " << c.spacing;  // the fit's own margin stays
        if (!c.legend) {
            EXPECT_NEAR(rightEdge, w - 25, 1);
            EXPECT_EQ(view.display.legendClearance, 0.0f);
            continue;
        }
        const int column = w - 150 - c.spacing;  // where the legend's bars begin
        EXPECT_LE(rightEdge, column - 10) << c.spacing;
        // Nothing of the model between its edge and the bars, top to bottom.
        for (int row = 0; row < h; ++row)
            EXPECT_TRUE(IsWhite(Pixel(image, column - 3, row))) << c.spacing << " row " << row;
        // The fill reaches its edge.
        EXPECT_FALSE(IsWhite(Pixel(image, rightEdge - 3, h / 2))) << c.spacing;
    }
}

TEST_F(KorbelViewTest, HighlightsAreDrawnOverAReplayedList) {
    ASSERT_TRUE(doc.Open(Fixture("default_slab_q8.slb")));
    Open(300, 300);
    Paint();
    // An input dialog shows its row: the model did not change, so the list
    // is replayed and the highlight is drawn over it.
    view.SetHighlightedItems(2, "13");
    EXPECT_EQ(view.display.rebuildScene, 0);
    EXPECT_EQ(view.CurrentSetKind(), 2);
    EXPECT_EQ(view.CurrentSetText(), "13");
    const Rgb lit = At(Paint(), 0.5, 0.5);
    EXPECT_TRUE(lit.b > 200 && lit.g > 200 && lit.r < 150) << lit.r << " " << lit.g << " " << lit.b;
    // After a table change the highlight asks for a rebuild.
    view.RebuildScene();
    view.SetHighlightedItems(1, "5");
    EXPECT_EQ(view.display.rebuildScene, 1);
    Paint();
    EXPECT_EQ(view.display.sceneChanged, 0);

    view.SetHighlightState(0, "0");
    view.AddPickedItem(2, "13");
    view.AddPickedItem(1, "7");
    ASSERT_EQ(view.PickedItems().size(), 2u);
    // The picked element is grey at 0.75 over the pink face.
    const Rgb grey = At(Paint(), 0.5, 0.5);
    EXPECT_NEAR(grey.r, 0.75 * 125 + 0.25 * 255, 12) << grey.r;
    EXPECT_LT(grey.g, 170);
    EXPECT_NEAR(grey.g, grey.b, 10);
    view.ClearPickedItems();
    EXPECT_TRUE(view.PickedItems().empty());
    EXPECT_TRUE(IsPink(At(Paint(), 0.5, 0.5)));
}

TEST_F(KorbelViewTest, RubberBandFollowsThePointerInWindowSelection) {
    ASSERT_TRUE(doc.Open(Fixture("slab_2x2_q4.slb")));
    Open(200, 200);
    auto greenAt = [](const DibImage& image, int x, int y) {
        const Rgb p = Pixel(image, x, y);
        return p.g > 200 && p.r < 60 && p.b < 60;
    };
    view.mouse.pressPoint = {20, 30};
    view.mouse.currentPoint = {150, 170};
    view.mouse.rubberBand = 1;
    view.mouse.buttonDown = 1;
    const struct {
        const char* name;
        int mouseMode, selectionMode, buttonDown;
        bool drawn;
    } cases[] = {
        {"zoom window", 3, 0, 1, true},
        {"node selection", -1, 1, 1, true},
        {"element selection", -1, 2, 1, true},
        {"edge selection", -1, 3, 1, false},
        {"pan", 0, 0, 1, false},
        {"button up", 3, 0, 0, false},
    };
    for (const auto& c : cases) {
        view.mouse.mouseMode = c.mouseMode;
        view.mouse.selectionMode = c.selectionMode;
        view.mouse.buttonDown = c.buttonDown;
        const DibImage image = Paint();
        // The band's corners in window pixels from the top.
        int onBand = 0;
        for (int d = -1; d <= 1; ++d) onBand += greenAt(image, 20 + d, 100) || greenAt(image, 85, 30 + d);
        EXPECT_EQ(onBand > 0, c.drawn) << c.name;
    }
}

TEST_F(KorbelViewTest, SmallSettersOfTheDialogs) {
    ASSERT_TRUE(doc.Open(Fixture("slab_2x2_q4.slb")));
    Open(200, 200);
    view.SetRotation(10.0f, 20.0f, 30.0f);
    EXPECT_EQ(view.display.rotationX, 10.0f);
    EXPECT_EQ(view.display.rotationY, -20.0f);
    EXPECT_EQ(view.display.rotationZ, -30.0f);
    // Node 5 is the middle node: element 1 is the first to hold it.
    EXPECT_EQ(view.FindElementUsingNode(5), 1);
    EXPECT_EQ(view.FindElementUsingNode(9), 4);
    EXPECT_EQ(view.FindElementUsingNode(99), 0);
    ASSERT_NE(view.GetPickedItemLabel(9), nullptr);
    EXPECT_EQ(view.GetPickedItemLabel(9)->id, 4);
    EXPECT_EQ(view.GetPickedItemLabel(99), nullptr);
    // The paint reads back the matrices of the model transform.
    Paint();
    EXPECT_EQ(view.SavedViewport()[2], 200);
    EXPECT_NE(view.SavedModelview()[0], 0.0);
}

TEST_F(KorbelViewTest, WinklerMatAfterARunShowsDeflectionContoursAndTheLegend) {
    slbtest::ScratchDir dir;
    const std::string path = CopyWinklerMat(dir);
    ASSERT_TRUE(doc.Open(path));
    QuietRunHost host;
    // The run works in the model's folder; the test keeps its own.
    const std::filesystem::path home = std::filesystem::current_path();
    const int route = RunAnalysis(doc.model, path, false, BRENNIX_BIN_DIR, host);
    std::filesystem::current_path(home);
    ASSERT_EQ(route, 1);
    ASSERT_TRUE(doc.model.HasResults());
    doc.results = true;

    Open(640, 480);
    view.display.contourColumn = 1;
    view.display.contourType = 2;
    view.SetContourRange();
    double lo, hi, inc;
    int n;
    doc.model.GetContourLimits(lo, hi, n, inc);
    ASSERT_EQ(n, 10);
    const DibImage image = Paint();
    KeepPicture(image, "view_winkler_contours.bmp");
    // Legend bars: y0 = 640 / 2 - 150, rows from z0 = 50 - 480 / 2.
    const int x = 640 / 2 + (640 / 2 - 150) + 25;
    for (int k : {0, 10}) {
        const int row = 480 / 2 + (50 - 480 / 2) + 20 * k;
        const RampColor c = ColorRamp(viz::ContourLevel(lo, hi, n, k), hi, lo);
        const Rgb p = Pixel(image, x, row);
        EXPECT_NEAR(p.r, c.r, 1) << k;
        EXPECT_NEAR(p.g, c.g, 1) << k;
        EXPECT_NEAR(p.b, c.b, 1) << k;
    }
    // The mat is filled with the colour of its deflection, not pink.
    EXPECT_FALSE(IsPink(At(image, 3.0, 3.0)));
    EXPECT_FALSE(IsWhite(At(image, 3.0, 3.0)));
}

}  // namespace
