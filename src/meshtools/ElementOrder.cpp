#include "meshtools/ElementOrder.h"

#include "meshtools/LocalGrid.h"
#include "meshtools/MeshRewrite.h"
#include "model/ModelData.h"

std::string ConvertElementOrder(ModelData& model, int nodesPerElement) {
    const ElementTable* elements = model.GetElementTable();
    if (!elements || elements->GetCount() == 0 || !model.GetNodeTable()) return {};
    if (elements->GetNodesPerElement() == nodesPerElement) return {};
    model.RebuildNodeIndex();
    const LocalGridMesh mesh = RebuildLocalGrids(model, 1, 1, nodesPerElement);
    if (!mesh.error.empty()) return mesh.error;
    MeshRewritePlan plan;
    plan.adjustIntegration = true;
    InstallRebuiltMesh(model, mesh, plan);
    return {};
}

std::string ConvertToQuad9(ModelData& model) { return ConvertElementOrder(model, 9); }
std::string ConvertToLinear4(ModelData& model) { return ConvertElementOrder(model, 4); }
std::string ConvertToQuad8(ModelData& model) { return ConvertElementOrder(model, 8); }
