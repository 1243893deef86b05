#include "app/DialogFactories.h"

#include <memory>

#include "app/ActionDialogHooks.h"
#include "app/KorbelDoc.h"
#include "dialogs/CDlgNodalNonlinearActions.h"
#include "dialogs/CDlgNodePath.h"
#include "dialogs/CDlgNonlinearSpring.h"
#include "dialogs/CDlgSetSelection.h"
#include "dialogs/DlgDefineSet.h"
#include "dialogs/DlgDefineSets.h"
#include "dialogs/DlgElementConect.h"
#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgNodeData.h"
#include "dialogs/DlgTitle.h"
#include "meshtools/StructuredMesh.h"
#include "meshtools/ui/DlgNewTemplate.h"
#include "meshtools/TemplateGeometry.h"
#include "meshtools/ui/DlgTemplateOctagon.h"
#include "meshtools/ui/NewProject.h"
#include "platform/ui/Services.h"
#include "viz/ui/DlgEquivLoad.h"
#include "viz/ui/DlgSectionCut.h"
#include "viz/ui/DlgXYPlot.h"

namespace {

template <class Dialog, class... Args>
int RunModalDialog(Args&&... args) {
    Dialog dialog(std::forward<Args>(args)...);
    return dialog.DoModal();
}

// A modeless grid kept in a document slot: created, reloaded from the
// model when opened again, and given the items picked in the view.
DocDialog MaterialDialog(const DocDialogRequest& r) {
    auto dialog = std::make_unique<DlgMaterialDataNew>(&r.doc, &r.view);
    DlgMaterialDataNew* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.create = [p] { return p->CreateModeless(); };
    made.retarget = [p](const DocDialogRequest&) { p->LoadFromModel(); };
    made.insertPickedName = [p](const std::string& text) { p->InsertPickedName(text); };
    return made;
}

// The sets dialog of one kind, made anew on each opening.
DocDialog SetsDialog(const DocDialogRequest& r) {
    auto dialog = std::make_unique<DlgDefineSets>(r.kind, &r.doc, &r.view);
    DlgDefineSets* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.create = [p] { return p->CreateModeless(); };
    return made;
}

// The member dialog: made on the first Define, re-targeted by later ones.
DocDialog SetMembersDialog(const DocDialogRequest& r) {
    auto* returnTo = dynamic_cast<DlgDefineSets*>(r.returnDialog);
    auto dialog = std::make_unique<DlgDefineSet>(r.kind, r.setName, returnTo, &r.doc, &r.view);
    DlgDefineSet* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.create = [p] { return p->CreateModeless(); };
    made.retarget = [p](const DocDialogRequest& again) {
        p->Retarget(again.kind, again.setName, dynamic_cast<DlgDefineSets*>(again.returnDialog), &again.doc,
                    &again.view);
    };
    made.insertPickedName = [p](const std::string& text) { p->InsertPickedName(text); };
    return made;
}

DocDialog SetSelectionDialog(const DocDialogRequest& r) {
    auto dialog = std::make_unique<CDlgSetSelection>(&r.doc, &r.view);
    CDlgSetSelection* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.chosenSetName = [p] { return p->SelectedSetName(); };
    return made;
}

DocDialog NonlinearSpringDialog(const DocDialogRequest& r) {
    DocDialog made;
    made.window = std::make_unique<CDlgNonlinearSpring>(&r.doc, &r.view, dynamic_cast<ui::Window*>(&r.view));
    return made;
}

DocDialog NodalNonlinearDialog(const DocDialogRequest& r) {
    auto dialog = std::make_unique<CDlgNodalNonlinearActions>(&r.doc, &r.view, dynamic_cast<ui::Window*>(&r.view));
    CDlgNodalNonlinearActions* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.takeNodeSet = [p](const std::string& nodeText, const std::string& setName) {
        p->TakeNodeSet(nodeText, setName);
    };
    return made;
}

DocDialog NodePathDialog(const DocDialogRequest& r) {
    DocDialog made;
    made.window = std::make_unique<CDlgNodePath>(&r.doc, &r.view);
    return made;
}

// A modeless dialog the document makes anew at every opening; it keeps the
// document and the view.
template <class Dialog>
DocDialog FreshDialog(const DocDialogRequest& r) {
    auto dialog = std::make_unique<Dialog>();
    Dialog* p = dialog.get();
    p->m_pDoc = &r.doc;
    p->m_pView = &r.view;
    DocDialog made;
    made.window = std::move(dialog);
    made.create = [p] { return p->CreateModeless(); };
    return made;
}

}  // namespace

void RegisterProgramDialogs() {
    DocDialogFactories& f = InputDialogFactories();
    f.nodeData = [](const DocDialogRequest& r) { return RunModalDialog<DlgNodeData>(&r.doc, &r.view); };
    f.elementConnectivity = [](const DocDialogRequest& r) { return RunModalDialog<DlgElementConect>(&r.doc, &r.view); };
    f.title = [](const DocDialogRequest& r) { return RunModalDialog<DlgTitle>(&r.doc); };
    f.equivalentLoads = [](const DocDialogRequest& r) { return RunEquivalentLoadsDialog(r.doc, r.view); };
    f.materialData = MaterialDialog;
    f.sets = SetsDialog;
    f.setMembers = SetMembersDialog;
    f.setSelection = SetSelectionDialog;
    f.nonlinearSpring = NonlinearSpringDialog;
    f.nodalNonlinear = NodalNonlinearDialog;
    f.nodePath = NodePathDialog;
    f.sectionCut = FreshDialog<CDlgSectionCut>;
    f.xyPlot = FreshDialog<CDlgXYPlot>;
    InstallActionDialogHooks(f);

    // New from template: "Next" on a conventional slab goes on to the
    // template dialog and its structured mesh, on a foundation to the
    // document's foundation template.
    f.slabType = [](const DocDialogRequest& r) {
        CKorbelDoc& doc = r.doc;
        const bool next = RunNewFromSlabType(doc, [&doc](int kind) { doc.NewOctagonFoundation(kind); });
        return next ? ui::IDOK : ui::IDCANCEL;
    };
    f.newTemplate = [](const DocDialogRequest& r) {
        ModelData* model = r.doc.GetModelData();
        return model ? RunModalDialog<DlgNewTemplate>(model) : ui::IDCANCEL;
    };
    f.generateStructuredMesh = [](ModelData& model) { GenerateStructuredMesh(model); };

    // The foundation templates: the dialog, then the geometry written for
    // the mesh generator of the program's folder; its messages are boxes. A
    // mesh that was not made is not imported.
    f.octagonTemplate = [](const DocDialogRequest& r) {
        ModelData* model = r.doc.GetModelData();
        return model ? RunModalDialog<DlgTemplateOctagon>(model, r.kind) : ui::IDCANCEL;
    };
    f.meshTemplate = [](const ModelData& model, const std::string& geometry, const std::string& second,
                        TemplateLists& lists) {
        UiMesherHost host;
        return LibraryTemplateMesher(ui::ProgramFolder(), host)(model, geometry, second, lists);
    };
}
