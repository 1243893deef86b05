// "Equivalent Concentrated Loads " under a real X display, driven by input
// events sent through the X server: it opens narrow (screenshot), a click on
// "Show Values" widens it to show the list (screenshot), a click on a row
// highlights that point in the view, "Two Rings" (screenshot) and Enter store
// a two-ring pattern. Screenshots are kept in the test folder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The layer's headers before the X headers, which define None.
#include "uibase/Hosts.h"
#include "model/ModelData.h"
#include "viz/ui/DlgEquivLoad.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

using D = DlgEquivLoad;

class Doc : public DocHost {
public:
    ModelData* GetModelData() const override { return model; }
    void SetModifiedFlag(bool m) override { modified = m; }
    ModelData* model = nullptr;
    bool modified = false;
};

class View : public ViewHost {
public:
    void SetHighlightedItems(int kind, const std::string& text) override { highlight = {kind, text}; }
    std::pair<int, std::string> highlight{0, "0"};
};

class EquivLoadDesktop : public FltkDisplayTest {};

TEST_F(EquivLoadDesktop, ShowValuesRowClickAndTwoRingsUnderARealDisplay) {
    ModelData model;
    model.SetEquivLoadParameters(-100, 0, 0, 0, 0, 0, 0, 5, 3, 0, 2, 4, 0, 3, 6, 15);
    model.ClearChanged();
    Doc doc;
    doc.model = &model;
    View view;

    ui::Dialog* dlg = nullptr;
    Fl_Window* win = nullptr;
    int narrow = 0;
    int settle = 0;
    auto settled = [&settle] { return ++settle % 6 == 0; };
    auto widget = [&](int id) { return backend.WidgetOf(*dlg->GetDlgItem(id)); };
    auto clickCentre = [&](int id) {
        Fl_Widget* w = widget(id);
        SendClick(win, w->x() + 6, w->y() + w->h() / 2);
    };

    ModalSteps steps;
    steps.list = {
        {"dialog shown",
         [&] {
             win = WindowTitled("Equivalent Concentrated Loads");
             dlg = win ? dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(win)) : nullptr;
             if (!dlg || !win->visible() || !settled()) return false;
             const ui::Rect ring2 = dlg->GetDlgItem(D::IDC_RING2)->GetWindowRect();
             EXPECT_EQ(win->w(), ring2.x + ring2.w + 10);
             narrow = win->w();
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "viz_equiv_load_dialog.bmp");
             EXPECT_GT(Ink(s), 500);  // labels, fields, sketch
             clickCentre(D::IDC_SHOW_VALUES);
             return true;
         }},
        {"widened",
         [&] {
             if (win->w() <= narrow || !settled()) return false;
             const ui::Rect list = dlg->GetDlgItem(D::IDC_LIST)->GetWindowRect();
             EXPECT_EQ(win->w(), list.x + list.w + 10);
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "viz_equiv_load_widened.bmp");
             // The second row: below the column titles, one line down.
             Fl_Widget* l = widget(D::IDC_LIST);
             SendClick(win, l->x() + 20, l->y() + 20 + 4 + 18 + 8);
             return true;
         }},
        {"row highlighted",
         [&] {
             if (view.highlight.first != 4 || !settled()) return false;
             EXPECT_NE(dlg->GetDlgItemText(D::IDC_POINT_NUMBER), "");
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "viz_equiv_load_row.bmp");
             clickCentre(D::IDC_TWO_RINGS);
             return true;
         }},
        {"two rings: Enter",
         [&] {
             if (!dlg->GetDlgItem(D::IDC_R2_POINTS)->IsWindowEnabled() || !settled()) return false;
             SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "viz_equiv_load_two_rings.bmp");
             SendKey(win, XK_Return);
             return true;
         }},
    };
    steps.abort = [&] {
        if (Fl_Window* box = backend.ActiveMessageBox()) box->hide();
        if (dlg && dlg->IsModal()) dlg->EndDialog(ui::IDCANCEL);
    };
    Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
    const int result = RunEquivalentLoadsDialog(doc, view);
    Fl::remove_timeout(ModalSteps::Tick, &steps);

    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(steps.next, steps.list.size());
    EXPECT_EQ(result, ui::IDOK);
    EXPECT_EQ(model.twoRings, 1);
    EXPECT_EQ(model.GetEquivLoadPointCount(), 4 + 6);
    EXPECT_TRUE(doc.modified);
}

}  // namespace
