// The view's part of the analysis run: Computations > Run Analysis.
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "platform/ui/App.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Services.h"

namespace {
// Visible to other programs while a run is in progress.
const char* const kRunMarker = "Brennix";
}  // namespace

std::string RunStatusText(const RunOutcome& run) {
    if (run.declined) return "Analysis not run: the previous results are kept";
    if (run.lockRefused) return "Analysis not run: the model is being analysed by another run";
    if (run.folderBusy) return "Analysis not run: another model in the same folder is being analysed";
    if (run.outOfMemory) return "Analysis failed: the model needs more memory than there is";
    if (run.modelErrors) return "Analysis not run: the model has errors (see the message file)";
    if (run.saveFailed) return "Analysis failed: the model could not be saved";
    if (run.folderFailed) return "Analysis failed: the folder of the model could not be made the current folder";
    if (run.listFailed) return "Analysis failed: the file list could not be written";
    if (!run.inputWritten) return "Analysis failed: the solver input could not be written";
    if (run.halvorRoute && !run.programStarted) return "Analysis failed: the analysis program could not be started";
    if (!run.halvorRoute && !run.libraryLoaded) return "Analysis failed: the solver library could not be loaded";
    if (!run.halvorRoute && !run.exportFound) return "Analysis failed: the solver library has no entry point";
    if (run.cancelled) return "Analysis cancelled: not a finished run (see the message file)";
    if (run.solverStatus > 0) return "Analysis terminated with errors (see the message file)";
    if (!run.resultsFileFound) return "Analysis ended without results (see the message file)";
    if (run.resultsStatus != 0) return "Analysis ended: the results could not be read";
    if (run.cutFileFound && run.cutStatus != 0) return "Analysis ended: the cut line results could not be read";
    return "Analysis completed";
}

CKorbelDoc* CKorbelView::GetDocument() const { return dynamic_cast<CKorbelDoc*>(ui::View::GetDocument()); }

void CKorbelView::OnRunAnalysis() {
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
    if (ui::App* app = ui::App::Get())
        if (ui::Frame* frame = app->MainFrame()) frame->SetIdleMessage(RunStatusText(doc->LastRunOutcome()));
    Invalidate(false);
}
