// Seeded campaign of random free quadrilateral regions through the mesh
// generator: convex and star-shaped polygons, L- and U-shaped rectilinear
// slabs, thin strips, squares with a round hole (four regions) and
// rectangles with unequal (graded) side counts, 0.1 m to 200 m across.
// Each region is meshed in a child process; the campaign counts regions
// meshed, refused (with the first log line), crashed, and meshes returned as
// success that hold a bad element (a corner of 177 degrees or more, or not
// convex) or whose area differs from the region's.
//
//   mesher_campaign [COUNT [SEED [TOOL]]]      (defaults 1000, 1, in-process)
//
// With TOOL (a tessaro-run program) each region is meshed by that program
// instead, e.g. to compare with another build.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Tessaro_DLL/model/RunDriver.h"
#include "mesh_verdict.h"

namespace fs = std::filesystem;

namespace {

const double kPi = std::acos(-1.0);
using Polygon = std::vector<std::pair<double, double>>;

struct Side {
    int e1, p1, e2, p2, divisions, code;
};

struct Region {
    std::vector<Side> sides;
};

struct Geometry {
    Polygon points;                                  // entity 1
    std::vector<std::pair<double, double>> arcs;     // (start, sweep) of radius `arcRadius` round the origin
    double arcRadius = 0.0;
    int arcPoints = 0;
    std::vector<Region> regions;
    double area = 0.0;    // expected; < 0: not checked
};

int evenDivisions(double length, double spacing)
{
    return 2 * std::max(1, static_cast<int>(std::lround(length / spacing / 2)));
}

double polygonArea(const Polygon& p)
{
    double a = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& [x0, y0] = p[k];
        const auto& [x1, y1] = p[(k + 1) % p.size()];
        a += x0 * y1 - x1 * y0;
    }
    return 0.5 * a;
}

Geometry polygonGeometry(const Polygon& corners, double spacing, std::mt19937& rng, bool graded)
{
    Geometry g;
    g.points = corners;
    g.area = polygonArea(corners);
    Region r;
    std::uniform_int_distribution<int> pick(1, 30);
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const auto& [x0, y0] = corners[k];
        const auto& [x1, y1] = corners[(k + 1) % corners.size()];
        const int n = graded ? 2 * pick(rng) : evenDivisions(std::hypot(x1 - x0, y1 - y0), spacing);
        r.sides.push_back(Side{1, static_cast<int>(k) + 1, 1, static_cast<int>((k + 1) % corners.size()) + 1, n, -2});
    }
    g.regions.push_back(r);
    return g;
}

// A square of half-width `half` with a central hole of radius `radius`,
// cut along the axes into four regions.
Geometry holeGeometry(double half, double radius, double spacing)
{
    Geometry g;
    g.points = {{radius, 0},  {half, 0},      {half, half},   {0, radius}, {0, half},   {-half, half},
                {-radius, 0}, {-half, 0},     {-half, -half}, {0, -radius}, {0, -half}, {half, -half}};
    const int arc = evenDivisions(kPi * radius / 2, spacing);
    g.arcRadius = radius;
    g.arcPoints = arc + 1;
    for (int q = 0; q < 4; ++q) g.arcs.emplace_back(90.0 * q, 90.0);
    const int radial = evenDivisions(half - radius, spacing), edge = evenDivisions(half, spacing);
    for (int q = 0; q < 4; ++q) {
        const int a = 3 * q + 1, b = 3 * q + 2, corner = 3 * q + 3;
        const int na = (3 * (q + 1)) % 12 + 1, nb = (3 * (q + 1) + 1) % 12 + 1;
        Region r;
        r.sides = {{1, a, 1, b, radial, 2},         {1, b, 1, corner, edge, -2}, {1, corner, 1, nb, edge, -2},
                   {1, nb, 1, na, radial, 2},       {q + 2, g.arcPoints, q + 2, 1, arc, -2}};
        g.regions.push_back(r);
    }
    g.area = -1.0;   // the arcs are approximated
    return g;
}

std::string geometryText(const Geometry& g)
{
    std::ostringstream os;
    os.precision(17);
    os << "* TITLE\ncampaign\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n"
       << 1 + g.arcs.size() << "\n* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 " << g.points.size() << "\n";
    for (std::size_t k = 0; k < g.points.size(); ++k) os << k + 1 << " " << g.points[k].first << " " << g.points[k].second << "\n";
    for (std::size_t a = 0; a < g.arcs.size(); ++a)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n" << a + 2 << " 31 " << g.arcPoints << "\n0 0 " << g.arcRadius << " "
           << g.arcRadius << " " << g.arcs[a].first << " " << g.arcs[a].second << "\n";
    os << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n"
       << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n"
       << g.regions.size() << " 0 34 1\n";
    for (std::size_t r = 0; r < g.regions.size(); ++r) {
        const Region& region = g.regions[r];
        os << "*   REGION #, MAX DOF,    INI. SOL.\n" << r + 1 << " 6 1.0 3.0 0.0 6.2857143 0.0 0.0\n"
           << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n0 -10 0.0 0.0 0.0 2 " << 101 + r
           << "\n*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n-31 " << region.sides.size() << " 0 100 100\n";
        for (std::size_t s = 0; s < region.sides.size(); ++s) {
            const Side& side = region.sides[s];
            os << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n" << s + 1 << " 1 " << side.code
               << " 0\n*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n1 1 " << side.divisions + 1
               << " 0 1 " << side.e1 << " " << side.p1 << " " << side.e2 << " " << side.p2 << " 0\n";
        }
    }
    return os.str();
}

// A random region of kind k (0..6) about `size` across.
Geometry randomGeometry(int kind, double size, std::mt19937& rng, std::string& name)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double spacing = size / (6.0 + 40.0 * u(rng));
    Polygon p;
    switch (kind) {
    case 0: {   // convex
        name = "convex";
        const int n = 3 + static_cast<int>(u(rng) * 6);
        std::vector<double> angles;
        for (int k = 0; k < n; ++k) angles.push_back(2 * kPi * u(rng));
        std::sort(angles.begin(), angles.end());
        for (double a : angles) p.emplace_back(0.5 * size * std::cos(a), 0.5 * size * std::sin(a));
        break;
    }
    case 1: {   // star-shaped
        name = "star";
        const int n = 5 + static_cast<int>(u(rng) * 8);
        for (int k = 0; k < n; ++k) {
            const double a = 2 * kPi * (k + 0.3 * u(rng)) / n, r = 0.5 * size * (0.45 + 0.55 * u(rng));
            p.emplace_back(r * std::cos(a), r * std::sin(a));
        }
        break;
    }
    case 2: {   // L-shaped
        name = "L";
        const double w = size, h = size * (0.4 + u(rng)), a = w * (0.2 + 0.6 * u(rng)), b = h * (0.2 + 0.6 * u(rng));
        p = {{0, 0}, {w, 0}, {w, b}, {a, b}, {a, h}, {0, h}};
        break;
    }
    case 3: {   // U-shaped
        name = "U";
        const double w = size, h = size * (0.4 + u(rng)), t = w * (0.1 + 0.25 * u(rng)), b = h * (0.1 + 0.5 * u(rng));
        p = {{0, 0}, {w, 0}, {w, h}, {w - t, h}, {w - t, b}, {t, b}, {t, h}, {0, h}};
        break;
    }
    case 4: {   // thin strip
        name = "thin";
        const double w = size, h = size / (8.0 + 40.0 * u(rng));
        p = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        return polygonGeometry(p, std::min(spacing, h / 2), rng, false);
    }
    case 5:
        name = "hole";
        return holeGeometry(0.5 * size, 0.5 * size * (0.15 + 0.6 * u(rng)), spacing);
    default: {   // graded: unequal side counts
        name = "graded";
        const double w = size, h = size * (0.3 + u(rng));
        p = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        return polygonGeometry(p, spacing, rng, true);
    }
    }
    return polygonGeometry(p, spacing, rng, false);
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> logSize(std::log(0.1), std::log(200.0));
    const fs::path dir = fs::temp_directory_path() / ("mesher-campaign-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path input = dir / "temp.i";
    int meshed = 0, refused = 0, bad = 0, crashed = 0;
    std::map<std::string, int> reasons;
    for (int k = 0; k < count; ++k) {
        std::string name;
        const double size = std::exp(logSize(rng));
        const Geometry g = randomGeometry(k % 7, size, rng, name);
        std::ofstream(input) << geometryText(g);
        const pid_t child = fork();
        if (child == 0) {
            if (argc > 3) {
                if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) _exit(3);
                execl(argv[3], argv[3], input.c_str(), static_cast<char*>(nullptr));
                _exit(4);
            }
            _exit(tessaro::runTessaro(input.string()));
        }
        int status = 0;
        waitpid(child, &status, 0);
        char label[80];
        std::snprintf(label, sizeof label, "region %d (%s, %.3g m)", k + 1, name.c_str(), size);
        if (!WIFEXITED(status)) {
            ++crashed;
            std::printf("%s: crashed\n", label);
            fs::copy_file(input, dir / ("crash-" + std::to_string(k + 1) + ".i"));
            continue;
        }
        if (WEXITSTATUS(status) != 0) {
            ++refused;
            std::ifstream log(dir / "temp.msh");
            std::string line, first;
            while (std::getline(log, line))
                if (line.rfind("Error", 0) == 0) {
                    first = line;
                    break;
                }
            std::printf("%s: refused: %s\n", label, first.c_str());
            const std::size_t cut = first.find_first_of("0123456789");
            ++reasons[first.substr(0, std::min<std::size_t>(cut, 60))];
            fs::copy_file(input, dir / ("refused-" + std::to_string(k + 1) + ".i"));
            continue;
        }
        const Verdict v = checkMesh(dir / "temp.fem", g.area, false);
        if (v.bad) {
            ++bad;
            std::printf("%s: bad mesh: %s\n", label, v.why.c_str());
            fs::copy_file(input, dir / ("bad-" + std::to_string(k + 1) + ".i"));
        } else {
            ++meshed;
        }
    }
    std::printf("\nseed %u: %d regions, %d meshed valid, %d refused (%.2f %%), %d bad, %d crashed\n", seed, count,
                meshed, refused, 100.0 * refused / count, bad, crashed);
    for (const auto& [reason, n] : reasons) std::printf("  %4d  %s\n", n, reason.c_str());
    std::printf("inputs of refused, bad and crashed regions kept in %s\n", dir.c_str());
    return bad + crashed == 0 ? 0 : 1;
}
