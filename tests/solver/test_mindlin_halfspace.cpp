// Mindlin soil against the elastic half-space: settlements of single
// elements of any shape against a numerical integration of the point-load
// solution, and whole analyses of rigid and flexible plates against closed
// forms (rigid punch, rigid circle, Steinbrenner's flexible rectangle), and of
// a rigid circle whose eccentric load lifts one side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "solver/run/driver.h"
#include "solver/run/state.h"
#include "solver/soils/mindlin.h"
#include "test_analysis_model.h"

namespace {

using analysis_test::RunFolder;
using analysis_test::SinModel;

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------------------
// Single elements.

struct Point {
    double y, z;
};

// Settlement at q of a unit pressure on the convex polygon `poly`, by
// numerical integration of the point-load solution (1 - nu^2) / (pi E r):
// about a point inside, over the angle of the distance to the outline (found
// by intersecting each ray with the sides); about a point outside, by a
// composite Gauss rule over a fine subdivision of the polygon into triangles
// from its first vertex.
double integrated_settlement(const std::vector<Point>& poly, Point q, double e, double nu, bool inside) {
    const double factor = (1 - nu * nu) / (kPi * e);
    const std::size_t n = poly.size();
    if (inside) {
        const int steps = 200000;
        double sum = 0;
        for (int k = 0; k < steps; ++k) {
            const double th = (k + 0.5) * 2 * kPi / steps, cy = std::cos(th), cz = std::sin(th);
            double reach = 0;
            for (std::size_t v = 0; v < n; ++v) {
                const Point a = poly[v], b = poly[(v + 1) % n];
                // q + r (cy, cz) = a + u (b - a)
                const double ey = b.y - a.y, ez = b.z - a.z;
                const double det = cy * (-ez) - cz * (-ey);
                if (std::fabs(det) < 1e-300) continue;
                const double ry = a.y - q.y, rz = a.z - q.z;
                const double r = (ry * (-ez) - rz * (-ey)) / det;
                const double u = (cy * rz - cz * ry) / det;
                if (u >= 0 && u <= 1 && r > reach) reach = r;
            }
            sum += reach;
        }
        return factor * sum * 2 * kPi / steps;
    }
    // Outside: triangles (p0, pv, pv+1), each split into m^2 sub-triangles
    // with the 7-point rule... here a 3-point rule on a fine split suffices.
    double sum = 0;
    const int m = 200;
    for (std::size_t v = 1; v + 1 < n; ++v) {
        const Point a = poly[0], b = poly[v], c = poly[v + 1];
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m - i; ++j)
                for (int up = 0; up < (j < m - i - 1 ? 2 : 1); ++up) {
                    // Sub-triangle in barycentric steps.
                    double s[3][2];
                    if (up == 0) {
                        const double pts[3][2] = {{double(i), double(j)}, {i + 1.0, double(j)}, {double(i), j + 1.0}};
                        std::copy(&pts[0][0], &pts[0][0] + 6, &s[0][0]);
                    } else {
                        const double pts[3][2] = {{i + 1.0, double(j)}, {i + 1.0, j + 1.0}, {double(i), j + 1.0}};
                        std::copy(&pts[0][0], &pts[0][0] + 6, &s[0][0]);
                    }
                    auto at = [&](double x1, double x2) {
                        const double l1 = x1 / m, l2 = x2 / m;
                        return Point{a.y + l1 * (b.y - a.y) + l2 * (c.y - a.y),
                                     a.z + l1 * (b.z - a.z) + l2 * (c.z - a.z)};
                    };
                    const Point p0 = at(s[0][0], s[0][1]), p1 = at(s[1][0], s[1][1]), p2 = at(s[2][0], s[2][1]);
                    const double area = 0.5 * std::fabs((p1.y - p0.y) * (p2.z - p0.z) - (p1.z - p0.z) * (p2.y - p0.y));
                    const double w[3][3] = {{4, 1, 1}, {1, 4, 1}, {1, 1, 4}};
                    for (const auto& l : w) {
                        const double y = (l[0] * p0.y + l[1] * p1.y + l[2] * p2.y) / 6;
                        const double z = (l[0] * p0.z + l[1] * p1.z + l[2] * p2.z) / 6;
                        sum += area / 3 / std::hypot(y - q.y, z - q.z);
                    }
                }
    }
    return factor * sum;
}

// One element (nnode nodes at `nodes`, in connectivity order) and extra
// points where the settlement is asked, under the load `load`.
std::vector<double> element_settlements(const std::vector<Point>& nodes, const std::vector<Point>& probes, int nnode,
                                        double load, double e, double nu) {
    std::vector<double> coord;
    for (const Point& p : nodes) coord.insert(coord.end(), {0.0, p.y, p.z});
    for (const Point& p : probes) coord.insert(coord.end(), {0.0, p.y, p.z});
    std::vector<int> lnods;
    for (int a = 1; a <= nnode; ++a) lnods.push_back(a);
    const int npoin = static_cast<int>(nodes.size() + probes.size());
    std::vector<double> s(static_cast<std::size_t>(npoin), 0.0);
    int bad = -1;
    parvane::mindlin_soil(s.data(), &load, coord.data(), lnods.data(), e, nu, nnode, 1, 3, npoin, bad);
    EXPECT_EQ(bad, 0);
    return std::vector<double>(s.begin() + static_cast<std::ptrdiff_t>(nodes.size()), s.end());
}

double polygon_area(const std::vector<Point>& p) {
    double twice = 0;
    for (std::size_t v = 0; v < p.size(); ++v) {
        const Point a = p[v], b = p[(v + 1) % p.size()];
        twice += a.y * b.z - a.z * b.y;
    }
    return 0.5 * std::fabs(twice);
}

// A rotated square, a general quadrilateral and an axis-parallel rectangle
// probed inside its span (beside a side's middle, at its centre, at a
// mid-side node): the settlement of the element's true shape.
TEST(MindlinHalfSpace, ElementsOfAnyShapeSettleAsTheHalfSpaceUnderThem) {
    const double e = 5.0e4, nu = 0.3, load = 1000.0;
    const double c = std::cos(0.5), s = std::sin(0.5);
    auto turned = [&](double y, double z) { return Point{1.0 + c * y - s * z, 2.0 + s * y + c * z}; };
    struct Case {
        const char* name;
        std::vector<Point> corners;
        std::vector<Point> inside, outside;
    };
    const Case cases[] = {
        {"rotated square",
         {turned(-1, -1), turned(1, -1), turned(1, 1), turned(-1, 1)},
         {turned(0, 0), turned(0.6, -0.3)},
         {turned(2.5, 0.5), turned(-0.3, -1.8)}},
        {"general quadrilateral",
         {{0, 0}, {4, 0.5}, {3.2, 3}, {0.4, 2.2}},
         {{2, 1.4}, {0.5, 0.4}},
         {{5, 1}, {1.5, -1}}},
        {"rectangle, points inside its span",
         {{0, 0}, {4, 0}, {4, 2}, {0, 2}},
         {{2, 1}, {3.5, 0.25}},
         {{2, -1}, {5, 1}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const double p = load / polygon_area(k.corners);
        std::vector<Point> probes = k.inside;
        probes.insert(probes.end(), k.outside.begin(), k.outside.end());
        const std::vector<double> got = element_settlements(k.corners, probes, 4, load, e, nu);
        for (std::size_t i = 0; i < probes.size(); ++i) {
            const double want = p * integrated_settlement(k.corners, probes[i], e, nu, i < k.inside.size());
            EXPECT_NEAR(got[i], want, 1e-5 * want) << "point " << i;
        }
    }
}

// ---------------------------------------------------------------------------
// Whole analyses.

// Steinbrenner's settlement at the corner of a uniformly loaded a x b
// rectangle, in its usual form.
double steinbrenner(double a, double b, double q, double e, double nu) {
    const double d = std::hypot(a, b);
    return q * (1 - nu * nu) / (kPi * e) * (a * std::log((b + d) / a) + b * std::log((a + d) / b));
}

struct Outcome {
    int status = -1;
    int iterations = 0;
    std::vector<double> deflection, pressure, element_pressure, reaction, soil_load;
    std::string listing, messages;
};

void keep(const parvane::RunState& st, void* data) {
    Outcome& o = *static_cast<Outcome*>(data);
    o.deflection.clear();
    o.pressure.clear();
    o.reaction.clear();
    for (int p = 1; p <= st.npoin; ++p) {
        o.deflection.push_back(st.disp_vectors((p - 1) * 6 + 1, 1));
        o.pressure.push_back(st.nodal_soil_results(p));
        o.reaction.push_back(st.soil_reactions(1, p));
    }
    o.element_pressure.assign(st.element_soil_pressure.data(), st.element_soil_pressure.data() + st.nelem);
    o.soil_load.assign(st.element_soil_loads.data(), st.element_soil_loads.data() + st.nelem);
}

Outcome analyse(const SinModel& m, const std::string& name) {
    RunFolder f("halfspace_" + name);
    f.write_input(m);
    Outcome o;
    f.enter();
    auto st = std::make_unique<parvane::RunState>();
    st->converged_step_hook = keep;
    st->converged_step_data = &o;
    o.status = 0;
    parvane::run_analysis(*st, o.status);
    o.iterations = st->figures.iterations;
    st.reset();
    f.leave();
    o.listing = f.text("model.sou");
    o.messages = f.text("model.sms");
    return o;
}

// Soil E 5e4, nu 0.3; in-plane freedoms held; one step.
void on_half_space(SinModel& m, double k0, int maxiter) {
    m.isoil = 1;
    m.soil = {5.0e4, 0.3, k0};
    for (std::size_t p = 1; p <= m.nodes.size(); ++p)
        m.restraints.push_back({static_cast<int>(p), {0, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}});
    m.maxiter = maxiter;
    m.toler = 1e-4;
    m.dtmin = 1.0;
}

int node_at(const SinModel& m, double y, double z) {
    for (std::size_t p = 0; p < m.nodes.size(); ++p)
        if (std::fabs(m.nodes[p][1] - y) < 1e-9 && std::fabs(m.nodes[p][2] - z) < 1e-9) return static_cast<int>(p + 1);
    return 0;
}

// A disc of radius a: an n x n grid of the square [-1, 1]^2 bent onto it
// (u sqrt(1 - v^2 / 2), v sqrt(1 - u^2 / 2)), quadratic nodes included, so
// that the elements are curved and none is an axis-parallel rectangle.
SinModel disc(double a, int n, int nnode) {
    SinModel m = analysis_test::square_plate(2.0, n, nnode);
    m.nnode = nnode;
    for (auto& p : m.nodes) {
        const double u = p[1] - 1.0, v = p[2] + 1.0;
        p[1] = a * u * std::sqrt(1 - v * v / 2);
        p[2] = a * v * std::sqrt(1 - u * u / 2);
    }
    return m;
}

const double kRigid[3] = {3.0e10, 0.2, 2.0};

// Rigid plates under a central load P: the rigid square of side B settles
// by 0.8678 P (1 - nu^2) / (E B) (converged boundary elements; published
// tables give 0.82-0.88), the rigid circle of radius a by
// P (1 - nu^2) / (2 a E).  Every element type converges, and a finer mesh
// comes closer.  Where a case names a finest mesh, that mesh converges
// within a few dozen iterations and stays below the rigid punch, closer
// than the fine one: the settlement of springs matched at the nodes comes
// up from below as the mesh is refined.
TEST(MindlinHalfSpace, RigidPlatesSettleAsTheRigidPunch) {
    const double e = 5.0e4, nu = 0.3, load = 1000.0;
    struct Case {
        const char* name;
        bool circle;
        int nnode, coarse, fine;
        double coarse_error, fine_error;  // bounds of |w / reference - 1|
        int finest = 0, cap = 0;          // finest mesh (0: none) and its iteration limit
    };
    const Case cases[] = {
        {"square 4-node", false, 4, 8, 16, 0.12, 0.06},        {"square 8-node", false, 8, 4, 8, 0.15, 0.08, 12, 60},
        {"square 9-node", false, 9, 4, 8, 0.15, 0.08, 12, 60}, {"circle 4-node", true, 4, 8, 16, 0.10, 0.05},
        {"circle 8-node", true, 8, 4, 6, 0.15, 0.10, 12, 60},  {"circle 9-node", true, 9, 4, 6, 0.15, 0.10, 12, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double reference =
            c.circle ? load * (1 - nu * nu) / (2 * 5.0 * e) : 0.8678 * load * (1 - nu * nu) / (e * 10.0);
        double error[2] = {0, 0};
        for (int level = 0; level < (c.finest > 0 ? 3 : 2); ++level) {
            const int n = level == 0 ? c.coarse : level == 1 ? c.fine : c.finest;
            SinModel m = c.circle ? disc(5.0, n, c.nnode) : analysis_test::square_plate(10.0, n, c.nnode);
            if (c.nnode == 9) m.ngaus = m.ngaus2 = 3;
            m.materials = {{kRigid[0], kRigid[1], kRigid[2]}};
            const int centre = c.circle ? node_at(m, 0, 0) : node_at(m, 5.0, -5.0);
            ASSERT_GT(centre, 0);
            m.nodal_loads.push_back({centre, {load, 0, 0, 0, 0, 0}});
            on_half_space(m, 5000.0, level == 2 ? c.cap : 400);
            // The plate does not tilt under the central load; held at the
            // centre, its rotations are no round-off for the convergence test.
            m.restraints[static_cast<std::size_t>(centre - 1)].code = {0, 1, 1, 1, 1, 1};
            const Outcome o = analyse(m, std::string(c.name) + std::to_string(n));
            ASSERT_EQ(o.status, 0) << "mesh " << n << "\n"
                                   << o.messages.substr(o.messages.size() > 3000 ? o.messages.size() - 3000 : 0);
            const double w = o.deflection[static_cast<std::size_t>(centre - 1)];
            if (level == 2) {
                EXPECT_LT(w, reference) << "mesh " << n;
                EXPECT_LT(std::fabs(w / reference - 1), error[1]) << "mesh " << n;
                continue;
            }
            error[level] = std::fabs(w / reference - 1);
        }
        EXPECT_LE(error[0], c.coarse_error);
        EXPECT_LE(error[1], c.fine_error);
        EXPECT_LT(error[1], error[0]);
    }
}

// A flexible 20 x 10 m plate under a uniform load q on 16 x 8 elements:
// Steinbrenner's settlement at the centre, a corner and the middle of a
// long edge, and along the long middle line no alternation between corner
// and mid-side nodes.
TEST(MindlinHalfSpace, FlexibleRectangleFollowsSteinbrenner) {
    const double e = 5.0e4, nu = 0.3, q = 10.0;
    const double centre = 4 * steinbrenner(10, 5, q, e, nu), corner = steinbrenner(20, 10, q, e, nu),
                 edge = 2 * steinbrenner(10, 10, q, e, nu);
    for (int nnode : {4, 8, 9}) {
        SCOPED_TRACE(nnode);
        SinModel m;
        m.nnode = nnode;
        analysis_test::GridMesh g = analysis_test::grid_mesh(16, 8, nnode, 1.25, -1.25);
        m.nodes = g.nodes;
        m.elements = g.elements;
        m.materials = {{1.0e4, 0.2, 0.2}};
        if (nnode == 9) m.ngaus = m.ngaus2 = 3;
        for (std::size_t el = 1; el <= m.elements.size(); ++el)
            m.distributed_loads.push_back({static_cast<int>(el), {q, 0, 0, 0, 0, 0}});
        on_half_space(m, 1000.0, 400);
        const Outcome o = analyse(m, "flexible" + std::to_string(nnode));
        ASSERT_EQ(o.status, 0);
        auto w = [&](double y, double z) { return o.deflection[static_cast<std::size_t>(node_at(m, y, z) - 1)]; };
        EXPECT_NEAR(w(10, -5), centre, 0.03 * centre);
        EXPECT_NEAR(w(0, 0), corner, 0.03 * corner);
        EXPECT_NEAR(w(10, 0), edge, 0.03 * edge);
        // Along the long middle line no alternation between corner and
        // mid-side nodes: the settlement rises from the edge to the centre,
        // every node within 4 % of the half-space.
        double before = 0;
        for (int k = 0; k <= 16; ++k) {
            const double y = k * 0.625;
            const int p = node_at(m, y, -5.0);
            if (p == 0) continue;
            const double want = steinbrenner(std::max(y, 1e-12), 5, q, e, nu) + steinbrenner(20 - y, 5, q, e, nu);
            const double got = o.deflection[static_cast<std::size_t>(p - 1)];
            EXPECT_NEAR(got, 2 * want, 0.04 * 2 * want) << "y " << y;
            EXPECT_GT(got, before) << "y " << y;
            before = got;
        }
    }
}

// A rigid circle loaded 3.75 m off its centre (beyond 2a/3, where the
// half-space would pull): the far side lifts and the soil carries no tension
// there; the soil forces balance the load and its moment; the listing and the
// message file say how many nodes lifted.
TEST(MindlinHalfSpace, EccentricLoadLiftsTheFarSideWithoutTension) {
    const double load = 1000.0, ecc = 3.75;
    for (int nnode : {4, 8}) {
        SCOPED_TRACE(nnode);
        SinModel m = disc(5.0, nnode == 4 ? 16 : 8, nnode);
        m.materials = {{kRigid[0], kRigid[1], kRigid[2]}};
        const int at = node_at(m, ecc, 0.0);
        ASSERT_GT(at, 0);
        m.nodal_loads.push_back({at, {load, 0, 0, 0, 0, 0}});
        on_half_space(m, 5000.0, 400);
        const Outcome o = analyse(m, "eccentric" + std::to_string(nnode));
        ASSERT_EQ(o.status, 0) << o.messages.substr(o.messages.size() > 3000 ? o.messages.size() - 3000 : 0);
        double force = 0, moment = 0, half_space = 0;
        int lifted = 0;
        for (std::size_t p = 0; p < m.nodes.size(); ++p) {
            force += o.reaction[p];
            moment += o.reaction[p] * m.nodes[p][1];
            // Soil pressures are compressions (negative) or nothing.
            EXPECT_LE(o.pressure[p], 0.0) << "node " << p + 1;
            if (o.pressure[p] == 0.0) {
                ++lifted;
                EXPECT_LT(m.nodes[p][1], ecc) << "lifted node " << p + 1 << " beyond the load";
            }
        }
        EXPECT_EQ(o.pressure[static_cast<std::size_t>(node_at(m, -5.0, 0.0) - 1)], 0.0);  // the far edge lifts
        for (double v : o.element_pressure) EXPECT_LE(v, 0.0);
        for (double v : o.soil_load) half_space += v;
        // The soil reactions hold the load (they are given against it).
        EXPECT_NEAR(-force, load, 0.01 * load);
        EXPECT_NEAR(-moment, load * ecc, 0.01 * load * ecc);
        EXPECT_NEAR(half_space, load, 0.01 * load);
        EXPECT_GT(lifted, 0);
        const std::string line = " of " + std::to_string(m.nodes.size()) + " nodes lifted off the soil (";
        EXPECT_NE(o.listing.find(line), std::string::npos);
        EXPECT_NE(o.messages.find(line), std::string::npos);
    }
}

// Loads whose resultant lies beyond the slab: a soil that cannot pull has
// no answer, the slab overturns.  The run stops at the first soil update and
// says where the resultant lies against the slab's extent and what to
// change, instead of iterating until its limit.
TEST(MindlinHalfSpace, ResultantBeyondTheSlabStopsWithTheOverturningMessage) {
    const double load = 1000.0, a = 5.0;
    for (int nnode : {4, 8}) {
        SCOPED_TRACE(nnode);
        SinModel m = disc(a, nnode == 4 ? 8 : 4, nnode);
        m.materials = {{kRigid[0], kRigid[1], kRigid[2]}};
        const int near = node_at(m, a, 0.0), far = node_at(m, -a, 0.0);
        ASSERT_GT(near, 0);
        ASSERT_GT(far, 0);
        // P at one edge and -P/2 at the other: P/2 at 3a from the centre.
        m.nodal_loads.push_back({near, {load, 0, 0, 0, 0, 0}});
        m.nodal_loads.push_back({far, {-0.5 * load, 0, 0, 0, 0, 0}});
        on_half_space(m, 5000.0, 400);
        const Outcome o = analyse(m, "overturning" + std::to_string(nnode));
        EXPECT_EQ(o.status, 4);
        EXPECT_EQ(o.iterations, 1);
        char distance[160];
        std::snprintf(distance, sizeof distance, "lies %.2f m from the centre of the slab, which reaches %.2f m", 3 * a,
                      a);
        for (const std::string* file : {&o.messages, &o.listing}) {
            EXPECT_NE(file->find(distance), std::string::npos) << *file;
            EXPECT_NE(file->find("the slab overturns"), std::string::npos);
            char change[160];
            std::snprintf(change, sizeof change, "(now %.6g) smaller than the vertical load times %.2f m (%.6g)",
                          0.5 * load * 3 * a, a, 0.5 * load * a);
            EXPECT_NE(file->find(change), std::string::npos) << *file;
        }
    }
}

}  // namespace
