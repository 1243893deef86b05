#include "meshtools/ui/DlgSlabType.h"

CDlgSlabType::CDlgSlabType(ui::Window* parent) : ui::Dialog(kTemplateId, parent) {
    for (int type = 0; type < 3; ++type) OnClicked(IDC_CONVENTIONAL + type, [this, type] { OnSlabType(type); });
}

ui::DialogTemplate CDlgSlabType::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Slab Type";
    t.rect = {0, 0, 200, 98};
    t.Group(ui::IDSTATIC, "Select Slab type", {7, 7, 186, 62});
    t.Radio(IDC_CONVENTIONAL, "Circular or Rectangular Conventional", {15, 20, 170, 10},
            ui::cs::Group | ui::cs::TabStop);
    t.Radio(IDC_OCTAGON, "Octagon Wind Turbine Foundation", {15, 35, 170, 10});
    t.Radio(IDC_CIRCULAR, "Circular Wind Turbine Foundation", {15, 50, 170, 10});
    t.DefPushButton(ui::IDOK, "Next", {143, 77, 50, 14}, ui::cs::Group);
    return t;
}

bool CDlgSlabType::OnInitDialog() {
    slabType_ = 0;
    CheckRadioButton(IDC_CONVENTIONAL, IDC_CIRCULAR, IDC_CONVENTIONAL);
    return ui::Dialog::OnInitDialog();
}

void CDlgSlabType::DoDataExchange(ui::DataExchange& dx) { dx.Radio(IDC_CONVENTIONAL, slabType_); }

void CDlgSlabType::OnSlabType(int type) {
    slabType_ = type;
    UpdateData(true);
}

// "Next": the dialog ends with OK; whoever opened it goes on with the chosen
// slab type once the dialog has gone (RunNewFromSlabType).
void CDlgSlabType::OnOK() {
    if (!UpdateData(true)) return;
    if (slabType_ < 0) slabType_ = 0;
    EndDialog(ui::IDOK);
}
