#include "dialogs/CDlgNonlinearSpring.h"

#include <algorithm>
#include <cmath>

#include "model/ModelData.h"
#include "platform/ui/Services.h"

namespace {

constexpr double kRepeatTolerance = 1e-10;

}  // namespace

CDlgNonlinearSpring::CDlgNonlinearSpring(DocHost* doc, ViewHost* view, ui::Window* parent)
    : ListEditor(kTemplateId, doc, view, parent) {
    OnClicked(IDC_NEW, [this] { OnBnClickedNew(); });
    OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
    OnClicked(IDC_UPDATE, [this] { OnBnClickedUpdate(); });
    OnClicked(IDC_DELETE, [this] { OnBnClickedDelete(); });
    OnClicked(IDC_OPEN_FILE, [this] { OnBnClickedOpenFile(); });
    OnClicked(IDC_ADD_ROW, [this] { OnBnClickedAddRow(); });
    OnClicked(IDC_INSERT_ROW, [this] { OnBnClickedInsertRow(); });
    OnClicked(IDC_DELETE_ROW, [this] { OnBnClickedDeleteRow(); });
    OnNotify(ui::Notify::SelChange, IDC_PROFILE_LIST, [this] { OnLbnSelchangeProfileList(); });
    OnNotify(ui::Notify::Change, IDC_NAME, [this] { OnEnChangeName(); });
    OnNotifyRange(ui::Notify::SetFocus, DeformationId(1), DeformationId(kRowsPerPage),
                  [this](ui::Notification& n) { OnEnSetfocusDeformation(n.id - DeformationId(0)); });
    OnNotifyRange(ui::Notify::SetFocus, ForceId(1), ForceId(kRowsPerPage),
                  [this](ui::Notification& n) { OnEnSetfocusForce(n.id - ForceId(0)); });
    OnNotifyRange(ui::Notify::KillFocus, DeformationId(1), DeformationId(kRowsPerPage),
                  [this](ui::Notification&) { OnEnKillfocusCell(); });
    OnNotifyRange(ui::Notify::KillFocus, ForceId(1), ForceId(kRowsPerPage),
                  [this](ui::Notification&) { OnEnKillfocusCell(); });
}

CDlgNonlinearSpring::~CDlgNonlinearSpring() {
    // The chart control must not paint a drawable that is going away.
    if (ui::CustomControl* c = ChartControl()) c->SetDrawable(nullptr);
}

ui::DialogTemplate CDlgNonlinearSpring::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Nonlinear Spring";
    t.rect = {0, 0, 420, 330};
    t.Label(ui::IDSTATIC, "List of Nonlinear Spring", {8, 6, 150, 8});
    t.List(IDC_PROFILE_LIST, {8, 16, 150, 80});
    t.PushButton(IDC_NEW, "New", {8, 100, 34, 14});
    t.PushButton(IDC_SAVE, "Save", {46, 100, 34, 14});
    t.PushButton(IDC_UPDATE, "Update", {84, 100, 34, 14});
    t.PushButton(IDC_DELETE, "Delete", {122, 100, 36, 14});
    t.CustomBox(IDC_CHART, {8, 120, 190, 160});
    t.Group(IDC_GROUP, "Data of Nonlinear Spring", {206, 4, 206, 290});
    t.Label(IDC_NAME_LABEL, "Name:", {214, 18, 30, 8});
    t.EditBox(IDC_NAME, {246, 16, 158, 12});
    t.Label(IDC_DEFORMATION_HEADING, "Deformation", {236, 34, 70, 8}, ui::cs::CenterText);
    t.Label(IDC_FORCE_HEADING, "Force", {310, 34, 70, 8}, ui::cs::CenterText);
    const int top = 44, pitch = 14;
    for (int i = 1; i <= kRowsPerPage; ++i) {
        const int y = top + (i - 1) * pitch;
        t.Label(RowLabelId(i), "", {212, y + 2, 20, 8}, ui::cs::RightText);
        t.EditBox(DeformationId(i), {236, y, 70, 12}, ui::cs::RightText);
        t.EditBox(ForceId(i), {310, y, 70, 12}, ui::cs::RightText);
    }
    t.VScrollBar(IDC_SCROLL, {384, top, 10, kRowsPerPage * pitch - 2});
    t.PushButton(IDC_OPEN_FILE, "Open File", {214, 246, 44, 14});
    t.PushButton(IDC_ADD_ROW, "Add Row", {262, 246, 44, 14});
    t.PushButton(IDC_INSERT_ROW, "Insert Row", {310, 246, 44, 14});
    t.PushButton(IDC_DELETE_ROW, "Delete Row", {358, 246, 46, 14});
    t.Label(ui::IDSTATIC,
            "Note: The external spring data file is in ASCII format. The first column is deformation. The second "
            "column is force. Use one or more white spaces to separate two columns. ",
            {214, 264, 190, 28});
    t.DefPushButton(ui::IDOK, "OK", {290, 306, 56, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {352, 306, 56, 14});
    return t;
}

void CDlgNonlinearSpring::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_NAME, m_name);
    for (int i = 1; i <= kRowsPerPage; ++i) {
        dx.Text(DeformationId(i), m_deformation[static_cast<size_t>(i - 1)]);
        dx.Text(ForceId(i), m_force[static_cast<size_t>(i - 1)]);
    }
}

bool CDlgNonlinearSpring::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (ui::CustomControl* c = ChartControl()) c->SetDrawable(&m_chart);
    Initialise();
    return true;
}

bool CDlgNonlinearSpring::DestroyWindow() {
    if (ui::CustomControl* c = ChartControl()) c->SetDrawable(nullptr);
    return ui::Dialog::DestroyWindow();
}

void CDlgNonlinearSpring::Initialise() {
    m_profile = std::make_unique<NonlinearSpring>();
    if (ui::ListBox* list = ProfileList()) {
        list->ResetContent();
        if (const ModelData* model = Model())
            for (int i = 0; i < model->NonlinearSpringCount(); ++i) list->AddString(model->NonlinearSpringName(i));
    }
    m_first = 0;
    m_currentRow = 0;
    m_currentColumn = 0;
    m_selected = -1;
    m_pointCount = 0;
    m_newProfile = m_editing = m_changed = 0;
    FillGrid();
    m_chart.SetLineColor(ui::Rgb(255, 0, 0));
    m_chart.SetLineWidth(2);
    Show(IDC_CHART, false);
    UpdateData(false);
    m_chart.SetCurveData({}, {}, 0, 0, 0, 0, "", "", "");
    Show(IDC_OPEN_FILE, false);
    UpdateData(false);
}

void CDlgNonlinearSpring::ShowRow(int row, bool show) {
    Show(RowLabelId(row), show);
    Show(DeformationId(row), show);
    Show(ForceId(row), show);
}

void CDlgNonlinearSpring::FillGrid() {
    if (m_first < 0) m_first = 0;
    m_rowsShown = kRowsPerPage;
    if (auto* bar = Get<ui::ScrollBar>(IDC_SCROLL)) {
        if (m_pointCount > kRowsPerPage) {
            bar->SetScrollRange(0, m_pointCount - kRowsPerPage);
            bar->SetScrollPos(m_first);
            bar->ShowWindow(true);
        } else {
            bar->ShowWindow(false);
        }
    }
    if (m_pointCount <= kRowsPerPage) m_rowsShown = m_pointCount;
    for (int i = 0; i < kRowsPerPage; ++i) ShowRow(i + 1, i < m_rowsShown);
    for (int i = 0; i < m_rowsShown; ++i) {
        const size_t point = static_cast<size_t>(m_first + i);
        SetDlgItemText(RowLabelId(i + 1), std::to_string(m_first + i + 1));
        if (point >= m_profile->deformations.size()) continue;
        m_deformation[static_cast<size_t>(i)] = m_profile->deformations[point];
        m_force[static_cast<size_t>(i)] = m_profile->forces[point];
    }
    UpdateData(false);
    SetDlgItemText(ui::IDCANCEL, m_changed ? "Cancel" : "Close");
    const bool rowButtons = m_currentRow > 0 && m_currentColumn > 0 && m_editing;
    for (int id : {IDC_DELETE_ROW, IDC_INSERT_ROW}) {
        Enable(id, m_pointCount != 0);
        Show(id, rowButtons);
    }
    for (int id : {IDC_ADD_ROW, IDC_DEFORMATION_HEADING, IDC_FORCE_HEADING}) {
        Enable(id, m_editing);
        Show(id, m_editing);
    }
    Enable(IDC_GROUP, m_editing);
    Enable(IDC_NAME, m_editing);
    UpdateProfileButtons();
}

// new-profile flag | selected | Save              | Update       | Delete | name
// clear            | none     | off               | off          | off    | hidden
// clear            | a row    | off               | while changed| on     | shown
// set              | none     | with a point      | off          | off    | shown
// set              | a row    | off               | off          | on     | shown
void CDlgNonlinearSpring::UpdateProfileButtons() {
    const bool selected = m_selected >= 0;
    SetListButtons(IDC_NEW, IDC_SAVE, IDC_UPDATE, IDC_DELETE, m_newProfile && !selected && m_pointCount >= 1,
                   !m_newProfile && selected && m_changed, selected);
    const bool name = m_newProfile || selected;
    Show(IDC_NAME_LABEL, name);
    Show(IDC_NAME, name);
}

void CDlgNonlinearSpring::ReadGrid() {
    m_pointCount = static_cast<int>(m_profile->deformations.size());
    const bool window = m_pointCount > kRowsPerPage;
    const int rows = window ? kRowsPerPage : m_pointCount;
    for (int i = 0; i < rows; ++i) {
        const size_t point = static_cast<size_t>(window ? m_first + i : i);
        if (point >= m_profile->deformations.size()) break;
        m_profile->deformations[point] = m_deformation[static_cast<size_t>(i)];
        m_profile->forces[point] = m_force[static_cast<size_t>(i)];
    }
    m_profile->name = m_name;
}

void CDlgNonlinearSpring::ClampWindow() {
    m_first = std::max(std::min(m_first, m_pointCount), 0);
    m_first = m_pointCount > kRowsPerPage ? std::min(m_first, m_pointCount - kRowsPerPage) : 0;
    m_currentRow = std::min(m_currentRow, m_pointCount);
}

void CDlgNonlinearSpring::UpdateChanged() {
    m_changed = 0;
    if (m_newProfile) {
        m_changed = m_profile->deformations.empty() ? 0 : 1;
    } else if (m_selected >= 0) {
        const ModelData* model = Model();
        m_changed = model && model->IsSpringCurveChanged(m_selected, *m_profile) ? 1 : 0;
    }
}

int CDlgNonlinearSpring::CheckAscending(const NonlinearSpring& profile) {
    int result = kAccepted;
    const size_t n = std::min(profile.deformations.size(), profile.forces.size());
    for (size_t i = 0; i + 1 < n; ++i) {
        const double d0 = profile.deformations[i], d1 = profile.deformations[i + 1];
        const double f0 = profile.forces[i], f1 = profile.forces[i + 1];
        if (std::fabs(d1 - d0) < kRepeatTolerance) result = result > 0 ? kRepeats : kRepeatedDeformations;
        if (std::fabs(f1 - f0) < kRepeatTolerance) result = result > 0 ? kRepeats : kRepeatedForces;
        if (d0 > d1 || f0 > f1) return kDescending;
    }
    return result;
}

bool CDlgNonlinearSpring::PointsAccepted() {
    switch (CheckAscending(*m_profile)) {
        case kRepeatedDeformations: ErrorBox("Error: \n Repeated defomrations are not allowed."); return false;
        case kRepeatedForces: ErrorBox("Warning: \n Repeated forces may cause zero-stiffness spring."); return false;
        case kRepeats: ErrorBox("Error: \n Deformation/forces are repeated."); return false;
        case kDescending:
            ErrorBox("Error: \n Deformation and force inputs should be in ascending order.");
            return false;
        default: return true;
    }
}

void CDlgNonlinearSpring::FocusCell(int row, int column) {
    if (row < 1 || row > kRowsPerPage) return;
    if (ui::Control* cell = GetDlgItem(column == 2 ? ForceId(row) : DeformationId(row))) GotoDlgCtrl(cell);
}

void CDlgNonlinearSpring::UpdatePlot() {
    m_chart.SetCurveData(m_profile->deformations, m_profile->forces, static_cast<int>(m_profile->deformations.size()),
                         1, 1, 0, "", "", "");
    m_chart.SetPlotMode(1);
    if (ui::CustomControl* c = ChartControl()) c->Invalidate(true);
}

void CDlgNonlinearSpring::ShowLastPoint() {
    if (m_pointCount > kRowsPerPage) {
        m_first = m_pointCount - kRowsPerPage;
        m_currentRow = kRowsPerPage;
    } else {
        m_first = 0;
        m_currentRow = m_pointCount;
    }
    m_currentColumn = 1;
}

// ---- Profile operations ----

void CDlgNonlinearSpring::OnBnClickedNew() {
    if (!m_profile) return;
    ModelData* model = Model();
    if (!m_profile->deformations.empty()) {
        const bool ask =
            m_newProfile || (m_selected >= 0 && model && model->IsSpringCurveChanged(m_selected, *m_profile));
        if (ask && ui::MessageBox("Save current data?", ui::Buttons::OkCancel, ui::Icon::None) == ui::IDOK) {
            if (m_newProfile)
                OnBnClickedSave();
            else
                OnBnClickedUpdate();
            return;
        }
    }
    m_selected = -1;
    if (ui::ListBox* list = ProfileList()) list->SetCurSel(-1);
    m_editing = m_newProfile = 1;
    m_pointCount = 0;
    m_currentRow = 0;
    m_first = 0;
    m_profile->deformations.clear();
    m_profile->forces.clear();
    m_name = "New Data Profile " + std::to_string((model ? model->NonlinearSpringCount() : 0) + 1);
    FillGrid();
    Invalidate(true);
    Show(IDC_CHART, false);
    Show(IDC_OPEN_FILE, true);
    MarkModified();
}

bool CDlgNonlinearSpring::OnBnClickedSave() {
    if (!m_profile || !m_newProfile) return false;
    if (!UpdateData(true)) return false;
    ReadGrid();
    ModelData* model = Model();
    if (!model) return false;
    if (model->IsSpringNameUsed(m_name)) {
        ErrorBox("Error: \n Same name already exists.");
        return false;
    }
    if (!PointsAccepted()) return false;
    m_profile->name = m_name;
    model->AddNonlinearSpring(*m_profile);
    if (ui::ListBox* list = ProfileList()) list->AddString(m_name);
    m_editing = 0;
    m_profile->name.clear();
    m_profile->deformations.clear();
    m_profile->forces.clear();
    m_pointCount = 0;
    m_newProfile = 0;
    m_name.clear();
    m_changed = 0;
    FillGrid();
    Show(IDC_CHART, false);
    Invalidate(true);
    UpdateData(false);
    MarkModified();
    return true;
}

bool CDlgNonlinearSpring::OnBnClickedUpdate() {
    if (!m_profile || !UpdateData(true) || m_selected < 0) return false;
    ReadGrid();
    ModelData* model = Model();
    if (!model) return false;
    // Two profiles of one name could not be told apart by the groups that
    // name them.
    for (int i = 0; i < model->NonlinearSpringCount(); ++i)
        if (i != m_selected && model->NonlinearSpringName(i) == m_name) {
            ErrorBox("Error: \n Same name already exists.");
            return false;
        }
    if (!PointsAccepted()) return false;
    model->CopyNonlinearSpring(m_selected, *m_profile);
    if (!m_newProfile) {
        Enable(IDC_UPDATE, false);
        m_changed = 0;
    }
    Initialise();
    Invalidate(true);
    MarkModified();
    return true;
}

void CDlgNonlinearSpring::OnBnClickedDelete() {
    if (!m_profile || m_selected < 0) return;
    if (ui::MessageBox("Delete Nonlinear Spring?", ui::Buttons::YesNo, ui::Icon::Question) != ui::IDYES) return;
    if (ModelData* model = Model()) model->RemoveNonlinearSpring(m_selected);
    if (m_pDoc) m_pDoc->SetModifiedFlag(true);
    m_selected = -1;
    m_name.clear();
    Initialise();
    MarkModified();
}

void CDlgNonlinearSpring::OnLbnSelchangeProfileList() {
    if (!m_profile) return;
    ui::ListBox* list = ProfileList();
    m_selected = list ? list->GetCurSel() : -1;
    if (m_selected < 0) return;
    const ModelData* model = Model();
    const NonlinearSpring* spring =
        model ? model->FindNonlinearSpring(model->NonlinearSpringName(m_selected)) : nullptr;
    if (!spring) return;
    m_editing = 1;
    Show(IDC_CHART, true);
    m_profile->name = spring->name;
    m_profile->deformations = spring->deformations;
    m_profile->forces = spring->forces;
    m_pointCount = static_cast<int>(spring->deformations.size());
    m_currentRow = m_currentColumn = -1;
    m_name = spring->name;
    m_first = 0;
    m_changed = 0;
    FillGrid();
    UpdatePlot();
    Enable(IDC_UPDATE, false);
    Show(IDC_OPEN_FILE, false);
    UpdateData(false);
    Invalidate(true);
}

// ---- Point operations ----

void CDlgNonlinearSpring::OnBnClickedOpenFile() {
    if (!m_profile) return;
    UpdateData(true);
    ui::FileDialog dialog(true, "", "", ui::ofn::HideReadOnly | ui::ofn::OverwritePrompt, kFileFilter, this);
    if (dialog.DoModal() == ui::IDOK && !dialog.GetPathName().empty()) {
        std::vector<double> deformations, forces;
        if (!ReadCurvePoints(dialog.GetPathName(), deformations, forces)) {
            ErrorBox("Error:\n Fail to read external nonlinear spring data");
        } else {
            m_profile->name = m_name;
            m_profile->deformations = std::move(deformations);
            m_profile->forces = std::move(forces);
            m_pointCount = static_cast<int>(m_profile->deformations.size());
            ShowLastPoint();
            FillGrid();
            if (m_currentRow >= 1) FocusCell(m_currentRow, m_currentColumn);
            Show(IDC_OPEN_FILE, false);
        }
    }
    UpdateData(false);
}

void CDlgNonlinearSpring::OnBnClickedAddRow() {
    if (!m_profile || !UpdateData(true)) return;
    ReadGrid();
    m_profile->deformations.push_back(0.0);
    m_profile->forces.push_back(0.0);
    m_pointCount = static_cast<int>(m_profile->deformations.size());
    ShowLastPoint();
    Show(IDC_OPEN_FILE, false);
    FillGrid();
    FocusCell(m_currentRow, 1);
    if (!m_newProfile) Enable(IDC_UPDATE, true);
}

void CDlgNonlinearSpring::OnBnClickedInsertRow() {
    if (!m_profile || !UpdateData(true)) return;
    ReadGrid();
    // The zero point goes directly after the point of the focused row.
    const int at = std::clamp(m_first + std::max(m_currentRow, 0), 0, m_pointCount);
    m_profile->deformations.insert(m_profile->deformations.begin() + at, 0.0);
    m_profile->forces.insert(m_profile->forces.begin() + at, 0.0);
    m_pointCount = static_cast<int>(m_profile->deformations.size());
    FillGrid();
    if (!m_newProfile) Enable(IDC_UPDATE, true);
}

void CDlgNonlinearSpring::OnBnClickedDeleteRow() {
    if (!m_profile || m_currentRow <= 0) return;
    const int at = m_first + m_currentRow - 1;
    if (at < 0 || at >= m_pointCount) return;
    m_profile->deformations.erase(m_profile->deformations.begin() + at);
    m_profile->forces.erase(m_profile->forces.begin() + at);
    m_pointCount = static_cast<int>(m_profile->deformations.size());
    ClampWindow();
    m_currentRow = 0;
    FillGrid();
    if (!m_newProfile) Enable(IDC_UPDATE, true);
}

void CDlgNonlinearSpring::OnEnSetfocusDeformation(int row) {
    if (!m_profile) return;
    FocusCell(row, 1);
    m_currentRow = row;
    m_currentColumn = 1;
    FillGrid();
}

void CDlgNonlinearSpring::OnEnSetfocusForce(int row) {
    if (!m_profile) return;
    m_currentRow = row;
    m_currentColumn = 2;
    FillGrid();
}

void CDlgNonlinearSpring::OnEnKillfocusCell() {
    if (!m_profile) return;
    UpdateData(true);
    ReadGrid();
    UpdateChanged();
    FillGrid();
}

void CDlgNonlinearSpring::OnEnChangeName() {
    if (!m_profile) return;
    UpdateData(true);
    Enable(IDC_UPDATE, true);
    ReadGrid();
}

void CDlgNonlinearSpring::OnVScroll(int code, int pos, ui::ScrollBar* bar) {
    if (!m_profile) return;
    UpdateData(true);
    ReadGrid();
    switch (code) {
        case ui::sb::LineUp: m_first -= 1; break;
        case ui::sb::LineDown: m_first += 1; break;
        case ui::sb::PageUp: m_first -= kRowsPerPage; break;
        case ui::sb::PageDown: m_first += kRowsPerPage; break;
        case ui::sb::ThumbPosition:
        case ui::sb::ThumbTrack: m_first = pos; break;
        case ui::sb::Top: m_first = 0; break;
        case ui::sb::Bottom: m_first = m_pointCount; break;
        default: break;
    }
    ClampWindow();
    FillGrid();
    ui::Dialog::OnVScroll(code, pos, bar);
}

void CDlgNonlinearSpring::OnOK() {
    if (!m_profile) {
        EndDialog(ui::IDOK);
        return;
    }
    UpdateData(true);
    ReadGrid();
    UpdateChanged();
    if (m_changed && (m_newProfile || m_selected >= 0) &&
        ui::MessageBox("Data have been changed. Save data before exit?", ui::Buttons::OkCancel, ui::Icon::None) ==
            ui::IDOK) {
        // A store refused by its message keeps the dialog open.
        const bool stored = m_newProfile ? OnBnClickedSave() : OnBnClickedUpdate();
        if (!stored) return;
    }
    m_profile.reset();
    EndDialog(ui::IDOK);
}
