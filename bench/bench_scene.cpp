// Repaint times of the model picture: the 70 x 70 mat of 8-node elements of
// bench_analysis (14,981 nodes, 4,900 elements) with a deflection field
// written as step results and read back, shown as deflection contours (fill
// and grey contour lines, 10 divisions) in a 1280 x 1024 picture on the off-screen
// renderer. A full rebuild compiles display list 1 from the model; a replay
// (the paint after a view preset or a mouse drag: the view moved by a pixel)
// calls the list. Each time is taken over RenderScene and glFinish, and over
// the whole paint (with the read-back of the picture). A pick is a click at
// the middle of the picture with node picking on: the selection pass and the
// paint after it (target 150 ms together), which draws the highlight over
// the kept picture of the scene. The first pick after the paint compiles the
// scene for selection; later picks replay it. Picks are timed with the node
// points shown (what node picking needs) and with points and node numbers.
//
//   bench_scene [element divisions]     (default 70; 97 gives 28,616 nodes)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "platform/ui/Headless.h"

namespace fs = std::filesystem;

namespace {

class BenchDoc : public ui::Document, public DocHost {
public:
    ModelData model;
    ModelData* GetModelData() const override { return const_cast<ModelData*>(&model); }
    bool HasResults() const override { return true; }
};

// The n x n mat of side a as bench_analysis numbers it: node rows from the
// top edge, mid-side nodes between the corner rows.
void BuildMat(ModelData& model, int n, double a) {
    model.Reset();
    const int cols = 2 * n + 1;
    const double h = a / (2 * n);
    std::vector<int> id(static_cast<size_t>(cols) * cols, 0);
    NodeTable& nodes = *model.GetNodeTable();
    int count = 0;
    for (int r = 0; r < cols; ++r)
        for (int c = 0; c < cols; ++c) {
            if (r % 2 == 1 && c % 2 == 1) continue;
            id[static_cast<size_t>(r) * cols + c] = ++count;
            nodes.AddNodeRow(count, 0.0, c * h, -r * h);
        }
    nodes.CountRows();
    nodes.RebuildIndex();
    ElementTable& elements = *model.GetElementTable();
    elements.SetNodesPerElement(8);
    int ne = 0;
    for (int er = 0; er < n; ++er)
        for (int ec = 0; ec < n; ++ec) {
            auto at = [&](int dc, int dr) { return id[static_cast<size_t>(2 * er + dr) * cols + 2 * ec + dc]; };
            const int element[] = {at(0, 0), at(2, 0), at(2, 2), at(0, 2), at(1, 0), at(2, 1), at(1, 2), at(0, 1)};
            elements.AddElementRow(++ne, 1, element);
        }
    elements.CountRows();
    elements.RebuildIndex();
    model.nodeCount = count;
    model.RebuildNodeIndex();
    model.BuildEdgeFlags();
    model.UpdateBoundingBox();
    model.redrawFlag = 1;
}

// A dish-shaped deflection (largest at the middle) as one result step.
bool WriteAndReadDeflection(ModelData& model, double a) {
    const fs::path file = fs::temp_directory_path() / ("bench_scene_" + std::to_string(::getpid()) + ".sds");
    {
        std::ofstream out(file);
        out << "step_data\n26\n";
        for (int c = 0; c < 26; ++c) out << "C" << c << (c == 25 ? "\n" : " ");
        out << "STEP       1\n";
        const NodeTable& nodes = *model.GetNodeTable();
        char line[64];
        for (int i = 0; i < nodes.GetCount(); ++i) {
            const NodeRow* r = nodes.GetRow(i);
            const double u = r->y / a - 0.5, v = -r->z / a - 0.5;
            out << "  " << r->id;
            std::snprintf(line, sizeof line, "  %.4E", 0.01 * (1.0 - 2.0 * (u * u + v * v)) + 0.002 * u);
            out << line;
            for (int c = 1; c < 26; ++c) out << "  0.0000E+00";
            out << "\n";
        }
        out << "END_STEP_DATA\n";
    }
    const int status = model.ReadResultsFile(file.string());
    fs::remove(file);
    return status == 0 && model.HasResults();
}

double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

struct Times {
    double render = 0.0;  // RenderScene + glFinish
    double paint = 0.0;   // the whole paint with the read-back
};

Times Measure(CKorbelView& view, int rebuild) {
    Times t;
    // A replay follows a change of the view: moved by a pixel.
    static float nudge = 1.0f;
    if (!rebuild) {
        view.display.panY += nudge;
        nudge = -nudge;
    }
    view.display.rebuildScene = rebuild;
    view.MakeCurrent();
    view.ResetProjection();
    auto start = std::chrono::steady_clock::now();
    view.RenderScene();
    glFinish();
    t.render = Seconds(start);
    view.ReleaseCurrent();

    view.display.rebuildScene = rebuild;
    if (!rebuild) {
        view.display.panY += nudge;
        nudge = -nudge;
    }
    ui::RecordingPainter painter({view.Width(), view.Height()});
    start = std::chrono::steady_clock::now();
    view.OnDraw(painter);
    t.paint = Seconds(start);
    return t;
}

// One click pick of a node at the middle of the picture with node picking
// on (points drawn, contours kept): the selection pass, and the paint after
// it that shows the picked node.
struct PickTimes {
    double select = 0.0;
    double repaint = 0.0;
    std::string picked;
    int compiles = 0;  // scene compilations of the pick and its paint
    int reused = 0;    // paints that started from the kept picture
};

PickTimes MeasurePick(CKorbelView& view) {
    PickTimes t;
    const int x = view.Width() / 2, y = view.Height() / 2;
    const int compiledBefore = view.SceneCompileCount();
    const int reusedBefore = view.SceneImageReuseCount();
    auto start = std::chrono::steady_clock::now();
    view.MakeCurrent();
    view.PickAt(x, y, x, y, 1);
    view.ReleaseCurrent();
    t.select = Seconds(start);
    t.picked = view.CurrentSetText();
    ui::RecordingPainter painter({view.Width(), view.Height()});
    start = std::chrono::steady_clock::now();
    view.OnDraw(painter);
    t.repaint = Seconds(start);
    t.compiles = view.SceneCompileCount() - compiledBefore;
    t.reused = view.SceneImageReuseCount() - reusedBefore;
    return t;
}

// The pick figures: a paint with node picking on and the node display
// given (1 points, 3 points and numbers), then clicks.
double PickCase(CKorbelView& view, int rounds, int nodeLabels) {
    view.mouse.selectionMode = 1;
    view.mouse.mouseMode = -1;
    view.display.nodeLabels = nodeLabels;
    view.SetPickState(1, "0");
    ui::RecordingPainter painter({view.Width(), view.Height()});
    view.OnDraw(painter);
    std::printf("%-10s %14s %14s %14s   node display %d (%s)\n", "", "selection", "repaint", "pick total", nodeLabels,
                nodeLabels == 3 ? "points and numbers" : "points");
    double worst = 0.0;
    for (int i = 0; i < rounds; ++i) {
        const PickTimes t = MeasurePick(view);
        std::printf("%-10s %12.3f s %12.3f s %12.3f s  (node %s, %d compiled, kept picture %s)\n",
                    i == 0 ? "first pick" : "pick", t.select, t.repaint, t.select + t.repaint, t.picked.c_str(),
                    t.compiles, t.reused ? "reused" : "not reused");
        worst = std::max(worst, t.select + t.repaint);
    }
    view.mouse.selectionMode = 0;
    view.mouse.mouseMode = 0;
    view.display.nodeLabels = 0;
    view.SetPickState(0, "0");
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 70;
    const double a = 20.0;
    BenchDoc doc;
    BuildMat(doc.model, n, a);
    if (!WriteAndReadDeflection(doc.model, a)) {
        std::fprintf(stderr, "the deflection could not be read back\n");
        return 1;
    }

    CKorbelView view;
    view.SetDocument(&doc);
    if (view.OnCreate() != 0) return 1;
    view.OnSize(1280, 1024);
    if (!view.HasContext()) {
        std::fprintf(stderr, "no off-screen context\n");
        return 1;
    }
    if (view.MakeCurrent()) {
        const GLubyte* renderer = glGetString(GL_RENDERER);
        std::printf("renderer: %s\n", renderer ? reinterpret_cast<const char*>(renderer) : "?");
        view.ReleaseCurrent();
    }
    view.display.contourColumn = 1;
    view.display.contourType = 2;
    view.SetContourRange();

    std::printf(
        "mat %d x %d: %d nodes, %d elements, picture 1280 x 1024, contours style 2 (fill and lines), 10 divisions\n", n,
        n, doc.model.GetNodeCount(), doc.model.GetElementCount());
    std::printf("%-10s %14s %14s\n", "", "render+finish", "whole paint");
    const int rounds = 3;
    const int pickRounds = 5;
    double worstRebuild = 0.0, worstReplay = 0.0;
    for (int i = 0; i < rounds; ++i) {
        const Times rebuild = Measure(view, 1);
        const Times replay = Measure(view, 0);
        std::printf("%-10s %12.3f s %12.3f s\n", "rebuild", rebuild.render, rebuild.paint);
        std::printf("%-10s %12.3f s %12.3f s\n", "replay", replay.render, replay.paint);
        worstRebuild = std::max({worstRebuild, rebuild.render, rebuild.paint});
        worstReplay = std::max({worstReplay, replay.render, replay.paint});
    }
    std::printf("worst rebuild %.3f s (target 1 s), worst replay %.3f s (target 0.1 s)\n", worstRebuild, worstReplay);
    for (int nodeLabels : {1, 3}) {
        const double worstPick = PickCase(view, pickRounds, nodeLabels);
        std::printf("worst pick %.3f s (target 0.15 s)\n", worstPick);
    }

    // The contour lines on their own (style 1): what tracing them costs.
    view.display.contourType = 1;
    const Times linesRebuild = Measure(view, 1);
    const Times linesReplay = Measure(view, 0);
    std::printf("contour lines only: rebuild %.3f s, replay %.3f s (whole paint)\n", linesRebuild.paint,
                linesReplay.paint);
    view.SetDocument(nullptr);
    return 0;
}
