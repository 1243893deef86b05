// Seeded campaign of random free quadrilateral regions through the mesh
// generator: convex and star-shaped polygons, L- and U-shaped rectilinear
// slabs, thin strips, squares with a round hole (four regions) and
// rectangles with unequal (graded) side counts, 0.1 m to 200 m across.
// Each region is meshed in a child process; the campaign counts regions
// meshed, refused (with the first log line), crashed, and meshes returned as
// success that hold a bad element (a corner of 177 degrees or more, or not
// convex) or whose area differs from the region's.
//
//   mesher_campaign [--shapes] [COUNT [SEED [TOOL]]]      (defaults 1000, 1, in-process)
//
// With --shapes the regions come from a second generator: thin strips,
// stars, rectilinear slabs, graded side counts, rings and wedges, 1 mm to
// 200 m across; meshes are also rated against the quality the mesher
// keeps (corners below 160 degrees, scaled Jacobian 0.2 or what the
// input's sharpest corner allows).
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

struct Arc {
    double radius, start, sweep;  // round the origin, degrees
    int points;
};

struct Geometry {
    Polygon points;         // entity 1
    std::vector<Arc> arcs;  // entities 2, 3, ...
    std::vector<Region> regions;
    double area = 0.0;             // expected; < 0: not checked
    double sharpestCorner = 90.0;  // the smallest corner of the input, degrees
};

int evenDivisions(double length, double spacing) {
    return 2 * std::max(1, static_cast<int>(std::lround(length / spacing / 2)));
}

double polygonArea(const Polygon& p) {
    double a = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& [x0, y0] = p[k];
        const auto& [x1, y1] = p[(k + 1) % p.size()];
        a += x0 * y1 - x1 * y0;
    }
    return 0.5 * a;
}

// The smallest interior angle of a counter-clockwise polygon, degrees.
double smallestCorner(const Polygon& p) {
    double smallest = 360.0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& [x0, y0] = p[(k + p.size() - 1) % p.size()];
        const auto& [x1, y1] = p[k];
        const auto& [x2, y2] = p[(k + 1) % p.size()];
        const double ux = x2 - x1, uy = y2 - y1, vx = x0 - x1, vy = y0 - y1;
        double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / kPi;
        if (angle < 0.0) angle += 360.0;
        smallest = std::min(smallest, angle);
    }
    return smallest;
}

// One free region over the polygon with the given division count per side.
Geometry dividedPolygon(const Polygon& corners, const std::vector<int>& divisions) {
    Geometry g;
    g.points = corners;
    g.area = polygonArea(corners);
    g.sharpestCorner = smallestCorner(corners);
    Region r;
    for (std::size_t k = 0; k < corners.size(); ++k)
        r.sides.push_back(
            Side{1, static_cast<int>(k) + 1, 1, static_cast<int>((k + 1) % corners.size()) + 1, divisions[k], -2});
    g.regions.push_back(r);
    return g;
}

Geometry polygonGeometry(const Polygon& corners, double spacing, std::mt19937& rng, bool graded) {
    Geometry g;
    g.points = corners;
    g.area = polygonArea(corners);
    g.sharpestCorner = smallestCorner(corners);
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
Geometry holeGeometry(double half, double radius, double spacing) {
    Geometry g;
    g.points = {{radius, 0},  {half, 0},  {half, half},   {0, radius},  {0, half},  {-half, half},
                {-radius, 0}, {-half, 0}, {-half, -half}, {0, -radius}, {0, -half}, {half, -half}};
    const int arc = evenDivisions(kPi * radius / 2, spacing);
    for (int q = 0; q < 4; ++q) g.arcs.push_back(Arc{radius, 90.0 * q, 90.0, arc + 1});
    const int radial = evenDivisions(half - radius, spacing), edge = evenDivisions(half, spacing);
    for (int q = 0; q < 4; ++q) {
        const int a = 3 * q + 1, b = 3 * q + 2, corner = 3 * q + 3;
        const int na = (3 * (q + 1)) % 12 + 1, nb = (3 * (q + 1) + 1) % 12 + 1;
        Region r;
        r.sides = {{1, a, 1, b, radial, 2},
                   {1, b, 1, corner, edge, -2},
                   {1, corner, 1, nb, edge, -2},
                   {1, nb, 1, na, radial, 2},
                   {q + 2, arc + 1, q + 2, 1, arc, -2}};
        g.regions.push_back(r);
    }
    g.area = -1.0;  // the arcs are approximated
    return g;
}

std::string geometryText(const Geometry& g) {
    std::ostringstream os;
    os.precision(17);
    os << "* TITLE\ncampaign\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n"
       << 1 + g.arcs.size() << "\n* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 " << g.points.size() << "\n";
    for (std::size_t k = 0; k < g.points.size(); ++k)
        os << k + 1 << " " << g.points[k].first << " " << g.points[k].second << "\n";
    for (std::size_t a = 0; a < g.arcs.size(); ++a)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n"
           << a + 2 << " 31 " << g.arcs[a].points << "\n0 0 " << g.arcs[a].radius << " " << g.arcs[a].radius << " "
           << g.arcs[a].start << " " << g.arcs[a].sweep << "\n";
    os << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n"
       << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n"
       << g.regions.size() << " 0 34 1\n";
    for (std::size_t r = 0; r < g.regions.size(); ++r) {
        const Region& region = g.regions[r];
        os << "*   REGION #, MAX DOF,    INI. SOL.\n"
           << r + 1 << " 6 1.0 3.0 0.0 6.2857143 0.0 0.0\n"
           << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n0 -10 0.0 0.0 0.0 2 " << 101 + r
           << "\n*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n-31 " << region.sides.size() << " 0 100 100\n";
        for (std::size_t s = 0; s < region.sides.size(); ++s) {
            const Side& side = region.sides[s];
            os << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n"
               << s + 1 << " 1 " << side.code
               << " 0\n*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n1 1 " << side.divisions + 1
               << " 0 1 " << side.e1 << " " << side.p1 << " " << side.e2 << " " << side.p2 << " 0\n";
        }
    }
    return os.str();
}

// A random region of kind k (0..6) about `size` across.
Geometry randomGeometry(int kind, double size, std::mt19937& rng, std::string& name) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double spacing = size / (6.0 + 40.0 * u(rng));
    Polygon p;
    switch (kind) {
        case 0: {  // convex
            name = "convex";
            const int n = 3 + static_cast<int>(u(rng) * 6);
            std::vector<double> angles;
            for (int k = 0; k < n; ++k) angles.push_back(2 * kPi * u(rng));
            std::sort(angles.begin(), angles.end());
            for (double a : angles) p.emplace_back(0.5 * size * std::cos(a), 0.5 * size * std::sin(a));
            break;
        }
        case 1: {  // star-shaped
            name = "star";
            const int n = 5 + static_cast<int>(u(rng) * 8);
            for (int k = 0; k < n; ++k) {
                const double a = 2 * kPi * (k + 0.3 * u(rng)) / n, r = 0.5 * size * (0.45 + 0.55 * u(rng));
                p.emplace_back(r * std::cos(a), r * std::sin(a));
            }
            break;
        }
        case 2: {  // L-shaped
            name = "L";
            const double w = size, h = size * (0.4 + u(rng)), a = w * (0.2 + 0.6 * u(rng)),
                         b = h * (0.2 + 0.6 * u(rng));
            p = {{0, 0}, {w, 0}, {w, b}, {a, b}, {a, h}, {0, h}};
            break;
        }
        case 3: {  // U-shaped
            name = "U";
            const double w = size, h = size * (0.4 + u(rng)), t = w * (0.1 + 0.25 * u(rng)),
                         b = h * (0.1 + 0.5 * u(rng));
            p = {{0, 0}, {w, 0}, {w, h}, {w - t, h}, {w - t, b}, {t, b}, {t, h}, {0, h}};
            break;
        }
        case 4: {  // thin strip
            name = "thin";
            const double w = size, h = size / (8.0 + 40.0 * u(rng));
            p = {{0, 0}, {w, 0}, {w, h}, {0, h}};
            return polygonGeometry(p, std::min(spacing, h / 2), rng, false);
        }
        case 5: name = "hole"; return holeGeometry(0.5 * size, 0.5 * size * (0.15 + 0.6 * u(rng)), spacing);
        default: {  // graded: unequal side counts
            name = "graded";
            const double w = size, h = size * (0.3 + u(rng));
            p = {{0, 0}, {w, 0}, {w, h}, {0, h}};
            return polygonGeometry(p, spacing, rng, true);
        }
    }
    return polygonGeometry(p, spacing, rng, false);
}

// ---- the shapes generator ---------------------------------------------------
//
// Six kinds, `size` across (1 mm to 200 m in the campaign): thin strips with
// coarse or fine long sides, stars, rectilinear slabs, quadrilaterals with
// graded side counts (2 to 200), rings cut into free regions along their
// radii, and wedges with a tip of 1 to 20 degrees.

Polygon rotated(Polygon p, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (auto& [x, y] : p) {
        const double rx = c * x - s * y, ry = s * x + c * y;
        x = rx;
        y = ry;
    }
    return p;
}

std::vector<int> divisionsBySpacing(const Polygon& p, double spacing) {
    std::vector<int> divisions;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const auto& [x0, y0] = p[k];
        const auto& [x1, y1] = p[(k + 1) % p.size()];
        divisions.push_back(evenDivisions(std::hypot(x1 - x0, y1 - y0), spacing));
    }
    return divisions;
}

double logUniform(std::mt19937& rng, double low, double high) {
    return std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(rng));
}

Geometry thinShape(double size, std::mt19937& rng) {
    const double w = size, h = size / logUniform(rng, 10.0, 100.0);
    const Polygon p =
        rotated({{0, 0}, {w, 0}, {w, h}, {0, h}}, 2 * kPi * std::uniform_real_distribution<double>()(rng));
    const int shortSide = std::uniform_int_distribution<int>(1, 2)(rng) * 2;
    return dividedPolygon(p, {evenDivisions(w, h * logUniform(rng, 0.25, 12.5)), shortSide,
                              evenDivisions(w, h * logUniform(rng, 0.25, 12.5)), shortSide});
}

Geometry starShape(double size, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int points = 5 + static_cast<int>(u(rng) * 4);
    const double inner = 0.25 + 0.55 * u(rng);
    Polygon p;
    for (int k = 0; k < 2 * points; ++k) {
        const double a = kPi * (k + 0.3 * (u(rng) - 0.5)) / points;
        const double r = 0.5 * size * (k % 2 == 0 ? 1.0 - 0.2 * u(rng) : inner * (1.0 - 0.2 * u(rng)));
        p.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    return dividedPolygon(p, divisionsBySpacing(p, size / logUniform(rng, 10.0, 80.0)));
}

// Columns of whole units between a stepped bottom and a stepped top, each
// overlapping the next.
Geometry rectilinearShape(double size, std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 3);
    const int columns = 3 + pick(rng);
    std::vector<int> x{0}, bottom, top;
    for (int c = 0; c < columns; ++c) {
        x.push_back(x.back() + 1 + pick(rng));
        int b = pick(rng), t = b + 2 + pick(rng) + pick(rng);
        if (c > 0) {
            b = std::min(b, top[c - 1] - 1);
            t = std::max(t, bottom[c - 1] + 1);
        }
        bottom.push_back(b);
        top.push_back(t);
    }
    const double unit = size / std::max(x.back(), *std::max_element(top.begin(), top.end()));
    Polygon p;
    auto add = [&](int px, int py) {
        const std::pair<double, double> q{px * unit, py * unit};
        if (!p.empty() && p.back() == q) return;
        // A point in line with the two before it replaces the last.
        if (p.size() >= 2) {
            const auto& [ax, ay] = p[p.size() - 2];
            const auto& [bx, by] = p.back();
            if ((bx - ax) * (q.second - by) - (by - ay) * (q.first - bx) == 0.0) p.pop_back();
        }
        p.push_back(q);
    };
    for (int c = 0; c < columns; ++c) {
        add(x[c], bottom[c]);
        add(x[c + 1], bottom[c]);
    }
    for (int c = columns - 1; c >= 0; --c) {
        add(x[c + 1], top[c]);
        add(x[c], top[c]);
    }
    add(x[0], bottom[0]);
    p.pop_back();
    return dividedPolygon(p, divisionsBySpacing(p, unit / std::uniform_int_distribution<int>(1, 4)(rng)));
}

Geometry gradedShape(double size, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double w = size, h = size * (0.3 + 0.7 * u(rng)), lean = 0.2 * size * (u(rng) - 0.5);
    const Polygon p{{0, 0}, {w, 0}, {w + lean, h}, {lean, h}};
    std::vector<int> divisions;
    for (int k = 0; k < 4; ++k) divisions.push_back(2 * static_cast<int>(std::lround(logUniform(rng, 1.0, 100.0))));
    return dividedPolygon(p, divisions);
}

// A ring of radii r1 < r2 cut along its radii into 1 to 4 regions (one
// region: a sector of 30 to 270 degrees), each with its own two arcs.
Geometry ringShape(double size, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double r2 = 0.5 * size, r1 = r2 * (0.15 + 0.7 * u(rng));
    const int count = std::uniform_int_distribution<int>(1, 4)(rng);
    const double total = count == 1 ? 30.0 + 240.0 * u(rng) : 360.0, first = 360.0 * u(rng);
    const double spacing = size / logUniform(rng, 8.0, 60.0);
    const int radial = evenDivisions(r2 - r1, spacing);
    Geometry g;
    const int cuts = count == 1 ? 2 : count;
    for (int c = 0; c < cuts; ++c) {
        const double a = (first + total * c / count) * kPi / 180.0;
        g.points.emplace_back(r1 * std::cos(a), r1 * std::sin(a));
        g.points.emplace_back(r2 * std::cos(a), r2 * std::sin(a));
    }
    for (int c = 0; c < count; ++c) {
        const double start = first + total * c / count, sweep = total / count;
        const int inner = evenDivisions(r1 * sweep * kPi / 180.0, spacing);
        const int outer = evenDivisions(r2 * sweep * kPi / 180.0, spacing);
        g.arcs.push_back(Arc{r1, start, sweep, inner + 1});
        g.arcs.push_back(Arc{r2, start, sweep, outer + 1});
        const int innerArc = 2 + 2 * c, outerArc = 3 + 2 * c;
        const int a1 = 2 * c + 1, a2 = 2 * c + 2, b1 = (2 * c + 2) % (2 * cuts) + 1, b2 = b1 + 1;
        const int shared = count == 1 ? -2 : 2;
        Region r;
        r.sides = {{1, a1, 1, a2, radial, c == 0 ? shared : 2},
                   {outerArc, 1, outerArc, outer + 1, outer, -2},
                   {1, b2, 1, b1, radial, c == count - 1 ? shared : 2},
                   {innerArc, inner + 1, innerArc, 1, inner, -2}};
        g.regions.push_back(r);
    }
    g.area = -1.0;  // the arcs are approximated
    return g;
}

Geometry wedgeShape(double size, std::mt19937& rng) {
    const double tip = logUniform(rng, 1.0, 20.0) * kPi / 180.0;
    Polygon p = std::uniform_int_distribution<int>(0, 1)(rng) == 0
                    ? Polygon{{0, 0}, {size, 0}, {size, size * std::tan(tip)}}
                    : Polygon{{0, 0}, {size, 0}, {size * std::cos(tip), size * std::sin(tip)}};
    p = rotated(p, 2 * kPi * std::uniform_real_distribution<double>()(rng));
    return dividedPolygon(p, divisionsBySpacing(p, size / logUniform(rng, 10.0, 400.0)));
}

Geometry shapeGeometry(int kind, double size, std::mt19937& rng, std::string& name) {
    switch (kind) {
        case 0: name = "thin"; return thinShape(size, rng);
        case 1: name = "star"; return starShape(size, rng);
        case 2: name = "rectilinear"; return rectilinearShape(size, rng);
        case 3: name = "graded"; return gradedShape(size, rng);
        case 4: name = "ring"; return ringShape(size, rng);
        default: name = "wedge"; return wedgeShape(size, rng);
    }
}

// Within the quality the mesher keeps: every corner below 160 degrees and a
// scaled Jacobian of at least 0.2, or, where the input has a sharper corner
// itself, as much as that corner allows.
bool withinQuality(const Verdict& v, double sharpestCorner) {
    const double sharp = std::min(sharpestCorner, 90.0);
    return v.largestCorner < std::max(160.0, 180.0 - sharp) &&
           v.smallestJacobian >= std::min(0.2, 0.999 * std::sin(sharp * kPi / 180.0));
}

}  // namespace

int main(int argc, char** argv) {
    const bool shapes = argc > 1 && std::string(argv[1]) == "--shapes";
    if (shapes) {
        --argc;
        ++argv;
    }
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> logSize(std::log(0.1), std::log(200.0));
    const fs::path dir = fs::temp_directory_path() / ("mesher-campaign-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path input = dir / "temp.i";
    int meshed = 0, refused = 0, bad = 0, crashed = 0, poor = 0;
    std::map<std::string, int> reasons;
    std::vector<double> jacobians;
    for (int k = 0; k < count; ++k) {
        std::string name;
        const double size = shapes ? logUniform(rng, 0.001, 200.0) : std::exp(logSize(rng));
        const Geometry g = shapes ? shapeGeometry(k % 6, size, rng, name) : randomGeometry(k % 7, size, rng, name);
        std::ofstream(input) << geometryText(g);
        std::fflush(stdout);  // or the child's freopen writes the parent's buffered lines again
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
            continue;
        }
        ++meshed;
        jacobians.push_back(v.smallestJacobian);
        if (!withinQuality(v, g.sharpestCorner)) {
            ++poor;
            std::printf("%s: below quality: largest corner %.1f, scaled Jacobian %.3f, input corner %.1f\n", label,
                        v.largestCorner, v.smallestJacobian, g.sharpestCorner);
            fs::copy_file(input, dir / ("poor-" + std::to_string(k + 1) + ".i"));
        }
    }
    std::printf("\nseed %u: %d regions, %d meshed valid, %d refused (%.2f %%), %d bad, %d crashed\n", seed, count,
                meshed, refused, 100.0 * refused / count, bad, crashed);
    if (!jacobians.empty()) {
        std::sort(jacobians.begin(), jacobians.end());
        std::printf(
            "meshed: %d below quality (a corner of 160 degrees or more, or a scaled Jacobian below 0.2 where "
            "the input's corners allow more); median smallest scaled Jacobian %.3f\n",
            poor, jacobians[jacobians.size() / 2]);
    }
    for (const auto& [reason, n] : reasons) std::printf("  %4d  %s\n", n, reason.c_str());
    std::printf("inputs of refused, bad, crashed and below-quality regions kept in %s\n", dir.c_str());
    return bad + crashed == 0 ? 0 : 1;
}
