// The extent of a set of points (the longer side of their bounding box), for
// tolerances that follow a region's or a mesh's size.
#pragma once

#include <algorithm>
#include <vector>

namespace tessaro {

template <class Point>
double extentOf(const std::vector<Point>& points)
{
    if (points.empty()) return 0.0;
    double xMin = points.front().x, xMax = xMin, yMin = points.front().y, yMax = yMin;
    for (const Point& p : points) {
        xMin = std::min(xMin, p.x);
        xMax = std::max(xMax, p.x);
        yMin = std::min(yMin, p.y);
        yMax = std::max(yMax, p.y);
    }
    return std::max(xMax - xMin, yMax - yMin);
}

}  // namespace tessaro
