// Frontal solver against a dense solution of the same assembled system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/frontal/frontal.h"
#include "solver/run/stop.h"
#include "test_input_support.h"

namespace fs = std::filesystem;
using parvane::FrontalProblem;

namespace {

struct Model {
    int npoin = 0, nelem = 0, nnode = 0, nvfix = 0, capacity = 0;
    std::vector<int> lnods, rnodes, rcodes;
    std::vector<double> rvalues, loads, stiff;  // stiff: nevab x nevab per element
    std::vector<double> packed;                 // its upper triangles, as the solver takes them
    std::vector<double> disp, support;

    int nevab() const { return 6 * nnode; }
    FrontalProblem problem() {
        FrontalProblem p;
        p.npoin = npoin;
        p.nelem = nelem;
        p.nnode = nnode;
        p.nvfix = nvfix;
        p.front_capacity = capacity;
        p.restraint_values = rvalues.data();
        p.displacement_increment = disp.data();
        p.element_loads = loads.data();
        p.restraint_nodes = rnodes.data();
        p.support_forces = support.data();
        const int n = nevab();
        packed.clear();
        for (int e = 0; e < nelem; ++e)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i <= j; ++i) packed.push_back(stiff[static_cast<size_t>(e) * n * n + j * n + i]);
        p.element_stiffness = packed.data();
        p.restraint_codes = rcodes.data();
        p.lnods = lnods.data();
        return p;
    }
};

// Largest number of variables active at once, plus one.
int front_capacity(const Model& m) {
    std::vector<int> first(m.npoin + 1, -1), last(m.npoin + 1, -1);
    for (int e = 0; e < m.nelem; ++e)
        for (int i = 0; i < m.nnode; ++i) {
            int q = m.lnods[e * m.nnode + i];
            if (first[q] < 0) first[q] = e;
            last[q] = e;
        }
    int best = 0;
    for (int e = 0; e < m.nelem; ++e) {
        int n = 0;
        for (int q = 1; q <= m.npoin; ++q)
            if (first[q] >= 0 && first[q] <= e && last[q] >= e) ++n;
        best = std::max(best, n);
    }
    return 6 * best + 1;
}

// A structured nx x ny grid of 4-, 8- or 9-node elements, numbered row by row.
Model grid(int nx, int ny, int nnode) {
    Model m;
    m.nnode = nnode;
    const int step = nnode == 4 ? 1 : 2;
    const int cols = nx * step + 1, rows = ny * step + 1;
    std::vector<int> id(cols * rows, 0);
    int count = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            if (nnode == 8 && r % 2 == 1 && c % 2 == 1) continue;
            id[r * cols + c] = ++count;
        }
    m.npoin = count;
    m.nelem = nx * ny;
    for (int ey = 0; ey < ny; ++ey)
        for (int ex = 0; ex < nx; ++ex) {
            const int c0 = ex * step, r0 = ey * step, d = step;
            auto at = [&](int dc, int dr) { return id[(r0 + dr) * cols + c0 + dc]; };
            std::vector<int> e = {at(0, 0), at(d, 0), at(d, d), at(0, d)};
            if (nnode >= 8) {
                e.push_back(at(1, 0));
                e.push_back(at(2, 1));
                e.push_back(at(1, 2));
                e.push_back(at(0, 1));
            }
            if (nnode == 9) e.push_back(at(1, 1));
            m.lnods.insert(m.lnods.end(), e.begin(), e.end());
        }
    return m;
}

// Random symmetric element matrices (positive definite, or negative definite
// when sign < 0) and random loads.
// Coupling of the freedoms: all; by classes (components 1/4, 2/5, 3/6);
// as in a flat plate (bending 1/5/6, in-plane 2/3, drilling 4 apart); as in
// a flat plate of membranes with drilling rotations (bending apart, in-plane
// and drilling together); or as in a flat plate up to the middle element and
// all after it.
enum class Coupling { All, Classes, Plate, PlateWithDrilling, PlateThenAll };

bool apart(Coupling c, int i, int j, int e, int nelem) {
    static constexpr int kPlateClass[6] = {0, 1, 1, 2, 0, 0};
    switch (c) {
        case Coupling::All: return false;
        case Coupling::Classes: return i % 3 != j % 3;
        case Coupling::Plate: return kPlateClass[i % 6] != kPlateClass[j % 6];
        case Coupling::PlateWithDrilling: return (kPlateClass[i % 6] == 0) != (kPlateClass[j % 6] == 0);
        case Coupling::PlateThenAll: return e < nelem / 2 && kPlateClass[i % 6] != kPlateClass[j % 6];
    }
    return false;
}

void fill_random(Model& m, unsigned seed, double sign = 1.0, Coupling coupling = Coupling::All) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const int n = m.nevab();
    m.stiff.assign(static_cast<size_t>(n) * n * m.nelem, 0.0);
    m.loads.assign(static_cast<size_t>(n) * m.nelem, 0.0);
    std::vector<double> b(n * n);
    for (int e = 0; e < m.nelem; ++e) {
        for (auto& x : b) x = u(rng);
        double* k = m.stiff.data() + static_cast<size_t>(e) * n * n;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double s = 0;
                for (int l = 0; l < n; ++l) s += b[i * n + l] * b[j * n + l];
                k[j * n + i] = sign * (s / n + (i == j ? 0.5 : 0.0));
                if (apart(coupling, i, j, e, m.nelem)) k[j * n + i] = 0.0;
            }
        for (int i = 0; i < n; ++i) m.loads[static_cast<size_t>(e) * n + i] = u(rng);
    }
    m.disp.assign(6 * m.npoin, 0.0);
    m.support.assign(6 * m.npoin, 0.0);
    m.capacity = front_capacity(m);
}

void restrain(Model& m, int node, std::vector<int> codes, std::vector<double> values) {
    m.rnodes.push_back(node);
    m.rcodes.insert(m.rcodes.end(), codes.begin(), codes.end());
    m.rvalues.insert(m.rvalues.end(), values.begin(), values.end());
    m.nvfix = static_cast<int>(m.rnodes.size());
}

// Dense reference: the assembled system with prescribed variables (code 1)
// moved to the right-hand side, solved by Gaussian elimination with partial
// pivoting; support forces as the solver defines them.
struct Dense {
    std::vector<double> u, support;
};

Dense dense_solve(const Model& m) {
    const int N = 6 * m.npoin, n = m.nevab();
    std::vector<double> K(static_cast<size_t>(N) * N, 0.0), f(N, 0.0);
    std::vector<char> used(N, 0);
    for (int e = 0; e < m.nelem; ++e) {
        const double* k = m.stiff.data() + static_cast<size_t>(e) * n * n;
        for (int a = 0; a < n; ++a) {
            int va = (m.lnods[e * m.nnode + a / 6] - 1) * 6 + a % 6;
            used[va] = 1;
            f[va] += m.loads[static_cast<size_t>(e) * n + a];
            for (int b = 0; b < n; ++b) {
                int vb = (m.lnods[e * m.nnode + b / 6] - 1) * 6 + b % 6;
                int lo = std::min(a, b), hi = std::max(a, b);
                K[static_cast<size_t>(va) * N + vb] += k[hi * n + lo];
            }
        }
    }
    std::vector<int> code(N, 0);
    std::vector<double> given(N, 0.0);
    for (int r = 0; r < m.nvfix; ++r)
        for (int c = 0; c < 6; ++c) {
            int v = (m.rnodes[r] - 1) * 6 + c;
            code[v] = m.rcodes[r * 6 + c];
            given[v] = m.rvalues[r * 6 + c];
        }
    std::vector<int> freev;
    for (int v = 0; v < N; ++v)
        if (used[v] && code[v] != 1) freev.push_back(v);
    const int F = static_cast<int>(freev.size());
    std::vector<double> A(static_cast<size_t>(F) * F), rhs(F);
    for (int i = 0; i < F; ++i) {
        rhs[i] = f[freev[i]];
        for (int v = 0; v < N; ++v)
            if (used[v] && code[v] == 1) rhs[i] -= K[static_cast<size_t>(freev[i]) * N + v] * given[v];
        for (int j = 0; j < F; ++j) A[static_cast<size_t>(i) * F + j] = K[static_cast<size_t>(freev[i]) * N + freev[j]];
    }
    for (int c = 0; c < F; ++c) {
        int p = c;
        for (int r = c + 1; r < F; ++r)
            if (std::fabs(A[static_cast<size_t>(r) * F + c]) > std::fabs(A[static_cast<size_t>(p) * F + c])) p = r;
        if (p != c) {
            for (int j = 0; j < F; ++j) std::swap(A[static_cast<size_t>(c) * F + j], A[static_cast<size_t>(p) * F + j]);
            std::swap(rhs[c], rhs[p]);
        }
        for (int r = c + 1; r < F; ++r) {
            double q = A[static_cast<size_t>(r) * F + c] / A[static_cast<size_t>(c) * F + c];
            for (int j = c; j < F; ++j) A[static_cast<size_t>(r) * F + j] -= q * A[static_cast<size_t>(c) * F + j];
            rhs[r] -= q * rhs[c];
        }
    }
    std::vector<double> x(F);
    for (int r = F - 1; r >= 0; --r) {
        double s = rhs[r];
        for (int j = r + 1; j < F; ++j) s -= A[static_cast<size_t>(r) * F + j] * x[j];
        x[r] = s / A[static_cast<size_t>(r) * F + r];
    }
    Dense d;
    d.u.assign(N, 0.0);
    for (int v = 0; v < N; ++v)
        if (used[v] && code[v] == 1) d.u[v] = given[v];
    for (int i = 0; i < F; ++i) d.u[freev[i]] = x[i];
    d.support.assign(N, 0.0);
    for (int r = 0; r < m.nvfix; ++r)
        for (int c = 0; c < 6; ++c) {
            int v = (m.rnodes[r] - 1) * 6 + c;
            d.support[v] = given[v];
        }
    for (int v = 0; v < N; ++v) {
        if (!used[v]) continue;
        if (code[v] == 1) {
            double s = -f[v];
            for (int j = 0; j < N; ++j) s += K[static_cast<size_t>(v) * N + j] * d.u[j];
            d.support[v] = s;
        } else if (code[v] == 2) {
            d.support[v] = given[v] * d.u[v];
        }
    }
    return d;
}

double rel_diff(const std::vector<double>& a, const std::vector<double>& b) {
    double num = 0, den = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        num = std::max(num, std::fabs(a[i] - b[i]));
        den = std::max(den, std::fabs(b[i]));
    }
    return den > 0 ? num / den : num;
}

class FrontalTest : public ::testing::Test {
protected:
    void SetUp() override {
        units.open(6, (dir / "listing").string(), fio::OpenStatus::Unknown);
        units.open(8, (dir / "messages").string(), fio::OpenStatus::Unknown);
        units.open(2, (dir / "fort2").string(), fio::OpenStatus::Unknown, fio::Form::Unformatted);
        solver.set_memory_budget(std::size_t(2) << 30);
    }
    void TearDown() override { units.close_all(); }
    std::string read(const char* name) {
        units.flush(6);
        units.flush(8);
        return solver_test::read_text(scratch.file(name));
    }
    solver_test::ScratchDir scratch{"frontal"};
    const fs::path& dir = scratch.path();
    fio::Units units;
    parvane::FrontalSolver solver;
};

struct Case {
    const char* name;
    int nx, ny, nnode;
    bool restraints;
    double sign;
    std::size_t budget;
    Coupling coupling;
};

TEST_F(FrontalTest, AgreesWithDenseSolution) {
    const Case cases[] = {
        {"quad4 free", 3, 2, 4, false, 1.0, std::size_t(2) << 30, Coupling::All},
        {"quad4 restrained", 4, 3, 4, true, 1.0, std::size_t(2) << 30, Coupling::All},
        {"quad8 restrained", 3, 3, 8, true, 1.0, std::size_t(2) << 30, Coupling::All},
        {"quad9 restrained", 2, 3, 9, true, 1.0, std::size_t(2) << 30, Coupling::All},
        {"negative definite", 3, 2, 8, true, -1.0, std::size_t(2) << 30, Coupling::All},
        {"decoupled freedom classes", 5, 4, 8, true, 1.0, std::size_t(2) << 30, Coupling::Classes},
        {"decoupled quad4", 6, 5, 4, true, 1.0, std::size_t(2) << 30, Coupling::Classes},
        {"flat plate freedoms", 6, 5, 8, true, 1.0, std::size_t(2) << 30, Coupling::Plate},
        {"flat plate freedoms, quad4", 7, 6, 4, true, 1.0, std::size_t(2) << 30, Coupling::Plate},
        {"flat plate, membrane with drilling, quad4", 7, 6, 4, true, 1.0, std::size_t(2) << 30,
         Coupling::PlateWithDrilling},
        {"flat plate, membrane with drilling, quad8", 5, 4, 8, true, 1.0, std::size_t(2) << 30,
         Coupling::PlateWithDrilling},
        {"flat plate, coupled from the middle on", 6, 5, 9, true, 1.0, std::size_t(2) << 30, Coupling::PlateThenAll},
        {"equations on the scratch unit", 3, 3, 9, true, 1.0, 0, Coupling::Classes},
        {"half in memory", 4, 4, 4, true, 1.0, 40000, Coupling::All},
    };
    unsigned seed = 11;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        solver.set_memory_budget(c.budget);
        solver.release();
        Model m = grid(c.nx, c.ny, c.nnode);
        if (c.restraints) {
            restrain(m, 1, {1, 1, 1, 0, 2, 1}, {0.01, -0.02, 0.0, 5.0, 3.0, 0.0});
            restrain(m, m.npoin, {1, 1, 1, 1, 1, 1}, {0.0, 0.0, 0.03, 0.0, 0.0, 0.0});
            restrain(m, m.npoin / 2, {0, 0, 2, 0, 0, 0}, {0.0, 0.0, 7.0, 1.5, 0.0, 0.0});
        }
        fill_random(m, seed++, c.sign, c.coupling);
        const std::vector<int> lnods_before = m.lnods;
        FrontalProblem p = m.problem();
        ASSERT_EQ(solver.solve(p, &units), 0);
        Dense d = dense_solve(m);
        EXPECT_LT(rel_diff(m.disp, d.u), 1e-10);
        EXPECT_LT(rel_diff(m.support, d.support), 1e-10);
        EXPECT_EQ(m.lnods, lnods_before);
        EXPECT_EQ(solver.last_stats().equations, 6LL * m.npoin);
        if (c.budget == 40000) {
            EXPECT_GT(solver.last_stats().spilled_bytes, 0u);
        }
        if (c.budget == 40000) {
            EXPECT_GT(solver.last_stats().spilled_bytes, 0u);
            EXPECT_GT(solver.last_stats().stored_bytes, 0u);
        }

        // A second call with the same matrices, other loads and other
        // prescribed values reuses the stored equations and still solves the
        // new system.
        for (double& x : m.loads) x = -2.0 * x + 0.25;
        for (double& x : m.rvalues) x = 1.5 * x - 0.01;
        std::fill(m.disp.begin(), m.disp.end(), 0.0);
        p = m.problem();
        ASSERT_EQ(solver.solve(p, &units), 0);
        EXPECT_TRUE(solver.last_stats().reused);
        d = dense_solve(m);
        EXPECT_LT(rel_diff(m.disp, d.u), 1e-10);
        EXPECT_LT(rel_diff(m.support, d.support), 1e-10);

        // A changed matrix is eliminated anew.
        m.stiff[0] += 1.0;
        p = m.problem();
        ASSERT_EQ(solver.solve(p, &units), 0);
        EXPECT_FALSE(solver.last_stats().reused);
        d = dense_solve(m);
        EXPECT_LT(rel_diff(m.disp, d.u), 1e-10);
    }
}

// New element matrices on the same mesh, order and restraints, with
// refinement allowed: a small change of some diagonal terms (a soil
// stiffness between two soil iterations) is solved by conjugate gradients
// through the stored equations, which stay those of the first matrices; a
// change that leaves the matrices indefinite, stored equations that are not
// positive definite, a budget too small for the steps, equations on the
// scratch unit or refinement not asked for are eliminated anew.  Every
// answer is the dense solution of the new matrices.
TEST_F(FrontalTest, ChangedMatricesAreSolvedThroughTheStoredEquations) {
    struct Change {
        const char* name;
        double diagonal_factor;  // each deflection diagonal term times this
        double first_sign;       // of the first matrices: -1 negative definite
        bool refine;
        double share;
        std::size_t budget;
        bool refined;
    };
    const Change changes[] = {
        {"soil terms a little stiffer", 1.05, 1.0, true, 1e9, std::size_t(2) << 30, true},
        {"soil terms a little softer", 0.97, 1.0, true, 1e9, std::size_t(2) << 30, true},
        {"indefinite", -3.0, 1.0, true, 1e9, std::size_t(2) << 30, false},
        {"stored equations negative definite", 1.05, -1.0, true, 1e9, std::size_t(2) << 30, false},
        {"budget below one step", 1.05, 1.0, true, 0.0, std::size_t(2) << 30, false},
        {"equations on the scratch unit", 1.05, 1.0, true, 1e9, 0, false},
        {"not asked", 1.05, 1.0, false, 1e9, std::size_t(2) << 30, false},
    };
    for (const int nnode : {4, 8}) {
        for (const Change& c : changes) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(nnode) + "-node");
            solver.set_memory_budget(c.budget);
            solver.release();
            Model m = grid(5, 4, nnode);
            restrain(m, 1, {1, 1, 1, 0, 2, 1}, {0.01, -0.02, 0.0, 5.0, 3.0, 0.0});
            restrain(m, m.npoin, {1, 1, 1, 1, 1, 1}, {0.0, 0.0, 0.03, 0.0, 0.0, 0.0});
            fill_random(m, 29, c.first_sign, nnode == 4 ? Coupling::PlateWithDrilling : Coupling::Plate);
            FrontalProblem p = m.problem();
            ASSERT_EQ(solver.solve(p, &units), 0);
            const std::vector<double> first = m.stiff;

            const int n = m.nevab();
            for (int e = 0; e < m.nelem; ++e)
                for (int k = 0; k < n; k += 6) m.stiff[static_cast<size_t>(e) * n * n + k * n + k] *= c.diagonal_factor;
            std::fill(m.disp.begin(), m.disp.end(), 0.0);
            solver.set_refinement_share(c.share);
            p = m.problem();
            p.refine = c.refine;
            const int status = solver.solve(p, &units);
            solver.set_refinement_share(-1.0);
            if (c.diagonal_factor < 0.0) {
                // An indefinite system may meet a negative pivot; refinement
                // never hides that.
                EXPECT_EQ(solver.last_stats().refinement_steps, 0);
                continue;
            }
            ASSERT_EQ(status, 0);
            const parvane::FrontalStats stats = solver.last_stats();
            EXPECT_EQ(stats.refinement_steps > 0, c.refined);
            EXPECT_FALSE(stats.reused);
            const Dense d = dense_solve(m);
            EXPECT_LT(rel_diff(m.disp, d.u), 1e-10);
            EXPECT_LT(rel_diff(m.support, d.support), 1e-10);

            // A refinement leaves the stored equations of the first matrices.
            m.stiff = first;
            p = m.problem();
            ASSERT_EQ(solver.solve(p, &units), 0);
            EXPECT_EQ(solver.last_stats().reused, c.refined);
        }
    }
}

// Equations that cannot be written to unit 2 (a full disk) end the solution
// with the file and the cause in the message file; a later call with room
// solves again.
TEST_F(FrontalTest, AFailedSpillNamesTheFileAndEndsTheSolution) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Model m = grid(3, 3, 8);
    fill_random(m, 21);
    solver.set_memory_budget(0);
    units.close(2);
    ASSERT_EQ(units.open(2, "/dev/full", fio::OpenStatus::Unknown, fio::Form::Unformatted), 0);
    EXPECT_EQ(solver.solve(m.problem(), &units), 3);
    EXPECT_NE(read("messages").find("error writing file /dev/full: No space left on device"), std::string::npos)
        << read("messages");

    units.close(2);
    ASSERT_EQ(units.open(2, (dir / "fort2").string(), fio::OpenStatus::Unknown, fio::Form::Unformatted), 0);
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    EXPECT_GT(solver.last_stats().spilled_bytes, 0u);
    EXPECT_LT(rel_diff(m.disp, dense_solve(m).u), 1e-10);
}

TEST_F(FrontalTest, FullyPrescribedModelGivesSupportForces) {
    Model m = grid(2, 2, 8);
    for (int q = 1; q <= m.npoin; ++q)
        restrain(m, q, {1, 1, 1, 1, 1, 1}, {0.001 * q, -0.002 * q, 0.003, 0.0, 0.0001 * q * q, -0.004});
    fill_random(m, 5);
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    Dense d = dense_solve(m);
    EXPECT_LT(rel_diff(m.support, d.support), 1e-10);
    EXPECT_LT(rel_diff(m.disp, d.u), 1e-14);
}

TEST_F(FrontalTest, PivotFailuresStopWithTheListingLine) {
    struct PivotCase {
        const char* name;
        double diagonal;
        const char* value_text;
    };
    const PivotCase cases[] = {
        {"zero", 0.0, "     0.000000E+00"},
        {"not a number", std::nan(""), nullptr},
    };
    for (const PivotCase& c : cases) {
        SCOPED_TRACE(c.name);
        solver.release();
        Model m = grid(1, 1, 4);
        fill_random(m, 3);
        // Variable 1 (x of node 1) has no stiffness at all.
        const int n = m.nevab();
        for (int j = 0; j < n; ++j) {
            m.stiff[j * n + 0] = 0.0;
            m.stiff[0 * n + j] = 0.0;
        }
        m.stiff[0] = c.diagonal;
        const std::vector<int> lnods_before = m.lnods;
        std::vector<double> disp_before = m.disp;
        const std::string before = read("listing");
        EXPECT_EQ(solver.solve(m.problem(), &units), 3);
        EXPECT_EQ(m.lnods, lnods_before);
        EXPECT_EQ(m.disp, disp_before);
        std::string added = read("listing").substr(before.size());
        if (c.value_text != nullptr)
            EXPECT_EQ(added, std::string("    negative or zero pivot encountered for variable no.    1 of value ") +
                                 c.value_text + "\n");
        else
            EXPECT_NE(added.find("negative or zero pivot encountered for variable no.    1 of value "),
                      std::string::npos);
    }
}

TEST_F(FrontalTest, PivotMessageOfALargeVariableNumberOverflowsItsField) {
    // A single 4-node element whose nodes are numbered above 1700 puts
    // variable numbers above 9999.
    Model m;
    m.nnode = 4;
    m.nelem = 1;
    m.npoin = 1800;
    m.lnods = {1797, 1798, 1799, 1800};
    fill_random(m, 9);
    const int n = m.nevab();
    for (int j = 0; j < n; ++j) m.stiff[j * n + 0] = m.stiff[0 * n + j] = 0.0;
    EXPECT_EQ(solver.solve(m.problem(), &units), 3);
    EXPECT_NE(read("listing").find("variable no. **** of value"), std::string::npos);
}

TEST_F(FrontalTest, FrontOverflowIsReportedNotWritten) {
    Model m = grid(3, 1, 4);
    fill_random(m, 4);
    m.capacity = 20;  // far below the 8 nodes x 6 variables of two elements
    const std::vector<int> lnods_before = m.lnods;
    EXPECT_GT(solver.solve(m.problem(), &units), 0);
    EXPECT_NE(read("listing").find("front width exceeded for element 1"), std::string::npos);
    EXPECT_NE(read("messages").find("front width exceeded for element 1"), std::string::npos);
    EXPECT_EQ(m.lnods, lnods_before);
}

TEST_F(FrontalTest, EdgeCasesOfTheModel) {
    // No elements: nothing is solved, support forces hold the restraint values.
    {
        Model m;
        m.nnode = 4;
        m.npoin = 2;
        restrain(m, 2, {1, 0, 0, 0, 0, 0}, {0.5, 1.5, 2.5, 0, 0, 0});
        m.disp.assign(12, 9.0);
        m.support.assign(12, -1.0);
        m.capacity = 1;
        ASSERT_EQ(solver.solve(m.problem(), &units), 0);
        EXPECT_EQ(m.disp, std::vector<double>(12, 9.0));
        std::vector<double> expect(12, 0.0);
        expect[6] = 0.5;
        expect[7] = 1.5;
        expect[8] = 2.5;
        EXPECT_EQ(m.support, expect);
    }
    // A node that no element uses keeps its previous values.
    {
        solver.release();
        Model m = grid(2, 1, 4);
        m.npoin += 1;
        fill_random(m, 6);
        for (int c = 0; c < 6; ++c) m.disp[(m.npoin - 1) * 6 + c] = 42.0 + c;
        ASSERT_EQ(solver.solve(m.problem(), &units), 0);
        for (int c = 0; c < 6; ++c) EXPECT_EQ(m.disp[(m.npoin - 1) * 6 + c], 42.0 + c);
    }
    // Two restraint records for one node: the later sets all six components.
    {
        solver.release();
        Model a = grid(2, 2, 4), b = grid(2, 2, 4);
        restrain(a, 3, {1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1});
        restrain(a, 3, {0, 2, 1, 0, 0, 0}, {4, 3, 0.1, 0, 0, 0});
        restrain(b, 3, {0, 2, 1, 0, 0, 0}, {4, 3, 0.1, 0, 0, 0});
        fill_random(a, 8);
        fill_random(b, 8);
        ASSERT_EQ(solver.solve(a.problem(), &units), 0);
        solver.release();
        ASSERT_EQ(solver.solve(b.problem(), &units), 0);
        EXPECT_EQ(a.disp, b.disp);
        EXPECT_EQ(a.support, b.support);
    }
    // A node number outside the node table is refused.
    {
        solver.release();
        Model m = grid(1, 1, 4);
        fill_random(m, 2);
        m.lnods[2] = 0;
        EXPECT_GT(solver.solve(m.problem(), &units), 0);
    }
}

TEST_F(FrontalTest, NodesMarkedNegativeAreTakenByMagnitude) {
    Model m = grid(3, 2, 8);
    restrain(m, 1, {1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0});
    fill_random(m, 12);
    Model marked = m;
    // Marks of last appearance as the input check leaves them.
    std::vector<char> seen(m.npoin + 1, 0);
    for (int k = static_cast<int>(marked.lnods.size()) - 1; k >= 0; --k) {
        int q = marked.lnods[k];
        if (!seen[q]) {
            seen[q] = 1;
            marked.lnods[k] = -q;
        }
    }
    const std::vector<int> marked_before = marked.lnods;
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    solver.release();
    ASSERT_EQ(solver.solve(marked.problem(), &units), 0);
    EXPECT_EQ(m.disp, marked.disp);
    EXPECT_EQ(marked.lnods, marked_before);
}

TEST_F(FrontalTest, EveryCallWritesOneBlankLineToTheMessageFile) {
    Model m = grid(1, 1, 4);
    fill_random(m, 1);
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    EXPECT_EQ(read("messages"), "   \n   \n");
}

// The caller may say what the stored equations are for: a factorization
// keeps them, a solution with them takes new loads and prescribed values
// without eliminating, and a problem of another mesh or with no stored
// equations at all is refused with a line that says so.
TEST_F(FrontalTest, AFactorServesTheSolutionsTheCallerAsksOfIt) {
    Model m = grid(4, 3, 8);
    restrain(m, 1, {1, 1, 1, 0, 2, 1}, {0.01, -0.02, 0.0, 5.0, 3.0, 0.0});
    restrain(m, m.npoin, {1, 1, 1, 1, 1, 1}, {0.0, 0.0, 0.03, 0.0, 0.0, 0.0});
    fill_random(m, 17, 1.0, Coupling::Plate);
    EXPECT_EQ(solver.solve_with_factor(m.problem(), &units), parvane::kStatusPivot);
    EXPECT_NE(read("messages").find("no stored equations of this mesh"), std::string::npos);

    ASSERT_EQ(solver.factorize(m.problem(), &units), 0);
    EXPECT_FALSE(solver.last_stats().reused);
    EXPECT_LT(rel_diff(m.disp, dense_solve(m).u), 1e-10);
    for (double& x : m.loads) x = 0.5 - 3.0 * x;
    for (double& x : m.rvalues) x = -2.0 * x;
    std::fill(m.disp.begin(), m.disp.end(), 0.0);
    ASSERT_EQ(solver.solve_with_factor(m.problem(), &units), 0);
    EXPECT_TRUE(solver.last_stats().reused);
    const Dense d = dense_solve(m);
    EXPECT_LT(rel_diff(m.disp, d.u), 1e-10);
    EXPECT_LT(rel_diff(m.support, d.support), 1e-10);
    // A factorization of the same matrices eliminates all the same.
    ASSERT_EQ(solver.factorize(m.problem(), &units), 0);
    EXPECT_FALSE(solver.last_stats().reused);

    Model other = grid(3, 4, 8);
    fill_random(other, 18, 1.0, Coupling::Plate);
    const std::vector<double> disp_before = other.disp;
    EXPECT_EQ(solver.solve_with_factor(other.problem(), &units), parvane::kStatusPivot);
    EXPECT_EQ(other.disp, disp_before);
}

// Two solvers share nothing: two models solved in turns, each through its
// own solver, give bit for bit what each gives alone, and each solver goes on
// reusing the equations of its own model.
TEST_F(FrontalTest, TwoSolversTakingTurnsGiveWhatEachGivesAlone) {
    auto model = [](int nx, int ny, int nnode, unsigned seed) {
        Model m = grid(nx, ny, nnode);
        restrain(m, 1, {1, 1, 1, 1, 1, 1}, {0, 0, 0.001, 0, 0, 0});
        fill_random(m, seed, 1.0, Coupling::Plate);
        return m;
    };
    auto second_loads = [](Model& m) {
        for (double& x : m.loads) x = 1.0 - x;
        std::fill(m.disp.begin(), m.disp.end(), 0.0);
    };
    // Alone: each model through a solver of its own, first and second loads.
    Model a_alone = model(5, 3, 8, 31), b_alone = model(3, 4, 4, 32);
    std::vector<double> a_first, b_first;
    {
        parvane::FrontalSolver alone;
        ASSERT_EQ(alone.solve(a_alone.problem(), &units), 0);
        a_first = a_alone.disp;
        second_loads(a_alone);
        ASSERT_EQ(alone.solve(a_alone.problem(), &units), 0);
    }
    {
        parvane::FrontalSolver alone;
        ASSERT_EQ(alone.solve(b_alone.problem(), &units), 0);
        b_first = b_alone.disp;
        second_loads(b_alone);
        ASSERT_EQ(alone.solve(b_alone.problem(), &units), 0);
    }
    // In turns, a smaller budget for one of them.
    Model a = model(5, 3, 8, 31), b = model(3, 4, 4, 32);
    parvane::FrontalSolver sa, sb;
    sb.set_memory_budget(0);
    ASSERT_EQ(sa.solve(a.problem(), &units), 0);
    ASSERT_EQ(sb.solve(b.problem(), &units), 0);
    EXPECT_EQ(a.disp, a_first);
    EXPECT_EQ(b.disp, b_first);
    EXPECT_LT(rel_diff(a.disp, dense_solve(a).u), 1e-10);
    EXPECT_LT(rel_diff(b.disp, dense_solve(b).u), 1e-10);
    second_loads(a);
    second_loads(b);
    ASSERT_EQ(sa.solve(a.problem(), &units), 0);
    EXPECT_TRUE(sa.last_stats().reused);
    ASSERT_EQ(sb.solve(b.problem(), &units), 0);
    EXPECT_TRUE(sb.last_stats().reused);
    EXPECT_GT(sb.last_stats().spilled_bytes, 0u);
    EXPECT_EQ(sa.last_stats().spilled_bytes, 0u);
    EXPECT_EQ(a.disp, a_alone.disp);
    EXPECT_EQ(b.disp, b_alone.disp);
    EXPECT_EQ(a.support, a_alone.support);
    EXPECT_EQ(b.support, b_alone.support);
}

// A stop request ends the factorization at the next element with the stop
// status and leaves no equations behind: the next call factors afresh.
TEST_F(FrontalTest, AStopRequestEndsTheFactorization) {
    Model m = grid(3, 3, 8);
    restrain(m, 1, {1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0});
    fill_random(m, 11);
    parvane::request_stop();
    EXPECT_EQ(solver.solve(m.problem(), &units), parvane::kStatusStopped);
    parvane::clear_stop_request();
    ASSERT_EQ(solver.solve(m.problem(), &units), 0);
    EXPECT_FALSE(solver.last_stats().reused);
    EXPECT_LT(rel_diff(m.disp, dense_solve(m).u), 1e-10);
}

}  // namespace
