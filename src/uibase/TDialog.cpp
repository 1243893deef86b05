#include "uibase/TDialog.h"

#include <algorithm>

TDialog::TDialog(int templateId, ui::Window* parent)
    : ui::Dialog(templateId, parent), m_parent(parent), m_templateId(templateId) {}

TDialog::~TDialog() = default;

void TDialog::Refresh() { UpdateData(false); }

int TDialog::Validate() {
    UpdateData(true);
    return 0;
}

ui::Control* TDialog::GetCellWnd(int, int) { return nullptr; }

int TDialog::SetCurrentCell(int line, int column) {
    const bool changed = line != m_currentRow || column != m_currentColumn;
    m_currentRow = line;
    m_currentColumn = column;
    if (!changed) return 0;
    const int result = Validate();
    if (result <= 0) Refresh();
    return result;
}

bool TDialog::CreateModeless() { return Create(m_templateId, m_parent); }

void TDialog::DoDataExchange(ui::DataExchange&) {}

bool TDialog::PreTranslateMessage(const ui::Message& msg) {
    if (msg.type == ui::Message::KeyDown) {
        switch (msg.key) {
            case ui::key::Tab:
                if (m_currentRow == 0) break;
                OnKeyDown(msg.key, msg.repeat, msg.flags);
                return true;
            case ui::key::PageUp:
            case ui::key::PageDown:
            case ui::key::End:
            case ui::key::Home:
            case ui::key::Up:
            case ui::key::Down: OnKeyDown(msg.key, msg.repeat, msg.flags); return true;
            case ui::key::Shift: m_shiftDown = 1; break;
            default: break;
        }
    } else if (msg.type == ui::Message::KeyUp && msg.key == ui::key::Shift) {
        m_shiftDown = 0;
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

bool TDialog::IsCellUsable(int line, int column) {
    ui::Control* c = GetCellWnd(line, column);
    return c && c->IsWindowEnabled() && c->IsWindowVisible();
}

void TDialog::ClampScroll() {
    m_firstVisibleRow = std::max(std::min(m_firstVisibleRow, m_rowCount), 0);
    if (m_rowCount > m_rowsPerPage)
        m_firstVisibleRow = std::min(m_firstVisibleRow, m_rowCount - m_rowsPerPage);
    else
        m_firstVisibleRow = 0;
    m_currentRow = std::min(m_currentRow, m_rowCount);
}

void TDialog::ClampRow() {
    m_visibleRows = std::min(m_rowCount, m_rowsPerPage);
    if (m_currentRow > m_visibleRows) {
        m_currentRow = m_visibleRows;
        m_firstVisibleRow += 1;
    }
    if (m_currentRow <= 0) {
        m_currentRow = 1;
        m_firstVisibleRow -= 1;
    }
    ClampScroll();
}

bool TDialog::MoveColumn(int step) {
    // Every cell of the page is met within one pass in each direction; the
    // bound only guards against a page whose size changes under the walk.
    const long long bound = 4LL * (m_columns + 2) * (m_rowsPerPage + 2) + 16;
    int turns = 0;
    for (long long n = 0; n < bound; ++n) {
        m_visibleRows = std::min(m_rowCount, m_rowsPerPage);
        if (m_currentColumn <= 0) {
            m_currentColumn = m_columns;
            m_currentRow -= 1;
        } else if (m_currentColumn > m_columns) {
            m_currentColumn = 1;
            m_currentRow += 1;
        }
        ClampRow();
        if (IsCellUsable(m_currentRow, m_currentColumn)) return true;
        m_currentColumn += step;
        // Passing the first cell of line 1 backward, or the last cell of the
        // last line forward, turns the walk; the step just made still wraps
        // into the neighbouring line at 1 (scrolling there as a Tab would).
        if (step < 0 && m_currentRow <= 1 && m_currentColumn < 1) {
            if (++turns >= 2) return false;
            step = 1;
        } else if (step > 0 && m_currentRow >= m_visibleRows && m_currentColumn > m_columns) {
            if (++turns >= 2) return false;
            step = -1;
        }
    }
    return false;
}

void TDialog::OnKeyDown(int key, int repeat, int flags) {
    m_touched = 1;
    if (Validate() > 0) return;
    const int firstBefore = m_firstVisibleRow;
    const int rowBefore = m_currentRow;
    const int columnBefore = m_currentColumn;
    bool found = true;
    switch (key) {
        case ui::key::Tab: {
            const int step = m_shiftDown ? -1 : 1;
            m_currentColumn += step;
            found = MoveColumn(step);
            break;
        }
        case ui::key::PageUp:
            m_firstVisibleRow -= m_rowsPerPage;
            ClampScroll();
            break;
        case ui::key::PageDown:
            m_firstVisibleRow += m_rowsPerPage;
            ClampScroll();
            break;
        case ui::key::End:
            m_firstVisibleRow = m_rowCount;
            ClampScroll();
            break;
        case ui::key::Home:
            m_firstVisibleRow = 0;
            ClampScroll();
            break;
        case ui::key::Up:
            if (m_currentRow != 0) {
                m_currentRow -= 1;
                found = MoveColumn(-1);
            } else {
                m_firstVisibleRow -= 1;
                ClampScroll();
            }
            break;
        case ui::key::Down:
            if (m_currentRow != 0) {
                m_currentRow += 1;
                found = MoveColumn(1);
            } else {
                m_firstVisibleRow += 1;
                ClampScroll();
            }
            break;
        default: break;
    }
    if (!found) {
        // No usable cell on the page: the cell stays where it was.
        m_firstVisibleRow = firstBefore;
        m_currentRow = rowBefore;
        m_currentColumn = columnBefore;
    }
    Refresh();
    ui::Dialog::OnKeyDown(key, repeat, flags);
}

void TDialog::OnVScroll(int code, int pos, ui::ScrollBar* bar) {
    m_touched = 1;
    if (Validate() > 0) return;
    switch (code) {
        case ui::sb::LineUp: m_firstVisibleRow -= 1; break;
        case ui::sb::LineDown: m_firstVisibleRow += 1; break;
        case ui::sb::PageUp: m_firstVisibleRow -= m_rowsPerPage; break;
        case ui::sb::PageDown: m_firstVisibleRow += m_rowsPerPage; break;
        case ui::sb::ThumbPosition:
        case ui::sb::ThumbTrack: m_firstVisibleRow = pos; break;
        case ui::sb::Top: m_firstVisibleRow = 0; break;
        case ui::sb::Bottom: m_firstVisibleRow = m_rowCount; break;
        default: break;
    }
    ClampScroll();
    Refresh();
    ui::Dialog::OnVScroll(code, pos, bar);
}
