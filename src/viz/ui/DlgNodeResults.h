#pragma once
// "Results at nodes": the modeless dialog of the view's Node Results command.
// It shows every value of one result group at one node for the view's
// current step: displacements, reactions at fixed boundary conditions, plate
// forces (five values), plate stresses or soil reactions (three values and
// an explanation). The node is typed, stepped with the spin over the node
// table's rows, or picked in the view (ShowNode); the view highlights it. A
// number that no node carries changes nothing. "Close" and Esc hide the
// dialog and let the view end its node picking.

#include <array>

#include "viz/ui/NodeResultDialog.h"

class DlgNodeResults : public NodeResultDialog {
public:
    enum {
        IDC_NODE_LABEL = 1001,
        IDC_NODE,
        IDC_NODE_SPIN,
        IDC_LABEL1,  // label i and value i alternate: IDC_LABEL1 + 2 * i, IDC_VALUE1 + 2 * i
        IDC_VALUE1,
        IDC_LAST_VALUE = IDC_VALUE1 + 10,
        IDC_ICON,
        IDC_TYPE_GROUP,
        IDC_DISPLACEMENT,  // one radio per result group
        IDC_REACTION,
        IDC_PLATE_FORCE,
        IDC_PLATE_STRESS,
        IDC_SOIL_REACTION,
        IDC_EXPLANATION,
    };
    static constexpr int kTemplateId = 4311;
    static const char* const kSoilExplanation;

    explicit DlgNodeResults(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void RefreshValues() override;
    void SetVariableLabels();

    int VariableType() const { return type_; }
    double Value(int i) const { return values_[static_cast<std::size_t>(i)]; }

protected:
    void OnClosed() override;

private:
    void OnVariableType();
    void ShowValueField(int i, bool show);
    double ReadValue(int row, int step, int k) const;

    int type_ = 0;
    std::array<double, 6> values_{};
};
