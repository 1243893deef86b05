#include "viz/ui/ResultDialogSupport.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/DataTable.h"
#include "model/ModelData.h"
#include "platform/ui/Controls.h"

namespace resultdlg {

double ReadDouble(const std::string& text) {
    const double v = std::atof(text.c_str());
    return std::isfinite(v) ? v : 0.0;
}

bool ShowsOwnText(const std::string& text, double value, std::string (*format)(double)) {
    return text == format(value);
}

int ReadInt(const std::string& text) {
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

std::string IntText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string ResultColumnCaption(const ModelData& model, int column) {
    if (column < 0 || column >= static_cast<int>(model.resultCaptions.size())) return {};
    return model.resultCaptions[static_cast<std::size_t>(column)];
}

namespace {

std::vector<int> StepNumbers(const ModelData& model) {
    const int count = model.GetStepCount();
    if (count <= 0) return {};
    std::vector<int> steps(static_cast<std::size_t>(count));
    model.GetStepNumbers(steps.data());
    return steps;
}

}  // namespace

int FillStepList(ui::ComboBox& list, const ModelData& model) {
    const std::vector<int> steps = StepNumbers(model);
    for (int s : steps) list.AddString(IntText(s));
    return steps.empty() ? 0 : steps.front();
}

int LastStepNumber(const ModelData& model) {
    const std::vector<int> steps = StepNumbers(model);
    return steps.empty() ? 0 : steps.back();
}

int StepNodeNumber(const NodeTable& nodes, int node, int delta) {
    const int count = nodes.GetCount();
    if (count <= 0) return node;
    int row = nodes.FindNodeRowById(node);
    if (row < 0) row = nodes.FindNearestRow(node);
    row += delta < 0 ? 1 : -1;
    if (row < 0) row = 0;
    if (row > count - 1) row = count - 1;
    return nodes.GetNodeId(row);
}

double StepLeadingDigit(double magnitude, bool grow, double offset) {
    const double l = std::log10(magnitude);
    int p = static_cast<int>(l);
    if (l < 0.0) --p;
    const double g = std::pow(10.0, p);
    // At the ends of the double range: below it the value steps to 0 or
    // doubles, above it the value stays.
    if (!(g > 0.0)) return grow ? 2.0 * magnitude : 0.0;
    const int h = static_cast<int>(magnitude / g + offset);
    const double next = grow ? (h == 10 ? 20.0 * g : (h + 1) * g) : (h == 1 ? 0.9 * g : (h - 1) * g);
    return std::isfinite(next) ? next : magnitude;
}

}  // namespace resultdlg
