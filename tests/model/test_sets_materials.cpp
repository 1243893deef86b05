#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/DataTable.h"

namespace {

SetMemberList Members(const std::vector<std::string>& firsts) {
    SetMemberList list;
    for (const std::string& f : firsts) list.AddSetMemberRow(f, 0, 1, 1);
    list.CountSetMemberRows();
    list.RebuildSetMemberIndex();
    return list;
}

void Finish(SetTable& t) {
    t.CountConcentratedActionRows();
    t.RebuildConcentratedActionIndex();
}

TEST(SetTable, AllSetIsAddedOnce) {
    SetTable t(1);
    t.AddAllSet();
    t.AddAllSet();
    ASSERT_EQ(t.GetCount(), 1);
    EXPECT_EQ(t.GetRowName(0), "ALL");
    EXPECT_EQ(t.GetRowField0At(0), nullptr);

    SetTable lower(2);
    lower.AddSetRow("all", nullptr);
    Finish(lower);
    lower.AddAllSet();
    EXPECT_EQ(lower.GetCount(), 2);
    EXPECT_EQ(lower.FindRowByName("ALL"), 1);
}

TEST(SetTable, NameSearchIsCaseSensitive) {
    SetTable t(1);
    t.AddAllSet();
    EXPECT_EQ(t.FindRowByName("ALL"), 0);
    EXPECT_EQ(t.FindRowByName("all"), -1);
    EXPECT_EQ(t.FindRowByName("AL"), -1);
    EXPECT_EQ(t.FindRowByName("ALL "), -1);
}

TEST(SetTable, CompareTreatsTwoListlessSetsAsEqual) {
    SetTable a(1), b(1);
    a.AddAllSet();
    b.AddAllSet();
    EXPECT_FALSE(a.CompareSetTable(b));

    const SetMemberList m = Members({"1"});
    a.AddSetRow("S", &m);
    b.AddSetRow("S", &m);
    Finish(a);
    Finish(b);
    EXPECT_FALSE(a.CompareSetTable(b));

    b.GetRowField0At(1)->SetFinal(0, 9);
    EXPECT_TRUE(a.CompareSetTable(b));
    b.GetRowField0At(1)->SetFinal(0, 0);

    b.ReplaceSetRowMembers(1, nullptr);
    EXPECT_TRUE(a.CompareSetTable(b)) << "a list on one side only";
    EXPECT_TRUE(b.CompareSetTable(a));

    SetTable c(1);
    c.AddAllSet();
    EXPECT_TRUE(a.CompareSetTable(c)) << "different counts";
}

TEST(SetTable, NumericMemberTest) {
    struct Case {
        const char* first;
        bool numeric;
    };
    for (const Case& c : {Case{"0", false}, Case{"ALL", false}, Case{"-3", false}, Case{"7", true}, Case{"ALL,3", true},
                          Case{" 4", false}, Case{"EDGE,,x", false}, Case{"05", false}}) {
        const SetMemberList m = Members({c.first});
        EXPECT_EQ(m.HasNumericMember(), c.numeric) << c.first;
    }

    const SetMemberList numbered = Members({"7"});
    SetTable one(2);
    one.AddSetRow("S", &numbered);
    Finish(one);
    EXPECT_FALSE(one.HasNumericSetMembers()) << "a table of exactly one set";
    one.AddAllSet();
    EXPECT_TRUE(one.HasNumericSetMembers());

    SetTable names(2);
    const SetMemberList byName = Members({"S"});
    names.AddAllSet();
    names.AddSetRow("T", &byName);
    Finish(names);
    EXPECT_FALSE(names.HasNumericSetMembers());
}

TEST(SetMemberList, SortsByTextInByteOrder) {
    SetMemberList m = Members({"9", "10", "2"});
    m.SortSetMemberRows();
    EXPECT_EQ(m.GetText(0), "10");
    EXPECT_EQ(m.GetText(1), "2");
    EXPECT_EQ(m.GetText(2), "9");
    EXPECT_EQ(m.GetHead(), m.GetMember(0));
    EXPECT_EQ(m.GetTail(), m.GetMember(2));
}

TEST(SetTable, SortsByNameInByteOrder) {
    SetTable t(1);
    for (const char* n : {"b", "ALL", "B", "a"}) t.AddSetRow(n, nullptr);
    Finish(t);
    t.SortSetRows();
    std::vector<std::string> names;
    for (int i = 0; i < t.GetCount(); ++i) names.push_back(t.GetRowName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"ALL", "B", "a", "b"}));
}

TEST(SetTable, SetsOwnCopiesOfTheirLists) {
    SetMemberList given = Members({"1", "5"});
    SetTable t(1);
    t.AddSetRow("S", &given);
    Finish(t);
    given.SetText(0, "100");
    given.RemoveSetMemberRow(1);
    const SetMemberList* own = t.GetRowField0At(0);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, &given);
    EXPECT_EQ(own->GetCount(), 2);
    EXPECT_EQ(own->GetText(0), "1");

    // A list replaced by a copy of itself survives.
    t.ReplaceSetRowMembers(0, t.GetRowField0At(0));
    ASSERT_NE(t.GetRowField0At(0), nullptr);
    EXPECT_EQ(t.GetRowField0At(0)->GetText(1), "5");
}

TEST(SetMemberList, CopyFromNullLeavesTargetUnchanged) {
    SetMemberList m = Members({"3"});
    m.CopySetMemberList(nullptr);
    EXPECT_EQ(m.GetCount(), 1);
    EXPECT_EQ(m.GetText(0), "3");
    EXPECT_EQ(SetMemberList::CopyOf(nullptr), nullptr);
}

TEST(SetMemberList, DefaultsCompareAndValueCopy) {
    SetMemberRow fresh;
    EXPECT_EQ(fresh.first, "0");
    EXPECT_EQ(fresh.final, 0);
    EXPECT_EQ(fresh.increment, 1);
    EXPECT_EQ(fresh.side, 1);

    SetMemberList a, b;
    a.AddSetMemberRow("1", 10, 2, 3);
    b.AddSetMemberRow("1", 10, 2, 4);
    a.CountSetMemberRows();
    b.CountSetMemberRows();
    a.RebuildSetMemberIndex();
    b.RebuildSetMemberIndex();
    EXPECT_TRUE(a.CompareSetMemberList(b));
    b.CopySetMemberRowValues(a);
    EXPECT_FALSE(a.CompareSetMemberList(b));
    EXPECT_EQ(b.GetSide(0), 3);
    EXPECT_EQ(b.GetFirstNumber(0), 1);
    b.SetText(0, "Set1");
    EXPECT_EQ(b.GetFirstNumber(0), 0);
}

TEST(SetTable, FullAndValueCopies) {
    const SetMemberList m = Members({"4"});
    SetTable src(3);
    src.AddAllSet();
    src.AddSetRow("E", &m);
    Finish(src);

    SetTable copy;
    copy.CopySetTable(src);
    EXPECT_EQ(copy.GetSetKind(), 3);
    EXPECT_FALSE(copy.CompareSetTable(src));
    EXPECT_NE(copy.GetRowField0At(1), src.GetRowField0At(1));

    SetTable same(3);
    const SetMemberList other = Members({"9", "8"});
    same.AddSetRow("X", &other);
    same.AddSetRow("Y", nullptr);
    Finish(same);
    same.CopySetRowValues(src);
    EXPECT_EQ(same.GetRowName(0), "ALL");
    EXPECT_EQ(same.GetRowField0At(0), nullptr);
    ASSERT_NE(same.GetRowField0At(1), nullptr);
    EXPECT_EQ(same.GetRowField0At(1)->GetText(0), "4");
    EXPECT_FALSE(same.CompareSetTable(src));

    same.RemoveSetRow(0);
    EXPECT_EQ(same.GetCount(), 1);
    EXPECT_EQ(same.GetRowName(0), "E");
    same.InsertSetRow(1, "Z", &m);
    EXPECT_EQ(same.GetTail(), same.GetRow(1));
}

// ---------------------------------------------------------------------------
// Materials

MaterialTable OneRow(int type, const RebarLayers& rebar, const RibSection& rib, const BoxSection& box,
                     const Rigidities& d) {
    MaterialTable t;
    switch (type) {
        case kMaterialRebar: t.AddRebarMaterialRow("ALL", type, 30e6, 200e6, 0.2, 0.5, rebar, d); break;
        case kMaterialRib: t.AddRibMaterialRow("ALL", type, 30e6, 200e6, 0.2, 0.5, rib, d); break;
        case kMaterialBox: t.AddBoxMaterialRow("ALL", type, 30e6, 200e6, 0.2, 0.5, box, d); break;
        case kMaterialUserOrtho: t.AddUserOrthoMaterialRow("ALL", type, 30e6, 200e6, 0.2, 0.5, d); break;
        default: t.AddMaterialRow("ALL", type, 30e6, 200e6, 0.2, 0.5);
    }
    t.CountMaterialRows();
    t.RebuildMaterialIndex();
    return t;
}

const RebarLayers kRebar{1, 2, 3, 4, 5, 6, 7, 8};
const RibSection kRib{0.5, 0.2, 1.0, 0.6, 0.3, 1.2, 0.7};
const BoxSection kBox{3, 1.5, 0.8};
const Rigidities kD{10, 20, 30, 40, 50, 60};

TEST(MaterialRow, NewRowDefaults) {
    MaterialTable t;
    t.AddMaterialRow("1", 0, 1, 2, 0.3, 0.4);
    t.CountMaterialRows();
    t.RebuildMaterialIndex();
    EXPECT_EQ(t.GetRibValues(0).torsionalReduction, 1.0);
    EXPECT_EQ(t.GetRibValues(0), (RibSection{0, 0, 0, 0, 0, 0, 1.0}));
    EXPECT_EQ(t.GetMaterialValues(0), RebarLayers{});
    EXPECT_EQ(t.GetBoxValues(0), BoxSection{});
    EXPECT_EQ(t.GetRigidities(0), Rigidities{});
    EXPECT_EQ(t.GetMaterialE(0), 1.0);
    EXPECT_EQ(t.GetMaterialEs(0), 2.0);
    EXPECT_EQ(t.GetMaterialNu(0), 0.3);
    EXPECT_EQ(t.GetMaterialThickness(0), 0.4);
    EXPECT_EQ(t.GetMaterialRowTextAt(0), "1");
}

TEST(MaterialTable, FullCopyKeepsTheFieldsOfEachType) {
    for (int type = 0; type <= 4; ++type) {
        const MaterialTable src = OneRow(type, kRebar, kRib, kBox, kD);
        MaterialTable copy;
        copy.CopyMaterialTable(src);
        ASSERT_EQ(copy.GetCount(), 1) << type;
        EXPECT_FALSE(copy.CompareMaterialTable(src)) << type;
        EXPECT_EQ(copy.GetMaterialType(0), type);
        if (type == kMaterialRebar) {
            EXPECT_EQ(copy.GetMaterialValues(0), kRebar);
        }
        if (type == kMaterialRib) {
            EXPECT_EQ(copy.GetRibValues(0).torsionalReduction, 0.7);
        }
        if (type == kMaterialBox) {
            EXPECT_EQ(copy.GetBoxValues(0), kBox);
        }
        if (type >= kMaterialRebar) {
            EXPECT_EQ(copy.GetMaterialDsz(0), 60.0) << type;
        } else {
            EXPECT_EQ(copy.GetRigidities(0), Rigidities{});
        }
    }
}

TEST(MaterialTable, CompareLooksAtTheSectionDataOfTheRowType) {
    struct Case {
        const char* what;
        int type;
        void (*change)(MaterialTable&);
        bool differs;
    };
    const Case cases[] = {
        {"box width", kMaterialBox,
         [](MaterialTable& t) {
             t.SetBoxValues(0, 30e6, 200e6, 0.2, 0.5, {3, 1.6, 0.8});
         },
         true},
        {"rebar derived Dyy", kMaterialRebar,
         [](MaterialTable& t) {
             t.SetMaterialValues(0, {11, 20, 30, 40, 50, 60});
         },
         false},
        {"rib derived Dsz", kMaterialRib,
         [](MaterialTable& t) {
             t.SetMaterialValues(0, {10, 20, 30, 40, 50, 61});
         },
         false},
        {"box derived Dv", kMaterialBox,
         [](MaterialTable& t) {
             t.SetMaterialValues(0, {10, 20, 31, 40, 50, 60});
         },
         false},
        {"typed-in Dyz", kMaterialUserOrtho,
         [](MaterialTable& t) {
             t.SetMaterialValues(0, {10, 20, 30, 41, 50, 60});
         },
         true},
        {"rebar layer x4", kMaterialRebar,
         [](MaterialTable& t) {
             t.SetRebarValues(0, 30e6, 200e6, 0.2, 0.5, {1, 2, 3, 4, 5, 6, 7, 9});
         },
         true},
        {"web height", kMaterialRib,
         [](MaterialTable& t) {
             t.SetRibValues(0, 30e6, 200e6, 0.2, 0.5, {0.55, 0.2, 1.0, 0.6, 0.3, 1.2, 0.7});
         },
         true},
        {"torsional reduction", kMaterialRib,
         [](MaterialTable& t) {
             t.SetRibValues(0, 30e6, 200e6, 0.2, 0.5, {0.5, 0.2, 1.0, 0.6, 0.3, 1.2, 0.8});
         },
         true},
        {"box data of an isotropic row", kMaterialIsotropic,
         [](MaterialTable& t) {
             t.SetBoxValues(0, 30e6, 200e6, 0.2, 0.5, {9, 9, 9});
         },
         false},
        {"Es", kMaterialIsotropic, [](MaterialTable& t) { t.SetBaseValues(0, 30e6, 210e6, 0.2, 0.5); }, true},
        {"element text case", kMaterialIsotropic, [](MaterialTable& t) { t.SetMaterialRowTextAt(0, "all"); }, true},
        {"type code", kMaterialRebar, [](MaterialTable& t) { t.SetMaterialType(0, kMaterialRib); }, true},
    };
    for (const Case& c : cases) {
        const MaterialTable a = OneRow(c.type, kRebar, kRib, kBox, kD);
        MaterialTable b = OneRow(c.type, kRebar, kRib, kBox, kD);
        c.change(b);
        EXPECT_EQ(a.CompareMaterialTable(b), c.differs) << c.what;
        EXPECT_EQ(b.CompareMaterialTable(a), c.differs) << c.what;
        if (c.differs) {
            MaterialTable target = OneRow(c.type, kRebar, kRib, kBox, kD);
            target.CopyMaterialRowValues(b);
            EXPECT_FALSE(target.CompareMaterialTable(b)) << c.what << ": the value copy carries it over";
        }
    }
}

TEST(MaterialTable, ValueCopyCarriesTheWholeRowAndKeepsTheChain) {
    MaterialTable a = OneRow(kMaterialBox, kRebar, kRib, kBox, kD);
    a.AddMaterialRow("2", 0, 1, 1, 0.1, 0.1);
    a.CountMaterialRows();
    a.RebuildMaterialIndex();
    MaterialTable b;
    b.AddMaterialRow("x", 0, 0, 0, 0, 0);
    b.AddMaterialRow("y", 0, 0, 0, 0, 0);
    b.CountMaterialRows();
    b.RebuildMaterialIndex();
    b.CopyMaterialRowValues(a);
    EXPECT_EQ(b.GetMaterialType(0), kMaterialBox);
    EXPECT_EQ(b.GetBoxValues(0).b, 1.5);
    EXPECT_EQ(b.GetMaterialDyy(0), 10.0);
    EXPECT_EQ(b.GetRow(0)->next, b.GetRow(1));
    EXPECT_EQ(b.GetMaterialRowTextAt(1), "2");
}

TEST(MaterialTable, InsertAlwaysGivesAnIsotropicRow) {
    MaterialTable t = OneRow(kMaterialRib, kRebar, kRib, kBox, kD);
    t.InsertMaterialRow(1, "S", 1, 2, 0.25, 0.3);
    t.InsertMaterialRow(0, "T", 1, 2, 0.25, 0.3);
    ASSERT_EQ(t.GetCount(), 3);
    EXPECT_EQ(t.GetMaterialType(0), kMaterialIsotropic);
    EXPECT_EQ(t.GetMaterialType(1), kMaterialRib);
    EXPECT_EQ(t.GetMaterialType(2), kMaterialIsotropic);
    EXPECT_EQ(t.GetRibValues(2).torsionalReduction, 1.0);
    t.RemoveMaterialRow(0);
    EXPECT_EQ(t.GetMaterialRowTextAt(0), "ALL");
}

TEST(MaterialTable, SettersAndGettersByPosition) {
    MaterialTable t = OneRow(kMaterialUserOrtho, kRebar, kRib, kBox, kD);
    t.SetUserOrthoValues(0, 1, 2, 3, 4, {6, 5, 4, 3, 2, 1});
    EXPECT_EQ(t.GetMaterialE(0), 1.0);
    EXPECT_EQ(t.GetMaterialThickness(0), 4.0);
    EXPECT_EQ(t.GetMaterialDyy(0), 6.0);
    EXPECT_EQ(t.GetMaterialDzz(0), 5.0);
    EXPECT_EQ(t.GetMaterialDv(0), 4.0);
    EXPECT_EQ(t.GetMaterialDyz(0), 3.0);
    EXPECT_EQ(t.GetMaterialDsy(0), 2.0);
    EXPECT_EQ(t.GetMaterialDsz(0), 1.0);
    MaterialRow& row = *t.GetRow(0);
    MaterialTable::SetRibRowValues(row, 9, 8, 0.1, 0.2, kRib);
    EXPECT_EQ(t.GetRibValues(0), kRib);
    EXPECT_EQ(t.GetMaterialE(0), 9.0);
}

}  // namespace
