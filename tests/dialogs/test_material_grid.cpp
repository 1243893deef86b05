// "Material Data" driven as the user drives it: rows named by element or set,
// the checks of fresh rows, Define on the row shown, picks from the view, and
// the model's materials and element assignment after Apply, OK and Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/CDlgOrthoBox.h"
#include "dialogs/CDlgOrthoUser.h"
#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgMaterialProps.h"

namespace {

using dialogtest::DialogFixture;
using G = GridPage;
using D = DlgMaterialDataNew;

class MaterialGridTest : public DialogFixture {
protected:
    std::string ComboText(D& d, int slot) {
        auto* c = d.Get<ui::ComboBox>(G::CellId(slot, 2));
        return c->GetCurSel() >= 0 ? c->GetLBText(c->GetCurSel()) : "";
    }
    // Elements 2..n on the nodes of element 1 and one material row each.
    void MoreRows(int n) {
        const int nodes[] = {1, 2, 3, 4};
        for (int e = 2; e <= n; ++e) {
            model.GetElementTable()->AddElementRow(e, 1, nodes);
            model.GetMaterialTable()->AddMaterialRow(std::to_string(e), kMaterialIsotropic, 100.0 * e, 2000.0, 0.2,
                                                     0.3);
        }
        model.GetElementTable()->CountRows();
        model.GetElementTable()->RebuildIndex();
        model.GetMaterialTable()->CountMaterialRows();
        model.GetMaterialTable()->RebuildMaterialIndex();
        model.RebuildNodeIndex();
    }
};

TEST_F(MaterialGridTest, FreshRowIsCheckedAsTheUserMovesOn) {
    D d(&doc, &view);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Material Data");
    EXPECT_EQ(view.state, std::make_pair(2, std::string("0")));
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "1");
    EXPECT_EQ(ComboText(d, 1), "Isotropic");
    EXPECT_EQ(d.Get<ui::ComboBox>(G::CellId(1, 2))->GetCount(), 5);
    EXPECT_FALSE(d.Get<ui::ComboBox>(G::CellId(1, 2))->HasEdit());

    d.UserClick(D::IDC_ADD_MATERIAL);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 1)), "0");
    EXPECT_EQ(ComboText(d, 2), "Isotropic");
    const MaterialTable& copy = *d.WorkingCopy();
    EXPECT_EQ(copy.GetMaterialE(1), 30000.0);
    EXPECT_EQ(copy.GetMaterialEs(1), 2000.0);
    EXPECT_EQ(copy.GetMaterialNu(1), 0.2);
    EXPECT_EQ(copy.GetMaterialThickness(1), 0.3);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, 1)));

    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes(), std::vector<std::string>{" Element 0 is not defined \n Check row 2"});
    d.UserType(G::CellId(2, 1), "MIDX");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), " Element Set MIDX is not defined \n Check row 2");
    d.UserType(G::CellId(2, 1), "1");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), " Element Set 1 is already defined \n Check rows 2 and 1");
    d.UserType(G::CellId(2, 1), "MID");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Cancel");
    d.UserClick(G::kApplyId);
    ASSERT_EQ(model.GetMaterialTable()->GetCount(), 2);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialRowTextAt(1), "MID");
    EXPECT_EQ(model.GetElementTable()->GetElementMaterial(0), 2);
    EXPECT_TRUE(model.IsChanged());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
}

TEST_F(MaterialGridTest, OkStaysOpenOnAFreshRowAndCancelWritesNothing) {
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_MATERIAL);
    d.UserClick(ui::IDOK);
    EXPECT_EQ(Boxes(), std::vector<std::string>{" Element 0 is not defined \n Check row 2"});
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(doc.materialClosed, 0);
    // A fresh row may go again while it is current.
    d.UserClick(D::IDC_DELETE_MATERIAL);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");
    d.UserClick(D::IDC_ADD_MATERIAL);
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(doc.materialClosed, 1);
    EXPECT_EQ(model.GetMaterialTable()->GetCount(), 1);
    EXPECT_FALSE(model.IsChanged());
}

TEST_F(MaterialGridTest, OkAppliesAndTellsTheDocument) {
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_MATERIAL);
    d.UserType(G::CellId(2, 1), "MID");
    d.UserSelect(G::CellId(2, 2), 4);
    // An orthotropic type without its section is refused; Define enters it.
    d.UserClick(ui::IDOK);
    EXPECT_FALSE(d.IsEnded());
    EXPECT_EQ(LastBox(), " User Defined Property has no section data yet.\n Press Define to enter it.\n Check row 2");
    EXPECT_EQ(model.GetMaterialTable()->GetCount(), 1);
    driver.ExpectModal(
        [](ui::Dialog& user) {
            for (int id :
                 {CDlgOrthoUser::IDC_DYY, CDlgOrthoUser::IDC_DZZ, CDlgOrthoUser::IDC_DSY, CDlgOrthoUser::IDC_DSZ})
                user.UserType(id, "12.345678901234");
            user.UserClick(ui::IDOK);
        },
        CDlgOrthoUser::kTemplateId);
    d.UserClick(G::CellId(2, 3));
    d.UserClick(ui::IDOK);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(doc.materialClosed, 1);
    ASSERT_EQ(model.GetMaterialTable()->GetCount(), 2);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialType(1), kMaterialUserOrtho);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialDyy(1), 12.345678901234);
}

TEST_F(MaterialGridTest, DefineOnAScrolledPageEditsTheRowShown) {
    MoreRows(12);
    D d(&doc, &view);
    Open(d);
    EXPECT_TRUE(d.GetDlgItem(G::kScrollBarId)->IsShown());
    d.UserKey(ui::key::End);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "3");
    driver.ExpectModal(
        [](ui::Dialog& props) {
            EXPECT_EQ(props.GetDlgItemText(DlgMaterialProps::IDC_NAME), "3");
            EXPECT_FALSE(props.GetDlgItem(DlgMaterialProps::IDC_NAME)->IsWindowEnabled());
            EXPECT_EQ(props.GetDlgItemText(DlgMaterialProps::IDC_YOUNG), "300");
            props.UserType(DlgMaterialProps::IDC_YOUNG, "123.5");
            props.UserType(DlgMaterialProps::IDC_THICKNESS, "0.45");
            props.UserClick(ui::IDOK);
        },
        DlgMaterialProps::kTemplateId);
    d.UserClick(G::CellId(1, 3));
    EXPECT_EQ(d.WorkingCopy()->GetMaterialE(2), 123.5);
    EXPECT_EQ(d.WorkingCopy()->GetMaterialThickness(2), 0.45);
    EXPECT_TRUE(d.GetDlgItem(G::kApplyId)->IsWindowEnabled());
    d.UserClick(G::kApplyId);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialE(2), 123.5);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialE(3), 400.0);
}

TEST_F(MaterialGridTest, DefineOpensTheDialogOfTheRowsType) {
    D d(&doc, &view);
    Open(d);
    d.UserSelect(G::CellId(1, 2), kMaterialBox);
    driver.ExpectModal(
        [](ui::Dialog& box) {
            EXPECT_EQ(box.GetWindowText(), "Orthotropic One Way Box Section");
            box.UserType(CDlgOrthoBox::IDC_N, "3");
            box.UserType(CDlgOrthoBox::IDC_B, "0.9");
            box.UserType(CDlgOrthoBox::IDC_H, "0.6");
            box.UserType(OrthoDialog::IDC_T, "0.15");
            box.UserClick(ui::IDOK);
        },
        CDlgOrthoBox::kTemplateId);
    d.UserClick(G::CellId(1, 3));
    d.UserClick(G::kApplyId);
    EXPECT_EQ(model.GetMaterialTable()->GetMaterialType(0), kMaterialBox);
    EXPECT_NEAR(model.GetMaterialTable()->GetMaterialDyy(0), 826.875, 1e-9);
}

TEST_F(MaterialGridTest, PicksGoIntoTheCurrentRowAndReloadDropsEdits) {
    D d(&doc, &view);
    Open(d);
    d.UserClick(D::IDC_ADD_MATERIAL);
    d.InsertPickedName("MID");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(2, 1)), "MID");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(2, 1)));
    d.UserKey(ui::key::Up);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(view.highlight, std::make_pair(2, std::string("1")));
    d.LoadFromModel();
    EXPECT_EQ(d.GetDlgItemText(G::kCountLabelId), "1");
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
}

}  // namespace
