#pragma once
// "Contour Plot Options": the modeless dialog of the view's Contour Plot
// command. It switches the contour plot on and off, chooses the result
// variable by group and name, the contour type, the mesh over the contours
// and the legend, and sets the contour limits (minimum, maximum, divisions;
// the increment is shown). Choosing a variable or switching the plot takes
// the new column into the view at once, with its automatic limits; the
// divisions spin stores the limits in the model at once; Apply and OK write
// the rest. Cancel (named "Close" while nothing is pending) only hides it.
// Created once per view and initialised once: it keeps its values while
// hidden.

#include <string>

#include "platform/ui/Dialog.h"

class ViewHost;

class DlgContourLimits : public ui::Dialog {
public:
    enum {
        IDC_MAXIMUM_LABEL = 1001,
        IDC_MAXIMUM,
        IDC_MAXIMUM_SPIN,
        IDC_MINIMUM_LABEL,
        IDC_MINIMUM,
        IDC_MINIMUM_SPIN,
        IDC_DIVISIONS_LABEL,
        IDC_DIVISIONS,
        IDC_DIVISIONS_SPIN,
        IDC_LIMITS_GROUP,
        IDC_SHOW_LEGEND,
        IDC_VARIABLE_LABEL,
        IDC_VARIABLE,
        IDC_INCREMENT_LABEL,
        IDC_INCREMENT,
        IDC_SHOW_CONTOUR,
        IDC_SHADING,  // contour type radios: shading, lines, both
        IDC_LINES,
        IDC_SHADING_AND_LINES,
        IDC_TYPE_GROUP,
        IDC_ICON,
        IDC_DEFAULT_LIMITS,
        IDC_SHOW_MESH,
        IDC_DISPLACEMENTS,  // variable type radios, one per result group
        IDC_REACTIONS,
        IDC_PLATE_FORCES,
        IDC_PLATE_STRESSES,
        IDC_SOIL_REACTIONS,
        IDC_VARIABLE_GROUP,
        IDC_APPLY,
    };
    static constexpr int kTemplateId = 4310;
    static constexpr int kMaxDivisions = 1000;

    explicit DlgContourLimits(ViewHost& view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;

    // False when the divisions were refused.
    bool OnApply();
    void OnShowContourPlot();
    void OnVariableType();
    void OnCloseUpVariable();
    void OnOptionChanged();
    void OnShowMesh();
    void OnDefaultLimits();
    void OnKillFocusMinimum();
    void OnKillFocusMaximum();

    // Current values.
    double Minimum() const { return current_.minimum; }
    double Maximum() const { return current_.maximum; }
    double Increment() const { return current_.increment; }
    int Divisions() const { return current_.divisions; }
    int VariableIndex() const { return current_.index; }
    bool Modified() const { return modified_; }

    // "%.3f", "%.1f" or "%.3e" by the size of the value, keeping at least
    // four significant digits.
    static std::string FormatLimit(double v);
    // One press of a limit spin (d < 0: the up arrow) and of the divisions spin.
    static double StepValue(double v, int d);
    static int StepDivisions(int n, int d);

private:
    // What Apply writes; the applied copy is compared with the current one.
    struct Settings {
        double minimum = 0.0, maximum = 0.0, increment = 0.0;
        int divisions = 10;
        int index = 0, showLegend = 1, showContour = 0, contourType = 0, showMesh = 0;
        bool operator==(const Settings&) const = default;
    };

    void RegisterHandlers();
    void ReadControls();
    // Writes the limit texts into the fields, then reads them back as typing
    // does (the fields then stand for the exact limits).
    void FormatLimits();
    void ReadLimitFields();
    void FillVariableCombo();
    // The view takes the dialog's variable; its range becomes the limits.
    void TakeVariableIntoView(int column);
    void LoadLimits(bool automatic);
    void CheckModified();
    void SaveAppliedState();
    void UpdateApplyState();
    void RefreshState();
    void OnDeltaPosLimit(ui::Notification& n, double& value);
    void OnDeltaPosDivisions(ui::Notification& n);
    bool CheckDivisions();
    int GroupStart() const;
    int GroupSize() const;

    ViewHost& view_;
    Settings current_, applied_;
    int variableType_ = 0;
    int selection_ = -1;
    std::string minimumText_, maximumText_, divisionsText_, incrementText_;
    bool modified_ = false;
};
