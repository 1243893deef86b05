// Reading of the geometry definition: entities, points, structure elements,
// regions, the two region queries, and the refusal of broken input.
#include <cmath>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/model/GeometryReader.h"
#include "Tessaro_DLL/model/RunDriver.h"

using namespace meshtest;
using namespace tessaro;

namespace {

const char* kHead =
    "* TITLE\n"
    "title\n"
    "* OUTPUT FORMAT \n"
    "1\n"
    "* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED \n";

struct Parsed {
    ModelLists lists;
    std::vector<PointRecord> points;
    int outputFormat = -1;
    int entityCount = -1;
    bool ok = false;
    std::string error;
};

void parseEntities(const std::string& text, Parsed& p) {
    std::istringstream in(text);
    InputReader reader(in);
    p.ok = readGeometryEntities(reader, p.lists, p.points, p.outputFormat, p.entityCount);
    p.error = reader.error();
}

RegionRecord regionWithCodes(std::initializer_list<int> codes) {
    RegionRecord r;
    for (int c : codes) {
        RegionSide side;
        side.neighbourCode = c;
        side.segmentCount = 1;
        side.segments.resize(1);
        r.sides.push_back(side);
        r.sideCodes.push_back(c);
    }
    r.sideCount = static_cast<int>(codes.size());
    return r;
}

}  // namespace

TEST(GeometryReader, PointsAreNumberedByPositionInTheirEntity) {
    Parsed p;
    parseEntities(std::string(kHead) +
                      "3\n"
                      "* ENTITY #, LIB. CODE #, # OF POINTS\n"
                      "1 11 3\n7 0.5 1\n8 2 3.25\n  9   -1   -2\n"
                      "* ENTITY #, LIB. CODE #, # OF POINTS\n"
                      "5 12 4 whatever follows\n"
                      "* ENTITY #, LIB. CODE #, # OF POINTS\n"
                      "9 21 1\n1 4 4\n",
                  p);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.outputFormat, 1);
    EXPECT_EQ(p.entityCount, 3);
    ASSERT_EQ(p.points.size(), 4u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(p.points[k].entity, 1);
        EXPECT_EQ(p.points[k].pointNumber, k + 1);
        EXPECT_EQ(p.points[k].libCode, 11);
    }
    EXPECT_DOUBLE_EQ(p.points[2].x, -1);
    EXPECT_DOUBLE_EQ(p.points[2].y, -2);
    EXPECT_EQ(p.points[3].entity, 3);
    EXPECT_EQ(p.points[3].libCode, 21);
    ASSERT_EQ(p.lists.entities.size(), 3u);
    const GeometryEntityRecord& odd = p.lists.entities[1];
    EXPECT_EQ(odd.index, 2);
    EXPECT_EQ(odd.libCode, 12);
    EXPECT_EQ(odd.pointCount, 4);
    EXPECT_TRUE(odd.xs.empty());
    EXPECT_EQ(p.lists.entities[0].xs, (std::vector<double>{0.5, 2, -1}));
}

TEST(GeometryReader, ArcIsSampledIntoNumberedPoints) {
    Parsed p;
    parseEntities(std::string(kHead) + "1\n* ENTITY\n1 31 3\n0 0 2 1 0 90\n", p);
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.points.size(), 3u);
    const double expected[3][2] = {{2, 0}, {std::sqrt(2.0), std::sqrt(2.0) / 2}, {0, 1}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(p.points[k].libCode, 31);
        EXPECT_EQ(p.points[k].pointNumber, k + 1);
        EXPECT_NEAR(p.points[k].x, expected[k][0], 1e-15);
        EXPECT_NEAR(p.points[k].y, expected[k][1], 1e-15);
    }
    const GeometryEntityRecord& arc = p.lists.entities.front();
    EXPECT_NEAR(arc.sweepAngle, 2 * std::atan(1.0), 1e-15);
    EXPECT_DOUBLE_EQ(arc.radiusX, 2);
    EXPECT_DOUBLE_EQ(arc.radiusY, 1);
}

TEST(GeometryReader, SegmentsOfMappedAndFreeSides) {
    // A mapped side with two segments reads both; a free side with the same
    // count reads one, and the next region still parses.
    GeometrySpec g;
    g.points = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {0, 1}};
    RegionSpec mapped;
    mapped.imax = 3;
    mapped.jmax = 2;
    mapped.sides = {SideSpec{3, -2, {SegSpec{1, 2, 0, 1, 1, 1, 1, 2}, SegSpec{2, 3, 0.5, 2, 1, 2, 1, 3}}}};
    RegionSpec freeRegion;
    freeRegion.scheme = -31;
    freeRegion.imax = freeRegion.jmax = 100;
    SideSpec two{1, 4, {SegSpec{1, 5, 0, 1, 1, 4, 1, 5}}};
    two.segCountOverride = 2;
    freeRegion.sides = {two};
    RegionSpec last = mapped;
    last.obj = 333;
    g.regions = {mapped, freeRegion, last};
    std::string text = geometryText(g);
    // The free segment's "# COM. OPER." stands alone on the next line: it is
    // still read as the segment's last value.
    const std::string freeSegment = "1 4  1 5   0   \n";
    const std::size_t freeAt = text.find(freeSegment);
    ASSERT_NE(freeAt, std::string::npos);
    text.replace(freeAt, freeSegment.size(), "1 4  1 5\n   7   \n");
    const std::size_t regionsAt = text.find("* No. OF REGIONS");
    ASSERT_NE(regionsAt, std::string::npos);

    std::istringstream in(text.substr(regionsAt));
    InputReader reader(in);
    reader.skipLine();
    int count = 0, unused = 0, flag = 0, shape = 0;
    reader.readInt(count, "");
    reader.readInt(unused, "");
    reader.readInt(flag, "");
    reader.readInt(shape, "");
    std::vector<PointRecord> points;
    for (std::size_t k = 0; k < g.points.size(); ++k)
        points.push_back(PointRecord{11, 1, static_cast<int>(k) + 1, g.points[k].first, g.points[k].second, 0});
    ModelLists lists;
    ASSERT_TRUE(readRegions(reader, count, shape, points, lists)) << reader.error();
    ASSERT_EQ(lists.regions.size(), 3u);
    const RegionRecord& r0 = lists.regions[0];
    ASSERT_EQ(r0.sides.size(), 1u);
    ASSERT_EQ(r0.sides[0].segments.size(), 2u);
    const SideSegment& second = r0.sides[0].segments[1];
    EXPECT_EQ(second.lim1, 2);
    EXPECT_EQ(second.lim2, 3);
    EXPECT_DOUBLE_EQ(second.cpar, 0.5);
    EXPECT_DOUBLE_EQ(second.x1, 1.0);
    EXPECT_DOUBLE_EQ(second.x2, 2.0);
    EXPECT_EQ(r0.elementShape, 1);
    const RegionRecord& r1 = lists.regions[1];
    EXPECT_EQ(r1.sides[0].segmentCount, 2);
    ASSERT_EQ(r1.sides[0].segments.size(), 1u);
    EXPECT_EQ(r1.sides[0].segments[0].sideNumber, 1);
    EXPECT_EQ(r1.sideCodes, std::vector<int>{4});
    EXPECT_EQ(lists.regions[2].objIndex, 333);
    EXPECT_EQ(lastRegion(lists), &lists.regions[2]);
}

TEST(GeometryReader, LastUnpairedSideCode) {
    struct Case {
        std::initializer_list<int> codes;
        int expected;
    };
    const Case cases[] = {
        {{-8, -8, -5, -9, -9}, -5}, {{-2, -9}, -9}, {{-8, -8}, 0}, {{-7, -2, -2}, -2}, {{-2, -8, -8, -9}, -9}, {{}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(lastUnpairedSideCode(regionWithCodes(c.codes)), c.expected);

    // A side counts once per segment: two segments of -8 pair with each other.
    RegionRecord r = regionWithCodes({-9, -8});
    r.sides[1].segmentCount = 2;
    EXPECT_EQ(lastUnpairedSideCode(r), -9);
}

TEST(GeometryReader, PenultimateSideStartPoint) {
    RegionRecord r = regionWithCodes({-2, -2, -2});
    r.sides[1].segments[0].startEntity = 1;
    r.sides[1].segments[0].startPoint = 2;
    const std::vector<PointRecord> points = {{11, 1, 1, 5, 6, 0}, {11, 1, 2, 7, 8, 0}, {11, 1, 2, 9, 9, 0}};
    const MeshNode p = penultimateSideStartPoint(r, points);
    EXPECT_DOUBLE_EQ(p.x, 7);
    EXPECT_DOUBLE_EQ(p.y, 8);
    const MeshNode none = penultimateSideStartPoint(regionWithCodes({-2}), points);
    EXPECT_DOUBLE_EQ(none.x, 0);
}

TEST(GeometryReader, ValuesMayStandOnSeveralLinesAndHeadersBeLong) {
    GeometrySpec g;
    g.outputFormat = 1;
    const int codes[4] = {-2, -2, -2, -2};
    g.regions.push_back(rectangleRegion(g, 0, 0, 4, 4, 2, 2, codes));
    std::string text = geometryText(g);
    // A header far beyond 256 characters.
    const std::string title = "Test geometry";
    text.replace(text.find(title), title.size(), std::string(5000, 'x'));
    // The point values of one point spread over three lines.
    const std::string point = "2    4   0\n";
    text.replace(text.find(point), point.size(), "2\n 4\n   0\n");
    const fs::path dir = freshDir("layout");
    ASSERT_EQ(runOn(dir, text), 0) << readFile(dir / "temp.msh");
    EXPECT_TRUE(validateMesh(readFemText(dir / "temp.fem"), {false, 16.0}).empty());
}

TEST(GeometryReader, BrokenInputIsRefusedWithAnErrorLine) {
    GeometrySpec base;
    base.outputFormat = 0;
    const int codes[4] = {-2, -2, -2, -2};
    base.regions.push_back(rectangleRegion(base, 0, 0, 4, 4, 2, 2, codes));
    const std::string good = geometryText(base);

    struct Case {
        const char* name;
        std::string text;
        std::string line = "Error:";  // start of the last log line
    };
    auto edited = [&](auto edit) {
        GeometrySpec g = base;
        edit(g);
        return geometryText(g);
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        const std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) t.replace(at, from.size(), to);
        return t;
    };
    const std::vector<Case> cases = {
        {"empty file", ""},
        {"truncated in the points", good.substr(0, good.find("3    4   4"))},
        {"truncated in a region", good.substr(0, good.rfind("* ") + 10)},
        {"truncated in the region line", good.substr(0, good.find("* No. OF REGIONS") + 80)},
        {"unreadable entity count", replaced("\n1\n* ENTITY", "\nabc\n* ENTITY")},
        {"unreadable coordinate", replaced("3    4   4", "3    4   four")},
        {"negative entity count", replaced("\n1\n* ENTITY", "\n-3\n* ENTITY")},
        {"absurd point count", replaced("1   11   4", "1   11   2000000000")},
        {"negative region count", replaced("1   0   34   1", "-1   0   34   1")},
        {"absurd side count", replaced("    11  4   0", "    11  99999999   0")},
        {"arc of one point", edited([](GeometrySpec& g) {
             g.arcs.push_back(ArcSpec{0, 0, 1, 1, 0, 90, 1});
         })},
        {"arc of two points (a chord)", edited([](GeometrySpec& g) {
             g.arcs.push_back(ArcSpec{0, 0, 1, 1, 0, 90, 2});
         }),
         "Error: arc entity 2 has 2 points; an arc needs at least 3"},
        {"point beyond the coordinate range", edited([](GeometrySpec& g) { g.points[1].first = 9.3e14; }),
         "Error: point 2 of entity 1 lies beyond 1e10 of the origin"},
        {"arc beyond the coordinate range", edited([](GeometrySpec& g) {
             g.arcs.push_back(ArcSpec{-2e10, 0, 1, 1, 0, 90, 3});
         }),
         "Error: arc entity 2 reaches beyond 1e10 of the origin"},
        {"arc of absurdly many points", edited([](GeometrySpec& g) {
             g.arcs.push_back(ArcSpec{0, 0, 1, 1, 0, 90, 2000000});
         })},
        {"zero-length segment inside a side", edited([](GeometrySpec& g) {
             SegSpec& whole = g.regions[0].sides[2].segs[0];
             SegSpec point = whole;
             point.lim2 = 2;
             point.p2 = point.p1;
             whole.lim1 = 2;
             g.regions[0].sides[2].segs.insert(g.regions[0].sides[2].segs.begin(), point);
         }),
         "Error: invalid element 1: corners 1 and 2 coincide"},
        {"one grid line", edited([](GeometrySpec& g) { g.regions[0].imax = 1; })},
        {"limit beyond the grid", edited([](GeometrySpec& g) { g.regions[0].sides[2].segs[0].lim2 = 4; })},
        {"limit below the grid", edited([](GeometrySpec& g) { g.regions[0].sides[0].segs[0].lim1 = 0; })},
        {"last limit below the first", edited([](GeometrySpec& g) {
             std::swap(g.regions[0].sides[0].segs[0].lim1, g.regions[0].sides[0].segs[0].lim2);
         })},
        {"triangle scheme with quadrilateral shape", edited([](GeometrySpec& g) { g.regions[0].scheme = 51; }),
         "Error: region 1: scheme 51 does not match ELEMENT SHAPE 1"},
        {"quadrilateral scheme with triangle shape", edited([](GeometrySpec& g) { g.shape = 0; })},
        {"free triangles with quadrilateral shape", edited([](GeometrySpec& g) { g.regions[0].scheme = -21; })},
        {"quadrilateral scheme with shape 2", edited([](GeometrySpec& g) { g.shape = 2; }),
         "Error: region 1: scheme 11 does not match ELEMENT SHAPE 2"},
        {"zero-length edge", edited([](GeometrySpec& g) { g.points[1] = g.points[0]; }),
         "Error: region 1: zero-length edge"},
        {"edge not covered by its sides", edited([](GeometrySpec& g) { g.regions[0].sides[3].number = 5; })},
        {"side naming a missing point", edited([](GeometrySpec& g) { g.regions[0].sides[2].segs[0].p2 = 40; }),
         "Error: region 1: grid edge position"},
        {"structure element with its limits reversed", edited([](GeometrySpec& g) {
             g.structs.push_back(StructSpec{1, 1, 0, 0, 0, SegSpec{3, 1, 0, 1, 1, 1, 1, 2}});
         })},
        {"structure element on a missing point", edited([](GeometrySpec& g) {
             g.structs.push_back(StructSpec{1, 1, 0, 0, 0, SegSpec{1, 3, 0, 1, 1, 1, 1, 9}});
         }),
         "Error: Not a valid geometry definition"},
    };
    for (const Case& c : cases) {
        const fs::path dir = freshDir("broken");
        writeFile(dir / "temp.fem", "stale");
        EXPECT_EQ(runOn(dir, c.text), 1) << c.name;
        const std::vector<std::string> log = readLines(dir / "temp.msh");
        ASSERT_FALSE(log.empty()) << c.name;
        EXPECT_EQ(log.back().rfind(c.line, 0), 0u) << c.name << ": " << log.back();
        EXPECT_FALSE(fs::exists(dir / "temp.fem")) << c.name;
    }
}

// The reader takes counts of zero; a definition of no region then has
// nothing to mesh, and the run says so instead of writing an empty mesh.
TEST(GeometryReader, CountsOfZeroAreReadAndNoRegionIsRefused) {
    const std::string text = std::string(kHead) +
                             "0\n* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n"
                             "* NO. OF STRUCTUTE ELEMENTS\n0\n* No. OF REGIONS\n0 0 68 0\n";
    const fs::path dir = freshDir("zero");
    ASSERT_EQ(runOn(dir, text), 1);
    EXPECT_EQ(readFile(dir / "temp.msh"),
              "Error: the number of regions is 0: there is nothing to mesh; give at least one region\n");
    EXPECT_FALSE(fs::exists(dir / "temp.fem"));
}
