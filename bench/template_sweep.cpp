// Sweep of the octagonal and circular foundation templates over the values
// the template dialog accepts: every parameter set is written by the
// program's template writer, meshed by the mesh generator in a child
// process and its mesh checked. Counts sets meshed valid, refused (with the
// log's first error line), crashed and returned with a bad element.
//
//   template_sweep
//
// Octagon: L1 4 to 40 m, L2 and D from small to near L1; the default plan
// (21, 17, 14) at every division of L1 from 1 to 60. Circle: R1 0.5 to 8 m,
// R2 and R3 above it; the default plan (3.5, 5, 14) at every division of
// 2*Pi*R3 from 4 to 160. Sizes as the dialog shows them (two decimals).
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/RunDriver.h"
#include "mesh_verdict.h"
#include "meshtools/TemplateGeometry.h"
#include "model/ModelData.h"

namespace fs = std::filesystem;

namespace {

struct Set {
    int kind;
    double d1, d2, d3, size;
};

double twoDecimals(double v) { return std::round(v * 100.0) / 100.0; }

std::vector<Set> parameterSets() {
    const double pi = std::acos(-1.0);
    std::vector<Set> sets;
    for (int div = 1; div <= 60; ++div) sets.push_back({1, 21, 17, 14, twoDecimals(21.0 / div)});
    for (double l1 : {4.0, 8.0, 12.0, 16.0, 21.0, 30.0, 40.0})
        for (double l2f : {0.2, 0.5, 0.8, 1.2})
            for (double df : {0.1, 0.4, 0.67, 0.95})
                for (double size : {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0})
                    sets.push_back({1, l1, l1 * l2f, l1 * df, size});
    for (int div = 4; div <= 160; div += 4) sets.push_back({2, 3.5, 5, 14, twoDecimals(pi * 14.0 / div)});
    for (double r3 : {6.0, 10.0, 14.0, 20.0})
        for (double r1f : {0.05, 0.15, 0.3, 0.6})
            for (double r2f : {0.35, 0.5, 0.8, 0.95})
                for (double size : {0.25, 0.5, 1.0, 1.5, 2.0}) {
                    const double r1 = r3 * r1f, r2 = r3 * r2f;
                    if (r1 < r2) sets.push_back({2, r1, r2, r3, size});
                }
    return sets;
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("template-sweep-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path input = dir / "temp.i";
    int meshed[3] = {}, refused[3] = {}, bad[3] = {}, crashed[3] = {}, unsuitable[3] = {};
    std::map<std::string, int> reasons;
    for (const Set& s : parameterSets()) {
        char label[160];
        std::snprintf(label, sizeof label, "%s %g %g %g size %g", s.kind == 1 ? "octagon L1 L2 D" : "circle R1 R2 R3",
                      s.d1, s.d2, s.d3, s.size);
        ModelData model;
        model.SetTemplateParameters(s.kind, 0, 1, s.d1, s.d2, s.d3, 0.0, 1.5, 5.0, 3.5, 600.0, 0.0, 50000.0, s.size);
        TemplateLists lists;
        const TemplateWrite written = s.kind == 1 ? WriteOctagonTemplate(model, input.string(), lists)
                                                  : WriteCircularTemplate(model, input.string(), lists);
        if (written != TemplateWrite::Written) {
            ++unsuitable[s.kind];
            std::printf("%s: not written (%s)\n", label, UnsuitableSizeMessage(model).c_str());
            continue;
        }
        const pid_t child = fork();
        if (child == 0) _exit(tessaro::runTessaro(input.string()));
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status)) {
            ++crashed[s.kind];
            std::printf("%s: crashed\n", label);
            continue;
        }
        if (WEXITSTATUS(status) != 0) {
            ++refused[s.kind];
            std::ifstream log(dir / "temp.msh");
            std::string line, first;
            while (std::getline(log, line))
                if (line.rfind("Error", 0) == 0) {
                    first = line;
                    break;
                }
            std::printf("%s: refused: %s\n", label, first.c_str());
            ++reasons[first.substr(0, 60)];
            continue;
        }
        const Verdict v = checkMesh(dir / "temp.fem", -1.0, true);
        if (v.bad) {
            ++bad[s.kind];
            std::printf("%s: bad mesh: %s\n", label, v.why.c_str());
        } else {
            ++meshed[s.kind];
        }
    }
    for (int kind : {1, 2})
        std::printf("%s: %d meshed valid, %d refused, %d bad, %d crashed, %d not written (size unsuitable)\n",
                    kind == 1 ? "octagon" : "circle", meshed[kind], refused[kind], bad[kind], crashed[kind],
                    unsuitable[kind]);
    for (const auto& [reason, n] : reasons) std::printf("  %4d  %s\n", n, reason.c_str());
    fs::remove_all(dir);
    return bad[1] + bad[2] + crashed[1] + crashed[2] == 0 ? 0 : 1;
}
