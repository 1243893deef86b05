// Runs of the mesher as a whole: file names, log lines, failures and the
// export of the shared library and the command-line tool.
#include <dlfcn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/model/RunDriver.h"

using namespace meshtest;

namespace {

const int kOpen[4] = {-2, -2, -2, -2};

GeometrySpec emptyGeometry(int outputFormat) {
    GeometrySpec g;
    g.outputFormat = outputFormat;
    g.points = {{0, 0}, {1, 0}};
    return g;
}

GeometrySpec squareGeometry(int outputFormat) {
    GeometrySpec g;
    g.outputFormat = outputFormat;
    g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, kOpen));
    return g;
}

}  // namespace

// A definition that would give no element, or leave a region out, is
// refused with the count or the code named; no mesh file is left.
TEST(MesherRun, EmptyMeshOrUnknownSchemeIsRefused) {
    struct Row {
        const char* name;
        std::vector<int> schemes;  // of the regions after a meshable square; empty: no region at all
        const char* named;
    };
    const Row rows[] = {
        {"no region", {}, "the number of regions is 0"},
        {"scheme 12", {12}, "region 1: scheme code 12 is unknown"},
        {"scheme 99", {99}, "region 1: scheme code 99 is unknown"},
        {"scheme 0", {0}, "region 1: scheme code 0 is unknown"},
        {"scheme -1", {-1}, "region 1: scheme code -1 is unknown"},
        {"scheme -32", {-32}, "region 1: scheme code -32 is unknown"},
        {"largest int", {2147483647}, "region 1: scheme code 2147483647 is unknown"},
        {"after a square", {11, 12}, "region 2: scheme code 12 is unknown"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const int format : {0, 1}) {
            const fs::path dir = freshDir("empty");
            GeometrySpec g = emptyGeometry(format);
            for (std::size_t k = 0; k < row.schemes.size(); ++k) {
                g.regions.push_back(rectangleRegion(g, 20.0 * k, 0, 10, 10, 4, 4, kOpen));
                g.regions.back().scheme = row.schemes[k];
            }
            EXPECT_EQ(runOn(dir, geometryText(g)), 1);
            const std::string log = readFile(dir / "temp.msh");
            EXPECT_NE(log.find(std::string("Error: ") + row.named), std::string::npos) << log;
            EXPECT_FALSE(fs::exists(dir / "temp.fem"));
        }
    }
}

TEST(MesherRun, MissingInputLogsThreeLines) {
    const fs::path dir = freshDir("missing");
    const std::string input = (dir / "nothere.i").string();
    EXPECT_EQ(tessaro::runTessaro(input), 1);
    EXPECT_EQ(readFile(dir / "nothere.msh"), "\nError: Can not open file " + input + "\n\n");
    EXPECT_FALSE(fs::exists(dir / "nothere.fem"));
}

// A folder (or pipe, or device) given as input is refused before anything
// is written beside it, by the library and by the command-line tool.
TEST(MesherRun, InputThatIsNotARegularFileWritesNothing) {
    const ScratchDir scratch("folder-input");
    const fs::path folder = scratch.path() / "model.i";
    fs::create_directory(folder);
    EXPECT_EQ(tessaro::runTessaro(folder.string()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);

    const std::string command =
        "cd '" + scratch.path().string() + "' && '" + BRENNIX_BIN_DIR + "/tessaro-run' model.i > out.txt 2> err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(scratch.path() / "err.txt").find("model.i is not a regular file"), std::string::npos);
    EXPECT_FALSE(fs::exists(scratch.path() / "model.fem"));
    EXPECT_FALSE(fs::exists(scratch.path() / "model.msh"));
}

TEST(MesherRun, FileNamesDropTwoCharacters) {
    const fs::path dir = freshDir("names");
    ASSERT_EQ(runOn(dir, geometryText(squareGeometry(1)), "a.txt"), 0);
    EXPECT_TRUE(fs::exists(dir / "a.t.fem"));
    EXPECT_TRUE(fs::exists(dir / "a.t.msh"));
    EXPECT_EQ(tessaro::meshFileName("temp.i"), "temp.fem");
    EXPECT_EQ(tessaro::logFileName("temp.i"), "temp.msh");
    EXPECT_EQ(tessaro::runTessaro("x"), 1);
}

TEST(MesherRun, RefusedHeaderValuesLeaveNoMesh) {
    struct Case {
        int interfaceFlag;
        int outputFormat;
        const char* line;
    };
    const Case cases[] = {
        {0, 1, "Error: wrong interface flag"},
        {35, 0, "Error: wrong interface flag"},
        {34, 2, "Error: wrong output format"},
        {68, -1, "Error: wrong output format"},
    };
    for (const Case& c : cases) {
        const fs::path dir = freshDir("refused");
        GeometrySpec g = squareGeometry(c.outputFormat);
        g.interfaceFlag = c.interfaceFlag;
        // A mesh file of an earlier run must not survive a failed run.
        writeFile(dir / "temp.fem", "stale");
        EXPECT_EQ(runOn(dir, geometryText(g)), 1) << c.line;
        EXPECT_EQ(readLines(dir / "temp.msh"), std::vector<std::string>{c.line});
        EXPECT_FALSE(fs::exists(dir / "temp.fem")) << c.line;
    }
}

TEST(MesherRun, TwoRunsInARowGiveIdenticalOutput) {
    const fs::path dir = freshDir("repeat");
    for (int format : {0, 1}) {
        const std::string text = geometryText(squareGeometry(format));
        ASSERT_EQ(runOn(dir, text), 0);
        const std::string first = readFile(dir / "temp.fem");
        ASSERT_EQ(runOn(dir, text), 0);
        EXPECT_EQ(readFile(dir / "temp.fem"), first);
    }
}

TEST(MesherRun, FailedRunDoesNotLeakIntoTheNext) {
    const fs::path dir = freshDir("leak");
    // The first run reads the whole model and meshes one region, then fails
    // on a second region whose side names a point that does not exist.
    GeometrySpec bad = squareGeometry(1);
    bad.regions.push_back(rectangleRegion(bad, 20, 0, 10, 10, 2, 2, kOpen));
    bad.regions.back().sides[1].segs[0].p2 = 99;
    ASSERT_EQ(runOn(dir, geometryText(bad)), 1);
    const std::vector<std::string> log = readLines(dir / "temp.msh");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "Error: Not a valid geometry definition");
    EXPECT_EQ(log[1].rfind("Error: region 2: ", 0), 0u) << log[1];
    EXPECT_FALSE(fs::exists(dir / "temp.fem"));

    ASSERT_EQ(runOn(dir, geometryText(squareGeometry(1))), 0);
    const FemMesh mesh = readFemText(dir / "temp.fem");
    ASSERT_TRUE(mesh.ok) << mesh.problem;
    EXPECT_EQ(mesh.nodeIds.size(), 25u);
    EXPECT_EQ(mesh.elements.size(), 16u);
}

// A grading parameter that throws the nodes of a segment beyond the
// coordinate range is refused like an input point out of range, naming the
// segment, before any node reaches the spatial grids (where such values
// overflowed their 64-bit cell indices).
TEST(MesherRun, GradedNodesBeyondTheCoordinateRangeAreRefused) {
    struct Row {
        const char* name;
        int scheme;  // of the region; 0: a structure element over a plain square
        double cpar;
        const char* named;
    };
    const Row rows[] = {
        {"free side, CPAR 1e14", -31, 1e14, "Error: region 1 side 2: node 2 of the segment lies at"},
        {"free side, CPAR 1e15", -31, 1e15, "Error: region 1 side 2: node 2 of the segment lies at"},
        {"free triangles, CPAR -1e20", -21, -1e20, "Error: region 1 side 2: node 2 of the segment lies at"},
        {"mapped side, CPAR 1e15", 11, 1e15, "Error: region 1 side 2 segment 1: node 2 of the segment lies at"},
        {"structure element, CPAR 1e15", 0, 1e15, "Error: structure element 1: node 2 of the segment lies at"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GeometrySpec g;
        g.shape = row.scheme == -21 ? 0 : 1;
        if (row.scheme == 11 || row.scheme == 0) {
            g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, kOpen));
        } else {
            g.regions.push_back(polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 4));
            g.regions.back().scheme = row.scheme;
            g.regions.back().imax = g.regions.back().jmax = 100;
        }
        if (row.scheme == 0) {
            StructSpec beam;
            beam.seg = SegSpec{1, 5, row.cpar, 1.0, 1, 1, 1, 3};
            g.structs.push_back(beam);
        } else {
            g.regions.back().sides[1].segs[0].cpar = row.cpar;
            g.regions.back().sides[1].segs[0].wn = 1.5;
        }
        const ToolRun run = runTool("graded-range", geometryText(g));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.log.rfind(row.named, 0), 0u) << run.log;
        EXPECT_NE(run.log.find("beyond 1e10 of the origin"), std::string::npos) << run.log;
        EXPECT_FALSE(run.meshWritten);
    }
}

TEST(MesherRun, FreeQuadrilateralsBesideMappedRegionsAreMeshed) {
    const fs::path dir = freshDir("skip");
    GeometrySpec g;
    g.outputFormat = 1;
    RegionSpec freeRegion = polygonRegion(g, {{60, 60}, {61, 60}, {61, 61}, {60, 61}}, 2);
    freeRegion.scheme = -31;
    freeRegion.imax = freeRegion.jmax = 100;
    freeRegion.sides[1].segCountOverride = 3;  // a free side reads one segment whatever the count says
    g.regions = {freeRegion, rectangleRegion(g, 0, 0, 10, 10, 4, 4, kOpen)};
    ASSERT_EQ(runOn(dir, geometryText(g)), 0) << readFile(dir / "temp.msh");
    EXPECT_TRUE(unexpectedLogLines(readFile(dir / "temp.msh")).empty()) << readFile(dir / "temp.msh");
    const FemMesh mesh = readFemText(dir / "temp.fem");
    EXPECT_GT(mesh.elements.size(), 16u);
    EXPECT_TRUE(validateMesh(mesh, {false, 101.0}).empty());
}

TEST(MesherRun, UnwritableMeshFileIsAnError) {
    const fs::path dir = freshDir("unwritable");
    fs::create_directories(dir / "temp.fem" / "blocker");
    EXPECT_EQ(runOn(dir, geometryText(squareGeometry(0))), 1);
    const std::vector<std::string> log = readLines(dir / "temp.msh");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Error: Can not open file ", 0), 0u) << log[0];
}

TEST(MesherRun, SharedLibraryExportsBothEntryNamesOnly) {
    const std::string library = std::string(BRENNIX_BIN_DIR) + "/Tessaro_DLL.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    using CEntry = int (*)(const std::string&);
    using CppEntry = int (*)(std::string&);
    auto cEntry = reinterpret_cast<CEntry>(dlsym(handle, "Tessaro_entry1"));
    auto cppEntry =
        reinterpret_cast<CppEntry>(dlsym(handle, "_Z7TessaroRNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"));
    ASSERT_NE(cEntry, nullptr);
    ASSERT_NE(cppEntry, nullptr);
    EXPECT_EQ(dlsym(handle, "_ZN7tessaro10runTessaroERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"), nullptr);

    const fs::path dir = freshDir("export");
    writeFile(dir / "temp.i", geometryText(squareGeometry(0)));
    std::string input = (dir / "temp.i").string();
    EXPECT_EQ(cEntry(input), 0);
    const std::string first = readFile(dir / "temp.fem");
    EXPECT_EQ(cppEntry(input), 0);
    EXPECT_EQ(readFile(dir / "temp.fem"), first);
    std::string missing = (dir / "none.i").string();
    EXPECT_EQ(cppEntry(missing), 1);
    dlclose(handle);
}

TEST(MesherRun, CommandLineToolPrintsTheResult) {
    const fs::path dir = freshDir("tool");
    writeFile(dir / "temp.i", geometryText(squareGeometry(1)));
    const std::string tool = std::string(BRENNIX_BIN_DIR) + "/tessaro-run";
    for (const auto& [input, expected] : {std::pair<std::string, std::string>{"temp.i", "0"}, {"none.i", "1"}}) {
        const std::string command = "'" + tool + "' '" + (dir / input).string() + "'";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[64] = {};
        const std::size_t got = fread(buffer, 1, sizeof buffer - 1, pipe);
        pclose(pipe);
        EXPECT_EQ(std::string(buffer, got), expected + "\n");
    }
    EXPECT_EQ(readFemText(dir / "temp.fem").elements.size(), 16u);
}

// A definition without regions is refused by the mesher itself: the tool
// prints its result 1, exits 1 and names the count.
TEST(MesherRun, CommandLineToolExitsOneForAMeshWithoutElements) {
    const fs::path dir = freshDir("tool-empty");
    writeFile(dir / "temp.i",
              "* TITLE\nempty\n* OUTPUT FORMAT \n0\n* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED \n1\n"
              "* ENTITY #, LIB. CODE #, # OF POINTS\n1         11           1\n1    0   0\n"
              "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n"
              "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n"
              "0             0                      68    1\n");
    const std::string tool = std::string(BRENNIX_BIN_DIR) + "/tessaro-run";
    const std::string command = "'" + tool + "' '" + (dir / "temp.i").string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256] = {};
    const std::size_t got = fread(buffer, 1, sizeof buffer - 1, pipe);
    const int status = pclose(pipe);
    EXPECT_EQ(std::string(buffer, got), "1\n");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(dir / "temp.msh").find("Error: the number of regions is 0"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "temp.fem"));
    fs::remove_all(dir);
}

namespace {

// Output of the tool: standard output and standard error apart.
struct ToolOutput {
    int exitCode = -1;
    std::string out, err;
};

ToolOutput runToolWith(const fs::path& dir, const std::string& arguments) {
    const std::string tool = std::string(BRENNIX_BIN_DIR) + "/tessaro-run";
    const std::string command =
        "cd '" + dir.string() + "' && '" + tool + "' " + arguments + " 2>'" + (dir / "stderr.txt").string() + "'";
    ToolOutput run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(dir / "stderr.txt");
    fs::remove(dir / "stderr.txt");
    return run;
}

}  // namespace

TEST(MesherRun, CommandLineToolSaysWhyAndHowToUseIt) {
    const fs::path dir = freshDir("toolhelp");
    // A failed run: its log's error line reaches standard error.
    const ToolOutput failed = runToolWith(dir, "none.i");
    EXPECT_EQ(failed.out, "1\n");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("Error: Can not open file "), std::string::npos) << failed.err;
    for (const std::string& arguments : {std::string("-h"), std::string("--help"), std::string()}) {
        SCOPED_TRACE(arguments);
        const ToolOutput help = runToolWith(dir, arguments);
        const std::string& text = arguments.empty() ? help.err : help.out;
        EXPECT_EQ(text.rfind("usage: ", 0), 0u) << text;
        EXPECT_EQ(help.exitCode, arguments.empty() ? 2 : 0);
    }
    EXPECT_FALSE(fs::exists(dir / "--he.msh"));
    EXPECT_FALSE(fs::exists(dir / "-.msh"));
}
