#include "meshtools/StructuredMesh.h"

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "model/ModelData.h"

namespace {

// One span of a direction: its number of divisions and its length.
struct Span {
    long long divisions = 0;
    double length = 0.0;
};

bool UsableSpan(const Span& s) { return s.divisions >= 1 && std::isfinite(s.length) && s.length > 0.0; }

// The usable spans of a grid-line table (row number = divisions, first value
// = span length), in table order.
std::vector<Span> GridSpans(const NodeTable* table) {
    std::vector<Span> spans;
    if (!table) return spans;
    for (const NodeRow* r = table->GetHead(); r; r = r->next) {
        const Span s{r->id, r->x};
        if (UsableSpan(s)) spans.push_back(s);
    }
    return spans;
}

long long DivisionSum(const std::vector<Span>& spans) {
    long long n = 0;
    for (const Span& s : spans) n += s.divisions;
    return n;
}

double LengthSum(const std::vector<Span>& spans) {
    double l = 0.0;
    for (const Span& s : spans) l += s.length;
    return l;
}

// Positions of the node lines of one direction, from `origin` in the
// direction of `sign`: every division line, and for quadratic elements
// (`sub` 2) the half-way line of each division as well.
std::vector<double> NodeLines(const std::vector<Span>& spans, double origin, double sign, int sub) {
    std::vector<double> lines;
    double start = origin;
    for (const Span& s : spans) {
        const long long steps = s.divisions * sub;
        const double step = s.length / static_cast<double>(steps);
        for (long long p = 0; p < steps; ++p) lines.push_back(start + sign * static_cast<double>(p) * step);
        start += sign * s.length;
    }
    lines.push_back(start);
    return lines;
}

// What the generator works from, taken from the model's mesh parameters.
struct MeshPlan {
    int kind = 1;
    int nodesPerElement = 8;
    std::vector<Span> ySpans;
    std::vector<Span> zSpans;
    long long nx = 0;
    long long ny = 0;
    double lx = 0.0;
    double ly = 0.0;
};

bool MakePlan(const ModelData& m, MeshPlan& plan) {
    plan.kind = m.gridOption;
    plan.nodesPerElement = m.nodesPerElement;
    if (plan.nodesPerElement != 4 && plan.nodesPerElement != 8 && plan.nodesPerElement != 9) return false;
    if (plan.kind == 0 || plan.kind == 1) {
        const Span y{m.divisions1, m.slabLength};
        if (!UsableSpan(y)) return false;
        Span z{m.divisions2, m.slabWidth};
        if (plan.kind == 0) z = y;  // a disc: the diameter both ways
        if (z.divisions < 1) z.divisions = y.divisions;
        if (!(std::isfinite(z.length) && z.length > 0.0)) z.length = y.length;
        plan.ySpans = {y};
        plan.zSpans = {z};
    } else if (plan.kind == 2) {
        plan.ySpans = GridSpans(m.GetGridTable(1));
        plan.zSpans = GridSpans(m.GetGridTable(2));
        if (plan.ySpans.empty()) return false;
        if (plan.zSpans.empty()) plan.zSpans = plan.ySpans;
    } else {
        return false;
    }
    plan.nx = DivisionSum(plan.ySpans);
    plan.ny = DivisionSum(plan.zSpans);
    plan.lx = LengthSum(plan.ySpans);
    plan.ly = LengthSum(plan.zSpans);
    const long long nodes = StructuredNodeCount(plan.nx, plan.ny, plan.nodesPerElement);
    return nodes > 0 && nodes <= kMaxStructuredNodes && std::isfinite(plan.lx) && std::isfinite(plan.ly);
}

// Nodes row by row from the top (z = +Ly/2) down, each row from y = -Lx/2.
// Corner rows hold every node line of y; a middle row of a 9-node mesh
// holds them all too, one of an 8-node mesh only the division lines.
std::unique_ptr<NodeTable> MakeNodes(const MeshPlan& plan) {
    const int sub = plan.nodesPerElement == 4 ? 1 : 2;
    const std::vector<double> ys = NodeLines(plan.ySpans, -plan.lx / 2.0, 1.0, sub);
    const std::vector<double> zs = NodeLines(plan.zSpans, plan.ly / 2.0, -1.0, sub);
    auto nodes = std::make_unique<NodeTable>();
    int number = 0;
    for (std::size_t r = 0; r < zs.size(); ++r) {
        const bool middleOf8 = plan.nodesPerElement == 8 && r % 2 == 1;
        for (std::size_t k = 0; k < ys.size(); ++k) {
            if (middleOf8 && k % 2 == 1) continue;
            double y = ys[k], z = zs[r];
            MapSquareToRound(ys[k], zs[r], y, z, plan.lx, plan.ly, plan.kind + 1);
            nodes->AddNodeRow(++number, 0.0, y, z);
        }
    }
    nodes->CountNodeRows();
    nodes->RebuildNodeTableIndex();
    // Generated in number order: already sorted.
    return nodes;
}

// Elements row by row from the top-left, corners counter to the node rows
// (top-left, top-right, bottom-right, bottom-left), then the mid-sides (top,
// right, bottom, left) and the centre.
std::unique_ptr<ElementTable> MakeElements(const MeshPlan& plan, const ElementTable* old) {
    const int npe = plan.nodesPerElement;
    const long long nx = plan.nx;
    const long long u = npe == 4 ? nx + 1 : npe == 8 ? 3 * nx + 2 : 4 * nx + 2;  // corner-row stride
    const long long c = npe == 4 ? nx + 1 : 2 * nx + 1;                          // corner-row length
    const long long s = npe == 4 ? 1 : 2;                                        // corner step
    const long long sm = npe == 9 ? 2 : 1;                                       // middle-row step
    auto elements = std::make_unique<ElementTable>(npe);
    if (old) {
        elements->SetIntegrationOrder1(old->GetIntegrationOrder1());
        elements->SetIntegrationOrder2(old->GetIntegrationOrder2());
    }
    if (npe == 9) {
        elements->SetIntegrationOrder1(3);
        elements->SetIntegrationOrder2(3);
    }
    int number = 0;
    std::array<int, 9> n{};
    for (long long r = 0; r < plan.ny; ++r) {
        long long t = 1 + r * u;
        long long v = t + c;
        for (long long k = 0; k < nx; ++k) {
            const long long ids[9] = {t, t + s, t + u + s, t + u, t + 1, v + sm, t + u + 1, v, v + 1};
            for (int j = 0; j < npe; ++j) n[static_cast<std::size_t>(j)] = static_cast<int>(ids[j]);
            elements->AddElementRow(++number, 1, std::span<const int>(n.data(), static_cast<std::size_t>(npe)));
            t += s;
            v += sm;
        }
    }
    elements->CountRows();
    elements->RebuildIndex();
    return elements;
}

std::unique_ptr<MaterialTable> MakeMaterial() {
    auto materials = std::make_unique<MaterialTable>();
    materials->AddMaterialRow("ALL", 0, 2000.0, 2000.0, 0.3, 1.0);
    materials->CountRows();
    materials->RebuildIndex();
    return materials;
}

// Two cut lines through the centre, along y at z = 0 and along z at y = 0,
// each reaching a tenth of the slab's extent beyond both edges.
std::unique_ptr<CutLineTable> MakeCutLines(const ModelData& m) {
    auto lines = std::make_unique<CutLineTable>();
    lines->SetInterpolationOption(1);
    lines->SetSegmentDivisionCode(2);
    const double dy = (m.GetMaxY() - m.GetMinY()) / 10.0;
    const double dz = (m.GetMaxZ() - m.GetMinZ()) / 10.0;
    lines->AddCutLineRow(m.GetMinY() - dy, 0.0, m.GetMaxY() + dy, 0.0);
    lines->CountCutLineRows();
    lines->RebuildCutLineIndex();
    lines->AddCutLineRow(0.0, m.GetMinZ() - dz, 0.0, m.GetMaxZ() + dz);
    lines->CountCutLineRows();
    lines->RebuildCutLineIndex();
    return lines;
}

}  // namespace

void MapSquareToRound(double y, double z, double& yOut, double& zOut, double lx, double ly, int kindPlusOne) {
    (void)ly;  // a disc: Ly = Lx
    yOut = y;
    zOut = z;
    if (kindPlusOne != 1) return;
    const double radius = lx / 2.0;
    const bool zDominant = std::fabs(y) < std::fabs(z);
    const double f = zDominant ? z : y;
    const double e = zDominant ? y : z;
    if (std::fabs(f) < 1e-16) {
        yOut = 0.0;
        zOut = 0.0;
        return;
    }
    const double w = std::fabs(f) / radius;
    const double pi = std::numbers::pi;
    const double phi = e / std::fabs(f) * pi / 4.0;
    double theta;
    if (zDominant)
        theta = f < 0.0 ? 3.0 * pi / 2.0 + phi : pi / 2.0 - phi;
    else
        theta = f < 0.0 ? pi - phi : phi;
    yOut = w * std::fabs(f) * std::cos(theta) + (1.0 - w) * y;
    zOut = w * std::fabs(f) * std::sin(theta) + (1.0 - w) * z;
}

long long StructuredNodeCount(long long nx, long long ny, int nodesPerElement) {
    if (nx < 0 || ny < 0 || nx > kMaxStructuredNodes || ny > kMaxStructuredNodes) return -1;
    switch (nodesPerElement) {
        case 4: return (nx + 1) * (ny + 1);
        case 8: return (ny + 1) * (2 * nx + 1) + ny * (nx + 1);
        case 9: return (2 * nx + 1) * (2 * ny + 1);
        default: return -1;
    }
}

bool GenerateStructuredMesh(ModelData& model) {
    MeshPlan plan;
    if (!MakePlan(model, plan)) return false;
    model.CreateMissingTables();

    model.nodeTable = MakeNodes(plan);
    model.nodeTable->SetModel(&model);
    model.nodeCount = model.nodeTable->GetCount();
    model.UpdateBoundingBox();

    model.elementTable = MakeElements(plan, model.elementTable.get());
    model.elementTable->SetModel(&model);
    model.edgeFlags.assign(static_cast<std::size_t>(model.elementTable->GetCount()) * 4, 0);
    model.BuildEdgeFlags();

    model.materialTable = MakeMaterial();
    model.materialTable->SetModel(&model);

    model.cutLineTable = MakeCutLines(model);
    model.cutLineTable->SetModel(&model);

    model.redrawFlag = 1;
    model.SetChanged();
    model.RebuildNodeIndex();
    return true;
}
