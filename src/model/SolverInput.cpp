// The numeric solver input: the model as the plain records of numbers the
// solver reads list-directed. Every set, list, "ALL" and node or element
// number is resolved here into 1-based row positions; the record division
// into lines and the separators are fixed.

#include <fstream>
#include <locale>
#include <ostream>

#include "model/ModelData.h"

namespace {

const char* const B1 = " ";
const char* const B2 = "  ";

std::string OneLine(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

double At(const std::vector<double>& v, std::size_t j) { return j < v.size() ? v[j] : 0.0; }

int FreeEdgeCount(const ModelData& m) {
    const int rows = m.GetElementCount();
    int count = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(rows) * 4 && k < m.edgeFlags.size(); ++k)
        if (m.edgeFlags[k] == 0) ++count;
    return count;
}

}  // namespace

// ---------------------------------------------------------------------------
// Table writers

void ModelData::WriteNumericElementTable(std::ostream& out) const {
    if (!elementTable) return;
    const int nnode = elementTable->GetNodesPerElement();
    int pos = 1;
    for (const ElementRow* e = elementTable->GetHead(); e; e = e->next, ++pos) {
        out << B2 << pos << B2 << e->id << B2 << e->material;
        for (int j = 0; j < nnode; ++j) {
            const int number = j < static_cast<int>(e->nodes.size()) ? e->nodes[static_cast<std::size_t>(j)] : 0;
            out << B2 << NodeRowOfNumber(number) + 1;
        }
        out << '\n';
    }
}

void ModelData::WriteNumericNodeTable(std::ostream& out) const {
    if (!nodeTable) return;
    int pos = 1;
    for (const NodeRow* n = nodeTable->GetHead(); n; n = n->next, ++pos)
        out << B2 << pos << B2 << n->id << B2 << n->x << B1 << n->y << B2 << n->z << '\n';
}

void ModelData::WriteNumericMaterialTable(std::ostream& out) const {
    if (!materialTable) return;
    int pos = 1;
    for (const MaterialRow* m = materialTable->GetHead(); m; m = m->next, ++pos) {
        if (m->type <= kMaterialIsotropic) {
            out << B1 << pos << '\t' << 1 << B2 << m->E << B2 << m->nu << B2 << m->thickness << '\n';
            continue;
        }
        const Rigidities& d = m->rigidities;
        out << B1 << pos << B2 << 2 << B2 << m->E << B2 << m->nu << B2 << m->thickness << '\n';
        out << d.Dyy << B1 << d.Dzz << B1 << d.Dv << B1 << d.Dyz << B1 << d.Dsy << B1 << d.Dsz << '\n';
    }
}

void ModelData::WriteNumericNodalTable(int kind, const NodalActionTable& expanded, std::ostream& out) const {
    for (const NodalRow* r = expanded.GetHead(); r; r = r->next) {
        const int number = ParseInt(r->target);
        if (number == 0) continue;
        const int row = kind <= 3 ? NodeRowOfNumber(number) : ElementRowOfNumber(number);
        if (row < 0) continue;
        out << B2 << row + 1 << B2;
        if (kind == 1)
            for (std::size_t j = 0; j < 6; ++j) out << B1 << (j < r->flags.size() ? r->flags[j] : 0) << B1;
        for (std::size_t j = 0; j < 6; ++j) out << B2 << At(r->values, j);
        out << '\n';
    }
}

void ModelData::WriteNumericConcentratedTable(const ConcentratedActionTable* table, std::ostream& out) const {
    if (!table) return;
    for (const ConcentratedRow* r = table->GetHead(); r; r = r->next) {
        for (std::size_t j = 0; j < 3; ++j) out << B1 << At(r->coordinates, j) << B1;
        for (std::size_t j = 0; j < 6; ++j) out << B2 << At(r->values, j);
        out << '\n';
    }
}

void ModelData::WriteNumericEdgeTable(const EdgeActionTable& table, std::ostream& out) const {
    for (const EdgeRow* r = table.GetHead(); r; r = r->next) {
        const int row = ElementRowOfNumber(ParseInt(r->target));
        if (row < 0) continue;
        out << B2 << row + 1 << B2 << r->side << B2 << r->dof << B2;
        for (double v : r->values) out << B2 << v;
        out << '\n';
    }
}

void ModelData::WriteNumericCutLines(std::ostream& out) const {
    const CutLineTable* t = cutLineTable.get();
    const int count = t ? t->GetCount() : 0;
    const int method = t ? t->GetInterpolationOption() : 1;
    const int grid = (t ? t->GetSegmentDivisionCode() : 2) + 3;
    out << count << B1 << method << '\t' << grid << '\n';
    if (!t) return;
    int pos = 1;
    for (const CutLineRow* r = t->GetHead(); r && pos <= count; r = r->next, ++pos)
        out << pos << B2 << r->startY << B1 << r->startZ << B1 << r->endY << B1 << r->endZ << '\n';
}

void ModelData::WriteNumericPatternPoints(std::ostream& out) const {
    for (int i = 0; i < patternCount; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        out << B1 << At(patternX, k) << B1 << B1 << At(patternY, k) << B1 << B1 << At(patternZ, k) << B1;
        out << B2 << At(patternAxial, k) << B2 << At(patternShearY, k) << B2 << At(patternShearZ, k);
        out << B2 << 0 << B2 << 0 << B2 << 0 << '\n';
    }
}

// ---------------------------------------------------------------------------
// Expanded kinds

void ModelData::WriteNumericNodalKind(int kind, const NodalActionTable* table, std::ostream& out) {
    const int target = kind <= 3 ? 1 : 2;
    ExpandNodalTable(target, table, false);
    NodalActionTable* expanded = target == 1 ? perNodeTable.get() : perElementTable.get();
    if (expanded) {
        expanded->SetModel(this);
        WriteNumericNodalTable(kind, *expanded, out);
    }
    ResetExpandedTable(target);
}

void ModelData::WriteNumericEdgeKind(const EdgeActionTable* table, std::ostream& out) const {
    EdgeActionTable temp;
    ExpandEdgeTable(temp, table, 3);
    temp.CountRows();
    temp.RebuildIndex();
    WriteNumericEdgeTable(temp, out);
}

// ---------------------------------------------------------------------------
// The whole file

int ModelData::WriteSolverInput(const std::string& path, std::string* refusal) {
    // An item read by its leading digits, or a member naming nothing, would
    // put a load where it was not meant or drop it without a word.
    RebuildNodeIndex();
    if (const std::vector<std::string> faults = ItemFaults(); !faults.empty()) {
        if (refusal) *refusal = faults.front();
        return 1;
    }
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    if (!out) return 1;
    out.imbue(std::locale::classic());

    CreateMissingTables();
    RebuildNodeIndex();
    const std::size_t flagCount = static_cast<std::size_t>(GetElementCount()) * 4;
    if (edgeFlags.size() != flagCount) {
        edgeFlags.assign(flagCount, 0);
        BuildEdgeFlags();
    }

    PrepareExpandedTable(1);
    PrepareExpandedTable(2);

    solverConstraints = std::make_unique<NodalActionTable>(1);
    solverConstraints->SetModel(this);
    if (const NodalActionTable* c = GetNodalActionTable(1)) solverConstraints->CopyFrom(*c);
    solverConstraints->SetKindCode(1);
    solverConstraints->SetModel(this);

    // A soil model gives every node its soil stiffness in the solver, which
    // then reads no nodal stiffness records.
    const bool nodalStiffness = soilModel == 0;

    const int npoin = GetNodeCount();
    const int nelem = GetElementCount();
    const int nmats = materialTable ? materialTable->CountRows() : 0;
    if (materialTable) materialTable->RebuildIndex();
    const int nnode = elementTable->GetNodesPerElement();
    const int ngaus = elementTable->GetIntegrationOrder1();
    const int ngaus2 = elementTable->GetIntegrationOrder2();
    const int nvfix = ExpandNodalTable(1, solverConstraints.get(), true);
    const int nnlod = ExpandNodalTable(1, GetNodalActionTable(2), true);
    const int nnsti = nodalStiffness ? ExpandNodalTable(1, GetNodalActionTable(3), true) : 0;
    const int ndlod = ExpandNodalTable(2, GetNodalActionTable(4), true);
    const int ndsti = ExpandNodalTable(2, GetNodalActionTable(5), true);
    const int nclod = concentratedLoads->CountRows() + patternCount;
    concentratedLoads->RebuildIndex();
    const int ncsti = concentratedStiffness->CountRows();
    concentratedStiffness->RebuildIndex();
    const int nvedge = soilModel == 2 ? FreeEdgeCount(*this) : 0;
    const int nedlod = CountEdgeExpansion(edgeLoads.get(), 3);
    const int nedsti = CountEdgeExpansion(edgeStiffness.get(), 3);
    const int nctsti = totalConcentratedStiffness->CountRows();
    totalConcentratedStiffness->RebuildIndex();
    if (cutLineTable) {
        cutLineTable->CountRows();
        cutLineTable->RebuildIndex();
    }

    const int nprof = NonlinearSpringCount();
    std::vector<int> nonlinearNodes, nonlinearSprings_;
    CollectNonlinearNodes(nonlinearNodes, nonlinearSprings_);
    const int nnlin = static_cast<int>(nonlinearNodes.size());
    std::size_t mxpts = 0;
    for (const NonlinearSpring* s = nonlinearSprings; s; s = s->next) mxpts = std::max(mxpts, s->deformations.size());

    // Records 1 to 6: title, soil, counts, nonlinear counts, time stepping.
    out << OneLine(title) << '\n';
    out << soilModel << '\n';
    if (soilModel == 1)
        out << soilValues[0] << B2 << soilValues[2] << B2 << soilValues[3] << '\n';
    else if (soilModel == 2)
        out << soilValues[0] << B2 << soilValues[1] << B2 << soilValues[2] << B2 << soilValues[4] << B2 << soilValues[5]
            << '\n';
    for (int v : {npoin, nelem, nmats, nnode, ngaus, ngaus2, nvfix, nnlod, nnsti, ndlod, ndsti, nclod, ncsti, nvedge,
                  nedlod, nedsti, nctsti, halvorFlag})
        out << v << B2;
    out << '\n';
    out << nnlin << B2 << nprof << B2 << mxpts << '\n';
    out << initialIncrement << B2 << initialTime << B2 << finalTime << B2 << minIncrement << B2 << iterationsPerStep
        << B2 << errorTolerance << B2 << '\n';

    // Records 7 to 17: elements, nodes, constraints, materials, actions.
    WriteNumericElementTable(out);
    WriteNumericNodeTable(out);
    if (nvfix > 0) WriteNumericNodalKind(1, solverConstraints.get(), out);
    WriteNumericMaterialTable(out);
    if (nnlod > 0) WriteNumericNodalKind(2, GetNodalActionTable(2), out);
    if (nnsti > 0) WriteNumericNodalKind(3, GetNodalActionTable(3), out);
    if (ndlod > 0) WriteNumericNodalKind(4, GetNodalActionTable(4), out);
    if (ndsti > 0) WriteNumericNodalKind(5, GetNodalActionTable(5), out);
    if (nvedge > 0) {
        int pos = 1;
        for (const ElementRow* e = elementTable->GetHead(); e && pos <= nelem; e = e->next, ++pos)
            for (int k = 0; k < 4; ++k)
                if (edgeFlags[static_cast<std::size_t>(4 * (pos - 1) + k)] == 0)
                    out << pos << B2 << k + 1 << B2 << 0 << B2 << '\n';
    }
    if (nedlod > 0) WriteNumericEdgeKind(edgeLoads.get(), out);
    if (nedsti > 0) WriteNumericEdgeKind(edgeStiffness.get(), out);

    // Records 18 to 23: concentrated actions, nonlinear pairs and profiles,
    // cut lines, the closing empty line.
    WriteNumericConcentratedTable(concentratedLoads.get(), out);
    WriteNumericPatternPoints(out);
    WriteNumericConcentratedTable(concentratedStiffness.get(), out);
    WriteNumericConcentratedTable(totalConcentratedStiffness.get(), out);
    for (std::size_t i = 0; i < nonlinearNodes.size(); ++i)
        out << NodeRowOfNumber(nonlinearNodes[i]) + 1 << B2 << nonlinearSprings_[i] << B2 << 0 << B2 << 0 << B2 << 0
            << B2 << 0 << B2 << 0 << '\n';
    for (const NonlinearSpring* s = nonlinearSprings; s; s = s->next) {
        out << s->deformations.size() << '\n';
        for (std::size_t j = 0; j < s->deformations.size(); ++j)
            out << s->deformations[j] << B2 << At(s->forces, j) << '\n';
    }
    WriteNumericCutLines(out);
    out << '\n';

    out.close();
    return out.fail() ? 1 : 0;
}
