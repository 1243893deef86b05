#include "meshtools/ui/DlgRefine.h"

#include <cstdio>
#include <cstdlib>

#include "uibase/Hosts.h"
#include "meshtools/Refine.h"
#include "model/ModelData.h"
#include "model/TextParse.h"
#include "platform/ui/Services.h"

namespace {

constexpr const char* kInvalidInput = "Invalid input";

}  // namespace

DlgRefine::DlgRefine(ViewHost& view, ui::Window* parent, int templateKind, double typicalSize)
    : ui::Dialog(kTemplateId, parent), view_(view), templateKind_(templateKind), typicalSize_(typicalSize) {}

ui::DialogTemplate DlgRefine::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Refine Mesh";
    t.style |= ui::style::Visible;  // modeless: Create shows it
    t.rect = {0, 0, 160, 92};
    t.Label(IDC_CAPTION, "Number of divisions", {10, 8, 140, 8});
    t.Label(IDC_FIRST_LABEL, "Y-direction", {10, 24, 70, 8});
    t.EditBox(IDC_FIRST, {86, 22, 64, 14});
    t.Label(IDC_SECOND_LABEL, "Z-direction", {10, 44, 70, 8});
    t.EditBox(IDC_SECOND, {86, 42, 64, 14});
    t.DefPushButton(ui::IDOK, "OK", {30, 70, 50, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {90, 70, 50, 14});
    return t;
}

bool DlgRefine::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (templateKind_ != 0) {
        GetDlgItem(IDC_CAPTION)->ShowWindow(false);
        GetDlgItem(IDC_SECOND)->ShowWindow(false);
        GetDlgItem(IDC_SECOND_LABEL)->ShowWindow(false);
        SetDlgItemText(IDC_FIRST_LABEL, "Typical FE size");
        char text[64];
        std::snprintf(text, sizeof text, "%.3f", typicalSize_);
        firstText_ = text;
    } else {
        GetDlgItem(IDC_CAPTION)->EnableWindow(true);
        GetDlgItem(IDC_SECOND)->EnableWindow(true);
        SetDlgItemText(IDC_FIRST_LABEL, "Y-direction");
        SetDlgItemText(IDC_SECOND_LABEL, "Z-direction");
        GetDlgItem(IDC_SECOND)->ShowWindow(true);
    }
    UpdateData(false);
    return true;
}

void DlgRefine::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_FIRST, firstText_);
    dx.Text(IDC_SECOND, secondText_);
}

void DlgRefine::OnOK() {
    if (CheckInput()) view_.RefineMesh(divisionsY_, divisionsZ_, typicalSize_);
}

bool DlgRefine::CheckInput() {
    UpdateData(true);
    if (templateKind_ == 0) return CheckDivisions();
    if (templateKind_ == 1 || templateKind_ == 2) return CheckTypicalSize();
    return true;
}

// The message comes first: the box takes the keyboard while it is up, and the
// field gets it back afterwards.
void DlgRefine::Refuse(int id) {
    ui::MessageBox(kInvalidInput);
    GotoDlgCtrl(GetDlgItem(id));
}

// Each field holds a number whose integer part is at least 1 ("2.7" counts
// 2); a refused field shows the integer read from it. Divisions whose mesh
// could exceed the node limit are refused on the first field.
bool DlgRefine::CheckDivisions() {
    divisionsY_ = ::ParseInt(firstText_);
    divisionsZ_ = ::ParseInt(secondText_);
    const struct {
        int id;
        std::string& text;
        int value;
    } fields[] = {{IDC_FIRST, firstText_, divisionsY_}, {IDC_SECOND, secondText_, divisionsZ_}};
    for (const auto& f : fields) {
        if (IsNumberText(f.text) && f.value > 0) continue;
        Refuse(f.id);
        f.text = std::to_string(f.value);
        UpdateData(false);
        return false;
    }
    const ModelData* model = view_.GetModelData();
    if (model && RefinementTooLarge(*model, divisionsY_, divisionsZ_)) {
        Refuse(IDC_FIRST);
        return false;
    }
    return true;
}

bool DlgRefine::CheckTypicalSize() {
    if (IsNumberText(firstText_)) {
        const double size = std::strtod(firstText_.c_str(), nullptr);
        if (size >= 0.0) {
            typicalSize_ = size;
            return true;
        }
    }
    Refuse(IDC_FIRST);
    return false;
}
