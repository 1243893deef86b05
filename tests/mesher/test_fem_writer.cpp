// The mesh file in text and binary form, written from hand-made meshes, and
// the check of a finished mesh before it is written.
#include <string>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/model/FemWriter.h"

using namespace meshtest;
using namespace tessaro;

namespace {

struct SmallMesh {
    std::vector<FemNode> nodes;
    std::vector<MeshElement> elements;
    std::vector<ElementNeighbours> neighbours;
    std::vector<FemNode> structureNodes;
    std::vector<LineElement> lines;
    std::vector<LineElement> third;
};

SmallMesh oneQuad() {
    SmallMesh m;
    m.nodes = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 1}};
    MeshElement el;
    el.w = {1, 1, 2, 3, 4, 0, 0, 0, 0, 0, 2, 101};
    m.elements = {el};
    ElementNeighbours nb;
    nb.n = {1, -2, -7, -8, -9, 0, 0, 0, 0, 0, 0, 0, 0};
    m.neighbours = {nb};
    return m;
}

std::string write(const SmallMesh& m, int flag, int shape, int format, const fs::path& path) {
    std::string error;
    EXPECT_TRUE(writeFemFile(m.nodes, m.elements, m.neighbours, flag, shape, m.structureNodes, m.lines, m.third, format,
                             path.string(), error))
        << error;
    return readFile(path);
}

// A grid of n x n unit quadrilaterals of 0.25 m, numbered row by row, with
// a structure node and line so that the closing sections follow the
// elements: its files run to several megabytes.
SmallMesh grid(int n) {
    SmallMesh m;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) m.nodes.push_back({static_cast<int>(m.nodes.size()) + 1, 0.25 * i, 0.25 * j});
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int e = static_cast<int>(m.elements.size()) + 1, a = j * (n + 1) + i + 1;
            MeshElement el;
            el.w = {e, a, a + 1, a + n + 2, a + n + 1, 0, 0, 0, 0, 0, 2, 100 + e % 7};
            m.elements.push_back(el);
            ElementNeighbours nb;
            nb.n = {e, j > 0 ? e - n : -2, i + 1 < n ? e + 1 : -2, j + 1 < n ? e + n : -2, i > 0 ? e - 1 : -2};
            m.neighbours.push_back(nb);
        }
    m.structureNodes = {{1, 0.5, 0.5}, {2, 0.75, 0.5}};
    LineElement line;
    line.w = {1, 1, 0, 2, 7, 3, 9, 0, 0};
    m.lines = {line};
    return m;
}

}  // namespace

TEST(FemWriter, NodesPerElementFromFlagAndShape) {
    EXPECT_EQ(nodesPerElement(34, 1), 4);
    EXPECT_EQ(nodesPerElement(34, 0), 3);
    EXPECT_EQ(nodesPerElement(34, 2), 3);
    EXPECT_EQ(nodesPerElement(68, 1), 8);
    EXPECT_EQ(nodesPerElement(68, 0), 6);
}

TEST(FemWriter, OneQuadrilateralInTextForm) {
    const fs::path dir = freshDir("writer-text");
    const std::string text = write(oneQuad(), 34, 1, 1, dir / "q.fem");
    EXPECT_EQ(text,
              "4  1  4  \n"
              "1  0  0\n2  1  0\n3  1  1\n4  0  1\n"
              "      1  2  101  4         1         2         3         4\n"
              "      1   4         -2        -6        -8        -9\n"
              " 0   0\n"
              " 0 \n");
}

TEST(FemWriter, OneQuadrilateralInBinaryForm) {
    const fs::path dir = freshDir("writer-binary");
    const std::string bytes = write(oneQuad(), 34, 1, 0, dir / "q.fem");
    EXPECT_EQ(bytes.size(), 12u + 4 * 20 + 8 * 4 + 6 * 4 + 12u);
    // The file ends with the three zero counts nA, nB, nC.
    EXPECT_EQ(bytes.substr(bytes.size() - 12), std::string(12, '\0'));
    const FemMesh mesh = readFemBinary(dir / "q.fem");
    ASSERT_TRUE(mesh.ok) << mesh.problem;
    EXPECT_EQ(mesh.xy[2], std::make_pair(1.0, 1.0));
    EXPECT_EQ(mesh.elements[0].nodes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(mesh.elements[0].obj, 101);
    EXPECT_EQ(mesh.sides[0], (std::array<int, 6>{1, 4, -2, -6, -8, -9}));
}

// Files of many megabytes, in both forms, read back whole: every node,
// element and side record as the grid made it, and the closing sections
// after them.
TEST(FemWriter, LargeMeshesAreWrittenWhole) {
    const int n = 300;
    const SmallMesh m = grid(n);
    const fs::path dir = freshDir("writer-large");
    for (const int format : {1, 0}) {
        SCOPED_TRACE(format == 1 ? "text" : "binary");
        const std::string bytes = write(m, 34, 1, format, dir / "g.fem");
        EXPECT_GT(bytes.size(), 4000000u);
        const FemMesh mesh = format == 1 ? readFemText(dir / "g.fem") : readFemBinary(dir / "g.fem");
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        ASSERT_EQ(mesh.xy.size(), static_cast<std::size_t>((n + 1) * (n + 1)));
        ASSERT_EQ(mesh.elements.size(), static_cast<std::size_t>(n * n));
        ASSERT_EQ(mesh.sides.size(), mesh.elements.size());
        int wrong = 0;
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) {
                const int k = j * (n + 1) + i;
                if (mesh.nodeIds[k] != k + 1 || mesh.xy[k] != std::make_pair(0.25 * i, 0.25 * j)) ++wrong;
            }
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const int e = j * n + i, a = j * (n + 1) + i + 1;
                const FemElement& el = mesh.elements[e];
                if (el.number != e + 1 || el.obj != 100 + (e + 1) % 7 ||
                    el.nodes != std::vector<int>{a, a + 1, a + n + 2, a + n + 1})
                    ++wrong;
                const std::array<int, 6> side = {
                    e + 1,         4, j > 0 ? e + 1 - n : -2, i + 1 < n ? e + 2 : -2, j + 1 < n ? e + 1 + n : -2,
                    i > 0 ? e : -2};
                if (mesh.sides[e] != side) ++wrong;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(mesh.structXY, (std::vector<std::pair<double, double>>{{0.5, 0.5}, {0.75, 0.5}}));
        ASSERT_EQ(mesh.lines.size(), 1u);
        EXPECT_EQ(mesh.third.size(), 0u);
    }
}

TEST(FemWriter, QuadraticElementsInterleaveOnlyInTextForm) {
    SmallMesh m = oneQuad();
    for (int k = 5; k <= 8; ++k) m.nodes.push_back(FemNode{k, 0.5, 0.5});
    m.elements[0].w = {1, 1, 2, 3, 4, 5, 6, 7, 8, 0, 2, 101};
    const fs::path dir = freshDir("writer-q8");
    const std::vector<std::string> text = [&] {
        write(m, 68, 1, 1, dir / "q.fem");
        return readLines(dir / "q.fem");
    }();
    EXPECT_EQ(text[9],
              "      1  2  101  8         1         5         2         6         3         7         4         8");
    write(m, 68, 1, 0, dir / "b.fem");
    const FemMesh binary = readFemBinary(dir / "b.fem");
    ASSERT_TRUE(binary.ok);
    EXPECT_EQ(binary.elements[0].nodes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(FemWriter, TriangleLinesInTextForm) {
    SmallMesh m;
    m.nodes = {{1, 0, 0}, {2, 1, 0}, {3, 0, 1}, {4, 0.5, 0}, {5, 0.5, 0.5}, {6, 0, 0.5}};
    MeshElement el;
    el.w = {1, 1, 2, 3, 4, 5, 6, 0, 0, 0, 7, 9};
    m.elements = {el};
    ElementNeighbours nb;
    nb.n = {1, -2, -2, -3, 0};
    m.neighbours = {nb};
    const fs::path dir = freshDir("writer-tri");
    write(m, 34, 0, 1, dir / "t3.fem");
    EXPECT_EQ(readLines(dir / "t3.fem")[7], "1 7  9  3         1         2         3");
    write(m, 68, 0, 1, dir / "t6.fem");
    const std::vector<std::string> t6 = readLines(dir / "t6.fem");
    EXPECT_EQ(t6[0], "6  1  6  ");
    EXPECT_EQ(t6[7], "1 7  9  6  1  4  2  5  3  6");
    EXPECT_EQ(t6[8], "      1   4         -2        -2        -3         0");
}

TEST(FemWriter, StructureSections) {
    SmallMesh m = oneQuad();
    LineElement line;
    line.w = {1, 10, 0, 11, 4, 1, 5, 2, 31};
    m.lines = {line};
    m.third = {line, line};
    const fs::path dir = freshDir("writer-structure");

    // Without structure nodes the text form drops the line elements ...
    std::vector<std::string> text = (write(m, 34, 1, 1, dir / "a.fem"), readLines(dir / "a.fem"));
    ASSERT_EQ(text.size(), 11u);
    EXPECT_EQ(text[7], " 0   0");
    EXPECT_EQ(text[8], "2");
    EXPECT_EQ(text[9], "1  1  4  5  10  0  11");
    // ... and the binary form keeps both lists.
    write(m, 34, 1, 0, dir / "a.bin");
    FemMesh binary = readFemBinary(dir / "a.bin");
    ASSERT_TRUE(binary.ok) << binary.problem;
    EXPECT_TRUE(binary.structIds.empty());
    ASSERT_EQ(binary.lines.size(), 1u);
    EXPECT_EQ(binary.lines[0].w, (std::array<int, 7>{1, 1, 4, 5, 10, 0, 11}));
    EXPECT_EQ(binary.third.size(), 2u);

    m.structureNodes = {{10, 0.25, 0.5}, {11, 0.75, 0.5}};
    text = (write(m, 34, 1, 1, dir / "b.fem"), readLines(dir / "b.fem"));
    EXPECT_EQ(text[7], "2  1");
    EXPECT_EQ(text[8], "10  0.25  0.5");
    EXPECT_EQ(text[10], "1  1  4  5  10  0  11");
    const FemMesh parsed = readFemText(dir / "b.fem");
    ASSERT_TRUE(parsed.ok) << parsed.problem;
    EXPECT_EQ(parsed.structIds, (std::vector<int>{10, 11}));
}

TEST(FemWriter, RefusesOtherFormatsAndUnopenableFiles) {
    const fs::path dir = freshDir("writer-refuse");
    const SmallMesh m = oneQuad();
    std::string error;
    EXPECT_FALSE(
        writeFemFile(m.nodes, m.elements, m.neighbours, 34, 1, {}, {}, {}, 2, (dir / "x.fem").string(), error));
    EXPECT_EQ(error, "wrong output format");
    EXPECT_FALSE(fs::exists(dir / "x.fem"));
    EXPECT_FALSE(writeFemFile(m.nodes, m.elements, m.neighbours, 34, 1, {}, {}, {}, 1,
                              (dir / "missing" / "x.fem").string(), error));
    EXPECT_EQ(error, "Can not open file " + (dir / "missing" / "x.fem").string());
}

TEST(FemWriter, FinishedMeshCheck) {
    struct Case {
        const char* name;
        std::array<int, 12> words;
        const char* error;  // nullptr: valid
    };
    const Case cases[] = {
        {"counter-clockwise", {1, 1, 2, 3, 4, 0, 0, 0, 0, 0, 2, 101}, nullptr},
        {"clockwise", {1, 1, 4, 3, 2, 0, 0, 0, 0, 0, 2, 101}, "invalid element 1: area not positive"},
        {"node out of range",
         {1, 1, 2, 3, 5, 0, 0, 0, 0, 0, 2, 101},
         "invalid element 1: node reference 5 out of range"},
        {"node zero", {1, 1, 2, 0, 4, 0, 0, 0, 0, 0, 2, 101}, "invalid element 1: node reference 0 out of range"},
        {"repeated corner", {1, 1, 2, 2, 4, 0, 0, 0, 0, 0, 2, 101}, "invalid element 1: repeated corner node"},
    };
    const SmallMesh base = oneQuad();
    for (const Case& c : cases) {
        std::vector<MeshElement> elements(1);
        elements[0].w = c.words;
        std::string error;
        const bool ok = validateFinishedMesh(base.nodes, elements, 4, error);
        EXPECT_EQ(ok, c.error == nullptr) << c.name;
        if (c.error) {
            EXPECT_EQ(error, c.error) << c.name;
        }
    }
    // Mid-side references of quadratic elements are checked too.
    std::vector<MeshElement> elements(1);
    elements[0].w = {1, 1, 2, 3, 4, 0, 0, 0, 0, 0, 2, 101};
    std::string error;
    EXPECT_FALSE(validateFinishedMesh(base.nodes, elements, 8, error));
    // Triangles use three corners; a degenerate one is refused.
    std::vector<FemNode> line = {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}};
    elements[0].w = {1, 1, 2, 3, 0, 0, 0, 0, 0, 0, 2, 101};
    EXPECT_FALSE(validateFinishedMesh(line, elements, 3, error));
    EXPECT_EQ(error, "invalid element 1: area not positive");
}
