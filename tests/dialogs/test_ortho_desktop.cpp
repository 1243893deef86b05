// The four orthotropic rigidity dialogs under a real X display: each shows
// its section sketch, drawn in code, in the frame beside the fields. The
// screenshots are kept in the test folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

// The layer's headers before the X headers, which define None.
#include "DialogTestSupport.h"
#include "dialogs/CDlgOrthoBox.h"
#include "dialogs/CDlgOrthoRebar.h"
#include "dialogs/CDlgOrthoRib.h"
#include "dialogs/CDlgOrthoUser.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

class OrthoDesktop : public FltkDisplayTest {};

// The sketch as painted: its white ground covers most of the frame and the
// concrete grey, steel red and measure blue mark some hundred pixels (an
// unpainted window is black).
bool SketchDrawn(const Shot& s, Fl_Widget* w) {
    int white = 0, ink = 0, all = 0;
    for (int y = w->y() + 2; y < w->y() + w->h() - 2; ++y)
        for (int x = w->x() + 2; x < w->x() + w->w() - 2; ++x) {
            const unsigned char* p = s.At(x, y);
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            ++all;
            white += lo > 240;
            ink += lo < 220 && hi > 60;
        }
    return white > all / 2 && ink > 100;
}

TEST_F(OrthoDesktop, EachDialogShowsItsSectionSketch) {
    MaterialTable table;
    table.AddMaterialRow("MID", kMaterialIsotropic, 30000.0, 200000.0, 0.2, 0.3);
    table.CountMaterialRows();
    table.RebuildMaterialIndex();
    struct Case {
        std::unique_ptr<OrthoDialog> dialog;
        const char* shot;
    };
    Case cases[] = {
        {std::make_unique<CDlgOrthoRebar>(), "dialogs_ortho_rebar.bmp"},
        {std::make_unique<CDlgOrthoRib>(), "dialogs_ortho_rib.bmp"},
        {std::make_unique<CDlgOrthoBox>(), "dialogs_ortho_box.bmp"},
        {std::make_unique<CDlgOrthoUser>(), "dialogs_ortho_user.bmp"},
    };
    for (Case& c : cases) {
        OrthoDialog& d = *c.dialog;
        d.SetRow(&table, 0, "MID");
        ASSERT_TRUE(d.CreateModeless());
        d.ShowWindow(true);
        Fl_Window* win = backend.TopWindowOf(d);
        ASSERT_TRUE(win && WaitFor([&] { return win->shown() && win->visible(); })) << c.shot;
        Fl_Widget* sketch = backend.WidgetOf(*d.GetDlgItem(OrthoDialog::IDC_SKETCH));
        ASSERT_NE(sketch, nullptr);
        // Drawn once the frame has been painted: lines and labels in it.
        EXPECT_TRUE(WaitFor([&] { return SketchDrawn(Screenshot(win->x(), win->y(), win->w(), win->h()), sketch); }))
            << c.shot;
        SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), c.shot);
        CloseWindow(d);
    }
}

}  // namespace
