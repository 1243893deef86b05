// The modeless "X-Y Plot" tool window: one result quantity as an X-Y curve,
// either along a section-cut line (the cut results the analysis wrote) or
// along a node path (the nodal results of step 1). Two radios pick the mode,
// two lists the line or path and the quantity; colour, width, grid and
// markers are options of the embedded full chart. Selecting a node path
// marks its nodes in the view.
//
// The dialog has no grid rows: of the grid base it takes only the modeless
// creation, the key handling and the data exchange. The window has the
// sizing border; the chart fills the area right of the option group.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uibase/Hosts.h"
#include "uibase/TDialog.h"
#include "viz/ui/CurvePlot.h"

class ModelData;

class CDlgXYPlot : public TDialog {
public:
    enum {
        IDD = 4121,
        IDC_CHART = 4200,
        IDC_ITEM_LIST,
        IDC_SELECTION_LABEL,
        IDC_VARIABLE_LIST,
        IDC_OPTION_GROUP,
        IDC_WIDTH_LIST,
        IDC_X_GRID,
        IDC_Y_GRID,
        IDC_LINE_COLOR,
        IDC_CUT_LINE_MODE,
        IDC_NODE_PATH_MODE,
        IDC_MARKER,
        IDC_NOTE,  // what the plot cannot show, and what to do about it
    };
    // The Close button.
    static constexpr int IDC_CLOSE = ui::IDOK;

    explicit CDlgXYPlot(ui::Window* parent = nullptr);
    ~CDlgXYPlot() override;

    // What the document's X-Y plot command does: a new dialog for the
    // document and view, created modeless, moved 50 pixels down from its
    // template position and shown. Null when the window could not be made.
    static std::unique_ptr<CDlgXYPlot> Open(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnSize(int cx, int cy) override;
    void OnOK() override;
    void OnCancel() override;

    // Handlers.
    void OnLineColor();
    void OnSelChangeLineWidth();
    void OnSelChangeItem();
    void OnSelChangeVariable();
    void OnShowGrid();
    void OnShowMarker();
    void OnClose();
    void OnCutLineMode();
    void OnNodePathMode();

    // The apply step: radios and label of the mode, the curve, red line of
    // width 2 (solid along cut lines, dashed along node paths), the chart's
    // place, the hand-over and, along node paths, the path's highlight.
    void UpdateSourceControls();
    // The curve of the selected line or path and quantity, with its texts.
    void BuildCurves();

    CCurvePlot& Chart() { return m_chart; }

    DocHost* m_pDoc = nullptr;
    ViewHost* m_pView = nullptr;

    int m_cutLineCount = 0;
    int m_variableCount = 9;
    int m_pointCount = 0;
    int m_itemIndex = 0;
    int m_variableIndex = 0;
    int m_widthIndex = 1;
    int m_xGrid = 1;
    int m_yGrid = 1;
    int m_marker = 0;
    std::vector<double> m_xValues;
    std::vector<double> m_yValues;
    std::string m_title;
    std::string m_yCaption;
    std::string m_xCaption;
    int m_mode = 1;  // 1 cut lines, 2 node paths
    int m_nodePathCount = 0;
    // The node path whose unknown nodes were last reported; -1 none.
    int m_unknownNodesShownFor = -1;
    std::vector<int> m_quantityCodes;
    std::vector<std::string> m_quantityNames;

private:
    ModelData* DocModel() const;
    ModelData* ViewModel() const;
    void ShowModeControls();
    // The note under the options: a model without node paths, cut lines
    // changed since the analysis; empty otherwise.
    std::string NoteText() const;
    // Empties the item and variable lists and fills the width list; false
    // when the template lacks one of them.
    bool EmptyLists();
    // The first item and variable selected, members to controls.
    void SelectFirstEntries();
    void BuildCutLineCurve();
    void BuildNodePathCurve();
    // The curve to the chart with the given point count; repaints the chart.
    void HandOver(int count);
    // The curve of the current options to the chart (the handlers' end).
    void HandOverCurve();
    // What every option handler does: the controls read, its own step, the
    // curve built and handed to the chart.
    void RefreshCurve(const std::function<void()>& afterRead = {});
    // Highlights the nodes of the path at the position; false when none.
    bool HighlightNodePath(int position);
    void ClearHighlight();
    // Places the chart right of the option group over the client area, in
    // steps of ten pixels; it never reaches past the client area, whatever
    // size the screen leaves the window.
    void PlaceChart(int cx, int cy);
    ui::CustomControl* ChartControl() const;

    CCurvePlot m_chart;
};
