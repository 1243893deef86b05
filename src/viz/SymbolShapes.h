#pragma once
// The shapes the symbols are made of, drawn in the symbol's local frame (its
// first axis x is the axis of the degree of freedom). Lengths are absolute:
// callers pass multiples of the symbol unit. Circles have 16 segments unless
// noted. Solid shapes are filled triangles with the normals of their planes,
// wire shapes lines.

namespace viz::shapes {

// A circle of radius r in the plane x = at; solid a fan of triangles to the
// centre, wound one way or the other by direction (+1 or -1); wire its
// outline.
void Disc(double at, double r, int direction, bool solid);
// Base circle of radius r at x = at, tip at x = at + length; solid triangles
// to the tip, wire 16 lines from the rim to the tip.
void Cone(double at, double r, double length, bool solid);
// Cylinder of radius r from x0 to x1 with discs at both ends; solid each of
// its 16 quadrilaterals as four triangles about its centre, wire the outline
// of each quadrilateral.
void Rod(double x0, double x1, double r, bool solid);
// A disc and a cone of the same radius from the same base.
void ArrowHead(double at, double r, double length, bool solid);
// A tube of radius rt bent about the x axis at radius R from y = +R through
// z = +R to y = -R, closed by discs at its ends. Solid 8 ring pieces of 16
// tube quadrilaterals; wire the tube's circles of 8 segments at 5 ring
// positions and 9 lines along the ring.
void HalfRing(double R, double rt, bool solid);
// A base line of length L across the axis at x = at, crossed by 6 strokes of
// length D spaced evenly from one end to the other.
void Comb(double at, double L, double D);
// Circles of radius 12u and 6u in the plane x = 0 (solid the annulus between
// them, wire both circles of 8 segments), 4 spokes from 6u to the centre and
// 8 ticks from 12u to 15u.
void DoubleRing(double u, bool solid);
// Line springs pointing down the -x axis from the origin.
void ZigzagSpring(double u);  // 8 segments and a cross at -36u
void CoilSpring(double u);    // 5 turns of 16 points over 30u and a cross
void HelixSpring(double u);   // 120 points, nine turns from -5u over 30u

}  // namespace viz::shapes
