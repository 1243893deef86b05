#include "Tessaro_DLL/structure/StructureLines.h"

#include <cmath>

#include "Tessaro_DLL/mapped/Midside.h"

namespace tessaro {

namespace {

constexpr double kCoincide = 1e-8;

bool coincide(double xa, double ya, double xb, double yb) { return std::hypot(xa - xb, ya - yb) < kCoincide; }

// Id of the first structure node among the first `count` at the point, 0
// when none.
int structureNodeAt(const std::vector<FemNode>& nodes, std::size_t count, double x, double y)
{
    for (std::size_t k = 0; k < count && k < nodes.size(); ++k)
        if (coincide(nodes[k].x, nodes[k].y, x, y)) return nodes[k].id;
    return 0;
}

void insertOwnLines(int meshNodeCount, StructureOutput& out, const StructureElementRecord& element)
{
    const std::size_t before = out.nodes.size();
    int appended = 0;
    for (const FemNode& own : element.nodes) {
        if (structureNodeAt(out.nodes, before, own.x, own.y) != 0) continue;
        ++appended;
        out.nodes.push_back(FemNode{meshNodeCount + static_cast<int>(before) + appended, own.x, own.y});
    }
    const int firstNumber = static_cast<int>(out.ownLines.size()) + 1;
    for (std::size_t k = 0; k < element.lines.size(); ++k) {
        LineElement line = element.lines[k];
        line.w[0] = firstNumber + static_cast<int>(k);
        for (const int word : {1, 3}) {
            const int own = line.w[word];
            if (own < 1 || own > static_cast<int>(element.nodes.size())) continue;
            const FemNode& at = element.nodes[own - 1];
            const int id = structureNodeAt(out.nodes, out.nodes.size(), at.x, at.y);
            if (id != 0) line.w[word] = id;
        }
        line.w[6] = element.value5;
        out.ownLines.push_back(line);
    }
}

// A kind 2 line over side s of a surface element.
LineElement sideLine(int number, const MeshElement& el, int s, int sides, const StructureElementRecord& element)
{
    LineElement line;
    line.w[0] = number;
    line.w[1] = el.w[1 + s];
    line.w[2] = el.w[1 + sides + s];
    line.w[3] = el.w[1 + (s + 1) % sides];
    line.w[4] = element.value4;
    line.w[5] = element.kind;
    line.w[6] = element.value5;
    return line;
}

// The first element side joining the two points, either way round.
bool findMeshSide(const std::vector<MeshElement>& elements, const std::vector<FemNode>& nodes, int sides,
                  const FemNode& a, const FemNode& b, int& element, int& side)
{
    auto at = [&](int name) -> const FemNode* {
        return name >= 1 && name <= static_cast<int>(nodes.size()) ? &nodes[name - 1] : nullptr;
    };
    for (std::size_t e = 0; e < elements.size(); ++e)
        for (int s = 0; s < sides; ++s) {
            const FemNode* m1 = at(elements[e].w[1 + s]);
            const FemNode* m2 = at(elements[e].w[1 + (s + 1) % sides]);
            if (m1 == nullptr || m2 == nullptr) continue;
            const bool forward = coincide(a.x, a.y, m1->x, m1->y) && coincide(b.x, b.y, m2->x, m2->y);
            const bool backward = coincide(a.x, a.y, m2->x, m2->y) && coincide(b.x, b.y, m1->x, m1->y);
            if (!forward && !backward) continue;
            element = static_cast<int>(e);
            side = s;
            return true;
        }
    return false;
}

void insertSideLines(bool quadrilateral, StructureOutput& out, const std::vector<MeshElement>& elements,
                     const std::vector<FemNode>& nodes, const std::vector<BoundarySide>& interfaceSides,
                     const StructureElementRecord& element)
{
    const int sides = quadrilateral ? 4 : 3;
    int number = static_cast<int>(out.sideLines.size() + out.ownLines.size()) + 1;
    if (!interfaceSides.empty()) {
        for (const BoundarySide& side : interfaceSides) {
            if (side.code != element.value5) continue;
            if (side.element < 1 || side.element > static_cast<int>(elements.size())) continue;
            out.sideLines.push_back(sideLine(number++, elements[side.element - 1], side.side, sides, element));
        }
        return;
    }
    for (const LineElement& own : element.lines) {
        const int a = own.w[1], b = own.w[3];
        if (a < 1 || b < 1 || a > static_cast<int>(element.nodes.size()) || b > static_cast<int>(element.nodes.size()))
            continue;
        int e = 0, s = 0;
        if (!findMeshSide(elements, nodes, sides, element.nodes[a - 1], element.nodes[b - 1], e, s)) continue;
        out.sideLines.push_back(sideLine(number++, elements[e], s, sides, element));
    }
}

}  // namespace

void insertStructureElementLines(int meshNodeCount, bool quadrilateral, StructureOutput& out,
                                 const std::vector<MeshElement>& elements, const std::vector<FemNode>& nodes,
                                 const std::vector<BoundarySide>& interfaceSides, const StructureElementRecord& element)
{
    if (element.kind == 1)
        insertOwnLines(meshNodeCount, out, element);
    else if (element.kind == 2)
        insertSideLines(quadrilateral, out, elements, nodes, interfaceSides, element);
}

void addLineMidNodes(int meshNodeCount, const std::deque<GeometryEntityRecord>& entities, StructureOutput& out)
{
    const int before = static_cast<int>(out.nodes.size());
    auto nodeOf = [&](int id) -> const FemNode* {
        const int local = id - meshNodeCount;
        return local >= 1 && local <= before ? &out.nodes[local - 1] : nullptr;
    };
    for (LineElement& line : out.ownLines) {
        const FemNode* a = nodeOf(line.w[1]);
        const FemNode* b = nodeOf(line.w[3]);
        if (a == nullptr || b == nullptr) continue;
        double x = 0.5 * (a->x + b->x), y = 0.5 * (a->y + b->y);
        if (line.w[8] == 31)
            for (const GeometryEntityRecord& entity : entities)
                if (entity.index == line.w[7]) {
                    arcMidpoint(entity, a->x, a->y, b->x, b->y, x, y);
                    break;
                }
        const int id = meshNodeCount + 1 + static_cast<int>(out.nodes.size());
        out.nodes.push_back(FemNode{id, x, y});
        line.w[2] = id;
    }
}

}  // namespace tessaro
