// The two foundation templates, as the program writes them, mesh whole:
// mapped regions and the free quadrilateral regions of the pedestal, one
// valid mesh covering exactly the plan.
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

FemMesh meshFixture(const std::string& folder, const std::string& fixture, std::vector<std::string>& log) {
    ScratchDir dir(fixture);
    fs::copy_file(fs::path(BRENNIX_TEST_DATA) / folder / fixture, dir.path() / "temp.i");
    EXPECT_EQ(tessaro::runTessaro((dir.path() / "temp.i").string()), 0) << readFile(dir.path() / "temp.msh");
    log = unexpectedLogLines(readFile(dir.path() / "temp.msh"));
    return readFemBinary(dir.path() / "temp.fem");
}

}  // namespace

TEST(FoundationTemplates, EveryRegionMeshesIntoOneValidMeshOfThePlan) {
    struct Case {
        const char* folder;
        const char* fixture;
        int npe;
        double area;
        std::size_t mappedElements;
    };
    // Circular: the 4u-gon of R3 = 14 (u = 8, 16). Octagon L1 21, L2 17:
    // the square of 2 (L1 + L2 / 2 - ...) less its four corners.
    const double octagon = 4 * 27.5 * 27.5 - 2 * 17.0 * 17.0;
    const Case cases[] = {
        {"mesher", "circular-default-q8.i", 8, inscribed(14, 32), 4 * 8 * 2 + 8 * 8 * 4},
        {"mesher", "circular-fine-q4.i", 4, inscribed(14, 64), 4 * 16 * 4 + 8 * 16 * 10},
        {"mesher", "octagon-default-q4.i", 4, octagon, 8 * 16 + 8 * 16 + 8 * 16 + 4 * 32},
        {"mesher", "octagon-default-q8.i", 8, octagon, 8 * 16 + 8 * 16 + 8 * 16 + 4 * 32},
        {"model/template", "circular-default-q4.i", 4, inscribed(14, 32), 320},
        {"model/template", "octagon-coarse-q8.i", 8, octagon, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        std::vector<std::string> log;
        const FemMesh mesh = meshFixture(c.folder, c.fixture, log);
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        EXPECT_EQ(mesh.npe, c.npe);
        EXPECT_GT(mesh.elements.size(), c.mappedElements);
        EXPECT_EQ(validateMesh(mesh, {false, c.area, 1e-9}), std::vector<std::string>{});
        EXPECT_EQ(log, std::vector<std::string>{});
        EXPECT_EQ(sidesCoded(mesh, -1), 0);
        for (const FemElement& el : mesh.elements) {
            EXPECT_EQ(el.group, 2);
            EXPECT_GE(el.obj, 101);
        }
    }
}

TEST(FoundationTemplates, QuadraticCircularMeshPutsBoundaryMidsideNodesOnTheirCircle) {
    std::vector<std::string> log;
    const FemMesh mesh = meshFixture("mesher", "circular-default-q8.i", log);
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
    // The outer circle R3 (32 edges); the circle R1 now lies inside the mesh.
    EXPECT_EQ(checked, 32);
}
