// The exported entry of the solver library, loaded as the program loads it.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "test_input_support.h"

namespace {

using namespace solver_test;
namespace fs = std::filesystem;

using ItorveFn = int (*)(int);

const char* const kLibrary = BRENNIX_BIN_DIR "/Parvane_DLL.so";

class Library {
public:
    Library() {
        handle_ = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
        if (handle_) fn_ = reinterpret_cast<ItorveFn>(dlsym(handle_, "ITORVE"));
    }
    ~Library() {
        if (handle_) dlclose(handle_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    void* handle() const { return handle_; }
    int call(int mode) const { return fn_(mode); }
    bool ok() const { return fn_ != nullptr; }

private:
    void* handle_ = nullptr;
    ItorveFn fn_ = nullptr;
};

// A clamped strip of two elements with a load at its free end.
// Two 4-node elements, numbered counter-clockwise in the plate frame (y, -z).
const char* const kStrip =
    "strip\n0\n6  2  1  4  2  2  2  1  0  0  0  0  0  0  0  0  0  0  \n0  0  0\n1  0  1  0.5  10  0.001  \n"
    "  1  11  1  1  2  5  4\n  2  12  1  2  3  6  5\n"
    "  1  1  0 0  0\n  2  2  0 1  0\n  3  3  0 2  0\n  4  4  0 0  -1\n  5  5  0 1  -1\n  6  6  0 2  -1\n"
    "  1   1  1  1  1  1  1   0  0  0  0  0  0\n  4   1  1  1  1  1  1   0  0  0  0  0  0\n"
    " 1\t1  3e+07  0.2  0.3\n"
    "  3    -10  0  0  0  0  0\n"
    "0 1\t5\n\n";

// The run files of a model named "m" in `dir`; `lines` of "torve.dat".
void write_run(const ScratchDir& dir, const std::string& sin_text, int lines = 6) {
    write_text(dir.file("m.sin"), sin_text);
    write_text(dir.file("m.sms"), " ****** Check Model ******\n ****** End of Model Check ******\n");
    const std::string names[6] = {dir.file("m.slb"), dir.file("m.sin"), dir.file("m.sou"),
                                  dir.file("m.sds"), dir.file("m.sms"), dir.file("m.cut")};
    std::string t;
    for (int k = 0; k < lines; ++k) t += names[k] + "\n";
    write_text(dir.file("torve.dat"), t);
}

std::map<std::string, std::string> snapshot(const fs::path& p) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(p)) files[e.path().filename().string()] = read_text(e.path().string());
    return files;
}

// Text of a run file without the lines that carry the clock.
std::string without_clock(const std::string& path) {
    static const std::regex clock(R"(^( ?\d{1,2}/\d\d/\d{4}| ?\d{1,2}:\d\d:\d\d:\d\d| Execution time.*)$)");
    std::string out;
    for (const auto& l : read_lines(path))
        if (!std::regex_match(l, clock)) out += l + "\n";
    return out;
}

TEST(Itorve, OnlyTheEntryIsExported) {
    Library lib;
    ASSERT_TRUE(lib.ok()) << dlerror();
    EXPECT_EQ(dlsym(lib.handle(), "_ZN7parvane10read_inputERNS_8RunStateERi"), nullptr);
    EXPECT_EQ(dlsym(lib.handle(), "_ZN3fio5fmt_eEdii"), nullptr);
}

TEST(Itorve, ModesOtherThanTwoReturnOneAndTouchNothing) {
    ScratchDir dir("modes");
    write_run(dir, kStrip);
    const auto before = snapshot(dir.path());
    CurrentDir cd(dir.path());
    Library lib;
    ASSERT_TRUE(lib.ok()) << dlerror();
    for (int mode : {0, 1, 3, -2, 1 << 30}) EXPECT_EQ(lib.call(mode), 1) << mode;
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(Itorve, MissingOrShortRunFilesGiveAStatus) {
    Library lib;
    ASSERT_TRUE(lib.ok()) << dlerror();
    {
        ScratchDir dir("nocontrol");
        CurrentDir cd(dir.path());
        EXPECT_GT(lib.call(2), 0);
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    {
        // Five lines: the message file is named, so the fault is told there.
        ScratchDir dir("shortcontrol");
        write_run(dir, kStrip, 5);
        CurrentDir cd(dir.path());
        EXPECT_EQ(lib.call(2), parvane::kStatusRunFiles);
        const auto msg = read_lines(dir.file("m.sms"));
        ASSERT_FALSE(msg.empty());
        EXPECT_EQ(msg[0], " ****** Check Model ******");
        EXPECT_NE(
            read_text(dir.file("m.sms")).find(" error in reading the control file torve.dat: fewer than six lines"),
            std::string::npos);
        EXPECT_FALSE(fs::exists(dir.file("fort2")));
    }
    {
        ScratchDir dir("noinput");
        write_run(dir, kStrip);
        fs::remove(dir.file("m.sin"));
        CurrentDir cd(dir.path());
        EXPECT_EQ(lib.call(2), parvane::kStatusRunFiles);
        EXPECT_NE(read_text(dir.file("m.sms")).find(" error in opening file " + dir.file("m.sin")), std::string::npos);
        for (const char* f : {"fort2", "fort3", "fort4"}) EXPECT_FALSE(fs::exists(dir.file(f))) << f;
    }
    {
        ScratchDir dir("emptyinput");
        write_run(dir, "");
        CurrentDir cd(dir.path());
        EXPECT_EQ(lib.call(2), parvane::kStatusInput);
        EXPECT_NE(read_text(dir.file("m.sms")).find(" *** error in numeric input, title: end of file"),
                  std::string::npos);
        EXPECT_NE(read_text(dir.file("m.sms")).find(" ********* Analysis terminated **********"), std::string::npos);
    }
}

TEST(Itorve, RejectedInputEndsTheRunAndCleansUp) {
    struct Case {
        const char* what;
        std::string from, to;  // change of the clamped strip
        const char* listing_line;
        std::vector<std::string> diagnosis;  // lines of the message file after the date and time
    };
    const Case cases[] = {
        {"element 2 names material 0 (check2)",
         "  2  12  1",
         "  2  12  0",
         " *** diagnosis by check2, error 14       associated number    1",
         {}},
        {"ten nodes per element (check1)",
         "6  2  1  4  2",
         "6  2  1  10  2",
         " *** diagnosis by check1, error  6",
         {"", "", " *** diagnosis by check1, error  6"}},
    };
    for (const auto& c : cases) {
        ScratchDir dir("rejected");
        std::string bad = kStrip;
        bad.replace(bad.find(c.from), c.from.size(), c.to);
        write_run(dir, bad);
        CurrentDir cd(dir.path());
        Library lib;
        ASSERT_TRUE(lib.ok()) << dlerror();
        EXPECT_EQ(lib.call(2), parvane::kStatusInput) << c.what;
        for (const char* f : {"fort2", "fort3", "fort4", "m.cut"}) EXPECT_FALSE(fs::exists(dir.file(f))) << f;
        const auto msg = read_lines(dir.file("m.sms"));
        ASSERT_GE(msg.size(), 10u) << c.what;
        EXPECT_EQ(msg[0], " ****** Check Model ******");
        EXPECT_EQ(msg[1], " ****** End of Model Check ******");
        EXPECT_EQ(msg[2], " ****** Run Analysis ******");
        EXPECT_TRUE(std::regex_match(msg[3], std::regex(R"([ 1]\d/\d\d/\d{4})"))) << msg[3];
        EXPECT_TRUE(std::regex_match(msg[4], std::regex(R"([ 12]\d:\d\d:\d\d:\d\d)"))) << msg[4];
        std::size_t k = 5;
        for (const auto& d : c.diagnosis) EXPECT_EQ(msg[k++], d) << c.what;
        EXPECT_EQ(msg[k++], " ********* Analysis terminated **********") << c.what;
        EXPECT_EQ(msg[k++], "") << c.what;
        EXPECT_TRUE(std::regex_match(msg[k], std::regex(R"( Execution time +[0-9.E+-]+ +seconds\.)"))) << msg[k];
        const std::string listing = read_text(dir.file("m.sou"));
        EXPECT_NE(listing.find(std::string(c.listing_line) + "\n"), std::string::npos) << c.what;
        EXPECT_NE(listing.find(" now following a listing of post-disaster data cards\n"), std::string::npos) << c.what;
    }
}

TEST(Itorve, LoadRunUnloadAndRunAgainGiveTheSameFiles) {
    ScratchDir dir("twice");
    write_run(dir, kStrip);
    CurrentDir cd(dir.path());
    std::map<std::string, std::string> first;
    for (int round = 0; round < 2; ++round) {
        write_text(dir.file("m.sms"), " ****** Check Model ******\n");
        {
            Library lib;
            ASSERT_TRUE(lib.ok()) << dlerror();
            EXPECT_EQ(lib.call(2), 0);
        }
        // Unloading really unloads: the library is no longer mapped.
        EXPECT_EQ(dlopen(kLibrary, RTLD_NOW | RTLD_NOLOAD), nullptr);
        for (const char* f : {"fort2", "fort3", "fort4"}) EXPECT_FALSE(fs::exists(dir.file(f))) << f;
        std::map<std::string, std::string> files;
        for (const char* f : {"m.sou", "m.sms", "m.sds", "m.cut"})
            files[f] = fs::exists(dir.file(f)) ? without_clock(dir.file(f)) : "<none>";
        if (round == 0)
            first = files;
        else
            EXPECT_EQ(files, first);
    }
    EXPECT_NE(first["m.sou"].find("strip"), std::string::npos);
}

TEST(Itorve, ControlLinesAreReadWholeAndTheFirstIsIgnored) {
    ScratchDir dir("longnames");
    // A folder name that makes every run-file path longer than 128 characters.
    const fs::path deep = dir.path() / std::string(140, 'd');
    fs::create_directories(deep);
    const std::string sin = (deep / "m.sin").string();
    ASSERT_GT(sin.size(), 128u);
    write_text(sin, kStrip);
    std::string t = std::string(300, 'x') + " anything at all\n";
    for (const char* ext : {".sin", ".sou", ".sds", ".sms", ".cut"})
        t += (deep / (std::string("m") + ext)).string() + "   \n";
    write_text(dir.file("torve.dat"), t);
    CurrentDir cd(dir.path());
    Library lib;
    ASSERT_TRUE(lib.ok()) << dlerror();
    EXPECT_EQ(lib.call(2), 0);
    EXPECT_TRUE(fs::exists(deep / "m.sou"));
    EXPECT_TRUE(fs::exists(deep / "m.sms"));
}

}  // namespace
