// Element side flags and the bounding box of the nodes.

#include <gtest/gtest.h>

#include <vector>

#include "model/ModelData.h"

namespace {

struct Element {
    int id;
    int material;
    std::vector<int> nodes;
};

void SetElements(ModelData& m, int nodesPerElement, const std::vector<Element>& elements) {
    m.elementTable = std::make_unique<ElementTable>(nodesPerElement);
    m.elementTable->SetModel(&m);
    for (const Element& e : elements) m.elementTable->AddElementRow(e.id, e.material, e.nodes);
    m.elementTable->CountRows();
    m.elementTable->RebuildIndex();
    m.edgeFlags.assign(elements.size() * 4, 7);
}

// Nodes on a 3 x 3 grid:   7 8 9 / 4 5 6 / 1 2 3; sides run corner k to k + 1.
TEST(EdgeFlags, TwoByTwoMesh) {
    ModelData m;
    SetElements(m, 4, {{1, 1, {1, 2, 5, 4}}, {2, 2, {2, 3, 6, 5}}, {3, 1, {4, 5, 8, 7}}, {4, 1, {5, 6, 9, 8}}});
    m.BuildEdgeFlags();
    const std::vector<int> expected = {
        0, 1, 1, 0,  // element 1: its sides to 2 and 3 come first
        0, 0, 1, 2,  // element 2: shares with 1 across materials 2 and 1
        3, 1, 0, 0,  // element 3: same material as 1
        2, 0, 0, 3,  // element 4: different material from 2, same as 3
    };
    EXPECT_EQ(m.edgeFlags, expected);
    EXPECT_EQ(m.CountDistinctEdges(), 12);
    EXPECT_EQ(m.vlasovEdgeCount, 8);
}

TEST(EdgeFlags, PairsSingletonsAndOddMeshes) {
    struct Case {
        const char* what;
        int nodesPerElement;
        std::vector<Element> elements;
        std::vector<int> flags;
        int distinct;
    };
    const Case cases[] = {
        {"single element", 4, {{1, 1, {1, 2, 3, 4}}}, {0, 0, 0, 0}, 4},
        {"same material", 4, {{1, 3, {1, 2, 5, 4}}, {2, 3, {2, 3, 6, 5}}}, {0, 1, 0, 0, 0, 0, 0, 3}, 7},
        {"different material", 4, {{1, 3, {1, 2, 5, 4}}, {2, 4, {2, 3, 6, 5}}}, {0, 1, 0, 0, 0, 0, 0, 2}, 7},
        // The first element in row order takes 1, whatever its number.
        {"row order decides", 4, {{9, 1, {2, 3, 6, 5}}, {1, 1, {1, 2, 5, 4}}}, {0, 0, 0, 1, 0, 3, 0, 0}, 7},
        // Mid-side nodes do not take part; corners are the first four.
        {"eight-node elements",
         8,
         {{1, 1, {1, 3, 13, 11, 2, 8, 12, 6}}, {2, 1, {3, 5, 15, 13, 4, 10, 14, 8}}},
         {0, 1, 0, 0, 0, 0, 0, 3},
         7},
        // A copy of an element already paired finds no free partner.
        {"duplicated element",
         4,
         {{1, 1, {1, 2, 5, 4}}, {2, 1, {2, 3, 6, 5}}, {3, 2, {2, 3, 6, 5}}},
         {0, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0},
         11},
        // Sides in the same direction are not a shared pair.
        {"same orientation", 4, {{1, 1, {1, 2, 5, 4}}, {2, 1, {2, 5, 6, 3}}}, {0, 0, 0, 0, 0, 0, 0, 0}, 8},
    };
    for (const Case& c : cases) {
        ModelData m;
        SetElements(m, c.nodesPerElement, c.elements);
        m.BuildEdgeFlags();
        EXPECT_EQ(m.edgeFlags, c.flags) << c.what;
        EXPECT_EQ(m.CountDistinctEdges(), c.distinct) << c.what;
    }
}

TEST(EdgeFlags, MissingOrShortFlagArray) {
    ModelData m;
    m.BuildEdgeFlags();  // no element table
    EXPECT_EQ(m.vlasovEdgeCount, 0);
    EXPECT_EQ(m.CountDistinctEdges(), 0);
    SetElements(m, 4, {{1, 1, {1, 2, 3, 4}}});
    m.edgeFlags.clear();
    m.BuildEdgeFlags();
    EXPECT_EQ(m.edgeFlags.size(), 4u);
    EXPECT_EQ(m.vlasovEdgeCount, 4);

    // A table that lost elements loses their flags: the drawing reads one
    // flag per side of the elements there are.
    SetElements(m, 4, {{1, 1, {1, 2, 3, 4}}, {2, 1, {2, 5, 6, 3}}});
    m.BuildEdgeFlags();
    EXPECT_EQ(m.edgeFlags.size(), 8u);
    SetElements(m, 4, {{1, 1, {1, 2, 3, 4}}});
    m.BuildEdgeFlags();
    EXPECT_EQ(m.edgeFlags, (std::vector<int>{0, 0, 0, 0}));
}

TEST(BoundingBox, ExtentsFromTheCountedNodes) {
    ModelData m;
    m.nodeTable = std::make_unique<NodeTable>();
    m.nodeTable->AddNodeRow(1, -0.5, 2, -1);
    m.nodeTable->AddNodeRow(2, 0.25, 6, 3);
    m.nodeTable->AddNodeRow(3, 0, -4, 0);
    m.nodeTable->AddNodeRow(4, 100, 100, 100);  // beyond the node count
    m.nodeTable->CountRows();
    m.nodeTable->RebuildIndex();
    m.nodeCount = 3;
    m.UpdateBoundingBox();
    EXPECT_EQ(m.maxX, 0.25);
    EXPECT_EQ(m.minX, -0.5);
    EXPECT_EQ(m.maxY, 6);
    EXPECT_EQ(m.minY, -4);
    EXPECT_EQ(m.maxZ, 3);
    EXPECT_EQ(m.minZ, -1);
    EXPECT_EQ(m.extentY, 10);
    EXPECT_EQ(m.extentZ, 4);
    EXPECT_EQ(m.centreY, 1);
    EXPECT_EQ(m.centreZ, 1);
    EXPECT_EQ(m.maxExtent, 10);

    // A node count larger than the table reads only the rows that exist.
    m.nodeCount = 10;
    m.UpdateBoundingBox();
    EXPECT_EQ(m.maxY, 100);

    m.nodeCount = 0;
    m.UpdateBoundingBox();
    EXPECT_EQ(m.maxY, 0);
    EXPECT_EQ(m.maxExtent, 0);
}

}  // namespace
