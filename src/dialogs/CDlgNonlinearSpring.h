// "Nonlinear Spring": the modeless editor of the model's spring profiles,
// named deformation-force curves. The list names every profile; one profile
// at a time is edited in a window of 14 point rows over its points, typed or
// read from a two-column text file, and stored as a new profile (Save) or
// over the selected one (Update). A profile selected from the list is drawn
// in the compact chart below the list.
//
// Editing state: the new-profile flag and the selected index (see
// UpdateProfileButtons). Every store, New and Delete mark the document
// modified and the model changed.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ListEditor.h"
#include "model/ModelLists.h"
#include "viz/ui/CurvePlot.h"

class CDlgNonlinearSpring : public ListEditor {
public:
    static constexpr int kTemplateId = 2043;
    static constexpr int kRowsPerPage = 14;
    static constexpr const char* kFileFilter = "Nonlinear Spring Files (*.txt|*.txt|All Files (*.*)|*.*||";
    enum {
        IDC_PROFILE_LIST = 3000,
        IDC_NEW,
        IDC_SAVE,
        IDC_UPDATE,
        IDC_DELETE,
        IDC_CHART,
        IDC_GROUP,
        IDC_NAME_LABEL,
        IDC_NAME,
        IDC_DEFORMATION_HEADING,
        IDC_FORCE_HEADING,
        IDC_SCROLL,
        IDC_OPEN_FILE,
        IDC_ADD_ROW,
        IDC_INSERT_ROW,
        IDC_DELETE_ROW,
    };
    // Controls of grid row i (1-based).
    static constexpr int RowLabelId(int i) { return 3100 + i; }
    static constexpr int DeformationId(int i) { return 3200 + i; }
    static constexpr int ForceId(int i) { return 3300 + i; }

    // Results of the point check.
    enum { kAccepted = -1, kRepeatedDeformations = 1, kRepeatedForces = 2, kRepeats = 3, kDescending = 4 };

    CDlgNonlinearSpring(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);
    ~CDlgNonlinearSpring() override;

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    void OnVScroll(int code, int pos, ui::ScrollBar* bar) override;

    void OnBnClickedNew();
    // Save and Update: true when the profile was stored.
    bool OnBnClickedSave();
    bool OnBnClickedUpdate();
    void OnBnClickedDelete();
    void OnBnClickedOpenFile();
    void OnBnClickedAddRow();
    void OnBnClickedInsertRow();
    void OnBnClickedDeleteRow();
    void OnLbnSelchangeProfileList();
    void OnEnChangeName();
    void OnEnSetfocusDeformation(int row);
    void OnEnSetfocusForce(int row);
    void OnEnKillfocusCell();

    // The check of consecutive points: kAccepted, or the first descending
    // pair (kDescending), or which repeats were found (1, 2 or 3). Values
    // closer than 1e-10 count as repeated.
    static int CheckAscending(const NonlinearSpring& profile);

    const NonlinearSpring* WorkingProfile() const { return m_profile.get(); }
    int FirstVisiblePoint() const { return m_first; }
    int CurrentRow() const { return m_currentRow; }
    int SelectedIndex() const { return m_selected; }
    bool IsChanged() const { return m_changed != 0; }
    const CCurvePlot& Chart() const { return m_chart; }

private:
    // Runs at creation and again after Update and Delete: the list rebuilt,
    // nothing selected, the editor closed, the chart emptied and hidden.
    void Initialise();
    void FillGrid();
    void ReadGrid();
    void ClampWindow();
    void UpdateChanged();
    void UpdateProfileButtons();
    void FocusCell(int row, int column);
    void ShowRow(int row, bool show);
    void UpdatePlot();
    // The last point in view as the current row (after points were added).
    void ShowLastPoint();
    // The point check with its message; true when the points may be stored.
    bool PointsAccepted();
    ui::ListBox* ProfileList() const { return Get<ui::ListBox>(IDC_PROFILE_LIST); }
    ui::CustomControl* ChartControl() const { return Get<ui::CustomControl>(IDC_CHART); }

    std::unique_ptr<NonlinearSpring> m_profile;
    std::string m_name;
    int m_first = 0;
    int m_currentRow = 0;     // 1..14, 0 none, -1 after a selection
    int m_currentColumn = 0;  // 1 deformation, 2 force, 0 none, -1 after a selection
    int m_pointCount = 0;
    int m_rowsShown = 0;
    int m_selected = -1;
    unsigned char m_editing = 0;
    unsigned char m_newProfile = 0;
    unsigned char m_changed = 0;
    std::array<double, kRowsPerPage> m_deformation{};
    std::array<double, kRowsPerPage> m_force{};
    CCurvePlot m_chart;
};
