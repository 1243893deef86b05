// Reading of the geometry definition: entities and their points, structure
// elements and regions with their sides and segments.
#pragma once

#include <cmath>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Largest count the reader accepts for any list in the input.
constexpr int kMaxInputCount = 1000000;
// Largest number of grid nodes of one mapped region.
constexpr long long kMaxGridNodes = 4000000;

// Node positions are indexed on a grid of 0.0001 cells in 64-bit integers
// and compared to that tolerance in doubles: input points and the nodes
// placed along segments are kept well inside both, within this distance of
// the origin in x and in y.
constexpr double kLargestCoordinate = 1e10;
inline const char* const kCoordinateRangeText = "1e10";
inline bool withinCoordinateRange(double v) { return std::abs(v) <= kLargestCoordinate; }

// Line and value reader over the geometry input. The first failure is kept in
// error(); every later read then fails too.
class InputReader {
public:
    explicit InputReader(std::istream& in) : in_(in) {}

    // Discards the rest of the current line, whatever its length.
    void skipLine();
    void skipLines(int n)
    {
        for (int i = 0; i < n; ++i) skipLine();
    }
    bool readInt(int& value, const char* what);
    bool readDouble(double& value, const char* what);
    // Reads a count and checks that it lies in 0..kMaxInputCount.
    bool readCount(int& value, const char* what);
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    void fail(const std::string& message)
    {
        if (error_.empty()) error_ = message;
    }

private:
    std::istream& in_;
    std::string error_;
};

// Title, OUTPUT FORMAT and the geometric entities with their points.
bool readGeometryEntities(InputReader& reader, ModelLists& lists, std::vector<PointRecord>& points, int& outputFormat,
                          int& entityCount);
bool readStructureElements(InputReader& reader, ModelLists& lists);
bool readRegions(InputReader& reader, int regionCount, int elementShape, const std::vector<PointRecord>& points,
                 ModelLists& lists);

// Entity lib codes of the two end points of a segment; 0 for an end that
// names no point.
struct SegmentEndCodes {
    int first = 0;
    int second = 0;
};
// Finds both end points of a segment in the point list (by entity index and
// point number; the last match counts) and writes their coordinates into the
// segment.
SegmentEndCodes locateSegmentEnds(SideSegment& seg, const std::vector<PointRecord>& points);

// The code of the last side left after pairing adjacent -8 and -9 entries;
// 0 when nothing is left.
int lastUnpairedSideCode(const RegionRecord& region);
// Start point of the first segment of the second-to-last side of a region
// (x and y zero when the region has fewer than two sides or no such point).
MeshNode penultimateSideStartPoint(const RegionRecord& region, const std::vector<PointRecord>& points);

bool isMappedScheme(int scheme);
bool isFreeScheme(int scheme);

}  // namespace tessaro
