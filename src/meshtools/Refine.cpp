#include "meshtools/Refine.h"

#include "meshtools/LocalGrid.h"
#include "meshtools/MeshRewrite.h"
#include "model/ModelData.h"

namespace {

constexpr const char* kTooLarge = "The refined mesh would have more than 100,000,000 nodes";

}  // namespace

bool RefinementTooLarge(const ModelData& model, int a, int b) {
    const ElementTable* elements = model.GetElementTable();
    if (!elements) return false;
    return RefinedNodeBound(elements->GetCount(), a, b, elements->GetNodesPerElement()) > kMaxRefinedNodes;
}

std::string RefineMesh(ModelData& model, int a, int b) {
    if (a < 1 || b < 1 || (a == 1 && b == 1)) return {};
    const ElementTable* elements = model.GetElementTable();
    if (!elements || elements->GetCount() == 0 || !model.GetNodeTable()) return {};
    if (RefinementTooLarge(model, a, b)) return kTooLarge;
    model.RebuildNodeIndex();
    const LocalGridMesh mesh = RebuildLocalGrids(model, a, b, elements->GetNodesPerElement());
    if (!mesh.error.empty()) return mesh.error;
    MeshRewritePlan plan;
    plan.elementsRenumbered = true;
    InstallRebuiltMesh(model, mesh, plan);
    return {};
}
