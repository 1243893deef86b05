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

// A settings dialog with the model's values in and, on OK or Apply, back;
// `stored` runs after each store. True after OK.
template <class Dialog, class Stored>
bool RunOnModel(DocHost& doc, Stored stored) {
    ModelData* model = doc.GetModelData();
    if (!model) return false;
    Dialog dialog;
    dialog.LoadFrom(*model);
    dialog.onApply = [&] {
        dialog.StoreTo(*model);
        stored();
    };
    if (dialog.DoModal() != ui::IDOK) return false;
    dialog.StoreTo(*model);
    stored();
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
    RunOnModel<DlgTimeStepping>(doc, [&] {
        view.RepaintView();
        MarkModifiedWhenChanged(doc);
    });
}

void RunSoilStiffnessDialog(DocHost& doc) {
    RunOnModel<DlgSoilStiffness>(doc, [&] { MarkModifiedWhenChanged(doc); });
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
