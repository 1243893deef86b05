// Support and action symbols and cut lines of the scene.

#include "viz/Symbols.h"

namespace viz {

void DrawSymbols(const ModelData& model, const DisplayOptions& o)
{
    using Drawer = void (*)(const ModelData&, int, int, int);
    const struct {
        int flag;
        Drawer draw;
    } symbols[] = {
        {o.showConstraints, DrawConstraintSymbols},
        {o.showNodalLoads, DrawNodalLoadSymbols},
        {o.showNodalStiffness, DrawNodalStiffnessSymbols},
        {o.showNonlinearNodalStiffness, DrawNonlinearNodalStiffnessSymbols},
        {o.showEquivalentLoads, DrawEquivalentLoadSymbols},
        {o.showConcentratedLoads, DrawConcentratedLoadSymbols},
        {o.showConcentratedStiffness, DrawConcentratedStiffnessSymbols},
        {o.showTotalConcentratedStiffness, DrawTotalConcentratedStiffnessSymbols},
        {o.showDistributedLoads, DrawDistributedLoadSymbols},
        {o.showDistributedStiffness, DrawDistributedStiffnessSymbols},
        {o.showEdgeLoads, DrawEdgeLoadSymbols},
        {o.showEdgeStiffness, DrawEdgeStiffnessSymbols},
        {o.showCutLines, DrawCutLines},
    };
    for (const auto& s : symbols)
        if (s.flag) s.draw(model, o.showDeformed, o.step, o.solidFaces);
}

// The symbol drawers follow with the symbol drawing itself; until then each
// draws nothing.
void DrawConstraintSymbols(const ModelData&, int, int, int) {}
void DrawNodalLoadSymbols(const ModelData&, int, int, int) {}
void DrawNodalStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawNonlinearNodalStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawEquivalentLoadSymbols(const ModelData&, int, int, int) {}
void DrawConcentratedLoadSymbols(const ModelData&, int, int, int) {}
void DrawConcentratedStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawTotalConcentratedStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawDistributedLoadSymbols(const ModelData&, int, int, int) {}
void DrawDistributedStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawEdgeLoadSymbols(const ModelData&, int, int, int) {}
void DrawEdgeStiffnessSymbols(const ModelData&, int, int, int) {}
void DrawCutLines(const ModelData&, int, int, int) {}

} // namespace viz
