// Grid-line tables for the structured-mesh tests: spans (divisions, length)
// written into a direction of the model as the grid-line dialog stores them.
#pragma once

#include <vector>

#include "model/ModelData.h"

namespace meshtest {

struct Span {
    int divisions;
    double length;
};

// Appends the spans to the grid-line table of the direction (1 or 2), with
// their running totals.
inline void FillGrid(ModelData& m, int direction, const std::vector<Span>& spans) {
    NodeTable* t = m.GetGridTable(direction);
    double total = 0.0;
    for (const Span& s : spans) t->AddNodeRow(s.divisions, s.length, total += s.length, 0.0);
    t->CountNodeRows();
    t->RebuildNodeTableIndex();
}

}  // namespace meshtest
