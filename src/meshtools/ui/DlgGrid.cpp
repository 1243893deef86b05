#include "meshtools/ui/DlgGrid.h"

#include <algorithm>
#include <string>

#include "model/ModelData.h"
#include "platform/ui/Services.h"

DlgGrid::DlgGrid(ModelData* model, int direction, ui::Window* parent)
    : TDialog(kTemplateId, parent), model_(model), direction_(direction == 1 ? 1 : 2) {
    m_rowsPerPage = kRows;
    m_columns = 3;
    OnNotifyRange(ui::Notify::SetFocus, IDC_DIVISIONS, IDC_DIVISIONS + kRows - 1,
                  [this](ui::Notification& n) { OnCellFocus(n.id - IDC_DIVISIONS + 1, 1); });
    OnNotifyRange(ui::Notify::SetFocus, IDC_SPAN, IDC_SPAN + kRows - 1,
                  [this](ui::Notification& n) { OnCellFocus(n.id - IDC_SPAN + 1, 2); });
    OnNotifyRange(ui::Notify::SetFocus, IDC_TOTAL, IDC_TOTAL + kRows - 1, [this](ui::Notification& n) {
        m_currentRow = n.id - IDC_TOTAL + 1;
        m_currentColumn = 3;
    });
    OnClicked(IDC_ADD_SPAN, [this] { OnAddSpan(); });
    OnClicked(IDC_INSERT_SPAN, [this] { OnInsertSpan(); });
    OnClicked(IDC_DELETE_SPAN, [this] { OnDeleteSpan(); });
}

DlgGrid::~DlgGrid() = default;

ui::DialogTemplate DlgGrid::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Grid";
    t.rect = {0, 0, 222, 236};
    t.Label(ui::IDSTATIC, "Number", {4, 7, 36, 8});
    t.Label(ui::IDSTATIC, "Divisions", {44, 7, 44, 8});
    t.Label(ui::IDSTATIC, "Span", {92, 7, 40, 8});
    t.Label(ui::IDSTATIC, "Lenght", {92, 15, 40, 8});
    t.Label(ui::IDSTATIC, "Total", {147, 7, 40, 8});
    t.Label(ui::IDSTATIC, "Lenght", {147, 15, 40, 8});
    for (int i = 0; i < kRows; ++i) {
        const int y = 26 + 14 * i;
        t.Label(IDC_ROW + i, "", {6, y + 2, 30, 8});
        t.EditBox(IDC_DIVISIONS + i, {42, y, 46, 12});
        t.EditBox(IDC_SPAN + i, {92, y, 52, 12});
        t.EditBox(IDC_TOTAL + i, {147, y, 52, 12}, ui::cs::Disabled);
    }
    t.VScrollBar(IDC_SCROLL, {203, 26, 10, 138});
    t.Label(ui::IDSTATIC, "Number", {6, 168, 44, 9});
    t.Label(ui::IDSTATIC, "of Spans", {6, 177, 44, 9});
    t.Label(IDC_COUNT, "0", {52, 172, 40, 9});
    t.PushButton(IDC_ADD_SPAN, "Add Span", {8, 194, 62, 14});
    t.PushButton(IDC_INSERT_SPAN, "Insert Span", {76, 194, 62, 14});
    t.PushButton(IDC_DELETE_SPAN, "Delete Span", {144, 194, 62, 14});
    t.DefPushButton(ui::IDOK, "OK", {76, 215, 62, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {144, 215, 62, 14});
    return t;
}

bool DlgGrid::OnInitDialog() {
    copy_ = std::make_unique<NodeTable>();
    if (model_)
        if (const NodeTable* grid = model_->GetGridTable(direction_)) copy_->CopyNodeTable(*grid);
    copy_->CountNodeRows();
    copy_->RebuildNodeTableIndex();
    SetWindowText(direction_ == 1 ? "Grid X direction" : "Grid Y direction");
    m_rowCount = copy_->GetCount();
    m_firstVisibleRow = 0;
    m_currentRow = 0;
    m_currentColumn = 0;
    Refresh();
    if (m_rowCount == 0) return true;
    // The focus goes to the first Divisions cell, which makes it the
    // current cell just as the user's click into it would.
    OnCellFocus(1, 1);
    return false;
}

int DlgGrid::FilledLines() const { return std::clamp(m_rowCount - m_firstVisibleRow, 0, kRows); }

void DlgGrid::DoDataExchange(ui::DataExchange& dx) {
    for (int i = 0; i < FilledLines(); ++i) {
        dx.Text(IDC_DIVISIONS + i, divisions_[i]);
        dx.Text(IDC_SPAN + i, span_[i]);
        dx.Text(IDC_TOTAL + i, total_[i]);
    }
}

ui::Control* DlgGrid::GetCellWnd(int line, int column) {
    if (line < 1 || line > kRows) return nullptr;
    switch (column) {
        case 1: return GetDlgItem(IDC_DIVISIONS + line - 1);
        case 2: return GetDlgItem(IDC_SPAN + line - 1);
        case 3: return GetDlgItem(IDC_TOTAL + line - 1);
        default: return nullptr;
    }
}

void DlgGrid::Refresh() {
    if (m_firstVisibleRow < 0) m_firstVisibleRow = 0;
    auto* bar = Get<ui::ScrollBar>(IDC_SCROLL);
    if (m_rowCount > kRows) {
        bar->SetScrollRange(0, m_rowCount - kRows);
        m_firstVisibleRow = std::min(m_firstVisibleRow, m_rowCount - kRows);
        bar->SetScrollPos(m_firstVisibleRow);
        bar->ShowWindow(true);
    } else {
        m_firstVisibleRow = 0;
        bar->ShowWindow(false);
    }
    const int filled = FilledLines();
    for (int i = 0; i < kRows; ++i) {
        const bool shown = i < filled;
        for (int id : {IDC_ROW + i, IDC_DIVISIONS + i, IDC_SPAN + i, IDC_TOTAL + i}) GetDlgItem(id)->ShowWindow(shown);
        GetDlgItem(IDC_TOTAL + i)->EnableWindow(false);
        if (!shown) continue;
        const NodeRow* row = copy_->GetRow(m_firstVisibleRow + i);
        SetDlgItemText(IDC_ROW + i, std::to_string(m_firstVisibleRow + i + 1));
        divisions_[i] = row->id;
        span_[i] = row->x;
        total_[i] = row->y;
    }
    SetDlgItemText(IDC_COUNT, std::to_string(m_rowCount));
    UpdateData(false);
    if (m_currentRow > 0)
        if (ui::Control* cell = GetCellWnd(m_currentRow, m_currentColumn)) GotoDlgCtrl(cell);
    GetDlgItem(IDC_DELETE_SPAN)->EnableWindow(m_rowCount > 0);
    GetDlgItem(IDC_INSERT_SPAN)->EnableWindow(m_rowCount > 0);
}

void DlgGrid::UpdateTotals() {
    double total = 0.0;
    for (NodeRow* r = copy_->GetHead(); r; r = r->next) {
        total += r->x;
        r->y = total;
    }
}

int DlgGrid::ApplyToTable() {
    // A text that is not a number has been reported and its cell focused:
    // the move (or OK) stops there, so the typed text is neither lost nor
    // replaced by the value the cell held before.
    if (!UpdateData(true)) return 1;
    for (int i = 0; i < FilledLines(); ++i) {
        NodeRow* row = copy_->GetRow(m_firstVisibleRow + i);
        row->id = divisions_[i];
        row->x = span_[i];
        row->y = total_[i];
        row->z = 0.0;
    }
    UpdateTotals();
    return 0;
}

void DlgGrid::OnCellFocus(int line, int column) {
    const int row = m_currentRow, col = m_currentColumn;
    m_currentColumn = column;
    m_currentRow = line;
    if (ApplyToTable() > 0) {
        m_currentRow = row;
        m_currentColumn = col;
        return;
    }
    Refresh();
}

void DlgGrid::OnAddSpan() {
    if (ApplyToTable() > 0) return;
    copy_->AddNodeRow(copy_->MaxNodeId() + 1, 0.0, 0.0, 0.0);
    copy_->CountNodeRows();
    copy_->RebuildNodeTableIndex();
    m_rowCount = copy_->GetCount();
    UpdateTotals();
    if (m_rowCount <= kRows) {
        m_firstVisibleRow = 0;
        m_currentRow = m_rowCount;
    } else {
        m_firstVisibleRow = m_rowCount - kRows;
        m_currentRow = kRows;
    }
    m_currentColumn = 1;
    Refresh();
}

void DlgGrid::OnInsertSpan() {
    if (m_currentRow <= 0 || ApplyToTable() > 0) return;
    copy_->InsertNodeRow(TableRow(m_currentRow), copy_->MaxNodeId() + 1, 0.0, 0.0, 0.0);
    m_rowCount = copy_->GetCount();
    UpdateTotals();
    m_currentColumn = 1;
    Refresh();
}

void DlgGrid::OnDeleteSpan() {
    if (m_currentRow <= 0 || ApplyToTable() > 0) return;
    copy_->RemoveNodeRow(TableRow(m_currentRow));
    m_rowCount = copy_->GetCount();
    UpdateTotals();
    ClampScroll();
    Refresh();
}

void DlgGrid::FocusRow(int row, int column) {
    if (row < m_firstVisibleRow || row >= m_firstVisibleRow + kRows) m_firstVisibleRow = row;
    m_currentRow = 0;
    Refresh();  // the row is on the page now (scrolled as far as the table allows)
    m_currentRow = row - m_firstVisibleRow + 1;
    m_currentColumn = column;
    Refresh();
}

bool DlgGrid::CheckSpans() {
    for (int row = 0; row < copy_->GetCount(); ++row) {
        const NodeRow* r = copy_->GetRow(row);
        std::string message;
        int column = 1;
        if (r->id < 1 || r->id > kMaxDivisions) {
            message = " Number of divisions must be between 1 and " + std::to_string(kMaxDivisions);
        } else if (!(r->x > 0.0)) {
            message = " Span length must be greater than 0.0";
            column = 2;
        } else {
            continue;
        }
        ui::MessageBox(message + "\n Check row " + std::to_string(row + 1));
        FocusRow(row, column);
        return false;
    }
    return true;
}

void DlgGrid::OnOK() {
    if (ApplyToTable() > 0 || !CheckSpans()) return;
    if (model_) model_->ReplaceGridLineTable(direction_, *copy_);
    EndDialog(ui::IDOK);
}
