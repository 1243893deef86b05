// Base of the modeless editors of the model's named lists (spring profiles,
// nonlinear nodal stiffness groups, node paths): the document and view they
// work for and the small steps they share.
#pragma once

#include <string>

#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"

class ListEditor : public ui::Dialog {
public:
    DocHost* m_pDoc = nullptr;
    ViewHost* m_pView = nullptr;

protected:
    ListEditor(int templateId, DocHost* doc, ViewHost* view, ui::Window* parent)
        : ui::Dialog(templateId, parent), m_pDoc(doc), m_pView(view) {}

    ModelData* Model() const { return m_pDoc ? m_pDoc->GetModelData() : nullptr; }
    void Show(int id, bool show);
    void Enable(int id, bool enable);
    // The list's four buttons: "New" enabled, the others as given.
    void SetListButtons(int newId, int saveId, int updateId, int deleteId, bool save, bool update, bool remove);
    // The view highlights the nodes named by the text.
    void HighlightNodes(const std::string& text);
    // After every store: the document is modified and the model changed.
    void MarkModified();
    // Errors and warnings: OK button, no icon.
    static void ErrorBox(const std::string& text);
};
