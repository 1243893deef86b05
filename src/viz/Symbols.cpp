// Support and action symbols and cut lines of the scene.

#include "viz/Symbols.h"

#include <algorithm>
#include <cmath>

#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/ItemWalk.h"
#include "viz/Scene.h"
#include "viz/SymbolShapes.h"

namespace viz {

namespace {

constexpr int kSolidStyle = 1;
constexpr float kReferencePoint = 3.0f;

bool Solid(int style) { return style == kSolidStyle; }

// The symbol unit: the inverse of the view magnification.
double UnitOf(const ModelData& model) { return model.symbolScale != 0.0 ? 1.0 / model.symbolScale : 1.0; }

// Turns the local frame so that its x axis is the axis of the component:
// 1 and 4 by 90 degrees about +z, 2 and 5 by 90 degrees about -y. Load
// arrows of translations turn the other way (-90 degrees).
void TurnToComponent(int component, bool loadArrow) {
    const double angle = loadArrow ? -90.0 : 90.0;
    if (component == 1 || component == 4) glRotated(angle, 0.0, 0.0, 1.0);
    if (component == 2 || component == 5) glRotated(angle, 0.0, -1.0, 0.0);
}

// Draws `draw` in the frame of the component at (x, y, z) and restores the
// matrix.
template <class Draw>
void InFrame(int component, bool loadArrow, float x, float y, float z, Draw draw) {
    glPushMatrix();
    glTranslated(x, y, z);
    TurnToComponent(component, loadArrow);
    draw();
    glPopMatrix();
}

// A force arrow whose tip touches the origin from the -x side.
void ForceArrow(double u, bool solid) {
    if (solid) {
        shapes::Rod(-54.0 * u, -24.0 * u, 2.0 * u, true);
        shapes::ArrowHead(-24.0 * u, 6.0 * u, 24.0 * u, true);
    } else {
        shapes::Rod(-36.0 * u, -16.0 * u, 4.0 * u, false);
        shapes::ArrowHead(-16.0 * u, 12.0 * u, 16.0 * u, false);
    }
}

// A moment: the half ring and its head at y = -20u for a positive value
// (y = +20u otherwise), pointing along -z, tangent to the ring.
void MomentArrow(double u, double value, bool solid) {
    shapes::HalfRing(20.0 * u, 4.0 * u, solid);
    glPushMatrix();
    glTranslated(0.0, value > 0.0 ? -20.0 * u : 20.0 * u, 0.0);
    glRotated(90.0, 0.0, 1.0, 0.0);  // x along -z
    shapes::ArrowHead(0.0, 12.0 * u, 16.0 * u, solid);
    glPopMatrix();
}

// ---- Positions of points inside the mesh --------------------------------------

// A point given by its coordinates: moved with the displacement of the
// element holding it when displaced drawing is on; a point outside every
// element stays where it is.
void DisplacedPoint(const ModelData& model, int deformed, int step, double& x, double& y, double& z) {
    if (deformed <= 0) return;
    double xi = 0.0, eta = 0.0;
    const int element = model.LocateElementAtPoint(x, y, z, xi, eta);
    if (element < 0) return;
    const ElementNodes moved(model, element, deformed, step), still(model, element, 0, step);
    if (!moved.Complete()) return;
    double mx, my, mz, sx, sy, sz;
    moved.Point(xi, eta, -1.0, 0, mx, my, mz);
    still.Point(xi, eta, -1.0, 0, sx, sy, sz);
    x += mx - sx;
    y += my - sy;
    z += mz - sz;
}

void ReferencePoint(double x, double y, double z) { DrawPoint(x, y, z, kReferencePoint); }

// ---- Distributed and edge actions ------------------------------------------------

// Offset of the lines of a distributed action: translations 18u along their
// axis (x with the sign of the value, y and z against it), rotations 11u
// along z.
void DistributedOffset(int component, double value, double u, double d[3]) {
    d[0] = d[1] = d[2] = 0.0;
    const double sign = value < 0.0 ? -1.0 : 1.0;
    if (component == 0)
        d[0] = 18.0 * u * sign;
    else if (component < 3)
        d[component] = -18.0 * u * sign;
    else
        d[2] = 11.0 * u;
}

// The valued (loads) or stiffness symbol of one component.
void DrawActionSymbol(bool load, int component, double x, double y, double z, double unit, double value, int style) {
    if (load)
        DrawValueSymbol(component, float(x), float(y), float(z), float(unit), value, style);
    else
        DrawScaledSymbol(component, float(x), float(y), float(z), float(unit), value, style);
}

// One element under one component of a distributed action.
void DistributedComponent(const ModelData& model, const ElementNodes& nodes, bool load, int component, double value,
                          int deformed, int step, int style) {
    const double u = UnitOf(model);
    double d[3];
    DistributedOffset(component, value, u, d);
    for (int running = 1; running <= 2; ++running)
        for (double fixed : {-1.0, 0.0, 1.0}) {
            SideLine line;
            line.deformed = deformed;
            line.step = step;
            line.element = nodes.Element();
            line.running = running;
            line.fixed = fixed;
            line.ox = d[0];
            line.oy = d[1];
            line.oz = d[2];
            DrawElementSide(model, line);
        }
    for (double xi : {-1.0, 0.0, 1.0})
        for (double eta : {-1.0, 0.0, 1.0}) {
            double x, y, z;
            nodes.Point(xi, eta, -1.0, 0, x, y, z);
            DrawActionSymbol(load, component, x, y, z, u / 1.2, value, style);
        }
}

// One element side under an edge action: the load diagram moved by the
// weights and five symbols sized by them.
void EdgeSide(const ModelData& model, const EdgeRow& row, bool load, int element, int side, int deformed, int step,
              int style) {
    const ElementNodes nodes(model, element, deformed, step);
    if (!nodes.Complete()) return;
    const int component = row.dof - 1;
    if (component < 0 || component > 5 || side < 1 || side > 4) return;
    const double u = UnitOf(model);
    double weights[9] = {};
    model.EdgeLoadShape(weights, row.values[0], row.values[1], row.values[2], element, side, 0);

    SideLine line;
    line.deformed = deformed;
    line.step = step;
    line.element = element;
    line.running = side == 1 || side == 3 ? 1 : 2;
    line.fixed = side == 1 || side == 4 ? -1.0 : 1.0;
    // Translations move the diagram 18u down their axis, rotations 11u along z.
    const int axis = component < 3 ? component : 2;
    (axis == 0 ? line.ox : axis == 1 ? line.oy : line.oz) = component < 3 ? -18.0 * u : 11.0 * u;
    line.weights = weights;
    DrawElementSide(model, line);

    for (double s : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        double xi = 0.0, eta = 0.0, x, y, z;
        ModelData::SideLocalCoordinates(xi, eta, side - 1, s);
        nodes.Point(xi, eta, -1.0, 0, x, y, z);
        const double w = nodes.Weight(xi, eta, weights);
        DrawActionSymbol(load, component, x, y, z, std::fabs(w) * u / 2.0, w, style);
    }
}

}  // namespace

// ---- Scene ------------------------------------------------------------------------

void DrawSymbols(const ModelData& model, const DisplayOptions& o) {
    using Drawer = void (*)(const ModelData&, int, int, int, int);
    const struct {
        int flag;
        Drawer draw;
        int kind;
    } symbols[] = {
        {o.showConstraints, DrawNodalTableSymbols, 1},
        {o.showNodalLoads, DrawNodalTableSymbols, 2},
        {o.showNodalStiffness, DrawNodalTableSymbols, 3},
        {o.showNonlinearNodalStiffness, DrawNodalActions, 0},
        {o.showEquivalentLoads, DrawEquivalentLoads, 0},
        {o.showConcentratedLoads, DrawConcentratedTable, 1},
        {o.showConcentratedStiffness, DrawConcentratedTable, 2},
        {o.showTotalConcentratedStiffness, DrawTotalConcentratedStiffness, 0},
        {o.showDistributedLoads, DrawNodalTable, 4},
        {o.showDistributedStiffness, DrawNodalTable, 5},
        {o.showEdgeLoads, DrawEdgeTable, 1},
        {o.showEdgeStiffness, DrawEdgeTable, 2},
    };
    for (const auto& s : symbols)
        if (s.flag) s.draw(model, s.kind, o.showDeformed, o.step, o.solidFaces);
    if (o.showCutLines) DrawCutLines(model);
}

// ---- One symbol ---------------------------------------------------------------------

void DrawDofSymbol(int component, float x, float y, float z, float unit, double flag, int style) {
    if (static_cast<int>(flag + 0.5) == 0 || component < 0 || component > 5 || component == 3) return;
    const double u = unit;
    InFrame(component, false, x, y, z, [&] {
        if (component < 3) {
            shapes::Rod(-25.0 * u, 0.0, 2.0 * u, Solid(style));
            shapes::Comb(-25.0 * u, 20.0 * u, 15.0 * u);
        } else {
            shapes::DoubleRing(u, !Solid(style));
        }
    });
}

void DrawValueSymbol(int component, float x, float y, float z, float unit, double value, int style) {
    if (std::fabs(value) <= kSymbolThreshold || component < 0 || component > 5) return;
    InFrame(component, component < 3, x, y, z, [&] {
        if (component < 3) {
            if (value > 0.0) glRotated(180.0, 0.0, 0.0, 1.0);
            ForceArrow(unit, Solid(style));
        } else {
            MomentArrow(unit, value, Solid(style));
        }
    });
}

void DrawScaledSymbol(int component, float x, float y, float z, float unit, double value, int) {
    if (std::fabs(value) <= kSymbolThreshold || component < 0 || component > 5) return;
    InFrame(component, false, x, y, z, [&] {
        if (component < 3)
            shapes::ZigzagSpring(unit);
        else
            shapes::CoilSpring(unit);
    });
}

void DrawSixComponentSymbols(int type, float x, float y, float z, float unit, const double values[6], int style) {
    for (int i = 0; i < 6; ++i) {
        SetColor(0, 192, 50 * i);
        switch (type) {
            case 1: DrawDofSymbol(i, x, y, z, unit, values[i], style); break;
            case 2: DrawValueSymbol(i, x, y, z, unit, values[i], style); break;
            case 3: DrawScaledSymbol(i, x, y, z, unit, values[i], style); break;
            default: break;
        }
    }
}

// ---- Tables -------------------------------------------------------------------------

void DrawNodalTableSymbols(const ModelData& model, int kind, int deformed, int step, int style) {
    const NodalActionTable* table = model.GetNodalActionTable(kind);
    if (!table || kind < 1 || kind > 3) return;
    SetColor(0, 128, 0);
    const float u = static_cast<float>(UnitOf(model));
    for (const NodalRow* row = table->GetHead(); row; row = row->next) {
        double values[6] = {};
        for (std::size_t j = 0; j < 6; ++j) {
            if (kind == 1)
                values[j] = j < row->flags.size() ? row->flags[j] : 0;
            else
                values[j] = j < row->values.size() ? row->values[j] : 0.0;
        }
        ItemWalk(model, ItemWalk::kNodes, [&](int node, int) {
            double x, y, z;
            model.NodePosition(x, y, z, node, deformed, step);
            ReferencePoint(x, y, z);
            DrawSixComponentSymbols(kind, float(x), float(y), float(z), u, values, style);
        }).Text(row->target);
    }
}

void DrawNodalActions(const ModelData& model, int, int deformed, int step, int) {
    SetColor(0, 128, 0);
    const double u = UnitOf(model);
    for (const NonlinearAction* a = model.FirstNonlinearAction(); a; a = a->next) {
        for (int number : model.SetNodeList(a->nodeText, a->setSelector ? 2 : 1)) {
            const int node = model.NodeRowOfNumber(number);
            if (node < 0) continue;
            double x, y, z;
            model.NodePosition(x, y, z, node, deformed, step);
            ReferencePoint(x, y, z);
            InFrame(0, false, float(x), float(y), float(z), [&] {
                shapes::HelixSpring(u);
                shapes::Rod(-5.0 * u, 0.0, u, false);  // the stem from the node to the helix
            });
        }
    }
}

void DrawEquivalentLoads(const ModelData& model, int, int deformed, int step, int style) {
    const int count = model.GetEquivLoadPointCount();
    if (count <= 0) return;
    SetColor(0, 128, 0);
    double largest = 0.0;
    for (int i = 0; i < count; ++i)
        largest = std::max({largest, std::fabs(model.GetEquivLoadFx(i)), std::fabs(model.GetEquivLoadFy(i)),
                            std::fabs(model.GetEquivLoadFz(i))});
    const double u = UnitOf(model);
    for (int i = 0; i < count; ++i) {
        double x = model.GetEquivLoadPointX(i), y = model.GetEquivLoadPointY(i), z = model.GetEquivLoadPointZ(i);
        DisplacedPoint(model, deformed, step, x, y, z);
        ReferencePoint(x, y, z);
        const double forces[3] = {model.GetEquivLoadFx(i), model.GetEquivLoadFy(i), model.GetEquivLoadFz(i)};
        for (int c = 0; c < 3; ++c) {
            if (largest == 0.0) break;
            double values[6] = {};
            values[c] = forces[c];
            const double unit = u * 2.0 * std::fabs(forces[c]) / largest;
            DrawSixComponentSymbols(2, float(x), float(y), float(z), float(unit), values, style);
        }
    }
}

namespace {

// The rows of a concentrated table at their (displaced) points, each with
// its six-component symbol of the type.
void DrawPointTable(const ModelData& model, const ConcentratedActionTable* table, int type, int deformed, int step,
                    int style) {
    if (!table) return;
    const float u = static_cast<float>(UnitOf(model));
    for (const ConcentratedRow* row = table->GetHead(); row; row = row->next) {
        if (row->coordinates.size() < 3) continue;
        double x = row->coordinates[0], y = row->coordinates[1], z = row->coordinates[2];
        DisplacedPoint(model, deformed, step, x, y, z);
        ReferencePoint(x, y, z);
        double values[6] = {};
        for (std::size_t j = 0; j < 6 && j < row->values.size(); ++j) values[j] = row->values[j];
        DrawSixComponentSymbols(type, float(x), float(y), float(z), u, values, style);
    }
}

}  // namespace

void DrawConcentratedTable(const ModelData& model, int kind, int deformed, int step, int style) {
    if (kind != 1 && kind != 2) return;
    SetColor(0, 128, 0);
    DrawPointTable(model, model.GetConcentratedActionTable(kind), kind + 1, deformed, step, style);
}

void DrawTotalConcentratedStiffness(const ModelData& model, int, int deformed, int step, int style) {
    SetColor(0, 255, 0);
    DrawPointTable(model, model.GetTotalConcentratedTable(2), 3, deformed, step, style);
}

void DrawNodalTable(const ModelData& model, int kind, int deformed, int step, int style) {
    const NodalActionTable* table = model.GetNodalActionTable(kind);
    if (!table || (kind != 4 && kind != 5)) return;
    SetColor(0, 255, 0);
    for (const NodalRow* row = table->GetHead(); row; row = row->next) {
        ItemWalk(model, ItemWalk::kElements, [&](int element, int) {
            const ElementNodes nodes(model, element, deformed, step);
            if (!nodes.Complete()) return;
            for (std::size_t i = 0; i < 6 && i < row->values.size(); ++i) {
                const double value = row->values[i];
                if (std::fabs(value) <= kSymbolThreshold) continue;
                SetColor(0, 255, 10 * static_cast<int>(i));
                DistributedComponent(model, nodes, kind == 4, static_cast<int>(i), value, deformed, step, style);
            }
        }).Text(row->target);
    }
}

void DrawEdgeTable(const ModelData& model, int kind, int deformed, int step, int style) {
    const EdgeActionTable* table = model.GetEdgeActionTable(kind);
    if (!table) return;
    SetColor(0, 255, 0);
    for (const EdgeRow* row = table->GetHead(); row; row = row->next) {
        ItemWalk(model, ItemWalk::kSides, [&](int element, int side) {
            EdgeSide(model, *row, kind == 1, element, side, deformed, step, style);
        }).EdgeRowText(row->target, row->side);
    }
}

void DrawCutLines(const ModelData& model) {
    const CutLineTable* table = model.GetCutLineTable();
    if (!table) return;
    for (const CutLineRow* row = table->GetHead(); row; row = row->next) {
        if (row->highlight) {
            SetColor(255, 0, 0);
            glLineWidth(4.0f);
        } else {
            SetColor(0, 0, 255);
            glLineWidth(2.0f);
        }
        DrawLine(0.0, row->startY, row->startZ, 0.0, row->endY, row->endZ);
    }
}

}  // namespace viz
