#include "dialogs/DlgTitle.h"

#include "model/ModelData.h"

ui::DialogTemplate DlgTitle::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Title";
    t.rect = {0, 0, 260, 60};
    t.Label(ui::IDSTATIC, "Enter project title:", {8, 8, 120, 8});
    t.EditBox(IDC_TITLE, {8, 20, 184, 12}, ui::cs::AutoHScroll);
    t.DefPushButton(ui::IDOK, "OK", {200, 8, 52, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {200, 26, 52, 14});
    return t;
}

bool DlgTitle::OnInitDialog() {
    if (ModelData* model = m_doc ? m_doc->GetModelData() : nullptr) m_title = model->GetTitle();
    return ui::Dialog::OnInitDialog();
}

void DlgTitle::OnOK() {
    if (!UpdateData(true)) return;
    if (ModelData* model = m_doc ? m_doc->GetModelData() : nullptr) model->SetModelTitle(m_title);
    if (m_doc) m_doc->UpdateAllViews();
    EndDialog(ui::IDOK);
}
