#include "MeshTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "Tessaro_DLL/model/RunDriver.h"

namespace meshtest {

std::string geometryText(const GeometrySpec& g) {
    std::ostringstream os;
    os << std::setprecision(17);
    os << "* TITLE\nTest geometry\n* OUTPUT FORMAT \n" << g.outputFormat << "\n";
    os << "* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED \n" << 1 + g.arcs.size() << "\n";
    os << "* ENTITY #, LIB. CODE #, # OF POINTS\n1   11   " << g.points.size() << "\n";
    for (std::size_t k = 0; k < g.points.size(); ++k)
        os << k + 1 << "    " << g.points[k].first << "   " << g.points[k].second << "\n";
    for (std::size_t a = 0; a < g.arcs.size(); ++a) {
        const ArcSpec& arc = g.arcs[a];
        os << "* ENTITY #, LIB. CODE #, # OF POINTS\n" << a + 2 << "   31   " << arc.n << "   \n";
        os << arc.cx << "   " << arc.cy << "   " << arc.rx << "   " << arc.ry << "   " << arc.start << "   "
           << arc.sweep << " \n";
    }
    os << "* NO. OF GLOBAL GCOS TO BE DEFINED\n0\n* NO. OF PREDEFINED PROF.\n0\n";
    os << "* NO. OF STRUCTUTE ELEMENTS\n" << g.structs.size() << "\n";
    for (const StructSpec& s : g.structs) {
        os << "* ID, KIND, VALUES\n" << s.id << " " << s.kind << " " << s.v3 << " " << s.v4 << " " << s.v5 << "\n";
        os << "* SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2)\n1 " << s.seg.lim1 << " " << s.seg.lim2 << " " << s.seg.cpar
           << " " << s.seg.wn << " " << s.seg.e1 << " " << s.seg.p1 << " " << s.seg.e2 << " " << s.seg.p2 << "\n";
    }
    os << "* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE\n"
       << g.regions.size() << "   0   " << g.interfaceFlag << "   " << g.shape << "\n";
    int r = 0;
    for (const RegionSpec& reg : g.regions) {
        ++r;
        os << "*   REGION #, MAX DOF,    INI. SOL.\n" << r << "   6   1.0  3.0  0.0  6.2857143  0.0  0.0\n";
        os << "*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index\n"
           << "      0      -10      0.0  0.0      0.0   " << reg.group << "  " << reg.obj << "\n";
        os << "*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX\n"
           << "    " << reg.scheme << "  " << reg.sides.size() << "   0   " << reg.imax << "   " << reg.jmax << "\n";
        for (const SideSpec& side : reg.sides) {
            const std::size_t count = side.segCountOverride >= 0 ? side.segCountOverride : side.segs.size();
            os << "*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.\n"
               << "   " << side.number << "   " << count << "   " << side.code << "   0\n";
            for (const SegSpec& s : side.segs) {
                os << "*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.\n"
                   << "   1   " << s.lim1 << "  " << s.lim2 << "   " << s.cpar << "   " << s.wn << "   " << s.e1 << " "
                   << s.p1 << "  " << s.e2 << " " << s.p2 << "   0   \n";
            }
        }
    }
    return os.str();
}

RegionSpec rectangleRegion(GeometrySpec& g, double x0, double y0, double w, double h, int ni, int nj,
                           const int codes[4], int scheme, int obj, bool clockwise) {
    const int base = static_cast<int>(g.points.size());
    g.points.emplace_back(x0, y0);          // base + 1
    g.points.emplace_back(x0 + w, y0);      // base + 2
    g.points.emplace_back(x0 + w, y0 + h);  // base + 3
    g.points.emplace_back(x0, y0 + h);      // base + 4
    const int p1 = base + 1, p2 = base + 2, p3 = base + 3, p4 = base + 4;
    RegionSpec r;
    r.scheme = scheme;
    r.obj = obj;
    auto seg = [](int n, int a, int b) {
        SegSpec s;
        s.lim1 = 1;
        s.lim2 = n + 1;
        s.p1 = a;
        s.p2 = b;
        return s;
    };
    if (!clockwise) {
        // Columns run along x, rows along y.
        r.imax = ni + 1;
        r.jmax = nj + 1;
        r.sides = {SideSpec{1, codes[0], {seg(nj, p1, p4)}}, SideSpec{2, codes[1], {seg(nj, p2, p3)}},
                   SideSpec{3, codes[2], {seg(ni, p1, p2)}}, SideSpec{4, codes[3], {seg(ni, p4, p3)}}};
    } else {
        // Columns run along y, rows along x: the grid is clockwise.
        r.imax = nj + 1;
        r.jmax = ni + 1;
        r.sides = {SideSpec{1, codes[2], {seg(ni, p1, p2)}}, SideSpec{2, codes[3], {seg(ni, p4, p3)}},
                   SideSpec{3, codes[0], {seg(nj, p1, p4)}}, SideSpec{4, codes[1], {seg(nj, p2, p3)}}};
    }
    return r;
}

namespace {

class ByteReader {
public:
    explicit ByteReader(std::string bytes) : b_(std::move(bytes)) {}
    bool i32(int& v) {
        if (pos_ + 4 > b_.size()) return false;
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k)
            u |= static_cast<std::uint32_t>(static_cast<unsigned char>(b_[pos_ + k])) << (8 * k);
        pos_ += 4;
        v = static_cast<int>(u);
        return true;
    }
    bool f64(double& v) {
        if (pos_ + 8 > b_.size()) return false;
        std::uint64_t u = 0;
        for (int k = 0; k < 8; ++k)
            u |= static_cast<std::uint64_t>(static_cast<unsigned char>(b_[pos_ + k])) << (8 * k);
        pos_ += 8;
        std::memcpy(&v, &u, sizeof v);
        return true;
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    std::string b_;
    std::size_t pos_ = 0;
};

// Values of the text form, separated by white space.
class TextReader {
public:
    explicit TextReader(const std::string& text) : in_(text) {}
    bool i32(int& v) { return static_cast<bool>(in_ >> v); }
    bool f64(double& v) { return static_cast<bool>(in_ >> v); }
    bool atEnd() {
        std::string rest;
        return !(in_ >> rest);
    }

private:
    std::istringstream in_;
};

bool sane(int n) { return n >= 0 && n < 10000000; }

// Reads either form: the text form interleaves the corner and mid-side nodes
// of quadratic elements and leaves out the structure lists unless both have
// records.
template <typename Reader>
FemMesh readFem(Reader& in, bool text) {
    FemMesh m;
    int nN = 0, nE = 0;
    if (!in.i32(nN) || !in.i32(nE) || !in.i32(m.npe) || !sane(nN) || !sane(nE) || m.npe < 3 || m.npe > 9) {
        m.problem = "bad header";
        return m;
    }
    for (int k = 0; k < nN; ++k) {
        int id = 0;
        double x = 0, y = 0;
        if (!in.i32(id) || !in.f64(x) || !in.f64(y)) return m.problem = "short node section", m;
        m.nodeIds.push_back(id);
        m.xy.emplace_back(x, y);
    }
    for (int e = 0; e < nE; ++e) {
        FemElement el;
        if (!in.i32(el.number) || !in.i32(el.group) || !in.i32(el.obj) || !in.i32(el.npe))
            return m.problem = "short element section", m;
        std::vector<int> raw(static_cast<std::size_t>(m.npe));
        for (int& n : raw)
            if (!in.i32(n)) return m.problem = "short element section", m;
        if (text && (m.npe == 8 || m.npe == 6)) {
            // Interleaved corner, mid-side, corner, ...: corners first.
            const int c = m.npe / 2;
            el.nodes.resize(raw.size());
            for (int k = 0; k < c; ++k) {
                el.nodes[k] = raw[2 * k];
                el.nodes[c + k] = raw[2 * k + 1];
            }
        } else {
            el.nodes = raw;
        }
        m.elements.push_back(el);
    }
    for (int e = 0; e < nE; ++e) {
        std::array<int, 6> s{};
        for (int& v : s)
            if (!in.i32(v)) return m.problem = "short side section", m;
        m.sides.push_back(s);
    }
    auto lineRecords = [&in](int count, std::vector<FemLine>& lines) {
        for (int k = 0; k < count; ++k) {
            FemLine l;
            for (int& v : l.w)
                if (!in.i32(v)) return false;
            lines.push_back(l);
        }
        return true;
    };
    int nA = 0, nB = 0, nC = 0;
    if (!in.i32(nA) || !in.i32(nB) || !sane(nA) || !sane(nB)) return m.problem = "bad structure counts", m;
    if (!text || (nA > 0 && nB > 0)) {
        for (int k = 0; k < nA; ++k) {
            int id = 0;
            double x = 0, y = 0;
            if (!in.i32(id) || !in.f64(x) || !in.f64(y)) return m.problem = "short structure nodes", m;
            m.structIds.push_back(id);
            m.structXY.emplace_back(x, y);
        }
        if (!lineRecords(nB, m.lines)) return m.problem = "short line elements", m;
    }
    if (!in.i32(nC) || !sane(nC)) return m.problem = "bad third count", m;
    if (!lineRecords(nC, m.third)) return m.problem = "short third list", m;
    if (!in.atEnd()) return m.problem = text ? "trailing text" : "trailing bytes", m;
    m.ok = true;
    return m;
}

}  // namespace

FemMesh readFemBinary(const fs::path& path) {
    ByteReader in(readFile(path));
    return readFem(in, false);
}

FemMesh readFemText(const fs::path& path) {
    TextReader in(readFile(path));
    return readFem(in, true);
}

double cornerArea(const FemMesh& mesh, const FemElement& el) {
    const int c = (mesh.npe == 3 || mesh.npe == 6) ? 3 : 4;
    double a2 = 0.0;
    for (int k = 0; k < c; ++k) {
        const auto& p = mesh.xy[el.nodes[k] - 1];
        const auto& q = mesh.xy[el.nodes[(k + 1) % c] - 1];
        a2 += p.first * q.second - q.first * p.second;
    }
    return 0.5 * a2;
}

std::vector<double> cornerAngles(const FemMesh& mesh, const FemElement& el) {
    const int c = (mesh.npe == 3 || mesh.npe == 6) ? 3 : 4;
    std::vector<double> angles;
    for (int k = 0; k < c; ++k) {
        const auto& p = mesh.xy[el.nodes[k] - 1];
        const auto& next = mesh.xy[el.nodes[(k + 1) % c] - 1];
        const auto& prev = mesh.xy[el.nodes[(k + c - 1) % c] - 1];
        const double ax = next.first - p.first, ay = next.second - p.second;
        const double bx = prev.first - p.first, by = prev.second - p.second;
        double angle = std::atan2(ax * by - ay * bx, ax * bx + ay * by) * 180.0 / M_PI;
        if (angle < 0.0) angle += 360.0;
        angles.push_back(angle);
    }
    return angles;
}

namespace {

// Side k of element e (0-based) is paired with a face of `partner`.
std::string beamFaceProblem(const FemMesh& mesh, int c, int e, int k, int partner) {
    const int nE = static_cast<int>(mesh.elements.size());
    const FemElement& el = mesh.elements[e];
    const FemElement& other = mesh.elements[partner - 1];
    const auto& a = mesh.xy[el.nodes[k] - 1];
    const auto& b = mesh.xy[el.nodes[(k + 1) % c] - 1];
    for (int m = 0; m < c; ++m) {
        if (mesh.sides[partner - 1][2 + m] != e + 1 + nE) continue;
        const auto& p = mesh.xy[other.nodes[m] - 1];
        const auto& q = mesh.xy[other.nodes[(m + 1) % c] - 1];
        auto near = [](const std::pair<double, double>& u, const std::pair<double, double>& v) {
            return std::hypot(u.first - v.first, u.second - v.second) < 1e-5;
        };
        if ((near(a, q) && near(b, p)) || (near(a, p) && near(b, q))) return std::string();
        return "beam face apart from its partner's face";
    }
    return "beam face partner " + std::to_string(partner) + " does not name it back";
}

}  // namespace

std::vector<std::string> validateMesh(const FemMesh& mesh, const ValidationOptions& options) {
    std::vector<std::string> problems;
    auto report = [&](const std::string& text) {
        if (problems.size() < 20) problems.push_back(text);
    };
    if (!mesh.ok) {
        report("unreadable mesh file: " + mesh.problem);
        return problems;
    }
    const int n = static_cast<int>(mesh.nodeIds.size());
    const int c = (mesh.npe == 3 || mesh.npe == 6) ? 3 : 4;
    for (int k = 0; k < n; ++k)
        if (mesh.nodeIds[k] != k + 1)
            report("node " + std::to_string(k + 1) + " numbered " + std::to_string(mesh.nodeIds[k]));
    std::vector<int> used(static_cast<std::size_t>(n) + 1, 0);
    double area = 0.0;
    // Edge (a, b) in element direction -> (element, side).
    std::map<std::pair<int, int>, std::pair<int, int>> edges;
    bool refsOk = true;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const FemElement& el = mesh.elements[e];
        const std::string name = "element " + std::to_string(e + 1);
        if (el.number != static_cast<int>(e) + 1) report(name + " numbered " + std::to_string(el.number));
        if (el.npe != mesh.npe) report(name + " has npe " + std::to_string(el.npe));
        bool ok = true;
        for (int node : el.nodes) {
            if (node < 1 || node > n) {
                report(name + " refers to node " + std::to_string(node));
                ok = false;
            } else {
                used[node] = 1;
            }
        }
        if (!ok) {
            refsOk = false;
            continue;
        }
        std::set<int> corners(el.nodes.begin(), el.nodes.begin() + c);
        if (static_cast<int>(corners.size()) != c) report(name + " repeats a corner");
        std::set<int> all(el.nodes.begin(), el.nodes.end());
        if (all.size() != el.nodes.size()) report(name + " repeats a node");
        const double a = cornerArea(mesh, el);
        if (!(a > 0.0)) report(name + " is not counter-clockwise with positive area");
        const std::vector<double> angles = cornerAngles(mesh, el);
        for (std::size_t k = 0; k < angles.size(); ++k)
            if (!(angles[k] > 1e-7 && angles[k] < options.largestCornerAngle)) {
                std::ostringstream text;
                text << name << " corner " << k + 1 << " has an angle of " << std::fixed << std::setprecision(2)
                     << angles[k] << " degrees";
                report(text.str());
            }
        area += a;
        for (int k = 0; k < c; ++k) {
            const std::pair<int, int> key(el.nodes[k], el.nodes[(k + 1) % c]);
            if (!edges.emplace(key, std::make_pair(static_cast<int>(e) + 1, k)).second)
                report(name + " repeats a directed edge of another element");
        }
    }
    if (mesh.sides.size() != mesh.elements.size()) report("side record count differs from element count");
    if (refsOk && mesh.sides.size() == mesh.elements.size()) {
        const int nE = static_cast<int>(mesh.elements.size());
        for (int e = 0; e < nE; ++e) {
            const auto& s = mesh.sides[e];
            const FemElement& el = mesh.elements[e];
            const std::string name = "element " + std::to_string(e + 1);
            if (s[0] != e + 1 || s[1] != 4) report("side record of " + name + " malformed");
            for (int k = 0; k < c; ++k) {
                const int code = s[2 + k];
                const int a = el.nodes[k], b = el.nodes[(k + 1) % c];
                const auto partner = edges.find(std::make_pair(b, a));
                if (code > 2 * nE) {
                    report(name + " side " + std::to_string(k + 1) + " names element " + std::to_string(code));
                } else if (code > nE) {
                    // A paired beam face: the partner's face names this
                    // element back and lies on the same line.
                    const std::string problem = beamFaceProblem(mesh, c, e, k, code - nE);
                    if (!problem.empty()) report(name + " side " + std::to_string(k + 1) + ": " + problem);
                } else if (code > 0) {
                    if (partner == edges.end() || partner->second.first != code) {
                        report(name + " side " + std::to_string(k + 1) + " names element " + std::to_string(code) +
                               " which does not share the edge");
                        continue;
                    }
                    const int back = mesh.sides[code - 1][2 + partner->second.second];
                    if (back != e + 1)
                        report(name + " side " + std::to_string(k + 1) + " not named back by element " +
                               std::to_string(code));
                } else if (partner != edges.end()) {
                    report(name + " side " + std::to_string(k + 1) + " shares its edge but is coded " +
                           std::to_string(code));
                }
            }
            if (c == 3 && s[5] != 0 && s[5] != -1) report(name + " fourth side word " + std::to_string(s[5]));
        }
    }
    for (int k = 1; k <= n; ++k)
        if (!used[k]) report("node " + std::to_string(k) + " is used by no element");
    if (!options.allowDoubledNodes) {
        // The two faces of an open interface (written -6) keep their own
        // nodes at the same places.
        std::vector<char> onInterface(static_cast<std::size_t>(n) + 1, 0);
        for (std::size_t e = 0; refsOk && e < mesh.sides.size() && e < mesh.elements.size(); ++e)
            for (int k = 0; k < c; ++k)
                if (mesh.sides[e][2 + k] == -6 || mesh.sides[e][2 + k] > static_cast<int>(mesh.elements.size())) {
                    onInterface[mesh.elements[e].nodes[k]] = 1;
                    onInterface[mesh.elements[e].nodes[(k + 1) % c]] = 1;
                    if (mesh.elements[e].nodes.size() > static_cast<std::size_t>(c + k))
                        onInterface[mesh.elements[e].nodes[c + k]] = 1;
                }
        std::vector<int> order(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) order[k] = k;
        std::sort(order.begin(), order.end(), [&](int a, int b) { return mesh.xy[a] < mesh.xy[b]; });
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n && mesh.xy[order[j]].first - mesh.xy[order[i]].first < 1e-8; ++j) {
                const double d = std::hypot(mesh.xy[order[j]].first - mesh.xy[order[i]].first,
                                            mesh.xy[order[j]].second - mesh.xy[order[i]].second);
                if (d < 1e-8 && !(onInterface[order[i] + 1] && onInterface[order[j] + 1]))
                    report("nodes " + std::to_string(order[i] + 1) + " and " + std::to_string(order[j] + 1) +
                           " coincide");
            }
        }
    }
    if (options.expectedArea >= 0.0) {
        const double tol = options.areaTolerance * std::max(1.0, options.expectedArea);
        if (std::fabs(area - options.expectedArea) > tol) {
            std::ostringstream os;
            os << std::setprecision(12) << "element areas sum to " << area << ", expected " << options.expectedArea;
            report(os.str());
        }
    }
    return problems;
}

namespace {

// The scratch folders of this test program, removed when it ends.
struct ScratchFolders {
    std::vector<fs::path> made;
    ~ScratchFolders() {
        std::error_code ec;
        for (const fs::path& dir : made) fs::remove_all(dir, ec);
    }
};

ScratchFolders& scratchFolders() {
    static ScratchFolders folders;
    return folders;
}

}  // namespace

fs::path freshDir(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("brennix-mesher-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    scratchFolders().made.push_back(dir);
    return dir;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

CurrentDir::CurrentDir(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }

CurrentDir::~CurrentDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

std::vector<std::string> readLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

int runOn(const fs::path& dir, const std::string& text, const std::string& name) {
    const fs::path input = dir / name;
    writeFile(input, text);
    return tessaro::runTessaro(input.string());
}

ToolRun runTool(const std::string& name, const std::string& text) {
    ScratchDir dir("free-" + name);
    writeFile(dir.path() / "temp.i", text);
    const std::string tool = std::string(BRENNIX_BIN_DIR) + "/tessaro-run";
    const std::string command = "cd '" + dir.path().string() + "' && '" + tool + "' temp.i >/dev/null 2>&1";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.log = readFile(dir.path() / "temp.msh");
    run.meshWritten = fs::exists(dir.path() / "temp.fem");
    run.snapshotWritten = fs::exists(dir.path() / "mesh_11.sol");
    if (run.meshWritten) {
        run.meshBytes = readFile(dir.path() / "temp.fem");
        run.mesh = readFemText(dir.path() / "temp.fem");
        if (!run.mesh.ok) run.mesh = readFemBinary(dir.path() / "temp.fem");
    }
    return run;
}

RegionSpec polygonRegion(GeometrySpec& g, const std::vector<std::pair<double, double>>& corners, int divisions,
                         int code, int obj, double spacing) {
    const int base = static_cast<int>(g.points.size());
    for (const auto& p : corners) g.points.push_back(p);
    RegionSpec r;
    r.scheme = -21;
    r.obj = obj;
    const int n = static_cast<int>(corners.size());
    for (int k = 0; k < n; ++k) {
        SegSpec s;
        s.lim1 = 1;
        s.lim2 = divisions + 1;
        if (spacing > 0.0) {
            const auto [x0, y0] = corners[k];
            const auto [x1, y1] = corners[(k + 1) % n];
            s.lim2 = 1 + std::max(1, static_cast<int>(std::lround(std::hypot(x1 - x0, y1 - y0) / spacing)));
        }
        s.p1 = base + k + 1;
        s.p2 = base + (k + 1) % n + 1;
        r.sides.push_back(SideSpec{k + 1, code, {s}});
    }
    return r;
}

std::vector<std::string> unexpectedLogLines(const std::string& log) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find('\n', start);
        const std::string line = log.substr(start, end - start);
        if (!line.empty() && line.rfind(" used heap = ", 0) != 0) lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

int sidesCoded(const FemMesh& mesh, int code) {
    int count = 0;
    for (const auto& s : mesh.sides)
        for (int k = 2; k < 6; ++k)
            if (s[k] == code) ++count;
    return count;
}

}  // namespace meshtest
