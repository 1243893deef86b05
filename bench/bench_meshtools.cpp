// Element-order conversion and refinement of bench_analysis's largest mat: a
// 20 m square of 70 x 70 8-node elements, nodes numbered row by row from the
// top-left corner, with a distributed load and stiffness on every element.
// The mat is converted to 9 nodes, and (afresh) refined 2 x 2 into 19,600
// elements; each is timed over the whole call, tables installed.
//
//   bench_meshtools [element divisions]     (default 70)
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meshtools/ElementOrder.h"
#include "meshtools/Refine.h"
#include "model/ModelData.h"

namespace {

// The mat of bench_analysis's numeric input, built through the model.
void BuildMat(ModelData& model, int n, double a) {
    model.Reset();
    const int cols = 2 * n + 1;
    const double h = a / (2 * n);
    std::vector<int> id(static_cast<std::size_t>(cols) * cols, 0);
    NodeTable nodes;
    int count = 0;
    for (int r = 0; r < cols; ++r)
        for (int c = 0; c < cols; ++c) {
            if (r % 2 == 1 && c % 2 == 1) continue;
            id[static_cast<std::size_t>(r) * cols + c] = ++count;
            nodes.AddNodeRow(count, 0.0, c * h, -r * h);
        }
    nodes.CountRows();
    nodes.RebuildIndex();
    model.ReplaceNodeTable(nodes);

    ElementTable elements(8);
    int number = 0;
    for (int er = 0; er < n; ++er)
        for (int ec = 0; ec < n; ++ec) {
            auto at = [&](int dc, int dr) { return id[static_cast<std::size_t>(2 * er + dr) * cols + 2 * ec + dc]; };
            const std::array<int, 8> list{at(0, 0), at(2, 0), at(2, 2), at(0, 2),
                                          at(1, 0), at(2, 1), at(1, 2), at(0, 1)};
            elements.AddElementRow(++number, 1, list);
        }
    elements.CountRows();
    elements.RebuildIndex();
    model.ReplaceElementTable(elements);

    for (int kind : {4, 5}) {
        NodalActionTable table(kind);
        const std::array<double, 6> values{kind == 4 ? 50.0 : 20000.0, 0, 0, 0, 0, 0};
        const std::array<int, 6> flags{1, 0, 0, 0, 0, 0};
        for (int e = 1; e <= number; ++e) table.AddNodalActionRow(std::to_string(e), values, flags);
        table.CountRows();
        table.RebuildIndex();
        model.ReplaceNodalTable(table);
    }
    model.RebuildNodeIndex();
}

template <class Change>
double TimeChange(int n, const char* what, Change change) {
    ModelData model;
    BuildMat(model, n, 20.0);
    const int nodesBefore = model.GetNodeCount(), elementsBefore = model.GetElementCount();
    const auto t0 = std::chrono::steady_clock::now();
    const std::string error = change(model);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", what, error.c_str());
        std::exit(1);
    }
    std::printf("%-22s %6d nodes %6d elements -> %6d nodes %6d elements  %8.3f s\n", what, nodesBefore, elementsBefore,
                model.GetNodeCount(), model.GetElementCount(), seconds);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 70;
    if (n < 1) {
        std::fprintf(stderr, "usage: bench_meshtools [element divisions >= 1]\n");
        return 2;
    }
    const double convert = TimeChange(n, "convert to 9 nodes", [](ModelData& m) { return ConvertToQuad9(m); });
    const double refine = TimeChange(n, "refine 2 x 2", [](ModelData& m) { return RefineMesh(m, 2, 2); });
    const bool met = convert <= 1.0 && refine <= 1.0;
    std::printf("target: at most 1 s each: %s\n", met ? "met" : "missed");
    return met ? 0 : 1;
}
