// Edit descriptors of the fixed-format output.
#include <gtest/gtest.h>

#include <string>

#include "platform/fio/fio.h"

namespace {

struct ECase {
    double v;
    int w, d;
    const char* out;
};

TEST(FioFormat, EEditTable) {
    const ECase cases[] = {
        {12.5, 12, 4, "  0.1250E+02"},
        {-12.5, 14, 4, "   -0.1250E+02"},
        {0.0, 14, 4, "    0.0000E+00"},
        {-0.0, 12, 4, "  0.0000E+00"},
        {1.0, 11, 4, " 0.1000E+01"},
        {0.99995, 11, 4, " 0.1000E+01"},  // rounding carries into the exponent
        {0.00012346, 12, 4, "  0.1235E-03"},
        {1.234e-15, 13, 5, "  0.12340E-14"},
        {123456.0, 13, 5, "  0.12346E+06"},
        {1.234e98, 12, 4, "  0.1234E+99"},
        {1.234e99, 12, 4, " 0.1234E+100"},
        {1.234e100, 12, 4, " 0.1234E+101"},  // three exponent digits keep the letter
        {-1.234e-100, 12, 4, " -0.1234E-99"},
        {-1.234e-101, 12, 4, "-0.1234E-100"},
        {-1.5e200, 11, 4, "-.1500E+201"},  // leading zero dropped to fit
        {-1.5e200, 10, 4, "**********"},
        {-12.5, 11, 4, "-0.1250E+02"},
        {-12.5, 10, 4, "-.1250E+02"},
        {-12.5, 9, 4, "*********"},
        {3.0, 16, 6, "    0.300000E+01"},
        {2.1e8, 16, 6, "    0.210000E+09"},
    };
    for (const auto& c : cases) EXPECT_EQ(fio::fmt_e(c.v, c.w, c.d), c.out) << c.v << " E" << c.w << "." << c.d;
}

struct FCase {
    double v;
    int w, d;
    const char* out;
};

TEST(FioFormat, FEditTable) {
    const FCase cases[] = {
        {1.5, 10, 4, "    1.5000"},
        {-1.5, 10, 4, "   -1.5000"},
        {0.5, 10, 4, "    0.5000"},
        {0.5, 5, 4, ".5000"},  // optional zero dropped
        {-0.5, 6, 4, "-.5000"},
        {-0.00001, 10, 4, "    0.0000"},  // rounds to zero: no sign
        {12345.678, 10, 4, "12345.6780"},
        {123456.0, 10, 4, "**********"},
        {2.0, 13, 4, "       2.0000"},
        {0.3, 8, 4, "  0.3000"},
        {12.0, 5, 0, "  12."},
        {0.125, 8, 2, "    0.12"},  // the binary value of 0.125 is exact: round half to even
    };
    for (const auto& c : cases) EXPECT_EQ(fio::fmt_f(c.v, c.w, c.d), c.out) << c.v << " F" << c.w << "." << c.d;
}

TEST(FioFormat, IEditTable) {
    EXPECT_EQ(fio::fmt_i(12345, 4), "****");
    EXPECT_EQ(fio::fmt_i(1234, 4), "1234");
    EXPECT_EQ(fio::fmt_i(-123, 4), "-123");
    EXPECT_EQ(fio::fmt_i(-1234, 4), "****");
    EXPECT_EQ(fio::fmt_i(7, 4), "   7");
    EXPECT_EQ(fio::fmt_i(0, 1), "0");
    EXPECT_EQ(fio::fmt_i(10, 1), "*");
    EXPECT_EQ(fio::fmt_i(5, 2, 2), "05");
    EXPECT_EQ(fio::fmt_i(2026, 4, 4), "2026");
    EXPECT_EQ(fio::fmt_i(7, 4, 4), "0007");
    EXPECT_EQ(fio::fmt_i(-7, 4, 2), " -07");
    EXPECT_EQ(fio::fmt_i(0, 3, 0), "   ");
    EXPECT_EQ(fio::fmt_i(123, 2, 2), "**");
    EXPECT_EQ(fio::fmt_i_wide(12345, 4), "12345");
    EXPECT_EQ(fio::fmt_i_wide(12, 4), "  12");
    EXPECT_EQ(fio::fmt_i_wide(-123456, 5), "-123456");
}

TEST(FioFormat, AEditAndNonFinite) {
    EXPECT_EQ(fio::fmt_a("abc", 5), "abc  ");
    EXPECT_EQ(fio::fmt_a("abcdef", 4), "abcd");
    const double inf = 1.0 / 0.0 * 1.0;
    EXPECT_EQ(fio::fmt_e(inf, 12, 4), "    Infinity");
    EXPECT_EQ(fio::fmt_e(-inf, 6, 2), "  -Inf");
    EXPECT_EQ(fio::fmt_f(0.0 / 0.0 * 1.0, 6, 2), "   NaN");
    EXPECT_EQ(fio::fmt_f(inf, 2, 1), "**");
}

TEST(FioFormat, ListItems) {
    EXPECT_EQ(fio::list_item(5), "           5");
    EXPECT_EQ(fio::list_item(1.5f), "   1.500000    ");
    EXPECT_EQ(fio::list_item(0.25f), "  0.2500000    ");
    EXPECT_EQ(fio::list_item(0.0f), " 0.0000000E+00 ");
    EXPECT_EQ(fio::list_item(1.0e9f), " 0.1000000E+10 ");
    EXPECT_EQ(fio::list_item(0.0126f), " 0.1260000E-01 ");
    EXPECT_EQ(fio::list_item(-2.5), "   -2.500000000000000    ");
}

}  // namespace
