// The model lists of a run: append, last record and release.
#include <gtest/gtest.h>

#include "Tessaro_DLL/model/Records.h"

using namespace tessaro;

TEST(ModelLists, LastIsTheMostRecentlyAppendedRecord) {
    ModelLists lists;
    EXPECT_EQ(lastRegion(lists), nullptr);
    EXPECT_EQ(lastStructureElement(lists), nullptr);
    EXPECT_EQ(lastGeometryEntity(lists), nullptr);
    for (int k = 1; k <= 3; ++k) {
        appendRegion(lists);
        lastRegion(lists)->objIndex = 100 + k;
        appendGeometryEntity(lists);
        lastGeometryEntity(lists)->index = k;
    }
    // Records appended earlier stay where they are.
    RegionRecord* first = &lists.regions.front();
    appendRegion(lists);
    EXPECT_EQ(first->objIndex, 101);
    EXPECT_EQ(lastRegion(lists), &lists.regions.back());
    EXPECT_EQ(lists.regions.size(), 4u);
    EXPECT_EQ(lastGeometryEntity(lists)->index, 3);
    appendStructureElement(lists);
    EXPECT_TRUE(lastStructureElement(lists)->name.empty());
}

TEST(ModelLists, FreeEmptiesEverything) {
    ModelLists lists;
    freeModelLists(lists);
    EXPECT_TRUE(lists.regions.empty());
    appendRegion(lists);
    RegionRecord& r = *lastRegion(lists);
    r.sides.resize(2);
    r.sides[0].segments.resize(3);
    r.nodes.resize(10);
    appendStructureElement(lists);
    lastStructureElement(lists)->segments.resize(1);
    appendGeometryEntity(lists);
    lastGeometryEntity(lists)->xs = {1, 2};
    releaseRegion(r);
    EXPECT_TRUE(r.sides.empty());
    EXPECT_TRUE(r.nodes.empty());
    freeModelLists(lists);
    EXPECT_TRUE(lists.regions.empty());
    EXPECT_TRUE(lists.structureElements.empty());
    EXPECT_TRUE(lists.entities.empty());
}
