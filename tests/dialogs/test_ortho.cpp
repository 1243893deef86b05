// Orthotropic rigidity dialogs: typed sections give the rigidities of the
// worked cases; refused fields get the stop icon and the focus, and the row
// changes only with a passing OK or Apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/CDlgOrthoBox.h"
#include "dialogs/CDlgOrthoRebar.h"
#include "dialogs/CDlgOrthoRib.h"
#include "dialogs/CDlgOrthoUser.h"

namespace {

using O = OrthoDialog;
using Fields = std::vector<std::pair<int, std::string>>;

enum class Kind { Rebar, Rib, Box, User };

std::unique_ptr<OrthoDialog> Make(Kind k) {
    switch (k) {
        case Kind::Rebar: return std::make_unique<CDlgOrthoRebar>();
        case Kind::Rib: return std::make_unique<CDlgOrthoRib>();
        case Kind::Box: return std::make_unique<CDlgOrthoBox>();
        case Kind::User: return std::make_unique<CDlgOrthoUser>();
    }
    return nullptr;
}

const Fields kRebarCase = {{O::IDC_E, "30000"},
                           {O::IDC_ES, "200000"},
                           {O::IDC_NU, "0.2"},
                           {O::IDC_T, "0.3"},
                           {CDlgOrthoRebar::IDC_AS1, "0.001"},
                           {CDlgOrthoRebar::IDC_X1, "0.1"},
                           {CDlgOrthoRebar::IDC_AS2, "0.0005"},
                           {CDlgOrthoRebar::IDC_X2, "0.12"},
                           {CDlgOrthoRebar::IDC_AS3, "0.0008"},
                           {CDlgOrthoRebar::IDC_X3, "0.09"},
                           {CDlgOrthoRebar::IDC_AS4, "0.0004"},
                           {CDlgOrthoRebar::IDC_X4, "0.11"}};
const Fields kBoxCase = {{O::IDC_E, "30000"},        {O::IDC_NU, "0.2"},           {O::IDC_T, "0.15"},
                         {CDlgOrthoBox::IDC_N, "3"}, {CDlgOrthoBox::IDC_B, "0.9"}, {CDlgOrthoBox::IDC_H, "0.6"}};
const Fields kSlab = {{O::IDC_E, "30000"}, {O::IDC_NU, "0.2"}, {O::IDC_T, "0.3"}};

Fields With(Fields base, const Fields& more) {
    for (const auto& f : more) base.push_back(f);
    return base;
}

class OrthoTest : public dialogtest::DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        FreshRow();
    }
    void FreshRow() {
        table.Clear();
        table.AddMaterialRow("MID", kMaterialIsotropic, 1.0, 2000.0, 0.1, 0.5);
        table.CountMaterialRows();
        table.RebuildMaterialIndex();
    }
    std::unique_ptr<OrthoDialog> Open(Kind k, const Fields& fields) {
        std::unique_ptr<OrthoDialog> d = Make(k);
        d->SetRow(&table, 0, "MID");
        EXPECT_TRUE(d->CreateModeless());
        d->ShowWindow(true);
        for (const auto& [id, text] : fields) EXPECT_TRUE(d->UserType(id, text)) << id;
        return d;
    }
    MaterialTable table;
};

TEST_F(OrthoTest, WorkedSectionsGiveTheirRigidities) {
    struct Case {
        const char* what;
        Kind kind;
        Fields fields;
        Rigidities want;
    };
    const double slab = 30000 * 0.027 / (12 * (1 - 0.04));  // E t^3 / (12 (1 - nu^2))
    const double G = 30000 / 2.4;
    const std::vector<Case> cases = {
        {"reinforcement", Kind::Rebar, kRebarCase, {72.3170833, 73.3583333, 14.5671695, 29.1343391, 3125, 3125}},
        {"box", Kind::Box, kBoxCase, {826.875, 874.8355263, 165.375, 276.1363636, 250, 626.1708756}},
        {"stiffener in y",
         Kind::Rib,
         With(kSlab, {{CDlgOrthoRib::IDC_H1, "0.7"},
                      {CDlgOrthoRib::IDC_B1, "0.35"},
                      {CDlgOrthoRib::IDC_C1, "2.0"},
                      {CDlgOrthoRib::IDC_REDUCTION, "1"}}),
         {869.9293639, slab, 0.2 * slab, G * (0.027 / 3 + 0.7 * 0.35 * 0.35 * 0.35 / 3) / 4, 1058.7659954, 3125}},
        {"stiffener in z",
         Kind::Rib,
         With(kSlab, {{CDlgOrthoRib::IDC_H2, "0.7"},
                      {CDlgOrthoRib::IDC_B2, "0.35"},
                      {CDlgOrthoRib::IDC_C2, "2.0"},
                      {CDlgOrthoRib::IDC_REDUCTION, "1"}}),
         {slab, 869.9293639, 0.2 * slab, G * (0.027 / 3 + 0.7 * 0.35 * 0.35 * 0.35 / 3) / 4, 3125, 1058.7659954}},
        {"no webs: the plain slab",
         Kind::Rib,
         With(kSlab, {{CDlgOrthoRib::IDC_REDUCTION, "0.5"}}),
         {slab, slab, 0.2 * slab, G * 0.027 / 12 * 0.5, 3125, 3125}},
        {"typed in, Dv and Dyz zero",
         Kind::User,
         {{CDlgOrthoUser::IDC_DYY, "10"},
          {CDlgOrthoUser::IDC_DZZ, "20"},
          {CDlgOrthoUser::IDC_DV, "0"},
          {CDlgOrthoUser::IDC_DYZ, "0"},
          {CDlgOrthoUser::IDC_DSY, "30"},
          {CDlgOrthoUser::IDC_DSZ, "40"}},
         {10, 20, 0, 0, 30, 40}},
    };
    const int types[] = {kMaterialRebar, kMaterialRib, kMaterialBox, kMaterialUserOrtho};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreshRow();
        auto d = Open(c.kind, c.fields);
        EXPECT_EQ(d->GetDlgItemText(O::IDC_NAME), "MID");
        d->UserClick(ui::IDOK);
        EXPECT_TRUE(d->IsEnded());
        EXPECT_TRUE(Boxes().empty());
        const Rigidities got = table.GetRigidities(0);
        const double tol = 5e-8;
        EXPECT_NEAR(got.Dyy, c.want.Dyy, tol);
        EXPECT_NEAR(got.Dzz, c.want.Dzz, tol);
        EXPECT_NEAR(got.Dv, c.want.Dv, tol);
        EXPECT_NEAR(got.Dyz, c.want.Dyz, tol);
        EXPECT_NEAR(got.Dsy, c.want.Dsy, tol);
        EXPECT_NEAR(got.Dsz, c.want.Dsz, tol);
        EXPECT_EQ(table.GetMaterialType(0), types[static_cast<int>(c.kind)]);
        // Only the reinforcement dialog shows Es; the others keep the row's.
        EXPECT_EQ(table.GetMaterialEs(0), c.kind == Kind::Rebar ? 200000.0 : 2000.0);
    }
}

TEST_F(OrthoTest, RefusedFieldsGetTheStopIconAndTheFocus) {
    struct Case {
        const char* what;
        Kind kind;
        Fields fields;
        const char* message;
        int focus;
    };
    using R = CDlgOrthoRebar;
    using S = CDlgOrthoRib;
    using B = CDlgOrthoBox;
    using U = CDlgOrthoUser;
    const Fields noArea = {{R::IDC_AS1, "0"}, {R::IDC_AS2, "0"}, {R::IDC_AS3, "0"}, {R::IDC_AS4, "0"}};
    const std::vector<Case> cases = {
        {"no reinforcement", Kind::Rebar, With(kRebarCase, noArea), "Error in reinforcement area", R::IDC_AS1},
        {"x1 above t/2", Kind::Rebar, With(kRebarCase, {{R::IDC_X1, "0.1500001"}}),
         "Error in reinforcement location, X1", R::IDC_X1},
        {"x3 not above 0", Kind::Rebar, With(kRebarCase, {{R::IDC_X3, "0"}}), "Error in reinforcement location, X3",
         R::IDC_X3},
        {"E zero gives no finite rigidity", Kind::Rebar, With(kRebarCase, {{O::IDC_E, "0"}}), "Error in rigidity data",
         O::IDC_E},
        {"stiffener E", Kind::Rib, With(kSlab, {{O::IDC_E, "0"}}), "Young modulus data error", O::IDC_E},
        {"stiffener t", Kind::Rib, With(kSlab, {{O::IDC_T, "-1"}}), "Slab thickness data error", O::IDC_T},
        {"web without width", Kind::Rib, With(kSlab, {{S::IDC_H1, "0.5"}, {S::IDC_C1, "1"}}),
         "Stiffener data error, b1", S::IDC_B1},
        {"web without spacing", Kind::Rib, With(kSlab, {{S::IDC_H1, "0.5"}, {S::IDC_B1, "0.2"}}),
         "Stiffener data error, c1", S::IDC_C1},
        {"width without height", Kind::Rib, With(kSlab, {{S::IDC_B2, "0.2"}, {S::IDC_C2, "1"}}),
         "Stiffener data error, h2", S::IDC_H2},
        {"nu 1", Kind::Rib, With(kSlab, {{O::IDC_NU, "1"}}), "Error in rigidity data", O::IDC_E},
        {"box t", Kind::Box, With(kBoxCase, {{O::IDC_T, "0"}}), "Slab thickness data error", O::IDC_T},
        {"box n", Kind::Box, With(kBoxCase, {{B::IDC_N, "0"}}), "Box section data error, n", B::IDC_N},
        {"box b", Kind::Box, With(kBoxCase, {{B::IDC_B, "0"}}), "Box section data error, b", B::IDC_B},
        {"box h", Kind::Box, With(kBoxCase, {{B::IDC_H, "-0.6"}}), "Box section data error, h", B::IDC_H},
        {"Dyy",
         Kind::User,
         {{U::IDC_DYY, "0"}, {U::IDC_DZZ, "1"}, {U::IDC_DSY, "1"}, {U::IDC_DSZ, "1"}},
         "Error Dyy",
         U::IDC_DYY},
        {"Dzz",
         Kind::User,
         {{U::IDC_DYY, "1"}, {U::IDC_DZZ, "-1"}, {U::IDC_DSY, "1"}, {U::IDC_DSZ, "1"}},
         "Error Dzz",
         U::IDC_DZZ},
        {"Dsy",
         Kind::User,
         {{U::IDC_DYY, "1"}, {U::IDC_DZZ, "1"}, {U::IDC_DSY, "0"}, {U::IDC_DSZ, "1"}},
         "Error Dsy",
         U::IDC_DSY},
        {"Dsz",
         Kind::User,
         {{U::IDC_DYY, "1"}, {U::IDC_DZZ, "1"}, {U::IDC_DSY, "1"}, {U::IDC_DSZ, "0"}},
         "Error Dsz",
         U::IDC_DSZ},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driver.ClearLogs();
        auto d = Open(c.kind, c.fields);
        d->UserClick(ui::IDOK);
        EXPECT_FALSE(d->IsEnded());
        ASSERT_EQ(Boxes(), std::vector<std::string>{c.message});
        EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Stop);
        ASSERT_TRUE(d->GetFocus());
        EXPECT_EQ(d->GetFocus()->GetDlgCtrlID(), c.focus);
        // Cancel then leaves the row as it was.
        d->UserClick(ui::IDCANCEL);
        EXPECT_EQ(table.GetMaterialType(0), kMaterialIsotropic);
        EXPECT_EQ(table.GetMaterialE(0), 1.0);
    }
    // x1 = t/2 exactly passes.
    driver.ClearLogs();
    auto d = Open(Kind::Rebar, With(kRebarCase, {{R::IDC_X1, "0.15"}}));
    d->UserClick(ui::IDOK);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(d->IsEnded());
}

TEST_F(OrthoTest, ApplyWritesTheRowAndStaysOpen) {
    auto d = Open(Kind::Box, kBoxCase);
    d->UserClick(O::IDC_APPLY);
    EXPECT_FALSE(d->IsEnded());
    EXPECT_EQ(table.GetMaterialType(0), kMaterialBox);
    EXPECT_NEAR(table.GetMaterialDyy(0), 826.875, 1e-9);
    // A later failed OK and Cancel keep what Apply wrote.
    d->UserType(CDlgOrthoBox::IDC_N, "0");
    d->UserClick(ui::IDOK);
    d->UserClick(ui::IDCANCEL);
    EXPECT_EQ(table.GetBoxValues(0).n, 3);
    EXPECT_EQ(table.GetMaterialE(0), 30000.0);
    // Navigation keys take the typed text over and show it again.
    auto u = Open(Kind::User, {{CDlgOrthoUser::IDC_DYY, "7.5"}});
    u->UserKey(ui::key::Down);
    EXPECT_EQ(static_cast<CDlgOrthoUser&>(*u).m_d.Dyy, 7.5);
    EXPECT_EQ(u->GetDlgItemText(CDlgOrthoUser::IDC_DYY), "7.5");
    EXPECT_EQ(table.GetMaterialType(0), kMaterialBox);
}

// Each dialog's frame shows its section drawn in code, labelled with the
// names of the fields that ask for it.
TEST_F(OrthoTest, SectionSketchesAreLabelledWithTheirFields) {
    const std::pair<Kind, std::vector<std::string>> cases[] = {
        {Kind::Rebar, {"As1", "As2", "As3", "As4", "x1", "x2", "x3", "x4", "t"}},
        {Kind::Rib, {"h1", "b1", "c1", "h2", "b2", "c2"}},
        {Kind::Box, {"b", "h", "n cells"}},
        {Kind::User, {"t"}},
    };
    for (const auto& [kind, labels] : cases) {
        auto d = Open(kind, {});
        ui::Control* sketch = d->GetDlgItem(O::IDC_SKETCH);
        ASSERT_NE(sketch, nullptr);
        std::vector<std::string> texts;
        int lines = 0;
        for (const std::string& op : driver.PaintWindow(*sketch)) {
            if (op.rfind("LineTo", 0) == 0) ++lines;
            if (op.rfind("DrawText", 0) != 0) continue;
            // "DrawText x y w h flags text"
            std::size_t at = 0;
            for (int field = 0; field < 6; ++field) at = op.find(' ', at) + 1;
            texts.push_back(op.substr(at));
        }
        EXPECT_GE(lines, 4) << static_cast<int>(kind);
        for (const std::string& label : labels)
            EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
    }
}

}  // namespace
