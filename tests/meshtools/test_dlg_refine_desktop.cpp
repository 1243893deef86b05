// The refine dialog on a real X display: typed into through key events sent
// by the X server, a bad division refused with a message box that is
// answered with Enter, then good divisions handed to the view. Screenshots
// of the dialog and of the message box are kept in the test folder.

#include <gtest/gtest.h>

#include <vector>

#include "../fltk/XInput.h"
#include "GridMeshSupport.h"
#include "uibase/Hosts.h"
#include "meshtools/ui/DlgRefine.h"

namespace {

class RecordingView : public ViewHost {
public:
    ModelData* GetModelData() const override { return model; }
    void RefineMesh(int a, int b, double) override { calls.push_back({a, b}); }
    ModelData* model = nullptr;
    std::vector<std::pair<int, int>> calls;
};

// Answers message boxes with Enter from a timer, because a box runs its own
// loop inside the key event that opened it. The first box is photographed.
struct BoxAnswerer {
    brennix::fltk::FltkBackend* backend = nullptr;
    Fl_Window* answered = nullptr;
    int ticksShown = 0;
    int boxes = 0;
    Shot shot;

    static void Tick(void* data) {
        auto* a = static_cast<BoxAnswerer*>(data);
        Fl_Window* box = a->backend->ActiveMessageBox();
        if (box && box != a->answered && box->shown() && ++a->ticksShown > 4) {
            Fl::flush();
            if (a->boxes == 0) {
                a->shot = Screenshot(box->x(), box->y(), box->w(), box->h());
                SaveShot(a->shot, "meshtools_refine_message.bmp");
            }
            ++a->boxes;
            a->answered = box;
            a->ticksShown = 0;
            SendKey(box, XK_Return);
        }
        Fl::repeat_timeout(0.05, Tick, data);
    }
};

int CountDark(const Shot& s) {
    int ink = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) ink += IsDark(s.At(x, y));
    return ink;
}

// Replaces the one-character text of the focused edit.
void RetypeField(Fl_Window* win, const std::string& text) {
    SendKey(win, XK_End);
    SendKey(win, XK_BackSpace);
    TypeText(win, text);
}

class RefineDesktop : public FltkDisplayTest {};

}  // namespace

TEST_F(RefineDesktop, BadDivisionIsRefusedAndGoodOnesReachTheView) {
    ModelData model;
    gridmesh::BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 8});
    RecordingView view;
    view.model = &model;
    DlgRefine d(view, nullptr, 0, 1.0);
    Fl_Window* win = ShowDialog(d);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(Settle());
    Fl::flush();
    const Shot dialogShot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(dialogShot, "meshtools_refine_dialog.bmp");
    EXPECT_GT(CountDark(dialogShot), 150);  // caption, labels, the two "2" and the buttons
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(DlgRefine::IDC_FIRST));

    BoxAnswerer answerer;
    answerer.backend = &backend;
    Fl::add_timeout(0.05, BoxAnswerer::Tick, &answerer);

    RetypeField(win, "abc");
    ASSERT_TRUE(WaitFor([&] { return d.GetDlgItemText(DlgRefine::IDC_FIRST) == "abc"; }))
        << d.GetDlgItemText(DlgRefine::IDC_FIRST);
    SendKey(win, XK_Tab);  // second field
    SendKey(win, XK_Tab);  // OK
    SendKey(win, XK_Return);
    ASSERT_TRUE(WaitFor([&] { return answerer.boxes == 1 && !backend.ActiveMessageBox(); }));
    EXPECT_GT(CountDark(answerer.shot), 40);  // "Invalid input" and the OK button
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST), "0");
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(DlgRefine::IDC_FIRST));
    EXPECT_TRUE(view.calls.empty());

    RetypeField(win, "2");
    SendKey(win, XK_Tab);
    RetypeField(win, "3");
    ASSERT_TRUE(WaitFor([&] { return d.GetDlgItemText(DlgRefine::IDC_SECOND) == "3"; }));
    SendKey(win, XK_Tab);
    SendKey(win, XK_Return);
    ASSERT_TRUE(WaitFor([&] { return !view.calls.empty(); }))
        << d.GetDlgItemText(DlgRefine::IDC_FIRST) << " x " << d.GetDlgItemText(DlgRefine::IDC_SECOND) << ", boxes "
        << answerer.boxes;
    EXPECT_EQ(view.calls[0], (std::pair<int, int>{2, 3}));
    EXPECT_EQ(answerer.boxes, 1);
    EXPECT_TRUE(win->shown());  // the dialog stays open

    Fl::remove_timeout(BoxAnswerer::Tick, &answerer);
    CloseWindow(d);
}
