#pragma once
// A view for the result and view-settings dialogs: it keeps what the program's
// view keeps of them and records the calls that have no state. Results are
// built in memory with the model's five result groups.

#include <functional>
#include <string>
#include <vector>

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "platform/ui/Types.h"

namespace viztest {

class FakeView : public ViewHost {
public:
    ModelData* model = nullptr;
    ContourSettings contour;
    int step = 1;
    int deformed = 0, undeformed = 0;
    LabelFont font;
    unsigned background = ui::Rgb(255, 255, 255);
    float rotationX = 0.0f, rotationY = 0.0f, rotationZ = 0.0f;
    int rebuildScene = 1;
    int highlightKind = 0;
    std::string highlight = "0";
    std::vector<std::string> calls;

    ModelData* GetModelData() const override { return model; }
    void SetHighlightedItems(int kind, const std::string& text) override {
        highlightKind = kind;
        highlight = text;
    }
    void SetHighlightState(int kind, const std::string& text) override {
        calls.push_back("PickState " + std::to_string(kind) + " " + text);
    }
    void RepaintView() override { calls.push_back("Repaint"); }
    void SetContourRange() override {
        if (model) model->SetContourRange(step, contour.column);
    }
    void SetRotation(float x, float y, float z) override {
        rotationX = x;
        rotationY = -y;
        rotationZ = -z;
    }
    void GetRotation(float& x, float& y, float& z) const override {
        x = rotationX;
        y = rotationY;
        z = rotationZ;
    }
    void KeepCompiledScene() override { rebuildScene = 0; }
    ContourSettings GetContourSettings() const override { return contour; }
    void SetContourSettings(const ContourSettings& s) override { contour = s; }
    int CurrentStep() const override { return step; }
    void SetCurrentStep(int s) override { step = s; }
    void GetDeformedShape(int& d, int& u) const override {
        d = deformed;
        u = undeformed;
    }
    void SetDeformedShape(int d, int u) override {
        deformed = d;
        undeformed = u;
    }
    LabelFont GetLabelFont() const override { return font; }
    void SetLabelFont(const LabelFont& f) override { font = f; }
    void RebuildFont() override { calls.push_back("RebuildFont"); }
    void SetBackgroundColor(unsigned rgb) override { background = rgb; }
    void OnNodeResultsDialogClosed() override { calls.push_back("NodeResultsClosed"); }
    void OnResultValuesDialogClosed() override { calls.push_back("ResultValuesClosed"); }
};

// Steps 1 .. count of every node, in that order; value(column, row, step).
// Columns are captioned "C0" .. "C25".
inline void AddResultSteps(ModelData& model, int count, const std::function<double(int, int, int)>& value) {
    model.ResetResultsState();
    model.resultColumnCount = 26;
    model.resultGroupStart = {0, 6, 12, 17, 23};
    model.resultGroupSize = {6, 6, 5, 6, 1};
    model.resultCaptions.clear();
    for (int c = 0; c < 26; ++c) model.resultCaptions.push_back("C" + std::to_string(c));
    const int rows = model.GetNodeCount();
    ResultStep* last = nullptr;
    for (int s = 1; s <= count; ++s) {
        auto* step = new ResultStep;
        step->stepNumber = s;
        step->rowCount = rows;
        for (int r = 0; r < rows; ++r) {
            std::vector<double> row(26);
            for (int c = 0; c < 26; ++c) row[static_cast<std::size_t>(c)] = value(c, r, s);
            step->rows.push_back(row);
        }
        (last ? last->next : model.resultSteps) = step;
        last = step;
        ++model.stepCount;
    }
    model.resultsFlag = 1;
}

}  // namespace viztest
