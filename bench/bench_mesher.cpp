// Benchmark of the mesh generator on free triangle regions: a 20 m square
// with a central hole of radius 5 m, cut into four free regions along the
// axes, at a boundary spacing of 0.25 m. Prints the meshing time, the number
// of triangles and the smallest angle of the mesh.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Tessaro_DLL/model/RunDriver.h"

namespace fs = std::filesystem;

namespace {

constexpr double kHalf = 10.0, kRadius = 5.0, kSpacing = 0.25;

int divisions(double length) { return std::max(1, static_cast<int>(std::lround(length / kSpacing))); }

void side(std::ostream& os, int number, int code, int n, int e1, int p1, int e2, int p2)
{
    os << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n"
       << number << " 1 " << code << " 0\n"
       << "*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n"
       << "1 1 " << n + 1 << " 0 1 " << e1 << " " << p1 << " " << e2 << " " << p2 << " 0\n";
}

// Quadrant q (0..3) turned by q * 90 degrees: from the hole along the axis
// to the outer edge, round the square's corner, back along the next axis
// and along the hole's arc (entity q + 2) to the start.
std::string geometry()
{
    std::ostringstream os;
    os.precision(17);
    os << "* TITLE\nbench\n* OUTPUT FORMAT\n1\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED\n5\n";
    const double pts[12][2] = {{kRadius, 0},  {kHalf, 0},  {kHalf, kHalf},   {0, kRadius},  {0, kHalf},
                               {-kHalf, kHalf}, {-kRadius, 0}, {-kHalf, 0}, {-kHalf, -kHalf}, {0, -kRadius},
                               {0, -kHalf},   {kHalf, -kHalf}};
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1 11 12\n";
    for (int k = 0; k < 12; ++k) os << k + 1 << " " << pts[k][0] << " " << pts[k][1] << "\n";
    const int arcPoints = 9;
    for (int q = 0; q < 4; ++q)
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n" << q + 2 << " 31 " << arcPoints << "\n0 0 " << kRadius << " "
           << kRadius << " " << 90 * q << " 90\n";
    os << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n";
    os << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n4 0 34 0\n";
    const int radial = divisions(kHalf - kRadius), edge = divisions(kHalf), arc = divisions(M_PI * kRadius / 2);
    for (int q = 0; q < 4; ++q) {
        // Points of quadrant q: start on the axis at the hole, the axis at
        // the edge, the corner; the next quadrant's first two points.
        const int a = 3 * q + 1, b = 3 * q + 2, corner = 3 * q + 3;
        const int na = (3 * (q + 1)) % 12 + 1, nb = (3 * (q + 1) + 1) % 12 + 1;
        os << "*   REGION #, MAX DOF,    INI. SOL.\n" << q + 1 << " 6 1.0 3.0 0.0 6.2857143 0.0 0.0\n";
        os << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n0 -10 0.0 0.0 0.0 2 "
           << 101 + q << "\n";
        os << "*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n-21 5 0 100 100\n";
        side(os, 1, 2, radial, 1, a, 1, b);
        side(os, 2, -2, edge, 1, b, 1, corner);
        side(os, 3, -2, edge, 1, corner, 1, nb);
        side(os, 4, 2, radial, 1, nb, 1, na);
        side(os, 5, -2, arc, q + 2, arcPoints, q + 2, 1);
    }
    return os.str();
}

struct MeshFigures {
    long triangles = 0;
    double smallestAngle = 180.0;
};

MeshFigures readMesh(const fs::path& path)
{
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
    for (long e = 0; e < elements; ++e) {
        long number = 0, group = 0, obj = 0, count = 0;
        in >> number >> group >> obj >> count;
        std::vector<long> c(count);
        for (long& n : c) in >> n;
        if (count < 3) continue;
        ++f.triangles;
        for (int k = 0; k < 3; ++k) {
            const long p = c[k], q = c[(k + 1) % 3], r = c[(k + 2) % 3];
            const double ux = x[q] - x[p], uy = y[q] - y[p], vx = x[r] - x[p], vy = y[r] - y[p];
            const double angle = std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / M_PI;
            f.smallestAngle = std::min(f.smallestAngle, angle);
        }
    }
    return f;
}

}  // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("bench-mesher-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path input = dir / "temp.i";
    std::ofstream(input) << geometry();

    const auto start = std::chrono::steady_clock::now();
    const int result = tessaro::runTessaro(input.string());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result != 0) {
        std::ifstream log(dir / "temp.msh");
        std::printf("mesher failed:\n%s\n", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
        fs::remove_all(dir);
        return 1;
    }
    const MeshFigures f = readMesh(dir / "temp.fem");
    std::printf("20 m square, hole r = 5 m, four free triangle regions, spacing %.2f m\n", kSpacing);
    std::printf("time %.3f s, triangles %ld, smallest angle %.2f deg\n", seconds, f.triangles, f.smallestAngle);
    fs::remove_all(dir);
    return 0;
}
