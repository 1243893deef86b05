#include "dialogs/CDlgOrthoUser.h"

ui::DialogTemplate CDlgOrthoUser::BuildTemplate() const {
    static const char* const labels[4] = {"Element Set", "Young's Modulus of Concrete", "Poisson's Ratio", "Thickness"};
    ui::DialogTemplate t = Header(kTemplateId, "User Defined Orthotropic Property", 174, false, labels);
    t.Group(ui::IDSTATIC, "Flexural Rigidity", {8, 94, 188, 70});
    // Wide enough for a value typed or computed to full precision.
    const int wide = 104;
    Field(t, "Dyy  =", IDC_DYY, 12, 106, 60, wide);
    Field(t, "Dzz  =", IDC_DZZ, 12, 120, 60, wide);
    Field(t, "Dv  =", IDC_DV, 12, 134, 60, wide);
    Field(t, "Dyz  =", IDC_DYZ, 12, 148, 60, wide);
    t.Group(ui::IDSTATIC, "Shear Rigidity", {204, 94, 188, 42});
    Field(t, "Dsy  =", IDC_DSY, 208, 106, 60, wide);
    Field(t, "Dsz  =", IDC_DSZ, 208, 120, 60, wide);
    return t;
}

void CDlgOrthoUser::ExchangeSection(ui::DataExchange& dx) {
    dx.Text(IDC_DYY, m_d.Dyy);
    dx.Text(IDC_DZZ, m_d.Dzz);
    dx.Text(IDC_DV, m_d.Dv);
    dx.Text(IDC_DYZ, m_d.Dyz);
    dx.Text(IDC_DSY, m_d.Dsy);
    dx.Text(IDC_DSZ, m_d.Dsz);
}

bool CDlgOrthoUser::Check() {
    if (!(m_d.Dyy > 0)) return Refuse(IDC_DYY, "Error Dyy");
    if (!(m_d.Dzz > 0)) return Refuse(IDC_DZZ, "Error Dzz");
    if (!(m_d.Dsy > 0)) return Refuse(IDC_DSY, "Error Dsy");
    if (!(m_d.Dsz > 0)) return Refuse(IDC_DSZ, "Error Dsz");
    return true;
}

void CDlgOrthoUser::StoreSection(MaterialTable& table, int row) const {
    table.SetUserOrthoValues(row, m_E, m_Es, m_nu, m_t, m_d);
}
