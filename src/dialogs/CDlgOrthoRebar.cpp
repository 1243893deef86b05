#include "dialogs/CDlgOrthoRebar.h"

#include <string>

#include "dialogs/OrthoRigidity.h"

ui::DialogTemplate CDlgOrthoRebar::BuildTemplate() const {
    static const char* const labels[4] = {"Element Set", "Young's Modulus", "Poisson's Ratio", "Thickness"};
    ui::DialogTemplate t = Header(kTemplateId, "Orthotropic Reinforcement", 196, true, labels);
    t.Group(ui::IDSTATIC, "  Rebar parallel to z axis   ", {8, 118, 188, 70});
    Field(t, "Reinforcement As1=", IDC_AS1, 12, 130, 96);
    Field(t, "x1=", IDC_X1, 12, 144, 96);
    Field(t, "Reinforcement As2=", IDC_AS2, 12, 158, 96);
    Field(t, "x2=", IDC_X2, 12, 172, 96);
    t.Group(ui::IDSTATIC, "  Rebar parallel to y axis   ", {204, 118, 188, 70});
    Field(t, "Reinforcement As3=", IDC_AS3, 208, 130, 96);
    Field(t, "x3=", IDC_X3, 208, 144, 96);
    Field(t, "Reinforcement As4=", IDC_AS4, 208, 158, 96);
    Field(t, "x4=", IDC_X4, 208, 172, 96);
    return t;
}

void CDlgOrthoRebar::ExchangeSection(ui::DataExchange& dx) {
    dx.Text(IDC_AS1, m_layers.As1);
    dx.Text(IDC_X1, m_layers.x1);
    dx.Text(IDC_AS2, m_layers.As2);
    dx.Text(IDC_X2, m_layers.x2);
    dx.Text(IDC_AS3, m_layers.As3);
    dx.Text(IDC_X3, m_layers.x3);
    dx.Text(IDC_AS4, m_layers.As4);
    dx.Text(IDC_X4, m_layers.x4);
}

bool CDlgOrthoRebar::Check() {
    const RebarLayers& a = m_layers;
    const double area[4] = {a.As1, a.As2, a.As3, a.As4};
    const double location[4] = {a.x1, a.x2, a.x3, a.x4};
    const int locationId[4] = {IDC_X1, IDC_X2, IDC_X3, IDC_X4};
    if (!(area[0] > 0 || area[1] > 0 || area[2] > 0 || area[3] > 0))
        return Refuse(IDC_AS1, "Error in reinforcement area");
    for (int i = 0; i < 4; ++i)
        if (area[i] > 0 && (!(location[i] > 0) || location[i] > m_t / 2.0))
            return Refuse(locationId[i], "Error in reinforcement location, X" + std::to_string(i + 1));
    return true;
}

Rigidities CDlgOrthoRebar::Compute() const { return ortho::Rebar(m_E, m_Es, m_nu, m_t, m_layers); }

void CDlgOrthoRebar::StoreSection(MaterialTable& table, int row) const {
    table.SetRebarValues(row, m_E, m_Es, m_nu, m_t, m_layers);
}
