#include "dialogs/CDlgOrthoBox.h"

#include "dialogs/OrthoRigidity.h"

ui::DialogTemplate CDlgOrthoBox::BuildTemplate() const {
    static const char* const labels[4] = {
        "Element Set = ", "Young's Modulus of Concrete = ", "Poisson's Ratio = ", "Thickness = "};
    ui::DialogTemplate t = Header(kTemplateId, "Orthotropic One Way Box Section", 150, false, labels);
    Field(t, "Number of Section n= ", IDC_N, 8, 94, 140);
    Field(t, "Width of One Section b= ", IDC_B, 8, 110, 140);
    Field(t, "Height of Section h= ", IDC_H, 8, 126, 140);
    return t;
}

void CDlgOrthoBox::ExchangeSection(ui::DataExchange& dx) {
    dx.Text(IDC_N, m_box.n);
    dx.Text(IDC_B, m_box.b);
    dx.Text(IDC_H, m_box.h);
}

bool CDlgOrthoBox::Check() {
    // The formulas divide by b, n b and h + t.
    if (!(m_t > 0)) return Refuse(IDC_T, "Slab thickness data error");
    if (m_box.n < 1) return Refuse(IDC_N, "Box section data error, n");
    if (!(m_box.b > 0)) return Refuse(IDC_B, "Box section data error, b");
    if (!(m_box.h > 0)) return Refuse(IDC_H, "Box section data error, h");
    return true;
}

Rigidities CDlgOrthoBox::Compute() const { return ortho::Box(m_E, m_nu, m_t, m_box); }

void CDlgOrthoBox::StoreSection(MaterialTable& table, int row) const {
    table.SetBoxValues(row, m_E, m_Es, m_nu, m_t, m_box);
}
