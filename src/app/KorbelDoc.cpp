#include "app/KorbelDoc.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include "app/KorbelCommands.h"
#include "app/SplashWindow.h"
#include "app/run/RunLock.h"
#include "meshtools/ui/NewProject.h"
#include "model/MaterialTable.h"
#include "model/ModelFile.h"
#include "model/ModelData.h"
#include "platform/ui/App.h"
#include "platform/ui/Services.h"
#include "uibase/TDialog.h"
#include "viz/ui/DlgEquivLoad.h"

namespace {

ui::Icon IconOf(RunIcon icon) {
    switch (icon) {
        case RunIcon::Question: return ui::Icon::Question;
        case RunIcon::Stop: return ui::Icon::Stop;
        case RunIcon::Exclamation: return ui::Icon::Exclamation;
        case RunIcon::None: break;
    }
    return ui::Icon::None;
}

// What to tell the user when the text editor cannot be started: the editor's
// command and where it is set.
std::string EditorFailureMessage(const std::string& path) {
    std::string editor;
    for (const std::string& word : ui::TextEditorCommand()) {
        if (!editor.empty()) editor += ' ';
        editor += word.find_first_of(" \t") == std::string::npos ? word : '"' + word + '"';
    }
    std::string settings = "~/.config/Brennix/settings";
    if (ui::App* app = ui::App::Get(); app && !app->GetSettings().Path().empty()) settings = app->GetSettings().Path();
    return "The text editor \"" + editor + "\" could not be started to show\n" + path +
           "\n\nTo choose the editor, put a line with Tools, TextEditor and its command"
           "\n(for example gedit), separated by tabs, in\n" +
           settings;
}

// The early layouts: the model file's first line before the current version.
bool IsEarlyLayout(const std::string& version) { return version == "V3.1" || version == "V3.0" || version.empty(); }

}  // namespace

const char* const CKorbelDoc::kCurrentVersion = "V4.1";

DocDialogFactories& InputDialogFactories() {
    static DocDialogFactories factories = [] {
        DocDialogFactories f;
        return f;
    }();
    return factories;
}

CKorbelDoc::CKorbelDoc() : factories_(InputDialogFactories()) {
    for (int id : korbel::kResultCommands) OnUpdateUI(id, [this](ui::CmdUI& ui) { ui.Enable(resultsFlag_ != 0); });
    OnUpdateUI(ui::cmd::FileSave, [this](ui::CmdUI& ui) { ui.Enable(model_ && HasUnsavedChanges()); });
    OnUpdateUI(ui::cmd::FileSaveAs, [this](ui::CmdUI& ui) { ui.Enable(model_ != nullptr); });
}

CKorbelDoc::~CKorbelDoc() { DeleteAllDialogs(); }

// ---- Life cycle ----

void CKorbelDoc::NewModel() { model_ = std::make_unique<ModelData>(); }

bool CKorbelDoc::OnNewDocument() {
    if (!ui::Document::OnNewDocument()) return false;
    NewModel();
    model_->Reset();
    model_->ClearChanged();
    SetModifiedFlag(false);
    UpdateResultsFlag();
    return true;
}

bool CKorbelDoc::OnOpenDocument(const std::string& path) {
    // Only a regular, readable file is opened: a folder, pipe or device is
    // never read (a pipe would block the program).
    if (const std::string why = WhyNotReadableFile(path); !why.empty()) {
        ui::MessageBox("Can not open \"" + path + "\": " + why, ui::Buttons::Ok, ui::Icon::Exclamation);
        return false;
    }
    try {
        return OpenModelFile(path);
    } catch (const std::bad_alloc&) {
        model_ = std::make_unique<ModelData>();
        ui::MessageBox("The model file " + NeedsMoreMemoryText(path) + ".", ui::Buttons::Ok, ui::Icon::Stop);
    } catch (const std::exception& e) {
        model_ = std::make_unique<ModelData>();
        ui::MessageBox("Error reading file \"" + path + "\": " + e.what(), ui::Buttons::Ok, ui::Icon::Exclamation);
    }
    return false;
}

bool CKorbelDoc::OpenModelFile(const std::string& path) {
    if (!ui::Document::OnOpenDocument(path)) return false;
    const std::string sds = RunFileName(path, ".sds");
    const std::string cut = RunFileName(path, ".cut");
    NewModel();
    solidFace_ = 1;
    displayPending_ = 1;
    fileVersion_ = model_->ReadFirstLine(path);

    int status = 0;
    if (fileVersion_ != kCurrentVersion) {
        if (ui::MessageBox("You are reading a file in early version. Convert to current version?", ui::Buttons::YesNo,
                           ui::Icon::Question) != ui::IDYES)
            return false;
        status = model_->ReadModelFile(path, IsEarlyLayout(fileVersion_));
        model_->SetVersion(kCurrentVersion);
        model_->SetChanged();
        SetModifiedFlag(true);
    } else {
        status = model_->ReadModelFile(path, true);
        model_->ResolveNonlinearActions();
        model_->ClearChanged();
        SetModifiedFlag(false);
    }
    if (status > 0) {
        ui::MessageBox("Error reading file \"" + path + "\"\n" + model_->GetReadError(), ui::Buttons::Ok,
                       ui::Icon::Exclamation);
        return false;
    }
    solidFace_ = SolidFaceFor(model_->GetElementCount());
    // A lock that no run holds was left by a run whose process ended before
    // the run was over: whatever results it wrote are partial.
    if (RunLockIsStale(path)) {
        ui::MessageBox("The last analysis of \"" + path +
                           "\" did not finish: its partial results are not loaded.\nRun the analysis again.",
                       ui::Buttons::Ok, ui::Icon::Exclamation);
    } else if (ui::FileExists(sds)) {
        model_->ReadResultsFile(sds);
        model_->ReadCutLineResults(cut);
    }
    UpdateResultsFlag();
    return true;
}

bool CKorbelDoc::OnSaveDocument(const std::string& path) {
    const bool wasModified = IsModified();
    if (!ui::Document::OnSaveDocument(path)) return false;
    // The base only checked that the file can be written; the model file is
    // all that the path holds. A failed write keeps both flags.
    if (!model_ || model_->WriteModelFile(path) != 0) {
        const std::string row = model_ ? model_->UnwritableText() : std::string();
        ui::MessageBox("Can not save the model file\n" + path + "\nPlease Check." + (row.empty() ? "" : "\n" + row),
                       ui::Buttons::Ok, ui::Icon::Stop);
        SetModifiedFlag(wasModified);
        return false;
    }
    model_->ClearChanged();
    SetModifiedFlag(false);
    return true;
}

bool CKorbelDoc::HasUnsavedChanges() const { return IsModified() || (model_ && model_->IsChanged()); }

bool CKorbelDoc::OfferUnappliedEdits() {
    for (DocDialog& d : slots_) {
        auto* grid = dynamic_cast<TDialog*>(d.window.get());
        if (!grid || !grid->HasUnappliedEdits()) continue;
        const std::string question = "The changes in " + grid->GetWindowText() + " are not applied.\nApply them?";
        switch (ui::MessageBox(question, ui::Buttons::YesNoCancel, ui::Icon::Question)) {
            case ui::IDYES:
                if (!grid->ApplyEdits()) return false;
                break;
            case ui::IDNO: break;
            default: return false;
        }
    }
    return true;
}

bool CKorbelDoc::SaveModified() {
    if (!OfferUnappliedEdits()) return false;
    if (HasUnsavedChanges()) SetModifiedFlag(true);
    return ui::Document::SaveModified();
}

void CKorbelDoc::OnCloseDocument() {
    model_.reset();
    ui::Document::OnCloseDocument();
}

void CKorbelDoc::UpdateResultsFlag() { resultsFlag_ = model_ && model_->HasResults() ? 1 : 0; }

bool CKorbelDoc::HasOutputFile() const { return ui::FileExists(RunFileName(ui::Document::GetPathName(), ".sou")); }

int CKorbelDoc::ReadResults() {
    if (!model_) return 1;
    model_->resultsFlag = 0;
    const std::string sds = RunFileName(ui::Document::GetPathName(), ".sds");
    if (ui::FileExists(sds)) model_->ReadResultsFile(sds);
    UpdateResultsFlag();
    return 1;
}

// ---- Dialog slots ----

void CKorbelDoc::DeleteSlot(Slot slot) {
    DocDialog& d = slots_[slot];
    if (d.window && d.window->IsWindow()) d.window->DestroyWindow();
    d = DocDialog{};
}

void CKorbelDoc::DeleteAllDialogs() {
    for (int s = 0; s < SlotCount; ++s) DeleteSlot(static_cast<Slot>(s));
}

bool CKorbelDoc::Place(DocDialog& d) {
    const bool made = d.create ? d.create() : d.window->Create();
    if (!made || !d.window->IsWindow()) return false;
    ui::Rect r = d.window->GetWindowRect();
    r.x += kModelessOffset;
    r.y += kModelessOffset;
    d.window->MoveWindow(r);
    d.window->ShowWindow(true);
    return true;
}

bool CKorbelDoc::Recreate(Slot slot, const ModelessFactory& factory, const DocDialogRequest& request) {
    DeleteSlot(slot);
    if (!factory) return false;
    DocDialog made = factory(request);
    if (!made.window) return false;
    slots_[slot] = std::move(made);
    if (!Place(slots_[slot])) {
        DeleteSlot(slot);
        return false;
    }
    return true;
}

bool CKorbelDoc::CreateOrRetarget(Slot slot, const ModelessFactory& factory, const DocDialogRequest& request) {
    DocDialog& d = slots_[slot];
    if (d.window && d.window->IsWindow()) {
        if (d.retarget) d.retarget(request);
        d.window->ShowWindow(true);
        return true;
    }
    return Recreate(slot, factory, request);
}

// ---- Openers ----

void CKorbelDoc::RunModal(const ModalRunner& runner, ViewHost& view, int kind, bool resetHighlight) {
    if (!runner) return;
    view_ = &view;
    runner(DocDialogRequest{*this, view, kind});
    if (model_ && model_->IsChanged()) SetModifiedFlag(true);
    // The grid highlighted its current row in the view: cleared however it
    // closed.
    if (resetHighlight) ResetViewHighlight(view);
}

void CKorbelDoc::ShowNodeDataDialog(ViewHost& view) { RunModal(factories_.nodeData, view, 0, true); }

void CKorbelDoc::ShowConcentratedActionsDialog(ViewHost& view, int kind) {
    RunModal(factories_.concentratedActions, view, kind, true);
}

void CKorbelDoc::ShowElementConnectivityDialog(ViewHost& view) {
    RunModal(factories_.elementConnectivity, view, 0, true);
}

void CKorbelDoc::ShowEquivalentLoadsDialog(ViewHost& view) { RunModal(factories_.equivalentLoads, view, 0, true); }

void CKorbelDoc::ShowTitleDialog(ViewHost& view) { RunModal(factories_.title, view, 0, false); }

void CKorbelDoc::ShowNodalActionsDialog(ViewHost& view, int kind) {
    view_ = &view;
    if (!CreateOrRetarget(NodalActionsSlot, factories_.nodalActions, DocDialogRequest{*this, view, kind})) return;
    nodalKind_ = kind;
    view.SetPickTarget(kind <= 3 ? 1 : 2);
    pickMode_ = 2;
}

void CKorbelDoc::ShowEdgeActionsDialog(ViewHost& view, int kind) {
    view_ = &view;
    if (!CreateOrRetarget(EdgeActionsSlot, factories_.edgeActions, DocDialogRequest{*this, view, kind})) return;
    edgeKind_ = kind;
    view.SetPickTarget(3);
    pickMode_ = 4;
}

void CKorbelDoc::ShowMaterialDataDialog(ViewHost& view) {
    view_ = &view;
    if (!CreateOrRetarget(MaterialSlot, factories_.materialData, DocDialogRequest{*this, view, 0})) return;
    view.SetPickTarget(2);
    pickMode_ = 3;
}

void CKorbelDoc::ShowSetsDialog(int kind, ViewHost& view) {
    if (kind < 1 || kind > 3) return;
    view_ = &view;
    const Slot slot = static_cast<Slot>(NodeSetsSlot + kind - 1);
    if (Recreate(slot, factories_.sets, DocDialogRequest{*this, view, kind})) setsDialogOpen_ = 1;
}

void CKorbelDoc::ShowSetDialog(int kind, const std::string& setName, ui::Dialog* returnDialog, ViewHost& view) {
    view_ = &view;
    const DocDialogRequest request{*this, view, kind, setName, returnDialog};
    if (!CreateOrRetarget(SetMembersSlot, factories_.setMembers, request)) return;
    setKind_ = kind;
    setName_ = setName;
    view.SetPickTarget(kind);
    view.SetHighlightState(kind, setName);
    view.RebuildScene();
    view.RepaintView();
    pickMode_ = 1;
}

void CKorbelDoc::ShowSetSelection(ViewHost& view) {
    view_ = &view;
    if (!Recreate(SetPickerSlot, factories_.setSelection, DocDialogRequest{*this, view, 1})) return;
    if (ui::Dialog* nonlinear = SlotDialog(NodalNonlinearSlot)) nonlinear->ShowWindow(false);
}

void CKorbelDoc::ShowNonlinearSpringDialog(ViewHost& view) {
    view_ = &view;
    Recreate(NonlinearSpringSlot, factories_.nonlinearSpring, DocDialogRequest{*this, view, 0});
}

void CKorbelDoc::ShowNodalNonlinearDialog(ViewHost& view) {
    view_ = &view;
    Recreate(NodalNonlinearSlot, factories_.nodalNonlinear, DocDialogRequest{*this, view, 10});
}

void CKorbelDoc::ShowNodePathDialog(ViewHost& view) {
    view_ = &view;
    Recreate(NodePathSlot, factories_.nodePath, DocDialogRequest{*this, view, 0});
}

void CKorbelDoc::ShowSectionCutDialog(ViewHost& view) {
    view_ = &view;
    if (model_) model_->CopyCutLines();
    Recreate(SectionCutSlot, factories_.sectionCut, DocDialogRequest{*this, view, 0});
}

void CKorbelDoc::ShowXYPlotDialog(ViewHost& view) {
    view_ = &view;
    Recreate(XYPlotSlot, factories_.xyPlot, DocDialogRequest{*this, view, 0});
}

// ---- Closing steps ----

void CKorbelDoc::ResetViewHighlight(ViewHost& view) {
    view.SetHighlightState(0, "0");
    view.RebuildScene();
    view.RepaintView();
}

void CKorbelDoc::CloseRouted(bool setsDialog) {
    if (model_ && model_->IsChanged()) SetModifiedFlag(true);
    if (setsDialog)
        setsDialogOpen_ = 0;
    else
        pickMode_ = 0;
    if (!view_) return;
    ResetViewHighlight(*view_);
    if (!setsDialog) view_->SetPickTarget(0);
}

void CKorbelDoc::OnNodalActionsDialogClosed() {
    CloseRouted(false);
    if (view_) view_->OnNodalActionsClosed();
}

void CKorbelDoc::OnEdgeActionsDialogClosed() {
    CloseRouted(false);
    if (view_) view_->OnEdgeActionsClosed();
}

void CKorbelDoc::OnMaterialDataDialogClosed() {
    CloseRouted(false);
    if (!view_) return;
    view_->RebuildScene();
    view_->RepaintView();
}

void CKorbelDoc::OnSetsDialogClosed() { CloseRouted(true); }

void CKorbelDoc::OnSetSelected() {
    DocDialog& picker = slots_[SetPickerSlot];
    const std::string name = picker.chosenSetName ? picker.chosenSetName() : std::string();
    if (picker.window) picker.window->ShowWindow(false);
    DocDialog& nonlinear = slots_[NodalNonlinearSlot];
    if (!nonlinear.window) return;
    nonlinear.window->ShowWindow(true);
    if (nonlinear.takeNodeSet) nonlinear.takeNodeSet("UserSet \"" + name + "\"", name);
    if (!model_ || !view_) return;
    std::string text;
    for (int node : model_->SetNodeList(name, 2)) {
        if (!text.empty()) text += ',';
        text += std::to_string(node);
    }
    view_->SetHighlightedItems(1, text);
}

void CKorbelDoc::OnSetSelectionCancelled() {
    DocDialog& picker = slots_[SetPickerSlot];
    if (picker.window) picker.window->ShowWindow(false);
    if (ui::Dialog* nonlinear = SlotDialog(NodalNonlinearSlot)) nonlinear->ShowWindow(true);
}

void CKorbelDoc::ShowSetDialog(int kind, const std::string& setName, ui::Dialog* returnDialog) {
    if (ViewHost* view = FirstView()) ShowSetDialog(kind, setName, returnDialog, *view);
}

// ---- Picks ----

void CKorbelDoc::DispatchPick(const std::string& text) {
    Slot slot;
    switch (pickMode_) {
        case 1: slot = SetMembersSlot; break;
        case 2: slot = NodalActionsSlot; break;
        case 3: slot = MaterialSlot; break;
        case 4: slot = EdgeActionsSlot; break;
        default: return;
    }
    DocDialog& d = slots_[slot];
    if (d.window && d.window->IsWindow() && d.insertPickedName) d.insertPickedName(text);
}

std::string CKorbelDoc::FormatPickLabel(int item) const {
    if (!model_) return "0";
    auto open = [this](Slot s) { return slots_[s].window && slots_[s].window->IsWindow(); };
    switch (pickMode_) {
        case 1:
            if (!open(SetMembersSlot)) return "0";
            // Another set holding the item: the edited set itself is left out.
            return model_->FindNextSetContaining(item, setKind_, setName_, setName_);
        case 2:
            if (!open(NodalActionsSlot)) return "0";
            return model_->FindNextSetContaining(item, nodalKind_ <= 3 ? 1 : 2, "", "");
        case 3:
            if (!open(MaterialSlot)) return "0";
            return model_->FindNextSetContaining(item, 2, "", "");
        case 4:
            if (!open(EdgeActionsSlot)) return "0";
            return model_->FindNextSetContaining(item, 3, "", "");
        default: return "0";
    }
}

// ---- New from template ----

ViewHost* CKorbelDoc::FirstView() {
    if (view_) return view_;
    for (ui::View* v : Views())
        if (auto* host = dynamic_cast<ViewHost*>(v)) return view_ = host;
    return nullptr;
}

void CKorbelDoc::NewFromSlabType() {
    UpdateAllViews();
    ViewHost* view = FirstView();
    if (!factories_.slabType || !view) return;
    if (factories_.slabType(DocDialogRequest{*this, *view, 0}) == ui::IDOK) SetModifiedFlag(true);
}

void CKorbelDoc::NewFromTemplate() {
    UpdateAllViews();
    ViewHost* view = FirstView();
    if (!factories_.newTemplate || !view || !model_) return;
    if (factories_.newTemplate(DocDialogRequest{*this, *view, 0}) != ui::IDOK) return;
    if (factories_.generateStructuredMesh) factories_.generateStructuredMesh(*model_);
    model_->SetSoilModel(0);
    UpdateAllViews();
    SetModifiedFlag(true);
}

void CKorbelDoc::NewOctagonFoundation(int kind) {
    UpdateAllViews();
    ViewHost* view = FirstView();
    if (!factories_.octagonTemplate || !view || !model_) return;
    // The dialog stored the template in the model; the mesh is made apart.
    // A meshing that fails brings the dialog back with the values typed.
    for (;;) {
        if (factories_.octagonTemplate(DocDialogRequest{*this, *view, kind}) != ui::IDOK) return;
        const ModelData& chosen = *model_;
        if (RegenerateTemplate(TemplateModel(chosen, chosen.templateElementOption, chosen.templateIntegration,
                                             chosen.typicalElementSize)) != 0)
            break;
        UpdateAllViews();
    }
    if (model_->GetNodeCount() > kHugeModelNodes &&
        ui::MessageBox("This model has huge number of nodes. It may cause memory allocation error or very slow "
                       "analysis. Continue?",
                       ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES)
        return;
    model_->SetSoilModel(2);
    UpdateAllViews();
    SetModifiedFlag(true);
}

std::unique_ptr<ModelData> CKorbelDoc::TemplateModel(const ModelData& from, int elementCode, int integration,
                                                     double elementSize) {
    int kind = 0, code = 0, rule = 0;
    double d[11] = {};
    from.GetTemplateParameters(kind, code, rule, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10]);
    auto fresh = std::make_unique<ModelData>();
    fresh->Reset();
    fresh->SetTemplateParameters(kind, elementCode, integration, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8],
                                 d[9], elementSize);
    return fresh;
}

int CKorbelDoc::RegenerateTemplate(std::unique_ptr<ModelData> fresh) {
    UiMesherHost host;
    if (!MeshAndImportTemplate(*fresh, factories_.meshTemplate, host)) return 0;
    model_ = std::move(fresh);
    UpdateResultsFlag();
    SetModifiedFlag(true);
    return 1;
}

// ---- Help ----

void CKorbelDoc::ShowHelpTopics() { ui::ShellOpen(ui::ProgramFolder() + "Brennix_Help.chm"); }
void CKorbelDoc::ShowUsersManual() { ui::ShellOpen(ui::ProgramFolder() + "Brennix2025UsersManual.pdf"); }
void CKorbelDoc::ShowTechnicalManual() { ui::ShellOpen(ui::ProgramFolder() + "Brennix2025TechnicalManual.pdf"); }

// ---- Analysis run ----

std::string CKorbelDoc::ProgramFolderForRun() const {
    return programFolder_.empty() ? ui::ProgramFolder() : programFolder_;
}

int CKorbelDoc::RunAnalysis() {
    if (!model_) return 0;
    return ::RunAnalysis(*model_, ui::Document::GetPathName(), resultsFlag_ != 0, ProgramFolderForRun(), *this,
                         &lastRun_);
}

bool CKorbelDoc::Ask(const std::string& question) {
    return ui::MessageBox(question, ui::Buttons::YesNo, ui::Icon::Question) == ui::IDYES;
}

void CKorbelDoc::Progress(const std::string& title, const std::string& subtitle, int closeAfterMs) {
    CSplashWindow::ShowProgress(nullptr, &title, &subtitle, closeAfterMs);
}

void CKorbelDoc::OfferCancel(bool offered) { CSplashWindow::OfferCancel(offered); }

// The progress window is the one window served while the solver runs: its
// Cancel button (or close box) is the request.
bool CKorbelDoc::PollCancel() {
    if (CSplashWindow* w = CSplashWindow::Current()) ui::PumpWindowMessages(*w);
    return CSplashWindow::CancelAsked();
}

void CKorbelDoc::Message(const std::string& text, RunIcon icon) { ui::MessageBox(text, ui::Buttons::Ok, IconOf(icon)); }

void CKorbelDoc::OpenTextFile(const std::string& path) {
    if (!ui::OpenInTextEditor(path)) ui::MessageBox(EditorFailureMessage(path), ui::Buttons::Ok, ui::Icon::Exclamation);
}

void CKorbelDoc::Sleep(int ms) { ui::Sleep(ms); }

void CKorbelDoc::ModelSaved() { SetModifiedFlag(false); }

void CKorbelDoc::ResultsFlagChanged(bool hasResults) { resultsFlag_ = hasResults ? 1 : 0; }
