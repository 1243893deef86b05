// Numeric inputs (".sin") of small plate models for whole-analysis tests, and
// readers of the step results and the run files.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "test_input_support.h"

namespace analysis_test {

struct SinModel {
    std::string title = "plate test";
    int isoil = 0;  // 1 Mindlin (E, nu, k0), 2 Vlasov (Etop, Ebottom, nu, depth, gamma0)
    std::vector<double> soil;
    int nnode = 8, ngaus = 2, ngaus2 = 2;
    std::vector<std::array<double, 3>> nodes;  // x, y, z
    std::vector<std::vector<int>> elements;    // node positions from 1
    struct Material {
        double E, nu, t;
    };
    std::vector<Material> materials{{3.0e7, 0.3, 0.5}};
    struct Restraint {
        int node;
        std::array<int, 6> code;
        std::array<double, 6> value;
    };
    std::vector<Restraint> restraints;
    using Action = std::pair<int, std::array<double, 6>>;
    std::vector<Action> nodal_loads, nodal_stiffness, distributed_loads, distributed_stiffness;
    std::vector<std::array<int, 3>> vlasov_edges;                  // element, side, freedom
    std::vector<std::pair<int, int>> nonlinear;                    // node, profile of the x deflection
    std::vector<std::vector<std::pair<double, double>>> profiles;  // (deformation, force)
    double dt = 1.0, tini = 0.0, tend = 1.0, dtmin = 0.1;
    int maxiter = 10;
    double toler = 1e-6;
    int ncut = 0;

    std::string text() const {
        std::ostringstream o;
        o.precision(17);
        o << title << "\n" << isoil << "\n";
        if (isoil == 1 || isoil == 2) {
            for (double v : soil) o << v << "  ";
            o << "\n";
        }
        int mxpts = 0;
        for (const auto& p : profiles) mxpts = std::max<int>(mxpts, static_cast<int>(p.size()));
        o << nodes.size() << "  " << elements.size() << "  " << materials.size() << "  " << nnode << "  " << ngaus
          << "  " << ngaus2 << "  " << restraints.size() << "  " << nodal_loads.size() << "  " << nodal_stiffness.size()
          << "  " << distributed_loads.size() << "  " << distributed_stiffness.size() << "  0  0  "
          << vlasov_edges.size() << "  0  0  0  0  \n";
        o << nonlinear.size() << "  " << profiles.size() << "  " << mxpts << "\n";
        o << dt << "  " << tini << "  " << tend << "  " << dtmin << "  " << maxiter << "  " << toler << "  \n";
        for (size_t e = 0; e < elements.size(); ++e) {
            o << "  " << e + 1 << "  " << e + 1 << "  1";
            for (int q : elements[e]) o << "  " << q;
            o << "\n";
        }
        for (size_t p = 0; p < nodes.size(); ++p)
            o << "  " << p + 1 << "  " << p + 1 << "  " << nodes[p][0] << " " << nodes[p][1] << "  " << nodes[p][2]
              << "\n";
        for (const auto& r : restraints) {
            o << "  " << r.node << "  ";
            for (int c : r.code) o << " " << c << " ";
            for (double v : r.value) o << "  " << v;
            o << "\n";
        }
        for (size_t m = 0; m < materials.size(); ++m)
            o << " " << m + 1 << "\t1  " << materials[m].E << "  " << materials[m].nu << "  " << materials[m].t << "\n";
        auto actions = [&](const std::vector<Action>& list) {
            for (const auto& a : list) {
                o << "  " << a.first << "  ";
                for (double v : a.second) o << "  " << v;
                o << "\n";
            }
        };
        actions(nodal_loads);
        actions(nodal_stiffness);
        actions(distributed_loads);
        actions(distributed_stiffness);
        for (const auto& v : vlasov_edges) o << "  " << v[0] << "  " << v[1] << "  " << v[2] << "\n";
        for (const auto& n : nonlinear) o << n.first << "  " << n.second << "  0  0  0  0  0  \n";
        for (const auto& p : profiles) {
            o << p.size() << "\n";
            for (const auto& pt : p) o << pt.first << "  " << pt.second << "\n";
        }
        o << ncut << " 1\t5\n";
        for (int k = 0; k < ncut; ++k) o << k + 1 << "  0 0 1 -1\n";
        o << "\n";
        return o.str();
    }
};

// A square plate of side a in the y-z plane, n x n elements of nnode nodes,
// numbered row by row so that every element maps positively in the plate
// frame (y, -z).
// An nx x ny grid of rectangular elements of dy x dz in the y-z plane (x 0):
// nodes row by row, each row along y, the rows going along z (a negative dz
// goes towards -z, which maps the elements positively in the plate frame);
// 8-node elements leave out the centre points.  Elements row by row, each
// with its corners, then its mid-side nodes and, for 9 nodes, its centre.
struct GridMesh {
    std::vector<std::array<double, 3>> nodes;
    std::vector<std::vector<int>> elements;  // node positions from 1
};

inline GridMesh grid_mesh(int nx, int ny, int nnode, double dy, double dz) {
    GridMesh g;
    const int step = nnode == 4 ? 1 : 2;
    const int cols = nx * step + 1, rows = ny * step + 1;
    std::vector<int> id(static_cast<size_t>(cols) * rows, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            if (nnode == 8 && r % 2 == 1 && c % 2 == 1) continue;
            g.nodes.push_back({0.0, c * (dy / step), r * (dz / step)});
            id[static_cast<size_t>(r) * cols + c] = static_cast<int>(g.nodes.size());
        }
    for (int er = 0; er < ny; ++er)
        for (int ec = 0; ec < nx; ++ec) {
            const int r0 = er * step, c0 = ec * step, d = step;
            auto at = [&](int dc, int dr) { return id[static_cast<size_t>(r0 + dr) * cols + c0 + dc]; };
            std::vector<int> e = {at(0, 0), at(d, 0), at(d, d), at(0, d)};
            if (nnode >= 8) e.insert(e.end(), {at(1, 0), at(2, 1), at(1, 2), at(0, 1)});
            if (nnode == 9) e.push_back(at(1, 1));
            g.elements.push_back(e);
        }
    return g;
}

inline SinModel square_plate(double a, int n, int nnode) {
    SinModel m;
    m.nnode = nnode;
    GridMesh g = grid_mesh(n, n, nnode, a / n, -a / n);
    m.nodes = std::move(g.nodes);
    m.elements = std::move(g.elements);
    return m;
}

// Uniform load q and uniform Winkler springs k (with in-plane springs of the
// same size that hold the membrane freedoms) on every element.
inline void winkler(SinModel& m, double q, double k) {
    for (size_t e = 1; e <= m.elements.size(); ++e) {
        m.distributed_loads.push_back({static_cast<int>(e), {q, 0, 0, 0, 0, 0}});
        m.distributed_stiffness.push_back({static_cast<int>(e), {k, k, k, 0, 0, 0}});
    }
}

// Every element side on the outline of the model's bounding box, as a Vlasov
// soil edge of the deflection.
inline void vlasov_outline(SinModel& m) {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const auto& n : m.nodes)
        for (int c = 1; c < 3; ++c) {
            lo[c] = std::min(lo[c], n[c]);
            hi[c] = std::max(hi[c], n[c]);
        }
    auto on = [&](int node, int c, double v) {
        return std::fabs(m.nodes[static_cast<size_t>(node - 1)][c] - v) < 1e-9;
    };
    for (size_t e = 0; e < m.elements.size(); ++e)
        for (int s = 0; s < 4; ++s) {
            const int a = m.elements[e][s], b = m.elements[e][(s + 1) % 4];
            bool outer = false;
            for (int c = 1; c < 3; ++c)
                for (double v : {lo[c], hi[c]}) outer = outer || (on(a, c, v) && on(b, c, v));
            if (outer) m.vlasov_edges.push_back({static_cast<int>(e + 1), s + 1, 1});
        }
}

struct StepBlock {
    int step = 0;
    std::vector<std::vector<double>> rows;  // node identifier, then the 26 values
};

struct StepResults {
    bool header = false;
    int columns = 0;
    std::vector<StepBlock> steps;
    bool end_mark = false;
};

inline StepResults read_step_results(const std::filesystem::path& p, int npoin) {
    StepResults r;
    std::istringstream in(solver_test::read_text(p.string()));
    std::string tok;
    while (in >> tok) {
        if (tok == "step_data") {
            r.header = true;
            in >> r.columns;
            for (int c = 0; c < 26; ++c) in >> tok;
        } else if (tok == "STEP") {
            StepBlock b;
            in >> b.step;
            for (int i = 0; i < npoin; ++i) {
                std::vector<double> row(27);
                for (double& v : row) in >> v;
                b.rows.push_back(row);
            }
            r.steps.push_back(b);
        } else if (tok == "END_STEP_DATA") {
            r.end_mark = true;
        }
    }
    return r;
}

// Runs in a fresh folder holding "torve.dat" and the numeric input; restores
// the current directory afterwards.
class RunFolder {
public:
    explicit RunFolder(const std::string& name) {
        dir_ = std::filesystem::temp_directory_path() / ("analysis_" + std::to_string(::getpid()) + "_" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        old_ = std::filesystem::current_path();
        std::ofstream t(dir_ / "torve.dat");
        t << (dir_ / "model.slb").string() << "\n"
          << (dir_ / "model.sin").string() << "\n"
          << (dir_ / "model.sou").string() << "\n"
          << (dir_ / "model.sds").string() << "\n"
          << (dir_ / "model.sms").string() << "\n"
          << (dir_ / "model.cut").string() << "\n";
    }
    ~RunFolder() {
        std::filesystem::current_path(old_);
        if (std::getenv("BRENNIX_KEEP_RUN_FOLDERS") == nullptr) std::filesystem::remove_all(dir_);
    }
    void write_input(const SinModel& m) { std::ofstream(dir_ / "model.sin") << m.text(); }
    void enter() { std::filesystem::current_path(dir_); }
    void leave() { std::filesystem::current_path(old_); }
    std::filesystem::path file(const std::string& name) const { return dir_ / name; }
    std::string text(const std::string& name) const { return solver_test::read_text((dir_ / name).string()); }

private:
    std::filesystem::path dir_, old_;
};

}  // namespace analysis_test
