#include "viz/ui/DlgResultValues.h"

#include "uibase/Hosts.h"
#include "model/DataTable.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

DlgResultValues::DlgResultValues(ViewHost& view, ui::Window* parent)
    : NodeResultDialog(kTemplateId, view, IDC_NODE, IDC_NODE_SPIN, parent) {
    OnNotify(ui::Notify::CloseUp, IDC_VARIABLE, [this] { OnCloseUpVariable(); });
    OnNotify(ui::Notify::CloseUp, IDC_STEP, [this] { OnCloseUpStep(); });
}

ui::DialogTemplate DlgResultValues::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Node Coordinates, and Results";
    t.style |= style::Visible;
    t.rect = {0, 0, 296, 150};
    t.DefPushButton(IDOK, "OK", {236, 129, 50, 14});
    t.Label(IDC_Z_LABEL, "Coord. Z :", {10, 70, 64, 8});
    t.EditBox(IDC_VALUE, {216, 88, 70, 12}, cs::TabStop | cs::ReadOnly | cs::AutoHScroll);
    t.Label(IDC_NODE_LABEL, "Node Number :", {10, 10, 70, 8});
    t.EditBox(IDC_NODE, {82, 8, 40, 12}, cs::TabStop | cs::Number);
    t.SpinBox(IDC_NODE_SPIN, {122, 8, 10, 12});
    t.Label(IDC_Y_LABEL, "Coord. Y :", {10, 50, 64, 8});
    t.Combo(IDC_VARIABLE, {216, 48, 70, 100}, cs::TabStop | cs::DropList | cs::VScroll);
    t.PictureBox(IDC_ICON, {266, 4, 20, 20});
    t.Label(IDC_X_LABEL, "Coord. X :", {10, 30, 64, 8});
    t.Combo(IDC_STEP, {216, 28, 70, 100}, cs::TabStop | cs::Sorted | cs::VScroll);
    t.PushButton(IDCANCEL, "Cancel", {181, 129, 50, 14});
    t.EditBox(IDC_X, {76, 28, 70, 12}, cs::TabStop | cs::ReadOnly | cs::AutoHScroll);
    t.EditBox(IDC_Y, {76, 48, 70, 12}, cs::TabStop | cs::ReadOnly | cs::AutoHScroll);
    t.EditBox(IDC_Z, {76, 68, 70, 12}, cs::TabStop | cs::ReadOnly | cs::AutoHScroll);
    t.Label(IDC_VALUE_LABEL, "Value:", {150, 90, 64, 8});
    t.Label(IDC_VARIABLE_LABEL, "Variable:", {150, 50, 64, 8});
    t.Label(IDC_STEP_LABEL, "Step Number :", {150, 30, 64, 8});
    return t;
}

bool DlgResultValues::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (int id : {IDC_VARIABLE, IDC_STEP, IDC_X, IDC_Y})
        if (ui::Control* c = GetDlgItem(id)) c->ShowWindow(true);
    const ModelData* model = view_.GetModelData();
    if (!model || !model->HasResults()) {
        for (int id : {IDC_VARIABLE, IDC_STEP})
            if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(false);
        return true;
    }
    FillLists();
    return true;
}

void DlgResultValues::FillLists() {
    const ModelData* model = view_.GetModelData();
    auto* steps = Get<ui::ComboBox>(IDC_STEP);
    auto* variables = Get<ui::ComboBox>(IDC_VARIABLE);
    if (!model || !steps || !variables) return;
    for (int id : {IDC_VARIABLE, IDC_STEP})
        if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(true);
    view_.SetHighlightState(1, "0");
    // Without a step the lists stay empty and the step is 0.
    steps->ResetContent();
    variables->ResetContent();
    step_ = resultdlg::FillStepList(*steps, *model);
    if (step_ == 0 && model->GetStepCount() <= 0) return;
    stepText_ = resultdlg::IntText(step_);
    index_ = 1;
    for (int c = 0; c < model->GetResultColumnCount(); ++c)
        variables->AddString(resultdlg::ResultColumnCaption(*model, c));
    selection_ = 0;
    const NodeTable* nodes = model->GetNodeTable();
    if (nodes && nodes->GetCount() > 0) node_ = nodes->GetNodeId(0);
    filled_ = true;
    UpdateData(false);
    if (ui::Control* c = GetDlgItem(ui::IDCANCEL)) c->ShowWindow(false);
    RefreshValues();
}

// The value shown follows the kind at once: the window made at the first
// showing filled its lists before the view set the kind.
void DlgResultValues::SetKind(int kind) {
    const bool changed = kind != kind_;
    kind_ = kind;
    const ModelData* model = view_.GetModelData();
    if (kind_ == 2 && !filled_ && model && model->HasResults())
        FillLists();
    else if (changed && filled_)
        RefreshValues();
}

void DlgResultValues::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NODE, node_);
    dx.ComboIndex(IDC_VARIABLE, selection_);
    if (dx.Saving()) {
        stepText_ = GetDlgItemText(IDC_STEP);
        return;
    }
    if (auto* steps = Get<ui::ComboBox>(IDC_STEP)) {
        const int at = steps->FindStringExact(stepText_);
        if (at >= 0) steps->SetCurSel(at);
        steps->SetWindowText(stepText_);
    }
    dx.Text(IDC_X, x_);
    dx.Text(IDC_Y, y_);
    dx.Text(IDC_Z, z_);
    dx.Text(IDC_VALUE, value_);
}

void DlgResultValues::RefreshValues() {
    const ModelData* model = view_.GetModelData();
    const NodeTable* nodes = model ? model->GetNodeTable() : nullptr;
    if (!nodes || nodes->GetCount() <= 0) return;
    int row = nodes->FindNodeRowById(node_);
    if (row < 0) row = nodes->FindNearestRow(node_);
    if (row < 0) return;
    node_ = nodes->GetNodeId(row);
    if (kind_ == 2) value_ = resultdlg::ShownValue(model->GetResultValue(index_ - 1, row, step_));
    x_ = static_cast<float>(nodes->GetX(row));
    y_ = static_cast<float>(nodes->GetY(row));
    z_ = static_cast<float>(nodes->GetZ(row));
    view_.SetHighlightedItems(1, resultdlg::IntText(node_));
    UpdateData(false);
}

void DlgResultValues::OnCloseUpVariable() {
    UpdateData(true);
    index_ = selection_ + 1;
    RefreshValues();
}

void DlgResultValues::OnCloseUpStep() {
    UpdateData(true);
    step_ = resultdlg::ReadInt(stepText_);
    RefreshValues();
}

void DlgResultValues::OnClosed() { view_.OnResultValuesDialogClosed(); }
