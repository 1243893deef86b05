// Numbered units: opening, records, list-directed reading, positioning.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fio/fio.h"

namespace fs = std::filesystem;

namespace {

class FioUnits : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("fio_units_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write_file(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::string read_file(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    fs::path dir_;
};

TEST_F(FioUnits, OpenOldNeedsTheFileUnknownCreatesIt) {
    fio::Units u;
    EXPECT_EQ(u.open(5, path("missing.sin"), fio::OpenStatus::Old), fio::kErrOpen);
    EXPECT_FALSE(u.is_open(5));
    EXPECT_FALSE(fs::exists(path("missing.sin")));
    EXPECT_EQ(u.open(6, path("new.sou"), fio::OpenStatus::Unknown), fio::kOk);
    EXPECT_TRUE(fs::exists(path("new.sou")));
    EXPECT_EQ(u.write_line(7, "x"), fio::kErrNotOpen);
    std::string line;
    EXPECT_EQ(u.read_line(7, line), fio::kErrNotOpen);
}

TEST_F(FioUnits, WritingFromTheStartReplacesOldContent) {
    write_file("a.sou", "old line 1\nold line 2\nold line 3\n");
    fio::Units u;
    ASSERT_EQ(u.open(6, path("a.sou"), fio::OpenStatus::Unknown), fio::kOk);
    EXPECT_EQ(u.write_line(6, "new"), fio::kOk);
    u.close(6);
    EXPECT_EQ(read_file("a.sou"), "new\n");
}

TEST_F(FioUnits, AppendKeepsWhatWasThere) {
    write_file("a.sms", " ****** Check Model ******\n");
    fio::Units u;
    ASSERT_EQ(u.open(8, path("a.sms"), fio::OpenStatus::Unknown, fio::Form::Formatted, fio::Position::Append),
              fio::kOk);
    fio::Writer(u, 8).list({"****** Run Analysis ******"});
    u.close(8);
    EXPECT_EQ(read_file("a.sms"), " ****** Check Model ******\n ****** Run Analysis ******\n");
}

TEST_F(FioUnits, CloseWithDeleteRemovesTheFile) {
    fio::Units u;
    ASSERT_EQ(u.open(3, path("fort3"), fio::OpenStatus::Unknown, fio::Form::Unformatted), fio::kOk);
    EXPECT_EQ(u.close(3, fio::CloseStatus::Delete), fio::kOk);
    EXPECT_FALSE(fs::exists(path("fort3")));
    EXPECT_EQ(u.close(3, fio::CloseStatus::Delete), fio::kOk);  // closing twice is harmless
}

TEST_F(FioUnits, FormattedLinesRewindAndBackspace) {
    write_file("in.txt", "first\r\nsecond\n\nlast without end");
    fio::Units u;
    ASSERT_EQ(u.open(5, path("in.txt"), fio::OpenStatus::Old), fio::kOk);
    std::string l;
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "first");
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "second");
    EXPECT_EQ(u.backspace(5), fio::kOk);
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "second");
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "");
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "last without end");
    EXPECT_EQ(u.read_line(5, l), fio::kEnd);
    EXPECT_EQ(u.rewind(5), fio::kOk);
    ASSERT_EQ(u.read_line(5, l), fio::kOk);
    EXPECT_EQ(l, "first");
}

TEST_F(FioUnits, UnformattedRecordsBackspaceAndOverwrite) {
    fio::Units u;
    ASSERT_EQ(u.open(2, path("fort2"), fio::OpenStatus::Unknown, fio::Form::Unformatted), fio::kOk);
    for (int r = 1; r <= 3; ++r) {
        std::array<double, 4> a{};
        for (int k = 0; k < 4; ++k) a[static_cast<std::size_t>(k)] = r * 10 + k;
        int tag = r;
        const std::span<const std::byte> parts[] = {fio::bytes_of(&tag, 1), fio::bytes_of(a.data(), a.size())};
        ASSERT_EQ(u.write_record(2, parts), fio::kOk);
    }
    // Read back last to first, as the back substitution does.
    for (int r = 3; r >= 1; --r) {
        ASSERT_EQ(u.backspace(2), fio::kOk);
        int tag = 0;
        std::array<double, 4> a{};
        const std::span<std::byte> parts[] = {fio::bytes_of(&tag, 1), fio::bytes_of(a.data(), a.size())};
        ASSERT_EQ(u.read_record(2, parts), fio::kOk);
        EXPECT_EQ(tag, r);
        EXPECT_EQ(a[3], r * 10 + 3);
        ASSERT_EQ(u.backspace(2), fio::kOk);
    }
    // Reading less than the record holds skips the rest; more is an error.
    int tag = 0;
    const std::span<std::byte> one[] = {fio::bytes_of(&tag, 1)};
    ASSERT_EQ(u.read_record(2, one), fio::kOk);
    EXPECT_EQ(tag, 1);
    std::array<double, 10> big{};
    const std::span<std::byte> too_much[] = {fio::bytes_of(big.data(), big.size())};
    EXPECT_EQ(u.read_record(2, too_much), fio::kErrRecord);
    // Writing after the first record cuts off the others.
    u.rewind(2);
    ASSERT_EQ(u.read_record(2, one), fio::kOk);
    int nine = 9;
    const std::span<const std::byte> w[] = {fio::bytes_of(&nine, 1)};
    ASSERT_EQ(u.write_record(2, w), fio::kOk);
    u.rewind(2);
    ASSERT_EQ(u.read_record(2, one), fio::kOk);
    ASSERT_EQ(u.read_record(2, one), fio::kOk);
    EXPECT_EQ(tag, 9);
    EXPECT_EQ(u.read_record(2, one), fio::kEnd);
    u.close(2);
    EXPECT_EQ(fs::file_size(path("fort2")), (4u + 4u + 32u + 4u) + (4u + 4u + 4u));
}

// A unit rewritten from its start ends after its new records, whether the
// writes end with a read, a rewind or the close, and however long the old
// content was.
TEST_F(FioUnits, RewrittenRecordsEndTheFile) {
    const auto record = [](int tag, std::size_t doubles) {
        std::vector<double> v(doubles, tag);
        return v;
    };
    struct Case {
        const char* name;
        std::size_t old_len, new_len;
        int end;  // 0: read, 1: rewind and read, 2: close
    };
    const Case cases[] = {
        {"shorter, then read", 8, 3, 0},
        {"same length, then rewind", 5, 5, 1},
        {"longer, then close", 3, 9, 2},
        {"shorter, then close", 9, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fio::Units u;
        ASSERT_EQ(u.open(3, path("fort3"), fio::OpenStatus::Unknown, fio::Form::Unformatted), fio::kOk);
        for (int r = 0; r < 2; ++r) {
            const auto v = record(r + 1, c.old_len);
            const std::span<const std::byte> parts[] = {fio::bytes_of(v.data(), v.size())};
            ASSERT_EQ(u.write_record(3, parts), fio::kOk);
        }
        u.rewind(3);
        const auto v = record(7, c.new_len);
        const std::span<const std::byte> parts[] = {fio::bytes_of(v.data(), v.size())};
        ASSERT_EQ(u.write_record(3, parts), fio::kOk);
        std::vector<double> got(c.new_len);
        const std::span<std::byte> in[] = {fio::bytes_of(got.data(), got.size())};
        if (c.end == 0) {
            EXPECT_EQ(u.read_record(3, in), fio::kEnd);
        } else if (c.end == 1) {
            u.rewind(3);
            ASSERT_EQ(u.read_record(3, in), fio::kOk);
            EXPECT_EQ(got, v);
            EXPECT_EQ(u.read_record(3, in), fio::kEnd);
        }
        ASSERT_EQ(u.close(3), fio::kOk);
        EXPECT_EQ(fs::file_size(path("fort3")), 8 + 8 * c.new_len);
    }
}

TEST_F(FioUnits, FormattedAndUnformattedCallsDoNotMix) {
    fio::Units u;
    ASSERT_EQ(u.open(3, path("fort3"), fio::OpenStatus::Unknown, fio::Form::Unformatted), fio::kOk);
    EXPECT_EQ(u.write_line(3, "text"), fio::kErrForm);
    ASSERT_EQ(u.open(6, path("a.sou"), fio::OpenStatus::Unknown), fio::kOk);
    int x = 0;
    const std::span<const std::byte> parts[] = {fio::bytes_of(&x, 1)};
    EXPECT_EQ(u.write_record(6, parts), fio::kErrForm);
}

TEST_F(FioUnits, WriterRecordBreaks) {
    fio::Units u;
    ASSERT_EQ(u.open(6, path("w.sou"), fio::OpenStatus::Unknown), fio::kOk);
    // (//,' maximum frontwidth encountered =',I5,//)
    fio::Writer(u, 6).skip(2).lit(" maximum frontwidth encountered =").i(37, 5).skip(2);
    // (3I8) with 2, 19, 9
    const int v[] = {2, 19, 9};
    fio::Writer(u, 6).i(v, 8);
    // (I2,'/',I2.2,'/',I4.4)
    fio::Writer(u, 6).i(3, 2).lit("/").i(7, 2, 2).lit("/").i(2026, 4, 4);
    // An empty list-directed line, then a list-directed line.
    fio::Writer(u, 6);
    fio::Writer(u, 6).list({"Execution time", fio::list_item(1.5f), "seconds."});
    u.close(6);
    EXPECT_EQ(read_file("w.sou"),
              "\n\n maximum frontwidth encountered =   37\n\n\n"
              "       2      19       9\n"
              " 3/07/2026\n"
              "\n"
              " Execution time   1.500000    seconds.\n");
}

TEST_F(FioUnits, WriterOnAClosedUnitReportsAndDiscards) {
    fio::Units u;
    fio::Writer w(u, 6);
    w.lit("lost").end();
    EXPECT_EQ(w.status(), fio::kErrNotOpen);
}

// ---------------------------------------------------------------------------
// List-directed reading: which values each read takes and where the next read
// starts.

struct ListCase {
    const char* name;
    const char* text;
    int first_count;  // values taken by the first read
    std::vector<double> first;
    std::vector<double> second;  // two values of the next read
    int first_status;
};

TEST_F(FioUnits, ListDirectedReadsConsumeRecords) {
    const ListCase cases[] = {
        {"rest of the record is dropped", "1 2 3 4\n5 6\n", 2, {1, 2}, {5, 6}, fio::kOk},
        {"a short record runs on", "1\n\n2 3 9\n4 5\n", 3, {1, 2, 3}, {4, 5}, fio::kOk},
        {"tabs and commas separate", "1,\t2 ,3\n4,5\n", 3, {1, 2, 3}, {4, 5}, fio::kOk},
        {"comma at the end of a record", "1,\n2\n7 8\n", 2, {1, 2}, {7, 8}, fio::kOk},
        {"exponents", "1.5e3 -2.5D-1 3.0+2 .5\n0 0\n", 4, {1500, -0.25, 300, 0.5}, {0, 0}, fio::kOk},
        {"repeat count", "3*7 1\n8 9\n", 4, {7, 7, 7, 1}, {8, 9}, fio::kOk},
        {"null values keep the old value", "1,,3\n8 9\n", 3, {1, -1, 3}, {8, 9}, fio::kOk},
        {"slash ends the read", "1 / 5 6\n8 9\n", 3, {1, -1, -1}, {8, 9}, fio::kOk},
        {"end of file", "1 2\n", 3, {1, 2, -1}, {}, fio::kEnd},
        {"bad number", "1 x2 3\n8 9\n", 3, {1, -1, -1}, {8, 9}, fio::kErrBadValue},
        {"two points", "1 2.3.4\n", 2, {1, -1}, {}, fio::kErrBadValue},
        {"no digits", "1 .\n", 2, {1, -1}, {}, fio::kErrBadValue},
        {"not finite", "1 inf\n", 2, {1, -1}, {}, fio::kErrBadValue},
        {"overflow", "1 1e999\n", 2, {1, -1}, {}, fio::kErrBadValue},
    };
    for (const auto& c : cases) {
        write_file("l.txt", c.text);
        fio::Units u;
        ASSERT_EQ(u.open(5, path("l.txt"), fio::OpenStatus::Old), fio::kOk);
        std::vector<double> got(static_cast<std::size_t>(c.first_count), -1.0);
        {
            fio::ListReader r(u, 5);
            for (double& x : got) r >> x;
            EXPECT_EQ(r.status(), c.first_status) << c.name;
        }
        EXPECT_EQ(got, c.first) << c.name;
        if (!c.second.empty()) {
            std::vector<double> next(2, -1.0);
            fio::ListReader r(u, 5);
            r >> next[0] >> next[1];
            EXPECT_EQ(r.status(), fio::kOk) << c.name;
            EXPECT_EQ(next, c.second) << c.name;
        }
    }
}

TEST_F(FioUnits, ListDirectedIntegers) {
    write_file("i.txt", "12 -3 +4\n2.0\n1e3\n99999999999\n");
    fio::Units u;
    ASSERT_EQ(u.open(5, path("i.txt"), fio::OpenStatus::Old), fio::kOk);
    int a = 0, b = 0, c = 0;
    {
        fio::ListReader r(u, 5);
        r >> a >> b >> c;
        EXPECT_TRUE(r.ok());
    }
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -3);
    EXPECT_EQ(c, 4);
    for (const char* bad : {"2.0", "1e3", "99999999999"}) {
        int v = 77;
        fio::ListReader r(u, 5);
        r >> v;
        EXPECT_EQ(r.status(), fio::kErrBadValue) << bad;
        EXPECT_EQ(r.bad_token(), bad);
        EXPECT_EQ(v, 77);
    }
}

TEST_F(FioUnits, ListDirectedSingleReals) {
    write_file("f.txt", "2.5 -1e38\n1e39\n");
    fio::Units u;
    ASSERT_EQ(u.open(5, path("f.txt"), fio::OpenStatus::Old), fio::kOk);
    float a = 0, b = 0;
    {
        fio::ListReader r(u, 5);
        r >> a >> b;
        EXPECT_TRUE(r.ok());
    }
    EXPECT_EQ(a, 2.5f);
    EXPECT_EQ(b, -1e38f);
    // Beyond the single-precision range: refused, and the message can name it.
    float c = 7;
    fio::ListReader r(u, 5);
    r >> c;
    EXPECT_EQ(r.status(), fio::kErrBadValue);
    EXPECT_EQ(r.bad_token(), "1e39");
    EXPECT_EQ(c, 7);
}

TEST(FioParse, RealTokens) {
    struct C {
        const char* tok;
        bool ok;
        double v;
    };
    const C cases[] = {{"5", true, 5},       {"-5.", true, -5},     {"+.25", true, 0.25}, {"1E+2", true, 100},
                       {"1q2", true, 100},   {"1.5-1", true, 0.15}, {"e5", false, 0},     {"1e", false, 0},
                       {"1e+", false, 0},    {"--1", false, 0},     {"1,", false, 0},     {"nan", false, 0},
                       {"1.0e5x", false, 0}, {"", false, 0}};
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(fio::parse_real(c.tok, v), c.ok) << c.tok;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.v) << c.tok;
        }
    }
}

TEST(FioTime, ClockValuesAreSane) {
    const fio::DateTime d = fio::now();
    EXPECT_GE(d.year, 2020);
    EXPECT_GE(d.month, 1);
    EXPECT_LE(d.month, 12);
    EXPECT_GE(d.hundredth, 0);
    EXPECT_LE(d.hundredth, 99);
    const float t0 = fio::cpu_time_seconds();
    volatile double x = 0;
    for (int i = 0; i < 2000000; ++i) x = x + 1.0 / (i + 1);
    EXPECT_GE(fio::cpu_time_seconds(), t0);
}

}  // namespace
