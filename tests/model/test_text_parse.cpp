#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/TextParse.h"

namespace {

struct IdListCase {
    const char* text;
    std::vector<int> expected;
};

class ParseIdListTest : public ::testing::TestWithParam<IdListCase> {};

TEST_P(ParseIdListTest, ReadsItemsAndRanges) {
    const IdListCase& c = GetParam();
    EXPECT_EQ(ParseIdList(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseIdListTest,
    ::testing::Values(IdListCase{"1,3:9:2, 12", {1, 3, 5, 7, 9, 12}}, IdListCase{"10:4:-3", {10, 7, 4}},
                      IdListCase{"2,8:8:1,9", {2}},  // equal ends stop the list
                      IdListCase{"1,2,", {1, 2}}, IdListCase{"7", {7}}, IdListCase{"", {0}}, IdListCase{"a,b", {0, 0}},
                      IdListCase{"4,1:5", {4}},        // no step stops the list
                      IdListCase{"4,1:5,7:9:1", {4}},  // the next item's colon is not borrowed
                      IdListCase{"  5 , 6  ", {5, 6}}, IdListCase{"1:10:4", {1, 5, 9}},  // last not reached exactly
                      IdListCase{"3,9:1:2,4", {3}},                                      // step leads away from last
                      IdListCase{"1:3:0,4", {}}));                                       // step 0 stops before any item

struct LimitedIdListCase {
    const char* text;
    int limit;
    std::vector<int> expected;
};

class ParseIdListLimitTest : public ::testing::TestWithParam<LimitedIdListCase> {};

TEST_P(ParseIdListLimitTest, RangesStopAtTheLimit) {
    const LimitedIdListCase& c = GetParam();
    EXPECT_EQ(ParseIdList(c.text, c.limit), c.expected) << "text: \"" << c.text << "\" limit " << c.limit;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseIdListLimitTest,
    ::testing::Values(LimitedIdListCase{"1,3:9:2, 12", 100, {1, 3, 5, 7, 9, 12}},
                      LimitedIdListCase{"1,3:9:2, 12", 6, {1, 3, 5, 12}},  // single items stay
                      LimitedIdListCase{"4:2000000000:1,2", 6, {4, 5, 6, 2}},
                      LimitedIdListCase{"10:4:-3", 8, {7, 4}},  // descending: above the limit skipped
                      LimitedIdListCase{"2000000000:1:-500000000", 700000000, {500000000}},
                      LimitedIdListCase{"10:4:-3", 3, {}}, LimitedIdListCase{"2,8:8:1,9", 100, {2}}));

struct RangeCase {
    const char* text;
    int first, last, increment, side;
};

class ParseRangeTextTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ParseRangeTextTest, FourFields) {
    const RangeCase& c = GetParam();
    int f = -9, l = -9, inc = -9, s = -9;
    ParseRangeText(c.text, f, l, inc, s);
    EXPECT_EQ(f, c.first) << c.text;
    EXPECT_EQ(l, c.last) << c.text;
    EXPECT_EQ(inc, c.increment) << c.text;
    EXPECT_EQ(s, c.side) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, ParseRangeTextTest,
                         ::testing::Values(RangeCase{"5", 5, 5, 1, 1}, RangeCase{"5;9", 5, 9, 1, 1},
                                           RangeCase{"5;9;2", 5, 9, 2, 1}, RangeCase{"5;9;2;3", 5, 9, 2, 3},
                                           RangeCase{"", 0, 0, 1, 1}, RangeCase{"x;y", 0, 0, 1, 1},
                                           RangeCase{"5;9;2;3;7", 5, 9, 2, 3},  // the side takes the rest
                                           RangeCase{" 4 ; 6", 4, 6, 1, 1}));

class ParseRangeText2Test : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ParseRangeText2Test, ThreeFields) {
    const RangeCase& c = GetParam();
    int f = -9, l = -9, inc = -9;
    ParseRangeText2(c.text, f, l, inc);
    EXPECT_EQ(f, c.first) << c.text;
    EXPECT_EQ(l, c.last) << c.text;
    EXPECT_EQ(inc, c.increment) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, ParseRangeText2Test,
                         ::testing::Values(RangeCase{"5;0;0", 5, 5, 1, 0}, RangeCase{"5;0", 5, 0, 1, 0},
                                           RangeCase{"7", 7, 7, 1, 0}, RangeCase{"2;8;3", 2, 8, 3, 0},
                                           RangeCase{"2;8;3;9", 2, 8, 3, 0},  // the increment takes the rest
                                           RangeCase{"5;0;0;9", 5, 5, 1, 0}, RangeCase{"", 0, 0, 1, 0}));

TEST(SplitList, KeepsEmptyAndUntrimmedPieces) {
    std::vector<std::string> pieces(3);
    SplitList("a,,b", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "", "b"}));

    std::vector<std::string> one(1, "old");
    SplitList(" whole ", one);
    EXPECT_EQ(one, (std::vector<std::string>{" whole "}));

    std::vector<std::string> edges(3);
    SplitList(",x,", edges);
    EXPECT_EQ(edges, (std::vector<std::string>{"", "x", ""}));
}

TEST(SplitList, TooSmallArrayGrowsInsteadOfOverrunning) {
    std::vector<std::string> pieces(1);
    SplitList("1,2,3", pieces);
    EXPECT_EQ(pieces, (std::vector<std::string>{"1", "2", "3"}));
}

TEST(CountListItems, OneMoreThanCommas) {
    EXPECT_EQ(CountListItems("4,5"), 2);
    EXPECT_EQ(CountListItems(""), 1);
    EXPECT_EQ(CountListItems(",,"), 3);
}

TEST(IsNumberText, AcceptsPlainDecimalsOnly) {
    for (const char* t : {"09", "90", "-12.5", ".5", "-", ".", "0"}) EXPECT_TRUE(IsNumberText(t)) << t;
    for (const char* t : {"0x1", "9a", "1e5", "+1", "", " 1", "1-2", "1.2.3", "--1", "1 "})
        EXPECT_FALSE(IsNumberText(t)) << t;
}

TEST(IsSingleChar, ExactlyOneGivenCharacter) {
    EXPECT_TRUE(IsSingleChar("-", '-'));
    EXPECT_FALSE(IsSingleChar("--", '-'));
    EXPECT_FALSE(IsSingleChar("", '-'));
    EXPECT_FALSE(IsSingleChar(".", '-'));
}

TEST(ParseInt, ReadsLikeCDecimalConversion) {
    EXPECT_EQ(ParseInt("  42abc"), 42);
    EXPECT_EQ(ParseInt("-7"), -7);
    EXPECT_EQ(ParseInt("+8"), 8);
    EXPECT_EQ(ParseInt("ALL"), 0);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_EQ(ParseInt("- 5"), 0);
    EXPECT_EQ(ParseInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseInt("-99999999999999999999"), INT_MIN);
}

// Writes `content` to a fresh file in the temporary folder.
std::string WriteTemp(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / ("brennix_model_" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

struct CurveCase {
    const char* name;
    const char* content;
    bool ok;
    std::vector<double> deformations;
    std::vector<double> forces;
};

class ReadCurvePointsTest : public ::testing::TestWithParam<CurveCase> {};

TEST_P(ReadCurvePointsTest, ReadsPairs) {
    const CurveCase& c = GetParam();
    const std::string path = WriteTemp(c.name, c.content);
    std::vector<double> d, f;
    EXPECT_EQ(ReadCurvePoints(path, d, f), c.ok);
    EXPECT_EQ(d, c.deformations);
    EXPECT_EQ(f, c.forces);
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadCurvePointsTest,
    ::testing::Values(CurveCase{"three", "0 0\n0.01 5\n0.02 8\n", true, {0, 0.01, 0.02}, {0, 5, 8}},
                      CurveCase{"nobreak", "0 0\n0.5 2", true, {0, 0.5}, {0, 2}},
                      CurveCase{"blanks", "0 0\n\n\n1 3\n\n", true, {0, 1}, {0, 3}},
                      CurveCase{"crlf", "1 2\r\n3 4\r\n", true, {1, 3}, {2, 4}},
                      CurveCase{"extra", "1 2 comment\n", true, {1}, {2}}, CurveCase{"empty", "", true, {}, {}},
                      CurveCase{"bad", "1 2\nx 3\n4 5\n", false, {1}, {2}},
                      CurveCase{"single", "1 2\n3\n", false, {1}, {2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadCurvePoints, MissingFileFails) {
    std::vector<double> d{9}, f{9};
    EXPECT_FALSE(ReadCurvePoints("/nonexistent/brennix/curve.txt", d, f));
    EXPECT_EQ(d.size(), 1u);
    EXPECT_FALSE(ReadCurvePoints(std::filesystem::temp_directory_path().string(), d, f));
    EXPECT_EQ(d.size(), 1u);
}

TEST(ReadCurvePoints, AppendsToWhatTheArraysHold) {
    const std::string path = WriteTemp("append", "2 4\n");
    std::vector<double> d{1}, f{1};
    EXPECT_TRUE(ReadCurvePoints(path, d, f));
    EXPECT_EQ(d, (std::vector<double>{1, 2}));
    EXPECT_EQ(f, (std::vector<double>{1, 4}));
    std::filesystem::remove(path);
}

}  // namespace
