#include "Tessaro_DLL/model/RunDriver.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>

#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/free/FreeMesher.h"
#include "Tessaro_DLL/mapped/Discretize.h"
#include "Tessaro_DLL/mapped/MappedMesh.h"
#include "Tessaro_DLL/mapped/Midside.h"
#include "Tessaro_DLL/model/FemWriter.h"
#include "Tessaro_DLL/model/GeometryReader.h"
#include "Tessaro_DLL/model/Merge.h"
#include "Tessaro_DLL/model/Records.h"
#include "Tessaro_DLL/structure/BeamVertices.h"
#include "Tessaro_DLL/structure/StructureLines.h"
#include "Tessaro_DLL/structure/StructureSides.h"

namespace tessaro {

namespace {

// Everything one run works on; nothing outlives the call.
struct RunContext {
    ModelLists lists;
    std::vector<PointRecord> points;
    std::vector<PointRecord> generatedBoundaryPoints;
    GlobalMesh mesh;
    StructureOutput structures;
    int outputFormat = 0;
    int interfaceFlag = 0;
    int elementShape = 0;
    bool quadrilateralFlag = true;
};

// Passes the log through to its file and notes whether any line began
// "Error:": a run that logged an error never ends as a success.
class ErrorWatch : public std::streambuf {
public:
    explicit ErrorWatch(std::streambuf* target) : target_(target) {}
    bool sawError() const { return sawError_; }

protected:
    int_type overflow(int_type ch) override
    {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        const char c = traits_type::to_char_type(ch);
        if (c == '\n') {
            line_.clear();
        } else if (line_.size() < kPrefix.size()) {
            line_.push_back(c);
            if (line_ == kPrefix) sawError_ = true;
        }
        return target_->sputc(c);
    }
    int sync() override { return target_->pubsync(); }

private:
    static inline const std::string kPrefix = "Error:";
    std::streambuf* target_;
    std::string line_;
    bool sawError_ = false;
};

bool fail(std::ostream& log, const std::string& message)
{
    log << "Error: " << message << std::endl;
    return false;
}

// Whether the nodes placed along segment `seg` (`placed` from index `from`
// on) stay within the coordinate range, as the input points must: a grading
// parameter can throw them far off the segment. `where` names the segment.
template <class Node>
bool placedNodesInRange(const std::vector<Node>& placed, std::size_t from, const SideSegment& seg,
                        const std::string& where, std::ostream& log)
{
    for (std::size_t k = from; k < placed.size(); ++k) {
        if (withinCoordinateRange(placed[k].x) && withinCoordinateRange(placed[k].y)) continue;
        char text[400];
        std::snprintf(text, sizeof text,
                      "%s: node %zu of the segment lies at (%.6g, %.6g), beyond %s of the origin, more than the "
                      "mesher handles: the grading CPAR %.6g, WN %.6g throws it off the segment; give a CPAR nearer 0",
                      where.c_str(), k - from + 1, placed[k].x, placed[k].y, kCoordinateRangeText, seg.cpar, seg.wn);
        return fail(log, text);
    }
    return true;
}

std::string sideText(int region, int side)
{
    return "region " + std::to_string(region) + " side " + std::to_string(side);
}

// Discretises the sides of a free region into its boundary nodes and
// segments; false when a node falls out of range.
bool discretizeFreeRegion(RunContext& ctx, RegionRecord& region, int number, std::vector<MeshNode>& nodes,
                          std::vector<BoundarySegment>& segments, std::ostream& log)
{
    nodes.reserve(10000);
    segments.reserve(10000);
    int counter = 0;
    MeshNode pointA, pointB;
    for (int i = 0; i < static_cast<int>(region.sides.size()); ++i) {
        bool firstIsInterface = false;
        if (i == 0) {
            const int last = lastUnpairedSideCode(region);
            if (last == -9 || last == -7) {
                firstIsInterface = true;
                pointA = penultimateSideStartPoint(region, ctx.points);
            }
        }
        const int code = region.sides[i].neighbourCode;
        const int previous = i == 0 ? code : region.sides[i - 1].neighbourCode;
        const std::size_t placed = ctx.generatedBoundaryPoints.size();
        discretizeFreeRegionSide(region, i, counter, ctx.generatedBoundaryPoints, ctx.points, ctx.lists.entities, nodes,
                                 segments, previous, code, pointA, pointB, firstIsInterface, log);
        if (!region.sides[i].segments.empty() &&
            !placedNodesInRange(ctx.generatedBoundaryPoints, placed, region.sides[i].segments.front(),
                                sideText(number, i + 1), log))
            return false;
    }
    return true;
}

bool meshFreeRegion(RunContext& ctx, RegionRecord& region, int number, std::ostream& log)
{
    const std::string problem = freeRegionSidesProblem(region);
    if (!problem.empty()) return fail(log, "region " + std::to_string(number) + ": " + problem);
    std::vector<MeshNode> nodes;
    std::vector<BoundarySegment> segments;
    if (!discretizeFreeRegion(ctx, region, number, nodes, segments, log)) return false;
    mergeCoincidentNodes(nodes, segments);
    const bool quadrilateral = region.scheme == -31;
    ctx.quadrilateralFlag = quadrilateral;
    const FreeRegionTarget target{number,
                                  ctx.points,
                                  ctx.mesh,
                                  ctx.lists.structureElements,
                                  ctx.generatedBoundaryPoints,
                                  ctx.mesh.vertexList,
                                  ctx.lists.regions};
    if (!meshRegion(region, nodes, segments, target, quadrilateral, log)) return false;
    releaseRegionMesh(region);
    return true;
}

bool meshMappedRegion(RunContext& ctx, RegionRecord& region, int number, std::ostream& log)
{
    const std::string where = "region " + std::to_string(number) + ": ";
    MappedGrid grid(region.imax, region.jmax);
    for (int s = 0; s < static_cast<int>(region.sides.size()); ++s)
        for (int k = 0; k < static_cast<int>(region.sides[s].segments.size()); ++k) {
            const std::size_t placed = ctx.generatedBoundaryPoints.size();
            discretizeMappedSegment(region, s, k, ctx.points, ctx.lists.entities, ctx.generatedBoundaryPoints, log,
                                    grid);
            if (!placedNodesInRange(ctx.generatedBoundaryPoints, placed, region.sides[s].segments[k],
                                    sideText(number, s + 1) + " segment " + std::to_string(k + 1), log))
                return false;
        }
    std::string error;
    if (!checkMappedGridEdges(grid, error)) return fail(log, where + error);
    if (!fillMappedGrid(region, grid, error)) return fail(log, where + error);
    if (region.scheme == 11) {
        emitMappedQuads(region, region.imax, region.jmax, region.elemGroup, region.objIndex, ctx.lists);
        collectBoundarySides(region, 4);
        adjustMappedQuads(region);
    } else {
        ctx.quadrilateralFlag = false;
        emitMappedTriangles(region, region.imax, region.jmax, region.elemGroup, region.objIndex,
                            ctx.generatedBoundaryPoints);
        collectBoundarySides(region, 3);
    }
    buildRegionBoundarySides(region);
    mergeRegionIntoMesh(region, ctx.mesh, ctx.lists.structureElements);
    releaseRegionMesh(region);
    return true;
}

// Two regions that share a side must divide it alike, else their meshes do
// not join along it (nodes of one hang on the other's element sides). Sides
// coded -3 and the interface codes are left apart on purpose and not
// compared.
bool sharedSidesMatch(const std::deque<RegionRecord>& regions, std::ostream& log)
{
    struct Piece {
        int region;
        double x1, y1, x2, y2;
        int divisions;
    };
    std::vector<Piece> pieces;
    int number = 0;
    for (const RegionRecord& region : regions) {
        ++number;
        if (!isFreeScheme(region.scheme) && !isMappedScheme(region.scheme)) continue;
        for (const RegionSide& side : region.sides) {
            if (side.neighbourCode <= -3) continue;
            for (const SideSegment& seg : side.segments)
                pieces.push_back(Piece{number, seg.x1, seg.y1, seg.x2, seg.y2, std::abs(seg.lim2 - seg.lim1)});
        }
    }
    for (std::size_t a = 0; a < pieces.size(); ++a)
        for (std::size_t b = a + 1; b < pieces.size(); ++b) {
            const Piece& p = pieces[a];
            const Piece& q = pieces[b];
            if (p.region == q.region || p.divisions == q.divisions) continue;
            const double tolerance = 1e-6 * std::hypot(p.x2 - p.x1, p.y2 - p.y1);
            auto at = [&](double x, double y, double u, double v) { return std::hypot(x - u, y - v) <= tolerance; };
            const bool same = (at(p.x1, p.y1, q.x1, q.y1) && at(p.x2, p.y2, q.x2, q.y2)) ||
                              (at(p.x1, p.y1, q.x2, q.y2) && at(p.x2, p.y2, q.x1, q.y1));
            if (!same) continue;
            char text[320];
            std::snprintf(text, sizeof text,
                          "regions %d and %d share the side from (%.6g, %.6g) to (%.6g, %.6g) but divide it into "
                          "%d and %d segments; give both the same division count",
                          p.region, q.region, p.x1, p.y1, p.x2, p.y2, p.divisions, q.divisions);
            return fail(log, text);
        }
    return true;
}

bool runModel(RunContext& ctx, std::istream& in, std::ostream& log, const std::string& meshName)
{
    InputReader reader(in);
    int entityCount = 0;
    if (!readGeometryEntities(reader, ctx.lists, ctx.points, ctx.outputFormat, entityCount))
        return fail(log, reader.error());
    if (ctx.outputFormat != 0 && ctx.outputFormat != 1) return fail(log, "wrong output format");

    int unused = 0;
    reader.skipLine();
    reader.readInt(unused, "number of global GCOS");
    reader.skipLines(2);
    reader.readInt(unused, "number of predefined profiles");
    reader.skipLine();
    if (!reader.ok()) return fail(log, reader.error());
    if (!readStructureElements(reader, ctx.lists)) return fail(log, reader.error());

    int regionCount = 0;
    reader.skipLines(2);
    reader.readCount(regionCount, "number of regions");
    reader.readInt(unused, "number of smoothing cycles");
    reader.readInt(ctx.interfaceFlag, "INTERFACE FLAG");
    reader.readInt(ctx.elementShape, "ELEMENT SHAPE");
    if (!reader.ok()) return fail(log, reader.error());
    if (ctx.interfaceFlag != 34 && ctx.interfaceFlag != 68) return fail(log, "wrong interface flag");
    if (regionCount == 0)
        return fail(log, "the number of regions is 0: there is nothing to mesh; give at least one region");
    if (!readRegions(reader, regionCount, ctx.elementShape, ctx.points, ctx.lists)) return fail(log, reader.error());
    if (!sharedSidesMatch(ctx.lists.regions, log)) return false;
    if (regionCount > 0) intersectStructureElementsWithSides(ctx.mesh.vertexList, ctx.points, ctx.lists);

    int number = 0;
    for (RegionRecord& region : ctx.lists.regions) {
        ++number;
        if (isFreeScheme(region.scheme)) {
            if (!meshFreeRegion(ctx, region, number, log)) return false;
        } else if (isMappedScheme(region.scheme)) {
            if (!meshMappedRegion(ctx, region, number, log)) return false;
        }
    }

    GlobalMesh& mesh = ctx.mesh;
    if (mesh.elements.empty()) return fail(log, "the regions gave no element: the mesh is empty");
    fixBeamVertices(ctx.quadrilateralFlag, mesh, ctx.lists.structureElements, log);
    pairBeamFaces(ctx.quadrilateralFlag, mesh);
    int nodeCount = static_cast<int>(mesh.nodes.size());
    const int elementCount = static_cast<int>(mesh.elements.size());
    if (ctx.interfaceFlag == 68) {
        if (ctx.elementShape == 1)
            addQuadMidsideNodes(mesh.nodes, mesh.elements, mesh.neighbours, nodeCount, elementCount,
                                ctx.lists.entities);
        else if (ctx.elementShape == 0)
            addTriangleMidsideNodes(mesh.nodes, mesh.elements, mesh.neighbours, nodeCount, elementCount,
                                    ctx.lists.entities);
    }

    nodeCount = static_cast<int>(mesh.nodes.size());
    int structureNumber = 0;
    for (StructureElementRecord& se : ctx.lists.structureElements) {
        ++structureNumber;
        if (!discretizeStructureElement(se, ctx.points, ctx.lists.entities, log)) return false;
        if (!se.segments.empty() && !placedNodesInRange(se.nodes, 0, se.segments.front(),
                                                        "structure element " + std::to_string(structureNumber), log))
            return false;
        insertStructureElementLines(nodeCount, ctx.quadrilateralFlag, ctx.structures, mesh.elements, mesh.nodes,
                                    mesh.interfaceSides, se);
    }
    addLineMidNodes(nodeCount, ctx.lists.entities, ctx.structures);

    const int npe = nodesPerElement(ctx.interfaceFlag, ctx.elementShape);
    std::string error;
    if (!validateFinishedMesh(mesh.nodes, mesh.elements, npe, error)) return fail(log, error);
    if (!writeFemFile(mesh.nodes, mesh.elements, mesh.neighbours, ctx.interfaceFlag, ctx.elementShape,
                      ctx.structures.nodes, ctx.structures.ownLines, ctx.structures.sideLines, ctx.outputFormat,
                      meshName, error))
        return fail(log, error);
    return true;
}

}  // namespace

// The input name less its last two characters, plus `extension`.
static std::string runFileName(const std::string& inputName, const char* extension)
{
    return inputName.size() < 2 ? std::string() : inputName.substr(0, inputName.size() - 2) + extension;
}

std::string meshFileName(const std::string& inputName) { return runFileName(inputName, ".fem"); }
std::string logFileName(const std::string& inputName) { return runFileName(inputName, ".msh"); }

int runTessaro(const std::string& inputName) noexcept
{
    try {
        if (inputName.size() < 2) return 1;
        const std::string meshName = meshFileName(inputName);
        // A folder, pipe or device is no geometry definition: refused
        // before anything is written beside it.
        struct stat info {};
        if (stat(inputName.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return 1;
        std::ifstream in(inputName);
        std::ofstream logFile(logFileName(inputName), std::ios::out | std::ios::trunc);
        ErrorWatch watch(logFile.rdbuf());
        std::ostream log(&watch);
        if (!in) {
            log << std::endl << "Error: Can not open file " << inputName << std::endl << std::endl;
            return 1;
        }
        std::remove(meshName.c_str());
        int result = 1;
        try {
            RunContext ctx;
            result = runModel(ctx, in, log, meshName) ? 0 : 1;
        } catch (const std::bad_alloc&) {
            log << "Error: out of memory" << std::endl;
            result = 1;
        } catch (const std::exception& e) {
            log << "Error: " << e.what() << std::endl;
            result = 1;
        } catch (...) {
            log << "Error: unexpected failure" << std::endl;
            result = 1;
        }
        if (result == 0 && watch.sawError()) result = 1;
        log.flush();
        if (result != 0) std::remove(meshName.c_str());
        return result;
    } catch (...) {
        return 1;
    }
}

}  // namespace tessaro
