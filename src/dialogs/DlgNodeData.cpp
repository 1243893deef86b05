#include "dialogs/DlgNodeData.h"

#include "model/ModelData.h"

DlgNodeData::DlgNodeData(DocHost* doc, ViewHost* view)
    : GridPage(kTemplateId, doc, view, kRows, 4), m_number(kRows, 0), m_x(kRows, 0.0), m_y(kRows, 0.0),
      m_z(kRows, 0.0) {
    OnClicked(IDC_ADD_NODE, [this] { OnBnClickedAddNode(); });
    OnClicked(IDC_INSERT_NODE, [this] { OnBnClickedInsertNode(); });
    OnClicked(IDC_DELETE_NODE, [this] { OnBnClickedDeleteNode(); });
    OnClicked(IDC_SORT, [this] { OnBnClickedSort(); });
}

DlgNodeData::~DlgNodeData() = default;

ui::DialogTemplate DlgNodeData::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Node Coordinates";
    t.rect = {0, 0, 356, 262};
    const int top = 36, pitch = 14;
    for (int s = 1; s <= kRows; ++s) {
        const int y = top + (s - 1) * pitch;
        t.Label(CellId(s, 0), "", {4, y + 2, 22, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {30, y, 44, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 2), {78, y, 58, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 3), {140, y, 58, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 4), {202, y, 58, 12}, ui::cs::RightText);
    }
    t.DefPushButton(ui::IDOK, "OK", {290, 8, 58, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {290, 26, 58, 14});
    t.PushButton(kApplyId, "Apply", {290, 44, 58, 14});
    t.PushButton(IDC_SORT, "Sort", {290, 70, 58, 14});
    t.PushButton(IDC_ADD_NODE, "Add Node", {290, 96, 58, 14});
    t.PushButton(IDC_INSERT_NODE, "Insert Node", {290, 114, 58, 14});
    t.PushButton(IDC_DELETE_NODE, "Delete Node", {290, 132, 58, 14});
    t.PushButton(IDC_NONE, "None", {290, 240, 58, 14}, ui::cs::Hidden);
    t.Label(ui::IDSTATIC, "Node", {30, 6, 44, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Number", {30, 15, 44, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Coord. X", {78, 6, 58, 8}, ui::cs::CenterText);
    t.Label(IDC_UNIT_X, "", {78, 15, 58, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Coord. Y", {140, 6, 58, 8}, ui::cs::CenterText);
    t.Label(IDC_UNIT_Y, "", {140, 15, 58, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Coord. Z", {202, 6, 58, 8}, ui::cs::CenterText);
    t.Label(IDC_UNIT_Z, "", {202, 15, 58, 8}, ui::cs::CenterText);
    t.VScrollBar(kScrollBarId, {264, top, 10, kRows * pitch - 2});
    t.Label(ui::IDSTATIC, "Number", {290, 166, 58, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "of Nodes", {290, 175, 58, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {296, 186, 46, 12}, ui::cs::CenterText | ui::cs::Border);
    t.PushButton(IDC_SORT_DESCEND, "Sort Descend.", {290, 240, 58, 14}, ui::cs::Hidden);
    return t;
}

bool DlgNodeData::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (m_view) m_view->SetHighlightState(1, "0");
    m_table = std::make_unique<NodeTable>();
    if (ModelData* model = Model(); model && model->GetNodeTable()) m_table->CopyNodeTable(*model->GetNodeTable());
    StartAtFirstRow();
    return true;
}

bool DlgNodeData::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgNodeData::LoadSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_number[s] = m_table->GetNodeId(row);
    m_x[s] = m_table->GetX(row);
    m_y[s] = m_table->GetY(row);
    m_z[s] = m_table->GetZ(row);
}

void DlgNodeData::ExchangeSlot(ui::DataExchange& dx, int slot) {
    const size_t s = static_cast<size_t>(slot - 1);
    dx.Text(CellId(slot, 1), m_number[s]);
    dx.Text(CellId(slot, 2), m_x[s]);
    dx.Text(CellId(slot, 3), m_y[s]);
    dx.Text(CellId(slot, 4), m_z[s]);
}

void DlgNodeData::DoDataExchange(ui::DataExchange& dx) {
    GridPage::DoDataExchange(dx);
    // The unit captions: nothing fills them.
    dx.Text(IDC_UNIT_X, m_unit[0]);
    dx.Text(IDC_UNIT_Y, m_unit[1]);
    dx.Text(IDC_UNIT_Z, m_unit[2]);
}

int DlgNodeData::CheckSlot(int slot) {
    const int n = m_number[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot);
    const int other = FindDuplicate(
        slot, n, [this](int j) { return m_table->GetNodeId(j); },
        [this](int k) { return m_number[static_cast<size_t>(k - 1)]; });
    if (other >= 0) {
        RowMessage(Format(" Node Number %d is already defined \n Check rows %d and %d", n, other + 1, row + 1));
        return 1;
    }
    // The node about to be deleted need not carry a valid number.
    if (!IsValidNumber(n) && !(Reason() == kReasonDelete && slot == m_currentRow)) {
        RowMessage(Format(" Node Number %d is not valid \n Check row %d", n, row + 1));
        return 1;
    }
    // A node of an element keeps its number, as it cannot be deleted either:
    // the element would lose it.
    if (row < m_table->GetCount()) {
        const int old = m_table->GetNodeId(row);
        if (const int element = (old != n && m_view) ? m_view->FindElementUsingNode(old) : 0; element != 0) {
            RowMessage(Format(" Node Number %d can not be renumbered \n it is assign to element %d", old, element));
            return 1;
        }
        if (!(Reason() == kReasonDelete && slot == m_currentRow) && CheckRenumbering(1, old, n) > 0) return 1;
    }
    return 0;
}

void DlgNodeData::StoreSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_table->SetNodeId(row, m_number[s]);
    m_table->SetX(row, m_x[s]);
    m_table->SetY(row, m_y[s]);
    m_table->SetZ(row, m_z[s]);
}

bool DlgNodeData::DiffersFromModel() const {
    const ModelData* model = Model();
    if (!model || !model->GetNodeTable()) return m_table && m_table->GetCount() != 0;
    return m_table && model->GetNodeTable()->CompareNodeTable(*m_table);
}

void DlgNodeData::WriteToModel() {
    m_table->SortNodeRows();
    if (ModelData* model = Model()) model->ReplaceNodeTable(*m_table);
    if (m_view) m_view->ClearPickedItems();
}

std::string DlgNodeData::SlotHighlightText(int slot) const {
    return std::to_string(m_number[static_cast<size_t>(slot - 1)]);
}

void DlgNodeData::OnBnClickedAddNode() {
    if (!BeginAppend(true)) return;
    m_table->AddNodeRow(m_table->MaxNodeId() + 1, 0.0, 0.0, 0.0);
    m_table->CountNodeRows();
    m_table->RebuildNodeTableIndex();
    RowsChanged();
}

void DlgNodeData::OnBnClickedInsertNode() {
    const int row = BeginInsert();
    if (row < 0) return;
    m_table->InsertNodeRow(row, m_table->MaxNodeId() + 1, 0.0, 0.0, 0.0);
    RowsChanged();
}

void DlgNodeData::OnBnClickedDeleteNode() {
    const int row = BeginDelete();
    if (row < 0) return;
    const int node = m_number[static_cast<size_t>(m_currentRow - 1)];
    if (const int element = m_view ? m_view->FindElementUsingNode(node) : 0; element != 0) {
        RowMessage(Format(" Node Number %d can not be deleted \n it is assign to element %d", node, element));
        Refresh();
        return;
    }
    m_table->RemoveNodeRow(row);
    if (m_view) m_view->AddPickedItem(1, std::to_string(node));
    RowsChanged();
}

void DlgNodeData::OnBnClickedSort() {
    if (!ValidateFor(kReasonMove)) return;
    m_table->SortNodeRows();
    Refresh();
}
