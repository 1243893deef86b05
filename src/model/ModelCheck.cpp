// The check of the model before an analysis: nonlinear spring profiles and
// the nonlinear nodal stiffness groups, written to a new message file.
// Warnings are only written; errors also raise the caller's flag.

#include <cmath>
#include <cstdio>
#include <fstream>

#include "model/ModelData.h"

namespace {

std::string Sci3(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3e", v);
    return buffer;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool NonZero(const std::vector<double>& values, std::size_t j)
{
    return j < values.size() && values[j] != 0.0;
}

// Whether a row of a nodal action table acts in y or z (degrees of freedom 2
// and 3): constraints by their check boxes, loads and stiffnesses by a value
// other than 0.
bool NodalTableActsInPlane(const NodalActionTable* table, bool byFlags)
{
    for (const NodalRow* r = table ? table->GetHead() : nullptr; r; r = r->next)
        for (std::size_t j : {1u, 2u})
            if (byFlags ? j < r->flags.size() && r->flags[j] != 0 : NonZero(r->values, j)) return true;
    return false;
}

bool ConcentratedTableActsInPlane(const ConcentratedActionTable* table)
{
    for (const ConcentratedRow* r = table ? table->GetHead() : nullptr; r; r = r->next)
        if (NonZero(r->values, 1) || NonZero(r->values, 2)) return true;
    return false;
}

bool EdgeTableActsInPlane(const EdgeActionTable* table)
{
    for (const EdgeRow* r = table ? table->GetHead() : nullptr; r; r = r->next)
        if ((r->dof == 2 || r->dof == 3) && (r->values[0] != 0.0 || r->values[1] != 0.0 || r->values[2] != 0.0))
            return true;
    return false;
}

} // namespace

// Loads in the plane of the plate (y or z) with nothing that holds the plate
// in its plane let it drift as a rigid body: the solver then stops without
// saying why.
bool ModelData::HasUnsupportedInPlaneLoads() const
{
    const bool loads = NodalTableActsInPlane(GetNodalActionTable(2), false) ||
                       NodalTableActsInPlane(GetNodalActionTable(4), false) ||
                       ConcentratedTableActsInPlane(GetConcentratedActionTable(1)) ||
                       EdgeTableActsInPlane(GetEdgeActionTable(1));
    if (!loads) return false;
    const bool supports = NodalTableActsInPlane(GetNodalActionTable(1), true) ||
                          // (nodal stiffnesses are dropped under a soil model)
                          (soilModel != 1 && soilModel != 2 && NodalTableActsInPlane(GetNodalActionTable(3), false)) ||
                          NodalTableActsInPlane(GetNodalActionTable(5), false) ||
                          ConcentratedTableActsInPlane(GetConcentratedActionTable(2)) ||
                          EdgeTableActsInPlane(GetEdgeActionTable(2));
    return !supports;
}

void ModelData::CheckModel(const std::string& path, bool& error)
{
    std::ofstream out(path, std::ios::out | std::ios::trunc);

    out << " ****** Check Model ******\n\n";

    for (const NonlinearSpring* s = nonlinearSprings; s; s = s->next) {
        const std::size_t m = std::min(s->deformations.size(), s->forces.size());
        if (m <= 1) {
            out << "   Warning:\n"
                << "       Inadequate data for nonlinear spring " << Quoted(s->name) << '\n';
            continue;
        }
        for (std::size_t i = 0; i + 1 < m; ++i) {
            const double d0 = s->deformations[i], d1 = s->deformations[i + 1];
            const double f0 = s->forces[i], f1 = s->forces[i + 1];
            if (std::fabs(d1 - d0) < 1e-10)
                out << "   Warning:\n"
                    << "       Repeated deformations are not allowed in nonlinear spring " << Quoted(s->name)
                    << " in segment [" << Sci3(d0) << ' ' << Sci3(d1) << "]\n";
            if (std::fabs(f1 - f0) < 1e-8)
                out << "   Warning:\n"
                    << "       Repeated forces are found. Stiffness is too small for nonlinear spring "
                    << Quoted(s->name) << " in segment [" << Sci3(f0) << ' ' << Sci3(f1) << "]\n";
        }
    }

    for (const NonlinearAction* a = nonlinearActions; a; a = a->next) {
        if (!FindNonlinearSpring(a->springName)) {
            out << "    Error:\n"
                << "      Can not find data of nonlinear spring " << Quoted(a->springName) << '\n';
            error = true;
        }
        if (a->nodes.empty()) {
            out << "    Error:\n"
                << "      Can not find nodes assigned with nonlinear spring " << Quoted(a->springName) << '\n'
                << "      Please check node set " << Quoted(a->nodeText) << '\n';
            error = true;
        }
    }

    if (CheckTargets(out)) error = true;

    // Under a soil model the solver derives the nodal soil stiffnesses and
    // the solver input carries no nodal stiffness rows.
    const NodalActionTable* nodalStiffness = GetNodalActionTable(3);
    if ((soilModel == 1 || soilModel == 2) && nodalStiffness && nodalStiffness->GetHead())
        out << "   Warning:\n"
            << "       Nodal stiffnesses are ignored under the soil model; the soil model gives the nodal "
               "stiffnesses\n";

    if (HasUnsupportedInPlaneLoads())
        out << "   Warning:\n"
            << "       Loads in y or z without support in y or z. Please define appropriate nodal constraints to "
               "remove rigid body motion.\n";

    out << "\n ****** End of Model Check ******\n\n";
}
