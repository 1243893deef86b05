#include "Tessaro_DLL/model/FemWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <set>

#include "Tessaro_DLL/model/Extent.h"

namespace tessaro {

int nodesPerElement(int interfaceFlag, int elementShape)
{
    if (interfaceFlag == 68) return elementShape == 1 ? 8 : 6;
    return elementShape == 1 ? 4 : 3;
}

namespace {

// Passes its text to `out` in pieces of about a megabyte, so that a large
// mesh is never held in memory whole and the piece being filled stays in
// the cache.
class ChunkedOut {
public:
    explicit ChunkedOut(std::ostream& out) : out_(out) { buf_.reserve(kChunk + kChunk / 8); }
    ~ChunkedOut() { flush(); }
    ChunkedOut(const ChunkedOut&) = delete;
    ChunkedOut& operator=(const ChunkedOut&) = delete;

    void flush()
    {
        if (!buf_.empty()) out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        buf_.clear();
    }

protected:
    void append(const char* text, std::size_t length)
    {
        buf_.append(text, length);
        if (buf_.size() >= kChunk) flush();
    }
    void appendRepeated(std::size_t count, char c) { buf_.append(count, c); }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::ostream& out_;
    std::string buf_;
};

// Little-endian encoder for the binary form.
class BinaryOut : public ChunkedOut {
public:
    using ChunkedOut::ChunkedOut;
    void i32(int v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        char bytes[4];
        for (int b = 0; b < 4; ++b) bytes[b] = static_cast<char>((u >> (8 * b)) & 0xFFu);
        append(bytes, sizeof bytes);
    }
    void f64(double v)
    {
        std::uint64_t u = 0;
        std::memcpy(&u, &v, sizeof u);
        char bytes[8];
        for (int b = 0; b < 8; ++b) bytes[b] = static_cast<char>((u >> (8 * b)) & 0xFFu);
        append(bytes, sizeof bytes);
    }
};

int sideWord(int v) { return v == -7 ? -6 : v; }

// Words of a line element in file order: number, kind, fourth value, fifth
// value, first node, middle node, second node.
constexpr int kLineOrder[7] = {0, 5, 4, 6, 1, 2, 3};

void writeBinaryForm(std::ostream& file, const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                     const std::vector<ElementNeighbours>& neighbours, int npe,
                     const std::vector<FemNode>& structureNodes, const std::vector<LineElement>& lineElements,
                     const std::vector<LineElement>& thirdList)
{
    BinaryOut out(file);
    out.i32(static_cast<int>(nodes.size()));
    out.i32(static_cast<int>(elements.size()));
    out.i32(npe);
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        out.i32(static_cast<int>(k) + 1);
        out.f64(nodes[k].x);
        out.f64(nodes[k].y);
    }
    for (std::size_t e = 0; e < elements.size(); ++e) {
        out.i32(static_cast<int>(e) + 1);
        out.i32(elements[e].w[10]);
        out.i32(elements[e].w[11]);
        out.i32(npe);
        for (int k = 1; k <= npe; ++k) out.i32(elements[e].w[k]);
    }
    for (std::size_t e = 0; e < elements.size(); ++e) {
        out.i32(static_cast<int>(e) + 1);
        out.i32(4);
        for (int k = 1; k <= 4; ++k) out.i32(e < neighbours.size() ? sideWord(neighbours[e].n[k]) : -1);
    }
    out.i32(static_cast<int>(structureNodes.size()));
    out.i32(static_cast<int>(lineElements.size()));
    for (const FemNode& n : structureNodes) {
        out.i32(n.id);
        out.f64(n.x);
        out.f64(n.y);
    }
    auto lineRecords = [&out](const std::vector<LineElement>& lines) {
        for (const LineElement& l : lines)
            for (int k : kLineOrder) out.i32(l.w[k]);
    };
    lineRecords(lineElements);
    out.i32(static_cast<int>(thirdList.size()));
    lineRecords(thirdList);
}

// Text of the mesh file: numbers as the C locale prints them, reals with
// nine significant digits (printf's %.9g), integers right aligned in a
// field where asked.
class TextOut : public ChunkedOut {
public:
    using ChunkedOut::ChunkedOut;
    TextOut& operator<<(const char* text)
    {
        append(text, std::strlen(text));
        return *this;
    }
    TextOut& operator<<(char c)
    {
        append(&c, 1);
        return *this;
    }
    TextOut& operator<<(long long v) { return padded(v, 0); }
    TextOut& operator<<(double v)
    {
        char text[40];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 9);
        append(text, static_cast<std::size_t>((ec == std::errc() ? end : text) - text));
        return *this;
    }
    TextOut& padded(long long v, int width)
    {
        char text[24];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
        const int length = static_cast<int>(end - text);
        if (length < width) appendRepeated(static_cast<std::size_t>(width - length), ' ');
        append(text, static_cast<std::size_t>(length));
        return *this;
    }
};

long long whole(std::size_t v) { return static_cast<long long>(v); }

void writeTextForm(std::ostream& file, const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                   const std::vector<ElementNeighbours>& neighbours, int npe,
                   const std::vector<FemNode>& structureNodes, const std::vector<LineElement>& lineElements,
                   const std::vector<LineElement>& thirdList)
{
    TextOut os(file);
    os << whole(nodes.size()) << "  " << whole(elements.size()) << "  " << static_cast<long long>(npe) << "  " << '\n';
    for (std::size_t k = 0; k < nodes.size(); ++k)
        os << whole(k + 1) << "  " << nodes[k].x << "  " << nodes[k].y << '\n';
    for (std::size_t e = 0; e < elements.size(); ++e) {
        const auto& w = elements[e].w;
        const long long number = whole(e + 1);
        const long long group = w[10], object = w[11], count = npe;
        switch (npe) {
            case 4:
            case 8: {
                os.padded(number, 7) << "  " << group << "  " << object << "  " << count << "  ";
                static constexpr int linear[4] = {1, 2, 3, 4};
                static constexpr int quadratic[8] = {1, 5, 2, 6, 3, 7, 4, 8};
                const int* order = npe == 4 ? linear : quadratic;
                for (int k = 0; k < npe; ++k) {
                    if (k > 0) os << "  ";
                    os.padded(w[order[k]], 8);
                }
                break;
            }
            case 3:
                os << number << " " << group << "  " << object << "  " << count << "  ";
                os.padded(w[1], 8) << "  ";
                os.padded(w[2], 8) << "  ";
                os.padded(w[3], 8);
                break;
            default: {
                os << number << " " << group << "  " << object << "  " << count << "  ";
                static constexpr int order[6] = {1, 4, 2, 5, 3, 6};
                for (int k = 0; k < 6; ++k) {
                    if (k > 0) os << "  ";
                    os << static_cast<long long>(w[order[k]]);
                }
                break;
            }
        }
        os << '\n';
    }
    for (std::size_t e = 0; e < elements.size(); ++e) {
        os.padded(whole(e + 1), 7) << "   4 "
                                   << "  ";
        for (int k = 1; k <= 4; ++k) {
            if (k > 1) os << "  ";
            os.padded(e < neighbours.size() ? sideWord(neighbours[e].n[k]) : -1, 8);
        }
        os << '\n';
    }
    auto lineRecords = [&os](const std::vector<LineElement>& lines) {
        for (const LineElement& l : lines) {
            for (int k = 0; k < 7; ++k) os << (k ? "  " : "") << static_cast<long long>(l.w[kLineOrder[k]]);
            os << '\n';
        }
    };
    if (!structureNodes.empty() && !lineElements.empty()) {
        os << whole(structureNodes.size()) << "  " << whole(lineElements.size()) << '\n';
        for (const FemNode& n : structureNodes)
            os << static_cast<long long>(n.id) << "  " << n.x << "  " << n.y << '\n';
        lineRecords(lineElements);
    } else {
        os << " 0   0" << '\n';
    }
    if (!thirdList.empty()) {
        os << whole(thirdList.size()) << '\n';
        lineRecords(thirdList);
    } else {
        os << " 0 " << '\n';
    }
}

}  // namespace

bool writeFemFile(const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                  const std::vector<ElementNeighbours>& neighbours, int interfaceFlag, int elementShape,
                  const std::vector<FemNode>& structureNodes, const std::vector<LineElement>& lineElements,
                  const std::vector<LineElement>& thirdList, int outputFormat, const std::string& fileName,
                  std::string& error)
{
    if (outputFormat != 0 && outputFormat != 1) {
        error = "wrong output format";
        return false;
    }
    const int npe = nodesPerElement(interfaceFlag, elementShape);
    std::ofstream out(fileName, outputFormat == 0 ? std::ios::out | std::ios::binary | std::ios::trunc
                                                  : std::ios::out | std::ios::trunc);
    if (!out) {
        error = "Can not open file " + fileName;
        return false;
    }
    if (outputFormat == 0)
        writeBinaryForm(out, nodes, elements, neighbours, npe, structureNodes, lineElements, thirdList);
    else
        writeTextForm(out, nodes, elements, neighbours, npe, structureNodes, lineElements, thirdList);
    out.close();
    if (out.fail()) {
        std::remove(fileName.c_str());
        error = "Can not write file " + fileName;
        return false;
    }
    return true;
}

bool validateFinishedMesh(const std::vector<FemNode>& nodes, const std::vector<MeshElement>& elements,
                          int nodesPerElementCount, std::string& error)
{
    const int n = static_cast<int>(nodes.size());
    for (int k = 0; k < n; ++k) {
        if (nodes[k].id != k + 1) {
            error = "invalid node " + std::to_string(k + 1) + ": numbered " + std::to_string(nodes[k].id);
            return false;
        }
    }
    const int corners = (nodesPerElementCount == 3 || nodesPerElementCount == 6) ? 3 : 4;
    // Corners coincide closer than a small share of the mesh's extent, so
    // that a mesh and its scaled copy get the same verdict.
    const double coincide = 1e-10 * extentOf(nodes);
    for (std::size_t e = 0; e < elements.size(); ++e) {
        const auto& w = elements[e].w;
        const std::string name = "invalid element " + std::to_string(e + 1);
        for (int k = 1; k <= nodesPerElementCount; ++k) {
            if (w[k] < 1 || w[k] > n) {
                error = name + ": node reference " + std::to_string(w[k]) + " out of range";
                return false;
            }
        }
        std::set<int> distinct(w.begin() + 1, w.begin() + 1 + corners);
        if (static_cast<int>(distinct.size()) != corners) {
            error = name + ": repeated corner node";
            return false;
        }
        for (int a = 0; a < corners; ++a) {
            for (int b = a + 1; b < corners; ++b) {
                const FemNode& p = nodes[w[1 + a] - 1];
                const FemNode& q = nodes[w[1 + b] - 1];
                if (!(std::hypot(p.x - q.x, p.y - q.y) > coincide)) {
                    error = name + ": corners " + std::to_string(a + 1) + " and " + std::to_string(b + 1) + " coincide";
                    return false;
                }
            }
        }
        double area2 = 0.0;
        for (int k = 0; k < corners; ++k) {
            const FemNode& a = nodes[w[1 + k] - 1];
            const FemNode& b = nodes[w[1 + (k + 1) % corners] - 1];
            area2 += a.x * b.y - b.x * a.y;
        }
        if (!(area2 > 0.0)) {
            error = name + ": area not positive";
            return false;
        }
        std::array<FemNode, 4> corner{};
        for (int k = 0; k < corners; ++k) corner[k] = nodes[w[1 + k] - 1];
        if (corners == 4 && quadSelfIntersects(corner)) {
            error = name + ": sides cross each other (self-intersecting)";
            return false;
        }
        static const double flatCosine = std::cos(kLargestCornerAngle * std::acos(-1.0) / 180.0);
        for (int k = 0; k < corners; ++k) {
            const FemNode& a = corner[(k + corners - 1) % corners];
            const FemNode& b = corner[k];
            const FemNode& c = corner[(k + 1) % corners];
            const double nx = c.x - b.x, ny = c.y - b.y, px = a.x - b.x, py = a.y - b.y;
            const double norms = std::sqrt((nx * nx + ny * ny) * (px * px + py * py));
            if (nx * py - ny * px > 0.0 && nx * px + ny * py > flatCosine * norms) continue;  // convex, not flat
            const double angle = interiorAngleDegrees(a, b, c);
            if (!(angle < kLargestCornerAngle)) {
                char text[160];
                std::snprintf(text, sizeof text, ": corner %d (node %d at %.6g, %.6g) has an angle of %.2f degrees",
                              k + 1, w[1 + k], corner[k].x, corner[k].y, angle);
                error = name + text;
                return false;
            }
        }
    }
    return true;
}

bool quadSelfIntersects(const std::array<FemNode, 4>& c)
{
    auto side = [](const FemNode& a, const FemNode& b, const FemNode& p) {
        return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    };
    auto cross = [&](const FemNode& a, const FemNode& b, const FemNode& p, const FemNode& q) {
        const double s1 = side(a, b, p), s2 = side(a, b, q), s3 = side(p, q, a), s4 = side(p, q, b);
        return ((s1 > 0.0 && s2 < 0.0) || (s1 < 0.0 && s2 > 0.0)) && ((s3 > 0.0 && s4 < 0.0) || (s3 < 0.0 && s4 > 0.0));
    };
    return cross(c[0], c[1], c[2], c[3]) || cross(c[1], c[2], c[3], c[0]);
}

}  // namespace tessaro
