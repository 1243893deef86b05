// Loads in the plane of the slab (forces in y or z, moments about x) and what
// holds the slab in its plane. Without enough supports or springs in the
// plane the slab can slide or turn in it as a rigid body: the loads then have
// nothing to rest on and the solver's iterations run away.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/ModelData.h"

namespace {

// Rigid motion of the slab in its plane: a slide a along y, a slide b along
// z and a turn t about x around the centre (yc, zc) of the mesh:
//   u_y = a - t (z - zc),   u_z = b + t (y - yc),   r_x = t.
// A support or spring of freedom y, z or the rotation about x at (y, z) holds
// the motions for which its component is zero; the motions that every one
// of them leaves free are the null space of the sum of their rows' squares.
class InPlaneHold {
public:
    InPlaneHold(double yc, double zc, double size) : yc_(yc), zc_(zc), size_(size > 0.0 ? size : 1.0) {}

    // Freedom 1 (y), 2 (z) or 3 (rotation about x) held at (y, z).
    void Add(int freedom, double y, double z) {
        std::array<double, 3> row{};
        if (freedom == 1)
            row = {1.0, 0.0, -(z - zc_) / size_};
        else if (freedom == 2)
            row = {0.0, 1.0, (y - yc_) / size_};
        else
            row = {0.0, 0.0, 1.0};
        held_[static_cast<std::size_t>(freedom - 1)] = true;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m_[i][j] += row[static_cast<std::size_t>(i)] * row[static_cast<std::size_t>(j)];
    }

    bool Holds(int freedom) const { return held_[static_cast<std::size_t>(freedom - 1)]; }

    // Number of independent motions left free (0 to 3).
    int FreeMotions() const {
        double a[3][3];
        double largest = 0.0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                a[i][j] = m_[i][j];
                largest = std::max(largest, std::fabs(a[i][j]));
            }
        if (largest == 0.0) return 3;
        const double tolerance = 1e-9 * largest;
        int rank = 0;
        bool used[3] = {false, false, false};
        for (int step = 0; step < 3; ++step) {
            int row = -1, col = -1;
            double pivot = tolerance;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    if (!used[i] && std::fabs(a[i][j]) > pivot) {
                        pivot = std::fabs(a[i][j]);
                        row = i;
                        col = j;
                    }
            if (row < 0) break;
            used[row] = true;
            ++rank;
            for (int i = 0; i < 3; ++i) {
                if (used[i]) continue;
                const double f = a[i][col] / a[row][col];
                for (int j = 0; j < 3; ++j) a[i][j] -= f * a[row][j];
            }
        }
        return 3 - rank;
    }

private:
    double yc_, zc_, size_;
    double m_[3][3] = {};
    bool held_[3] = {false, false, false};
};

bool NonZero(const std::vector<double>& values, std::size_t j) { return j < values.size() && values[j] != 0.0; }

bool ActsInPlane(const std::vector<double>& values) {
    return NonZero(values, 1) || NonZero(values, 2) || NonZero(values, 3);
}

}  // namespace

std::string ModelData::FreeInPlaneMotion() {
    const NodeTable* nodes = GetNodeTable();
    const ElementTable* elements = GetElementTable();
    if (!nodes || !elements || nodes->GetCount() == 0) return {};

    // Loads in the plane.
    PrepareExpandedTable(1);
    PrepareExpandedTable(2);
    bool loads = false;
    for (int kind : {2, 4}) {
        const int target = kind == 2 ? 1 : 2;
        ExpandNodalTable(target, GetNodalActionTable(kind), false);
        const NodalActionTable* expanded = target == 1 ? perNodeTable.get() : perElementTable.get();
        for (const NodalRow* r = expanded ? expanded->GetHead() : nullptr; r && !loads; r = r->next)
            loads = r->target != "0" && ActsInPlane(r->values);
        ResetExpandedTable(target);
    }
    const ConcentratedActionTable* pointLoads = GetConcentratedActionTable(1);
    for (const ConcentratedRow* r = pointLoads ? pointLoads->GetHead() : nullptr; r && !loads; r = r->next)
        loads = ActsInPlane(r->values);
    for (int i = 0; i < GetEquivLoadPointCount() && !loads; ++i)
        loads = GetEquivLoadFy(i) != 0.0 || GetEquivLoadFz(i) != 0.0;
    const EdgeActionTable* edgeLoads = GetEdgeActionTable(1);
    for (const EdgeRow* r = edgeLoads ? edgeLoads->GetHead() : nullptr; r && !loads; r = r->next)
        loads = r->dof >= 2 && r->dof <= 4 && (r->values[0] != 0.0 || r->values[1] != 0.0 || r->values[2] != 0.0);
    if (!loads) return {};

    // What holds the slab in its plane, around the centre of the mesh.
    double lo[2] = {nodes->GetY(0), nodes->GetZ(0)}, hi[2] = {lo[0], lo[1]};
    for (int i = 1; i < nodes->GetCount(); ++i) {
        const double c[2] = {nodes->GetY(i), nodes->GetZ(i)};
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], c[k]);
            hi[k] = std::max(hi[k], c[k]);
        }
    }
    InPlaneHold hold(0.5 * (lo[0] + hi[0]), 0.5 * (lo[1] + hi[1]), std::max(hi[0] - lo[0], hi[1] - lo[1]));
    const auto holdNode = [&](int nodeRow, int freedom) {
        if (nodeRow >= 0) hold.Add(freedom, nodes->GetY(nodeRow), nodes->GetZ(nodeRow));
    };
    const auto holdElement = [&](int elementRow, int freedom) {
        for (int a = 0; a < elements->GetNodesPerElement(); ++a)
            holdNode(NodeRowOfNumber(elements->GetNodeNumber(elementRow, a)), freedom);
    };
    // Constraints by their check boxes; nodal springs (dropped under a soil
    // model) and distributed springs by their values.
    const std::pair<int, bool> nodal[] = {{1, true}, {3, soilModel == 0}, {5, true}};
    for (const auto& [kind, counts] : nodal) {
        if (!counts) continue;
        const int target = kind == 5 ? 2 : 1;
        ExpandNodalTable(target, GetNodalActionTable(kind), false);
        const NodalActionTable* expanded = target == 1 ? perNodeTable.get() : perElementTable.get();
        int row = 0;
        for (const NodalRow* r = expanded ? expanded->GetHead() : nullptr; r; r = r->next, ++row) {
            if (r->target == "0") continue;
            for (int freedom = 1; freedom <= 3; ++freedom) {
                const std::size_t j = static_cast<std::size_t>(freedom);
                const bool acts = kind == 1 ? j < r->flags.size() && r->flags[j] != 0 : NonZero(r->values, j);
                if (!acts) continue;
                if (target == 1)
                    holdNode(row, freedom);
                else
                    holdElement(row, freedom);
            }
        }
        ResetExpandedTable(target);
    }
    for (const ConcentratedActionTable* table : {GetConcentratedActionTable(2), GetTotalConcentratedTable(1)})
        for (const ConcentratedRow* r = table ? table->GetHead() : nullptr; r; r = r->next)
            for (int freedom = 1; freedom <= 3; ++freedom)
                if (NonZero(r->values, static_cast<std::size_t>(freedom)) && r->coordinates.size() >= 3)
                    hold.Add(freedom, r->coordinates[1], r->coordinates[2]);
    // (Edge sets such as "ALL" walk the side flags of the mesh.)
    EdgeActionTable edges;
    const EdgeActionTable* edgeSprings = GetEdgeActionTable(2);
    const std::size_t flagCount = static_cast<std::size_t>(GetElementCount()) * 4;
    if (edgeSprings && edgeSprings->GetHead() && edgeFlags.size() != flagCount) {
        edgeFlags.assign(flagCount, 0);
        BuildEdgeFlags();
    }
    ExpandEdgeTable(edges, edgeSprings, 3);
    for (const EdgeRow* r = edges.GetHead(); r; r = r->next) {
        if (r->dof < 2 || r->dof > 4 || (r->values[0] == 0.0 && r->values[1] == 0.0 && r->values[2] == 0.0)) continue;
        const int element = ElementRowOfNumber(std::atoi(r->target.c_str()));
        if (element < 0 || r->side < 1 || r->side > 4) continue;
        for (int corner : {r->side - 1, r->side % 4})
            holdNode(NodeRowOfNumber(elements->GetNodeNumber(element, corner)), r->dof - 1);
    }

    const int free = hold.FreeMotions();
    if (free == 0) return {};
    std::vector<std::string> motions;
    if (!hold.Holds(1)) motions.push_back("slide in y");
    if (!hold.Holds(2)) motions.push_back("slide in z");
    if (free > static_cast<int>(motions.size())) motions.push_back("turn in its plane (about x)");
    std::string text;
    for (std::size_t i = 0; i < motions.size(); ++i)
        text += (i == 0 ? "" : i + 1 == motions.size() ? " and " : ", ") + motions[i];
    return text;
}

void ModelData::CheckInPlaneSupport(std::ostream& out, bool& error) {
    const std::string motion = FreeInPlaneMotion();
    if (motion.empty()) return;
    out << "    Error:\n"
        << "      Loads act in the plane of the slab (y, z or about x), but nothing holds its in-plane motion: "
           "the slab can "
        << motion
        << ". Please define nodal constraints in y and z (at two nodes apart at least) to remove this rigid "
           "body motion.\n";
    error = true;
}
