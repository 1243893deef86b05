#include "meshtools/ui/DlgNewTemplate.h"

#include <algorithm>
#include <climits>

#include "meshtools/StructuredMesh.h"
#include "meshtools/ui/DlgGrid.h"
#include "meshtools/ui/TemplateSketch.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

namespace {

constexpr int kNodesPerElement[3] = {4, 8, 9};

// Sums of a grid-line table: span lengths and divisions (64 bits).
struct GridTotals {
    double length = 0.0;
    long long divisions = 0;
};

GridTotals TotalsOf(const ModelData* model, int direction) {
    GridTotals t;
    const NodeTable* grid = model ? model->GetGridTable(direction) : nullptr;
    if (!grid) return t;
    for (const NodeRow* r = grid->GetHead(); r; r = r->next) {
        t.length += r->x;
        t.divisions += r->id;
    }
    return t;
}

}  // namespace

DlgNewTemplate::DlgNewTemplate(ModelData* model, ui::Window* parent) : ui::Dialog(kTemplateId, parent), model_(model) {
    for (int id : {IDC_CIRCULAR, IDC_EQUAL_SPACING, IDC_LINEAR4, IDC_QUADRATIC8, IDC_QUADRATIC9})
        OnClicked(id, [this] { OnShapeOrType(); });
    OnClicked(IDC_GENERAL_SPACING, [this] { OnGeneralSpacing(); });
    OnClicked(IDC_GRID_Y, [this] { OnGrid(1); });
    OnClicked(IDC_GRID_Z, [this] { OnGrid(2); });
}

ui::DialogTemplate DlgNewTemplate::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "New Project from Template";
    t.rect = {0, 0, 356, 232};
    t.Group(ui::IDSTATIC, "Shape", {7, 7, 150, 52});
    t.Radio(IDC_CIRCULAR, "Circular", {15, 19, 135, 10}, ui::cs::Group);
    t.Radio(IDC_EQUAL_SPACING, "Rectangular - Equally Spaced", {15, 31, 135, 10});
    t.Radio(IDC_GENERAL_SPACING, "Rectangular - General Spacing", {15, 43, 135, 10});
    t.Group(ui::IDSTATIC, "Element Type", {7, 65, 150, 52});
    t.Radio(IDC_LINEAR4, "Linear 4 noded", {15, 77, 135, 10}, ui::cs::Group);
    t.Radio(IDC_QUADRATIC8, "Quadratic 8 noded", {15, 89, 135, 10});
    t.Radio(IDC_QUADRATIC9, "Quadratic 9 noded", {15, 101, 135, 10});
    t.Label(IDC_CAPTION, "", {165, 9, 184, 8}, ui::cs::Group);
    t.Label(IDC_LENGTH_LABEL, "Length ", {165, 25, 96, 8});
    t.EditBox(IDC_LENGTH, {264, 23, 36, 12});
    t.Label(IDC_WIDTH_LABEL, "Width ", {165, 41, 96, 8});
    t.EditBox(IDC_WIDTH, {264, 39, 36, 12});
    t.Label(IDC_DIVISIONS_LABEL, "Number of divisions", {165, 57, 96, 8});
    t.EditBox(IDC_DIVISIONS1, {264, 55, 36, 12});
    t.Label(IDC_Y_DIRECTION, "Y-direction", {304, 57, 46, 8});
    t.Label(IDC_DIVISIONS2_LABEL, "Number of divisions", {165, 73, 96, 8});
    t.EditBox(IDC_DIVISIONS2, {264, 71, 36, 12});
    t.Label(IDC_Z_DIRECTION, "Z-direction", {304, 73, 46, 8});
    t.PushButton(IDC_GRID_Y, "Grid Y-direction", {165, 90, 85, 14});
    t.PushButton(IDC_GRID_Z, "Grid Z-direction", {254, 90, 85, 14});
    t.PictureBox(IDC_SKETCH, {165, 110, 110, 96}, ui::cs::Border);
    t.DefPushButton(ui::IDOK, "OK", {244, 210, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {299, 210, 50, 14});
    return t;
}

bool DlgNewTemplate::OnInitDialog() {
    if (model_) {
        int kind = 1, type = 1;
        model_->GetMeshParameters(kind, length_, width_, divisions1_, divisions2_, type);
        shape_ = std::clamp(kind, 0, 2);
        elementType_ = std::clamp(type, 0, 2);
    }
    ui::Dialog::OnInitDialog();
    UpdateShapeControls();
    GotoDlgCtrl(GetDlgItem(IDC_CIRCULAR + shape_));
    return false;
}

void DlgNewTemplate::DoDataExchange(ui::DataExchange& dx) {
    dx.Radio(IDC_CIRCULAR, shape_);
    dx.Radio(IDC_LINEAR4, elementType_);
    // Hidden fields are not read: a circular slab takes its width and second
    // count from the diameter and first count, whatever they hold.
    auto shown = [&](int id) { return !dx.Saving() || GetDlgItem(id)->IsShown(); };
    dx.Text(IDC_LENGTH, length_);
    if (shown(IDC_WIDTH)) dx.Text(IDC_WIDTH, width_);
    dx.Text(IDC_DIVISIONS1, divisions1_);
    if (shown(IDC_DIVISIONS2)) dx.Text(IDC_DIVISIONS2, divisions2_);
}

void DlgNewTemplate::UpdateShapeControls() {
    for (int id : {IDC_GRID_Y, IDC_GRID_Z, IDC_WIDTH, IDC_WIDTH_LABEL, IDC_DIVISIONS2, IDC_DIVISIONS2_LABEL,
                   IDC_Y_DIRECTION, IDC_Z_DIRECTION})
        GetDlgItem(id)->ShowWindow(false);
    for (int id : {IDC_LENGTH, IDC_WIDTH, IDC_DIVISIONS1, IDC_DIVISIONS2}) GetDlgItem(id)->EnableWindow(true);
    auto show = [this](std::initializer_list<int> ids) {
        for (int id : ids) GetDlgItem(id)->ShowWindow(true);
    };
    switch (shape_) {
        case 0:
            SetDlgItemText(IDC_CAPTION, "Circular");
            SetDlgItemText(IDC_LENGTH_LABEL, "Diameter");
            SetDlgItemText(IDC_DIVISIONS_LABEL, "Number of divisions");
            break;
        case 1:
            SetDlgItemText(IDC_CAPTION, "Rectangular - Equally Spaced");
            SetDlgItemText(IDC_LENGTH_LABEL, "Length");
            SetDlgItemText(IDC_DIVISIONS_LABEL, "Number of divisions");
            show({IDC_WIDTH, IDC_WIDTH_LABEL, IDC_DIVISIONS2, IDC_DIVISIONS2_LABEL, IDC_Y_DIRECTION, IDC_Z_DIRECTION});
            break;
        case 2:
            SetDlgItemText(IDC_CAPTION, "Rectangular - General Spacing");
            SetDlgItemText(IDC_LENGTH_LABEL, "Length");
            SetDlgItemText(IDC_DIVISIONS_LABEL, "Number of divisions");
            show({IDC_GRID_Y, IDC_GRID_Z, IDC_WIDTH, IDC_WIDTH_LABEL, IDC_DIVISIONS2, IDC_DIVISIONS2_LABEL});
            // The fields only show the totals of the grid-line tables.
            for (int id : {IDC_LENGTH, IDC_WIDTH, IDC_DIVISIONS1, IDC_DIVISIONS2}) GetDlgItem(id)->EnableWindow(false);
            break;
        default: break;
    }
    auto* sketch = Get<ui::Picture>(IDC_SKETCH);
    const ui::Rect r = sketch->GetWindowRect();
    sketch->SetImage(sketch::DrawTemplateSketch(shape_, elementType_, std::max(r.w - 4, 1), std::max(r.h - 4, 1)));
    sketch->ShowWindow(true);
}

void DlgNewTemplate::OnShapeOrType() {
    UpdateData(true);
    UpdateShapeControls();
}

void DlgNewTemplate::TakeGridTotals(int direction) {
    const GridTotals t = TotalsOf(model_, direction);
    const int divisions = static_cast<int>(std::clamp<long long>(t.divisions, INT_MIN, INT_MAX));
    if (direction == 1) {
        length_ = t.length;
        divisions1_ = divisions;
    } else {
        width_ = t.length;
        divisions2_ = divisions;
    }
}

void DlgNewTemplate::OnGeneralSpacing() {
    UpdateData(true);
    TakeGridTotals(1);
    TakeGridTotals(2);
    UpdateData(false);
    UpdateShapeControls();
}

void DlgNewTemplate::OnGrid(int direction) {
    DlgGrid grid(model_, direction, this);
    if (grid.DoModal() != ui::IDOK) return;
    TakeGridTotals(direction);
    UpdateData(false);
}

bool DlgNewTemplate::Refuse(const char* message, int focusId) {
    ui::MessageBox(message);
    if (ui::Control* c = GetDlgItem(focusId)) GotoDlgCtrl(c);
    return false;
}

bool DlgNewTemplate::CheckValues() {
    switch (shape_) {
        case 0:
            if (length_ <= 0.0) return Refuse("Diameter must be greater than 0.0", IDC_LENGTH);
            if (divisions1_ <= 0) return Refuse("Number of defined divisions must be greater than 0", IDC_DIVISIONS1);
            width_ = length_;
            divisions2_ = divisions1_;
            break;
        case 1:
            if (length_ <= 0.0) return Refuse("Lenght must be greater than 0.0", IDC_LENGTH);
            if (divisions1_ <= 0)
                return Refuse("Number of divisions in X-direction must be greater than 0", IDC_DIVISIONS1);
            break;
        case 2: {
            const NodeTable* grid = model_ ? model_->GetGridTable(1) : nullptr;
            if (!grid || grid->GetCount() == 0)
                return Refuse("At least Grid in the X-direction must be defined", IDC_GRID_Y);
            break;
        }
        default: return false;
    }
    if (width_ <= 0.0) width_ = length_;
    if (divisions2_ <= 0) divisions2_ = divisions1_;
    UpdateData(false);

    // The mesh must fit the generator's node numbering (and the model file).
    long long nx = divisions1_, ny = divisions2_;
    if (shape_ == 2) {
        nx = TotalsOf(model_, 1).divisions;
        ny = TotalsOf(model_, 2).divisions;
        if (ny <= 0) ny = nx;
    }
    const long long nodes = StructuredNodeCount(nx, ny, kNodesPerElement[elementType_]);
    if (nodes < 0 || nodes > kMaxStructuredNodes)
        return Refuse("Number of divisions is too large", shape_ == 2 ? IDC_GRID_Y : IDC_DIVISIONS1);
    return true;
}

void DlgNewTemplate::OnOK() {
    if (!UpdateData(true)) return;
    if (elementType_ < 0 || elementType_ > 2) elementType_ = 1;
    if (!CheckValues()) return;
    if (model_)
        model_->SetMeshParameters(shape_, length_, width_, divisions1_, divisions2_, kNodesPerElement[elementType_]);
    EndDialog(ui::IDOK);
}
