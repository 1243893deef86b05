// The view's part of the analysis run: Computations > Run Analysis.
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

namespace {
// Visible to other programs while a run is in progress.
const char* const kRunMarker = "Brennix";
}  // namespace

CKorbelDoc* CKorbelView::GetDocument() const
{
    return dynamic_cast<CKorbelDoc*>(ui::View::GetDocument());
}

void CKorbelView::OnRunAnalysis()
{
    CKorbelDoc* doc = GetDocument();
    if (!doc || !doc->GetModelData()) return;
    if (doc->GetPathName().empty()) {
        if (!doc->DoSave("")) return;
        doc->GetModelData()->resultsFlag = 0;
        doc->UpdateResultsFlag();
        ResetResultDisplayForRun();
    }
    {
        ui::ScopedGlobalMarker marker(kRunMarker);
        ui::WaitCursor wait;
        doc->RunAnalysis();
    }
    Invalidate(false);
}
