// The scene, the highlights, the contour legend and the step caption.

#include <cstdio>

#include "model/Interpolation.h"
#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "viz/Scene.h"
#include "viz/Symbols.h"
#include "viz/Text.h"

namespace viz {

namespace {

bool IsZeroText(const std::string& text) { return text == "0"; }

// Elements, contours and the undeformed outline (scene steps 1 to 4).
void DrawMeshAndResults(const ModelData& model, const DisplayOptions& o) {
    const int elementStep = o.showDeformed ? o.step : 0;
    const bool filled = o.contourColumn != 0 && o.contourStyle != 1;
    const int faces = filled ? 0 : o.solidFaces;
    DrawElementsForPick(model, o.boundaryOnly, o.showDeformed, elementStep, 0, faces, o.showThickness);

    if (o.contourColumn != 0) {
        if (o.contourStyle != 1) DrawFilledContours(model, o.showDeformed, o.step, o.contourColumn);
        if (o.contourStyle != 0) {
            glDisable(GL_DEPTH_TEST);
            DrawContourLines(model, o.showDeformed, o.step, o.contourColumn, o.contourStyle);
            glEnable(GL_DEPTH_TEST);
        }
        if (o.meshOverContours == 1)
            DrawElementsForPick(model, o.boundaryOnly, o.showDeformed, elementStep, 0, 0, o.showThickness);
    }

    if (o.showDeformed && o.showUndeformed) {
        glDisable(GL_DEPTH_TEST);
        DrawElementsForPick(model, o.boundaryOnly, 0, 0, 1, 0, o.showThickness);
    }
}

// Translucent drawing of element faces: culling and blending on around it.
template <class Draw>
void Translucent(Draw draw) {
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw();
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
}

// The set of the set definition dialog (scene step 7).
void DrawDefinedSet(const ModelData& model, const DisplayOptions& o) {
    if (o.setKind == 0 || IsZeroText(o.setText)) return;
    switch (o.setKind) {
        case 1:
            SetColor(128, 128, 0);
            DrawNodeSet(model, o.showDeformed, o.step, o.setText, 8.0f);
            break;
        case 2:
            Translucent([&] {
                SetColorWord(0x808000, 0.75f);  // (0, 128, 128)
                DrawElementSet(model, o.showDeformed, o.step, o.setText, o.showThickness);
            });
            break;
        case 3:
            SetColor(128, 0, 128);
            DrawEdgeSet(model, o.showDeformed, o.step, o.setText, o.showThickness, 3);
            break;
        default: break;
    }
}

// Left edge of the legend column and top of its first bar.
struct LegendOrigin {
    int y0, z0;
};

LegendOrigin LegendAt(int height, int width, int legendOffset) {
    return {width / 2 - 150 - legendOffset, 50 - height / 2};
}

}  // namespace

void DrawScene(ModelData& model, DisplayOptions options) {
    model.symbolScale = options.symbolScale;
    model.drawPickKind = options.pickKind;
    if (model.redrawFlag == 0) return;

    DrawMeshAndResults(model, options);

    glDisable(GL_DEPTH_TEST);
    const int d = options.showDeformed, s = options.step;
    if (options.nodeDisplay == 1 || options.nodeDisplay == 3) DrawNodesForPick(model, d, s);
    if (options.nodeDisplay == 2 || options.nodeDisplay == 3) DrawNodeLabels(model, d, s);
    if (options.showElementNumbers) DrawElementLabels(model, d, s);

    DrawSymbols(model, options);
    DrawDefinedSet(model, options);
    glEnable(GL_DEPTH_TEST);
}

void DrawSelectionScene(ModelData& model, const DisplayOptions& display, int kind, const std::string& text,
                        int picked) {
    glDisable(GL_DEPTH_TEST);
    model.symbolScale = display.symbolScale;
    model.drawPickKind = kind;
    const int d = display.showDeformed, s = display.step;
    if (kind != 0 && !IsZeroText(text)) {
        switch (kind) {
            case 2:
                Translucent([&] {
                    SetColorWord(picked ? 0x7D7D7D : 0xFFFF00, 0.75f);  // (125,125,125) or (0,255,255)
                    DrawElementSet(model, d, s, text, display.showThickness);
                });
                break;
            case 1:
            case 4:
                if (picked)
                    SetColor(100, 100, 100);
                else
                    SetColor(255, 255, 0);
                DrawNodeSet(model, d, s, text, 10.0f);
                break;
            case 3:
                if (picked)
                    SetColor(100, 100, 100);
                else
                    SetColor(255, 0, 255);
                DrawEdgeSet(model, d, s, text, display.showThickness, 5);
                break;
            default: break;
        }
    }
    glEnable(GL_DEPTH_TEST);
}

void DrawContourLegend(const ModelData& model, int height, int width, int contourColumn, int, int legendOffset) {
    if (model.redrawFlag == 0) return;
    double lo = 0.0, hi = 0.0, increment = 0.0;
    int n = 0;
    model.GetContourLimits(lo, hi, n, increment);
    if (n < 1) n = 1;
    const LegendOrigin at = LegendAt(height, width, legendOffset);

    const std::size_t column = static_cast<std::size_t>(contourColumn - 1);
    const std::string caption =
        contourColumn >= 1 && column < model.resultCaptions.size() ? model.resultCaptions[column] : std::string();
    SetColorWord(model.foregroundColor, 1.0f);
    DrawText(caption, 0.0, at.y0 + 52, at.z0 - 20);

    char text[32];
    for (int k = 0; k <= n; ++k) {
        const double value = ContourLevel(lo, hi, n, k);
        const int zk = at.z0 + 20 * k;
        const RampColor c = ColorRamp(value, hi, lo);
        SetColor(c.r, c.g, c.b);
        glLineWidth(20.0f);
        DrawLine(0.0, at.y0, zk, 0.0, at.y0 + 50, zk);
        std::snprintf(text, sizeof text, "%10.4E", value);
        SetColorWord(model.foregroundColor, 1.0f);
        DrawText(text, 0.0, at.y0 + 62, zk + 5);
    }
    glLineWidth(1.0f);
}

void DrawStepCaption(const ModelData& model, int height, int width, int, int, int step, int legendOffset) {
    if (model.redrawFlag == 0) return;
    const LegendOrigin at = LegendAt(height, width, legendOffset);
    char text[32];
    std::snprintf(text, sizeof text, "Step = %d", step);
    DrawText(text, 0.0, at.y0 + 52, height / 2 - 70);
}

}  // namespace viz
