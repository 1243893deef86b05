// The life cycle every grid input dialog follows, written once on TDialog.
//
// A grid shows one input table of the model as a page of row slots of cells
// over a private working copy of that table. The derived dialog owns the copy
// and the per-slot values; this class runs the rest:
//   - Refresh: the modified check, the scroll bar, which slots and cells are
//     shown and enabled, row numbers, the count label, the values into the
//     cells, the focus on the current cell with the view's highlight, "Apply"
//     and "Cancel"/"Close", and the buttons that need rows.
//   - Validate: the cells into the values (an unreadable cell stops it), each
//     shown slot checked in order (the first failure shows its message and
//     stops), then every shown slot written into its table row.
//   - Row buttons: BeginAppend, BeginInsert or BeginDelete (the page
//     validated for the button), the derived edit of the copy, RowsChanged.
//   - Apply (validate, WriteToModel, the view's scene rebuilt, the views
//     updated, modified cleared, Refresh), OK (validate, apply when modified,
//     close) and Cancel (close, nothing written).
//
// Control ids: the row-number label of slot s (1-based) is CellId(s, 0), the
// cell of column c is CellId(s, c); the scroll bar, count label and Apply
// button have the fixed ids below. A derived template uses these ids.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/ModelFileText.h"
#include "uibase/Hosts.h"
#include "uibase/TDialog.h"

class ModelData;
class SetTable;

// Numbers of a table's rows for membership tests that do not depend on the
// table's order.
class NumberLookup {
public:
    NumberLookup() = default;
    template <class Table, class Key>
    NumberLookup(const Table* table, Key key) {
        if (table)
            for (int i = 0; i < table->GetCount(); ++i) numbers_.push_back(key(*table, i));
        std::sort(numbers_.begin(), numbers_.end());
    }
    bool Contains(int n) const { return std::binary_search(numbers_.begin(), numbers_.end(), n); }

private:
    std::vector<int> numbers_;
};

// The first comma item of a target or set member text that fails: a number
// item (one that begins with 1..9) that is more than digits ("3O", "30:34"),
// or that is not one of the numbers; any other item that names no set of the
// table ("ALL" is a row of every set table).
struct ItemFault {
    enum Kind { None, Malformed, NoNumber, NoSet } kind = None;
    std::string item;
};
ItemFault FindItemFault(const std::string& text, const NumberLookup& numbers, const SetTable* sets);

class GridPage : public TDialog {
public:
    static constexpr int CellId(int slot, int column) { return 1000 + 100 * column + slot - 1; }
    static constexpr int kScrollBarId = 2900;
    static constexpr int kCountLabelId = 2901;
    static constexpr int kApplyId = 2902;

    // Why a validation runs (the touched flag it starts with).
    enum Reason {
        kReasonNone = 0,    // focus moved between cells
        kReasonMove = 1,    // key, scroll bar, Add or Insert
        kReasonDelete = 2,  // a delete button: the row is about to go
        kReasonWrite = 3,   // Apply or OK: the page goes to the model
    };

    // Largest node or element number the model file reads back.
    static constexpr int kLargestNumber = 100000000;
    static bool IsValidNumber(int n) { return n >= 1 && n <= kLargestNumber; }

    GridPage(int templateId, DocHost* doc, ViewHost* view, int rowsPerPage, int columns);

    ui::Control* GetCellWnd(int line, int column) override;
    void Refresh() override;
    int Validate() override;
    // Sets the modified flag once the copy differs from the model's table.
    void CheckModified() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    // "Apply", "OK" and "Cancel"/"Close".
    void OnBnClickedApply();
    // Shown, with a working copy that differs from the model or a cell typed
    // in since the page was last checked.
    bool HasUnappliedEdits() override;
    // Apply's check and steps.
    bool ApplyEdits() override;
    // A Tab is noted when it moves to a cell of the same row (TabWithinRow).
    void OnKeyDown(int key, int repeat, int flags) override;
    void OnOK() override;
    void OnCancel() override;

    int VisibleRows() const { return std::min(m_rowCount, m_rowsPerPage); }
    DocHost* Doc() const { return m_doc; }
    ViewHost* View() const { return m_view; }

protected:
    // ---- What each grid supplies ----
    virtual int WorkingCount() const = 0;
    // Table row -> values of the slot.
    virtual void LoadSlot(int slot, int row) = 0;
    // Values of the slot <-> its cells.
    virtual void ExchangeSlot(ui::DataExchange& dx, int slot) = 0;
    // 0 when the slot passes; 1 after its message.
    virtual int CheckSlot(int slot) = 0;
    // Values of the slot -> table row.
    virtual void StoreSlot(int slot, int row) = 0;
    virtual bool DiffersFromModel() const = 0;
    // Hands the working copy to the model (sorting it first where the grid
    // keeps its table sorted) with the grid's own steps after it.
    virtual void WriteToModel() = 0;
    // The view's highlight of the current slot: kind and text.
    virtual int HighlightKind() const = 0;
    virtual std::string SlotHighlightText(int slot) const = 0;
    // Cells of a used slot: shown (a column the table does not use is hidden)
    // and enabled.
    virtual bool ColumnShown(int column) const {
        (void)column;
        return true;
    }
    virtual bool ColumnEnabled(int column) const {
        (void)column;
        return true;
    }
    // A cell of a used slot whose table row decides whether it is enabled.
    virtual bool CellEnabled(int slot, int column) const {
        (void)slot;
        return ColumnEnabled(column);
    }
    // Buttons that act on the current row: enabled only when there are rows.
    virtual std::vector<int> CurrentRowButtons() const { return {}; }
    // Ends the dialog (a modeless grid hides and tells its document).
    virtual void CloseGrid(int result) { EndDialog(result); }

    // ---- Shared steps ----
    // Validation for a button: the touched flag becomes `reason`; true when
    // the page passed.
    bool ValidateFor(int reason);
    // The touched flag the running validation started with.
    int Reason() const { return m_reason; }
    // The start of the row buttons. Add: validates and places the row about
    // to be appended at the end on the page as the current row (the current
    // column goes to 1 unless keepColumn); false when the page failed.
    bool BeginAppend(bool keepColumn);
    // Insert and Delete: the table row of the current slot once the page
    // passed; -1 without a current row or when it failed.
    int BeginInsert();
    int BeginDelete();
    // The end of every row button: the row count follows the working copy
    // (after a delete the page is clamped to it), then Refresh.
    void RowsChanged();
    // Table row of the current slot; -1 without one.
    int CurrentTableRow() const { return m_currentRow > 0 ? TableRow(m_currentRow) : -1; }
    // The grid's row count follows the working copy.
    void SyncRowCount() { m_rowCount = WorkingCount(); }
    // Start of every grid: the first row current (in `column`), the page
    // refreshed; no current cell for an empty table.
    void StartAtFirstRow(int column = 1);
    // The steps of Apply after its validation.
    void ApplySteps();
    // "Apply", "Cancel"/"Close" and the current-row buttons.
    void UpdateButtons();
    // A row check's message: plain box, OK button, no icon.
    static void RowMessage(const std::string& text);
    static std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // How the target text of an action or material row is looked up: a
    // number (it begins with 1..9, or with "0" on the current slot when the
    // page goes on with a move or a write: the placeholder of a new row), a
    // set name (any other text, the empty one too), or not yet (the
    // placeholder while its row is being typed).
    enum class TargetKind { Number, SetName, Placeholder };
    TargetKind ClassifyTarget(int slot, const std::string& text) const;
    // A target, set name or list item the model file must store as one word:
    // a blank in it, or more than `limit` characters, is refused with a
    // message naming the row and the rule (1); the row about to be deleted
    // passes.
    int CheckWord(int slot, const char* what, const std::string& text, std::size_t limit = modelfile::kMaxWordLength);
    // A node (kind 1) or element (kind 2) renumbered from `old` that a
    // target or set names by its number would leave them naming nothing:
    // refused with a message naming where it is used (1); 0 otherwise.
    int CheckRenumbering(int kind, int old, int number);
    // The message for a number item that is more than digits, naming the
    // item and the row, with `hint` on its own line; 1.
    int MalformedItemMessage(int slot, const char* noun, const std::string& item, const char* hint);
    // The focus moved between the cells of this slot: its row is being typed
    // and is checked once it is left, or on a button.
    bool RowBeingTyped(int slot) const { return Reason() == kReasonNone && slot == m_currentRow; }
    // The running validation is for a Tab that stays in the current row.
    bool TabWithinRow() const { return m_tabInRow; }
    // The current slot under a delete: its undefined target is not reported.
    bool DeletingSlot(int slot) const { return Reason() == kReasonDelete && slot == m_currentRow; }

    // A pick from the view into the current slot. BeginPick: false without a
    // current slot or when a cell does not read (its message shown); the
    // cells are read first, so what was typed since the last check stays.
    // EndPick: the values back into the cells and the focus to `column` of
    // the current slot, which becomes the current cell (programmatic focus
    // sends no notification), checked and refreshed when it changed.
    bool BeginPick();
    void EndPick(int column);

    // The 0-based table row other than the slot's own whose key equals the
    // slot's key: rows above the page, then the other slots as typed, then
    // rows below the page; -1 when none.
    template <class Key, class RowKey, class SlotKey>
    int FindDuplicate(int slot, const Key& key, RowKey rowKey, SlotKey slotKey) const {
        const int visible = VisibleRows();
        for (int j = 0; j < m_firstVisibleRow; ++j)
            if (rowKey(j) == key) return j;
        for (int k = 1; k <= visible; ++k)
            if (k != slot && slotKey(k) == key) return TableRow(k);
        for (int j = m_firstVisibleRow + visible; j < m_rowCount; ++j)
            if (rowKey(j) == key) return j;
        return -1;
    }

    ModelData* Model() const;

    DocHost* m_doc = nullptr;
    ViewHost* m_view = nullptr;
    // Set at each (re)opening of a grid that asks for it: the first refresh
    // that highlights a row has the view rebuild its scene once.
    bool m_reload = false;

private:
    // The bar over the rows beyond one page; hidden when they fit.
    void ShowScrollBar();
    // The first `used` slots shown, the others hidden.
    void ShowSlots(int used);
    // Whether a Tab from the current cell lands in the same table row.
    bool TabStaysInRow();
    int m_reason = kReasonNone;
    bool m_tabInRow = false;
    // A cell was typed in since the last Refresh put the page's values in.
    bool m_typed = false;
};
