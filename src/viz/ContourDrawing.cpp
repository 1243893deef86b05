// Contour fills and contour lines of one result column over the elements.

#include <algorithm>

#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/Scene.h"

namespace viz {

namespace {

struct ContourRange {
    double lo = 0.0, hi = 0.0;
    int divisions = 1; // the stored value below 1 counts as 1
};

ContourRange RangeOf(const ModelData& model)
{
    ContourRange r;
    double increment = 0.0;
    model.GetContourLimits(r.lo, r.hi, r.divisions, increment);
    if (r.divisions < 1) r.divisions = 1;
    return r;
}

void RampColor3(double value, const ContourRange& range)
{
    const RampColor c = ColorRamp(value, range.hi, range.lo);
    SetColor(c.r, c.g, c.b);
}

// A point of the element at (xi, eta): position, value and its ramp colour.
struct FillVertex {
    const ElementNodes& nodes;
    const double* values;
    const ContourRange& range;

    void Emit(double xi, double eta) const
    {
        double n[9], x, y, z;
        ShapeFunctions(xi, eta, nodes.Kind(), n);
        RampColor3(DotProduct(nodes.Count(), n, values), range);
        nodes.Point(xi, eta, 0.0, 0, x, y, z);
        glVertex3d(x, y, z);
    }
};

// ---- Contour lines ----------------------------------------------------------

// A straight local line: the running coordinate (0 xi, 1 eta) at a fixed
// value of the other.
struct LocalLine {
    int direction = 0;
    double fixed = -1.0;
};

LocalLine SideLineOf(int side)
{
    return {side == 0 || side == 2 ? 0 : 1, side == 0 || side == 3 ? -1.0 : 1.0};
}

struct Crossing {
    int count = -1; // -1 none, 0 the line lies on the level, 1 or 2
    double t = 0.0; // first crossing
};

class LevelTracer {
public:
    LevelTracer(const ElementNodes& nodes, const double* values, double level)
        : nodes_(nodes), values_(values), level_(level)
    {
    }

    Crossing Cross(const LocalLine& line) const
    {
        Crossing c;
        double t2 = 0.0;
        c.count = FindEdgeLevelCrossings(nodes_.Kind(), line.direction, line.fixed, values_, level_, c.t, t2);
        return c;
    }

    void Position(const LocalLine& line, double t, double& x, double& y, double& z) const
    {
        const double xi = line.direction == 0 ? t : line.fixed;
        const double eta = line.direction == 0 ? line.fixed : t;
        nodes_.Point(xi, eta, 0.0, 0, x, y, z);
    }

    // Draws the curve from the crossing tStart of line `from` to the
    // crossing tEnd of line `to`, along lines parallel to `to` whose fixed
    // coordinate moves linearly from fixedStart to to.fixed, in 16 steps.
    // runningStart: the start point's coordinate along those lines.
    void Trace(const LocalLine& from, double tStart, double fixedStart, double runningStart, const LocalLine& to,
               double tEnd) const
    {
        double p[3];
        Position(from, tStart, p[0], p[1], p[2]);
        double t = runningStart;
        glBegin(GL_LINES);
        for (int i = 1; i <= 16; ++i) {
            double q[3];
            if (i < 16) {
                const LocalLine line{to.direction, fixedStart + (to.fixed - fixedStart) * i / 16.0};
                const Crossing c = Cross(line);
                // A line without a crossing keeps the last running value, so
                // the curve stays continuous.
                if (c.count >= 1) t = c.t;
                Position(line, t, q[0], q[1], q[2]);
            } else {
                Position(to, tEnd, q[0], q[1], q[2]);
            }
            glVertex3dv(p);
            glVertex3dv(q);
            std::copy(q, q + 3, p);
        }
        glEnd();
    }

    // The whole side drawn as a solid polyline (the field lies on the level).
    void DrawSide(int side) const
    {
        static constexpr double breaks[11] = {-1.0, -0.875, -0.625, -0.375, -0.125, 0.0,
                                              0.125, 0.375,  0.625,  0.875,  1.0};
        glBegin(GL_LINE_STRIP);
        for (double s : breaks) {
            double x, y, z;
            nodes_.SidePoint(side, s, 0.0, 0, x, y, z);
            glVertex3d(x, y, z);
        }
        glEnd();
    }

    // The level's curves through the element, side by side.
    void DrawLevel() const
    {
        bool skip = false;
        for (int s = 0; s < 4; ++s) {
            if (skip) {
                skip = false;
                continue;
            }
            const LocalLine sideS = SideLineOf(s);
            const Crossing c = Cross(sideS);
            if (c.count == -1) continue;
            if (c.count == 0) {
                DrawSide(s);
                continue;
            }
            const int d = (s + 1) % 4;
            const LocalLine sideD = SideLineOf(d);
            const Crossing k = Cross(sideD);
            if (k.count == 0) continue;
            if (k.count > 0) {
                skip = TraceToNextSide(sideS, c, sideD, k);
            } else if (s <= 1) {
                TraceToOppositeSide(s, sideS, c);
            }
        }
    }

private:
    // Side s crossed at c, the next side D at k: the curve cuts the corner
    // between them. True when traced (side D is then skipped).
    bool TraceToNextSide(const LocalLine& sideS, const Crossing& c, const LocalLine& sideD, const Crossing& k) const
    {
        const LocalLine test{sideD.direction, (c.t + sideD.fixed) / 2.0};
        const Crossing m = Cross(test);
        if (m.count < 1) return false;
        if ((m.t == -1.0 || m.t == 1.0) && m.t == k.t) return false;
        if (c.count != 1 || k.count != 1) return false;
        Trace(sideS, c.t, c.t, sideS.fixed, sideD, k.t);
        return true;
    }

    // Side s crossed, the next side not: the curve runs across to the
    // opposite side.
    void TraceToOppositeSide(int s, const LocalLine& sideS, const Crossing& c) const
    {
        const LocalLine opposite = SideLineOf(s + 2);
        const Crossing o = Cross(opposite);
        if (o.count < 1) return;
        if (Cross(LocalLine{sideS.direction, 0.0}).count < 1) return;
        if (c.count != 1 || o.count != 1) return;
        Trace(sideS, c.t, sideS.fixed, c.t, opposite, o.t);
    }

    const ElementNodes& nodes_;
    const double* values_;
    double level_;
};

} // namespace

double ContourLevel(double lo, double hi, int n, int k)
{
    if (n < 1) n = 1;
    const float t = static_cast<float>(k) / static_cast<float>(n);
    const float u = 1.0f - t;
    return static_cast<double>(t) * hi + static_cast<double>(u) * lo;
}

void DrawFilledContours(const ModelData& model, int deformed, int step, int contourColumn)
{
    const ContourRange range = RangeOf(model);
    const int column = contourColumn - 1;
    glShadeModel(GL_SMOOTH);
    const FacesBehindLines behind;
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        double values[9];
        nodes.ColumnValues(column, step, values);
        // About ten pixels a cell.
        const int nx = ScreenSegments(model.symbolScale, std::max(nodes.CornerDistance(0, 1), nodes.CornerDistance(2, 3)), 10.0);
        const int ny = ScreenSegments(model.symbolScale, std::max(nodes.CornerDistance(1, 2), nodes.CornerDistance(3, 0)), 10.0);
        const double dx = 2.0 / nx, dy = 2.0 / ny;
        const FillVertex vertex{nodes, values, range};
        for (int i = 0; i < nx; ++i) {
            for (int j = 0; j < ny; ++j) {
                const double xi0 = -1.0 + i * dx, eta0 = -1.0 + j * dy;
                glBegin(GL_TRIANGLE_FAN);
                vertex.Emit(xi0 + dx / 2, eta0 + dy / 2);
                vertex.Emit(xi0, eta0);
                vertex.Emit(xi0 + dx, eta0);
                vertex.Emit(xi0 + dx, eta0 + dy);
                vertex.Emit(xi0, eta0 + dy);
                vertex.Emit(xi0, eta0);
                glEnd();
            }
        }
    });
}

void DrawContourLines(const ModelData& model, int deformed, int step, int contourColumn, int contourStyle)
{
    const ContourRange range = RangeOf(model);
    const int column = contourColumn - 1;
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        double values[9];
        nodes.ColumnValues(column, step, values);
        const double lowest = *std::min_element(values, values + nodes.Count());
        const double highest = *std::max_element(values, values + nodes.Count());
        for (int k = 0; k <= range.divisions; ++k) {
            const double level = ContourLevel(range.lo, range.hi, range.divisions, k);
            if (level < lowest || level > highest) continue;
            if (contourStyle == 2)
                SetColor(127, 127, 127);
            else
                RampColor3(level, range);
            LevelTracer(nodes, values, level).DrawLevel();
        }
    });
}

} // namespace viz
