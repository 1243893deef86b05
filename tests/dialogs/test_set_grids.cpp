// The set dialogs driven as the user drives them: the sets of a kind named
// and checked, Define handing a set to the member grid, the member rows
// checked, normalised and stored, picks from the view, and the node-set
// picker handing its choice on.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SquareMeshSupport.h"
#include "dialogs/CDlgNodalNonlinearActions.h"
#include "dialogs/CDlgSetSelection.h"
#include "dialogs/DlgDefineSet.h"
#include "dialogs/DlgDefineSets.h"

namespace {

using dialogtest::SquareMeshFixture;
using G = GridPage;

// The document's part in the set dialogs: Define opens the member grid (once,
// re-targeted later) and the picker's choice goes to the stiffness dialog.
class SetsDoc : public dialogtest::FakeDoc {
public:
    void ShowSetDialog(int kind, const std::string& name, ui::Dialog* returnDialog) override {
        auto* back = dynamic_cast<DlgDefineSets*>(returnDialog);
        if (!members) {
            members = std::make_unique<DlgDefineSet>(kind, name, back, this, view);
            members->CreateModeless();
        } else {
            members->Retarget(kind, name, back, this, view);
        }
        members->ShowWindow(true);
        SetPickMode(1);
    }
    void OnSetsDialogClosed() override { ++setsClosed; }
    void OnSetSelected() override {
        if (!nonlinear || !model) return;
        nonlinear->ShowWindow(true);
        nonlinear->TakeNodeSet(CDlgNodalNonlinearActions::UserSetText(model->selectedSetName), model->selectedSetName);
    }
    void OnSetSelectionCancelled() override {
        if (nonlinear) nonlinear->ShowWindow(true);
    }

    ViewHost* view = nullptr;
    std::unique_ptr<DlgDefineSet> members;
    CDlgNodalNonlinearActions* nonlinear = nullptr;
    int setsClosed = 0;
};

class SetGridTest : public SquareMeshFixture {
protected:
    void SetUp() override {
        SquareMeshFixture::SetUp();
        setsDoc.model = &model;
        setsDoc.view = &view;
    }
    // Opens the member grid of (kind, name) as Define would.
    DlgDefineSet& Members(int kind, const std::string& name) {
        setsDoc.ShowSetDialog(kind, name, nullptr);
        return *setsDoc.members;
    }
    std::vector<std::string> SetNames(int kind) const {
        std::vector<std::string> names;
        const SetTable& t = *model.GetSetTable(kind);
        for (int i = 0; i < t.GetCount(); ++i) names.push_back(t.GetRowName(i));
        return names;
    }
    SetsDoc setsDoc;
};

TEST_F(SetGridTest, NewModelShowsOnlyAllWhichCannotBeEditedOrDefined) {
    ModelData fresh;
    fresh.Reset();
    setsDoc.model = &fresh;
    DlgDefineSets d(1, &setsDoc, &view);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Node Set");
    EXPECT_EQ(d.GetDlgItemText(G::CellId(1, 1)), "ALL");
    EXPECT_FALSE(Enabled(d, G::CellId(1, 1)));
    EXPECT_FALSE(Enabled(d, DlgDefineSets::DefineId(1)));
    EXPECT_FALSE(Visible(d, DlgDefineSets::DefineId(2)));
    EXPECT_FALSE(Enabled(d, DlgDefineSets::IDC_INSERT_ROW));
    EXPECT_FALSE(Enabled(d, DlgDefineSets::IDC_DELETE_ROW));
    EXPECT_FALSE(Enabled(d, G::kApplyId));
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
    // No usable cell: the keys return at once and change nothing.
    d.UserKey(ui::key::Tab);
    d.UserKey(ui::key::Down);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(d.m_currentRow, 1);
    d.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(setsDoc.setsClosed, 1);
}

TEST_F(SetGridTest, NamesAreCheckedForLetterAndDuplicate) {
    DlgDefineSets d(1, &setsDoc, &view);
    Open(d);
    EXPECT_TRUE(Enabled(d, DlgDefineSets::IDC_DELETE_ROW));
    d.UserClick(DlgDefineSets::IDC_ADD_ROW);
    EXPECT_EQ(d.GetDlgItemText(G::CellId(3, 1)), "0");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(G::CellId(3, 1)));
    // A click within the fresh row keeps it; Tab checks it.
    d.UserFocus(G::CellId(3, 1));
    EXPECT_TRUE(Boxes().empty());
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "SetName must begin with an alphabet letter\n.Check row 3, name 0");
    d.UserType(G::CellId(3, 1), "EDGE");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node Set  is already defined \n Check rows 3 and 2");
    d.UserType(G::CellId(3, 1), "_X");
    d.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "SetName must begin with an alphabet letter\n.Check row 3, name _X");
    d.UserType(G::CellId(3, 1), "edge");  // case makes names distinct
    d.UserClick(G::kApplyId);
    EXPECT_EQ(SetNames(1), (std::vector<std::string>{"ALL", "EDGE", "edge"}));
    EXPECT_TRUE(model.IsChanged());
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");
}

TEST_F(SetGridTest, EdgeSetDuplicatesAreNamedAsNodes) {
    DlgDefineSets d(3, &setsDoc, &view);
    Open(d);
    EXPECT_EQ(d.GetWindowText(), "Edge Set");
    d.UserClick(DlgDefineSets::IDC_ADD_ROW);
    d.UserType(G::CellId(2, 1), "ALL");
    d.UserKey(ui::key::Tab);
    // The first row checked is "ALL": it meets its twin below.
    EXPECT_EQ(LastBox(), "  node  is already defined \n Check rows 2 and 1");
}

TEST_F(SetGridTest, DeleteRowOnAllDoesNothingAndOkKeepsAFailingPageOpen) {
    DlgDefineSets d(1, &setsDoc, &view);
    Open(d);
    ASSERT_EQ(d.m_currentRow, 1);  // "ALL", current at opening
    d.UserClick(DlgDefineSets::IDC_DELETE_ROW);
    EXPECT_EQ(SetNames(1), (std::vector<std::string>{"ALL", "EDGE"}));
    EXPECT_EQ(d.WorkingCopy()->GetRowName(0), "ALL");
    d.UserClick(DlgDefineSets::IDC_ADD_ROW);
    d.UserClick(ui::IDOK);  // the fresh "0" fails the write check
    EXPECT_EQ(LastBox(), "SetName must begin with an alphabet letter\n.Check row 3, name 0");
    EXPECT_FALSE(d.IsEnded());
    d.UserType(G::CellId(3, 1), "INNER");
    d.UserClick(ui::IDOK);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(SetNames(1), (std::vector<std::string>{"ALL", "EDGE", "INNER"}));
}

TEST_F(SetGridTest, DefineStoresTheTableAndOpensTheMemberGridWhichReturns) {
    DlgDefineSets d(1, &setsDoc, &view);
    Open(d);
    d.UserClick(DlgDefineSets::IDC_ADD_ROW);
    d.UserType(G::CellId(3, 1), "INNER");
    d.UserClick(DlgDefineSets::DefineId(2));
    EXPECT_EQ(SetNames(1), (std::vector<std::string>{"ALL", "EDGE", "INNER"}));
    EXPECT_FALSE(d.IsWindowVisible());
    ASSERT_TRUE(setsDoc.members);
    DlgDefineSet& m = *setsDoc.members;
    EXPECT_EQ(m.GetWindowText(), "Node Set - EDGE");
    EXPECT_EQ(m.GetDlgItemText(G::CellId(1, 1)), "1");
    EXPECT_EQ(m.GetDlgItemText(G::CellId(1, 2)), "4");
    EXPECT_FALSE(Visible(m, G::CellId(1, 4)));
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("1;4;1")));
    EXPECT_EQ(setsDoc.pickMode, 1);

    m.UserClick(ui::IDCANCEL);
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_EQ(setsDoc.pickMode, 0);
    EXPECT_EQ(view.pickTarget, 0);
    EXPECT_EQ(d.WorkingCopy()->GetCount(), 3);
}

TEST_F(SetGridTest, MemberRowsAreNormalisedWhenStored) {
    DlgDefineSet& m = Members(1, "EDGE");
    m.UserClick(DlgDefineSet::IDC_ADD_ROW);
    EXPECT_EQ(m.GetDlgItemText(G::CellId(2, 1)), "0");
    m.UserType(G::CellId(2, 1), "5");
    m.UserType(G::CellId(2, 2), "2");
    m.UserClick(DlgDefineSet::IDC_ADD_ROW);
    m.UserType(G::CellId(3, 1), "ALL");
    m.UserType(G::CellId(3, 2), "7");
    m.UserType(G::CellId(3, 3), "3");
    m.UserClick(G::kApplyId);
    ASSERT_TRUE(Boxes().empty()) << LastBox();
    const SetMemberList& stored = *model.FindSetTable(1, "EDGE");
    ASSERT_EQ(stored.GetCount(), 3);
    EXPECT_EQ(stored.GetFinal(1), 5);
    EXPECT_EQ(stored.GetIncrement(1), 1);
    EXPECT_EQ(stored.GetText(2), "ALL");
    EXPECT_EQ(stored.GetFinal(2), 0);
    EXPECT_EQ(stored.GetIncrement(2), 0);
    EXPECT_EQ(m.GetDlgItemText(G::CellId(2, 2)), "5");  // shown at once
    EXPECT_TRUE(model.IsChanged());
}

TEST_F(SetGridTest, MemberChecksNameTheFirstFailingItem) {
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"own name", "EDGE", "Set Name should not be the same as the one being defined, EDGE\n Check row 1"},
        {"absent node", "99", "  Node  Number 99 is not defined\n Check row 1"},
        {"absent set in a list", "1,2,FOO", "  Node  Set FOO is not defined\n Check row 1"},
    };
    DlgDefineSet& m = Members(1, "EDGE");
    for (const Case& c : cases) {
        m.UserType(G::CellId(1, 1), c.text);
        m.UserKey(ui::key::Tab);
        EXPECT_EQ(LastBox(), c.message) << c.name;
    }
    EXPECT_EQ(model.FindSetTable(1, "EDGE")->GetText(0), "1");  // nothing stored
    // Two rows differing only in the final are not duplicates.
    m.UserType(G::CellId(1, 1), "1");
    m.UserClick(DlgDefineSet::IDC_ADD_ROW);
    m.UserType(G::CellId(2, 1), "1");
    m.UserType(G::CellId(2, 2), "2");
    const size_t before = Boxes().size();
    m.UserKey(ui::key::Tab);
    EXPECT_EQ(Boxes().size(), before) << LastBox();
    m.UserType(G::CellId(2, 2), "4");
    m.UserKey(ui::key::Tab);
    EXPECT_EQ(LastBox(), "  Node  is already defined \n Check rows 2 and 1");
}

TEST_F(SetGridTest, EdgePickEntersElementAndSideAndSidesAreChecked) {
    SetTable& edges = *model.GetSetTable(3);
    edges.AddSetRow("RIM", nullptr);
    edges.CountRows();
    edges.RebuildIndex();
    DlgDefineSet& m = Members(3, "RIM");
    EXPECT_EQ(m.GetWindowText(), "Edge Set - RIM");
    EXPECT_EQ(m.GetDlgItemText(DlgDefineSet::IDC_MEMBER_HEADING), "Edge Set");
    m.UserClick(DlgDefineSet::IDC_ADD_ROW);
    EXPECT_TRUE(Visible(m, G::CellId(1, 4)));
    m.InsertPickedName("14");
    EXPECT_EQ(m.GetDlgItemText(G::CellId(1, 1)), "3");
    EXPECT_EQ(m.GetDlgItemText(G::CellId(1, 4)), "2");
    EXPECT_EQ(m.GetFocus(), m.GetDlgItem(G::CellId(1, 2)));
    m.UserType(G::CellId(1, 4), "5");
    m.UserClick(G::kApplyId);
    EXPECT_EQ(LastBox(), " Side should be between 1 and 4\n Check row 1");
    m.UserType(G::CellId(1, 4), "2");
    m.UserClick(ui::IDOK);
    const SetMemberList& stored = *model.FindSetTable(3, "RIM");
    ASSERT_EQ(stored.GetCount(), 1);
    EXPECT_EQ(stored.GetText(0), "3");
    EXPECT_EQ(stored.GetSide(0), 2);
}

TEST_F(SetGridTest, CancelAfterApplyKeepsWhatApplyStored) {
    DlgDefineSet& m = Members(1, "EDGE");
    m.UserType(G::CellId(1, 2), "3");
    m.UserKey(ui::key::Tab);
    m.UserClick(G::kApplyId);
    m.UserType(G::CellId(1, 2), "2");
    m.UserClick(ui::IDCANCEL);
    EXPECT_EQ(model.FindSetTable(1, "EDGE")->GetFinal(0), 3);
}

class SetPickerTest : public SetGridTest {};

TEST_F(SetPickerTest, ListsNodeSetsOnlyAndRefusesOkWithoutAChoice) {
    SetTable& elementSets = *model.GetSetTable(2);
    elementSets.AddSetRow("SLAB", nullptr);
    elementSets.CountRows();
    elementSets.RebuildIndex();
    CDlgSetSelection picker(&setsDoc, &view);
    Open(picker);
    EXPECT_EQ(picker.GetWindowText(), "Select Set");
    const auto* list = picker.Get<ui::ListView>(CDlgSetSelection::IDC_SET_LIST);
    ASSERT_EQ(list->GetColumnCount(), 3);
    EXPECT_EQ(list->Columns()[0].text, "Set");
    EXPECT_EQ(list->Columns()[1].width, 80);
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1, 0), "EDGE");
    EXPECT_EQ(list->GetItemText(1, 1), "Node");
    picker.UserClick(ui::IDOK);
    EXPECT_EQ(LastBox(), "Error: Internal error in selecting set");
    EXPECT_FALSE(picker.IsEnded());
    EXPECT_EQ(model.selectedSetName, "");
}

TEST_F(SetPickerTest, DoubleClickChoosesTheSetForTheStiffnessDialog) {
    CDlgNodalNonlinearActions nonlinear(&setsDoc, &view);
    Open(nonlinear);
    setsDoc.nonlinear = &nonlinear;
    nonlinear.UserClick(CDlgNodalNonlinearActions::IDC_NEW);
    nonlinear.UserClick(CDlgNodalNonlinearActions::IDC_USE_NODE_SET);
    nonlinear.ShowWindow(false);  // as the document hides it for the picker

    CDlgSetSelection picker(&setsDoc, &view);
    Open(picker);
    picker.UserDoubleClick(CDlgSetSelection::IDC_SET_LIST, 1);
    EXPECT_TRUE(picker.IsEnded());
    EXPECT_EQ(picker.SelectedSetName(), "EDGE");
    EXPECT_EQ(model.selectedSetName, "EDGE");
    EXPECT_TRUE(nonlinear.IsWindowVisible());
    EXPECT_EQ(nonlinear.GetDlgItemText(CDlgNodalNonlinearActions::IDC_NODE_LIST), "UserSet \"EDGE\"");
    EXPECT_EQ(nonlinear.NodeSetName(), "EDGE");
}

TEST_F(SetPickerTest, CancelBringsTheHiddenStiffnessDialogBack) {
    CDlgNodalNonlinearActions nonlinear(&setsDoc, &view);
    Open(nonlinear);
    setsDoc.nonlinear = &nonlinear;
    nonlinear.ShowWindow(false);
    CDlgSetSelection picker(&setsDoc, &view);
    Open(picker);
    picker.UserKey(ui::key::Escape);
    EXPECT_TRUE(picker.IsEnded());
    EXPECT_TRUE(nonlinear.IsWindowVisible());
}

}  // namespace
