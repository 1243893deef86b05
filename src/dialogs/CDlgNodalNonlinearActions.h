// "Nodal Nonlinear Stiffness": the modeless editor of the model's nonlinear
// nodal stiffness groups. A group names its nodes (a typed list of node
// numbers, or a node set chosen through the set picker), one spring profile
// and the degree of freedom ("Disp X", the only one). Groups are added
// (Save), replaced (Update) and deleted; the view highlights the nodes of
// the group being edited.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/ListEditor.h"
#include "model/ModelLists.h"

class CDlgNodalNonlinearActions : public ListEditor {
public:
    static constexpr int kTemplateId = 2044;
    enum {
        IDC_GROUP_LIST = 3400,
        IDC_NEW,
        IDC_SAVE,
        IDC_UPDATE,
        IDC_DELETE,
        IDC_DEFINITION,
        IDC_NAME_LABEL,
        IDC_NAME,
        IDC_NODE_CAPTION,
        IDC_USE_NODE_SET,
        IDC_SELECT_NODE_SET,
        IDC_NODE_LIST,
        IDC_OPTION_LABEL,
        IDC_OPTION,
        IDC_SPRING_LABEL,
        IDC_SPRING,
        IDC_CLOSE,
    };

    CDlgNodalNonlinearActions(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);
    ~CDlgNodalNonlinearActions() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // Enter, Escape and the close box: the "Close" steps.
    void OnOK() override { OnBnClickedClose(); }
    void OnCancel() override { OnBnClickedClose(); }

    void OnBnClickedNew();
    // True when the group was stored.
    bool OnBnClickedSave();
    void OnBnClickedUpdate();
    void OnBnClickedDelete();
    void OnBnClickedUseNodeSet();
    void OnBnClickedSelectNodeSet();
    void OnBnClickedClose();
    void OnLbnSelchangeGroupList();
    void OnCbnSelchangeOption();
    void OnCbnSelchangeSpring();
    void OnEnChangeGroupName();
    void OnEnChangeNodeList();
    // The set picker chose a set: the node field shows it, the change
    // handler runs and the set becomes the group's node set.
    void TakeNodeSet(const std::string& nodeText, const std::string& setName);

    // 0 for a text of digits and commas, 3 for "0" alone, 1 for any other
    // character. Only 0 may be stored.
    static int CheckNodeList(const std::string& text);
    static std::string UserSetText(const std::string& setName) { return "UserSet \"" + setName + "\""; }

    const std::string& NodeSetName() const { return m_nodeSetName; }

private:
    // Lists refilled, the editor closed.
    void FillControls();
    void RebuildGroupList();
    void ShowEditor(bool show);
    void ClearRecord(NonlinearAction& record) const;
    // The edits' buttons: Save for a new group, Update while changed.
    void EditButtons();
    // The spring list's entry of that exact name; -1 when none.
    int SpringEntry(const std::string& name) const;
    // The name, nodes and spring checks of Save and Update; true when they pass.
    bool NodesAndSpringAccepted();
    // The working group takes the edited name, spring and degree of freedom
    // with the node text and node-set flag given.
    void TakeEdits(const std::string& nodeText, unsigned char setSelector);
    void SetButtons(bool save, bool update, bool remove) {
        SetListButtons(IDC_NEW, IDC_SAVE, IDC_UPDATE, IDC_DELETE, save, update, remove);
    }
    int SelectedGroup() const;

    std::unique_ptr<NonlinearAction> m_group;
    std::string m_name;
    std::string m_nodeText;
    std::string m_springName;
    std::string m_nodeSetName;
    int m_springCount = 0;
    std::vector<std::string> m_springNames;
    unsigned char m_nodeSet = 0;
    unsigned char m_newGroup = 0;
    int m_springIndex = -1;
    unsigned char m_changed = 0;
};
