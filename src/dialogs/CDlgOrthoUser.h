// "User Defined Orthotropic Property": the six rigidities typed in.
#pragma once

#include "dialogs/OrthoDialog.h"

class CDlgOrthoUser : public OrthoDialog {
public:
    static constexpr int kTemplateId = 2023;
    enum { IDC_DYY = 3050, IDC_DZZ, IDC_DV, IDC_DYZ, IDC_DSY, IDC_DSZ };

    explicit CDlgOrthoUser(ui::Window* parent = nullptr) : OrthoDialog(kTemplateId, parent) {}
    ui::DialogTemplate BuildTemplate() const override;

    Rigidities m_d;

protected:
    int MaterialTypeCode() const override { return kMaterialUserOrtho; }
    void LoadSection(const MaterialTable& table, int row) override { m_d = table.GetRigidities(row); }
    void ExchangeSection(ui::DataExchange& dx) override;
    bool Check() override;
    Rigidities Compute() const override { return m_d; }
    void StoreSection(MaterialTable& table, int row) const override;
};
