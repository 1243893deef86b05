// "Nonlinear Spring" under a real X display: a mouse click sent through the X
// server selects a profile in the list, and the compact chart shows its
// curve in red. The screenshot is kept in the test folder.
#include <gtest/gtest.h>

#include <string>
#include <utility>

// The layer's headers before the X headers, which define None.
#include "SquareMeshSupport.h"
#include "dialogs/CDlgNonlinearSpring.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

using S = CDlgNonlinearSpring;

bool IsRed(const unsigned char* p) { return p[0] > 200 && p[1] < 80 && p[2] < 80; }

int RedPixels(const Shot& s) {
    int red = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) red += IsRed(s.At(x, y));
    return red;
}

class NonlinearSpringDesktop : public FltkDisplayTest {};

TEST_F(NonlinearSpringDesktop, ClickOnAProfileDrawsItsRedCurve) {
    ModelData model;
    dialogtest::BuildSquareMesh(model);
    dialogtest::FakeDoc doc;
    dialogtest::FakeView view;
    doc.model = view.model = &model;

    S dlg(&doc, &view);
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(true);
    Fl_Window* win = backend.TopWindowOf(dlg);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(WaitFor([&] { return win->shown() && win->visible(); }));
    EXPECT_FALSE(dlg.GetDlgItem(S::IDC_CHART)->IsWindowVisible());

    // The first line of the list: "Soft".
    Fl_Widget* list = backend.WidgetOf(*dlg.GetDlgItem(S::IDC_PROFILE_LIST));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(Settle());  // the window settles on the screen
    SendClick(win, list->x() + 20, list->y() + 8);
    ASSERT_TRUE(WaitFor([&] { return dlg.SelectedIndex() == 0; })) << "the click did not select the profile";
    EXPECT_EQ(dlg.GetDlgItemText(S::IDC_NAME), "Soft");

    Fl_Widget* chart = backend.WidgetOf(*dlg.GetDlgItem(S::IDC_CHART));
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(WaitFor([&] { return chart->visible(); }));
    ASSERT_TRUE(Settle());
    const Shot window = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(window, "dialogs_spring_curve.bmp");
    const Shot plot = Screenshot(win->x() + chart->x(), win->y() + chart->y(), chart->w(), chart->h());
    // The polyline of width 2 over most of the chart's width.
    EXPECT_GT(RedPixels(plot), chart->w() / 2);
    EXPECT_EQ(RedPixels(Screenshot(win->x() + list->x(), win->y() + list->y(), list->w(), list->h())), 0);
    CloseWindow(dlg);
}

}  // namespace
