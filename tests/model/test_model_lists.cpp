#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "model/ModelData.h"

namespace {

std::vector<std::string> PathNames(const ModelData& m) {
    std::vector<std::string> names;
    for (const NodePath* p = m.FirstNodePath(); p; p = p->next) names.push_back(p->name);
    return names;
}

// Checks next, previous and the first node's last link against the names.
void ExpectLinked(const ModelData& m, const std::vector<std::string>& names) {
    EXPECT_EQ(PathNames(m), names);
    EXPECT_EQ(m.NodePathCount(), static_cast<int>(names.size()));
    const NodePath* first = m.FirstNodePath();
    if (names.empty()) {
        EXPECT_EQ(first, nullptr);
        return;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->previous, nullptr);
    const NodePath* final = first;
    while (final->next) {
        EXPECT_EQ(final->next->previous, final);
        final = final->next;
    }
    EXPECT_EQ(first->last, final);
}

void AddPaths(ModelData& m, const std::vector<std::string>& names) {
    for (const std::string& n : names) m.AppendNodePath()->name = n;
}

TEST(ModelLists, AppendToAnEmptyListMakesTheNodeItsOwnLast) {
    ModelData m;
    NodePath* p = m.AppendNodePath();
    EXPECT_EQ(m.FirstNodePath(), p);
    EXPECT_EQ(p->last, p);
    EXPECT_EQ(p->next, nullptr);
    EXPECT_EQ(p->previous, nullptr);
    EXPECT_TRUE(p->name.empty());
    EXPECT_TRUE(p->nodes.empty());
    NonlinearSpring* s = m.AppendNonlinearSpring();
    EXPECT_EQ(s->last, s);
    NonlinearAction* a = m.AppendNonlinearAction();
    EXPECT_EQ(a->last, a);
}

struct RemoveCase {
    std::vector<std::string> names;
    int index;
    std::vector<std::string> expected;
};

class ListRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(ListRemove, KeepsBothLinksAndTheLastLink) {
    const RemoveCase& c = GetParam();
    ModelData m;
    AddPaths(m, c.names);
    m.RemoveNodePath(c.index);
    ExpectLinked(m, c.expected);
    // The list stays usable for appends.
    m.AppendNodePath()->name = "new";
    std::vector<std::string> after = c.expected;
    after.push_back("new");
    ExpectLinked(m, after);
}

INSTANTIATE_TEST_SUITE_P(Table, ListRemove,
                         ::testing::Values(RemoveCase{{"a", "b", "c"}, 1, {"a", "c"}},
                                           RemoveCase{{"a", "b", "c"}, 2, {"a", "b"}},
                                           RemoveCase{{"a", "b", "c"}, 0, {"b", "c"}}, RemoveCase{{"a"}, 0, {}},
                                           RemoveCase{{"a", "b"}, 2, {"a", "b"}},
                                           RemoveCase{{"a", "b"}, -1, {"a", "b"}}, RemoveCase{{}, 0, {}}));

TEST(ModelLists, SpringAndActionRemovalKeepLinks) {
    ModelData m;
    for (const char* n : {"s1", "s2", "s3"}) m.AppendNonlinearSpring()->name = n;
    m.RemoveNonlinearSpring(2);
    EXPECT_EQ(m.FirstNonlinearSpring()->last, m.NonlinearSpringAt(1));
    EXPECT_EQ(m.NonlinearSpringNames(), (std::vector<std::string>{"s1", "s2"}));

    for (const char* n : {"g1", "g2", "g3"}) m.AppendNonlinearAction()->groupName = n;
    m.RemoveNonlinearAction(0);
    EXPECT_EQ(m.FirstNonlinearAction()->groupName, "g2");
    EXPECT_EQ(m.FirstNonlinearAction()->previous, nullptr);
    EXPECT_EQ(m.NonlinearActionCount(), 2);
    EXPECT_EQ(m.NonlinearActionAt(1)->groupName, "g3");
    EXPECT_EQ(m.NonlinearActionAt(2), nullptr);
}

TEST(ModelLists, AddAndCopyFillTheNamedFields) {
    ModelData m;
    NodePath path;
    path.mode = 2;
    path.name = "P";
    path.startNode = 1;
    path.endNode = 9;
    path.nodeListText = "1,5,9";
    path.nodes = {1, 5, 9};
    m.AddNodePath(path);
    NodePath other = path;
    other.name = "Q";
    other.nodes = {4};
    m.CopyNodePath(0, other);
    EXPECT_EQ(m.NodePathAt(0)->name, "Q");
    EXPECT_EQ(m.NodePathAt(0)->nodes, (std::vector<int>{4}));
    m.CopyNodePath(3, path);  // no such node: nothing
    EXPECT_EQ(m.NodePathCount(), 1);

    NonlinearAction action;
    action.groupName = "G";
    action.nodeText = "NS";
    action.springName = "S";
    action.reserved = 3;
    action.springNumber = 2;
    action.setSelector = 1;
    action.nodes = {1, 2};
    action.nodeY = {0.5, 0.6};
    NonlinearAction* added = m.AddNonlinearAction(action);
    EXPECT_EQ(added->groupName, "G");
    EXPECT_EQ(added->nodeText, "NS");
    EXPECT_EQ(added->springName, "S");
    EXPECT_EQ(added->reserved, 3);
    EXPECT_EQ(added->springNumber, 2);
    EXPECT_EQ(added->setSelector, 1);
    EXPECT_TRUE(added->nodes.empty()) << "resolved arrays are not copied";
    EXPECT_TRUE(added->nodeY.empty());
    action.groupName = "H";
    m.CopyNonlinearAction(0, action);
    EXPECT_EQ(m.NonlinearActionAt(0)->groupName, "H");
    EXPECT_TRUE(m.NonlinearActionAt(0)->nodes.empty());

    NonlinearSpring spring;
    spring.name = "S";
    spring.deformations = {0, 1};
    spring.forces = {0, 10};
    m.AddNonlinearSpring(spring);
    spring.forces = {0, 20};
    m.CopyNonlinearSpring(-1, spring);
    m.CopyNonlinearSpring(5, spring);
    EXPECT_EQ(m.FirstNonlinearSpring()->forces[1], 10.0);
    m.CopyNonlinearSpring(0, spring);
    EXPECT_EQ(m.FirstNonlinearSpring()->forces[1], 20.0);
}

TEST(ModelLists, NameQueries) {
    ModelData m;
    for (const char* n : {"soft", "Stiff"}) m.AppendNonlinearSpring()->name = n;
    EXPECT_EQ(m.NonlinearSpringName(1), "Stiff");
    EXPECT_EQ(m.NonlinearSpringName(2), "");
    EXPECT_EQ(m.NonlinearSpringName(-1), "");
    EXPECT_TRUE(m.IsSpringNameUsed("soft"));
    EXPECT_FALSE(m.IsSpringNameUsed("Soft"));
    EXPECT_EQ(m.FindNonlinearSpring("Stiff"), m.NonlinearSpringAt(1));
    EXPECT_EQ(m.FindNonlinearSpring("stiff"), nullptr);
    EXPECT_EQ(m.NonlinearSpringCount(), 2);

    for (const char* n : {"A", "B", "G"}) m.AppendNonlinearAction()->groupName = n;
    EXPECT_FALSE(m.IsActionNameUsed(2, "G")) << "only the action being edited has the name";
    EXPECT_TRUE(m.IsActionNameUsed(1, "G"));
    EXPECT_TRUE(m.HasNonlinearActionName("A"));
    EXPECT_FALSE(m.HasNonlinearActionName("a"));

    m.AppendNodePath()->name = "Path";
    EXPECT_TRUE(m.HasNodePathName("Path"));
    EXPECT_FALSE(m.HasNodePathName("path"));
}

TEST(ModelLists, SpringCurveChangeUsesAnAbsoluteTolerance) {
    ModelData m;
    NonlinearSpring stored;
    stored.name = "S";
    stored.deformations = {0.0, 0.01, 0.02};
    stored.forces = {0.0, 5.0, 8.0};
    m.AddNonlinearSpring(stored);

    struct Case {
        const char* what;
        int index;
        void (*edit)(NonlinearSpring&);
        bool changed;
    };
    const Case cases[] = {
        {"all off by 1e-11", 0,
         [](NonlinearSpring& s) {
             for (double& d : s.deformations) d += 1e-11;
             for (double& f : s.forces) f -= 1e-11;
         },
         false},
        {"one force off by 2e-10", 0, [](NonlinearSpring& s) { s.forces[2] += 2e-10; }, true},
        {"one deformation off by 2e-10", 0, [](NonlinearSpring& s) { s.deformations[0] -= 2e-10; }, true},
        {"name", 0, [](NonlinearSpring& s) { s.name = "s"; }, true},
        {"one point fewer", 0,
         [](NonlinearSpring& s) {
             s.deformations.pop_back();
             s.forces.pop_back();
         },
         true},
        {"force array shorter", 0, [](NonlinearSpring& s) { s.forces.pop_back(); }, true},
        {"index -1", -1, [](NonlinearSpring& s) { s.name = "x"; }, false},
        {"index beyond", 1, [](NonlinearSpring& s) { s.name = "x"; }, false},
    };
    for (const Case& c : cases) {
        NonlinearSpring edited = stored;
        c.edit(edited);
        EXPECT_EQ(m.IsSpringCurveChanged(c.index, edited), c.changed) << c.what;
    }
}

TEST(ModelLists, NodePathChangeIgnoresNodeNumbers) {
    NodePath a;
    a.mode = 1;
    a.name = "P";
    a.startNode = 1;
    a.endNode = 5;
    a.nodeListText = "1,5";
    NodePath b = a;
    b.nodes = {1, 2, 3};
    EXPECT_FALSE(ModelData::IsNodePathChanged(&a, &b));
    EXPECT_TRUE(ModelData::IsNodePathChanged(nullptr, &b));
    EXPECT_TRUE(ModelData::IsNodePathChanged(&a, nullptr));
    b.endNode = 6;
    EXPECT_TRUE(ModelData::IsNodePathChanged(&a, &b));
    b = a;
    b.nodeListText = "1, 5";
    EXPECT_TRUE(ModelData::IsNodePathChanged(&a, &b));
    b = a;
    b.mode = 2;
    EXPECT_TRUE(ModelData::IsNodePathChanged(&a, &b));
}

void AddNodes(ModelData& m, const std::vector<std::array<double, 3>>& idYZ) {
    for (const auto& n : idYZ) m.GetNodeTable()->AddNodeRow(static_cast<int>(n[0]), 0.0, n[1], n[2]);
    m.GetNodeTable()->CountNodeRows();
    m.GetNodeTable()->RebuildNodeTableIndex();
}

TEST(ModelLists, NodePathResolvesNodesOnTheSegmentInOrder) {
    ModelData m;
    m.Reset();
    AddNodes(m, {{1, 0, 0}, {2, 3, 0}, {3, 1, 0}, {4, 2, 0}, {5, 4, 0}, {6, 5, 0}, {7, 2, 0.5}});
    std::vector<int> nodes{99};
    m.ResolveNodePath(nodes, "1", "5");
    EXPECT_EQ(nodes, (std::vector<int>{1, 3, 4, 2, 5}));

    m.ResolveNodePath(nodes, "5", "1");
    EXPECT_EQ(nodes, (std::vector<int>{5, 2, 4, 3, 1}));
}

TEST(ModelLists, NodePathFindsEndNodesByNumber) {
    ModelData m;
    m.Reset();
    // Numbers do not follow the row order.
    AddNodes(m, {{10, 0, 0}, {30, 2, 2}, {20, 1, 1}, {40, 3, 3}});
    std::vector<int> nodes;
    m.ResolveNodePath(nodes, "10", "40");
    EXPECT_EQ(nodes, (std::vector<int>{10, 20, 30, 40}));

    m.ResolveNodePath(nodes, "10", "41");
    EXPECT_TRUE(nodes.empty()) << "an absent end node gives no path";
    m.ResolveNodePath(nodes, "0", "40");
    EXPECT_TRUE(nodes.empty());

    ModelData empty;
    empty.ResolveNodePath(nodes, "1", "2");
    EXPECT_TRUE(nodes.empty());
}

TEST(ModelLists, JoinNumbers) {
    EXPECT_EQ(ModelData::JoinNumbers({3, 7, 12}), "3,7,12");
    EXPECT_EQ(ModelData::JoinNumbers({}), "");
    EXPECT_EQ(ModelData::JoinNumbers({-1}), "-1");
}

// A model with the node set (or element set) `name` holding the members
// (first text, last, step).
struct Member {
    const char* first;
    int final;
    int increment;
};

void AddSet(ModelData& m, int kind, const std::string& name, const std::vector<Member>& members) {
    SetMemberList list;
    for (const Member& mb : members) list.AddSetMemberRow(mb.first, mb.final, mb.increment, 1);
    list.CountSetMemberRows();
    list.RebuildSetMemberIndex();
    SetTable* sets = m.GetSetTable(kind);
    sets->AddSetRow(name, &list);
    sets->CountConcentratedActionRows();
    sets->RebuildConcentratedActionIndex();
}

struct NodeListCase {
    const char* what;
    std::vector<Member> members;
    std::vector<int> expected;
};

// A new model with nodes numbered 1 to `count` (in reverse row order).
void NumberedNodes(ModelData& m, int count) {
    m.Reset();
    for (int id = count; id >= 1; --id) m.GetNodeTable()->AddNodeRow(id, 0.0, 1.0 * id, 0.0);
    m.GetNodeTable()->CountNodeRows();
    m.GetNodeTable()->RebuildNodeTableIndex();
}

class NodeSetList : public ::testing::TestWithParam<NodeListCase> {};

TEST_P(NodeSetList, ExpandsEachMemberRange) {
    const NodeListCase& c = GetParam();
    ModelData m;
    NumberedNodes(m, 20);
    AddSet(m, 1, "Inner", {{"12", 13, 1}});
    AddSet(m, 1, "NS", c.members);
    EXPECT_EQ(m.SetNodeList("NS", 2), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NodeSetList,
    ::testing::Values(NodeListCase{"step 5", {{"10", 20, 5}}, {10, 15, 20}},
                      NodeListCase{"two members", {{"1", 2, 1}, {"7", 9, 2}}, {1, 2, 7, 9}},
                      NodeListCase{"step 0", {{"4", 10, 0}}, {4}}, NodeListCase{"negative step", {{"4", 10, -2}}, {4}},
                      NodeListCase{"last below first", {{"8", 0, 1}}, {8}}, NodeListCase{"single", {{"3", 3, 1}}, {3}},
                      // Several items: each number stands alone, final and step unused.
                      NodeListCase{"comma list", {{"1,3,7,9", 0, 1}}, {1, 3, 7, 9}},
                      NodeListCase{"comma list beside a range", {{"2,5", 20, 1}, {"6", 8, 2}}, {2, 5, 6, 8}},
                      // Other names are node sets in their turn; "ALL" is every node.
                      NodeListCase{"nested set", {{"1", 0, 1}, {"Inner", 0, 1}}, {1, 12, 13}},
                      NodeListCase{"set name in a comma list", {{"Inner,4", 0, 1}}, {12, 13, 4}},
                      NodeListCase{"self-naming", {{"2", 0, 1}, {"NS", 0, 1}}, {2}},
                      NodeListCase{"missing set", {{"Nowhere", 0, 1}, {"5", 0, 1}}, {5}},
                      NodeListCase{"range beyond the last node", {{"18", 2000000000, 1}}, {18, 19, 20}}));

TEST(ModelLists, NodeListKinds) {
    ModelData m;
    NumberedNodes(m, 20);
    AddSet(m, 1, "NS", {{"2", 4, 1}});
    EXPECT_EQ(m.SetNodeList("1,3:9:2", 1), (std::vector<int>{1, 3, 5, 7, 9}));
    EXPECT_EQ(m.SetNodeList("19:2000000000:1", 1), (std::vector<int>{19, 20}))
        << "a list range stops at the largest node number";
    EXPECT_TRUE(m.SetNodeList("NS", 3).empty());
    EXPECT_TRUE(m.SetNodeList("ns", 2).empty()) << "set names are case-sensitive";
    std::vector<int> all;
    for (int id = 20; id >= 1; --id) all.push_back(id);
    EXPECT_EQ(m.SetNodeList("ALL", 2), all) << "ALL: every node in table order";
}

TEST(ModelLists, SetsNamingEachOtherExpandEachSetOnce) {
    ModelData m;
    NumberedNodes(m, 9);
    AddSet(m, 1, "A", {{"1", 0, 1}, {"B", 0, 1}});
    AddSet(m, 1, "B", {{"2", 0, 1}, {"A", 0, 1}, {"C", 0, 1}});
    AddSet(m, 1, "C", {{"3", 0, 1}, {"B", 0, 1}, {"A,9", 0, 1}});
    EXPECT_EQ(m.SetNodeList("A", 2), (std::vector<int>{1, 2, 3, 9}));
    EXPECT_EQ(m.SetNodeList("C", 2), (std::vector<int>{3, 2, 1, 9}));
}

std::vector<int> Materials(const ModelData& m) {
    std::vector<int> out;
    for (const ElementRow* r = m.GetElementTable()->GetHead(); r; r = r->next) out.push_back(r->material);
    return out;
}

void AddElements(ModelData& m, int count) {
    m.Reset();
    const std::array<int, 8> nodes{};
    for (int id = 1; id <= count; ++id) m.GetElementTable()->AddElementRow(id, 0, nodes);
    m.GetElementTable()->CountRows();
    m.GetElementTable()->RebuildIndex();
}

TEST(AssignMaterialToSet, CommaListAssignsTheListedElementsOnly) {
    ModelData m;
    AddElements(m, 8);
    AddSet(m, 2, "ES", {{"3,7", 0, 1}});
    m.AssignMaterialToSet("ES", 2);
    EXPECT_EQ(Materials(m), (std::vector<int>{0, 0, 2, 0, 0, 0, 2, 0}));
}

TEST(AssignMaterialToSet, RangesNestedSetsAndAll) {
    ModelData m;
    AddElements(m, 8);
    AddSet(m, 2, "Inner", {{"1", 2, 1}});
    AddSet(m, 2, "Outer", {{"5", 8, 3}, {"Inner", 0, 1}});
    m.AssignMaterialToSet("Outer", 3);
    EXPECT_EQ(Materials(m), (std::vector<int>{3, 3, 0, 0, 3, 0, 0, 3}));

    m.AssignMaterialToSet("Missing", 9);
    EXPECT_EQ(Materials(m), (std::vector<int>{3, 3, 0, 0, 3, 0, 0, 3}));

    m.AssignMaterialToSet("ALL", 1);
    EXPECT_EQ(Materials(m), (std::vector<int>(8, 1)));
}

TEST(AssignMaterialToSet, MemberRangesThatCannotAdvanceGiveTheirFirstNumber) {
    ModelData m;
    AddElements(m, 6);
    AddSet(m, 2, "ES", {{"2", 6, 0}, {"5", 1, 1}, {"9", 12, 1}});
    m.AssignMaterialToSet("ES", 4);
    EXPECT_EQ(Materials(m), (std::vector<int>{0, 4, 0, 0, 4, 0}));
}

TEST(AssignMaterialToSet, RangeBeyondTheLastElementStopsThere) {
    ModelData m;
    AddElements(m, 4);
    AddSet(m, 2, "ES", {{"3", 2000000000, 1}});
    m.AssignMaterialToSet("ES", 5);
    EXPECT_EQ(Materials(m), (std::vector<int>{0, 0, 5, 5}));
}

TEST(AssignMaterialToSet, SelfNamingSetsEnd) {
    ModelData m;
    AddElements(m, 5);
    AddSet(m, 2, "Self", {{"1", 0, 1}, {"Self", 0, 1}});
    AddSet(m, 2, "A", {{"2", 0, 1}, {"B", 0, 1}});
    AddSet(m, 2, "B", {{"3", 0, 1}, {"A", 0, 1}, {"B", 0, 1}});
    m.AssignMaterialToSet("Self", 1);
    EXPECT_EQ(Materials(m), (std::vector<int>{1, 0, 0, 0, 0}));
    m.AssignMaterialToSet("A", 2);
    EXPECT_EQ(Materials(m), (std::vector<int>{1, 2, 2, 0, 0}));
    // A set named in a comma list together with numbers.
    AddSet(m, 2, "Mix", {{"Self,5", 0, 1}});
    m.AssignMaterialToSet("Mix", 7);
    EXPECT_EQ(Materials(m), (std::vector<int>{7, 2, 2, 0, 7}));
}

TEST(ModelLists, ClearReleasesLongLists) {
    ModelData m;
    for (int k = 0; k < 200; ++k) {
        m.AppendNodePath()->nodes = {k};
        m.AppendNonlinearSpring()->deformations = {1.0 * k};
        m.AppendNonlinearAction()->nodeY = {1.0};
    }
    EXPECT_EQ(m.NodePathCount(), 200);
    EXPECT_EQ(m.FirstNodePath()->last, m.NodePathAt(199));
    m.Clear();
    EXPECT_EQ(m.NodePathCount(), 0);
    EXPECT_EQ(m.NonlinearSpringCount(), 0);
    EXPECT_EQ(m.NonlinearActionCount(), 0);
}

}  // namespace
