// The modeless "Section Cut" grid: the model's cut lines, a page of eight
// rows of start and end coordinates over the model's working cut-line table,
// with the interpolation option and the segment division of the cut results.
//
// The working table is drawn in the view while the dialog is open; the
// focused row's line is drawn highlighted. Every change of the current cell
// commits the page into the working table. Apply checks the lines and
// refreshes the views; OK checks them too and then stores the working table
// as the model's cut lines (through the view); Cancel keeps the stored table.
// The first two lines are the model's default cut lines: shown read-only and
// never deleted.
//
// The checks, in this order, each over all lines and stopping at the first
// failure: a line of (almost) zero length; a line that does not start at or
// beyond the lower edge of the model box in y or z and end at or beyond its
// upper edge; a line that runs right to left or bottom to top. The failing
// line is scrolled onto the page and becomes the current row.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "uibase/Hosts.h"
#include "uibase/TDialog.h"

class CutLineTable;
class ModelData;

class CDlgSectionCut : public TDialog {
public:
    static constexpr int kRowsPerPage = 8;
    static constexpr int kColumns = 4;
    enum {
        IDD = 4130,
        IDC_INTEGRATION_POINT = 4400,
        IDC_NODE,
        IDC_DIVISION,
        IDC_APPLY,
        IDC_ADD_CUT_LINE,
        IDC_DEL_CUT_LINE,
        IDC_SCROLL_BAR,
    };
    // Edit cell of page row r (1..8) and column c (1 start y, 2 start z,
    // 3 end y, 4 end z); the row label of r is CellId(r, 0).
    static constexpr int CellId(int row, int column) { return 4300 + 10 * column + row - 1; }

    explicit CDlgSectionCut(ui::Window* parent = nullptr);

    // What the document's Section Cut command does: the stored cut lines
    // are copied into the working table, a new dialog is created modeless,
    // moved 50 pixels down from its template position and shown. Null when
    // the window could not be made.
    static std::unique_ptr<CDlgSectionCut> Open(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool PreTranslateMessage(const ui::Message& msg) override;

    // Grid slots.
    void Refresh() override;
    // Commits the page and the two options into the working table; never fails.
    int Validate() override;
    ui::Control* GetCellWnd(int line, int column) override;

    // Handlers.
    void OnAddCutLine();
    void DeleteCutLine();
    // Focus entered the cell of page row r and column c.
    void OnSetFocusCell(int row, int column);
    void OnApply();
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnIntegrationPoint();
    void OnNode();
    void OnSelChangeDivision();

    // Shows or hides page row r; the rows of lines 1 and 2 are read-only.
    void ShowRow(int row, bool show);
    // Focus to the cell with its whole text selected. When the cell did not
    // hold the focus, the focus step of the cell runs as if the user had
    // moved there.
    void FocusCell(int row, int column);
    // Clears the highlight of every line and sets it on the line shown in
    // page row r (none for r <= 0).
    void HighlightCutLine(int row);
    // The three checks; 1 after a failure (message shown, the failing line
    // current), 0 when every line passes.
    int CheckCutLine();

    DocHost* m_pDoc = nullptr;
    ViewHost* m_pView = nullptr;

    int m_cutLineCount = 0;
    // Values of the page cells, [row - 1][column - 1].
    std::array<std::array<double, kColumns>, kRowsPerPage> m_values{};
    int m_option = 0;    // 0 "Integration Point", 1 "Node"
    int m_division = 2;  // position in "2" .. "6"
    int m_committedOption = 0;
    int m_committedDivision = 2;

private:
    // The lines and options as found at opening or last applied: Apply is
    // enabled while the dialog holds others.
    struct AppliedState {
        std::vector<std::array<double, kColumns>> lines;
        int option = 0;
        int division = 2;
    };
    AppliedState WorkingState() const;
    void UpdateApply();
    void OnChangeCell(int row, int column);
    AppliedState m_applied;

    ModelData* Model() const;
    CutLineTable* Table() const;
    int VisibleRows() const;
    // Page row r shows line first + r (1-based).
    int LineOfRow(int row) const { return m_firstVisibleRow + row; }
    // The failing line (1-based) onto the page as the current row, column 1,
    // with the focus in its start-y cell.
    void ShowFailingLine(int line);
    // The index (0-based) of the first line that fails the check; -1 when none.
    int FirstZeroLengthLine() const;
    int FirstLineInsideTheBox() const;
    int FirstReversedLine() const;
    // The option changed by the user: the modified mark when it differs
    // from the committed one.
    void OptionChanged(int option);
    void EnableApply(bool enable);
    void RepaintView();
};
