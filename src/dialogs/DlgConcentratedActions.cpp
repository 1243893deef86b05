#include "dialogs/DlgConcentratedActions.h"

#include <algorithm>

#include "model/ModelData.h"

namespace {

constexpr int kTop = 32, kPitch = 14;
constexpr int kLeft = 26, kCellW = 44, kCellPitch = 48;

int CellX(int column) {
    return kLeft + (column - 1) * kCellPitch + (column >= DlgConcentratedActions::kFirstComponent ? 6 : 0);
}

const char* const kAxes[3] = {"X", "Y", "Z"};

struct ConcentratedWords {
    const char* title;
    const char* translations;  // heading over components 1-3
    const char* rotations;     // heading over components 4-6
};

const ConcentratedWords& WordsOf(int kind) {
    static const ConcentratedWords words[2] = {{"Concentrated Loads", "Force", "Moment"},
                                               {"Concentrated Stiffnesses", "Tra. K", "Rot. K"}};
    return words[kind == 2 ? 1 : 0];
}

}  // namespace

DlgConcentratedActions::DlgConcentratedActions(DocHost* doc, ViewHost* view, int kind)
    : ActionGrid(kTemplateId, doc, view, kRows, 10), m_kind(kind == 2 ? 2 : 1), m_slot(kRows) {}

DlgConcentratedActions::~DlgConcentratedActions() = default;

ui::DialogTemplate DlgConcentratedActions::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Concentrated Actions";
    const int right = CellX(10) + 10;  // the buttons' column
    t.rect = {0, 0, right + 70, kTop + kRows * kPitch + 10};
    for (int s = 1; s <= kRows; ++s) {
        const int y = kTop + (s - 1) * kPitch;
        t.Label(CellId(s, 0), "", {2, y + 2, 20, 8}, ui::cs::RightText);
        for (int c = 1; c <= 9; ++c) t.EditBox(CellId(s, c), {CellX(c), y, kCellW, 12}, ui::cs::RightText);
    }
    static const char* const coords[3] = {"Coord. ", "Coord.", "Coord."};
    for (int c = 1; c <= 9; ++c) {
        if (c < kFirstComponent)
            t.Label(ui::IDSTATIC, coords[c - 1], {CellX(c), 6, kCellW, 8}, ui::cs::CenterText);
        else
            t.Label(IDC_VALUE_HEADING + c - kFirstComponent, "", {CellX(c), 6, kCellW, 8}, ui::cs::CenterText);
        t.Label(ui::IDSTATIC, kAxes[(c - 1) % 3], {CellX(c), 16, kCellW, 8}, ui::cs::CenterText);
    }
    t.VScrollBar(kScrollBarId, {CellX(10) - 2, kTop, 10, kRows * kPitch - 2});
    AddButtonColumn(t, right);
    return t;
}

bool DlgConcentratedActions::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (m_view) m_view->SetHighlightState(4, "0");
    m_table = std::make_unique<ConcentratedActionTable>(m_kind);
    const ModelData* model = Model();
    if (const ConcentratedActionTable* source = model ? model->GetConcentratedActionTable(m_kind) : nullptr)
        m_table->CopyConcentratedActionTable(*source);
    m_table->SetKindCode(m_kind);
    m_table->CountConcentratedActionRows();
    m_table->RebuildConcentratedActionIndex();
    const ConcentratedWords& w = WordsOf(m_kind);
    SetWindowText(w.title);
    for (int i = 0; i < 6; ++i) SetDlgItemText(IDC_VALUE_HEADING + i, i < 3 ? w.translations : w.rotations);
    if (ui::Control* sort = GetDlgItem(IDC_SORT)) sort->ShowWindow(false);
    // x is not editable: the first row starts in its y cell.
    StartAtFirstRow(2);
    return true;
}

bool DlgConcentratedActions::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

int DlgConcentratedActions::SetCurrentCell(int line, int column) {
    if (column == kFirstComponent) m_currentColumn = kFirstComponent;
    return GridPage::SetCurrentCell(line, column);
}

void DlgConcentratedActions::LoadSlot(int slot, int row) { m_slot[static_cast<size_t>(slot - 1)] = RowTemplate(row); }

void DlgConcentratedActions::ExchangeSlot(ui::DataExchange& dx, int slot) {
    Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    for (int j = 0; j < 3; ++j) dx.Text(CellId(slot, 1 + j), s.point[static_cast<size_t>(j)]);
    for (int j = 0; j < 6; ++j) dx.Text(CellId(slot, kFirstComponent + j), s.values[static_cast<size_t>(j)]);
}

int DlgConcentratedActions::CheckSlot(int slot) {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    const ModelData* model = Model();
    double xi = 0.0, eta = 0.0;
    // A row left outside (by a mesh change, say) can still be deleted. A
    // point is its coordinates together: it is checked once its row is left
    // or written, not while they are typed one by one (moving by a click or
    // a Tab within the row).
    if (DeletingSlot(slot) || RowBeingTyped(slot) || (slot == m_currentRow && TabWithinRow())) return 0;
    if (model && model->LocateElementAtPoint(s.point[0], s.point[1], s.point[2], xi, eta) >= 0) return 0;
    RowMessage(Format(" Coordinate %f, %f, %f  is outside of model limits\n Check row %d", s.point[0], s.point[1],
                      s.point[2], TableRow(slot) + 1));
    return 1;
}

void DlgConcentratedActions::StoreSlot(int slot, int row) {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    const int coordinates = std::min(m_table->GetCoordinatesPerRow(), 3);
    const int values = std::min(m_table->GetValuesPerRow(), 6);
    for (int j = 0; j < coordinates; ++j) m_table->SetCoordinate(row, j, s.point[static_cast<size_t>(j)]);
    for (int j = 0; j < values; ++j) m_table->SetValue(row, j, s.values[static_cast<size_t>(j)]);
}

std::string DlgConcentratedActions::SlotHighlightText(int slot) const {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    return Format("%18.8f  %18.8f  %18.8f  ", s.point[0], s.point[1], s.point[2]);
}

bool DlgConcentratedActions::DiffersFromModel() const {
    const ModelData* model = Model();
    const ConcentratedActionTable* source = model ? model->GetConcentratedActionTable(m_kind) : nullptr;
    if (!source) return m_table && m_table->GetCount() != 0;
    return m_table && source->CompareConcentratedActionTable(*m_table);
}

void DlgConcentratedActions::WriteToModel() {
    if (ModelData* model = Model()) model->ReplaceConcentratedTable(*m_table);
}

DlgConcentratedActions::Slot DlgConcentratedActions::RowTemplate(int row) const {
    Slot s;
    if (row < 0 || row >= WorkingCount()) return s;
    const int coordinates = std::min(m_table->GetCoordinatesPerRow(), 3);
    const int values = std::min(m_table->GetValuesPerRow(), 6);
    for (int j = 0; j < coordinates; ++j) s.point[static_cast<size_t>(j)] = m_table->GetCoordinate(row, j);
    for (int j = 0; j < values; ++j) s.values[static_cast<size_t>(j)] = m_table->GetValue(row, j);
    return s;
}

void DlgConcentratedActions::OnBnClickedAddRow() {
    if (!BeginAppend(false)) return;
    m_currentColumn = 2;
    const Slot s = RowTemplate(m_table->GetCount() - 1);
    m_table->AddConcentratedActionRow(s.values, s.point);
    m_table->CountConcentratedActionRows();
    m_table->RebuildConcentratedActionIndex();
    RowsChanged();
}

void DlgConcentratedActions::OnBnClickedInsertRow() {
    const int k = BeginInsert();
    if (k < 0) return;
    const Slot s = RowTemplate(k - 1);
    m_table->InsertConcentratedActionRow(k, s.values, s.point);
    m_currentColumn = 2;
    RowsChanged();
}

void DlgConcentratedActions::OnBnClickedDeleteRow() {
    const int row = BeginDelete();
    if (row < 0) return;
    m_table->RemoveConcentratedActionRow(row);
    RowsChanged();
}

void DlgConcentratedActions::SortWorkingCopy() { m_table->SortConcentratedActionRows(); }
