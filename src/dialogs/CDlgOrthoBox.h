// "Orthotropic One Way Box Section": n cells of width b and height h whose
// walls are t thick.
#pragma once

#include "dialogs/OrthoDialog.h"

class CDlgOrthoBox : public OrthoDialog {
public:
    static constexpr int kTemplateId = 2022;
    enum { IDC_N = 3040, IDC_B, IDC_H };

    explicit CDlgOrthoBox(ui::Window* parent = nullptr) : OrthoDialog(kTemplateId, parent) {}
    ui::DialogTemplate BuildTemplate() const override;

    BoxSection m_box;

protected:
    int MaterialTypeCode() const override { return kMaterialBox; }
    void LoadSection(const MaterialTable& table, int row) override { m_box = table.GetBoxValues(row); }
    void ExchangeSection(ui::DataExchange& dx) override;
    bool Check() override;
    Rigidities Compute() const override;
    void StoreSection(MaterialTable& table, int row) const override;
};
