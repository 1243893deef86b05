// "Time Stepping": the six time-stepping and convergence values; the
// iteration count has a spin button. The opener copies the model's values
// in and, on OK, back (RunTimeSteppingDialog).
#pragma once

#include <functional>

#include "platform/ui/Dialog.h"

class ModelData;

class DlgTimeStepping : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2031;
    enum {
        IDC_INITIAL_INCREMENT = 3301,
        IDC_MIN_INCREMENT,
        IDC_INITIAL_TIME,
        IDC_FINAL_TIME,
        IDC_ITERATIONS,
        IDC_SPIN,
        IDC_TOLERANCE,
        IDC_APPLY
    };

    explicit DlgTimeStepping(ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    void DoDataExchange(ui::DataExchange& dx) override;

    void LoadFrom(const ModelData& model);
    void StoreTo(ModelData& model) const;
    // "Apply": the fields, once they read, go to the model through this
    // (the opener's store) and the dialog stays open.
    std::function<void()> onApply;

    double m_initialIncrement = 0.0;
    double m_initialTime = 0.0;
    double m_finalTime = 0.0;
    double m_minIncrement = 0.0;
    int m_iterations = 50;
    double m_tolerance = 0.0;

private:
    // One step of the spin: a negative delta raises the count by 1, any other
    // lowers it by 1; never below 1.
    void OnDeltaPosSpin(ui::Notification& n);
};
