#include "viz/ui/DlgNodeResults.h"

#include "uibase/Hosts.h"
#include "model/DataTable.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

namespace {

// Labels of the six value fields per result group; the plate forces have
// five values, the soil reactions three.
const char* const kLabels[5][6] = {
    {"Disp. x", "Disp. y", "Disp. z", "Rot. x", "Rot. y", "Rot. z"},
    {"Force x", "Force y", "Force z", "Moment x", "Moment y", "Moment z"},
    {"My", "Mz", "Myz", "Qy", "Qz", " "},
    {"Sigma yy top", "Sigma zz top", "Sigma yz top", "Sigma yy bot.", "Sigma zz bot.", "Sigma yz bot."},
    {"soil press. q", "nodal Rx (sti)", "nodal Rx (NL)", "", "", ""},
};
const char* const kFirstLabels[6] = {"Disp. X", "Disp. Y", "Disp. Z", "Rot. X", "Rot. Y", "Rot. Z"};
constexpr int kPlateForces = 2;
constexpr int kSoilReactions = 4;

int LabelId(int i) { return DlgNodeResults::IDC_LABEL1 + 2 * i; }
int ValueId(int i) { return DlgNodeResults::IDC_VALUE1 + 2 * i; }

}  // namespace

const char* const DlgNodeResults::kSoilExplanation =
    "nodal Rx (sti): concentrated nodal reaction from soil stiffness. \n"
    "nodal Rx (NL): concentrated nodal reaction from nonlinear spring";

DlgNodeResults::DlgNodeResults(ViewHost& view, ui::Window* parent)
    : NodeResultDialog(kTemplateId, view, IDC_NODE, IDC_NODE_SPIN, parent) {
    OnNotifyRange(ui::Notify::Clicked, IDC_DISPLACEMENT, IDC_SOIL_REACTION,
                  [this](ui::Notification&) { OnVariableType(); });
}

ui::DialogTemplate DlgNodeResults::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Results at nodes";
    t.style |= style::Visible;
    t.rect = {0, 0, 266, 176};
    t.DefPushButton(IDOK, "Close", {206, 155, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {151, 155, 50, 14}, cs::Hidden);
    t.Label(IDC_NODE_LABEL, "Node Number", {10, 10, 60, 8});
    t.EditBox(IDC_NODE, {74, 8, 40, 12}, cs::TabStop | cs::Number);
    t.SpinBox(IDC_NODE_SPIN, {114, 8, 10, 12});
    for (int i = 0; i < 6; ++i) {
        const int y = 30 + 16 * i;
        t.Label(LabelId(i), kFirstLabels[i], {10, y + 2, 62, 8});
        t.EditBox(ValueId(i), {74, y, 70, 12}, cs::TabStop | cs::ReadOnly | cs::AutoHScroll);
    }
    t.PictureBox(IDC_ICON, {236, 6, 20, 20});
    t.Group(IDC_TYPE_GROUP, "Variable Type", {155, 30, 101, 76});
    t.Radio(IDC_DISPLACEMENT, "Displacement", {161, 42, 90, 10}, cs::Group | cs::TabStop);
    t.Radio(IDC_REACTION, "Reaction at Fixed BC", {161, 54, 90, 10});
    t.Radio(IDC_PLATE_FORCE, "Plate Force", {161, 66, 90, 10});
    t.Radio(IDC_PLATE_STRESS, "Plate Stress", {161, 78, 90, 10});
    t.Radio(IDC_SOIL_REACTION, "Soil Reaction", {161, 90, 90, 10});
    t.Label(IDC_EXPLANATION, kSoilExplanation, {10, 122, 246, 28}, cs::Hidden);
    return t;
}

bool DlgNodeResults::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    node_ = 1;
    type_ = 0;
    UpdateData(false);
    RefreshValues();
    return true;
}

void DlgNodeResults::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NODE, node_);
    dx.Radio(IDC_DISPLACEMENT, type_);
    if (type_ < 0) type_ = 0;
    // The value fields only show.
    if (!dx.Saving())
        for (int i = 0; i < 6; ++i) dx.Text(ValueId(i), values_[static_cast<std::size_t>(i)]);
}

void DlgNodeResults::OnVariableType() {
    UpdateData(true);
    SetVariableLabels();
}

void DlgNodeResults::SetVariableLabels() {
    for (int i = 0; i < 6; ++i) SetDlgItemText(LabelId(i), kLabels[type_][i]);
    RefreshValues();
}

void DlgNodeResults::ShowValueField(int i, bool show) {
    if (ui::Control* c = GetDlgItem(LabelId(i))) c->ShowWindow(show);
    if (ui::Control* c = GetDlgItem(ValueId(i))) c->ShowWindow(show);
}

// Value k (from 0) of the dialog's result group.
double DlgNodeResults::ReadValue(int row, int step, int k) const {
    const ModelData& m = *view_.GetModelData();
    switch (type_) {
        case 0: {
            double (ModelData::*const disp[6])(int, int)
                const = {&ModelData::GetDispX, &ModelData::GetDispY, &ModelData::GetDispZ,
                         &ModelData::GetRotX,  &ModelData::GetRotY,  &ModelData::GetRotZ};
            return (m.*disp[k])(row, step);
        }
        case 1: return m.GetReaction(k + 1, row, step);
        case kPlateForces: return k < 5 ? m.GetPlateForce(k + 1, row, step) : 0.0;
        case 3: return m.GetPlateStress(k + 1, row, step);
        default: return k < 3 ? m.GetSoilReaction(k + 1, row, step) : 0.0;
    }
}

void DlgNodeResults::RefreshValues() {
    for (int i = 3; i < 6; ++i) ShowValueField(i, true);
    if (ui::Control* c = GetDlgItem(IDC_EXPLANATION)) c->ShowWindow(false);
    const ModelData* model = view_.GetModelData();
    const NodeTable* nodes = model ? model->GetNodeTable() : nullptr;
    if (!nodes) return;
    const int row = nodes->FindNodeRowById(node_);
    if (row < 0) return;
    const int step = view_.CurrentStep();
    for (int k = 0; k < 6; ++k) values_[static_cast<std::size_t>(k)] = resultdlg::ShownValue(ReadValue(row, step, k));
    if (type_ == kPlateForces) {
        if (ui::Control* c = GetDlgItem(ValueId(5))) c->ShowWindow(false);
        values_[5] = 0.0;
    }
    if (type_ == kSoilReactions) {
        for (int i = 3; i < 6; ++i) ShowValueField(i, false);
        if (ui::Control* c = GetDlgItem(IDC_EXPLANATION)) c->ShowWindow(true);
    }
    UpdateData(false);
    view_.SetHighlightedItems(1, resultdlg::IntText(node_));
}

void DlgNodeResults::OnClosed() { view_.OnNodeResultsDialogClosed(); }
