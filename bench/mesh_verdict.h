// Verdict on a mesh the mesh generator wrote (temp.fem): bad when an
// element has a corner of 177 degrees or more or is not convex, or when the
// mesh's area differs from the expected one (checked when above 0). Shared
// by the campaign and the template sweep.
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Verdict {
    bool bad = false;
    std::string why;
};

Verdict checkMesh(const std::filesystem::path& path, double expectedArea)
{
    std::ifstream in(path);
    const double pi = std::acos(-1.0);
    long nodes = 0, elements = 0, npe = 0;
    in >> nodes >> elements >> npe;
    std::vector<double> x(nodes + 1), y(nodes + 1);
    for (long k = 0; k < nodes; ++k) {
        long id = 0;
        in >> id;
        in >> x[id] >> y[id];
    }
    double area = 0.0;
    for (long e = 0; e < elements; ++e) {
        long number = 0, group = 0, obj = 0, count = 0;
        in >> number >> group >> obj >> count;
        std::vector<long> c(count);
        for (long& n : c) in >> n;
        if (!in || count != 4) return {true, "unreadable mesh"};
        for (int k = 0; k < 4; ++k) {
            const long p = c[k], q = c[(k + 1) % 4], r = c[(k + 3) % 4];
            const double ux = x[q] - x[p], uy = y[q] - y[p], vx = x[r] - x[p], vy = y[r] - y[p];
            double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / pi;
            if (angle < 0.0) angle += 360.0;
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
    return {};
}

}  // namespace
