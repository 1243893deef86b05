// The set and list dialogs behind the document's hooks: the sets grid hands a
// set to the member grid, picks reach it, closing it resumes the sets grid;
// the stiffness dialog gets the node set chosen in the picker.
#include <gtest/gtest.h>

#include "KorbelTestSupport.h"
#include "app/DialogFactories.h"
#include "app/KorbelDoc.h"
#include "dialogs/CDlgNodalNonlinearActions.h"
#include "dialogs/CDlgNonlinearSpring.h"
#include "dialogs/CDlgSetSelection.h"
#include "dialogs/DlgDefineSet.h"
#include "dialogs/DlgDefineSets.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

using namespace korbeltest;

namespace {

class ProgramSetDialogs : public ui::HeadlessTest {
protected:
    void SetUp() override
    {
        ui::HeadlessTest::SetUp();
        InputDialogFactories() = DocDialogFactories{};
        RegisterProgramDialogs();
        doc = std::make_unique<CKorbelDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        NodeTable& nodes = *doc->GetModelData()->GetNodeTable();
        for (int n = 1; n <= 4; ++n) nodes.AddNodeRow(n, 0.0, n, 0.0);
        nodes.CountNodeRows();
        nodes.RebuildNodeTableIndex();
        doc->GetModelData()->RebuildNodeIndex();
    }
    void TearDown() override
    {
        doc.reset();
        InputDialogFactories() = DocDialogFactories{};
        ui::HeadlessTest::TearDown();
    }
    std::unique_ptr<CKorbelDoc> doc;
    RecordingView view;
};

TEST_F(ProgramSetDialogs, DefinePickAndCloseRunThroughTheDocument)
{
    doc->ShowSetsDialog(1, view);
    auto* sets = dynamic_cast<DlgDefineSets*>(doc->SlotDialog(CKorbelDoc::NodeSetsSlot));
    ASSERT_NE(sets, nullptr);
    EXPECT_EQ(sets->GetWindowText(), "Node Set");
    sets->UserClick(DlgDefineSets::IDC_ADD_ROW);
    sets->UserType(GridPage::CellId(2, 1), "EDGE");
    sets->UserClick(DlgDefineSets::DefineId(2));

    auto* members = dynamic_cast<DlgDefineSet*>(doc->SlotDialog(CKorbelDoc::SetMembersSlot));
    ASSERT_NE(members, nullptr);
    EXPECT_EQ(members->GetWindowText(), "Node Set - EDGE");
    EXPECT_EQ(doc->PickMode(), 1);
    members->UserClick(DlgDefineSet::IDC_ADD_ROW);
    doc->DispatchPick("3");
    EXPECT_EQ(members->GetDlgItemText(GridPage::CellId(1, 1)), "3");
    members->UserClick(ui::IDOK);
    EXPECT_EQ(doc->GetModelData()->FindSetTable(1, "EDGE")->GetText(0), "3");
    EXPECT_TRUE(sets->IsWindowVisible());
    EXPECT_EQ(doc->PickMode(), 0);
    sets->UserClick(ui::IDOK);
    EXPECT_EQ(doc->SetsDialogOpen(), 0);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ProgramSetDialogs, PickerHandsItsSetToTheStiffnessDialog)
{
    SetTable& sets = *doc->GetModelData()->GetSetTable(1);
    sets.AddSetRow("EDGE", nullptr);
    sets.CountRows();
    sets.RebuildIndex();
    doc->ShowNodalNonlinearDialog(view);
    auto* nonlinear = dynamic_cast<CDlgNodalNonlinearActions*>(doc->SlotDialog(CKorbelDoc::NodalNonlinearSlot));
    ASSERT_NE(nonlinear, nullptr);
    nonlinear->UserClick(CDlgNodalNonlinearActions::IDC_NEW);
    doc->ShowSetSelection(view);
    EXPECT_FALSE(nonlinear->IsWindowVisible());
    auto* picker = dynamic_cast<CDlgSetSelection*>(doc->SlotDialog(CKorbelDoc::SetPickerSlot));
    ASSERT_NE(picker, nullptr);
    picker->UserDoubleClick(CDlgSetSelection::IDC_SET_LIST, 1);
    EXPECT_TRUE(nonlinear->IsWindowVisible());
    EXPECT_EQ(nonlinear->GetDlgItemText(CDlgNodalNonlinearActions::IDC_NODE_LIST), "UserSet \"EDGE\"");
    EXPECT_EQ(nonlinear->NodeSetName(), "EDGE");
}

TEST_F(ProgramSetDialogs, SpringAndPathDialogsOpenFromTheDocument)
{
    doc->ShowNonlinearSpringDialog(view);
    ASSERT_NE(doc->SlotDialog(CKorbelDoc::NonlinearSpringSlot), nullptr);
    EXPECT_EQ(doc->SlotDialog(CKorbelDoc::NonlinearSpringSlot)->GetWindowText(), "Nonlinear Spring");
    doc->ShowNodePathDialog(view);
    ASSERT_NE(doc->SlotDialog(CKorbelDoc::NodePathSlot), nullptr);
    EXPECT_EQ(doc->SlotDialog(CKorbelDoc::NodePathSlot)->GetWindowText(), "Node Path");
}

}  // namespace
