// Mouse navigation and picking on an 800 x 600 view of the program's
// document: pan, rotate, zoom and zoom-window drags by the user's mouse
// input, and picks of nodes and element sides by OpenGL selection handed to
// the dialog that takes them or to the result windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "KorbelTestSupport.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"

using namespace korbeltest;
using namespace korbel;
using ui::MouseButton;

namespace {

// The view recording what reaches its result windows; the right
// double-click's window is only recorded, picked nodes go on to the windows.
class ResultRecordingView : public CKorbelView {
public:
    void ShowResultValues(int kind) override { kinds.push_back(kind); }
    void ShowNodeInResultDialogs(int node) override {
        fed.push_back(node);
        CKorbelView::ShowNodeInResultDialogs(node);
    }
    std::vector<int> kinds;
    std::vector<int> fed;
};

class ViewMouseTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        doc.Factories() = DocDialogFactories{};
        doc.Factories().sets = made.Factory();
        doc.Factories().setMembers = made.Factory();
        view.SetDocument(&doc);
    }
    void TearDown() override {
        view.SetDocument(nullptr);
        ui::HeadlessTest::TearDown();
    }

    void Open(const std::string& text, bool results = false) {
        WriteAll(dir.File("m.slb"), text);
        if (results) WriteAll(dir.File("m.sds"), OneStep());
        ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
        ASSERT_TRUE(view.CreatePopup({0, 0, 800, 600}, 0));
        view.OnSize(800, 600);
        ASSERT_TRUE(view.HasContext());
    }
    void Paint() {
        ui::RecordingPainter painter({view.Width(), view.Height()});
        view.OnDraw(painter);
    }
    void Drag(ui::Point from, ui::Point to) {
        view.UserMouseDown(MouseButton::Left, from.x, from.y);
        view.UserMouseMove((from.x + to.x) / 2, (from.y + to.y) / 2);
        view.UserMouseMove(to.x, to.y);
        view.UserMouseUp(MouseButton::Left, to.x, to.y);
    }
    // Window pixel of model point (y, z) in the last paint (no pan, no
    // rotation; moved left when the legend is shown).
    ui::Point PixelOf(double y, double z) {
        const ModelData& m = *doc.GetModelData();
        const double s = view.display.symbolScale;
        const double left = view.display.userZoom * view.display.legendClearance;
        return {static_cast<int>(view.Width() / 2.0 - left + s * (y - m.centreY)),
                static_cast<int>(view.Height() / 2.0 + s * (z - m.centreZ))};
    }
    // A node-set member dialog that takes the picks, node selection on.
    TestDialog& PickNodesForASet() {
        doc.ShowSetDialog(1, "S", nullptr, view);
        ui::RouteCommand({&view, &doc}, ID_SELECT_NODE);
        EXPECT_EQ(view.mouse.selectionMode, 1);
        Paint();
        return *made.dialogs.back();
    }

    Scratch dir;
    Made made;
    CKorbelDoc doc;
    ResultRecordingView view;
};

// ---------------------------------------------------------------------------
// Navigation

TEST_F(ViewMouseTest, DragsMoveTurnAndZoomThePicture) {
    Open(OnePlate());
    ui::RouteCommand({&view, &doc}, ID_PANNING);
    Drag({100, 100}, {150, 80});
    EXPECT_EQ(view.display.panY, 50.0f);
    EXPECT_EQ(view.display.panZ, -20.0f);
    EXPECT_EQ(view.display.rebuildScene, 0);  // the list is replayed

    ui::RouteCommand({&view, &doc}, ID_ROTATE);
    view.display.rotationZ = 10.0f;
    Drag({0, 300}, {800, 300});
    EXPECT_EQ(view.display.rotationZ, 10.0f);  // 370 is brought back by 360
    view.display.rotationY = 5.0f;
    Drag({400, 300}, {401, 299});
    EXPECT_EQ(view.display.rotationZ, 10.0f);
    EXPECT_EQ(view.display.rotationY, 5.0f);
    Drag({400, 300}, {400, 150});  // a quarter of the height up
    EXPECT_EQ(view.display.rotationY, 5.0f + 90.0f);

    ui::RouteCommand({&view, &doc}, ID_ZOOM);
    view.display.userZoom = 2.0f;
    Drag({400, 400}, {400, 200});
    EXPECT_FLOAT_EQ(view.display.userZoom, 3.0f);
    EXPECT_EQ(view.display.rebuildScene, 0);
    // Dragging down further than half the width would turn the factor
    // negative and mirror the picture: it stops at its floor.
    Drag({400, 0}, {400, 800});
    EXPECT_FLOAT_EQ(view.display.userZoom, 3.0f * CKorbelView::kLeastZoomDragFactor);
    EXPECT_GT(CKorbelView::kLeastZoomDragFactor, 0.0f);
}

TEST_F(ViewMouseTest, ZoomWindowFillsTheViewWithTheRectangle) {
    Open(OnePlate());
    ui::RouteCommand({&view, &doc}, ID_ZOOM_WINDOW);
    // A click changes nothing.
    Drag({200, 200}, {200, 200});
    EXPECT_EQ(view.display.userZoom, 1.0f);
    EXPECT_EQ(view.display.panY, 0.0f);
    Drag({100, 100}, {300, 100});  // no height either
    EXPECT_EQ(view.display.userZoom, 1.0f);

    Drag({100, 100}, {300, 250});
    EXPECT_EQ(view.display.userZoom, 4.0f);
    EXPECT_EQ(view.display.panY, 800.0f);
    EXPECT_EQ(view.display.panZ, 500.0f);
    EXPECT_EQ(view.display.rebuildScene, 0);
    // The rectangle's corner now lies at the view's corner: the model point
    // that was at (100, 100) is drawn at (0, 0).
    EXPECT_EQ(view.mouse.buttonDown, 0);
}

// ---------------------------------------------------------------------------
// Picking

TEST_F(ViewMouseTest, AClickNearANodePicksIt) {
    Open(OnePlate());
    TestDialog& members = PickNodesForASet();
    const ui::Point node3 = PixelOf(1.0, 1.0);
    view.UserMouseDown(MouseButton::Left, node3.x + 3, node3.y);
    view.UserMouseUp(MouseButton::Left, node3.x + 3, node3.y);
    ASSERT_EQ(members.picks.size(), 1u);
    EXPECT_EQ(members.picks[0], "3");
    EXPECT_EQ(view.CurrentSetText(), "3");
    // A click on empty space picks nothing.
    view.UserMouseDown(MouseButton::Left, 5, 5);
    view.UserMouseUp(MouseButton::Left, 5, 5);
    EXPECT_EQ(members.picks.size(), 1u);
}

TEST_F(ViewMouseTest, PicksReplayThePaintedSceneUntilTheModelOrTheDisplayChanges) {
    Open(OnePlate());
    TestDialog& members = PickNodesForASet();
    auto clickAndPaint = [&](ui::Point p) {
        view.UserMouseDown(MouseButton::Left, p.x, p.y);
        view.UserMouseUp(MouseButton::Left, p.x, p.y);
        Paint();
        return members.picks.empty() ? std::string() : members.picks.back();
    };
    // The first pick compiles the scene for selection; later picks and the
    // paints after them compile nothing.
    int compiled = view.SceneCompileCount();
    EXPECT_EQ(clickAndPaint(PixelOf(1.0, 1.0)), "3");
    EXPECT_EQ(view.SceneCompileCount(), compiled + 1);
    EXPECT_EQ(clickAndPaint(PixelOf(1.0, 0.0)), "2");
    EXPECT_EQ(view.SceneCompileCount(), compiled + 1);

    const struct {
        const char* what;
        std::function<void()> change;
        ui::Point at;
        const char* picked;
    } cases[] = {
        // Node 3 moved inwards: the pick finds it at its new place.
        {"model changed",
         [&] {
             NodeRow* node3 = doc.GetModelData()->GetNodeTable()->GetRow(2);
             node3->y = node3->z = 0.6;
             view.RebuildScene();
         },
         PixelOf(0.6, 0.6), "3"},
        // Node points switched off: nothing is named, nothing picked.
        {"display changed", [&] { view.display.nodeLabels = 0; }, PixelOf(1.0, 0.0), ""},
    };
    for (const auto& c : cases) {
        members.picks.clear();
        compiled = view.SceneCompileCount();
        c.change();
        EXPECT_EQ(clickAndPaint(c.at), c.picked) << c.what;
        // Compiled again for the pick and for the paint.
        EXPECT_EQ(view.SceneCompileCount(), compiled + 2) << c.what;
    }
}

// The paint after a pick draws the highlight over the kept picture of the
// scene while the scene, the view and the background are those it was kept
// with; the picture is the one a full drawing gives.
TEST_F(ViewMouseTest, ThePaintAfterAPickReusesTheKeptSceneUntilSomethingItShowsChanges) {
    Open(OnePlate(), true);
    view.display.contourColumn = 1;
    view.display.contourType = 2;
    view.SetContourRange();
    PickNodesForASet();
    auto pickAndPaint = [&](ui::Point p) {
        const int reused = view.SceneImageReuseCount();
        view.UserMouseDown(MouseButton::Left, p.x, p.y);
        view.UserMouseUp(MouseButton::Left, p.x, p.y);
        Paint();
        return view.SceneImageReuseCount() - reused;
    };
    auto fullDrawing = [&] {
        view.RebuildScene();
        Paint();
        return view.Picture().bits;
    };
    const std::vector<std::uint8_t> before = view.Picture().bits;
    EXPECT_EQ(pickAndPaint(PixelOf(1.0, 1.0)), 1);
    EXPECT_EQ(view.CurrentSetText(), "3");
    const std::vector<std::uint8_t> afterPick = view.Picture().bits;
    EXPECT_TRUE(afterPick != before) << "the picked node is highlighted";
    EXPECT_TRUE(fullDrawing() == afterPick);

    const struct {
        const char* what;
        std::function<void()> change;
        int reused;
    } cases[] = {
        {"nothing changed", [] {}, 1},
        {"view panned", [&] { view.display.panY += 20.0f; }, 0},
        {"global axes shown", [&] { view.display.globalAxes = 1; }, 0},
        {"background changed", [&] { view.SetBackgroundColor(ui::Rgb(0, 0, 64)); }, 0},
        {"model changed",
         [&] {
             NodeRow* node3 = doc.GetModelData()->GetNodeTable()->GetRow(2);
             node3->y = node3->z = 0.6;
             view.RebuildScene();
         },
         0},
        {"display changed", [&] { view.display.nodeLabels = 3; }, 0},
    };
    for (const auto& c : cases) {
        Paint();  // the picture is kept again
        c.change();
        EXPECT_EQ(pickAndPaint(PixelOf(1.0, 0.0)), c.reused) << c.what;
        const std::vector<std::uint8_t> painted = view.Picture().bits;
        EXPECT_TRUE(fullDrawing() == painted) << c.what;
    }
}

TEST_F(ViewMouseTest, ADoubleClickPicksOnce) {
    Open(OnePlate());
    TestDialog& members = PickNodesForASet();
    const ui::Point node2 = PixelOf(1.0, 0.0);
    view.OnLButtonDblClk(0, node2);
    view.OnLButtonUp(0, node2);
    EXPECT_EQ(members.picks.size(), 1u);
    EXPECT_EQ(view.mouse.doubleClickMark, 0);
    // The next click picks again.
    view.OnLButtonDown(0, node2);
    view.OnLButtonUp(0, node2);
    EXPECT_EQ(members.picks.size(), 2u);
    EXPECT_EQ(members.picks.back(), "2");
}

TEST_F(ViewMouseTest, AWindowOverThreeNodesListsThemForTheNodeSet) {
    Open(Strip(2));
    ui::RouteCommand({&view, &doc}, ID_NODE_SETS);
    EXPECT_EQ(view.mouse.multiPick, 1);
    EXPECT_EQ(view.mouse.rubberBand, 1);
    TestDialog& members = PickNodesForASet();
    Drag(PixelOf(-0.2, -0.2), PixelOf(2.2, 0.2));
    ASSERT_EQ(members.picks.size(), 1u);
    EXPECT_EQ(members.picks[0], "1,3,5");
}

// Results > Node Results and the right double-click's window switch node
// picking on: the mouse selects nodes and the nodes are marked, so a click
// on a node reaches both windows at once, whatever the mouse did before.
// Picking ends when the last of them closes, with the mouse mode and the
// node labels given back.
TEST_F(ViewMouseTest, NodeResultsTakesPickedNodesIntoBothResultWindows) {
    Open(OnePlate(), true);
    const std::vector<ui::CommandTarget*> chain{&view, &doc};
    EXPECT_FALSE(ui::RouteUpdate(chain, ID_SELECT_NODE).Enabled());
    ui::RouteCommand(chain, ID_ROTATE);
    view.display.nodeLabels = 2;  // node numbers, no marks
    ui::RouteCommand(chain, ID_NODE_RESULTS);
    DlgNodeResults* nodeResults = nullptr;
    for (ui::Window* w : driver.LiveWindows())
        if (auto* d = dynamic_cast<DlgNodeResults*>(w)) nodeResults = d;
    ASSERT_NE(nodeResults, nullptr);
    EXPECT_TRUE(ui::RouteUpdate(chain, ID_SELECT_NODE).Checked());
    EXPECT_EQ(view.display.nodeLabels, 3);
    Paint();

    // One click on a node, nothing else chosen before.
    const ui::Point node4 = PixelOf(0.0, 1.0);
    view.UserMouseDown(MouseButton::Left, node4.x, node4.y);
    view.UserMouseUp(MouseButton::Left, node4.x, node4.y);
    EXPECT_EQ(nodeResults->Node(), 4);
    EXPECT_EQ(view.display.rotationY, 0.0f);  // the click did not turn the picture

    view.CKorbelView::ShowResultValues(2);
    DlgResultValues* values = nullptr;
    for (ui::Window* w : driver.LiveWindows())
        if (auto* d = dynamic_cast<DlgResultValues*>(w)) values = d;
    ASSERT_NE(values, nullptr);
    const ui::Point node2 = PixelOf(1.0, 0.0);
    view.UserMouseDown(MouseButton::Left, node2.x, node2.y);
    view.UserMouseUp(MouseButton::Left, node2.x, node2.y);
    EXPECT_EQ(nodeResults->Node(), 2);
    EXPECT_EQ(values->Node(), 2);
    EXPECT_EQ(view.CurrentSetText(), "2");

    // Closing the values window: Node Results still picks, nodes marked.
    values->UserClick(ui::IDOK);
    EXPECT_EQ(view.mouse.nodeResultsPick, 1);
    EXPECT_EQ(view.display.nodeLabels, 3);
    Paint();
    view.UserMouseDown(MouseButton::Left, node4.x, node4.y);
    view.UserMouseUp(MouseButton::Left, node4.x, node4.y);
    EXPECT_EQ(nodeResults->Node(), 4);
    EXPECT_EQ(values->Node(), 2);

    nodeResults->UserClick(ui::IDOK);
    EXPECT_EQ(view.mouse.nodeResultsPick, 0);
    EXPECT_EQ(view.mouse.acceptedPickKind, 0);
    EXPECT_EQ(view.mouse.selectionMode, 0);
    EXPECT_TRUE(ui::RouteUpdate(chain, ID_ROTATE).Checked());
    EXPECT_EQ(view.display.nodeLabels, 2);
    EXPECT_FALSE(ui::RouteUpdate(chain, ID_SELECT_NODE).Enabled());
}

TEST_F(ViewMouseTest, AWindowOverMoreItemsThanTheBufferHoldsStaysWithinIt) {
    // Node selection sizes the buffer by the nodes, while the sides of the
    // elements carry the names: four sides per element and more records
    // than the buffer takes.
    Open(Strip(30));
    TestDialog& members = PickNodesForASet();
    view.SetPickState(3, "0");
    view.mouse.multiPick = 1;
    Drag({0, 0}, {799, 599});
    ASSERT_EQ(members.picks.size(), 1u);
    // Every distinct side once (element number x 4 + side): more records of
    // four entries than the node-sized buffer holds.
    std::vector<int> names;
    std::stringstream text(members.picks[0]);
    for (std::string item; std::getline(text, item, ',');) names.push_back(std::stoi(item));
    const ModelData& model = *doc.GetModelData();
    ASSERT_EQ(static_cast<int>(names.size()), model.CountDistinctEdges()) << members.picks[0];
    EXPECT_GT(static_cast<int>(names.size()) * 4, model.GetNodeCount() * 4 + 4);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names.front(), 5);
    EXPECT_LE(names.back(), 4 * 30 + 4);
}

TEST_F(ViewMouseTest, RightDoubleClickAsksForResultValues) {
    for (bool results : {false, true}) {
        SCOPED_TRACE(results);
        Open(OnePlate(), results);
        std::vector<int>& kinds = view.kinds;
        kinds.clear();
        // A double click comes as down, up, double-click, up.
        view.UserMouseDown(MouseButton::Right, 300, 300);
        view.UserMouseUp(MouseButton::Right, 300, 300);
        EXPECT_TRUE(kinds.empty());
        view.UserDoubleClick(MouseButton::Right, 300, 300);
        view.UserMouseUp(MouseButton::Right, 300, 300);
        EXPECT_EQ(kinds, std::vector<int>{results ? 2 : 1});
        // A plain right click asks nothing.
        view.UserMouseDown(MouseButton::Right, 300, 300);
        view.UserMouseUp(MouseButton::Right, 300, 300);
        EXPECT_EQ(kinds.size(), 1u);
        view.DestroyWindow();
    }
}

}  // namespace
