#pragma once
// "Deformed Shape": the modeless dialog of the view's Deformed Mesh command.
// It switches the deformed and the undeformed shape and sets the model's
// deformation scale factor (0 to 1e128). Apply and OK write them; Cancel
// (named "Close" while nothing is pending) only hides it. Created once per
// view and initialised once.

#include <string>

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgDefFactor : public ui::Dialog {
public:
    enum {
        IDC_FACTOR_LABEL = 1001,
        IDC_FACTOR,
        IDC_FACTOR_SPIN,
        IDC_APPLY,
        IDC_SHOW_DEFORMED,
        IDC_SHOW_UNDEFORMED,
        IDC_ICON,
    };
    static constexpr int kTemplateId = 4314;

    explicit DlgDefFactor(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    // False when the factor field was refused.
    bool OnApply();

    double Factor() const { return factor_; }
    bool Modified() const { return modified_; }
    // One press of the factor spin (d < 0: the up arrow).
    static double StepFactor(double f, int d);
    // The factor as its field shows it.
    static std::string FormatFactor(double f);

private:
    void OnOptionChanged();
    void OnDeltaPosFactor(ui::Notification& n);
    void CheckModified();
    void SaveAppliedState();
    void UpdateApplyState();

    ViewHost& view_;
    double factor_ = 1.0;
    int deformed_ = 0, undeformed_ = 0;
    double appliedFactor_ = 1.0;
    int appliedDeformed_ = 0, appliedUndeformed_ = 0;
    bool modified_ = false;
};
