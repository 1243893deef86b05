// The view's mesh changes: Refine Mesh (splitting a free model's elements or
// meshing a foundation template again with a new element size), the
// regeneration of a template model with another element type, and what
// every mesh change does to results, picks and nonlinear nodal actions.
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "meshtools/Refine.h"
#include "meshtools/ui/DlgRefine.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

void CKorbelView::OnRefineMeshCommand() {
    const ModelData* model = GetModelData();
    if (!model) return;
    if (refineDialog_ && refineDialog_->IsWindow()) refineDialog_->DestroyWindow();
    refineDialog_.reset();
    auto dialog = std::make_unique<DlgRefine>(*this, nullptr, model->GetTemplateKind(), model->typicalElementSize);
    if (!dialog->Create()) return;
    dialog->ShowWindow(true);
    refineDialog_ = std::move(dialog);
}

// Hidden, not destroyed: Refine Mesh's own Apply may be the caller. The next
// Refine Mesh command makes a new one.
void CKorbelView::HideRefineDialog() {
    if (refineDialog_ && refineDialog_->IsWindow()) refineDialog_->ShowWindow(false);
}

void CKorbelView::RefineMesh(int a, int b, double elementSize) {
    CKorbelDoc* doc = GetDocument();
    ModelData* model = GetModelData();
    if (!doc || !model) return;
    if (ui::MessageBox("Current Finite Element Mesh will be refined. Please check model for consistency afterwards. "
                       "Are you sure to refine the mesh?",
                       ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES)
        return;
    const int kind = model->GetTemplateKind();
    if (kind == 0) {
        const std::string fault = ::RefineMesh(*model, a, b);
        if (!fault.empty()) {
            ui::MessageBox(fault, ui::Buttons::Ok, ui::Icon::Exclamation);
            return;
        }
        RebuildScene();
        ClearPickedItems();
        // Divisions that split nothing leave the mesh and its results alone.
        if (a >= 1 && b >= 1 && a * b > 1) AfterMeshChange();
    } else if (kind == 1 || kind == 2) {
        if (doc->RegenerateTemplate(CKorbelDoc::TemplateModel(*model, model->templateElementOption,
                                                              model->templateIntegration, elementSize)))
            AfterMeshChange();
        doc->UpdateAllViews();
    }
    RemapNonlinearActions();
    HideRefineDialog();
    Invalidate(false);
}

void CKorbelView::RemeshAfterElementChange(int kind, int elementCode, int integration, double elementSize) {
    CKorbelDoc* doc = GetDocument();
    ModelData* model = GetModelData();
    if (!doc || !model || (kind != 1 && kind != 2)) return;
    // The template's integration option follows the element: 8 nodes have
    // no option 0, 9 nodes only option 2, 4 nodes no option 2.
    if (elementCode == 1 && integration == 0) integration = 1;
    if (elementCode == 2) integration = 2;
    if (elementCode == 0 && integration == 2) integration = 1;
    if (doc->RegenerateTemplate(CKorbelDoc::TemplateModel(*model, elementCode, integration, elementSize)))
        AfterMeshChange();
    doc->UpdateAllViews();
}

// The node numbers changed: result steps of the old numbering are dropped
// (the files on disk stay), and the document is modified.
void CKorbelView::AfterMeshChange() {
    CKorbelDoc* doc = GetDocument();
    ModelData* model = GetModelData();
    if (!doc || !model) return;
    model->ResetResultsState();
    model->SetChanged();
    doc->UpdateResultsFlag();
    doc->SetModifiedFlag(true);
    DropResultDisplay();
    RebuildScene();
}

// Each nonlinear nodal action follows its points to the new node numbers;
// an action with a point that is no longer a node loses its nodes.
void CKorbelView::RemapNonlinearActions() {
    ModelData* model = GetModelData();
    if (!model) return;
    for (NonlinearAction* action = model->FirstNonlinearAction(); action; action = action->next) {
        if (action->nodes.empty()) continue;
        std::vector<int> found;
        bool lost = action->nodeY.size() != action->nodeZ.size();
        for (std::size_t i = 0; i < action->nodeY.size() && !lost; ++i) {
            const int node = model->NodeAtPoint(action->nodeY[i], action->nodeZ[i]);
            if (node < 0) lost = true;
            found.push_back(node);
        }
        if (lost) {
            action->nodes.clear();
            action->nodeY.clear();
            action->nodeZ.clear();
            action->nodeText.clear();
            continue;
        }
        action->nodes = found;
        if (action->setSelector != 1) action->nodeText = ModelData::JoinNumbers(found);
    }
}
