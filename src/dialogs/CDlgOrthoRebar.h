// "Orthotropic Reinforcement": a slab with two reinforcement layers parallel
// to z (As1, x1, As2, x2) and two parallel to y (As3, x3, As4, x4); areas
// per unit width, locations from the mid-plane.
#pragma once

#include "dialogs/OrthoDialog.h"

class CDlgOrthoRebar : public OrthoDialog {
public:
    static constexpr int kTemplateId = 2020;
    enum { IDC_AS1 = 3020, IDC_X1, IDC_AS2, IDC_X2, IDC_AS3, IDC_X3, IDC_AS4, IDC_X4 };

    explicit CDlgOrthoRebar(ui::Window* parent = nullptr) : OrthoDialog(kTemplateId, parent) {}
    ui::DialogTemplate BuildTemplate() const override;

    RebarLayers m_layers;

protected:
    int MaterialTypeCode() const override { return kMaterialRebar; }
    void LoadSection(const MaterialTable& table, int row) override { m_layers = table.GetMaterialValues(row); }
    void ExchangeSection(ui::DataExchange& dx) override;
    bool Check() override;
    Rigidities Compute() const override;
    void StoreSection(MaterialTable& table, int row) const override;
};
