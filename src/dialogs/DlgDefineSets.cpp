#include "dialogs/DlgDefineSets.h"

#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The label of the duplicate message, by kind.
const char* DuplicateLabel(int kind) {
    switch (kind) {
        case 1: return " Node Set ";
        case 2: return " Element Set";
        default: return " node ";
    }
}

// Renames sets (from, to) in every target and set member of the kind,
// through names no set can have first, so that swapped names stay apart;
// what to tell the user of the tables changed, "" when none.
std::string RenameInTargets(ModelData& model, int kind,
                            const std::vector<std::pair<std::string, std::string>>& renames) {
    std::string told;
    for (std::size_t i = 0; i < renames.size(); ++i) {
        const auto& [from, to] = renames[i];
        const std::vector<std::string> tables = model.RenameSetInTargets(kind, from, "\n" + std::to_string(i));
        if (tables.empty()) continue;
        told += "\n " + from + " is renamed to " + to + " in:";
        for (const std::string& table : tables) told += "\n   " + table;
    }
    for (std::size_t i = 0; i < renames.size(); ++i)
        model.RenameSetInTargets(kind, "\n" + std::to_string(i), renames[i].second);
    return told.empty() ? told : told.substr(1);
}

}  // namespace

DlgDefineSets::DlgDefineSets(int kind, DocHost* doc, ViewHost* view)
    : GridPage(kTemplateId, doc, view, kRows, 1), m_kind(kind), m_name(kRows, " ") {
    OnClicked(IDC_SORT, [this] { OnBnClickedSort(); });
    OnClicked(IDC_ADD_ROW, [this] { OnBnClickedAddRow(); });
    OnClicked(IDC_INSERT_ROW, [this] { OnBnClickedInsertRow(); });
    OnClicked(IDC_DELETE_ROW, [this] { OnBnClickedDeleteRow(); });
    OnNotifyRange(ui::Notify::Clicked, DefineId(1), DefineId(kRows),
                  [this](ui::Notification& n) { OnBnClickedDefine(n.id - DefineId(1) + 1); });
}

DlgDefineSets::~DlgDefineSets() = default;

const char* DlgDefineSets::TitleOf(int kind) {
    switch (kind) {
        case 1: return "Node Set";
        case 2: return "Element Set";
        case 3: return "Edge Set";
        default: return "Set Definition";
    }
}

ui::DialogTemplate DlgDefineSets::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Set Definition";
    t.rect = {0, 0, 250, 190};
    const int top = 22, pitch = 15;
    for (int s = 1; s <= kRows; ++s) {
        const int y = top + (s - 1) * pitch;
        t.Label(CellId(s, 0), "", {4, y + 2, 18, 8}, ui::cs::RightText);
        t.EditBox(CellId(s, 1), {26, y, 90, 12});
        t.PushButton(DefineId(s), "Define", {120, y, 40, 12});
    }
    t.Label(ui::IDSTATIC, "Set Name", {26, 10, 90, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Action", {120, 10, 40, 8}, ui::cs::CenterText);
    t.VScrollBar(kScrollBarId, {164, top, 10, kRows * pitch - 3});
    t.PushButton(ui::IDOK, "OK", {182, 8, 62, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {182, 26, 62, 14});
    t.PushButton(kApplyId, "Apply", {182, 44, 62, 14});
    t.PushButton(IDC_SORT, "Sort", {182, 62, 62, 14});
    t.PushButton(IDC_ADD_ROW, "Add Row", {182, 86, 62, 14});
    t.PushButton(IDC_INSERT_ROW, "Insert Row", {182, 104, 62, 14});
    t.PushButton(IDC_DELETE_ROW, "Delete Row", {182, 122, 62, 14});
    t.Label(ui::IDSTATIC, "Number of", {182, 144, 62, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Rows", {182, 153, 62, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {188, 164, 50, 12}, ui::cs::CenterText | ui::cs::Border);
    // Enter presses this invisible button, which does nothing.
    t.DefPushButton(IDC_NONE, "None", {4, 174, 40, 12}, ui::cs::Hidden);
    return t;
}

bool DlgDefineSets::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    CopyFromModel();
    KeepFoundSets();
    SetWindowText(TitleOf(m_kind));
    m_modified = 0;
    StartAtFirstRow();
    return true;
}

bool DlgDefineSets::DestroyWindow() {
    m_table.reset();
    return GridPage::DestroyWindow();
}

void DlgDefineSets::CopyFromModel() {
    m_renamed.clear();
    m_table = std::make_unique<SetTable>(m_kind);
    const ModelData* model = Model();
    if (const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr) m_table->CopySetTable(*sets);
    m_table->CountRows();
    m_table->RebuildIndex();
}

void DlgDefineSets::Refresh() {
    for (int s = VisibleRows() + 1; s <= kRows; ++s)
        if (ui::Control* define = GetDlgItem(DefineId(s))) define->ShowWindow(false);
    GridPage::Refresh();
    // Insert and Delete need a second row: the last ("ALL") must stay.
    for (int id : {IDC_INSERT_ROW, IDC_DELETE_ROW})
        if (ui::Control* b = GetDlgItem(id)) b->EnableWindow(m_rowCount >= 2);
}

void DlgDefineSets::LoadSlot(int slot, int row) {
    m_name[static_cast<size_t>(slot - 1)] = m_table->GetRowName(row);
    const bool editable = m_table->GetRowName(row) != kAllSet;
    if (ui::Control* cell = GetCellWnd(slot, 1)) cell->EnableWindow(editable);
    if (ui::Control* define = GetDlgItem(DefineId(slot))) {
        define->ShowWindow(true);
        define->EnableWindow(editable);
    }
}

void DlgDefineSets::ExchangeSlot(ui::DataExchange& dx, int slot) {
    dx.Text(CellId(slot, 1), m_name[static_cast<size_t>(slot - 1)]);
}

int DlgDefineSets::CheckSlot(int slot) {
    const std::string& name = m_name[static_cast<size_t>(slot - 1)];
    const int row = TableRow(slot) + 1;
    const int other = FindDuplicate(
        slot, name, [this](int j) { return m_table->GetRowName(j); },
        [this](int k) { return m_name[static_cast<size_t>(k - 1)]; });
    if (other >= 0) {
        RowMessage(Format(" %s is already defined \n Check rows %d and %d", DuplicateLabel(m_kind), other + 1, row));
        return 1;
    }
    if (CheckWord(slot, "Set name", name, modelfile::kMaxSetNameLength) > 0) return 1;
    // A target would read such a name as several items.
    if (setwalk::HasSeparator(name)) {
        RowMessage(Format(" Set name \"%s\" must not contain \",\", \":\" or \";\"\n Check row %d", name.c_str(), row));
        return 1;
    }
    const char first = name.empty() ? '\0' : name[0];
    if (IsLetter(first)) return 0;
    // A fresh row "0" may stay while it is the current row; a move, a row
    // button or a write (touched) checks it like any other name.
    const bool touched = Reason() == kReasonMove || Reason() == kReasonWrite;
    if (slot == m_currentRow && first == '0' && !touched) return 0;
    RowMessage(Format("SetName must begin with an alphabet letter\n.Check row %d, name %s", row, name.c_str()));
    return 1;
}

void DlgDefineSets::StoreSlot(int slot, int row) {
    const std::string& name = m_name[static_cast<size_t>(slot - 1)];
    const std::string before = m_table->GetRowName(row);
    if (before != name) {
        const std::string origin = ModelNameOf(before);
        m_renamed.erase(before);
        if (!origin.empty() && origin != name) m_renamed[name] = origin;
    }
    m_table->SetSetRowName(row, name);
}

std::string DlgDefineSets::ModelNameOf(const std::string& name) const {
    if (auto it = m_renamed.find(name); it != m_renamed.end()) return it->second;
    const ModelData* model = Model();
    const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr;
    if (!sets || sets->FindRowByName(name) < 0) return {};
    for (const auto& [present, origin] : m_renamed)
        if (origin == name) return {};  // renamed away: this row is a new set
    return name;
}

std::vector<std::pair<std::string, std::string>> DlgDefineSets::WriteSets() {
    ModelData* model = Model();
    if (!model) return {};
    model->ReplaceSetTable(*m_table);
    std::vector<std::pair<std::string, std::string>> renames;
    for (const auto& [present, origin] : m_renamed) renames.emplace_back(origin, present);
    m_renamed.clear();
    const std::string told = RenameInTargets(*model, m_kind, renames);
    if (!told.empty()) RowMessage(told);
    return renames;
}

void DlgDefineSets::KeepFoundSets() {
    const ModelData* model = Model();
    const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr;
    m_found = sets ? std::make_unique<SetTable>(m_kind) : nullptr;
    if (m_found) {
        m_found->CopySetTable(*sets);
        m_found->CountRows();
        m_found->RebuildIndex();
    }
    m_definedRenames.clear();
    m_foundChanged = model && model->IsChanged();
}

void DlgDefineSets::RestoreFoundSets() {
    ModelData* model = Model();
    const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr;
    if (!model || !m_found || !sets) return;
    if (m_definedRenames.empty() && !sets->CompareSetTable(*m_found)) return;
    model->ReplaceSetTable(*m_found);
    // The renames undone, the last first, each back to the name it had.
    std::vector<std::pair<std::string, std::string>> back;
    for (auto it = m_definedRenames.rbegin(); it != m_definedRenames.rend(); ++it)
        back.emplace_back(it->second, it->first);
    RenameInTargets(*model, m_kind, back);
    if (!m_foundChanged) model->ClearChanged();
    m_definedRenames.clear();
}

bool DlgDefineSets::DiffersFromModel() const {
    const ModelData* model = Model();
    const SetTable* sets = model ? model->GetSetTable(m_kind) : nullptr;
    if (!sets) return m_table && m_table->GetCount() != 0;
    // Define has written the table: until Apply or OK that is a change too.
    const bool defined = !m_definedRenames.empty() || (m_found && m_found->CompareSetTable(*sets));
    return defined || (m_table && sets->CompareSetTable(*m_table));
}

void DlgDefineSets::WriteToModel() {
    WriteSets();
    KeepFoundSets();
}

void DlgDefineSets::CloseGrid(int result) {
    if (result != ui::IDOK) RestoreFoundSets();
    EndDialog(result);
    if (m_view) m_view->OnSetsDialogClosed();
    if (m_doc) m_doc->OnSetsDialogClosed();
}

void DlgDefineSets::OnBnClickedAddRow() {
    if (!BeginAppend(false)) return;
    m_table->AddSetRow("0", nullptr);
    m_table->CountRows();
    m_table->RebuildIndex();
    RowsChanged();
}

void DlgDefineSets::OnBnClickedInsertRow() {
    const int row = BeginInsert();
    if (row < 0) return;
    m_table->InsertSetRow(row, "0", nullptr);
    m_table->CountRows();
    m_table->RebuildIndex();
    m_currentColumn = 1;
    RowsChanged();
}

void DlgDefineSets::OnBnClickedDeleteRow() {
    // "ALL" stands for every item of the kind: every set table keeps it.
    const int current = CurrentTableRow();
    if (current >= 0 && m_table->GetRowName(current) == kAllSet) return;
    const int row = BeginDelete();
    if (row < 0) return;
    // Rows and sets that name the set would be left naming nothing.
    const std::string name = m_table->GetRowName(row);
    const std::string origin = ModelNameOf(name);
    const ModelData* model = Model();
    const std::vector<std::string> users =
        origin.empty() || !model ? std::vector<std::string>{} : model->SetUsers(m_kind, origin);
    if (!users.empty()) {
        std::string text = Format(" %s can not be deleted. It is used in:", name.c_str());
        for (const std::string& user : users) text += "\n   " + user;
        RowMessage(text);
        return;
    }
    m_renamed.erase(name);
    m_table->RemoveSetRow(row);
    RowsChanged();
}

void DlgDefineSets::OnBnClickedSort() {
    if (Validate() > 0) return;
    m_table->SortSetRows();
    Refresh();
}

void DlgDefineSets::OnBnClickedDefine(int slot) {
    if (slot < 1 || slot > VisibleRows()) return;
    // The set goes to the model: a fresh row "0" is checked like a write.
    if (!ValidateFor(kReasonWrite)) return;
    // The whole table goes to the model, so that the set (and any other new
    // or renamed set it may name) exists there for the member dialog.
    for (auto& rename : WriteSets()) m_definedRenames.push_back(std::move(rename));
    const std::string name = m_name[static_cast<size_t>(slot - 1)];
    if (m_view) m_view->SetHighlightState(m_kind, name);
    ShowWindow(false);
    if (m_doc) m_doc->ShowSetDialog(m_kind, name, this);
}

void DlgDefineSets::ResumeAfterSetDialog() {
    ShowWindow(true);
    if (m_view) {
        m_view->SetHighlightState(0, "0");
        m_view->RepaintView();
        m_view->SetPickTarget(0);
        m_view->EndSelectionMode();
    }
    CopyFromModel();
    SyncRowCount();
    ClampScroll();
    if (m_doc) m_doc->SetPickMode(0);
    Refresh();
}
