// Verdict on a mesh the mesh generator wrote (temp.fem, binary or text, read
// by the model's mesh file reader): bad when the file cannot be read, when an
// element has a corner of 177 degrees or more or is not convex, or when the
// mesh's area differs from the expected one (checked when above 0). Shared
// by the campaign and the template sweep.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/MeshImport.h"

namespace {

struct Verdict {
    bool bad = false;
    std::string why;
    double smallestJacobian = 1.0;  // the smallest corner scaled Jacobian (sine of the corner)
    double largestCorner = 0.0;     // degrees
};

Verdict checkMesh(const std::filesystem::path& path, double expectedArea, bool binary) {
    const double pi = std::acos(-1.0);
    MeshFileContents mesh;
    if (!ReadMeshFile(path.string(), binary, mesh)) return {true, "unreadable mesh"};
    const long nodes = static_cast<long>(mesh.nodeNumbers.size());
    std::vector<double> x(nodes + 1), y(nodes + 1);
    for (long k = 0; k < nodes; ++k) {
        const long id = mesh.nodeNumbers[k];
        if (id < 1 || id > nodes) return {true, "unreadable mesh"};
        x[id] = mesh.x[k];
        y[id] = mesh.y[k];
    }
    double area = 0.0;
    Verdict verdict;
    for (std::size_t e = 0; e < mesh.elementNodes.size(); ++e) {
        const long number = mesh.elementNumbers[e];
        const std::vector<int>& c = mesh.elementNodes[e];  // corners first
        for (int k = 0; k < 4; ++k) {
            const long p = c[k], q = c[(k + 1) % 4], r = c[(k + 3) % 4];
            const double ux = x[q] - x[p], uy = y[q] - y[p], vx = x[r] - x[p], vy = y[r] - y[p];
            double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / pi;
            if (angle < 0.0) angle += 360.0;
            verdict.largestCorner = std::max(verdict.largestCorner, angle);
            verdict.smallestJacobian = std::min(verdict.smallestJacobian, std::sin(angle * pi / 180.0));
            if (!(angle < 177.0) || !(angle > 0.0)) {
                char text[120];
                std::snprintf(text, sizeof text, "element %ld corner %d angle %.2f", number, k + 1, angle);
                return {true, text};
            }
            area += 0.5 * (x[p] * y[q] - x[q] * y[p]);
        }
    }
    if (expectedArea > 0.0 && std::fabs(area - expectedArea) > 1e-6 * expectedArea) {
        char text[120];
        std::snprintf(text, sizeof text, "area %.9g instead of %.9g", area, expectedArea);
        return {true, text};
    }
    return verdict;
}

}  // namespace
