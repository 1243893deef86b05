#pragma once
// Equivalent concentrated load: one force and moment at a point of
// application spread over one or two rings of points around it.

#include <vector>

struct EquivalentLoadInput {
    double fx = 0, fy = 0, fz = 0;  // axial force, shears
    double mx = 0, my = 0, mz = 0;  // moments (mx is kept but not spread)
    double x = 0, y = 0, z = 0;     // point of application, x is the level
    int twoRings = 0;               // 1: ring 2 is used as well
    double radius1 = 1.0;
    int points1 = 0;
    double angle1 = 0;  // start angle of ring 1, degrees
    double radius2 = 1.0;
    int points2 = 0;
    double angle2 = 0;  // start angle of ring 2, degrees
};

struct EquivalentLoadPoint {
    double x = 0, y = 0, z = 0;
    double axial = 0, shearY = 0, shearZ = 0;
    int ring = 0;    // 0 first ring, 1 second ring
    int number = 0;  // number within its ring, from 1
};

// The points of the pattern, ring 1 first; empty when the input gives none
// (no ring-1 points, a radius of 0 or less, or a moment the ring cannot
// carry).
std::vector<EquivalentLoadPoint> ComputeEquivalentLoadPoints(const EquivalentLoadInput& in);
