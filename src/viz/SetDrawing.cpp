// Highlights and sets named by item texts: numbers, ranges, set names and
// "ALL", drawn as node points, element faces with their outline, or element
// sides.

#include <cstdlib>
#include <string>

#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/ItemWalk.h"
#include "viz/Scene.h"

namespace viz {

namespace {

// The number in the text field that starts at `at`, read up to its first
// character that cannot belong to one; 0 beyond the text.
double FieldNumber(const std::string& text, std::size_t at) {
    if (at >= text.size()) return 0.0;
    return std::strtod(text.c_str() + at, nullptr);
}

}  // namespace

void DrawNodeSet(const ModelData& model, int deformed, int step, const std::string& text, float pointSize) {
    if (text.empty()) return;
    if (model.drawPickKind == 4) {
        DrawPoint(FieldNumber(text, 0), FieldNumber(text, 20), FieldNumber(text, 40), pointSize);
        return;
    }
    ItemWalk(model, ItemWalk::kNodes, [&](int row, int) {
        double x, y, z;
        model.NodePosition(x, y, z, row, deformed, step);
        DrawPoint(x, y, z, pointSize);
    }).Text(text);
}

void DrawElementSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness) {
    ItemWalk(model, ItemWalk::kElements, [&](int row, int) {
        DrawElementFace(model, deformed, step, row, showThickness);
        glPushAttrib(GL_CURRENT_BIT);
        SetColor(50, 50, 50);
        for (int side = 0; side < 4; ++side)
            DrawElementSideIndex(model, deformed, step, row, side, showThickness, 0, 1);
        glPopAttrib();
    }).Text(text);
}

void DrawEdgeSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness,
                 int lineWidth) {
    ItemWalk(model, ItemWalk::kSides, [&](int row, int side) {
        DrawElementSideNumber(model, deformed, step, row, side, showThickness, 0, lineWidth);
    }).Text(text);
}

}  // namespace viz
