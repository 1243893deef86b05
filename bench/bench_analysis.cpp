// Whole analyses of square mats of 8-node elements on Winkler springs under a
// uniform load, about 1,000, 4,000 and 15,000 nodes (and 100,000 with
// --large).  Each mat is written as a numeric input with its "torve.dat" in a
// temporary folder and analysed, each in a process of its own so that its
// peak resident size is its own: first by ITORVE(2) of Parvane_DLL.so, loaded
// from the folder of this program (the wall time), then once more through the
// statically linked solver (the figures of the frontal elimination).
//
//   bench_analysis [--large] [element divisions ...]   (default 18 36 70; --large adds 182)
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "solver/driver.h"
#include "solver/frontal.h"
#include "solver/state.h"

namespace fs = std::filesystem;

namespace {

// Numeric input of an n x n mat of side a, thickness t, load q, springs k.
std::string mat_input(int n, double a, double t, double q, double k) {
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
            std::snprintf(line, sizeof line, "  %d  %d  1  %d  %d  %d  %d  %d  %d  %d  %d\n", ne, ne, at(0, 0), at(2, 0),
                          at(2, 2), at(0, 2), at(1, 0), at(2, 1), at(1, 2), at(0, 1));
            elements += line;
        }
    std::string s = "bench mat\n0\n";
    std::snprintf(line, sizeof line, "%d  %d  1  8  2  2  0  0  0  %d  %d  0  0  0  0  0  0  0  \n", count, ne, ne, ne);
    s += line;
    s += "0  0  0\n1  0  1  0.1  10  1e-06  \n";
    s += elements + nodes;
    std::snprintf(line, sizeof line, " 1\t1  30000000  0.2  %.10g\n", t);
    s += line;
    for (int e = 1; e <= ne; ++e) {
        std::snprintf(line, sizeof line, "  %d    %.10g  0  0  0  0  0\n", e, q);
        s += line;
    }
    for (int e = 1; e <= ne; ++e) {
        std::snprintf(line, sizeof line, "  %d    %.10g  %.10g  %.10g  0  0  0\n", e, k, k, k);
        s += line;
    }
    s += "0 1\t5\n\n";
    return s;
}

struct Folder {
    fs::path dir;
    explicit Folder(int n) {
        dir = fs::temp_directory_path() / ("bench_analysis_" + std::to_string(::getpid()) + "_" + std::to_string(n));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream t(dir / "torve.dat");
        for (const char* ext : {".slb", ".sin", ".sou", ".sds", ".sms", ".cut"}) t << (dir / "mat").string() << ext << "\n";
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
    st.reset();
    fs::current_path(home);
    const parvane::FrontalStats& fs_ = parvane::frontal_factorization_stats();

    std::printf("%8d %10d %8d %10.3f %10.3f %10.2f %10ld %8s %7d\n", npoin, 6 * npoin, front_width(listing), seconds,
                fs_.elimination_seconds,
                fs_.elimination_seconds > 0 ? fs_.elimination_flops * 1e-9 / fs_.elimination_seconds : 0.0,
                rss_library, fs_.spilled_bytes > 0 ? "yes" : "no", status);
    std::fflush(stdout);
    return status == 0 && st_status == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    bool large = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--large")
            large = true;
        else
            sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) sizes = {18, 36, 70};
    if (large) sizes.push_back(182);

    const fs::path self = fs::canonical("/proc/self/exe").parent_path();
    const std::string lib = (self / "Parvane_DLL.so").string();

    std::printf("%8s %10s %8s %10s %10s %10s %10s %8s %7s\n", "nodes", "equations", "front", "wall s", "elim. s",
                "GFLOP/s", "peak MB", "spilled", "status");
    std::fflush(stdout);
    int failures = 0;
    for (int n : sizes) {
        const pid_t child = ::fork();
        if (child < 0) return 1;
        if (child == 0) {
            void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (h == nullptr) {
                std::fprintf(stderr, "cannot load %s: %s\n", lib.c_str(), dlerror());
                std::_Exit(1);
            }
            auto itorve = reinterpret_cast<int (*)(int)>(dlsym(h, "ITORVE"));
            if (itorve == nullptr) {
                std::fprintf(stderr, "ITORVE not found\n");
                std::_Exit(1);
            }
            const int result = run_size(n, itorve);
            std::fflush(stdout);
            std::_Exit(result);
        }
        int wstatus = 0;
        ::waitpid(child, &wstatus, 0);
        if (!WIFEXITED(wstatus) || WEXITSTATUS(wstatus) != 0) ++failures;
    }
    std::printf("(peak MB: resident size of the process that ran the library's analysis of that size)\n");
    return failures == 0 ? 0 : 1;
}
