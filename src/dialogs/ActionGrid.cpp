#include "dialogs/ActionGrid.h"

ActionGrid::ActionGrid(int templateId, DocHost* doc, ViewHost* view, int rowsPerPage, int columns)
    : GridPage(templateId, doc, view, rowsPerPage, columns) {
    m_reload = true;
    OnClicked(IDC_SORT, [this] { OnBnClickedSort(); });
    OnClicked(IDC_ADD_ROW, [this] { OnBnClickedAddRow(); });
    OnClicked(IDC_INSERT_ROW, [this] { OnBnClickedInsertRow(); });
    OnClicked(IDC_DELETE_ROW, [this] { OnBnClickedDeleteRow(); });
}

void ActionGrid::OnBnClickedSort() {
    if (!ValidateFor(kReasonNone)) return;
    SortWorkingCopy();
    Refresh();
}

void ActionGrid::AddButtonColumn(ui::DialogTemplate& t, int left) {
    const int x = left + 6, w = 58;
    t.DefPushButton(ui::IDOK, "OK", {x, 8, w, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {x, 26, w, 14});
    t.PushButton(kApplyId, "Apply", {x, 44, w, 14});
    t.PushButton(IDC_SORT, "Sort", {x, 66, w, 14});
    t.PushButton(IDC_ADD_ROW, "Add Row", {x, 84, w, 14});
    t.PushButton(IDC_INSERT_ROW, "Insert Row", {x, 102, w, 14});
    t.PushButton(IDC_DELETE_ROW, "Delete Row", {x, 120, w, 14});
    t.Label(ui::IDSTATIC, "Number of", {x, 140, w, 8}, ui::cs::CenterText);
    t.Label(ui::IDSTATIC, "Rows", {x, 149, w, 8}, ui::cs::CenterText);
    t.Label(kCountLabelId, "", {x + 6, 160, w - 12, 12}, ui::cs::CenterText | ui::cs::Border);
    t.PushButton(IDC_NONE, "None", {x, 160, w, 14}, ui::cs::Hidden);
}
