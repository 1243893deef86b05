// The view's result and view-settings dialogs: the commands that open them
// and what they read and set of the view.

#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "viz/ui/DlgContourLimits.h"
#include "viz/ui/DlgDefFactor.h"
#include "viz/ui/DlgFontColor.h"
#include "viz/ui/DlgNodeResults.h"
#include "viz/ui/DlgResultValues.h"
#include "viz/ui/DlgRotation.h"
#include "viz/ui/DlgSelectStep.h"

struct CKorbelView::ResultDialogs {
    std::unique_ptr<DlgContourLimits> contour;
    std::unique_ptr<DlgDefFactor> deformed;
    std::unique_ptr<DlgFontColor> fontColor;
    std::unique_ptr<DlgNodeResults> nodeResults;
    std::unique_ptr<DlgResultValues> resultValues;
};

namespace {

// Makes a modeless dialog of the view 50 pixels below its template's place;
// null when its window could not be made.
template <class Dlg>
std::unique_ptr<Dlg> CreateBelowTemplate(CKorbelView& view) {
    auto dlg = std::make_unique<Dlg>(view);
    if (!dlg->Create()) return nullptr;
    ui::Rect r = dlg->GetWindowRect();
    r.y += 50;
    dlg->MoveWindow(r, false);
    return dlg;
}

// The dialog, made at first use, shown.
template <class Dlg>
Dlg* ShowOnce(CKorbelView& view, std::unique_ptr<Dlg>& slot) {
    if (!slot) slot = CreateBelowTemplate<Dlg>(view);
    if (slot) slot->ShowWindow(true);
    return slot.get();
}

}  // namespace

CKorbelView::ResultDialogs& CKorbelView::Dialogs() {
    if (!resultDialogs_) resultDialogs_ = std::make_shared<ResultDialogs>();
    return *resultDialogs_;
}

// ---------------------------------------------------------------------------
// Commands

void CKorbelView::OnResultsContourPlot() { ShowOnce(*this, Dialogs().contour); }

void CKorbelView::OnResultsDeformedMesh() { ShowOnce(*this, Dialogs().deformed); }

void CKorbelView::OnOptionsFontAndColor() { ShowOnce(*this, Dialogs().fontColor); }

// The window takes node picks.
void CKorbelView::ShowResultValues(int kind) {
    ResultDialogs& d = Dialogs();
    if (!d.resultValues) d.resultValues = CreateBelowTemplate<DlgResultValues>(*this);
    if (!d.resultValues) return;
    d.resultValues->SetKind(kind);
    d.resultValues->ShowWindow(true);
    StartResultPicking();
}

void CKorbelView::OnResultsNodeResults() {
    ResultDialogs& d = Dialogs();
    d.nodeResults.reset();
    d.nodeResults = CreateBelowTemplate<DlgNodeResults>(*this);
    if (!d.nodeResults) return;
    d.nodeResults->ShowWindow(true);
    StartResultPicking();
}

// Selection > Select Node is offered and chosen, the nodes are marked, and
// the node clicked goes to the result windows at once. The mouse mode and
// the node labels found when the first result window opened are given back
// when the last one closes (EndResultPicking).
void CKorbelView::StartResultPicking() {
    if (!mouse.nodeResultsPick) {
        actions.savedNodeLabels = display.nodeLabels;
        if (mouse.selectionMode == 0) mouse.savedMouseMode = mouse.mouseMode;
    }
    SetPickTarget(1);
    mouse.nodeResultsPick = 1;
    mouse.selectionMode = 1;
    mouse.mouseMode = -1;
    if (display.nodeLabels == 0 || display.nodeLabels == 2) ++display.nodeLabels;
    SetPickState(CurrentSetKind(), "0");
    Invalidate(false);
}

bool CKorbelView::ResultWindowShown() const {
    if (!resultDialogs_) return false;
    const ResultDialogs& d = *resultDialogs_;
    return (d.nodeResults && d.nodeResults->IsShown()) || (d.resultValues && d.resultValues->IsShown());
}

void CKorbelView::OnResultsSelectStep() {
    DlgSelectStep dlg(*this);
    if (dlg.DoModal() != ui::IDOK) return;
    display.step = dlg.Step();
    SetContourRange();
    Invalidate(false);
}

void CKorbelView::OnTransformRotationAngles() {
    DlgRotation dlg(*this);
    dlg.DoModal();
}

void CKorbelView::ShowNodeInResultDialogs(int node) {
    if (!resultDialogs_) return;
    // A closed (hidden) window keeps its node.
    const ResultDialogs& d = *resultDialogs_;
    if (d.resultValues && d.resultValues->IsShown()) d.resultValues->ShowNode(node);
    if (d.nodeResults && d.nodeResults->IsShown()) d.nodeResults->ShowNode(node);
}

void CKorbelView::CloseResultDialogs() {
    if (!resultDialogs_) return;
    ResultDialogs& d = *resultDialogs_;
    const bool valuesShown = d.resultValues && d.resultValues->IsShown();
    d.deformed.reset();
    d.contour.reset();
    d.resultValues.reset();
    // As if the user had closed it: labels back, picking ended.
    if (valuesShown) OnResultValuesDialogClosed();
}

void CKorbelView::CloseAllResultWindows() {
    if (!resultDialogs_) return;
    ResultDialogs& d = *resultDialogs_;
    const bool nodeResultsShown = d.nodeResults && d.nodeResults->IsShown();
    CloseResultDialogs();
    d.nodeResults.reset();
    if (nodeResultsShown) OnNodeResultsDialogClosed();
}

// ---------------------------------------------------------------------------
// What the dialogs read and set

void CKorbelView::GetRotation(float& x, float& y, float& z) const {
    x = display.rotationX;
    y = display.rotationY;
    z = display.rotationZ;
}

ViewHost::ContourSettings CKorbelView::GetContourSettings() const {
    return {contourGroup_,     contourIndex_, display.contourColumn, display.contourType, display.meshOverContours,
            display.showLegend};
}

void CKorbelView::SetContourSettings(const ContourSettings& s) {
    contourGroup_ = s.group;
    contourIndex_ = s.index;
    display.contourColumn = s.column;
    display.contourType = s.type;
    display.meshOverContours = s.meshOverContours;
    display.showLegend = s.showLegend;
}

void CKorbelView::GetDeformedShape(int& deformed, int& undeformed) const {
    deformed = display.showDeformed;
    undeformed = display.showUndeformed;
}

void CKorbelView::SetDeformedShape(int deformed, int undeformed) {
    display.showDeformed = deformed;
    display.showUndeformed = undeformed;
}

ViewHost::LabelFont CKorbelView::GetLabelFont() const {
    LabelFont font = labelFont_;
    font.legendOffset = display.legendSpacing;
    return font;
}

void CKorbelView::SetLabelFont(const LabelFont& font) {
    labelFont_ = font;
    display.legendSpacing = font.legendOffset;
}

void CKorbelView::RebuildFont() {
    SetBitmapFont(labelFont_.face, labelFont_.size, labelFont_.weight);
    Invalidate(true);
}

void CKorbelView::SetBackgroundColor(unsigned rgb) {
    StoreClearColor(rgb);
    if (!HasContext() || !MakeCurrent()) return;
    SetClearColor(rgb);
    ReleaseCurrent();
}
