#pragma once
// Helpers of the solver input, check, result and runner tests: fixture
// paths, whole-file reads and writes, scratch folders and small models
// built from keyword text.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/ModelData.h"

namespace bridgetest {

inline std::string Fixture(const std::string& relative)
{
    return std::string(BRENNIX_TEST_DATA) + "/model/" + relative;
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

class Scratch {
public:
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bridgetest_XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data())) path_ = made;
    }
    ~Scratch()
    {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Reads a model from keyword text (the version line included).
inline int ReadModelText(ModelData& model, const std::string& text)
{
    Scratch dir;
    WriteAll(dir.File("m.slb"), text);
    return model.ReadModelFile(dir.File("m.slb"), true);
}

// Lines of a text, without their line feeds; a final line feed ends the last
// line (no empty entry after it).
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace bridgetest
