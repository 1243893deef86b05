// Import of the mesh generator's output for the foundation templates: nodes,
// elements and side codes are read from the mesh file (binary or text), the
// template's sets, materials and boundary loads derived, the whole written
// as a short keyword text and read back with the model file's block readers,
// then soil values and two cut lines set.

#include "model/MeshImport.h"


#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <locale>
#include <memory>
#include <sstream>
#include <utility>

#include "model/Interpolation.h"
#include "model/ModelData.h"
#include "model/ModelFile.h"
#include "model/ModelFileBlocks.h"
#include "model/ModelFileText.h"

namespace {

// Numbers of the mesh file, binary (little-endian int32 and IEEE doubles)
// or text (white-space separated).
class MeshReader {
public:
    MeshReader(std::istream& in, bool binary) : in_(in), binary_(binary) {}

    bool Int(int& value) {
        if (binary_) {
            unsigned char b[4];
            if (!in_.read(reinterpret_cast<char*>(b), 4)) return false;
            const std::uint32_t u = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                    static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
            std::int32_t s;
            std::memcpy(&s, &u, sizeof s);
            value = s;
            return true;
        }
        std::string word;
        return static_cast<bool>(in_ >> word) && modelfile::ParseIntText(word, value);
    }

    bool Real(double& value) {
        if (binary_) {
            unsigned char b[8];
            if (!in_.read(reinterpret_cast<char*>(b), 8)) return false;
            std::uint64_t u = 0;
            for (int k = 7; k >= 0; --k) u = u << 8 | b[k];
            std::memcpy(&value, &u, sizeof value);
            return std::isfinite(value);
        }
        std::string word;
        return static_cast<bool>(in_ >> word) && modelfile::ParseRealText(word, value);
    }

private:
    std::istream& in_;
    bool binary_;
};

// Whether a file of `size` bytes can hold N nodes and E elements of P nodes.
bool CountsFit(long long size, bool binary, int n, int e, int p) {
    if (n <= 0 || e <= 0) return false;
    const long long nodes = n, elements = e;
    if (binary) return 12 + 20 * nodes + elements * (16 + 4LL * p) + 24 * elements <= size;
    // Every number takes at least one character and one separator.
    return 2 * (3 + 3 * nodes + elements * (4LL + p) + 6 * elements) - 1 <= size;
}

std::string Real(double v) { return modelfile::FormatReal(v); }

// Distinct nodes of the elements (1-based positions) in order of first
// appearance.
std::vector<int> NodesOfElements(const std::vector<int>& elements, const std::vector<std::vector<int>>& elementNodes) {
    std::vector<int> list;
    std::vector<unsigned char> marks;
    for (int e : elements)
        for (int node : elementNodes[static_cast<std::size_t>(e - 1)]) TableLookupIndex(node, list, marks);
    return list;
}

const char* ElementTypeLine(int p, int rule) {
    if (p == 4) return rule == 0 ? "LINEAR4 REDUCED_INTEGRATION" : "LINEAR4 NORMAL_INTEGRATION";
    if (p == 8) return rule == 1 ? "QUAD8 REDUCED_INTEGRATION" : rule == 2 ? "QUAD8 NORMAL_INTEGRATION" : nullptr;
    return "QUAD9 NORMAL_INTEGRATION";
}

}  // namespace

// ---------------------------------------------------------------------------
// Helpers

void AddElementCentreNodes(std::vector<int>& nodeNumbers, std::vector<double>& x, std::vector<double>& y,
                           std::vector<double>& z, const std::vector<int>& elementNumbers,
                           std::vector<std::vector<int>>& elementNodes,
                           const std::vector<std::vector<int>>& setElements, std::vector<std::vector<int>>& setNodes) {
    const int n = static_cast<int>(nodeNumbers.size());
    for (std::size_t j = 0; j < elementNumbers.size() && j < elementNodes.size(); ++j) {
        std::vector<int>& nodes = elementNodes[j];
        double sy = 0.0, sz = 0.0;
        for (int k = 0; k < 4 && k < static_cast<int>(nodes.size()); ++k) {
            const std::size_t at = static_cast<std::size_t>(nodes[static_cast<std::size_t>(k)] - 1);
            sy += y[at];
            sz += z[at];
        }
        const int number = n + static_cast<int>(j) + 1;
        nodeNumbers.push_back(number);
        x.push_back(0.0);
        y.push_back(sy / 4.0);
        z.push_back(sz / 4.0);
        nodes.resize(8, 0);
        nodes.push_back(number);
    }
    setNodes.assign(setElements.size(), {});
    for (std::size_t s = 0; s < setElements.size(); ++s) setNodes[s] = NodesOfElements(setElements[s], elementNodes);
}

std::vector<std::string> IdListToMemberRows(std::vector<int> numbers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<std::string> rows;
    std::size_t i = 0;
    while (i < numbers.size()) {
        const int first = numbers[i];
        int last = first;
        int step = 1;
        std::size_t next = i + 1;
        if (next < numbers.size()) {
            step = numbers[next] - first;
            last = numbers[next];
            ++next;
            while (next < numbers.size() && numbers[next] - numbers[next - 1] == step) last = numbers[next++];
        }
        char row[96];
        std::snprintf(row, sizeof row, "*    %d  %d  %d", first, last, step);
        rows.push_back(row);
        i = next;
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Boundary loads of the templates

bool ModelData::ComputeBoundaryNodalLoads(int, int elements, int nodesPerElem, std::vector<int>& loadNodes,
                                          std::vector<std::array<double, 3>>& loadValues,
                                          const std::vector<std::vector<int>>&,
                                          const std::vector<std::vector<int>>& setElements,
                                          const std::vector<double>& y, const std::vector<double>& z,
                                          const std::vector<std::vector<int>>& elementNodes) const {
    if (elements <= 0 || setElements.size() < 2) return false;
    const double R = templateKind == 1 ? planDims1[2] / 2.0 : planDims2[0];
    if (!(R > 0.0)) return false;

    struct Edge {
        int a, mid, b;
        double y, z, length;
    };
    auto onRing = [&](int node) {
        const std::size_t k = static_cast<std::size_t>(node - 1);
        return std::fabs(std::sqrt(y[k] * y[k] + z[k] * z[k]) - R) < 1e-4;
    };
    auto chord = [&](int p, int q) {
        const std::size_t i = static_cast<std::size_t>(p - 1), j = static_cast<std::size_t>(q - 1);
        return std::hypot(y[i] - y[j], z[i] - z[j]);
    };
    std::vector<Edge> edges;
    for (int e : setElements[1]) {
        const std::vector<int>& nodes = elementNodes[static_cast<std::size_t>(e - 1)];
        for (int k = 0; k < 4; ++k) {
            const int a = nodes[static_cast<std::size_t>(k)], b = nodes[static_cast<std::size_t>((k + 1) % 4)];
            if (!onRing(a) || !onRing(b)) continue;
            Edge edge{a, 0, b, 0, 0, 0};
            const std::size_t ia = static_cast<std::size_t>(a - 1), ib = static_cast<std::size_t>(b - 1);
            if (nodesPerElem > 7) {
                edge.mid = nodes[static_cast<std::size_t>(k + 4)];
                const std::size_t im = static_cast<std::size_t>(edge.mid - 1);
                edge.y = y[im];
                edge.z = z[im];
                edge.length = chord(a, edge.mid) + chord(edge.mid, b);
            } else {
                edge.y = (y[ia] + y[ib]) / 2.0;
                edge.z = (z[ia] + z[ib]) / 2.0;
                edge.length = chord(a, b);
            }
            edges.push_back(edge);
            break;
        }
    }

    if (edges.empty()) return false;  // no side of the second set on the ring: nowhere to put the loads

    double Iy = 0.0, Iz = 0.0;
    for (const Edge& e : edges) {
        if (e.y < 0) Iy += e.y * e.y * e.length;
        if (e.z < 0) Iz += e.z * e.z * e.length;
    }
    const double pi = 4.0 * std::atan(1.0);
    const double t = templateAngle / 45.0 * std::atan(1.0);
    const double P = templateLoads[0], V = templateLoads[1], M = templateLoads[2];
    const double h = sectionDims[0] + sectionDims[1] + sectionDims[2];
    const double Vy = V * std::cos(t), Vz = V * std::sin(t);
    const double My = M * std::cos(t) + Vy * h, Mz = M * std::sin(t) + Vz * h;
    // A moment needs ring sides on the far side of its axis to act on.
    if ((My != 0.0 && Iy == 0.0) || (Mz != 0.0 && Iz == 0.0)) return false;
    const double ay = Iy != 0.0 ? 0.5 * My * R / Iy : 0.0;
    const double az = Iz != 0.0 ? 0.5 * Mz * R / Iz : 0.0;
    const double p = P / pi / (2.0 * R), hy = Vy / pi / (2.0 * R), hz = Vz / pi / (2.0 * R);

    auto add = [&](int node, double factor, double q) {
        const std::size_t k = static_cast<std::size_t>(node - 1);
        loadNodes[k] = node;
        loadValues[k][0] += q * factor;
        loadValues[k][1] += hy * factor;
        loadValues[k][2] += hz * factor;
    };
    for (const Edge& e : edges) {
        const double q = (e.y / R) * ay + (e.z / R) * az + p;
        if (nodesPerElem > 7) {
            add(e.a, e.length / 6.0, q);
            add(e.b, e.length / 6.0, q);
            add(e.mid, 2.0 * e.length / 3.0, q);
        } else {
            add(e.a, e.length / 2.0, q);
            add(e.b, e.length / 2.0, q);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Reading the mesh file

bool ReadMeshFile(const std::string& fileName, bool binary, MeshFileContents& mesh) {
    mesh = MeshFileContents{};
    const long long size = RegularFileSize(fileName);
    std::ifstream file(fileName, binary ? std::ios::in | std::ios::binary : std::ios::in);
    MeshReader read(file, binary);
    int N = 0, E = 0, P = 0;
    if (size < 0 || !file || !read.Int(N) || !read.Int(E) || !read.Int(P) || (P != 4 && P != 8) ||
        !CountsFit(size, binary, N, E, P))
        return false;
    mesh.nodesPerElement = P;

    // Nodes, elements and side codes.
    mesh.nodeNumbers.resize(static_cast<std::size_t>(N));
    mesh.x.resize(static_cast<std::size_t>(N));
    mesh.y.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (!read.Int(mesh.nodeNumbers[k]) || !read.Real(mesh.x[k]) || !read.Real(mesh.y[k])) return false;
    }
    mesh.elementNumbers.resize(static_cast<std::size_t>(E));
    mesh.elementRegions.resize(static_cast<std::size_t>(E));
    mesh.elementNodes.resize(static_cast<std::size_t>(E));
    for (int e = 0; e < E; ++e) {
        const std::size_t k = static_cast<std::size_t>(e);
        int skipped = 0;
        if (!read.Int(mesh.elementNumbers[k]) || !read.Int(skipped) || !read.Int(mesh.elementRegions[k]) ||
            !read.Int(skipped))
            return false;
        std::vector<int> nodes(static_cast<std::size_t>(P));
        for (int& node : nodes)
            if (!read.Int(node) || node < 1 || node > N) return false;
        if (!binary && P == 8) {
            // Corner, mid-side, corner, ... in the text form.
            std::vector<int> ordered(8);
            for (int c = 0; c < 4; ++c) {
                ordered[static_cast<std::size_t>(c)] = nodes[static_cast<std::size_t>(2 * c)];
                ordered[static_cast<std::size_t>(c + 4)] = nodes[static_cast<std::size_t>(2 * c + 1)];
            }
            nodes = ordered;
        }
        mesh.elementNodes[k] = nodes;
    }
    mesh.sides.resize(static_cast<std::size_t>(E));
    for (int e = 0; e < E; ++e) {
        int skipped = 0;
        if (!read.Int(skipped) || !read.Int(skipped)) return false;
        for (int& code : mesh.sides[static_cast<std::size_t>(e)])
            if (!read.Int(code)) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The import

namespace {

// The mesh as the model takes it.  The mesh generator works in its plane
// (x, y); the plate lies in the model's (y, z) plane, so the mesher's x is
// the model's y and its y the model's z (centred and mirrored later); the
// model's x is 0.
struct ImportedMesh {
    int N = 0, E = 0, P = 0;  // nodes, elements, nodes per element
    std::vector<int> nodeNumbers;
    std::vector<double> xs, ys, zs;
    std::vector<int> elementNumbers, elementRegions;
    std::vector<std::vector<int>> elementNodes;
    std::vector<std::array<int, 4>> sides;
};

ImportedMesh TakeMesh(MeshFileContents& mesh) {
    ImportedMesh m;
    m.N = static_cast<int>(mesh.nodeNumbers.size());
    m.E = static_cast<int>(mesh.elementNumbers.size());
    m.P = mesh.nodesPerElement;
    m.nodeNumbers = std::move(mesh.nodeNumbers);
    m.xs.assign(static_cast<std::size_t>(m.N), 0.0);
    m.ys = std::move(mesh.x);
    m.zs = std::move(mesh.y);
    m.elementNumbers = std::move(mesh.elementNumbers);
    m.elementRegions = std::move(mesh.elementRegions);
    m.elementNodes = std::move(mesh.elementNodes);
    m.sides = std::move(mesh.sides);
    return m;
}

// The boundary nodes (the first corner, and the mid-side node, of every side
// with a negative code); the mid-side node of every other side moves onto
// the midpoint of its corners.
std::vector<int> BoundaryNodesAndMidSides(ImportedMesh& m) {
    std::vector<int> boundary;
    for (int e = 0; e < m.E; ++e) {
        const std::vector<int>& nodes = m.elementNodes[static_cast<std::size_t>(e)];
        for (int k = 0; k < 4; ++k) {
            const int a = nodes[static_cast<std::size_t>(k)], b = nodes[static_cast<std::size_t>((k + 1) % 4)];
            if (m.sides[static_cast<std::size_t>(e)][static_cast<std::size_t>(k)] < 0) {
                boundary.push_back(a);
                if (m.P == 8) boundary.push_back(nodes[static_cast<std::size_t>(k + 4)]);
            } else if (m.P == 8) {
                const std::size_t mid = static_cast<std::size_t>(nodes[static_cast<std::size_t>(k + 4)] - 1);
                m.ys[mid] = (m.ys[static_cast<std::size_t>(a - 1)] + m.ys[static_cast<std::size_t>(b - 1)]) / 2.0;
                m.zs[mid] = (m.zs[static_cast<std::size_t>(a - 1)] + m.zs[static_cast<std::size_t>(b - 1)]) / 2.0;
            }
        }
    }
    return boundary;
}

// Centres the mesh on the origin and mirrors its second coordinate.
void CentreAndMirror(ImportedMesh& m) {
    const auto [a0, a1] = std::minmax_element(m.ys.begin(), m.ys.end());
    const auto [b0, b1] = std::minmax_element(m.zs.begin(), m.zs.end());
    const double midA = (*a0 + *a1) / 2.0, midB = (*b0 + *b1) / 2.0;
    for (double& v : m.ys) v -= midA;
    for (double& v : m.zs) v = midB - v;
}

// The template's sets: the elements of each (by the regions it names, in
// pairs), the material of every element (its last set) and the nodes of each.
struct TemplateSets {
    std::vector<std::vector<int>> elements, nodes;
    std::vector<int> materials;
};

// False when a template region has no elements: a part of the foundation
// that the mesher left unmeshed.
bool GatherTemplateSets(const ImportedMesh& m, const std::vector<std::string>& regionNames,
                        const std::vector<int>& regionIds, std::vector<std::vector<int>>& setRegions,
                        std::size_t setCount, TemplateSets& sets) {
    const std::size_t regionCount = std::min(regionNames.size(), regionIds.size());
    std::vector<std::vector<int>> regionElements(regionCount);
    for (std::size_t r = 0; r < regionCount; ++r)
        for (int e = 0; e < m.E; ++e)
            if (m.elementRegions[static_cast<std::size_t>(e)] == regionIds[r]) regionElements[r].push_back(e + 1);
    for (const std::vector<int>& elements : regionElements)
        if (elements.empty()) return false;
    setRegions.resize(setCount);
    sets.elements.assign(setCount, {});
    for (std::size_t s = 0; s < setCount; ++s)
        for (std::size_t pair = 0; pair + 1 < setRegions[s].size(); pair += 2)
            for (std::size_t r = 0; r < regionCount; ++r)
                if (regionIds[r] == setRegions[s][pair + 1])
                    sets.elements[s].insert(sets.elements[s].end(), regionElements[r].begin(), regionElements[r].end());
    sets.materials.assign(static_cast<std::size_t>(m.E), 0);
    for (std::size_t s = 0; s < setCount; ++s)
        for (int e : sets.elements[s]) sets.materials[static_cast<std::size_t>(e - 1)] = static_cast<int>(s) + 1;
    sets.nodes.assign(setCount, {});
    for (std::size_t s = 0; s < setCount; ++s) sets.nodes[s] = NodesOfElements(sets.elements[s], m.elementNodes);
    return true;
}

// The nodal loads of the template's boundary load, per node.
struct BoundaryLoads {
    std::vector<int> nodes;
    std::vector<std::array<double, 3>> values;
};

// The keyword text of the imported model: nodes, elements, the boundary
// loads, the node and element sets (with "ALL" and the boundary nodes as
// "Edge"), the materials of the sets and the template block.
void WriteImportText(const ModelData& model, const std::string& textName, const ImportedMesh& m,
                     const std::vector<int>& boundary, const TemplateSets& sets, const BoundaryLoads& loads,
                     const std::vector<std::string>& setNames, const std::vector<double>& setThicknesses) {
    const std::size_t setCount = setNames.size();
    std::ofstream out(textName, std::ios::out | std::ios::trunc);
    out.imbue(std::locale::classic());
    out << m.N << "  " << m.E << "  " << m.P << '\n';
    out << "NODE_DATA\n";
    for (int i = 0; i < m.N; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        out << "*     " << m.nodeNumbers[k] << "  "
            << "0.0  " << Real(m.ys[k]) << "  " << Real(m.zs[k]) << '\n';
    }
    out << "END_NODE_DATA\n";
    out << "ELEMENT_DATA\n";
    if (const char* type = ElementTypeLine(m.P, model.templateIntegration)) out << type << '\n';
    for (int e = 0; e < m.E; ++e) {
        const std::size_t k = static_cast<std::size_t>(e);
        out << "*    " << m.elementNumbers[k] << "  " << sets.materials[k] << "  ";
        for (int node : m.elementNodes[k]) out << node << "  ";
        out << '\n';
    }
    out << "END_ELEMENT_DATA\n";
    out << "NODAL_LOAD_DATA\n";
    for (std::size_t k = 0; k < loads.nodes.size(); ++k)
        if (loads.nodes[k] != 0)
            out << "*     " << loads.nodes[k] << "\t 1  1  1  0  0  0   " << Real(loads.values[k][0]) << "   "
                << Real(loads.values[k][1]) << "   " << Real(loads.values[k][2]) << "  0  0\t0\n";
    out << "END_NODAL_LOAD_DATA\n";
    out << "NODESET_DATA\n*    ALL\nEND_ALL\n*    Edge\n";
    for (int node : boundary) out << "*    " << node << "  " << node << " 1\n";
    out << "END_Edge\n";
    // Each template set with the member rows of its numbers.
    auto writeSets = [&](const std::vector<std::vector<int>>& lists) {
        for (std::size_t s = 0; s < setCount; ++s) {
            out << "*    " << setNames[s] << '\n';
            for (const std::string& row : IdListToMemberRows(lists[s])) out << row << '\n';
            out << "END_" << setNames[s] << '\n';
        }
    };
    writeSets(sets.nodes);
    out << "END_NODESET_DATA\n";
    out << "ELEMENTSET_DATA\n*    ALL\nEND_ALL\n";
    writeSets(sets.elements);
    out << "END_ELEMENTSET_DATA\n";
    out << "MATERIAL_DATA\n";
    if (setThicknesses.empty()) {
        out << "*    ALL   0   5.2e5 4.176e6  0.3  0.2\n";
    } else {
        for (std::size_t s = 0; s < setCount; ++s) {
            char thickness[64];
            std::snprintf(thickness, sizeof thickness, "%f", s < setThicknesses.size() ? setThicknesses[s] : 0.0);
            out << "*    " << setNames[s] << "  0   5.2e5 4.176e6  0.2  " << thickness << '\n';
        }
    }
    out << "END_MATERIAL_DATA\n";
    WriteTemplateBlock(model, out);
}

// Reads the keyword text back into the model with the model file's block
// readers; false when a count, a block or a keyword is missing or wrong
// (the blocks that could be read stay).
bool ReadImportText(ModelData& model, const std::string& textName, int P) {
    bool failed = false;
    std::ifstream in(textName);
    int counts[3] = {};
    if (!modelfile::ReadInt(in, counts[0]) || !modelfile::ReadInt(in, counts[1]) || !modelfile::ReadInt(in, counts[2]))
        failed = true;
    std::string word;
    auto next = [&](const char* keyword) { return modelfile::ReadWord(in, word) && word == keyword; };

    if (next("NODE_DATA")) {
        if (!model.nodeTable) model.nodeTable = std::make_unique<NodeTable>();
        model.nodeTable->DeleteRows();
        model.nodeTable->SetModel(&model);
        if (ReadNodeBlock(*model.nodeTable, in, "NODE_DATA") != 0) failed = true;
        model.nodeCount = model.nodeTable->GetCount();
        model.UpdateBoundingBox();
    } else {
        failed = true;
    }
    if (next("ELEMENT_DATA")) {
        if (!model.elementTable) model.elementTable = std::make_unique<ElementTable>(P);
        model.elementTable->DeleteRows();
        model.elementTable->SetModel(&model);
        if (ReadElementBlock(*model.elementTable, in, "ELEMENT_DATA") != 0) failed = true;
        model.edgeFlags.assign(static_cast<std::size_t>(model.elementTable->GetCount()) * 4, 0);
        model.BuildEdgeFlags();
    } else {
        failed = true;
    }
    if (next("NODAL_LOAD_DATA")) {
        auto table = std::make_unique<NodalActionTable>(2);
        table->SetModel(&model);
        if (ReadNodalTableBlock(*table, in, "NODAL_LOAD_DATA", 2) != 0) failed = true;
        model.nodalTables[1] = std::move(table);
    } else {
        failed = true;
    }
    const char* const setKeywords[2] = {"NODESET_DATA", "ELEMENTSET_DATA"};
    for (int k = 0; k < 2; ++k) {
        if (next(setKeywords[k])) {
            auto table = std::make_unique<SetTable>(k + 1);
            table->SetModel(&model);
            if (ReadSetBlock(*table, in, setKeywords[k], k + 1) != 0) failed = true;
            model.setTables[static_cast<std::size_t>(k)] = std::move(table);
        } else {
            failed = true;
        }
    }
    if (next("MATERIAL_DATA")) {
        auto table = std::make_unique<MaterialTable>();
        table->SetModel(&model);
        if (ReadMaterialBlock(*table, in, "MATERIAL_DATA") != 0) failed = true;
        model.materialTable = std::move(table);
    } else {
        failed = true;
    }
    if (next("MODEL_PROFILE_DATA")) ReadTemplateBlock(model, in);
    return !failed;
}

// The soil values of an imported model, its side flags and two cut lines
// through the centre, one along y and one along z, a tenth beyond the mesh.
void SetImportDefaults(ModelData& model) {
    model.soilValues = {150.0, 250.0, 0.3, 200.0, 30.0, 1.0};
    model.UpdateBoundingBox();
    const int elementCount = model.elementTable ? model.elementTable->GetCount() : 0;
    model.edgeFlags.assign(static_cast<std::size_t>(elementCount) * 4, 0);
    model.BuildEdgeFlags();

    if (!model.cutLineTable) {
        model.cutLineTable = std::make_unique<CutLineTable>();
        model.cutLineTable->SetModel(&model);
    }
    const double dy = model.maxY - model.minY, dz = model.maxZ - model.minZ;
    model.cutLineTable->AddCutLineRow(model.minY - dy / 10.0, 0.0, model.maxY + dy / 10.0, 0.0);
    model.cutLineTable->CountRows();
    model.cutLineTable->RebuildIndex();
    model.cutLineTable->AddCutLineRow(0.0, model.minZ - dz / 10.0, 0.0, model.maxZ + dz / 10.0);
    model.cutLineTable->CountRows();
    model.cutLineTable->RebuildIndex();
    model.cutLineTable->SetInterpolationOption(1);
    model.cutLineTable->SetSegmentDivisionCode(2);
}

}  // namespace

int ModelData::ImportMeshFile(const std::string& fileName, int mode, std::vector<std::string> regionNames,
                              std::vector<int> regionIds, std::vector<std::string> setNames,
                              std::vector<std::vector<int>> setRegions, const std::vector<double>& setThicknesses) {
    MeshFileContents contents;
    if (!ReadMeshFile(fileName, mode != 2, contents)) {
        if (contents.nodesPerElement == 0) redrawFlag = 1;
        return 0;
    }
    ImportedMesh mesh = TakeMesh(contents);
    const std::vector<int> boundary = BoundaryNodesAndMidSides(mesh);
    CentreAndMirror(mesh);

    TemplateSets sets;
    if (!GatherTemplateSets(mesh, regionNames, regionIds, setRegions, setNames.size(), sets)) return 0;

    BoundaryLoads loads;
    loads.nodes.assign(static_cast<std::size_t>(mesh.N), 0);
    loads.values.assign(static_cast<std::size_t>(mesh.N), {0.0, 0.0, 0.0});
    if ((templateKind == 1 || templateKind == 2) &&
        (std::fabs(templateLoads[0]) > 0 || std::fabs(templateLoads[1]) > 0 || std::fabs(templateLoads[2]) > 0))
        if (!ComputeBoundaryNodalLoads(mesh.N, mesh.E, mesh.P, loads.nodes, loads.values, sets.nodes, sets.elements,
                                       mesh.ys, mesh.zs, mesh.elementNodes))
            return 0;  // loads that cannot be placed fail the import

    // Nine-node elements grow from eight-node ones; a mesh of four-node
    // elements has no mid-side nodes to complete them and stays as it is.
    if (templateElementOption == 2 && mesh.P == 8) {
        AddElementCentreNodes(mesh.nodeNumbers, mesh.xs, mesh.ys, mesh.zs, mesh.elementNumbers, mesh.elementNodes,
                              sets.elements, sets.nodes);
        mesh.P = 9;
        mesh.N = static_cast<int>(mesh.nodeNumbers.size());
    }

    const std::string textName = (fileName.size() >= 3 ? fileName.substr(0, fileName.size() - 3) : fileName) + "txt";
    WriteImportText(*this, textName, mesh, boundary, sets, loads, setNames, setThicknesses);
    const bool read = ReadImportText(*this, textName, mesh.P);
    SetImportDefaults(*this);

    if (read) redrawFlag = 1;
    // Whatever the outcome, the model holds every table.
    CreateMissingTables();
    RebuildNodeIndex();
    SetChanged();
    return read ? 1 : 0;
}
