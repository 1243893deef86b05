// "Material Properties": Young's modulus, Poisson's ratio and slab thickness
// of an isotropic material. The element text is shown only, except for the
// toolbar's new material, where it is typed.
#pragma once

#include <string>

#include "platform/ui/Dialog.h"

class DlgMaterialProps : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2013;
    enum { IDC_NAME = 3101, IDC_YOUNG, IDC_POISSON, IDC_THICKNESS, IDC_APPLY };

    explicit DlgMaterialProps(ui::Window* parent = nullptr, bool nameEditable = false)
        : ui::Dialog(kTemplateId, parent), m_nameEditable(nameEditable) {}

    ui::DialogTemplate BuildTemplate() const override;
    void DoDataExchange(ui::DataExchange& dx) override;

    std::string m_name;
    double m_E = 0.0;
    double m_nu = 0.0;
    double m_t = 0.0;

private:
    bool m_nameEditable;
};
