// Element faces and sides, node points, node and element numbers.

#include <cmath>
#include <cstdio>

#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/Scene.h"
#include "viz/Text.h"

namespace viz {

namespace {

// Break points of a side: each half in five segments, 1/8 at its ends and 1/4
// inside.
constexpr double kSideBreaks[11] = {-1.0, -0.875, -0.625, -0.375, -0.125, 0.0, 0.125, 0.375, 0.625, 0.875, 1.0};

// Running and fixed coordinate of side 0..3.
void SideCoordinates(int side, int& running, double& fixed) {
    running = side == 0 || side == 2 ? 1 : 2;
    fixed = side == 0 || side == 3 ? -1.0 : 1.0;
}

// The side line of index 0..3 of an element row.
SideLine SideOf(int deformed, int step, int element, int side, int showThickness, int dashed, int lineWidth) {
    SideLine line;
    line.deformed = deformed;
    line.step = step;
    line.element = element;
    SideCoordinates(side, line.running, line.fixed);
    line.showThickness = showThickness;
    line.dashed = dashed;
    line.lineWidth = lineWidth;
    return line;
}

// Four triangles around the centre c of the rim p0..p4 (p4 = p0), each with
// the normal of its own plane, inside an open glBegin(GL_TRIANGLES).
void FanAsTriangles(const double* c, const double (*p)[3]) {
    for (int k = 0; k < 4; ++k) {
        const float x[3] = {float(c[0]), float(p[k][0]), float(p[k + 1][0])};
        const float y[3] = {float(c[1]), float(p[k][1]), float(p[k + 1][1])};
        const float z[3] = {float(c[2]), float(p[k][2]), float(p[k + 1][2])};
        float normal[3];
        ComputeFaceNormal(x, y, z, normal);
        glNormal3fv(normal);
        for (int v = 0; v < 3; ++v) glVertex3f(x[v], y[v], z[v]);
    }
}

void FaceSurface(const ElementNodes& nodes, double zeta, int thickness) {
    const double d = 1.0;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const double xi0 = -1.0 + i * d, eta0 = -1.0 + j * d;
            const double corners[5][2] = {
                {xi0, eta0}, {xi0 + d, eta0}, {xi0 + d, eta0 + d}, {xi0, eta0 + d}, {xi0, eta0}};
            double c[3], p[5][3];
            nodes.Point(xi0 + d / 2, eta0 + d / 2, zeta, thickness, c[0], c[1], c[2]);
            for (int k = 0; k < 5; ++k)
                nodes.Point(corners[k][0], corners[k][1], zeta, thickness, p[k][0], p[k][1], p[k][2]);
            FanAsTriangles(c, p);
        }
    }
    glEnd();
}

// Walls of the thickness view on every side that is not the second copy of
// a shared side of one material.
void SideWalls(const ModelData& model, const ElementNodes& nodes) {
    glBegin(GL_TRIANGLES);
    for (int side = 0; side < 4; ++side) {
        if (EdgeFlag(model, nodes.Element(), side) == 3) continue;
        const int m = ScreenSegments(model.symbolScale, nodes.CornerDistance(side, (side + 1) % 4), 20.0);
        for (int k = 0; k < m; ++k) {
            const double s0 = -1.0 + 2.0 * k / m, s1 = -1.0 + 2.0 * (k + 1) / m;
            double c[3], p[5][3];
            nodes.SidePoint(side, (s0 + s1) / 2, 1.0, 1, c[0], c[1], c[2]);
            nodes.SidePoint(side, s0, 0.0, 1, p[0][0], p[0][1], p[0][2]);
            nodes.SidePoint(side, s0, 2.0, 1, p[1][0], p[1][1], p[1][2]);
            nodes.SidePoint(side, s1, 2.0, 1, p[2][0], p[2][1], p[2][2]);
            nodes.SidePoint(side, s1, 0.0, 1, p[3][0], p[3][1], p[3][2]);
            for (int a = 0; a < 3; ++a) p[4][a] = p[0][a];
            FanAsTriangles(c, p);
        }
    }
    glEnd();
}

// The face of one gathered element; names it when `named`.
void DrawFace(const ModelData& model, const ElementNodes& nodes, int showThickness, bool named) {
    glShadeModel(GL_SMOOTH);
    const FacesBehindLines behind;
    if (named) glLoadName(static_cast<GLuint>(model.GetElementTable()->GetRow(nodes.Element())->id));
    if (!showThickness) {
        FaceSurface(nodes, -1.0, 0);
        return;
    }
    FaceSurface(nodes, 0.0, 1);
    FaceSurface(nodes, 2.0, 1);
    SideWalls(model, nodes);
}

// Polyline of one side through the break points at one zeta.
void SidePolyline(const ElementNodes& nodes, const SideLine& line, double zeta) {
    double pts[11][3];
    for (int k = 0; k < 11; ++k) {
        const double s = kSideBreaks[k];
        const double xi = line.running == 1 ? s : line.fixed;
        const double eta = line.running == 1 ? line.fixed : s;
        double x, y, z;
        nodes.Point(xi, eta, zeta, line.showThickness, x, y, z);
        const double w =
            (line.ox != 0.0 || line.oy != 0.0 || line.oz != 0.0) ? nodes.Weight(xi, eta, line.weights) : 1.0;
        pts[k][0] = x + line.ox * w;
        pts[k][1] = y + line.oy * w;
        pts[k][2] = z + line.oz * w;
    }
    if (!line.dashed) {
        glBegin(GL_LINE_STRIP);
        for (const auto& p : pts) glVertex3dv(p);
        glEnd();
        return;
    }
    // Segments 1, 3 and 5 of each half.
    glBegin(GL_LINES);
    for (int k : {0, 2, 4, 5, 7, 9}) {
        glVertex3dv(pts[k]);
        glVertex3dv(pts[k + 1]);
    }
    glEnd();
}

void DrawSideOf(const ElementNodes& nodes, const SideLine& line) {
    glLineWidth(static_cast<GLfloat>(line.lineWidth));
    if (line.showThickness) {
        SidePolyline(nodes, line, 0.0);
        SidePolyline(nodes, line, 2.0);
    } else {
        SidePolyline(nodes, line, -1.0);
    }
    glLineWidth(1.0f);
}

bool DrawsSide(const ModelData& model, int element, int side, int boundaryOnly, int showThickness) {
    if (showThickness) return true;
    const int flag = EdgeFlag(model, element, side);
    if (flag > 1) return false;
    return !(boundaryOnly == 1 && flag >= 1);
}

// The thickness view joins the side's corners through the slab.
void DrawCornerEdges(const ElementNodes& nodes, int side) {
    for (double s : {-1.0, 1.0}) {
        double a[3], b[3];
        nodes.SidePoint(side, s, 0.0, 1, a[0], a[1], a[2]);
        nodes.SidePoint(side, s, 2.0, 1, b[0], b[1], b[2]);
        DrawLine(a[0], a[1], a[2], b[0], b[1], b[2]);
    }
}

void DrawSides(const ModelData& model, int boundaryOnly, int deformed, int step, int dashed, int showThickness) {
    const bool named = model.drawPickKind == 3;
    SetColor(64, 64, 64);
    if (named) {
        glInitNames();
        glPushName(0);
    }
    if (!showThickness) glDisable(GL_DEPTH_TEST);
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        const int e = nodes.Element();
        const int id = model.GetElementTable()->GetRow(e)->id;
        for (int side = 0; side < 4; ++side) {
            if (!DrawsSide(model, e, side, boundaryOnly, showThickness)) continue;
            if (named) glLoadName(static_cast<GLuint>(4 * id + side + 1));
            DrawSideOf(nodes, SideOf(deformed, step, e, side, showThickness, dashed, 1));
            if (showThickness) DrawCornerEdges(nodes, side);
        }
    });
    if (!showThickness) glEnable(GL_DEPTH_TEST);
    if (named) glInitNames();
}

}  // namespace

void DrawElementsForPick(const ModelData& model, int boundaryOnly, int deformed, int step, int dashed, int faces,
                         int showThickness) {
    if (faces == 1) {
        const bool named = model.drawPickKind == 2;
        SetColor(255, 192, 203);
        if (named) {
            glInitNames();
            glPushName(0);
        }
        ForEachDrawableElement(model, deformed, step,
                               [&](const ElementNodes& nodes) { DrawFace(model, nodes, showThickness, named); });
        if (named) glInitNames();
    }
    DrawSides(model, boundaryOnly, deformed, step, dashed, showThickness);
}

void DrawDeformedElements(const ModelData& model, int deformed, int step, int element, int showThickness) {
    const ElementNodes nodes(model, element, deformed, step);
    if (nodes.Complete()) DrawFace(model, nodes, showThickness, model.drawPickKind == 2);
}

void DrawElementFace(const ModelData& model, int deformed, int step, int element, int showThickness) {
    const ElementNodes nodes(model, element, deformed, step);
    if (nodes.Complete()) DrawFace(model, nodes, showThickness, false);
}

void DrawElementSide(const ModelData& model, const SideLine& line) {
    const ElementNodes nodes(model, line.element, line.deformed, line.step);
    if (nodes.Complete()) DrawSideOf(nodes, line);
}

void DrawElementSideIndex(const ModelData& model, int deformed, int step, int element, int sideIndex, int showThickness,
                          int dashed, int lineWidth) {
    if (sideIndex < 0 || sideIndex > 3) return;
    DrawElementSide(model, SideOf(deformed, step, element, sideIndex, showThickness, dashed, lineWidth));
}

void DrawElementSideNumber(const ModelData& model, int deformed, int step, int element, int side, int showThickness,
                           int dashed, int lineWidth) {
    DrawElementSideIndex(model, deformed, step, element, side - 1, showThickness, dashed, lineWidth);
}

void DrawNodesForPick(const ModelData& model, int deformed, int step) {
    const NodeTable* table = model.GetNodeTable();
    if (!table) return;
    const bool named = model.drawPickKind == 1;
    SetColor(255, 0, 0);
    if (named) {
        glInitNames();
        glPushName(0);
    }
    // The points share one state, set once. Unnamed they go in one batch;
    // named, each point is a batch of its own after its name.
    glEnable(GL_POINT_SMOOTH);
    glPointSize(6.0f);
    const int count = table->GetCount();
    if (!named) glBegin(GL_POINTS);
    for (int i = 0; i < count; ++i) {
        double x, y, z;
        model.NodePosition(x, y, z, i, deformed, step);
        if (named) {
            glLoadName(static_cast<GLuint>(table->GetRow(i)->id));
            glBegin(GL_POINTS);
        }
        glVertex3d(x, y, z);
        if (named) glEnd();
    }
    if (!named) glEnd();
    glDisable(GL_POINT_SMOOTH);
    if (named) glInitNames();
}

void DrawNodeLabels(const ModelData& model, int deformed, int step) {
    const NodeTable* table = model.GetNodeTable();
    if (!table) return;
    SetColorWord(model.nodeNumberColor, 1.0f);
    const int count = table->GetCount();
    char text[16];
    for (int i = 0; i < count; ++i) {
        double x, y, z;
        model.NodePosition(x, y, z, i, deformed, step);
        std::snprintf(text, sizeof text, "%d", table->GetRow(i)->id);
        DrawText(text, x, y, z);
    }
}

void DrawElementLabels(const ModelData& model, int deformed, int step) {
    const ElementTable* table = model.GetElementTable();
    if (!table) return;
    SetColorWord(model.elementNumberColor, 1.0f);
    // A 9-node element's number stands off the centre node's number.
    const double at = ElementNodeCount(model) == 9 ? 0.5 : 0.0;
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        double x, y, z;
        nodes.Point(at, at, 0.0, 0, x, y, z);
        char text[16];
        std::snprintf(text, sizeof text, "%d", table->GetRow(nodes.Element())->id);
        DrawText(text, x, y, z);
    });
}

}  // namespace viz
