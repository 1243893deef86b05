#include "dialogs/GridPage.h"

#include <cstdarg>
#include <cstdio>

#include "model/ModelData.h"
#include "model/SetWalk.h"
#include "platform/ui/Services.h"

GridPage::GridPage(int templateId, DocHost* doc, ViewHost* view, int rowsPerPage, int columns)
    : TDialog(templateId, nullptr), m_doc(doc), m_view(view) {
    m_rowsPerPage = rowsPerPage;
    m_columns = columns;
    // Focus entering a cell makes it the current cell.
    for (int column = 1; column <= columns; ++column)
        OnNotifyRange(ui::Notify::SetFocus, CellId(1, column), CellId(rowsPerPage, column),
                      [this, column](ui::Notification& n) { SetCurrentCell(n.id - CellId(1, column) + 1, column); });
    OnClicked(kApplyId, [this] { OnBnClickedApply(); });
    for (int column = 1; column <= columns; ++column)
        OnNotifyRange(ui::Notify::Change, CellId(1, column), CellId(rowsPerPage, column),
                      [this](ui::Notification&) { m_typed = true; });
}

ModelData* GridPage::Model() const { return m_doc ? m_doc->GetModelData() : nullptr; }

ui::Control* GridPage::GetCellWnd(int line, int column) {
    if (line < 1 || line > m_rowsPerPage || column < 1 || column > m_columns) return nullptr;
    return GetDlgItem(CellId(line, column));
}

void GridPage::DoDataExchange(ui::DataExchange& dx) {
    const int visible = VisibleRows();
    for (int slot = 1; slot <= visible; ++slot) ExchangeSlot(dx, slot);
}

void GridPage::CheckModified() {
    if (!m_modified && DiffersFromModel()) m_modified = 1;
}

void GridPage::ShowSlots(int used) {
    for (int slot = 1; slot <= m_rowsPerPage; ++slot) {
        const bool on = slot <= used;
        if (ui::Control* label = GetDlgItem(CellId(slot, 0))) label->ShowWindow(on);
        for (int column = 1; column <= m_columns; ++column) {
            ui::Control* cell = GetDlgItem(CellId(slot, column));
            if (!cell) continue;
            cell->ShowWindow(on && ColumnShown(column));
            cell->EnableWindow(on ? CellEnabled(slot, column) : ColumnEnabled(column));
        }
    }
}

void GridPage::ShowScrollBar() {
    auto* bar = Get<ui::ScrollBar>(kScrollBarId);
    if (!bar) return;
    if (m_rowCount > m_rowsPerPage) {
        bar->SetScrollRange(0, m_rowCount - m_rowsPerPage);
        bar->SetScrollPos(m_firstVisibleRow);
        bar->ShowWindow(true);
    } else {
        bar->ShowWindow(false);
    }
}

void GridPage::Refresh() {
    if (m_firstVisibleRow < 0) m_firstVisibleRow = 0;
    CheckModified();
    ShowScrollBar();
    const int used = VisibleRows();
    ShowSlots(used);
    for (int slot = 1; slot <= used; ++slot) {
        SetDlgItemText(CellId(slot, 0), std::to_string(TableRow(slot) + 1));
        LoadSlot(slot, TableRow(slot));
    }
    SetDlgItemText(kCountLabelId, std::to_string(m_rowCount));
    UpdateData(false);
    m_typed = false;
    if (m_currentRow > 0) {
        if (m_reload && m_view && m_rowCount > 0) {
            m_view->RebuildScene();
            m_reload = false;
        }
        if (IsCellUsable(m_currentRow, m_currentColumn)) GotoDlgCtrl(GetCellWnd(m_currentRow, m_currentColumn));
        if (m_view && m_currentRow <= used)
            m_view->SetHighlightedItems(HighlightKind(), SlotHighlightText(m_currentRow));
    }
    UpdateButtons();
}

void GridPage::UpdateButtons() {
    if (ui::Control* apply = GetDlgItem(kApplyId)) apply->EnableWindow(m_modified != 0);
    SetDlgItemText(ui::IDCANCEL, m_modified ? "Cancel" : "Close");
    for (int id : CurrentRowButtons())
        if (ui::Control* b = GetDlgItem(id)) b->EnableWindow(m_rowCount != 0);
}

int GridPage::Validate() {
    m_reason = m_touched;
    m_touched = 0;
    // A cell that does not read as a number has had the layer's message and
    // the focus: the page stays as typed.
    if (!UpdateData(true)) return 1;
    const int visible = VisibleRows();
    for (int slot = 1; slot <= visible; ++slot)
        if (CheckSlot(slot) > 0) return 1;
    for (int slot = 1; slot <= visible; ++slot) StoreSlot(slot, TableRow(slot));
    return 0;
}

void GridPage::OnKeyDown(int key, int repeat, int flags) {
    m_tabInRow = key == ui::key::Tab && m_currentRow > 0 && TabStaysInRow();
    TDialog::OnKeyDown(key, repeat, flags);
    m_tabInRow = false;
}

bool GridPage::TabStaysInRow() {
    const int first = m_firstVisibleRow, line = m_currentRow, column = m_currentColumn, visible = m_visibleRows;
    const int before = CurrentTableRow();
    const int step = m_shiftDown ? -1 : 1;
    m_currentColumn += step;
    const bool stays = MoveColumn(step) && CurrentTableRow() == before;
    m_firstVisibleRow = first;
    m_currentRow = line;
    m_currentColumn = column;
    m_visibleRows = visible;
    return stays;
}

bool GridPage::ValidateFor(int reason) {
    m_touched = reason;
    return Validate() <= 0;
}

bool GridPage::BeginAppend(bool keepColumn) {
    if (!ValidateFor(kReasonMove)) return false;
    const int first = m_rowCount - m_rowsPerPage + 1;
    if (first < 0) {
        m_firstVisibleRow = 0;
        m_currentRow = m_rowCount + 1;
    } else {
        m_firstVisibleRow = first;
        m_currentRow = m_rowsPerPage;
    }
    if (!keepColumn || m_currentColumn < 1) m_currentColumn = 1;
    return true;
}

int GridPage::BeginInsert() {
    if (m_currentRow == 0 || !ValidateFor(kReasonMove)) return -1;
    return CurrentTableRow();
}

int GridPage::BeginDelete() {
    if (m_currentRow == 0 || !ValidateFor(kReasonDelete)) return -1;
    return CurrentTableRow();
}

void GridPage::RowsChanged() {
    SyncRowCount();
    ClampScroll();
    Refresh();
}

void GridPage::StartAtFirstRow(int column) {
    SyncRowCount();
    m_firstVisibleRow = 0;
    m_currentRow = 1;
    m_currentColumn = column;
    Refresh();
    if (m_rowCount == 0) m_currentRow = 0;
}

void GridPage::ApplySteps() {
    WriteToModel();
    // Applied edits belong to the document at once: Save is enabled and
    // leaving the file asks to save while the grid stays open.
    if (ModelData* model = Model(); m_doc && model && model->IsChanged()) m_doc->SetModifiedFlag(true);
    if (m_view) m_view->RebuildScene();
    if (m_doc) m_doc->UpdateAllViews();
    m_modified = 0;
    Refresh();
}

bool GridPage::HasUnappliedEdits() {
    if (!IsWindow() || !IsWindowVisible()) return false;
    CheckModified();
    return m_modified != 0 || m_typed;
}

bool GridPage::ApplyEdits() {
    if (!ValidateFor(kReasonWrite)) return false;
    ApplySteps();
    return true;
}

void GridPage::OnBnClickedApply() {
    if (!ValidateFor(kReasonWrite)) return;
    ApplySteps();
}

void GridPage::OnOK() {
    if (!ValidateFor(kReasonWrite)) return;
    CheckModified();
    if (m_modified) ApplySteps();
    CloseGrid(ui::IDOK);
}

void GridPage::OnCancel() { CloseGrid(ui::IDCANCEL); }

bool GridPage::BeginPick() {
    if (m_currentRow == 0 || m_currentRow > VisibleRows()) return false;
    return UpdateData(true);
}

void GridPage::EndPick(int column) {
    UpdateData(false);
    if (IsCellUsable(m_currentRow, column)) GotoDlgCtrl(GetCellWnd(m_currentRow, column));
    SetCurrentCell(m_currentRow, column);
}

int GridPage::CheckWord(int slot, const char* what, const std::string& text, std::size_t limit) {
    if (DeletingSlot(slot)) return 0;
    const std::string rule = modelfile::WordRule(text, limit);
    if (rule.empty()) return 0;
    const std::string shown = text.size() > 40 ? text.substr(0, 40) + "..." : text;
    RowMessage(Format(" %s \"%s\" %s\n Check row %d", what, shown.c_str(), rule.c_str(), TableRow(slot) + 1));
    return 1;
}

GridPage::TargetKind GridPage::ClassifyTarget(int slot, const std::string& text) const {
    const char first = text.empty() ? '\0' : text[0];
    if (first >= '1' && first <= '9') return TargetKind::Number;
    if (first == '0' && slot == m_currentRow)
        return Reason() == kReasonMove || Reason() == kReasonWrite ? TargetKind::Number : TargetKind::Placeholder;
    return TargetKind::SetName;
}

void GridPage::RowMessage(const std::string& text) { ui::MessageBox(text, ui::Buttons::Ok, ui::Icon::None); }

std::string GridPage::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

int GridPage::MalformedItemMessage(int slot, const char* noun, const std::string& item, const char* hint) {
    RowMessage(Format(" %s Number %s is not valid: a number is digits only\n %s\n Check row %d", noun, item.c_str(),
                      hint, TableRow(slot) + 1));
    return 1;
}

ItemFault FindItemFault(const std::string& text, const NumberLookup& numbers, const SetTable* sets) {
    for (const std::string& item : setwalk::ListItems(text)) {
        if (setwalk::IsMalformedNumberItem(item)) return {ItemFault::Malformed, item};
        if (setwalk::IsNumberItem(item)) {
            if (!numbers.Contains(ParseInt(item))) return {ItemFault::NoNumber, item};
        } else if (!sets || sets->FindRowByName(item) < 0) {
            return {ItemFault::NoSet, item};
        }
    }
    return {};
}

int GridPage::CheckRenumbering(int kind, int old, int number) {
    const ModelData* model = Model();
    if (old == number || !model) return 0;
    const std::vector<std::string> users = model->NumberUsers(kind, old);
    if (users.empty()) return 0;
    std::string text =
        Format(" %s Number %d can not be renumbered \n it is named in:", kind == 1 ? "Node" : "Element", old);
    for (const std::string& user : users) text += "\n   " + user;
    RowMessage(text);
    return 1;
}
