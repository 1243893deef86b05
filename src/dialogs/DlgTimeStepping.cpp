#include "dialogs/DlgTimeStepping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "model/ModelData.h"
#include "platform/ui/Services.h"

DlgTimeStepping::DlgTimeStepping(ui::Window* parent) : ui::Dialog(kTemplateId, parent) {
    OnNotify(ui::Notify::DeltaPos, IDC_SPIN, [this](ui::Notification& n) { OnDeltaPosSpin(n); });
    OnClicked(IDC_APPLY, [this] {
        if (onApply && UpdateData(true)) onApply();
    });
}

ui::DialogTemplate DlgTimeStepping::BuildTemplate() const {
    ui::DialogTemplate t;
    t.id = kTemplateId;
    t.caption = "Time Stepping";
    t.rect = {0, 0, 250, 170};
    const auto field = [&t](const char* label, int id, int x, int y) {
        t.Label(ui::IDSTATIC, label, {x, y + 2, 92, 8});
        t.EditBox(id, {x + 96, y, 56, 12}, ui::cs::RightText);
    };
    t.Group(ui::IDSTATIC, "Time Increment", {6, 6, 174, 46});
    field("Initial", IDC_INITIAL_INCREMENT, 12, 18);
    field("Minimum ", IDC_MIN_INCREMENT, 12, 34);
    t.Group(ui::IDSTATIC, "Analysis Time", {6, 58, 174, 46});
    field("Initial", IDC_INITIAL_TIME, 12, 70);
    field("Final", IDC_FINAL_TIME, 12, 86);
    t.Group(ui::IDSTATIC, "Convergence parameters", {6, 110, 174, 50});
    field("Max. Iterations/Step", IDC_ITERATIONS, 12, 122);
    t.SpinBox(IDC_SPIN, {164, 122, 10, 12});
    field("Error Tolerance", IDC_TOLERANCE, 12, 140);
    t.DefPushButton(ui::IDOK, "OK", {186, 8, 56, 14});
    t.PushButton(ui::IDCANCEL, "Cancel", {186, 26, 56, 14});
    t.PushButton(IDC_APPLY, "Apply", {186, 44, 56, 14});
    return t;
}

void DlgTimeStepping::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_INITIAL_INCREMENT, m_initialIncrement);
    dx.Text(IDC_INITIAL_TIME, m_initialTime);
    dx.Text(IDC_FINAL_TIME, m_finalTime);
    dx.Text(IDC_MIN_INCREMENT, m_minIncrement);
    dx.Text(IDC_ITERATIONS, m_iterations);
    dx.Text(IDC_TOLERANCE, m_tolerance);
    // A stepping that makes no step has no results to give.
    if (dx.Saving() && !dx.Failed()) {
        const std::string none = ModelData::NoTimeStepText(m_initialIncrement, m_initialTime, m_finalTime);
        if (!none.empty()) {
            ui::MessageBox(none, ui::Buttons::Ok, ui::Icon::Exclamation);
            dx.Fail(IDC_FINAL_TIME);
        }
    }
    // A stepping beyond the increment limit would write results until the
    // disk is full.
    if (dx.Saving() && !dx.Failed()) {
        const double count = ModelData::TimeIncrementCount(m_initialIncrement, m_initialTime, m_finalTime);
        if (count > ModelData::kMaxTimeIncrements) {
            char text[160];
            if (std::isfinite(count))
                std::snprintf(text, sizeof text, "The time stepping takes %.0f increments; at most %.0f are allowed.",
                              count, ModelData::kMaxTimeIncrements);
            else
                std::snprintf(text, sizeof text, "The initial time increment must be greater than zero.");
            ui::MessageBox(text, ui::Buttons::Ok, ui::Icon::Exclamation);
            dx.Fail(IDC_INITIAL_INCREMENT);
        }
    }
}

void DlgTimeStepping::OnDeltaPosSpin(ui::Notification& n) {
    int count = m_iterations;
    if (ui::ParseInt(GetDlgItemText(IDC_ITERATIONS), count)) m_iterations = count;
    m_iterations += n.delta < 0 ? 1 : -1;
    m_iterations = std::max(m_iterations, 1);
    SetDlgItemText(IDC_ITERATIONS, ui::FormatInt(m_iterations));
    n.result = 1;  // the count is kept here, not in the spin's position
}

void DlgTimeStepping::LoadFrom(const ModelData& model) {
    model.GetTimeSteppingParameters(m_iterations, m_initialIncrement, m_initialTime, m_finalTime, m_minIncrement,
                                    m_tolerance);
}

void DlgTimeStepping::StoreTo(ModelData& model) const {
    model.SetTimeSteppingParameters(m_iterations, m_initialIncrement, m_initialTime, m_finalTime, m_minIncrement,
                                    m_tolerance);
}
