#include "viz/ui/NodeResultDialog.h"

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

NodeResultDialog::NodeResultDialog(int templateId, ViewHost& view, int nodeEdit, int nodeSpin, ui::Window* parent)
    : ui::Dialog(templateId, parent), view_(view)
{
    OnNotify(ui::Notify::Change, nodeEdit, [this] { OnChangeNode(); });
    OnNotify(ui::Notify::DeltaPos, nodeSpin, [this](ui::Notification& n) { OnDeltaPosNode(n); });
}

// A text that is not a number is refused with the framework's prompt; the
// refresh goes on with the last number read.
void NodeResultDialog::OnChangeNode()
{
    UpdateData(true);
    RefreshValues();
}

// Without node rows the spin does nothing.
void NodeResultDialog::OnDeltaPosNode(ui::Notification& n)
{
    UpdateData(true);
    n.result = 0;
    const ModelData* model = view_.GetModelData();
    const NodeTable* nodes = model ? model->GetNodeTable() : nullptr;
    if (!nodes || nodes->GetCount() <= 0) return;
    node_ = resultdlg::StepNodeNumber(*nodes, node_, n.delta);
    UpdateData(false);
    RefreshValues();
}

void NodeResultDialog::ShowNode(int node)
{
    node_ = node;
    UpdateData(false);
    RefreshValues();
}

void NodeResultDialog::OnOK()
{
    ui::Dialog::OnOK();
    if (IsEnded()) OnClosed();
}

void NodeResultDialog::OnCancel()
{
    ui::Dialog::OnCancel();
    OnClosed();
}
