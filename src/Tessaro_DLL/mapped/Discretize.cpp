#include "Tessaro_DLL/mapped/Discretize.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Tessaro_DLL/model/GeometryReader.h"

namespace tessaro {

namespace {

bool validCodes(const SegmentEndCodes& c)
{
    return (c.first == 11 || c.first == 21 || c.first == 31) && c.second == c.first;
}

void logInvalidGeometry(std::ostream& log) { log << "Error: Not a valid geometry definition" << std::endl; }

std::vector<Point2> straightNodes(double x1, double y1, double x2, double y2, const std::vector<double>& s)
{
    std::vector<Point2> nodes;
    nodes.reserve(s.size());
    for (double sk : s) nodes.emplace_back(x1 + sk * (x2 - x1), y1 + sk * (y2 - y1));
    return nodes;
}

// Divided-difference slope that tolerates a zero interval.
double slope(double d, double h) { return h > 0.0 ? d / h : 0.0; }

// Derivative at the middle of three points of the parabola through them.
double middleTangent(double h0, double h1, double d0, double d1)
{
    const double den = h0 * h1 * (h0 + h1);
    if (den > 0.0) return (h1 * h1 * d0 + h0 * h0 * d1) / den;
    return h0 > 0.0 ? d0 / h0 : slope(d1, h1);
}

// Derivative at the first of three points (intervals h, g; differences d0, d1).
double startTangent(double h, double g, double d0, double d1)
{
    if (h <= 0.0 || g <= 0.0) return h > 0.0 ? d0 / h : slope(d1, g);
    return d0 / h - h * (d1 / g - d0 / h) / (h + g);
}

// Derivative at the last of three points.
double endTangent(double h, double g, double d0, double d1)
{
    if (h <= 0.0 || g <= 0.0) return g > 0.0 ? d1 / g : slope(d0, h);
    return d1 / g + g * (d1 / g - d0 / h) / (h + g);
}

}  // namespace

std::vector<double> gradedParameter(int n, double cpar, double wn)
{
    std::vector<double> s;
    if (n <= 0) return s;
    s.resize(static_cast<std::size_t>(n), 0.0);
    if (n == 1) return s;
    const double pi = 4.0 * std::atan(1.0);
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / (n - 1);
        s[k] = (wn == 0.0) ? t : t + (cpar / wn) * std::sin(pi * wn * t);
    }
    return s;
}

bool curveSpline(int entity, int p1, int p2, const std::vector<PointRecord>& points, const std::vector<double>& s,
                 std::vector<Point2>& nodes)
{
    nodes.clear();
    const long long span = std::llabs(static_cast<long long>(p2) - p1) + 1;
    // The range cannot hold more points than the whole point list.
    if (span > static_cast<long long>(points.size())) return false;
    const int m = static_cast<int>(span);
    const int d = p1 > p2 ? -1 : 1;
    std::vector<double> px(m), py(m);
    for (int k = 0; k < m; ++k) {
        const int number = p1 + k * d;
        bool found = false;
        for (const PointRecord& p : points) {
            if (p.entity == entity && p.pointNumber == number) {
                px[k] = p.x;
                py[k] = p.y;
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    const int n = static_cast<int>(s.size());
    if (n == 0) return true;

    std::vector<double> u(m, 0.0);
    for (int k = 1; k < m; ++k) u[k] = u[k - 1] + std::hypot(px[k] - px[k - 1], py[k] - py[k - 1]);
    const double total = u[m - 1];
    if (!(total > 0.0)) {
        // All points coincide: every node lies on that point.
        nodes.assign(static_cast<std::size_t>(n), Point2(px[0], py[0]));
        return true;
    }
    for (double& uk : u) uk /= total;

    std::vector<double> tx(m, 0.0), ty(m, 0.0);
    if (m == 2) {
        tx[0] = tx[1] = px[1] - px[0];
        ty[0] = ty[1] = py[1] - py[0];
    } else {
        for (int k = 1; k + 1 < m; ++k) {
            const double h0 = u[k] - u[k - 1], h1 = u[k + 1] - u[k];
            tx[k] = middleTangent(h0, h1, px[k] - px[k - 1], px[k + 1] - px[k]);
            ty[k] = middleTangent(h0, h1, py[k] - py[k - 1], py[k + 1] - py[k]);
        }
        const bool closed = std::hypot(px[0] - px[m - 1], py[0] - py[m - 1]) < 1e-6;
        if (closed) {
            const double h0 = u[m - 1] - u[m - 2], h1 = u[1] - u[0];
            tx[0] = middleTangent(h0, h1, px[m - 1] - px[m - 2], px[1] - px[0]);
            ty[0] = middleTangent(h0, h1, py[m - 1] - py[m - 2], py[1] - py[0]);
            tx[m - 1] = tx[0];
            ty[m - 1] = ty[0];
        } else {
            double h = u[1] - u[0], g = u[2] - u[1];
            tx[0] = startTangent(h, g, px[1] - px[0], px[2] - px[1]);
            ty[0] = startTangent(h, g, py[1] - py[0], py[2] - py[1]);
            h = u[m - 2] - u[m - 3];
            g = u[m - 1] - u[m - 2];
            tx[m - 1] = endTangent(h, g, px[m - 2] - px[m - 3], px[m - 1] - px[m - 2]);
            ty[m - 1] = endTangent(h, g, py[m - 2] - py[m - 3], py[m - 1] - py[m - 2]);
        }
    }

    nodes.resize(static_cast<std::size_t>(n));
    nodes[0] = Point2(px[0], py[0]);
    if (n > 1) nodes[n - 1] = Point2(px[m - 1], py[m - 1]);
    for (int j = 1; j + 1 < n; ++j) {
        const double sj = s[j];
        int k = 0;
        for (int q = 0; q + 1 < m; ++q) {
            if (u[q] <= sj && sj <= u[q + 1]) {
                k = q;
                break;
            }
        }
        const double H = u[k + 1] - u[k];
        if (!(H > 0.0)) {
            nodes[j] = Point2(px[k], py[k]);
            continue;
        }
        const double w = (sj - u[k]) / H;
        const double w2 = w * w, w3 = w2 * w;
        const double b0 = 2 * w3 - 3 * w2 + 1, b1 = -2 * w3 + 3 * w2;
        const double b2 = w3 - 2 * w2 + w, b3 = w3 - w2;
        double x = b0 * px[k] + b1 * px[k + 1] + b2 * H * tx[k] + b3 * H * tx[k + 1];
        double y = b0 * py[k] + b1 * py[k + 1] + b2 * H * ty[k] + b3 * H * ty[k + 1];
        if ((x - px[k]) * (x - px[k + 1]) > 0.0 || (y - py[k]) * (y - py[k + 1]) > 0.0) {
            x = px[k] + w * (px[k + 1] - px[k]);
            y = py[k] + w * (py[k + 1] - py[k]);
        }
        nodes[j] = Point2(x, y);
    }
    return true;
}

namespace {

// Whether every parameter value s falls on one of the points p1..p2.
bool nodesOnArcPoints(int p1, int p2, const std::vector<double>& s)
{
    for (double sj : s) {
        const double q = sj * (p2 - p1);
        if (std::fabs(q - std::round(q)) >= 1e-9) return false;
    }
    return true;
}

// Nodes on the elliptic arc of entity `arc` from its point p1 to its point
// p2, at the arc's parameter angle interpolated by the values s. A node
// that falls on one of the entity's points is that point itself. False when
// a point of the range is missing.
bool arcNodes(const GeometryEntityRecord& arc, int p1, int p2, const std::vector<PointRecord>& points,
              const std::vector<double>& s, std::vector<Point2>& nodes)
{
    nodes.clear();
    const int low = std::min(p1, p2), high = std::max(p1, p2);
    std::vector<Point2> own(static_cast<std::size_t>(high - low + 1));
    std::vector<char> found(own.size(), 0);
    for (const PointRecord& p : points) {
        if (p.entity != arc.index || p.pointNumber < low || p.pointNumber > high) continue;
        const std::size_t k = static_cast<std::size_t>(p.pointNumber - low);
        if (found[k]) continue;
        own[k] = Point2(p.x, p.y);
        found[k] = 1;
    }
    if (std::find(found.begin(), found.end(), 0) != found.end()) return false;
    // The reader places point k at the angle start + (k - 1) sweep / (count - 1).
    const double step = arc.sweepAngle / (arc.pointCount - 1);
    nodes.reserve(s.size());
    for (double sj : s) {
        const double q = (p1 - 1) + sj * (p2 - p1);  // point number less 1, as a real
        const double nearest = std::round(q);
        if (std::fabs(q - nearest) < 1e-9) {
            nodes.push_back(own[static_cast<std::size_t>(nearest) + 1 - low]);
            continue;
        }
        const double t = arc.startAngle + q * step;
        nodes.emplace_back(arc.centreX + arc.radiusX * std::cos(t), arc.centreY + arc.radiusY * std::sin(t));
    }
    return true;
}

// Places n nodes along a segment whose end points are located: on the arc
// itself (first end code 31), else on the straight line between the
// segment's end coordinates. `placedCode` tells which (31 or 11). False when
// a point of the arc is missing.
bool placeSegmentNodes(const SideSegment& seg, int firstCode, int n, const std::vector<PointRecord>& points,
                       const std::deque<GeometryEntityRecord>& entities, std::vector<Point2>& placed, int& placedCode)
{
    const std::vector<double> s = gradedParameter(n, seg.cpar, seg.wn);
    if (firstCode == 31) {
        placedCode = 31;
        // The spline through the arc's points meets them but leaves the arc
        // between them (by a hundredth of the radius for three points):
        // nodes between points are placed on the arc itself.
        const GeometryEntityRecord* arc = nullptr;
        for (const GeometryEntityRecord& e : entities)
            if (e.index == seg.startEntity && e.libCode == 31 && e.pointCount >= 2) arc = &e;
        if (arc && !nodesOnArcPoints(seg.startPoint, seg.endPoint, s))
            return arcNodes(*arc, seg.startPoint, seg.endPoint, points, s, placed);
        return curveSpline(seg.startEntity, seg.startPoint, seg.endPoint, points, s, placed);
    }
    placedCode = 11;
    placed = straightNodes(seg.x1, seg.y1, seg.x2, seg.y2, s);
    return true;
}

}  // namespace

void discretizeMappedSegment(RegionRecord& region, int sideIndex, int segmentIndex,
                             const std::vector<PointRecord>& points, const std::deque<GeometryEntityRecord>& entities,
                             std::vector<PointRecord>& generatedBoundaryPoints, std::ostream& log, MappedGrid& grid)
{
    RegionSide& side = region.sides.at(static_cast<std::size_t>(sideIndex));
    SideSegment& seg = side.segments.at(static_cast<std::size_t>(segmentIndex));
    const SegmentEndCodes codes = locateSegmentEnds(seg, points);
    if (!validCodes(codes)) {
        logInvalidGeometry(log);
        return;
    }
    // The straight path places nothing when the last limit is below the first.
    const int n = codes.first == 31 ? std::abs(seg.lim2 - seg.lim1) + 1 : seg.lim2 - seg.lim1 + 1;
    if (n <= 0) return;
    std::vector<Point2> nodes;
    int placedCode = 11;
    if (!placeSegmentNodes(seg, codes.first, n, points, entities, nodes, placedCode)) {
        logInvalidGeometry(log);
        return;
    }
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const int pos = seg.lim1 - 1 + static_cast<int>(k);
        int i = -1, j = -1;
        switch (side.sideNumber) {
            case 1:
                i = 0;
                j = pos;
                break;
            case 2:
                i = grid.imax - 1;
                j = pos;
                break;
            case 3:
                i = pos;
                j = 0;
                break;
            case 4:
                i = pos;
                j = grid.jmax - 1;
                break;
            default: return;
        }
        if (i < 0 || j < 0 || i >= grid.imax || j >= grid.jmax) continue;
        grid.set(i, j, nodes[k].first, nodes[k].second);
        generatedBoundaryPoints.push_back(
            PointRecord{placedCode, seg.startEntity, 0, nodes[k].first, nodes[k].second, region.objIndex});
    }
}

void discretizeFreeRegionSide(RegionRecord& region, int sideIndex, int& nodeCounter,
                              std::vector<PointRecord>& generatedBoundaryPoints, const std::vector<PointRecord>& points,
                              const std::deque<GeometryEntityRecord>& entities, std::vector<MeshNode>& nodes,
                              std::vector<BoundarySegment>& segments, int previousCode, int sideCode,
                              MeshNode& interfacePointA, MeshNode& interfacePointB, bool firstSideIsInterface,
                              std::ostream& log)
{
    RegionSide& side = region.sides.at(static_cast<std::size_t>(sideIndex));
    if (side.segments.empty()) return;
    SideSegment& seg = side.segments.front();
    const SegmentEndCodes codes = locateSegmentEnds(seg, points);
    if (!validCodes(codes)) {
        logInvalidGeometry(log);
        return;
    }
    const bool prevCoded = previousCode == -2 || previousCode == 2;
    const bool prevSlitEnd = previousCode == -7 || previousCode == -9;
    if (prevCoded && (sideCode == -6 || sideCode == -8)) {
        interfacePointA.x = seg.x1;
        interfacePointA.y = seg.y1;
    }
    const bool substitute = (prevSlitEnd && (sideCode == -2 || sideCode == 2)) || firstSideIsInterface;
    if (substitute) {
        interfacePointB.x = seg.x1;
        interfacePointB.y = seg.y1;
        seg.x1 = interfacePointA.x;
        seg.y1 = interfacePointA.y;
    }
    const int n = std::abs(seg.lim2 - seg.lim1) + 1;
    std::vector<Point2> placed;
    int placedCode = 11;
    if (!placeSegmentNodes(seg, codes.first, n, points, entities, placed, placedCode)) {
        logInvalidGeometry(log);
        return;
    }
    if (substitute && !placed.empty()) placed.front() = Point2(interfacePointB.x, interfacePointB.y);

    const int firstName = static_cast<int>(nodes.size()) + 1;
    for (std::size_t k = 0; k < placed.size(); ++k) {
        nodes.push_back(MeshNode{firstName + static_cast<int>(k), placed[k].first, placed[k].second, 0.0});
        generatedBoundaryPoints.push_back(
            PointRecord{placedCode, seg.startEntity, 0, placed[k].first, placed[k].second, region.objIndex});
    }
    const int code = sideCode <= 0 ? sideCode : -1;
    const int firstSegment = static_cast<int>(segments.size()) + 1;
    for (int k = 0; k + 1 < n; ++k) {
        const int start = nodeCounter + 1 + k;
        segments.push_back(BoundarySegment{firstSegment + k, start, start + 1, code});
    }
    nodeCounter += n;
}

bool discretizeStructureElement(StructureElementRecord& element, const std::vector<PointRecord>& points,
                                const std::deque<GeometryEntityRecord>& entities, std::ostream& log)
{
    if (element.segments.empty()) return true;
    SideSegment& seg = element.segments.front();
    const SegmentEndCodes codes = locateSegmentEnds(seg, points);
    const int n = std::abs(seg.lim2 - seg.lim1) + 1;
    std::vector<Point2> placed;
    int placedCode = 11;
    if (!validCodes(codes) || !placeSegmentNodes(seg, codes.first, n, points, entities, placed, placedCode)) {
        logInvalidGeometry(log);
        return false;
    }
    for (std::size_t k = 0; k < placed.size(); ++k)
        element.nodes.push_back(FemNode{static_cast<int>(k) + 1, placed[k].first, placed[k].second});
    const int entity = seg.startEntity == seg.endEntity ? seg.startEntity : 0;
    for (int k = 1; k < static_cast<int>(placed.size()); ++k) {
        LineElement line;
        line.w = {k, k, 0, k + 1, element.value4, element.kind, 0, entity, placedCode};
        element.lines.push_back(line);
    }
    return true;
}

}  // namespace tessaro
