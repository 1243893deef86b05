#include "viz/ui/NodeResultDialog.h"

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"
#include "viz/ui/ResultDialogSupport.h"

NodeResultDialog::NodeResultDialog(int templateId, ViewHost& view, int nodeEdit, int nodeSpin, ui::Window* parent)
    : ui::Dialog(templateId, parent), view_(view), nodeEdit_(nodeEdit) {
    OnNotify(ui::Notify::Change, nodeEdit, [this] { OnChangeNode(); });
    OnNotify(ui::Notify::KillFocus, nodeEdit, [this] { OnKillFocusNode(); });
    OnNotify(ui::Notify::DeltaPos, nodeSpin, [this](ui::Notification& n) { OnDeltaPosNode(n); });
}

// Each number typed shows its node at once. A text that is no number yet
// (cleared, a lone sign) waits: it is checked when the field is left or at
// Enter (OK), not while it is being typed.
void NodeResultDialog::OnChangeNode() {
    int node = 0;
    if (!ui::ParseInt(GetDlgItemText(nodeEdit_), node)) return;
    UpdateData(true);
    RefreshValues();
}

// Leaving a field that holds no number: the framework's prompt, and the
// field shows the node shown before, so that no second prompt follows.
void NodeResultDialog::OnKillFocusNode() {
    int node = 0;
    if (ui::ParseInt(GetDlgItemText(nodeEdit_), node)) return;
    ui::MessageBox("Please enter an integer.", ui::Buttons::Ok, ui::Icon::Exclamation);
    SetDlgItemText(nodeEdit_, std::to_string(node_));
}

// Without node rows the spin does nothing.
void NodeResultDialog::OnDeltaPosNode(ui::Notification& n) {
    UpdateData(true);
    n.result = 0;
    const ModelData* model = view_.GetModelData();
    const NodeTable* nodes = model ? model->GetNodeTable() : nullptr;
    if (!nodes || nodes->GetCount() <= 0) return;
    node_ = resultdlg::StepNodeNumber(*nodes, node_, n.delta);
    UpdateData(false);
    RefreshValues();
}

void NodeResultDialog::ShowNode(int node) {
    node_ = node;
    UpdateData(false);
    RefreshValues();
}

void NodeResultDialog::OnOK() {
    ui::Dialog::OnOK();
    if (IsEnded()) OnClosed();
}

void NodeResultDialog::OnCancel() {
    ui::Dialog::OnCancel();
    OnClosed();
}
