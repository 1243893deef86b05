// What the input, result and mesh-tool dialogs use of the document and of the
// view. CKorbelDoc and CKorbelView implement these; dialog tests fake them, so
// a dialog runs headless without the program or an OpenGL view.
//
// Every operation has a harmless default, so a fake overrides only what its
// test looks at. Add an operation here when a dialog needs one more service,
// under the heading of the object that provides it.
#pragma once

#include <string>

class ModelData;
namespace ui {
class Dialog;
}

class DocHost {
public:
    virtual ~DocHost() = default;

    // The document's model (owned by the document); never null in the program.
    virtual ModelData* GetModelData() const { return nullptr; }
    // The document's path; empty for a new document.
    virtual std::string GetPathName() const { return {}; }
    // Marks the document modified (or clears the mark).
    virtual void SetModifiedFlag(bool modified = true) { (void)modified; }
    // Redraws every view of the document.
    virtual void UpdateAllViews() {}
    // 0, or the routed input dialog that receives picks: 1 set members,
    // 2 nodal actions, 3 materials, 4 edge actions.
    virtual int PickMode() const { return 0; }
    virtual void SetPickMode(int mode) { (void)mode; }
    // True when the model holds analysis results.
    virtual bool HasResults() const { return false; }
    // Display settings kept for the view after a model was opened: true once
    // (the mark is cleared), with the solid-face setting SolidFaceFor gives.
    virtual bool TakePendingDisplaySettings(int& solidFace) {
        (void)solidFace;
        return false;
    }
    // Solid faces for a model just opened: large models come up without them.
    static int SolidFaceFor(int elementCount) { return elementCount > 1000 ? 0 : 1; }

    // Closing steps of the modeless grids (OK or Cancel).
    virtual void OnNodalActionsDialogClosed() {}
    virtual void OnEdgeActionsDialogClosed() {}
    virtual void OnMaterialDataDialogClosed() {}
    virtual void OnSetsDialogClosed() {}
    // The set picker ended with a set.
    virtual void OnSetSelected() {}
    // The set picker ended without one.
    virtual void OnSetSelectionCancelled() {}
    // Opens the member dialog of the set (kind 1 node, 2 element, 3 edge
    // sets), which resumes returnDialog when it closes.
    virtual void ShowSetDialog(int kind, const std::string& setName, ui::Dialog* returnDialog) {
        (void)kind, (void)setName, (void)returnDialog;
    }
};

class ViewHost {
public:
    virtual ~ViewHost() = default;

    virtual ModelData* GetModelData() const { return nullptr; }

    // Highlight of the picture: kind 1 node, 2 element, 3 element side,
    // 4 point; the text names the items. Marks the scene for rebuild and
    // repaints.
    virtual void SetHighlightedItems(int kind, const std::string& text) { (void)kind, (void)text; }
    // The same kind and text, without a repaint.
    virtual void SetHighlightState(int kind, const std::string& text) { (void)kind, (void)text; }
    virtual void AddPickedItem(int kind, const std::string& text) { (void)kind, (void)text; }
    virtual void ClearPickedItems() {}
    // What a pick in the view names: 0 nothing, 1 node, 2 element,
    // 3 element side, 4 point.
    virtual void SetPickTarget(int kind) { (void)kind; }
    // Number of the first element (in table order) holding the node; 0 when none.
    virtual int FindElementUsingNode(int node) const {
        (void)node;
        return 0;
    }

    // Sets the scene's rebuild flag so the next paint compiles it again.
    virtual void RebuildScene() {}
    // Repaints the view.
    virtual void RepaintView() {}

    // Contour and result display.
    virtual void SetContourRange() {}
    virtual void SetShowLegend(bool show) { (void)show; }
    virtual void SetRotation(float x, float y, float z) { (void)x, (void)y, (void)z; }
    // The view's own angles (SetRotation stores x, -y, -z).
    virtual void GetRotation(float& x, float& y, float& z) const { x = y = z = 0.0f; }
    // Clears the scene's rebuild flag: the next paint replays the compiled scene.
    virtual void KeepCompiledScene() {}
    // The contour part of the display: result group (0..4), index within the
    // group (from 1; 0 none), column (group start + index; 0 none), type
    // (0 shading, 1 lines, 2 both), mesh over contours, legend.
    struct ContourSettings {
        int group = 0, index = 0, column = 0, type = 0, meshOverContours = 0, showLegend = 1;
    };
    virtual ContourSettings GetContourSettings() const { return {}; }
    virtual void SetContourSettings(const ContourSettings& s) { (void)s; }
    // The result step shown.
    virtual int CurrentStep() const { return 1; }
    virtual void SetCurrentStep(int step) { (void)step; }
    // Deformed and undeformed shape drawn (0/1).
    virtual void GetDeformedShape(int& deformed, int& undeformed) const { deformed = undeformed = 0; }
    virtual void SetDeformedShape(int deformed, int undeformed) { (void)deformed, (void)undeformed; }
    // Label font of the drawing; RebuildFont makes the view's font lists from
    // it. The legend moves by the offset.
    struct LabelFont {
        std::string face = "Arial";
        int size = 14, weight = 700, legendOffset = 0;
    };
    virtual LabelFont GetLabelFont() const { return {}; }
    virtual void SetLabelFont(const LabelFont& f) { (void)f; }
    virtual void RebuildFont() {}
    // Background colour (red in the low byte), used from the next paint.
    virtual void SetBackgroundColor(unsigned rgb) { (void)rgb; }

    // The section-cut dialog's OK: the working cut lines become the stored ones.
    virtual void StoreCutLines() {}
    // Shows the model's working cut lines in the scene (while the section-cut
    // dialog is open) or hides them.
    virtual void ShowCutLines(bool show) { (void)show; }

    // Closing steps the view takes for its dialogs.
    virtual void OnNodalActionsClosed() {}
    virtual void OnEdgeActionsClosed() {}
    virtual void OnNodalNonlinearDialogClosed() {}
    // The sets dialog closed: the view's set display flags are cleared.
    virtual void OnSetsDialogClosed() {}
    // Ends a window selection of items, if one is running, and restores the
    // mouse mode it replaced.
    virtual void EndSelectionMode() {}
    virtual void OnNodeResultsDialogClosed() {}
    virtual void OnResultValuesDialogClosed() {}
    // Opens the set picker for node sets.
    virtual void ShowSetSelection() {}

    // Mesh tools: refine (a x b, or a new element size for template models).
    virtual void RefineMesh(int a, int b, double elementSize) { (void)a, (void)b, (void)elementSize; }
};
