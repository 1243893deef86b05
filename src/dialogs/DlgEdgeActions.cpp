#include "dialogs/DlgEdgeActions.h"

#include <algorithm>
#include <tuple>

#include "model/ModelData.h"
#include "model/TextParse.h"

namespace {

constexpr int kTop = 32, kPitch = 14;
// Left edges and widths of the six cells.
constexpr int kCellX[7] = {0, 26, 70, 96, 122, 174, 226};
constexpr int kCellW[7] = {0, 40, 22, 22, 48, 48, 48};

struct EdgeWords {
    const char* title;
    const char* value;  // heading over the node values
    const char* table;  // the table in the duplicate message
};

const EdgeWords& WordsOf(int kind) {
    static const EdgeWords words[2] = {{"Edge Loads", "Load", " Loads "},
                                       {"Edge Stiffnesses", "Stiff.", " Stiffness "}};
    return words[kind == 2 ? 1 : 0];
}

bool BeginsWithNumber(const std::string& text) { return !text.empty() && text[0] >= '1' && text[0] <= '9'; }

}  // namespace

DlgEdgeActions::DlgEdgeActions(DocHost* doc, ViewHost* view, int kind)
    : ActionGrid(kTemplateId, doc, view, kRows, 7), m_kind(kind == 2 ? 2 : 1), m_slot(kRows) {}

DlgEdgeActions::~DlgEdgeActions() = default;

ui::DialogTemplate DlgEdgeActions::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Edge Actions";
    const int right = 290;  // the buttons' column
    t.rect = {0, 0, right + 70, kTop + kRows * kPitch + 10};
    for (int s = 1; s <= kRows; ++s) {
        const int y = kTop + (s - 1) * kPitch;
        t.Label(CellId(s, 0), "", {2, y + 2, 20, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, kTarget), {kCellX[1], y, kCellW[1], 12});
        for (int c = kSide; c <= 6; ++c) t.EditBox(CellId(s, c), {kCellX[c], y, kCellW[c], 12}, ui::cs::RightText);
    }
    t.Label(ui::IDSTATIC, "Element", {kCellX[1], 16, kCellW[1], 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Side", {kCellX[2], 16, kCellW[2], 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "DOF", {kCellX[3], 16, kCellW[3], 8}, ui::cs::CenterText);
    static const char* const nodes[3] = {"Node 1", "Node 2", "Node 3"};
    for (int i = 0; i < 3; ++i) {
        t.Label(IDC_VALUE_HEADING + i, "", {kCellX[4 + i], 6, kCellW[4 + i], 8}, ui::cs::CenterText);
        t.Label(ui::IDSTATIC, nodes[i], {kCellX[4 + i], 16, kCellW[4 + i], 8}, ui::cs::CenterText);
    }
    t.VScrollBar(kScrollBarId, {kCellX[6] + kCellW[6] + 6, kTop, 10, kRows * kPitch - 2});
    AddButtonColumn(t, right);
    return t;
}

bool DlgEdgeActions::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    LoadFromModel();
    return true;
}

bool DlgEdgeActions::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgEdgeActions::Reopen(int kind) {
    m_kind = kind == 2 ? 2 : 1;
    m_reload = true;
    LoadFromModel();
}

void DlgEdgeActions::LoadFromModel() {
    m_table = std::make_unique<EdgeActionTable>(m_kind);
    const ModelData* model = Model();
    if (const EdgeActionTable* source = model ? model->GetEdgeActionTable(m_kind) : nullptr)
        m_table->CopyEdgeActionTable(*source);
    m_table->SetKindCode(m_kind);
    m_table->CountEdgeActionRows();
    m_table->RebuildEdgeActionIndex();
    m_modified = 0;
    const EdgeWords& w = WordsOf(m_kind);
    SetWindowText(w.title);
    for (int i = 0; i < 3; ++i) SetDlgItemText(IDC_VALUE_HEADING + i, w.value);
    StartAtFirstRow();
}

void DlgEdgeActions::LoadSlot(int slot, int row) {
    Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    s.target = m_table->GetTarget(row);
    s.side = m_table->GetSide(row);
    s.dof = m_table->GetDof(row);
    for (int j = 0; j < 3; ++j) s.values[static_cast<size_t>(j)] = m_table->GetValue(row, j);
}

void DlgEdgeActions::ExchangeSlot(ui::DataExchange& dx, int slot) {
    Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    dx.Text(CellId(slot, kTarget), s.target);
    dx.Text(CellId(slot, kSide), s.side);
    dx.Text(CellId(slot, kDof), s.dof);
    for (int j = 0; j < 3; ++j) dx.Text(CellId(slot, kValue1 + j), s.values[static_cast<size_t>(j)]);
}

int DlgEdgeActions::Validate() {
    const ModelData* model = Model();
    m_elements = NumberLookup(model ? model->GetElementTable() : nullptr,
                              [](const ElementTable& t, int i) { return t.GetId(i); });
    return GridPage::Validate();
}

int DlgEdgeActions::CheckSlot(int slot) {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot) + 1;
    const auto key = std::make_tuple(s.target, s.side, s.dof);
    const int other = FindDuplicate(
        slot, key,
        [this](int j) { return std::make_tuple(m_table->GetTarget(j), m_table->GetSide(j), m_table->GetDof(j)); },
        [this](int k) {
            const Slot& o = m_slot[static_cast<size_t>(k - 1)];
            return std::make_tuple(o.target, o.side, o.dof);
        });
    if (other >= 0) {
        RowMessage(Format(" %s are already defined \n Check rows %d and %d", WordsOf(m_kind).table, other + 1, row));
        return 1;
    }
    if (CheckTarget(slot, s) > 0) return 1;
    if (s.dof < 1 || s.dof > 6) {
        if (RowBeingTyped(slot)) return 0;
        RowMessage(Format(" Dof number should be between 1 and 6\n Check row %d", row));
        return 1;
    }
    return 0;
}

int DlgEdgeActions::CheckTarget(int slot, const Slot& s) {
    const int row = TableRow(slot) + 1;
    if (CheckWord(slot, "Target", s.target) > 0) return 1;
    switch (ClassifyTarget(slot, s.target)) {
        case TargetKind::Placeholder: return 0;
        case TargetKind::Number:
            // The placeholder "0" of a new row, checked on a move or a write.
            if (s.target[0] == '0' && !m_elements.Contains(0) && !DeletingSlot(slot)) {
                RowMessage(Format(" Element Number %s is not defined\n Check row %d", s.target.c_str(), row));
                return 1;
            }
            break;
        case TargetKind::SetName: break;
    }
    const ModelData* model = Model();
    const bool lookUp = !DeletingSlot(slot) && !(s.target[0] == '0' && slot == m_currentRow);
    const ItemFault fault =
        lookUp ? FindItemFault(s.target, m_elements, model ? model->GetSetTable(3) : nullptr) : ItemFault{};
    switch (fault.kind) {
        case ItemFault::None: break;
        case ItemFault::Malformed:
            return MalformedItemMessage(slot, "Element", fault.item, "A range of elements is given as an edge set.");
        case ItemFault::NoNumber:
            RowMessage(Format(" Element Number %s is not defined\n Check row %d", fault.item.c_str(), row));
            return 1;
        case ItemFault::NoSet:
            RowMessage(Format(" Edge Set %s is not defined \n Check row %d", fault.item.c_str(), row));
            return 1;
    }
    // The side of a set row names no side of its own; a bad side counts on
    // the row about to be deleted too.
    if (!BeginsWithNumber(s.target) || (s.side >= 1 && s.side <= 4) || RowBeingTyped(slot)) return 0;
    RowMessage(Format(" Side number should be between 1 and 4\n Check row %d", row));
    return 1;
}

void DlgEdgeActions::StoreSlot(int slot, int row) {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    m_table->SetTarget(row, s.target);
    m_table->SetSide(row, s.side);
    m_table->SetDof(row, s.dof);
    for (int j = 0; j < 3; ++j) m_table->SetValue(row, j, s.values[static_cast<size_t>(j)]);
}

std::string DlgEdgeActions::SlotHighlightText(int slot) const {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    if (!BeginsWithNumber(s.target)) return s.target;
    return std::to_string(static_cast<long long>(ParseInt(s.target)) * 4 + s.side);
}

bool DlgEdgeActions::DiffersFromModel() const {
    const ModelData* model = Model();
    const EdgeActionTable* source = model ? model->GetEdgeActionTable(m_kind) : nullptr;
    if (!source) return m_table && m_table->GetCount() != 0;
    return m_table && source->CompareEdgeActionTable(*m_table);
}

void DlgEdgeActions::WriteToModel() {
    if (ModelData* model = Model()) model->ReplaceEdgeTable(*m_table);
}

void DlgEdgeActions::CloseGrid(int result) {
    EndDialog(result);
    if (m_doc) m_doc->OnEdgeActionsDialogClosed();
}

void DlgEdgeActions::InsertPickedName(const std::string& text) {
    if (!BeginPick()) return;
    Slot& s = m_slot[static_cast<size_t>(m_currentRow - 1)];
    if (!BeginsWithNumber(text)) {
        s.target = text;
        s.side = 1;
    } else {
        const int pick = ParseInt(text);
        s.target = std::to_string((pick - 1) / 4);
        s.side = (pick - 1) % 4 + 1;
    }
    EndPick(m_currentColumn == kTarget ? kSide : kTarget);
}

DlgEdgeActions::Slot DlgEdgeActions::RowTemplate(int row) const {
    Slot s;
    s.target = "0";
    if (row < 0 || row >= WorkingCount()) return s;
    s.side = m_table->GetSide(row);
    s.dof = m_table->GetDof(row);
    for (int j = 0; j < 3; ++j) s.values[static_cast<size_t>(j)] = m_table->GetValue(row, j);
    return s;
}

void DlgEdgeActions::OnBnClickedAddRow() {
    if (!BeginAppend(false)) return;
    const Slot s = RowTemplate(m_table->GetCount() - 1);
    m_table->AddEdgeActionRow(s.target, s.side, s.dof, s.values);
    m_table->CountEdgeActionRows();
    m_table->RebuildEdgeActionIndex();
    RowsChanged();
}

void DlgEdgeActions::OnBnClickedInsertRow() {
    const int k = BeginInsert();
    if (k < 0) return;
    const Slot s = RowTemplate(k - 1);
    m_table->InsertEdgeActionRow(k, s.target, s.side, s.dof, s.values);
    m_currentColumn = kTarget;
    RowsChanged();
}

void DlgEdgeActions::OnBnClickedDeleteRow() {
    const int row = BeginDelete();
    if (row < 0) return;
    m_table->RemoveEdgeActionRow(row);
    RowsChanged();
}

void DlgEdgeActions::SortWorkingCopy() { m_table->SortEdgeActionRows(); }
