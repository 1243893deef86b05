#include "dialogs/InputDialogOpeners.h"

#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgMaterialProps.h"
#include "dialogs/DlgSoilStiffness.h"
#include "dialogs/DlgTimeStepping.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

namespace inputdialogs {

namespace {

void MarkModifiedWhenChanged(DocHost& doc) {
    if (ModelData* model = doc.GetModelData(); model && model->IsChanged()) doc.SetModifiedFlag(true);
}

// A settings dialog with the model's values in and, on OK, back; true then.
template <class Dialog>
bool RunOnModel(DocHost& doc) {
    ModelData* model = doc.GetModelData();
    if (!model) return false;
    Dialog dialog;
    dialog.LoadFrom(*model);
    if (dialog.DoModal() != ui::IDOK) return false;
    dialog.StoreTo(*model);
    return true;
}

}  // namespace

void ShowMaterialDataDialog(std::unique_ptr<DlgMaterialDataNew>& slot, DocHost& doc, ViewHost& view) {
    if (!slot || !slot->IsWindow()) {
        slot = std::make_unique<DlgMaterialDataNew>(&doc, &view);
        if (!slot->CreateModeless()) {
            slot.reset();
            return;
        }
        ui::Rect r = slot->GetWindowRect();
        slot->MoveWindow({r.x + 50, r.y + 50, r.w, r.h});
    } else {
        slot->LoadFromModel();
    }
    view.SetPickTarget(2);
    doc.SetPickMode(3);
    slot->ShowWindow(true);
    slot->Refresh();  // shown now: the current cell takes the focus
}

void RunTimeSteppingDialog(DocHost& doc, ViewHost& view) {
    if (!RunOnModel<DlgTimeStepping>(doc)) return;
    view.RepaintView();
    MarkModifiedWhenChanged(doc);
}

void RunSoilStiffnessDialog(DocHost& doc) {
    if (RunOnModel<DlgSoilStiffness>(doc)) MarkModifiedWhenChanged(doc);
}

bool RunNewMaterialDialog(DocHost& doc) {
    ModelData* model = doc.GetModelData();
    if (!model || !model->GetMaterialTable()) return false;
    MaterialTable& table = *model->GetMaterialTable();
    DlgMaterialProps dialog(nullptr, true);
    dialog.m_name = "NUEVO_MAT";
    dialog.m_E = 2000.0;
    dialog.m_t = 1.0;
    dialog.m_nu = 0.3;
    for (;;) {
        if (dialog.DoModal() != ui::IDOK) return false;
        bool free = true;
        for (const MaterialRow* r = table.GetHead(); r; r = r->next)
            if (r->element == dialog.m_name) free = false;
        if (free) break;
        ui::MessageBox("Element Set already defined");
    }
    table.AddMaterialRow(dialog.m_name, kMaterialIsotropic, dialog.m_E, 2000.0, dialog.m_nu, dialog.m_t);
    table.CountMaterialRows();
    table.RebuildMaterialIndex();
    // A new row is a change of the model: it must not be lost on closing.
    model->SetChanged();
    doc.SetModifiedFlag(true);
    return true;
}

}  // namespace inputdialogs
