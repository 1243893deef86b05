// Helpers of the solver tests: a scratch folder and a run state whose input,
// listing and message file are open on files of that folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "solver/input/read_input.h"
#include "solver/run/state.h"

namespace solver_test {

namespace fs = std::filesystem;

inline std::string data_path(const std::string& name) { return std::string(BRENNIX_TEST_DATA) + "/solver/" + name; }

class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("solver_" + tag + "_" + std::to_string(::getpid()) + "_" + (info ? info->name() : "x"));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Changes the current directory for the life of the object.
class CurrentDir {
public:
    explicit CurrentDir(const fs::path& p) : old_(fs::current_path()) { fs::current_path(p); }
    ~CurrentDir() { fs::current_path(old_); }

private:
    fs::path old_;
};

inline std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string l;
    while (std::getline(in, l)) lines.push_back(l);
    return lines;
}

inline void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Opens unit 5 on `sin`, units 6 and 8 on "out.sou" and "out.sms" of `dir`.
inline void open_units(parvane::RunState& st, const std::string& sin, const ScratchDir& dir) {
    ASSERT_EQ(st.units.open(parvane::kUnitInput, sin, fio::OpenStatus::Old), fio::kOk) << sin;
    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("out.sou"), fio::OpenStatus::Unknown), fio::kOk);
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("out.sms"), fio::OpenStatus::Unknown), fio::kOk);
}

// Head, fixed values, arrays and body of the input, as the driver runs them.
inline int load_input(parvane::RunState& st) {
    int status = 0;
    parvane::read_head(st, status);
    if (status <= 0) parvane::check_sizing_counts(st, status);
    if (status > 0) return status;
    parvane::set_fixed_values(st);
    parvane::allocate_work_arrays(st, status);
    if (status > 0) return status;
    parvane::read_input(st, status);
    return status;
}

}  // namespace solver_test
