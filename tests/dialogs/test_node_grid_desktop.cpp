// "Node Coordinates" under a real X display, driven by input events sent
// through the X server: a duplicate number and Tab bring up the message box
// (screenshot), Enter closes it, a new number, Tab and a click on "Apply"
// reach the model, Enter closes the grid. Screenshots are kept in the test
// folder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The layer's headers before the X headers, which define None.
#include "DialogTestSupport.h"
#include "dialogs/DlgNodeData.h"
#include "dialogs/InputDialogOpeners.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

using G = GridPage;

class NodeGridDesktop : public FltkDisplayTest {};

TEST_F(NodeGridDesktop, DuplicateNumberMessageThenApplyUnderARealDisplay) {
    ModelData model;
    dialogtest::BuildSmallModel(model);
    dialogtest::FreeNodeOne(model);
    dialogtest::FakeDoc doc;
    dialogtest::FakeView view;
    doc.model = view.model = &model;

    ui::Dialog* dlg = nullptr;
    Fl_Window* win = nullptr;
    int settle = 0;
    auto settled = [&settle] { return ++settle % 6 == 0; };
    auto text = [&](int id) { return dlg ? dlg->GetDlgItemText(id) : std::string(); };
    auto focusId = [&] { return dlg && dlg->GetFocus() ? dlg->GetFocus()->GetDlgCtrlID() : 0; };
    auto centreOf = [&](int id) {
        Fl_Widget* w = backend.WidgetOf(*dlg->GetDlgItem(id));
        return std::make_pair(w->x() + w->w() / 2, w->y() + w->h() / 2);
    };

    ModalSteps steps;
    steps.list = {
        {"grid shown",
         [&] {
             win = WindowTitled("Node Coordinates");
             dlg = win ? dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(win)) : nullptr;
             if (!dlg || !win->visible() || !settled()) return false;
             EXPECT_EQ(focusId(), G::CellId(1, 1));
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "dialogs_node_grid.bmp");
             EXPECT_GT(Ink(s), 500);  // headings, numbers, buttons
             SendKey(win, XK_2);      // over the selected "1"
             return true;
         }},
        {"typed, Tab",
         [&] {
             if (text(G::CellId(1, 1)) != "2") return false;
             SendKey(win, XK_Tab);
             return true;
         }},
        {"duplicate message shown",
         [&] {
             Fl_Window* box = backend.ActiveMessageBox();
             if (!box || !box->shown() || !settled()) return false;
             const Shot s = Screenshot(box->x(), box->y(), box->w(), box->h());
             SaveShot(s, "dialogs_node_duplicate.bmp");
             EXPECT_GT(Ink(s), 100);  // the text and the button
             SendKey(box, XK_Return);
             return true;
         }},
        {"message closed: a new number",
         [&] {
             if (backend.ActiveMessageBox() || !settled()) return false;
             EXPECT_EQ(focusId(), G::CellId(1, 1));
             EXPECT_EQ(text(G::CellId(1, 1)), "2");
             SendKey(win, XK_BackSpace);
             SendKey(win, XK_Delete);
             SendKey(win, XK_9);
             return true;
         }},
        {"new number, Tab",
         [&] {
             if (text(G::CellId(1, 1)) != "9") return false;
             SendKey(win, XK_Tab);
             return true;
         }},
        {"Apply enabled: click it",
         [&] {
             if (!dlg->GetDlgItem(G::kApplyId)->IsWindowEnabled() || !settled()) return false;
             EXPECT_EQ(focusId(), G::CellId(1, 3));
             const auto [x, y] = centreOf(G::kApplyId);
             SendClick(win, x, y);
             return true;
         }},
        {"applied",
         [&] {
             if (model.GetNodeTable()->GetNodeId(4) != 9 || !settled()) return false;
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "dialogs_node_applied.bmp");
             EXPECT_FALSE(dlg->GetDlgItem(G::kApplyId)->IsWindowEnabled());
             EXPECT_EQ(text(G::CellId(5, 1)), "9");
             SendKey(win, XK_Return);  // OK
             return true;
         }},
    };
    steps.abort = [&] {
        if (Fl_Window* box = backend.ActiveMessageBox()) box->hide();
        if (dlg && dlg->IsModal()) dlg->EndDialog(ui::IDCANCEL);
    };
    Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
    DlgNodeData(&doc, &view).DoModal();
    Fl::remove_timeout(ModalSteps::Tick, &steps);

    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(steps.next, steps.list.size());
    std::vector<int> ids;
    for (int i = 0; i < model.GetNodeTable()->GetCount(); ++i) ids.push_back(model.GetNodeTable()->GetNodeId(i));
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 4, 5, 9}));
    EXPECT_TRUE(doc.modifiedFlag);
}

}  // namespace
