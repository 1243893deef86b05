#include "viz/ui/DlgDefFactor.h"

#include <cstdio>

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

namespace {

constexpr double kMaxFactor = 1e128;
constexpr int kScaleDeformationFactor = 2;  // view-transform kind of the model

}  // namespace

DlgDefFactor::DlgDefFactor(ViewHost& view, ui::Window* parent) : ui::Dialog(kTemplateId, parent), view_(view) {
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnClicked(IDC_SHOW_DEFORMED, [this] { OnOptionChanged(); });
    OnClicked(IDC_SHOW_UNDEFORMED, [this] { OnOptionChanged(); });
    OnNotify(ui::Notify::Change, IDC_FACTOR, [this] { OnOptionChanged(); });
    OnNotify(ui::Notify::DeltaPos, IDC_FACTOR_SPIN, [this](ui::Notification& n) { OnDeltaPosFactor(n); });
}

ui::DialogTemplate DlgDefFactor::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Deformed Shape";
    t.style |= style::Visible;
    t.rect = {0, 0, 200, 86};
    t.DefPushButton(IDOK, "OK", {143, 7, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {143, 24, 50, 14});
    t.Label(IDC_FACTOR_LABEL, "Deformed Shape Factor", {34, 10, 105, 8});
    t.EditBox(IDC_FACTOR, {34, 22, 80, 12}, cs::TabStop | cs::AutoHScroll);
    t.SpinBox(IDC_FACTOR_SPIN, {114, 22, 10, 12});
    t.PushButton(IDC_APPLY, "Apply", {143, 41, 50, 14});
    t.CheckBox(IDC_SHOW_DEFORMED, "Show Deformed Shape", {34, 44, 100, 10});
    t.CheckBox(IDC_SHOW_UNDEFORMED, "Show Undeformed Model", {34, 58, 100, 10});
    t.PictureBox(IDC_ICON, {7, 7, 20, 20});
    return t;
}

bool DlgDefFactor::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (const ModelData* model = view_.GetModelData()) factor_ = model->GetDeformationFactor();
    view_.GetDeformedShape(deformed_, undeformed_);
    UpdateData(false);
    SaveAppliedState();
    UpdateApplyState();
    return true;
}

std::string DlgDefFactor::FormatFactor(double f) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", f);
    return text;
}

// The field shows the factor to 15 digits; a field that still shows the
// factor's own text keeps the factor's exact value, so that the spin steps
// on from it.
void DlgDefFactor::DoDataExchange(ui::DataExchange& dx) {
    if (!dx.Saving())
        SetDlgItemText(IDC_FACTOR, FormatFactor(factor_));
    else if (!resultdlg::ShowsOwnText(GetDlgItemText(IDC_FACTOR), factor_, FormatFactor))
        dx.Text(IDC_FACTOR, factor_, 0.0, kMaxFactor);
    dx.Check(IDC_SHOW_DEFORMED, deformed_);
    dx.Check(IDC_SHOW_UNDEFORMED, undeformed_);
}

void DlgDefFactor::OnOptionChanged() {
    UpdateData(true);
    CheckModified();
    UpdateApplyState();
}

bool DlgDefFactor::OnApply() {
    if (!UpdateData(true)) return false;
    SaveAppliedState();
    UpdateApplyState();
    view_.SetDeformedShape(deformed_, undeformed_);
    if (ModelData* model = view_.GetModelData()) {
        const double current = model->GetDeformationFactor();
        if (current != 0.0)
            model->SetViewTransform(kScaleDeformationFactor, factor_ / current, 0.0);
        else
            model->deformationFactor = factor_;
    }
    view_.RepaintView();
    return true;
}

void DlgDefFactor::OnOK() {
    if (OnApply()) EndDialog(ui::IDOK);
}

double DlgDefFactor::StepFactor(double f, int d) {
    if (f <= 0.0) return 1.0;
    return resultdlg::StepLeadingDigit(f, d < 0, 0.0);
}

void DlgDefFactor::OnDeltaPosFactor(ui::Notification& n) {
    UpdateData(true);
    factor_ = StepFactor(factor_, n.delta);
    UpdateData(false);
    CheckModified();
    UpdateApplyState();
    n.result = 0;
}

void DlgDefFactor::CheckModified() {
    modified_ = factor_ != appliedFactor_ || deformed_ != appliedDeformed_ || undeformed_ != appliedUndeformed_;
}

void DlgDefFactor::SaveAppliedState() {
    appliedFactor_ = factor_;
    appliedDeformed_ = deformed_;
    appliedUndeformed_ = undeformed_;
    modified_ = false;
}

void DlgDefFactor::UpdateApplyState() {
    const bool deformed = IsDlgButtonChecked(IDC_SHOW_DEFORMED) != 0;
    for (int id : {IDC_SHOW_UNDEFORMED, IDC_FACTOR, IDC_FACTOR_SPIN})
        if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(deformed);
    if (ui::Control* c = GetDlgItem(IDC_APPLY)) c->EnableWindow(modified_);
    SetDlgItemText(ui::IDCANCEL, modified_ ? "Cancel" : "Close");
}
