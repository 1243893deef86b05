#include "dialogs/CDlgOrthoRib.h"

#include "dialogs/OrthoRigidity.h"

ui::DialogTemplate CDlgOrthoRib::BuildTemplate() const {
    static const char* const labels[4] = {"Element Set = ", "Young's Modulus = ", "Poisson's Ratio = ", "Thickness = "};
    ui::DialogTemplate t = Header(kTemplateId, "Orthotropic Enhanced Stiffener", 182, false, labels);
    t.Group(ui::IDSTATIC, "  Stiffener Parallel to y axis ", {8, 94, 188, 58});
    Field(t, "Stiffener Web Height h1= ", IDC_H1, 12, 106, 110);
    Field(t, "Stiffener Web Width b1= ", IDC_B1, 12, 120, 110);
    Field(t, "Effective Width c1= ", IDC_C1, 12, 134, 110);
    t.Group(ui::IDSTATIC, "  Stiffener Parallel to z axis ", {204, 94, 188, 58});
    Field(t, "Stiffener Web Height h2= ", IDC_H2, 208, 106, 110);
    Field(t, "Stiffener Web Width b2= ", IDC_B2, 208, 120, 110);
    Field(t, "Effective Width c2= ", IDC_C2, 208, 134, 110);
    Field(t, "Torsional Stiffness Reduction  = ", IDC_REDUCTION, 8, 162, 140);
    return t;
}

void CDlgOrthoRib::ExchangeSection(ui::DataExchange& dx) {
    dx.Text(IDC_H1, m_rib.h1);
    dx.Text(IDC_B1, m_rib.b1);
    dx.Text(IDC_C1, m_rib.c1);
    dx.Text(IDC_H2, m_rib.h2);
    dx.Text(IDC_B2, m_rib.b2);
    dx.Text(IDC_C2, m_rib.c2);
    dx.Text(IDC_REDUCTION, m_rib.torsionalReduction);
}

bool CDlgOrthoRib::Check() {
    if (!(m_E > 0)) return Refuse(IDC_E, "Young modulus data error");
    if (!(m_t > 0)) return Refuse(IDC_T, "Slab thickness data error");
    struct Web {
        double h, b, c;
        int hId, bId, cId;
        const char* suffix;
    };
    const Web webs[2] = {{m_rib.h1, m_rib.b1, m_rib.c1, IDC_H1, IDC_B1, IDC_C1, "1"},
                         {m_rib.h2, m_rib.b2, m_rib.c2, IDC_H2, IDC_B2, IDC_C2, "2"}};
    for (const Web& w : webs) {
        const std::string s = w.suffix;
        if (w.h > 0) {
            if (!(w.b > 0)) return Refuse(w.bId, "Stiffener data error, b" + s);
            if (!(w.c > 0)) return Refuse(w.cId, "Stiffener data error, c" + s);
        }
        if (w.b > 0) {
            if (!(w.h > 0)) return Refuse(w.hId, "Stiffener data error, h" + s);
            if (!(w.c > 0)) return Refuse(w.cId, "Stiffener data error, c" + s);
        }
    }
    return true;
}

Rigidities CDlgOrthoRib::Compute() const { return ortho::Rib(m_E, m_nu, m_t, m_rib); }

void CDlgOrthoRib::StoreSection(MaterialTable& table, int row) const {
    table.SetRibValues(row, m_E, m_Es, m_nu, m_t, m_rib);
}
