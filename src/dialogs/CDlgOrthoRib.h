// "Orthotropic Enhanced Stiffener": a slab with stiffener webs parallel to y
// (h1, b1, c1) and to z (h2, b2, c2): web height, web width and effective
// width; and the torsional stiffness reduction.
#pragma once

#include "dialogs/OrthoDialog.h"

class CDlgOrthoRib : public OrthoDialog {
public:
    static constexpr int kTemplateId = 2021;
    enum { IDC_H1 = 3030, IDC_B1, IDC_C1, IDC_H2, IDC_B2, IDC_C2, IDC_REDUCTION };

    explicit CDlgOrthoRib(ui::Window* parent = nullptr) : OrthoDialog(kTemplateId, parent) {}
    ui::DialogTemplate BuildTemplate() const override;

    RibSection m_rib;

protected:
    int MaterialTypeCode() const override { return kMaterialRib; }
    void LoadSection(const MaterialTable& table, int row) override { m_rib = table.GetRibValues(row); }
    void ExchangeSection(ui::DataExchange& dx) override;
    bool Check() override;
    Rigidities Compute() const override;
    void StoreSection(MaterialTable& table, int row) const override;
};
