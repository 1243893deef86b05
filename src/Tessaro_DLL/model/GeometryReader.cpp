#include "Tessaro_DLL/model/GeometryReader.h"

#include <cmath>
#include <limits>

namespace tessaro {

void InputReader::skipLine()
{
    if (!ok()) return;
    in_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

bool InputReader::readInt(int& value, const char* what)
{
    value = 0;
    if (!ok()) return false;
    long long v = 0;
    if (!(in_ >> v)) {
        fail(std::string(in_.eof() ? "unexpected end of input while reading " : "unreadable value while reading ") +
             what);
        return false;
    }
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        fail(std::string("value out of range while reading ") + what);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool InputReader::readDouble(double& value, const char* what)
{
    value = 0.0;
    if (!ok()) return false;
    if (!(in_ >> value)) {
        value = 0.0;
        fail(std::string(in_.eof() ? "unexpected end of input while reading " : "unreadable value while reading ") +
             what);
        return false;
    }
    if (!std::isfinite(value)) {
        value = 0.0;
        fail(std::string("value not finite while reading ") + what);
        return false;
    }
    return true;
}

bool InputReader::readCount(int& value, const char* what)
{
    if (!readInt(value, what)) return false;
    if (value < 0 || value > kMaxInputCount) {
        fail(std::string("invalid ") + what + " " + std::to_string(value));
        value = 0;
        return false;
    }
    return true;
}

bool isMappedScheme(int scheme) { return scheme == 11 || scheme == 51; }
bool isFreeScheme(int scheme) { return scheme == -21 || scheme == -31; }

bool readGeometryEntities(InputReader& reader, ModelLists& lists, std::vector<PointRecord>& points, int& outputFormat,
                          int& entityCount)
{
    outputFormat = 0;
    entityCount = 0;
    reader.skipLines(3);
    reader.readInt(outputFormat, "OUTPUT FORMAT");
    reader.skipLines(2);
    if (!reader.readCount(entityCount, "number of entities")) return false;
    reader.skipLine();
    const double pi = 4.0 * std::atan(1.0);
    for (int e = 1; e <= entityCount && reader.ok(); ++e) {
        reader.skipLine();
        int number = 0, code = 0, n = 0;
        reader.readInt(number, "entity number");
        reader.readInt(code, "entity lib code");
        if (!reader.readCount(n, "number of entity points")) return false;
        appendGeometryEntity(lists);
        GeometryEntityRecord& ent = *lastGeometryEntity(lists);
        ent.index = e;
        ent.libCode = code;
        ent.pointCount = n;
        if (code == 11 || code == 21) {
            for (int k = 1; k <= n; ++k) {
                int pn = 0;
                double x = 0.0, y = 0.0;
                reader.readInt(pn, "point number");
                reader.readDouble(x, "point x");
                if (!reader.readDouble(y, "point y")) return false;
                if (!withinCoordinateRange(x) || !withinCoordinateRange(y)) {
                    reader.fail("point " + std::to_string(k) + " of entity " + std::to_string(e) + " lies beyond " +
                                kCoordinateRangeText + " of the origin, more than the mesher handles");
                    return false;
                }
                points.push_back(PointRecord{code, e, k, x, y, 0});
                ent.xs.push_back(x);
                ent.ys.push_back(y);
            }
        } else if (code == 31) {
            double cx = 0, cy = 0, rx = 0, ry = 0, start = 0, sweep = 0;
            reader.readDouble(cx, "arc centre x");
            reader.readDouble(cy, "arc centre y");
            reader.readDouble(rx, "arc radius x");
            reader.readDouble(ry, "arc radius y");
            reader.readDouble(start, "arc start angle");
            if (!reader.readDouble(sweep, "arc sweep angle")) return false;
            // Two points make a chord: the side's nodes would lie on it but
            // its mid-side nodes on the arc.
            if (n < 3) {
                reader.fail("arc entity " + std::to_string(e) + " has " + std::to_string(n) +
                            " points; an arc needs at least 3");
                return false;
            }
            if (!withinCoordinateRange(std::abs(cx) + std::abs(rx)) ||
                !withinCoordinateRange(std::abs(cy) + std::abs(ry))) {
                reader.fail("arc entity " + std::to_string(e) + " reaches beyond " + kCoordinateRangeText +
                            " of the origin, more than the mesher handles");
                return false;
            }
            ent.centreX = cx;
            ent.centreY = cy;
            ent.radiusX = rx;
            ent.radiusY = ry;
            ent.startAngle = start * pi / 180.0;
            ent.sweepAngle = sweep * pi / 180.0;
            const double step = ent.sweepAngle / (n - 1);
            for (int k = 0; k < n; ++k) {
                const double t = ent.startAngle + k * step;
                points.push_back(PointRecord{31, e, k + 1, cx + rx * std::cos(t), cy + ry * std::sin(t), 0});
            }
        }
        reader.skipLine();
    }
    return reader.ok();
}

// Reads the values of a segment line; "# COM. OPER." is taken only when
// `withComOper` (region sides, which always carry it) and kept only when
// `keepComOper`.
static bool readSegmentLine(InputReader& reader, SideSegment& seg, bool withComOper, bool keepComOper)
{
    reader.readInt(seg.number, "segment number");
    reader.readInt(seg.lim1, "segment limit");
    reader.readInt(seg.lim2, "segment limit");
    reader.readDouble(seg.cpar, "segment CPAR");
    reader.readDouble(seg.wn, "segment WN");
    reader.readInt(seg.startEntity, "segment start entity");
    reader.readInt(seg.startPoint, "segment start point");
    reader.readInt(seg.endEntity, "segment end entity");
    reader.readInt(seg.endPoint, "segment end point");
    if (withComOper) {
        double comOper = 0.0;
        reader.readDouble(comOper, "segment # COM. OPER.");
        if (keepComOper) seg.comOper = comOper;
    }
    return reader.ok();
}

// Checks the limits of a segment that is going to be discretised.
static bool checkSegmentLimits(InputReader& reader, const SideSegment& seg, const std::string& where)
{
    if (seg.lim2 < seg.lim1) {
        reader.fail(where + ": last limit " + std::to_string(seg.lim2) + " below first limit " +
                    std::to_string(seg.lim1));
        return false;
    }
    if (static_cast<long long>(seg.lim2) - seg.lim1 >= kMaxInputCount) {
        reader.fail(where + ": too many nodes");
        return false;
    }
    return true;
}

bool readStructureElements(InputReader& reader, ModelLists& lists)
{
    reader.skipLine();
    int count = 0;
    if (!reader.readCount(count, "number of structure elements")) return false;
    for (int e = 0; e < count && reader.ok(); ++e) {
        reader.skipLines(2);
        appendStructureElement(lists);
        StructureElementRecord& se = *lastStructureElement(lists);
        reader.readInt(se.id, "structure element id");
        reader.readInt(se.kind, "structure element kind");
        reader.readInt(se.value3, "structure element value");
        reader.readInt(se.value4, "structure element value");
        reader.readInt(se.value5, "structure element value");
        reader.skipLines(2);
        SideSegment seg;
        if (!readSegmentLine(reader, seg, false, false)) return false;
        if (!checkSegmentLimits(reader, seg, "structure element " + std::to_string(e + 1))) return false;
        se.segments.push_back(seg);
    }
    return reader.ok();
}

SegmentEndCodes locateSegmentEnds(SideSegment& seg, const std::vector<PointRecord>& points)
{
    SegmentEndCodes codes;
    for (const PointRecord& p : points) {
        if (p.entity == seg.startEntity && p.pointNumber == seg.startPoint) {
            seg.x1 = p.x;
            seg.y1 = p.y;
            codes.first = p.libCode;
        }
        if (p.entity == seg.endEntity && p.pointNumber == seg.endPoint) {
            seg.x2 = p.x;
            seg.y2 = p.y;
            codes.second = p.libCode;
        }
    }
    return codes;
}

bool readRegions(InputReader& reader, int regionCount, int elementShape, const std::vector<PointRecord>& points,
                 ModelLists& lists)
{
    for (int r = 1; r <= regionCount && reader.ok(); ++r) {
        const std::string where = "region " + std::to_string(r);
        int iv = 0;
        double dv = 0.0;
        reader.skipLines(2);
        reader.readInt(iv, "REGION #");
        reader.readInt(iv, "MAX DOF");
        for (int k = 0; k < 6; ++k) reader.readDouble(dv, "INI. SOL.");
        reader.skipLines(2);
        reader.readInt(iv, "INILEVL");
        reader.readInt(iv, "ITRANS");
        reader.readDouble(dv, "GRID VEL.");
        reader.readDouble(dv, "GRID VEL.");
        reader.readDouble(dv, "PERIODICITY");
        appendRegion(lists);
        RegionRecord& region = *lastRegion(lists);
        reader.readInt(region.elemGroup, "ELEM._GROUP");
        reader.readInt(region.objIndex, "Obj. index");
        region.elementShape = elementShape;
        reader.skipLines(2);
        int nsm = 0;
        reader.readInt(region.scheme, "SCHEME LIB. CODE");
        reader.readCount(region.sideCount, "number of sides");
        reader.readInt(nsm, "NSM");
        reader.readInt(region.imax, "IMAX");
        if (!reader.readInt(region.jmax, "JMAX")) return false;

        const bool mapped = isMappedScheme(region.scheme);
        const bool free = isFreeScheme(region.scheme);
        // A region of another scheme would be left out of the mesh.
        if (!mapped && !free) {
            reader.fail(where + ": scheme code " + std::to_string(region.scheme) +
                        " is unknown; give 11 or 51 (mapped quadrilaterals or triangles) or -31 or -21 (free "
                        "quadrilaterals or triangles)");
            return false;
        }
        // Triangle schemes need shape 0 and quadrilateral schemes shape 1: any
        // other shape would write elements with the wrong node count.
        const bool triangleScheme = region.scheme == 51 || region.scheme == -21;
        if (elementShape != (triangleScheme ? 0 : 1)) {
            reader.fail(where + ": scheme " + std::to_string(region.scheme) + " does not match ELEMENT SHAPE " +
                        std::to_string(elementShape));
            return false;
        }
        if (mapped) {
            if (region.imax < 2 || region.jmax < 2) {
                reader.fail(where + ": IMAX and JMAX must be at least 2");
                return false;
            }
            if (static_cast<long long>(region.imax) * region.jmax > kMaxGridNodes) {
                reader.fail(where + ": grid too large");
                return false;
            }
        }

        for (int s = 0; s < region.sideCount; ++s) {
            RegionSide side;
            reader.skipLines(2);
            reader.readInt(side.sideNumber, "SIDE #");
            reader.readCount(side.segmentCount, "number of segments");
            reader.readInt(side.neighbourCode, "LIST OF NEIBOR");
            if (!reader.readDouble(side.inilev, "INILEV")) return false;
            region.sideCodes.push_back(side.neighbourCode);
            const int segCount = free ? 1 : side.segmentCount;
            for (int k = 0; k < segCount; ++k) {
                SideSegment seg;
                reader.skipLines(2);
                if (!readSegmentLine(reader, seg, true, !free)) return false;
                if (free) seg.sideNumber = side.sideNumber;
                locateSegmentEnds(seg, points);
                const std::string segWhere =
                    where + " side " + std::to_string(s + 1) + " segment " + std::to_string(k + 1);
                if (!checkSegmentLimits(reader, seg, segWhere)) return false;
                if (mapped && side.sideNumber >= 1 && side.sideNumber <= 4) {
                    const int top = side.sideNumber <= 2 ? region.jmax : region.imax;
                    if (seg.lim1 < 1 || seg.lim2 > top) {
                        reader.fail(segWhere + ": limits " + std::to_string(seg.lim1) + " to " +
                                    std::to_string(seg.lim2) + " outside the grid");
                        return false;
                    }
                }
                side.segments.push_back(seg);
            }
            region.sides.push_back(std::move(side));
        }
    }
    return reader.ok();
}

int lastUnpairedSideCode(const RegionRecord& region)
{
    std::vector<int> codes;
    for (const RegionSide& side : region.sides)
        for (int k = 0; k < side.segmentCount; ++k) codes.push_back(side.neighbourCode);
    for (int pairCode : {-8, -9}) {
        for (std::size_t i = 0; i + 1 < codes.size(); ++i) {
            if (codes[i] == pairCode && codes[i + 1] == pairCode) {
                codes[i] = 0;
                codes[i + 1] = 0;
            }
        }
    }
    int last = 0;
    for (int c : codes)
        if (c != 0) last = c;
    return last;
}

MeshNode penultimateSideStartPoint(const RegionRecord& region, const std::vector<PointRecord>& points)
{
    MeshNode holder;
    if (region.sides.size() < 2) return holder;
    const RegionSide& side = region.sides[region.sides.size() - 2];
    if (side.segments.empty()) return holder;
    const SideSegment& seg = side.segments.front();
    for (const PointRecord& p : points) {
        if (p.entity == seg.startEntity && p.pointNumber == seg.startPoint) {
            holder.x = p.x;
            holder.y = p.y;
            break;
        }
    }
    return holder;
}

}  // namespace tessaro
