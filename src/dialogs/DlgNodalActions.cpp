#include "dialogs/DlgNodalActions.h"

#include <algorithm>

#include "model/ModelData.h"
#include "model/TextParse.h"

namespace {

constexpr int kLeft = 26;                           // the target edits
constexpr int kTargetWidth = 60;                    // a set name such as "COLUMNS" in full
constexpr int kDofLeft = kLeft + kTargetWidth + 4;  // the first degree of freedom's check box
constexpr int kDofPitch = 52;                       // check box and value edit of one dof
constexpr int kTop = 32, kPitch = 14;

int DofX(int dof) { return kDofLeft + (dof - 1) * kDofPitch; }

const char* const kAxes[3] = {"X", "Y", "Z"};

}  // namespace

const DlgNodalActions::Words& DlgNodalActions::WordsOf(int kind) {
    static const Words words[5] = {
        {"Specified Nodal Displacements", "Node", "Displac.", "Rotation", " Node ", " Specified Displacements "},
        {"Nodal Loads", "Node", "Force", "Moment", " Node ", " Loads "},
        {"Nodal Stiffnesses", "Node", "Trans. K", "Rotat. K", " Node ", " Stiffness "},
        {"Distributed Loads", "Element", "D. Force", "D. Mom", " Element ", " Loads "},
        {"Distributed Stiffnesses", "Element", "D. Tr. K", "D. Rot K", " Element ", " Stiffness "},
    };
    return words[std::clamp(kind, 1, 5) - 1];
}

DlgNodalActions::DlgNodalActions(DocHost* doc, ViewHost* view, int kind)
    : ActionGrid(kTemplateId, doc, view, kRows, 1 + kDofs), m_kind(std::clamp(kind, 1, 5)), m_target(kRows, " "),
      m_value(kRows, std::array<double, kDofs>{}), m_flag(kRows, std::array<int, kDofs>{}) {
    for (int dof = 1; dof <= kDofs; ++dof)
        OnNotifyRange(ui::Notify::Clicked, CheckId(1, dof), CheckId(kRows, dof),
                      [this, dof](ui::Notification& n) { OnBnClickedConstraint(n.id - CheckId(1, dof) + 1, dof); });
}

DlgNodalActions::~DlgNodalActions() = default;

ui::DialogTemplate DlgNodalActions::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Nodal Actions";
    const int right = DofX(kDofs + 1) + 4;  // the buttons' column
    t.rect = {0, 0, right + 70, kTop + kRows * kPitch + 10};
    for (int s = 1; s <= kRows; ++s) {
        const int y = kTop + (s - 1) * kPitch;
        t.Label(CellId(s, 0), "", {2, y + 2, 20, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {kLeft, y, kTargetWidth, 12});
        for (int dof = 1; dof <= kDofs; ++dof) {
            t.CheckBox(CheckId(s, dof), "", {DofX(dof), y + 1, 10, 10});
            t.EditBox(CellId(s, dof + 1), {DofX(dof) + 11, y, 38, 12}, ui::cs::RightText);
        }
    }
    t.Label(IDC_TARGET_HEADING, "", {kLeft, 6, kTargetWidth, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Number", {kLeft, 16, kTargetWidth, 8}, ui::cs::CenterText);
    for (int dof = 1; dof <= kDofs; ++dof) {
        t.Label(ValueHeadingId(dof), "", {DofX(dof), 6, kDofPitch - 2, 8}, ui::cs::CenterText);
        t.Label(ui::IDSTATIC, kAxes[(dof - 1) % 3], {DofX(dof), 16, kDofPitch - 2, 8}, ui::cs::CenterText);
    }
    t.VScrollBar(kScrollBarId, {DofX(kDofs + 1) - 6, kTop, 10, kRows * kPitch - 2});
    AddButtonColumn(t, right);
    return t;
}

bool DlgNodalActions::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    LoadFromModel();
    return true;
}

bool DlgNodalActions::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgNodalActions::Reopen(int kind) {
    m_kind = std::clamp(kind, 1, 5);
    m_reload = true;
    LoadFromModel();
}

void DlgNodalActions::LoadFromModel() {
    if (m_view) m_view->SetHighlightState(OnNodes() ? 1 : 2, "0");
    m_table = std::make_unique<NodalActionTable>(m_kind);
    const ModelData* model = Model();
    if (const NodalActionTable* source = model ? model->GetNodalActionTable(m_kind) : nullptr)
        m_table->CopyFrom(*source);
    m_table->SetKindCode(m_kind);
    m_table->CountRows();
    m_table->RebuildIndex();
    m_modified = 0;
    const Words& w = WordsOf(m_kind);
    SetWindowText(w.title);
    SetDlgItemText(IDC_TARGET_HEADING, w.targetHeading);
    for (int dof = 1; dof <= kDofs; ++dof) SetDlgItemText(ValueHeadingId(dof), dof <= 3 ? w.translations : w.rotations);
    StartAtFirstRow();
}

bool DlgNodalActions::DofFourFree() const {
    const ModelData* model = Model();
    const ElementTable* elements = model ? model->GetElementTable() : nullptr;
    return !elements || elements->GetNodesPerElement() == 4;
}

int DlgNodalActions::ValueCount() const { return m_table ? std::clamp(m_table->GetValuesPerRow(), 0, kDofs) : kDofs; }

bool DlgNodalActions::CellEnabled(int slot, int column) const {
    if (column <= 1) return true;
    const int dof = column - 1;
    if (dof == 4 && !DofFourFree()) return false;
    const int row = TableRow(slot);
    return dof <= ValueCount() && row < WorkingCount() && m_table->GetFlag(row, dof - 1) != 0;
}

void DlgNodalActions::ShowCheckBoxes() {
    const int used = VisibleRows();
    const bool dofFour = DofFourFree();
    for (int s = 1; s <= kRows; ++s)
        for (int dof = 1; dof <= kDofs; ++dof) {
            ui::Control* box = GetDlgItem(CheckId(s, dof));
            if (!box) continue;
            box->ShowWindow(s <= used);
            box->EnableWindow(dof != 4 || dofFour);
        }
}

void DlgNodalActions::Refresh() {
    ShowCheckBoxes();
    GridPage::Refresh();
}

void DlgNodalActions::LoadSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_target[s] = m_table->GetTarget(row);
    for (int j = 0; j < kDofs; ++j) {
        const bool counted = j < ValueCount();
        m_flag[s][static_cast<size_t>(j)] = counted ? m_table->GetFlag(row, j) : 0;
        // An unchecked value shows 0, so the next validation stores 0.
        m_value[s][static_cast<size_t>(j)] =
            counted && m_flag[s][static_cast<size_t>(j)] ? m_table->GetValue(row, j) : 0.0;
    }
}

void DlgNodalActions::ExchangeSlot(ui::DataExchange& dx, int slot) {
    const size_t s = static_cast<size_t>(slot - 1);
    dx.Text(CellId(slot, 1), m_target[s]);
    for (int dof = 1; dof <= kDofs; ++dof) {
        dx.Check(CheckId(slot, dof), m_flag[s][static_cast<size_t>(dof - 1)]);
        dx.Text(CellId(slot, dof + 1), m_value[s][static_cast<size_t>(dof - 1)]);
    }
}

int DlgNodalActions::Validate() {
    const ModelData* model = Model();
    if (OnNodes())
        m_numbers = NumberLookup(model ? model->GetNodeTable() : nullptr,
                                 [](const NodeTable& t, int i) { return t.GetNodeId(i); });
    else
        m_numbers = NumberLookup(model ? model->GetElementTable() : nullptr,
                                 [](const ElementTable& t, int i) { return t.GetId(i); });
    return GridPage::Validate();
}

int DlgNodalActions::CheckSlot(int slot) {
    const std::string& text = m_target[static_cast<size_t>(slot - 1)];
    const Words& w = WordsOf(m_kind);
    const int row = TableRow(slot) + 1;
    const int other = FindDuplicate(
        slot, text, [this](int j) { return m_table->GetTarget(j); },
        [this](int k) { return m_target[static_cast<size_t>(k - 1)]; });
    if (other >= 0) {
        RowMessage(Format(" %s in %s %s are already defined \n Check rows %d and %d", w.item, w.table, text.c_str(),
                          other + 1, row));
        return 1;
    }
    if (CheckWord(slot, "Target", text) > 0) return 1;
    switch (ClassifyTarget(slot, text)) {
        case TargetKind::Placeholder: return 0;
        case TargetKind::Number:
            // The placeholder "0" of a new row, checked on a move or a write.
            if (text[0] != '0' || m_numbers.Contains(ParseInt(text)) || DeletingSlot(slot)) break;
            RowMessage(Format(" %s Number %s is not defined\n Check row %d", w.item, text.c_str(), row));
            return 1;
        case TargetKind::SetName: break;
    }
    if (DeletingSlot(slot) || (text[0] == '0' && slot == m_currentRow)) return 0;
    const ModelData* model = Model();
    const ItemFault fault = FindItemFault(text, m_numbers, model ? model->GetSetTable(OnNodes() ? 1 : 2) : nullptr);
    switch (fault.kind) {
        case ItemFault::None: return 0;
        case ItemFault::Malformed:
            return MalformedItemMessage(slot, w.item, fault.item, "A range of numbers is given as a set.");
        case ItemFault::NoNumber:
            RowMessage(Format(" %s Number %s is not defined\n Check row %d", w.item, fault.item.c_str(), row));
            return 1;
        case ItemFault::NoSet: break;
    }
    RowMessage(Format(" %s Set %s is not defined \n Check row %d", w.item, fault.item.c_str(), row));
    return 1;
}

void DlgNodalActions::StoreSlot(int slot, int row) {
    const size_t s = static_cast<size_t>(slot - 1);
    m_table->SetTarget(row, m_target[s]);
    for (int j = 0; j < ValueCount(); ++j) {
        const int flag = m_flag[s][static_cast<size_t>(j)];
        // A value counts only while its box is checked.
        m_table->SetValue(row, j, flag ? m_value[s][static_cast<size_t>(j)] : 0.0);
        m_table->SetFlag(row, j, flag);
    }
}

bool DlgNodalActions::DiffersFromModel() const {
    const ModelData* model = Model();
    const NodalActionTable* source = model ? model->GetNodalActionTable(m_kind) : nullptr;
    if (!source) return m_table && m_table->GetCount() != 0;
    return m_table && source->CompareWith(*m_table);
}

void DlgNodalActions::WriteToModel() {
    if (ModelData* model = Model()) model->ReplaceNodalTable(*m_table);
}

void DlgNodalActions::CloseGrid(int result) {
    EndDialog(result);
    if (m_doc) m_doc->OnNodalActionsDialogClosed();
}

void DlgNodalActions::InsertPickedName(const std::string& text) {
    if (!BeginPick()) return;
    m_target[static_cast<size_t>(m_currentRow - 1)] = text;
    EndPick(m_currentColumn == 1 ? 2 : 1);
}

void DlgNodalActions::OnBnClickedConstraint(int slot, int dof) {
    if (slot < 1 || slot > VisibleRows()) return;
    if (SetCurrentCell(slot, dof + 1) <= 0 && Validate() <= 0) {
        Refresh();
        return;
    }
    // The page failed its check (message shown): the cells keep what was
    // typed and only the value cell follows its box.
    if (ui::Control* cell = GetCellWnd(slot, dof + 1))
        cell->EnableWindow(IsDlgButtonChecked(CheckId(slot, dof)) != 0 && (dof != 4 || DofFourFree()));
}

void DlgNodalActions::RowTemplate(int row, std::array<double, kDofs>& values, std::array<int, kDofs>& flags) const {
    values.fill(0.0);
    flags.fill(0);
    if (row < 0 || row >= WorkingCount()) return;
    for (int j = 0; j < ValueCount(); ++j) {
        values[static_cast<size_t>(j)] = m_table->GetValue(row, j);
        flags[static_cast<size_t>(j)] = m_table->GetFlag(row, j);
    }
}

void DlgNodalActions::OnBnClickedAddRow() {
    if (!BeginAppend(false)) return;
    std::array<double, kDofs> values;
    std::array<int, kDofs> flags;
    RowTemplate(m_table->GetCount() - 1, values, flags);
    // A first specified displacement holds the rotation about the
    // deflection axis.
    if (m_table->GetCount() == 0 && m_kind == 1) flags[3] = 1;
    m_table->AddNodalActionRow("0", values, flags);
    m_table->CountRows();
    m_table->RebuildIndex();
    RowsChanged();
}

void DlgNodalActions::OnBnClickedInsertRow() {
    const int k = BeginInsert();
    if (k < 0) return;
    std::array<double, kDofs> values;
    std::array<int, kDofs> flags;
    RowTemplate(k - 1, values, flags);
    m_table->InsertNodalActionRow(k, "0", values, flags);
    m_currentColumn = 1;
    RowsChanged();
}

void DlgNodalActions::OnBnClickedDeleteRow() {
    const int row = BeginDelete();
    if (row < 0) return;
    m_table->RemoveRow(row);
    RowsChanged();
}

void DlgNodalActions::SortWorkingCopy() { m_table->SortNodalActionRows(); }
