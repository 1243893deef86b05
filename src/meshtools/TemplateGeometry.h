// Geometry input of the mesh generator for the two wind-turbine foundation
// templates: octagonal (kind 1) and circular (kind 2). From the template
// parameters stored in the model the writer computes the element division
// counts, the key points, the arcs and the regions, writes them as the text
// geometry definition ("temp.i") that Tessaro_DLL reads line by line, and
// hands back the region and set lists that the mesh import needs.
//
// A region is bounded by straight sides (two key points) or arc sides (an
// arc entity), each one segment with its division count and a neighbour
// code: -2 on the outer boundary of the foundation, 2 inside. Mapped regions
// are meshed as a structured grid of IMAX x JMAX points, free regions by the
// free quadrilateral mesher.
#pragma once

#include <string>
#include <vector>

class ModelData;
class MesherHost;

// The five lists the import takes with the mesh, in the order the writer
// fills them.
struct TemplateLists {
    std::vector<std::string> regionNames;      // "Region_1" .. "Region_n"
    std::vector<int> regionIds;                // object numbers 101 .. 100 + n
    std::vector<std::string> setNames;         // "set_1" .. "set_4"
    std::vector<std::vector<int>> setRegions;  // per set: (0, object number) pairs, flattened
    std::vector<double> setHeights;            // per set: its slab height
};

constexpr int kNeighbourInside = 2;
constexpr int kNeighbourBoundary = -2;
// Scheme codes of the mesh generator.
constexpr int kSchemeMapped = 11;
constexpr int kSchemeFree = -31;
// The mesh generator takes at most this many divisions on one side.
constexpr long long kMaxTemplateDivisions = 1000000;

struct TemplateSide {
    bool arc = false;
    int first = 0;   // first point, or the arc's entity number
    int second = 0;  // second point (straight sides)
    int divisions = 0;
    int code = kNeighbourInside;
};

struct TemplateRegion {
    int number = 0;  // 1-based; the object number is 100 + number
    bool mapped = false;
    std::vector<TemplateSide> sides;
};

// Fill the sides of 16 (circular) or 36 (octagonal) regions numbered 1 to n
// from the division counts; other region lists are left alone.
// Circular: v radial divisions of the outer rings, u of each quarter arc, Dn
// radial divisions of the inner ring, B of the central quarter discs.
void BuildCircularTemplateRegions(std::vector<TemplateRegion>& regions, int v, int u, int Dn, int B);
// Octagonal: a eighth arcs, half edges of the inner square and edges between
// the octagon rings; b across the two bands outside the square; c the
// chamfers; d between the pedestal circle and the square; e the pedestal
// radius.
void BuildOctagonTemplateRegions(std::vector<TemplateRegion>& regions, int a, int b, int c, int d, int e);

enum class TemplateWrite {
    Written,
    SizeUnsuitable,  // a division count came out 0 or above kMaxTemplateDivisions
    FileNotWritten,
};

// Write the geometry definition of the model's circular or octagonal
// template to `fileName` and fill `lists`. Nothing is written and the lists
// are left empty when the typical element size gives a division count of 0
// or above the mesher's limit; a file that cannot be written is removed.
TemplateWrite WriteCircularTemplate(const ModelData& model, const std::string& fileName, TemplateLists& lists);
TemplateWrite WriteOctagonTemplate(const ModelData& model, const std::string& fileName, TemplateLists& lists);

// Message of TemplateWrite::SizeUnsuitable: the dimension too small for the
// typical size, with the least value that would do and the largest size that
// would; or, when no one dimension can be enlarged enough within the
// template's shape, the size with the value that would suit.
std::string UnsuitableSizeMessage(const ModelData& model);

// Write the geometry (the second name is not used: the mesher makes no such
// file) and run the mesh generator on it (RunMesher) with the library of
// `programFolder`. A size that does not suit the template or a file that
// cannot be written is reported to the host (stop icon) and the mesher is not
// run. True when the mesher made a mesh beside `fileName` (".fem").
bool MeshCircularTemplate(const ModelData& model, const std::string& fileName, const std::string& secondName,
                          TemplateLists& lists, const std::string& programFolder, MesherHost& host);
bool MeshOctagonTemplate(const ModelData& model, const std::string& fileName, const std::string& secondName,
                         TemplateLists& lists, const std::string& programFolder, MesherHost& host);
