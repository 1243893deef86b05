// Test-side helpers for the mesh generator: writing geometry definitions,
// reading mesh files in both forms and checking a mesh for consistency.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace meshtest {

namespace fs = std::filesystem;

// ---- geometry definitions -------------------------------------------------

struct SegSpec {
    int lim1 = 1, lim2 = 2;
    double cpar = 0.0, wn = 1.0;
    int e1 = 1, p1 = 1, e2 = 1, p2 = 2;
};

// A segment of n divisions from point p1 of entity e1 to point p2 of e2.
inline SegSpec segmentOf(int n, int e1, int p1, int e2, int p2) {
    SegSpec s;
    s.lim2 = n + 1;
    s.e1 = e1;
    s.p1 = p1;
    s.e2 = e2;
    s.p2 = p2;
    return s;
}

struct SideSpec {
    int number = 1;
    int code = -2;
    std::vector<SegSpec> segs;
    int segCountOverride = -1;  // written as "# OF SEG." when >= 0
};

struct RegionSpec {
    int scheme = 11;
    int imax = 2, jmax = 2;
    int group = 2;
    int obj = 101;
    std::vector<SideSpec> sides;
};

struct ArcSpec {
    double cx = 0, cy = 0, rx = 1, ry = 1, start = 0, sweep = 90;
    int n = 2;
};

struct StructSpec {
    int id = 1, kind = 1, v3 = 0, v4 = 0, v5 = 0;
    SegSpec seg;
};

struct GeometrySpec {
    int outputFormat = 1;
    std::vector<std::pair<double, double>> points;  // entity 1, code 11
    std::vector<ArcSpec> arcs;                      // entities 2.., code 31
    std::vector<StructSpec> structs;
    int interfaceFlag = 34;
    int shape = 1;
    std::vector<RegionSpec> regions;
};

std::string geometryText(const GeometrySpec& g);

// Adds the four corners of an axis-parallel rectangle to the point list and
// returns a mapped region over it with `ni` x `nj` cells; codes are those of
// sides 1 (left), 2 (right), 3 (bottom), 4 (top). `clockwise` lists the
// sides so that the grid runs clockwise.
RegionSpec rectangleRegion(GeometrySpec& g, double x0, double y0, double w, double h, int ni, int nj,
                           const int codes[4], int scheme = 11, int obj = 101, bool clockwise = false);

// ---- mesh files -------------------------------------------------------------

struct FemElement {
    int number = 0, group = 0, obj = 0, npe = 0;
    std::vector<int> nodes;  // corners first, then mid-side nodes
};

struct FemLine {
    std::array<int, 7> w{};
};

struct FemMesh {
    int npe = 0;
    std::vector<int> nodeIds;
    std::vector<std::pair<double, double>> xy;
    std::vector<FemElement> elements;
    std::vector<std::array<int, 6>> sides;  // number, 4, codes
    std::vector<int> structIds;
    std::vector<std::pair<double, double>> structXY;
    std::vector<FemLine> lines;
    std::vector<FemLine> third;
    bool ok = false;
    std::string problem;
};

FemMesh readFemBinary(const fs::path& path);
FemMesh readFemText(const fs::path& path);

struct ValidationOptions {
    bool allowDoubledNodes = false;
    double expectedArea = -1.0;         // checked when >= 0
    double areaTolerance = 1e-9;        // relative
    double largestCornerAngle = 177.0;  // degrees; every corner must be convex and below it
};

// Returns the problems found (empty for a valid mesh).
std::vector<std::string> validateMesh(const FemMesh& mesh, const ValidationOptions& options = {});

double cornerArea(const FemMesh& mesh, const FemElement& el);

// Interior angle in degrees at each corner, 0 to 360 (above 180 when the
// corner turns inward, near 360 or 0 when the element folds).
std::vector<double> cornerAngles(const FemMesh& mesh, const FemElement& el);

// ---- files and runs -------------------------------------------------------

// A fresh, empty folder for one test.
fs::path freshDir(const std::string& name);

// A fresh folder for one test, removed with its contents on destruction.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name) : path_(freshDir(name)) {}
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Makes a folder the current directory until destruction.
class CurrentDir {
public:
    explicit CurrentDir(const fs::path& dir);
    ~CurrentDir();
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    fs::path previous_;
};
void writeFile(const fs::path& path, const std::string& text);
std::string readFile(const fs::path& path);
std::vector<std::string> readLines(const fs::path& path);

// Runs the mesher of the core library on `text` written to dir/name.
int runOn(const fs::path& dir, const std::string& text, const std::string& name = "temp.i");

// What a run of the command-line tool left behind.
struct ToolRun {
    int status = -1;
    std::string log;
    FemMesh mesh;
    bool meshWritten = false;
    bool snapshotWritten = false;
    std::string meshBytes;  // the mesh file as written
};

// Writes temp.i into a scratch folder, runs tessaro-run there and reads the
// results back; the folder is removed afterwards.
ToolRun runTool(const std::string& name, const std::string& text);

// A free region (scheme -21 unless changed) over the polygon's corners
// (appended to the point list), each side of `divisions` segments, or of
// segments about `spacing` long when that is positive.
RegionSpec polygonRegion(GeometrySpec& g, const std::vector<std::pair<double, double>>& corners, int divisions,
                         int code = -2, int obj = 101, double spacing = 0.0);

// Log lines other than empty ones and the queue report.
std::vector<std::string> unexpectedLogLines(const std::string& log);

// Number of element sides carrying `code`.
int sidesCoded(const FemMesh& mesh, int code);

}  // namespace meshtest
