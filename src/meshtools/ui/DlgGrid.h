// "Grid X direction" / "Grid Y direction": the spans of one grid-line
// direction of a general-spacing slab, as a grid dialog of 10 rows over a
// private copy of the model's grid-line table (row number = divisions, first
// value = span length, second value = total length up to and including the
// span). OK stores the copy in the model; Cancel drops it.
//
// Moves over the grid, the scroll bar and the row buttons validate the page
// first (ApplyToTable, which takes every typed value); OK refuses a span
// without 1 .. 100000000 divisions or with a length not above 0.
#pragma once

#include <memory>

#include "uibase/TDialog.h"
#include "model/DataTable.h"

class ModelData;

class DlgGrid : public TDialog {
public:
    static constexpr int kTemplateId = 322;
    static constexpr int kRows = 10;
    static constexpr int kMaxDivisions = 100000000;
    enum {
        IDC_ROW = 1100,        // + line - 1: the row-number labels
        IDC_DIVISIONS = 1200,  // + line - 1
        IDC_SPAN = 1300,       // + line - 1
        IDC_TOTAL = 1400,      // + line - 1, always disabled
        IDC_COUNT = 1500,
        IDC_SCROLL,
        IDC_ADD_SPAN,
        IDC_INSERT_SPAN,
        IDC_DELETE_SPAN,
    };

    // direction 1 or 2; the model stays the caller's.
    DlgGrid(ModelData* model, int direction, ui::Window* parent = nullptr);
    ~DlgGrid() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;

    void Refresh() override;
    int Validate() override { return ApplyToTable(); }
    ui::Control* GetCellWnd(int line, int column) override;

    // Writes the page into the working copy and the running totals; 0, or 1
    // when a cell does not hold a number (reported; the spans themselves are
    // checked at OK).
    int ApplyToTable();

    const NodeTable* WorkingCopy() const { return copy_.get(); }

private:
    void OnAddSpan();
    void OnInsertSpan();
    void OnDeleteSpan();
    void OnCellFocus(int line, int column);
    // First row that OK refuses: its message shown and its cell focused.
    bool CheckSpans();
    void FocusRow(int row, int column);
    void UpdateTotals();
    int FilledLines() const;

    ModelData* model_;
    int direction_;
    std::unique_ptr<NodeTable> copy_;
    int divisions_[kRows] = {};
    double span_[kRows] = {};
    double total_[kRows] = {};
};
