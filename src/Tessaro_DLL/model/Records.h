// Records of the mesh generator: input geometry, per-region work records,
// the global mesh and the model lists of one run.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tessaro {

// A numbered point of a geometric entity (also the layout of the records the
// boundary discretisers append to the generated boundary points).
struct PointRecord {
    int libCode = 0;
    int entity = 0;
    int pointNumber = 0;
    double x = 0.0;
    double y = 0.0;
    int owner = 0;  // region object index for generated boundary points
};

struct GeometryEntityRecord {
    int index = 0;
    int libCode = 0;
    int pointCount = 0;
    double centreX = 0.0, centreY = 0.0;
    double radiusX = 0.0, radiusY = 0.0;
    double startAngle = 0.0, sweepAngle = 0.0;  // radians
    std::vector<double> xs, ys;
};

struct SideSegment {
    int number = 0;
    int sideNumber = 0;
    int lim1 = 0, lim2 = 0;
    double cpar = 0.0, wn = 0.0;
    int startEntity = 0, endEntity = 0;
    int startPoint = 0, endPoint = 0;
    double comOper = 0.0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

struct RegionSide {
    int sideNumber = 0;
    int segmentCount = 0;
    int neighbourCode = 0;
    double inilev = 0.0;
    std::vector<SideSegment> segments;
};

// 1-based node of a region mesh.
struct MeshNode {
    int name = 0;
    double x = 0.0;
    double y = 0.0;
    double size = 0.0;
};

// Element: w[0] name, w[1..4] corners (w[4] = 0 for triangles), w[5..8]
// mid-side nodes, w[9] spare, w[10] element group, w[11] object index.
struct MeshElement {
    std::array<int, 12> w{};
};

// Side codes of an element: n[0] name, n[1..4] neighbour or boundary code per
// side, n[5..8] entity index under the side, n[9..12] that entity's lib code.
struct ElementNeighbours {
    std::array<int, 13> n{};
};

struct BoundarySide {
    int element = 0;
    int side = 0;
    int code = 0;
};

struct BoundarySegment {
    int number = 0;
    int start = 0;
    int end = 0;
    int code = 0;
};

struct DelaunayTriangle {
    int name = 0;
    int status = -1;
    int word2 = 0;
    std::array<int, 3> corners{};
    std::array<int, 4> spare{};
    double cx = 0.0, cy = 0.0, r2 = 0.0;
};

// Names held at a node (neighbour nodes or elements), the count kept beside
// it by the node record. The first `Held` live in the record itself; a node
// of a strongly graded region, where many triangles fan out from one node,
// keeps more on the heap. Writing at an index past the end grows the list
// (new slots 0), so a node holds as many names as its mesh gives it. A
// pointer from data() stays valid until the list grows.
template <int Held>
class NodeNames {
public:
    NodeNames() = default;
    NodeNames(const NodeNames& other)
        : held_(other.held_), spill_(other.spill_ ? std::make_unique<std::vector<int>>(*other.spill_) : nullptr)
    {}
    NodeNames(NodeNames&&) noexcept = default;
    NodeNames& operator=(const NodeNames& other)
    {
        if (this != &other) {
            held_ = other.held_;
            spill_ = other.spill_ ? std::make_unique<std::vector<int>>(*other.spill_) : nullptr;
        }
        return *this;
    }
    NodeNames& operator=(NodeNames&&) noexcept = default;
    int& operator[](std::size_t k)
    {
        if (k >= capacity()) grow(k + 1);
        return data()[k];
    }
    int operator[](std::size_t k) const { return data()[k]; }
    int* data() { return spill_ ? spill_->data() : held_.data(); }
    const int* data() const { return spill_ ? spill_->data() : held_.data(); }
    int* begin() { return data(); }
    int* end() { return data() + capacity(); }
    const int* begin() const { return data(); }
    const int* end() const { return data() + capacity(); }
    std::size_t capacity() const { return spill_ ? spill_->size() : static_cast<std::size_t>(Held); }
    // Room for at least n names, so that data() can be written up to n.
    void reserve(std::size_t n)
    {
        if (n > capacity()) grow(n);
    }
    void fill(int value) { std::fill(begin(), end(), value); }
    // The names [first, last) from slot 0 on, every later slot 0.
    template <class It>
    void assign(It first, It last)
    {
        const std::size_t n = static_cast<std::size_t>(last - first);
        reserve(n);
        fill(0);
        std::copy(first, last, begin());
    }

private:
    void grow(std::size_t n)
    {
        auto bigger = std::make_unique<std::vector<int>>(std::max(n, 2 * capacity()), 0);
        std::copy(begin(), end(), bigger->begin());
        spill_ = std::move(bigger);
    }
    std::array<int, Held> held_{};
    std::unique_ptr<std::vector<int>> spill_;  // the list once it outgrows the held slots
};

// Per-node adjacency of a region mesh: neighbour nodes and elements at a
// node. The k-constants are the names held in the record itself; a node
// may hold more.
struct NodeAdjacency {
    static constexpr int kMaxNeighbours = 20;
    static constexpr int kMaxElements = 14;
    int name = 0;  // negative when the node is fixed
    int neighbourCount = 0;
    int elementCount = 0;
    NodeNames<kMaxNeighbours> neighbours{};
    NodeNames<kMaxElements> elements{};
};

// Element of the topology model of a quadrilateral region: nb[k] is the
// neighbour across side k (corner k to k + 1): +e a triangle, -e a
// quadrilateral, -(code offset + 1) none; corners c[3] and nb[3] are 0 for a
// triangle. A removed record carries a negative name.
struct TopoElement {
    int name = 0;
    int cornerCount = 3;
    bool isTriangle = true;
    std::array<int, 4> nb{};
    std::array<int, 4> c{};
};

// Node of the topology model: status +k interior, -k boundary (k <= nb),
// below -nb removed; neighbour nodes, triangles and quadrilaterals at it.
// The k-constants are the names held in the record itself; a node may hold
// more, but the triangle merge and the smoother leave nodes beyond them as
// they are.
struct TopoNode {
    static constexpr int kMaxNeighbours = 20;
    static constexpr int kMaxTriangles = 14;
    static constexpr int kMaxQuads = 22;
    int status = 0;
    int neighbourCount = 0;
    int triangleCount = 0;
    int quadCount = 0;
    NodeNames<kMaxNeighbours> neighbours{};
    NodeNames<kMaxTriangles> triangles{};
    NodeNames<kMaxQuads> quads{};
};

struct FemNode {
    int id = 0;
    double x = 0.0;
    double y = 0.0;
};

// Line element: number, first/middle/second node, the structure element's
// fourth value, kind and fifth value, entity index and entity lib code.
struct LineElement {
    std::array<int, 9> w{};
};

struct StructureElementRecord {
    int id = 0;
    std::string name;
    int kind = 0;
    int value3 = 0, value4 = 0, value5 = 0;
    std::vector<SideSegment> segments;
    std::vector<LineElement> lines;
    std::vector<FemNode> nodes;
    std::vector<int> regionValues;
};

struct RegionRecord {
    std::string name;
    int objIndex = 0;
    int elementShape = 0;
    int elemGroup = 0;
    int scheme = 0;
    int sideCount = 0;
    std::vector<int> sideCodes;
    std::vector<RegionSide> sides;
    int imax = 0, jmax = 0;
    std::vector<MeshElement> elements;
    std::vector<ElementNeighbours> neighbours;
    std::vector<DelaunayTriangle> triangles;
    std::vector<MeshNode> nodes;
    std::vector<NodeAdjacency> adjacency;
    std::vector<BoundarySide> boundarySides;
    std::vector<MeshNode> pendingMoves;
    std::vector<BoundarySegment> interfaceFaces1, interfaceFaces2;
    std::vector<BoundarySide> codedSides;
    std::vector<TopoElement> topoElements;
    std::vector<TopoNode> topoNodes;
};

// The three model lists of a run, in input order. A deque keeps references to
// earlier records valid while later ones are appended.
struct ModelLists {
    std::deque<RegionRecord> regions;
    std::deque<StructureElementRecord> structureElements;
    std::deque<GeometryEntityRecord> entities;
};

void appendRegion(ModelLists& lists);
void appendStructureElement(ModelLists& lists);
void appendGeometryEntity(ModelLists& lists);
RegionRecord* lastRegion(ModelLists& lists);
StructureElementRecord* lastStructureElement(ModelLists& lists);
GeometryEntityRecord* lastGeometryEntity(ModelLists& lists);
void releaseRegion(RegionRecord& region);
// Frees the region's mesh work lists once it is merged; its definition (the
// sides) stays for the regions meshed after it.
void releaseRegionMesh(RegionRecord& region);
void releaseStructureElement(StructureElementRecord& element);
void freeModelLists(ModelLists& lists);

// Number of corners of the elements of a region: 3 for shape 0, else 4.
inline int cornerCount(int elementShape) { return elementShape == 0 ? 3 : 4; }

}  // namespace tessaro
