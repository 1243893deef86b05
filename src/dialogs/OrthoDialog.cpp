#include "dialogs/OrthoDialog.h"

#include "dialogs/OrthoRigidity.h"
#include "platform/ui/Services.h"

OrthoDialog::OrthoDialog(int templateId, ui::Window* parent) : TDialog(templateId, parent) {
    OnClicked(IDC_APPLY, [this] { OnBnClickedApply(); });
}

void OrthoDialog::SetRow(MaterialTable* table, int row, const std::string& name) {
    m_table = table;
    m_row = row;
    m_name = name;
}

bool OrthoDialog::DestroyWindow() {
    if (auto* sketch = Get<ui::CustomControl>(IDC_SKETCH)) sketch->SetDrawable(nullptr);
    m_sketch.reset();
    return TDialog::DestroyWindow();
}

bool OrthoDialog::OnInitDialog() {
    m_sketch = std::make_unique<OrthoSketch>(MaterialTypeCode());
    if (auto* sketch = Get<ui::CustomControl>(IDC_SKETCH)) sketch->SetDrawable(m_sketch.get());
    if (m_table && m_row >= 0 && m_row < m_table->GetCount()) {
        m_E = m_table->GetMaterialE(m_row);
        m_Es = m_table->GetMaterialEs(m_row);
        m_nu = m_table->GetMaterialNu(m_row);
        m_t = m_table->GetMaterialThickness(m_row);
        LoadSection(*m_table, m_row);
    }
    Refresh();
    return true;
}

void OrthoDialog::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NAME, m_name);
    dx.Text(IDC_E, m_E);
    dx.Text(IDC_ES, m_Es);  // only the reinforcement dialog shows Es
    dx.Text(IDC_NU, m_nu);
    dx.Text(IDC_T, m_t);
    ExchangeSection(dx);
}

bool OrthoDialog::Refuse(int id, const std::string& text) {
    ui::MessageBox(text, ui::Buttons::Ok, ui::Icon::Stop);
    if (ui::Control* c = GetDlgItem(id)) GotoDlgCtrl(c);
    return false;
}

bool OrthoDialog::Commit() {
    if (!UpdateData(true) || !Check()) return false;
    const Rigidities d = Compute();
    if (!ortho::AllFinite(d)) return Refuse(IDC_E, "Error in rigidity data");
    if (!m_table || m_row < 0 || m_row >= m_table->GetCount()) return true;
    StoreSection(*m_table, m_row);
    m_table->SetMaterialType(m_row, MaterialTypeCode());
    m_table->SetMaterialValues(m_row, d);
    return true;
}

void OrthoDialog::OnOK() {
    if (Commit()) EndDialog(ui::IDOK);
}

void OrthoDialog::OnBnClickedApply() {
    if (!Commit()) return;
    m_modified = 0;
    Refresh();
}

void OrthoDialog::Field(ui::DialogTemplate& t, const std::string& label, int id, int x, int y, int labelWidth,
                        int editWidth) {
    t.Label(ui::IDSTATIC, label, {x, y + 2, labelWidth, 8}, ui::cs::RightText);
    t.EditBox(id, {x + labelWidth + 4, y, editWidth, 12}, ui::cs::RightText);
}

ui::DialogTemplate OrthoDialog::Header(int templateId, const std::string& caption, int height, bool withEs,
                                       const char* const labels[4]) {
    ui::DialogTemplate t;
    t.id = templateId;
    t.caption = caption;
    t.rect = {0, 0, 400, height};
    t.Label(ui::IDSTATIC, labels[0], {8, 10, 140, 8}, ui::cs::RightText);
    t.EditBox(IDC_NAME, {152, 8, 76, 12}, ui::cs::ReadOnly);
    int y = 26;
    if (withEs) {
        t.Label(ui::IDSTATIC, labels[1], {8, y + 2, 140, 8});
        Field(t, "of Concrete", IDC_E, 8, y + 12, 140);
        Field(t, "of Reinforcement", IDC_ES, 8, y + 26, 140);
        y += 42;
    } else {
        Field(t, labels[1], IDC_E, 8, y, 140);
        y += 16;
    }
    Field(t, labels[2], IDC_NU, 8, y, 140);
    Field(t, labels[3], IDC_T, 8, y + 16, 140);
    t.DefPushButton(ui::IDOK, "OK", {336, 8, 56, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {336, 26, 56, 14});
    t.PushButton(IDC_APPLY, "Apply", {336, 44, 56, 14});
    t.CustomBox(IDC_SKETCH, {232, 26, 96, 60}, ui::cs::Border);
    return t;
}
