// The program's document: the one model of the open ".slb" file (new, open
// with conversion of early versions, save, close), the results flag, the
// analysis run, and the input dialogs it opens. Modal dialogs run on the
// opener's stack; the modeless ones live in the document's slots, and the
// pick mode routes items picked in the view to the one that takes them.
//
// The dialogs themselves come from their own libraries: each opener calls
// one factory hook (DocDialogFactories) that builds and runs, or builds and
// hands back, its dialog. Without a hook the opener does nothing.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/run/AnalysisRun.h"
#include "meshtools/TemplateMeshing.h"
#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DocView.h"

class ModelData;
class CKorbelDoc;

// What an opener hands a factory.
struct DocDialogRequest {
    CKorbelDoc& doc;
    ViewHost& view;
    int kind = 0;                        // table kind, set kind or slab type
    std::string setName = {};            // the set-members dialog's set
    ui::Dialog* returnDialog = nullptr;  // the set-members dialog's caller
};

// A modeless dialog kept by the document and what the document asks of it.
struct DocDialog {
    // Owned by the document's slot: the window is destroyed and the object
    // deleted by the slot only (its PostNcDestroy must not delete it).
    std::unique_ptr<ui::Dialog> window;
    // Creates the window modelessly; default Dialog::Create().
    std::function<bool()> create;
    // Dialogs created once: takes the new kind (and set name and return
    // dialog of the set-members dialog) and reloads from the model.
    std::function<void(const DocDialogRequest&)> retarget;
    // The text of an item picked in the view for the current row.
    std::function<void(const std::string&)> insertPickedName;
    // The set picker: the name of the chosen node set.
    std::function<std::string()> chosenSetName;
    // The nodal nonlinear dialog: its node field becomes the text, its
    // node-list change handler runs, and it keeps the set name.
    std::function<void(const std::string& nodeText, const std::string& setName)> takeNodeSet;
};

using ModelessFactory = std::function<DocDialog(const DocDialogRequest&)>;
// Runs a modal dialog; its DoModal result.
using ModalRunner = std::function<int(const DocDialogRequest&)>;


struct DocDialogFactories {
    // Modal input dialogs.
    ModalRunner nodeData, concentratedActions, elementConnectivity, equivalentLoads, title;
    // New from template: the slab type, the structured template and the
    // foundation template dialogs.
    ModalRunner slabType, newTemplate, octagonTemplate;
    // The structured mesh of the template dialog's values.
    std::function<void(ModelData&)> generateStructuredMesh;
    // The meshing step of the foundation templates (kind 1 octagon, 2 circle):
    // the mesh generator of the program's folder on the template's geometry.
    TemplateMesher meshTemplate;
    // Modeless dialogs.
    ModelessFactory nodalActions, edgeActions, materialData, sets, setMembers, nonlinearSpring, nodalNonlinear,
        setSelection, nodePath, sectionCut, xyPlot;
};

// The hooks every new document starts with; the dialogs' libraries fill it
// at start-up.
DocDialogFactories& InputDialogFactories();

class CKorbelDoc : public ui::Document, public DocHost, public RunHost {
public:
    static const char* const kCurrentVersion;  // "V4.1"
    // Modeless placement relative to where the dialog was created.
    static constexpr int kModelessOffset = 50;

    CKorbelDoc();
    ~CKorbelDoc() override;

    // ---- Life cycle ----
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    // The reading part of OnOpenDocument, for a path known to be a regular
    // file; may throw (std::bad_alloc for a model too large for memory).
    bool OpenModelFile(const std::string& path);
    bool OnSaveDocument(const std::string& path) override;
    void OnCloseDocument() override;
    // The save question reads the same state as the Save command.
    // First asks for each shown grid holding edits that are not applied:
    // Yes applies them, No drops them, Cancel (or a failed check) keeps the
    // document.
    bool SaveModified() override;
    // The one modified state: the document's flag or a model changed since
    // it was read or saved (an Apply in a modeless grid changes the model
    // while the grid stays open).
    bool HasUnsavedChanges() const;

    // ---- DocHost ----
    ModelData* GetModelData() const override { return model_.get(); }
    std::string GetPathName() const override { return ui::Document::GetPathName(); }
    void SetModifiedFlag(bool modified = true) override { ui::Document::SetModifiedFlag(modified); }
    using ui::Document::UpdateAllViews;
    void UpdateAllViews() override { ui::Document::UpdateAllViews(nullptr); }
    int PickMode() const override { return pickMode_; }
    void SetPickMode(int mode) override { pickMode_ = mode; }
    bool HasResults() const override { return resultsFlag_ != 0; }
    void OnNodalActionsDialogClosed() override;
    void OnEdgeActionsDialogClosed() override;
    void OnMaterialDataDialogClosed() override;
    void OnSetsDialogClosed() override;
    void OnSetSelected() override;
    void OnSetSelectionCancelled() override;
    void ShowSetDialog(int kind, const std::string& setName, ui::Dialog* returnDialog) override;

    // ---- State shared with the view ----
    int ResultsFlag() const { return resultsFlag_; }
    void UpdateResultsFlag();
    const std::string& FileVersion() const { return fileVersion_; }
    int SolidFaceSetting() const { return solidFace_; }
    // The view's next scene build takes the solid-face setting and clears it.
    int DisplaySettingsPending() const { return displayPending_; }
    void ClearDisplaySettingsPending() { displayPending_ = 0; }
    // The view's first rebuild after an opening takes the solid-face setting.
    bool TakePendingDisplaySettings(int& solidFace) override {
        if (!displayPending_) return false;
        displayPending_ = 0;
        solidFace = solidFace_;
        return true;
    }
    int SetsDialogOpen() const { return setsDialogOpen_; }
    // Base ".sou" exists.
    bool HasOutputFile() const;
    // Read Results: the step results of base ".sds" when present.
    int ReadResults();

    // ---- Dialog openers ----
    DocDialogFactories& Factories() { return factories_; }
    void ShowNodeDataDialog(ViewHost& view);
    void ShowConcentratedActionsDialog(ViewHost& view, int kind);
    void ShowElementConnectivityDialog(ViewHost& view);
    void ShowEquivalentLoadsDialog(ViewHost& view);
    void ShowTitleDialog(ViewHost& view);
    void ShowNodalActionsDialog(ViewHost& view, int kind);
    void ShowEdgeActionsDialog(ViewHost& view, int kind);
    void ShowMaterialDataDialog(ViewHost& view);
    void ShowSetsDialog(int kind, ViewHost& view);
    void ShowSetDialog(int kind, const std::string& setName, ui::Dialog* returnDialog, ViewHost& view);
    void ShowSetSelection(ViewHost& view);
    void ShowNonlinearSpringDialog(ViewHost& view);
    void ShowNodalNonlinearDialog(ViewHost& view);
    void ShowNodePathDialog(ViewHost& view);
    void ShowSectionCutDialog(ViewHost& view);
    void ShowXYPlotDialog(ViewHost& view);

    // ---- Picks ----
    // Hands the text of an item picked in the view to the dialog of the pick
    // mode.
    void DispatchPick(const std::string& text);
    // The label of a double-click pick: the next set of the routed dialog's
    // kind that holds the item, "0" when none or no routed dialog is open.
    std::string FormatPickLabel(int item) const;
    // The view's highlight cleared (kind 0, "0"), rebuilt and repainted.
    static void ResetViewHighlight(ViewHost& view);

    // ---- New from template ----
    void NewFromSlabType();
    void NewFromTemplate();
    void NewOctagonFoundation(int kind);
    // Meshes the template of `fresh` (a new model holding the template
    // parameters) in a scratch folder of its own, removed afterwards, and
    // imports the mesh into it. On success the new model replaces the
    // document's, which is marked modified; otherwise "Error reading file
    // temp.fem " is shown and the document's model stays as it was. 1 when
    // imported, else 0.
    int RegenerateTemplate(std::unique_ptr<ModelData> fresh);
    // A new model with the template parameters of `from`, with another
    // element code, integration option and element size.
    static std::unique_ptr<ModelData> TemplateModel(const ModelData& from, int elementCode, int integration,
                                                    double elementSize);

    // ---- Help ----
    void ShowHelpTopics();
    void ShowUsersManual();
    void ShowTechnicalManual();

    // ---- Analysis run ----
    // 0 when the user kept the results or the model has errors, else 1.
    int RunAnalysis();
    // What happened during the last run.
    const RunOutcome& LastRunOutcome() const { return lastRun_; }
    // The folder of the solver library and the analysis program; the
    // program's own folder unless set (tests).
    void SetProgramFolder(const std::string& folder) { programFolder_ = folder; }
    std::string ProgramFolderForRun() const;

    // RunHost
    bool Ask(const std::string& question) override;
    void Progress(const std::string& title, const std::string& subtitle, int closeAfterMs) override;
    void OfferCancel(bool offered) override;
    bool PollCancel() override;
    void Message(const std::string& text, RunIcon icon) override;
    // Shows a text file in the text editor; a message box names the editor
    // and where it is set when it cannot be started.
    void OpenTextFile(const std::string& path) override;
    void Sleep(int ms) override;
    void ModelSaved() override;
    void ResultsFlagChanged(bool hasResults) override;

    // The slots, for the view's update rules and tests.
    enum Slot {
        NodalActionsSlot,
        EdgeActionsSlot,
        MaterialSlot,
        NodeSetsSlot,
        ElementSetsSlot,
        EdgeSetsSlot,
        SetMembersSlot,
        NonlinearSpringSlot,
        NodalNonlinearSlot,
        SetPickerSlot,
        NodePathSlot,
        SectionCutSlot,
        XYPlotSlot,
        SlotCount
    };
    ui::Dialog* SlotDialog(Slot slot) const { return slots_[slot].window.get(); }

private:
    // The modal pattern: run, then mark modified when the model changed and,
    // with resetHighlight, clear the view's highlight (changed or not).
    void RunModal(const ModalRunner& runner, ViewHost& view, int kind, bool resetHighlight);
    // Old deleted, new created, placed and shown. False without a factory or
    // when the window could not be made.
    bool Recreate(Slot slot, const ModelessFactory& factory, const DocDialogRequest& request);
    // Created once: made on first use, re-targeted later; shown.
    bool CreateOrRetarget(Slot slot, const ModelessFactory& factory, const DocDialogRequest& request);
    bool Place(DocDialog& d);
    void DeleteSlot(Slot slot);
    void DeleteAllDialogs();
    // The closing steps of the grids: modified flag, highlight, and the end
    // of picking (of the sets dialog flag for the sets grid).
    void CloseRouted(bool setsDialog);
    void NewModel();
    // The question of SaveModified for the grids; false to keep the document.
    bool OfferUnappliedEdits();
    // The view of the last opener, else the document's first view.
    ViewHost* FirstView();

    std::unique_ptr<ModelData> model_;
    int resultsFlag_ = 0;
    std::string fileVersion_;
    int displayPending_ = 1;
    int solidFace_ = 1;
    int pickMode_ = 0;
    int setsDialogOpen_ = 0;
    // What the routed dialogs were opened for.
    int nodalKind_ = 0;
    int edgeKind_ = 0;
    int setKind_ = 0;
    std::string setName_;
    ViewHost* view_ = nullptr;  // the view of the last opener
    std::array<DocDialog, SlotCount> slots_;
    DocDialogFactories factories_;
    std::string programFolder_;
    RunOutcome lastRun_;
};
