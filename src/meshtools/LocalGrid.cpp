#include "meshtools/LocalGrid.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <unordered_map>

#include "model/Interpolation.h"
#include "model/ModelData.h"

namespace {

constexpr int kFree = -1;  // grid point not numbered yet
constexpr int kHole = -2;  // no node: centre of an 8-node sub-element

constexpr const char* kUndefinedNode = "Element %d names node %d, which is not defined";
constexpr const char* kUnknownOrder = "Elements of %d nodes cannot be rebuilt; use 4, 8 or 9 nodes";
constexpr const char* kCrossedDivisions =
    "Elements of this mesh have different local directions; refine with equal divisions";

// Where a run of side points lies in the flat store.
struct SideRun {
    int offset = 0;
    int count = 0;
};

std::uint64_t SideKey(int p, int q) {
    const auto lo = static_cast<std::uint32_t>(std::min(p, q));
    const auto hi = static_cast<std::uint32_t>(std::max(p, q));
    return (static_cast<std::uint64_t>(lo) << 32) | hi;
}

// One rebuild: the grid of the element being processed and the maps that
// carry numbered points over to later elements.
class GridBuilder {
public:
    GridBuilder(const ModelData& model, int a, int b, int n)
        : model_(model), nodes_(*model.GetNodeTable()), a_(a), b_(b), n_(n),
          oldN_(model.GetElementTable()->GetNodesPerElement()) {
        const int m = n == 4 ? 1 : 2;
        cols_ = m * a + 1;
        rows_ = m * b + 1;
        grid_.resize(static_cast<std::size_t>(rows_) * cols_);
        const int top = rows_ - 1, right = cols_ - 1;
        places_ = {{{0, 0},
                    {0, right},
                    {top, right},
                    {top, 0},
                    {0, right / 2},
                    {top / 2, right},
                    {top, right / 2},
                    {top / 2, 0},
                    {top / 2, right / 2}}};
        // Corners always have a place; mid-side nodes when both orders have
        // them; the centre only when both are 9-node (refinement).
        placed_ = 4;
        if (oldN_ > 4 && n > 4) placed_ = 8;
        if (oldN_ == 9 && n == 9) placed_ = 9;
    }

    LocalGridMesh Run() {
        mesh_.nodesPerElement = n_;
        mesh_.a = a_;
        mesh_.b = b_;
        mesh_.nodeMap.assign(static_cast<std::size_t>(nodes_.GetCount()), -1);
        if (!CheckOrders() || !CheckNodes()) return std::move(mesh_);
        const ElementTable& elements = *model_.GetElementTable();
        mesh_.elementNodes.reserve(static_cast<std::size_t>(elements.GetCount()) * a_ * b_ * n_);
        sides_.reserve(static_cast<std::size_t>(elements.GetCount()) * 4);
        for (const ElementRow* e = elements.GetHead(); e; e = e->next) {
            if (!RebuildElement(*e)) {
                mesh_.error = kCrossedDivisions;
                return std::move(mesh_);
            }
        }
        return std::move(mesh_);
    }

private:
    int& At(int r, int c) { return grid_[static_cast<std::size_t>(r) * cols_ + c]; }
    int Node(int k) const { return oldRows_[static_cast<std::size_t>(k)]; }

    bool CheckOrders() {
        for (int order : {oldN_, n_}) {
            if (order == 4 || order == 8 || order == 9) continue;
            char text[96];
            std::snprintf(text, sizeof text, kUnknownOrder, order);
            mesh_.error = text;
            return false;
        }
        return true;
    }

    // Every element names defined nodes; otherwise the first that does not
    // becomes the error.
    bool CheckNodes() {
        for (const ElementRow* e = model_.GetElementTable()->GetHead(); e; e = e->next)
            for (int k = 0; k < oldN_; ++k) {
                const int number = k < static_cast<int>(e->nodes.size()) ? e->nodes[static_cast<std::size_t>(k)] : 0;
                if (model_.NodeRowOfNumber(number) >= 0) continue;
                char text[160];
                std::snprintf(text, sizeof text, kUndefinedNode, e->id, number);
                mesh_.error = text;
                return false;
            }
        return true;
    }

    bool RebuildElement(const ElementRow& e) {
        for (int k = 0; k < oldN_; ++k)
            oldRows_[static_cast<std::size_t>(k)] = model_.NodeRowOfNumber(e.nodes[static_cast<std::size_t>(k)]);
        ResetGrid();
        TakeOverOldNodes();
        if (!TakeOverSides()) return false;
        NumberFreePoints();
        MapOldNodes();
        RecordSides();
        BuildSubElements();
        return true;
    }

    void ResetGrid() {
        const bool holes = n_ == 8;
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < cols_; ++c) At(r, c) = holes && (r % 2 == 1) && (c % 2 == 1) ? kHole : kFree;
    }

    // Old nodes that an earlier element already placed.
    void TakeOverOldNodes() {
        for (int k = 0; k < placed_; ++k) {
            const int mapped = mesh_.nodeMap[static_cast<std::size_t>(Node(k))];
            if (mapped >= 0)
                At(places_[static_cast<std::size_t>(k)][0], places_[static_cast<std::size_t>(k)][1]) = mapped;
        }
    }

    // Point t of side s (0-based), counted from its first corner.
    int& SidePoint(int s, int t) {
        switch (s) {
            case 0: return At(0, t);
            case 1: return At(t, cols_ - 1);
            case 2: return At(rows_ - 1, cols_ - 1 - t);
            default: return At(rows_ - 1 - t, 0);
        }
    }
    int SidePointCount(int s) const { return s % 2 == 0 ? cols_ : rows_; }

    // The points along every side an earlier element shares, in matching
    // order. False when the two elements divide the side differently.
    bool TakeOverSides() {
        for (int s = 0; s < 4; ++s) {
            const int p = Node(s), q = Node((s + 1) % 4);
            const auto found = sides_.find(SideKey(p, q));
            if (found == sides_.end()) continue;
            const int count = SidePointCount(s);
            if (found->second.count != count) return false;
            for (int t = 0; t < count; ++t) {
                int& point = SidePoint(s, t);
                if (point != kFree) continue;
                const int stored = p <= q ? t : count - 1 - t;
                point = sidePoints_[static_cast<std::size_t>(found->second.offset + stored)];
            }
        }
        return true;
    }

    // New nodes for the points left, row by row, placed by the old element's
    // shape functions.
    void NumberFreePoints() {
        std::array<double, 9> x{}, y{}, z{}, shape{};
        for (int k = 0; k < oldN_; ++k) {
            const NodeRow* r = nodes_.GetRow(Node(k));
            x[static_cast<std::size_t>(k)] = r->x;
            y[static_cast<std::size_t>(k)] = r->y;
            z[static_cast<std::size_t>(k)] = r->z;
        }
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < cols_; ++c) {
                if (At(r, c) != kFree) continue;
                const double xi = 2.0 * c / (cols_ - 1) - 1.0;
                const double eta = 2.0 * r / (rows_ - 1) - 1.0;
                ShapeFunctions(xi, eta, oldN_, shape.data());
                At(r, c) = mesh_.NodeCount();
                mesh_.x.push_back(DotProduct(oldN_, shape.data(), x.data()));
                mesh_.y.push_back(DotProduct(oldN_, shape.data(), y.data()));
                mesh_.z.push_back(DotProduct(oldN_, shape.data(), z.data()));
            }
    }

    void MapOldNodes() {
        for (int k = 0; k < placed_; ++k) {
            int& mapped = mesh_.nodeMap[static_cast<std::size_t>(Node(k))];
            if (mapped < 0)
                mapped = At(places_[static_cast<std::size_t>(k)][0], places_[static_cast<std::size_t>(k)][1]);
        }
    }

    // Stores the new nodes along each side, from its lower-row corner to the
    // other, for the elements still to come; a later element's side replaces
    // an earlier one's.
    void RecordSides() {
        for (int s = 0; s < 4; ++s) {
            const int p = Node(s), q = Node((s + 1) % 4);
            const int count = SidePointCount(s);
            SideRun& run = sides_[SideKey(p, q)];
            if (run.count != count) {
                run.offset = static_cast<int>(sidePoints_.size());
                run.count = count;
                sidePoints_.resize(sidePoints_.size() + static_cast<std::size_t>(count));
            }
            for (int t = 0; t < count; ++t)
                sidePoints_[static_cast<std::size_t>(run.offset + (p <= q ? t : count - 1 - t))] = SidePoint(s, t);
        }
    }

    void BuildSubElements() {
        auto& out = mesh_.elementNodes;
        for (int v = 0; v < b_; ++v)
            for (int u = 0; u < a_; ++u) {
                if (n_ == 4) {
                    out.insert(out.end(), {At(v, u), At(v, u + 1), At(v + 1, u + 1), At(v + 1, u)});
                    continue;
                }
                const int r = 2 * v, c = 2 * u;
                out.insert(out.end(), {At(r, c), At(r, c + 2), At(r + 2, c + 2), At(r + 2, c), At(r, c + 1),
                                       At(r + 1, c + 2), At(r + 2, c + 1), At(r + 1, c)});
                if (n_ == 9) out.push_back(At(r + 1, c + 1));
            }
    }

    const ModelData& model_;
    const NodeTable& nodes_;
    const int a_, b_, n_, oldN_;
    int rows_ = 0, cols_ = 0;
    std::vector<int> grid_;
    std::array<std::array<int, 2>, 9> places_{};
    int placed_ = 4;
    std::array<int, 9> oldRows_{};
    std::unordered_map<std::uint64_t, SideRun> sides_;
    std::vector<int> sidePoints_;
    LocalGridMesh mesh_;
};

}  // namespace

LocalGridMesh RebuildLocalGrids(const ModelData& model, int a, int b, int n) {
    if (!model.GetNodeTable() || !model.GetElementTable()) return LocalGridMesh{};
    GridBuilder builder(model, a, b, n);
    return builder.Run();
}

std::int64_t RefinedNodeBound(std::int64_t elements, int a, int b, int n) {
    // Estimated in floating point first, so that no count a user can type
    // overflows; exact whenever the bound is below 1e18.
    const std::int64_t m = n == 4 ? 1 : 2;
    const double estimate =
        static_cast<double>(elements) * (static_cast<double>(m) * a + 1.0) * (static_cast<double>(m) * b + 1.0);
    if (!(estimate < 1e18)) return std::numeric_limits<std::int64_t>::max();
    return elements * (m * a + 1) * (m * b + 1);
}
