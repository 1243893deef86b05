// Shared pieces of the result-dialog tests: a model read from the fixtures
// and fakes of the document and the view that record what the dialogs ask.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "uibase/Hosts.h"
#include "model/ModelData.h"

namespace plottest {

inline std::string Fixture(const std::string& name) { return std::string(BRENNIX_TEST_DATA) + "/viz/" + name; }

// The 3 x 3 mesh (nodes 1 + i + 4 j at y = i, z = j) with its two node paths.
inline void ReadMesh(ModelData& model) { ASSERT_EQ(model.ReadModelFile(Fixture("mesh3x3.slb"), true), 0); }

class FakeDoc : public DocHost {
public:
    explicit FakeDoc(ModelData* model) : model_(model) {}
    ModelData* GetModelData() const override { return model_; }
    void SetModifiedFlag(bool modified) override { modifiedCalls.push_back(modified); }
    void UpdateAllViews() override { ++viewUpdates; }
    std::vector<bool> modifiedCalls;
    int viewUpdates = 0;

private:
    ModelData* model_;
};

class FakeView : public ViewHost {
public:
    explicit FakeView(ModelData* model) : model_(model) {}
    ModelData* GetModelData() const override { return model_; }
    void SetHighlightedItems(int kind, const std::string& text) override { highlights.emplace_back(kind, text); }
    void RebuildScene() override { ++rebuilds; }
    void RepaintView() override { ++repaints; }
    void ShowCutLines(bool show) override { cutLinesShown = show; }
    void StoreCutLines() override {
        ++stores;
        if (model_) model_->ResetCutLines();
    }
    std::vector<std::pair<int, std::string>> highlights;
    int rebuilds = 0;
    int repaints = 0;
    int stores = 0;
    bool cutLinesShown = false;

private:
    ModelData* model_;
};

}  // namespace plottest
