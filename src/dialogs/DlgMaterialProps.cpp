#include "dialogs/DlgMaterialProps.h"

ui::DialogTemplate DlgMaterialProps::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Material Properties";
    t.rect = {0, 0, 240, 110};
    t.Label(ui::IDSTATIC, "Element Number/Set", {8, 10, 80, 8});
    t.EditBox(IDC_NAME, {92, 8, 84, 12}, m_nameEditable ? 0u : ui::cs::Disabled);
    t.Group(ui::IDSTATIC, "", {4, 26, 176, 76});
    t.Label(ui::IDSTATIC, "Young Modulus", {10, 40, 78, 8});
    t.EditBox(IDC_YOUNG, {92, 38, 80, 12}, ui::cs::RightText);
    t.Label(ui::IDSTATIC, "Poisson's Ratio", {10, 58, 78, 8});
    t.EditBox(IDC_POISSON, {92, 56, 80, 12}, ui::cs::RightText);
    t.Label(ui::IDSTATIC, "Slab Thickness", {10, 76, 78, 8});
    t.EditBox(IDC_THICKNESS, {92, 74, 80, 12}, ui::cs::RightText);
    t.DefPushButton(ui::IDOK, "OK", {186, 8, 48, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {186, 26, 48, 14});
    t.PushButton(IDC_APPLY, "Apply", {186, 44, 48, 14}, ui::cs::Hidden);
    return t;
}

void DlgMaterialProps::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NAME, m_name);
    dx.Text(IDC_YOUNG, m_E);
    dx.Text(IDC_POISSON, m_nu);
    dx.Text(IDC_THICKNESS, m_t);
}
