#include "dialogs/CDlgNodalNonlinearActions.h"

#include "model/ModelData.h"
#include "model/SetWalk.h"
#include "platform/ui/Services.h"

namespace {

// The editor's controls, shown by New and a selection, hidden otherwise.
constexpr int kEditorIds[] = {
    CDlgNodalNonlinearActions::IDC_NAME,
    CDlgNodalNonlinearActions::IDC_NODE_LIST,
    CDlgNodalNonlinearActions::IDC_OPTION,
    CDlgNodalNonlinearActions::IDC_NAME_LABEL,
    CDlgNodalNonlinearActions::IDC_NODE_CAPTION,
    CDlgNodalNonlinearActions::IDC_OPTION_LABEL,
    CDlgNodalNonlinearActions::IDC_SPRING_LABEL,
    CDlgNodalNonlinearActions::IDC_SPRING,
    CDlgNodalNonlinearActions::IDC_SELECT_NODE_SET,
    CDlgNodalNonlinearActions::IDC_USE_NODE_SET,
};

}  // namespace

CDlgNodalNonlinearActions::CDlgNodalNonlinearActions(DocHost* doc, ViewHost* view, ui::Window* parent)
    : ListEditor(kTemplateId, doc, view, parent) {
    OnClicked(IDC_NEW, [this] { OnBnClickedNew(); });
    OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
    OnClicked(IDC_UPDATE, [this] { OnBnClickedUpdate(); });
    OnClicked(IDC_DELETE, [this] { OnBnClickedDelete(); });
    OnClicked(IDC_USE_NODE_SET, [this] { OnBnClickedUseNodeSet(); });
    OnClicked(IDC_SELECT_NODE_SET, [this] { OnBnClickedSelectNodeSet(); });
    OnClicked(IDC_CLOSE, [this] { OnBnClickedClose(); });
    OnNotify(ui::Notify::SelChange, IDC_GROUP_LIST, [this] { OnLbnSelchangeGroupList(); });
    OnNotify(ui::Notify::SelChange, IDC_OPTION, [this] { OnCbnSelchangeOption(); });
    OnNotify(ui::Notify::SelChange, IDC_SPRING, [this] { OnCbnSelchangeSpring(); });
    OnNotify(ui::Notify::Change, IDC_NAME, [this] { OnEnChangeGroupName(); });
    OnNotify(ui::Notify::Change, IDC_NODE_LIST, [this] { OnEnChangeNodeList(); });
}

CDlgNodalNonlinearActions::~CDlgNodalNonlinearActions() = default;

ui::DialogTemplate CDlgNodalNonlinearActions::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Nodal Nonlinear Stiffness";
    t.rect = {0, 0, 330, 220};
    t.Label(ui::IDSTATIC, "List of Nonlinear Nodal Stiffness Group", {8, 4, 134, 8});
    t.List(IDC_GROUP_LIST, {8, 14, 130, 144});
    t.PushButton(IDC_NEW, "New", {8, 164, 30, 14});
    t.PushButton(IDC_SAVE, "Save", {41, 164, 30, 14});
    t.PushButton(IDC_UPDATE, "Update", {74, 164, 30, 14});
    t.PushButton(IDC_DELETE, "Delete", {107, 164, 31, 14});
    t.Group(IDC_DEFINITION, "Definition", {146, 4, 176, 170});
    t.Label(IDC_NAME_LABEL, "Group Name", {154, 18, 160, 8});
    t.EditBox(IDC_NAME, {154, 28, 160, 12});
    t.Label(IDC_NODE_CAPTION, "Node List / Node Set", {154, 46, 90, 8});
    t.CheckBox(IDC_USE_NODE_SET, "Use NodeSet", {250, 45, 64, 10});
    t.PushButton(IDC_SELECT_NODE_SET, "Select Node Set", {250, 58, 64, 14});
    t.EditBox(IDC_NODE_LIST, {154, 76, 160, 12}, ui::cs::AutoHScroll);
    t.Label(IDC_OPTION_LABEL, "Option", {154, 96, 60, 8});
    t.Combo(IDC_OPTION, {154, 106, 160, 60}, ui::cs::DropList | ui::cs::Sorted);
    t.Label(IDC_SPRING_LABEL, "List of Nonlinear Spring", {154, 124, 160, 8});
    t.Combo(IDC_SPRING, {154, 134, 160, 80}, ui::cs::DropList | ui::cs::Sorted);
    t.DefPushButton(IDC_CLOSE, "Close", {264, 184, 58, 14});
    t.Label(ui::IDSTATIC, "Note: If the node list is input manually, please use a comma to separate two node names.",
            {8, 184, 250, 20});
    return t;
}

int CDlgNodalNonlinearActions::SelectedGroup() const {
    const auto* list = Get<ui::ListBox>(IDC_GROUP_LIST);
    return list ? list->GetCurSel() : -1;
}

void CDlgNodalNonlinearActions::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NAME, m_name);
    dx.Text(IDC_NODE_LIST, m_nodeText);
}

void CDlgNodalNonlinearActions::ClearRecord(NonlinearAction& record) const {
    record.groupName.clear();
    record.nodeText.clear();
    record.springName.clear();
    record.reserved = -1;
    record.springNumber = -1;
}

bool CDlgNodalNonlinearActions::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const ModelData* model = Model();
    m_springCount = model ? model->NonlinearSpringCount() : 0;
    m_springNames = model ? model->NonlinearSpringNames() : std::vector<std::string>{};
    m_group = std::make_unique<NonlinearAction>();
    ClearRecord(*m_group);
    FillControls();
    return true;
}

void CDlgNodalNonlinearActions::RebuildGroupList() {
    auto* list = Get<ui::ListBox>(IDC_GROUP_LIST);
    if (!list) return;
    list->ResetContent();
    if (const ModelData* model = Model())
        for (const NonlinearAction* a = model->FirstNonlinearAction(); a; a = a->next) list->AddString(a->groupName);
}

void CDlgNodalNonlinearActions::ShowEditor(bool show) {
    Show(IDC_GROUP_LIST, true);
    Show(IDC_DEFINITION, true);
    for (int id : kEditorIds) Show(id, show);
}

void CDlgNodalNonlinearActions::FillControls() {
    RebuildGroupList();
    if (auto* springs = Get<ui::ComboBox>(IDC_SPRING)) {
        springs->ResetContent();
        for (const std::string& name : m_springNames) springs->AddString(name);
    }
    if (auto* option = Get<ui::ComboBox>(IDC_OPTION)) {
        option->ResetContent();
        option->AddString("Disp X");
    }
    SetButtons(false, false, false);
    ShowEditor(false);
    m_nodeSet = 0;
    UpdateData(false);
}

int CDlgNodalNonlinearActions::CheckNodeList(const std::string& text) {
    int result = text == "0" ? 3 : 0;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == ',')) return 1;
    return result;
}

int CDlgNodalNonlinearActions::SpringEntry(const std::string& name) const {
    const auto* springs = Get<ui::ComboBox>(IDC_SPRING);
    if (!springs) return -1;
    for (int i = 0; i < springs->GetCount(); ++i)
        if (springs->GetLBText(i) == name) return i;
    return -1;
}

void CDlgNodalNonlinearActions::OnBnClickedNew() {
    if (!m_group) return;
    auto* option = Get<ui::ComboBox>(IDC_OPTION);
    auto* springs = Get<ui::ComboBox>(IDC_SPRING);
    // A new group in the making is offered for storing until it is stored
    // or the user lets it go.
    for (;;) {
        UpdateData(true);
        const bool chosen = (option && option->GetCurSel() >= 0) || (springs && springs->GetCurSel() >= 0);
        if (!m_newGroup || !chosen) break;
        if (ui::MessageBox("Save current data?", ui::Buttons::OkCancel, ui::Icon::None) != ui::IDOK) break;
        OnBnClickedSave();
    }
    const ModelData* model = Model();
    m_name = "Nodal Nonlinear Stiffness Group " + std::to_string((model ? model->NonlinearActionCount() : 0) + 1);
    ShowEditor(true);
    Enable(IDC_USE_NODE_SET, true);
    CheckDlgButton(IDC_USE_NODE_SET, 0);
    m_nodeSet = 0;
    m_nodeSetName.clear();
    m_nodeText.clear();
    SetDlgItemText(IDC_NODE_CAPTION, "Input Node Name");
    Enable(IDC_SELECT_NODE_SET, false);
    m_newGroup = 1;
    if (option) option->SetCurSel(0);
    m_springIndex = -1;
    if (springs) springs->SetCurSel(-1);
    if (auto* list = Get<ui::ListBox>(IDC_GROUP_LIST)) list->SetCurSel(-1);
    HighlightNodes("");
    UpdateData(false);
}

bool CDlgNodalNonlinearActions::NodesAndSpringAccepted() {
    if (!m_nodeSet && CheckNodeList(m_nodeText) != 0) {
        ErrorBox("Error:\n Invalid node numbers.");
        return false;
    }
    // Every node of the list exists: an unknown one would be dropped
    // without a word when the group is resolved.
    if (const ModelData* model = Model(); !m_nodeSet && model)
        for (const std::string& item : setwalk::ListItems(m_nodeText))
            if (!item.empty() && model->NodeRowOfNumber(ParseInt(item)) < 0) {
                ErrorBox("Error:\n Node " + item + " is not defined.");
                return false;
            }
    const auto* springs = Get<ui::ComboBox>(IDC_SPRING);
    m_springIndex = springs ? springs->GetCurSel() : -1;
    if (m_springIndex < 0) {
        ErrorBox("Error:\n Please select a nonlinear spring profile.");
        return false;
    }
    m_springName = springs->GetLBText(m_springIndex);
    return true;
}

void CDlgNodalNonlinearActions::TakeEdits(const std::string& nodeText, unsigned char setSelector) {
    m_group->reserved = 0;
    m_group->nodeText = nodeText;
    m_group->groupName = m_name;
    m_group->setSelector = setSelector;
    m_group->springName = m_springName;
    m_group->springNumber = m_springIndex;
}

bool CDlgNodalNonlinearActions::OnBnClickedSave() {
    ModelData* model = Model();
    if (!m_group || !model) return false;
    UpdateData(true);
    if (model->HasNonlinearActionName(m_name)) {
        ErrorBox("Error:\n Group of Nodal Stiffness already exists.");
        return false;
    }
    if (!NodesAndSpringAccepted()) return false;
    TakeEdits(m_nodeSet ? m_nodeSetName : m_nodeText, m_nodeSet);
    model->AddNonlinearAction(*m_group);
    ClearRecord(*m_group);
    SetButtons(false, false, false);
    ShowEditor(false);
    m_nodeSet = 0;
    RebuildGroupList();
    m_name.clear();
    m_nodeText.clear();
    m_newGroup = 0;
    HighlightNodes("");
    MarkModified();
    UpdateData(false);
    return true;
}

void CDlgNodalNonlinearActions::OnBnClickedUpdate() {
    ModelData* model = Model();
    const int selected = SelectedGroup();
    if (!m_group || !model || selected < 0) return;
    UpdateData(true);
    // A node-set group keeps the set this dialog shows for it.
    if (!m_nodeSet) m_nodeSetName = m_nodeText;
    if (model->IsActionNameUsed(selected, m_name)) {
        ErrorBox("Error:\n Group of Nodal Stiffness already exists.");
        return;
    }
    if (!NodesAndSpringAccepted()) return;
    TakeEdits(m_nodeSetName, IsDlgButtonChecked(IDC_USE_NODE_SET) ? 1 : 0);
    model->CopyNonlinearAction(selected, *m_group);
    SetButtons(false, false, true);
    if (auto* list = Get<ui::ListBox>(IDC_GROUP_LIST)) list->SetCurSel(-1);
    MarkModified();
    HighlightNodes("");
    UpdateData(false);
}

void CDlgNodalNonlinearActions::OnBnClickedDelete() {
    if (!m_group) return;
    UpdateData(true);
    const int selected = SelectedGroup();
    if (selected < 0) return;
    if (ui::MessageBox("Delete Nonlinear Group?", ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES) return;
    if (ModelData* model = Model()) model->RemoveNonlinearAction(selected);
    FillControls();
    MarkModified();
    HighlightNodes("");
    UpdateData(false);
}

void CDlgNodalNonlinearActions::OnLbnSelchangeGroupList() {
    const int selected = SelectedGroup();
    const ModelData* model = Model();
    if (!m_group || selected < 0 || !model) {
        UpdateData(false);
        return;
    }
    m_newGroup = 0;
    m_changed = 0;
    if (const NonlinearAction* stored = model->NonlinearActionAt(selected)) {
        m_group->groupName = stored->groupName;
        m_group->nodeText = stored->nodeText;
        m_group->springName = stored->springName;
        m_group->reserved = stored->reserved;
        m_group->springNumber = stored->springNumber;
        m_group->setSelector = stored->setSelector;
        m_name = stored->groupName;
        m_springName = stored->springName;
        // The entry of the stored name: the list is sorted, so positions
        // move when profiles are added.
        m_springIndex = SpringEntry(stored->springName);
        if (m_springIndex < 0) ErrorBox("Warning: \n Invalid nonlinear spring. ");
        if (auto* springs = Get<ui::ComboBox>(IDC_SPRING)) springs->SetCurSel(m_springIndex);
        m_nodeSet = stored->setSelector;
        if (m_nodeSet) {
            m_nodeSetName = stored->nodeText;
            m_nodeText = UserSetText(m_nodeSetName);
            Enable(IDC_SELECT_NODE_SET, true);
            std::string nodes;
            for (int node : model->SetNodeList(m_nodeSetName, 2)) nodes += std::to_string(node) + ",";
            HighlightNodes(nodes);
        } else {
            m_nodeSetName = m_nodeText = stored->nodeText;
            Enable(IDC_SELECT_NODE_SET, false);
            HighlightNodes(m_nodeText);
        }
        if (auto* option = Get<ui::ComboBox>(IDC_OPTION)) option->SetCurSel(stored->reserved);
        CheckDlgButton(IDC_USE_NODE_SET, m_nodeSet ? 1 : 0);
    }
    Enable(IDC_UPDATE, false);
    Enable(IDC_DELETE, true);
    ShowEditor(true);
    UpdateData(false);
}

void CDlgNodalNonlinearActions::OnBnClickedUseNodeSet() {
    m_nodeSet = IsDlgButtonChecked(IDC_USE_NODE_SET) ? 1 : 0;
    Enable(IDC_SELECT_NODE_SET, m_nodeSet != 0);
    Show(IDC_SELECT_NODE_SET, true);
    UpdateData(false);
}

void CDlgNodalNonlinearActions::OnBnClickedSelectNodeSet() {
    if (m_pView) m_pView->ShowSetSelection();
    const ModelData* model = Model();
    if (model && !model->selectedSetName.empty()) m_nodeText = UserSetText(model->selectedSetName);
    UpdateData(false);
}

void CDlgNodalNonlinearActions::TakeNodeSet(const std::string& nodeText, const std::string& setName) {
    m_nodeText = nodeText;
    UpdateData(false);
    OnEnChangeNodeList();
    m_nodeSetName = setName;
}

void CDlgNodalNonlinearActions::EditButtons() {
    if (m_newGroup)
        Enable(IDC_SAVE, true);
    else
        Enable(IDC_UPDATE, m_changed != 0);
}

void CDlgNodalNonlinearActions::OnEnChangeGroupName() {
    UpdateData(true);
    if (m_group && m_group->groupName != m_name) m_changed = 1;
    EditButtons();
}

void CDlgNodalNonlinearActions::OnEnChangeNodeList() {
    UpdateData(true);
    if (m_group && m_group->nodeText != m_nodeText) m_changed = 1;
    EditButtons();
}

void CDlgNodalNonlinearActions::OnCbnSelchangeSpring() {
    const auto* springs = Get<ui::ComboBox>(IDC_SPRING);
    m_springIndex = springs ? springs->GetCurSel() : -1;
    m_springName = m_springIndex >= 0 ? springs->GetLBText(m_springIndex) : std::string();
    if (m_group && m_group->springName != m_springName) m_changed = 1;
    EditButtons();
}

void CDlgNodalNonlinearActions::OnCbnSelchangeOption() { Enable(IDC_SAVE, true); }

void CDlgNodalNonlinearActions::OnBnClickedClose() {
    HighlightNodes("ss");
    if (m_pView) m_pView->OnNodalNonlinearDialogClosed();
    m_group.reset();
    EndDialog(ui::IDOK);
}
