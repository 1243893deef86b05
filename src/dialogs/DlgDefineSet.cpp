#include "dialogs/DlgDefineSet.h"

#include "dialogs/DlgDefineSets.h"
#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

bool StartsWithNonZeroDigit(const std::string& text) { return !text.empty() && text[0] >= '1' && text[0] <= '9'; }

// The label of the row messages, by kind.
const char* MemberLabel(int kind) {
    switch (kind) {
        case 1: return " Node ";
        case 2: return " Element ";
        default: return " node ";
    }
}

}  // namespace

DlgDefineSet::DlgDefineSet(int kind, const std::string& setName, DlgDefineSets* returnDialog, DocHost* doc,
                           ViewHost* view)
    : GridPage(kTemplateId, doc, view, kRows, 4), m_kind(kind), m_setName(setName), m_return(returnDialog),
      m_slot(kRows) {
    OnClicked(IDC_SORT, [this] { OnBnClickedSort(); });
    OnClicked(IDC_ADD_ROW, [this] { OnBnClickedAddRow(); });
    OnClicked(IDC_INSERT_ROW, [this] { OnBnClickedInsertRow(); });
    OnClicked(IDC_DELETE_ROW, [this] { OnBnClickedDeleteRow(); });
}

DlgDefineSet::~DlgDefineSet() = default;

ui::DialogTemplate DlgDefineSet::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Define Set";
    t.rect = {0, 0, 320, 200};
    const int top = 32, pitch = 15;
    for (int s = 1; s <= kRows; ++s) {
        const int y = top + (s - 1) * pitch;
        t.Label(CellId(s, 0), "", {4, y + 2, 18, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {26, y, 70, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 2), {100, y, 40, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 3), {144, y, 40, 12}, ui::cs::RightText);
        t.EditBox(CellId(s, 4), {188, y, 30, 12}, ui::cs::RightText);
    }
    t.Label(IDC_HEADING, "Node", {26, 6, 70, 8}, ui::cs::CenterText);
    t.Label(IDC_MEMBER_HEADING, "Number/Set", {26, 16, 70, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Final", {100, 16, 40, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Increment", {144, 16, 40, 8}, ui::cs::CenterText);
    t.Label(IDC_SIDE_HEADING, "Side", {188, 16, 30, 8}, ui::cs::CenterText);
    t.VScrollBar(kScrollBarId, {222, top, 10, kRows * pitch - 3});
    t.PushButton(ui::IDOK, "OK", {250, 8, 62, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {250, 26, 62, 14});
    t.PushButton(kApplyId, "Apply", {250, 44, 62, 14});
    t.PushButton(IDC_SORT, "Sort", {250, 62, 62, 14});
    t.PushButton(IDC_ADD_ROW, "Add Row", {250, 86, 62, 14});
    t.PushButton(IDC_INSERT_ROW, "Insert Row", {250, 104, 62, 14});
    t.PushButton(IDC_DELETE_ROW, "Delete Row", {250, 122, 62, 14});
    t.Label(ui::IDSTATIC, "Number of", {250, 144, 62, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Rows", {250, 153, 62, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {256, 164, 50, 12}, ui::cs::CenterText | ui::cs::Border);
    // Enter presses this invisible button, which does nothing.
    t.DefPushButton(IDC_NONE, "None", {4, 184, 40, 12}, ui::cs::Hidden);
    return t;
}

bool DlgDefineSet::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    LoadFromModel();
    return true;
}

bool DlgDefineSet::DestroyWindow() {
    m_members.reset();
    return GridPage::DestroyWindow();
}

void DlgDefineSet::Retarget(int kind, const std::string& setName, DlgDefineSets* returnDialog, DocHost* doc,
                            ViewHost* view) {
    m_kind = kind;
    m_setName = setName;
    m_return = returnDialog;
    m_doc = doc;
    m_view = view;
    LoadFromModel();
}

void DlgDefineSet::SetTitleAndHeadings() {
    static const char* const kTitles[] = {"Node Set - %s", "Element Set - %s", "Edge Set - %s"};
    const int k = m_kind >= 1 && m_kind <= 3 ? m_kind : 1;
    SetWindowText(Format(kTitles[k - 1], m_setName.c_str()));
    SetDlgItemText(IDC_HEADING, k == 1 ? "Node" : k == 2 ? "Element" : "Elem. NFum/");
    SetDlgItemText(IDC_MEMBER_HEADING, k == 3 ? "Edge Set" : "Number/Set");
    if (ui::Control* side = GetDlgItem(IDC_SIDE_HEADING)) side->ShowWindow(k == 3);
}

void DlgDefineSet::LoadFromModel() {
    const ModelData* model = Model();
    m_members = SetMemberList::CopyOf(model ? model->FindSetTable(m_kind, m_setName) : nullptr);
    if (!m_members) m_members = std::make_unique<SetMemberList>();
    m_members->CountSetMemberRows();
    m_members->RebuildSetMemberIndex();
    m_modified = 0;
    SetTitleAndHeadings();
    StartAtFirstRow();
}

DlgDefineSet::Slot DlgDefineSet::RowAt(int row) const {
    return Slot{m_members->GetText(row), m_members->GetFinal(row), m_members->GetIncrement(row),
                m_members->GetSide(row)};
}

void DlgDefineSet::LoadSlot(int slot, int row) { m_slot[static_cast<size_t>(slot - 1)] = RowAt(row); }

void DlgDefineSet::ExchangeSlot(ui::DataExchange& dx, int slot) {
    Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    dx.Text(CellId(slot, 1), s.text);
    dx.Text(CellId(slot, 2), s.final);
    dx.Text(CellId(slot, 3), s.increment);
    if (m_kind == 3) dx.Text(CellId(slot, 4), s.side);
}

std::string DlgDefineSet::SlotHighlightText(int slot) const {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    if (!StartsWithNonZeroDigit(s.text)) return s.text;
    if (m_kind == 3) return Format("%s;%d;%d;%d", s.text.c_str(), s.final, s.increment, s.side);
    return Format("%s;%d;%d", s.text.c_str(), s.final, s.increment);
}

int DlgDefineSet::Validate() {
    // The model's tables are read afresh: they may have changed since the load.
    const ModelData* model = Model();
    if (m_kind == 1)
        m_numbers = NumberLookup(model ? model->GetNodeTable() : nullptr,
                                 [](const NodeTable& t, int i) { return t.GetNodeId(i); });
    else
        m_numbers = NumberLookup(model ? model->GetElementTable() : nullptr,
                                 [](const ElementTable& t, int i) { return t.GetId(i); });
    const int result = GridPage::Validate();
    if (result == 0) UpdateData(false);  // the normalised finals and increments
    return result;
}

bool DlgDefineSet::SameMember(const Slot& a, const Slot& b) const {
    return a.text == b.text && a.final == b.final && a.increment == b.increment && (m_kind != 3 || a.side == b.side);
}

int DlgDefineSet::CheckSlot(int slot) {
    const Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot) + 1;
    int other = -1;
    for (int j = 0; j < m_rowCount && other < 0; ++j) {
        const bool onPage = j >= m_firstVisibleRow && j < m_firstVisibleRow + VisibleRows();
        if (j == TableRow(slot)) continue;
        const Slot candidate = onPage ? m_slot[static_cast<size_t>(j - m_firstVisibleRow)] : RowAt(j);
        if (SameMember(candidate, s)) other = j;
    }
    if (other >= 0) {
        RowMessage(Format(" %s is already defined \n Check rows %d and %d", MemberLabel(m_kind), other + 1, row));
        return 1;
    }
    if (s.text == m_setName) {
        RowMessage(
            Format("Set Name should not be the same as the one being defined, %s\n Check row %d", s.text.c_str(), row));
        return 1;
    }
    // Every edge member names a side of its elements.
    if (m_kind == 3 && (s.side < 1 || s.side > 4)) {
        RowMessage(Format(" Side should be between 1 and 4\n Check row %d", row));
        return 1;
    }
    if (CheckWord(slot, "Item", s.text) > 0) return 1;
    std::vector<std::string> items;
    SplitList(s.text, items);
    const int count = CountListItems(s.text);
    for (int i = 0; i < count; ++i)
        if (CheckItem(slot, items[static_cast<size_t>(i)]) > 0) return 1;
    return 0;
}

int DlgDefineSet::CheckItem(int slot, const std::string& item) {
    const bool current = slot == m_currentRow;
    const bool deleting = current && Reason() == kReasonDelete;
    const bool touched = Reason() == kReasonMove || Reason() == kReasonWrite;
    const int row = TableRow(slot) + 1;
    const bool zero = !item.empty() && item[0] == '0';
    if (zero && current && !touched) return 0;  // a fresh row while it is being typed
    if (setwalk::IsMalformedNumberItem(item) && !deleting)
        return MalformedItemMessage(slot, MemberLabel(m_kind), item,
                                    "A range is given by its first number, Final and Increment.");
    if (StartsWithNonZeroDigit(item) || (zero && current)) {
        if (m_numbers.Contains(ParseInt(item)) || deleting) return 0;
        RowMessage(Format(" %s Number %s is not defined\n Check row %d", MemberLabel(m_kind), item.c_str(), row));
        return 1;
    }
    const ModelData* model = Model();
    const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr;
    if (deleting) return 0;
    if (!sets || sets->FindRowByName(item) < 0) {
        RowMessage(Format(" %s Set %s is not defined\n Check row %d", MemberLabel(m_kind), item.c_str(), row));
        return 1;
    }
    // A set may not hold itself through the sets it names.
    if (model->SetHolds(m_kind, item, m_setName)) {
        RowMessage(
            Format(" Set %s holds %s: a set can not hold itself\n Check row %d", item.c_str(), m_setName.c_str(), row));
        return 1;
    }
    return 0;
}

void DlgDefineSet::StoreSlot(int slot, int row) {
    Slot& s = m_slot[static_cast<size_t>(slot - 1)];
    // One number: the final at least the number, the increment at least 1;
    // names and lists have neither.
    if (CountListItems(s.text) == 1 && StartsWithNonZeroDigit(s.text)) {
        const int value = ParseInt(s.text);
        if (s.final < value) s.final = value;
        if (s.increment < 1) s.increment = 1;
    } else {
        s.final = 0;
        s.increment = 0;
    }
    m_members->SetText(row, s.text);
    m_members->SetFinal(row, s.final);
    m_members->SetIncrement(row, s.increment);
    if (m_kind == 3) m_members->SetSide(row, s.side);
}

bool DlgDefineSet::DiffersFromModel() const {
    const ModelData* model = Model();
    const SetMemberList* stored = model ? model->FindSetTable(m_kind, m_setName) : nullptr;
    if (!stored) return m_members && m_members->GetCount() != 0;
    return m_members && stored->CompareSetMemberList(*m_members);
}

void DlgDefineSet::WriteToModel() {
    if (ModelData* model = Model()) model->ReplaceSetMembers(m_kind, m_setName, *m_members);
}

void DlgDefineSet::CloseGrid(int result) {
    EndDialog(result);
    if (m_return) m_return->ResumeAfterSetDialog();
}

void DlgDefineSet::OnBnClickedAddRow() {
    const bool wasEmpty = m_members->GetCount() == 0;
    if (!BeginAppend(false)) return;
    m_members->AddSetMemberRow("0", 0, wasEmpty ? 0 : 1, 1);
    m_members->CountSetMemberRows();
    m_members->RebuildSetMemberIndex();
    RowsChanged();
}

void DlgDefineSet::OnBnClickedInsertRow() {
    const int row = BeginInsert();
    if (row < 0) return;
    m_members->InsertSetMemberRow(row, "0", 0, row == 0 ? 0 : 1, 1);
    m_members->CountSetMemberRows();
    m_members->RebuildSetMemberIndex();
    m_currentColumn = 1;
    RowsChanged();
}

void DlgDefineSet::OnBnClickedDeleteRow() {
    const int row = BeginDelete();
    if (row < 0) return;
    m_members->RemoveSetMemberRow(row);
    RowsChanged();
}

void DlgDefineSet::OnBnClickedSort() {
    if (!ValidateFor(kReasonMove)) return;
    m_members->SortSetMemberRows();
    Refresh();
}

void DlgDefineSet::InsertPickedName(const std::string& text) {
    if (m_currentRow == 0 || m_currentRow > VisibleRows()) return;
    UpdateData(true);
    Slot& s = m_slot[static_cast<size_t>(m_currentRow - 1)];
    if (m_kind == 3 && StartsWithNonZeroDigit(text)) {
        // An element side arrives as 4 x element + side.
        const int code = ParseInt(text);
        s.text = std::to_string((code - 1) / 4);
        s.side = (code - 1) % 4 + 1;
    } else {
        s.text = text;
        s.side = 1;
    }
    s.final = 0;
    s.increment = 1;
    UpdateData(false);
    const int column = m_currentColumn == 1 ? 2 : 1;
    if (ui::Control* cell = GetCellWnd(m_currentRow, column)) GotoDlgCtrl(cell);
}
