#include "viz/ui/DlgSectionCut.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/DataTable.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"
#include "viz/ui/ModelessOpen.h"

namespace {

// The division list; the table stores the position in it.
const char* const kDivisions[] = {"2", "3", "4", "5", "6"};
constexpr int kDefaultLines = 2;
constexpr double kShortestLine = 1e-8;

void StopMessage(const std::string& text) { ui::MessageBox(text, ui::Buttons::Ok, ui::Icon::Stop); }

struct Line {
    double sy, sz, ey, ez;
};

Line LineAt(const CutLineTable& t, int i) { return {t.GetStartY(i), t.GetStartZ(i), t.GetEndY(i), t.GetEndZ(i)}; }

// True when the working table holds other lines or options than the stored one.
bool DiffersFromStored(const ModelData& model) {
    const CutLineTable* working = model.GetCutLineTable();
    const CutLineTable* stored = model.GetCutLineDataTable();
    if (!working || !stored) return working != stored;
    if (working->GetCount() != stored->GetCount() ||
        working->GetInterpolationOption() != stored->GetInterpolationOption() ||
        working->GetSegmentDivisionCode() != stored->GetSegmentDivisionCode())
        return true;
    for (int i = 0; i < working->GetCount(); ++i) {
        const Line a = LineAt(*working, i), b = LineAt(*stored, i);
        if (a.sy != b.sy || a.sz != b.sz || a.ey != b.ey || a.ez != b.ez) return true;
    }
    return false;
}

}  // namespace

CDlgSectionCut::CDlgSectionCut(ui::Window* parent) : TDialog(IDD, parent) {
    m_rowsPerPage = kRowsPerPage;
    m_columns = kColumns;
    for (int c = 1; c <= kColumns; ++c) {
        OnNotifyRange(ui::Notify::SetFocus, CellId(1, c), CellId(kRowsPerPage, c),
                      [this, c](ui::Notification& n) { OnSetFocusCell(n.id - CellId(1, c) + 1, c); });
        OnNotifyRange(ui::Notify::Change, CellId(1, c), CellId(kRowsPerPage, c),
                      [this, c](ui::Notification& n) { OnChangeCell(n.id - CellId(1, c) + 1, c); });
    }
    OnClicked(IDC_ADD_CUT_LINE, [this] { OnAddCutLine(); });
    OnClicked(IDC_DEL_CUT_LINE, [this] { DeleteCutLine(); });
    OnClicked(ui::IDOK, [this] { OnBnClickedOk(); });
    OnClicked(IDC_APPLY, [this] { OnApply(); });
    OnClicked(ui::IDCANCEL, [this] { OnBnClickedCancel(); });
    OnClicked(IDC_INTEGRATION_POINT, [this] { OnIntegrationPoint(); });
    OnClicked(IDC_NODE, [this] { OnNode(); });
    OnNotify(ui::Notify::SelChange, IDC_DIVISION, [this] { OnSelChangeDivision(); });
}

std::unique_ptr<CDlgSectionCut> CDlgSectionCut::Open(DocHost* doc, ViewHost* view, ui::Window* parent) {
    if (ModelData* model = doc ? doc->GetModelData() : nullptr) model->CopyCutLines();
    auto dlg = std::make_unique<CDlgSectionCut>(parent);
    dlg->m_pDoc = doc;
    dlg->m_pView = view;
    if (!ShowModelessBelowTemplate(*dlg)) return nullptr;
    return dlg;
}

ui::DialogTemplate CDlgSectionCut::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = IDD;
    t.caption = "Section Cut";
    t.rect = {0, 0, 335, 200};
    auto rowTop = [](int r) { return 34 + 14 * (r - 1); };
    for (int r = 1; r <= kRowsPerPage; ++r)
        for (int c = 1; c <= kColumns; ++c) t.EditBox(CellId(r, c), {28 + 55 * (c - 1), rowTop(r), 52, 12});
    t.Radio(IDC_INTEGRATION_POINT, "Integration Point", {16, 164, 100, 10}, cs::Group);
    t.Radio(IDC_NODE, "Node", {16, 178, 100, 10});
    t.Combo(IDC_DIVISION, {150, 162, 48, 80});
    t.DefPushButton(IDOK, "OK", {272, 34, 55, 14});
    t.PushButton(IDCANCEL, "Cancel", {272, 52, 55, 14});
    t.PushButton(IDC_APPLY, "Apply", {272, 70, 55, 14});
    t.PushButton(IDC_ADD_CUT_LINE, "Add Cut Line", {272, 100, 55, 14});
    t.PushButton(IDC_DEL_CUT_LINE, "Del Cut Line", {272, 118, 55, 14});
    t.Label(IDSTATIC, "Start Point", {28, 8, 107, 8}, cs::CenterText);
    t.Label(IDSTATIC, "End Point", {138, 8, 107, 8}, cs::CenterText);
    for (int r = 1; r <= kRowsPerPage; ++r) t.Label(CellId(r, 0), std::to_string(r), {6, rowTop(r) + 2, 18, 8});
    const char* heads[] = {"coordinate y", "coordinate z", "coordinate y", "coordinate z"};
    for (int c = 1; c <= kColumns; ++c) t.Label(IDSTATIC, heads[c - 1], {28 + 55 * (c - 1), 20, 52, 8}, cs::CenterText);
    t.VScrollBar(IDC_SCROLL_BAR, {250, 34, 10, 14 * kRowsPerPage - 2});
    t.Group(IDSTATIC, "Interpolation Option", {8, 152, 125, 42});
    t.Label(IDSTATIC, "Segment division", {150, 152, 70, 8});
    return t;
}

void CDlgSectionCut::DoDataExchange(ui::DataExchange& dx) {
    TDialog::DoDataExchange(dx);
    for (int r = 1; r <= kRowsPerPage; ++r)
        for (int c = 1; c <= kColumns; ++c) dx.Text(CellId(r, c), m_values[r - 1][c - 1]);
    dx.Radio(IDC_INTEGRATION_POINT, m_option);
    dx.ComboIndex(IDC_DIVISION, m_division);
}

ModelData* CDlgSectionCut::Model() const { return m_pDoc ? m_pDoc->GetModelData() : nullptr; }

CutLineTable* CDlgSectionCut::Table() const {
    ModelData* model = Model();
    return model ? model->GetCutLineTable() : nullptr;
}

int CDlgSectionCut::VisibleRows() const { return std::min(kRowsPerPage, m_cutLineCount); }

ui::Control* CDlgSectionCut::GetCellWnd(int line, int column) {
    if (line < 1 || line > kRowsPerPage || column < 1 || column > kColumns) return nullptr;
    return GetDlgItem(CellId(line, column));
}

void CDlgSectionCut::RepaintView() {
    if (m_pView) m_pView->RepaintView();
}

void CDlgSectionCut::EnableApply(bool enable) {
    if (ui::Control* apply = GetDlgItem(IDC_APPLY)) apply->EnableWindow(enable);
}

CDlgSectionCut::AppliedState CDlgSectionCut::WorkingState() const {
    AppliedState state;
    state.option = m_option;
    state.division = m_division;
    const CutLineTable* table = Table();
    for (int i = 0; table && i < table->GetCount(); ++i) {
        const Line l = LineAt(*table, i);
        state.lines.push_back({l.sy, l.sz, l.ey, l.ez});
    }
    return state;
}

// Apply is enabled while the lines or the options differ from those last
// applied: after a line is added, deleted or edited.
void CDlgSectionCut::UpdateApply() {
    const AppliedState now = WorkingState();
    EnableApply(now.lines != m_applied.lines || now.option != m_applied.option || now.division != m_applied.division);
}

// A cell typed into: Apply is enabled while its text reads other than the
// line's value (a text that is no number is refused by Apply).
void CDlgSectionCut::OnChangeCell(int row, int column) {
    const CutLineTable* table = Table();
    const int line = LineOfRow(row);
    double typed = 0.0;
    if (!table || line < 1 || line > table->GetCount() ||
        !ui::ParseDouble(GetDlgItemText(CellId(row, column)), typed)) {
        EnableApply(true);
        return;
    }
    const Line l = LineAt(*table, line - 1);
    const double shown[] = {l.sy, l.sz, l.ey, l.ez};
    if (typed != shown[column - 1])
        EnableApply(true);
    else
        UpdateApply();
}

// ---------------------------------------------------------------------------
// Opening, page and commit

bool CDlgSectionCut::OnInitDialog() {
    TDialog::OnInitDialog();
    const CutLineTable* table = Table();
    m_cutLineCount = table ? table->GetCount() : 0;
    m_option = table ? std::clamp(table->GetInterpolationOption() - 1, 0, 1) : 0;
    m_division = table ? std::clamp(table->GetSegmentDivisionCode(), 0, 4) : 2;
    m_firstVisibleRow = 0;
    m_currentRow = 1;
    m_currentColumn = 1;
    m_rowCount = m_cutLineCount;
    if (auto* list = Get<ui::ComboBox>(IDC_DIVISION)) {
        list->ResetContent();
        for (const char* d : kDivisions) list->AddString(d);
        list->SetCurSel(m_division);
    }
    m_committedOption = m_option;
    m_committedDivision = m_division;
    m_applied = WorkingState();
    if (m_pView) m_pView->ShowCutLines(true);
    UpdateData(false);
    Refresh();
    EnableApply(false);
    // The refresh has put the focus into the current cell when there is one.
    return VisibleRows() == 0;
}

void CDlgSectionCut::ShowRow(int row, bool show) {
    const bool readOnly = LineOfRow(row) <= kDefaultLines;
    for (int c = 0; c <= kColumns; ++c) {
        ui::Control* control = GetDlgItem(CellId(row, c));
        if (!control) continue;
        control->ShowWindow(show);
        if (auto* edit = dynamic_cast<ui::Edit*>(control)) edit->SetReadOnly(readOnly);
    }
}

void CDlgSectionCut::Refresh() {
    if (m_firstVisibleRow < 0) m_firstVisibleRow = 0;
    const int visible = VisibleRows();
    if (auto* bar = Get<ui::ScrollBar>(IDC_SCROLL_BAR)) {
        bar->ShowWindow(m_cutLineCount > kRowsPerPage);
        if (m_cutLineCount > kRowsPerPage) {
            bar->SetScrollRange(0, m_cutLineCount - kRowsPerPage);
            bar->SetScrollPos(m_firstVisibleRow);
        }
    }
    const CutLineTable* table = Table();
    for (int r = 1; r <= kRowsPerPage; ++r) {
        ShowRow(r, r <= visible);
        if (r > visible || !table) continue;
        SetDlgItemText(CellId(r, 0), std::to_string(LineOfRow(r)));
        const Line l = LineAt(*table, LineOfRow(r) - 1);
        m_values[r - 1] = {l.sy, l.sz, l.ey, l.ez};
    }
    // The cells show the values before the current one takes the focus, so
    // that its whole new text is selected.
    UpdateData(false);
    if (m_currentRow > 0 && m_currentRow <= visible) FocusCell(m_currentRow, m_currentColumn);
}

int CDlgSectionCut::Validate() {
    UpdateData(true);
    CutLineTable* table = Table();
    m_committedOption = m_option;
    m_committedDivision = m_division;
    if (table) {
        table->SetInterpolationOption(m_option + 1);
        table->SetSegmentDivisionCode(m_division);
        for (int r = 1; r <= VisibleRows(); ++r) {
            const int i = LineOfRow(r) - 1;
            if (i >= table->GetCount()) break;
            table->SetStartY(i, m_values[r - 1][0]);
            table->SetStartZ(i, m_values[r - 1][1]);
            table->SetEndY(i, m_values[r - 1][2]);
            table->SetEndZ(i, m_values[r - 1][3]);
        }
    }
    UpdateApply();
    return 0;
}

// ---------------------------------------------------------------------------
// Focus and highlight

void CDlgSectionCut::FocusCell(int row, int column) {
    ui::Control* cell = GetCellWnd(row, column);
    if (!cell) return;
    const bool held = GetFocus() == cell;
    GotoDlgCtrl(cell);
    if (!held) OnSetFocusCell(row, column);
}

void CDlgSectionCut::OnSetFocusCell(int row, int column) {
    SetCurrentCell(row, column);
    HighlightCutLine(row);
    RepaintView();
}

void CDlgSectionCut::HighlightCutLine(int row) {
    CutLineTable* table = Table();
    if (!table) return;
    for (int i = 0; i < table->GetCount(); ++i) table->SetHighlight(i, 0);
    const int line = row > 0 ? LineOfRow(row) : 0;
    if (line >= 1 && line <= table->GetCount()) table->SetHighlight(line - 1, 1);
}

// ---------------------------------------------------------------------------
// Row buttons

void CDlgSectionCut::OnAddCutLine() {
    Validate();
    const int count = m_cutLineCount;
    m_firstVisibleRow = count - (kRowsPerPage - 1);
    if (m_firstVisibleRow < 0) {
        m_firstVisibleRow = 0;
        m_currentRow = count + 1;
    } else {
        m_currentRow = kRowsPerPage;
    }
    m_currentColumn = 1;
    UpdateData(false);
    ModelData* model = Model();
    CutLineTable* table = Table();
    if (model && table) {
        // The box diagonal, lengthened by a tenth of the box at each end.
        const double dy = model->GetMaxY() - model->GetMinY();
        const double dz = model->GetMaxZ() - model->GetMinZ();
        table->AddCutLineRow(model->GetMinY() - dy / 10, model->GetMinZ() - dz / 10, model->GetMaxY() + dy / 10,
                             model->GetMaxZ() + dz / 10);
        table->CountCutLineRows();
        table->RebuildCutLineIndex();
        m_cutLineCount = table->GetCount();
    }
    m_rowCount = m_cutLineCount;
    if (m_pView) m_pView->ShowCutLines(true);
    Refresh();
    UpdateApply();
    RepaintView();
}

void CDlgSectionCut::DeleteCutLine() {
    if (m_currentRow <= 0) return;
    const int line = LineOfRow(m_currentRow);
    CutLineTable* table = Table();
    if (line <= kDefaultLines) {
        StopMessage("Default cutlines are not deletable");
    } else if (table && line <= table->GetCount()) {
        table->RemoveCutLineRow(line - 1);
        m_cutLineCount = table->GetCount();
        m_rowCount = m_cutLineCount;
        ClampScroll();
    }
    if (m_pView) m_pView->ShowCutLines(true);
    Refresh();
    UpdateApply();
    RepaintView();
}

// ---------------------------------------------------------------------------
// Options and keys

void CDlgSectionCut::OptionChanged(int option) {
    m_option = option;
    HighlightCutLine(0);
    if (m_option != m_committedOption && m_pDoc) m_pDoc->SetModifiedFlag(true);
    UpdateApply();
    RepaintView();
}

void CDlgSectionCut::OnIntegrationPoint() { OptionChanged(0); }

void CDlgSectionCut::OnNode() { OptionChanged(1); }

void CDlgSectionCut::OnSelChangeDivision() {
    UpdateData(true);
    if (m_division != m_committedDivision && m_pDoc) m_pDoc->SetModifiedFlag(true);
    HighlightCutLine(0);
    Refresh();
    UpdateApply();
    RepaintView();
}

bool CDlgSectionCut::PreTranslateMessage(const ui::Message& msg) {
    if (msg.type == ui::Message::KeyDown && msg.key == ui::key::Enter) {
        // Enter puts the working table back on the page; the dialog stays.
        Refresh();
        UpdateApply();
        RepaintView();
        return true;
    }
    return TDialog::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------
// Checks, Apply, OK and Cancel

int CDlgSectionCut::FirstZeroLengthLine() const {
    const CutLineTable* table = Table();
    for (int i = 0; table && i < table->GetCount(); ++i) {
        const Line l = LineAt(*table, i);
        if (std::sqrt((l.sy - l.ey) * (l.sy - l.ey) + (l.sz - l.ez) * (l.sz - l.ez)) < kShortestLine) return i;
    }
    return -1;
}

int CDlgSectionCut::FirstLineInsideTheBox() const {
    const ModelData* model = Model();
    const CutLineTable* table = Table();
    if (!model) return -1;
    for (int i = 0; table && i < table->GetCount(); ++i) {
        const Line l = LineAt(*table, i);
        const bool endsInside = std::max(l.sy, l.ey) < model->GetMaxY() && std::max(l.sz, l.ez) < model->GetMaxZ();
        const bool startsInside = std::min(l.sy, l.ey) > model->GetMinY() && std::min(l.sz, l.ez) > model->GetMinZ();
        if (endsInside || startsInside) return i;
    }
    return -1;
}

int CDlgSectionCut::FirstReversedLine() const {
    const CutLineTable* table = Table();
    for (int i = 0; table && i < table->GetCount(); ++i) {
        const Line l = LineAt(*table, i);
        if (l.sy > l.ey || l.sz > l.ez) return i;
    }
    return -1;
}

void CDlgSectionCut::ShowFailingLine(int line) {
    if (line <= m_firstVisibleRow) {
        m_firstVisibleRow = line - 1;
    } else if (line > m_firstVisibleRow + kRowsPerPage) {
        m_firstVisibleRow = line - kRowsPerPage;
    }
    m_currentRow = line - m_firstVisibleRow;
    m_currentColumn = 1;
    Refresh();
    // The cell may have held the focus already: the line is marked either way.
    HighlightCutLine(m_currentRow);
    RepaintView();
}

int CDlgSectionCut::CheckCutLine() {
    UpdateData(true);
    struct Check {
        int (CDlgSectionCut::*first)() const;
        const char* message;
    };
    const Check checks[] = {
        {&CDlgSectionCut::FirstZeroLengthLine, "Cutline can not be set with zero length"},
        {&CDlgSectionCut::FirstLineInsideTheBox, "End coordinates of cutline can not locate inside of mesh"},
        {&CDlgSectionCut::FirstReversedLine, "Cutline starts from left-top to right-bottom only."},
    };
    for (const Check& c : checks) {
        const int failing = (this->*c.first)();
        if (failing < 0) continue;
        StopMessage(c.message);
        ShowFailingLine(failing + 1);
        return 1;
    }
    return 0;
}

void CDlgSectionCut::OnApply() {
    Validate();
    if (CheckCutLine()) return;
    m_applied = WorkingState();
    EnableApply(false);
    m_touched = 1;
    if (m_pView) m_pView->RebuildScene();
    if (m_pDoc) m_pDoc->UpdateAllViews();
    Refresh();
}

// The lines reach the model's stored table (and the solver) only when they
// pass the checks that Apply runs.
void CDlgSectionCut::OnBnClickedOk() {
    Validate();
    if (CheckCutLine()) return;
    ModelData* model = Model();
    const bool changed = model && DiffersFromStored(*model);
    if (m_pView) {
        m_pView->ShowCutLines(false);
        m_pView->RebuildScene();
        m_pView->StoreCutLines();
        m_pView->RepaintView();
    }
    if (changed && m_pDoc) m_pDoc->SetModifiedFlag(true);
    TDialog::OnOK();
}

void CDlgSectionCut::OnBnClickedCancel() {
    if (m_pView) {
        m_pView->ShowCutLines(false);
        m_pView->RepaintView();
    }
    TDialog::OnCancel();
}
