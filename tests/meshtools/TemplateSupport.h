#pragma once
// Shared pieces of the foundation-template tests: the dialog's default
// parameters, files read whole, a recording mesher host, a document over a
// model, a private temporary folder and the folders of the fake mesher
// libraries.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../model/test_slb_support.h"
#include "uibase/Hosts.h"
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

// A document over the caller's model: the modified mark and the redraws.
class ModelDoc : public DocHost {
public:
    explicit ModelDoc(ModelData& m) : model(m) {}
    ModelData* GetModelData() const override { return &model; }
    void SetModifiedFlag(bool m) override { modified = m; }
    void UpdateAllViews() override { ++updates; }
    ModelData& model;
    bool modified = false;
    int updates = 0;
};

// Points the process's temporary folder (TMPDIR) at a scratch folder while
// the object lives, so that what a meshing leaves behind is seen.
class PrivateTmp {
public:
    PrivateTmp() {
        const char* old = std::getenv("TMPDIR");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("TMPDIR", dir_.Path().c_str(), 1);
    }
    ~PrivateTmp() {
        if (hadOld_)
            ::setenv("TMPDIR", old_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    PrivateTmp(const PrivateTmp&) = delete;
    PrivateTmp& operator=(const PrivateTmp&) = delete;
    std::string File(const std::string& name) const { return dir_.File(name); }
    const std::string& Path() const { return dir_.Path(); }
    // Names of what the folder holds.
    std::vector<std::string> Left() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
            names.push_back(entry.path().filename());
        return names;
    }

private:
    slbtest::ScratchDir dir_;
    bool hadOld_ = false;
    std::string old_;
};

// Folder of the fake mesher of one behaviour: good, noentry, error, warning,
// empty.
inline std::string FakeMesherFolder(const std::string& mode) {
    return std::string(BRENNIX_FAKE_MESHER_DIR) + "/" + mode;
}

}  // namespace templatetest
