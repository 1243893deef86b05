#include "meshtools/ui/DlgTemplateOctagon.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/DataTable.h"
#include "model/ModelData.h"
#include "model/TextParse.h"
#include "platform/ui/Services.h"

namespace {

const double kPi = 4.0 * std::atan(1.0);
constexpr int kNodesPerElement[3] = {4, 8, 9};

// Value of a number text ("-", digits, at most one "."); NaN for any other
// text, so that no range check lets it pass.
double NumberOfText(const std::string& text) {
    if (!IsNumberText(text)) return std::numeric_limits<double>::quiet_NaN();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0.0;
}

// A division count typed as a plain decimal integer; 0 for any other text.
int DivisionsOfText(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() ? value : 0;
}

// A stored value as the user would have typed it.
std::string PlainNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string Format2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

DlgTemplateOctagon::DlgTemplateOctagon(ModelData* model, int kind, ui::Window* parent)
    : ui::Dialog(kTemplateId, parent), model_(model), kind_(kind == 2 ? 2 : 1) {
    for (int option = 0; option < 3; ++option) {
        OnClicked(IDC_LINEAR4 + option, [this, option] { OnElementOption(option); });
        OnClicked(IDC_RULE1 + option, [this, option] { OnIntegrationOption(option); });
    }
    const int sizeSource = kind_ == 1 ? IDC_DIM1 : IDC_DIM3;
    OnNotify(ui::Notify::KillFocus, sizeSource, [this](ui::Notification&) { RefreshTypicalSize(); });
    OnNotify(ui::Notify::KillFocus, IDC_DIVISIONS, [this](ui::Notification&) { RefreshTypicalSize(); });
}

std::string DlgTemplateOctagon::SketchFileName(int kind, bool large) {
    return std::string(kind == 2 ? "TemplateCircular" : "TemplateOctagon") + (large ? "Large" : "") + ".png";
}

ui::DialogTemplate DlgTemplateOctagon::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Template of Octagon Shape";
    t.rect = {0, 0, 440, 262};
    t.Group(ui::IDSTATIC, "Plane Dimension", {7, 7, 130, 76});
    t.Label(IDC_DIM1_LABEL, "L1", {15, 21, 64, 8});
    t.EditBox(IDC_DIM1, {82, 19, 48, 12});
    t.Label(IDC_DIM2_LABEL, "L2", {15, 36, 64, 8});
    t.EditBox(IDC_DIM2, {82, 34, 48, 12});
    t.Label(IDC_DIM3_LABEL, "D", {15, 51, 64, 8});
    t.EditBox(IDC_DIM3, {82, 49, 48, 12});
    t.Label(ui::IDSTATIC, "Angle(deg) = ", {15, 66, 64, 8});
    t.EditBox(IDC_ANGLE, {82, 64, 48, 12});
    t.Group(ui::IDSTATIC, "Section Dimension", {7, 88, 130, 62});
    t.Label(ui::IDSTATIC, "D1 = ", {15, 102, 64, 8});
    t.EditBox(IDC_D1, {82, 100, 48, 12});
    t.Label(ui::IDSTATIC, "D2 = ", {15, 117, 64, 8});
    t.EditBox(IDC_D2, {82, 115, 48, 12});
    t.Label(ui::IDSTATIC, "D3 = ", {15, 132, 64, 8});
    t.EditBox(IDC_D3, {82, 130, 48, 12});
    t.Group(ui::IDSTATIC, "Load", {7, 155, 130, 100});
    t.Label(ui::IDSTATIC, "P  = ", {15, 169, 64, 8});
    t.EditBox(IDC_P, {82, 167, 48, 12});
    t.Label(ui::IDSTATIC, "V  = ", {15, 184, 64, 8});
    t.EditBox(IDC_V, {82, 182, 48, 12});
    t.Label(ui::IDSTATIC, "M  = ", {15, 199, 64, 8});
    t.EditBox(IDC_M, {82, 197, 48, 12});
    t.Label(ui::IDSTATIC, "Typical FE Size", {15, 219, 64, 8});
    t.EditBox(IDC_SIZE, {82, 217, 48, 12});
    t.Label(IDC_DIVISIONS_LABEL, "Division of L1", {15, 234, 64, 18});
    t.EditBox(IDC_DIVISIONS, {82, 236, 48, 12});
    t.Group(ui::IDSTATIC, "Finite Element Option", {145, 7, 140, 52});
    t.Radio(IDC_LINEAR4, "Linear 4 noded", {153, 19, 125, 10}, ui::cs::Group);
    t.Radio(IDC_QUADRATIC8, "Quadratic 8 noded", {153, 31, 125, 10});
    t.Radio(IDC_QUADRATIC9, "Quadratic 9 noded", {153, 43, 125, 10});
    t.Group(ui::IDSTATIC, "Integration Rule", {293, 7, 140, 52});
    t.Radio(IDC_RULE1, "1x1", {301, 19, 125, 10}, ui::cs::Group);
    t.Radio(IDC_RULE2, "2X2", {301, 31, 125, 10});
    t.Radio(IDC_RULE3, "3X3", {301, 43, 125, 10});
    t.PictureBox(IDC_SKETCH, {145, 66, 288, 166}, ui::cs::Border);
    t.DefPushButton(ui::IDOK, "OK", {328, 241, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {383, 241, 50, 14});
    return t;
}

void DlgTemplateOctagon::SetField(Field& field, const std::string& text) {
    field.text = text;
    field.value = NumberOfText(text);
}

bool DlgTemplateOctagon::OnInitDialog() {
    elementOption_ = 1;
    integrationOption_ = 1;
    if (kind_ == 1) {
        SetField(dims_[0], "21.0");
        SetField(dims_[1], "17.0");
        SetField(dims_[2], "14.0");
        divisions_ = 12;
        SetField(size_, Format2(21.0 / 12));
    } else {
        SetField(dims_[0], "3.5");
        SetField(dims_[1], "5.0");
        SetField(dims_[2], "14.0");
        divisions_ = 40;
        SetField(size_, Format2(kPi * 14.0 / 40));
    }
    divisionsText_ = std::to_string(divisions_);
    SetWindowText(kind_ == 1 ? "Template of Octagon Wind Turbine Foundation"
                             : "Template of Circular Wind Turbine Foundation");
    angle_ = 0.0;
    SetField(depths_[0], "1.5");
    SetField(depths_[1], "5.0");
    SetField(depths_[2], "3.5");
    SetField(loads_[0], "600.0");
    SetField(loads_[1], "0.0");
    SetField(loads_[2], "50000.0");
    KeepValuesOfFailedMeshing();
    ui::Dialog::OnInitDialog();
    UpdateShapeControls();
    return true;
}

void DlgTemplateOctagon::KeepValuesOfFailedMeshing() {
    // OK stores the values in the model; a template of this kind that has no
    // mesh yet is one whose meshing failed: the dialog shows it again.
    if (!model_ || model_->GetTemplateKind() != kind_ || model_->GetElementCount() != 0) return;
    int kind = 0, element = 0, rule = 0;
    double d[3] = {}, angle = 0, depth[3] = {}, load[3] = {}, size = 0;
    model_->GetTemplateParameters(kind, element, rule, d[0], d[1], d[2], angle, depth[0], depth[1], depth[2], load[0],
                                  load[1], load[2], size);
    if (!(size > 0.0)) return;
    for (int k = 0; k < 3; ++k) {
        SetField(dims_[k], PlainNumber(d[k]));
        SetField(depths_[k], PlainNumber(depth[k]));
        SetField(loads_[k], PlainNumber(load[k]));
    }
    angle_ = angle;
    elementOption_ = element;
    integrationOption_ = rule;
    SetField(size_, PlainNumber(size));
    const double dimension = kind_ == 1 ? d[0] : kPi * d[2];
    const double divisions = std::round(dimension / size);
    if (divisions >= 1.0 && divisions < 1e9) {
        divisions_ = static_cast<int>(divisions);
        divisionsText_ = std::to_string(divisions_);
    }
}

void DlgTemplateOctagon::ExchangeField(ui::DataExchange& dx, int id, Field& field) {
    if (dx.Saving())
        SetField(field, GetDlgItemText(id));
    else
        SetDlgItemText(id, field.text);
}

void DlgTemplateOctagon::DoDataExchange(ui::DataExchange& dx) {
    for (int k = 0; k < 3; ++k) {
        ExchangeField(dx, IDC_DIM1 + 2 * k, dims_[k]);
        ExchangeField(dx, IDC_D1 + k, depths_[k]);
    }
    dx.Text(IDC_ANGLE, angle_);
    // The loads take no check of their own: the exchange refuses a text that
    // is not a number.
    for (int k = 0; k < 3 && !dx.Failed(); ++k) {
        if (dx.Saving()) {
            double value = 0.0;
            dx.Text(IDC_P + k, value);
            if (dx.Failed()) return;
            loads_[k] = {value, GetDlgItemText(IDC_P + k)};
        } else {
            SetDlgItemText(IDC_P + k, loads_[k].text);
        }
    }
    ExchangeField(dx, IDC_SIZE, size_);
    if (dx.Saving()) {
        divisionsText_ = GetDlgItemText(IDC_DIVISIONS);
        divisions_ = DivisionsOfText(divisionsText_);
    } else {
        SetDlgItemText(IDC_DIVISIONS, divisionsText_);
    }
}

void DlgTemplateOctagon::UpdateShapeControls() {
    const bool octagon = kind_ == 1;
    SetDlgItemText(IDC_DIM1_LABEL, octagon ? "L1" : "R1");
    SetDlgItemText(IDC_DIM2_LABEL, octagon ? "L2" : "R2");
    SetDlgItemText(IDC_DIM3_LABEL, octagon ? "D" : "R3");
    SetDlgItemText(IDC_DIVISIONS_LABEL, octagon ? "Division of L1" : "Division of 2*Pi*R3");
    for (int id : {IDC_RULE1, IDC_RULE2, IDC_RULE3}) GetDlgItem(id)->EnableWindow(true);
    if (elementOption_ == 0) GetDlgItem(IDC_RULE3)->EnableWindow(false);
    if (elementOption_ >= 1) GetDlgItem(IDC_RULE1)->EnableWindow(false);
    if (elementOption_ == 2) GetDlgItem(IDC_RULE2)->EnableWindow(false);
    CheckRadioButton(IDC_LINEAR4, IDC_QUADRATIC9, IDC_LINEAR4 + elementOption_);
    CheckRadioButton(IDC_RULE1, IDC_RULE3, IDC_RULE1 + integrationOption_);

    const ui::Rect desktop = ui::DesktopRect();
    const bool large = std::max(desktop.w, desktop.h) > kLargeSketchAbove;
    auto* sketch = Get<ui::Picture>(IDC_SKETCH);
    sketch->SetImage(ui::LoadImage(ui::ProgramFolder() + "images/" + SketchFileName(kind_, large)));
    sketch->ShowWindow(true);
}

void DlgTemplateOctagon::OnElementOption(int option) {
    elementOption_ = option;
    integrationOption_ = option == 2 ? 2 : 1;
    UpdateShapeControls();
}

void DlgTemplateOctagon::OnIntegrationOption(int option) {
    integrationOption_ = option;
    CheckRadioButton(IDC_RULE1, IDC_RULE3, IDC_RULE1 + option);
}

bool DlgTemplateOctagon::PreTranslateMessage(const ui::Message& msg) {
    if (msg.type == ui::Message::KeyDown && msg.key == ui::key::Enter) {
        RefreshTypicalSize();
        return true;
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

void DlgTemplateOctagon::RefreshTypicalSize() {
    // Only the two fields the size comes from are read, so that leaving a
    // field never brings up another field's complaint.
    const int dimensionId = kind_ == 1 ? IDC_DIM1 : IDC_DIM3;
    const double dimension = NumberOfText(GetDlgItemText(dimensionId));
    const int divisions = DivisionsOfText(GetDlgItemText(IDC_DIVISIONS));
    if (!std::isfinite(dimension) || divisions <= 0) return;
    SetField(size_, Format2((kind_ == 1 ? dimension : kPi * dimension) / divisions));
    SetDlgItemText(IDC_SIZE, size_.text);
}

void DlgTemplateOctagon::FailField(std::string& message, int id, const char* text) {
    message = text;
    GotoDlgCtrl(GetDlgItem(id));
}

std::string DlgTemplateOctagon::CheckInput() {
    std::string message;
    const double d1 = dims_[0].value, d2 = dims_[1].value, d3 = dims_[2].value;
    if (d1 <= 0 || d2 <= 0 || d3 <= 0 || depths_[0].value < 0 || depths_[1].value < 0 || depths_[2].value < 0)
        message = "Invalid dimension input";
    auto invalid = [](const Field& f) { return !IsNumberText(f.text) || !(f.value >= 1e-10); };
    for (int k = 0; k < 3; ++k)
        if (invalid(dims_[k])) FailField(message, IDC_DIM1 + 2 * k, "Invalid dimension input");
    if (invalid(depths_[0])) FailField(message, IDC_D1, "Invalid dimension input");
    for (int k = 1; k < 3; ++k)
        if (!IsNumberText(depths_[k].text)) FailField(message, IDC_D1 + k, "Invalid dimension input");
    // The writers divide by the size.
    if (invalid(size_)) FailField(message, IDC_SIZE, "Invalid dimension input");
    if (divisions_ <= 0) FailField(message, IDC_DIVISIONS, "Invalid division input");
    if (!message.empty()) return message;
    if (kind_ == 2) {
        if (d1 >= d2) message = "Dimension R1 can not be larger than dimension R2";
        // The writer divides by the width of the outer ring.
        if (d2 >= d3) message = "Dimension R2 can not be larger than dimension R3";
    } else if (d3 >= d1) {
        message = "Dimension D can not be larger than dimension L1";
    }
    return message;
}

void DlgTemplateOctagon::OnOK() {
    if (!UpdateData(true)) return;
    const std::string message = CheckInput();
    if (!message.empty()) {
        ui::MessageBox(message);
        return;
    }
    if (std::fabs(loads_[1].value) > 1e-4)
        ui::MessageBox(
            "Shear force V is not zero. Please define appropriate nodal constraints to remove rigid body motion. ",
            ui::Buttons::Ok, ui::Icon::Information);
    if (model_) {
        if (ElementTable* elements = model_->GetElementTable()) {
            elements->SetIntegrationOrder2(integrationOption_ + 1);
            elements->SetNodesPerElement(kNodesPerElement[elementOption_]);
        }
        model_->SetTemplateParameters(kind_, elementOption_, integrationOption_, dims_[0].value, dims_[1].value,
                                      dims_[2].value, angle_, depths_[0].value, depths_[1].value, depths_[2].value,
                                      loads_[0].value, loads_[1].value, loads_[2].value, size_.value);
    }
    EndDialog(ui::IDOK);
}
