// Base of the grid dialogs: a page of rows of cells over a working table of
// any length. It keeps the scroll position and the focused cell, moves them
// by keyboard and scroll bar, and has the derived dialog validate its page
// before every move and redraw it afterwards.
#pragma once

#include "platform/ui/Dialog.h"

class TDialog : public ui::Dialog {
public:
    TDialog(int templateId, ui::Window* parent);
    ~TDialog() override;

    // Fills the page from the working table at the first visible row.
    // Default: members to controls.
    virtual void Refresh();
    // Checks the page; above 0 when a row failed (its message shown).
    // Default: controls to members, then 0.
    virtual int Validate();
    // The control of a cell (1-based line of the page and column), or null.
    virtual ui::Control* GetCellWnd(int line, int column);
    // Compares the working copy with the model and sets the modified flag.
    virtual void CheckModified() {}
    // Makes (line, column) the current cell; when it differs from the stored
    // one, validates and, when that passes, refreshes. Returns the validation
    // result (0 when the cell did not change).
    virtual int SetCurrentCell(int line, int column);
    // Edits shown in a modeless grid that the model does not hold yet, for
    // the question before the document goes; ApplyEdits writes them (false
    // when the page fails its check, its message shown). Default: none.
    virtual bool HasUnappliedEdits() { return false; }
    virtual bool ApplyEdits() { return true; }
    // Modeless creation from the stored template id and parent.
    virtual bool CreateModeless();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool PreTranslateMessage(const ui::Message& msg) override;
    void OnKeyDown(int key, int repeat, int flags) override;
    void OnVScroll(int code, int pos, ui::ScrollBar* bar) override;

    // A cell whose control exists, is enabled and is visible.
    bool IsCellUsable(int line, int column);
    // First visible row within 0 .. max(0, row count - rows per page); the
    // current row at most the row count.
    void ClampScroll();
    // The current row onto the page, scrolling by one at either edge.
    void ClampRow();
    // Normalises the current column (wrapping into the line above or below)
    // and walks by step over unusable cells, turning at the first cell of
    // line 1 and at the last cell of the last line. False when a pass in each
    // direction found no usable cell.
    bool MoveColumn(int step);

    // Row of the working table shown in the given line of the page.
    int TableRow(int line) const { return m_firstVisibleRow + line - 1; }

    int m_rowsPerPage = 0;
    int m_columns = 0;
    int m_rowCount = 0;
    int m_firstVisibleRow = 0;
    int m_currentRow = 0;     // 1-based line of the focused cell, 0 none
    int m_currentColumn = 0;  // 1-based column
    int m_shiftDown = 0;
    int m_visibleRows = 0;
    int m_touched = 0;
    unsigned char m_modified = 0;
    ui::Window* m_parent = nullptr;
    int m_templateId = 0;
};
