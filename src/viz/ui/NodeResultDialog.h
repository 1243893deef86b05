#pragma once
// Base of the modeless result dialogs that follow one node of the view's
// model: the node is typed into an edit, stepped with its spin over the node
// table's rows, or picked in the view (ShowNode); each change refreshes the
// values. OK and Cancel hide the dialog and hand the end of the node picking
// to the view.

#include "platform/ui/Dialog.h"

class ViewHost;

class NodeResultDialog : public ui::Dialog {
public:
    // A node picked in the view: shown and refreshed.
    void ShowNode(int node);
    virtual void RefreshValues() = 0;
    void OnOK() override;
    void OnCancel() override;

    int Node() const { return node_; }

protected:
    // The edit and the spin of the node number.
    NodeResultDialog(int templateId, ViewHost& view, int nodeEdit, int nodeSpin, ui::Window* parent);
    // The view's closing step for the dialog.
    virtual void OnClosed() = 0;

    ViewHost& view_;
    int node_ = 1;

private:
    void OnChangeNode();
    void OnKillFocusNode();
    void OnDeltaPosNode(ui::Notification& n);

    int nodeEdit_;
};
