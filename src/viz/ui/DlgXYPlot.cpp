#include "viz/ui/DlgXYPlot.h"

#include <algorithm>
#include <functional>

#include "model/DataTable.h"
#include "model/ModelData.h"
#include "model/ModelLists.h"
#include "platform/ui/Services.h"
#include "viz/ui/ModelessOpen.h"
#include "viz/ui/ResultDialogSupport.h"

namespace {

const ui::Color kRed = ui::Rgb(255, 0, 0);

// Names of the cut results' value columns in the title, by column.
const char* const kCutLineNames[] = {
    "Deflection w",       "Rotation Angle theta_y", "Rotation Angle theta_z",
    "Flexural Moment My", "Flexural Moment Mz",     "Torsional Moment Myz",
    "Shear Force Q_y",    "Shear Force Q_z",        "Soil Pressure on Slab",
};

// Node-path quantities: the nodal reaction of the soil stiffness, the force
// in the nonlinear spring (result columns 24 and 25), and their sum.
constexpr int kSumOfReactions = 26;
struct NodePathQuantity {
    int code;
    const char* listName;
    const char* titleName;
    const char* yCaption;
};
const NodePathQuantity kNodePathQuantities[] = {
    {24, "discrete nodal Rx", "Discrete Soil Reaction", "Nodal Rx"},
    {25, "force in nonlinear spring", "Force in Nonlinear Spring", "Force in nonlinear spring"},
    {kSumOfReactions, "Rx + spring force", "Discrete Force Rx + Force in Nonlinear Spring",
     "Force in nonlinear spring"},
};

// Node paths plot the values of this step.
constexpr int kNodePathStep = 1;

// " (Step = n)" in the title of a curve of step n; nothing without a step.
std::string StepCaption(int step) { return step > 0 ? " (Step = " + std::to_string(step) + ")" : std::string(); }

}  // namespace

CDlgXYPlot::CDlgXYPlot(ui::Window* parent) : TDialog(IDD, parent) {
    OnClicked(IDC_LINE_COLOR, [this] { OnLineColor(); });
    OnNotify(ui::Notify::SelChange, IDC_WIDTH_LIST, [this] { OnSelChangeLineWidth(); });
    OnNotify(ui::Notify::SelChange, IDC_ITEM_LIST, [this] { OnSelChangeItem(); });
    OnNotify(ui::Notify::SelChange, IDC_VARIABLE_LIST, [this] { OnSelChangeVariable(); });
    OnClicked(IDC_X_GRID, [this] { OnShowGrid(); });
    OnClicked(IDC_Y_GRID, [this] { OnShowGrid(); });
    OnClicked(IDC_MARKER, [this] { OnShowMarker(); });
    OnClicked(IDC_CLOSE, [this] { OnClose(); });
    OnClicked(IDC_CUT_LINE_MODE, [this] { OnCutLineMode(); });
    OnClicked(IDC_NODE_PATH_MODE, [this] { OnNodePathMode(); });
}

CDlgXYPlot::~CDlgXYPlot() {
    // The chart control must not paint a drawable that is going away.
    if (ui::CustomControl* c = ChartControl()) c->SetDrawable(nullptr);
}

std::unique_ptr<CDlgXYPlot> CDlgXYPlot::Open(DocHost* doc, ViewHost* view, ui::Window* parent) {
    auto dlg = std::make_unique<CDlgXYPlot>(parent);
    dlg->m_pDoc = doc;
    dlg->m_pView = view;
    if (!ShowModelessBelowTemplate(*dlg)) return nullptr;
    return dlg;
}

ui::DialogTemplate CDlgXYPlot::BuildTemplate() const {
    using namespace ui;
    DialogTemplate t;
    t.id = IDD;
    t.caption = "X-Y Plot";
    t.rect = {0, 0, 685, 282};
    t.style = style::Caption | style::SysMenu | style::Resizable | style::ToolWindow;
    t.DefPushButton(IDC_CLOSE, "Close", {7, 262, 50, 14});
    t.CustomBox(IDC_CHART, {164, 7, 514, 269});
    t.Combo(IDC_ITEM_LIST, {15, 55, 119, 135});
    t.Label(IDC_SELECTION_LABEL, "Cut Line Selection", {15, 44, 71, 9});
    t.Combo(IDC_VARIABLE_LIST, {15, 82, 119, 140});
    t.Label(IDSTATIC, "Variables", {15, 72, 38, 9});
    t.Label(IDSTATIC, "Line Color", {15, 111, 58, 8});
    t.Group(IDC_OPTION_GROUP, " X-Y Plot Option ", {7, 14, 148, 168});
    t.Label(IDSTATIC, "Line Width", {83, 111, 54, 10});
    t.Combo(IDC_WIDTH_LIST, {83, 123, 50, 85});
    t.CheckBox(IDC_X_GRID, "Show X Grid", {15, 149, 58, 9});
    t.CheckBox(IDC_Y_GRID, "Show Y Grid", {84, 149, 58, 9});
    t.ColorPicker(IDC_LINE_COLOR, {15, 123, 60, 12});
    t.Radio(IDC_CUT_LINE_MODE, "On CutLine", {15, 25, 49, 10}, cs::Group);
    t.Radio(IDC_NODE_PATH_MODE, "On Node Path", {88, 25, 66, 10});
    t.CheckBox(IDC_MARKER, "Show Marker", {15, 167, 58, 9});
    t.Label(IDC_NOTE, "", {7, 188, 148, 66});
    return t;
}

void CDlgXYPlot::DoDataExchange(ui::DataExchange& dx) {
    TDialog::DoDataExchange(dx);
    dx.ComboIndex(IDC_ITEM_LIST, m_itemIndex);
    dx.ComboIndex(IDC_VARIABLE_LIST, m_variableIndex);
    dx.ComboIndex(IDC_WIDTH_LIST, m_widthIndex);
    dx.Check(IDC_X_GRID, m_xGrid);
    dx.Check(IDC_Y_GRID, m_yGrid);
    dx.Check(IDC_MARKER, m_marker);
}

bool CDlgXYPlot::OnInitDialog() {
    TDialog::OnInitDialog();
    if (ui::CustomControl* c = ChartControl()) c->SetDrawable(&m_chart);
    m_mode = 1;
    m_quantityCodes.clear();
    m_quantityNames.clear();
    for (const NodePathQuantity& q : kNodePathQuantities) {
        m_quantityCodes.push_back(q.code);
        m_quantityNames.push_back(q.listName);
    }
    m_marker = 1;
    if (auto* colour = Get<ui::ColorButton>(IDC_LINE_COLOR)) {
        colour->SetColumnsNumber(5);
        colour->EnableOtherButton(true);
        colour->EnableAutomaticButton(false);
    }
    OnCutLineMode();
    UpdateSourceControls();
    // A tool window: no taskbar button, no icons.
    ModifyStyle(0, ui::style::ToolWindow);
    return true;
}

ModelData* CDlgXYPlot::DocModel() const { return m_pDoc ? m_pDoc->GetModelData() : nullptr; }
ModelData* CDlgXYPlot::ViewModel() const { return m_pView ? m_pView->GetModelData() : nullptr; }

ui::CustomControl* CDlgXYPlot::ChartControl() const { return Get<ui::CustomControl>(IDC_CHART); }

// ---------------------------------------------------------------------------
// Modes

void CDlgXYPlot::ShowModeControls() {
    CheckDlgButton(IDC_CUT_LINE_MODE, m_mode == 1 ? 1 : 0);
    CheckDlgButton(IDC_NODE_PATH_MODE, m_mode == 2 ? 1 : 0);
    SetDlgItemText(IDC_SELECTION_LABEL, m_mode == 1 ? "Cut Line Selection" : "Node path Selection");
    SetDlgItemText(IDC_NOTE, NoteText());
}

// The cut results come from the analysis: a cut line added or removed since
// then is not in them until the analysis runs again.
std::string CDlgXYPlot::NoteText() const {
    if (m_mode == 2) {
        const ModelData* model = ViewModel();
        if (model && model->NodePathCount() == 0)
            return "The model has no node paths. Define one with Input Data > Node Path.";
        return {};
    }
    const ModelData* model = DocModel();
    const CutLineTable* lines = model ? model->GetCutLineDataTable() : nullptr;
    const auto count = [](int n) { return std::to_string(n) + (n == 1 ? " line" : " lines"); };
    if (model && model->HasResults() && lines && lines->GetCount() != model->cutLineCount)
        return "The cut lines have changed since the analysis: the plot shows the " + count(model->cutLineCount) +
               " analysed. Run the analysis again to plot the " + count(lines->GetCount()) + " of the model.";
    return {};
}

bool CDlgXYPlot::EmptyLists() {
    auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST);
    auto* variables = Get<ui::ComboBox>(IDC_VARIABLE_LIST);
    auto* widths = Get<ui::ComboBox>(IDC_WIDTH_LIST);
    if (!items || !variables || !widths) return false;
    items->ResetContent();
    variables->ResetContent();
    widths->ResetContent();
    for (const char* w : {"1", "2", "3", "4", "5"}) widths->AddString(w);
    return true;
}

void CDlgXYPlot::SelectFirstEntries() {
    Get<ui::ComboBox>(IDC_ITEM_LIST)->SetCurSel(0);
    Get<ui::ComboBox>(IDC_VARIABLE_LIST)->SetCurSel(0);
    m_itemIndex = m_variableIndex = 0;
    UpdateData(false);
}

void CDlgXYPlot::OnCutLineMode() {
    m_mode = 1;
    ShowModeControls();
    if (!EmptyLists()) return;
    const ModelData* model = DocModel();
    m_cutLineCount = model ? model->cutLineCount : 0;
    auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST);
    auto* variables = Get<ui::ComboBox>(IDC_VARIABLE_LIST);
    for (int i = 1; i <= m_cutLineCount; ++i) items->AddString("Cutline " + std::to_string(i));
    m_variableCount = model ? static_cast<int>(model->cutColumnNames.size()) : 0;
    for (int v = 0; v < m_variableCount; ++v) variables->AddString(model->cutColumnNames[v]);
    SelectFirstEntries();
    UpdateSourceControls();
    ClearHighlight();
}

void CDlgXYPlot::OnNodePathMode() {
    m_mode = 2;
    m_unknownNodesShownFor = -1;
    CheckDlgButton(IDC_CUT_LINE_MODE, 0);
    CheckDlgButton(IDC_NODE_PATH_MODE, 1);
    if (!EmptyLists()) return;
    const ModelData* model = ViewModel();
    m_nodePathCount = model ? model->NodePathCount() : 0;
    auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST);
    auto* variables = Get<ui::ComboBox>(IDC_VARIABLE_LIST);
    for (int i = 0; i < m_nodePathCount; ++i)
        if (const NodePath* path = model->NodePathAt(i)) items->AddString(path->name);
    for (const std::string& name : m_quantityNames) variables->AddString(name);
    HighlightNodePath(0);
    SelectFirstEntries();
    UpdateSourceControls();
}

void CDlgXYPlot::UpdateSourceControls() {
    ShowModeControls();
    BuildCurves();
    if (auto* colour = Get<ui::ColorButton>(IDC_LINE_COLOR)) colour->SetColor(kRed);
    m_chart.SetLineColor(kRed);
    m_chart.SetLineWidth(2);
    m_chart.m_solidLine = m_mode == 1 ? 1 : 0;
    UpdateData(false);
    if (ChartControl()) {
        const ui::Size client = GetClientSize();
        PlaceChart(client.cx, client.cy);
    }
    HandOver(m_mode == 1 ? m_pointCount : static_cast<int>(m_xValues.size()));
    if (m_mode == 2)
        if (auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST)) HighlightNodePath(items->GetCurSel());
}

// ---------------------------------------------------------------------------
// The curve

void CDlgXYPlot::BuildCurves() {
    if (m_mode == 1)
        BuildCutLineCurve();
    else
        BuildNodePathCurve();
}

// Points of cut line c with the values of column v: the cut results hold one
// row per point, the lines one after the other, each row the location along
// the line and then one value per column. Without such a line or column the
// curve stays empty.
void CDlgXYPlot::BuildCutLineCurve() {
    m_xValues.clear();
    m_yValues.clear();
    m_pointCount = 0;
    const ModelData* model = DocModel();
    const int c = m_itemIndex, v = m_variableIndex;
    if (!model || c < 0 || c >= model->cutLineCount || c >= static_cast<int>(model->cutPointsPerLine.size()) || v < 0 ||
        v >= model->cutColumnCount) {
        m_title.clear();
        m_xCaption.clear();
        m_yCaption.clear();
        return;
    }
    int start = 0;
    for (int i = 0; i < c; ++i) start += model->cutPointsPerLine[i];
    const int count = model->cutPointsPerLine[c];
    for (int j = 0; j < count; ++j) {
        const int r = start + j;
        if (r >= static_cast<int>(model->cutRows.size())) break;
        const std::vector<double>& row = model->cutRows[r];
        m_xValues.push_back(row.empty() ? 0.0 : row[0]);
        m_yValues.push_back(v + 1 < static_cast<int>(row.size()) ? row[v + 1] : 0.0);
    }
    m_pointCount = static_cast<int>(m_xValues.size());
    const std::string columnName =
        v < static_cast<int>(model->cutColumnNames.size()) ? model->cutColumnNames[v] : std::string();
    // Columns beyond the named nine are titled by their own name.
    const std::string name = v < static_cast<int>(std::size(kCutLineNames)) ? kCutLineNames[v] : columnName;
    // The cuts are computed once, after the last step: the title names it,
    // since the view may show another step.
    m_title = "CutLine " + std::to_string(c + 1) + ": " + name + StepCaption(resultdlg::LastStepNumber(*model));
    m_yCaption = columnName;
    m_xCaption = " Location along cut line ";
}

// Straight distances of the path's nodes from its first node against their
// values of result step 1.
void CDlgXYPlot::BuildNodePathCurve() {
    m_xValues.clear();
    m_yValues.clear();
    const ModelData* model = ViewModel();
    auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST);
    const int p = items ? items->GetCurSel() : -1;
    const int v = std::clamp(m_variableIndex, 0, static_cast<int>(std::size(kNodePathQuantities)) - 1);
    const NodePathQuantity& q = kNodePathQuantities[v];
    const NodePath* path = model && p >= 0 ? model->NodePathAt(p) : nullptr;
    std::string unknown;
    if (path)
        for (int n : path->nodes)
            if (model->NodeRowOfNumber(n) < 0) unknown += (unknown.empty() ? "" : ", ") + std::to_string(n);
    if (unknown.empty()) {
        m_unknownNodesShownFor = -1;
    } else {
        // No curve along a path that leaves the model; said once for the
        // path, not again at every option change.
        if (m_unknownNodesShownFor != p)
            ui::MessageBox("Node path \"" + path->name + "\" holds nodes that are not in the model: " + unknown +
                           ".\nThere is no curve to plot along it.");
        m_unknownNodesShownFor = p;
        path = nullptr;
    }
    if (path) {
        model->NodePathDistances(m_xValues, path->nodes);
        if (q.code == kSumOfReactions) {
            std::vector<double> springs;
            model->NodePathValues(m_yValues, path->nodes, 24);
            model->NodePathValues(springs, path->nodes, 25);
            for (std::size_t i = 0; i < m_yValues.size() && i < springs.size(); ++i) m_yValues[i] += springs[i];
        } else {
            model->NodePathValues(m_yValues, path->nodes, q.code);
        }
    }
    m_title = "Node Path " + std::to_string(p + 1) + ": " + q.titleName + StepCaption(model ? kNodePathStep : 0);
    m_yCaption = q.yCaption;
    m_xCaption = " Location along node path line ";
}

void CDlgXYPlot::HandOver(int count) {
    m_chart.SetCurveData(m_xValues, m_yValues, count, m_xGrid, m_yGrid, m_marker, m_title, m_xCaption, m_yCaption);
    if (ui::CustomControl* c = ChartControl()) c->Invalidate(true);
}

void CDlgXYPlot::HandOverCurve() { HandOver(static_cast<int>(m_xValues.size())); }

bool CDlgXYPlot::HighlightNodePath(int position) {
    const ModelData* model = ViewModel();
    const NodePath* path = model && position >= 0 ? model->NodePathAt(position) : nullptr;
    if (!path) return false;
    if (m_pView) m_pView->SetHighlightedItems(1, ModelData::JoinNumbers(path->nodes));
    return true;
}

void CDlgXYPlot::ClearHighlight() {
    if (m_pView) m_pView->SetHighlightedItems(1, "");
}

// ---------------------------------------------------------------------------
// Handlers: each reads the controls, acts, and hands the curve to the chart.

void CDlgXYPlot::RefreshCurve(const std::function<void()>& afterRead) {
    UpdateData(true);
    if (afterRead) afterRead();
    BuildCurves();
    HandOverCurve();
}

void CDlgXYPlot::OnLineColor() {
    RefreshCurve([this] {
        if (auto* colour = Get<ui::ColorButton>(IDC_LINE_COLOR)) m_chart.SetLineColor(colour->GetColor());
    });
}

// The marker state is read with the other controls.
void CDlgXYPlot::OnShowMarker() { RefreshCurve(); }

void CDlgXYPlot::OnShowGrid() { RefreshCurve(); }

void CDlgXYPlot::OnSelChangeLineWidth() {
    RefreshCurve([this] { m_chart.SetLineWidth(m_widthIndex + 1); });
}

void CDlgXYPlot::OnSelChangeVariable() { RefreshCurve(); }

void CDlgXYPlot::OnSelChangeItem() {
    RefreshCurve();
    if (m_mode == 1) {
        ClearHighlight();
    } else if (auto* items = Get<ui::ComboBox>(IDC_ITEM_LIST)) {
        HighlightNodePath(items->GetCurSel());
    }
}

void CDlgXYPlot::OnClose() {
    ClearHighlight();
    EndDialog(ui::IDOK);
}

// Enter clicks Close; the close box and Escape leave the view unmarked too.
void CDlgXYPlot::OnOK() { OnClose(); }

void CDlgXYPlot::OnCancel() {
    ClearHighlight();
    EndDialog(ui::IDCANCEL);
}

// ---------------------------------------------------------------------------
// Layout

void CDlgXYPlot::PlaceChart(int cx, int cy) {
    ui::CustomControl* chart = ChartControl();
    ui::Control* group = GetDlgItem(IDC_OPTION_GROUP);
    if (!chart || !group) return;
    const int g = group->GetWindowRect().w;
    const int w = (cx - g) / 10 * 10;
    const int h = cy / 10 * 10;
    chart->MoveWindow({g + 40, 5, w - 40, h - 10}, true);
}

void CDlgXYPlot::OnSize(int cx, int cy) {
    TDialog::OnSize(cx, cy);
    if (ChartControl()) PlaceChart(cx, cy);
    Invalidate(true);
}
