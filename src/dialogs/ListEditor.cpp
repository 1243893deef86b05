#include "dialogs/ListEditor.h"

#include "model/ModelData.h"
#include "platform/ui/Services.h"

void ListEditor::Show(int id, bool show) {
    if (ui::Control* c = GetDlgItem(id)) c->ShowWindow(show);
}

void ListEditor::Enable(int id, bool enable) {
    if (ui::Control* c = GetDlgItem(id)) c->EnableWindow(enable);
}

void ListEditor::SetListButtons(int newId, int saveId, int updateId, int deleteId, bool save, bool update,
                                bool remove) {
    Enable(newId, true);
    Enable(saveId, save);
    Enable(updateId, update);
    Enable(deleteId, remove);
}

void ListEditor::HighlightNodes(const std::string& text) {
    if (m_pView) m_pView->SetHighlightedItems(1, text);
}

void ListEditor::MarkModified() {
    if (m_pDoc) m_pDoc->SetModifiedFlag(true);
    if (ModelData* model = Model()) model->SetChanged();
}

void ListEditor::ErrorBox(const std::string& text) { ui::MessageBox(text, ui::Buttons::Ok, ui::Icon::None); }
