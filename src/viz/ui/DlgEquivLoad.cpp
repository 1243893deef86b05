#include "viz/ui/DlgEquivLoad.h"

#include <algorithm>
#include <cstdio>

#include "model/ModelData.h"
#include "viz/ui/EquivLoadSketch.h"

namespace {

constexpr int kVariables = 6;
const char* const kVariableNames[kVariables] = {"X", "Y", "Z", "Fx", "Fy", "Fz"};

// Value k (0 X .. 5 Fz) of a point.
double VariableOf(const EquivalentLoadPoint& p, int k) {
    const double values[kVariables] = {p.x, p.y, p.z, p.axial, p.shearY, p.shearZ};
    return values[k];
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string RingText(const EquivalentLoadPoint& p) { return p.ring == 0 ? "Int" : "Ext"; }

}  // namespace

DlgEquivLoad::DlgEquivLoad(DocHost* doc, ViewHost* view, ui::Window* parent)
    : ui::Dialog(kTemplateId, parent), doc_(doc), view_(view) {
    OnClicked(ui::IDOK, [this] { OnBnClickedOk(); });
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnClicked(IDC_ONE_RING, [this] { OnRingCount(); });
    OnClicked(IDC_TWO_RINGS, [this] { OnRingCount(); });
    OnClicked(IDC_SHOW_VALUES, [this] { OnShowValues(); });
    for (int k = 0; k < kVariables; ++k) OnClicked(ShowId(k), [this] { OnVisibleVariable(); });
    OnNotify(ui::Notify::ItemChanged, IDC_LIST, [this](ui::Notification& n) {
        if (n.newState & ui::kItemSelected) OnListItemChanged(n.item);
    });
    OnNotify(ui::Notify::Clicked, IDC_LIST, [this](ui::Notification& n) { OnListItemChanged(n.item); });
    OnNotify(ui::Notify::SetFocus, IDC_LIST, [this] { OnListSetFocus(); });
}

ui::DialogTemplate DlgEquivLoad::BuildTemplate() const {
    using ui::cs::Disabled;
    using ui::cs::Group;
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Equivalent Concentrated Loads ";
    t.rect = {0, 0, 480, 204};
    t.DefPushButton(ui::IDOK, "OK", {112, 184, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {167, 184, 50, 14});
    t.PictureBox(IDC_ICON, {8, 8, 20, 20});

    t.Group(IDC_LOADING, "Loading", {34, 4, 138, 58}, Group);
    const struct {
        int label, edit;
        const char* text;
        int x, y;
        unsigned style;
    } loads[] = {
        {IDC_FX_LABEL, IDC_FX, "Fx", 40, 16, 0},  {IDC_FY_LABEL, IDC_FY, "Fy", 40, 30, 0},
        {IDC_FZ_LABEL, IDC_FZ, "Fz", 40, 44, 0},  {IDC_MX_LABEL, IDC_MX, "Mx", 104, 16, Disabled},
        {IDC_MY_LABEL, IDC_MY, "My", 104, 30, 0}, {IDC_MZ_LABEL, IDC_MZ, "Mz", 104, 44, 0},
    };
    for (const auto& f : loads) {
        t.Label(f.label, f.text, {f.x, f.y + 2, 12, 8});
        t.EditBox(f.edit, {f.x + 14, f.y, 48, 12}, f.style);
    }
    t.PictureBox(IDC_SKETCH, {178, 4, 94, 102}, ui::cs::Border);

    t.Group(IDC_POINT, "Point of Aplication", {8, 64, 164, 28}, Group);
    t.Label(IDC_X_LABEL, "X", {14, 77, 8, 8});
    t.EditBox(IDC_X, {24, 75, 36, 12}, Disabled);
    t.Label(IDC_Y_LABEL, "Y", {66, 77, 8, 8});
    t.EditBox(IDC_Y, {76, 75, 36, 12});
    t.Label(IDC_Z_LABEL, "Z", {118, 77, 8, 8});
    t.EditBox(IDC_Z, {128, 75, 38, 12});

    t.Group(IDC_RINGS, "Number of Rings", {8, 94, 164, 24}, Group);
    t.Radio(IDC_ONE_RING, "One Ring", {16, 105, 60, 10}, Group);
    t.Radio(IDC_TWO_RINGS, "Two Rings", {90, 105, 60, 10});

    const struct {
        int group;
        const char* caption;
        int x;
        int ids[6];
        const char* labels[3];
    } rings[] = {
        {IDC_RING1,
         "Ring 1 Data",
         8,
         {IDC_R1_RADIUS_LABEL, IDC_R1_RADIUS, IDC_R1_POINTS_LABEL, IDC_R1_POINTS, IDC_R1_ANGLE_LABEL, IDC_R1_ANGLE},
         {"Radius (ri)", "Points (ni)", "Angle (fi)"}},
        {IDC_RING2,
         "Ring 2 Data",
         142,
         {IDC_R2_RADIUS_LABEL, IDC_R2_RADIUS, IDC_R2_POINTS_LABEL, IDC_R2_POINTS, IDC_R2_ANGLE_LABEL, IDC_R2_ANGLE},
         {"Radius (re)", "Points (ne)", "Angle (fe)"}},
    };
    for (const auto& r : rings) {
        t.Group(r.group, r.caption, {r.x, 120, 130, 58}, Group);
        for (int k = 0; k < 3; ++k) {
            t.Label(r.ids[2 * k], r.labels[k], {r.x + 6, 133 + 14 * k, 50, 8});
            t.EditBox(r.ids[2 * k + 1], {r.x + 60, 131 + 14 * k, 62, 12});
        }
    }
    t.PushButton(IDC_APPLY, "Apply", {222, 184, 50, 14}, Group);
    t.CheckBox(IDC_SHOW_VALUES, "Show Values", {8, 186, 70, 10});
    t.Label(IDC_LIST_LABEL, "Equivalent Loads", {282, 4, 120, 8});

    t.Group(IDC_VISIBLE, "Visible Variables", {282, 14, 190, 60}, Group);
    for (int k = 0; k < kVariables; ++k) {
        const int x = k < 3 ? 290 : 380, y = 26 + 12 * (k % 3);
        t.CheckBox(ShowId(k), kVariableNames[k], {x, y, 26, 10});
        t.Label(ValueId(k), "", {x + 28, y + 1, 58, 8});
    }
    t.Label(IDC_POINT_NUMBER, "", {290, 62, 80, 8});
    t.Label(IDC_POINT_RING, "", {380, 62, 80, 8});
    t.Report(IDC_LIST, {282, 78, 190, 120}, ui::cs::GridLines | ui::cs::FullRowSelect);
    return t;
}

bool DlgEquivLoad::OnInitDialog() {
    if (ModelData* model = doc_ ? doc_->GetModelData() : nullptr) {
        EquivalentLoadInput& v = values_;
        model->GetEquivalentLoadParameters(v.fx, v.fy, v.fz, v.mx, v.my, v.mz, v.x, v.y, v.z, v.twoRings, v.radius1,
                                           v.points1, v.angle1, v.radius2, v.points2, v.angle2);
    }
    ui::Dialog::OnInitDialog();
    auto* icon = Get<ui::Picture>(IDC_ICON);
    icon->SetImage(equivsketch::DrawIcon(icon->GetWindowRect().w, icon->GetWindowRect().h));
    UpdateRingControls();
    FitWidthTo(IDC_RING2);
    for (int k = 0; k < kVariables; ++k) CheckDlgButton(ShowId(k), 1);
    listed_ = values_;
    FillLoadList();
    ShowSelectedValues();
    RefreshViews();
    return true;
}

void DlgEquivLoad::DoDataExchange(ui::DataExchange& dx) {
    EquivalentLoadInput& v = values_;
    for (auto [id, value] : {std::pair{IDC_FX, &v.fx},
                             {IDC_FY, &v.fy},
                             {IDC_FZ, &v.fz},
                             {IDC_MX, &v.mx},
                             {IDC_MY, &v.my},
                             {IDC_MZ, &v.mz},
                             {IDC_X, &v.x},
                             {IDC_Y, &v.y},
                             {IDC_Z, &v.z}})
        dx.Text(id, *value);
    dx.Radio(IDC_ONE_RING, v.twoRings);
    if (v.twoRings < 0) v.twoRings = 0;
    dx.Text(IDC_R1_RADIUS, v.radius1);
    dx.Text(IDC_R1_POINTS, v.points1, 0, kMaxRingPoints);
    dx.Text(IDC_R1_ANGLE, v.angle1);
    dx.Text(IDC_R2_RADIUS, v.radius2);
    dx.Text(IDC_R2_POINTS, v.points2, 0, kMaxRingPoints);
    dx.Text(IDC_R2_ANGLE, v.angle2);
}

bool DlgEquivLoad::ReadControls() {
    const EquivalentLoadInput before = values_;
    if (UpdateData(true)) return true;
    values_ = before;
    return false;
}

void DlgEquivLoad::StoreInModel() {
    ModelData* model = doc_ ? doc_->GetModelData() : nullptr;
    if (!model) return;
    const EquivalentLoadInput& v = values_;
    model->SetEquivLoadParameters(v.fx, v.fy, v.fz, v.mx, v.my, v.mz, v.x, v.y, v.z, v.twoRings, v.radius1, v.points1,
                                  v.angle1, v.radius2, v.points2, v.angle2);
}

void DlgEquivLoad::RefreshViews() {
    if (view_) view_->RebuildScene();
    if (doc_) doc_->UpdateAllViews();
}

void DlgEquivLoad::OnApply() {
    if (!ReadControls()) return;
    StoreInModel();
    listed_ = values_;
    FillLoadList();
    ShowSelectedValues();
    RefreshViews();
}

void DlgEquivLoad::OnBnClickedOk() {
    if (!ReadControls()) return;
    StoreInModel();
    EndDialog(ui::IDOK);
}

void DlgEquivLoad::OnRingCount() {
    values_.twoRings = IsDlgButtonChecked(IDC_TWO_RINGS) ? 1 : 0;
    UpdateRingControls();
}

void DlgEquivLoad::UpdateRingControls() {
    const bool two = values_.twoRings == 1;
    for (int id : {IDC_R2_RADIUS, IDC_R2_POINTS, IDC_R2_ANGLE}) GetDlgItem(id)->EnableWindow(two);
    auto* sketch = Get<ui::Picture>(IDC_SKETCH);
    const ui::Rect r = sketch->GetWindowRect();
    sketch->SetImage(equivsketch::DrawRingSketch(two, std::max(r.w - 4, 1), std::max(r.h - 4, 1)));
}

void DlgEquivLoad::FitWidthTo(int id) {
    const ui::Rect edge = GetDlgItem(id)->GetWindowRect();
    const ui::Rect r = GetWindowRect();
    MoveWindow({r.x, r.y, edge.x + edge.w + kRightMargin, r.h});
}

void DlgEquivLoad::OnShowValues() { FitWidthTo(IsDlgButtonChecked(IDC_SHOW_VALUES) ? IDC_LIST : IDC_RING2); }

void DlgEquivLoad::OnVisibleVariable() {
    FillLoadList();
    ShowSelectedValues();
}

void DlgEquivLoad::FillLoadList() {
    auto* list = Get<ui::ListView>(IDC_LIST);
    list->DeleteAllItems();
    while (list->GetColumnCount() > 0) list->DeleteColumn(0);
    points_ = ComputeEquivalentLoadPoints(listed_);
    if (points_.empty()) return;
    list->InsertColumn(0, "Ring", 0, kNarrowColumn);
    list->InsertColumn(1, "N", 0, kNarrowColumn);
    std::vector<int> shown;
    for (int k = 0; k < kVariables; ++k)
        if (IsDlgButtonChecked(ShowId(k))) {
            list->InsertColumn(list->GetColumnCount(), kVariableNames[k], 0, kValueColumn);
            shown.push_back(k);
        }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(points_.size());
    for (const EquivalentLoadPoint& p : points_) {
        std::vector<std::string> texts{RingText(p), std::to_string(p.number)};
        for (int k : shown) texts.push_back(Format("%f", VariableOf(p, k)));
        rows.push_back(std::move(texts));
    }
    list->SetAllItems(std::move(rows));
}

void DlgEquivLoad::ShowSelectedValues() {
    for (int k = 0; k < kVariables; ++k) SetDlgItemText(ValueId(k), "");
    SetDlgItemText(IDC_POINT_NUMBER, "");
    SetDlgItemText(IDC_POINT_RING, "");
}

void DlgEquivLoad::SelectPoint(int row) {
    if (row < 0 || row >= static_cast<int>(points_.size())) {
        ShowSelectedValues();
        return;
    }
    const EquivalentLoadPoint& p = points_[static_cast<std::size_t>(row)];
    SetDlgItemText(IDC_POINT_RING, RingText(p));
    SetDlgItemText(IDC_POINT_NUMBER, std::to_string(p.number));
    for (int k = 0; k < kVariables; ++k)
        SetDlgItemText(ValueId(k), IsDlgButtonChecked(ShowId(k)) ? Format("%f", VariableOf(p, k)) : "");
    char text[96];
    std::snprintf(text, sizeof text, "%18.8f  %18.8f  %18.8f  ", p.x, p.y, p.z);
    if (view_) view_->SetHighlightedItems(4, text);
}

void DlgEquivLoad::OnListItemChanged(int row) { SelectPoint(row); }

void DlgEquivLoad::OnListSetFocus() { SelectPoint(Get<ui::ListView>(IDC_LIST)->GetNextSelected(-1)); }

int RunEquivalentLoadsDialog(DocHost& doc, ViewHost& view) {
    DlgEquivLoad dialog(&doc, &view);
    const int result = dialog.DoModal();
    if (ModelData* model = doc.GetModelData(); model && model->IsChanged()) doc.SetModifiedFlag(true);
    return result;
}
