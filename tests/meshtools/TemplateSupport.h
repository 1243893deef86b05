#pragma once
// Shared pieces of the foundation-template tests: the dialog's default
// parameters, files read whole, a recording mesher host and the folders of
// the fake mesher libraries.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "meshtools/MesherBinding.h"
#include "model/ModelData.h"

namespace templatetest {

// The dialog's defaults as stored on OK (the size as its field shows it).
inline void StoreDefaults(ModelData& m, int kind, int elementOption = 1, double size = 0.0) {
    if (kind == 1)
        m.SetTemplateParameters(1, elementOption, 1, 21.0, 17.0, 14.0, 0.0, 1.5, 5.0, 3.5, 600.0, 0.0, 50000.0,
                                size > 0 ? size : 1.75);
    else
        m.SetTemplateParameters(2, elementOption, 1, 3.5, 5.0, 14.0, 0.0, 1.5, 5.0, 3.5, 600.0, 0.0, 50000.0,
                                size > 0 ? size : 1.1);
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Messages and questions, recorded; questions take the scripted answer.
class RecordingHost : public MesherHost {
public:
    void Message(const std::string& text, MesherIcon icon) override { messages.emplace_back(text, icon); }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    std::vector<std::pair<std::string, MesherIcon>> messages;
    std::vector<std::string> questions;
    bool answer = true;
};

// Folder of the fake mesher of one behaviour: good, noentry, error, warning,
// empty.
inline std::string FakeMesherFolder(const std::string& mode) {
    return std::string(BRENNIX_FAKE_MESHER_DIR) + "/" + mode;
}

}  // namespace templatetest
