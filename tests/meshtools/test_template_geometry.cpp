// The geometry definitions of the two foundation templates: the files of the
// dialog's defaults byte for byte, the division counts, the lists handed to
// the import, and sizes the writers refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../model/test_slb_support.h"
#include "TemplateSupport.h"
#include "meshtools/TemplateGeometry.h"

namespace {

using templatetest::Lines;
using templatetest::ReadAll;
using templatetest::StoreDefaults;

std::string Golden(const std::string& name) {
    return ReadAll(std::string(BRENNIX_TEST_DATA) + "/meshtools/templates/" + name);
}

std::string Write(ModelData& m, const std::string& path, TemplateLists& lists, TemplateWrite* result = nullptr) {
    const TemplateWrite r =
        m.GetTemplateKind() == 1 ? WriteOctagonTemplate(m, path, lists) : WriteCircularTemplate(m, path, lists);
    if (result) *result = r;
    return ReadAll(path);
}

// IMAX and JMAX of each region, from its scheme line.
std::vector<std::pair<int, int>> GridSizes(const std::string& text) {
    std::vector<std::pair<int, int>> sizes;
    const std::vector<std::string> lines = Lines(text);
    for (std::size_t k = 0; k + 1 < lines.size(); ++k)
        if (lines[k].rfind("*   SCHEME", 0) == 0) {
            int scheme = 0, sides = 0, nsm = 0, imax = 0, jmax = 0;
            std::sscanf(lines[k + 1].c_str(), "%d %d %d %d %d", &scheme, &sides, &nsm, &imax, &jmax);
            sizes.emplace_back(imax, jmax);
        }
    return sizes;
}

struct GoldenCase {
    const char* name;
    int kind;
    int elementOption;
    const char* file;
    std::size_t lines;
    std::size_t bytes;
};

class TemplateWriterTest : public ::testing::Test {
protected:
    void SetUp() override { model.Reset(); }
    ModelData model;
    slbtest::ScratchDir dir;
    TemplateLists lists;
};

// The reference files carry the sums
//   circular_8.i f4f3fd713db90b654ccca0ea6a953aaf3877f0379cc7b143ac36bc07a6f26662
//   circular_4.i 366c31c0fb814da12def08e84418f4b7159ba89ee4658dcf1bc4b7f22aa436a2
//   octagon_8.i  50d8432daa5b6b57aac4109628309b26e5c5fea848b50bfbf52fb9e03df9e5f6
//   octagon_4.i  362b08a724f864ff1a53a29cad37e19ece9802382684127183bc9bd79d0f627f
TEST_F(TemplateWriterTest, DefaultsWriteTheReferenceFilesByteForByte) {
    const GoldenCase cases[] = {
        {"circular, 8 nodes", 2, 1, "circular_8.i", 417, 20177},
        {"circular, 9 nodes", 2, 2, "circular_8.i", 417, 20177},
        {"circular, 4 nodes", 2, 0, "circular_4.i", 417, 20177},
        {"octagon, 8 nodes", 1, 1, "octagon_8.i", 857, 44112},
        {"octagon, 9 nodes", 1, 2, "octagon_8.i", 857, 44112},
        {"octagon, 4 nodes", 1, 0, "octagon_4.i", 857, 44112},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        StoreDefaults(model, c.kind, c.elementOption);
        TemplateWrite result{};
        const std::string text = Write(model, dir.File("temp.i"), lists, &result);
        EXPECT_EQ(result, TemplateWrite::Written);
        EXPECT_EQ(Lines(text).size(), c.lines);
        EXPECT_EQ(text.size(), c.bytes);
        EXPECT_TRUE(text == Golden(c.file));
        // The line under the regions' header: count, cycles, interface flag, shape.
        const std::size_t header = text.find("* No. OF REGIONS");
        ASSERT_NE(header, std::string::npos);
        const std::size_t start = text.find('\n', header) + 1;
        EXPECT_EQ(text.substr(start, text.find('\n', start) - start),
                  std::string(c.kind == 2 ? "16" : "36") + (c.elementOption == 0
                                                                ? "             0                      34    1"
                                                                : "             0                      68    1"));
    }
}

TEST_F(TemplateWriterTest, CircularDefaultsShowTheDocumentedLines) {
    StoreDefaults(model, 2);
    const std::string text = Write(model, dir.File("temp.i"), lists);
    const std::vector<std::string> lines = Lines(text);
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("13    -9.5   0"));
    EXPECT_TRUE(has("1    -14   0"));
    EXPECT_TRUE(has("2   31   9   "));
    EXPECT_TRUE(has("0   0   3.5   3.5   0     90 "));
    EXPECT_TRUE(has("    -31  3   0   100   100"));
    EXPECT_TRUE(has("       1       1  9      0      1   1 12  1 17   0   "));
    EXPECT_TRUE(has("    11  4   0   9   3"));
    EXPECT_TRUE(has("       1        1  3     0     1     1 7  1 11     0   "));
    EXPECT_TRUE(has("       3           1           -2            0"));
    EXPECT_TRUE(has("       1       1  9      0      1   17  1  17   9 0   "));
    // u = 8, v = 4, Dn = 2, B = 8.
    const std::vector<std::pair<int, int>> sizes = GridSizes(text);
    ASSERT_EQ(sizes.size(), 16u);
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(sizes[r], r < 4   ? std::make_pair(100, 100)
                            : r < 8 ? std::make_pair(9, 3)
                                    : std::make_pair(9, 5))
            << "region " << r + 1;
}

TEST_F(TemplateWriterTest, OctagonDefaultsShowTheDocumentedLines) {
    StoreDefaults(model, 1);
    const std::string text = Write(model, dir.File("temp.i"), lists);
    const std::vector<std::string> lines = Lines(text);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "22    -4.94974746831   -4.94974746831"), lines.end());
    // a = b = d = e = 4, c = 8: arcs of 5 points, chamfer regions 33-36 9 by 5.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "9   31   5   "), lines.end());
    const std::vector<std::pair<int, int>> sizes = GridSizes(text);
    ASSERT_EQ(sizes.size(), 36u);
    int fiveByFive = 0;
    for (int r = 0; r < 36; ++r) {
        const bool free = r < 4 || (r >= 20 && r < 24);
        if (free)
            EXPECT_EQ(sizes[r], std::make_pair(100, 100)) << "region " << r + 1;
        else if (r >= 32)
            EXPECT_EQ(sizes[r], std::make_pair(9, 5)) << "region " << r + 1;
        else
            fiveByFive += sizes[r] == std::make_pair(5, 5);
    }
    EXPECT_EQ(fiveByFive, 24);
}

TEST_F(TemplateWriterTest, SmallerSizeRefinesEveryRing) {
    StoreDefaults(model, 2, 1, 0.5);
    const std::string text = Write(model, dir.File("temp.i"), lists);
    EXPECT_NE(text.find("\n2   31   17   \n"), std::string::npos);
    const std::vector<std::pair<int, int>> sizes = GridSizes(text);
    ASSERT_EQ(sizes.size(), 16u);
    for (int r = 4; r < 16; ++r) EXPECT_EQ(sizes[r].second, r < 8 ? 5 : 11) << "region " << r + 1;
}

TEST_F(TemplateWriterTest, InnerRingDivisionsRoundAnExactHalfDown) {
    // v = 4 with R2 = 5, R3 = 14, s = 1.1; R1 sets (R2 - R1) / (Rc - R2) * v.
    struct Case {
        const char* name;
        double R1;
        int jmax;
    } cases[] = {{"2.5 gives 2", 5.0 - 2.8125, 3}, {"2.51 gives 3, made even to 4", 5.0 - 2.51 / 4 * 4.5, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.SetTemplateParameters(2, 1, 1, c.R1, 5.0, 14.0, 0, 1.5, 5, 3.5, 0, 0, 0, 1.1);
        const std::vector<std::pair<int, int>> sizes = GridSizes(Write(model, dir.File("temp.i"), lists));
        ASSERT_EQ(sizes.size(), 16u);
        EXPECT_EQ(sizes[4].second, c.jmax);
    }
}

TEST_F(TemplateWriterTest, ListsNameRegionsSetsAndHeights) {
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        StoreDefaults(model, kind);
        Write(model, dir.File("temp.i"), lists);
        const int n = kind == 1 ? 36 : 16;
        ASSERT_EQ(lists.regionNames.size(), static_cast<std::size_t>(n));
        ASSERT_EQ(lists.regionIds.size(), static_cast<std::size_t>(n));
        EXPECT_EQ(lists.regionNames.front(), "Region_1");
        EXPECT_EQ(lists.regionNames.back(), "Region_" + std::to_string(n));
        EXPECT_EQ(lists.regionIds.front(), 101);
        EXPECT_EQ(lists.regionIds.back(), 100 + n);
        EXPECT_EQ(lists.setNames, (std::vector<std::string>{"set_1", "set_2", "set_3", "set_4"}));
        EXPECT_EQ(lists.setHeights, (std::vector<double>{10.0, 6.5, 5.25, 2.75}));
        const std::vector<int> lasts = kind == 1 ? std::vector<int>{4, 12, 24, 36} : std::vector<int>{4, 8, 12, 16};
        ASSERT_EQ(lists.setRegions.size(), 4u);
        int first = 1;
        for (std::size_t s = 0; s < 4; ++s) {
            std::vector<int> expected;
            for (int r = first; r <= lasts[s]; ++r) expected.insert(expected.end(), {0, 100 + r});
            EXPECT_EQ(lists.setRegions[s], expected) << "set " << s + 1;
            first = lasts[s] + 1;
        }
    }
}

TEST_F(TemplateWriterTest, SizesThatGiveNoUsableDivisionsWriteNothing) {
    struct Case {
        const char* name;
        int kind;
        double size;
    } cases[] = {
        {"circular, larger than the rings", 2, 20.0},    {"octagon, larger than the bands", 1, 40.0},
        {"circular, above the mesher's limit", 2, 1e-6}, {"octagon, above the mesher's limit", 1, 1e-6},
        {"zero, as Refine Mesh lets pass", 2, 0.0},      {"not a number", 1, std::nan("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreDefaults(model, c.kind);
        double dims[3] = {}, angle, D1, D2, D3, P, V, M, size;
        int kind, element, rule;
        model.GetTemplateParameters(kind, element, rule, dims[0], dims[1], dims[2], angle, D1, D2, D3, P, V, M, size);
        model.SetTemplateParameters(kind, element, rule, dims[0], dims[1], dims[2], angle, D1, D2, D3, P, V, M, c.size);
        TemplateWrite result{};
        Write(model, dir.File("temp.i"), lists, &result);
        EXPECT_EQ(result, TemplateWrite::SizeUnsuitable);
        EXPECT_FALSE(std::filesystem::exists(dir.File("temp.i")));
        EXPECT_TRUE(lists.regionNames.empty());
    }

    // An inner radius so small that the nodes round it would fuse is named
    // as the cause, with the radius that would do.
    model.SetTemplateParameters(2, 1, 1, 0.0005, 5.0, 14.0, 0, 1.5, 5, 3.5, 0, 0, 0, 1.75);
    TemplateWrite result{};
    Write(model, dir.File("temp.i"), lists, &result);
    EXPECT_EQ(result, TemplateWrite::SizeUnsuitable);
    EXPECT_EQ(UnsuitableSizeMessage(model),
              "R1 = 0.0005 is too small for typical FE size 1.750: the nodes round it would lie closer than 0.001. "
              "Enlarge R1 to at least 0.002546");
}

// The value at fault is named, with the value that would do: a dimension
// too small for the typical size (with the size that would suit instead),
// or the size itself when no change of one dimension helps. Each named
// remedy, applied, lets the template be written.
TEST_F(TemplateWriterTest, UnsuitableValuesAreNamedWithTheirRemedy) {
    struct Case {
        const char* name;
        int kind;
        double dims[3];
        double size;
        const char* start;   // the message begins so
        const char* remedy;  // the value after it is the remedy
        int dim;             // the dimension it is for; 3: the size
    } cases[] = {
        {"octagon, L2 narrow",
         1,
         {21, 0.5, 14},
         1.75,
         "L2 = 0.5 is too small for typical FE size 1.750",
         "at least ",
         1},
        {"octagon, L2 narrow: or a smaller size", 1, {21, 0.5, 14}, 1.75, "L2 = 0.5", "size at most ", 3},
        {"octagon, pedestal small",
         1,
         {7, 17, 0.5},
         1.75,
         "D = 0.5 is too small for typical FE size 1.750",
         "at least ",
         2},
        {"circular, ring narrow", 2, {3.5, 5, 6}, 1.1, "R3 = 6 is too small for typical FE size 1.100", "at least ", 2},
        {"circular, larger than the rings",
         2,
         {3.5, 5, 14},
         20,
         "Typical FE size 20.000 does not suit this template: make it at most ",
         "at most ",
         3},
        {"octagon, above the mesher's limit",
         1,
         {21, 17, 14},
         1e-6,
         "Typical FE size 0.000 does not suit this template: make it at least ",
         "at least ",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.SetTemplateParameters(c.kind, 1, 1, c.dims[0], c.dims[1], c.dims[2], 0, 1.5, 5, 3.5, 0, 0, 0, c.size);
        TemplateWrite result{};
        Write(model, dir.File("temp.i"), lists, &result);
        ASSERT_EQ(result, TemplateWrite::SizeUnsuitable);
        const std::string message = UnsuitableSizeMessage(model);
        EXPECT_EQ(message.rfind(c.start, 0), 0u) << message;
        const std::size_t at = message.find(c.remedy);
        ASSERT_NE(at, std::string::npos) << message;
        const double value = std::stod(message.substr(at + std::string(c.remedy).size()));
        double dims[3] = {c.dims[0], c.dims[1], c.dims[2]};
        double size = c.size;
        (c.dim == 3 ? size : dims[c.dim]) = value;
        model.SetTemplateParameters(c.kind, 1, 1, dims[0], dims[1], dims[2], 0, 1.5, 5, 3.5, 0, 0, 0, size);
        Write(model, dir.File("temp.i"), lists, &result);
        EXPECT_EQ(result, TemplateWrite::Written) << message;
    }
}

TEST_F(TemplateWriterTest, FileThatCannotBeWrittenIsReported) {
    StoreDefaults(model, 1);
    EXPECT_EQ(WriteOctagonTemplate(model, dir.File("missing/temp.i"), lists), TemplateWrite::FileNotWritten);
    EXPECT_TRUE(lists.regionNames.empty());
}

}  // namespace
