// The model's three named lists (node paths, nonlinear springs, nonlinear
// nodal actions) and the resolution of node paths, node lists and sets.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "model/ModelData.h"
#include "model/SetWalk.h"

namespace {

// ---- doubly linked list operations shared by the three node types ----------

template <class Node>
Node* AppendTo(Node*& head) {
    auto* node = new Node;
    if (!head) {
        head = node;
        node->last = node;
        return node;
    }
    Node* final = head->last;
    node->previous = final;
    final->next = node;
    for (Node* n = head; n; n = n->next) n->last = node;
    return node;
}

template <class Node>
Node* NodeAt(Node* head, int i) {
    if (i < 0) return nullptr;
    Node* n = head;
    for (int k = 0; n && k < i; ++k) n = n->next;
    return n;
}

template <class Node>
void RemoveFrom(Node*& head, int i) {
    Node* node = NodeAt(head, i);
    if (!node) return;
    if (node->previous)
        node->previous->next = node->next;
    else
        head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else if (head)
        head->last = node->previous;
    delete node;
}

template <class Node>
int CountNodes(const Node* head) {
    int n = 0;
    for (const Node* p = head; p; p = p->next) ++n;
    return n;
}

void FillNodePath(NodePath& target, const NodePath& record) {
    target.mode = record.mode;
    target.name = record.name;
    target.startNode = record.startNode;
    target.endNode = record.endNode;
    target.nodeListText = record.nodeListText;
    target.nodes.clear();
    target.nodes = record.nodes;
}

void FillSpring(NonlinearSpring& target, const NonlinearSpring& record) {
    target.name = record.name;
    target.deformations = record.deformations;
    target.forces = record.forces;
}

void FillAction(NonlinearAction& target, const NonlinearAction& record) {
    target.groupName = record.groupName;
    target.springName = record.springName;
    target.nodeText = record.nodeText;
    target.springNumber = record.springNumber;
    target.reserved = record.reserved;
    target.setSelector = record.setSelector;
}

// True the first time a set name is met in one expansion; a set met again
// (one that names itself, directly or through others) contributes nothing.
bool FirstVisit(std::vector<std::string>& met, const std::string& name) {
    for (const std::string& n : met)
        if (n == name) return false;
    met.push_back(name);
    return true;
}

// Appends the node numbers of the node set `name` ("ALL": every node).
void CollectNodeSet(const ModelData& model, const std::string& name, int limit, std::vector<std::string>& met,
                    std::vector<int>& out) {
    const NodeTable* nodes = model.GetNodeTable();
    if (name == "ALL") {
        for (const NodeRow* r = nodes ? nodes->GetHead() : nullptr; r; r = r->next) out.push_back(r->id);
        return;
    }
    const SetTable* sets = model.GetSetTable(1);
    if (!sets || !FirstVisit(met, name)) return;
    for (const SetRow* set = sets->GetHead(); set; set = set->next) {
        if (set->name != name || !set->members) continue;
        setwalk::WalkSetMembers(
            set->members.get(), limit, [&](int n, int) { out.push_back(n); },
            [&](const std::string& inner) { CollectNodeSet(model, inner, limit, met, out); });
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Append, add, copy, remove

NodePath* ModelData::AppendNodePath() { return AppendTo(nodePaths); }
NonlinearSpring* ModelData::AppendNonlinearSpring() { return AppendTo(nonlinearSprings); }
NonlinearAction* ModelData::AppendNonlinearAction() { return AppendTo(nonlinearActions); }

NodePath* ModelData::AddNodePath(const NodePath& record) {
    NodePath* node = AppendNodePath();
    FillNodePath(*node, record);
    return node;
}

NonlinearSpring* ModelData::AddNonlinearSpring(const NonlinearSpring& record) {
    NonlinearSpring* node = AppendNonlinearSpring();
    FillSpring(*node, record);
    return node;
}

NonlinearAction* ModelData::AddNonlinearAction(const NonlinearAction& record) {
    NonlinearAction* node = AppendNonlinearAction();
    FillAction(*node, record);
    return node;
}

void ModelData::CopyNodePath(int i, const NodePath& record) {
    if (NodePath* node = NodeAt(nodePaths, i); node && node != &record) FillNodePath(*node, record);
}

void ModelData::CopyNonlinearSpring(int i, const NonlinearSpring& record) {
    if (NonlinearSpring* node = NodeAt(nonlinearSprings, i); node && node != &record) FillSpring(*node, record);
}

void ModelData::CopyNonlinearAction(int i, const NonlinearAction& record) {
    if (NonlinearAction* node = NodeAt(nonlinearActions, i); node && node != &record) FillAction(*node, record);
}

void ModelData::RemoveNodePath(int i) { RemoveFrom(nodePaths, i); }
void ModelData::RemoveNonlinearSpring(int i) { RemoveFrom(nonlinearSprings, i); }
void ModelData::RemoveNonlinearAction(int i) { RemoveFrom(nonlinearActions, i); }

NodePath* ModelData::NodePathAt(int i) const { return NodeAt(nodePaths, i); }
NonlinearSpring* ModelData::NonlinearSpringAt(int i) const { return NodeAt(nonlinearSprings, i); }
NonlinearAction* ModelData::NonlinearActionAt(int i) const { return NodeAt(nonlinearActions, i); }

int ModelData::NodePathCount() const { return CountNodes(nodePaths); }
int ModelData::NonlinearSpringCount() const { return CountNodes(nonlinearSprings); }
int ModelData::NonlinearActionCount() const { return CountNodes(nonlinearActions); }

// ---------------------------------------------------------------------------
// Names

NonlinearSpring* ModelData::FindNonlinearSpring(const std::string& name) const {
    for (NonlinearSpring* s = nonlinearSprings; s; s = s->next)
        if (s->name == name) return s;
    return nullptr;
}

std::string ModelData::NonlinearSpringName(int i) const {
    const NonlinearSpring* s = NodeAt(nonlinearSprings, i);
    return s ? s->name : std::string();
}

std::vector<std::string> ModelData::NonlinearSpringNames() const {
    std::vector<std::string> names;
    for (const NonlinearSpring* s = nonlinearSprings; s; s = s->next) names.push_back(s->name);
    return names;
}

bool ModelData::IsSpringNameUsed(const std::string& name) const { return FindNonlinearSpring(name) != nullptr; }

bool ModelData::HasNonlinearActionName(const std::string& name) const {
    for (const NonlinearAction* a = nonlinearActions; a; a = a->next)
        if (a->groupName == name) return true;
    return false;
}

bool ModelData::IsActionNameUsed(int i, const std::string& name) const {
    int k = 0;
    for (const NonlinearAction* a = nonlinearActions; a; a = a->next, ++k)
        if (k != i && a->groupName == name) return true;
    return false;
}

bool ModelData::HasNodePathName(const std::string& name) const {
    for (const NodePath* p = nodePaths; p; p = p->next)
        if (p->name == name) return true;
    return false;
}

// ---------------------------------------------------------------------------
// Edit checks

bool ModelData::IsSpringCurveChanged(int i, const NonlinearSpring& record) const {
    if (i == -1) return false;
    const NonlinearSpring* s = NodeAt(nonlinearSprings, i);
    if (!s) return false;
    if (s->name != record.name) return true;
    if (s->deformations.size() != record.deformations.size()) return true;
    if (s->forces.size() != record.forces.size()) return true;
    for (size_t j = 0; j < s->deformations.size(); ++j) {
        if (std::fabs(s->deformations[j] - record.deformations[j]) > 1e-10) return true;
        if (std::fabs(s->forces[j] - record.forces[j]) > 1e-10) return true;
    }
    return false;
}

bool ModelData::IsNodePathChanged(const NodePath* edited, const NodePath* stored) {
    if (!edited || !stored) return true;
    return edited->mode != stored->mode || edited->startNode != stored->startNode ||
           edited->endNode != stored->endNode || edited->name != stored->name ||
           edited->nodeListText != stored->nodeListText;
}

// ---------------------------------------------------------------------------
// Resolution to node numbers

void ModelData::ResolveNodePath(std::vector<int>& nodes, const std::string& start, const std::string& end) const {
    nodes.clear();
    if (!nodeTable) return;
    const int s = ParseInt(start);
    const int e = ParseInt(end);

    // The end points are looked up by their node numbers.
    const NodeRow* startRow = nullptr;
    const NodeRow* endRow = nullptr;
    for (const NodeRow* r = nodeTable->GetHead(); r; r = r->next) {
        if (!startRow && r->id == s) startRow = r;
        if (!endRow && r->id == e) endRow = r;
    }
    if (!startRow || !endRow) return;

    const double tol = 1e-8;
    const double ys = startRow->y, zs = startRow->z;
    const double ye = endRow->y, ze = endRow->z;

    std::vector<int> list{s};
    std::vector<double> distance{0.0};
    for (const NodeRow* r = nodeTable->GetHead(); r; r = r->next) {
        if (r->id == s || r->id == e) continue;
        double ay = r->y - ys, az = r->z - zs;
        const double la = std::sqrt(ay * ay + az * az);
        if (la > tol) {
            ay /= la;
            az /= la;
        }
        double by = r->y - ye, bz = r->z - ze;
        const double lb = std::sqrt(by * by + bz * bz);
        if (lb > tol) {
            by /= lb;
            bz /= lb;
        }
        if (std::fabs(-1.0 - (ay * by + az * bz)) < tol) {
            list.push_back(r->id);
            distance.push_back(la);
        }
    }

    // Exchange sort by distance; equal distances keep their order.
    for (size_t q = 0; q < list.size(); ++q) {
        for (size_t r = q + 1; r < list.size(); ++r) {
            if (distance[q] > distance[r]) {
                std::swap(distance[q], distance[r]);
                std::swap(list[q], list[r]);
            }
        }
    }
    nodes = list;
    nodes.push_back(e);
}

std::string ModelData::JoinNumbers(const std::vector<int>& numbers) {
    std::string text;
    for (size_t k = 0; k < numbers.size(); ++k) {
        if (k) text += ',';
        text += std::to_string(numbers[k]);
    }
    return text;
}

std::vector<int> ModelData::SetNodeList(const std::string& text, int kind) const {
    // Numbers beyond the largest node number name no node: ranges stop there.
    const int limit = nodeTable ? nodeTable->MaxNodeId() : 0;
    if (kind == 1) return ParseIdList(text, limit);
    std::vector<int> out;
    if (kind != 2) return out;
    std::vector<std::string> met;
    CollectNodeSet(*this, text, limit, met, out);
    return out;
}

void ModelData::AssignMaterialToSet(const std::string& text, int material) {
    std::vector<std::string> met;
    AssignMaterialToSetImpl(text, material, met);
}

void ModelData::AssignMaterialToSetImpl(const std::string& text, int material, std::vector<std::string>& met) {
    if (!elementTable) return;
    if (text == "ALL") {
        for (ElementRow* r = elementTable->GetHead(); r; r = r->next) r->material = material;
        return;
    }
    const SetRow* set = setwalk::FindSetRow(GetSetTable(2), text);
    if (!set || !FirstVisit(met, text) || !set->members) return;

    // Element rows by number (the first row of a number wins).
    std::unordered_map<int, ElementRow*> rows;
    for (ElementRow* r = elementTable->GetHead(); r; r = r->next) rows.emplace(r->id, r);

    setwalk::WalkSetMembers(
        set->members.get(), elementTable->MaxId(),
        [&](int n, int) {
            if (auto it = rows.find(n); it != rows.end()) it->second->material = material;
        },
        [&](const std::string& inner) { AssignMaterialToSetImpl(inner, material, met); });
}
