// The shapes of the support and action symbols.

#include "viz/SymbolShapes.h"

#include <algorithm>
#include <cmath>

#include "platform/gl/GlIncludes.h"
#include "viz/Scene.h"

namespace viz::shapes {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kCircle = 16;

struct Vec {
    double x, y, z;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }

// Point k of n on the circle of radius r about the x axis in the plane x = at.
Vec OnCircle(double at, double r, int k, int n) {
    const double t = 2.0 * kPi * k / n;
    return {at, r * std::cos(t), r * std::sin(t)};
}

void Triangle(Vec a, Vec b, Vec c) {
    const float x[3] = {float(a.x), float(b.x), float(c.x)};
    const float y[3] = {float(a.y), float(b.y), float(c.y)};
    const float z[3] = {float(a.z), float(b.z), float(c.z)};
    DrawTriangle(x, y, z);
}

void Segment(Vec a, Vec b) { DrawLine(a.x, a.y, a.z, b.x, b.y, b.z); }

// A quadrilateral a b c d: solid four triangles about its centre, wire its
// outline.
void Quad(Vec a, Vec b, Vec c, Vec d, bool solid) {
    if (solid) {
        const Vec m = 0.25 * (a + b + c + d);
        Triangle(m, a, b);
        Triangle(m, b, c);
        Triangle(m, c, d);
        Triangle(m, d, a);
        return;
    }
    glBegin(GL_LINE_LOOP);
    for (const Vec& p : {a, b, c, d}) glVertex3d(p.x, p.y, p.z);
    glEnd();
}

// A polyline through points(k) for k = 0 .. n - 1: GL_LINE_LOOP closes it,
// GL_LINE_STRIP leaves it open.
template <class Points>
void Polyline(GLenum mode, int n, Points points) {
    glBegin(mode);
    for (int k = 0; k < n; ++k) {
        const Vec p = points(k);
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
}

template <class Points>
void Loop(int n, Points points) {
    Polyline(GL_LINE_LOOP, n, points);
}

template <class Points>
void Strip(int n, Points points) {
    Polyline(GL_LINE_STRIP, n, points);
}

// A cross of two lines of the given half-length across the axis at x = at.
void Cross(double at, double half) {
    Segment({at, -half, 0.0}, {at, half, 0.0});
    Segment({at, 0.0, -half}, {at, 0.0, half});
}

// The half ring's tube: its centre line at angle theta (0 at y = +R) and the
// point of the tube's cross-section circle at angle phi.
Vec TubePoint(double R, double rt, double theta, double phi) {
    const Vec radial{0.0, std::cos(theta), std::sin(theta)};
    const Vec axis{1.0, 0.0, 0.0};
    return (R + rt * std::cos(phi)) * radial + (rt * std::sin(phi)) * axis;
}

// A disc closing the tube at ring angle theta, wound by direction.
void TubeEnd(double R, double rt, double theta, int direction, bool solid) {
    const Vec centre = R * Vec{0.0, std::cos(theta), std::sin(theta)};
    auto rim = [&](int k) { return TubePoint(R, rt, theta, 2.0 * kPi * k / kCircle); };
    if (!solid) {
        Loop(kCircle, rim);
        return;
    }
    for (int k = 0; k < kCircle; ++k) {
        if (direction > 0)
            Triangle(centre, rim(k), rim(k + 1));
        else
            Triangle(centre, rim(k + 1), rim(k));
    }
}

}  // namespace

void Disc(double at, double r, int direction, bool solid) {
    auto rim = [&](int k) { return OnCircle(at, r, k, kCircle); };
    if (!solid) {
        Loop(kCircle, rim);
        return;
    }
    const Vec centre{at, 0.0, 0.0};
    for (int k = 0; k < kCircle; ++k) {
        if (direction > 0)
            Triangle(centre, rim(k), rim(k + 1));
        else
            Triangle(centre, rim(k + 1), rim(k));
    }
}

void Cone(double at, double r, double length, bool solid) {
    const Vec tip{at + length, 0.0, 0.0};
    for (int k = 0; k < kCircle; ++k) {
        const Vec a = OnCircle(at, r, k, kCircle);
        if (solid)
            Triangle(a, OnCircle(at, r, k + 1, kCircle), tip);
        else
            Segment(a, tip);
    }
}

void Rod(double x0, double x1, double r, bool solid) {
    for (int k = 0; k < kCircle; ++k)
        Quad(OnCircle(x0, r, k, kCircle), OnCircle(x1, r, k, kCircle), OnCircle(x1, r, k + 1, kCircle),
             OnCircle(x0, r, k + 1, kCircle), solid);
    Disc(x0, r, -1, solid);
    Disc(x1, r, 1, solid);
}

void ArrowHead(double at, double r, double length, bool solid) {
    Disc(at, r, -1, solid);
    Cone(at, r, length, solid);
}

void HalfRing(double R, double rt, bool solid) {
    // Ring pieces: the integer part of (180 / 360 x k + 0.5), at least 2.
    const int k = solid ? 16 : 8;
    const int pieces = std::max(2, static_cast<int>(180.0 / 360.0 * k + 0.5));
    auto theta = [&](int i) { return kPi * i / pieces; };
    if (solid) {
        for (int i = 0; i < pieces; ++i)
            for (int j = 0; j < kCircle; ++j) {
                const double p0 = 2.0 * kPi * j / kCircle, p1 = 2.0 * kPi * (j + 1) / kCircle;
                Quad(TubePoint(R, rt, theta(i), p0), TubePoint(R, rt, theta(i + 1), p0),
                     TubePoint(R, rt, theta(i + 1), p1), TubePoint(R, rt, theta(i), p1), true);
            }
    } else {
        constexpr int kTube = 8;
        for (int i = 0; i <= pieces; ++i)
            Loop(kTube, [&](int j) { return TubePoint(R, rt, theta(i), 2.0 * kPi * j / kTube); });
        for (int j = 0; j <= kTube; ++j)
            Strip(pieces + 1, [&](int i) { return TubePoint(R, rt, theta(i), 2.0 * kPi * j / kTube); });
    }
    TubeEnd(R, rt, 0.0, -1, solid);
    TubeEnd(R, rt, kPi, 1, solid);
}

void Comb(double at, double L, double D) {
    Segment({at, -L / 2, 0.0}, {at, L / 2, 0.0});
    const double h = D / (2.0 * std::sqrt(2.0));
    for (int i = 0; i < 6; ++i) {
        const double y = -L / 2 + L * i / 5.0;
        Segment({at - h, y - h, 0.0}, {at + h, y + h, 0.0});
    }
}

void DoubleRing(double u, bool solid) {
    const double inner = 6.0 * u, outer = 12.0 * u;
    if (solid) {
        for (int k = 0; k < kCircle; ++k)
            Quad(OnCircle(0.0, inner, k, kCircle), OnCircle(0.0, outer, k, kCircle),
                 OnCircle(0.0, outer, k + 1, kCircle), OnCircle(0.0, inner, k + 1, kCircle), true);
    } else {
        for (double r : {outer, inner}) Loop(8, [&](int k) { return OnCircle(0.0, r, k, 8); });
    }
    const Vec centre{0.0, 0.0, 0.0};
    for (int k = 0; k < 4; ++k) Segment(OnCircle(0.0, inner, k, 4), centre);
    for (int k = 0; k < 8; ++k) Segment(OnCircle(0.0, outer, k, 8), OnCircle(0.0, 15.0 * u, k, 8));
}

void ZigzagSpring(double u) {
    static const double kPoints[9][3] = {{0, 0, 0},     {-8, 0, 0},  {-10, 6, 6}, {-14, -6, -6}, {-18, 6, 6},
                                         {-22, -6, -6}, {-26, 6, 6}, {-28, 0, 0}, {-36, 0, 0}};
    Strip(9, [&](int k) { return u * Vec{kPoints[k][0], kPoints[k][1], kPoints[k][2]}; });
    Cross(-36.0 * u, 6.0 * u);
}

void CoilSpring(double u) {
    // Point j of 80 after the origin: the radius grows over the first turn
    // and shrinks to nothing over the last.
    constexpr int kPerTurn = 16, kPoints = 5 * kPerTurn;
    auto radius = [&](int j) {
        if (j <= kPerTurn) return 12.0 * u * j / kPerTurn;
        if (j > kPoints - kPerTurn) return 12.0 * u * (kPoints - j) / kPerTurn;
        return 12.0 * u;
    };
    Strip(kPoints + 1, [&](int j) {
        const double t = 2.0 * kPi * j / kPerTurn;
        return Vec{-6.0 * u * j / kPerTurn, radius(j) * std::cos(t), radius(j) * std::sin(t)};
    });
    Cross(-30.0 * u, 12.0 * u);
}

void HelixSpring(double u) {
    Strip(120, [&](int i) {
        const double t = 6.0 * kPi * i / 40.0;
        return Vec{-5.0 * u - 10.0 * u * i / 40.0, 10.0 * u * std::cos(t), 10.0 * u * std::sin(t)};
    });
}

}  // namespace viz::shapes
