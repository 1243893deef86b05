// What the user types into the program's grids is what the model holds:
// numbers are taken whole, set names stay one item, a renumbering leaves no
// set naming nothing, Cancel in the set list cancels, a row of coordinates
// is checked once it is left, and edits not yet applied are offered before
// the document goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ProgramFixture.h"
#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "app/KorbelDoc.h"
#include "dialogs/DlgConcentratedActions.h"
#include "dialogs/DlgDefineSet.h"
#include "dialogs/DlgDefineSets.h"
#include "dialogs/DlgEdgeActions.h"
#include "dialogs/DlgMaterialDataNew.h"
#include "dialogs/DlgNodalActions.h"
#include "dialogs/GridPage.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Settings.h"

using namespace korbeltest;

namespace {

class TypedValues : public ProgramFixture {
protected:
    // A set of the kind with one member row, straight into the model.
    static void AddSet(ModelData& model, int kind, const std::string& name, const char* first, int final) {
        SetMemberList members;
        members.AddSetMemberRow(first, final, 1, 1);
        members.CountSetMemberRows();
        members.RebuildSetMemberIndex();
        SetTable& sets = *model.GetSetTable(kind);
        sets.AddSetRow(name, &members);
        sets.CountRows();
        sets.RebuildIndex();
    }
    std::string LastBox() const { return driver.MessageBoxes().empty() ? "" : driver.MessageBoxes().back().text; }
    RecordingView view;
};

// An element that a set names keeps its number: renumbering it would leave
// the set naming nothing and a load on the set would be lost.
TEST_F(TypedValues, ElementThatASetNamesIsNotRenumbered) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    ModelData& model = *doc.GetModelData();
    AddSet(model, 2, "E5", "5", 5);
    AddSet(model, 2, "HALF", "1", 18);
    model.GetNodalActionTable(4)->SetTarget(0, "E5");
    ASSERT_EQ(model.GetElementTable()->GetId(4), 5);
    ASSERT_EQ(model.GetElementTable()->GetId(19), 20);
    driver.ExpectModal([this](ui::Dialog& d) {
        d.UserType(GridPage::CellId(5, 1), "105");
        d.UserKey(ui::key::Tab);
        EXPECT_EQ(LastBox(),
                  " Element Number 5 can not be renumbered \n it is named in:\n   Element set E5\n"
                  "   Element set HALF");
        EXPECT_EQ(driver.MessageBoxes().size(), 1u);
        d.UserClick(ui::IDOK);
        EXPECT_FALSE(d.IsEnded());
        d.UserType(GridPage::CellId(5, 1), "5");
        // Element 20 is named by nothing: it takes the new number.
        d.UserKey(ui::key::PageDown);
        d.UserType(GridPage::CellId(5, 1), "120");
        d.UserClick(ui::IDOK);
    });
    doc.ShowElementConnectivityDialog(view);
    EXPECT_TRUE(driver.AllScriptsUsed());
    EXPECT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_GE(model.ElementRowOfNumber(5), 0);
    EXPECT_GE(model.ElementRowOfNumber(120), 0);
    EXPECT_LT(model.ElementRowOfNumber(20), 0);
}

// A number item is digits only and every comma item is looked up: what is
// typed otherwise is refused with its row, and the model keeps its rows.
TEST_F(TypedValues, TargetsAndMembersAreTakenWhole) {
    const std::string nodeHint =
        " is not valid: a number is digits only\n A range of numbers is given as a set.\n Check row 1";
    struct Case {
        const char* name;
        std::function<void(CKorbelDoc&)> type;
        std::string box;
    };
    auto nodalLoad = [this](const char* text) {
        return [this, text](CKorbelDoc& doc) {
            doc.ShowNodalActionsDialog(view, 2);
            ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::NodalActionsSlot);
            d.UserClick(DlgNodalActions::IDC_ADD_ROW);
            d.UserType(GridPage::CellId(1, 1), text);
            d.UserClick(GridPage::kApplyId);
        };
    };
    const Case cases[] = {
        {"letter O", nodalLoad("3O"), "  Node  Number 3O" + nodeHint},
        {"colon", nodalLoad("30:34"), "  Node  Number 30:34" + nodeHint},
        {"semicolon", nodalLoad("30;34"), "  Node  Number 30;34" + nodeHint},
        {"dash", nodalLoad("30-34"), "  Node  Number 30-34" + nodeHint},
        {"decimal", nodalLoad("30.9"), "  Node  Number 30.9" + nodeHint},
        {"second item", nodalLoad("30,999"), "  Node  Number 999 is not defined\n Check row 1"},
        {"second item a set", nodalLoad("30,EDGE"), "  Node  Set EDGE is not defined \n Check row 1"},
        {"edge load",
         [this](CKorbelDoc& doc) {
             doc.ShowEdgeActionsDialog(view, 1);
             ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::EdgeActionsSlot);
             d.UserClick(DlgEdgeActions::IDC_ADD_ROW);
             d.UserType(GridPage::CellId(1, DlgEdgeActions::kTarget), "5:6");
             d.UserClick(GridPage::kApplyId);
         },
         " Element Number 5:6 is not valid: a number is digits only\n A range of elements is given as an edge set.\n"
         " Check row 1"},
        {"material",
         [this](CKorbelDoc& doc) {
             doc.ShowMaterialDataDialog(view);
             ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::MaterialSlot);
             d.UserType(GridPage::CellId(1, 1), "1:18");
             d.UserKey(ui::key::Tab);
         },
         " Element Number 1:18 is not valid: a number is digits only\n A range of elements is given as an element "
         "set.\n Check row 1"},
        {"set member",
         [this](CKorbelDoc& doc) {
             AddSet(*doc.GetModelData(), 2, "HALF", "1", 1);
             doc.ShowSetDialog(2, "HALF", nullptr, view);
             ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::SetMembersSlot);
             d.UserType(GridPage::CellId(1, 1), "1:18");
             d.UserClick(ui::IDOK);
         },
         "  Element  Number 1:18 is not valid: a number is digits only\n A range is given by its first number, Final "
         "and Increment.\n Check row 1"},
    };
    for (const Case& c : cases) {
        CKorbelDoc& doc = OpenExample("winkler-mat.slb", std::string(c.name) + ".slb");
        driver.ClearLogs();
        c.type(doc);
        EXPECT_EQ(LastBox(), c.box) << c.name;
        EXPECT_EQ(driver.MessageBoxes().size(), 1u) << c.name;
        const ModelData& model = *doc.GetModelData();
        EXPECT_EQ(model.GetNodalActionTable(2)->GetCount(), 0) << c.name;
        EXPECT_EQ(model.GetEdgeActionTable(1)->GetCount(), 0) << c.name;
        EXPECT_EQ(model.GetMaterialTable()->GetHead()->element, "ALL") << c.name;
        const SetMemberList* half = model.FindSetTable(2, "HALF");
        EXPECT_TRUE(!half || half->GetHead()->first == "1") << c.name;
        EXPECT_FALSE(doc.IsModified()) << c.name;
        for (const CKorbelDoc::Slot slot : {CKorbelDoc::NodalActionsSlot, CKorbelDoc::EdgeActionsSlot,
                                            CKorbelDoc::MaterialSlot, CKorbelDoc::SetMembersSlot})
            if (ui::Dialog* grid = doc.SlotDialog(slot); grid && grid->IsWindowVisible()) grid->UserClick(ui::IDCANCEL);
    }
}

// A set name with a separator would be read by a target as several sets.
TEST_F(TypedValues, SetNamesHoldNoSeparator) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    for (const char* name : {"P,Q", "A:B", "C;D"}) {
        driver.ClearLogs();
        doc.ShowSetsDialog(1, view);
        ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::NodeSetsSlot);
        d.UserClick(DlgDefineSets::IDC_ADD_ROW);
        d.UserType(GridPage::CellId(2, 1), name);
        d.UserClick(ui::IDOK);
        EXPECT_EQ(LastBox(),
                  std::string(" Set name \"") + name + "\" must not contain \",\", \":\" or \";\"\n Check row 2");
        EXPECT_TRUE(d.IsWindowVisible()) << name;
        EXPECT_LT(doc.GetModelData()->GetSetTable(1)->FindRowByName(name), 0) << name;
        d.UserClick(ui::IDCANCEL);
    }
}

// Cancel in the set list leaves the model as the list found it, although
// Define wrote the table (and a rename into the targets) for the member grid.
TEST_F(TypedValues, CancelInTheSetListAfterDefineCancels) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    ModelData& model = *doc.GetModelData();
    AddSet(model, 1, "EDGE", "1", 2);
    model.GetNodalActionTable(1)->SetTarget(0, "EDGE");
    model.ClearChanged();
    SetTable before(1);
    before.CopySetTable(*model.GetSetTable(1));

    doc.ShowSetsDialog(1, view);
    ui::Dialog& sets = *doc.SlotDialog(CKorbelDoc::NodeSetsSlot);
    sets.UserType(GridPage::CellId(2, 1), "RIM");
    sets.UserClick(DlgDefineSets::IDC_ADD_ROW);
    sets.UserType(GridPage::CellId(3, 1), "A");
    sets.UserClick(DlgDefineSets::DefineId(3));
    ui::Dialog& members = *doc.SlotDialog(CKorbelDoc::SetMembersSlot);
    ASSERT_TRUE(members.IsWindowVisible());
    members.UserClick(DlgDefineSet::IDC_ADD_ROW);
    members.UserType(GridPage::CellId(1, 1), "3");
    members.UserClick(ui::IDOK);
    ASSERT_TRUE(sets.IsWindowVisible());
    ASSERT_EQ(model.GetNodalActionTable(1)->GetTarget(0), "RIM");
    ASSERT_NE(model.FindSetTable(1, "A"), nullptr);
    EXPECT_EQ(sets.GetDlgItemText(ui::IDCANCEL), "Cancel");

    sets.UserClick(ui::IDCANCEL);
    EXPECT_FALSE(model.GetSetTable(1)->CompareSetTable(before));
    EXPECT_EQ(model.FindSetTable(1, "A"), nullptr);
    EXPECT_EQ(model.GetNodalActionTable(1)->GetTarget(0), "EDGE");
    EXPECT_FALSE(model.IsChanged());

    // Apply stands: a later Cancel keeps what it stored.
    doc.ShowSetsDialog(1, view);
    ui::Dialog& again = *doc.SlotDialog(CKorbelDoc::NodeSetsSlot);
    again.UserType(GridPage::CellId(2, 1), "RIM");
    again.UserKey(ui::key::Tab);
    again.UserClick(GridPage::kApplyId);
    EXPECT_EQ(again.GetDlgItemText(ui::IDCANCEL), "Close");
    again.UserClick(ui::IDCANCEL);
    EXPECT_EQ(model.GetNodalActionTable(1)->GetTarget(0), "RIM");
    EXPECT_NE(model.FindSetTable(1, "RIM"), nullptr);
}

// A point is typed coordinate by coordinate without a word; it is checked
// once its row is left (a click into another row, Add Row) or written.
TEST_F(TypedValues, ConcentratedLoadIsCheckedWhenItsRowIsLeft) {
    using D = DlgConcentratedActions;
    CKorbelDoc& doc = OpenExample("slab-point-loads.slb");
    driver.ExpectModal([this](ui::Dialog& d) {
        d.UserClick(D::IDC_ADD_ROW);
        d.UserType(GridPage::CellId(3, 2), "8.5");
        d.UserFocus(GridPage::CellId(3, 3));
        d.UserType(GridPage::CellId(3, 3), "5.5");
        d.UserKey(ui::key::Tab);
        d.UserType(GridPage::CellId(3, D::kFirstComponent), "-7.25");
        d.UserKey(ui::key::Tab);
        d.UserKey(ui::key::Tab, ui::mod::Shift);
        EXPECT_TRUE(driver.MessageBoxes().empty());
        EXPECT_EQ(d.GetDlgItemText(GridPage::CellId(3, D::kFirstComponent)), "-7.25");

        const std::string outside =
            " Coordinate 0.000000, 8.500000, 5.500000  is outside of model limits\n Check row 3";
        d.UserFocus(GridPage::CellId(1, 2));
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(LastBox(), outside);
        d.UserClick(ui::IDOK);
        EXPECT_EQ(driver.MessageBoxes().size(), 2u);
        EXPECT_EQ(LastBox(), outside);
        EXPECT_FALSE(d.IsEnded());
        d.UserType(GridPage::CellId(3, 2), "7.5");
        d.UserClick(ui::IDOK);
    });
    doc.ShowConcentratedActionsDialog(view, 1);
    EXPECT_TRUE(driver.AllScriptsUsed());
    const ConcentratedActionTable& loads = *doc.GetModelData()->GetConcentratedActionTable(1);
    ASSERT_EQ(loads.GetCount(), 3);
    EXPECT_EQ(loads.GetCoordinate(2, 1), 7.5);
    EXPECT_EQ(loads.GetCoordinate(2, 2), 5.5);
    EXPECT_EQ(loads.GetValue(2, 0), -7.25);
}

// Edits in an open grid that are not applied are offered before the
// document goes (Exit, New, Open, a recent file): Yes applies them, No
// drops them, Cancel keeps the document and the grid as they were.
TEST_F(TypedValues, UnappliedEditsAreOfferedBeforeTheDocumentGoes) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    const std::string path = doc.GetPathName();
    ui::Frame& frame = *app.MainFrame();
    const std::string question = "The changes in Specified Nodal Displacements are not applied.\nApply them?";

    // A ticked box: Exit asks; Cancel keeps all.
    doc.ShowNodalActionsDialog(view, 1);
    ui::Dialog& grid = *doc.SlotDialog(CKorbelDoc::NodalActionsSlot);
    grid.UserClick(DlgNodalActions::CheckId(1, 1));
    driver.ExpectMessageBox(ui::IDCANCEL, question);
    frame.ExecuteCommand(ui::cmd::AppExit);
    EXPECT_TRUE(driver.AllScriptsUsed());
    ASSERT_EQ(app.FindOpenDocument(), &doc);
    EXPECT_TRUE(grid.IsWindowVisible());
    EXPECT_EQ(grid.IsDlgButtonChecked(DlgNodalActions::CheckId(1, 1)), 1);

    // A value typed and not yet left: New asks; Yes applies, then the save
    // question saves it.
    grid.UserType(GridPage::CellId(1, 3), "0.5");
    driver.ExpectMessageBox(ui::IDYES, question);
    driver.ExpectMessageBox(ui::IDYES, "Save changes to " + path + "?");
    frame.ExecuteCommand(ui::cmd::FileNew);
    EXPECT_TRUE(driver.AllScriptsUsed());
    ModelData saved;
    ASSERT_EQ(saved.ReadModelFile(path, true), 0);
    EXPECT_EQ(saved.GetNodalActionTable(1)->GetHead()->flags[0], 1);
    EXPECT_EQ(saved.GetNodalActionTable(1)->GetHead()->values[1], 0.5);

    // No drops them: the file opened from the recent list replaces the
    // document without a save question, and the file is as it was.
    CKorbelDoc& again = OpenExample("slab-point-loads.slb");
    again.ShowNodalActionsDialog(view, 1);
    ui::Dialog& other = *again.SlotDialog(CKorbelDoc::NodalActionsSlot);
    other.UserClick(DlgNodalActions::CheckId(1, 1));
    const std::string before = ReadAll(again.GetPathName());
    driver.ExpectMessageBox(ui::IDNO, question);
    ASSERT_TRUE(frame.ExecuteCommand(ui::cmd::FileMruFirst + 1));
    EXPECT_TRUE(driver.AllScriptsUsed());
    EXPECT_EQ(app.FindOpenDocument()->GetPathName(), path);
    EXPECT_EQ(ReadAll(dir.File("slab-point-loads.slb")), before);
}

}  // namespace
