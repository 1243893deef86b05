// "Equivalent Concentrated Loads ": the model's equivalent load pattern, a
// force and a moment at one point of the slab spread over one or two rings
// of points around it. The dialog edits the sixteen parameters, lists the
// points they give (ring, number, coordinates, forces) and shows the point of
// the selected row in the view.
//
// The list shows the points of the parameters last read from the model or
// applied; the model itself changes only on Apply and OK, so Cancel keeps
// what the model holds (an earlier Apply included). A field that is not a
// number, or a point count outside 0 .. 100000, stops Apply and OK with the
// layer's prompt and the focus on that field.
#pragma once

#include <string>
#include <vector>

#include "uibase/Hosts.h"
#include "model/EquivalentLoad.h"
#include "platform/ui/Dialog.h"

class DlgEquivLoad : public ui::Dialog {
public:
    static constexpr int kTemplateId = 2140;
    // The model file's own limit on the points of a ring.
    static constexpr int kMaxRingPoints = 100000;
    // Margin right of the rightmost control shown, in pixels.
    static constexpr int kRightMargin = 10;
    // List columns: ring and number, then each visible variable.
    static constexpr int kNarrowColumn = 35;
    static constexpr int kValueColumn = 70;

    enum {
        IDC_ICON = 1000,
        IDC_LOADING,
        IDC_FX_LABEL,
        IDC_FX,
        IDC_FY_LABEL,
        IDC_FY,
        IDC_FZ_LABEL,
        IDC_FZ,
        IDC_MX_LABEL,
        IDC_MX,
        IDC_MY_LABEL,
        IDC_MY,
        IDC_MZ_LABEL,
        IDC_MZ,
        IDC_SKETCH,
        IDC_POINT,
        IDC_X_LABEL,
        IDC_X,
        IDC_Y_LABEL,
        IDC_Y,
        IDC_Z_LABEL,
        IDC_Z,
        IDC_RINGS,
        IDC_ONE_RING,
        IDC_TWO_RINGS,
        IDC_RING1,
        IDC_R1_RADIUS_LABEL,
        IDC_R1_RADIUS,
        IDC_R1_POINTS_LABEL,
        IDC_R1_POINTS,
        IDC_R1_ANGLE_LABEL,
        IDC_R1_ANGLE,
        IDC_RING2,
        IDC_R2_RADIUS_LABEL,
        IDC_R2_RADIUS,
        IDC_R2_POINTS_LABEL,
        IDC_R2_POINTS,
        IDC_R2_ANGLE_LABEL,
        IDC_R2_ANGLE,
        IDC_APPLY,
        IDC_SHOW_VALUES,
        IDC_LIST_LABEL,
        IDC_VISIBLE,
        // The six visible-variable boxes in column order X, Y, Z, Fx, Fy,
        // Fz, each followed by the text of the selected point's value.
        IDC_SHOW_X,
        IDC_VALUE_X,
        IDC_SHOW_Y,
        IDC_VALUE_Y,
        IDC_SHOW_Z,
        IDC_VALUE_Z,
        IDC_SHOW_FX,
        IDC_VALUE_FX,
        IDC_SHOW_FY,
        IDC_VALUE_FY,
        IDC_SHOW_FZ,
        IDC_VALUE_FZ,
        IDC_POINT_NUMBER,
        IDC_POINT_RING,
        IDC_LIST,
    };
    // Check box and value text of visible variable k (0 X .. 5 Fz).
    static int ShowId(int k) { return IDC_SHOW_X + 2 * k; }
    static int ValueId(int k) { return IDC_VALUE_X + 2 * k; }

    DlgEquivLoad(DocHost* doc, ViewHost* view, ui::Window* parent = nullptr);

    ui::DialogTemplate BuildTemplate() const override;
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;

    // Handlers.
    void OnApply();
    void OnBnClickedOk();
    void OnRingCount();
    void OnShowValues();
    void OnVisibleVariable();
    // A row of the list (from 0) became selected or was clicked; -1 none.
    void OnListItemChanged(int row);
    // The list took the focus: the point of its selected row, or none.
    void OnListSetFocus();

    // The list's columns and rows from the parameters last read or applied.
    void FillLoadList();
    // The point panel and the view's highlight for a row; -1 empties the
    // panel and keeps the highlight.
    void SelectPoint(int row);
    // Empties the point panel.
    void ShowSelectedValues();
    // Ring 2 edits and the sketch after the number of rings.
    void UpdateRingControls();

    // The points the list shows.
    const std::vector<EquivalentLoadPoint>& ListedPoints() const { return points_; }

private:
    // Reads every field into the parameters; on a failure the parameters keep
    // their values and false is returned (the layer prompted and focused).
    bool ReadControls();
    // The model stores the parameters and recomputes its points.
    void StoreInModel();
    // The view shows the model's pattern again.
    void RefreshViews();
    // Dialog width: the right edge kRightMargin pixels right of the control.
    void FitWidthTo(int id);

    DocHost* doc_;
    ViewHost* view_;
    EquivalentLoadInput values_;
    EquivalentLoadInput listed_;  // the parameters the list shows
    std::vector<EquivalentLoadPoint> points_;
};

// The document's Equivalent Loads command: the dialog over the document's
// model; afterwards the document is marked modified when the model changed.
// The dialog's result.
int RunEquivalentLoadsDialog(DocHost& doc, ViewHost& view);
