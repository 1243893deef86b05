#pragma once
// "Node Coordinates, and Results": the modeless dialog of the view's
// right-button double-click. It shows the coordinates of one node and, when
// the document has results (kind 2), the value of one result column at one
// step. The node is typed (a number no node carries moves to the nearest
// node the binary search meets), stepped with the spin, or picked in the
// view (ShowNode); the view highlights it. Created once per view and
// initialised once; each showing sets the kind, and the first showing with
// results fills the lists.

#include <string>

#include "viz/ui/NodeResultDialog.h"

class DlgResultValues : public NodeResultDialog {
public:
    enum {
        IDC_Z_LABEL = 1001,
        IDC_VALUE,
        IDC_NODE_LABEL,
        IDC_NODE,
        IDC_NODE_SPIN,
        IDC_Y_LABEL,
        IDC_VARIABLE,
        IDC_ICON,
        IDC_X_LABEL,
        IDC_STEP,
        IDC_X,
        IDC_Y,
        IDC_Z,
        IDC_VALUE_LABEL,
        IDC_VARIABLE_LABEL,
        IDC_STEP_LABEL,
    };
    static constexpr int kTemplateId = 4312;

    explicit DlgResultValues(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    // 1: coordinates only; 2: coordinates and the result value. With kind 2
    // and lists not filled yet, fills them (results arrived since opening).
    void SetKind(int kind);
    void RefreshValues() override;

    int Kind() const { return kind_; }
    int Step() const { return step_; }
    int VariableIndex() const { return index_; }
    double Value() const { return value_; }
    bool ListsFilled() const { return filled_; }

protected:
    void OnClosed() override;

private:
    void FillLists();
    void OnCloseUpVariable();
    void OnCloseUpStep();

    int kind_ = 1;
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
    int index_ = 1;
    int step_ = 0;
    std::string stepText_;
    int selection_ = -1;
    double value_ = 0.0;
    bool filled_ = false;
};
