#pragma once
// "Select Step": the modal dialog of the view's Select Step command. The list
// holds every result step; Apply shows the chosen step at once (with the
// contour range of that step), OK ends with it for the view to take. Cancel
// keeps what Apply did. A step text that is not a number reads as step 0.

#include <string>

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgSelectStep : public ui::Dialog {
public:
    enum {
        IDC_STEP_LABEL = 1001,
        IDC_APPLY,
        IDC_STEP,
        IDC_ICON,
    };
    static constexpr int kTemplateId = 4313;

    explicit DlgSelectStep(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnApply();

    int Step() const { return step_; }

private:
    ViewHost& view_;
    int step_ = 0;
};
