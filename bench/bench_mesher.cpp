// Benchmark of the mesh generator on free regions, one core:
// - triangles: a 20 m square with a central hole of radius 5 m, cut into
//   four free regions along the axes, boundary spacing 0.25 m;
// - quadrilaterals: the same square as -31 regions, and the octagonal
//   foundation (L1 21, L2 17, D 14; mapped regions with free pedestal
//   quarters and chamfer triangles) at element sizes 1 m and 0.25 m;
// - single free quadrilateral regions: a regular octagon and a circle of
//   radius 10 m at spacings 1 m and 0.25 m, an L-slab and a thin L strip.
// Prints per case the meshing time and the element count; for triangles the
// smallest angle, for quadrilaterals the smallest and mean scaled Jacobian
// (per element the smallest cross product of the unit edge vectors at a
// corner) and the number of elements below 0.3, over the whole mesh and
// over the free regions alone; for quadrilateral regions also the
// triangles left before the final split and the share of interior nodes
// held by four elements, and of the final mesh the largest corner angle and
// the share of interior corner nodes held by four elements. Targets for
// quadrilaterals: at most 0.3 s per 5,000 elements, none inverted, smallest
// scaled Jacobian 0.5, largest corner below 160 degrees, irregular interior
// nodes below 7 %.
// Last, the growth of the time with the mesh (a finer and finer octagon);
// `bench_mesher growth` runs that part alone, `bench_mesher standard` the
// rest.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "Tessaro_DLL/model/RunDriver.h"
#include "Tessaro_DLL/quad/QuadConversion.h"

namespace fs = std::filesystem;

namespace {

const double kPi = 4.0 * std::atan(1.0);

void segmentLine(std::ostream& os, int n, int e1, int p1, int e2, int p2) {
    os << "*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n"
       << "1 1 " << n + 1 << " 0 1 " << e1 << " " << p1 << " " << e2 << " " << p2 << " 0\n";
}

void sideHeader(std::ostream& os, int number, int code) {
    os << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n" << number << " 1 " << code << " 0\n";
}

void regionHeader(std::ostream& os, int number, int obj, int scheme, int sides, int imax, int jmax) {
    os << "*   REGION #, MAX DOF,    INI. SOL.\n"
       << number << " 6 1.0 3.0 0.0 6.2857143 0.0 0.0\n"
       << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n0 -10 0.0 0.0 0.0 2 " << obj
       << "\n*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n"
       << scheme << " " << sides << " 0 " << imax << " " << jmax << "\n";
}

void tail(std::ostream& os, int regions, int shape) {
    os << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n";
    os << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n"
       << regions << " 0 34 " << shape << "\n";
}

// The square with a hole: quadrant q (0..3) turned by q * 90 degrees, from
// the hole along the axis to the outer edge, round the square's corner,
// back along the next axis and along the hole's arc (entity q + 2).
std::string squareWithHole(int scheme) {
    const double half = 10.0, radius = 5.0, spacing = 0.25;
    // Quadrilateral regions halve their boundary: every side gets an even
    // number of segments there.
    const int step = scheme == -31 ? 2 : 1;
    auto divisions = [&](double length) {
        return step * std::max(1, static_cast<int>(std::lround(length / spacing / step)));
    };
    std::ostringstream os;
    os.precision(17);
    os << "* TITLE\nbench\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n5\n";
    const double pts[12][2] = {{radius, 0},  {half, 0},  {half, half},   {0, radius},  {0, half},  {-half, half},
                               {-radius, 0}, {-half, 0}, {-half, -half}, {0, -radius}, {0, -half}, {half, -half}};
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 12\n";
    for (int k = 0; k < 12; ++k) os << k + 1 << " " << pts[k][0] << " " << pts[k][1] << "\n";
    const int arcPoints = 9;
    for (int q = 0; q < 4; ++q)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n"
           << q + 2 << " 31 " << arcPoints << "\n0 0 " << radius << " " << radius << " " << 90 * q << " 90\n";
    tail(os, 4, scheme == -31 ? 1 : 0);
    const int radial = divisions(half - radius), edge = divisions(half), arc = divisions(kPi * radius / 2);
    for (int q = 0; q < 4; ++q) {
        const int a = 3 * q + 1, b = 3 * q + 2, corner = 3 * q + 3;
        const int na = (3 * (q + 1)) % 12 + 1, nb = (3 * (q + 1) + 1) % 12 + 1;
        regionHeader(os, q + 1, 101 + q, scheme, 5, 100, 100);
        const int sides[5][6] = {{2, radial, 1, a, 1, b},
                                 {-2, edge, 1, b, 1, corner},
                                 {-2, edge, 1, corner, 1, nb},
                                 {2, radial, 1, nb, 1, na},
                                 {-2, arc, q + 2, arcPoints, q + 2, 1}};
        for (int s = 0; s < 5; ++s) {
            sideHeader(os, s + 1, sides[s][0]);
            segmentLine(os, sides[s][1], sides[s][2], sides[s][3], sides[s][4], sides[s][5]);
        }
    }
    return os.str();
}

// Even-up rule of the template writer: the integer part, odd made even.
int evenUp(double x) {
    int n = static_cast<int>(x);
    return n % 2 == 1 ? n + 1 : n;
}

// The octagonal foundation as the program's template writer describes it
// (kind 1): 41 points, 8 pedestal arcs, 36 regions.
std::string octagonFoundation(double L1, double L2, double D, double s) {
    const double m = D / 2, h = L1 / 2 + L2, l = L1 / 2, t = (L1 + L2) / 2, q = m * std::cos(kPi / 4);
    const int a = evenUp((static_cast<int>(kPi * D / 8 / s) + static_cast<int>(L1 / 2 / s)) / 2);
    const int b = evenUp(0.5 * L2 / s);
    const int c = evenUp(
        0.8 * ((static_cast<int>(std::sqrt(2.0) * L2 / s) + static_cast<int>(std::sqrt(2.0) * 0.5 * L2 / s)) / 2));
    const int d = std::max(
        2, evenUp((static_cast<int>((L1 / 2 - m) / s) + static_cast<int>((std::sqrt(2.0) * L1 / 2 - m) / s)) / 2.0));
    const int e = evenUp(m / s);
    const double points[41][2] = {{-h, 0}, {-h, -l}, {-l, -h}, {0, -h},  {l, -h},  {h, -l}, {h, 0},  {h, l}, {l, h},
                                  {0, h},  {-l, h},  {-h, l},  {-l, 0},  {-l, -l}, {0, -l}, {l, -l}, {l, 0}, {l, l},
                                  {0, l},  {-l, l},  {-m, 0},  {-q, -q}, {0, -m},  {q, -q}, {m, 0},  {q, q}, {0, m},
                                  {-q, q}, {-t, 0},  {-t, -l}, {-l, -t}, {0, -t},  {l, -t}, {t, -l}, {t, 0}, {t, l},
                                  {l, t},  {0, t},   {-l, t},  {-t, l},  {0, 0}};
    std::ostringstream os;
    os.precision(12);
    os << "* TITLE\nbench\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n9\n";
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 41\n";
    for (int k = 0; k < 41; ++k) os << k + 1 << " " << points[k][0] << " " << points[k][1] << "\n";
    for (int k = 0; k < 8; ++k)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n"
           << k + 2 << " 31 " << a + 1 << "\n0 0 " << m << " " << m << " " << 45 * k << " 45\n";
    tail(os, 36, 1);
    // Per region: free or mapped, then sides as (first point, second point,
    // divisions) or (-arc entity, 0, divisions), then the codes.
    struct Side {
        int p1, p2, n;
    };
    struct Region {
        bool free;
        std::vector<Side> sides;
        std::vector<int> codes;
    };
    auto arc = [&](int entity) { return Side{-entity, 0, a}; };
    const std::vector<Region> regions = {
        {true, {{27, 41, e}, {41, 25, e}, arc(2), arc(3)}, {2, 2, 2, 2}},
        {true, {{21, 41, e}, {41, 27, e}, arc(4), arc(5)}, {2, 2, 2, 2}},
        {true, {{23, 41, e}, {41, 21, e}, arc(6), arc(7)}, {2, 2, 2, 2}},
        {true, {{25, 41, e}, {41, 23, e}, arc(8), arc(9)}, {2, 2, 2, 2}},
        {false, {{17, 25, d}, {18, 26, d}, {17, 18, a}, arc(2)}, {2, 2, 2, 2}},
        {false, {{18, 26, d}, {19, 27, d}, {18, 19, a}, arc(3)}, {2, 2, 2, 2}},
        {false, {{19, 27, d}, {20, 28, d}, {19, 20, a}, arc(4)}, {2, 2, 2, 2}},
        {false, {{20, 28, d}, {13, 21, d}, {20, 13, a}, arc(5)}, {2, 2, 2, 2}},
        {false, {{13, 21, d}, {14, 22, d}, {13, 14, a}, arc(6)}, {2, 2, 2, 2}},
        {false, {{14, 22, d}, {15, 23, d}, {14, 15, a}, arc(7)}, {2, 2, 2, 2}},
        {false, {{15, 23, d}, {16, 24, d}, {15, 16, a}, arc(8)}, {2, 2, 2, 2}},
        {false, {{16, 24, d}, {17, 25, d}, {16, 17, a}, arc(9)}, {2, 2, 2, 2}},
        {false, {{14, 30, b}, {13, 29, b}, {14, 13, a}, {30, 29, a}}, {2, 2, 2, 2}},
        {false, {{13, 29, b}, {20, 40, b}, {13, 20, a}, {29, 40, a}}, {2, 2, 2, 2}},
        {false, {{15, 32, b}, {14, 31, b}, {15, 14, a}, {32, 31, a}}, {2, 2, 2, 2}},
        {false, {{16, 33, b}, {15, 32, b}, {16, 15, a}, {33, 32, a}}, {2, 2, 2, 2}},
        {false, {{17, 35, b}, {16, 34, b}, {17, 16, a}, {35, 34, a}}, {2, 2, 2, 2}},
        {false, {{18, 36, b}, {17, 35, b}, {18, 17, a}, {36, 35, a}}, {2, 2, 2, 2}},
        {false, {{19, 38, b}, {18, 37, b}, {19, 18, a}, {38, 37, a}}, {2, 2, 2, 2}},
        {false, {{20, 39, b}, {19, 38, b}, {20, 19, a}, {39, 38, a}}, {2, 2, 2, 2}},
        {true, {{40, 20, b}, {20, 39, b}, {39, 40, c}}, {2, 2, 2}},
        {true, {{31, 14, b}, {14, 30, b}, {30, 31, c}}, {2, 2, 2}},
        {true, {{34, 16, b}, {16, 33, b}, {33, 34, c}}, {2, 2, 2}},
        {true, {{37, 18, b}, {18, 36, b}, {36, 37, c}}, {2, 2, 2}},
        {false, {{30, 2, b}, {29, 1, b}, {30, 29, a}, {2, 1, a}}, {2, 2, 2, -2}},
        {false, {{29, 1, b}, {40, 12, b}, {29, 40, a}, {1, 12, a}}, {2, 2, 2, -2}},
        {false, {{32, 4, b}, {31, 3, b}, {32, 31, a}, {4, 3, a}}, {2, 2, 2, -2}},
        {false, {{33, 5, b}, {32, 4, b}, {33, 32, a}, {5, 4, a}}, {2, 2, 2, -2}},
        {false, {{35, 7, b}, {34, 6, b}, {35, 34, a}, {7, 6, a}}, {2, 2, 2, -2}},
        {false, {{36, 8, b}, {35, 7, b}, {36, 35, a}, {8, 7, a}}, {2, 2, 2, -2}},
        {false, {{38, 10, b}, {37, 9, b}, {38, 37, a}, {10, 9, a}}, {2, 2, 2, -2}},
        {false, {{39, 11, b}, {38, 10, b}, {39, 38, a}, {11, 10, a}}, {2, 2, 2, -2}},
        {false, {{40, 12, b}, {39, 11, b}, {40, 39, c}, {12, 11, c}}, {2, 2, 2, -2}},
        {false, {{31, 3, b}, {30, 2, b}, {31, 30, c}, {3, 2, c}}, {2, 2, 2, -2}},
        {false, {{34, 6, b}, {33, 5, b}, {34, 33, c}, {6, 5, c}}, {2, 2, 2, -2}},
        {false, {{37, 9, b}, {36, 8, b}, {37, 36, c}, {9, 8, c}}, {2, 2, 2, -2}},
    };
    for (std::size_t r = 0; r < regions.size(); ++r) {
        const Region& region = regions[r];
        const int sides = static_cast<int>(region.sides.size());
        const int imax = region.free ? 100 : region.sides[2].n + 1, jmax = region.free ? 100 : region.sides[0].n + 1;
        regionHeader(os, static_cast<int>(r) + 1, 101 + static_cast<int>(r), region.free ? -31 : 11, sides, imax, jmax);
        for (int k = 0; k < sides; ++k) {
            const Side& side = region.sides[k];
            sideHeader(os, k + 1, region.codes[k]);
            if (side.p1 < 0)
                segmentLine(os, side.n, -side.p1, 1, -side.p1, side.n + 1);
            else
                segmentLine(os, side.n, 1, side.p1, 1, side.p2);
        }
    }
    return os.str();
}

// One free quadrilateral region over a polygon (counter-clockwise), every
// side divided into an even number of segments about `spacing` long.
std::string freePolygon(const std::vector<std::pair<double, double>>& corners, double spacing) {
    std::ostringstream os;
    os.precision(17);
    const int n = static_cast<int>(corners.size());
    os << "* TITLE\nbench\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n1\n";
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 " << n << "\n";
    for (int k = 0; k < n; ++k) os << k + 1 << " " << corners[k].first << " " << corners[k].second << "\n";
    tail(os, 1, 1);
    regionHeader(os, 1, 101, -31, n, 100, 100);
    for (int k = 0; k < n; ++k) {
        const auto [x0, y0] = corners[k];
        const auto [x1, y1] = corners[(k + 1) % n];
        const int divisions =
            2 * std::max(1, static_cast<int>(std::lround(std::hypot(x1 - x0, y1 - y0) / spacing / 2)));
        sideHeader(os, k + 1, -2);
        segmentLine(os, divisions, 1, k + 1, 1, (k + 1) % n + 1);
    }
    return os.str();
}

// Corners at the angles turn + k 2 pi / sides.
std::string regularPolygon(int sides, double radius, double spacing, double turn = 0.0) {
    std::vector<std::pair<double, double>> corners;
    for (int k = 0; k < sides; ++k) {
        const double angle = turn + 2 * kPi * k / sides;
        corners.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    return freePolygon(corners, spacing);
}

// One free quadrilateral region over a circle of four quarter arcs.
std::string freeCircle(double radius, double spacing) {
    const int divisions = 2 * std::max(1, static_cast<int>(std::lround(kPi * radius / 2 / spacing / 2)));
    std::ostringstream os;
    os.precision(17);
    os << "* TITLE\nbench\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n5\n";
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 4\n";
    for (int k = 0; k < 4; ++k)
        os << k + 1 << " " << radius * std::cos(kPi / 2 * k) << " " << radius * std::sin(kPi / 2 * k) << "\n";
    for (int q = 0; q < 4; ++q)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n"
           << q + 2 << " 31 " << divisions + 1 << "\n0 0 " << radius << " " << radius << " " << 90 * q << " 90\n";
    tail(os, 1, 1);
    regionHeader(os, 1, 101, -31, 4, 100, 100);
    for (int q = 0; q < 4; ++q) {
        sideHeader(os, q + 1, -2);
        segmentLine(os, divisions, q + 2, 1, q + 2, divisions + 1);
    }
    return os.str();
}

struct Quality {
    long elements = 0;
    double smallest = 1e30, sum = 0.0;
    long below = 0, inverted = 0;

    void add(double value) {
        ++elements;
        smallest = std::min(smallest, value);
        sum += value;
        if (value < 0.3) ++below;
        if (value <= 0.0) ++inverted;
    }
};

struct MeshFigures {
    long elements = 0;
    double smallestAngle = 180.0;                  // triangles
    double largestCorner = 0.0;                    // quadrilaterals, degrees
    long interiorNodes = 0, fourElementNodes = 0;  // corner nodes of the final mesh
    Quality all, free;
};

MeshFigures readMesh(const fs::path& path, const std::set<long>& freeObjects) {
    std::ifstream in(path);
    MeshFigures f;
    long nodes = 0, elements = 0;
    int npe = 0;
    in >> nodes >> elements >> npe;
    std::vector<double> x(nodes + 1), y(nodes + 1);
    for (long k = 0; k < nodes; ++k) {
        long id = 0;
        in >> id;
        in >> x[id] >> y[id];
    }
    std::vector<std::vector<long>> cornerLists;
    std::vector<long> elementsAt(nodes + 1, 0);
    std::vector<char> onBoundary(nodes + 1, 0);
    for (long e = 0; e < elements; ++e) {
        long number = 0, group = 0, obj = 0, count = 0;
        in >> number >> group >> obj >> count;
        std::vector<long> c(count);
        for (long& n : c) in >> n;
        // The text form interleaves corners and mid-side nodes.
        if (count == 8) c = {c[0], c[2], c[4], c[6]};
        if (count == 6) c = {c[0], c[2], c[4]};
        cornerLists.push_back(c);
        if (count < 3) continue;
        ++f.elements;
        const int corners = static_cast<int>(c.size());
        for (long n : c) ++elementsAt[n];
        double jacobian = 1e30;
        for (int k = 0; k < corners; ++k) {
            const long p = c[k], q = c[(k + 1) % corners], r = c[(k + corners - 1) % corners];
            const double ux = x[q] - x[p], uy = y[q] - y[p], vx = x[r] - x[p], vy = y[r] - y[p];
            const double cross = ux * vy - uy * vx;
            double angle = std::atan2(cross, ux * vx + uy * vy) * 180.0 / kPi;
            if (angle < 0.0) angle += 360.0;
            if (corners == 3) f.smallestAngle = std::min(f.smallestAngle, angle);
            if (corners == 4) f.largestCorner = std::max(f.largestCorner, angle);
            jacobian = std::min(jacobian, cross / (std::hypot(ux, uy) * std::hypot(vx, vy)));
        }
        if (corners == 4) {
            f.all.add(jacobian);
            if (freeObjects.count(obj)) f.free.add(jacobian);
        }
    }
    // Side records: a side with a negative code lies on the boundary.
    for (long e = 0; e < elements && in; ++e) {
        long number = 0, four = 0, code[4] = {};
        in >> number >> four >> code[0] >> code[1] >> code[2] >> code[3];
        const std::vector<long>& c = cornerLists[e];
        for (int k = 0; k < static_cast<int>(c.size()); ++k)
            if (code[k] < 0) onBoundary[c[k]] = onBoundary[c[(k + 1) % c.size()]] = 1;
    }
    for (long n = 1; n <= nodes; ++n) {
        if (onBoundary[n] || elementsAt[n] == 0) continue;
        ++f.interiorNodes;
        if (elementsAt[n] == 4) ++f.fourElementNodes;
    }
    return f;
}

void printQuality(const char* label, const Quality& q) {
    if (q.elements == 0) return;
    std::printf("  %-5s %7ld quadrilaterals, scaled Jacobian min %.3f mean %.3f, below 0.3: %ld, inverted: %ld\n",
                label, q.elements, q.smallest, q.sum / q.elements, q.below, q.inverted);
}

fs::path workFolder() {
    const fs::path dir = fs::temp_directory_path() / ("bench-mesher-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// Process time of one run and the elements it gave.
struct Measured {
    double cpuSeconds = 0.0;
    long elements = 0;
};

bool runCase(const char* title, const std::string& geometry, const std::set<long>& freeObjects,
             Measured* measured = nullptr) {
    const fs::path dir = workFolder();
    const fs::path input = dir / "temp.i";
    std::ofstream(input) << geometry;
    tessaro::quadChainFigures() = {};
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const int result = tessaro::runTessaro(input.string());
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s\n", title);
    if (result != 0) {
        std::ifstream log(dir / "temp.msh");
        std::printf("  mesher failed:\n%s\n", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
        fs::remove_all(dir);
        return false;
    }
    const MeshFigures f = readMesh(dir / "temp.fem", freeObjects);
    if (measured) *measured = Measured{cpuSeconds, f.elements};
    std::printf("  time %.3f s (process %.3f s), elements %ld", seconds, cpuSeconds, f.elements);
    if (f.all.elements == 0)
        std::printf(", smallest angle %.2f deg\n", f.smallestAngle);
    else
        std::printf(", %.3f s per 5,000 quadrilaterals\n", seconds * 5000.0 / f.all.elements);
    const tessaro::QuadChainFigures& chain = tessaro::quadChainFigures();
    if (chain.interiorNodes > 0)
        std::printf("  before the final split: %ld triangles left, %.1f %% of %ld interior nodes hold four elements\n",
                    chain.triangles, 100.0 * chain.fourElementNodes / chain.interiorNodes, chain.interiorNodes);
    printQuality("all", f.all);
    printQuality("free", f.free);
    if (f.all.elements > 0 && f.interiorNodes > 0)
        std::printf("  largest corner %.1f deg, interior nodes with four elements %.1f %% of %ld (irregular %.1f %%)\n",
                    f.largestCorner, 100.0 * f.fourElementNodes / f.interiorNodes, f.interiorNodes,
                    100.0 - 100.0 * f.fourElementNodes / f.interiorNodes);
    fs::remove_all(dir);
    return true;
}

// Process time of one more run of `geometry`, or a negative time when it
// failed.
double processTime(const std::string& geometry) {
    const fs::path dir = workFolder();
    const fs::path input = dir / "temp.i";
    std::ofstream(input) << geometry;
    const std::clock_t start = std::clock();
    const int result = tessaro::runTessaro(input.string());
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    fs::remove_all(dir);
    return result == 0 ? seconds : -1.0;
}

bool runStandardCases() {
    const std::set<long> square = {101, 102, 103, 104};
    const std::set<long> octagon = {101, 102, 103, 104, 121, 122, 123, 124};
    bool ok =
        runCase("20 m square, hole r = 5 m, four free triangle regions, spacing 0.25 m", squareWithHole(-21), square);
    ok = runCase("20 m square, hole r = 5 m, four free quadrilateral regions, spacing 0.25 m", squareWithHole(-31),
                 square) &&
         ok;
    ok = runCase("octagonal foundation L1 21, L2 17, D 14, element size 1 m", octagonFoundation(21, 17, 14, 1.0),
                 octagon) &&
         ok;
    ok = runCase("octagonal foundation L1 21, L2 17, D 14, element size 0.25 m", octagonFoundation(21, 17, 14, 0.25),
                 octagon) &&
         ok;
    const std::set<long> single = {101};
    for (const double h : {1.0, 0.25}) {
        char title[120];
        std::snprintf(title, sizeof title, "regular octagon R = 10 m, one free quadrilateral region, spacing %.2f m",
                      h);
        ok = runCase(title, regularPolygon(8, 10.0, h), single) && ok;
        std::snprintf(title, sizeof title, "circle R = 10 m, one free quadrilateral region, spacing %.2f m", h);
        ok = runCase(title, freeCircle(10.0, h), single) && ok;
    }
    ok = runCase("L-slab 6 x 4 m (3 x 2 m cut out), one free quadrilateral region, spacing 0.25 m",
                 freePolygon({{6, 0}, {6, 4}, {3, 4}, {3, 2}, {0, 2}, {0, 0}}, 0.25), single) &&
         ok;
    ok = runCase("thin L strip, arms 20 m and 12 m, 1.5 m wide, one free quadrilateral region, spacing 0.25 m",
                 freePolygon({{0, 0}, {20, 0}, {20, 1.5}, {1.5, 1.5}, {1.5, 12}, {0, 12}}, 0.25), single) &&
         ok;
    return ok;
}

// Growth of the time with the mesh: the octagon with its flat sides on the
// axes at halved spacings (four times the elements each), each the least
// process time of three runs. The time should grow no faster than n log n:
// 16 times the elements in at most 20 times the process time.
bool runGrowthCases() {
    const std::set<long> single = {101};
    std::vector<Measured> growth;
    bool ok = true;
    for (const double h : {0.125, 0.0625, 0.03125}) {
        char title[120];
        std::snprintf(title, sizeof title, "growth: regular octagon R = 10 m, flat sides on the axes, spacing %.5f m",
                      h);
        const std::string geometry = regularPolygon(8, 10.0, h, kPi / 8);
        Measured m;
        ok = runCase(title, geometry, single, &m) && ok;
        for (int again = 0; again < 2; ++again) {
            const double seconds = processTime(geometry);
            if (seconds >= 0.0) m.cpuSeconds = std::min(m.cpuSeconds, seconds);
        }
        std::printf("  least process time of three runs %.3f s\n", m.cpuSeconds);
        growth.push_back(m);
    }
    if (growth.front().elements > 0 && growth.front().cpuSeconds > 0.0)
        std::printf(
            "growth from the coarsest to the finest octagon: %.1f times the elements in %.1f times the "
            "process time\n",
            static_cast<double>(growth.back().elements) / growth.front().elements,
            growth.back().cpuSeconds / growth.front().cpuSeconds);
    return ok;
}

}  // namespace

// `bench_mesher growth` runs the growth cases alone, `bench_mesher standard`
// the others alone.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    bool ok = only == "growth" || runStandardCases();
    if (only != "standard") ok = runGrowthCases() && ok;
    return ok ? 0 : 1;
}
