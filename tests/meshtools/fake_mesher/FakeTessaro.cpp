// Stand-ins for Tessaro_DLL.so, one behaviour per build (FAKE_MESHER_MODE):
//   1 good     a binary mesh of one 8-node square per region of the input
//   2 noentry  no Tessaro_entry1 export
//   3 error    result 1 with "Error: wrong interface flag" in the log
//   4 warning  the good mesh, result 0, a "Warning:" line in the log
//   5 empty    result 0 and a mesh without elements
//   6 padded   the good mesh with unused nodes up to FAKE_MESHER_NODES in all
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Beside(const std::string& input, const char* extension) {
    return input.substr(0, input.size() - 2) + extension;
}

// The region count: the first number of the line after the regions header.
int RegionCount(const std::string& input) {
    std::ifstream in(input);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("* No. OF REGIONS", 0) == 0 && std::getline(in, line)) return std::stoi(line);
    return 0;
}

class Writer {
public:
    explicit Writer(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
    void Int(std::int32_t v) { out_.write(reinterpret_cast<const char*>(&v), 4); }
    void Real(double v) { out_.write(reinterpret_cast<const char*>(&v), 8); }

private:
    std::ofstream out_;
};

// Region r (0-based) gets one 8-node element, a sector between the radii
// 3.5 and 7 (the default rings of both templates, so the template loads find
// ring sides to act on) around the angle 360 r / regions: corners 8r+1 ..
// 8r+4 counter-clockwise, mid-sides 8r+5 .. 8r+8; every side on the boundary.
// The sectors lie symmetric about the centre, where the import puts the
// middle of the mesh.
void WriteSquares(const std::string& path, int regions, int nodes = 0) {
    Writer w(path);
    nodes = std::max(nodes, 8 * regions);
    w.Int(nodes);
    w.Int(regions);
    w.Int(8);
    const double pi = 3.14159265358979323846;
    for (int r = 0; r < regions; ++r) {
        const double mid = 2 * pi * r / std::max(regions, 1), half = pi / std::max(regions, 4) * 0.8;
        const double corners[4][2] = {{3.5, mid - half}, {7.0, mid - half}, {7.0, mid + half}, {3.5, mid + half}};
        auto at = [](double radius, double angle, int which) {
            return which == 0 ? radius * std::cos(angle) : radius * std::sin(angle);
        };
        for (int k = 0; k < 4; ++k) {
            w.Int(8 * r + k + 1);
            w.Real(at(corners[k][0], corners[k][1], 0));
            w.Real(at(corners[k][0], corners[k][1], 1));
        }
        for (int k = 0; k < 4; ++k) {
            const double* a = corners[k];
            const double* b = corners[(k + 1) % 4];
            w.Int(8 * r + k + 5);
            w.Real((at(a[0], a[1], 0) + at(b[0], b[1], 0)) / 2);
            w.Real((at(a[0], a[1], 1) + at(b[0], b[1], 1)) / 2);
        }
    }
    for (int k = 8 * regions; k < nodes; ++k) {
        w.Int(k + 1);
        // Inside the inner ring, clear of the mesh's extent.
        w.Real(-0.9 + 0.006 * (k % 300));
        w.Real(-0.9 + 0.006 * (k / 300 % 300));
    }
    for (int r = 0; r < regions; ++r) {
        w.Int(r + 1);
        w.Int(0);
        w.Int(101 + r);
        w.Int(0);
        for (int k = 1; k <= 8; ++k) w.Int(8 * r + k);
    }
    for (int r = 0; r < regions; ++r) {
        w.Int(r + 1);
        w.Int(0);
        for (int k = 0; k < 4; ++k) w.Int(-2);
    }
}

int Run(const std::string& input) {
    std::ofstream log(Beside(input, ".msh"), std::ios::trunc);
    switch (FAKE_MESHER_MODE) {
        case 3: log << "Error: wrong interface flag\n"; return 1;
        case 4:
            log << "Warning: region 1 with free scheme -31 is not meshed, free meshing is not available\n";
            WriteSquares(Beside(input, ".fem"), RegionCount(input));
            return 0;
        case 5: WriteSquares(Beside(input, ".fem"), 0); return 0;
        case 6: {
            const char* nodes = std::getenv("FAKE_MESHER_NODES");
            WriteSquares(Beside(input, ".fem"), RegionCount(input), nodes ? std::atoi(nodes) : 0);
            return 0;
        }
        default: WriteSquares(Beside(input, ".fem"), RegionCount(input)); return 0;
    }
}

}  // namespace

#if FAKE_MESHER_MODE == 2
extern "C" __attribute__((visibility("default"))) int Tessaro_entry2(const std::string& input) { return Run(input); }
#else
extern "C" __attribute__((visibility("default"))) int Tessaro_entry1(const std::string& input) { return Run(input); }
#endif
