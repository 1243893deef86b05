// brennix-run MODEL.slb
//
// Analyses a saved model without the desktop program: the same run as the
// program's Run Analysis (model check, save, solver input, the solver
// library from this program's folder, results read back), then a short
// summary of the results. Exits non-zero when anything failed, saying what;
// Ctrl-C, SIGTERM or SIGHUP end it with 128 + the signal, the run marked
// unfinished. A model too large for the memory is said to be so.

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <new>
#include <sstream>
#include <string>

#include "app/run/AnalysisRun.h"
#include "model/ModelData.h"
#include "model/ModelFile.h"

namespace {

class ConsoleHost : public RunHost {
public:
    bool Ask(const std::string& question) override {
        std::cerr << Flat(question) << " Yes\n";
        return true;
    }
    void Progress(const std::string& title, const std::string& subtitle, int) override {
        std::cerr << title << (subtitle.empty() ? "" : " ") << subtitle << '\n';
    }
    void Message(const std::string& text, RunIcon) override {
        std::cerr << Flat(text) << '\n';
        messages += Flat(text) + "\n";
    }
    void OpenTextFile(const std::string& path) override { std::cerr << "Message file: " << path << '\n'; }

    std::string messages;

private:
    static std::string Flat(const std::string& text) {
        std::string s = text;
        for (char& c : s)
            if (c == '\n') c = ' ';
        return s;
    }
};

std::string ProgramFolder(const char* argv0) {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string(argv0);
    return GetDirectoryOfPath(path);
}

bool FileContains(const std::string& path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str().find(text) != std::string::npos;
}

// Prints the summary; returns the number of result values that are not
// finite (counted per column, never taken for an extreme).
long PrintSummary(const ModelData& model) {
    long notFinite = 0;
    const int nodes = model.GetNodeCount();
    std::vector<int> steps(static_cast<std::size_t>(model.GetStepCount()));
    model.GetStepNumbers(steps.data());
    std::printf("Steps: %d\n", model.GetStepCount());
    std::printf("Nodes: %d\n", nodes);
    if (steps.empty() || nodes == 0) return 0;
    const int step = steps.back();
    const NodeTable* table = model.GetNodeTable();
    std::printf("Results of step %d (column, minimum at node, maximum at node):\n", step);
    for (int c = 0; c < model.GetResultColumnCount(); ++c) {
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        int loNode = 0, hiNode = 0;
        long bad = 0;
        for (int r = 0; r < nodes; ++r) {
            const double v = model.GetResultValue(c, r, step);
            if (!std::isfinite(v)) {
                ++bad;
                continue;
            }
            if (v < lo) {
                lo = v;
                loNode = table->GetNodeId(r);
            }
            if (v > hi) {
                hi = v;
                hiNode = table->GetNodeId(r);
            }
        }
        const std::string caption =
            c < static_cast<int>(model.resultCaptions.size()) ? model.resultCaptions[static_cast<std::size_t>(c)] : "";
        if (bad == nodes)
            std::printf("  %-14s no finite value", caption.c_str());
        else
            std::printf("  %-14s %14.6e at %6d  %14.6e at %6d", caption.c_str(), lo, loNode, hi, hiNode);
        if (bad > 0) std::printf("  (%ld values not finite)", bad);
        std::printf("\n");
        notFinite += bad;
    }
    return notFinite;
}

// Result values of every step that are not finite.
long CountNotFinite(const ModelData& model) {
    std::vector<int> steps(static_cast<std::size_t>(model.GetStepCount()));
    model.GetStepNumbers(steps.data());
    long count = 0;
    for (int step : steps)
        for (int c = 0; c < model.GetResultColumnCount(); ++c)
            for (int r = 0; r < model.GetNodeCount(); ++r)
                if (!std::isfinite(model.GetResultValue(c, r, step))) ++count;
    return count;
}

bool HasModelExtension(const std::string& path) {
    if (path.size() < 5) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".slb" && path[path.size() - 5] != '/';
}

int Fail(const std::string& why) {
    std::printf("Status: failed\n");
    std::fprintf(stderr, "brennix-run: %s\n", why.c_str());
    return 1;
}

// Reads the model, runs its analysis and prints the summary; the exit
// status of the runner.
int AnalyseAndSummarise(const std::string& path, const std::string& programFolder) {
    ModelData model;
    const std::string version = model.ReadFirstLine(path);
    if (version != "V4.1") return Fail("not a model file of version V4.1: " + path);
    const int read = model.ReadModelFile(path, true);
    if (read != 0)
        return Fail("model file could not be read (code " + std::to_string(read) + "): " + path + ": " +
                    model.GetReadError());

    ConsoleHost host;
    RunOutcome outcome;
    // Ctrl-C, SIGTERM and SIGHUP end the run cleanly (see
    // InstallRunInterruptHandlers).
    InstallRunInterruptHandlers();
    const bool hadResults = FileExists(RunFileName(path, ".sds")) != 0;
    RunAnalysis(model, path, hadResults, programFolder, host, &outcome);

    const std::string reason = outcome.systemReason.empty() ? "" : ": " + outcome.systemReason;
    if (outcome.lockRefused)
        return Fail(outcome.lockHolder.empty() ? "the run lock of the model could not be taken"
                                               : "the model is being analysed by another run: " + outcome.lockHolder);
    if (outcome.folderBusy) return Fail("another model in the same folder is being analysed: " + outcome.folderHolder);
    if (outcome.outOfMemory) return Fail("the analysis of " + NeedsMoreMemoryText(path));
    if (outcome.modelErrors) return Fail("the model check found errors; see " + outcome.messageFile);
    if (outcome.saveFailed) return Fail("the model could not be saved: " + path + reason);
    if (outcome.folderFailed)
        return Fail("the folder of the model could not be made the current folder: " + GetDirectoryOfPath(path) +
                    reason);
    if (outcome.listFailed) return Fail("the file list of the run could not be written" + reason);
    if (!outcome.halvorRoute) {
        if (!outcome.inputWritten) return Fail("the solver input could not be written" + reason);
        if (!outcome.libraryLoaded) return Fail("the solver library could not be loaded: " + outcome.libraryPath);
        if (!outcome.exportFound) return Fail("the solver library has no ITORVE: " + outcome.libraryPath);
    } else if (!outcome.programStarted) {
        return Fail("the analysis program could not be started");
    }
    if (outcome.solverStatus != 0 || FileContains(outcome.messageFile, "Analysis terminated"))
        return Fail("the analysis reported an error (status " + std::to_string(outcome.solverStatus) + "); see " +
                    outcome.messageFile);
    if (!outcome.resultsFileFound) return Fail("the analysis wrote no step results");
    if (outcome.resultsStatus != 0)
        return Fail("the step results could not be read (code " + std::to_string(outcome.resultsStatus) + ")");
    if (outcome.cutFileFound && outcome.cutStatus != 0) return Fail("the section-cut results could not be read");

    // Results that are not finite are no result: the run failed.
    const long notFinite = CountNotFinite(model);
    std::printf(notFinite == 0 ? "Status: 0\n" : "Status: failed\n");
    PrintSummary(model);
    if (notFinite > 0) {
        std::fprintf(stderr, "brennix-run: %ld result values are not finite; see %s\n", notFinite,
                     outcome.messageFile.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* usage =
        "usage: brennix-run MODEL.slb\n"
        "Analyses the saved model MODEL.slb as the program's Run Analysis does (the model is\n"
        "checked and saved first) and prints a summary of the results.\n";
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string path = argv[1];
    // The run files are named from the model path less its last four
    // characters; any other ending would let them fall on the model itself.
    if (!HasModelExtension(path)) return Fail("the model file name must end in .slb: " + path);
    if (!FileExists(path)) return Fail("model file not found: " + path);
    std::error_code kindError;
    const auto kind = std::filesystem::status(path, kindError).type();
    if (kind == std::filesystem::file_type::directory) return Fail("the model file is a folder: " + path);
    if (kind != std::filesystem::file_type::regular)
        return Fail("the model file is not a regular file (a pipe, socket or device): " + path);

    // A model too large for the memory ends with a message, never an abort;
    // the model file is only ever replaced whole, so nothing is lost.
    try {
        return AnalyseAndSummarise(path, ProgramFolder(argv[0]));
    } catch (const std::bad_alloc&) {
        return Fail("the model file " + NeedsMoreMemoryText(path));
    }
}
