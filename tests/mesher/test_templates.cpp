// The mapped regions of the two foundation templates, as the program writes
// them, mesh to valid meshes that cover exactly the mapped part of the plan.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/model/RunDriver.h"

using namespace meshtest;

namespace {

const double kPi = 4 * std::atan(1.0);

// Area of a regular polygon inscribed in a circle of radius r with n sides.
double inscribed(double r, int n) { return 0.5 * n * r * r * std::sin(2 * kPi / n); }

// Meshes a template input.  The templates hold free regions: while the free
// meshers are missing, the run ends on the first of them with its error line
// and `meshed` is false (the caller skips the checks of the mesh).
FemMesh meshFixture(const std::string& fixture, std::vector<std::string>& log, bool& meshed)
{
    const fs::path dir = freshDir(fixture);
    fs::copy_file(fs::path(BRENNIX_TEST_DATA) / "mesher" / fixture, dir / "temp.i");
    const int result = tessaro::runTessaro((dir / "temp.i").string());
    log = readLines(dir / "temp.msh");
    meshed = result == 0;
    if (!meshed) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(log.size(), 1u) << readFile(dir / "temp.msh");
        for (const std::string& line : log)
            EXPECT_NE(line.find(" with free scheme -31 is not meshed, free meshing is not available"),
                      std::string::npos)
                << line;
        EXPECT_FALSE(fs::exists(dir / "temp.fem"));
    }
    return readFemBinary(dir / "temp.fem");
}

}  // namespace

TEST(FoundationTemplates, MappedRegionsMeshToValidMeshes)
{
    struct Case {
        const char* fixture;
        int npe;
        std::size_t elements;
        double area;
        std::size_t freeRegions;
    };
    // Circular: regions 5-16 fill the ring R1 = 3.5 .. R3 = 14 with polygons of
    // 4 u sides. Octagon (L1 21, L2 17, D 14): the outer octagon less the
    // pedestal polygon of 32 sides and the four free chamfer triangles.
    const double octagon = 4 * 27.5 * 27.5 - 2 * 17.0 * 17.0 - inscribed(7, 32) - 4 * 0.5 * 8.5 * 8.5;
    const Case cases[] = {
        {"circular-default-q8.i", 8, 4 * 8 * 2 + 8 * 8 * 4, inscribed(14, 32) - inscribed(3.5, 32), 4},
        {"circular-fine-q4.i", 4, 4 * 16 * 4 + 8 * 16 * 10, inscribed(14, 64) - inscribed(3.5, 64), 4},
        {"octagon-default-q4.i", 4, 8 * 16 + 8 * 16 + 8 * 16 + 4 * 32, octagon, 8},
        {"octagon-default-q8.i", 8, 8 * 16 + 8 * 16 + 8 * 16 + 4 * 32, octagon, 8},
    };
    for (const Case& c : cases) {
        std::vector<std::string> log;
        bool meshed = false;
        const FemMesh mesh = meshFixture(c.fixture, log, meshed);
        if (!meshed) continue;
        ASSERT_TRUE(mesh.ok) << c.fixture << ": " << mesh.problem;
        EXPECT_EQ(mesh.npe, c.npe) << c.fixture;
        EXPECT_EQ(mesh.elements.size(), c.elements) << c.fixture;
        const std::vector<std::string> problems = validateMesh(mesh, {false, c.area, 1e-9});
        EXPECT_TRUE(problems.empty()) << c.fixture << ": " << problems.front();
        // Only the skipped free regions are reported.
        EXPECT_EQ(log.size(), c.freeRegions) << c.fixture;
        for (const std::string& line : log) EXPECT_EQ(line.rfind("Warning: region ", 0), 0u) << line;
        // Object numbers 100 + region number of mapped regions only.
        for (const FemElement& el : mesh.elements) {
            EXPECT_EQ(el.group, 2);
            EXPECT_GE(el.obj, 105);
        }
    }
}

TEST(FoundationTemplates, QuadraticCircularMeshPutsBoundaryMidsideNodesOnTheirCircles)
{
    std::vector<std::string> log;
    bool meshed = false;
    const FemMesh mesh = meshFixture("circular-default-q8.i", log, meshed);
    if (!meshed) GTEST_SKIP() << "the template's free regions cannot be meshed yet";
    ASSERT_TRUE(mesh.ok);
    int checked = 0;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const FemElement& el = mesh.elements[e];
        for (int k = 0; k < 4; ++k) {
            const auto& a = mesh.xy[el.nodes[k] - 1];
            const auto& b = mesh.xy[el.nodes[(k + 1) % 4] - 1];
            const auto& m = mesh.xy[el.nodes[4 + k] - 1];
            const double ra = std::hypot(a.first, a.second), rb = std::hypot(b.first, b.second);
            if (mesh.sides[e][2 + k] < 0 && std::fabs(ra - rb) < 1e-9) {
                EXPECT_NEAR(std::hypot(m.first, m.second), ra, 1e-9);
                ++checked;
            }
        }
    }
    // Outer circle R3 (32 edges) and the circle R1 towards the free discs (32).
    EXPECT_EQ(checked, 64);
}
