// "Node Path" driven as the user drives it: paths proposed, created from
// two nodes or typed, stored, selected, updated and deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SquareMeshSupport.h"
#include "dialogs/CDlgNodePath.h"

namespace {

using dialogtest::SquareMeshFixture;
using P = CDlgNodePath;

class NodePathTest : public SquareMeshFixture {
protected:
    // New, start and end typed, Create.
    void CreatePath(P& d, const std::string& start, const std::string& end) {
        d.UserClick(P::IDC_NEW);
        d.UserType(P::IDC_START, start);
        d.UserType(P::IDC_END, end);
        d.UserClick(P::IDC_CREATE);
    }
};

TEST_F(NodePathTest, NewProposesANameWithZeroNodes) {
    P d(&doc, &view);
    Open(d);
    EXPECT_FALSE(Visible(d, P::IDC_CREATE));
    EXPECT_FALSE(Enabled(d, P::IDC_SAVE));
    d.UserClick(P::IDC_NEW);
    EXPECT_EQ(d.GetDlgItemText(P::IDC_NAME), "Node Path Group 1");
    EXPECT_EQ(d.GetDlgItemText(P::IDC_START), "0");
    EXPECT_EQ(d.GetDlgItemText(P::IDC_END), "0");
    EXPECT_EQ(d.IsDlgButtonChecked(P::IDC_START_END), 1);
    EXPECT_TRUE(Enabled(d, P::IDC_CREATE));
    EXPECT_TRUE(Enabled(d, P::IDC_SAVE));
}

TEST_F(NodePathTest, CreateChecksTheNodesAndListsTheDiagonal) {
    P d(&doc, &view);
    Open(d);
    struct Case {
        const char* start;
        const char* end;
        const char* message;
    };
    const Case cases[] = {
        {"0", "16", "Please input non-zero/non-negative node number"},
        {"1", "x", "Please input non-zero/non-negative node number"},
        {"1", "17", "Please input valid node number"},
    };
    for (const Case& c : cases) {
        CreatePath(d, c.start, c.end);
        EXPECT_EQ(LastBox(), c.message) << c.start << " " << c.end;
        EXPECT_EQ(d.GetDlgItemText(P::IDC_NODE_LIST), "");
    }
    CreatePath(d, "1", "16");
    EXPECT_EQ(d.GetDlgItemText(P::IDC_NODE_LIST), "1,6,11,16");
    EXPECT_EQ(d.WorkingPath()->nodes, (std::vector<int>{1, 6, 11, 16}));
}

TEST_F(NodePathTest, NumbersWithGapsAreValidWhenANodeHasThem) {
    model.GetNodeTable()->SetNodeId(15, 40);  // node 16 becomes 40
    model.RebuildNodeIndex();
    P d(&doc, &view);
    Open(d);
    CreatePath(d, "1", "40");
    EXPECT_TRUE(Boxes().empty()) << LastBox();
    EXPECT_EQ(d.GetDlgItemText(P::IDC_NODE_LIST), "1,6,11,40");
}

TEST_F(NodePathTest, SaveChecksNameAndListAndStoresResolvedNodes) {
    P d(&doc, &view);
    Open(d);
    d.UserClick(P::IDC_NEW);
    d.UserClick(P::IDC_SAVE);
    EXPECT_EQ(LastBox(), "Please create node list before save");
    EXPECT_EQ(model.NodePathCount(), 0);
    CreatePath(d, "1", "4");
    d.UserClick(P::IDC_SAVE);
    ASSERT_EQ(model.NodePathCount(), 1);
    EXPECT_EQ(model.NodePathAt(0)->nodes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(model.NodePathAt(0)->mode, 1);
    EXPECT_EQ(ListItems(d, P::IDC_PATH_LIST), std::vector<std::string>{"Node Path Group 1"});
    EXPECT_FALSE(Visible(d, P::IDC_NODE_LIST));
    EXPECT_TRUE(doc.modifiedFlag);

    // A typed list of a new path: its nodes come from the text.
    d.UserClick(P::IDC_NEW);
    d.UserClick(P::IDC_MANUAL);
    d.UserType(P::IDC_NODE_LIST, "13,14,15");
    d.UserType(P::IDC_NAME, "Node Path Group 1");
    d.UserClick(P::IDC_SAVE);
    EXPECT_EQ(LastBox(), "Error:\n Group of node path already exists.");
    d.UserType(P::IDC_NAME, "Top");
    d.UserClick(P::IDC_SAVE);
    ASSERT_EQ(model.NodePathCount(), 2);
    EXPECT_EQ(model.NodePathAt(1)->mode, 2);
    EXPECT_EQ(model.NodePathAt(1)->nodes, (std::vector<int>{13, 14, 15}));
}

TEST_F(NodePathTest, SelectionRebuildsTheListAndUpdateStoresTheEdit) {
    NodePath stored;
    stored.mode = 1;
    stored.name = "Diagonal";
    stored.startNode = 1;
    stored.endNode = 16;
    stored.nodeListText = "1,16";  // written before the mesh had its middle nodes
    model.AddNodePath(stored);
    P d(&doc, &view);
    Open(d);
    d.UserSelect(P::IDC_PATH_LIST, 0);
    EXPECT_EQ(d.GetDlgItemText(P::IDC_NODE_LIST), "1,6,11,16");
    EXPECT_EQ(view.highlight, std::make_pair(1, std::string("1,6,11,16")));
    EXPECT_FALSE(Enabled(d, P::IDC_CREATE));
    EXPECT_FALSE(Enabled(d, P::IDC_UPDATE));
    d.UserType(P::IDC_END, "4");
    EXPECT_TRUE(Enabled(d, P::IDC_UPDATE));
    EXPECT_TRUE(Enabled(d, P::IDC_CREATE));
    d.UserClick(P::IDC_UPDATE);
    EXPECT_EQ(model.NodePathAt(0)->endNode, 4);
    EXPECT_EQ(model.NodePathAt(0)->nodes, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(Visible(d, P::IDC_NODE_LIST));
}

TEST_F(NodePathTest, DeleteAsksAndNoChangesNothing) {
    NodePath stored;
    stored.mode = 2;
    stored.name = "Typed";
    stored.nodeListText = "2,3";
    model.AddNodePath(stored);
    P d(&doc, &view);
    Open(d);
    d.UserSelect(P::IDC_PATH_LIST, 0);
    EXPECT_EQ(d.IsDlgButtonChecked(P::IDC_MANUAL), 1);
    EXPECT_FALSE(Enabled(d, P::IDC_START));
    driver.ExpectMessageBox(ui::IDNO, "Delete Node Path?");
    d.UserClick(P::IDC_DELETE);
    EXPECT_EQ(model.NodePathCount(), 1);
    EXPECT_FALSE(doc.modifiedFlag);
    EXPECT_FALSE(model.IsChanged());
    driver.ExpectMessageBox(ui::IDYES, "Delete Node Path?");
    d.UserClick(P::IDC_DELETE);
    EXPECT_EQ(model.NodePathCount(), 0);
    EXPECT_TRUE(ListItems(d, P::IDC_PATH_LIST).empty());
    EXPECT_TRUE(doc.modifiedFlag);
}

TEST_F(NodePathTest, CloseOffersANewPathAndStaysOpenWhenTheSaveIsRefused) {
    NodePath stored;
    stored.mode = 2;
    stored.name = "Node Path Group 2";
    stored.nodeListText = "2";
    model.AddNodePath(stored);
    P d(&doc, &view);
    Open(d);
    CreatePath(d, "1", "4");
    d.UserType(P::IDC_NAME, "Node Path Group 2");
    driver.ExpectMessageBox(ui::IDYES, "Save data before close?");
    d.UserKey(ui::key::Escape);
    EXPECT_EQ(LastBox(), "Error:\n Group of node path already exists.");
    EXPECT_FALSE(d.IsEnded());
    driver.ExpectMessageBox(ui::IDNO, "Save data before close?");
    d.UserClose();
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(model.NodePathCount(), 1);
}

}  // namespace
