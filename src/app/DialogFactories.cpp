#include "app/DialogFactories.h"

#include <memory>

#include "app/ActionDialogHooks.h"
#include "app/KorbelDoc.h"
#include "dialogs/DlgElementConect.h"
#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgNodeData.h"
#include "dialogs/DlgTitle.h"
#include "meshtools/StructuredMesh.h"
#include "meshtools/ui/DlgNewTemplate.h"
#include "meshtools/ui/NewProject.h"
#include "viz/ui/DlgSectionCut.h"
#include "viz/ui/DlgXYPlot.h"

namespace {

template <class Dialog, class... Args>
int RunModalDialog(Args&&... args)
{
    Dialog dialog(std::forward<Args>(args)...);
    return dialog.DoModal();
}

// A modeless grid kept in a document slot: created, reloaded from the
// model when opened again, and given the items picked in the view.
DocDialog MaterialDialog(const DocDialogRequest& r)
{
    auto dialog = std::make_unique<DlgMaterialDataNew>(&r.doc, &r.view);
    DlgMaterialDataNew* p = dialog.get();
    DocDialog made;
    made.window = std::move(dialog);
    made.create = [p] { return p->CreateModeless(); };
    made.retarget = [p](const DocDialogRequest&) { p->LoadFromModel(); };
    made.insertPickedName = [p](const std::string& text) { p->InsertPickedName(text); };
    return made;
}

// A modeless dialog the document makes anew at every opening; it keeps the
// document and the view.
template <class Dialog>
DocDialog FreshDialog(const DocDialogRequest& r)
{
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

void RegisterProgramDialogs()
{
    DocDialogFactories& f = InputDialogFactories();
    f.nodeData = [](const DocDialogRequest& r) { return RunModalDialog<DlgNodeData>(&r.doc, &r.view); };
    f.elementConnectivity = [](const DocDialogRequest& r) {
        return RunModalDialog<DlgElementConect>(&r.doc, &r.view);
    };
    f.title = [](const DocDialogRequest& r) { return RunModalDialog<DlgTitle>(&r.doc); };
    f.materialData = MaterialDialog;
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
}
