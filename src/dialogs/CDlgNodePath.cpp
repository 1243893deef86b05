#include "dialogs/CDlgNodePath.h"

#include "model/ModelData.h"
#include "model/SetWalk.h"
#include "platform/ui/Services.h"

namespace {

// The editor's controls, hidden while no path is edited.
constexpr int kEditorIds[] = {
    CDlgNodePath::IDC_START_END,       CDlgNodePath::IDC_MANUAL,     CDlgNodePath::IDC_CREATE,
    CDlgNodePath::IDC_START,           CDlgNodePath::IDC_END,        CDlgNodePath::IDC_START_LABEL,
    CDlgNodePath::IDC_END_LABEL,       CDlgNodePath::IDC_NAME_LABEL, CDlgNodePath::IDC_NAME,
    CDlgNodePath::IDC_NODE_LIST_LABEL, CDlgNodePath::IDC_NODE_LIST,
};

}  // namespace

CDlgNodePath::CDlgNodePath(DocHost* doc, ViewHost* view, ui::Window* parent)
    : ListEditor(kTemplateId, doc, view, parent) {
    OnClicked(IDC_NEW, [this] { OnBnClickedNew(); });
    OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
    OnClicked(IDC_UPDATE, [this] { OnBnClickedUpdate(); });
    OnClicked(IDC_DELETE, [this] { OnBnClickedDelete(); });
    OnClicked(IDC_CREATE, [this] { OnBnClickedCreate(); });
    OnClicked(IDC_START_END, [this] { OnBnClickedStartEndNodes(); });
    OnClicked(IDC_MANUAL, [this] { OnBnClickedInputManually(); });
    OnClicked(IDC_CLOSE, [this] { OnBnClickedClose(); });
    OnNotify(ui::Notify::SelChange, IDC_PATH_LIST, [this] { OnLbnSelchangePathList(); });
    OnNotify(ui::Notify::Change, IDC_NODE_LIST, [this] { OnEnChangeNodeList(); });
    OnNotify(ui::Notify::Change, IDC_NAME, [this] { OnEnChangeGroupName(); });
    OnNotify(ui::Notify::Change, IDC_START, [this] { OnEnChangeStartEndNode(); });
    OnNotify(ui::Notify::Change, IDC_END, [this] { OnEnChangeStartEndNode(); });
}

CDlgNodePath::~CDlgNodePath() = default;

ui::DialogTemplate CDlgNodePath::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Node Path";
    t.rect = {0, 0, 330, 220};
    t.Label(ui::IDSTATIC, "Node Path Group", {8, 6, 130, 8});
    t.List(IDC_PATH_LIST, {8, 16, 130, 150});
    t.PushButton(IDC_NEW, "New", {8, 172, 30, 14});
    t.PushButton(IDC_SAVE, "Save", {41, 172, 30, 14});
    t.PushButton(IDC_UPDATE, "Update", {74, 172, 30, 14});
    t.PushButton(IDC_DELETE, "Delete", {107, 172, 31, 14});
    t.Group(IDC_DEFINE_GROUP, "Define Node Path", {146, 4, 176, 182});
    t.Radio(IDC_START_END, "Start/End nodes", {154, 18, 76, 10}, ui::cs::Group);
    t.Radio(IDC_MANUAL, "Input Manually", {236, 18, 76, 10});
    t.Label(IDC_START_LABEL, "Start Node", {154, 36, 50, 8});
    t.EditBox(IDC_START, {206, 34, 50, 12});
    t.Label(IDC_END_LABEL, "End Node", {154, 52, 50, 8});
    t.EditBox(IDC_END, {206, 50, 50, 12});
    t.PushButton(IDC_CREATE, "Create", {264, 42, 50, 14});
    t.Label(IDC_NAME_LABEL, "Group Name", {154, 70, 80, 8});
    t.EditBox(IDC_NAME, {154, 80, 160, 12});
    t.Label(IDC_NODE_LIST_LABEL, "Node List", {154, 98, 80, 8});
    t.EditBox(IDC_NODE_LIST, {154, 108, 160, 70}, ui::cs::MultiLine | ui::cs::VScroll | ui::cs::WantReturn);
    t.DefPushButton(IDC_CLOSE, "Close", {264, 196, 58, 14});
    return t;
}

int CDlgNodePath::SelectedPath() const {
    const auto* list = Get<ui::ListBox>(IDC_PATH_LIST);
    return list ? list->GetCurSel() : -1;
}

void CDlgNodePath::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_START, m_start);
    dx.Text(IDC_END, m_end);
    dx.Text(IDC_NAME, m_name);
    dx.Text(IDC_NODE_LIST, m_nodeList);
}

bool CDlgNodePath::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    Initialise();
    return true;
}

void CDlgNodePath::Initialise() {
    m_mode = 1;
    m_newPath = 0;
    m_path = std::make_unique<NodePath>();
    m_start.assign(1, '0');  // "0", without the copy optimised builds warn about
    m_end.assign(1, '0');
    if (auto* list = Get<ui::ListBox>(IDC_PATH_LIST)) {
        list->ResetContent();
        if (const ModelData* model = Model())
            for (const NodePath* p = model->FirstNodePath(); p; p = p->next) list->AddString(p->name);
    }
    SetButtons(false, false, false);
    ShowEditor(false);
    UpdateData(false);
}

void CDlgNodePath::ShowEditor(bool show) {
    for (int id : kEditorIds) Show(id, show);
}

void CDlgNodePath::EnableStartEnd(bool enable) {
    for (int id : {IDC_START, IDC_END, IDC_START_LABEL, IDC_END_LABEL, IDC_CREATE}) Enable(id, enable);
}

void CDlgNodePath::StoreRecord() {
    m_path->name = m_name;
    m_path->startNode = ParseInt(m_start);
    m_path->endNode = ParseInt(m_end);
    if (IsDlgButtonChecked(IDC_START_END))
        m_mode = 1;
    else if (IsDlgButtonChecked(IDC_MANUAL))
        m_mode = 2;
    m_path->mode = m_mode;
    m_path->nodeListText = m_nodeList;
}

void CDlgNodePath::ClearWorkingPath() {
    m_path->name.clear();
    m_path->nodeListText.clear();
    m_path->nodes.clear();
    m_path->startNode = m_path->endNode = 0;
}

void CDlgNodePath::OnBnClickedNew() {
    if (!m_path) return;
    UpdateData(true);
    m_mode = 1;
    const ModelData* model = Model();
    m_name = "Node Path Group " + std::to_string((model ? model->NodePathCount() : 0) + 1);
    SetButtons(true, false, false);
    ShowEditor(true);
    CheckRadioButton(IDC_START_END, IDC_MANUAL, IDC_START_END);
    Enable(IDC_CREATE, true);
    if (auto* list = Get<ui::ListBox>(IDC_PATH_LIST)) list->SetCurSel(-1);
    m_nodeList.clear();
    m_start.assign(1, '0');
    m_end.assign(1, '0');
    m_newPath = 1;
    HighlightNodes("");
    UpdateData(false);
}

void CDlgNodePath::OnBnClickedCreate() {
    if (!m_path) return;
    UpdateData(true);
    const int start = ParseInt(m_start);
    const int end = ParseInt(m_end);
    if (start < 1 || end < 1) {
        ErrorBox("Please input non-zero/non-negative node number");
        return;
    }
    // A number is valid when a node has it: the numbering may have gaps.
    const ModelData* model = Model();
    const NodeTable* nodes = model ? model->GetNodeTable() : nullptr;
    if (!nodes || nodes->FindNodeRowById(start) < 0 || nodes->FindNodeRowById(end) < 0) {
        ErrorBox("Please input valid node number");
        return;
    }
    m_path->startNode = start;
    m_path->endNode = end;
    if (IsDlgButtonChecked(IDC_MANUAL))
        m_mode = 2;
    else if (IsDlgButtonChecked(IDC_START_END))
        m_mode = 1;
    std::vector<int> numbers;
    if (m_mode == 1) {
        model->ResolveNodePath(numbers, std::to_string(start), std::to_string(end));
        m_nodeList = ModelData::JoinNumbers(numbers);
    } else {
        numbers = ParseIdList(m_nodeList);
    }
    m_path->nodes = numbers;
    UpdateData(false);
}

bool CDlgNodePath::NodeListAccepted() {
    if (!IsDlgButtonChecked(IDC_MANUAL)) return true;  // made from existing nodes
    const ModelData* model = Model();
    for (const std::string& item : setwalk::ListItems(m_nodeList)) {
        // A range first:last:step is taken from its first node on.
        const std::string first = item.substr(0, item.find(':'));
        bool digits = !first.empty();
        for (char c : item) digits = digits && ((c >= '0' && c <= '9') || c == ':');
        if (!digits) {
            ErrorBox("Error:\n Invalid node number " + item + ".");
            return false;
        }
        if (model && model->NodeRowOfNumber(ParseInt(first)) < 0) {
            ErrorBox("Error:\n Node " + first + " is not defined.");
            return false;
        }
    }
    return true;
}

bool CDlgNodePath::OnBnClickedSave() {
    ModelData* model = Model();
    if (!m_path || !model) return false;
    UpdateData(true);
    if (model->HasNodePathName(m_name)) {
        ErrorBox("Error:\n Group of node path already exists.");
        return false;
    }
    if (m_nodeList.empty()) {
        ErrorBox("Please create node list before save");
        return false;
    }
    if (!NodeListAccepted()) return false;
    StoreRecord();
    // The nodes as a model file read back would give them.
    model->ResolveNodePathNumbers(*m_path);
    model->AddNodePath(*m_path);
    if (auto* list = Get<ui::ListBox>(IDC_PATH_LIST)) list->AddString(m_name);
    ShowEditor(false);
    Enable(IDC_SAVE, false);
    ClearWorkingPath();
    m_nodeList.clear();
    m_newPath = 0;
    MarkModified();
    UpdateData(false);
    return true;
}

void CDlgNodePath::OnBnClickedUpdate() {
    ModelData* model = Model();
    const int selected = SelectedPath();
    if (!m_path || !model || selected < 0) return;
    UpdateData(true);
    if (!NodeListAccepted()) return;
    StoreRecord();
    model->ResolveNodePathNumbers(*m_path);
    model->CopyNodePath(selected, *m_path);
    ShowEditor(false);
    Enable(IDC_UPDATE, false);
    if (auto* list = Get<ui::ListBox>(IDC_PATH_LIST)) list->SetCurSel(-1);
    m_nodeList.clear();
    HighlightNodes("");
    MarkModified();
    UpdateData(false);
}

void CDlgNodePath::OnBnClickedDelete() {
    const int selected = SelectedPath();
    if (!m_path || selected < 0) return;
    if (ui::MessageBox("Delete Node Path?", ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES) return;
    if (ModelData* model = Model()) model->RemoveNodePath(selected);
    if (auto* list = Get<ui::ListBox>(IDC_PATH_LIST)) list->SetCurSel(-1);
    Initialise();
    MarkModified();
    HighlightNodes("");
}

void CDlgNodePath::OnLbnSelchangePathList() {
    const int selected = SelectedPath();
    const ModelData* model = Model();
    if (!m_path || selected < 0 || !model) return;
    m_newPath = 0;
    const NodePath* stored = model->NodePathAt(selected);
    if (!stored) return;
    m_path->mode = stored->mode;
    m_path->name = stored->name;
    m_path->startNode = stored->startNode;
    m_path->endNode = stored->endNode;
    m_path->nodeListText = stored->nodeListText;
    m_path->nodes.clear();
    m_mode = stored->mode;
    m_name = stored->name;
    m_nodeList = stored->nodeListText;
    if (m_mode == 1) {
        m_start = std::to_string(stored->startNode);
        m_end = std::to_string(stored->endNode);
        // The list follows the nodes where they are now.
        std::vector<int> numbers;
        model->ResolveNodePath(numbers, m_start, m_end);
        m_path->nodeListText = m_nodeList = ModelData::JoinNumbers(numbers);
        CheckRadioButton(IDC_START_END, IDC_MANUAL, IDC_START_END);
        EnableStartEnd(true);
        Enable(IDC_CREATE, false);
    } else {
        m_start.assign(1, '0');
        m_end.assign(1, '0');
        CheckRadioButton(IDC_START_END, IDC_MANUAL, IDC_MANUAL);
        EnableStartEnd(false);
    }
    Enable(IDC_START_END, true);
    Enable(IDC_MANUAL, true);
    ShowEditor(true);
    SetButtons(false, false, true);
    HighlightNodes(m_nodeList);
    UpdateData(false);
}

bool CDlgNodePath::DiffersFromSelected() const {
    const ModelData* model = Model();
    return model && ModelData::IsNodePathChanged(m_path.get(), model->NodePathAt(SelectedPath()));
}

void CDlgNodePath::EditedExisting() {
    StoreRecord();
    if (DiffersFromSelected()) {
        m_changed = 1;
        Enable(IDC_UPDATE, true);
    }
}

void CDlgNodePath::OnBnClickedStartEndNodes() {
    if (!m_path) return;
    UpdateData(true);
    StoreRecord();
    if (!m_newPath && SelectedPath() >= 0 && DiffersFromSelected()) {
        Enable(IDC_UPDATE, true);
        HighlightNodes("");
    }
    m_start.assign(1, '0');
    m_end.assign(1, '0');
    EnableStartEnd(true);
    UpdateData(false);
}

void CDlgNodePath::OnBnClickedInputManually() {
    if (!m_path) return;
    UpdateData(true);
    StoreRecord();
    if (!m_newPath && SelectedPath() >= 0 && DiffersFromSelected()) Enable(IDC_UPDATE, true);
    m_start.assign(1, '0');
    m_end.assign(1, '0');
    EnableStartEnd(false);
    UpdateData(false);
}

void CDlgNodePath::OnEnChangeNodeList() {
    if (!m_path || m_newPath) return;
    UpdateData(true);
    EditedExisting();
    HighlightNodes("");
}

void CDlgNodePath::OnEnChangeGroupName() {
    if (!m_path || m_newPath) return;
    UpdateData(true);
    EditedExisting();
}

void CDlgNodePath::OnEnChangeStartEndNode() {
    if (!m_path || m_newPath) return;
    UpdateData(true);
    EditedExisting();
    Enable(IDC_CREATE, true);
    HighlightNodes("");
}

void CDlgNodePath::OnBnClickedClose() {
    if (m_path) UpdateData(true);
    if (m_path && m_newPath && !m_nodeList.empty()) {
        if (ui::MessageBox("Save data before close?", ui::Buttons::YesNo, ui::Icon::Question) == ui::IDYES) {
            // A save refused by its message keeps the dialog open.
            if (!OnBnClickedSave()) return;
            MarkModified();
        }
    }
    HighlightNodes("");
    EndDialog(ui::IDOK);
}
