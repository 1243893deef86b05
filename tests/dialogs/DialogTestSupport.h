// Shared fixture of the dialog tests: a small model behind fake document and
// view hosts that record what the dialogs ask of them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/HeadlessTest.h"

namespace dialogtest {

class FakeDoc : public DocHost {
public:
    ModelData* GetModelData() const override { return model; }
    void SetModifiedFlag(bool m) override { modifiedFlag = m; }
    void UpdateAllViews() override { ++updates; }
    int PickMode() const override { return pickMode; }
    void SetPickMode(int mode) override { pickMode = mode; }
    void OnMaterialDataDialogClosed() override { ++materialClosed; }
    void OnNodalActionsDialogClosed() override { ++nodalClosed; }
    void OnEdgeActionsDialogClosed() override { ++edgeClosed; }

    ModelData* model = nullptr;
    bool modifiedFlag = false;
    int updates = 0;
    int pickMode = 0;
    int materialClosed = 0;
    int nodalClosed = 0;
    int edgeClosed = 0;
};

class FakeView : public ViewHost {
public:
    ModelData* GetModelData() const override { return model; }
    void SetHighlightedItems(int kind, const std::string& text) override { highlight = {kind, text}; }
    void SetHighlightState(int kind, const std::string& text) override { state = {kind, text}; }
    void AddPickedItem(int kind, const std::string& text) override { picked.emplace_back(kind, text); }
    void ClearPickedItems() override { picked.clear(); }
    void SetPickTarget(int kind) override { pickTarget = kind; }
    int FindElementUsingNode(int node) const override { return model ? model->ElementOfNode(node) : 0; }
    void RebuildScene() override { ++rebuilds; }
    void RepaintView() override { ++repaints; }

    ModelData* model = nullptr;
    std::pair<int, std::string> highlight{0, ""};
    std::pair<int, std::string> state{0, ""};
    std::vector<std::pair<int, std::string>> picked;
    int pickTarget = 0;
    int rebuilds = 0;
    int repaints = 0;
};

// Nodes 1 (0,0,0), 2 (0,1,0), 3 (0,1,1), 4 (0,0,1); the 4-node element 1 on
// them; the element set "MID" holding element 1; one material row "1".
inline void BuildSmallModel(ModelData& m) {
    m.nodesPerElement = 4;
    m.Reset();
    NodeTable& nodes = *m.GetNodeTable();
    nodes.AddNodeRow(1, 0, 0, 0);
    nodes.AddNodeRow(2, 0, 1, 0);
    nodes.AddNodeRow(3, 0, 1, 1);
    nodes.AddNodeRow(4, 0, 0, 1);
    nodes.CountNodeRows();
    nodes.RebuildNodeTableIndex();
    m.nodeCount = 4;
    ElementTable& elements = *m.GetElementTable();
    const int ids[] = {1, 2, 3, 4};
    elements.AddElementRow(1, 1, ids);
    elements.CountRows();
    elements.RebuildIndex();
    SetMemberList members;
    members.AddSetMemberRow("1", 0, 1, 1);
    members.CountSetMemberRows();
    members.RebuildSetMemberIndex();
    SetTable& sets = *m.GetSetTable(2);
    sets.AddSetRow("MID", &members);
    sets.CountRows();
    sets.RebuildIndex();
    MaterialTable& materials = *m.GetMaterialTable();
    materials.AddMaterialRow("1", kMaterialIsotropic, 30000.0, 2000.0, 0.2, 0.3);
    materials.CountMaterialRows();
    materials.RebuildMaterialIndex();
    m.RebuildNodeIndex();
    m.ClearChanged();
}

// The small model with a fifth node taking node 1's place in element 1, so
// node 1 belongs to no element and may be renumbered.
inline void FreeNodeOne(ModelData& m) {
    NodeTable& nodes = *m.GetNodeTable();
    nodes.AddNodeRow(5, 0, 0.5, 0);
    nodes.CountNodeRows();
    nodes.RebuildNodeTableIndex();
    m.nodeCount = 5;
    ElementTable& elements = *m.GetElementTable();
    elements.Clear();
    const int ids[] = {5, 2, 3, 4};
    elements.AddElementRow(1, 1, ids);
    elements.CountRows();
    elements.RebuildIndex();
    m.RebuildNodeIndex();
    m.ClearChanged();
}

class DialogFixture : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        BuildSmallModel(model);
        doc.model = &model;
        view.model = &model;
    }
    // The texts of the message boxes shown so far.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& b : driver.MessageBoxes()) texts.push_back(b.text);
        return texts;
    }
    // Creates a dialog modeless and shows it, as the user would find it.
    static void Open(ui::Dialog& d) {
        ASSERT_TRUE(d.Create());
        d.ShowWindow(true);
    }
    std::string LastBox() const { return driver.MessageBoxes().empty() ? "" : driver.MessageBoxes().back().text; }

    ModelData model;
    FakeDoc doc;
    FakeView view;
};

}  // namespace dialogtest
