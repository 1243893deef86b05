#include "viz/ui/DlgFontColor.h"

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "viz/ui/ResultDialogSupport.h"

namespace {

const char* const kFaces[] = {"Arial", "Consolas", "Georgia", "Times New Roman", "Tahoma", "Tunga"};
const char* const kSizes[] = {"6", "8", "10", "12", "14", "16", "18", "20"};
constexpr const char* kDefaultFace = "Arial";
constexpr int kDefaultSize = 14;
constexpr int kBold = 700;
constexpr int kNormal = 400;
constexpr ui::Color kBlack = ui::Rgb(0, 0, 0);
constexpr ui::Color kWhite = ui::Rgb(255, 255, 255);

}  // namespace

DlgFontColor::DlgFontColor(ViewHost& view, ui::Window* parent) : ui::Dialog(kTemplateId, parent), view_(view) {
    OnNotify(ui::Notify::SelChange, IDC_FACE, [this] { OnSelChangeFace(); });
    OnNotify(ui::Notify::SelChange, IDC_SIZE, [this] { OnSelChangeSize(); });
    OnClicked(IDC_NODE_COLOR, [this] { OnNodeNumberColor(); });
    OnClicked(IDC_ELEMENT_COLOR, [this] { OnElementNumberColor(); });
    OnClicked(IDC_BACKGROUND, [this] { OnBackgroundColor(); });
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnClicked(IDC_USE_DEFAULT, [this] { OnUseDefault(); });
}

ui::DialogTemplate DlgFontColor::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Font and Color";
    t.style |= style::Visible;
    t.rect = {0, 0, 262, 150};
    t.DefPushButton(IDOK, "OK", {205, 7, 50, 14});
    t.PushButton(IDCANCEL, "Cancel", {205, 24, 50, 14});
    t.PushButton(IDC_APPLY, "Apply", {205, 41, 50, 14});
    t.PushButton(IDC_USE_DEFAULT, "Use Default", {205, 58, 50, 14});
    t.Group(IDC_FONT_GROUP, "Font Selection", {7, 7, 190, 58});
    t.Label(IDC_FACE_LABEL, "Font", {14, 21, 30, 8});
    t.Combo(IDC_FACE, {50, 19, 140, 100}, cs::TabStop | cs::DropList | cs::Sorted | cs::VScroll);
    t.Label(IDC_SIZE_LABEL, "Size", {14, 39, 30, 8});
    t.Combo(IDC_SIZE, {50, 37, 40, 100}, cs::TabStop | cs::DropList | cs::VScroll);
    t.CheckBox(IDC_BOLD, "Bold", {110, 39, 50, 10});
    t.Group(IDC_COLOR_GROUP, "Color Selection", {7, 72, 190, 70});
    t.Label(IDC_NODE_COLOR_LABEL, "Node Number", {14, 88, 120, 8});
    t.ColorPicker(IDC_NODE_COLOR, {140, 85, 48, 14});
    t.Label(IDC_ELEMENT_COLOR_LABEL, "Element Number", {14, 106, 120, 8});
    t.ColorPicker(IDC_ELEMENT_COLOR, {140, 103, 48, 14});
    t.Label(IDC_BACKGROUND_LABEL, "Working Zone Background", {14, 124, 124, 8});
    t.ColorPicker(IDC_BACKGROUND, {140, 121, 48, 14});
    return t;
}

int DlgFontColor::LegendOffsetFor(int size) {
    switch (size) {
        case 16: return 20;
        case 18: return 30;
        case 20: return 50;
        default: return 0;
    }
}

bool DlgFontColor::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (auto* faces = Get<ui::ComboBox>(IDC_FACE))
        for (const char* face : kFaces) faces->AddString(face);
    if (auto* sizes = Get<ui::ComboBox>(IDC_SIZE))
        for (const char* size : kSizes) sizes->AddString(size);
    ShowDefaults(1);
    OnApply();
    return true;
}

void DlgFontColor::ShowDefaults(int bold) {
    if (auto* faces = Get<ui::ComboBox>(IDC_FACE)) faces->SetCurSel(faces->FindStringExact(kDefaultFace));
    if (auto* sizes = Get<ui::ComboBox>(IDC_SIZE))
        sizes->SetCurSel(sizes->FindStringExact(resultdlg::IntText(kDefaultSize)));
    CheckDlgButton(IDC_BOLD, bold);
    const struct {
        int id;
        ui::Color color;
    } buttons[] = {{IDC_NODE_COLOR, kBlack}, {IDC_ELEMENT_COLOR, kWhite}, {IDC_BACKGROUND, kWhite}};
    for (const auto& b : buttons)
        if (auto* button = Get<ui::ColorButton>(b.id)) button->SetColor(b.color);
}

void DlgFontColor::OnSelChangeFace() {
    ViewHost::LabelFont font = view_.GetLabelFont();
    font.face = GetDlgItemText(IDC_FACE);
    view_.SetLabelFont(font);
}

void DlgFontColor::SetSize(int size) {
    ViewHost::LabelFont font = view_.GetLabelFont();
    font.size = size;
    font.legendOffset = LegendOffsetFor(size);
    view_.SetLabelFont(font);
}

void DlgFontColor::OnSelChangeSize() { SetSize(resultdlg::ReadInt(GetDlgItemText(IDC_SIZE))); }

void DlgFontColor::OnNodeNumberColor() {
    ModelData* model = view_.GetModelData();
    auto* button = Get<ui::ColorButton>(IDC_NODE_COLOR);
    if (model && button) model->nodeNumberColor = button->GetColor();
}

void DlgFontColor::OnElementNumberColor() {
    ModelData* model = view_.GetModelData();
    auto* button = Get<ui::ColorButton>(IDC_ELEMENT_COLOR);
    if (model && button) model->elementNumberColor = button->GetColor();
}

// The foreground (legend text) is the background's complement.
void DlgFontColor::SetBackground(unsigned rgb) {
    view_.SetBackgroundColor(rgb);
    if (ModelData* model = view_.GetModelData())
        model->foregroundColor = ui::Rgb(255 - ui::RedOf(rgb), 255 - ui::GreenOf(rgb), 255 - ui::BlueOf(rgb));
}

void DlgFontColor::OnBackgroundColor() {
    if (auto* button = Get<ui::ColorButton>(IDC_BACKGROUND)) SetBackground(button->GetColor());
}

void DlgFontColor::OnApply() {
    ViewHost::LabelFont font = view_.GetLabelFont();
    font.weight = IsDlgButtonChecked(IDC_BOLD) ? kBold : kNormal;
    view_.SetLabelFont(font);
    view_.RebuildFont();
    view_.RepaintView();
}

void DlgFontColor::OnOK() {
    OnApply();
    EndDialog(ui::IDOK);
}

void DlgFontColor::OnUseDefault() {
    ShowDefaults(0);
    if (ModelData* model = view_.GetModelData()) {
        model->nodeNumberColor = kBlack;
        model->elementNumberColor = kWhite;
    }
    SetBackground(kWhite);
    ViewHost::LabelFont font = view_.GetLabelFont();
    font.face = kDefaultFace;
    view_.SetLabelFont(font);
    SetSize(kDefaultSize);
    OnApply();
}
