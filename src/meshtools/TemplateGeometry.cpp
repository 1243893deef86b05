#include "meshtools/TemplateGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <locale>
#include <sstream>
#include <utility>

#include "meshtools/MesherBinding.h"
#include "model/ModelData.h"

namespace {

// ---------------------------------------------------------------------------
// Region tables: the sides of each region in file order, with the index of
// their division count and their neighbour code.

struct SideSpec {
    bool arc;
    int first, second;
    int count;  // index into the writer's division counts
    int code;
};

struct RegionSpec {
    bool mapped;
    std::vector<SideSpec> sides;
};

namespace circular {
enum { kV, kU, kDn, kB };
// Regions 1-4 the central quarter discs, 5-8 the inner ring, 9-16 the two
// outer rings (13-16 on the outer circle).
const std::vector<RegionSpec>& Regions() {
    static const std::vector<RegionSpec> regions = {
        {false, {{false, 12, 17, kB, 2}, {false, 17, 11, kB, 2}, {true, 2, 0, kU, 2}}},
        {false, {{false, 9, 17, kB, 2}, {false, 17, 12, kB, 2}, {true, 3, 0, kU, 2}}},
        {false, {{false, 10, 17, kB, 2}, {false, 17, 9, kB, 2}, {true, 4, 0, kU, 2}}},
        {false, {{false, 11, 17, kB, 2}, {false, 17, 10, kB, 2}, {true, 5, 0, kU, 2}}},
        {true, {{false, 7, 11, kDn, 2}, {false, 8, 12, kDn, 2}, {true, 6, 0, kU, 2}, {true, 2, 0, kU, 2}}},
        {true, {{false, 8, 12, kDn, 2}, {false, 5, 9, kDn, 2}, {true, 7, 0, kU, 2}, {true, 3, 0, kU, 2}}},
        {true, {{false, 5, 9, kDn, 2}, {false, 6, 10, kDn, 2}, {true, 8, 0, kU, 2}, {true, 4, 0, kU, 2}}},
        {true, {{false, 6, 10, kDn, 2}, {false, 7, 11, kDn, 2}, {true, 9, 0, kU, 2}, {true, 5, 0, kU, 2}}},
        {true, {{false, 14, 6, kV, 2}, {false, 15, 7, kV, 2}, {true, 13, 0, kU, 2}, {true, 9, 0, kU, 2}}},
        {true, {{false, 15, 7, kV, 2}, {false, 16, 8, kV, 2}, {true, 10, 0, kU, 2}, {true, 6, 0, kU, 2}}},
        {true, {{false, 16, 8, kV, 2}, {false, 13, 5, kV, 2}, {true, 11, 0, kU, 2}, {true, 7, 0, kU, 2}}},
        {true, {{false, 13, 5, kV, 2}, {false, 14, 6, kV, 2}, {true, 12, 0, kU, 2}, {true, 8, 0, kU, 2}}},
        {true, {{false, 2, 14, kV, 2}, {false, 3, 15, kV, 2}, {true, 17, 0, kU, -2}, {true, 13, 0, kU, 2}}},
        {true, {{false, 3, 15, kV, 2}, {false, 4, 16, kV, 2}, {true, 14, 0, kU, -2}, {true, 10, 0, kU, 2}}},
        {true, {{false, 4, 16, kV, 2}, {false, 1, 13, kV, 2}, {true, 15, 0, kU, -2}, {true, 11, 0, kU, 2}}},
        {true, {{false, 1, 13, kV, 2}, {false, 2, 14, kV, 2}, {true, 16, 0, kU, -2}, {true, 12, 0, kU, 2}}},
    };
    return regions;
}
}  // namespace circular

namespace octagon {
enum { kA, kBand, kC, kD, kE };
// Regions 1-4 the pedestal disc, 5-12 the ring between the pedestal and the
// inner square, 13-24 the inner band (21-24 its chamfer triangles), 25-36
// the outer band (33-36 its chamfers).
const std::vector<RegionSpec>& Regions() {
    static const std::vector<RegionSpec> regions = {
        {false, {{false, 27, 41, kE, 2}, {false, 41, 25, kE, 2}, {true, 2, 0, kA, 2}, {true, 3, 0, kA, 2}}},
        {false, {{false, 21, 41, kE, 2}, {false, 41, 27, kE, 2}, {true, 4, 0, kA, 2}, {true, 5, 0, kA, 2}}},
        {false, {{false, 23, 41, kE, 2}, {false, 41, 21, kE, 2}, {true, 6, 0, kA, 2}, {true, 7, 0, kA, 2}}},
        {false, {{false, 25, 41, kE, 2}, {false, 41, 23, kE, 2}, {true, 8, 0, kA, 2}, {true, 9, 0, kA, 2}}},
        {true, {{false, 17, 25, kD, 2}, {false, 18, 26, kD, 2}, {false, 17, 18, kA, 2}, {true, 2, 0, kA, 2}}},
        {true, {{false, 18, 26, kD, 2}, {false, 19, 27, kD, 2}, {false, 18, 19, kA, 2}, {true, 3, 0, kA, 2}}},
        {true, {{false, 19, 27, kD, 2}, {false, 20, 28, kD, 2}, {false, 19, 20, kA, 2}, {true, 4, 0, kA, 2}}},
        {true, {{false, 20, 28, kD, 2}, {false, 13, 21, kD, 2}, {false, 20, 13, kA, 2}, {true, 5, 0, kA, 2}}},
        {true, {{false, 13, 21, kD, 2}, {false, 14, 22, kD, 2}, {false, 13, 14, kA, 2}, {true, 6, 0, kA, 2}}},
        {true, {{false, 14, 22, kD, 2}, {false, 15, 23, kD, 2}, {false, 14, 15, kA, 2}, {true, 7, 0, kA, 2}}},
        {true, {{false, 15, 23, kD, 2}, {false, 16, 24, kD, 2}, {false, 15, 16, kA, 2}, {true, 8, 0, kA, 2}}},
        {true, {{false, 16, 24, kD, 2}, {false, 17, 25, kD, 2}, {false, 16, 17, kA, 2}, {true, 9, 0, kA, 2}}},
        {true, {{false, 14, 30, kBand, 2}, {false, 13, 29, kBand, 2}, {false, 14, 13, kA, 2}, {false, 30, 29, kA, 2}}},
        {true, {{false, 13, 29, kBand, 2}, {false, 20, 40, kBand, 2}, {false, 13, 20, kA, 2}, {false, 29, 40, kA, 2}}},
        {true, {{false, 15, 32, kBand, 2}, {false, 14, 31, kBand, 2}, {false, 15, 14, kA, 2}, {false, 32, 31, kA, 2}}},
        {true, {{false, 16, 33, kBand, 2}, {false, 15, 32, kBand, 2}, {false, 16, 15, kA, 2}, {false, 33, 32, kA, 2}}},
        {true, {{false, 17, 35, kBand, 2}, {false, 16, 34, kBand, 2}, {false, 17, 16, kA, 2}, {false, 35, 34, kA, 2}}},
        {true, {{false, 18, 36, kBand, 2}, {false, 17, 35, kBand, 2}, {false, 18, 17, kA, 2}, {false, 36, 35, kA, 2}}},
        {true, {{false, 19, 38, kBand, 2}, {false, 18, 37, kBand, 2}, {false, 19, 18, kA, 2}, {false, 38, 37, kA, 2}}},
        {true, {{false, 20, 39, kBand, 2}, {false, 19, 38, kBand, 2}, {false, 20, 19, kA, 2}, {false, 39, 38, kA, 2}}},
        {false, {{false, 40, 20, kBand, 2}, {false, 20, 39, kBand, 2}, {false, 39, 40, kC, 2}}},
        {false, {{false, 31, 14, kBand, 2}, {false, 14, 30, kBand, 2}, {false, 30, 31, kC, 2}}},
        {false, {{false, 34, 16, kBand, 2}, {false, 16, 33, kBand, 2}, {false, 33, 34, kC, 2}}},
        {false, {{false, 37, 18, kBand, 2}, {false, 18, 36, kBand, 2}, {false, 36, 37, kC, 2}}},
        {true, {{false, 30, 2, kBand, 2}, {false, 29, 1, kBand, 2}, {false, 30, 29, kA, 2}, {false, 2, 1, kA, -2}}},
        {true, {{false, 29, 1, kBand, 2}, {false, 40, 12, kBand, 2}, {false, 29, 40, kA, 2}, {false, 1, 12, kA, -2}}},
        {true, {{false, 32, 4, kBand, 2}, {false, 31, 3, kBand, 2}, {false, 32, 31, kA, 2}, {false, 4, 3, kA, -2}}},
        {true, {{false, 33, 5, kBand, 2}, {false, 32, 4, kBand, 2}, {false, 33, 32, kA, 2}, {false, 5, 4, kA, -2}}},
        {true, {{false, 35, 7, kBand, 2}, {false, 34, 6, kBand, 2}, {false, 35, 34, kA, 2}, {false, 7, 6, kA, -2}}},
        {true, {{false, 36, 8, kBand, 2}, {false, 35, 7, kBand, 2}, {false, 36, 35, kA, 2}, {false, 8, 7, kA, -2}}},
        {true, {{false, 38, 10, kBand, 2}, {false, 37, 9, kBand, 2}, {false, 38, 37, kA, 2}, {false, 10, 9, kA, -2}}},
        {true, {{false, 39, 11, kBand, 2}, {false, 38, 10, kBand, 2}, {false, 39, 38, kA, 2}, {false, 11, 10, kA, -2}}},
        {true, {{false, 40, 12, kBand, 2}, {false, 39, 11, kBand, 2}, {false, 40, 39, kC, 2}, {false, 12, 11, kC, -2}}},
        {true, {{false, 31, 3, kBand, 2}, {false, 30, 2, kBand, 2}, {false, 31, 30, kC, 2}, {false, 3, 2, kC, -2}}},
        {true, {{false, 34, 6, kBand, 2}, {false, 33, 5, kBand, 2}, {false, 34, 33, kC, 2}, {false, 6, 5, kC, -2}}},
        {true, {{false, 37, 9, kBand, 2}, {false, 36, 8, kBand, 2}, {false, 37, 36, kC, 2}, {false, 9, 8, kC, -2}}},
    };
    return regions;
}
}  // namespace octagon

void FillRegions(std::vector<TemplateRegion>& regions, const std::vector<RegionSpec>& specs,
                 const std::vector<int>& counts) {
    if (regions.size() != specs.size()) return;
    for (std::size_t r = 0; r < specs.size(); ++r) {
        TemplateRegion& region = regions[r];
        region.mapped = specs[r].mapped;
        region.sides.clear();
        for (const SideSpec& s : specs[r].sides)
            region.sides.push_back({s.arc, s.first, s.second, counts[static_cast<std::size_t>(s.count)], s.code});
    }
}

}  // namespace

void BuildCircularTemplateRegions(std::vector<TemplateRegion>& regions, int v, int u, int Dn, int B) {
    FillRegions(regions, circular::Regions(), {v, u, Dn, B});
}

void BuildOctagonTemplateRegions(std::vector<TemplateRegion>& regions, int a, int b, int c, int d, int e) {
    FillRegions(regions, octagon::Regions(), {a, b, c, d, e});
}

namespace {

// ---------------------------------------------------------------------------
// Division counts

const double kPi = 4.0 * std::atan(1.0);

// Integer part of x, plus 1 when it is odd. Kept in double so that a size
// far too small for the template cannot overflow; NaN stays NaN.
double EvenUp(double x) {
    const double t = std::trunc(x);
    return std::fmod(t, 2.0) != 0.0 ? t + 1.0 : t;
}

// The value at fault when a template's division counts do not suit: the
// typical size, or the dimension (index into the template's three) whose
// count came out 0.
enum class Fault { None, Size, Dimension0, Dimension1, Dimension2 };

// The fault of one count: above the limit (or not a number) the size is at
// fault, below 1 the dimension `low`.
Fault CountFault(double n, Fault low) {
    if (n > static_cast<double>(kMaxTemplateDivisions) || std::isnan(n)) return Fault::Size;
    return n >= 1.0 ? Fault::None : low;
}

// The first fault among the counts and their dimensions, in order.
Fault FirstFault(std::initializer_list<std::pair<double, Fault>> counts) {
    for (const auto& [n, low] : counts)
        if (const Fault f = CountFault(n, low); f != Fault::None) return f;
    return Fault::None;
}

std::vector<int> ToInts(const std::vector<double>& counts) {
    std::vector<int> n;
    for (double c : counts) n.push_back(static_cast<int>(c));
    return n;
}

// ---------------------------------------------------------------------------
// The geometry of one template

struct Point {
    double y, z;
};

struct Arc {
    int entity;
    double radius, start;
    int points;
};

struct Geometry {
    std::vector<Point> points;
    std::vector<Arc> arcs;
    double sweep = 0.0;
    std::vector<TemplateRegion> regions;
    std::vector<std::pair<int, int>> setRanges;  // first and last region of each set
};

struct TemplateValues {
    int elementOption = 1;
    double dims[3] = {};
    double D1 = 0.0, D2 = 0.0, D3 = 0.0;
    double size = 0.0;
};

TemplateValues ValuesOf(const ModelData& model) {
    TemplateValues t;
    int kind = 0, integration = 0;
    double angle = 0.0, P = 0.0, V = 0.0, M = 0.0;
    model.GetTemplateParameters(kind, t.elementOption, integration, t.dims[0], t.dims[1], t.dims[2], angle, t.D1, t.D2,
                                t.D3, P, V, M, t.size);
    return t;
}

std::vector<TemplateRegion> NumberedRegions(int n) {
    std::vector<TemplateRegion> regions(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r) regions[static_cast<std::size_t>(r)].number = r + 1;
    return regions;
}

// The mesher fuses nodes closer than 0.0001; template nodes keep ten times
// that apart.
constexpr double kSmallestTemplateSpacing = 0.001;

// Arc divisions up to which the radial sides of the circular template's
// central discs take the arc's count.
constexpr double kMostEqualDiscDivisions = 32.0;

// Node spacing on the arcs of radius R1 (u divisions per quarter), the
// closest nodes of the circular template.
double SmallestCentreSpacing(double R1, double u) { return kPi * R1 / 2.0 / u; }

// Kind 2: radii R1 < R2 < R3; Rc halves the outer ring.
// A fault when the size gives an unusable division count.
Fault CircularGeometry(const TemplateValues& t, Geometry& g) {
    const double R1 = t.dims[0], R2 = t.dims[1], R3 = t.dims[2], s = t.size;
    const double Rc = (R2 + R3) / 2.0;
    const double u = EvenUp((kPi * R2 / 2.0) / s);
    const double v = EvenUp((Rc - R2) / s);
    // The radial sides of the central quarter discs take the arc's count;
    // on a large disc (many divisions) they take the arc's segment length
    // instead, as a free region with three sides of many equal counts and
    // unequal segments can come back with a straight corner.
    const double B = std::max(u <= kMostEqualDiscDivisions ? EvenUp(u) : EvenUp(2.0 * u / kPi), 2.0);
    const double x = (R2 - R1) / (Rc - R2) * v;
    double Dn = std::trunc(x);
    if (x - Dn > 0.5) Dn += 1.0;
    Dn = std::max(EvenUp(Dn), 2.0);
    if (!(s > 0.0)) return Fault::Size;
    // u follows R2; v the ring from R2 to R3, widened by R3.
    const Fault fault =
        FirstFault({{u, Fault::Dimension1}, {v, Fault::Dimension2}, {B, Fault::Size}, {Dn, Fault::Size}});
    if (fault != Fault::None) return fault;
    if (!(SmallestCentreSpacing(R1, u) >= kSmallestTemplateSpacing)) return Fault::Dimension0;
    const std::vector<int> n = ToInts({v, u, Dn, B});

    for (double R : {R3, R2, R1, Rc}) g.points.insert(g.points.end(), {{-R, 0.0}, {0.0, -R}, {R, 0.0}, {0.0, R}});
    g.points.push_back({0.0, 0.0});
    int entity = 2;
    for (double R : {R1, R2, Rc, R3})
        for (double start : {0.0, 90.0, 180.0, 270.0}) g.arcs.push_back({entity++, R, start, n[1] + 1});
    g.sweep = 90.0;
    g.regions = NumberedRegions(16);
    BuildCircularTemplateRegions(g.regions, n[0], n[1], n[2], n[3]);
    g.setRanges = {{1, 4}, {5, 8}, {9, 12}, {13, 16}};
    return Fault::None;
}

// Kind 1: L1 the inner square's side and the octagon's flats, L2 the offset
// to the outer flats, D the pedestal diameter.
Fault OctagonGeometry(const TemplateValues& t, Geometry& g) {
    const double L1 = t.dims[0], L2 = t.dims[1], D = t.dims[2], s = t.size;
    const double m = D / 2.0;
    const double root2 = std::sqrt(2.0);
    const double a = EvenUp(std::trunc((std::trunc((kPi * D / 8.0) / s) + std::trunc((L1 / 2.0) / s)) / 2.0));
    const double b = EvenUp(0.5 * L2 / s);
    const double c = EvenUp(0.8 * std::trunc((std::trunc(root2 * L2 / s) + std::trunc(root2 * 0.5 * L2 / s)) / 2.0));
    const double d =
        std::max(EvenUp((std::trunc((L1 / 2.0 - m) / s) + std::trunc((root2 * L1 / 2.0 - m) / s)) / 2.0), 2.0);
    // The radial segments of the pedestal are at most three times as long as
    // its arc segments: a small pedestal in a large plan takes
    // the arcs' count from the inner square and would otherwise border
    // short arc segments with a few long radial ones.
    const double e = std::max(EvenUp(m / s), EvenUp(4.0 * a / (3.0 * kPi)));
    if (!(s > 0.0)) return Fault::Size;
    // a follows L1 (with the pedestal's arcs), b and c L2, e the pedestal D.
    const Fault fault = FirstFault({{a, Fault::Dimension0},
                                    {b, Fault::Dimension1},
                                    {c, Fault::Dimension1},
                                    {d, Fault::Size},
                                    {e, Fault::Dimension2}});
    if (fault != Fault::None) return fault;
    const std::vector<int> n = ToInts({a, b, c, d, e});

    const double h = L1 / 2.0 + L2, l = L1 / 2.0, tm = (L1 + L2) / 2.0, q = m * std::cos(kPi / 4.0);
    g.points = {
        {-h, 0},  {-h, -l}, {-l, -h}, {0, -h}, {l, -h}, {h, -l},  {h, 0},   {h, l},    {l, h},    {0, h},   {-l, h},
        {-h, l},  {-l, 0},  {-l, -l}, {0, -l}, {l, -l}, {l, 0},   {l, l},   {0, l},    {-l, l},   {-m, 0},  {-q, -q},
        {0, -m},  {q, -q},  {m, 0},   {q, q},  {0, m},  {-q, q},  {-tm, 0}, {-tm, -l}, {-l, -tm}, {0, -tm}, {l, -tm},
        {tm, -l}, {tm, 0},  {tm, l},  {l, tm}, {0, tm}, {-l, tm}, {-tm, l}, {0, 0},
    };
    for (int k = 0; k < 8; ++k) g.arcs.push_back({k + 2, m, 45.0 * k, n[0] + 1});
    g.sweep = 45.0;
    g.regions = NumberedRegions(36);
    BuildOctagonTemplateRegions(g.regions, n[0], n[1], n[2], n[3], n[4]);
    g.setRanges = {{1, 4}, {5, 12}, {13, 24}, {25, 36}};
    return Fault::None;
}

// ---------------------------------------------------------------------------
// The file

// Shortest general form with 12 significant digits ("-14", "9.5",
// "4.94974746831"); a negative zero is written "0".
std::string Num(double v) {
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(12);
    s << (v == 0.0 ? 0.0 : v);
    return s.str();
}

void WriteSide(std::ostream& out, const TemplateRegion& region, const TemplateSide& side, int j) {
    const bool straightMapped = !side.arc && region.mapped;
    out << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n";
    out << "       " << j << "           " << 1 << "           " << side.code
        << (straightMapped ? "           0" : "            0") << '\n';
    out << "*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n";
    const int limit = side.divisions + 1;
    if (side.arc)
        out << "       1   "
            << "    1  " << limit << "      "
            << "0"
            << "      "
            << "1"
            << "   " << side.first << "  1  " << side.first << "   " << limit << " 0   " << '\n';
    else if (region.mapped)
        out << "       1   "
            << "     1  " << limit << "     "
            << "0"
            << "     "
            << "1"
            << "     1 " << side.first << "  1 " << side.second << "     0   " << '\n';
    else
        out << "       1   "
            << "    1  " << limit << "      "
            << "0"
            << "      "
            << "1"
            << "   1 " << side.first << "  1 " << side.second << "   0   " << '\n';
}

void WriteRegion(std::ostream& out, const TemplateRegion& region) {
    const int r = region.number;
    const int sides = static_cast<int>(region.sides.size());
    int imax = 100, jmax = 100;
    if (region.mapped && sides >= 3) {
        imax = region.sides[2].divisions + 1;
        jmax = region.sides[0].divisions + 1;
    }
    out << "*   REGION #, MAX DOF,    INI. SOL.\n";
    out << r << "              6      1.0  3.0  0.0  6.2857143  0.0  0.0\n";
    out << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n";
    out << "      0      -10      0.0  0.0      0.0         "
        << "2"
        << "  " << 100 + r << '\n';
    out << "*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n";
    out << "    " << (region.mapped ? kSchemeMapped : kSchemeFree) << "  " << sides << "   "
        << "0   " << imax << "   " << jmax << '\n';
    for (int j = 0; j < sides; ++j) WriteSide(out, region, region.sides[static_cast<std::size_t>(j)], j + 1);
}

std::string GeometryText(const Geometry& g, int elementOption) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "* TITLE\n"
        << "Quad mesh generated by Tessaro \n"
        << "* OUTPUT FORMAT \n"
        << "0\n"
        << "* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED \n"
        << g.arcs.size() + 1 << '\n'
        << "* ENTITY #, LIB. CODE #, # OF POINTS\n"
        << "1         11           " << g.points.size() << '\n';
    for (std::size_t k = 0; k < g.points.size(); ++k)
        out << k + 1 << "    " << Num(g.points[k].y) << "   " << Num(g.points[k].z) << '\n';
    for (const Arc& arc : g.arcs) {
        out << "* ENTITY #, LIB. CODE #, # OF POINTS\n";
        out << arc.entity << "   31   " << arc.points << "   " << '\n';
        out << Num(0.0) << "   " << Num(0.0) << "   " << Num(arc.radius) << "   " << Num(arc.radius) << "   "
            << Num(arc.start) << "   "
            << "  " << Num(g.sweep) << " " << '\n';
    }
    out << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n* NO. OF STRUCTUTE ELEMENTS\n0\n";
    out << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n";
    out << g.regions.size()
        << (elementOption == 0 ? "             0                      34    1"
                               : "             0                      68    1")
        << '\n';
    for (const TemplateRegion& region : g.regions) WriteRegion(out, region);
    return out.str();
}

bool WriteText(const std::string& fileName, const std::string& text) {
    {
        std::ofstream out(fileName, std::ios::out | std::ios::binary | std::ios::trunc);
        if (out && out.write(text.data(), static_cast<std::streamsize>(text.size())) && out.flush()) return true;
    }
    std::remove(fileName.c_str());
    return false;
}

TemplateLists ListsOf(const Geometry& g, const TemplateValues& t) {
    TemplateLists lists;
    for (const TemplateRegion& region : g.regions) {
        lists.regionNames.push_back("Region_" + std::to_string(region.number));
        lists.regionIds.push_back(100 + region.number);
    }
    for (std::size_t s = 0; s < g.setRanges.size(); ++s) {
        lists.setNames.push_back("set_" + std::to_string(s + 1));
        std::vector<int> members;
        for (int r = g.setRanges[s].first; r <= g.setRanges[s].second; ++r) members.insert(members.end(), {0, 100 + r});
        lists.setRegions.push_back(members);
    }
    lists.setHeights = {t.D1 + t.D2 + t.D3, t.D1 + t.D2, t.D1 + 0.75 * t.D2, t.D1 + 0.25 * t.D2};
    return lists;
}

using GeometryBuilder = Fault (*)(const TemplateValues&, Geometry&);

TemplateWrite WriteTemplate(const ModelData& model, GeometryBuilder build, const std::string& fileName,
                            TemplateLists& lists) {
    lists = {};
    const TemplateValues t = ValuesOf(model);
    Geometry g;
    if (build(t, g) != Fault::None) return TemplateWrite::SizeUnsuitable;
    if (!WriteText(fileName, GeometryText(g, t.elementOption))) return TemplateWrite::FileNotWritten;
    lists = ListsOf(g, t);
    return TemplateWrite::Written;
}

bool MeshTemplate(const ModelData& model, GeometryBuilder build, const std::string& fileName, TemplateLists& lists,
                  const std::string& programFolder, MesherHost& host) {
    switch (WriteTemplate(model, build, fileName, lists)) {
        case TemplateWrite::SizeUnsuitable: host.Message(UnsuitableSizeMessage(model), MesherIcon::Stop); return false;
        case TemplateWrite::FileNotWritten:
            host.Message("Can not write file " + fileName, MesherIcon::Stop);
            return false;
        case TemplateWrite::Written: break;
    }
    return RunMesher(fileName, programFolder, host);
}

}  // namespace

TemplateWrite WriteCircularTemplate(const ModelData& model, const std::string& fileName, TemplateLists& lists) {
    return WriteTemplate(model, CircularGeometry, fileName, lists);
}

TemplateWrite WriteOctagonTemplate(const ModelData& model, const std::string& fileName, TemplateLists& lists) {
    return WriteTemplate(model, OctagonGeometry, fileName, lists);
}

namespace {

// Largest dimension the remedies look at, in metres.
constexpr double kLargestRemedy = 1e6;

GeometryBuilder BuilderOf(int kind) { return kind == 2 ? CircularGeometry : OctagonGeometry; }

Fault FaultOf(GeometryBuilder build, const TemplateValues& t) {
    Geometry g;
    return build(t, g);
}

const char* DimensionName(int kind, int k) {
    static const char* const names[2][3] = {{"L1", "L2", "D"}, {"R1", "R2", "R3"}};
    return names[kind == 2 ? 1 : 0][k];
}

// Below this a dimension keeps the template's shape when the others stay:
// the radii keep their order, the pedestal stays inside the inner square.
double DimensionLimit(int kind, const TemplateValues& t, int k) {
    if (kind == 2) return k < 2 ? t.dims[k + 1] : kLargestRemedy;
    return k == 2 ? t.dims[0] : kLargestRemedy;
}

// The value nearest `from` in the direction of `limit` (above or below it)
// at which `suits` holds: steps doubling (or halving) towards the limit,
// then halves the last step. NaN when none short of the limit does.
double NearestSuiting(double from, double limit, const std::function<bool(double)>& suits) {
    const bool up = limit > from;
    double failing = from, probe = from;
    bool found = false;
    for (int k = 0; k < 200 && !found; ++k) {
        probe = up ? std::min(probe > 0.0 ? 2.0 * probe : 1e-3, limit) : std::max(0.5 * probe, limit);
        if (probe == limit) return std::nan("");
        found = suits(probe);
        if (!found) failing = probe;
    }
    if (!found) return std::nan("");
    for (int k = 0; k < 60; ++k) {
        const double middle = 0.5 * (failing + probe);
        (suits(middle) ? probe : failing) = middle;
    }
    return probe;
}

// `v` to four significant digits, rounded up or down.
double FourDigits(double v, bool up) {
    const double unit = std::pow(10.0, std::floor(std::log10(v)) - 3.0);
    return (up ? std::ceil(v / unit) : std::floor(v / unit)) * unit;
}

}  // namespace

std::string UnsuitableSizeMessage(const ModelData& model) {
    const TemplateValues t = ValuesOf(model);
    const int kind = model.GetTemplateKind();
    const GeometryBuilder build = BuilderOf(kind);
    const Fault fault = FaultOf(build, t);
    char text[320];
    if (kind == 2 && fault == Fault::Dimension0) {
        // A radius R1 so small that the nodes round it would fuse.
        const double u = EvenUp((kPi * t.dims[1] / 2.0) / t.size);
        std::snprintf(text, sizeof text,
                      "R1 = %g is too small for typical FE size %.3f: the nodes round it would lie closer than "
                      "%g. Enlarge R1 to at least %.4g",
                      t.dims[0], t.size, kSmallestTemplateSpacing, kSmallestTemplateSpacing * 2.0 * u / kPi);
        return text;
    }
    auto suitsWithSize = [&](double size) {
        TemplateValues changed = t;
        changed.size = size;
        return FaultOf(build, changed) == Fault::None;
    };
    const bool sizeValid = t.size > 0.0 && std::isfinite(t.size);
    const double largestSize = sizeValid ? NearestSuiting(t.size, 0.0, suitsWithSize) : std::nan("");
    if (fault == Fault::Dimension0 || fault == Fault::Dimension1 || fault == Fault::Dimension2) {
        // The dimension is at fault when enlarging it alone, within the
        // template's shape, lets the template suit the size.
        const int k = fault == Fault::Dimension0 ? 0 : fault == Fault::Dimension1 ? 1 : 2;
        const double smallest = NearestSuiting(t.dims[k], DimensionLimit(kind, t, k), [&](double value) {
            TemplateValues changed = t;
            changed.dims[k] = value;
            return FaultOf(build, changed) == Fault::None;
        });
        if (!std::isnan(smallest)) {
            const char* name = DimensionName(kind, k);
            const int length = std::snprintf(
                text, sizeof text, "%s = %g is too small for typical FE size %.3f: enlarge %s to at least %.4g", name,
                t.dims[k], t.size, name, FourDigits(smallest, true));
            if (!std::isnan(largestSize))
                std::snprintf(text + length, sizeof text - length, " or make the typical FE size at most %.4g",
                              FourDigits(largestSize, false));
            return text;
        }
    }
    const int length = std::snprintf(text, sizeof text, "Typical FE size %.3f does not suit this template", t.size);
    if (!std::isnan(largestSize)) {
        std::snprintf(text + length, sizeof text - length, ": make it at most %.4g", FourDigits(largestSize, false));
    } else if (sizeValid) {
        const double smallestSize = NearestSuiting(t.size, kLargestRemedy, suitsWithSize);
        if (!std::isnan(smallestSize))
            std::snprintf(text + length, sizeof text - length, ": make it at least %.4g",
                          FourDigits(smallestSize, true));
    }
    return text;
}

bool MeshCircularTemplate(const ModelData& model, const std::string& fileName, const std::string& secondName,
                          TemplateLists& lists, const std::string& programFolder, MesherHost& host) {
    (void)secondName;
    return MeshTemplate(model, CircularGeometry, fileName, lists, programFolder, host);
}

bool MeshOctagonTemplate(const ModelData& model, const std::string& fileName, const std::string& secondName,
                         TemplateLists& lists, const std::string& programFolder, MesherHost& host) {
    (void)secondName;
    return MeshTemplate(model, OctagonGeometry, fileName, lists, programFolder, host);
}
