// Whole analyses of square mats of 8-node elements on Winkler springs under a
// uniform load, about 1,000, 4,000 and 15,000 nodes (and 100,000 with
// --large).  Each mat is written as a numeric input with its "torve.dat" in a
// temporary folder and analysed, each in a process of its own so that its
// peak resident size is its own: first by ITORVE(2) of Parvane_DLL.so, loaded
// from the folder of this program (the wall time), then once more through the
// statically linked solver (the figures of the frontal elimination).
//
// Beside the mats, once each through the linked solver:
// - the octagonal foundation (L1 21 m, L2 17 m, D 14 m) meshed by the mesh
//   generator with free regions, 4-node elements numbered as the generator
//   numbers them, on Winkler springs, at element sizes 0.5 m (about 10,000
//   nodes) and 0.29 m (about 30,000 nodes);
// - beside each octagon a structured square mat of 4-node elements of the
//   same element size and about the same number of nodes, numbered row by
//   row (103 x 103 and 178 x 178 nodes), under the same springs and load;
// - the 15,000-node mat on Winkler springs, on Mindlin soil and on Vlasov
//   soil (the Winkler and Mindlin mats follow --mindlin-size).
// Per case: nodes, front, iterations, wall time, the seconds of the
// eliminations (and of the solutions refined through stored equations
// instead), the operations of one factorization (a figure that does not
// depend on the load of the machine), the seconds of the soil updates, peak
// resident size.
//
//   bench_analysis [--large] [--only mats|octagon|winkler|mindlin|vlasov] [--threads N] [--mindlin-size n]
//                  [element divisions ...]   (default 18 36 70; --large adds 182)
// --threads sets the threads of the Mindlin settlement sum (default: every
// core); --mindlin-size the divisions of the Mindlin mat (default 70; 115
// gives about 40,000 nodes).
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/RunDriver.h"
#include "meshtools/TemplateGeometry.h"
#include "model/ModelData.h"
#include "solver/run/driver.h"
#include "solver/frontal/frontal.h"
#include "solver/soils/mindlin.h"
#include "solver/run/state.h"

namespace fs = std::filesystem;

namespace {

// Numeric input of an n x n mat of side a, thickness t, load q, springs k.
// With a soil kind (1 Mindlin, 2 Vlasov) and its values the springs hold the
// in-plane freedoms only and the soil carries the slab; the iteration gets
// up to 50 passes to a tolerance of 1e-2.
std::string mat_input(int n, double a, double t, double q, double k, int isoil = 0, const char* soil = "") {
    const int cols = 2 * n + 1;
    const double h = a / (2 * n);
    std::vector<int> id(static_cast<size_t>(cols) * cols, 0);
    std::string nodes, elements;
    int count = 0;
    char line[256];
    for (int r = 0; r < cols; ++r)
        for (int c = 0; c < cols; ++c) {
            if (r % 2 == 1 && c % 2 == 1) continue;
            id[static_cast<size_t>(r) * cols + c] = ++count;
            std::snprintf(line, sizeof line, "  %d  %d  0 %.10g  %.10g\n", count, count, c * h, -r * h);
            nodes += line;
        }
    int ne = 0;
    for (int er = 0; er < n; ++er)
        for (int ec = 0; ec < n; ++ec) {
            auto at = [&](int dc, int dr) { return id[static_cast<size_t>(2 * er + dr) * cols + 2 * ec + dc]; };
            ++ne;
            std::snprintf(line, sizeof line, "  %d  %d  1  %d  %d  %d  %d  %d  %d  %d  %d\n", ne, ne, at(0, 0),
                          at(2, 0), at(2, 2), at(0, 2), at(1, 0), at(2, 1), at(1, 2), at(0, 1));
            elements += line;
        }
    std::string s = "bench mat\n" + std::to_string(isoil) + "\n";
    if (isoil != 0) s += std::string(soil) + "\n";
    std::snprintf(line, sizeof line, "%d  %d  1  8  2  2  0  0  0  %d  %d  0  0  0  0  0  0  0  \n", count, ne, ne, ne);
    s += line;
    s += isoil == 0 ? "0  0  0\n1  0  1  0.1  10  1e-06  \n" : "0  0  0\n1  0  1  0.1  50  1e-02  \n";
    s += elements + nodes;
    std::snprintf(line, sizeof line, " 1\t1  30000000  0.2  %.10g\n", t);
    s += line;
    for (int e = 1; e <= ne; ++e) {
        std::snprintf(line, sizeof line, "  %d    %.10g  0  0  0  0  0\n", e, q);
        s += line;
    }
    for (int e = 1; e <= ne; ++e) {
        std::snprintf(line, sizeof line, "  %d    %.10g  %.10g  %.10g  0  0  0\n", e, isoil == 0 ? k : 0.0, k, k);
        s += line;
    }
    s += "0 1\t5\n\n";
    return s;
}

struct Folder {
    fs::path dir;
    explicit Folder(int n) : Folder(std::to_string(n)) {}
    explicit Folder(const std::string& name) {
        dir = fs::temp_directory_path() / ("bench_analysis_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream t(dir / "torve.dat");
        for (const char* ext : {".slb", ".sin", ".sou", ".sds", ".sms", ".cut"})
            t << (dir / "mat").string() << ext << "\n";
    }
    ~Folder() { fs::remove_all(dir); }
};

int front_width(const std::string& listing) {
    const std::string key = "maximum frontwidth encountered =";
    const size_t at = listing.find(key);
    return at == std::string::npos ? -1 : std::atoi(listing.c_str() + at + key.size());
}

long peak_rss_mb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024;
}

// One size, in the calling (child) process: prints its line.
int run_size(int n, int (*itorve)(int)) {
    Folder f(n);
    const std::string text = mat_input(n, 20.0, 0.8, 50.0, 20000.0);
    std::ofstream(f.dir / "mat.sin") << text;
    const int npoin = (2 * n + 1) * (2 * n + 1) - n * n;

    const fs::path home = fs::current_path();
    fs::current_path(f.dir);
    const auto t0 = std::chrono::steady_clock::now();
    const int status = itorve(2);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::ifstream in(f.dir / "mat.sou");
    const std::string listing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const long rss_library = peak_rss_mb();

    // Same analysis through the linked solver, for the elimination figures.
    auto st = std::make_unique<parvane::RunState>();
    int st_status = 0;
    parvane::run_analysis(*st, st_status);
    const parvane::FrontalStats fs_ = st->frontal.factorization_stats();
    st.reset();
    fs::current_path(home);

    std::printf("%8d %10d %8d %10.3f %10.3f %10.2f %10ld %8s %7d\n", npoin, 6 * npoin, front_width(listing), seconds,
                fs_.elimination_seconds,
                fs_.elimination_seconds > 0 ? fs_.elimination_flops * 1e-9 / fs_.elimination_seconds : 0.0, rss_library,
                fs_.spilled_bytes > 0 ? "yes" : "no", status);
    std::fflush(stdout);
    return status == 0 && st_status == 0 ? 0 : 1;
}

// Numeric input of a 4-node mesh in the y-z plane (nodes y, z; elements by
// their nodes from 1) on Winkler springs k under the load q, thickness t.
std::string mesh_input(const std::vector<std::array<double, 2>>& nodes, const std::vector<std::array<int, 4>>& elements,
                       double t, double q, double k) {
    const int np = static_cast<int>(nodes.size()), ne = static_cast<int>(elements.size());
    std::ostringstream o;
    o.precision(12);
    o << "bench free mesh\n0\n"
      << np << "  " << ne << "  1  4  2  2  0  0  0  " << ne << "  " << ne << "  0  0  0  0  0  0  0  \n"
      << "0  0  0\n1  0  1  0.1  10  1e-06  \n";
    for (int e = 0; e < ne; ++e) {
        const auto& c = elements[static_cast<size_t>(e)];
        o << "  " << e + 1 << "  " << e + 1 << "  1  " << c[0] << "  " << c[1] << "  " << c[2] << "  " << c[3] << "\n";
    }
    for (int p = 0; p < np; ++p)
        o << "  " << p + 1 << "  " << p + 1 << "  0 " << nodes[static_cast<size_t>(p)][0] << "  "
          << nodes[static_cast<size_t>(p)][1] << "\n";
    o << " 1\t1  30000000  0.2  " << t << "\n";
    for (int e = 1; e <= ne; ++e) o << "  " << e << "    " << q << "  0  0  0  0  0\n";
    for (int e = 1; e <= ne; ++e) o << "  " << e << "    " << k << "  " << k << "  " << k << "  0  0  0\n";
    o << "0 1\t5\n\n";
    return o.str();
}

// The octagonal foundation (L1 21 m, L2 17 m, D 14 m) as the program makes
// it: the template's geometry meshed by the mesh generator at element size
// `size` with 4-node elements and imported with the template's sets
// (elements in the generator's order); its nodes and elements are written
// as the numeric input `sin` on Winkler springs under a uniform load.
// False when a stage fails.
bool octagon_input(double size, const fs::path& dir, const fs::path& sin) {
    ModelData model;
    model.SetTemplateParameters(1, 0, 2, 21.0, 17.0, 14.0, 0.0, 2.5, 2.0, 1.5, 10000.0, 500.0, 20000.0, size);
    TemplateLists lists;
    const fs::path geometry = dir / "temp.i";
    if (WriteOctagonTemplate(model, geometry.string(), lists) != TemplateWrite::Written) return false;
    if (tessaro::runTessaro(geometry.string()) != 0) return false;
    if (model.ImportMeshFile((dir / "temp.fem").string(), 1, lists.regionNames, lists.regionIds, lists.setNames,
                             lists.setRegions, lists.setHeights) == 0)
        return false;
    const fs::path program = dir / "program.sin";
    if (model.WriteSolverInput(program.string()) != 0) return false;
    // The program's input: title, soil kind, counts, two control lines, then
    // the elements and the nodes, both by position.
    std::ifstream in(program);
    std::string line;
    std::getline(in, line);
    int isoil = 0;
    in >> isoil;
    std::getline(in, line);
    if (isoil != 0) std::getline(in, line);
    int np = 0, ne = 0, nmats = 0, nnode = 0;
    in >> np >> ne >> nmats >> nnode;
    std::getline(in, line);
    std::getline(in, line);
    std::getline(in, line);
    if (nnode != 4 || np <= 0 || ne <= 0) return false;
    std::vector<std::array<int, 4>> elements(static_cast<size_t>(ne));
    for (auto& e : elements) {
        int number = 0, id = 0, material = 0;
        in >> number >> id >> material >> e[0] >> e[1] >> e[2] >> e[3];
    }
    std::vector<std::array<double, 2>> nodes(static_cast<size_t>(np));
    for (auto& p : nodes) {
        int number = 0, id = 0;
        double x = 0;
        in >> number >> id >> x >> p[0] >> p[1];
    }
    if (!in) return false;
    std::ofstream(sin) << mesh_input(nodes, elements, 1.5, 50.0, 20000.0);
    return true;
}

// A square mat of divs x divs 4-node elements of side `size`, numbered row by
// row, as numeric input on the octagon's springs and load.
std::string square_input(int divs, double size) {
    std::vector<std::array<double, 2>> nodes;
    std::vector<std::array<int, 4>> elements;
    for (int r = 0; r <= divs; ++r)
        for (int c = 0; c <= divs; ++c) nodes.push_back({c * size, -r * size});
    for (int r = 0; r < divs; ++r)
        for (int c = 0; c < divs; ++c) {
            const int a = r * (divs + 1) + c + 1;
            elements.push_back({a, a + 1, a + divs + 2, a + divs + 1});
        }
    return mesh_input(nodes, elements, 1.5, 50.0, 20000.0);
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One further case in the calling (child) process: its numeric input is in
// the folder already; prints its line.
int run_case(const char* name, const Folder& f, int threads) {
    const std::string text = read_file(f.dir / "mat.sin");
    std::istringstream head(text);
    std::string line;
    int npoin = 0;
    for (int k = 0; k < 4 && std::getline(head, line); ++k) {
        std::istringstream fields(line);
        int a = 0, b = 0, c = 0;
        if ((fields >> a >> b >> c) && c >= 1 && a > 3) {
            npoin = a;
            break;
        }
    }
    const fs::path home = fs::current_path();
    fs::current_path(f.dir);
    const auto t0 = std::chrono::steady_clock::now();
    auto st = std::make_unique<parvane::RunState>();
    st->mindlin->sums.threads = threads;
    int status = 0;
    parvane::run_analysis(*st, status);
    const parvane::FrontalStats fs_ = st->frontal.factorization_stats();
    const parvane::MindlinTimes m = st->mindlin->sums.times;
    const parvane::RunFigures r = st->figures;
    st.reset();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    fs::current_path(home);
    const std::string listing = read_file(f.dir / "mat.sou");
    std::printf("%-24s %8d %8d %6d %10.3f %10.3f %8.1f %10.3f %10ld %7d", name, npoin, front_width(listing),
                r.iterations, seconds, r.elimination_seconds, fs_.elimination_flops * 1e-9, r.soil_seconds,
                peak_rss_mb(), status);
    if (fs_.spilled_bytes > 0) std::printf("   (equations spilled to the scratch unit)");
    if (r.refined_solutions > 0)
        std::printf("   (%d of %d solutions by refinement through stored equations)", r.refined_solutions,
                    r.iterations);
    if (m.updates > 0)
        std::printf("   (settlement sums %.3f s, %d nodes of %d cached)", m.settlement_seconds, m.cached_rows, npoin);
    std::printf("\n");
    std::fflush(stdout);
    return status == 0 ? 0 : 1;
}

// Runs `body` in a child process; false when it fails.
template <class F>
bool in_child(F body) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        const int result = body();
        std::fflush(stdout);
        std::_Exit(result);
    }
    int wstatus = 0;
    ::waitpid(child, &wstatus, 0);
    return WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    bool large = false;
    std::string only;
    int threads = 0, mindlin_size = 70;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--large")
            large = true;
        else if (a == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (a == "--threads" && i + 1 < argc)
            threads = std::atoi(argv[++i]);
        else if (a == "--mindlin-size" && i + 1 < argc)
            mindlin_size = std::atoi(argv[++i]);
        else
            sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {18, 36, 70};
    if (large) sizes.push_back(182);
    auto wanted = [&](const char* kind) { return only.empty() || only == kind; };

    const fs::path self = fs::canonical("/proc/self/exe").parent_path();
    const std::string lib = (self / "Parvane_DLL.so").string();

    int failures = 0;
    if (wanted("mats")) {
        std::printf("%8s %10s %8s %10s %10s %10s %10s %8s %7s\n", "nodes", "equations", "front", "wall s", "elim. s",
                    "GFLOP/s", "peak MB", "spilled", "status");
        std::fflush(stdout);
        for (int n : sizes) {
            const bool ok = in_child([&] {
                void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
                if (h == nullptr) {
                    std::fprintf(stderr, "cannot load %s: %s\n", lib.c_str(), dlerror());
                    return 1;
                }
                auto itorve = reinterpret_cast<int (*)(int)>(dlsym(h, "ITORVE"));
                if (itorve == nullptr) {
                    std::fprintf(stderr, "ITORVE not found\n");
                    return 1;
                }
                return run_size(n, itorve);
            });
            if (!ok) ++failures;
        }
        std::printf("(peak MB: resident size of the process that ran the library's analysis of that size)\n\n");
    }

    struct Extra {
        const char* kind;
        std::string name;
        double size;  // element size of an octagon (or of a square mat with divs), or 0
        int isoil;
        int divs = 0;  // divisions of a square 4-node mat
    };
    std::vector<Extra> extras;
    if (wanted("octagon")) {
        extras.push_back({"octagon", "octagon 0.5 m", 0.5, 0});
        extras.push_back({"octagon", "square 4-node 0.5 m", 0.5, 0, 102});
        extras.push_back({"octagon", "octagon 0.29 m", 0.29, 0});
        extras.push_back({"octagon", "square 4-node 0.29 m", 0.29, 0, 177});
    }
    if (wanted("winkler")) extras.push_back({"winkler", "mat " + std::to_string(mindlin_size) + " Winkler", 0, 0});
    if (wanted("mindlin")) extras.push_back({"mindlin", "mat " + std::to_string(mindlin_size) + " Mindlin", 0, 1});
    if (wanted("vlasov")) extras.push_back({"vlasov", "mat 70 Vlasov", 0, 2});
    if (extras.empty()) return failures == 0 ? 0 : 1;
    std::printf("%-24s %8s %8s %6s %10s %10s %8s %10s %10s %7s\n", "case", "nodes", "front", "iter.", "wall s",
                "elim. s", "Gflop", "soil s", "peak MB", "status");
    for (const Extra& x : extras) {
        Folder f(std::string(x.kind) + std::to_string(static_cast<int>(x.size * 100)) + "_" + std::to_string(x.divs));
        bool made = true;
        if (x.divs > 0) {
            std::ofstream(f.dir / "mat.sin") << square_input(x.divs, x.size);
        } else if (x.size > 0) {
            // Meshed in a process of its own, so that the analysis' peak is its own.
            made = in_child([&] { return octagon_input(x.size, f.dir, f.dir / "mat.sin") ? 0 : 1; });
        } else {
            const int n = x.isoil == 2 ? 70 : mindlin_size;
            std::ofstream(f.dir / "mat.sin") << mat_input(
                n, 20.0, 0.8, 50.0, 20000.0, x.isoil, x.isoil == 1 ? "50000  0.3  20000" : "50000  80000  0.3  15  1");
        }
        if (!made) {
            std::printf("%-24s mesh not made\n", x.name.c_str());
            ++failures;
            continue;
        }
        if (!in_child([&] { return run_case(x.name.c_str(), f, threads); })) ++failures;
    }
    std::printf(
        "(wall s: the whole analysis through the linked solver; elim. s and soil s: summed over its "
        "iterations, elim. s with the refinement steps; Gflop: floating-point operations of one factorization; peak MB: resident size of the "
        "process that ran it)\n");
    return failures == 0 ? 0 : 1;
}
