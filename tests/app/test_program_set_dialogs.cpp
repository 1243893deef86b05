// The set and list dialogs behind the document's hooks: the sets grid hands a
// set to the member grid, picks reach it, closing it resumes the sets grid;
// the stiffness dialog gets the node set chosen in the picker.
#include <gtest/gtest.h>

#include "KorbelTestSupport.h"
#include <functional>
#include "app/DialogFactories.h"
#include "app/KorbelDoc.h"
#include "dialogs/CDlgNodalNonlinearActions.h"
#include "dialogs/CDlgNonlinearSpring.h"
#include "dialogs/CDlgSetSelection.h"
#include "dialogs/DlgDefineSet.h"
#include "dialogs/DlgDefineSets.h"
#include "dialogs/DlgNodalActions.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

using namespace korbeltest;

namespace {

class ProgramSetDialogs : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        InputDialogFactories() = DocDialogFactories{};
        RegisterProgramDialogs();
        NewDocument();
    }
    // A new document of four nodes.
    void NewDocument() {
        doc = std::make_unique<CKorbelDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        NodeTable& nodes = *doc->GetModelData()->GetNodeTable();
        for (int n = 1; n <= 4; ++n) nodes.AddNodeRow(n, 0.0, n, 0.0);
        nodes.CountNodeRows();
        nodes.RebuildNodeTableIndex();
        doc->GetModelData()->RebuildNodeIndex();
    }
    void TearDown() override {
        doc.reset();
        InputDialogFactories() = DocDialogFactories{};
        ui::HeadlessTest::TearDown();
    }
    // Nodal loads on the targets given, straight into the model.
    void NodalLoads(std::initializer_list<const char*> targets) {
        NodalActionTable& t = *doc->GetModelData()->GetNodalActionTable(2);
        const double values[6] = {1, 0, 0, 0, 0, 0};
        const int flags[6] = {1, 0, 0, 0, 0, 0};
        for (const char* target : targets) t.AddNodalActionRow(target, values, flags);
        t.CountRows();
        t.RebuildIndex();
    }
    void NodeSet(const std::string& name, const char* member = "1") {
        SetMemberList members;
        members.AddSetMemberRow(member, 2, 1, 1);
        members.CountSetMemberRows();
        members.RebuildSetMemberIndex();
        SetTable& sets = *doc->GetModelData()->GetSetTable(1);
        sets.AddSetRow(name, &members);
        sets.CountRows();
        sets.RebuildIndex();
    }
    std::string LastBox() const { return driver.MessageBoxes().empty() ? "" : driver.MessageBoxes().back().text; }
    std::unique_ptr<CKorbelDoc> doc;
    RecordingView view;
};

TEST_F(ProgramSetDialogs, DefinePickAndCloseRunThroughTheDocument) {
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

TEST_F(ProgramSetDialogs, PickerHandsItsSetToTheStiffnessDialog) {
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

TEST_F(ProgramSetDialogs, SpringAndPathDialogsOpenFromTheDocument) {
    doc->ShowNonlinearSpringDialog(view);
    ASSERT_NE(doc->SlotDialog(CKorbelDoc::NonlinearSpringSlot), nullptr);
    EXPECT_EQ(doc->SlotDialog(CKorbelDoc::NonlinearSpringSlot)->GetWindowText(), "Nonlinear Spring");
    doc->ShowNodePathDialog(view);
    ASSERT_NE(doc->SlotDialog(CKorbelDoc::NodePathSlot), nullptr);
    EXPECT_EQ(doc->SlotDialog(CKorbelDoc::NodePathSlot)->GetWindowText(), "Node Path");
}

// What the model file cannot hold as one word is refused where it is typed,
// with the row and the rule; the model keeps what it had.
TEST_F(ProgramSetDialogs, BlanksAndOverlongWordsAreRefusedWithTheirRow) {
    const std::string longName = "S" + std::string(modelfile::kMaxSetNameLength, 'x');
    struct Case {
        const char* what;
        std::function<void()> type;
        std::string box;
    };
    const Case cases[] = {
        {"target with a trailing blank",
         [&] {
             doc->ShowNodalActionsDialog(view, 2);
             ui::Dialog& d = *doc->SlotDialog(CKorbelDoc::NodalActionsSlot);
             d.UserClick(DlgNodalActions::IDC_ADD_ROW);
             d.UserType(GridPage::CellId(1, 1), "3 ");
             d.UserClick(GridPage::kApplyId);
         },
         " Target \"3 \" must not contain blanks\n Check row 1"},
        {"set name with a blank",
         [&] {
             doc->ShowSetsDialog(1, view);
             ui::Dialog& d = *doc->SlotDialog(CKorbelDoc::NodeSetsSlot);
             d.UserClick(DlgDefineSets::IDC_ADD_ROW);
             d.UserType(GridPage::CellId(2, 1), "Edge Nodes");
             d.UserClick(ui::IDOK);
         },
         " Set name \"Edge Nodes\" must not contain blanks\n Check row 2"},
        {"set name too long",
         [&] {
             doc->ShowSetsDialog(1, view);
             ui::Dialog& d = *doc->SlotDialog(CKorbelDoc::NodeSetsSlot);
             d.UserClick(DlgDefineSets::IDC_ADD_ROW);
             d.UserType(GridPage::CellId(2, 1), longName);
             d.UserClick(GridPage::kApplyId);
         },
         " Set name \"" + longName.substr(0, 40) + "...\" must not be longer than 251 characters\n Check row 2"},
        {"set item with a blank",
         [&] {
             NodeSet("EDGE");
             doc->ShowSetDialog(1, "EDGE", nullptr, view);
             ui::Dialog& d = *doc->SlotDialog(CKorbelDoc::SetMembersSlot);
             d.UserClick(DlgDefineSet::IDC_ADD_ROW);
             d.UserType(GridPage::CellId(2, 1), "3 4");
             d.UserClick(ui::IDOK);
         },
         " Item \"3 4\" must not contain blanks\n Check row 2"},
    };
    for (const Case& c : cases) {
        NewDocument();
        driver.ClearLogs();
        c.type();
        EXPECT_EQ(LastBox(), c.box) << c.what;
        Scratch dir;
        EXPECT_EQ(doc->GetModelData()->WriteModelFile(dir.File("m.slb")), 0) << c.what;
    }

    // A word that came in another way: the failed save names table and row.
    NewDocument();
    NodalLoads({"1", "3 4"});
    Scratch dir;
    EXPECT_FALSE(doc->OnSaveDocument(dir.File("m.slb")));
    EXPECT_EQ(LastBox(), "Can not save the model file\n" + dir.File("m.slb") +
                             "\nPlease Check.\nNodal Loads row 2: target \"3 4\" must not contain blanks");
}

// A renamed set is renamed in the rows that use it, and the user is told
// where; a set in use cannot be deleted.
TEST_F(ProgramSetDialogs, RenamedSetFollowsIntoItsRowsAndAUsedSetStays) {
    NodeSet("EDGE");
    NodeSet("SPARE");
    NodalLoads({"1", "EDGE", "3,EDGE"});
    doc->ShowSetsDialog(1, view);
    ui::Dialog& sets = *doc->SlotDialog(CKorbelDoc::NodeSetsSlot);
    sets.UserType(GridPage::CellId(2, 1), "RIM");
    sets.UserKey(ui::key::Tab);
    sets.UserClick(GridPage::kApplyId);
    EXPECT_EQ(LastBox(), " EDGE is renamed to RIM in:\n   Nodal Loads");
    const NodalActionTable& loads = *doc->GetModelData()->GetNodalActionTable(2);
    EXPECT_EQ(loads.GetTarget(1), "RIM");
    EXPECT_EQ(loads.GetTarget(2), "3,RIM");
    EXPECT_TRUE(doc->HasUnsavedChanges());

    // The renamed set is still used: its row stays. An unused one goes.
    driver.ClearLogs();
    sets.UserFocus(GridPage::CellId(2, 1));
    sets.UserClick(DlgDefineSets::IDC_DELETE_ROW);
    EXPECT_EQ(LastBox(), " RIM can not be deleted. It is used in:\n   Nodal Loads row 2\n   Nodal Loads row 3");
    sets.UserFocus(GridPage::CellId(3, 1));
    sets.UserClick(DlgDefineSets::IDC_DELETE_ROW);
    sets.UserClick(ui::IDOK);
    const SetTable& table = *doc->GetModelData()->GetSetTable(1);
    EXPECT_GE(table.FindRowByName("RIM"), 0);
    EXPECT_LT(table.FindRowByName("SPARE"), 0);
    EXPECT_LT(table.FindRowByName("EDGE"), 0);
}

// Define on a fresh row "0" checks the name as a write does: no set "0".
TEST_F(ProgramSetDialogs, DefineOnAFreshRowMakesNoSetNamedZero) {
    doc->ShowSetsDialog(1, view);
    ui::Dialog& sets = *doc->SlotDialog(CKorbelDoc::NodeSetsSlot);
    sets.UserClick(DlgDefineSets::IDC_ADD_ROW);
    ASSERT_EQ(sets.GetDlgItemText(GridPage::CellId(2, 1)), "0");
    sets.UserClick(DlgDefineSets::DefineId(2));
    EXPECT_EQ(LastBox(), "SetName must begin with an alphabet letter\n.Check row 2, name 0");
    EXPECT_EQ(doc->GetModelData()->FindSetTable(1, "0"), nullptr);
    EXPECT_EQ(doc->SlotDialog(CKorbelDoc::SetMembersSlot), nullptr);
    EXPECT_TRUE(sets.IsWindowVisible());
}

// A set may not hold itself, directly or through the sets it names; the
// model keeps the members it had.
TEST_F(ProgramSetDialogs, SetsCannotHoldThemselves) {
    struct Case {
        const char* item;
        const char* box;
    };
    const Case cases[] = {
        {"A", " Set A holds B: a set can not hold itself\n Check row 2"},
        {"C", " Set C holds B: a set can not hold itself\n Check row 2"},
        {"B", "Set Name should not be the same as the one being defined, B\n Check row 2"},
        {"2,A", " Set A holds B: a set can not hold itself\n Check row 2"},
    };
    for (const Case& c : cases) {
        NewDocument();
        NodeSet("A", "B");
        NodeSet("B");
        NodeSet("C", "A");
        driver.ClearLogs();
        doc->ShowSetDialog(1, "B", nullptr, view);
        ui::Dialog& d = *doc->SlotDialog(CKorbelDoc::SetMembersSlot);
        d.UserClick(DlgDefineSet::IDC_ADD_ROW);
        d.UserType(GridPage::CellId(2, 1), c.item);
        d.UserClick(ui::IDOK);
        EXPECT_EQ(LastBox(), c.box) << c.item;
        EXPECT_EQ(doc->GetModelData()->FindSetTable(1, "B")->GetCount(), 1) << c.item;
    }
}

}  // namespace
