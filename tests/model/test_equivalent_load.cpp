// Equivalent concentrated load spread over one or two rings of points.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "model/ModelData.h"

namespace {

struct Pattern {
    double Fx = 0, Fy = 0, Fz = 0, Mx = 0, My = 0, Mz = 0;
    double X = 0, Y = 0, Z = 0;
    int twoRings = 0;
    double r1 = 1;
    int n1 = 0;
    double a1 = 0;
    double r2 = 1;
    int n2 = 0;
    double a2 = 0;
};

void Apply(ModelData& m, const Pattern& p) {
    m.SetEquivLoadParameters(p.Fx, p.Fy, p.Fz, p.Mx, p.My, p.Mz, p.X, p.Y, p.Z, p.twoRings, p.r1, p.n1, p.a1, p.r2,
                             p.n2, p.a2);
}

std::vector<double> Axial(const ModelData& m) {
    std::vector<double> v;
    for (int i = 0; i < m.GetEquivLoadPointCount(); ++i) v.push_back(m.GetEquivLoadFx(i));
    return v;
}

// Four points at 0, 90, 180 and 270 degrees; the tiny cosines and sines of
// 90 and 270 degrees, and any result at most 1e-14, are stored as exactly 0.
TEST(EquivalentLoad, FourPointRingWithForceAndMoments) {
    struct Case {
        const char* what;
        double My, Mz;
        std::vector<double> axial;
    };
    const Case cases[] = {
        {"axial force only", 0, 0, {1, 1, 1, 1}},
        {"moment My", 2, 0, {1, 2, 1, 0}},
        {"moment Mz", 0, 2, {0, 1, 2, 1}},
    };
    for (const Case& c : cases) {
        ModelData m;
        Pattern p;
        p.Fx = 4;
        p.My = c.My;
        p.Mz = c.Mz;
        p.n1 = 4;
        Apply(m, p);
        ASSERT_EQ(m.GetEquivLoadPointCount(), 4) << c.what;
        const std::vector<double> axial = Axial(m);
        for (int i = 0; i < 4; ++i) {
            // A zero result is stored as exactly 0, the others carry rounding.
            if (c.axial[static_cast<std::size_t>(i)] == 0)
                EXPECT_EQ(axial[static_cast<std::size_t>(i)], 0.0) << c.what << " point " << i;
            else
                EXPECT_NEAR(axial[static_cast<std::size_t>(i)], c.axial[static_cast<std::size_t>(i)], 1e-12)
                    << c.what << " point " << i;
        }
        const double y[4] = {1, 0, -1, 0};
        const double z[4] = {0, 1, 0, -1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(m.GetEquivLoadPointX(i), 0);
            EXPECT_EQ(m.GetEquivLoadPointY(i), y[i]) << c.what << " point " << i;
            EXPECT_EQ(m.GetEquivLoadPointZ(i), z[i]) << c.what << " point " << i;
            EXPECT_EQ(m.GetEquivLoadFy(i), 0);
            EXPECT_EQ(m.GetEquivLoadFz(i), 0);
            EXPECT_EQ(m.GetEquivLoadRing(i), 0);
            EXPECT_EQ(m.GetEquivLoadPointNumber(i), i + 1);
        }
    }
}

TEST(EquivalentLoad, InputsThatGiveNoPoints) {
    struct Case {
        const char* what;
        Pattern p;
    };
    Pattern noPoints;
    noPoints.Fx = 10;
    Pattern zeroRadius = noPoints;
    zeroRadius.n1 = 4;
    zeroRadius.r1 = 0;
    Pattern negativeRadius = zeroRadius;
    negativeRadius.r1 = -1;
    Pattern onePointMy = noPoints;
    onePointMy.n1 = 1;
    onePointMy.My = 1;
    // Two points on the y axis: the z spread is only rounding noise.
    Pattern axisPairMy = noPoints;
    axisPairMy.n1 = 2;
    axisPairMy.My = 5;
    Pattern axisPairMz = axisPairMy;
    axisPairMz.My = 0;
    axisPairMz.Mz = 5;
    axisPairMz.a1 = 90;
    const Case cases[] = {{"no ring-1 points", noPoints},      {"radius 0", zeroRadius},
                          {"negative radius", negativeRadius}, {"one point with My", onePointMy},
                          {"pair on y with My", axisPairMy},   {"pair on z with Mz", axisPairMz}};
    for (const Case& c : cases) {
        ModelData m;
        Apply(m, c.p);
        EXPECT_EQ(m.GetEquivLoadPointCount(), 0) << c.what;
        EXPECT_TRUE(m.patternAxial.empty()) << c.what;
        EXPECT_EQ(m.GetEquivLoadFx(0), 0) << c.what;
    }
}

TEST(EquivalentLoad, OnePointCarriesMz) {
    ModelData m;
    Pattern p;
    p.Fx = 10;
    p.Mz = 3;
    p.r1 = 1.5;
    p.n1 = 1;
    p.X = 2;
    p.Y = 10;
    p.Z = -5;
    Apply(m, p);
    ASSERT_EQ(m.GetEquivLoadPointCount(), 1);
    EXPECT_DOUBLE_EQ(m.GetEquivLoadFx(0), 8);  // 10 - 3 x 1.5 / 2.25
    EXPECT_EQ(m.GetEquivLoadPointX(0), 2);
    EXPECT_EQ(m.GetEquivLoadPointY(0), 11.5);
    EXPECT_EQ(m.GetEquivLoadPointZ(0), -5);
}

TEST(EquivalentLoad, TwoRings) {
    {
        // The shear is shared by all twelve points.
        ModelData m;
        Pattern p;
        p.Fy = 12;
        p.Fz = -24;
        p.twoRings = 1;
        p.n1 = 4;
        p.n2 = 8;
        p.r2 = 2;
        p.a2 = 22.5;
        Apply(m, p);
        ASSERT_EQ(m.GetEquivLoadPointCount(), 12);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(m.GetEquivLoadFy(i), 1);
            EXPECT_EQ(m.GetEquivLoadFz(i), -2);
            EXPECT_EQ(m.GetEquivLoadRing(i), i < 4 ? 0 : 1);
            EXPECT_EQ(m.GetEquivLoadPointNumber(i), i < 4 ? i + 1 : i - 3);
        }
        EXPECT_NEAR(m.GetEquivLoadPointY(4), 2 * std::cos(22.5 * std::numbers::pi / 180), 1e-12);
    }
    {
        // The moment sums run over both rings: Syy = 4 x 1 / 2 + 4 x 4 / 2 = 10.
        ModelData m;
        Pattern p;
        p.Mz = 10;
        p.twoRings = 1;
        p.n1 = 4;
        p.n2 = 4;
        p.r2 = 2;
        Apply(m, p);
        ASSERT_EQ(m.GetEquivLoadPointCount(), 8);
        EXPECT_EQ(Axial(m), (std::vector<double>{-1, 0, 1, 0, -2, 0, 2, 0}));
    }
    for (int variant = 0; variant < 3; ++variant) {
        // Ring 2 is used only with the flag, points and a positive radius.
        ModelData m;
        Pattern p;
        p.Fx = 4;
        p.n1 = 4;
        p.twoRings = variant == 0 ? 0 : 1;
        p.n2 = variant == 1 ? 0 : 6;
        p.r2 = variant == 2 ? 0 : 1;
        Apply(m, p);
        ASSERT_EQ(m.GetEquivLoadPointCount(), 4) << variant;
        EXPECT_EQ(Axial(m), (std::vector<double>{1, 1, 1, 1})) << variant;
    }
}

TEST(EquivalentLoad, RecomputeReplacesAndFreeEmpties) {
    ModelData m;
    Pattern p;
    p.Fx = 6;
    p.n1 = 6;
    Apply(m, p);
    ASSERT_EQ(m.GetEquivLoadPointCount(), 6);
    p.n1 = 3;
    Apply(m, p);
    ASSERT_EQ(m.GetEquivLoadPointCount(), 3);
    EXPECT_EQ(m.patternX.size(), 3u);
    EXPECT_EQ(m.patternNumber.size(), 3u);
    EXPECT_DOUBLE_EQ(m.GetEquivLoadFx(2), 2);
    m.FreePatternArrays();
    EXPECT_EQ(m.GetEquivLoadPointCount(), 0);
    EXPECT_TRUE(m.patternY.empty());
    EXPECT_TRUE(m.patternRing.empty());
}

}  // namespace
