#include "meshtools/MeshRewrite.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

using setwalk::ForEachInRange;
using setwalk::IsNumberItem;
using setwalk::ListItems;

// What a number in a text refers to.
enum class Ref { Node, Element, Edge };

// Old numbers to new ones, read from the model before anything is replaced.
class Renumbering {
public:
    Renumbering(const ModelData& model, const LocalGridMesh& mesh) : model_(model), mesh_(mesh) {
        nodeLimit_ = model.GetNodeTable() ? model.GetNodeTable()->MaxNodeId() : 0;
        elementLimit_ = model.GetElementTable() ? model.GetElementTable()->MaxId() : 0;
    }

    // New number of an old node; 0 when it has no place or never existed.
    int NodeNumber(int oldNumber) const {
        const int row = model_.NodeRowOfNumber(oldNumber);
        if (row < 0 || row >= static_cast<int>(mesh_.nodeMap.size())) return 0;
        return mesh_.nodeMap[static_cast<std::size_t>(row)] + 1;
    }

    // Appends the new numbers an old number stands for (edge rows: the
    // sub-elements along `side`, in order along the side).
    void Expand(Ref ref, int oldNumber, int side, std::vector<int>& out) const {
        if (ref == Ref::Node) {
            if (const int n = NodeNumber(oldNumber)) out.push_back(n);
            return;
        }
        const int row = model_.ElementRowOfNumber(oldNumber);
        if (row < 0) return;
        const int a = mesh_.a, b = mesh_.b;
        const int first = SubElementIndex(row, 0, a, b) + 1;
        if (ref == Ref::Element) {
            for (int k = 0; k < a * b; ++k) out.push_back(first + k);
            return;
        }
        switch (side) {
            case 1:
                for (int u = 0; u < a; ++u) out.push_back(first + u);
                break;
            case 2:
                for (int v = 0; v < b; ++v) out.push_back(first + v * a + a - 1);
                break;
            case 3:
                for (int u = 0; u < a; ++u) out.push_back(first + (b - 1) * a + u);
                break;
            case 4:
                for (int v = 0; v < b; ++v) out.push_back(first + v * a);
                break;
            default: break;  // no such side: names nothing
        }
    }

    int Limit(Ref ref) const { return ref == Ref::Node ? nodeLimit_ : elementLimit_; }

private:
    const ModelData& model_;
    const LocalGridMesh& mesh_;
    int nodeLimit_ = 0;
    int elementLimit_ = 0;
};

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) text += ',';
        text += item;
    }
    return text;
}

// A text of several items with its numbers rewritten and its names kept;
// empty when nothing is left.
std::string RewriteItems(const std::string& text, Ref ref, int side, const Renumbering& renumbering) {
    std::vector<std::string> kept;
    std::vector<int> numbers;
    for (const std::string& item : ListItems(text)) {
        if (!IsNumberItem(item)) {
            kept.push_back(item);
            continue;
        }
        numbers.clear();
        renumbering.Expand(ref, ParseInt(item), side, numbers);
        for (int n : numbers) kept.push_back(std::to_string(n));
    }
    return Join(kept);
}

bool IsSingleNumber(const std::vector<std::string>& items) { return items.size() == 1 && IsNumberItem(items[0]); }

// ---------------------------------------------------------------------------
// Sets

void RewriteMember(const SetMemberRow& m, Ref ref, const Renumbering& renumbering, SetMemberList& out) {
    const std::vector<std::string> items = ListItems(m.first);
    if (items.size() > 1) {
        const std::string text = RewriteItems(m.first, ref, m.side, renumbering);
        if (!text.empty()) out.AddSetMemberRow(text, 0, 0, m.side);
        return;
    }
    if (!IsSingleNumber(items)) {
        // A set name: edge members stay as they are.
        if (ref == Ref::Edge)
            out.AddSetMemberRow(m.first, m.final, m.increment, m.side);
        else
            out.AddSetMemberRow(m.first, 0, 0, m.side);
        return;
    }
    std::vector<int> numbers;
    ForEachInRange(ParseInt(m.first), m.final, m.increment, renumbering.Limit(ref),
                   [&](int n) { renumbering.Expand(ref, n, m.side, numbers); });
    if (ref == Ref::Edge) {
        for (int n : numbers) out.AddSetMemberRow(std::to_string(n), 0, 0, m.side);
    } else if (!numbers.empty()) {
        out.AddSetMemberRow(ModelData::JoinNumbers(numbers), 0, 0, m.side);
    }
}

bool NamesNumbers(const SetTable& table) {
    for (const SetRow* set = table.GetHead(); set; set = set->next)
        if (set->members && set->members->HasNumericMember()) return true;
    return false;
}

// A rewritten copy of the set table, or null when no member names a number.
std::unique_ptr<SetTable> RewriteSets(const SetTable* table, Ref ref, const Renumbering& renumbering) {
    if (!table || !NamesNumbers(*table)) return nullptr;
    auto copy = std::make_unique<SetTable>(table->GetSetKind());
    copy->CopySetTable(*table);
    for (SetRow* set = copy->GetHead(); set; set = set->next) {
        if (!set->members) continue;
        SetMemberList rewritten;
        for (const SetMemberRow* m = set->members->GetHead(); m; m = m->next)
            RewriteMember(*m, ref, renumbering, rewritten);
        rewritten.CountRows();
        rewritten.RebuildIndex();
        set->members->CopySetMemberList(&rewritten);
    }
    return copy;
}

// ---------------------------------------------------------------------------
// Action tables: each row becomes the rows of its rewritten target, made by
// `emit(target)`; a row naming one number becomes one row per new number.

template <class Row, class Emit>
void RewriteTargets(const Row* head, Ref ref, const Renumbering& renumbering, Emit emit) {
    std::vector<int> numbers;
    for (const Row* row = head; row; row = row->next) {
        int side = 0;
        if constexpr (requires { row->side; }) side = row->side;
        const std::vector<std::string> items = ListItems(row->target);
        if (IsSingleNumber(items)) {
            numbers.clear();
            renumbering.Expand(ref, ParseInt(items[0]), side, numbers);
            for (int n : numbers) emit(*row, std::to_string(n));
        } else if (items.size() == 1) {
            emit(*row, row->target);
        } else if (std::string text = RewriteItems(row->target, ref, side, renumbering); !text.empty()) {
            emit(*row, text);
        }
    }
}

// A copy of the table (its kind and parameters by `copyAll`) with every row
// rewritten and appended by `add(table, row, target)`; null for an empty
// table.
template <class Table, class CopyAll, class Add>
std::unique_ptr<Table> RewriteActions(const Table* table, Ref ref, const Renumbering& renumbering, CopyAll copyAll,
                                      Add add) {
    if (!table || table->GetCount() == 0) return nullptr;
    auto copy = std::make_unique<Table>();
    (copy.get()->*copyAll)(*table);
    copy->DeleteRows();
    RewriteTargets(table->GetHead(), ref, renumbering,
                   [&](const auto& row, const std::string& target) { add(*copy, row, target); });
    copy->CountRows();
    copy->RebuildIndex();
    return copy;
}

std::unique_ptr<NodalActionTable> RewriteNodal(const NodalActionTable* table, Ref ref, const Renumbering& renumbering) {
    return RewriteActions(table, ref, renumbering, &NodalActionTable::CopyFrom,
                          [](NodalActionTable& t, const NodalRow& row, const std::string& target) {
                              t.AddNodalActionRow(target, row.values, row.flags);
                          });
}

std::unique_ptr<EdgeActionTable> RewriteEdges(const EdgeActionTable* table, const Renumbering& renumbering) {
    return RewriteActions(table, Ref::Edge, renumbering, &EdgeActionTable::CopyEdgeActionTable,
                          [](EdgeActionTable& t, const EdgeRow& row, const std::string& target) {
                              t.AddEdgeActionRow(target, row.side, row.dof, row.values);
                          });
}

// Material texts name elements and element sets; their numbers become the
// sub-elements. A text left without items names nothing: "0".
std::unique_ptr<MaterialTable> RewriteMaterials(const MaterialTable* table, const Renumbering& renumbering) {
    if (!table || table->GetCount() == 0) return nullptr;
    auto copy = std::make_unique<MaterialTable>();
    copy->CopyMaterialTable(*table);
    bool changed = false;
    for (MaterialRow* row = copy->GetHead(); row; row = row->next) {
        const std::vector<std::string> items = ListItems(row->element);
        if (std::none_of(items.begin(), items.end(), IsNumberItem)) continue;
        std::string text = RewriteItems(row->element, Ref::Element, 0, renumbering);
        row->element = text.empty() ? "0" : text;
        changed = true;
    }
    return changed ? std::move(copy) : nullptr;
}

// ---------------------------------------------------------------------------
// Node paths: start and end node, list text and node numbers follow the
// node map. A path naming a node that has no new number keeps its name and
// loses its nodes. A path between two nodes is resolved again on the new
// mesh afterwards, as reading the model file would.

struct PathUpdate {
    NodePath path;
    bool resolve = false;
};

std::vector<PathUpdate> RewriteNodePaths(const ModelData& model, const Renumbering& renumbering) {
    std::vector<PathUpdate> updates;
    for (const NodePath* p = model.FirstNodePath(); p; p = p->next) {
        PathUpdate u{*p, false};
        bool lost = false;
        auto map = [&](int n) {
            const int mapped = renumbering.NodeNumber(n);
            if (mapped == 0) lost = true;
            return mapped;
        };
        if (u.path.startNode > 0) u.path.startNode = map(u.path.startNode);
        if (u.path.endNode > 0) u.path.endNode = map(u.path.endNode);
        if (u.path.mode == 1) {
            u.resolve = true;
        } else {
            for (int& n : u.path.nodes) n = map(n);
            if (u.path.mode == 2) u.path.nodeListText = ModelData::JoinNumbers(u.path.nodes);
        }
        if (lost) {
            u.path.startNode = u.path.endNode = 0;
            u.path.nodeListText.clear();
            u.path.nodes.clear();
            u.resolve = false;
        }
        updates.push_back(std::move(u));
    }
    return updates;
}

// ---------------------------------------------------------------------------
// New node and element tables

std::unique_ptr<NodeTable> NewNodeTable(const ModelData& model, const LocalGridMesh& mesh) {
    auto table = std::make_unique<NodeTable>(model.GetNodeTable()->GetColumns());
    for (int i = 0; i < mesh.NodeCount(); ++i)
        table->AddNodeRow(i + 1, mesh.x[static_cast<std::size_t>(i)], mesh.y[static_cast<std::size_t>(i)],
                          mesh.z[static_cast<std::size_t>(i)]);
    table->CountRows();
    table->RebuildIndex();
    table->SortNodeRows();
    return table;
}

// Every new element takes its parent's material index; a conversion keeps
// the parent's number, a refinement numbers in creation order.
std::unique_ptr<ElementTable> NewElementTable(const ModelData& model, const LocalGridMesh& mesh,
                                              const MeshRewritePlan& plan) {
    const ElementTable& old = *model.GetElementTable();
    const int n = mesh.nodesPerElement;
    auto table = std::make_unique<ElementTable>(n);
    table->SetIntegrationOrder1(old.GetIntegrationOrder1());
    table->SetIntegrationOrder2(old.GetIntegrationOrder2());
    if (plan.adjustIntegration) {
        table->SetIntegrationOrder1(IntegrationOrderFor(n, old.GetIntegrationOrder1()));
        table->SetIntegrationOrder2(IntegrationOrderFor(n, old.GetIntegrationOrder2()));
    }
    const int perParent = mesh.a * mesh.b;
    int index = 0;
    for (const ElementRow* parent = old.GetHead(); parent; parent = parent->next)
        for (int k = 0; k < perParent; ++k, ++index) {
            const int number = plan.elementsRenumbered ? index + 1 : parent->id;
            const int* nodes = mesh.elementNodes.data() + static_cast<std::ptrdiff_t>(index) * n;
            std::array<int, 9> numbers{};
            for (int j = 0; j < n; ++j) numbers[static_cast<std::size_t>(j)] = nodes[j] + 1;
            table->AddElementRow(number, parent->material,
                                 std::span<const int>(numbers.data(), static_cast<std::size_t>(n)));
        }
    table->CountRows();
    table->RebuildIndex();
    table->SortById();
    return table;
}

// Everything a rebuild replaces, made before the model changes.
struct NewTables {
    std::unique_ptr<NodeTable> nodes;
    std::unique_ptr<ElementTable> elements;
    std::array<std::unique_ptr<SetTable>, 3> sets;
    std::array<std::unique_ptr<NodalActionTable>, 5> nodal;
    std::array<std::unique_ptr<EdgeActionTable>, 2> edges;
    std::unique_ptr<MaterialTable> materials;
    std::vector<PathUpdate> paths;
};

NewTables MakeNewTables(const ModelData& model, const LocalGridMesh& mesh, const MeshRewritePlan& plan) {
    const Renumbering renumbering(model, mesh);
    NewTables t;
    t.nodes = NewNodeTable(model, mesh);
    t.elements = NewElementTable(model, mesh, plan);
    t.sets[0] = RewriteSets(model.GetSetTable(1), Ref::Node, renumbering);
    for (int k = 1; k <= 3; ++k)
        t.nodal[static_cast<std::size_t>(k - 1)] = RewriteNodal(model.GetNodalActionTable(k), Ref::Node, renumbering);
    if (plan.elementsRenumbered) {
        t.sets[1] = RewriteSets(model.GetSetTable(2), Ref::Element, renumbering);
        t.sets[2] = RewriteSets(model.GetSetTable(3), Ref::Edge, renumbering);
        for (int k = 4; k <= 5; ++k)
            t.nodal[static_cast<std::size_t>(k - 1)] =
                RewriteNodal(model.GetNodalActionTable(k), Ref::Element, renumbering);
        for (int k = 1; k <= 2; ++k)
            t.edges[static_cast<std::size_t>(k - 1)] = RewriteEdges(model.GetEdgeActionTable(k), renumbering);
        t.materials = RewriteMaterials(model.GetMaterialTable(), renumbering);
    }
    t.paths = RewriteNodePaths(model, renumbering);
    return t;
}

}  // namespace

int IntegrationOrderFor(int nodesPerElement, int order) {
    if (nodesPerElement == 4) return order == 3 ? 2 : order;
    if (nodesPerElement == 8) return order == 1 ? 2 : order;
    return order < 3 ? 3 : order;
}

void InstallRebuiltMesh(ModelData& model, const LocalGridMesh& mesh, const MeshRewritePlan& plan) {
    const NewTables t = MakeNewTables(model, mesh, plan);
    model.ReplaceNodeTable(*t.nodes);
    model.ReplaceElementTable(*t.elements);
    for (const auto& sets : t.sets)
        if (sets) model.ReplaceSetTable(*sets);
    for (const auto& nodal : t.nodal)
        if (nodal) model.ReplaceNodalTable(*nodal);
    for (const auto& edges : t.edges)
        if (edges) model.ReplaceEdgeTable(*edges);
    if (t.materials) model.ReplaceMaterialTable(*t.materials);
    // The number maps serve the path resolution below, and the callers.
    model.RebuildNodeIndex();
    NodePath* stored = model.FirstNodePath();
    for (std::size_t i = 0; stored && i < t.paths.size(); ++i, stored = stored->next) {
        NodePath path = t.paths[i].path;
        if (t.paths[i].resolve)
            model.ResolveNodePath(path.nodes, std::to_string(path.startNode), std::to_string(path.endNode));
        if (ModelData::IsNodePathChanged(&path, stored) || path.nodes != stored->nodes) {
            model.CopyNodePath(static_cast<int>(i), path);
            model.SetChanged();
        }
    }
}
