// Whole analyses: a numeric input runs from "torve.dat" to the result files.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <random>
#include <sstream>
#include <string>

#include "solver/run/driver.h"
#include "solver/frontal/frontal.h"
#include "solver/soils/mindlin.h"
#include "solver/run/state.h"
#include "solver/run/step_plan.h"
#include "solver/run/stop.h"
#include "test_analysis_model.h"

using namespace analysis_test;

namespace {

// A negative refinement share leaves the frontal solver's default.  `hook`,
// when given, is called with `data` after every converged step; `figures`,
// when given, receives the figures of the run.  `accelerate` false runs the
// plain Mindlin soil iteration.
int run(RunFolder& f, double refinement_share = -1.0, parvane::ConvergedStepHook hook = nullptr, void* data = nullptr,
        parvane::RunFigures* figures = nullptr, bool accelerate = true) {
    f.enter();
    auto st = std::make_unique<parvane::RunState>();
    st->frontal.set_refinement_share(refinement_share);
    st->converged_step_hook = hook;
    st->converged_step_data = data;
    st->mindlin->accelerate = accelerate;
    int status = 0;
    parvane::run_analysis(*st, status);
    if (figures != nullptr) *figures = st->figures;
    f.leave();
    return status;
}

size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Analysis, ExportRunsTheAnalysisAndLeavesTheRunFiles) {
    const std::string lib = std::string(BRENNIX_BIN_DIR) + "/Parvane_DLL.so";
    void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr) << dlerror();
    auto itorve = reinterpret_cast<int (*)(int)>(dlsym(h, "ITORVE"));
    ASSERT_NE(itorve, nullptr);

    RunFolder f("export");
    SinModel m = square_plate(4.0, 2, 8);
    winkler(m, 10.0, 1000.0);
    m.dt = 0.5;
    m.dtmin = 0.1;
    f.write_input(m);
    std::ofstream(f.file("model.sms")) << " ****** Check Model ******\n ****** End of Model Check ******\n";

    EXPECT_EQ(itorve(1), 1);
    EXPECT_FALSE(std::filesystem::exists(f.file("model.sou")));
    f.enter();
    const int status = itorve(2);
    f.leave();
    dlclose(h);
    EXPECT_EQ(status, 0);

    EXPECT_TRUE(std::filesystem::exists(f.file("model.sou")));
    const std::string sms = f.text("model.sms");
    EXPECT_EQ(sms.rfind(" ****** Check Model ******\n ****** End of Model Check ******\n", 0), 0u);
    EXPECT_NE(sms.find("****** Run Analysis ******"), std::string::npos);
    for (const char* scratch : {"fort2", "fort3", "fort4"}) EXPECT_FALSE(std::filesystem::exists(f.file(scratch)));

    const std::string sds = f.text("model.sds");
    ASSERT_GE(sds.size(), 14u);
    EXPECT_EQ(sds.substr(sds.size() - 14), "END_STEP_DATA\n");
    EXPECT_EQ(sds.rfind("step_data\n26\nDisp.X Disp.Y", 0), 0u);
    EXPECT_EQ(count_of(sds, "step_data"), 1u);
    EXPECT_EQ(count_of(sds, "STEP       1\n"), 1u);
    EXPECT_EQ(count_of(sds, "STEP       2\n"), 1u);
    EXPECT_EQ(count_of(sds, "STEP"), 3u);  // two blocks and the end mark
    StepResults r = read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size()));
    ASSERT_EQ(r.steps.size(), 2u);
    EXPECT_EQ(r.columns, 26);

    // No cut lines: the header, the captions and nothing else.
    EXPECT_EQ(f.text("model.cut"), "       0       0       9\nDisp_X Rot_y Rot_z My Mz Myz Qy Qz Soil_press_q\n");
}

struct WinklerCase {
    int nnode, ngaus, ngaus2;
};

// What the converged steps of a run leave in memory.
struct Seen {
    int steps = 0;
    std::vector<double> deflection;  // x displacement of every node
    std::vector<double> nodal;       // 14 averaged values of every node
};

void keep_step(const parvane::RunState& st, void* data) {
    Seen& s = *static_cast<Seen*>(data);
    ++s.steps;
    s.deflection.clear();
    for (int p = 1; p <= st.npoin; ++p) s.deflection.push_back(st.disp_vectors((p - 1) * 6 + 1, 1));
    s.nodal.assign(st.nodal_stresses.data(), st.nodal_stresses.data() + st.nodal_stresses.size());
}

int run_seen(RunFolder& f, Seen& seen, double refinement_share = -1.0, parvane::RunFigures* figures = nullptr,
             bool accelerate = true) {
    return run(f, refinement_share, keep_step, &seen, figures, accelerate);
}

// The soil state of the last converged step.
struct SoilSeen {
    int steps = 0;
    std::vector<double> deflection, stiffness, loads;
    double gamma = 0;
};

void keep_soil(const parvane::RunState& st, void* data) {
    SoilSeen& s = *static_cast<SoilSeen*>(data);
    ++s.steps;
    s.deflection.clear();
    s.stiffness.clear();
    for (int p = 1; p <= st.npoin; ++p) {
        s.deflection.push_back(st.disp_vectors((p - 1) * 6 + 1, 1));
        if (st.soil_stiffness.size() > 0) s.stiffness.push_back(st.soil_stiffness(p));
    }
    s.gamma = st.gamma0;
    s.loads.assign(st.element_soil_loads.data(), st.element_soil_loads.data() + st.element_soil_loads.size());
}

// Vlasov's gamma = H sqrt((1 - 2 nu) / (2 (1 - nu)) int |grad w|^2 / int w^2)
// over a mesh of axis-parallel 8-node rectangles, with the 2 x 2 Gauss rule.
double vlasov_gamma(const SinModel& m, const std::vector<double>& w, double depth, double nu) {
    const double g = 1.0 / std::sqrt(3.0);
    const double xi[8] = {-1, 1, 1, -1, 0, 1, 0, -1}, eta[8] = {-1, -1, 1, 1, -1, 0, 1, 0};
    double area = 0, slope = 0;
    for (const auto& e : m.elements) {
        const auto& a = m.nodes[static_cast<size_t>(e[0] - 1)];
        const auto& c = m.nodes[static_cast<size_t>(e[2] - 1)];
        const double hy = (c[1] - a[1]) / 2, hz = (c[2] - a[2]) / 2;
        for (double s : {-g, g})
            for (double t : {-g, g}) {
                double v = 0, vs = 0, vt = 0;
                for (int k = 0; k < 8; ++k) {
                    const double x = xi[k], y = eta[k], wk = w[static_cast<size_t>(e[static_cast<size_t>(k)] - 1)];
                    double n, ns, nt;
                    if (k < 4) {
                        n = 0.25 * (1 + x * s) * (1 + y * t) * (x * s + y * t - 1);
                        ns = 0.25 * x * (1 + y * t) * (2 * x * s + y * t);
                        nt = 0.25 * y * (1 + x * s) * (x * s + 2 * y * t);
                    } else if (x == 0) {
                        n = 0.5 * (1 - s * s) * (1 + y * t);
                        ns = -s * (1 + y * t);
                        nt = 0.5 * y * (1 - s * s);
                    } else {
                        n = 0.5 * (1 + x * s) * (1 - t * t);
                        ns = 0.5 * x * (1 - t * t);
                        nt = -t * (1 + x * s);
                    }
                    v += n * wk;
                    vs += ns * wk;
                    vt += nt * wk;
                }
                const double da = std::fabs(hy * hz);
                area += da * v * v;
                slope += da * ((vs / hy) * (vs / hy) + (vt / hz) * (vt / hz));
            }
    }
    return depth * std::sqrt(0.5 * (1 - 2 * nu) / (1 - nu) * slope / area);
}

TEST(Analysis, UniformSlabOnWinklerSpringsSettlesUniformly) {
    const WinklerCase cases[] = {{4, 2, 2}, {8, 2, 2}, {8, 3, 3}, {9, 3, 3}, {8, 2, 1}};
    const double q = 12.5, k = 2500.0, a = 6.0;
    for (const WinklerCase& c : cases) {
        SCOPED_TRACE("nnode " + std::to_string(c.nnode) + " ngaus " + std::to_string(c.ngaus) + " ngaus2 " +
                     std::to_string(c.ngaus2));
        RunFolder f("winkler" + std::to_string(c.nnode) + std::to_string(c.ngaus) + std::to_string(c.ngaus2));
        SinModel m = square_plate(a, 3, c.nnode);
        m.ngaus = c.ngaus;
        m.ngaus2 = c.ngaus2;
        winkler(m, q, k);
        f.write_input(m);
        Seen seen;
        ASSERT_EQ(run_seen(f, seen), 0);
        ASSERT_EQ(seen.steps, 1);
        ASSERT_EQ(seen.deflection.size(), m.nodes.size());
        for (double w : seen.deflection) EXPECT_NEAR(w, q / k, 1e-9 * q / k);
        for (size_t p = 0; p < m.nodes.size(); ++p)
            for (int qn = 3; qn < 8; ++qn) EXPECT_NEAR(seen.nodal[p * 14 + qn], 0.0, 1e-6 * q * a * a);
        StepResults r = read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size()));
        ASSERT_EQ(r.steps.size(), 1u);
        for (const auto& row : r.steps[0].rows) EXPECT_DOUBLE_EQ(row[1], 0.005);
        const std::string sms = f.text("model.sms");
        EXPECT_NE(sms.find("iter =    2"), std::string::npos);
        EXPECT_EQ(sms.find("iter =    3"), std::string::npos);
    }
}

TEST(Analysis, UniformSlabDeflectionInTheListingIsExact) {
    const double q = 12.5, k = 2500.0;
    for (int nnode : {4, 8, 9}) {
        SCOPED_TRACE(nnode);
        RunFolder f("winklerlisting" + std::to_string(nnode));
        SinModel m = square_plate(6.0, 2, nnode);
        m.ngaus = m.ngaus2 = nnode == 9 ? 3 : 2;
        winkler(m, q, k);
        f.write_input(m);
        ASSERT_EQ(run(f), 0);
        const std::string sou = f.text("model.sou");
        const size_t at = sou.find("Disp X");
        ASSERT_NE(at, std::string::npos);
        std::istringstream in(sou.substr(sou.find('\n', at) + 1));
        for (size_t p = 0; p < m.nodes.size(); ++p) {
            int id = 0;
            double v[6];
            in >> id >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5];
            EXPECT_EQ(id, static_cast<int>(p + 1));
            EXPECT_NEAR(v[0], q / k, 1e-9 * q / k);
        }
    }
}

TEST(Analysis, ThinSimplySupportedPlateReachesTheThinPlateDeflection) {
    const double a = 10.0, t = 0.1, E = 2.0e8, nu = 0.3, q = 1.0;
    const double D = E * t * t * t / (12.0 * (1.0 - nu * nu));
    const double expected = 0.00406 * q * a * a * a * a / D;
    const WinklerCase cases[] = {{4, 2, 2}, {8, 2, 2}, {9, 3, 3}};
    for (const WinklerCase& c : cases) {
        SCOPED_TRACE("nnode " + std::to_string(c.nnode));
        RunFolder f("thin" + std::to_string(c.nnode));
        SinModel m = square_plate(a, 16, c.nnode);
        m.ngaus = c.ngaus;
        m.ngaus2 = c.ngaus2;
        m.materials = {{E, nu, t}};
        int centre = 0;
        for (size_t p = 0; p < m.nodes.size(); ++p) {
            const double y = m.nodes[p][1], z = -m.nodes[p][2];
            const bool edge_y = std::fabs(y) < 1e-9 || std::fabs(y - a) < 1e-9;
            const bool edge_z = std::fabs(z) < 1e-9 || std::fabs(z - a) < 1e-9;
            // Membrane and drilling freedoms held everywhere; deflection held on
            // the edges, with the rotation along each edge (hard support).
            std::array<int, 6> code = {0, 1, 1, 1, 0, 0};
            if (edge_y || edge_z) code[0] = 1;
            if (edge_z) code[5] = 1;
            if (edge_y) code[4] = 1;
            m.restraints.push_back({static_cast<int>(p + 1), code, {0, 0, 0, 0, 0, 0}});
            if (std::fabs(y - a / 2) < 1e-9 && std::fabs(z - a / 2) < 1e-9) centre = static_cast<int>(p + 1);
        }
        ASSERT_GT(centre, 0);
        for (size_t e = 1; e <= m.elements.size(); ++e)
            m.distributed_loads.push_back({static_cast<int>(e), {q, 0, 0, 0, 0, 0}});
        f.write_input(m);
        ASSERT_EQ(run(f), 0);
        StepResults r = read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size()));
        ASSERT_EQ(r.steps.size(), 1u);
        const auto& row = r.steps[0].rows[static_cast<size_t>(centre - 1)];
        EXPECT_NEAR(std::fabs(row[1]), expected, 0.01 * expected);
        // Centre moments of the thin plate: 0.0479 q a^2 in both directions,
        // with fibre stresses of opposite sign and size 6 M / t^2.
        const double M = 0.0479 * q * a * a;
        EXPECT_NEAR(std::fabs(row[13]), M, 0.05 * M);
        EXPECT_NEAR(std::fabs(row[14]), M, 0.05 * M);
        EXPECT_NEAR(row[18], -row[21], 1e-3 * std::fabs(row[18]));
        EXPECT_NEAR(std::fabs(row[18]), 6.0 * std::fabs(row[13]) / (t * t), 0.01 * std::fabs(row[18]));
    }
}

// A free slab under q on Winkler springs k: the answer is w = q / k with no
// rotation.  The 9-node (2,2) rule (one element of 2 x 2 m) and the 4-node
// (1,1) rule (3 x 3 elements) leave zero-energy rotation modes, which the
// solver must name instead of solving on round-off; the 9-node (3,3) rule, or
// the (2,2) rule with the rotation along each edge held, settles at q / k.
TEST(Analysis, ASlabWithAMechanismStopsAtTheZeroPivotAndNamesIt) {
    const double q = 10.0, k = 1000.0;
    struct Case {
        const char* name;
        int nnode, elements, ngaus, ngaus2;
        bool edges_held;
        bool mechanism;
    };
    const Case cases[] = {{"9 nodes rule 2,2 free", 9, 1, 2, 2, false, true},
                          {"4 nodes rule 1,1 free", 4, 3, 1, 1, false, true},
                          {"4 nodes rule 2,1 one element", 4, 1, 2, 1, false, true},
                          {"9 nodes rule 3,3 free", 9, 1, 3, 3, false, false},
                          {"9 nodes rule 2,2 edge rotations held", 9, 1, 2, 2, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder f(std::string("mechanism") + std::to_string(&c - cases));
        SinModel m = square_plate(2.0 * c.elements, c.elements, c.nnode);
        m.materials = {{3.0e7, 0.3, 0.3}};
        m.ngaus = c.ngaus;
        m.ngaus2 = c.ngaus2;
        winkler(m, q, k);
        if (c.edges_held)
            for (size_t p = 0; p < m.nodes.size(); ++p) {
                const double y = m.nodes[p][1], z = -m.nodes[p][2];
                const double a = 2.0 * c.elements;
                const bool edge_y = std::fabs(y) < 1e-9 || std::fabs(y - a) < 1e-9;
                const bool edge_z = std::fabs(z) < 1e-9 || std::fabs(z - a) < 1e-9;
                std::array<int, 6> code = {0, 0, 0, 0, edge_y ? 1 : 0, edge_z ? 1 : 0};
                if (edge_y || edge_z) m.restraints.push_back({static_cast<int>(p + 1), code, {0, 0, 0, 0, 0, 0}});
            }
        f.write_input(m);
        Seen seen;
        const int status = run_seen(f, seen);
        const std::string sms = f.text("model.sms");
        if (c.mechanism) {
            EXPECT_EQ(status, 3);
            EXPECT_EQ(seen.steps, 0);
            EXPECT_NE(f.text("model.sou").find("negative or zero pivot encountered for variable no."),
                      std::string::npos);
            const size_t at = sms.find(" zero pivot at node ");
            ASSERT_NE(at, std::string::npos);
            EXPECT_NE(sms.find("rotation): the model has a mechanism (a zero-energy mode of the chosen elements and "
                               "supports)",
                               at),
                      std::string::npos);
            EXPECT_NE(sms.find("Analysis terminated"), std::string::npos);
        } else {
            EXPECT_EQ(status, 0);
            ASSERT_EQ(seen.steps, 1);
            for (double w : seen.deflection) EXPECT_NEAR(w, q / k, 1e-9 * q / k);
            EXPECT_EQ(sms.find("mechanism"), std::string::npos);
        }
    }
}

TEST(Analysis, TimeStepsEndExactlyAtTheEndTime) {
    RunFolder f("steps");
    SinModel m = square_plate(4.0, 2, 8);
    const double q = 10.0, k = 1000.0;
    winkler(m, q, k);
    m.dt = 0.4;
    m.dtmin = 0.01;
    f.write_input(m);
    ASSERT_EQ(run(f), 0);
    const std::string sou = f.text("model.sou");
    EXPECT_NE(sou.find("   Step =    1   Time =    0.4000"), std::string::npos);
    EXPECT_NE(sou.find("   Step =    2   Time =    0.8000"), std::string::npos);
    EXPECT_NE(sou.find("   Step =    3   Time =    1.0000"), std::string::npos);
    EXPECT_EQ(sou.find("   Step =    4"), std::string::npos);
    StepResults r = read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size()));
    ASSERT_EQ(r.steps.size(), 3u);
    // Nodal and distributed loads grow with time: f = 0.4, 0.8, 1.0.
    const double factors[] = {0.4, 0.8, 1.0};
    for (int s = 0; s < 3; ++s) EXPECT_NEAR(r.steps[s].rows[0][1], factors[s] * q / k, 1e-3 * q / k);
    EXPECT_TRUE(r.end_mark);
}

// A stop asked for after the first step (from the caller's thread, here
// from the step hook) ends the run before the next iteration: the first
// step stands in the results, which get no end mark, and the message file
// says why; the exported entry forgets a request made before it starts.
TEST(Analysis, AStopRequestEndsTheRunAfterTheStepsDoneSoFar) {
    RunFolder f("stop");
    SinModel m = square_plate(4.0, 2, 8);
    winkler(m, 10.0, 1000.0);
    m.dt = 0.25;
    m.dtmin = 0.01;
    f.write_input(m);
    int steps = 0;
    const int status = run(
        f, -1.0,
        [](const parvane::RunState&, void* data) {
            ++*static_cast<int*>(data);
            parvane::request_stop();
        },
        &steps);
    parvane::clear_stop_request();
    EXPECT_EQ(status, parvane::kStatusStopped);
    EXPECT_EQ(steps, 1);
    StepResults r = read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size()));
    EXPECT_EQ(r.steps.size(), 1u);
    EXPECT_FALSE(r.end_mark);
    EXPECT_NE(f.text("model.sms").find("analysis stopped on request: not a finished run"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(f.file("model.cut")));

    const std::string lib = std::string(BRENNIX_BIN_DIR) + "/Parvane_DLL.so";
    void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr) << dlerror();
    auto itorve = reinterpret_cast<int (*)(int)>(dlsym(h, "ITORVE"));
    auto stop = reinterpret_cast<void (*)()>(dlsym(h, "ITORVE_STOP"));
    ASSERT_TRUE(itorve && stop);
    stop();
    f.enter();
    EXPECT_EQ(itorve(2), 0);
    f.leave();
    dlclose(h);
    EXPECT_TRUE(read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size())).end_mark);
}

TEST(Analysis, AFirstStepThatRoundOffPutsPastTheEndTimeStillRuns) {
    // 0.1 + 0.2 is a little more than 0.3 in binary.
    RunFolder f("roundoff");
    SinModel m = square_plate(4.0, 2, 8);
    winkler(m, 10.0, 1000.0);
    m.tini = 0.1;
    m.dt = 0.2;
    m.tend = 0.3;
    f.write_input(m);
    ASSERT_EQ(run(f), 0);
    const std::string sou = f.text("model.sou");
    EXPECT_NE(sou.find("   Step =    1   Time =    0.3000"), std::string::npos);
    EXPECT_EQ(sou.find("   Step =    2"), std::string::npos);
    EXPECT_EQ(read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size())).steps.size(), 1u);
}

TEST(Analysis, EveryIncrementHasTwoIterationsEvenWithAnIterationLimitOfOne) {
    RunFolder f("maxiter1");
    SinModel m = square_plate(4.0, 2, 8);
    winkler(m, 10.0, 1000.0);
    m.maxiter = 1;
    m.dt = 0.5;
    f.write_input(m);
    ASSERT_EQ(run(f), 0);
    const std::string sms = f.text("model.sms");
    EXPECT_EQ(count_of(sms, "iter =    1"), 2u);
    EXPECT_EQ(count_of(sms, "iter =    2"), 2u);
    EXPECT_EQ(read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size())).steps.size(), 2u);
}

TEST(Analysis, AnIncrementThatNeverSettlesIsHalvedDownToTheSmallestIncrement) {
    // One element held everywhere but the deflection of node 3, where a
    // spring stiff up to a tiny deformation and soft beyond it meets a load
    // that two iterations cannot balance.
    RunFolder f("halving");
    SinModel m = square_plate(1.0, 1, 4);
    for (int p = 1; p <= 4; ++p)
        m.restraints.push_back({p,
                                p == 3 ? std::array<int, 6>{0, 1, 1, 1, 1, 1} : std::array<int, 6>{1, 1, 1, 1, 1, 1},
                                {0, 0, 0, 0, 0, 0}});
    m.nodal_loads.push_back({3, {100.0, 0, 0, 0, 0, 0}});
    m.nonlinear.push_back({3, 1});
    m.profiles.push_back({{-1.0, -1.0e6}, {0.0, 0.0}, {1.0e-6, 1.0}, {1.0e6, 1.0e6 + 1.0}});
    m.dt = 1.0;
    m.dtmin = 0.3;
    m.maxiter = 2;
    m.toler = 1e-12;
    f.write_input(m);
    // The run ends its files as a complete one, but reports that it stopped short.
    ASSERT_EQ(run(f), parvane::kStatusIncrement);
    const std::string sms = f.text("model.sms");
    EXPECT_NE(sms.find("error, required increment less than minimun specified"), std::string::npos);
    EXPECT_EQ(sms.find("Analysis terminated"), std::string::npos);
    EXPECT_NE(sms.find("Current increment =   0.1000E+01"), std::string::npos);
    EXPECT_NE(sms.find("Current increment =   0.5000E+00"), std::string::npos);
    EXPECT_EQ(sms.find("Current increment =   0.2500E+00"), std::string::npos);
    EXPECT_EQ(f.text("model.sds"), "END_STEP_DATA\n");
    EXPECT_NE(f.text("model.sou").find("Section Cut Output"), std::string::npos);
}

TEST(Analysis, SoilModelsRunThroughTheIteration) {
    struct Case {
        const char* name;
        int isoil;
        std::vector<double> soil;
    };
    const Case cases[] = {{"Mindlin", 1, {150.0, 0.3, 2000.0}}, {"Vlasov", 2, {150.0, 250.0, 0.3, 20.0, 1.0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder f(std::string("soil") + std::to_string(c.isoil));
        SinModel m = square_plate(4.0, 2, 8);
        m.isoil = c.isoil;
        m.soil = c.soil;
        m.materials = {{3.0e5, 0.3, 0.2}};
        // On Vlasov soil a load on one element only bends the slab, so that
        // gamma has a deflection field to follow.
        for (size_t e = 1; e <= (c.isoil == 2 ? 1 : m.elements.size()); ++e)
            m.distributed_loads.push_back({static_cast<int>(e), {10.0, 0, 0, 0, 0, 0}});
        for (size_t p = 1; p <= m.nodes.size(); ++p)
            m.restraints.push_back({static_cast<int>(p), {0, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}});
        m.maxiter = 50;
        m.toler = 0.01;
        if (c.isoil == 1) {
            // Tight enough that every corner in contact settles as it deflects.
            m.maxiter = 200;
            m.toler = 1e-4;
        }
        m.dtmin = 0.1;
        f.write_input(m);
        Seen seen;
        SoilSeen soil;
        ASSERT_EQ(run(f, -1.0, keep_soil, &soil), 0);
        seen.deflection = soil.deflection;
        EXPECT_GE(soil.steps, 1);
        EXPECT_NE(f.text("model.sou").find("Time =    1.0000"), std::string::npos);
        if (c.isoil == 1) {
            // The converged soil modulus at the corners is pressure over
            // settlement, for the settlement s of the half-space under the
            // element loads of those pressures, each spread over the
            // element's quarters by its corner pressures: the soil settles
            // as the slab deflects at every corner in contact.
            const size_t n = m.nodes.size();
            std::vector<double> element_load = soil.loads, coord, settlement(n, 0.0), pressure(n, 0.0);
            for (const auto& p : m.nodes) coord.insert(coord.end(), p.begin(), p.end());
            for (size_t p = 0; p < n; ++p) pressure[p] = soil.stiffness[p] * soil.deflection[p];
            std::vector<int> lnods;
            for (const auto& e : m.elements) lnods.insert(lnods.end(), e.begin(), e.end());
            int bad = 0;
            parvane::MindlinQuarters quarters;
            parvane::mindlin_quarter_soil(settlement.data(), element_load.data(), pressure.data(), coord.data(),
                                          lnods.data(), c.soil[0], c.soil[1], m.nnode,
                                          static_cast<int>(m.elements.size()), 3, static_cast<int>(n), bad, quarters);
            ASSERT_EQ(bad, 0);
            double wmax = 0;
            double pmax = 0;
            for (size_t p = 0; p < n; ++p) {
                wmax = std::max(wmax, std::fabs(soil.deflection[p]));
                pmax = std::max(pmax, std::fabs(soil.stiffness[p] * soil.deflection[p]));
            }
            ASSERT_GT(wmax, 0.0);
            for (const auto& e : m.elements)
                for (int c = 0; c < 4; ++c) {
                    const size_t p = static_cast<size_t>(e[static_cast<size_t>(c)] - 1);
                    if (!(soil.stiffness[p] > 0.0)) continue;
                    // A corner whose pressure is dying away stands above the
                    // settled surface: it is lifting off.
                    const bool lifting =
                        soil.deflection[p] < settlement[p] && soil.stiffness[p] * soil.deflection[p] <= 0.01 * pmax;
                    if (!lifting) {
                        EXPECT_NEAR(settlement[p], soil.deflection[p], 0.02 * wmax) << "node " << p + 1;
                    }
                }
        } else {
            // The final gamma follows from the final deflection field.
            EXPECT_NEAR(soil.gamma, vlasov_gamma(m, soil.deflection, c.soil[3], c.soil[2]), 1e-6 * soil.gamma);
        }
        for (double w : seen.deflection) {
            EXPECT_TRUE(std::isfinite(w));
            if (c.isoil == 1) {
                EXPECT_GT(w, 0.0);  // the load pushes the slab into the soil
            }
        }
        EXPECT_TRUE(read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size())).end_mark);
    }
}

// A stiff raft on Vlasov soil settles almost uniformly: the edge springs
// carry c L per side whatever the element, so 4-, 8- and 9-node meshes agree.
TEST(Analysis, AStiffRaftOnVlasovSoilSettlesAlikeWithEveryElementKind) {
    struct Case {
        int nnode, n;
    };
    const Case cases[] = {{4, 4}, {8, 2}, {9, 2}};
    double first = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nnode);
        RunFolder f("vlasovraft" + std::to_string(c.nnode));
        SinModel m = square_plate(10.0, c.n, c.nnode);
        m.isoil = 2;
        m.soil = {150000.0, 250000.0, 0.3, 20.0, 1.0};
        m.materials = {{3.0e9, 0.2, 3.0}};
        m.ngaus = m.ngaus2 = c.nnode == 9 ? 3 : 2;
        vlasov_outline(m);
        ASSERT_EQ(m.vlasov_edges.size(), static_cast<size_t>(4 * c.n));
        for (size_t e = 1; e <= m.elements.size(); ++e)
            m.distributed_loads.push_back({static_cast<int>(e), {100.0, 0, 0, 0, 0, 0}});
        for (size_t p = 1; p <= m.nodes.size(); ++p)
            m.restraints.push_back({static_cast<int>(p), {0, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}});
        m.maxiter = 50;
        m.toler = 1e-6;
        f.write_input(m);
        Seen seen;
        ASSERT_EQ(run_seen(f, seen), 0);
        ASSERT_EQ(seen.steps, 1);
        double mean = 0;
        for (double w : seen.deflection) mean += w / static_cast<double>(seen.deflection.size());
        if (first == 0) first = mean;
        EXPECT_GT(mean, 0.0);
        EXPECT_NEAR(mean, first, 1e-3 * first);
    }
}

TEST(Analysis, StepControlThatCouldNotEndIsRefused) {
    struct Case {
        const char* name;
        double dt, dtmin;
    };
    const Case cases[] = {{"zero increment", 0.0, 0.1}, {"negative increment", -0.5, 0.1}, {"zero smallest", 0.5, 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder f(std::string("refuse") + std::to_string(&c - cases));
        SinModel m = square_plate(2.0, 1, 4);
        winkler(m, 1.0, 100.0);
        m.dt = c.dt;
        m.dtmin = c.dtmin;
        f.write_input(m);
        EXPECT_GT(run(f), 0);
        EXPECT_NE(f.text("model.sms").find("must be greater than zero"), std::string::npos);
        EXPECT_EQ(f.text("model.sds").find("STEP"), std::string::npos);
    }
}

// A time stepping whose first increment ends beyond the end time makes no
// step: the run fails before its first step, naming the three values, and
// writes no step results.
TEST(Analysis, NoStepAtAllIsAFailedRunNamingTheTimes) {
    struct Case {
        const char* what;
        double tini, dt, tend;
        const char* named;
    };
    const Case cases[] = {
        {"increment above the end time", 0.0, 2.0, 1.0,
         "the initial time 0 plus the increment 2 lies beyond the end time 1"},
        {"end time below the increment", 0.0, 1.0, 0.001,
         "the initial time 0 plus the increment 1 lies beyond the end time 0.001"},
        {"start after the end", 5.0, 1.0, 1.0, "the initial time 5 plus the increment 1 lies beyond the end time 1"},
        {"end time at the start", 0.0, 1.0, 0.0, "the initial time 0 plus the increment 1 lies beyond the end time 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunFolder f(std::string("nostep") + std::to_string(&c - cases));
        SinModel m = square_plate(2.0, 1, 8);
        winkler(m, 1.0, 100.0);
        m.tini = c.tini;
        m.dt = c.dt;
        m.tend = c.tend;
        m.ncut = 2;
        f.write_input(m);
        EXPECT_EQ(run(f), parvane::kStatusInput);
        const std::string sms = f.text("model.sms");
        EXPECT_NE(sms.find(std::string("error, the time stepping makes no step: ") + c.named), std::string::npos)
            << sms;
        EXPECT_NE(sms.find("Analysis terminated"), std::string::npos);
        EXPECT_EQ(sms.find("step "), std::string::npos);
        EXPECT_EQ(f.text("model.sds").find("STEP"), std::string::npos);
    }
}

// The solver bounds the time stepping as the program's model check does:
// more than 10000 increments are refused before the first step, and a
// halved increment that would take the run past them ends it.
TEST(Analysis, TheTimeSteppingIsBoundedToTenThousandIncrements) {
    {
        RunFolder f("toomany");
        SinModel m = square_plate(2.0, 1, 8);
        winkler(m, 1.0, 100.0);
        m.tend = 65536.0;
        f.write_input(m);
        EXPECT_EQ(run(f), parvane::kStatusInput);
        const std::string sms = f.text("model.sms");
        EXPECT_NE(sms.find("error, the time stepping takes 65536 increments (increment 1 from 0 to 65536); at most "
                           "10000 are allowed"),
                  std::string::npos)
            << sms;
        EXPECT_EQ(f.text("model.sds").find("STEP"), std::string::npos);
    }
    {
        // The spring of the halving test below: once the load passes its
        // kink, the increment is halved to 0.5, and the rest of the 10000
        // would take twice as many.
        RunFolder f("halvedtoomany");
        SinModel m = square_plate(1.0, 1, 4);
        for (int p = 1; p <= 4; ++p)
            m.restraints.push_back(
                {p,
                 p == 3 ? std::array<int, 6>{0, 1, 1, 1, 1, 1} : std::array<int, 6>{1, 1, 1, 1, 1, 1},
                 {0, 0, 0, 0, 0, 0}});
        m.nodal_loads.push_back({3, {100.0, 0, 0, 0, 0, 0}});
        m.nonlinear.push_back({3, 1});
        m.profiles.push_back({{-1.0, -1.0e6}, {0.0, 0.0}, {1.0e-6, 1.0}, {1.0e6, 1.0e6 + 1.0}});
        m.dt = 1.0;
        m.tend = 10000.0;
        m.dtmin = 0.3;
        m.maxiter = 2;
        m.toler = 1e-12;
        f.write_input(m);
        EXPECT_EQ(run(f), parvane::kStatusIncrement);
        const std::string sms = f.text("model.sms");
        const size_t at = sms.find("error, the halved increment 0.5 would take ");
        ASSERT_NE(at, std::string::npos) << sms;
        const int total = std::atoi(sms.c_str() + at + 43);
        EXPECT_GT(total, 10000);
        EXPECT_LT(total, 20000);
        EXPECT_EQ(sms.compare(at + 43 + std::to_string(total).size(), 54,
                              " increments to the end time; at most 10000 are allowed"),
                  0)
            << sms.substr(at);
        // The steps done so far stand; no increment of 0.5 is tried.
        EXPECT_EQ(count_of(sms, "Current increment =   0.5000E+00"), 0u);
        EXPECT_TRUE(read_step_results(f.file("model.sds"), static_cast<int>(m.nodes.size())).end_mark);
    }
}

// Step results that would not fit the room left for them are refused before
// the first step, naming both figures; the estimate is the size the step
// results take.
TEST(Analysis, StepResultsBeyondTheRoomForThemAreRefused) {
    SinModel m = square_plate(2.0, 2, 8);
    winkler(m, 1.0, 100.0);
    m.dt = 1.0;
    m.tend = 3.0;
    {
        RunFolder f("estimate");
        f.write_input(m);
        struct Seen {
            double estimate = 0;
        } seen;
        const int status = run(
            f, -1.0,
            [](const parvane::RunState& st, void* data) {
                if (st.istep == 1) static_cast<Seen*>(data)->estimate = parvane::step_results_bytes(st, 3);
            },
            &seen);
        ASSERT_EQ(status, 0);
        const double written = static_cast<double>(std::filesystem::file_size(f.file("model.sds"))) -
                               std::string("END_STEP_DATA\n").size();
        EXPECT_EQ(seen.estimate, written);
    }
    {
        // 10000 steps of 21 nodes take about 66.9 MB; a file-size limit of
        // 1 MB leaves room for less.
        RunFolder f("noroom");
        m.tend = 10000.0;
        f.write_input(m);
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 1000000;
        if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < small.rlim_cur) GTEST_SKIP() << "file-size limit";
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const int status = run(f);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(status, parvane::kStatusRunFiles);
        const std::string sms = f.text("model.sms");
        EXPECT_NE(sms.find("error, the step results of 10000 steps of 21 nodes need about 66.9 MB, but " +
                           f.file("model.sds").string() + " has room for 1.0 MB (the file-size limit of the run)"),
                  std::string::npos)
            << sms;
        EXPECT_EQ(f.text("model.sds").find("STEP"), std::string::npos);
    }
}

// Counts that size the tables per element are checked before anything is
// reserved for them, naming the count.
TEST(Analysis, CountsThatSizeTheTablesAreRefusedBeforeReserving) {
    struct Case {
        const char* what;
        int nnode, ngaus;
        const char* named;
    };
    const Case cases[] = {
        {"negative Gauss-point count", 8, -99999999, "counts: ngaus -99999999 is not 1, 2 or 3"},
        {"nodes per element beyond the file", 99999999, 2,
         "counts: nnode 99999999 with nelem 1 gives 99999999 node entries"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunFolder f(std::string("sizing") + std::to_string(&c - cases));
        SinModel m = square_plate(2.0, 1, 8);
        winkler(m, 1.0, 100.0);
        m.nnode = c.nnode;
        m.ngaus = c.ngaus;
        f.write_input(m);
        EXPECT_EQ(run(f), parvane::kStatusInput);
        const std::string sms = f.text("model.sms");
        EXPECT_NE(sms.find(c.named), std::string::npos) << sms;
        EXPECT_EQ(sms.find("allocating"), std::string::npos) << sms;
    }
}

TEST(Analysis, ReactionsAreListedForRestrainedNodesOnly) {
    {
        RunFolder f("noreactions");
        SinModel m = square_plate(2.0, 2, 8);
        winkler(m, 1.0, 100.0);
        f.write_input(m);
        ASSERT_EQ(run(f), 0);
        EXPECT_NE(f.text("model.sou").find("\n No output of reactions at fixed boundary\n"), std::string::npos);
    }
    {
        RunFolder f("reactions");
        SinModel m = square_plate(2.0, 2, 8);
        winkler(m, 1.0, 100.0);
        m.restraints.push_back({2, {1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
        f.write_input(m);
        ASSERT_EQ(run(f), 0);
        const std::string sou = f.text("model.sou");
        const size_t at = sou.find("Reactions at fixed boundary");
        ASSERT_NE(at, std::string::npos);
        const size_t head = sou.find("Moment Z", at);
        std::istringstream in(sou.substr(sou.find('\n', head) + 1));
        int id = 0;
        double v[6] = {};
        in >> id >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5];
        EXPECT_EQ(id, 2);
        EXPECT_TRUE(in.good());
        EXPECT_GT(std::fabs(v[0]), 0.0);  // the support takes a share of the load
        int next = 0;
        in >> next;
        EXPECT_NE(next, 3);  // only the restrained node is listed
    }
}

// A run file whose writes fail (a full disk) ends the run with the run-file
// status and a message-file line naming the file and the cause.
TEST(Analysis, ARunFileThatCannotBeWrittenIsNamedInTheMessageFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    RunFolder f("fulldisk");
    SinModel m = square_plate(2.0, 2, 8);
    winkler(m, 1.0, 100.0);
    f.write_input(m);
    std::string control = f.text("torve.dat");
    control.replace(control.find(f.file("model.sds").string()), f.file("model.sds").string().size(), "/dev/full");
    std::ofstream(f.file("torve.dat")) << control;
    EXPECT_EQ(run(f), 7);
    const std::string sms = f.text("model.sms");
    EXPECT_NE(sms.find("error closing file /dev/full: No space left on device"), std::string::npos) << sms;
    EXPECT_NE(sms.find("Analysis terminated"), std::string::npos);
}

TEST(Analysis, FailuresEndTheRunWithAPositiveStatus) {
    {
        // A slab with neither springs nor supports floats: its rigid-body
        // motion leaves a zero pivot.
        RunFolder f("singular");
        SinModel m = square_plate(2.0, 1, 8);
        for (size_t e = 1; e <= m.elements.size(); ++e)
            m.distributed_loads.push_back({static_cast<int>(e), {1, 0, 0, 0, 0, 0}});
        f.write_input(m);
        EXPECT_EQ(run(f), 3);
        EXPECT_NE(f.text("model.sou").find("negative or zero pivot encountered for variable no."), std::string::npos);
        EXPECT_NE(f.text("model.sms").find("the model has a mechanism"), std::string::npos);
        EXPECT_NE(f.text("model.sms").find("Analysis terminated"), std::string::npos);
        for (const char* scratch : {"fort2", "fort3", "fort4"}) EXPECT_FALSE(std::filesystem::exists(f.file(scratch)));
    }
    {
        // Rejected control values: nothing after the input is run.
        RunFolder f("rejected");
        SinModel m = square_plate(2.0, 1, 8);
        winkler(m, 1.0, 100.0);
        m.ngaus = 5;
        f.write_input(m);
        EXPECT_GT(run(f), 0);
        EXPECT_EQ(f.text("model.sms").find("step "), std::string::npos);
        EXPECT_EQ(f.text("model.sou").find("Plate Forces and Stresses"), std::string::npos);
    }
}

}  // namespace

namespace {

// A stiff 8 x 8 plate on Mindlin soil: the accelerated soil iteration
// reaches the settlement of the plain one in fewer iterations.
struct MindlinRun {
    int status = 0;
    int iterations = 0;
    double mean = 0;
    std::vector<double> deflection;
    int refined = 0;
};

// A square plate of n x n 4-node elements under a uniform load on the
// Mindlin soil, free to deflect only across its plane.
SinModel mindlin_square(double side, int n, int maxiter) {
    SinModel m = square_plate(side, n, 4);
    m.isoil = 1;
    m.soil = {30000.0, 0.3, 2000.0};
    m.materials = {{3.0e7, 0.2, 1.0}};
    for (size_t e = 1; e <= m.elements.size(); ++e)
        m.distributed_loads.push_back({static_cast<int>(e), {10.0, 0, 0, 0, 0, 0}});
    for (size_t p = 1; p <= m.nodes.size(); ++p)
        m.restraints.push_back({static_cast<int>(p), {0, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}});
    m.maxiter = maxiter;
    m.toler = 1e-4;
    m.dtmin = 1.0;
    return m;
}

MindlinRun mindlin_plate(bool accelerate, int maxiter, double refinement_share = -1.0) {
    // (accelerate false gives the plain scheme whose answer the test pins)
    RunFolder f(std::string("mindlinfast") + (accelerate ? "1" : "0"));
    f.write_input(mindlin_square(8.0, 8, maxiter));
    Seen seen;
    MindlinRun r;
    parvane::RunFigures figures;
    r.status = run_seen(f, seen, refinement_share, &figures, accelerate);
    const std::string sms = f.text("model.sms");
    for (size_t at = sms.find("iter ="); at != std::string::npos; at = sms.find("iter =", at + 1))
        r.iterations = std::max(r.iterations, std::atoi(sms.c_str() + at + 6));
    for (double w : seen.deflection) r.mean += w / static_cast<double>(seen.deflection.size());
    r.deflection = seen.deflection;
    r.refined = figures.refined_solutions;
    return r;
}

// The plain soil iteration needs 73 iterations on this plate (tolerance
// 1e-4), where its mean deflection settles at 2.003826e-3 m (the rigid
// punch under the same load: 2.106e-3 m); the accelerated one converges
// within 50 to the same deflection.
TEST(Analysis, TheMindlinSoilIterationIsAccelerated) {
    const double plain_mean = 2.003826e-3;
    const MindlinRun fast = mindlin_plate(true, 50);
    ASSERT_EQ(fast.status, 0);
    EXPECT_LE(fast.iterations, 50);
    EXPECT_NEAR(fast.mean, plain_mean, 1e-3 * plain_mean);
}

// Solving the later soil iterations through the equations of an earlier
// elimination (refinement) leaves the answer as eliminating every iteration
// gives it, within rounding, and the iterations as they were.
TEST(Analysis, SoilIterationsSolvedThroughStoredEquationsGiveTheEliminatedAnswer) {
    const MindlinRun eliminated = mindlin_plate(true, 50, 0.0);
    const MindlinRun refined = mindlin_plate(true, 50, 1e9);
    ASSERT_EQ(eliminated.status, 0);
    ASSERT_EQ(refined.status, 0);
    EXPECT_EQ(eliminated.refined, 0);
    EXPECT_EQ(refined.refined, refined.iterations - 1);
    EXPECT_EQ(refined.iterations, eliminated.iterations);
    ASSERT_EQ(refined.deflection.size(), eliminated.deflection.size());
    double worst = 0, largest = 0;
    for (std::size_t i = 0; i < refined.deflection.size(); ++i) {
        worst = std::max(worst, std::fabs(refined.deflection[i] - eliminated.deflection[i]));
        largest = std::max(largest, std::fabs(eliminated.deflection[i]));
    }
    EXPECT_LE(worst, 1e-9 * largest);
}

// The result files of a run, without the lines that tell when it ran and how
// long it took.
std::vector<std::string> result_files(const RunFolder& f) {
    std::vector<std::string> files;
    for (const char* name : {"model.sds", "model.cut", "model.sou", "model.sms"}) {
        std::istringstream in(f.text(name));
        std::string kept, line;
        for (; std::getline(in, line);) {
            const bool clock = line.size() == 11 && line[2] == ':' && line[5] == ':' && line[8] == ':';
            const bool date = line.size() == 10 && line[2] == '/' && line[5] == '/';
            if (clock || date || line.find("Execution time") != std::string::npos) continue;
            kept += line + "\n";
        }
        files.push_back(kept);
    }
    return files;
}

// Runs `model` in a child process (nothing this process runs afterwards
// reaches it) and gives its result files.
std::vector<std::string> run_alone(const std::string& name, const SinModel& model, bool accelerate) {
    RunFolder f(name);
    f.write_input(model);
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(run(f, -1.0, nullptr, nullptr, nullptr, accelerate));
    int status = -1;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << " alone: " << status;
    return result_files(f);
}

// Two analyses run one after the other in one process share nothing: a
// plate on the Mindlin soil, then a smaller one with the plain soil
// iteration, then the first again, each gives the files of its own run in a
// process of its own.  The two meshes have the same numbers of nodes and
// elements and the same soil, so that influences kept from the other plate
// would pass for this one's.
TEST(Analysis, AnalysesInOneProcessGiveTheResultsOfTheirOwnRuns) {
    SinModel a = mindlin_square(8.0, 6, 400), b = mindlin_square(5.0, 6, 400);
    a.toler = b.toler = 1e-3;  // the plain iteration is slow
    const std::vector<std::string> a_alone = run_alone("alonea", a, true);
    const std::vector<std::string> b_alone = run_alone("aloneb", b, false);
    ASSERT_NE(a_alone, b_alone);
    struct Turn {
        const char* name;
        const SinModel& model;
        bool accelerate;
        const std::vector<std::string>& alone;
    };
    const Turn turns[] = {{"turna1", a, true, a_alone}, {"turnb", b, false, b_alone}, {"turna2", a, true, a_alone}};
    for (const Turn& t : turns) {
        SCOPED_TRACE(t.name);
        RunFolder f(t.name);
        f.write_input(t.model);
        ASSERT_EQ(run(f, -1.0, nullptr, nullptr, nullptr, t.accelerate), 0);
        const std::vector<std::string> files = result_files(f);
        ASSERT_EQ(files.size(), t.alone.size());
        for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(files[i], t.alone[i]) << "file " << i;
    }
}

}  // namespace

namespace {

// A point load P at the centre of a slab on Winkler springs k: Westergaard's
// interior deflection P / (8 sqrt(k D)), and no change of sign of w within
// the radius of relative stiffness l = (D / k)^(1/4).  The 4-node element
// with the one-point second rule (2,1) keeps the hourglass deflection mode of
// its one-point shear integration, held only by the springs: its peak stands
// about 30 % above Westergaard on this mesh (and does not improve under
// refinement); a single such element on springs is a mechanism.
TEST(Analysis, PointLoadOnWinklerSpringsMeetsWestergaard) {
    const double E = 3.0e7, nu = 0.2, t = 0.3, k = 1.0e4, P = 100.0, a = 12.0;
    const double D = E * t * t * t / (12.0 * (1.0 - nu * nu));
    const double l = std::pow(D / k, 0.25);
    const double expected = P / (8.0 * std::sqrt(k * D));
    struct Case {
        int nnode, ngaus, ngaus2, n;
        double low, high;  // bounds of the peak over Westergaard's
    };
    const Case cases[] = {{4, 2, 2, 16, 0.9, 1.1},
                          {8, 2, 2, 8, 0.9, 1.1},
                          {8, 3, 3, 8, 0.9, 1.1},
                          {9, 3, 3, 8, 0.9, 1.1},
                          {4, 2, 1, 16, 1.0, 1.4}};
    for (const Case& c : cases) {
        SCOPED_TRACE("nnode " + std::to_string(c.nnode) + " rule " + std::to_string(c.ngaus) + "," +
                     std::to_string(c.ngaus2));
        RunFolder f("westergaard" + std::to_string(c.nnode) + std::to_string(c.ngaus) + std::to_string(c.ngaus2));
        SinModel m = square_plate(a, c.n, c.nnode);
        m.ngaus = c.ngaus;
        m.ngaus2 = c.ngaus2;
        m.materials = {{E, nu, t}};
        winkler(m, 0.0, k);
        int centre = 0;
        for (size_t p = 0; p < m.nodes.size(); ++p)
            if (std::fabs(m.nodes[p][1] - a / 2) < 1e-9 && std::fabs(m.nodes[p][2] + a / 2) < 1e-9)
                centre = static_cast<int>(p + 1);
        ASSERT_GT(centre, 0);
        m.nodal_loads.push_back({centre, {P, 0, 0, 0, 0, 0}});
        f.write_input(m);
        Seen seen;
        ASSERT_EQ(run_seen(f, seen), 0);
        const double w0 = seen.deflection[static_cast<size_t>(centre - 1)];
        EXPECT_GT(w0 / expected, c.low);
        EXPECT_LT(w0 / expected, c.high);
        for (size_t p = 0; p < m.nodes.size(); ++p) {
            const double r = std::hypot(m.nodes[p][1] - a / 2, m.nodes[p][2] + a / 2);
            if (r <= l) {
                EXPECT_GT(seen.deflection[p] * w0, 0.0) << "node " << p + 1 << " at r " << r;
            }
        }
    }
}

// The same model numbered in a scattered order: nodes and elements shuffled,
// every reference renumbered.  new_node[p] is the new position of node p
// (both from 0).
SinModel scattered(const SinModel& m, std::vector<int>& new_node) {
    std::mt19937 random(20261211);
    const size_t n = m.nodes.size(), ne = m.elements.size();
    std::vector<int> node_at(n), element_at(ne), new_element(ne);
    std::iota(node_at.begin(), node_at.end(), 0);
    std::iota(element_at.begin(), element_at.end(), 0);
    std::shuffle(node_at.begin(), node_at.end(), random);
    std::shuffle(element_at.begin(), element_at.end(), random);
    new_node.assign(n, 0);
    for (size_t i = 0; i < n; ++i) new_node[static_cast<size_t>(node_at[i])] = static_cast<int>(i);
    for (size_t i = 0; i < ne; ++i) new_element[static_cast<size_t>(element_at[i])] = static_cast<int>(i);
    SinModel s = m;
    for (size_t i = 0; i < n; ++i) s.nodes[i] = m.nodes[static_cast<size_t>(node_at[i])];
    for (size_t i = 0; i < ne; ++i) {
        s.elements[i] = m.elements[static_cast<size_t>(element_at[i])];
        for (int& q : s.elements[i]) q = new_node[static_cast<size_t>(q - 1)] + 1;
    }
    for (auto& r : s.restraints) r.node = new_node[static_cast<size_t>(r.node - 1)] + 1;
    for (auto* list : {&s.nodal_loads, &s.nodal_stiffness})
        for (auto& a : *list) a.first = new_node[static_cast<size_t>(a.first - 1)] + 1;
    for (auto* list : {&s.distributed_loads, &s.distributed_stiffness})
        for (auto& a : *list) a.first = new_element[static_cast<size_t>(a.first - 1)] + 1;
    return s;
}

// An nx x ny grid without the elements whose row and column both lie in
// [from, to), and without the nodes that only those held.
SinModel grid_with_hole(int nx, int ny, int nnode, int from, int to) {
    SinModel m;
    m.nnode = nnode;
    GridMesh g = grid_mesh(nx, ny, nnode, 1.0, -1.0);
    std::vector<int> renumber(g.nodes.size(), 0);
    for (int er = 0; er < ny; ++er)
        for (int ec = 0; ec < nx; ++ec) {
            if (er >= from && er < to && ec >= from && ec < to) continue;
            m.elements.push_back(g.elements[static_cast<size_t>(er) * nx + ec]);
            for (int q : m.elements.back()) renumber[static_cast<size_t>(q - 1)] = 1;
        }
    for (size_t p = 0; p < g.nodes.size(); ++p) {
        if (renumber[p] == 0) continue;
        m.nodes.push_back(g.nodes[p]);
        renumber[p] = static_cast<int>(m.nodes.size());
    }
    for (auto& e : m.elements)
        for (int& q : e) q = renumber[static_cast<size_t>(q - 1)];
    return m;
}

int listed_front(const std::string& listing) {
    const std::string key = "maximum frontwidth encountered =";
    const size_t at = listing.find(key);
    return at == std::string::npos ? -1 : std::atoi(listing.c_str() + at + key.size());
}

// The frontal solution takes the elements in an order of its own: a model
// numbered anyhow gives the results of the same model numbered in order, and
// a front no wider than the ordered numbering's by more than a third.
TEST(Analysis, AScatteredNumberingGivesTheResultsOfTheOrderedOne) {
    struct Case {
        const char* name;
        int nnode, nx, ny, hole_from, hole_to;
        bool point_loads;
        double turn = 0;  // degrees the mesh is turned by in its plane
    };
    // The turned mesh with a hole is one where a Sloan order along a sweep
    // gives the narrowest front.
    const Case cases[] = {{"4-node", 4, 9, 5, 0, 0, false},
                          {"8-node", 8, 5, 3, 0, 0, true},
                          {"9-node", 9, 4, 4, 0, 0, false},
                          {"4-node with a hole and point loads", 4, 8, 8, 3, 5, true},
                          {"4-node turned, with a hole", 4, 8, 6, 2, 4, false, 30.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SinModel m = grid_with_hole(c.nx, c.ny, c.nnode, c.hole_from, c.hole_to);
        const double turn = c.turn * std::acos(-1.0) / 180.0;
        for (auto& q : m.nodes)
            q = {q[0], q[1] * std::cos(turn) - q[2] * std::sin(turn), q[1] * std::sin(turn) + q[2] * std::cos(turn)};
        m.ngaus = m.ngaus2 = c.nnode == 9 ? 3 : 2;
        m.materials = {{3.0e7, 0.2, 0.3}};
        winkler(m, 0.0, 2.0e4);
        for (size_t e = 1; e <= m.elements.size(); e += 2)
            m.distributed_loads.push_back({static_cast<int>(e), {10.0 + static_cast<double>(e), 0, 0, 0, 0, 0}});
        if (c.point_loads) {
            m.nodal_loads.push_back({2, {150.0, 0, 0, 5.0, -3.0, 0}});
            m.nodal_loads.push_back({static_cast<int>(m.nodes.size()) - 1, {-40.0, 0, 0, 0, 0, 0}});
            m.nodal_stiffness.push_back({3, {1.0e5, 0, 0, 0, 0, 0}});
        }
        std::vector<int> new_node;
        const SinModel s = scattered(m, new_node);
        Seen ordered, shuffled;
        int fronts[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            RunFolder f(std::string("scattered") + std::to_string(c.nnode) + (c.hole_to > 0 ? "h" : "") +
                        (c.turn != 0 ? "t" : "") + std::to_string(k));
            f.write_input(k == 0 ? m : s);
            ASSERT_EQ(run_seen(f, k == 0 ? ordered : shuffled), 0);
            fronts[k] = listed_front(f.text("model.sou"));
        }
        ASSERT_EQ(shuffled.deflection.size(), ordered.deflection.size());
        ASSERT_EQ(shuffled.nodal.size(), ordered.nodal.size());
        double wmax = 0, smax = 0;
        for (double w : ordered.deflection) wmax = std::max(wmax, std::fabs(w));
        for (double v : ordered.nodal) smax = std::max(smax, std::fabs(v));
        ASSERT_GT(wmax, 0.0);
        for (size_t p = 0; p < m.nodes.size(); ++p) {
            const size_t q = static_cast<size_t>(new_node[p]);
            EXPECT_NEAR(shuffled.deflection[q], ordered.deflection[p], 1e-10 * wmax) << "node " << p + 1;
            for (size_t v = 0; v < 14; ++v)
                EXPECT_NEAR(shuffled.nodal[q * 14 + v], ordered.nodal[p * 14 + v], 1e-9 * smax)
                    << "node " << p + 1 << " value " << v;
        }
        EXPECT_GT(fronts[0], 0);
        EXPECT_LE(fronts[1], fronts[0] * 13 / 10);
    }
}

// Two analyses in one process share nothing: a second one run in the middle
// of the first (from its converged-step call) leaves the first its stored
// equations, figures and call, and each gives the step results, listing and
// figures of its own run alone.  The first solves its later iterations and
// steps with the factor of its first elimination.
TEST(Analysis, TwoAnalysesInOneProcessEachGiveTheResultsOfTheirOwnRun) {
    SinModel first = square_plate(6.0, 4, 8);
    winkler(first, 12.5, 2500.0);
    first.nodal_loads.push_back({3, {100.0, 0, 0, 0, 0, 0}});
    first.dt = 0.5;
    SinModel second = square_plate(4.0, 3, 4);
    winkler(second, 10.0, 1000.0);
    second.nodal_loads.push_back({6, {50.0, 0, 0, 0, 0, 0}});

    struct Outcome {
        int status = -1;
        std::string sds, sou;
        parvane::RunFigures figures;
    };
    auto collect = [](const RunFolder& f, Outcome& o) {
        o.sds = f.text("model.sds");
        // The listing without its execution time.
        std::istringstream in(f.text("model.sou"));
        for (std::string line; std::getline(in, line);)
            if (line.find("Execution time") == std::string::npos) o.sou += line + "\n";
    };
    auto alone = [&](const SinModel& m, const std::string& name) {
        RunFolder f(name);
        f.write_input(m);
        Outcome o;
        o.status = run(f, -1.0, nullptr, nullptr, &o.figures);
        collect(f, o);
        return o;
    };
    const Outcome first_alone = alone(first, "alone_first"), second_alone = alone(second, "alone_second");
    ASSERT_EQ(first_alone.status, 0);
    ASSERT_EQ(second_alone.status, 0);
    ASSERT_GE(first_alone.figures.iterations, 4);

    struct Nested {
        RunFolder& first;
        RunFolder& second;
        int steps = 0;
        Outcome outcome;
    };
    RunFolder f1("both_first"), f2("both_second");
    f1.write_input(first);
    f2.write_input(second);
    Nested nested{f1, f2, 0, {}};
    Outcome first_both;
    first_both.status = run(
        f1, -1.0,
        [](const parvane::RunState&, void* data) {
            Nested& n = *static_cast<Nested*>(data);
            if (n.steps++ > 0) return;
            n.second.enter();
            auto st = std::make_unique<parvane::RunState>();
            n.outcome.status = 0;
            parvane::run_analysis(*st, n.outcome.status);
            n.outcome.figures = st->figures;
            n.first.enter();
        },
        &nested, &first_both.figures);
    collect(f1, first_both);
    collect(f2, nested.outcome);
    EXPECT_EQ(nested.steps, 2);

    const std::pair<const Outcome*, const Outcome*> pairs[] = {{&first_alone, &first_both},
                                                               {&second_alone, &nested.outcome}};
    for (const auto& [own, both] : pairs) {
        EXPECT_EQ(both->status, 0);
        EXPECT_EQ(both->sds, own->sds);
        EXPECT_EQ(both->sou, own->sou);
        EXPECT_EQ(both->figures.iterations, own->figures.iterations);
        EXPECT_EQ(both->figures.refined_solutions, own->figures.refined_solutions);
    }
}

}  // namespace
