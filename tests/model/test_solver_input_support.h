#pragma once
// Helpers of the solver input, check, result and runner tests: fixture
// paths, whole-file reads and writes, scratch folders and small models
// built from keyword text.

#include <sstream>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "test_slb_support.h"

namespace bridgetest {

inline std::string Fixture(const std::string& relative) {
    return std::string(BRENNIX_TEST_DATA) + "/model/" + relative;
}

// Whole-file reads and writes and scratch folders are those of the model
// file tests.
inline std::string ReadAll(const std::string& path) { return slbtest::ReadBytes(path); }
inline void WriteAll(const std::string& path, const std::string& bytes) { slbtest::WriteBytes(path, bytes); }
using Scratch = slbtest::ScratchDir;

// Reads a model from keyword text (the version line included).
inline int ReadModelText(ModelData& model, const std::string& text) {
    Scratch dir;
    WriteAll(dir.File("m.slb"), text);
    return model.ReadModelFile(dir.File("m.slb"), true);
}

// Lines of a text, without their line feeds; a final line feed ends the last
// line (no empty entry after it).
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Step results of one step with 26 columns for nodes 1 to `nodes`: the
// first column 0.5, the others 0.
inline std::string OneResultStep(int nodes) {
    std::string row;
    for (int c = 0; c < 26; ++c) row += c == 0 ? " 0.5" : " 0";
    std::string sds = "step_data 26";
    for (int c = 0; c < 26; ++c) sds += " c";
    sds += " STEP 1";
    for (int n = 1; n <= nodes; ++n) sds += " " + std::to_string(n) + row;
    return sds + " END_STEP_DATA";
}

}  // namespace bridgetest
