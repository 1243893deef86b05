// The interior angle at a corner of a counter-clockwise polygon, for any
// point record with x and y (input points, mesh nodes, mesh-file nodes).
#pragma once

#include <cmath>

namespace tessaro {

// Interior angle in degrees at `corner`, measured counter-clockwise from the
// side to the next corner round to the side to the previous one: 0 to 360,
// above 180 for a reflex corner.
template <class Point>
double interiorAngleDegrees(const Point& previous, const Point& corner, const Point& next)
{
    const double ux = previous.x - corner.x, uy = previous.y - corner.y;
    const double vx = next.x - corner.x, vy = next.y - corner.y;
    const double angle = std::atan2(vx * uy - vy * ux, vx * ux + vy * uy) * 180.0 / std::acos(-1.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

}  // namespace tessaro
