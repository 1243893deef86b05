#include "viz/ui/DlgSelectStep.h"

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

DlgSelectStep::DlgSelectStep(ViewHost& view, ui::Window* parent) : ui::Dialog(kTemplateId, parent), view_(view) {
    OnClicked(IDC_APPLY, [this] { OnApply(); });
}

ui::DialogTemplate DlgSelectStep::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Select Step";
    t.rect = {0, 0, 186, 76};
    t.DefPushButton(IDOK, "OK", {129, 7, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {129, 24, 50, 14});
    t.Label(IDC_STEP_LABEL, "Step Number", {34, 12, 70, 8});
    t.PushButton(IDC_APPLY, "Apply", {129, 41, 50, 14});
    t.Combo(IDC_STEP, {34, 24, 70, 100}, cs::TabStop | cs::Sorted | cs::VScroll);
    t.PictureBox(IDC_ICON, {7, 7, 20, 20});
    return t;
}

bool DlgSelectStep::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    auto* list = Get<ui::ComboBox>(IDC_STEP);
    const ModelData* model = view_.GetModelData();
    if (!list || !model) return true;
    step_ = resultdlg::FillStepList(*list, *model);
    if (model->GetStepCount() > 0) {
        const std::string text = resultdlg::IntText(step_);
        list->SetCurSel(list->FindStringExact(text));
        list->SetWindowText(text);
    }
    return true;
}

void DlgSelectStep::OnApply() {
    step_ = resultdlg::ReadInt(GetDlgItemText(IDC_STEP));
    view_.SetCurrentStep(step_);
    view_.SetContourRange();
    view_.RepaintView();
}

void DlgSelectStep::OnOK() {
    step_ = resultdlg::ReadInt(GetDlgItemText(IDC_STEP));
    EndDialog(ui::IDOK);
}
