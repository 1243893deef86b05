// Mindlin soil: settlements of the half-space under element loads and the
// update of the nodal soil stiffnesses.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "solver/soils/mindlin.h"
#include "solver/run/state.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

using parvane::RunState;

// Corner displacement of a uniformly loaded rectangle, written out.
double corner_settlement(double a, double b, double p, double e, double nu) {
    const double l = std::max(a, b), w = std::min(a, b), m = l / w;
    const double phi = m * std::log((std::sqrt(m * m + 1) + 1) / m) + std::log(std::sqrt(m * m + 1) + m);
    return p * w * (1 - nu * nu) / (std::numbers::pi * e) * phi;
}

std::vector<double> settle(const RunState& st, const std::vector<double>& loads, double e, double nu, int& bad) {
    std::vector<double> s(static_cast<std::size_t>(st.npoin), -1.0);
    parvane::mindlin_soil(s.data(), loads.data(), st.coord.data(), st.lnods.data(), e, nu, st.nnode, st.nelem, st.ndime,
                          st.npoin, bad);
    return s;
}

TEST(Mindlin, SquareElementCornerSettlement) {
    struct Case {
        double side, load, e, nu;
    } cases[] = {{1.0, 100.0, 2.0e4, 0.3}, {2.5, 40.0, 1.0e5, 0.0}, {0.4, -7.0, 3.0e3, 0.45}};
    for (const Case& c : cases) {
        RunState st;
        cut_test::make_grid(st, 1, 1, c.side);
        int bad = -1;
        const auto s = settle(st, {c.load}, c.e, c.nu, bad);
        EXPECT_EQ(bad, 0);
        const double expect =
            c.load * (1 - c.nu * c.nu) / (std::numbers::pi * c.e * c.side) * 2.0 * std::log(1.0 + std::sqrt(2.0));
        for (int p = 1; p <= 4; ++p) EXPECT_NEAR(s[p - 1], expect, 1e-12 * std::fabs(expect)) << "node " << p;
        EXPECT_NEAR(parvane::mindlin_influence(c.side, c.side, c.load / (c.side * c.side), c.e, c.nu), expect,
                    1e-12 * std::fabs(expect));
    }
}

TEST(Mindlin, SettlementsScaleWithLoadAndInverselyWithModulus) {
    RunState st;
    cut_test::make_grid(st, 3, 2, 0.5);
    const std::vector<double> loads = {10, 20, 5, 0, 40, 15};
    int bad = 0;
    const auto base = settle(st, loads, 1.0e4, 0.25, bad);
    const auto stiff = settle(st, loads, 2.0e4, 0.25, bad);
    std::vector<double> tripled = loads;
    for (double& l : tripled) l *= 3.0;
    const auto heavy = settle(st, tripled, 1.0e4, 0.25, bad);
    for (int p = 0; p < st.npoin; ++p) {
        EXPECT_GT(base[p], 0.0);
        EXPECT_NEAR(stiff[p], base[p] / 2.0, 1e-13 * base[p]);
        EXPECT_NEAR(heavy[p], base[p] * 3.0, 1e-13 * base[p]);
    }
}

TEST(Mindlin, NodesBesideAnElementTakeTheRectangleDifferences) {
    // Element [0, 1] x [0, 1] loaded; the other elements carry nothing.
    RunState st;
    cut_test::make_grid(st, 3, 3, 1.0);
    std::vector<double> loads(9, 0.0);
    loads[0] = 50.0;
    const double e = 1.0e4, nu = 0.3, p = 50.0;
    int bad = 0;
    const auto s = settle(st, loads, e, nu, bad);
    auto I = [&](double a, double b) { return corner_settlement(a, b, p, e, nu); };
    auto node = [&](int i, int j) { return s[static_cast<std::size_t>(j * 4 + i)]; };
    // On the extension of the side z = 0 (dz below the tolerance): two rectangles.
    EXPECT_NEAR(node(2, 0), I(2, 1) - I(1, 1), 1e-14);
    EXPECT_NEAR(node(3, 0), I(3, 1) - I(2, 1), 1e-14);
    // On the extension of the side y = 0.
    EXPECT_NEAR(node(0, 3), I(1, 3) - I(1, 2), 1e-14);
    // Off both: four rectangles.
    EXPECT_NEAR(node(2, 3), I(2, 3) - I(1, 3) - I(2, 2) + I(1, 2), 1e-14);
    // At a corner: the whole rectangle.
    EXPECT_NEAR(node(1, 1), I(1, 1), 1e-14);
}

TEST(Mindlin, EmptyCountsAndDegenerateElements) {
    RunState st;
    cut_test::make_grid(st, 2, 1, 1.0);
    std::vector<double> s(6, -1.0);
    const std::vector<double> loads = {1.0, 1.0};
    int bad = 0;
    parvane::mindlin_soil(s.data(), loads.data(), st.coord.data(), st.lnods.data(), 1e4, 0.3, 4, 2, 3, 0, bad);
    for (double x : s) EXPECT_EQ(x, -1.0);
    parvane::mindlin_soil(s.data(), loads.data(), st.coord.data(), st.lnods.data(), 1e4, 0.3, 4, 0, 3, 6, bad);
    for (double x : s) EXPECT_EQ(x, 0.0);
    // Element 2 squeezed onto the line of its first and fourth nodes.
    st.coord(2, st.lnods(2, 2)) = st.coord(2, st.lnods(1, 2));
    st.coord(2, st.lnods(3, 2)) = st.coord(2, st.lnods(1, 2));
    s.assign(6, -1.0);
    parvane::mindlin_soil(s.data(), loads.data(), st.coord.data(), st.lnods.data(), 1e4, 0.3, 4, 2, 3, 6, bad);
    EXPECT_EQ(bad, 2);
}

TEST(Mindlin, UpdateTurnsSettlementsIntoStiffnessesAndKeepsUnsettledNodes) {
    solver_test::ScratchDir dir("mindlin");
    RunState st;
    st.isoil = 1;
    cut_test::make_grid(st, 2, 2, 1.0);
    st.esoil = 1.0e4;
    st.psoil = 0.3;
    st.toler = 1e-3;
    for (int p = 1; p <= st.npoin; ++p) {
        st.soil_stiffness(p) = 500.0;
        st.nodal_stiffness_nodes(p) = p;
        st.nodal_stiffness_values(1, p) = 500.0;
    }
    // Uniform settlement of 0.01 except node 5 (the centre), which does not move.
    for (int p = 1; p <= st.npoin; ++p) st.disp_vectors((p - 1) * 6 + 1, 1) = p == 5 ? 0.0 : 0.006;
    for (int p = 1; p <= st.npoin; ++p) st.disp_step((p - 1) * 6 + 1) = p == 5 ? 0.0 : 0.004;
    bool converged = true;
    int status = 0;
    parvane::mindlin_update(st, converged, status);
    ASSERT_EQ(status, 0);
    EXPECT_FALSE(converged);
    // Element loads: reactions shared by the elements of each node.
    EXPECT_NEAR(st.element_soil_loads(1), 5.0 * (1.0 + 0.5 + 0.5), 1e-12);
    for (int p = 1; p <= st.npoin; ++p) {
        const double reaction = p == 5 ? 0.0 : 5.0;
        const double s = st.settlements(p);
        ASSERT_TRUE(std::isfinite(s));
        EXPECT_NEAR(st.soil_stiffness(p), reaction / s, 1e-9 * std::fabs(reaction / s)) << p;
        EXPECT_EQ(st.nodal_stiffness_values(1, p), st.soil_stiffness(p));
    }
    // No deflection at all: every settlement is 0 and every stiffness stays.
    st.disp_vectors.fill(0.0);
    st.disp_step.fill(0.0);
    for (int p = 1; p <= st.npoin; ++p) st.soil_stiffness(p) = 500.0;
    parvane::mindlin_update(st, converged, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(converged);
    for (int p = 1; p <= st.npoin; ++p) EXPECT_EQ(st.soil_stiffness(p), 500.0);

    // A degenerate element stops the run with a line naming it.
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("out.sms"), fio::OpenStatus::Unknown), fio::kOk);
    st.element_ids(3) = 703;
    st.coord(3, st.lnods(3, 3)) = st.coord(3, st.lnods(1, 3));
    st.coord(3, st.lnods(4, 3)) = st.coord(3, st.lnods(1, 3));
    parvane::mindlin_update(st, converged, status);
    EXPECT_EQ(status, parvane::kStatusSoilGeometry);
    st.units.close(parvane::kUnitMessages);
    EXPECT_NE(solver_test::read_text(dir.file("out.sms")).find("element 703"), std::string::npos);
}

TEST(Mindlin, SoilValuesWithoutFiniteSettlementsAreRefused) {
    struct Case {
        double e, nu;
        int errors;
    } cases[] = {{1e4, 0.3, 0}, {0.0, 0.3, 1}, {-5.0, 0.3, 1}, {1e4, 1.0, 1}, {1e4, -1.0, 1}, {0.0, 1.5, 2}};
    for (const Case& c : cases) {
        RunState st;
        st.isoil = 1;
        st.esoil = c.e;
        st.psoil = c.nu;
        EXPECT_EQ(parvane::mindlin_input_errors(st), c.errors) << c.e << " " << c.nu;
        st.isoil = 0;
        EXPECT_EQ(parvane::mindlin_input_errors(st), 0);
    }
}

}  // namespace

namespace {

TEST(Mindlin, InputChecksRefuseTheSoilValues) {
    struct Case {
        std::vector<double> soil;  // E, nu, initial stiffness
        int status;
    } cases[] = {{{1.0e4, 0.3, 500.0}, -1},
                 {{0.0, 0.3, 500.0}, parvane::kStatusInput},
                 {{1.0e4, 1.0, 500.0}, parvane::kStatusInput}};
    for (const Case& c : cases) {
        cut_test::SlabInput in;
        in.ny = in.nz = 2;
        in.isoil = 1;
        in.soil = c.soil;
        parvane::RunState st;
        std::string sms;
        EXPECT_EQ(cut_test::load_slab_input(in, "mindlincheck", st, sms), c.status) << c.soil[0] << " " << c.soil[1];
        EXPECT_EQ(sms.find("Mindlin soil") != std::string::npos, c.status > 0) << sms;
        if (c.status < 0) {
            EXPECT_EQ(st.nnsti, st.npoin);
            EXPECT_EQ(st.nodal_stiffness_values(1, 9), 500.0);
        }
    }
}

}  // namespace

// The multiplicative update k <- k / (S k) of a symmetric positive influence
// matrix S has the fixed point S k = 1; plain it crawls along its slowest
// mode, mixed it settles in a few iterations at the same point.
TEST(MindlinAcceleration, MixedStepsReachTheFixedPointOfThePlainUpdate) {
    const int n = 12;
    std::vector<double> S(n * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) S[i * n + j] = (i == j ? 1.0 : 0.45) / (1.0 + std::abs(i - j)) + 0.01;
    auto G = [&](const std::vector<double>& k) {
        std::vector<double> g(n);
        for (int i = 0; i < n; ++i) {
            double s = 0;
            for (int j = 0; j < n; ++j) s += S[i * n + j] * k[j];
            g[i] = k[i] / s;
        }
        return g;
    };
    auto solve = [&](bool mixed, int& iterations) {
        std::vector<double> k(n, 1.0), next;
        parvane::AndersonHistory h;
        for (iterations = 1; iterations <= 5000; ++iterations) {
            const std::vector<double> g = G(k);
            double change = 0, size = 0;
            for (int i = 0; i < n; ++i) {
                change += (g[i] - k[i]) * (g[i] - k[i]);
                size += g[i] * g[i];
            }
            if (std::sqrt(change / size) <= 1e-10) return g;
            if (mixed)
                parvane::anderson_step(h, k, g, next);
            else
                next = g;
            for (double v : next) EXPECT_GT(v, 0.0);
            k = next;
        }
        return k;
    };
    int plain_iterations = 0, mixed_iterations = 0;
    const std::vector<double> plain = solve(false, plain_iterations);
    const std::vector<double> mixed = solve(true, mixed_iterations);
    EXPECT_LT(mixed_iterations, 20);
    EXPECT_GT(plain_iterations, 2 * mixed_iterations);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(mixed[i], plain[i], 1e-8 * plain[i]);
}

namespace {

// The influences kept in the cache give the settlements of the uncached sum
// exactly, whatever the number of threads; a budget too small for the cache
// leaves every settlement computed afresh; the cache is made once.
TEST(Mindlin, CachedInfluencesGiveTheUncachedSettlements) {
    RunState st;
    cut_test::make_grid(st, 7, 5, 0.4);
    std::vector<double> loads(static_cast<std::size_t>(st.nelem));
    for (std::size_t e = 0; e < loads.size(); ++e) loads[e] = 3.0 + static_cast<double>((e * 7) % 11);
    const double e = 5.0e4, nu = 0.3;
    int bad = 0;
    const auto plain = settle(st, loads, e, nu, bad);
    ASSERT_EQ(bad, 0);
    const std::size_t row = static_cast<std::size_t>(st.nelem) * sizeof(double);
    struct Case {
        const char* name;
        std::size_t budget;
        int threads, rows;
    };
    const Case cases[] = {{"whole cache, one thread", 1u << 30, 1, st.npoin},
                          {"whole cache, three threads", 1u << 30, 3, st.npoin},
                          {"ten rows, two threads", 10 * row + row / 2, 2, 10},
                          {"budget below one row", row - 1, 3, 0},
                          {"no budget", 0, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parvane::MindlinSums sums;
        sums.cache_budget = c.budget;
        sums.threads = c.threads;
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<double> s(static_cast<std::size_t>(st.npoin), -1.0);
            std::vector<double> scaled = loads;
            for (double& l : scaled) l *= pass + 1;
            parvane::mindlin_soil(s.data(), scaled.data(), st.coord.data(), st.lnods.data(), e, nu, st.nnode, st.nelem,
                                  st.ndime, st.npoin, bad, &sums);
            ASSERT_EQ(bad, 0);
            EXPECT_EQ(sums.cache.rows, c.rows);
            EXPECT_EQ(sums.cache.influence != nullptr, c.rows > 0);
            EXPECT_EQ(sums.times.updates, pass + 1);
            EXPECT_EQ(sums.times.cached_rows, c.rows);
            for (int p = 0; p < st.npoin; ++p) EXPECT_EQ(s[p], plain[p] * (pass + 1)) << "node " << p + 1;
        }
    }
}

}  // namespace

namespace {

// A mesh as mindlin_soil reads it: coordinates (x, y, z per node) and the
// element nodes, the four corners first.
struct SoilMesh {
    int nnode = 4;
    std::vector<double> coord;
    std::vector<int> lnods;
    int npoin() const { return static_cast<int>(coord.size() / 3); }
    int nelem() const { return static_cast<int>(lnods.size()) / nnode; }
    double y(int p) const { return coord[static_cast<std::size_t>(p - 1) * 3 + 1]; }
    double z(int p) const { return coord[static_cast<std::size_t>(p - 1) * 3 + 2]; }
};

// nx x nz rectangles with the given column widths and row heights, 8-node
// (midside nodes inside the spans of their neighbours) or 4-node.
SoilMesh rectangles(const std::vector<double>& widths, const std::vector<double>& heights, int nnode) {
    SoilMesh m;
    m.nnode = nnode;
    std::vector<double> ys{0.0}, zs{0.0};
    for (double w : widths) ys.push_back(ys.back() + w);
    for (double h : heights) zs.push_back(zs.back() - h);
    auto add = [&](double y, double z) {
        m.coord.insert(m.coord.end(), {0.0, y, z});
        return m.npoin();
    };
    const std::size_t cy = ys.size(), cz = zs.size();
    std::vector<int> corner(cy * cz);
    for (std::size_t j = 0; j < cz; ++j)
        for (std::size_t i = 0; i < cy; ++i) corner[j * cy + i] = add(ys[i], zs[j]);
    for (std::size_t j = 0; j + 1 < cz; ++j)
        for (std::size_t i = 0; i + 1 < cy; ++i) {
            const int a = corner[j * cy + i], b = corner[j * cy + i + 1], c = corner[(j + 1) * cy + i + 1],
                      d = corner[(j + 1) * cy + i];
            m.lnods.insert(m.lnods.end(), {a, b, c, d});
            if (nnode == 8) {
                const double ym = 0.5 * (ys[i] + ys[i + 1]), zm = 0.5 * (zs[j] + zs[j + 1]);
                m.lnods.insert(m.lnods.end(), {add(ym, zs[j]), add(ys[i + 1], zm), add(ym, zs[j + 1]), add(ys[i], zm)});
            }
        }
    return m;
}

// The settlement of each node written out, element by element in order.
// A rectangle with sides along y and z: the signed sum over its corners
// (Y, Z) of sgn(Y - y) sgn(Z - z) I(|Y - y|, |Z - z|), the rectangle from the
// node to each corner.  Any other quadrilateral: the fan of triangles from
// the node to its sides, each side at distance h adding h (asinh(t2 / h) -
// asinh(t1 / h)) times (1 - nu^2) / (pi E), t along the side.
std::vector<double> exact_rule(const SoilMesh& m, const std::vector<double>& loads, double e, double nu) {
    const double on_line = static_cast<double>(1.0e-14f);
    auto I = [&](double a, double b) {
        return a < on_line || b < on_line ? 0.0 : parvane::mindlin_influence(a, b, 1.0, e, nu);
    };
    auto sgn = [](double v) { return v < 0 ? -1.0 : 1.0; };
    std::vector<double> s(static_cast<std::size_t>(m.npoin()), 0.0);
    for (int i = 1; i <= m.npoin(); ++i)
        for (int el = 0; el < m.nelem(); ++el) {
            const int* c = m.lnods.data() + static_cast<std::size_t>(el) * m.nnode;
            const double yi = m.y(i), zi = m.z(i);
            bool rectangle = true;
            for (int k = 0; k < 4; ++k)
                rectangle = rectangle && (m.y(c[k]) == m.y(c[0]) || m.y(c[k]) == m.y(c[2])) &&
                            (m.z(c[k]) == m.z(c[0]) || m.z(c[k]) == m.z(c[2]));
            double u = 0, area = 0;
            if (rectangle) {
                const double y0 = std::min(m.y(c[0]), m.y(c[2])), y1 = std::max(m.y(c[0]), m.y(c[2]));
                const double z0 = std::min(m.z(c[0]), m.z(c[2])), z1 = std::max(m.z(c[0]), m.z(c[2]));
                auto G = [&](double y, double z) {
                    return sgn(y - yi) * sgn(z - zi) * I(std::fabs(y - yi), std::fabs(z - zi));
                };
                u = G(y1, z1) - G(y0, z1) - G(y1, z0) + G(y0, z0);
                area = (y1 - y0) * (z1 - z0);
            } else {
                double twice = 0;
                for (int k = 0; k < 4; ++k) {
                    const int a = c[k], b = c[(k + 1) % 4];
                    twice += m.y(a) * m.z(b) - m.z(a) * m.y(b);
                    const double ay = m.y(a) - yi, az = m.z(a) - zi, by = m.y(b) - yi, bz = m.z(b) - zi;
                    const double len = std::hypot(by - ay, bz - az);
                    const double h = (ay * bz - az * by) / len;
                    if (std::fabs(h) < 1e-300) continue;
                    const double t1 = (ay * (by - ay) + az * (bz - az)) / len,
                                 t2 = (by * (by - ay) + bz * (bz - az)) / len;
                    u += h * (std::asinh(t2 / std::fabs(h)) - std::asinh(t1 / std::fabs(h)));
                }
                u *= (twice < 0 ? -1.0 : 1.0) * (1 - nu * nu) / (std::numbers::pi * e);
                area = 0.5 * std::fabs(twice);
            }
            s[static_cast<std::size_t>(i - 1)] += loads[static_cast<std::size_t>(el)] / area * u;
        }
    return s;
}

}  // namespace

// Meshes of rectangles in rows and columns take the settlement terms from a
// table over the crossings of their corner lines; nodes inside an element's
// span (midside nodes), elements that are no rectangle on those lines, and
// meshes with too many lines for a table take them element by element.
// Every way gives the settlement of each element's true shape within
// rounding, cached or not.
TEST(Mindlin, SettlementsOfTheTrueElementShapesOnEveryMesh) {
    struct Case {
        const char* name;
        SoilMesh mesh;
    };
    std::vector<Case> cases = {
        {"4-node grid", rectangles({1.0, 1.0, 1.0, 1.0, 1.0}, {1.0, 1.0, 1.0, 1.0}, 4)},
        {"8-node grid, graded", rectangles({0.5, 0.7, 1.1, 0.9}, {0.6, 1.3, 0.8}, 8)},
        {"4-node grid, one corner moved off its lines", rectangles({1.0, 1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, 4)},
        {"every coordinate its own line", rectangles({1.0, 1.0, 1.0}, {1.0, 1.0}, 4)},
    };
    // Corner moved: its elements are no rectangles on lines any more.
    cases[2].mesh.coord[static_cast<std::size_t>(7 - 1) * 3 + 1] += 0.15;
    // Each node shifted on its own: more lines than a table is worth.
    for (std::size_t p = 0; p < cases[3].mesh.coord.size() / 3; ++p) {
        cases[3].mesh.coord[p * 3 + 1] += 1e-3 * static_cast<double>(p % 5);
        cases[3].mesh.coord[p * 3 + 2] -= 1e-3 * static_cast<double>(p % 3);
    }
    const double e = 2.0e4, nu = 0.35;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SoilMesh& m = c.mesh;
        std::vector<double> loads(static_cast<std::size_t>(m.nelem()));
        for (std::size_t el = 0; el < loads.size(); ++el) loads[el] = 2.0 + static_cast<double>((el * 5) % 7);
        const std::vector<double> rule = exact_rule(m, loads, e, nu);
        for (const std::size_t budget : {std::size_t(1) << 30, std::size_t(0)}) {
            parvane::MindlinSums sums;
            sums.cache_budget = budget;
            sums.threads = 1;
            std::vector<double> s(static_cast<std::size_t>(m.npoin()), -1.0);
            int bad = 0;
            parvane::mindlin_soil(s.data(), loads.data(), m.coord.data(), m.lnods.data(), e, nu, m.nnode, m.nelem(), 3,
                                  m.npoin(), bad, &sums);
            ASSERT_EQ(bad, 0);
            for (int p = 0; p < m.npoin(); ++p)
                EXPECT_NEAR(s[p], rule[p], 1e-11 * std::fabs(rule[p])) << "node " << p + 1 << ", budget " << budget;
        }
    }
}
