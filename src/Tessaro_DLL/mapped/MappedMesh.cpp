#include "Tessaro_DLL/mapped/MappedMesh.h"

#include <algorithm>
#include <cmath>

#include "Tessaro_DLL/model/Merge.h"

namespace tessaro {

namespace {

int nodeName(int i, int j, int jmax) { return i * jmax + j + 1; }

int regionSideCode(const RegionRecord& region, int index)
{
    return index < static_cast<int>(region.sideCodes.size()) ? region.sideCodes[index] : -1;
}

int entityLibCode(const ModelLists& lists, int index)
{
    int code = -1;
    for (const GeometryEntityRecord& e : lists.entities)
        if (e.index == index) code = e.libCode;
    return code;
}

// Entity under the grid interval [pos, pos + 1] of a region side: the side
// whose number names the grid edge, the segment whose limits cover the
// interval; otherwise the first segment of the side at `index`.
int entityUnderInterval(const RegionRecord& region, int index, int sideNumber, int pos)
{
    for (const RegionSide& side : region.sides) {
        if (side.sideNumber != sideNumber) continue;
        for (const SideSegment& seg : side.segments)
            if (seg.lim1 - 1 <= pos && pos + 1 <= seg.lim2 - 1) return seg.startEntity;
    }
    if (index < static_cast<int>(region.sides.size()) && !region.sides[index].segments.empty())
        return region.sides[index].segments.front().startEntity;
    return 0;
}

double triangleQuality(const MeshNode& p, const MeshNode& r, const MeshNode& s)
{
    const double cross = (r.x - p.x) * (s.y - p.y) - (r.y - p.y) * (s.x - p.x);
    const double den = (p.x - r.x) * (p.x - r.x) + (p.y - r.y) * (p.y - r.y) + (r.x - s.x) * (r.x - s.x) +
                       (r.y - s.y) * (r.y - s.y) + (s.x - p.x) * (s.x - p.x) + (s.y - p.y) * (s.y - p.y);
    if (!(den > 0.0)) return -1.0;
    return 2.0 * std::sqrt(3.0) * cross / den;
}

// Boundary sides of the region's elements, copied to the coded sides.
void rebuildBoundaryList(RegionRecord& region, int corners)
{
    collectBoundarySides(region, corners);
    region.codedSides = region.boundarySides;
}

}  // namespace

double quadJacobianSum(const double x[4], const double y[4])
{
    const double g = 1.0 / std::sqrt(3.0);
    double sum = 0.0;
    for (double xi : {-g, g}) {
        for (double eta : {-g, g}) {
            const double dxi[4] = {-0.25 * (1 - eta), 0.25 * (1 - eta), 0.25 * (1 + eta), -0.25 * (1 + eta)};
            const double deta[4] = {-0.25 * (1 - xi), -0.25 * (1 + xi), 0.25 * (1 + xi), 0.25 * (1 - xi)};
            double xx = 0, xe = 0, yx = 0, ye = 0;
            for (int a = 0; a < 4; ++a) {
                xx += dxi[a] * x[a];
                yx += dxi[a] * y[a];
                xe += deta[a] * x[a];
                ye += deta[a] * y[a];
            }
            sum += xx * ye - yx * xe;
        }
    }
    return sum;
}

bool checkMappedGridEdges(const MappedGrid& grid, std::string& error)
{
    for (int j = 0; j < grid.jmax; ++j) {
        for (int i = 0; i < grid.imax; ++i) {
            const bool edge = i == 0 || j == 0 || i == grid.imax - 1 || j == grid.jmax - 1;
            if (edge && !grid.filled[grid.at(i, j)]) {
                error = "grid edge position (" + std::to_string(i + 1) + ", " + std::to_string(j + 1) +
                        ") is not defined by the region sides";
                return false;
            }
        }
    }
    return true;
}

bool mappedEdgeParameters(int imax, int jmax, std::vector<double>& r0, std::vector<double>& r1, std::vector<double>& c0,
                          std::vector<double>& c1, const MappedGrid& grid)
{
    auto chord = [&](std::vector<double>& out, int count, auto pos) {
        out.assign(static_cast<std::size_t>(count), 0.0);
        for (int k = 1; k < count; ++k) {
            const std::size_t a = pos(k - 1), b = pos(k);
            out[k] = out[k - 1] + std::hypot(grid.x[b] - grid.x[a], grid.y[b] - grid.y[a]);
        }
        const double total = out[count - 1];
        if (!(total > 0.0)) return false;
        for (double& v : out) v /= total;
        return true;
    };
    bool ok = chord(r0, imax, [&](int k) { return grid.at(k, 0); });
    ok = chord(r1, imax, [&](int k) { return grid.at(k, jmax - 1); }) && ok;
    ok = chord(c0, jmax, [&](int k) { return grid.at(0, k); }) && ok;
    ok = chord(c1, jmax, [&](int k) { return grid.at(imax - 1, k); }) && ok;
    return ok;
}

bool fillMappedGrid(RegionRecord& region, MappedGrid& grid, std::string& error)
{
    const int imax = grid.imax, jmax = grid.jmax;
    std::vector<double> r0, r1, c0, c1;
    if (!mappedEdgeParameters(imax, jmax, r0, r1, c0, c1, grid)) {
        error = "zero-length edge";
        return false;
    }
    const std::size_t total = static_cast<std::size_t>(imax) * jmax;
    std::vector<double> ax(total), ay(total), cx(total), cy(total);
    for (int i = 0; i < imax; ++i) {
        const double w = static_cast<double>(std::max(i - 1, 0)) / (imax - 1);
        for (int j = 0; j < jmax; ++j) {
            const double e = c0[j] + (c1[j] - c0[j]) * w;
            const std::size_t p = grid.at(i, j), b = grid.at(i, 0), t = grid.at(i, jmax - 1);
            ax[p] = grid.x[b] * (1 - e) + grid.x[t] * e;
            ay[p] = grid.y[b] * (1 - e) + grid.y[t] * e;
        }
    }
    for (int j = 0; j < jmax; ++j) {
        const double w = static_cast<double>(std::max(j - 1, 0)) / (jmax - 1);
        for (int i = 0; i < imax; ++i) {
            const double f = r0[i] + (r1[i] - r0[i]) * w;
            const std::size_t p = grid.at(i, j), l = grid.at(0, j), r = grid.at(imax - 1, j);
            cx[p] = (grid.x[l] - ax[l]) * (1 - f) + (grid.x[r] - ax[r]) * f;
            cy[p] = (grid.y[l] - ay[l]) * (1 - f) + (grid.y[r] - ay[r]) * f;
        }
    }
    for (std::size_t p = 0; p < total; ++p) {
        grid.x[p] = ax[p] + cx[p];
        grid.y[p] = ay[p] + cy[p];
    }
    region.nodes.assign(total, MeshNode{});
    for (int i = 0; i < imax; ++i) {
        for (int j = 0; j < jmax; ++j) {
            const int name = nodeName(i, j, jmax);
            region.nodes[name - 1] = MeshNode{name, grid.x[grid.at(i, j)], grid.y[grid.at(i, j)], 0.0};
        }
    }
    return true;
}

void buildNodeAdjacency(RegionRecord& region, int corners)
{
    region.adjacency.assign(region.nodes.size(), NodeAdjacency{});
    for (std::size_t k = 0; k < region.nodes.size(); ++k) region.adjacency[k].name = region.nodes[k].name;
    auto valid = [&](int node) { return node >= 1 && node <= static_cast<int>(region.adjacency.size()); };
    for (const MeshElement& el : region.elements) {
        for (int c = 1; c <= corners; ++c) {
            const int node = el.w[c];
            if (!valid(node)) continue;
            NodeAdjacency& adj = region.adjacency[node - 1];
            adj.elements[adj.elementCount++] = el.w[0];
        }
    }
    for (NodeAdjacency& adj : region.adjacency) {
        const int self = std::abs(adj.name);
        for (int q = 0; q < adj.elementCount; ++q) {
            const int e = adj.elements[q];
            if (e < 1 || e > static_cast<int>(region.elements.size())) continue;
            for (int c = 1; c <= corners; ++c) {
                const int other = region.elements[e - 1].w[c];
                if (other == self || other == 0) continue;
                const auto end = adj.neighbours.begin() + adj.neighbourCount;
                if (std::find(adj.neighbours.begin(), end, other) != end) continue;
                adj.neighbours[adj.neighbourCount++] = other;
            }
        }
    }
}

void emitMappedQuads(RegionRecord& region, int imax, int jmax, int elemGroup, int objIndex, const ModelLists& lists)
{
    const int cells = (imax - 1) * (jmax - 1);
    region.elements.assign(static_cast<std::size_t>(cells), MeshElement{});
    region.neighbours.assign(static_cast<std::size_t>(cells), ElementNeighbours{});
    for (int i = 0; i < imax - 1; ++i) {
        for (int j = 0; j < jmax - 1; ++j) {
            const int name = i * (jmax - 1) + j + 1;
            MeshElement& el = region.elements[name - 1];
            el.w[0] = name;
            el.w[1] = nodeName(i, j, jmax);
            el.w[2] = nodeName(i + 1, j, jmax);
            el.w[3] = nodeName(i + 1, j + 1, jmax);
            el.w[4] = nodeName(i, j + 1, jmax);
            for (int k = 5; k <= 9; ++k) el.w[k] = -1;
            el.w[10] = elemGroup;
            el.w[11] = objIndex;

            ElementNeighbours& nb = region.neighbours[name - 1];
            nb.n[0] = name;
            nb.n[1] = name - 1;
            nb.n[2] = name + (jmax - 1);
            nb.n[3] = name + 1;
            nb.n[4] = name - (jmax - 1);
            // Element side s (0-based) on the grid border: region side index,
            // side number of that grid edge, position along it.
            struct Border {
                bool on;
                int side, index, number, pos;
            };
            const Border borders[4] = {
                {j == 0, 0, 2, 3, i},
                {i == imax - 2, 1, 1, 2, j},
                {j == jmax - 2, 2, 3, 4, i},
                {i == 0, 3, 0, 1, j},
            };
            for (const Border& b : borders) {
                if (!b.on) continue;
                // A side towards another region (positive code) or without a
                // code (0) is an open side that later regions can join.
                int code = regionSideCode(region, b.index);
                if (code >= 0) code = -1;
                nb.n[1 + b.side] = code;
                const int entity = entityUnderInterval(region, b.index, b.number, b.pos);
                nb.n[5 + b.side] = entity;
                nb.n[9 + b.side] = entityLibCode(lists, entity);
            }
        }
    }
    buildNodeAdjacency(region, 4);
    rebuildBoundaryList(region, 4);
}

void findRecordsAtPoints(int objIndex, const std::vector<PointRecord>& generatedBoundaryPoints, double xa, double ya,
                         double xb, double yb, int& entity, int& code)
{
    entity = 0;
    code = 0;
    std::vector<std::pair<int, int>> a, b;
    for (const PointRecord& p : generatedBoundaryPoints) {
        if (p.owner != objIndex) continue;
        if (std::hypot(p.x - xa, p.y - ya) < 1e-9) a.emplace_back(p.entity, p.libCode);
        if (std::hypot(p.x - xb, p.y - yb) < 1e-9) b.emplace_back(p.entity, p.libCode);
    }
    if (a.size() == 1 && b.size() == 1) {
        if (a[0].first == b[0].first) {
            entity = a[0].first;
            code = a[0].second;
        }
    } else if (a.size() == 2 && b.size() == 1) {
        if (a[0].first == b[0].first || a[1].first == b[0].first) {
            entity = b[0].first;
            code = b[0].second;
        }
    } else if (a.size() == 1 && b.size() == 2) {
        if (b[0].first == a[0].first || b[1].first == a[0].first) {
            entity = a[0].first;
            code = a[0].second;
        }
    }
}

void emitMappedTriangles(RegionRecord& region, int imax, int jmax, int elemGroup, int objIndex,
                         const std::vector<PointRecord>& generatedBoundaryPoints)
{
    // Node names of the grid edges whose region side carries -3 or -6.
    std::vector<char> onMinus3(region.nodes.size() + 1, 0), onMinus6(region.nodes.size() + 1, 0);
    for (int index = 0; index < 4; ++index) {
        const int code = regionSideCode(region, index);
        if (code != -3 && code != -6) continue;
        std::vector<char>& mark = code == -3 ? onMinus3 : onMinus6;
        if (index <= 1) {
            const int i = index == 0 ? 0 : imax - 1;
            for (int j = 0; j < jmax; ++j) mark[nodeName(i, j, jmax)] = 1;
        } else {
            const int j = index == 2 ? 0 : jmax - 1;
            for (int i = 0; i < imax; ++i) mark[nodeName(i, j, jmax)] = 1;
        }
    }

    // Orientation of the grid, decided on its first cell as for quadrilaterals.
    const auto& nd = region.nodes;
    bool clockwise = false;
    {
        const int q[4] = {nodeName(0, 0, jmax), nodeName(1, 0, jmax), nodeName(1, 1, jmax), nodeName(0, 1, jmax)};
        double x[4], y[4];
        for (int a = 0; a < 4; ++a) {
            x[a] = nd[q[a] - 1].x;
            y[a] = nd[q[a] - 1].y;
        }
        clockwise = quadJacobianSum(x, y) < 0.0;
    }

    region.elements.clear();
    region.neighbours.clear();
    std::vector<std::vector<int>> atNode(region.nodes.size() + 1);
    auto addTriangle = [&](int p, int r, int s) {
        MeshElement el;
        el.w[0] = static_cast<int>(region.elements.size()) + 1;
        el.w[1] = p;
        el.w[2] = r;
        el.w[3] = s;
        el.w[10] = elemGroup;
        el.w[11] = objIndex;
        region.elements.push_back(el);
        for (int c : {p, r, s}) atNode[c].push_back(el.w[0]);
    };
    for (int i = 0; i < imax - 1; ++i) {
        for (int j = 0; j < jmax - 1; ++j) {
            int a = nodeName(i, j, jmax), b = nodeName(i + 1, j, jmax);
            int c = nodeName(i + 1, j + 1, jmax), d = nodeName(i, j + 1, jmax);
            if (clockwise) std::swap(b, d);
            const MeshNode &na = nd[a - 1], &nb = nd[b - 1], &nc = nd[c - 1], &ndd = nd[d - 1];
            const double qac = std::min(triangleQuality(na, nb, nc), triangleQuality(na, nc, ndd));
            const double qbd = std::min(triangleQuality(na, nb, ndd), triangleQuality(nb, nc, ndd));
            if (qac >= qbd) {
                addTriangle(a, b, c);
                addTriangle(a, c, d);
            } else {
                addTriangle(a, b, d);
                addTriangle(b, c, d);
            }
        }
    }

    region.neighbours.assign(region.elements.size(), ElementNeighbours{});
    for (std::size_t t = 0; t < region.elements.size(); ++t) region.neighbours[t].n[0] = static_cast<int>(t) + 1;
    for (std::size_t t = 0; t < region.elements.size(); ++t) {
        const MeshElement& el = region.elements[t];
        for (int s = 0; s < 3; ++s) {
            if (region.neighbours[t].n[1 + s] != 0) continue;
            const int p = el.w[1 + s], q = el.w[1 + (s + 1) % 3];
            int found = 0, foundSide = -1;
            for (int corner = 1; corner <= 3 && found == 0; ++corner) {
                for (int other : atNode[el.w[corner]]) {
                    if (other == el.w[0]) continue;
                    const MeshElement& o = region.elements[other - 1];
                    for (int k = 0; k < 3; ++k) {
                        if (o.w[1 + k] == q && o.w[1 + (k + 1) % 3] == p) {
                            found = other;
                            foundSide = k;
                            break;
                        }
                    }
                    if (found) break;
                }
            }
            if (found) {
                region.neighbours[t].n[1 + s] = found;
                region.neighbours[found - 1].n[1 + foundSide] = el.w[0];
            } else {
                region.neighbours[t].n[1 + s] = -2;
            }
        }
    }

    buildNodeAdjacency(region, 3);

    for (std::size_t t = 0; t < region.elements.size(); ++t) {
        const MeshElement& el = region.elements[t];
        for (int s = 0; s < 3; ++s) {
            if (region.neighbours[t].n[1 + s] >= 0) continue;
            const MeshNode& p = nd[el.w[1 + s] - 1];
            const MeshNode& q = nd[el.w[1 + (s + 1) % 3] - 1];
            int entity = 0, code = 0;
            findRecordsAtPoints(objIndex, generatedBoundaryPoints, p.x, p.y, q.x, q.y, entity, code);
            region.neighbours[t].n[5 + s] = entity;
            region.neighbours[t].n[9 + s] = code;
        }
    }
    for (const std::vector<char>* mark : {&onMinus3, &onMinus6}) {
        const int code = mark == &onMinus3 ? -3 : -6;
        for (std::size_t t = 0; t < region.elements.size(); ++t) {
            const MeshElement& el = region.elements[t];
            for (int s = 0; s < 3; ++s) {
                if (region.neighbours[t].n[1 + s] != -2) continue;
                if ((*mark)[el.w[1 + s]] && (*mark)[el.w[1 + (s + 1) % 3]]) region.neighbours[t].n[1 + s] = code;
            }
        }
    }
}

void adjustMappedQuads(RegionRecord& region)
{
    if (region.elements.empty()) return;
    const MeshElement& first = region.elements.front();
    double x[4], y[4];
    for (int a = 0; a < 4; ++a) {
        const int node = first.w[1 + a];
        if (node < 1 || node > static_cast<int>(region.nodes.size())) return;
        x[a] = region.nodes[node - 1].x;
        y[a] = region.nodes[node - 1].y;
    }
    if (quadJacobianSum(x, y) >= 0.0) return;
    for (std::size_t e = 0; e < region.elements.size(); ++e) {
        MeshElement& el = region.elements[e];
        std::swap(el.w[2], el.w[4]);
        ElementNeighbours& nb = region.neighbours[e];
        std::reverse(nb.n.begin() + 1, nb.n.begin() + 5);
        std::reverse(nb.n.begin() + 5, nb.n.begin() + 9);
        std::reverse(nb.n.begin() + 9, nb.n.begin() + 13);
    }
    rebuildBoundaryList(region, 4);
}

void buildRegionBoundarySides(RegionRecord& region)
{
    for (BoundarySide& side : region.boundarySides) {
        if (side.element >= 1 && side.element <= static_cast<int>(region.neighbours.size()) && side.side >= 0 &&
            side.side < 4)
            side.code = region.neighbours[side.element - 1].n[1 + side.side];
    }
    region.codedSides = region.boundarySides;
}

}  // namespace tessaro
