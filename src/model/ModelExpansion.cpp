// Resolution of the loosely named targets of the input tables into concrete
// nodes, elements and element sides: the per-node and per-element working
// tables, edge expansion, the nodes of nonlinear springs, material
// assignment and the set questions.
//
// Target texts are comma lists. An item beginning with a digit 1..9 is a
// number, any other item the name of a set ("ALL" for every node, element or
// side). Numbers that name nothing and names that name no set contribute
// nothing. A set that names itself, directly or through other sets, is
// followed once along each path and then ignored, so no expansion loops.

#include <algorithm>
#include <unordered_set>

#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

using setwalk::FindSetRow;
using setwalk::ForEachTargetItem;
using setwalk::WalkSetMembers;

bool OnPath(const std::vector<std::string>& path, const std::string& name) {
    return std::find(path.begin(), path.end(), name) != path.end();
}

std::vector<double> SixValues(const NodalRow* row) {
    std::vector<double> v(6, 0.0);
    for (std::size_t j = 0; j < 6 && j < row->values.size(); ++j) v[j] = row->values[j];
    return v;
}

std::vector<int> SixFlags(const NodalRow* row) {
    std::vector<int> f(6, 0);
    for (std::size_t j = 0; j < 6 && j < row->flags.size(); ++j) f[j] = row->flags[j];
    return f;
}

int EdgeFlagAt(const std::vector<int>& flags, int row, int side) {
    const std::size_t k = static_cast<std::size_t>(4 * row + side);
    return k < flags.size() ? flags[k] : 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Working tables

void ModelData::PrepareExpandedTable(int kind) {
    if (kind != 1 && kind != 2) return;
    std::unique_ptr<NodalActionTable>& table = kind == 1 ? perNodeTable : perElementTable;
    const int rows = kind == 1 ? GetNodeCount() : GetElementCount();
    if (table) {
        table->CountRows();
        table->RebuildIndex();
    }
    if (table && table->GetCount() == rows) {
        ResetExpandedTable(kind);
        return;
    }
    static const std::array<double, 6> zeros{};
    static const std::array<int, 6> noFlags{};
    table = std::make_unique<NodalActionTable>();
    table->SetModel(this);
    for (int i = 0; i < rows; ++i) table->AddNodalActionRow("0", zeros, noFlags);
    table->CountRows();
    table->RebuildIndex();
    (kind == 1 ? perNodeTouched : perElementTouched) = 0;
}

void ModelData::ResetExpandedTable(int kind) {
    if (kind != 1 && kind != 2) return;
    NodalActionTable* table = kind == 1 ? perNodeTable.get() : perElementTable.get();
    (kind == 1 ? perNodeTouched : perElementTouched) = 0;
    if (!table) return;
    for (NodalRow* r = table->GetHead(); r; r = r->next) {
        r->target.assign(1, '0');
        r->flags.assign(6, 0);
        r->values.assign(6, 0.0);
    }
}

void ModelData::ApplyActionToRow(int kind, int position, const std::vector<double>& values,
                                 const std::vector<int>& flags) {
    NodalActionTable* table = kind == 1 ? perNodeTable.get() : kind == 2 ? perElementTable.get() : nullptr;
    if (!table) return;
    NodalRow* row = table->RowOrNull(position);
    if (!row) return;
    int number = 0;
    if (kind == 1) {
        const NodeRow* n = nodeTable ? nodeTable->RowOrNull(position) : nullptr;
        number = n ? n->id : 0;
    } else {
        const ElementRow* e = elementTable ? elementTable->RowOrNull(position) : nullptr;
        number = e ? e->id : 0;
    }
    if (row->target == "0") ++(kind == 1 ? perNodeTouched : perElementTouched);
    row->target = std::to_string(number);
    if (row->flags.size() < 6) row->flags.resize(6, 0);
    if (row->values.size() < 6) row->values.resize(6, 0.0);
    for (std::size_t j = 0; j < 6; ++j) {
        const int flag = j < flags.size() ? flags[j] : 0;
        if (flag == 0) continue;
        row->flags[j] = flag;
        row->values[j] = j < values.size() ? values[j] : 0.0;
    }
}

namespace {

struct SetApplier {
    ModelData& model;
    int kind;
    const std::vector<double>& values;
    const std::vector<int>& flags;
    std::vector<std::string> path;

    int Position(int number) const {
        return kind == 1 ? model.NodeRowOfNumber(number) : model.ElementRowOfNumber(number);
    }
    int Limit() const { return static_cast<int>(kind == 1 ? model.nodeLookup.size() : model.elementLookup.size()); }

    void Apply(const std::string& name) {
        if (name == "ALL") {
            const int rows = kind == 1 ? model.GetNodeCount() : model.GetElementCount();
            for (int i = 0; i < rows; ++i) model.ApplyActionToRow(kind, i, values, flags);
            return;
        }
        if (OnPath(path, name)) return;
        const SetRow* set = FindSetRow(model.GetSetTable(kind), name);
        if (!set) return;
        path.push_back(name);
        WalkSetMembers(
            set->members.get(), Limit(),
            [&](int n, int) {
                const int p = Position(n);
                if (p >= 0) model.ApplyActionToRow(kind, p, values, flags);
            },
            [&](const std::string& nested) { Apply(nested); });
        path.pop_back();
    }
};

}  // namespace

void ModelData::ApplyActionToSet(int kind, const std::string& name, const std::vector<double>& values,
                                 const std::vector<int>& flags) {
    if (kind != 1 && kind != 2) return;
    SetApplier applier{*this, kind, values, flags, {}};
    applier.Apply(name);
}

int ModelData::ExpandNodalTable(int kind, const NodalActionTable* table, bool reset) {
    if (kind != 1 && kind != 2) return 0;
    if (table) {
        for (const NodalRow* row = table->GetHead(); row; row = row->next) {
            const std::vector<double> values = SixValues(row);
            const std::vector<int> flags = SixFlags(row);
            ForEachTargetItem(
                row->target,
                [&](int number) {
                    const int p = kind == 1 ? NodeRowOfNumber(number) : ElementRowOfNumber(number);
                    if (p >= 0) ApplyActionToRow(kind, p, values, flags);
                },
                [&](const std::string& name) { ApplyActionToSet(kind, name, values, flags); });
        }
    }
    const int touched = kind == 1 ? perNodeTouched : perElementTouched;
    if (reset) ResetExpandedTable(kind);
    return touched;
}

// ---------------------------------------------------------------------------
// Edge expansion

namespace {

// Walks the element sides an edge target names and calls emit(element
// number, side) for each; "ALL" gives every distinct side once.
struct EdgeWalker {
    const ModelData& model;
    std::vector<std::string> path;

    template <class Emit>
    void Set(const std::string& name, Emit emit) {
        if (name == "ALL") {
            const ElementTable* t = model.GetElementTable();
            const int rows = t ? t->GetCount() : 0;
            for (int j = 0; j < rows; ++j)
                for (int k = 0; k < 4; ++k) {
                    const int flag = EdgeFlagAt(model.edgeFlags, j, k);
                    if (flag == 0 || flag == 1) emit(t->GetRow(j)->id, k + 1);
                }
            return;
        }
        if (OnPath(path, name)) return;
        const SetRow* set = FindSetRow(model.GetSetTable(3), name);
        if (!set) return;
        path.push_back(name);
        WalkSetMembers(
            set->members.get(), static_cast<int>(model.elementLookup.size()),
            [&](int n, int side) {
                if (model.ElementRowOfNumber(n) >= 0) emit(n, side);
            },
            [&](const std::string& nested) { Set(nested, emit); });
        path.pop_back();
    }

    template <class Emit>
    void Row(const EdgeRow* row, Emit emit) {
        ForEachTargetItem(
            row->target,
            [&](int n) {
                if (model.ElementRowOfNumber(n) >= 0) emit(n, row->side);
            },
            [&](const std::string& name) { Set(name, emit); });
    }
};

}  // namespace

int ModelData::CountEdgeExpansion(const EdgeActionTable* table, int) const {
    if (!table) return 0;
    int count = 0;
    EdgeWalker walker{*this, {}};
    for (const EdgeRow* row = table->GetHead(); row; row = row->next) walker.Row(row, [&](int, int) { ++count; });
    return count;
}

int ModelData::CountEdgeSetExpansion(const std::string& name, int) const {
    int count = 0;
    EdgeWalker walker{*this, {}};
    walker.Set(name, [&](int, int) { ++count; });
    return count;
}

void ModelData::ExpandEdgeTable(EdgeActionTable& target, const EdgeActionTable* table, int) const {
    if (!table) return;
    EdgeWalker walker{*this, {}};
    for (const EdgeRow* row = table->GetHead(); row; row = row->next)
        walker.Row(row, [&](int element, int side) {
            target.AddEdgeActionRow(std::to_string(element), side, row->dof, row->values);
        });
}

void ModelData::ExpandEdgeSet(EdgeActionTable& target, int, const std::string& name,
                              const std::array<double, 3>& values, int, int dof) const {
    EdgeWalker walker{*this, {}};
    walker.Set(name,
               [&](int element, int side) { target.AddEdgeActionRow(std::to_string(element), side, dof, values); });
}

// ---------------------------------------------------------------------------
// Nonlinear springs, materials, set questions

bool ModelData::NodeInActionList(int node, const std::vector<int>& list) {
    return std::find(list.begin(), list.end(), node) != list.end();
}

void ModelData::CollectNonlinearNodes(std::vector<int>& nodes, std::vector<int>& springs) const {
    nodes.clear();
    springs.clear();
    std::unordered_set<int> seen;
    for (const NonlinearAction* a = nonlinearActions; a; a = a->next) {
        int spring = 0;
        int position = 1;
        for (const NonlinearSpring* s = nonlinearSprings; s; s = s->next, ++position)
            if (s->name == a->springName) {
                spring = position;
                break;
            }
        for (int n : SetNodeList(a->nodeText, a->setSelector ? 2 : 1)) {
            if (NodeRowOfNumber(n) < 0 || !seen.insert(n).second) continue;
            nodes.push_back(n);
            springs.push_back(spring);
        }
    }
}

void ModelData::AssignMaterialsToElements() {
    if (!materialTable || !elementTable) return;
    int i = 0;
    for (const MaterialRow* m = materialTable->GetHead(); m; m = m->next, ++i) {
        ForEachTargetItem(
            m->element,
            [&](int number) {
                const int row = ElementRowOfNumber(number);
                if (ElementRow* e = row >= 0 ? elementTable->RowOrNull(row) : nullptr) e->material = i + 1;
            },
            [&](const std::string& name) { AssignMaterialToSet(name, i + 1); });
    }
}

int ModelData::FindSetIndex(int kind, const std::string& name) const {
    const SetTable* table = GetSetTable(kind);
    if (!table) return -1;
    int i = 0;
    for (const SetRow* s = table->GetHead(); s; s = s->next, ++i)
        if (s->name == name) return i;
    return -1;
}

namespace {

bool InSet(const ModelData& model, int id, const std::string& name, int kind, std::vector<std::string>& path) {
    if (name == "ALL") return true;
    if (OnPath(path, name)) return false;
    const SetRow* set = FindSetRow(model.GetSetTable(kind), name);
    if (!set || !set->members) return false;
    // Members above the id (edge sets: elements past id / 4 + 1) cannot
    // match, so the walk stops there.
    const int limit = kind == 3 ? std::max(id, 0) / 4 + 1 : id;
    path.push_back(name);
    bool found = false;
    WalkSetMembers(
        set->members.get(), limit,
        [&](int v, int side) {
            const long long value = kind == 3 ? 4LL * (v - 1) + side : v;
            if (value == id) found = true;
        },
        [&](const std::string& nested) {
            if (!found && InSet(model, id, nested, kind, path)) found = true;
        });
    path.pop_back();
    return found;
}

}  // namespace

int ModelData::IsInSet(int id, const std::string& name, int kind) const {
    std::vector<std::string> path;
    return InSet(*this, id, name, kind, path) ? 1 : 0;
}

std::string ModelData::FindNextSetContaining(int id, int kind, const std::string& current,
                                             const std::string& excluded) const {
    const SetTable* table = GetSetTable(kind);
    if (!table) return "0";
    std::vector<const SetRow*> sets;
    for (const SetRow* s = table->GetHead(); s; s = s->next) sets.push_back(s);
    if (sets.empty()) return "0";
    const int n = static_cast<int>(sets.size());
    int start = 0;
    for (int i = 0; i < n; ++i)
        if (sets[static_cast<std::size_t>(i)]->name == current) {
            start = i;
            break;
        }
    for (int k = 1; k <= n; ++k) {
        const SetRow* s = sets[static_cast<std::size_t>((start + k) % n)];
        if (s->name != excluded && IsInSet(id, s->name, kind)) return s->name;
    }
    return "0";
}

int ModelData::ElementOfNode(int node) const {
    if (!elementTable) return 0;
    for (const ElementRow* e = elementTable->GetHead(); e; e = e->next)
        if (std::find(e->nodes.begin(), e->nodes.end(), node) != e->nodes.end()) return e->id;
    return 0;
}

ConcentratedActionTable* ModelData::GetTotalConcentratedTable(int kind) const {
    return kind == 1 || kind == 2 ? totalConcentratedStiffness.get() : nullptr;
}

void ModelData::ResetCutLines() {
    auto fresh = std::make_unique<CutLineTable>();
    if (drawnCutLines) fresh->CopyCutLineTable(*drawnCutLines);
    fresh->SetModel(this);
    cutLineTable = std::move(fresh);
}
