// The program's view: the model picture on the OpenGL view base, its display
// state, the commands of an open model, mouse navigation and picking.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/FrameSnapshot.h"
#include "uibase/GLView.h"
#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Types.h"
#include "viz/DisplayOptions.h"

class CKorbelDoc;
struct ElementRow;
struct RunOutcome;

// The status bar's text after a run: how it ended.
std::string RunStatusText(const RunOutcome& run);

// What the picture shows and how it is turned; the view's commands, mouse
// and dialogs change it and ask for a repaint. Defaults as a new view has
// them.
struct ViewDisplayState {
    float rotationX = 0.0f, rotationY = 0.0f, rotationZ = 0.0f;  // degrees, applied x, y, z
    float panX = 0.0f, panY = 0.0f, panZ = 0.0f;                 // window pixels
    float userZoom = 1.0f;
    float fitScale = 1.0f;  // recomputed on every paint with a model
    // Window pixels the fitted model is moved left by so that it clears the
    // legend column (0 without a legend); recomputed with the fit scale.
    float legendClearance = 0.0f;
    double symbolScale = 1.0;  // user zoom x fit scale of the last paint
    int clientWidth = 0, clientHeight = 0;
    int rebuildScene = 1;  // 1: the next paint compiles display list 1
    int sceneChanged = 0;  // the model drawing changed since the list was compiled
    int boundaryOnly = 0;
    int showDeformed = 0;
    int showUndeformed = 0;
    int step = 1;
    int contourColumn = 0;  // result column + 1; 0 none
    int contourType = 0;    // 0 shading, 1 lines, 2 both
    int nodeLabels = 0;     // 0 none, 1 points, 2 numbers, 3 both
    int elementNumbers = 0;
    int solidFace = 1;
    int showThickness = 0;
    int localAxes = 1;
    int globalAxes = 0;
    int showLegend = 1;
    int meshOverContours = 0;
    int legendSpacing = 0;  // extra legend shift for large fonts: 0, 20, 30 or 50
    // Nodal loads, nodal stiffness, nonlinear nodal stiffness, constraints,
    // equivalent loads, concentrated loads, concentrated stiffness, total
    // concentrated stiffness, distributed loads, distributed stiffness, edge
    // loads, edge stiffness, cut lines.
    std::array<int, 13> displayFlags{};
    // The set shown by the set definition dialog (kind 0 none, 1 node,
    // 2 element, 3 edge) and its text.
    int setKind = 0;
    std::string setText = "0";
};

// Index of each display flag in ViewDisplayState::displayFlags.
enum DisplayFlag {
    kShowNodalLoads,
    kShowNodalStiffness,
    kShowNonlinearNodalStiffness,
    kShowConstraints,
    kShowEquivalentLoads,
    kShowConcentratedLoads,
    kShowConcentratedStiffness,
    kShowTotalConcentratedStiffness,
    kShowDistributedLoads,
    kShowDistributedStiffness,
    kShowEdgeLoads,
    kShowEdgeStiffness,
    kShowCutLines
};

// The mouse state: navigation mode, selection mode and the drag under way.
struct ViewMouseState {
    int mouseMode = 0;         // 0 pan, 1 rotate, 2 zoom, 3 zoom window, -1 selecting
    int savedMouseMode = 0;    // the mode before a selection mode was turned on
    int selectionMode = 0;     // 0 none, 1 node, 2 element, 3 edge
    int acceptedPickKind = 0;  // which selection the open dialog takes: 0 none, 1 node, 2 element, 3 edge
    int nodeResultsPick = 0;   // 1: picks feed the node-results and result-values windows
    int multiPick = 0;         // 1: a window pick lists every picked item
    int rubberBand = 0;        // 1: the window rectangle is drawn while the button is down
    int buttonDown = 0;
    int dragActive = 0;
    ui::Point pressPoint, currentPoint;
    // Pan y and z, y and z rotations or the user zoom at the press.
    float dragStart[2] = {0.0f, 0.0f};
    // A double-click was just handled: the release after it picks nothing.
    int doubleClickMark = 0;
};

// What the nodal-action and edge-action commands keep while their dialog is
// open: the flag that the dialog forces on is given back when it closes.
struct ActionDialogState {
    int nodalOpen = 0, nodalKind = 0, nodalSaved = 0;
    int edgeOpen = 0, edgeKind = 0, edgeSaved = 0;
    int savedNodeLabels = 0;  // restored when the last result window closes
};

// An item marked by picking, drawn grey after the highlight.
struct PickedItem {
    int kind = 0;
    std::string text;
};

class CKorbelView : public GLView, public ViewHost {
public:
    CKorbelView();
    ~CKorbelView() override;

    // The view's document (null before it is attached) and its model.
    CKorbelDoc* GetDocument() const;
    ModelData* GetModelData() const override;

    // ---- Analysis run (Computations > Run Analysis) ----
    // Saves an unnamed model through Save As first (cancel ends it), then
    // runs the document's analysis behind the marker "Brennix" and the wait
    // cursor, and repaints.
    void OnRunAnalysis();
    // After the first save of a run: closes the deformation-factor,
    // contour-limits and result-values dialogs, hides the refine dialog,
    // frees the picked items and makes step 1 current (defined with the
    // display state).
    void ResetResultDisplayForRun();

    // ---- Display state and scene ----
    ViewDisplayState display;
    ViewMouseState mouse;
    // Least factor a zoom drag applies to the zoom it started from.
    static constexpr float kLeastZoomDragFactor = 0.05f;

    // Paint: with an input dialog of the document open, the undeformed mesh
    // at step 1; then the base paint.
    void OnDraw(ui::Painter& painter) override;
    void RenderScene() override;
    void Resize(int cx, int cy) override;
    void InitGL() override;
    // The record the scene is drawn from, filled from the display state.
    DisplayOptions BuildDisplayOptions() const;
    void DrawGlobalAxes();
    void DrawLocalAxes();

    void SetHighlightedItems(int kind, const std::string& text) override;
    void SetHighlightState(int kind, const std::string& text) override { SetPickState(kind, text); }
    void AddPickedItem(int kind, const std::string& text) override;
    void ClearPickedItems() override;
    const std::vector<PickedItem>& PickedItems() const { return pickedItems_; }
    int FindElementUsingNode(int node) const override;
    // The first element row holding the node, or null.
    const ElementRow* GetPickedItemLabel(int node) const;
    // A model table changed: both rebuild flags are set.
    void RebuildScene() override;
    // While the cut lines are shown (the section-cut dialog is open) every
    // repaint compiles the scene, so the highlighted line follows the dialog.
    void RepaintView() override;
    void SetContourRange() override;
    void SetShowLegend(bool show) override { display.showLegend = show ? 1 : 0; }
    void SetRotation(float x, float y, float z) override;

    // Matrices read back by the last paint with a model.
    const std::array<int, 4>& SavedViewport() const { return savedViewport_; }
    const std::array<double, 16>& SavedModelview() const { return savedModelview_; }
    const std::array<double, 16>& SavedProjection() const { return savedProjection_; }
    // True once display list 1 holds the scene in the current context.
    bool SceneListValid() const { return sceneListValid_; }
    // How often display list 1 was compiled.
    int SceneCompileCount() const { return sceneCompiles_; }
    // How often a paint started from the kept picture of the scene instead
    // of drawing display list 1.
    int SceneImageReuseCount() const { return sceneImageReuses_; }

    // ---- Result and view-settings dialogs (KorbelViewDialogs.cpp) ----
    // Results > Contour Plot, Deformed Mesh and Options > Font and Color make
    // their dialog at first use and show it again later; Node Results makes a
    // new one and switches node picking on; Select Step and Transform >
    // Rotation Angles run theirs modally. ShowResultValues: the right-button
    // double-click (kind 1 input values, 2 results).
    void OnResultsContourPlot();
    void OnResultsDeformedMesh();
    void OnResultsNodeResults();
    void OnResultsSelectStep();
    void OnOptionsFontAndColor();
    void OnTransformRotationAngles();
    virtual void ShowResultValues(int kind);
    // A node picked in the view, for the node-result dialogs that are open.
    virtual void ShowNodeInResultDialogs(int node);
    // Closes the deformed-shape, contour and result-values dialogs (a new run).
    void CloseResultDialogs();
    // Those and the node-results window (the results are gone); the picking
    // and node labels the windows had switched on end with them.
    void CloseAllResultWindows();

    void GetRotation(float& x, float& y, float& z) const override;
    void KeepCompiledScene() override { display.rebuildScene = 0; }
    ContourSettings GetContourSettings() const override;
    void SetContourSettings(const ContourSettings& s) override;
    int CurrentStep() const override { return display.step; }
    void SetCurrentStep(int step) override { display.step = step; }
    void GetDeformedShape(int& deformed, int& undeformed) const override;
    void SetDeformedShape(int deformed, int undeformed) override;
    LabelFont GetLabelFont() const override;
    void SetLabelFont(const LabelFont& font) override;
    void RebuildFont() override;
    // Stored for every later context, and set in the current one.
    void SetBackgroundColor(unsigned rgb) override;
    // ---- end of the result and view-settings dialogs ----

    // ---- View commands ----
    ActionDialogState actions;

    // Save As: on success the results are dropped from the model and the
    // picture starts again.
    void OnFileSaveAs();
    // Rotations, pan and user zoom back to the start; the list is replayed.
    void OnRestart();
    void SetViewPreset(float x, float y, float z);
    void OnMarkNodes();
    void OnNodeNumbers();
    void OnElementNumbers();
    // Inverts a 0/1 display flag and repaints without a rebuild request.
    void ToggleDisplayFlag(int& flag);
    // Input Data > Element Type with 4, 8 or 9 nodes.
    void OnElementType(int nodes);
    // Input Data > Integration Points 1 x 1, 2 x 2, 3 x 3.
    void OnIntegration(int points);
    // Edit > Change Element Type to 4, 8 or 9 nodes.
    void OnChangeElementType(int nodes);
    void OnRefineMeshCommand();
    void OnNodeCoordinates();
    void OnElementConnectivity();
    void OnTimeStepping();
    void OnSoilStiffness();
    void OnNewMaterial();
    void OnMaterialProperties();
    void OnNonlinearSpring();
    void OnNodalNonlinearSpring();
    void OnConcentratedActions(int kind);
    void OnEquivalentLoads();
    void OnSetsCommand(int kind);
    // Opens the nodal-action dialog of kind 1..5 or the edge-action dialog
    // of kind 1..2 with the display flag of the kind forced on.
    void OpenNodalActions(int kind);
    void OpenEdgeActions(int kind);
    // Selection > Select Node, Element, Edge (1, 2, 3): on, or off again.
    void OnSelectionMode(int kind);
    // The text editor on the model file, base ".sou" or base ".sms".
    void OnViewFile(const std::string& extension);
    // The result display after the model's results were dropped (Save As,
    // mesh changes): no result windows, no refine dialog, no contour
    // variable, no deformed shape, no extra picked items.
    void DropResultDisplay();

    // ViewHost
    void SetPickTarget(int kind) override { mouse.acceptedPickKind = kind; }
    void StoreCutLines() override;
    void ShowCutLines(bool show) override;
    void OnNodalActionsClosed() override;
    void OnEdgeActionsClosed() override;
    void OnNodalNonlinearDialogClosed() override;
    void OnNodeResultsDialogClosed() override;
    void OnResultValuesDialogClosed() override;
    void ShowSetSelection() override;

    // ---- Mesh regeneration ----
    // Refine Mesh's Apply: a free model is split a x b, a template model is
    // meshed again with the element size.
    void RefineMesh(int a, int b, double elementSize) override;
    // A template model meshed again with another element type (code 0, 1, 2)
    // and template integration option.
    void RemeshAfterElementChange(int kind, int elementCode, int integration, double elementSize);
    ui::Dialog* RefineDialog() const { return refineDialog_.get(); }
    void HideRefineDialog();

    // ---- Mouse navigation and picking ----
    void OnLButtonDown(int flags, ui::Point p) override;
    void OnMouseMove(int flags, ui::Point p) override;
    void OnLButtonUp(int flags, ui::Point p) override;
    void OnLButtonDblClk(int flags, ui::Point p) override;
    void OnRButtonDblClk(int flags, ui::Point p) override;
    void OnRButtonUp(int flags, ui::Point p) override;
    // A selection pass over the rectangle; pick kind 1 window pick at the
    // release, 2 double-click. The text goes to the routed dialog or the
    // result windows and becomes the current set.
    void PickAt(int x1, int y1, int x2, int y2, int pickKind);
    void FeedPickToResultWindows(int node);

protected:
    void OnDisplayListsLost() override;
    void OnContextDestroyed() override { sceneImage_.Forget(); }

private:
    DocHost* DocumentHost() const;
    void SetUpLighting();
    void PlaceModel(const ModelData& model);
    // True when the paint draws the contour legend and the step caption.
    bool LegendShown(const ModelData& model) const;
    void DrawModelScene(ModelData& model);
    void DrawRubberBand();
    // The message map, menu by menu.
    void RegisterViewCommands();
    void RegisterFileAndEditCommands();
    void RegisterSettingCommands();
    void RegisterElementCommands();
    void RegisterActionCommands();
    void RegisterSetCommands();
    void RegisterComputationCommands();
    void RegisterTransformCommands();
    void RegisterResultCommands();
    void RegisterDisplayToggles();
    void RegisterSelectionAndHelpCommands();
    void OpenActionDialog(int& flag, int& open, int& saved, const std::function<void()>& show, int slot);
    // The drag formulas of pan, rotate and zoom for the point.
    void ApplyDrag(ui::Point p);
    void ZoomToWindow(ui::Point p);
    // The selection pass; the names of the hit records in order.
    std::vector<unsigned> SelectNames(int x1, int y1, int x2, int y2, int& hits);
    std::string PickText(const std::vector<unsigned>& names, int hits, int pickKind);
    // After a change of the mesh: results dropped, scene rebuilt.
    void AfterMeshChange();
    void RemapNonlinearActions();

    // ---- Result and view-settings dialogs (KorbelViewDialogs.cpp) ----
    struct ResultDialogs;
    ResultDialogs& Dialogs();
    // Node picks go to the result windows (Node Results, result values).
    void StartResultPicking();
    void EndResultPicking();
    bool ResultWindowShown() const;
    int contourGroup_ = 0, contourIndex_ = 0;       // the contour variable's group and index in it
    LabelFont labelFont_;                           // the font of the next RebuildFont
    std::shared_ptr<ResultDialogs> resultDialogs_;  // made at the first dialog
    // ---- end of the result and view-settings dialogs ----

    std::unique_ptr<ui::Dialog> refineDialog_;
    std::vector<PickedItem> pickedItems_;
    std::array<int, 4> savedViewport_{};
    std::array<double, 16> savedModelview_{};
    std::array<double, 16> savedProjection_{};
    bool sceneListValid_ = false;
    // What a display list was compiled from. A pick, and the paint after it,
    // replay the list while the model and the display still match it.
    struct CompiledScene {
        const ModelData* model = nullptr;
        int nodes = 0, elements = 0, redraw = 0, results = 0;
        DisplayOptions options;
        bool operator==(const CompiledScene&) const = default;
    };
    CompiledScene SceneKey(const ModelData& model, const DisplayOptions& options) const;
    CompiledScene compiledScene_;      // list 1, compiled by a paint
    CompiledScene selectionScene_;     // list 2, compiled by a selection pass
    bool replayWhileCurrent_ = false;  // the next scene build may replay a current list
    int sceneCompiles_ = 0;
    // The picture a replay of list 1 gives: the cleared window, the global
    // axes and the list, drawn under the same matrices and clear colour. A
    // paint that would replay the list under them starts from the kept
    // picture instead, and draws only the highlights, axes and legend.
    struct SceneImageKey {
        int listGeneration = 0;  // sceneListGeneration_ of the list drawn
        std::array<int, 4> viewport{};
        std::array<double, 16> modelview{};
        std::array<double, 16> projection{};
        std::array<float, 4> clearColor{};
        int globalAxes = 0;
        bool operator==(const SceneImageKey&) const = default;
    };
    SceneImageKey CurrentImageKey() const;
    // Replays list 1, or puts back the kept picture of the same replay.
    void ReplaySceneList();
    void KeepSceneImage();
    brennix::gl::FrameSnapshot sceneImage_;
    SceneImageKey sceneImageKey_;
    int sceneListGeneration_ = 0;  // changes with every compilation of list 1
    int sceneImageReuses_ = 0;
};
