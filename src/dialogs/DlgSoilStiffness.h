// "Soil Stiffness ": the soil model (none, Mindlin or Vlasov) and its values.
// The Mindlin group shows E, nu and the initial stiffness; the Vlasov group E
// at top and bottom, nu, soil depth and initial gamma. The opener copies the
// model's values in and, on OK, back (RunSoilStiffnessDialog).
#pragma once

#include <functional>

#include "platform/ui/Dialog.h"

class ModelData;

class DlgSoilStiffness : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2030;
    enum {
        IDC_NONE = 3201,
        IDC_MINDLIN,
        IDC_VLASOV,
        IDC_MINDLIN_GROUP,
        IDC_MINDLIN_E_LABEL,
        IDC_MINDLIN_E,
        IDC_MINDLIN_NU_LABEL,
        IDC_MINDLIN_NU,
        IDC_STIFFNESS_LABEL,
        IDC_STIFFNESS,
        IDC_VLASOV_GROUP,
        IDC_TOP_E_LABEL,
        IDC_TOP_E,
        IDC_BOTTOM_E_LABEL,
        IDC_BOTTOM_E,
        IDC_VLASOV_NU_LABEL,
        IDC_VLASOV_NU,
        IDC_DEPTH_LABEL,
        IDC_DEPTH,
        IDC_GAMMA_LABEL,
        IDC_GAMMA,
        IDC_ESTIMATE,
        IDC_APPLY,
    };

    explicit DlgSoilStiffness(ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    // Members from the model's values, and the model's values from the
    // members (the Vlasov fields win with selector 2); the model marks
    // itself changed only when a value ends up different.
    void LoadFrom(const ModelData& model);
    void StoreTo(ModelData& model) const;
    // "Apply": the fields, once they read, go to the model through this
    // (the opener's store) and the dialog stays open.
    std::function<void()> onApply;

    int m_selector = 0;  // 0 none, 1 Mindlin, 2 Vlasov
    double m_mindlinE = 1000.0, m_mindlinNu = 0.3, m_stiffness = 500.0;
    double m_topE = 1000.0, m_bottomE = 1000.0, m_vlasovNu = 0.3, m_depth = 10.0, m_gamma = 1.0;
    int m_estimate = 0;  // a flag that nothing reads

private:
    // Shows, hides, enables and disables the two groups by the selector.
    void ApplyEnabling();
};
