#pragma once
// Shared helpers of the model keyword file tests: scratch folders, whole-file
// reads and writes, and a field-by-field comparison of two models.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/ModelData.h"

namespace slbtest {

inline std::string FixturePath(const std::string& name) {
    return std::string(BRENNIX_TEST_DATA) + "/model/slb/" + name;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

// A fresh folder below the system's temporary folder, removed with the object.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "slbtest_XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        if (made) path_ = made;
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// True when every table slot that a read model must hold exists and each set
// table holds its "ALL".
inline bool ModelIsWhole(const ModelData& m) {
    if (!m.nodeTable || !m.gridTables[0] || !m.gridTables[1] || !m.elementTable || !m.materialTable ||
        !m.cutLineTable || !m.solverConstraints || !m.concentratedLoads || !m.concentratedStiffness ||
        !m.totalConcentratedStiffness || !m.edgeLoads || !m.edgeStiffness)
        return false;
    for (const auto& t : m.nodalTables)
        if (!t) return false;
    for (const auto& t : m.setTables)
        if (!t || t->FindRowByName("ALL") < 0) return false;
    return m.edgeFlags.size() == static_cast<std::size_t>(m.elementTable->GetCount()) * 4;
}

inline void ExpectMembersEqual(const SetMemberList* a, const SetMemberList* b, const std::string& where) {
    const int na = a ? a->GetCount() : 0;
    const int nb = b ? b->GetCount() : 0;
    ASSERT_EQ(na, nb) << where;
    for (int i = 0; i < na; ++i) {
        const SetMemberRow* ra = a->GetRow(i);
        const SetMemberRow* rb = b->GetRow(i);
        EXPECT_EQ(ra->first, rb->first) << where;
        EXPECT_EQ(ra->final, rb->final) << where;
        EXPECT_EQ(ra->increment, rb->increment) << where;
        EXPECT_EQ(ra->side, rb->side) << where;
    }
}

// Everything the keyword file carries, compared exactly.
inline void ExpectModelsEqual(const ModelData& a, const ModelData& b) {
    EXPECT_EQ(a.halvorFlag, b.halvorFlag);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.soilModel, b.soilModel);
    EXPECT_EQ(a.soilValues, b.soilValues);
    EXPECT_EQ(a.unitCode, b.unitCode);
    EXPECT_EQ(a.initialIncrement, b.initialIncrement);
    EXPECT_EQ(a.initialTime, b.initialTime);
    EXPECT_EQ(a.finalTime, b.finalTime);
    EXPECT_EQ(a.minIncrement, b.minIncrement);
    EXPECT_EQ(a.iterationsPerStep, b.iterationsPerStep);
    EXPECT_EQ(a.errorTolerance, b.errorTolerance);
    EXPECT_EQ(a.patternLoads, b.patternLoads);
    EXPECT_EQ(a.patternCentre, b.patternCentre);
    EXPECT_EQ(a.ring1Radius, b.ring1Radius);
    EXPECT_EQ(a.ring1Points, b.ring1Points);
    EXPECT_EQ(a.ring1Angle, b.ring1Angle);
    EXPECT_EQ(a.ring2Radius, b.ring2Radius);
    EXPECT_EQ(a.ring2Points, b.ring2Points);
    EXPECT_EQ(a.ring2Angle, b.ring2Angle);
    EXPECT_EQ(a.twoRings, b.twoRings);
    EXPECT_EQ(a.patternCount, b.patternCount);
    EXPECT_EQ(a.patternAxial, b.patternAxial);
    EXPECT_EQ(a.templateKind, b.templateKind);
    if (a.templateKind == 1 || a.templateKind == 2) {
        EXPECT_EQ(a.templateElementOption, b.templateElementOption);
        EXPECT_EQ(a.templateIntegration, b.templateIntegration);
        EXPECT_EQ(a.templateKind == 1 ? a.planDims1 : a.planDims2, b.templateKind == 1 ? b.planDims1 : b.planDims2);
        EXPECT_EQ(a.templateAngle, b.templateAngle);
        EXPECT_EQ(a.sectionDims, b.sectionDims);
        EXPECT_EQ(a.templateLoads, b.templateLoads);
        EXPECT_EQ(a.typicalElementSize, b.typicalElementSize);
    }

    ASSERT_TRUE(a.nodeTable && b.nodeTable);
    EXPECT_FALSE(a.nodeTable->CompareNodeTable(*b.nodeTable));
    EXPECT_EQ(a.nodeCount, b.nodeCount);
    ASSERT_TRUE(a.elementTable && b.elementTable);
    EXPECT_FALSE(a.elementTable->CompareElementTable(*b.elementTable));
    EXPECT_EQ(a.elementTable->GetIntegrationOrder1(), b.elementTable->GetIntegrationOrder1());
    EXPECT_EQ(a.elementTable->GetIntegrationOrder2(), b.elementTable->GetIntegrationOrder2());
    EXPECT_EQ(a.edgeFlags, b.edgeFlags);
    ASSERT_TRUE(a.materialTable && b.materialTable);
    EXPECT_FALSE(a.materialTable->CompareMaterialTable(*b.materialTable));
    for (int i = 0; i < std::min(a.materialTable->GetCount(), b.materialTable->GetCount()); ++i)
        EXPECT_EQ(a.materialTable->GetRigidities(i), b.materialTable->GetRigidities(i)) << "material " << i;
    for (int k = 1; k <= 5; ++k) {
        ASSERT_TRUE(a.GetNodalActionTable(k) && b.GetNodalActionTable(k));
        EXPECT_FALSE(a.GetNodalActionTable(k)->CompareWith(*b.GetNodalActionTable(k))) << "nodal kind " << k;
    }
    const ConcentratedActionTable* ca[3] = {a.concentratedLoads.get(), a.concentratedStiffness.get(),
                                            a.totalConcentratedStiffness.get()};
    const ConcentratedActionTable* cb[3] = {b.concentratedLoads.get(), b.concentratedStiffness.get(),
                                            b.totalConcentratedStiffness.get()};
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(ca[k] && cb[k]);
        EXPECT_FALSE(ca[k]->CompareConcentratedActionTable(*cb[k])) << "concentrated " << k;
    }
    for (int k = 1; k <= 2; ++k) {
        ASSERT_TRUE(a.GetEdgeActionTable(k) && b.GetEdgeActionTable(k));
        EXPECT_FALSE(a.GetEdgeActionTable(k)->CompareEdgeActionTable(*b.GetEdgeActionTable(k))) << "edge " << k;
    }
    for (int k = 1; k <= 3; ++k) {
        const SetTable* sa = a.GetSetTable(k);
        const SetTable* sb = b.GetSetTable(k);
        ASSERT_TRUE(sa && sb);
        EXPECT_EQ(sa->GetSetKind(), sb->GetSetKind());
        ASSERT_EQ(sa->GetCount(), sb->GetCount()) << "set kind " << k;
        for (int i = 0; i < sa->GetCount(); ++i) {
            EXPECT_EQ(sa->GetRowName(i), sb->GetRowName(i));
            ExpectMembersEqual(sa->GetRowField0At(i), sb->GetRowField0At(i), sa->GetRowName(i));
        }
    }
    ASSERT_TRUE(a.cutLineTable && b.cutLineTable);
    ASSERT_EQ(a.cutLineTable->GetCount(), b.cutLineTable->GetCount());
    if (a.cutLineTable->GetCount() > 0) {
        EXPECT_EQ(a.cutLineTable->GetInterpolationOption(), b.cutLineTable->GetInterpolationOption());
        EXPECT_EQ(a.cutLineTable->GetSegmentDivisionCode(), b.cutLineTable->GetSegmentDivisionCode());
    }
    for (int i = 0; i < a.cutLineTable->GetCount(); ++i) {
        EXPECT_EQ(a.cutLineTable->GetStartY(i), b.cutLineTable->GetStartY(i));
        EXPECT_EQ(a.cutLineTable->GetStartZ(i), b.cutLineTable->GetStartZ(i));
        EXPECT_EQ(a.cutLineTable->GetEndY(i), b.cutLineTable->GetEndY(i));
        EXPECT_EQ(a.cutLineTable->GetEndZ(i), b.cutLineTable->GetEndZ(i));
    }

    ASSERT_EQ(a.NodePathCount(), b.NodePathCount());
    for (int i = 0; i < a.NodePathCount(); ++i) {
        const NodePath* pa = a.NodePathAt(i);
        const NodePath* pb = b.NodePathAt(i);
        EXPECT_EQ(pa->name, pb->name);
        EXPECT_EQ(pa->nodeListText, pb->nodeListText);
        EXPECT_EQ(pa->startNode, pb->startNode);
        EXPECT_EQ(pa->endNode, pb->endNode);
        EXPECT_EQ(pa->mode, pb->mode);
        EXPECT_EQ(pa->nodes, pb->nodes);
    }
    ASSERT_EQ(a.NonlinearSpringCount(), b.NonlinearSpringCount());
    for (int i = 0; i < a.NonlinearSpringCount(); ++i) {
        const NonlinearSpring* sa = a.NonlinearSpringAt(i);
        const NonlinearSpring* sb = b.NonlinearSpringAt(i);
        EXPECT_EQ(sa->name, sb->name);
        EXPECT_EQ(sa->deformations, sb->deformations);
        EXPECT_EQ(sa->forces, sb->forces);
    }
    ASSERT_EQ(a.NonlinearActionCount(), b.NonlinearActionCount());
    for (int i = 0; i < a.NonlinearActionCount(); ++i) {
        const NonlinearAction* xa = a.NonlinearActionAt(i);
        const NonlinearAction* xb = b.NonlinearActionAt(i);
        EXPECT_EQ(xa->groupName, xb->groupName);
        EXPECT_EQ(xa->nodeText, xb->nodeText);
        EXPECT_EQ(xa->springName, xb->springName);
        EXPECT_EQ(xa->reserved, xb->reserved);
        EXPECT_EQ(xa->springNumber, xb->springNumber);
        EXPECT_EQ(xa->setSelector, xb->setSelector);
        EXPECT_EQ(xa->nodes, xb->nodes);
    }
}

}  // namespace slbtest
