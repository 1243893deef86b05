#include "viz/ui/DlgContourLimits.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"
#include "viz/ui/ResultDialogSupport.h"

namespace {

constexpr const char* kTooManyDivisions = "Number of divisions can not be larger than 1000";

// A maximum text that leaves the maximum as it is: nothing typed yet, or
// only a sign or a point.
bool IncompleteNumber(const std::string& text) { return text.empty() || text == "." || text == "-" || text == "+"; }

}  // namespace

DlgContourLimits::DlgContourLimits(ViewHost& view, ui::Window* parent) : ui::Dialog(kTemplateId, parent), view_(view) {
    RegisterHandlers();
}

ui::DialogTemplate DlgContourLimits::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Contour Plot Options";
    t.style |= style::Visible;  // modeless: Create shows it
    t.rect = {0, 0, 282, 210};
    t.DefPushButton(IDOK, "OK", {7, 189, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {62, 189, 50, 14});
    t.Label(IDC_MAXIMUM_LABEL, "Maximum", {14, 136, 44, 8});
    t.EditBox(IDC_MAXIMUM, {60, 134, 60, 12}, cs::TabStop | cs::AutoHScroll);
    t.SpinBox(IDC_MAXIMUM_SPIN, {120, 134, 10, 12});
    t.PushButton(IDC_APPLY, "Apply", {117, 189, 50, 14});
    t.Label(IDC_MINIMUM_LABEL, "Minimum", {14, 153, 44, 8});
    t.EditBox(IDC_MINIMUM, {60, 151, 60, 12}, cs::TabStop | cs::AutoHScroll);
    t.SpinBox(IDC_MINIMUM_SPIN, {120, 151, 10, 12});
    t.Label(IDC_DIVISIONS_LABEL, "Divisions", {140, 136, 46, 8});
    t.EditBox(IDC_DIVISIONS, {190, 134, 60, 12}, cs::TabStop | cs::AutoHScroll);
    t.SpinBox(IDC_DIVISIONS_SPIN, {250, 134, 10, 12});
    t.Group(IDC_LIMITS_GROUP, "Contour Limits", {7, 122, 268, 50});
    t.CheckBox(IDC_SHOW_LEGEND, "Show Contour Legend", {140, 108, 110, 10});
    t.Label(IDC_VARIABLE_LABEL, "Contour Variable:", {120, 24, 80, 8});
    t.Combo(IDC_VARIABLE, {120, 34, 155, 100}, cs::TabStop | cs::VScroll);
    t.Label(IDC_INCREMENT_LABEL, "Increment", {140, 153, 46, 8});
    t.EditBox(IDC_INCREMENT, {190, 151, 60, 12}, cs::Disabled | cs::AutoHScroll);
    t.CheckBox(IDC_SHOW_CONTOUR, "Show Contour Plot", {7, 7, 100, 10});
    t.Radio(IDC_SHADING, "Shading", {127, 64, 100, 10}, cs::Group | cs::TabStop);
    t.Radio(IDC_LINES, "Lines", {127, 76, 100, 10});
    t.Radio(IDC_SHADING_AND_LINES, "Shading and Lines", {127, 88, 100, 10});
    t.Group(IDC_TYPE_GROUP, "Contour Type", {120, 52, 155, 50});
    t.PictureBox(IDC_ICON, {250, 4, 20, 20});
    t.PushButton(IDC_DEFAULT_LIMITS, "Default Limits", {205, 189, 70, 14});
    t.CheckBox(IDC_SHOW_MESH, "Show Mesh", {14, 108, 100, 10}, cs::Group | cs::TabStop);
    t.Radio(IDC_DISPLACEMENTS, "Displacements", {14, 36, 95, 10}, cs::Group | cs::TabStop);
    t.Radio(IDC_REACTIONS, "React. at Fixed BC", {14, 48, 95, 10});
    t.Radio(IDC_PLATE_FORCES, "Plate Forces", {14, 60, 95, 10});
    t.Radio(IDC_PLATE_STRESSES, "Plate Stresses", {14, 72, 95, 10});
    t.Radio(IDC_SOIL_REACTIONS, "Soil Reactions", {14, 84, 95, 10});
    t.Group(IDC_VARIABLE_GROUP, "Variable Type", {7, 22, 106, 80});
    return t;
}

void DlgContourLimits::RegisterHandlers() {
    using ui::Notify;
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnClicked(IDC_SHOW_CONTOUR, [this] { OnShowContourPlot(); });
    OnNotifyRange(Notify::Clicked, IDC_DISPLACEMENTS, IDC_SOIL_REACTIONS,
                  [this](ui::Notification&) { OnVariableType(); });
    OnNotify(Notify::CloseUp, IDC_VARIABLE, [this] { OnCloseUpVariable(); });
    OnNotifyRange(Notify::Clicked, IDC_SHADING, IDC_SHADING_AND_LINES,
                  [this](ui::Notification&) { OnOptionChanged(); });
    OnClicked(IDC_SHOW_LEGEND, [this] { OnOptionChanged(); });
    OnNotify(Notify::Change, IDC_INCREMENT, [this] { OnOptionChanged(); });
    OnClicked(IDC_SHOW_MESH, [this] { OnShowMesh(); });
    OnClicked(IDC_DEFAULT_LIMITS, [this] { OnDefaultLimits(); });
    for (int id : {IDC_MINIMUM, IDC_MAXIMUM, IDC_DIVISIONS})
        OnNotify(Notify::Change, id, [this] {
            ReadControls();
            ReadLimitFields();
            RefreshState();
        });
    OnNotify(Notify::KillFocus, IDC_MINIMUM, [this] { OnKillFocusMinimum(); });
    OnNotify(Notify::KillFocus, IDC_MAXIMUM, [this] { OnKillFocusMaximum(); });
    OnNotify(Notify::DeltaPos, IDC_MINIMUM_SPIN, [this](ui::Notification& n) { OnDeltaPosLimit(n, current_.minimum); });
    OnNotify(Notify::DeltaPos, IDC_MAXIMUM_SPIN, [this](ui::Notification& n) { OnDeltaPosLimit(n, current_.maximum); });
    OnNotify(Notify::DeltaPos, IDC_DIVISIONS_SPIN, [this](ui::Notification& n) { OnDeltaPosDivisions(n); });
}

bool DlgContourLimits::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const ViewHost::ContourSettings view = view_.GetContourSettings();
    current_.index = view.index;
    current_.showContour = view.index != 0 ? 1 : 0;
    current_.contourType = view.type;
    current_.showLegend = view.showLegend;
    current_.showMesh = view.meshOverContours;
    variableType_ = view.group;
    LoadLimits(false);
    FillVariableCombo();
    UpdateData(false);
    FormatLimits();
    SaveAppliedState();
    UpdateApplyState();
    return true;
}

void DlgContourLimits::DoDataExchange(ui::DataExchange& dx) {
    dx.Check(IDC_SHOW_CONTOUR, current_.showContour);
    dx.Check(IDC_SHOW_MESH, current_.showMesh);
    dx.Check(IDC_SHOW_LEGEND, current_.showLegend);
    dx.Radio(IDC_DISPLACEMENTS, variableType_);
    dx.Radio(IDC_SHADING, current_.contourType);
    dx.ComboIndex(IDC_VARIABLE, selection_);
    dx.Text(IDC_MINIMUM, minimumText_);
    dx.Text(IDC_MAXIMUM, maximumText_);
    dx.Text(IDC_DIVISIONS, divisionsText_);
    dx.Text(IDC_INCREMENT, incrementText_);
}

void DlgContourLimits::ReadControls() {
    UpdateData(true);
    if (variableType_ < 0) variableType_ = 0;
    if (current_.contourType < 0) current_.contourType = 0;
}

int DlgContourLimits::GroupStart() const {
    const ModelData* model = view_.GetModelData();
    return model ? model->GetResultGroupStart(variableType_) : 0;
}

int DlgContourLimits::GroupSize() const {
    const ModelData* model = view_.GetModelData();
    return model ? model->GetResultGroupSize(variableType_) : 0;
}

// ---------------------------------------------------------------------------
// Limits in the fields

// At least four significant digits: limits of displacements in metres
// (a few thousandths) keep their shape.
std::string DlgContourLimits::FormatLimit(double v) {
    const double a = std::fabs(v);
    const char* format = "%.3e";
    if (a >= 1.0 && a < 999.9)
        format = "%.3f";
    else if (a >= 999.9 && a < 9999.9)
        format = "%.1f";
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

void DlgContourLimits::FormatLimits() {
    minimumText_ = FormatLimit(current_.minimum);
    maximumText_ = FormatLimit(current_.maximum);
    incrementText_ = FormatLimit(current_.increment);
    divisionsText_ = resultdlg::IntText(current_.divisions);
    SetDlgItemText(IDC_MINIMUM, minimumText_);
    SetDlgItemText(IDC_MAXIMUM, maximumText_);
    SetDlgItemText(IDC_INCREMENT, incrementText_);
    SetDlgItemText(IDC_DIVISIONS, divisionsText_);
    ReadLimitFields();
}

// The values are those the fields show; a field that still shows the
// dialog's own text for its limit keeps the limit's exact value. The
// increment is not re-read.
void DlgContourLimits::ReadLimitFields() {
    minimumText_ = GetDlgItemText(IDC_MINIMUM);
    maximumText_ = GetDlgItemText(IDC_MAXIMUM);
    divisionsText_ = GetDlgItemText(IDC_DIVISIONS);
    if (!resultdlg::ShowsOwnText(minimumText_, current_.minimum, FormatLimit))
        current_.minimum = resultdlg::ReadDouble(minimumText_);
    if (!IncompleteNumber(maximumText_) && !resultdlg::ShowsOwnText(maximumText_, current_.maximum, FormatLimit))
        current_.maximum = resultdlg::ReadDouble(maximumText_);
    current_.divisions = resultdlg::ReadInt(divisionsText_);
}

void DlgContourLimits::LoadLimits(bool automatic) {
    const ModelData* model = view_.GetModelData();
    if (!model) return;
    Settings& s = current_;
    if (automatic)
        model->GetDefaultContourLimits(s.minimum, s.maximum, s.divisions, s.increment);
    else
        model->GetContourLimits(s.minimum, s.maximum, s.divisions, s.increment);
}

// ---------------------------------------------------------------------------
// Variable

void DlgContourLimits::FillVariableCombo() {
    auto* list = Get<ui::ComboBox>(IDC_VARIABLE);
    if (!list) return;
    list->ResetContent();
    const ModelData* model = view_.GetModelData();
    const int start = GroupStart(), size = GroupSize();
    if (model)
        for (int i = 0; i < size; ++i) list->AddString(resultdlg::ResultColumnCaption(*model, start + i));
    if (current_.index > size) current_.index = size;
    selection_ = current_.index - 1;
    list->SetCurSel(selection_);
}

void DlgContourLimits::TakeVariableIntoView(int column) {
    ViewHost::ContourSettings view = view_.GetContourSettings();
    view.index = current_.index;
    view.column = column;
    view.group = variableType_;
    view_.SetContourSettings(view);
    view_.SetContourRange();
    // The applied limits become the automatic ones, the current the stored ones.
    Settings automatic = current_;
    const ModelData* model = view_.GetModelData();
    if (model)
        model->GetDefaultContourLimits(automatic.minimum, automatic.maximum, automatic.divisions, automatic.increment);
    applied_.minimum = automatic.minimum;
    applied_.maximum = automatic.maximum;
    applied_.divisions = automatic.divisions;
    applied_.increment = automatic.increment;
    LoadLimits(false);
    FormatLimits();
    // The whole picture shows the new variable at once: painted only where
    // the dialog uncovers it, it would show two variables under one legend.
    view_.RepaintView();
}

// The variable chosen goes into the view when the picture shows another one.
// That is what the view holds, not what was applied last: a variable chosen
// in a dialog that was then cancelled stays in the view.
void DlgContourLimits::OnCloseUpVariable() {
    ReadControls();
    current_.index = selection_ + 1;
    // An empty group names no column.
    const int column = current_.index > 0 ? GroupStart() + current_.index : 0;
    const ViewHost::ContourSettings view = view_.GetContourSettings();
    if (column != view.column || variableType_ != view.group) TakeVariableIntoView(column);
    RefreshState();
}

void DlgContourLimits::OnVariableType() {
    ReadControls();
    FillVariableCombo();
    applied_.index = current_.index - 1;
    OnCloseUpVariable();
}

void DlgContourLimits::OnShowContourPlot() {
    ReadControls();
    current_.index = GroupSize() > 0 ? 1 : 0;
    selection_ = current_.index - 1;
    if (auto* list = Get<ui::ComboBox>(IDC_VARIABLE)) list->SetCurSel(selection_);
    const bool on = current_.showContour != 0 && current_.index > 0;
    TakeVariableIntoView(on ? GroupStart() + 1 : 0);
    RefreshState();
}

// ---------------------------------------------------------------------------
// Options, limits and spins

void DlgContourLimits::OnOptionChanged() {
    ReadControls();
    RefreshState();
}

void DlgContourLimits::OnShowMesh() {
    ReadControls();
    modified_ = true;
    UpdateApplyState();
}

void DlgContourLimits::OnDefaultLimits() {
    LoadLimits(true);
    FormatLimits();
    RefreshState();
    if (auto* apply = GetDlgItem(IDC_APPLY)) apply->EnableWindow(true);
}

void DlgContourLimits::OnKillFocusMinimum() {
    ReadControls();
    ReadLimitFields();
    if (current_.minimum > current_.maximum) {
        current_.minimum = current_.maximum;
        SetDlgItemText(IDC_MINIMUM, FormatLimit(current_.minimum));
        ReadLimitFields();
    }
    RefreshState();
}

void DlgContourLimits::OnKillFocusMaximum() {
    ReadControls();
    ReadLimitFields();
    if (current_.maximum < current_.minimum) {
        current_.maximum = current_.minimum;
        SetDlgItemText(IDC_MAXIMUM, FormatLimit(current_.maximum));
        ReadLimitFields();
    }
    RefreshState();
}

double DlgContourLimits::StepValue(double v, int d) {
    if (v == 0.0) return d <= 0 ? 1.0 : -1.0;
    const double a = std::fabs(v);
    const bool grow = (d < 0 && v > 0.0) || (d > 0 && v < 0.0);
    double magnitude = resultdlg::StepLeadingDigit(a, grow, 0.25);
    // Single precision keeps the steps' digits clean; values beyond its range
    // stay doubles.
    if (magnitude < 3.0e38) magnitude = static_cast<float>(magnitude);
    return v < 0.0 ? -magnitude : magnitude;
}

void DlgContourLimits::OnDeltaPosLimit(ui::Notification& n, double& value) {
    ReadControls();
    ReadLimitFields();
    // The step gives a clean leading digit; the limit is that number as its
    // field shows it, not its single-precision neighbour.
    value = resultdlg::ReadDouble(FormatLimit(StepValue(value, n.delta)));
    FormatLimits();
    n.result = 0;
    RefreshState();
}

int DlgContourLimits::StepDivisions(int n, int d) {
    if (n <= 1) return 2;
    const int p = static_cast<int>(std::log10(static_cast<float>(n)));
    const int g = static_cast<int>(std::lround(std::pow(10.0, p)));
    const int h = n / g;
    long long next;
    if (d < 0)
        next = h == 10 ? 20LL * g : (h + 1LL) * g;
    else
        next = h == 1 ? static_cast<long long>(0.9 * g) : (h - 1LL) * g;
    return next > kMaxDivisions ? kMaxDivisions : static_cast<int>(next);
}

void DlgContourLimits::OnDeltaPosDivisions(ui::Notification& n) {
    ReadControls();
    ReadLimitFields();
    current_.divisions = StepDivisions(current_.divisions, n.delta);
    current_.increment = (current_.maximum - current_.minimum) / current_.divisions;
    if (ModelData* model = view_.GetModelData())
        model->SetContourLimits(current_.minimum, current_.maximum, current_.divisions, current_.increment);
    FormatLimits();
    n.result = 0;
    RefreshState();
}

// ---------------------------------------------------------------------------
// Apply, state and buttons

bool DlgContourLimits::CheckDivisions() {
    if (current_.divisions <= kMaxDivisions) return true;
    ui::MessageBox(kTooManyDivisions);
    GotoDlgCtrl(GetDlgItem(IDC_DIVISIONS));
    return false;
}

bool DlgContourLimits::OnApply() {
    ReadControls();
    ReadLimitFields();
    if (!CheckDivisions()) return false;
    ViewHost::ContourSettings view = view_.GetContourSettings();
    view.showLegend = current_.showLegend;
    view.index = current_.showContour ? current_.index : 0;
    view.column = current_.showContour && current_.index > 0 ? GroupStart() + current_.index : 0;
    view.group = variableType_;
    view.meshOverContours = current_.showMesh;
    view.type = current_.contourType;
    view_.SetContourSettings(view);
    if (ModelData* model = view_.GetModelData())
        model->SetContourLimits(current_.minimum, current_.maximum, current_.divisions, current_.increment);
    SaveAppliedState();
    UpdateApplyState();
    view_.RepaintView();
    return true;
}

void DlgContourLimits::OnOK() {
    if (OnApply()) EndDialog(ui::IDOK);
}

void DlgContourLimits::CheckModified() { modified_ = !(current_ == applied_); }

void DlgContourLimits::SaveAppliedState() {
    applied_ = current_;
    modified_ = false;
}

void DlgContourLimits::RefreshState() {
    CheckModified();
    UpdateApplyState();
}

void DlgContourLimits::UpdateApplyState() {
    const bool on = current_.showContour != 0;
    for (int id : {IDC_MINIMUM, IDC_MINIMUM_SPIN, IDC_MAXIMUM, IDC_MAXIMUM_SPIN, IDC_DIVISIONS, IDC_DIVISIONS_SPIN,
                   IDC_SHOW_LEGEND, IDC_VARIABLE, IDC_SHADING, IDC_LINES, IDC_SHADING_AND_LINES, IDC_SHOW_MESH,
                   IDC_DISPLACEMENTS, IDC_REACTIONS, IDC_PLATE_FORCES, IDC_PLATE_STRESSES, IDC_SOIL_REACTIONS})
        if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(on);
    if (ui::Control* c = GetDlgItem(IDC_INCREMENT)) c->EnableWindow(false);
    if (ui::Control* c = GetDlgItem(IDC_APPLY)) c->EnableWindow(modified_);
    SetDlgItemText(ui::IDCANCEL, modified_ ? "Cancel" : "Close");
}
