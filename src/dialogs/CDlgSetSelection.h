// "Select Set": the modeless picker that lists the model's node sets and
// hands the chosen one to the document, which passes it on to the nonlinear
// nodal stiffness dialog (hidden while the picker is open).
#pragma once

#include <string>

#include "uibase/Hosts.h"
#include "platform/ui/Dialog.h"

class CDlgSetSelection : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2042;
    enum { IDC_SET_LIST = 2950 };

    CDlgSetSelection(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // "OK" and a double click: the selected set (the last of several).
    void OnOK() override;
    void OnCancel() override;
    void OnNMDblclkSetList(ui::Notification& n);
    void OnLvnItemchangedSetList(ui::Notification& n);

    // The set chosen by OK; empty before.
    const std::string& SelectedSetName() const { return m_selectedSetName; }

    DocHost* m_doc = nullptr;
    ViewHost* m_view = nullptr;

private:
    ui::ListView* List() const { return Get<ui::ListView>(IDC_SET_LIST); }

    std::string m_selectedSetName;
    int m_selectedIndex = -1;
};
