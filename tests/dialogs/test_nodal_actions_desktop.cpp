// "Nodal Loads" under a real X display, opened as the document opens it
// (modeless, 50 pixels down and right) and driven by input events sent
// through the X server: a click on a dof check box enables its value cell
// (screenshot: that cell white, the unchecked ones greyed), a typed value,
// Tab and a click on "Apply" reach the model's table. Screenshots are kept in
// the test folder.
#include <gtest/gtest.h>

#include <string>
#include <utility>

// The layer's headers before the X headers, which define None.
#include "ActionGridSupport.h"
#include "dialogs/ActionDialogOpeners.h"
#include "dialogs/DlgNodalActions.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

using G = GridPage;
using D = DlgNodalActions;

// Mean brightness of the inside of a widget's box (a few pixels in from its
// border).
double Brightness(const Shot& s, Fl_Widget* w) {
    long sum = 0, n = 0;
    for (int y = w->y() + 4; y < w->y() + w->h() - 4; ++y)
        for (int x = w->x() + 4; x < w->x() + w->w() - 4; ++x) {
            const unsigned char* p = s.At(x, y);
            sum += p[0] + p[1] + p[2];
            ++n;
        }
    return n ? static_cast<double>(sum) / (3.0 * n) : 0.0;
}

class NodalActionsDesktop : public FltkDisplayTest {};

TEST_F(NodalActionsDesktop, ACheckBoxClickEnablesItsValueAndApplyReachesTheModel) {
    ModelData model;
    dialogtest::BuildSquareMesh(model);
    NodalActionTable& loads = *model.GetNodalActionTable(2);
    const double values[6] = {};
    const int flags[6] = {};
    loads.AddNodalActionRow("5", values, flags);
    loads.CountRows();
    loads.RebuildIndex();
    model.ClearChanged();
    dialogtest::FakeDoc doc;
    dialogtest::FakeView view;
    doc.model = view.model = &model;

    actiondialogs::RoutedGrid grid = actiondialogs::MakeNodalActionsGrid(doc, view, 2);
    ASSERT_TRUE(grid.create());
    auto* dlg = dynamic_cast<D*>(grid.window.get());
    ASSERT_NE(dlg, nullptr);
    ui::Rect r = dlg->GetWindowRect();
    dlg->MoveWindow({r.x + 50, r.y + 50, r.w, r.h});
    dlg->ShowWindow(true);
    Fl_Window* win = backend.TopWindowOf(*dlg);
    ASSERT_TRUE(win && WaitFor([&] { return win->shown() && win->visible(); }));
    EXPECT_STREQ(win->label(), "Nodal Loads");
    ASSERT_TRUE(Settle());

    auto widget = [&](int id) { return backend.WidgetOf(*dlg->GetDlgItem(id)); };
    auto centre = [&](int id) {
        Fl_Widget* w = widget(id);
        return std::make_pair(w->x() + w->w() / 2, w->y() + w->h() / 2);
    };
    EXPECT_FALSE(dlg->GetDlgItem(G::CellId(1, 3))->IsWindowEnabled());

    const auto [bx, by] = centre(D::CheckId(1, 2));
    SendClick(win, bx, by);
    ASSERT_TRUE(WaitFor([&] { return dlg->GetDlgItem(G::CellId(1, 3))->IsWindowEnabled(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dlg->IsDlgButtonChecked(D::CheckId(1, 2)), 1);
    EXPECT_EQ(dlg->GetFocus(), dlg->GetDlgItem(G::CellId(1, 3)));
    const Shot shot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(shot, "dialogs_nodal_loads_checked.bmp");
    // The enabled value cell is white, its unchecked neighbours are grey.
    const double enabled = Brightness(shot, widget(G::CellId(1, 3)));
    const double greyed = Brightness(shot, widget(G::CellId(1, 4)));
    EXPECT_GT(enabled, greyed + 10.0) << enabled << " " << greyed;

    TypeText(win, "12.5");
    ASSERT_TRUE(WaitFor([&] { return dlg->GetDlgItemText(G::CellId(1, 3)) == "12.5"; }));
    SendKey(win, XK_Tab);
    ASSERT_TRUE(WaitFor([&] { return dlg->GetDlgItem(G::kApplyId)->IsWindowEnabled(); }));
    const auto [ax, ay] = centre(G::kApplyId);
    SendClick(win, ax, ay);
    ASSERT_TRUE(WaitFor([&] { return model.IsChanged(); }));
    ASSERT_TRUE(Settle());
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "dialogs_nodal_loads_applied.bmp");

    EXPECT_EQ(model.GetNodalActionTable(2)->GetFlag(0, 1), 1);
    EXPECT_EQ(model.GetNodalActionTable(2)->GetValue(0, 1), 12.5);
    EXPECT_EQ(model.GetNodalActionTable(2)->GetTarget(0), "5");
    CloseWindow(*dlg);
}

}  // namespace
