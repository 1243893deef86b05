#include "GridMeshSupport.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>

namespace gridmesh {

namespace {

// Lattice point (column c, row r) of a grid of m-spaced corners.
struct Lattice {
    int cols = 0, rows = 0;
    std::vector<int> number;  // 0: no node
    int& At(int c, int r) { return number[static_cast<std::size_t>(r) * cols + c]; }
};

std::vector<int> ElementNodes(Lattice& l, int i, int j, int n, bool turned) {
    std::vector<int> nodes;
    if (n == 4) {
        nodes = {l.At(i, j), l.At(i + 1, j), l.At(i + 1, j + 1), l.At(i, j + 1)};
        if (turned) std::rotate(nodes.begin(), nodes.begin() + 1, nodes.end());
        return nodes;
    }
    const int c = 2 * i, r = 2 * j;
    std::vector<int> corners = {l.At(c, r), l.At(c + 2, r), l.At(c + 2, r + 2), l.At(c, r + 2)};
    std::vector<int> mids = {l.At(c + 1, r), l.At(c + 2, r + 1), l.At(c + 1, r + 2), l.At(c, r + 1)};
    if (turned) {
        std::rotate(corners.begin(), corners.begin() + 1, corners.end());
        std::rotate(mids.begin(), mids.begin() + 1, mids.end());
    }
    nodes = corners;
    nodes.insert(nodes.end(), mids.begin(), mids.end());
    if (n == 9) nodes.push_back(l.At(c + 1, r + 1));
    return nodes;
}

struct Corner {
    double y, z;
};

std::vector<Corner> CornersOf(const ModelData& model, const ElementRow& e) {
    std::vector<Corner> corners;
    for (int k = 0; k < 4; ++k) {
        const auto [y, z] = PointOf(model, e.nodes[static_cast<std::size_t>(k)]);
        corners.push_back({y, z});
    }
    return corners;
}

// A scratch folder, removed with the object.
class ScratchFile {
public:
    ScratchFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "meshtools_XXXXXX").string();
        if (::mkdtemp(pattern.data())) dir_ = pattern;
    }
    ~ScratchFile() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

}  // namespace

void BuildGrid(ModelData& model, const GridOptions& o) {
    model.Reset();
    const int m = o.nodesPerElement == 4 ? 1 : 2;
    Lattice l{m * o.nx + 1, m * o.ny + 1, {}};
    l.number.assign(static_cast<std::size_t>(l.cols) * l.rows, 0);
    NodeTable nodes;
    int count = 0;
    for (int r = 0; r < l.rows; ++r)
        for (int c = 0; c < l.cols; ++c) {
            if (o.nodesPerElement == 8 && r % 2 == 1 && c % 2 == 1) continue;
            l.At(c, r) = ++count + o.nodeOffset;
            nodes.AddNodeRow(l.At(c, r), 0.0, c * o.h / m, r * o.h / m);
        }
    nodes.CountRows();
    nodes.RebuildIndex();
    model.ReplaceNodeTable(nodes);

    ElementTable elements(o.nodesPerElement);
    std::vector<int> ofMaterial[2];
    for (int jj = 0; jj < o.ny; ++jj) {
        const int j = o.fromTop ? o.ny - 1 - jj : jj;
        for (int i = 0; i < o.nx; ++i) {
            const int number = jj * o.nx + i + 1;
            const int material = o.twoMaterials ? 1 + (i + j) % 2 : 1;
            ofMaterial[material - 1].push_back(number);
            const std::vector<int> list = ElementNodes(l, i, j, o.nodesPerElement, number - 1 == o.turnedElement);
            elements.AddElementRow(number, material, list);
        }
    }
    elements.CountRows();
    elements.RebuildIndex();
    model.ReplaceElementTable(elements);

    MaterialTable materials;
    if (o.twoMaterials) {
        materials.AddMaterialRow(ModelData::JoinNumbers(ofMaterial[0]), 0, 3e7, 2000.0, 0.2, 0.5);
        materials.AddMaterialRow(ModelData::JoinNumbers(ofMaterial[1]), 0, 2e7, 2000.0, 0.2, 0.4);
    } else {
        materials.AddMaterialRow("ALL", 0, 3e7, 2000.0, 0.2, 0.5);
    }
    materials.CountRows();
    materials.RebuildIndex();
    model.ReplaceMaterialTable(materials);
    model.RebuildNodeIndex();
}

int NodeAt(const ModelData& model, double y, double z) {
    const NodeTable* t = model.GetNodeTable();
    for (const NodeRow* r = t->GetHead(); r; r = r->next)
        if (std::abs(r->y - y) < 1e-9 && std::abs(r->z - z) < 1e-9) return r->id;
    return 0;
}

std::pair<double, double> PointOf(const ModelData& model, int number) {
    const int row = model.NodeRowOfNumber(number);
    if (row < 0) return {NAN, NAN};
    const NodeRow* r = model.GetNodeTable()->GetRow(row);
    return {r->y, r->z};
}

double MeshArea(const ModelData& model) {
    double area = 0.0;
    for (const ElementRow* e = model.GetElementTable()->GetHead(); e; e = e->next) {
        const std::vector<Corner> c = CornersOf(model, *e);
        double twice = 0.0;
        for (int k = 0; k < 4; ++k) {
            const Corner& p = c[static_cast<std::size_t>(k)];
            const Corner& q = c[static_cast<std::size_t>((k + 1) % 4)];
            twice += p.y * q.z - q.y * p.z;
        }
        area += std::abs(twice) / 2.0;
    }
    return area;
}

void ExpectSoundMesh(const ModelData& model, double area, const std::string& where) {
    SCOPED_TRACE(where);
    const NodeTable& nodes = *model.GetNodeTable();
    const ElementTable& elements = *model.GetElementTable();
    ASSERT_EQ(model.GetNodeCount(), nodes.GetCount());

    // Number maps and defined nodes.
    for (int j = 0; j < nodes.GetCount(); ++j) ASSERT_EQ(model.NodeRowOfNumber(nodes.GetNodeId(j)), j);
    for (int j = 0; j < elements.GetCount(); ++j) {
        ASSERT_EQ(model.ElementRowOfNumber(elements.GetId(j)), j);
        for (int k = 0; k < elements.GetNodesPerElement(); ++k)
            ASSERT_GE(model.NodeRowOfNumber(elements.GetNodeNumber(j, k)), 0) << "element row " << j;
    }

    // No two nodes at one point (rounded to 1e-9).
    std::map<std::pair<long long, long long>, int> at;
    for (const NodeRow* r = nodes.GetHead(); r; r = r->next) {
        const auto key = std::make_pair(std::llround(r->y * 1e9), std::llround(r->z * 1e9));
        const auto [it, fresh] = at.emplace(key, r->id);
        EXPECT_TRUE(fresh) << "nodes " << it->second << " and " << r->id << " coincide";
    }

    // Sides met once lie on the boundary; none is met more than twice.
    const double minY = model.GetMinY(), maxY = model.GetMaxY(), minZ = model.GetMinZ(), maxZ = model.GetMaxZ();
    std::map<std::pair<int, int>, int> sides;
    for (const ElementRow* e = elements.GetHead(); e; e = e->next)
        for (int k = 0; k < 4; ++k) {
            const int p = e->nodes[static_cast<std::size_t>(k)], q = e->nodes[static_cast<std::size_t>((k + 1) % 4)];
            ++sides[{std::min(p, q), std::max(p, q)}];
        }
    int boundary = 0;
    for (const auto& [side, uses] : sides) {
        ASSERT_LE(uses, 2);
        if (uses == 2) continue;
        ++boundary;
        const auto [y1, z1] = PointOf(model, side.first);
        const auto [y2, z2] = PointOf(model, side.second);
        const bool alongY = std::abs(z1 - z2) < 1e-9 && (std::abs(z1 - minZ) < 1e-9 || std::abs(z1 - maxZ) < 1e-9);
        const bool alongZ = std::abs(y1 - y2) < 1e-9 && (std::abs(y1 - minY) < 1e-9 || std::abs(y1 - maxY) < 1e-9);
        EXPECT_TRUE(alongY || alongZ) << "side " << side.first << "-" << side.second << " inside is met once";
    }
    const long long open = std::count(model.edgeFlags.begin(), model.edgeFlags.end(), 0);
    EXPECT_EQ(open, boundary) << "boundary sides by the edge flags";

    EXPECT_NEAR(MeshArea(model), area, 1e-9 * area);
}

void ExpectSavesAndReadsBack(ModelData& model, const std::string& where) {
    SCOPED_TRACE(where);
    ScratchFile dir;
    const std::string path = dir.File("mesh.slb");
    ASSERT_EQ(model.WriteModelFile(path), 0);
    ModelData back;
    ASSERT_EQ(back.ReadModelFile(path, true), 0);
    const NodeTable& a = *model.GetNodeTable();
    const NodeTable& b = *back.GetNodeTable();
    ASSERT_EQ(a.GetCount(), b.GetCount());
    for (int j = 0; j < a.GetCount(); ++j) {
        ASSERT_EQ(a.GetNodeId(j), b.GetNodeId(j));
        EXPECT_NEAR(a.GetY(j), b.GetY(j), 1e-5 * (1.0 + std::abs(a.GetY(j))));
        EXPECT_NEAR(a.GetZ(j), b.GetZ(j), 1e-5 * (1.0 + std::abs(a.GetZ(j))));
    }
    EXPECT_FALSE(back.GetElementTable()->CompareElementTable(*model.GetElementTable()));
    EXPECT_EQ(back.GetElementTable()->GetIntegrationOrder1(), model.GetElementTable()->GetIntegrationOrder1());
    EXPECT_EQ(back.GetElementTable()->GetIntegrationOrder2(), model.GetElementTable()->GetIntegrationOrder2());
    EXPECT_FALSE(back.GetMaterialTable()->CompareMaterialTable(*model.GetMaterialTable()));
    for (int k = 1; k <= 3; ++k) EXPECT_FALSE(back.GetSetTable(k)->CompareSetTable(*model.GetSetTable(k))) << k;
    for (int k = 1; k <= 5; ++k)
        EXPECT_FALSE(back.GetNodalActionTable(k)->CompareWith(*model.GetNodalActionTable(k))) << k;
    for (int k = 1; k <= 2; ++k)
        EXPECT_FALSE(back.GetEdgeActionTable(k)->CompareEdgeActionTable(*model.GetEdgeActionTable(k))) << k;
}

std::vector<std::pair<double, double>> FirstMeetingOrder(const ModelData& model, int a, int b, int n) {
    const int m = n == 4 ? 1 : 2;
    const int cols = m * a + 1, rows = m * b + 1;
    std::vector<std::pair<double, double>> order;
    std::map<std::pair<long long, long long>, bool> met;
    for (const ElementRow* e = model.GetElementTable()->GetHead(); e; e = e->next) {
        const std::vector<Corner> c = CornersOf(model, *e);
        for (int r = 0; r < rows; ++r)
            for (int col = 0; col < cols; ++col) {
                if (n == 8 && r % 2 == 1 && col % 2 == 1) continue;
                const double s = static_cast<double>(col) / (cols - 1), t = static_cast<double>(r) / (rows - 1);
                const double y =
                    (1 - s) * (1 - t) * c[0].y + s * (1 - t) * c[1].y + s * t * c[2].y + (1 - s) * t * c[3].y;
                const double z =
                    (1 - s) * (1 - t) * c[0].z + s * (1 - t) * c[1].z + s * t * c[2].z + (1 - s) * t * c[3].z;
                const auto key = std::make_pair(std::llround(y * 1e9), std::llround(z * 1e9));
                if (met.emplace(key, true).second) order.emplace_back(y, z);
            }
    }
    return order;
}

std::vector<int> ElementMaterials(const ModelData& model) {
    std::vector<int> materials;
    for (const ElementRow* e = model.GetElementTable()->GetHead(); e; e = e->next) materials.push_back(e->material);
    return materials;
}

NodePath NodeListPath(const std::string& name, const std::vector<int>& nodes) {
    NodePath path;
    path.mode = 2;
    path.name = name;
    path.nodeListText = ModelData::JoinNumbers(nodes);
    path.nodes = nodes;
    return path;
}

void AddNodalRow(ModelData& model, int kind, const std::string& target, double v) {
    NodalActionTable copy(kind);
    copy.CopyFrom(*model.GetNodalActionTable(kind));
    const std::array<double, 6> values{v, 0, 0, 0, 0, 0};
    const std::array<int, 6> flags{1, 0, 0, 0, 0, 0};
    copy.AddNodalActionRow(target, values, flags);
    copy.CountRows();
    copy.RebuildIndex();
    model.ReplaceNodalTable(copy);
}

void AddEdgeRow(ModelData& model, int kind, const std::string& target, int side, double v) {
    EdgeActionTable copy(kind);
    copy.CopyEdgeActionTable(*model.GetEdgeActionTable(kind));
    const std::array<double, 3> values{v, v, v};
    copy.AddEdgeActionRow(target, side, 1, values);
    copy.CountRows();
    copy.RebuildIndex();
    model.ReplaceEdgeTable(copy);
}

void AddSetMember(ModelData& model, int kind, const std::string& name, const std::string& text, int final,
                  int increment, int side) {
    SetTable* table = model.GetSetTable(kind);
    int index = table->FindRowByName(name);
    if (index < 0) {
        SetMemberList empty;
        table->AddSetRow(name, &empty);
        table->CountRows();
        table->RebuildIndex();
        index = table->FindRowByName(name);
    }
    SetMemberList* members = table->GetRowField0At(index);
    members->AddSetMemberRow(text, final, increment, side);
    members->CountRows();
    members->RebuildIndex();
}

}  // namespace gridmesh
