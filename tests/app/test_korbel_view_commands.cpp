// The view's commands on the program's document: the update rules over the
// model states, the handlers' work on the display state, the element-type,
// integration and mesh commands, Save As, the editor and help commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "KorbelTestSupport.h"
#include "app/DialogFactories.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "dialogs/DlgMaterialProps.h"
#include "meshtools/ElementOrder.h"
#include "model/MaterialTable.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Services.h"
#include "viz/ui/DlgContourLimits.h"
#include "viz/ui/DlgDefFactor.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"
#include "viz/ui/DlgSectionCut.h"

using namespace korbeltest;
using namespace korbel;

namespace {

namespace fs = std::filesystem;

// Two nodes on one y and no elements.
std::string FlatNodes() { return "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t0\t1\nEND_NODE_DATA\nEND_DATA\n"; }

std::string NodesOnly() {
    return "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t2\t0\t1\t0\n*\t3\t0\t1\t1\n*\t4\t0\t0\t1\nEND_NODE_DATA\nEND_DATA\n";
}

// A document with its view, on a model file in a scratch folder.
struct Bench {
    Bench() {
        doc.Factories() = DocDialogFactories{};
        view.SetDocument(&doc);
    }
    ~Bench() { view.SetDocument(nullptr); }

    // Opens a model file of the text (named m.slb), with results when asked.
    void Open(const std::string& text, bool results = false) {
        WriteAll(dir.File("m.slb"), text);
        if (results) WriteAll(dir.File("m.sds"), OneStep());
        ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
        doc.SetPathName(dir.File("m.slb"), false);
    }
    // Every dialog of the document made by a stand-in.
    void InstallDialogs() {
        DocDialogFactories& f = doc.Factories();
        auto ok = [](const DocDialogRequest&) { return ui::IDOK; };
        f.nodeData = f.concentratedActions = f.elementConnectivity = f.equivalentLoads = f.title = ok;
        for (ModelessFactory* slot :
             {&f.nodalActions, &f.edgeActions, &f.materialData, &f.sets, &f.setMembers, &f.nonlinearSpring,
              &f.nodalNonlinear, &f.setSelection, &f.nodePath, &f.sectionCut, &f.xyPlot})
            *slot = made.Factory();
    }
    ui::CmdUI Update(int id) { return ui::RouteUpdate({&view, &doc}, id); }
    void Run(int id) { ui::RouteCommand({&view, &doc}, id); }

    Scratch dir;
    Made made;
    CKorbelDoc doc;
    CKorbelView view;
};

class ViewCommandsTest : public ui::HeadlessTest {
protected:
    void Open(const std::string& text, bool results = false) { bench.Open(text, results); }
    void InstallDialogs() { bench.InstallDialogs(); }
    ui::CmdUI Update(int id) { return bench.Update(id); }
    void Run(int id) { bench.Run(id); }

    Bench bench;
    Scratch& dir = bench.dir;
    CKorbelDoc& doc = bench.doc;
    CKorbelView& view = bench.view;
};

// ---------------------------------------------------------------------------
// Update rules

struct Expect {
    int id;
    bool enabled;
    int checked = -1;  // -1: not looked at
    const char* text = nullptr;
};

TEST_F(ViewCommandsTest, UpdateRulesFollowTheModelState) {
    const struct {
        const char* name;
        std::function<void(Bench&)> setUp;
        std::vector<Expect> expect;
    } states[] = {
        {"no model",
         [](Bench&) {},
         {{ui::cmd::FileSaveAs, false},
          {ID_RUN_ANALYSIS, false},
          {ID_INPUT_TIME_STEPPING, false},
          {ID_INPUT_SOIL, false},
          {ID_MARK_NODES, false},
          {ID_GLOBAL_AXES, true},
          {ID_SOLID_FACE, false},
          {ID_ELEMENT_LINEAR4, false},
          {ID_INTEGRATION_2, false, 0},
          {ID_EDIT_REFINE_MESH, false},
          {ID_VIEW_INPUT_FILE, false},
          {ID_SELECT_NODE, false}}},
        {"nodes only",
         [](Bench& t) {
             t.Open(NodesOnly());
             t.doc.GetModelData()->GetElementTable()->SetNodesPerElement(0);
         },
         {{ID_NODAL_CONSTRAINTS, true, 0},
          {ID_DISTRIBUTED_LOADS, false},
          {ID_EDGE_LOADS, false},
          {ID_ELEMENT_LINEAR4, true, 0},
          {ID_ELEMENT_QUAD8, true, 0},
          {ID_INPUT_CONNECTIVITY, false},
          {ID_INTEGRATION_1, false, 0},
          {ID_INTEGRATION_3, false, 0},
          {ID_EDIT_REFINE_MESH, false},
          {ID_ELEMENT_SETS, false},
          {ID_NODE_SETS, true},
          {ID_SECTION_CUT, true},
          {ID_NODE_PATH, true}}},
        {"4 nodes",
         [](Bench& t) { t.Open(OnePlate()); },
         {{ID_INTEGRATION_1, true, 0, "&1 x 1 (reduced)"},
          {ID_INTEGRATION_2, true, 1, "&2 x 2 (normal)"},
          {ID_INTEGRATION_3, false, 0, "&3 x 3 (normal)"},
          {ID_ELEMENT_LINEAR4, true, 1},
          {ID_ELEMENT_QUAD8, false, 0},
          {ID_EDIT_TO_LINEAR4, false},
          {ID_EDIT_TO_QUAD8, true},
          {ID_EDIT_REFINE_MESH, true},
          {ID_INPUT_CONNECTIVITY, true},
          {ID_DISTRIBUTED_STIFFNESS, true},
          {ID_CONCENTRATED_STIFFNESS, true},
          {ID_EDGE_STIFFNESS, true},
          {ID_INPUT_SOIL, true, 0},
          {ID_XY_PLOT, false},
          {ID_VIEW_OUTPUT_FILE, false},
          {ID_VIEW_MESSAGE_FILE, false},
          {ID_VIEW_INPUT_FILE, true},
          {ui::cmd::FileSave, false},
          {ID_SHOW_NODAL_LOADS, false}}},
        {"8 nodes",
         [](Bench& t) {
             t.Open(OnePlate());
             ASSERT_EQ(ConvertElementOrder(*t.doc.GetModelData(), 8), "");
         },
         {{ID_INTEGRATION_1, false},
          {ID_INTEGRATION_2, true, -1, "&2 x 2 (reduced)"},
          {ID_INTEGRATION_3, true},
          {ID_EDIT_TO_QUAD8, false},
          {ID_EDIT_TO_LINEAR4, true},
          {ID_ELEMENT_QUAD8, true, 1}}},
        {"9 nodes",
         [](Bench& t) {
             t.Open(OnePlate());
             ASSERT_EQ(ConvertElementOrder(*t.doc.GetModelData(), 9), "");
         },
         {{ID_INTEGRATION_1, false},
          {ID_INTEGRATION_2, false},
          {ID_INTEGRATION_3, true, 1},
          {ID_ELEMENT_LAGRANGE9, true, 1}}},
        {"soil 1",
         [](Bench& t) {
             t.Open(OnePlate());
             t.doc.GetModelData()->SetSoilModel(1);
         },
         {{ID_DISTRIBUTED_STIFFNESS, false},
          {ID_CONCENTRATED_STIFFNESS, false},
          {ID_EDGE_STIFFNESS, false},
          {ID_DISTRIBUTED_LOADS, true},
          {ID_CONCENTRATED_LOADS, true},
          {ID_EDGE_LOADS, true},
          {ID_INPUT_SOIL, true, 1}}},
        {"soil 2",
         [](Bench& t) {
             t.Open(OnePlate());
             t.doc.GetModelData()->SetSoilModel(2);
         },
         {{ID_DISTRIBUTED_STIFFNESS, false},
          {ID_CONCENTRATED_STIFFNESS, false},
          {ID_EDGE_STIFFNESS, false},
          {ID_INPUT_SOIL, true, 1}}},
        {"results",
         [](Bench& t) { t.Open(OnePlate(), true); },
         {{ID_XY_PLOT, true},
          {ID_DEFORMED_MESH, true, 0},
          {ID_CONTOUR_PLOT, true, 0},
          {ID_SELECT_STEP, true},
          {ID_NODE_RESULTS, true}}},
        {"contours and deformed shape shown",
         [](Bench& t) {
             t.Open(OnePlate(), true);
             t.view.display.contourColumn = 1;
             t.view.display.showDeformed = 1;
         },
         {{ID_DEFORMED_MESH, true, 1}, {ID_CONTOUR_PLOT, true, 1}}},
        {".sou and .sms",
         [](Bench& t) {
             t.Open(OnePlate());
             WriteAll(t.dir.File("m.sou"), "listing");
             WriteAll(t.dir.File("m.sms"), "messages");
         },
         {{ID_VIEW_OUTPUT_FILE, true}, {ID_VIEW_MESSAGE_FILE, true}}},
        {"modified",
         [](Bench& t) {
             t.Open(OnePlate());
             t.doc.SetModifiedFlag(true);
         },
         {{ui::cmd::FileSave, true}}},
        {"nodal-action dialog open",
         [](Bench& t) {
             t.Open(OnePlate());
             t.Run(ID_NODAL_LOADS);
         },
         {{ID_NODAL_CONSTRAINTS, false},
          {ID_NODAL_LOADS, false},
          {ID_DISTRIBUTED_STIFFNESS, false},
          {ID_NODAL_NONLINEAR_SPRING, false},
          {ID_INPUT_NONLINEAR_SPRING, false},
          {ID_EDGE_LOADS, true},
          {ID_SELECT_NODE, true},
          {ID_SELECT_ELEMENT, false}}},
        {"set dialog open",
         [](Bench& t) {
             t.Open(OnePlate());
             t.Run(ID_ELEMENT_SETS);
         },
         {{ID_EDIT_REFINE_MESH, false},
          {ID_EDIT_TO_QUAD8, false},
          {ID_NODE_SETS, false},
          {ID_EDGE_SETS, false},
          {ID_NODAL_LOADS, true}}},
        {"edge picks accepted",
         [](Bench& t) {
             t.Open(OnePlate());
             t.view.SetPickTarget(3);
         },
         {{ID_SELECT_NODE, false}, {ID_SELECT_ELEMENT, false}, {ID_SELECT_EDGE, true, 0}}},
        {"element picks accepted",
         [](Bench& t) {
             t.Open(OnePlate());
             t.view.SetPickTarget(2);
         },
         {{ID_SELECT_NODE, false}, {ID_SELECT_ELEMENT, true}, {ID_SELECT_EDGE, false}}},
        {"all nodes on one y",
         [](Bench& t) { t.Open(FlatNodes()); },
         {{ID_SECTION_CUT, false}, {ID_NODE_PATH, false}, {ID_NODAL_LOADS, true}}},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.name);
        Bench t;
        t.InstallDialogs();
        s.setUp(t);
        for (const Expect& e : s.expect) {
            const ui::CmdUI ui = t.Update(e.id);
            EXPECT_EQ(ui.Enabled(), e.enabled) << e.id;
            if (e.checked >= 0) {
                EXPECT_EQ(ui.Checked(), e.checked == 1) << e.id;
            }
            if (e.text) {
                EXPECT_EQ(ui.Text().value_or(""), e.text) << e.id;
            }
        }
    }
}

TEST_F(ViewCommandsTest, CommandsWithoutTheirDialogStayDisabled) {
    Open(OnePlate(), true);
    for (int id : {ID_NODAL_CONSTRAINTS, ID_EDGE_LOADS, ID_NODE_SETS, ID_SECTION_CUT, ID_NODE_PATH, ID_XY_PLOT,
                   ID_INPUT_NONLINEAR_SPRING, ID_CONCENTRATED_LOADS, ID_EQUIVALENT_LOADS})
        EXPECT_FALSE(Update(id).Enabled()) << id;
    // The view's own dialogs and the commands without a dialog are there.
    for (int id : {ID_INPUT_SOIL, ID_INPUT_TIME_STEPPING, ID_EDIT_REFINE_MESH, ID_RUN_ANALYSIS, ID_ROTATION_ANGLES,
                   ID_FONT_COLOR, ID_CONTOUR_PLOT})
        EXPECT_TRUE(Update(id).Enabled()) << id;
}

// ---------------------------------------------------------------------------
// Display state

TEST_F(ViewCommandsTest, TogglesInvertAndTick) {
    Open(OnePlate());
    for (int id :
         {ID_ELEMENT_NUMBERS, ID_BOUNDARY_ONLY, ID_LOCAL_AXES, ID_GLOBAL_AXES, ID_SOLID_FACE, ID_SHOW_THICKNESS}) {
        const bool before = Update(id).Checked();
        view.display.rebuildScene = 1;
        Run(id);
        EXPECT_NE(Update(id).Checked(), before) << id;
        EXPECT_EQ(view.display.rebuildScene, 1) << id;
        Run(id);
        EXPECT_EQ(Update(id).Checked(), before) << id;
    }
    // A display flag of a table with rows.
    Open(OnePlate().substr(0, OnePlate().size() - 9) +
         "NODAL_LOAD_DATA\n*\t1\t 1  0  0  0  0  0 \t-250\t0\t0\t0\t0\t0\nEND_NODAL_LOAD_DATA\nEND_DATA\n");
    ASSERT_TRUE(Update(ID_SHOW_NODAL_LOADS).Enabled());
    Run(ID_SHOW_NODAL_LOADS);
    EXPECT_EQ(view.display.displayFlags[kShowNodalLoads], 1);
    EXPECT_TRUE(Update(ID_SHOW_NODAL_LOADS).Checked());

    view.display.elementNumbers = 2;
    Run(ID_ELEMENT_NUMBERS);
    EXPECT_EQ(view.display.elementNumbers, 2);
}

TEST_F(ViewCommandsTest, NodeLabelsCycle) {
    Open(OnePlate());
    const int markNodes[] = {1, 0, 3, 2}, nodeNumbers[] = {2, 3, 0, 1};
    for (int from = 0; from < 4; ++from) {
        view.display.nodeLabels = from;
        Run(ID_MARK_NODES);
        EXPECT_EQ(view.display.nodeLabels, markNodes[from]) << from;
        view.display.nodeLabels = from;
        Run(ID_NODE_NUMBERS);
        EXPECT_EQ(view.display.nodeLabels, nodeNumbers[from]) << from;
    }
}

TEST_F(ViewCommandsTest, PresetsAndRestartReplayTheList) {
    Open(OnePlate());
    const struct {
        int id;
        float x, y, z;
    } presets[] = {{ID_VIEW_TOP, 0, 0, 0},
                   {ID_VIEW_BOTTOM, 0, 180, 0},
                   {ID_VIEW_FRONT, 0, 90, 0},
                   {ID_VIEW_SIDE, -90, 0, 90},
                   {ID_VIEW_3D, 60, 45, -45}};
    for (const auto& p : presets) {
        view.display.rebuildScene = 1;
        Run(p.id);
        EXPECT_EQ(view.display.rotationX, p.x) << p.id;
        EXPECT_EQ(view.display.rotationY, p.y) << p.id;
        EXPECT_EQ(view.display.rotationZ, p.z) << p.id;
        EXPECT_EQ(view.display.rebuildScene, 0) << p.id;
    }
    view.display.panY = 30.0f;
    view.display.userZoom = 3.0f;
    Run(ID_RESTART);
    EXPECT_EQ(view.display.rotationX, 0.0f);
    EXPECT_EQ(view.display.panY, 0.0f);
    EXPECT_EQ(view.display.userZoom, 1.0f);
    EXPECT_EQ(view.display.rebuildScene, 0);
}

TEST_F(ViewCommandsTest, SelectionModesSaveAndRestoreTheMouseMode) {
    Open(OnePlate());
    view.SetPickTarget(2);
    Run(ID_ROTATE);
    view.display.solidFace = 0;
    view.SetPickState(2, "1");
    Run(ID_SELECT_ELEMENT);
    EXPECT_EQ(view.mouse.selectionMode, 2);
    EXPECT_EQ(view.mouse.mouseMode, -1);
    EXPECT_EQ(view.display.solidFace, 1);
    EXPECT_EQ(view.CurrentSetText(), "0");
    EXPECT_TRUE(Update(ID_SELECT_ELEMENT).Checked());
    Run(ID_SELECT_ELEMENT);
    EXPECT_EQ(view.mouse.selectionMode, 0);
    EXPECT_EQ(view.mouse.mouseMode, 1);
    EXPECT_EQ(view.display.solidFace, 1);

    // Node selection shows the node points.
    view.SetPickTarget(1);
    view.display.nodeLabels = 2;
    Run(ID_SELECT_NODE);
    EXPECT_EQ(view.display.nodeLabels, 3);
    // A Transform mode ends it.
    Run(ID_ZOOM_WINDOW);
    EXPECT_EQ(view.mouse.selectionMode, 0);
    EXPECT_EQ(view.mouse.mouseMode, 3);
    EXPECT_EQ(view.mouse.rubberBand, 1);
    EXPECT_TRUE(Update(ID_ZOOM_WINDOW).Checked());
    EXPECT_FALSE(Update(ID_ROTATE).Checked());
}

// ---------------------------------------------------------------------------
// Element type and integration

TEST_F(ViewCommandsTest, ElementTypeOnlyBeforeElementsExist) {
    Open(OnePlate());
    Run(ID_ELEMENT_QUAD8);
    EXPECT_EQ(doc.GetModelData()->GetElementTable()->GetNodesPerElement(), 4);
    EXPECT_FALSE(doc.IsModified());

    Open(NodesOnly());
    ElementTable& table = *doc.GetModelData()->GetElementTable();
    table.SetIntegrationOrder1(1);
    table.SetIntegrationOrder2(1);
    Run(ID_ELEMENT_LAGRANGE9);
    EXPECT_EQ(table.GetNodesPerElement(), 9);
    EXPECT_EQ(table.GetIntegrationOrder1(), 3);
    EXPECT_EQ(table.GetIntegrationOrder2(), 3);
    EXPECT_TRUE(doc.IsModified());
    // Still no elements: another type may be chosen, 3 x 3 becomes 2 x 2.
    Run(ID_ELEMENT_LINEAR4);
    EXPECT_EQ(table.GetNodesPerElement(), 4);
    EXPECT_EQ(table.GetIntegrationOrder1(), 2);
    EXPECT_EQ(table.GetIntegrationOrder2(), 2);
}

TEST_F(ViewCommandsTest, IntegrationSetsBothOrdersAndMarksModified) {
    Open(OnePlate());
    ElementTable& table = *doc.GetModelData()->GetElementTable();
    const struct {
        int id, first, second;
    } rules[] = {{ID_INTEGRATION_1, 2, 1}, {ID_INTEGRATION_3, 3, 3}, {ID_INTEGRATION_2, 2, 2}};
    for (const auto& r : rules) {
        doc.SetModifiedFlag(false);
        Run(r.id);
        EXPECT_EQ(table.GetIntegrationOrder1(), r.first) << r.id;
        EXPECT_EQ(table.GetIntegrationOrder2(), r.second) << r.id;
        EXPECT_TRUE(doc.IsModified()) << r.id;
    }
    // The same choice again changes nothing.
    doc.SetModifiedFlag(false);
    Run(ID_INTEGRATION_2);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ViewCommandsTest, ChangeElementTypeAsksFirst) {
    Open(OnePlate(), true);
    ASSERT_TRUE(doc.HasResults());
    const struct {
        int id;
        const char* name;
    } changes[] = {{ID_EDIT_TO_QUAD8, "Quadratic 8 noded"}, {ID_EDIT_TO_LAGRANGE9, "Lagrangian 9 noded"}};
    for (const auto& c : changes) {
        driver.ExpectMessageBox(ui::IDNO, std::string("Current Element Type will be change to ") + c.name +
                                              ". Please check check model for consistency afterwards. Are you sure "
                                              "to change the element type?");
        Run(c.id);
    }
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), 4);
    EXPECT_TRUE(doc.HasResults());
    EXPECT_FALSE(doc.IsModified());

    view.display.contourColumn = 3;
    view.AddPickedItem(1, "2");
    driver.ExpectMessageBox(ui::IDYES, "Quadratic 8 noded");
    Run(ID_EDIT_TO_QUAD8);
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), 8);
    EXPECT_EQ(doc.GetModelData()->GetElementTable()->GetNodesPerElement(), 8);
    // The results belonged to the old numbering.
    EXPECT_FALSE(doc.HasResults());
    EXPECT_EQ(view.display.contourColumn, 0);
    EXPECT_TRUE(view.PickedItems().empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.display.nodeLabels, 1);
    EXPECT_TRUE(fs::exists(dir.File("m.sds")));
}

TEST_F(ViewCommandsTest, RefineAsksAndSplitsAFreeModel) {
    Open(OnePlate());
    Run(ID_EDIT_REFINE_MESH);
    ASSERT_NE(view.RefineDialog(), nullptr);
    EXPECT_TRUE(view.RefineDialog()->IsWindowVisible());
    driver.ExpectMessageBox(ui::IDNO,
                            "Current Finite Element Mesh will be refined. Please check model for "
                            "consistency afterwards. Are you sure to refine the mesh?");
    view.RefineMesh(2, 2, 1.0);
    EXPECT_EQ(doc.GetModelData()->GetElementCount(), 1);
    EXPECT_TRUE(view.RefineDialog()->IsWindowVisible());

    driver.ExpectMessageBox(ui::IDYES, "refined");
    view.RefineMesh(2, 3, 1.0);
    EXPECT_EQ(doc.GetModelData()->GetElementCount(), 6);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(view.RefineDialog()->IsWindowVisible());
    // A second command makes a new dialog.
    Run(ID_EDIT_REFINE_MESH);
    EXPECT_TRUE(view.RefineDialog()->IsWindowVisible());
}

// ---------------------------------------------------------------------------
// Input dialogs of the view

TEST_F(ViewCommandsTest, NewMaterialRefusesATakenName) {
    Open(OnePlate());
    driver.ExpectModal([](ui::Dialog& d) {
        auto& m = dynamic_cast<DlgMaterialProps&>(d);
        EXPECT_EQ(m.GetDlgItem(DlgMaterialProps::IDC_NAME)->GetWindowText(), "NUEVO_MAT");
        m.UserType(DlgMaterialProps::IDC_NAME, "ALL");
        m.UserType(DlgMaterialProps::IDC_YOUNG, "3000");
        m.UserClick(ui::IDOK);
    });
    driver.ExpectModal([](ui::Dialog& d) {
        // The user's entries come back.
        EXPECT_EQ(d.GetDlgItem(DlgMaterialProps::IDC_NAME)->GetWindowText(), "ALL");
        d.UserType(DlgMaterialProps::IDC_NAME, "SLAB");
        d.UserClick(ui::IDOK);
    });
    Run(ID_NEW_MATERIAL);
    bool refused = false;
    for (const auto& box : driver.MessageBoxes()) refused |= box.text == "Element Set already defined";
    EXPECT_TRUE(refused);
    const MaterialTable& table = *doc.GetModelData()->GetMaterialTable();
    ASSERT_EQ(table.GetCount(), 2);
    bool slabDefined = false;
    for (const MaterialRow* row = table.GetHead(); row; row = row->next) slabDefined |= row->element == "SLAB";
    EXPECT_TRUE(slabDefined);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ViewCommandsTest, NodalActionDialogForcesItsFlagUntilItCloses) {
    InstallDialogs();
    Open(OnePlate());
    Run(ID_NODAL_CONSTRAINTS);
    EXPECT_EQ(view.display.displayFlags[kShowConstraints], 1);
    EXPECT_EQ(view.actions.nodalOpen, 1);
    EXPECT_EQ(view.mouse.acceptedPickKind, 1);
    view.display.nodeLabels = 3;
    doc.OnNodalActionsDialogClosed();
    EXPECT_EQ(view.display.displayFlags[kShowConstraints], 0);
    EXPECT_EQ(view.actions.nodalOpen, 0);
    EXPECT_EQ(view.display.nodeLabels, 0);
    EXPECT_EQ(view.mouse.acceptedPickKind, 0);

    // Edge stiffness restores its own flag.
    view.display.displayFlags[kShowEdgeStiffness] = 1;
    Run(ID_EDGE_STIFFNESS);
    EXPECT_EQ(view.actions.edgeOpen, 1);
    view.display.displayFlags[kShowEdgeStiffness] = 0;
    doc.OnEdgeActionsDialogClosed();
    EXPECT_EQ(view.display.displayFlags[kShowEdgeStiffness], 1);
    EXPECT_EQ(view.actions.edgeOpen, 0);
}

// ---------------------------------------------------------------------------
// Save As, editor and help

TEST_F(ViewCommandsTest, SaveAsDropsResultsAndRestartsTheView) {
    Open(OnePlate(), true);
    ASSERT_TRUE(doc.HasResults());
    view.display.contourColumn = 2;
    view.display.showDeformed = 1;
    view.display.rotationX = 30.0f;
    view.AddPickedItem(2, "1");
    driver.ExpectFileDialog(std::nullopt);
    Run(ui::cmd::FileSaveAs);
    EXPECT_TRUE(doc.HasResults());
    EXPECT_EQ(view.display.contourColumn, 2);

    driver.ExpectFileDialog(dir.File("copy.slb"));
    Run(ui::cmd::FileSaveAs);
    EXPECT_TRUE(fs::exists(dir.File("copy.slb")));
    EXPECT_FALSE(doc.HasResults());
    EXPECT_FALSE(doc.GetModelData()->HasResults());
    EXPECT_EQ(view.display.contourColumn, 0);
    EXPECT_EQ(view.display.showDeformed, 0);
    EXPECT_EQ(view.display.rotationX, 0.0f);
    EXPECT_TRUE(view.PickedItems().empty());
    EXPECT_TRUE(fs::exists(dir.File("m.sds")));
}

// The results go with Save As and with every mesh change: so do the windows
// that show them, the contour variable, Refine Mesh, the node picking and
// the compiled picture.
TEST_F(ViewCommandsTest, SaveAsAndMeshChangesCloseTheResultWindows) {
    const auto shownResultWindows = [this] {
        int shown = 0;
        for (ui::Window* w : driver.LiveWindows()) {
            auto* d = dynamic_cast<ui::Dialog*>(w);
            if (d && d->IsShown() &&
                (dynamic_cast<DlgContourLimits*>(d) || dynamic_cast<DlgDefFactor*>(d) ||
                 dynamic_cast<DlgNodeResults*>(d) || dynamic_cast<DlgResultValues*>(d)))
                ++shown;
        }
        return shown;
    };
    const struct {
        const char* name;
        std::function<void(Bench&)> change;
        int labelsAfter;
    } changes[] = {
        {"Save As",
         [this](Bench& t) {
             driver.ExpectFileDialog(t.dir.File("copy.slb"));
             t.Run(ui::cmd::FileSaveAs);
         },
         2},
        {"refine",
         [this](Bench& t) {
             driver.ExpectMessageBox(ui::IDYES, "refined");
             t.view.RefineMesh(2, 2, 1.0);
         },
         2},
        {"element type",
         [this](Bench& t) {
             driver.ExpectMessageBox(ui::IDYES, "Quadratic 8 noded");
             t.Run(ID_EDIT_TO_QUAD8);
         },
         1},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        Bench t;
        t.Open(OnePlate(), true);
        t.view.display.nodeLabels = 2;
        for (int id : {ID_CONTOUR_PLOT, ID_DEFORMED_MESH, ID_NODE_RESULTS, ID_EDIT_REFINE_MESH}) t.Run(id);
        t.view.ShowResultValues(2);
        DlgContourLimits* contour = nullptr;
        for (ui::Window* w : driver.LiveWindows())
            if (auto* d = dynamic_cast<DlgContourLimits*>(w)) contour = d;
        ASSERT_NE(contour, nullptr);
        contour->UserClick(DlgContourLimits::IDC_SHOW_CONTOUR);
        ASSERT_EQ(shownResultWindows(), 4);
        ASSERT_NE(t.view.display.contourColumn, 0);
        EXPECT_TRUE(t.Update(ID_SELECT_NODE).Enabled());
        t.view.display.rebuildScene = 0;  // the compiled picture is kept, as after a pan

        c.change(t);
        EXPECT_FALSE(t.doc.HasResults());
        EXPECT_EQ(shownResultWindows(), 0);
        EXPECT_FALSE(t.view.RefineDialog()->IsWindowVisible());
        EXPECT_EQ(t.view.GetContourSettings().index, 0);
        EXPECT_EQ(t.view.display.contourColumn, 0);
        EXPECT_EQ(t.view.mouse.nodeResultsPick, 0);
        EXPECT_FALSE(t.Update(ID_SELECT_NODE).Enabled());
        EXPECT_EQ(t.view.display.nodeLabels, c.labelsAfter);
        EXPECT_EQ(t.view.display.rebuildScene, 1);
    }
}

// While "Section Cut" is open the picture shows the working cut lines, the
// line of the focused row red (thick) and the others blue; closing the
// dialog takes them away.
TEST_F(ViewCommandsTest, TheSectionCutDialogShowsItsLinesTheCurrentOneRed) {
    RegisterProgramDialogs();
    doc.Factories().sectionCut = InputDialogFactories().sectionCut;
    InputDialogFactories() = DocDialogFactories{};
    std::string text = OnePlate();
    // Line 1 runs across the plate at z = 0.5.
    text.insert(text.rfind("END_DATA"), "CUTLINE_DATA\n*\t1\t2\n*\t1\t-0.5\t0.5\t1.5\t0.5\nEND_CUTLINE_DATA\n");
    Open(text);
    ASSERT_EQ(view.OnCreate(), 0);
    view.OnSize(400, 400);
    const auto paint = [this] {
        ui::RecordingPainter painter({view.Width(), view.Height()});
        view.OnDraw(painter);
        return view.Picture();
    };
    paint();
    view.display.solidFace = 0;  // the lines over a wire mesh
    // The colour of line 1 at y = 0.25: 'r' red, 'b' blue, '-' neither.
    const auto lineOneColour = [&] {
        const brennix::gl::DibImage image = paint();
        const int x = static_cast<int>(view.Width() / 2.0 + view.display.symbolScale * (0.25 - 0.5));
        char seen = '-';
        for (int y = view.Height() / 2 - 3; y <= view.Height() / 2 + 3; ++y) {
            unsigned char px[3];
            image.PixelAt(x, y, px);
            if (px[0] > 100 && px[0] > 2 * px[1] && px[0] > 2 * px[2]) return 'r';
            if (px[2] > 100 && px[2] > 2 * px[0] && px[2] > 2 * px[1]) seen = 'b';
        }
        return seen;
    };
    EXPECT_EQ(lineOneColour(), '-');

    Run(ID_SECTION_CUT);
    auto* cut = dynamic_cast<CDlgSectionCut*>(doc.SlotDialog(CKorbelDoc::SectionCutSlot));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(view.BuildDisplayOptions().showCutLines, 1);
    EXPECT_EQ(lineOneColour(), 'r');
    // Add Cut Line makes the new line current.
    cut->UserClick(CDlgSectionCut::IDC_ADD_CUT_LINE);
    EXPECT_EQ(lineOneColour(), 'b');
    // Focus back in row 1, with the compiled picture kept as after a pan.
    view.display.rebuildScene = 0;
    cut->UserFocus(CDlgSectionCut::CellId(1, 1));
    EXPECT_EQ(lineOneColour(), 'r');

    cut->UserClick(ui::IDCANCEL);
    EXPECT_EQ(view.BuildDisplayOptions().showCutLines, 0);
    EXPECT_EQ(lineOneColour(), '-');
}

TEST_F(ViewCommandsTest, EditorOpensEachFileAsOneArgument) {
    const std::string folder = dir.File("with blanks");
    fs::create_directory(folder);
    WriteAll(folder + "/my model.slb", OnePlate());
    ASSERT_TRUE(doc.OnOpenDocument(folder + "/my model.slb"));
    doc.SetPathName(folder + "/my model.slb", false);
    WriteAll(folder + "/my model.sou", "listing");
    WriteAll(folder + "/my model.sms", "messages");
    const struct {
        int id;
        const char* file;
    } files[] = {{ID_VIEW_INPUT_FILE, "/my model.slb"},
                 {ID_VIEW_OUTPUT_FILE, "/my model.sou"},
                 {ID_VIEW_MESSAGE_FILE, "/my model.sms"}};
    for (const auto& f : files) {
        ASSERT_TRUE(Update(f.id).Enabled()) << f.id;
        const std::size_t before = driver.Launched().size();
        Run(f.id);
        ASSERT_EQ(driver.Launched().size(), before + 1) << f.id;
        EXPECT_EQ(driver.Launched().back().back(), folder + f.file);
    }
}

TEST_F(ViewCommandsTest, AnEditorThatCannotStartIsNamedWithWhereToSetIt) {
    Open(OnePlate());
    WriteAll(dir.File("m.sou"), "listing");
    WriteAll(dir.File("m.sms"), "messages");
    driver.FailLaunches(true);
    for (const auto& [id, file] : {std::pair{ID_VIEW_INPUT_FILE, "m.slb"}, std::pair{ID_VIEW_OUTPUT_FILE, "m.sou"},
                                   std::pair{ID_VIEW_MESSAGE_FILE, "m.sms"}}) {
        driver.ClearLogs();
        Run(id);
        ASSERT_EQ(driver.MessageBoxes().size(), 1u) << file;
        const ui::Headless::MessageBoxRecord& box = driver.MessageBoxes()[0];
        EXPECT_NE(box.text.find("\"xdg-open\""), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(dir.File(file)), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("TextEditor"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find(".config/Brennix/settings"), std::string::npos) << box.text;
        EXPECT_EQ(box.icon, ui::Icon::Exclamation);
    }
}

TEST_F(ViewCommandsTest, HelpOpensTheProgramFolderFilesAfterTheDirectoryMoved) {
    Open(OnePlate());
    const std::string home = ui::CurrentDirectory();
    ASSERT_TRUE(ui::SetCurrentDirectory(dir.Path()));
    const struct {
        int id;
        const char* file;
    } helps[] = {{ui::cmd::HelpFinder, "Brennix_Help.chm"},
                 {ID_USERS_MANUAL, "Brennix2025UsersManual.pdf"},
                 {ID_TECHNICAL_MANUAL, "Brennix2025TechnicalManual.pdf"}};
    for (const auto& h : helps) {
        Run(h.id);
        ASSERT_FALSE(driver.Launched().empty());
        EXPECT_EQ(driver.Launched().back().back(), ui::ProgramFolder() + h.file);
    }
    ui::SetCurrentDirectory(home);
    EXPECT_NE(ui::ProgramFolder(), dir.Path() + "/");
}

}  // namespace
