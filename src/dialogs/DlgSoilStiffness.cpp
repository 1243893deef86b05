#include "dialogs/DlgSoilStiffness.h"

#include "model/ModelData.h"

namespace {
// Indices of ModelData::soilValues.
enum { kSoilE = 0, kSoilBottomE = 1, kSoilNu = 2, kSoilStiffness = 3, kSoilDepth = 4, kSoilGamma = 5 };

const int kMindlinIds[] = {DlgSoilStiffness::IDC_MINDLIN_GROUP, DlgSoilStiffness::IDC_MINDLIN_E_LABEL,
                           DlgSoilStiffness::IDC_MINDLIN_E,     DlgSoilStiffness::IDC_MINDLIN_NU_LABEL,
                           DlgSoilStiffness::IDC_MINDLIN_NU,    DlgSoilStiffness::IDC_STIFFNESS_LABEL,
                           DlgSoilStiffness::IDC_STIFFNESS};
const int kMindlinFields[] = {DlgSoilStiffness::IDC_MINDLIN_E, DlgSoilStiffness::IDC_MINDLIN_NU,
                              DlgSoilStiffness::IDC_STIFFNESS};
const int kVlasovIds[] = {
    DlgSoilStiffness::IDC_VLASOV_GROUP,   DlgSoilStiffness::IDC_TOP_E_LABEL, DlgSoilStiffness::IDC_TOP_E,
    DlgSoilStiffness::IDC_BOTTOM_E_LABEL, DlgSoilStiffness::IDC_BOTTOM_E,    DlgSoilStiffness::IDC_VLASOV_NU_LABEL,
    DlgSoilStiffness::IDC_VLASOV_NU,      DlgSoilStiffness::IDC_DEPTH_LABEL, DlgSoilStiffness::IDC_DEPTH,
    DlgSoilStiffness::IDC_GAMMA_LABEL,    DlgSoilStiffness::IDC_GAMMA};
}  // namespace

DlgSoilStiffness::DlgSoilStiffness(ui::Window* parent) : ui::Dialog(kTemplateId, parent) {
    for (int id : {int(IDC_NONE), int(IDC_MINDLIN), int(IDC_VLASOV), int(IDC_ESTIMATE)})
        OnClicked(id, [this] {
            UpdateData(true);
            ApplyEnabling();
        });
    OnClicked(IDC_APPLY, [this] {
        if (onApply && UpdateData(true)) onApply();
    });
}

ui::DialogTemplate DlgSoilStiffness::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Soil Stiffness ";
    t.rect = {0, 0, 300, 200};
    t.Radio(IDC_NONE, "Do not consider Soil Stiffness", {10, 8, 200, 10}, ui::cs::Group | ui::cs::TabStop);
    t.Radio(IDC_MINDLIN, "Estimate Soil Stiffness using Mindlin Equation", {10, 22, 200, 10});
    t.Radio(IDC_VLASOV, "Estimate Soil Stiffness using Vlasov Approach", {10, 36, 200, 10});
    // Both groups take the same place: one of them is shown.
    t.Group(IDC_MINDLIN_GROUP, "", {8, 54, 220, 64}, ui::cs::Group);
    const auto field = [&t](int labelId, const char* label, int id, int y) {
        t.Label(labelId, label, {16, y + 2, 110, 8});
        t.EditBox(id, {130, y, 80, 12}, ui::cs::RightText);
    };
    field(IDC_MINDLIN_E_LABEL, "Young Modulus", IDC_MINDLIN_E, 66);
    field(IDC_MINDLIN_NU_LABEL, "Poisson's Ratio", IDC_MINDLIN_NU, 82);
    field(IDC_STIFFNESS_LABEL, "Initial Stiffness", IDC_STIFFNESS, 98);
    t.Group(IDC_VLASOV_GROUP, "", {8, 54, 220, 96});
    field(IDC_TOP_E_LABEL, "Young Modulus at Top", IDC_TOP_E, 66);
    field(IDC_BOTTOM_E_LABEL, "Young Modulus at Bottom", IDC_BOTTOM_E, 82);
    field(IDC_VLASOV_NU_LABEL, "Poisson's Ratio", IDC_VLASOV_NU, 98);
    field(IDC_DEPTH_LABEL, "Soil Depth", IDC_DEPTH, 114);
    field(IDC_GAMMA_LABEL, "Initial Gamma", IDC_GAMMA, 130);
    t.CheckBox(IDC_ESTIMATE, "Estimate soil stiffness", {10, 160, 120, 10});
    t.DefPushButton(ui::IDOK, "OK", {236, 8, 56, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {236, 26, 56, 14});
    t.PushButton(IDC_APPLY, "Apply", {236, 44, 56, 14});
    return t;
}

bool DlgSoilStiffness::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    ApplyEnabling();
    return true;
}

void DlgSoilStiffness::DoDataExchange(ui::DataExchange& dx) {
    dx.Radio(IDC_NONE, m_selector);
    dx.Text(IDC_MINDLIN_E, m_mindlinE);
    dx.Text(IDC_MINDLIN_NU, m_mindlinNu);
    dx.Text(IDC_STIFFNESS, m_stiffness);
    dx.Text(IDC_TOP_E, m_topE);
    dx.Text(IDC_BOTTOM_E, m_bottomE);
    dx.Text(IDC_VLASOV_NU, m_vlasovNu);
    dx.Text(IDC_DEPTH, m_depth);
    dx.Text(IDC_GAMMA, m_gamma);
    dx.Check(IDC_ESTIMATE, m_estimate);
}

void DlgSoilStiffness::ApplyEnabling() {
    if (m_selector < 0 || m_selector > 2) return;
    for (int id : kMindlinIds)
        if (ui::Control* c = GetDlgItem(id)) c->ShowWindow(m_selector != 2);
    for (int id : kMindlinFields)
        if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(m_selector == 1);
    for (int id : kVlasovIds)
        if (ui::Control* c = GetDlgItem(id)) {
            c->ShowWindow(m_selector == 2);
            c->EnableWindow(true);
        }
}

void DlgSoilStiffness::LoadFrom(const ModelData& model) {
    m_selector = model.GetSoilModel();
    m_mindlinE = m_topE = model.GetSoilValue(kSoilE);
    m_bottomE = model.GetSoilValue(kSoilBottomE);
    m_mindlinNu = m_vlasovNu = model.GetSoilValue(kSoilNu);
    m_stiffness = model.GetSoilValue(kSoilStiffness);
    m_depth = model.GetSoilValue(kSoilDepth);
    m_gamma = model.GetSoilValue(kSoilGamma);
}

void DlgSoilStiffness::StoreTo(ModelData& model) const {
    // Each value is set once with its final value, so the model is marked
    // changed only when the dialog changed it.
    const bool vlasov = m_selector == 2;
    model.SetSoilModel(m_selector);
    model.SetSoilValue(kSoilE, vlasov ? m_topE : m_mindlinE);
    model.SetSoilValue(kSoilBottomE, m_bottomE);
    model.SetSoilValue(kSoilStiffness, m_stiffness);
    model.SetSoilValue(kSoilDepth, m_depth);
    model.SetSoilValue(kSoilNu, vlasov ? m_vlasovNu : m_mindlinNu);
    model.SetSoilValue(kSoilGamma, m_gamma);
}
