#pragma once
// "Rotation Menu": the modal dialog of the view's Rotation Angles command. It
// shows the view's three rotation angles in degrees (the y and z angles with
// the opposite sign, as the user sees them turn) and writes them back at
// Apply and OK; the spins step whole degrees within -360 .. 360. Cancel after
// Apply keeps the applied angles.

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgRotation : public ui::Dialog {
public:
    enum {
        IDC_APPLY = 1001,
        IDC_GROUP,
        IDC_X_LABEL,
        IDC_X,
        IDC_X_SPIN,
        IDC_Y_LABEL,
        IDC_Y,
        IDC_Y_SPIN,
        IDC_Z_LABEL,
        IDC_Z,
        IDC_Z_SPIN,
        IDC_ICON,
    };
    static constexpr int kTemplateId = 4316;

    explicit DlgRotation(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    bool OnApply();
    void LoadAngles();

    float AngleX() const { return x_; }
    float AngleY() const { return y_; }
    float AngleZ() const { return z_; }
    // One press of an angle spin: rounded to whole degrees, +1 for a positive
    // change and -1 for a negative one; beyond +-360 (or not a number) 0.
    static float StepAngle(float angle, int delta);

private:
    void OnDeltaPos(ui::Notification& n, float& angle);

    ViewHost& view_;
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};
