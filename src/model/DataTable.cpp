#include "model/DataTable.h"

#include <cmath>
#include <cstdlib>

#include "model/TextParse.h"

namespace {

// Copies up to `n` entries of `source` into a new array of exactly n entries
// (missing entries are zero).
template <class T>
std::vector<T> FixedArray(std::span<const T> source, int n) {
    std::vector<T> out(static_cast<size_t>(n > 0 ? n : 0), T{});
    const size_t m = std::min(out.size(), source.size());
    for (size_t k = 0; k < m; ++k) out[k] = source[k];
    return out;
}

template <class T>
T ArrayAt(const std::vector<T>& a, int j) {
    return j >= 0 && j < static_cast<int>(a.size()) ? a[static_cast<size_t>(j)] : T{};
}

template <class T>
void ArraySet(std::vector<T>& a, int j, T v) {
    if (j >= 0 && j < static_cast<int>(a.size())) a[static_cast<size_t>(j)] = v;
}

double CleanCoordinate(double v) { return std::fabs(v) < 1e-14 ? 0.0 : v; }

int NodeNumber(const NodeRow& r) { return r.id; }

int ElementNumber(const ElementRow& r) { return r.id; }

NodeRow* MakeNodeRow(int id, double x, double y, double z) {
    auto* row = new NodeRow;
    row->id = id;
    row->x = x;
    row->y = y;
    row->z = z;
    return row;
}

// A new cut line; its highlight flag is 0.
CutLineRow* MakeCutLineRow(double startY, double startZ, double endY, double endZ) {
    auto* row = new CutLineRow;
    row->startY = startY;
    row->startZ = startZ;
    row->endY = endY;
    row->endZ = endZ;
    row->highlight = 0;
    return row;
}

}  // namespace

// ===========================================================================
// Nodal actions

NodalRow* NodalActionTable::MakeRow(const std::string& target, std::span<const double> values,
                                    std::span<const int> flags) const {
    auto* row = new NodalRow;
    row->target = target;
    row->values = FixedArray(values, valuesPerRow_);
    row->flags = FixedArray(flags, valuesPerRow_);
    return row;
}

void NodalActionTable::AddNodalActionRow(const std::string& target, std::span<const double> values,
                                         std::span<const int> flags) {
    LinkAtTail(MakeRow(target, values, flags));
}

void NodalActionTable::InsertNodalActionRow(int i, const std::string& target, std::span<const double> values,
                                            std::span<const int> flags) {
    InsertRowAt(i, MakeRow(target, values, flags));
}

void NodalActionTable::RemoveRow(int i) { RemoveRowAt(i); }

void NodalActionTable::CopyFrom(const NodalActionTable& source) {
    if (&source == this) return;
    valuesPerRow_ = source.valuesPerRow_;
    kindCode_ = source.kindCode_;
    model_ = source.model_;
    CopyRowsFrom(source, [this](const NodalRow& r) { return MakeRow(r.target, r.values, r.flags); });
}

void NodalActionTable::CopyNodalActionRowValues(const NodalActionTable& source) {
    AssignRowsFrom(source, [](NodalRow& t, const NodalRow& s) {
        t.target = s.target;
        t.flags = s.flags;
        t.values = s.values;
    });
}

bool NodalActionTable::CompareWith(const NodalActionTable& other) const {
    if (count_ != other.count_ || valuesPerRow_ != other.valuesPerRow_ || kindCode_ != other.kindCode_) return true;
    return RowsDiffer(other, [](const NodalRow& a, const NodalRow& b) {
        return a.target != b.target || a.flags != b.flags || a.values != b.values;
    });
}

void NodalActionTable::SortNodalActionRows() {
    SortRows([](const NodalRow* a, const NodalRow* b) { return ParseInt(a->target) < ParseInt(b->target); });
}

int NodalActionTable::NodalRowKey(int i) const { return ParseInt(GetRow(i)->target); }

std::string NodalActionTable::GetTarget(int i) const { return GetRow(i)->target; }
void NodalActionTable::SetTarget(int i, const std::string& target) { GetRow(i)->target = target; }
double NodalActionTable::GetValue(int i, int j) const { return ArrayAt(GetRow(i)->values, j); }
void NodalActionTable::SetValue(int i, int j, double value) { ArraySet(GetRow(i)->values, j, value); }
int NodalActionTable::GetFlag(int i, int j) const { return ArrayAt(GetRow(i)->flags, j); }
void NodalActionTable::SetFlag(int i, int j, int flag) { ArraySet(GetRow(i)->flags, j, flag); }

void NodalActionTable::SetRowValues(int i, std::span<const double> values) {
    NodalRow* row = GetRow(i);
    row->values = FixedArray(values, valuesPerRow_);
}

// ===========================================================================
// Concentrated actions

ConcentratedRow* ConcentratedActionTable::MakeRow(std::span<const double> values,
                                                  std::span<const double> coordinates) const {
    auto* row = new ConcentratedRow;
    row->values = FixedArray(values, valuesPerRow_);
    row->coordinates = FixedArray(coordinates, coordinatesPerRow_);
    return row;
}

void ConcentratedActionTable::AddConcentratedActionRow(std::span<const double> values,
                                                       std::span<const double> coordinates) {
    LinkAtTail(MakeRow(values, coordinates));
}

void ConcentratedActionTable::InsertConcentratedActionRow(int i, std::span<const double> values,
                                                          std::span<const double> coordinates) {
    InsertRowAt(i, MakeRow(values, coordinates));
}

void ConcentratedActionTable::RemoveConcentratedActionRow(int i) { RemoveRowAt(i); }

void ConcentratedActionTable::CopyConcentratedActionTable(const ConcentratedActionTable& source) {
    if (&source == this) return;
    coordinatesPerRow_ = source.coordinatesPerRow_;
    valuesPerRow_ = source.valuesPerRow_;
    kindCode_ = source.kindCode_;
    model_ = source.model_;
    CopyRowsFrom(source, [this](const ConcentratedRow& r) { return MakeRow(r.values, r.coordinates); });
}

void ConcentratedActionTable::CopyConcentratedActionRowValues(const ConcentratedActionTable& source) {
    AssignRowsFrom(source, [](ConcentratedRow& t, const ConcentratedRow& s) {
        t.coordinates = s.coordinates;
        t.values = s.values;
    });
}

bool ConcentratedActionTable::CompareConcentratedActionTable(const ConcentratedActionTable& other) const {
    if (coordinatesPerRow_ != other.coordinatesPerRow_ || valuesPerRow_ != other.valuesPerRow_ ||
        kindCode_ != other.kindCode_ || count_ != other.count_)
        return true;
    return RowsDiffer(other, [](const ConcentratedRow& a, const ConcentratedRow& b) {
        return a.coordinates != b.coordinates || a.values != b.values;
    });
}

void ConcentratedActionTable::SortConcentratedActionRows() {
    SortRows([](const ConcentratedRow* a, const ConcentratedRow* b) {
        return ArrayAt(a->coordinates, 0) < ArrayAt(b->coordinates, 0);
    });
}

double ConcentratedActionTable::GetCoordinate(int i, int j) const { return ArrayAt(GetRow(i)->coordinates, j); }
void ConcentratedActionTable::SetCoordinate(int i, int j, double value) { ArraySet(GetRow(i)->coordinates, j, value); }
double ConcentratedActionTable::GetValue(int i, int j) const { return ArrayAt(GetRow(i)->values, j); }
void ConcentratedActionTable::SetValue(int i, int j, double value) { ArraySet(GetRow(i)->values, j, value); }

// ===========================================================================
// Edge actions

namespace {

EdgeRow* MakeEdgeRow(const std::string& target, int side, int dof, std::span<const double> values) {
    auto* row = new EdgeRow;
    row->target = target;
    row->side = side;
    row->dof = dof;
    for (size_t k = 0; k < row->values.size() && k < values.size(); ++k) row->values[k] = values[k];
    return row;
}

}  // namespace

void EdgeActionTable::AddEdgeActionRow(const std::string& target, int side, int dof, std::span<const double> values) {
    LinkAtTail(MakeEdgeRow(target, side, dof, values));
}

void EdgeActionTable::InsertEdgeActionRow(int i, const std::string& target, int side, int dof,
                                          std::span<const double> values) {
    InsertRowAt(i, MakeEdgeRow(target, side, dof, values));
}

void EdgeActionTable::RemoveEdgeActionRow(int i) { RemoveRowAt(i); }

void EdgeActionTable::CopyEdgeActionTable(const EdgeActionTable& source) {
    if (&source == this) return;
    kindCode_ = source.kindCode_;
    model_ = source.model_;
    CopyRowsFrom(source, [](const EdgeRow& r) { return MakeEdgeRow(r.target, r.side, r.dof, r.values); });
}

void EdgeActionTable::CopyEdgeActionRowValues(const EdgeActionTable& source) {
    AssignRowsFrom(source, [](EdgeRow& t, const EdgeRow& s) {
        t.target = s.target;
        t.side = s.side;
        t.dof = s.dof;
        t.values = s.values;
    });
}

bool EdgeActionTable::CompareEdgeActionTable(const EdgeActionTable& other) const {
    if (kindCode_ != other.kindCode_ || count_ != other.count_) return true;
    return RowsDiffer(other, [](const EdgeRow& a, const EdgeRow& b) {
        return a.target != b.target || a.side != b.side || a.dof != b.dof || a.values != b.values;
    });
}

void EdgeActionTable::SortEdgeActionRows() {
    SortRows([](const EdgeRow* a, const EdgeRow* b) { return ParseInt(a->target) < ParseInt(b->target); });
}

int EdgeActionTable::EdgeRowKey(int i) const { return ParseInt(GetRow(i)->target); }
std::string EdgeActionTable::GetTarget(int i) const { return GetRow(i)->target; }
void EdgeActionTable::SetTarget(int i, const std::string& target) { GetRow(i)->target = target; }
int EdgeActionTable::GetSide(int i) const { return GetRow(i)->side; }
void EdgeActionTable::SetSide(int i, int side) { GetRow(i)->side = side; }
int EdgeActionTable::GetDof(int i) const { return GetRow(i)->dof; }
void EdgeActionTable::SetDof(int i, int dof) { GetRow(i)->dof = dof; }

double EdgeActionTable::GetValue(int i, int j) const {
    return j >= 0 && j < 3 ? GetRow(i)->values[static_cast<size_t>(j)] : 0.0;
}

void EdgeActionTable::SetValue(int i, int j, double value) {
    if (j >= 0 && j < 3) GetRow(i)->values[static_cast<size_t>(j)] = value;
}

// ===========================================================================
// Elements

ElementRow* ElementTable::MakeRow(int id, int material, std::span<const int> nodes) const {
    auto* row = new ElementRow;
    row->id = id;
    row->material = material;
    row->nodes = FixedArray(nodes, nodesPerElement_);
    return row;
}

void ElementTable::AddElementRow(int id, int material, std::span<const int> nodes) {
    LinkAtTail(MakeRow(id, material, nodes));
}

void ElementTable::InsertElementRow(int i, int id, int material, std::span<const int> nodes) {
    InsertRowAt(i, MakeRow(id, material, nodes));
}

void ElementTable::RemoveElementRow(int i) { RemoveRowAt(i); }

void ElementTable::CopyElementTable(const ElementTable& source) {
    if (&source == this) return;
    nodesPerElement_ = source.nodesPerElement_;
    integrationOrder1_ = source.integrationOrder1_;
    integrationOrder2_ = source.integrationOrder2_;
    model_ = source.model_;
    CopyRowsFrom(source, [this](const ElementRow& r) { return MakeRow(r.id, r.material, r.nodes); });
}

void ElementTable::CopyElementRowValues(const ElementTable& source) {
    AssignRowsFrom(source, [](ElementRow& t, const ElementRow& s) {
        t.id = s.id;
        t.material = s.material;
        t.nodes = s.nodes;
    });
}

bool ElementTable::CompareElementTable(const ElementTable& other) const {
    if (nodesPerElement_ != other.nodesPerElement_ || count_ != other.count_) return true;
    return RowsDiffer(other, [](const ElementRow& a, const ElementRow& b) {
        return a.id != b.id || a.material != b.material || a.nodes != b.nodes;
    });
}

void ElementTable::SortById() {
    SortRows([](const ElementRow* a, const ElementRow* b) { return a->id < b->id; });
}

int ElementTable::FindRowById(int id) const { return SearchIndex(id, ElementNumber); }

int ElementTable::MaxId() const { return MaxKey(ElementNumber); }

int ElementTable::GetId(int i) const { return GetRow(i)->id; }
void ElementTable::SetId(int i, int id) { GetRow(i)->id = id; }
int ElementTable::GetElementMaterial(int i) const { return GetRow(i)->material; }
void ElementTable::SetElementMaterial(int i, int material) { GetRow(i)->material = material; }
int ElementTable::GetNodeNumber(int i, int j) const { return ArrayAt(GetRow(i)->nodes, j); }
void ElementTable::SetNodeNumber(int i, int j, int node) { ArraySet(GetRow(i)->nodes, j, node); }
const std::vector<int>& ElementTable::GetRowField0At(int i) const { return GetRow(i)->nodes; }

// ===========================================================================
// Nodes

void NodeTable::AddNodeRow(int id, double x, double y, double z) {
    LinkAtTail(MakeNodeRow(id, CleanCoordinate(x), CleanCoordinate(y), CleanCoordinate(z)));
}

void NodeTable::InsertNodeRow(int i, int id, double x, double y, double z) { InsertRowAt(i, MakeNodeRow(id, x, y, z)); }

void NodeTable::RemoveNodeRow(int i) { RemoveRowAt(i); }

void NodeTable::CopyNodeTable(const NodeTable& source) {
    if (&source == this) return;
    columns_ = source.columns_;
    model_ = source.model_;
    // As Add: small coordinates are cleaned.
    CopyRowsFrom(source, [](const NodeRow& r) {
        return MakeNodeRow(r.id, CleanCoordinate(r.x), CleanCoordinate(r.y), CleanCoordinate(r.z));
    });
}

void NodeTable::CopyNodeRowValues(const NodeTable& source) {
    AssignRowsFrom(source, [](NodeRow& t, const NodeRow& s) {
        t.id = s.id;
        t.x = s.x;
        t.y = s.y;
        t.z = s.z;
    });
}

bool NodeTable::CompareNodeTable(const NodeTable& other) const {
    if (count_ != other.count_ || columns_ != other.columns_) return true;
    return RowsDiffer(other, [](const NodeRow& a, const NodeRow& b) {
        return a.id != b.id || a.x != b.x || a.y != b.y || a.z != b.z;
    });
}

void NodeTable::SortNodeRows() {
    SortRows([](const NodeRow* a, const NodeRow* b) { return a->id < b->id; });
}

int NodeTable::FindNodeRowById(int id) const { return SearchIndex(id, NodeNumber); }

int NodeTable::FindNearestRow(int id) const {
    if (index_.empty()) return -1;
    // Distances in 64 bits: numbers far apart must not overflow.
    long long best = static_cast<long long>(id) - index_[0]->id;
    int result = 0;
    const int exact = SearchIndex(id, NodeNumber, [&](int position, int n) {
        const long long d = std::llabs(static_cast<long long>(id) - n);
        if (d < best) {
            best = d;
            result = position;
        }
    });
    return exact >= 0 ? exact : result;
}

int NodeTable::MaxNodeId() const { return MaxKey(NodeNumber); }

int NodeTable::GetNodeId(int i) const { return GetRow(i)->id; }
void NodeTable::SetNodeId(int i, int id) { GetRow(i)->id = id; }
double NodeTable::GetX(int i) const { return GetRow(i)->x; }
double NodeTable::GetY(int i) const { return GetRow(i)->y; }
double NodeTable::GetZ(int i) const { return GetRow(i)->z; }
void NodeTable::SetX(int i, double v) { GetRow(i)->x = v; }
void NodeTable::SetY(int i, double v) { GetRow(i)->y = v; }
void NodeTable::SetZ(int i, double v) { GetRow(i)->z = v; }

double NodeTable::GetNodeCoordinate(int i, int axis) const {
    const NodeRow* r = GetRow(i);
    if (axis == 1) return r->y;
    if (axis == 2) return r->z;
    return r->x;
}

// ===========================================================================
// Cut lines

void CutLineTable::AddCutLineRow(double startY, double startZ, double endY, double endZ) {
    LinkAtTail(MakeCutLineRow(startY, startZ, endY, endZ));
}

void CutLineTable::RemoveCutLineRow(int i) { RemoveRowAt(i); }

void CutLineTable::CopyCutLineTable(const CutLineTable& source) {
    if (&source == this) return;
    segmentDivisionCode_ = source.segmentDivisionCode_;
    interpolationOption_ = source.interpolationOption_;
    model_ = source.model_;
    // As Add: the highlights start at 0.
    CopyRowsFrom(source, [](const CutLineRow& r) { return MakeCutLineRow(r.startY, r.startZ, r.endY, r.endZ); });
}

double CutLineTable::GetStartY(int i) const { return GetRow(i)->startY; }
double CutLineTable::GetStartZ(int i) const { return GetRow(i)->startZ; }
double CutLineTable::GetEndY(int i) const { return GetRow(i)->endY; }
double CutLineTable::GetEndZ(int i) const { return GetRow(i)->endZ; }
void CutLineTable::SetStartY(int i, double v) { GetRow(i)->startY = v; }
void CutLineTable::SetStartZ(int i, double v) { GetRow(i)->startZ = v; }
void CutLineTable::SetEndY(int i, double v) { GetRow(i)->endY = v; }
void CutLineTable::SetEndZ(int i, double v) { GetRow(i)->endZ = v; }
int CutLineTable::GetHighlight(int i) const { return GetRow(i)->highlight; }
void CutLineTable::SetHighlight(int i, int flag) { GetRow(i)->highlight = flag; }
