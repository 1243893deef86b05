// The check of the model before an analysis: nonlinear spring profiles and
// the nonlinear nodal stiffness groups, written to a new message file.
// Warnings are only written; errors also raise the caller's flag.

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <fstream>
#include <limits>

#include "model/Interpolation.h"
#include "model/ModelData.h"

namespace {

std::string Sci3(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3e", v);
    return buffer;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Gauss positions of the 2- and 3-point rules.
constexpr double kGauss2[2] = {-0.577350269189625764509, 0.577350269189625764509};
constexpr double kGauss3[3] = {-0.774596669241483377036, 0.0, 0.774596669241483377036};

// Why an element with in-plane corner coordinates y, z (nodes in the order
// of the element row, `kind` nodes) cannot be integrated; "" when it can.
std::string ElementGeometryFault(int kind, const double* y, const double* z, const int* ids) {
    // Corners that run clockwise (or enclose nothing) turn every angle.
    const double area2 = (y[0] - y[2]) * (z[1] - z[3]) - (y[1] - y[3]) * (z[0] - z[2]);
    if (!(area2 > 0.0)) return "zero or negative area (corners clockwise or on one line)";
    for (int i = 0; i < 4; ++i) {
        const int h = (i + 3) % 4, j = (i + 1) % 4;
        const double ay = y[i] - y[h], az = z[i] - z[h];
        const double by = y[j] - y[i], bz = z[j] - z[i];
        const double cross = ay * bz - az * by;
        const double scale = std::hypot(ay, az) * std::hypot(by, bz);
        // A turn to the right is an inner angle of more than 180 degrees;
        // no turn at all (three corners on a line) is refused for the
        // 4-node element, whose sides are straight. Mid-side nodes can
        // shape an element around a straight corner: the Jacobian at the
        // integration points decides.
        const double tolerance = 1e-10 * scale;
        if (kind == 4 ? !(cross > tolerance) : !(cross >= -tolerance))
            return "corner angle of 180 degrees or more at node " + std::to_string(ids[i]);
    }
    double dxi[9], deta[9];
    for (const auto& rule : {std::span<const double>(kGauss2), std::span<const double>(kGauss3)})
        for (double xi : rule)
            for (double eta : rule) {
                ShapeFunctionsDXi(xi, eta, kind, dxi);
                ShapeFunctionsDEta(xi, eta, kind, deta);
                double yx = 0, ye = 0, zx = 0, ze = 0;
                for (int a = 0; a < kind; ++a) {
                    yx += dxi[a] * y[a];
                    zx += dxi[a] * z[a];
                    ye += deta[a] * y[a];
                    ze += deta[a] * z[a];
                }
                if (!(yx * ze - ye * zx > 0.0))
                    return "Jacobian not positive at an integration point (zero or negative area)";
            }
    return {};
}

}  // namespace

void ModelData::CheckElementGeometry(std::ostream& out, bool& error) const {
    const ElementTable* elements = GetElementTable();
    const NodeTable* nodes = GetNodeTable();
    if (!elements || !nodes) return;
    const int perElement = elements->GetNodesPerElement();
    const int kind = perElement == 4 || perElement == 8 ? perElement : 9;
    for (int i = 0; i < elements->GetCount(); ++i) {
        double y[9] = {}, z[9] = {};
        int ids[9] = {};
        bool complete = true;
        for (int a = 0; a < kind && complete; ++a) {
            ids[a] = elements->GetNodeNumber(i, a);
            const int row = NodeRowOfNumber(ids[a]);
            complete = row >= 0;
            if (complete) {
                y[a] = nodes->GetY(row);
                z[a] = -nodes->GetZ(row);  // the plate frame is (y, -z)
            }
        }
        // (An element naming a missing node is another check's finding.)
        if (!complete) continue;
        const std::string fault = ElementGeometryFault(kind, y, z, ids);
        if (fault.empty()) continue;
        out << "    Error:\n"
            << "      Element " << elements->GetId(i) << ": " << fault << '\n';
        error = true;
    }
}

void ModelData::CheckCoordinateRange(std::ostream& out, bool& error) const {
    const NodeTable* nodes = GetNodeTable();
    for (int i = 0; nodes && i < nodes->GetCount(); ++i) {
        const double c[3] = {nodes->GetX(i), nodes->GetY(i), nodes->GetZ(i)};
        for (double v : c)
            if (!(std::fabs(v) <= kMaxCoordinate)) {
                out << "    Error:\n"
                    << "      Node " << nodes->GetNodeId(i) << ": coordinate " << Sci3(v)
                    << " beyond the range -1e+07 to 1e+07\n";
                error = true;
                break;
            }
    }
}

double ModelData::TimeIncrementCount() const { return TimeIncrementCount(initialIncrement, initialTime, finalTime); }

double ModelData::TimeIncrementCount(double increment, double start, double end) {
    if (!(increment > 0.0)) return std::numeric_limits<double>::infinity();
    const double span = end - start;
    if (!(span > 0.0)) return 1.0;
    return std::max(1.0, std::ceil(span / increment - 1e-9));
}

std::string ModelData::NoTimeStepText(double increment, double start, double end) {
    if (!(increment > 0.0)) return {};
    const double first = start + increment;
    if (first <= end || std::fabs(first - end) <= 1e-9 * increment) return {};
    char text[200];
    std::snprintf(text, sizeof text,
                  "The time stepping makes no step: the initial analysis time %g plus the initial time increment %g "
                  "lies beyond the final analysis time %g.",
                  start, increment, end);
    return text;
}

void ModelData::CheckTimeStepping(std::ostream& out, bool& error) const {
    if (const std::string none = NoTimeStepText(initialIncrement, initialTime, finalTime); !none.empty()) {
        out << "    Error:\n"
            << "      " << none
            << " Please make the final analysis time at least the initial analysis time plus the increment.\n";
        error = true;
        return;
    }
    const double count = TimeIncrementCount();
    if (count <= kMaxTimeIncrements) return;
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", count);
    out << "    Error:\n"
        << "      The time stepping takes " << (std::isfinite(count) ? text : "endless") << " increments; at most "
        << static_cast<long>(kMaxTimeIncrements)
        << " are allowed. Please enlarge the time increment or shorten the analysis time.\n";
    error = true;
}

void ModelData::CheckModel(const std::string& path, bool& error) {
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

    CheckCoordinateRange(out, error);
    CheckElementGeometry(out, error);
    CheckTimeStepping(out, error);
    CheckInPlaneSupport(out, error);
    if (CheckTargets(out)) error = true;
    if (CheckItems(out)) error = true;

    // Under a soil model the solver derives the nodal soil stiffnesses and
    // the solver input carries no nodal stiffness rows.
    const NodalActionTable* nodalStiffness = GetNodalActionTable(3);
    if ((soilModel == 1 || soilModel == 2) && nodalStiffness && nodalStiffness->GetHead())
        out << "   Warning:\n"
            << "       Nodal stiffnesses are ignored under the soil model; the soil model gives the nodal "
               "stiffnesses\n";


    out << "\n ****** End of Model Check ******\n\n";
}
