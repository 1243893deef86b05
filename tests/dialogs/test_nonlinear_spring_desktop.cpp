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

class NonlinearSpringDesktop : public FltkDisplayTest {
protected:
    NonlinearSpringDesktop() {
        dialogtest::BuildSquareMesh(model);
        doc.model = view.model = &model;
    }
    // The dialog's window, shown and settled on the screen.
    Fl_Window* Show(S& dlg) {
        if (!dlg.Create()) return nullptr;
        dlg.ShowWindow(true);
        Fl_Window* win = backend.TopWindowOf(dlg);
        return win && WaitFor([&] { return win->shown() && win->visible(); }) && Settle() ? win : nullptr;
    }
    ModelData model;
    dialogtest::FakeDoc doc;
    dialogtest::FakeView view;
};

TEST_F(NonlinearSpringDesktop, ClickOnAProfileDrawsItsRedCurve) {
    S dlg(&doc, &view);
    Fl_Window* win = Show(dlg);
    ASSERT_NE(win, nullptr);
    EXPECT_FALSE(dlg.GetDlgItem(S::IDC_CHART)->IsWindowVisible());

    // The first line of the list: "Soft".
    Fl_Widget* list = backend.WidgetOf(*dlg.GetDlgItem(S::IDC_PROFILE_LIST));
    ASSERT_NE(list, nullptr);
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

// A point cell holding "1,5" left by a click on "Add Row": one message says
// why, the focus goes back to the cell and the button does nothing.
TEST_F(NonlinearSpringDesktop, AnUnreadableCellGivesOneMessage) {
    S dlg(&doc, &view);
    Fl_Window* win = Show(dlg);
    ASSERT_NE(win, nullptr);
    Fl_Widget* list = backend.WidgetOf(*dlg.GetDlgItem(S::IDC_PROFILE_LIST));
    SendClick(win, list->x() + 20, list->y() + 8);
    ASSERT_TRUE(
        WaitFor([&] { return dlg.SelectedIndex() == 0 && dlg.GetDlgItem(S::DeformationId(2))->IsWindowVisible(); }));
    ASSERT_TRUE(Settle());
    auto click = [&](int id) {
        Fl_Widget* w = backend.WidgetOf(*dlg.GetDlgItem(id));
        SendClick(win, w->x() + w->w() / 2, w->y() + w->h() / 2);
    };
    click(S::DeformationId(2));
    ASSERT_TRUE(WaitFor([&] { return dlg.GetFocus() == dlg.GetDlgItem(S::DeformationId(2)); }));
    SendKey(win, XK_a, ControlMask);
    TypeText(win, "1,5");
    ASSERT_TRUE(WaitFor([&] { return dlg.GetDlgItemText(S::DeformationId(2)) == "1,5"; }));

    // Every box that comes is counted and answered by a timer (a box runs
    // its own loop); the count stands once no box has come for a second.
    struct Answer {
        brennix::fltk::FltkBackend* backend;
        int boxes = 0;
        Fl_Window* last = nullptr;
        std::chrono::steady_clock::time_point quietSince = std::chrono::steady_clock::now();
        static void Tick(void* data) {
            auto* a = static_cast<Answer*>(data);
            Fl_Window* box = a->backend->ActiveMessageBox();
            if (box && box->shown() && box->visible()) {
                if (box != a->last) {
                    a->last = box;
                    if (++a->boxes == 1)
                        SaveShot(Screenshot(box->x(), box->y(), box->w(), box->h()), "dialogs_spring_unreadable.bmp");
                    SendKey(box, XK_Return);
                }
                a->quietSince = std::chrono::steady_clock::now();
            } else {
                a->last = nullptr;
            }
            Fl::repeat_timeout(0.05, Tick, data);
        }
    } answer{&backend};
    Fl::add_timeout(0.05, Answer::Tick, &answer);
    click(S::IDC_ADD_ROW);
    WaitFor([&] {
        return answer.boxes > 0 && !backend.ActiveMessageBox() &&
               std::chrono::steady_clock::now() - answer.quietSince > std::chrono::seconds(1);
    });
    Fl::remove_timeout(Answer::Tick, &answer);
    const int boxes = answer.boxes;
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(dlg.GetFocus(), dlg.GetDlgItem(S::DeformationId(2)));
    EXPECT_FALSE(dlg.GetDlgItem(S::DeformationId(4))->IsWindowVisible());  // no point added
    CloseWindow(dlg);
}

}  // namespace
