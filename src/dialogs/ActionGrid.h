// What the action grids (nodal, concentrated and edge actions) share beyond
// the grid page: their column of buttons ("OK", "Cancel", "Apply", "Sort",
// "Add Row", "Insert Row", "Delete Row", the row count under "Number of"
// "Rows", and the hidden "None") and the handlers of the row buttons.
#pragma once

#include "dialogs/GridPage.h"

class ActionGrid : public GridPage {
public:
    enum {
        IDC_SORT = 2910,
        IDC_ADD_ROW,
        IDC_INSERT_ROW,
        IDC_DELETE_ROW,
        IDC_NONE,
        kFirstOwnId,  // the first id a derived grid may use
    };

    ActionGrid(int templateId, DocHost* doc, ViewHost* view, int rowsPerPage, int columns);

    virtual void OnBnClickedAddRow() = 0;
    virtual void OnBnClickedInsertRow() = 0;
    virtual void OnBnClickedDeleteRow() = 0;
    // Validates the page, sorts the working copy, refreshes.
    void OnBnClickedSort();

protected:
    // The buttons and the row count, in a column at `left` (dialog units).
    static void AddButtonColumn(ui::DialogTemplate& t, int left);
    // The working copy's own order for "Sort".
    virtual void SortWorkingCopy() = 0;
    std::vector<int> CurrentRowButtons() const override { return {IDC_INSERT_ROW, IDC_DELETE_ROW}; }
};
