// "Nodal Nonlinear Stiffness" driven as the user drives it: groups proposed,
// their node lists and springs checked, stored, selected and deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SquareMeshSupport.h"
#include "dialogs/CDlgNodalNonlinearActions.h"

namespace {

using dialogtest::SquareMeshFixture;
using N = CDlgNodalNonlinearActions;

class NodalNonlinearTest : public SquareMeshFixture {
protected:
    // A group of the nodes "1,2" on spring "Stiff", stored through the dialog.
    void AddGroup(N& d, const std::string& name, const std::string& nodes) {
        d.UserClick(N::IDC_NEW);
        d.UserType(N::IDC_NAME, name);
        d.UserType(N::IDC_NODE_LIST, nodes);
        d.UserSelect(N::IDC_SPRING, 1);
        ASSERT_TRUE(d.OnBnClickedSave()) << LastBox();
    }
    std::string ComboText(const N& d, int id) const {
        const auto* c = d.Get<ui::ComboBox>(id);
        return c->GetCurSel() >= 0 ? c->GetLBText(c->GetCurSel()) : "";
    }
};

TEST(NodeListCheck, OnlyDigitsAndCommasPass) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {{"1,2,3", 0}, {"00", 0}, {"0,0", 0}, {"", 0},    {"1, 2", 1},
                          {"1;2", 1},   {"-1", 1}, {"0", 3},   {"1-5", 1}, {"UserSet \"A\"", 1}};
    for (const Case& c : cases) EXPECT_EQ(N::CheckNodeList(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST_F(NodalNonlinearTest, NewProposesANameAndShowsTheEditor) {
    N d(&doc, &view);
    Open(d);
    EXPECT_FALSE(Visible(d, N::IDC_NAME));
    EXPECT_FALSE(Enabled(d, N::IDC_SAVE));
    EXPECT_EQ(d.Get<ui::ComboBox>(N::IDC_SPRING)->Items(), (std::vector<std::string>{"Soft", "Stiff"}));
    d.UserClick(N::IDC_NEW);
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NAME), "Nodal Nonlinear Stiffness Group 1");
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NODE_CAPTION), "Input Node Name");
    EXPECT_TRUE(Visible(d, N::IDC_SPRING));
    EXPECT_FALSE(Enabled(d, N::IDC_SELECT_NODE_SET));
    EXPECT_EQ(ComboText(d, N::IDC_OPTION), "Disp X");
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("")));
    EXPECT_FALSE(Enabled(d, N::IDC_SAVE));
    d.UserType(N::IDC_NODE_LIST, "1");
    EXPECT_TRUE(Enabled(d, N::IDC_SAVE));
}

TEST_F(NodalNonlinearTest, SaveChecksNodesSpringAndNameInTurn) {
    N d(&doc, &view);
    Open(d);
    d.UserClick(N::IDC_NEW);
    for (const char* bad : {"1, 2", "1;2", "-1", "0"}) {
        d.UserType(N::IDC_NODE_LIST, bad);
        d.UserClick(N::IDC_SAVE);
        EXPECT_EQ(LastBox(), "Error:\n Invalid node numbers.") << bad;
    }
    d.UserType(N::IDC_NODE_LIST, "1,2,3");
    d.UserClick(N::IDC_SAVE);
    EXPECT_EQ(LastBox(), "Error:\n Please select a nonlinear spring profile.");
    EXPECT_EQ(model.NonlinearActionCount(), 0);
    d.UserSelect(N::IDC_SPRING, 1);
    d.UserClick(N::IDC_SAVE);
    ASSERT_EQ(model.NonlinearActionCount(), 1);
    const NonlinearAction& stored = *model.NonlinearActionAt(0);
    EXPECT_EQ(stored.groupName, "Nodal Nonlinear Stiffness Group 1");
    EXPECT_EQ(stored.nodeText, "1,2,3");
    EXPECT_EQ(stored.springName, "Stiff");
    EXPECT_EQ(stored.springNumber, 1);
    EXPECT_EQ(stored.reserved, 0);
    EXPECT_EQ(stored.setSelector, 0);
    EXPECT_EQ(ListItems(d, N::IDC_GROUP_LIST), (std::vector<std::string>{"Nodal Nonlinear Stiffness Group 1"}));
    EXPECT_FALSE(Visible(d, N::IDC_NAME));
    EXPECT_TRUE(doc.modifiedFlag);
    EXPECT_TRUE(model.IsChanged());

    d.UserClick(N::IDC_NEW);
    d.UserType(N::IDC_NAME, "Nodal Nonlinear Stiffness Group 1");
    d.UserSelect(N::IDC_SPRING, 0);
    d.UserClick(N::IDC_SAVE);
    EXPECT_EQ(LastBox(), "Error:\n Group of Nodal Stiffness already exists.");
    // New while the new group is being edited: a refused store asks again.
    driver.ExpectMessageBox(ui::IDOK, "Save current data?");
    driver.ExpectMessageBox(ui::IDCANCEL, "Save current data?");
    d.UserClick(N::IDC_NEW);
    EXPECT_EQ(model.NonlinearActionCount(), 1);
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NAME), "Nodal Nonlinear Stiffness Group 2");
}

TEST_F(NodalNonlinearTest, SelectionShowsTheGroupAndUpdateRefusesAnotherGroupsName) {
    N d(&doc, &view);
    Open(d);
    AddGroup(d, "A", "1,2");
    AddGroup(d, "B", "5");
    d.UserSelect(N::IDC_GROUP_LIST, 0);
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NAME), "A");
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NODE_LIST), "1,2");
    EXPECT_EQ(ComboText(d, N::IDC_SPRING), "Stiff");
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("1,2")));
    EXPECT_FALSE(Enabled(d, N::IDC_UPDATE));
    EXPECT_TRUE(Enabled(d, N::IDC_DELETE));
    d.UserType(N::IDC_NAME, "B");
    EXPECT_TRUE(Enabled(d, N::IDC_UPDATE));
    d.UserClick(N::IDC_UPDATE);
    EXPECT_EQ(LastBox(), "Error:\n Group of Nodal Stiffness already exists.");
    d.UserType(N::IDC_NAME, "A");
    d.UserType(N::IDC_NODE_LIST, "3,4");
    d.UserClick(N::IDC_UPDATE);
    EXPECT_EQ(model.NonlinearActionAt(0)->nodeText, "3,4");
    EXPECT_EQ(model.NonlinearActionAt(0)->groupName, "A");
    EXPECT_FALSE(Enabled(d, N::IDC_UPDATE));
}

TEST_F(NodalNonlinearTest, StoredSpringIsFoundByNameAfterTheListMoved) {
    NonlinearAction group;
    group.groupName = "G";
    group.nodeText = "EDGE";
    group.setSelector = 1;
    group.springName = "Stiff";
    group.springNumber = 1;
    model.AddNonlinearAction(group);
    NonlinearSpring early;
    early.name = "Early";
    model.AddNonlinearSpring(early);  // sorts first: "Stiff" moves to 2
    N d(&doc, &view);
    Open(d);
    d.UserSelect(N::IDC_GROUP_LIST, 0);
    EXPECT_TRUE(Boxes().empty()) << LastBox();
    EXPECT_EQ(ComboText(d, N::IDC_SPRING), "Stiff");
    EXPECT_EQ(d.GetDlgItemText(N::IDC_NODE_LIST), "UserSet \"EDGE\"");
    EXPECT_EQ(d.IsDlgButtonChecked(N::IDC_USE_NODE_SET), 1);
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("1,2,3,4,")));

    // The dialog's own set goes back with Update, whatever was picked last.
    model.selectedSetName = "OTHER";
    d.UserSelect(N::IDC_SPRING, 0);
    d.UserClick(N::IDC_UPDATE);
    EXPECT_EQ(model.NonlinearActionAt(0)->nodeText, "EDGE");
    EXPECT_EQ(model.NonlinearActionAt(0)->springName, "Early");
    EXPECT_EQ(model.NonlinearActionAt(0)->springNumber, 0);

    model.RemoveNonlinearSpring(2);  // "Early" goes again
    model.NonlinearActionAt(0)->springName = "Gone";
    N again(&doc, &view);
    Open(again);
    again.UserSelect(N::IDC_GROUP_LIST, 0);
    EXPECT_EQ(LastBox(), "Warning: \n Invalid nonlinear spring. ");
    EXPECT_EQ(ComboText(again, N::IDC_SPRING), "");
}

TEST_F(NodalNonlinearTest, DeleteKeepsTheOptionListAndCloseEndsWithTheView) {
    N d(&doc, &view);
    Open(d);
    AddGroup(d, "A", "1");
    AddGroup(d, "B", "2");
    for (int i = 0; i < 2; ++i) {
        d.UserSelect(N::IDC_GROUP_LIST, 0);
        driver.ExpectMessageBox(ui::IDYES, "Delete Nonlinear Group?");
        d.UserClick(N::IDC_DELETE);
        EXPECT_EQ(d.Get<ui::ComboBox>(N::IDC_OPTION)->Items(), std::vector<std::string>{"Disp X"});
    }
    EXPECT_EQ(model.NonlinearActionCount(), 0);
    d.UserKey(ui::key::Escape);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("ss")));
    d.OnBnClickedNew();  // nothing once the working group is gone
}

}  // namespace
