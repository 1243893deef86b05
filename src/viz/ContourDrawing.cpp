// Contour fills and contour lines of one result column over the elements.

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/Scene.h"

namespace viz {

namespace {

struct ContourRange {
    double lo = 0.0, hi = 0.0;
    int divisions = 1;  // the stored value below 1 counts as 1
};

ContourRange RangeOf(const ModelData& model) {
    ContourRange r;
    double increment = 0.0;
    model.GetContourLimits(r.lo, r.hi, r.divisions, increment);
    if (r.divisions < 1) r.divisions = 1;
    return r;
}

void RampColor3(double value, const ContourRange& range) {
    const RampColor c = ColorRamp(value, range.hi, range.lo);
    SetColor(c.r, c.g, c.b);
}

// A point of the element at (xi, eta): position, value and its ramp colour.
struct FillVertex {
    const ElementNodes& nodes;
    const double* values;
    const ContourRange& range;

    void Emit(double xi, double eta) const {
        double n[9], x, y, z;
        ShapeFunctions(xi, eta, nodes.Kind(), n);
        RampColor3(DotProduct(nodes.Count(), n, values), range);
        nodes.Point(xi, eta, 0.0, 0, x, y, z);
        glVertex3d(x, y, z);
    }
};

// The fill's cells of an element: about ten pixels a cell along the longer
// of each pair of opposite sides, an even number and at least 2 each way.
struct CellGrid {
    int nx = 2, ny = 2;
};

CellGrid CellsOf(const ModelData& model, const ElementNodes& nodes) {
    CellGrid g;
    g.nx = ScreenSegments(model.symbolScale, std::max(nodes.CornerDistance(0, 1), nodes.CornerDistance(2, 3)), 10.0);
    g.ny = ScreenSegments(model.symbolScale, std::max(nodes.CornerDistance(1, 2), nodes.CornerDistance(3, 0)), 10.0);
    return g;
}

// ---- Contour lines ----------------------------------------------------------

// A straight local line: the running coordinate (0 xi, 1 eta) at a fixed
// value of the other.
struct LocalLine {
    int direction = 0;
    double fixed = -1.0;
};

LocalLine SideLineOf(int side) { return {side == 0 || side == 2 ? 0 : 1, side == 0 || side == 3 ? -1.0 : 1.0}; }

struct Crossing {
    int count = -1;  // -1 none, 0 the line lies on the level, 1 or 2
    double t = 0.0;  // first crossing
};

// The whole side drawn as a solid polyline (the field lies on the level).
void DrawSideOnLevel(const ElementNodes& nodes, int side) {
    static constexpr double breaks[11] = {-1.0, -0.875, -0.625, -0.375, -0.125, 0.0, 0.125, 0.375, 0.625, 0.875, 1.0};
    glBegin(GL_LINE_STRIP);
    for (double s : breaks) {
        double x, y, z;
        nodes.SidePoint(side, s, 0.0, 0, x, y, z);
        glVertex3d(x, y, z);
    }
    glEnd();
}

class LevelTracer {
public:
    LevelTracer(const ElementNodes& nodes, const double* values, double level)
        : nodes_(nodes), values_(values), level_(level) {}

    Crossing Cross(const LocalLine& line) const {
        Crossing c;
        double t2 = 0.0;
        c.count = FindEdgeLevelCrossings(nodes_.Kind(), line.direction, line.fixed, values_, level_, c.t, t2);
        return c;
    }

    void Position(const LocalLine& line, double t, double& x, double& y, double& z) const {
        const double xi = line.direction == 0 ? t : line.fixed;
        const double eta = line.direction == 0 ? line.fixed : t;
        nodes_.Point(xi, eta, 0.0, 0, x, y, z);
    }

    // Draws the curve from the crossing tStart of line `from` to the
    // crossing tEnd of line `to`, along lines parallel to `to` whose fixed
    // coordinate moves linearly from fixedStart to to.fixed, in 16 steps.
    // runningStart: the start point's coordinate along those lines.
    void Trace(const LocalLine& from, double tStart, double fixedStart, double runningStart, const LocalLine& to,
               double tEnd) const {
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

    void DrawSide(int side) const { DrawSideOnLevel(nodes_, side); }

    // The level's curves through the element, side by side.
    void DrawLevel() const {
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
    bool TraceToNextSide(const LocalLine& sideS, const Crossing& c, const LocalLine& sideD, const Crossing& k) const {
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
    void TraceToOppositeSide(int s, const LocalLine& sideS, const Crossing& c) const {
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

// Contour lines of elements with mid-side nodes, traced by marching squares
// over the fill's cells, so that lines and fill agree. The field is sampled
// once per element at the cell corners and centres; a level crossing a cell
// edge is placed where the field along that edge (a quadratic of the local
// coordinate for 8- and 9-node elements) reaches it exactly. A corner at the
// level counts as above it. A cell whose corners alternate above and below
// is split by its centre value, the same value the fill shades the cell's
// middle with: the corners on the centre's side stay joined. Where a chord
// across a cell strays from the level by more than half a pixel (tight
// rings about a peak), the cell is traced again in four quarters, down to
// an eighth of its size.
class CellContours {
public:
    CellContours(const ElementNodes& nodes, const double* values, CellGrid cells, double symbolScale)
        : nodes_(nodes), values_(values), nx_(cells.nx), ny_(cells.ny), dx_(2.0 / cells.nx), dy_(2.0 / cells.ny),
          corners_(static_cast<std::size_t>((nx_ + 1) * (ny_ + 1))), centres_(static_cast<std::size_t>(nx_ * ny_)) {
        constant_ = std::all_of(values, values + nodes.Count(), [&](double v) { return v == values[0]; });
        // Pixels per unit of local coordinate along the longer sides.
        pixelsPerLocal_ = symbolScale *
                          std::max(std::max(nodes.CornerDistance(0, 1), nodes.CornerDistance(2, 3)),
                                   std::max(nodes.CornerDistance(1, 2), nodes.CornerDistance(3, 0))) /
                          2.0;
        if (constant_) {
            lowest_ = highest_ = values[0];
            return;
        }
        for (int j = 0; j <= ny_; ++j)
            for (int i = 0; i <= nx_; ++i) corners_[CornerIndex(i, j)] = FieldAt(Xi(i), Eta(j));
        for (int j = 0; j < ny_; ++j)
            for (int i = 0; i < nx_; ++i)
                centres_[static_cast<std::size_t>(j * nx_ + i)] = FieldAt(Xi(i) + dx_ / 2, Eta(j) + dy_ / 2);
        const auto [lo, hi] = std::minmax_element(corners_.begin(), corners_.end());
        lowest_ = std::min(*lo, *std::min_element(centres_.begin(), centres_.end()));
        highest_ = std::max(*hi, *std::max_element(centres_.begin(), centres_.end()));
    }

    // Smallest and largest sampled value (the nodes are among the samples).
    double Lowest() const { return lowest_; }
    double Highest() const { return highest_; }

    void DrawLevel(double level) const {
        // A side whose three nodes sit on the level lies on it entirely.
        for (int side = 0; side < 4; ++side) {
            const int a = side, b = (side + 1) % 4, m = side + 4;
            if (values_[a] == level && values_[b] == level && values_[m] == level) DrawSideOnLevel(nodes_, side);
        }
        if (constant_) return;
        glBegin(GL_LINES);
        for (int j = 0; j < ny_; ++j)
            for (int i = 0; i < nx_; ++i) {
                Square q{Xi(i), Eta(j), dx_, dy_, {}, centres_[static_cast<std::size_t>(j * nx_ + i)]};
                for (int c = 0; c < 4; ++c) q.v[c] = corners_[CornerIndex(i + kCornerI[c], j + kCornerJ[c])];
                DrawSquare(q, level, 0);
            }
        glEnd();
    }

private:
    // Corners counter-clockwise from (xi0, eta0); edge e joins corner e and
    // corner e + 1.
    static constexpr int kCornerI[4] = {0, 1, 1, 0};
    static constexpr int kCornerJ[4] = {0, 0, 1, 1};
    static constexpr int kMostRefinements = 3;
    static constexpr double kChordPixels = 0.5;

    struct Square {
        double xi0, eta0, w, h;
        double v[4];
        double centre;
        double Xi(int c) const { return xi0 + kCornerI[c] * w; }
        double Eta(int c) const { return eta0 + kCornerJ[c] * h; }
    };
    struct Local {
        double xi, eta;
    };

    double Xi(int i) const { return i == nx_ ? 1.0 : -1.0 + i * dx_; }
    double Eta(int j) const { return j == ny_ ? 1.0 : -1.0 + j * dy_; }
    std::size_t CornerIndex(int i, int j) const { return static_cast<std::size_t>(j * (nx_ + 1) + i); }

    double FieldAt(double xi, double eta) const {
        double n[9];
        ShapeFunctions(xi, eta, nodes_.Kind(), n);
        return DotProduct(nodes_.Count(), n, values_);
    }

    // How far (in pixels) the level lies from the local point, to first
    // order.
    double PixelsOffLevel(Local p, double level) const {
        double d[9];
        ShapeFunctionsDXi(p.xi, p.eta, nodes_.Kind(), d);
        const double gx = DotProduct(nodes_.Count(), d, values_);
        ShapeFunctionsDEta(p.xi, p.eta, nodes_.Kind(), d);
        const double gy = DotProduct(nodes_.Count(), d, values_);
        const double off = std::fabs(FieldAt(p.xi, p.eta) - level);
        const double slope = std::hypot(gx, gy);
        if (off == 0.0) return 0.0;
        return slope > 0.0 ? off / slope * pixelsPerLocal_ : HUGE_VAL;
    }

    void DrawSquare(const Square& q, double level, int depth) const {
        bool above[4];
        for (int c = 0; c < 4; ++c) above[c] = q.v[c] >= level;
        int crossed[4], count = 0;
        for (int e = 0; e < 4; ++e)
            if (above[e] != above[(e + 1) % 4]) crossed[count++] = e;
        int pairs[2][2], segments = 0;
        if (count == 2) {
            pairs[segments][0] = crossed[0];
            pairs[segments++][1] = crossed[1];
        } else if (count == 4) {
            const bool centreAbove = q.centre >= level;
            const int first = above[0] == centreAbove ? 0 : 3;  // corners 1 and 3 cut off, else 0 and 2
            pairs[0][0] = first;
            pairs[0][1] = (first + 1) % 4;
            pairs[1][0] = (first + 2) % 4;
            pairs[1][1] = (first + 3) % 4;
            segments = 2;
        }
        Local ends[2][2];
        bool straight = true;
        for (int s = 0; s < segments; ++s) {
            ends[s][0] = EdgePoint(q, pairs[s][0], level);
            ends[s][1] = EdgePoint(q, pairs[s][1], level);
            if (depth < kMostRefinements && straight) {
                const Local mid{(ends[s][0].xi + ends[s][1].xi) / 2, (ends[s][0].eta + ends[s][1].eta) / 2};
                straight = PixelsOffLevel(mid, level) <= kChordPixels;
            }
        }
        if (!straight) {
            Refine(q, level, depth);
            return;
        }
        for (int s = 0; s < segments; ++s) {
            Vertex(ends[s][0]);
            Vertex(ends[s][1]);
        }
    }

    // The square traced again as four quarters.
    void Refine(const Square& q, double level, int depth) const {
        const double w = q.w / 2, h = q.h / 2;
        // Values on a 3 x 3 grid over the square: corners, edge middles, centre.
        double g[3][3];
        g[0][0] = q.v[0];
        g[2][0] = q.v[1];
        g[2][2] = q.v[2];
        g[0][2] = q.v[3];
        g[1][1] = q.centre;
        g[1][0] = FieldAt(q.xi0 + w, q.eta0);
        g[2][1] = FieldAt(q.xi0 + q.w, q.eta0 + h);
        g[1][2] = FieldAt(q.xi0 + w, q.eta0 + q.h);
        g[0][1] = FieldAt(q.xi0, q.eta0 + h);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                Square c{
                    q.xi0 + i * w, q.eta0 + j * h, w, h, {}, FieldAt(q.xi0 + (i + 0.5) * w, q.eta0 + (j + 0.5) * h)};
                for (int k = 0; k < 4; ++k) c.v[k] = g[i + kCornerI[k]][j + kCornerJ[k]];
                DrawSquare(c, level, depth + 1);
            }
    }

    // The local point of edge e of the square where the field reaches the
    // level.
    Local EdgePoint(const Square& q, int e, double level) const {
        const int a = e, b = (e + 1) % 4;
        const double xa = q.Xi(a), ea = q.Eta(a), xb = q.Xi(b), eb = q.Eta(b);
        const double vm = FieldAt((xa + xb) / 2, (ea + eb) / 2);
        const double u = QuadraticRoot(q.v[a], vm, q.v[b], level);
        return {xa + u * (xb - xa), ea + u * (eb - ea)};
    }

    void Vertex(Local p) const {
        double x, y, z;
        nodes_.Point(p.xi, p.eta, 0.0, 0, x, y, z);
        glVertex3d(x, y, z);
    }

    // The u in [0, 1] where the quadratic through (0, va), (1/2, vm), (1, vb)
    // equals the level; va and vb lie on opposite sides of it. Newton from
    // the straight-line guess, kept inside the bracket by bisection.
    static double QuadraticRoot(double va, double vm, double vb, double level) {
        const double c1 = -3.0 * va + 4.0 * vm - vb, c2 = 2.0 * va - 4.0 * vm + 2.0 * vb;
        auto q = [&](double u) { return va - level + u * (c1 + u * c2); };
        const bool startAbove = va >= level;
        double lo = 0.0, hi = 1.0;
        double u = va == vb ? 0.5 : (va - level) / (va - vb);
        u = std::clamp(u, 0.0, 1.0);
        for (int iteration = 0; iteration < 40; ++iteration) {
            const double f = q(u);
            if (f == 0.0) break;
            if ((f > 0.0) == startAbove)
                lo = u;
            else
                hi = u;
            const double slope = c1 + 2.0 * u * c2;
            double next = slope != 0.0 ? u - f / slope : lo;
            if (!(next > lo && next < hi)) next = (lo + hi) / 2;
            if (std::fabs(next - u) <= 1e-12) {
                u = next;
                break;
            }
            u = next;
        }
        return u;
    }

    const ElementNodes& nodes_;
    const double* values_;
    int nx_, ny_;
    double dx_, dy_;
    std::vector<double> corners_, centres_;
    bool constant_ = false;
    double pixelsPerLocal_ = 1.0;
    double lowest_ = 0.0, highest_ = 0.0;
};

}  // namespace

double ContourLevel(double lo, double hi, int n, int k) {
    if (n < 1) n = 1;
    const float t = static_cast<float>(k) / static_cast<float>(n);
    const float u = 1.0f - t;
    return static_cast<double>(t) * hi + static_cast<double>(u) * lo;
}

void DrawFilledContours(const ModelData& model, int deformed, int step, int contourColumn) {
    const ContourRange range = RangeOf(model);
    const int column = contourColumn - 1;
    glShadeModel(GL_SMOOTH);
    const FacesBehindLines behind;
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        double values[9];
        nodes.ColumnValues(column, step, values);
        const CellGrid cells = CellsOf(model, nodes);
        const int nx = cells.nx, ny = cells.ny;
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

void DrawContourLines(const ModelData& model, int deformed, int step, int contourColumn, int contourStyle) {
    const ContourRange range = RangeOf(model);
    const int column = contourColumn - 1;
    ForEachDrawableElement(model, deformed, step, [&](const ElementNodes& nodes) {
        double values[9];
        nodes.ColumnValues(column, step, values);
        auto setColor = [&](double level) {
            if (contourStyle == 2)
                SetColor(127, 127, 127);
            else
                RampColor3(level, range);
        };
        if (nodes.Kind() == 4) {
            // Bilinear sides: crossings on the sides are exact and the
            // curves between them are traced.
            const double lowest = *std::min_element(values, values + nodes.Count());
            const double highest = *std::max_element(values, values + nodes.Count());
            for (int k = 0; k <= range.divisions; ++k) {
                const double level = ContourLevel(range.lo, range.hi, range.divisions, k);
                if (level < lowest || level > highest) continue;
                setColor(level);
                if (level == lowest || level == highest) {
                    // The element's extreme (bilinear: at its corners): the
                    // level meets it only on the sides whose two corners hold
                    // it, or at lone corners, which draw nothing.
                    for (int side = 0; side < 4; ++side)
                        if (values[side] == level && values[(side + 1) % 4] == level) DrawSideOnLevel(nodes, side);
                    continue;
                }
                LevelTracer(nodes, values, level).DrawLevel();
            }
            return;
        }
        const CellContours cells(nodes, values, CellsOf(model, nodes), model.symbolScale);
        for (int k = 0; k <= range.divisions; ++k) {
            const double level = ContourLevel(range.lo, range.hi, range.divisions, k);
            if (level < cells.Lowest() || level > cells.Highest()) continue;
            setColor(level);
            cells.DrawLevel(level);
        }
    });
}

}  // namespace viz
