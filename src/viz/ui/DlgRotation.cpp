#include "viz/ui/DlgRotation.h"

#include <cmath>

#include "uibase/Hosts.h"

DlgRotation::DlgRotation(ViewHost& view, ui::Window* parent) : ui::Dialog(kTemplateId, parent), view_(view) {
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnNotify(ui::Notify::DeltaPos, IDC_X_SPIN, [this](ui::Notification& n) { OnDeltaPos(n, x_); });
    OnNotify(ui::Notify::DeltaPos, IDC_Y_SPIN, [this](ui::Notification& n) { OnDeltaPos(n, y_); });
    OnNotify(ui::Notify::DeltaPos, IDC_Z_SPIN, [this](ui::Notification& n) { OnDeltaPos(n, z_); });
}

ui::DialogTemplate DlgRotation::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Rotation Menu";
    t.rect = {0, 0, 200, 90};
    t.DefPushButton(IDOK, "OK", {143, 7, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {143, 24, 50, 14});
    t.PushButton(IDC_APPLY, "Apply", {143, 41, 50, 14});
    t.Group(IDC_GROUP, "Rotation Angle (degrees)", {34, 7, 100, 76});
    const struct {
        int label, edit, spin;
        const char* text;
    } rows[] = {{IDC_X_LABEL, IDC_X, IDC_X_SPIN, "X Axis"},
                {IDC_Y_LABEL, IDC_Y, IDC_Y_SPIN, "Y Axis"},
                {IDC_Z_LABEL, IDC_Z, IDC_Z_SPIN, "Z Axis"}};
    int y = 22;
    for (const auto& r : rows) {
        t.Label(r.label, r.text, {41, y + 2, 30, 8});
        t.EditBox(r.edit, {75, y, 44, 12}, cs::TabStop | cs::AutoHScroll);
        t.SpinBox(r.spin, {119, y, 10, 12});
        y += 20;
    }
    t.PictureBox(IDC_ICON, {7, 7, 20, 20});
    return t;
}

bool DlgRotation::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    LoadAngles();
    UpdateData(false);
    return true;
}

void DlgRotation::LoadAngles() {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    view_.GetRotation(x, y, z);
    // 0 - v rather than -v: an angle of 0 shows as "0", not "-0".
    x_ = x;
    y_ = 0.0f - y;
    z_ = 0.0f - z;
}

void DlgRotation::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_X, x_);
    dx.Text(IDC_Y, y_);
    dx.Text(IDC_Z, z_);
}

bool DlgRotation::OnApply() {
    if (!UpdateData(true)) return false;
    // The view stores x, -y, -z.
    view_.SetRotation(x_, y_, z_);
    view_.KeepCompiledScene();
    view_.RepaintView();
    return true;
}

void DlgRotation::OnOK() {
    if (OnApply()) EndDialog(ui::IDOK);
}

float DlgRotation::StepAngle(float angle, int delta) {
    const double shifted = static_cast<double>(angle) + 0.5;
    // An angle no int holds (or not a number) becomes 0, as one beyond a turn does.
    if (!(std::fabs(shifted) < 2.0e9)) return 0.0f;
    int whole = static_cast<int>(shifted);
    whole += delta > 0 ? 1 : -1;
    if (whole > 360 || whole < -360) whole = 0;
    return static_cast<float>(whole);
}

void DlgRotation::OnDeltaPos(ui::Notification& n, float& angle) {
    UpdateData(true);
    angle = StepAngle(angle, n.delta);
    UpdateData(false);
    n.result = 0;
}
