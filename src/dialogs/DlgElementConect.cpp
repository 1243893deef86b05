#include "dialogs/DlgElementConect.h"

#include <algorithm>

#include "model/ModelData.h"

DlgElementConect::DlgElementConect(DocHost* doc, ViewHost* view)
    : GridPage(kTemplateId, doc, view, kRows, 1 + kMaxNodes), m_number(kRows, 0),
      m_node(kRows, std::array<int, kMaxNodes>{}) {
    OnClicked(IDC_ADD_ELEMENT, [this] { OnBnClickedAddElement(); });
    OnClicked(IDC_INSERT_ELEMENT, [this] { OnBnClickedInsertElement(); });
    OnClicked(IDC_DELETE_ELEMENT, [this] { OnBnClickedDeleteElement(); });
    OnClicked(IDC_SORT, [this] { OnBnClickedSort(); });
}

DlgElementConect::~DlgElementConect() = default;

ui::DialogTemplate DlgElementConect::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Element Connectivity";
    t.rect = {0, 0, 478, 262};
    const int top = 36, pitch = 14, nodeX = 64, nodeW = 32;
    for (int s = 1; s <= kRows; ++s) {
        const int y = top + (s - 1) * pitch;
        t.Label(CellId(s, 0), "", {4, y + 2, 22, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {28, y, 32, 12}, ui::cs::RightText);
        for (int j = 1; j <= kMaxNodes; ++j)
            t.EditBox(CellId(s, j + 1), {nodeX + (j - 1) * (nodeW + 2), y, nodeW, 12}, ui::cs::RightText);
    }
    const int right = nodeX + kMaxNodes * (nodeW + 2) + 18;
    t.PushButton(ui::IDOK, "OK", {right, 8, 68, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {right, 26, 68, 14});
    t.PushButton(kApplyId, "Apply", {right, 44, 68, 14});
    t.PushButton(IDC_SORT, "Sort", {right, 70, 68, 14});
    t.PushButton(IDC_ADD_ELEMENT, "Add Element", {right, 96, 68, 14});
    t.PushButton(IDC_INSERT_ELEMENT, "Insert Element", {right, 114, 68, 14});
    t.PushButton(IDC_DELETE_ELEMENT, "Delete Element", {right, 132, 68, 14});
    // The only default button: Enter in a cell does nothing.
    t.DefPushButton(IDC_NONE, "None", {right, 240, 68, 14}, ui::cs::Hidden);
    t.Label(ui::IDSTATIC, "Element", {28, 6, 32, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Number", {28, 15, 32, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Node", {nodeX, 6, kMaxNodes * (nodeW + 2), 8}, ui::cs::CenterText);
    for (int j = 1; j <= kMaxNodes; ++j)
        t.Label(IDC_NODE_HEADING + j - 1, std::to_string(j), {nodeX + (j - 1) * (nodeW + 2), 15, nodeW, 8},
                ui::cs::CenterText);
    t.VScrollBar(kScrollBarId, {nodeX + kMaxNodes * (nodeW + 2) + 2, top, 10, kRows * pitch - 2});
    t.Label(ui::IDSTATIC, "Number of", {right, 166, 68, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Elements", {right, 175, 68, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {right + 10, 186, 48, 12}, ui::cs::CenterText | ui::cs::Border);
    return t;
}

bool DlgElementConect::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (m_view) m_view->SetHighlightState(2, "0");
    m_table = std::make_unique<ElementTable>();
    ModelData* model = Model();
    if (model && model->GetElementTable()) {
        m_table->SetNodesPerElement(model->GetElementTable()->GetNodesPerElement());
        m_table->CopyElementTable(*model->GetElementTable());
    }
    m_nodesPerElement = std::clamp(m_table->GetNodesPerElement(), 0, kMaxNodes);
    // Only the nodes the element type has are headed.
    for (int j = 1; j <= kMaxNodes; ++j)
        if (ui::Control* heading = GetDlgItem(IDC_NODE_HEADING + j - 1)) heading->ShowWindow(j <= m_nodesPerElement);
    if (model) m_nodes = NumberLookup(model->GetNodeTable(), [](const NodeTable& t, int i) { return t.GetNodeId(i); });
    StartAtFirstRow();
    return true;
}

bool DlgElementConect::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgElementConect::LoadSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_number[s] = m_table->GetId(row);
    for (int j = 0; j < m_nodesPerElement; ++j) m_node[s][static_cast<size_t>(j)] = m_table->GetNodeNumber(row, j);
}

void DlgElementConect::ExchangeSlot(ui::DataExchange& dx, int slot) {
    const size_t s = static_cast<size_t>(slot - 1);
    dx.Text(CellId(slot, 1), m_number[s]);
    for (int j = 0; j < m_nodesPerElement; ++j) dx.Text(CellId(slot, j + 2), m_node[s][static_cast<size_t>(j)]);
}

int DlgElementConect::CheckSlot(int slot) {
    const int n = m_number[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot);
    const int other = FindDuplicate(
        slot, n, [this](int j) { return m_table->GetId(j); },
        [this](int k) { return m_number[static_cast<size_t>(k - 1)]; });
    if (other >= 0) {
        RowMessage(Format(" Element Number %d is already defined \n Check rows %d and %d", n, other + 1, row + 1));
        return 1;
    }
    const bool deleting = Reason() == kReasonDelete && slot == m_currentRow;
    if (!IsValidNumber(n) && !deleting) {
        RowMessage(Format(" Element Number %d is not valid \n Check row %d", n, row + 1));
        return 1;
    }
    if (Reason() == kReasonDelete) return 0;
    // Sets and targets name the element by its number.
    if (row < m_table->GetCount() && CheckRenumbering(2, m_table->GetId(row), n) > 0) return 1;
    return CheckNodes(slot);
}

int DlgElementConect::CheckNodes(int slot) const {
    const size_t s = static_cast<size_t>(slot - 1);
    for (int j = 0; j < m_nodesPerElement; ++j) {
        const int node = m_node[s][static_cast<size_t>(j)];
        if (m_nodes.Contains(node)) continue;
        // A fresh row's nodes are typed while it is current; nothing reaches
        // the model with them.
        if (node == 0 && slot == m_currentRow && Reason() != kReasonWrite) continue;
        RowMessage(Format(" Node Number %d is not defined\n Check element number %d in row %d, column %d", node,
                          m_number[s], TableRow(slot) + 1, j + 1));
        return 1;
    }
    return 0;
}

void DlgElementConect::StoreSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_table->SetId(row, m_number[s]);
    for (int j = 0; j < m_nodesPerElement; ++j) m_table->SetNodeNumber(row, j, m_node[s][static_cast<size_t>(j)]);
}

bool DlgElementConect::DiffersFromModel() const {
    const ModelData* model = Model();
    if (!model || !model->GetElementTable()) return m_table && m_table->GetCount() != 0;
    return m_table && model->GetElementTable()->CompareElementTable(*m_table);
}

void DlgElementConect::WriteToModel() {
    m_table->SortById();
    if (ModelData* model = Model()) model->ReplaceElementTable(*m_table);
    if (m_view) m_view->ClearPickedItems();
}

std::string DlgElementConect::SlotHighlightText(int slot) const {
    return std::to_string(m_number[static_cast<size_t>(slot - 1)]);
}

void DlgElementConect::OnBnClickedAddElement() {
    if (!BeginAppend(false)) return;
    m_table->AddElementRow(m_table->MaxId() + 1, 1, NewRowNodes());
    m_table->CountRows();
    m_table->RebuildIndex();
    RowsChanged();
}

void DlgElementConect::OnBnClickedInsertElement() {
    const int row = BeginInsert();
    if (row < 0) return;
    m_table->InsertElementRow(row, m_table->MaxId() + 1, 1, NewRowNodes());
    m_currentColumn = 1;
    RowsChanged();
}

void DlgElementConect::OnBnClickedDeleteElement() {
    const int row = BeginDelete();
    if (row < 0) return;
    const int element = m_number[static_cast<size_t>(m_currentRow - 1)];
    m_table->RemoveElementRow(row);
    if (m_view) m_view->AddPickedItem(2, std::to_string(element));
    RowsChanged();
}

void DlgElementConect::OnBnClickedSort() {
    if (!ValidateFor(kReasonMove)) return;
    m_table->SortById();
    Refresh();
}
