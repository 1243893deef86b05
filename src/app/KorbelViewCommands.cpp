// The view's commands of an open model: the message map over the command
// table, the update rules, and the handlers' own work on the display state.
#include <cstdio>

#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/run/AnalysisRun.h"
#include "dialogs/InputDialogOpeners.h"
#include "meshtools/ElementOrder.h"
#include "meshtools/ui/DlgRefine.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

using namespace korbel;
using ui::CmdUI;

namespace {

int RowsOf(const InputTable<NodalRow>* t) { return t ? t->GetCount() : 0; }
int RowsOf(const InputTable<ConcentratedRow>* t) { return t ? t->GetCount() : 0; }
int RowsOf(const InputTable<EdgeRow>* t) { return t ? t->GetCount() : 0; }
int RowsOf(const InputTable<SetRow>* t) { return t ? t->GetCount() : 0; }

int ElementTypeOf(const ModelData* m) {
    const ElementTable* t = m ? m->GetElementTable() : nullptr;
    return t ? t->GetNodesPerElement() : 0;
}

// The display flag a nodal-action dialog of kind 1..5 forces on.
DisplayFlag NodalFlag(int kind) {
    static const DisplayFlag flags[] = {kShowConstraints, kShowNodalLoads, kShowNodalStiffness, kShowDistributedLoads,
                                        kShowDistributedStiffness};
    return flags[kind >= 1 && kind <= 5 ? kind - 1 : 0];
}

DisplayFlag EdgeFlag(int kind) { return kind == 2 ? kShowEdgeStiffness : kShowEdgeLoads; }

const char* ElementTypeName(int nodes) {
    return nodes == 4 ? "Linear 4 noded" : nodes == 8 ? "Quadratic 8 noded" : "Lagrangian 9 noded";
}

// What the update rules read of the view, its document and its model.
struct CommandState {
    const CKorbelView& view;
    ModelData* model() const { return view.GetModelData(); }
    CKorbelDoc* doc() const { return view.GetDocument(); }
    int nodes() const { return model() ? model()->GetNodeCount() : 0; }
    int elements() const { return model() ? model()->GetElementCount() : 0; }
    int soil() const { return model() ? model()->GetSoilModel() : 0; }
    // The document's dialogs; none without a document.
    const DocDialogFactories& factories() const {
        static const DocDialogFactories none;
        return doc() ? doc()->Factories() : none;
    }
    // A mesh to change, and no set dialog holding its numbers.
    bool meshEditable() const { return elements() > 0 && doc() && !doc()->SetsDialogOpen(); }
    // The nodes span more than one y.
    bool spread() const { return model() && model()->GetMaxY() != model()->GetMinY(); }
};

}  // namespace

// ---------------------------------------------------------------------------
// The message map

void CKorbelView::RegisterViewCommands() {
    RegisterFileAndEditCommands();
    RegisterSettingCommands();
    RegisterElementCommands();
    RegisterActionCommands();
    RegisterSetCommands();
    RegisterComputationCommands();
    RegisterTransformCommands();
    RegisterResultCommands();
    RegisterDisplayToggles();
    RegisterSelectionAndHelpCommands();
}

void CKorbelView::RegisterFileAndEditCommands() {
    const CommandState s{*this};
    // File.
    OnCommand(ui::cmd::FileSaveAs, [this] { OnFileSaveAs(); });
    OnCommand(ID_FILE_SAVE_BITMAP, [this] { ExportBitmap(); });

    // Edit.
    OnCommand(ID_EDIT_REFINE_MESH, [this] { OnRefineMeshCommand(); });
    OnUpdateUI(ID_EDIT_REFINE_MESH, [s](CmdUI& ui) { ui.Enable(s.meshEditable()); });
    const std::pair<int, int> changes[] = {{ID_EDIT_TO_LINEAR4, 4}, {ID_EDIT_TO_QUAD8, 8}, {ID_EDIT_TO_LAGRANGE9, 9}};
    for (auto [id, target] : changes) {
        OnCommand(id, [this, target] { OnChangeElementType(target); });
        OnUpdateUI(id, [this, s, target](CmdUI& ui) {
            ui.Enable(s.meshEditable() && ElementTypeOf(GetModelData()) != target);
        });
    }
}

void CKorbelView::RegisterComputationCommands() {
    const CommandState s{*this};
    // Computations.
    OnCommand(ID_RUN_ANALYSIS, [this] { OnRunAnalysis(); });
    OnUpdateUI(ID_RUN_ANALYSIS, [s](CmdUI& ui) { ui.Enable(s.model() != nullptr); });
    OnCommand(ID_VIEW_INPUT_FILE, [this] { OnViewFile(""); });
    OnUpdateUI(ID_VIEW_INPUT_FILE,
               [s](CmdUI& ui) { ui.Enable(s.model() && s.doc() && !s.doc()->GetPathName().empty()); });
    OnCommand(ID_VIEW_OUTPUT_FILE, [this] { OnViewFile(".sou"); });
    OnUpdateUI(ID_VIEW_OUTPUT_FILE, [s](CmdUI& ui) { ui.Enable(s.model() && s.doc() && s.doc()->HasOutputFile()); });
    OnCommand(ID_VIEW_MESSAGE_FILE, [this] { OnViewFile(".sms"); });
    OnUpdateUI(ID_VIEW_MESSAGE_FILE, [s](CmdUI& ui) {
        ui.Enable(s.model() && s.doc() && ui::FileExists(RunFileName(s.doc()->GetPathName(), ".sms")));
    });
}

void CKorbelView::RegisterTransformCommands() {
    // Transform.
    const std::pair<int, int> modes[] = {{ID_PANNING, 0}, {ID_ROTATE, 1}, {ID_ZOOM, 2}, {ID_ZOOM_WINDOW, 3}};
    for (auto [id, mode] : modes) {
        OnCommand(id, [this, mode] {
            mouse.mouseMode = mode;
            mouse.savedMouseMode = mode;
            mouse.selectionMode = 0;
            mouse.rubberBand = mode == 3 ? 1 : 0;
        });
        OnUpdateUI(id, [this, mode](CmdUI& ui) { ui.SetCheck(mouse.mouseMode == mode); });
    }
    OnCommand(ID_RESTART, [this] { OnRestart(); });
    const struct {
        int id;
        float x, y, z;
    } presets[] = {{ID_VIEW_TOP, 0, 0, 0},
                   {ID_VIEW_BOTTOM, 0, 180, 0},
                   {ID_VIEW_FRONT, 0, 90, 0},
                   {ID_VIEW_SIDE, -90, 0, 90},
                   {ID_VIEW_3D, 60, 45, -45}};
    for (const auto& p : presets) OnCommand(p.id, [this, p] { SetViewPreset(p.x, p.y, p.z); });
}

void CKorbelView::RegisterResultCommands() {
    const CommandState s{*this};
    // The rotation dialog, the step, deformed-shape, contour and node-result
    // windows and the font and colour dialog; the result windows need results.
    OnCommand(ID_ROTATION_ANGLES, [this] { OnTransformRotationAngles(); });
    OnCommand(ID_FONT_COLOR, [this] { OnOptionsFontAndColor(); });
    OnCommand(ID_SELECT_STEP, [this] { OnResultsSelectStep(); });
    OnCommand(ID_DEFORMED_MESH, [this] { OnResultsDeformedMesh(); });
    OnCommand(ID_CONTOUR_PLOT, [this] { OnResultsContourPlot(); });
    OnCommand(ID_NODE_RESULTS, [this] { OnResultsNodeResults(); });
    for (int id : {ID_SELECT_STEP, ID_DEFORMED_MESH, ID_CONTOUR_PLOT, ID_NODE_RESULTS})
        OnUpdateUI(id, [this, s, id](CmdUI& ui) {
            ui.Enable(s.doc() && s.doc()->HasResults());
            if (id == ID_DEFORMED_MESH) ui.SetCheck(display.showDeformed != 0);
            if (id == ID_CONTOUR_PLOT) ui.SetCheck(display.contourColumn != 0);
        });

    // Results.
    OnCommand(ID_XY_PLOT, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowXYPlotDialog(*this);
    });
    OnUpdateUI(ID_XY_PLOT,
               [s](CmdUI& ui) { ui.Enable(s.doc() && s.doc()->HasResults() && s.doc()->Factories().xyPlot); });
}

void CKorbelView::RegisterSelectionAndHelpCommands() {
    const CommandState s{*this};
    // Selection.
    const std::pair<int, int> selections[] = {{ID_SELECT_NODE, 1}, {ID_SELECT_ELEMENT, 2}, {ID_SELECT_EDGE, 3}};
    for (auto [id, kind] : selections) {
        OnCommand(id, [this, kind] { OnSelectionMode(kind); });
        OnUpdateUI(id, [this, s, kind](CmdUI& ui) {
            ui.Enable(s.model() && mouse.acceptedPickKind == kind);
            ui.SetCheck(mouse.selectionMode == kind);
        });
    }

    // Help.
    OnCommand(ui::cmd::HelpFinder, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowHelpTopics();
    });
    OnCommand(ID_USERS_MANUAL, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowUsersManual();
    });
    OnCommand(ID_TECHNICAL_MANUAL, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowTechnicalManual();
    });
}

void CKorbelView::RegisterDisplayToggles() {
    const CommandState s{*this};
    OnCommand(ID_MARK_NODES, [this] { OnMarkNodes(); });
    OnUpdateUI(ID_MARK_NODES, [this, s](CmdUI& ui) {
        ui.Enable(s.model() != nullptr);
        ui.SetCheck(display.nodeLabels == 1 || display.nodeLabels == 3);
    });
    OnCommand(ID_NODE_NUMBERS, [this] { OnNodeNumbers(); });
    OnUpdateUI(ID_NODE_NUMBERS, [this, s](CmdUI& ui) {
        ui.Enable(s.model() != nullptr);
        ui.SetCheck(display.nodeLabels == 2 || display.nodeLabels == 3);
    });
    OnCommand(ID_ELEMENT_NUMBERS, [this] { OnElementNumbers(); });
    OnUpdateUI(ID_ELEMENT_NUMBERS, [this, s](CmdUI& ui) {
        ui.Enable(s.model() != nullptr);
        ui.SetCheck(display.elementNumbers != 0);
    });

    using Rows = int (*)(const ModelData&);
    const struct {
        int id;
        int ViewDisplayState::*field;  // a plain flag, or null for a display flag
        int flag;
        Rows enabled;  // null: enabled with a model; the global axes always
    } toggles[] = {
        {ID_BOUNDARY_ONLY, &ViewDisplayState::boundaryOnly, 0, nullptr},
        {ID_LOCAL_AXES, &ViewDisplayState::localAxes, 0, nullptr},
        {ID_GLOBAL_AXES, &ViewDisplayState::globalAxes, 0, nullptr},
        {ID_SOLID_FACE, &ViewDisplayState::solidFace, 0, nullptr},
        {ID_SHOW_THICKNESS, &ViewDisplayState::showThickness, 0, nullptr},
        {ID_SHOW_NODAL_CONSTRAINT, nullptr, kShowConstraints,
         [](const ModelData& m) { return RowsOf(m.GetNodalActionTable(1)); }},
        {ID_SHOW_NODAL_LOADS, nullptr, kShowNodalLoads,
         [](const ModelData& m) { return RowsOf(m.GetNodalActionTable(2)); }},
        {ID_SHOW_NODAL_STIFFNESS, nullptr, kShowNodalStiffness,
         [](const ModelData& m) { return RowsOf(m.GetNodalActionTable(3)); }},
        {ID_SHOW_NODAL_NONLINEAR, nullptr, kShowNonlinearNodalStiffness,
         [](const ModelData& m) { return m.FirstNonlinearAction() ? 1 : 0; }},
        {ID_SHOW_CONCENTRATED_LOADS, nullptr, kShowConcentratedLoads,
         [](const ModelData& m) { return RowsOf(m.GetConcentratedActionTable(1)); }},
        {ID_SHOW_EQUIVALENT_LOADS, nullptr, kShowEquivalentLoads,
         [](const ModelData& m) { return m.ring1Points > 0 && m.GetRing1Radius() != 0.0 ? 1 : 0; }},
        {ID_SHOW_CONCENTRATED_STIFFNESS, nullptr, kShowConcentratedStiffness,
         [](const ModelData& m) { return RowsOf(m.GetConcentratedActionTable(2)); }},
        {ID_SHOW_TOTAL_STIFFNESS, nullptr, kShowTotalConcentratedStiffness,
         [](const ModelData& m) { return RowsOf(m.GetTotalConcentratedTable(1)); }},
        {ID_SHOW_DISTRIBUTED_LOADS, nullptr, kShowDistributedLoads,
         [](const ModelData& m) { return RowsOf(m.GetNodalActionTable(4)); }},
        {ID_SHOW_DISTRIBUTED_STIFFNESS, nullptr, kShowDistributedStiffness,
         [](const ModelData& m) { return RowsOf(m.GetNodalActionTable(5)); }},
        {ID_SHOW_EDGE_LOADS, nullptr, kShowEdgeLoads,
         [](const ModelData& m) { return RowsOf(m.GetEdgeActionTable(1)); }},
        {ID_SHOW_EDGE_STIFFNESS, nullptr, kShowEdgeStiffness,
         [](const ModelData& m) { return RowsOf(m.GetEdgeActionTable(2)); }},
    };
    for (const auto& t : toggles) {
        auto flag = [this, t]() -> int& { return t.field ? display.*t.field : display.displayFlags[t.flag]; };
        OnCommand(t.id, [this, flag] { ToggleDisplayFlag(flag()); });
        const bool always = t.id == ID_GLOBAL_AXES;
        OnUpdateUI(t.id, [this, flag, always, enabled = t.enabled](CmdUI& ui) {
            const ModelData* m = GetModelData();
            ui.Enable(always || (m && (!enabled || enabled(*m) > 0)));
            ui.SetCheck(flag() != 0);
        });
    }
}

// Input Data: title, materials, nodes, time stepping, soil and springs.
void CKorbelView::RegisterSettingCommands() {
    const CommandState s{*this};

    OnCommand(ID_INPUT_TITLE, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowTitleDialog(*this);
    });
    OnUpdateUI(ID_INPUT_TITLE, [s](CmdUI& ui) { ui.Enable(s.factories().title != nullptr); });
    OnCommand(ID_INPUT_MATERIAL, [this] { OnMaterialProperties(); });
    OnUpdateUI(ID_INPUT_MATERIAL, [s](CmdUI& ui) { ui.Enable(s.factories().materialData != nullptr); });
    OnCommand(ID_NEW_MATERIAL, [this] { OnNewMaterial(); });
    OnCommand(ID_INPUT_NODES, [this] { OnNodeCoordinates(); });
    OnUpdateUI(ID_INPUT_NODES, [s](CmdUI& ui) { ui.Enable(s.factories().nodeData != nullptr); });
    OnCommand(ID_INPUT_TIME_STEPPING, [this] { OnTimeStepping(); });
    OnUpdateUI(ID_INPUT_TIME_STEPPING, [s](CmdUI& ui) { ui.Enable(s.model() != nullptr); });
    OnCommand(ID_INPUT_SOIL, [this] { OnSoilStiffness(); });
    OnUpdateUI(ID_INPUT_SOIL, [s](CmdUI& ui) {
        ui.Enable(s.model() != nullptr);
        ui.SetCheck(s.soil() == 1 || s.soil() == 2);
    });
    OnCommand(ID_INPUT_NONLINEAR_SPRING, [this] { OnNonlinearSpring(); });
    OnUpdateUI(ID_INPUT_NONLINEAR_SPRING, [this, s](CmdUI& ui) {
        ui.Enable(s.nodes() > 0 && !actions.nodalOpen && s.factories().nonlinearSpring);
        ui.SetCheck(s.model() && s.model()->FirstNonlinearAction());
    });
}

void CKorbelView::RegisterElementCommands() {
    const CommandState s{*this};
    // Element type and integration.
    const std::pair<int, int> types[] = {{ID_ELEMENT_LINEAR4, 4}, {ID_ELEMENT_QUAD8, 8}, {ID_ELEMENT_LAGRANGE9, 9}};
    for (auto [id, n] : types) {
        OnCommand(id, [this, n] { OnElementType(n); });
        OnUpdateUI(id, [s, n](CmdUI& ui) {
            const int type = ElementTypeOf(s.model());
            ui.Enable(s.model() && !(type != 0 && type != n && s.elements() > 0));
            ui.SetCheck(type == n);
        });
    }
    OnCommand(ID_INPUT_CONNECTIVITY, [this] { OnElementConnectivity(); });
    OnUpdateUI(ID_INPUT_CONNECTIVITY, [s](CmdUI& ui) {
        const ModelData* m = s.model();
        const int type = ElementTypeOf(m);
        const bool materials = m && m->GetMaterialTable() && m->GetMaterialTable()->GetCount() > 0;
        ui.Enable(materials && type > 0 && s.nodes() >= type && s.factories().elementConnectivity);
    });
    const struct { int id, points; } rules[] = {{ID_INTEGRATION_1, 1}, {ID_INTEGRATION_2, 2}, {ID_INTEGRATION_3, 3}};
    for (const auto& r : rules) {
        OnCommand(r.id, [this, points = r.points] { OnIntegration(points); });
        OnUpdateUI(r.id, [s, points = r.points](CmdUI& ui) {
            const ModelData* m = s.model();
            const int type = ElementTypeOf(m);
            if (type == 0) {
                ui.Enable(false);
                ui.SetCheck(false);
                return;
            }
            ui.SetCheck(m->GetElementTable()->GetIntegrationOrder2() == points);
            if (points == 1) {
                ui.Enable(type == 4);
                ui.SetText("&1 x 1 (reduced)");
            } else if (points == 2) {
                ui.Enable(type == 4 || type == 8);
                ui.SetText(type == 4 ? "&2 x 2 (normal)" : "&2 x 2 (reduced)");
            } else {
                ui.Enable(type == 8 || type == 9);
                ui.SetText("&3 x 3 (normal)");
            }
        });
    }
}

void CKorbelView::RegisterActionCommands() {
    const CommandState s{*this};
    // Nodal and edge actions.
    const struct {
        int id, kind;
    } nodal[] = {{ID_NODAL_CONSTRAINTS, 1},
                 {ID_NODAL_LOADS, 2},
                 {ID_NODAL_CONSTANT_STIFFNESS, 3},
                 {ID_DISTRIBUTED_LOADS, 4},
                 {ID_DISTRIBUTED_STIFFNESS, 5}};
    for (const auto& a : nodal) {
        OnCommand(a.id, [this, kind = a.kind] { OpenNodalActions(kind); });
        OnUpdateUI(a.id, [this, s, kind = a.kind](CmdUI& ui) {
            const int items = kind <= 3 ? s.nodes() : s.elements();
            ui.Enable(items > 0 && !actions.nodalOpen && (kind != 5 || s.soil() == 0) && s.factories().nodalActions);
            ui.SetCheck(s.model() && RowsOf(s.model()->GetNodalActionTable(kind)) > 0);
        });
    }
    OnCommand(ID_NODAL_NONLINEAR_SPRING, [this] { OnNodalNonlinearSpring(); });
    OnUpdateUI(ID_NODAL_NONLINEAR_SPRING, [this, s](CmdUI& ui) {
        ui.Enable(s.nodes() > 0 && !actions.nodalOpen && s.factories().nodalNonlinear);
    });
    const struct { int id, kind; } edges[] = {{ID_EDGE_LOADS, 1}, {ID_EDGE_STIFFNESS, 2}};
    for (const auto& a : edges) {
        OnCommand(a.id, [this, kind = a.kind] { OpenEdgeActions(kind); });
        OnUpdateUI(a.id, [this, s, kind = a.kind](CmdUI& ui) {
            ui.Enable(s.elements() > 0 && !actions.edgeOpen && (kind != 2 || s.soil() == 0) &&
                      s.factories().edgeActions);
            ui.SetCheck(s.model() && RowsOf(s.model()->GetEdgeActionTable(kind)) > 0);
        });
    }

    // Concentrated and equivalent loads.
    const struct { int id, kind; } concentrated[] = {{ID_CONCENTRATED_LOADS, 1}, {ID_CONCENTRATED_STIFFNESS, 2}};
    for (const auto& c : concentrated) {
        OnCommand(c.id, [this, kind = c.kind] { OnConcentratedActions(kind); });
        OnUpdateUI(c.id, [s, kind = c.kind](CmdUI& ui) {
            ui.Enable(s.nodes() > 0 && (kind != 2 || s.soil() == 0) && s.factories().concentratedActions);
            ui.SetCheck(s.model() && RowsOf(s.model()->GetConcentratedActionTable(kind)) > 0);
        });
    }
    OnCommand(ID_EQUIVALENT_LOADS, [this] { OnEquivalentLoads(); });
    OnUpdateUI(ID_EQUIVALENT_LOADS, [s](CmdUI& ui) {
        ui.Enable(s.nodes() > 0 && s.factories().equivalentLoads);
        ui.SetCheck(s.model() && s.model()->ring1Points > 0 && s.model()->GetRing1Radius() > 0.0);
    });
}

void CKorbelView::RegisterSetCommands() {
    const CommandState s{*this};
    // Sets, section cut and node path.
    const struct { int id, kind; } sets[] = {{ID_NODE_SETS, 1}, {ID_ELEMENT_SETS, 2}, {ID_EDGE_SETS, 3}};
    for (const auto& set : sets) {
        OnCommand(set.id, [this, kind = set.kind] { OnSetsCommand(kind); });
        OnUpdateUI(set.id, [this, s, kind = set.kind](CmdUI& ui) {
            const CKorbelDoc* d = GetDocument();
            const int items = kind == 1 ? s.nodes() : s.elements();
            ui.Enable(items > 0 && d && !d->SetsDialogOpen() && s.factories().sets);
            ui.SetCheck(s.model() && RowsOf(s.model()->GetSetTable(kind)) > 0);
        });
    }
    OnCommand(ID_SECTION_CUT, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowSectionCutDialog(*this);
    });
    OnUpdateUI(ID_SECTION_CUT, [s](CmdUI& ui) { ui.Enable(s.spread() && s.factories().sectionCut); });
    OnCommand(ID_NODE_PATH, [this] {
        if (CKorbelDoc* d = GetDocument()) d->ShowNodePathDialog(*this);
    });
    OnUpdateUI(ID_NODE_PATH, [s](CmdUI& ui) { ui.Enable(s.spread() && s.factories().nodePath); });
}

// ---------------------------------------------------------------------------
// File

void CKorbelView::OnFileSaveAs() {
    CKorbelDoc* doc = GetDocument();
    if (!doc || !doc->DoSave("")) return;
    if (ModelData* model = doc->GetModelData()) model->ResetResultsState();
    doc->UpdateResultsFlag();
    DropResultDisplay();
    OnRestart();
    // The compiled picture still holds the old results.
    display.rebuildScene = 1;
}

void CKorbelView::DropResultDisplay() {
    CloseAllResultWindows();
    HideRefineDialog();
    ClearPickedItems();
    display.step = 1;
    contourGroup_ = 0;
    contourIndex_ = 0;
    display.contourColumn = 0;
    display.showDeformed = 0;
}

void CKorbelView::OnViewFile(const std::string& extension) {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    const std::string path = doc->GetPathName();
    doc->OpenTextFile(extension.empty() ? path : RunFileName(path, extension));
}

// ---------------------------------------------------------------------------
// Transform and display options

void CKorbelView::OnRestart() {
    display.rotationX = display.rotationY = display.rotationZ = 0.0f;
    display.panX = display.panY = display.panZ = 0.0f;
    display.userZoom = 1.0f;
    display.rebuildScene = 0;
    Invalidate(false);
}

void CKorbelView::SetViewPreset(float x, float y, float z) {
    display.rotationX = x;
    display.rotationY = y;
    display.rotationZ = z;
    display.rebuildScene = 0;
    Invalidate(false);
}

void CKorbelView::ToggleDisplayFlag(int& flag) {
    flag = flag ? 0 : 1;
    Invalidate(false);
}

void CKorbelView::OnMarkNodes() {
    static const int next[] = {1, 0, 3, 2};
    display.nodeLabels = next[display.nodeLabels & 3];
    Invalidate(false);
}

void CKorbelView::OnNodeNumbers() {
    static const int next[] = {2, 3, 0, 1};
    display.nodeLabels = next[display.nodeLabels & 3];
    Invalidate(false);
}

void CKorbelView::OnElementNumbers() {
    // Only the plain switch: any other value stays.
    if (display.elementNumbers == 0 || display.elementNumbers == 1) ToggleDisplayFlag(display.elementNumbers);
}

void CKorbelView::OnSelectionMode(int kind) {
    if (mouse.selectionMode == kind) {
        mouse.selectionMode = 0;
        mouse.mouseMode = mouse.savedMouseMode;
    } else {
        mouse.selectionMode = kind;
        mouse.savedMouseMode = mouse.mouseMode;
        mouse.mouseMode = -1;
        if (kind == 2 && display.solidFace == 0) display.solidFace = 1;
        if (kind == 1 && (display.nodeLabels == 0 || display.nodeLabels == 2)) ++display.nodeLabels;
    }
    SetPickState(CurrentSetKind(), "0");
    Invalidate(false);
}

// ---------------------------------------------------------------------------
// Element type and integration

void CKorbelView::OnElementType(int nodes) {
    ModelData* model = GetModelData();
    ElementTable* table = model ? model->GetElementTable() : nullptr;
    if (!table) return;
    const int type = table->GetNodesPerElement();
    if (type == nodes || (type != 0 && table->GetCount() > 0)) return;
    table->SetNodesPerElement(nodes);
    int first = table->GetIntegrationOrder1(), second = table->GetIntegrationOrder2();
    if (nodes == 4) {
        if (first == 3) first = 2;
        if (second == 3) second = 2;
    } else if (nodes == 8) {
        if (first == 1) first = 2;
    } else {
        if (first < 2) first = 3;
        if (second < 2) second = 3;
    }
    table->SetIntegrationOrder1(first);
    table->SetIntegrationOrder2(second);
    // The choice is part of the model: closing must not drop it unasked.
    model->SetChanged();
    if (CKorbelDoc* doc = GetDocument()) doc->SetModifiedFlag(true);
}

void CKorbelView::OnIntegration(int points) {
    ModelData* model = GetModelData();
    ElementTable* table = model ? model->GetElementTable() : nullptr;
    if (!table || table->GetIntegrationOrder2() == points) return;
    table->SetIntegrationOrder1(points == 3 ? 3 : 2);
    table->SetIntegrationOrder2(points);
    model->SetChanged();
    if (CKorbelDoc* doc = GetDocument()) doc->SetModifiedFlag(true);
}

void CKorbelView::OnChangeElementType(int nodes) {
    ModelData* model = GetModelData();
    if (!model) return;
    const std::string question = std::string("Current Element Type will be change to ") + ElementTypeName(nodes) +
                                 ". Please check check model for consistency afterwards. Are you sure to change "
                                 "the element type?";
    if (ui::MessageBox(question, ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES) return;
    const int kind = model->GetTemplateKind();
    if (kind == 0) {
        const std::string fault = ConvertElementOrder(*model, nodes);
        if (!fault.empty()) {
            ui::MessageBox(fault, ui::Buttons::Ok, ui::Icon::Exclamation);
            return;
        }
        RebuildScene();
        ClearPickedItems();
        AfterMeshChange();
    } else if (kind == 1 || kind == 2) {
        RemeshAfterElementChange(kind,
                                 nodes == 4   ? 0
                                 : nodes == 8 ? 1
                                              : 2,
                                 model->templateIntegration, model->typicalElementSize);
    }
    display.nodeLabels = 1;
    Invalidate(false);
}

// ---------------------------------------------------------------------------
// Input dialogs

void CKorbelView::OnMaterialProperties() {
    if (CKorbelDoc* doc = GetDocument()) doc->ShowMaterialDataDialog(*this);
    Invalidate(false);
}

void CKorbelView::OnNewMaterial() {
    CKorbelDoc* doc = GetDocument();
    if (doc && inputdialogs::RunNewMaterialDialog(*doc)) Invalidate(false);
}

void CKorbelView::OnNodeCoordinates() {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    const int labels = display.nodeLabels;
    if (labels == 0) {
        display.nodeLabels = 1;
        RebuildScene();
        Invalidate(false);
    }
    doc->ShowNodeDataDialog(*this);
    ClearPickedItems();
    display.nodeLabels = labels;
    if (labels == 0) {
        RebuildScene();
        Invalidate(false);
    }
}

void CKorbelView::OnElementConnectivity() {
    if (CKorbelDoc* doc = GetDocument()) doc->ShowElementConnectivityDialog(*this);
    ClearPickedItems();
}

void CKorbelView::OnTimeStepping() {
    if (CKorbelDoc* doc = GetDocument()) inputdialogs::RunTimeSteppingDialog(*doc, *this);
}

void CKorbelView::OnSoilStiffness() {
    if (CKorbelDoc* doc = GetDocument()) inputdialogs::RunSoilStiffnessDialog(*doc);
}

void CKorbelView::OnNonlinearSpring() {
    Invalidate(false);
    if (CKorbelDoc* doc = GetDocument()) doc->ShowNonlinearSpringDialog(*this);
}

void CKorbelView::OnNodalNonlinearSpring() {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    int& flag = display.displayFlags[kShowNonlinearNodalStiffness];
    actions.nodalSaved = flag;
    flag = 1;
    Invalidate(false);
    doc->ShowNodalNonlinearDialog(*this);
}

void CKorbelView::OnConcentratedActions(int kind) {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    int& flag = display.displayFlags[kind == 2 ? kShowConcentratedStiffness : kShowConcentratedLoads];
    const int saved = flag;
    flag = 1;
    Invalidate(false);
    doc->ShowConcentratedActionsDialog(*this, kind);
    flag = saved;
    Invalidate(false);
}

void CKorbelView::OnEquivalentLoads() {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    int& flag = display.displayFlags[kShowEquivalentLoads];
    const int saved = flag;
    flag = 1;
    doc->ShowEquivalentLoadsDialog(*this);
    flag = saved;
    Invalidate(false);
}

void CKorbelView::OnSetsCommand(int kind) {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    if (kind != 3) {
        mouse.multiPick = 1;
        mouse.rubberBand = 1;
    }
    doc->ShowSetsDialog(kind, *this);
    Invalidate(false);
}

// The display flag of the kind is forced on while the dialog is open; a
// dialog that could not be made gives everything back.
void CKorbelView::OpenActionDialog(int& flag, int& open, int& saved, const std::function<void()>& show, int slot) {
    CKorbelDoc* doc = GetDocument();
    saved = flag;
    flag = 1;
    Invalidate(false);
    open = 1;
    show();
    if (!doc->SlotDialog(static_cast<CKorbelDoc::Slot>(slot))) {
        flag = saved;
        open = 0;
    }
}

void CKorbelView::OpenNodalActions(int kind) {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    actions.nodalKind = kind;
    OpenActionDialog(
        display.displayFlags[NodalFlag(kind)], actions.nodalOpen, actions.nodalSaved,
        [&] { doc->ShowNodalActionsDialog(*this, kind); }, CKorbelDoc::NodalActionsSlot);
}

void CKorbelView::OpenEdgeActions(int kind) {
    CKorbelDoc* doc = GetDocument();
    if (!doc) return;
    actions.edgeKind = kind;
    OpenActionDialog(
        display.displayFlags[EdgeFlag(kind)], actions.edgeOpen, actions.edgeSaved,
        [&] { doc->ShowEdgeActionsDialog(*this, kind); }, CKorbelDoc::EdgeActionsSlot);
}

// ---------------------------------------------------------------------------
// Closing steps of the dialogs

void CKorbelView::OnNodalActionsClosed() {
    display.displayFlags[NodalFlag(actions.nodalKind)] = actions.nodalSaved;
    actions.nodalOpen = 0;
    display.rebuildScene = 1;
    display.nodeLabels = 0;
    Invalidate(false);
}

void CKorbelView::OnNodalNonlinearDialogClosed() {
    display.displayFlags[kShowNonlinearNodalStiffness] = actions.nodalSaved;
    if (ModelData* model = GetModelData()) model->ResolveNonlinearActions();
    actions.nodalOpen = 0;
    display.rebuildScene = 1;
    display.nodeLabels = 0;
    Invalidate(false);
}

void CKorbelView::OnEdgeActionsClosed() {
    display.displayFlags[EdgeFlag(actions.edgeKind)] = actions.edgeSaved;
    actions.edgeOpen = 0;
    display.rebuildScene = 1;
    Invalidate(false);
}

void CKorbelView::OnNodeResultsDialogClosed() { EndResultPicking(); }

void CKorbelView::OnResultValuesDialogClosed() { EndResultPicking(); }

// Picking goes on while the other result window is still open; after the
// last one the node labels and the mouse mode are given back.
void CKorbelView::EndResultPicking() {
    const bool picking = ResultWindowShown();
    if (!picking && mouse.nodeResultsPick) {
        display.nodeLabels = actions.savedNodeLabels;
        if (mouse.selectionMode == 1) {
            mouse.selectionMode = 0;
            mouse.mouseMode = mouse.savedMouseMode;
        }
    }
    mouse.acceptedPickKind = picking ? 1 : 0;
    mouse.nodeResultsPick = picking ? 1 : 0;
    SetPickState(1, "0");
    Invalidate(false);
}

void CKorbelView::ShowSetSelection() {
    Invalidate(false);
    if (CKorbelDoc* doc = GetDocument()) doc->ShowSetSelection(*this);
}

void CKorbelView::ShowCutLines(bool show) {
    display.displayFlags[kShowCutLines] = show ? 1 : 0;
    display.rebuildScene = 1;
}

void CKorbelView::StoreCutLines() {
    if (ModelData* model = GetModelData()) model->ResetCutLines();
    Invalidate(false);
}
