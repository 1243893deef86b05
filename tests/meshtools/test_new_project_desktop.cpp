// New from template under a real X display: the chain runs its dialogs in
// FLTK's modal loops, driven by key presses and clicks sent through the X
// server. The screenshots (new_template_*.bmp in the test folder) are kept
// and their pixels checked: the template dialogs show their sketches.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The program's document before the X headers, whose macros (None) clash
// with its names.
#include "FoundationDoc.h"
#include "../fltk/XInput.h"
#include "GridLineTables.h"
#include "TemplateSupport.h"
#include "meshtools/ui/DlgGrid.h"
#include "meshtools/ui/DlgNewTemplate.h"
#include "meshtools/ui/DlgSlabType.h"
#include "meshtools/ui/DlgTemplateOctagon.h"
#include "meshtools/ui/NewProject.h"
#include "meshtools/ui/TemplateSketch.h"
#include "model/ModelData.h"

namespace {

class Doc : public DocHost {
public:
    Doc() { model.Reset(); }
    ModelData* GetModelData() const override { return const_cast<ModelData*>(&model); }
    void SetModifiedFlag(bool m) override { modified = m; }
    ModelData model;
    bool modified = false;
};

// Steps run one after another by a timer inside whichever modal loop runs;
// a step that is not done yet is tried again at the next tick. After 20
// seconds every open dialog is cancelled.
struct Steps {
    std::vector<std::pair<std::string, std::function<bool()>>> list;
    size_t next = 0;
    int ticks = 0;
    std::string failure;
    brennix::fltk::FltkBackend* backend = nullptr;

    static void Tick(void* data) {
        auto* s = static_cast<Steps*>(data);
        if (++s->ticks > 400) {
            if (s->failure.empty())
                s->failure = "timed out at " + (s->next < s->list.size() ? s->list[s->next].first : "the end");
            for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
                if (auto* d = dynamic_cast<ui::Dialog*>(s->backend->LayerWindowOf(w)); d && d->IsModal())
                    d->EndDialog(ui::IDCANCEL);
        } else if (s->next < s->list.size() && s->list[s->next].second()) {
            ++s->next;
        }
        Fl::repeat_timeout(0.05, Tick, data);  // removed by the test when the chain has returned
    }
};

class NewProjectDesktop : public FltkDisplayTest {
protected:
    // The modal dialog of the template id when it is on the screen and has
    // had a few ticks to draw.
    ui::Dialog* ShownDialog(int templateId, Fl_Window*& window) {
        window = Fl::first_window();
        auto* d = window ? dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(window)) : nullptr;
        if (!d || d->TemplateId() != templateId || !window->shown()) {
            settle_ = 0;
            return nullptr;
        }
        return ++settle_ >= 6 ? d : nullptr;
    }
    // Number of pixels of the shot inside the control that pass the test.
    template <class Test>
    int CountIn(const Shot& s, const ui::Dialog& d, int id, Test test) {
        Fl_Widget* area = backend.WidgetOf(*d.GetDlgItem(id));
        EXPECT_TRUE(area);
        int count = 0;
        for (int y = area ? area->y() : 0; area && y < area->y() + area->h(); ++y)
            for (int x = area->x(); x < area->x() + area->w(); ++x) count += test(s.At(x, y));
        return count;
    }
    int settle_ = 0;
};

TEST_F(NewProjectDesktop, DefaultsWithRealInputGiveTheMeshedSlab) {
    Doc doc;
    Steps steps;
    steps.backend = &backend;
    steps.list = {
        {"slab type shown",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(CDlgSlabType::kTemplateId, w);
             if (!d) return false;
             SaveShot(Screenshot(w->x(), w->y(), w->w(), w->h()), "new_template_slab_type.bmp");
             EXPECT_EQ(d->IsDlgButtonChecked(CDlgSlabType::IDC_CONVENTIONAL), 1);
             SendKey(w, XK_Return);  // "Next"
             return true;
         }},
        {"template shown",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(DlgNewTemplate::kTemplateId, w);
             if (!d) return false;
             const Shot s = Screenshot(w->x(), w->y(), w->w(), w->h());
             // The sketch: grey edges, black corner nodes and red mid-side
             // nodes of the 8-node rectangle inside the picture's frame.
             const int sketch = DlgNewTemplate::IDC_SKETCH;
             const int white = CountIn(s, *d, sketch, [](auto p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; });
             const int dark = CountIn(s, *d, sketch, [](auto p) { return IsDark(p); });
             const int red = CountIn(s, *d, sketch, [](auto p) { return p[0] == 220 && p[1] == 0 && p[2] == 0; });
             // Not drawn yet, or covered by the window of a desktop test
             // running beside this one: looked at again at the next tick.
             if (white == 0 || red == 0) return false;
             Fl_Widget* pic = backend.WidgetOf(*d->GetDlgItem(sketch));
             SaveShot(s, "new_template_dialog.bmp");
             EXPECT_GT(dark, 200);
             EXPECT_GT(red, 20 * 9);
             EXPECT_GT(white, pic ? pic->w() * pic->h() / 2 : 0);
             EXPECT_EQ(d->GetDlgItemText(DlgNewTemplate::IDC_CAPTION), "Rectangular - Equally Spaced");
             Fl_Widget* ok = backend.WidgetOf(*d->GetDlgItem(ui::IDOK));
             SendClick(w, ok->x() + ok->w() / 2, ok->y() + ok->h() / 2);
             return true;
         }},
    };
    Fl::add_timeout(0.05, Steps::Tick, &steps);
    const bool done = RunNewFromSlabType(doc, [](int) {});
    Fl::remove_timeout(Steps::Tick, &steps);
    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(steps.next, steps.list.size());
    EXPECT_TRUE(done);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.model.GetNodeCount(), 96);
    EXPECT_EQ(doc.model.GetElementCount(), 25);
}

// The octagonal foundation, meshed by the fake mesher that makes one square
// per region (the real one does not mesh free regions yet).
TEST_F(NewProjectDesktop, OctagonFoundationWithRealInputShowsItsSketchAndImportsTheMesh) {
    templatetest::RecordingHost host;
    templatetest::FoundationDoc program(templatetest::FakeMesherFolder("good"), host);
    Steps steps;
    steps.backend = &backend;
    steps.list = {
        {"slab type shown",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(CDlgSlabType::kTemplateId, w);
             if (!d) return false;
             Fl_Widget* octagon = backend.WidgetOf(*d->GetDlgItem(CDlgSlabType::IDC_OCTAGON));
             SendClick(w, octagon->x() + 8, octagon->y() + octagon->h() / 2);
             return true;
         }},
        {"octagon chosen",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(CDlgSlabType::kTemplateId, w);
             if (!d || d->IsDlgButtonChecked(CDlgSlabType::IDC_OCTAGON) != 1) return false;
             SendKey(w, XK_Return);  // "Next"
             return true;
         }},
        {"template shown",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(DlgTemplateOctagon::kTemplateId, w);
             if (!d) return false;
             // The sketch: the foundation's blue outline and fill, red
             // dimension marks. Until the server has drawn the window, the
             // step is tried again at the next tick.
             const Shot s = Screenshot(w->x(), w->y(), w->w(), w->h());
             const int sketch = DlgTemplateOctagon::IDC_SKETCH;
             const int fill = CountIn(s, *d, sketch, [](auto p) { return p[0] == 215 && p[1] == 225 && p[2] == 240; });
             const int outline = CountIn(s, *d, sketch, [](auto p) { return p[0] < 60 && p[1] < 90 && p[2] > 120; });
             const int marks = CountIn(s, *d, sketch, [](auto p) { return p[0] > 150 && p[1] < 40 && p[2] < 40; });
             // Not drawn yet, or covered by another test's window.
             if (fill == 0) return false;
             SaveShot(s, "new_template_octagon.bmp");
             EXPECT_EQ(d->GetWindowText(), "Template of Octagon Wind Turbine Foundation");
             EXPECT_GT(outline, 500);
             EXPECT_GT(fill, 5000);
             EXPECT_GT(marks, 100);
             // Enter refreshes the size and keeps the dialog open.
             SendKey(w, XK_Return);
             return true;
         }},
        {"OK after Enter",
         [&] {
             Fl_Window* w = nullptr;
             ui::Dialog* d = ShownDialog(DlgTemplateOctagon::kTemplateId, w);
             if (!d) return false;
             EXPECT_EQ(d->GetDlgItemText(DlgTemplateOctagon::IDC_SIZE), "1.75");
             Fl_Widget* ok = backend.WidgetOf(*d->GetDlgItem(ui::IDOK));
             SendClick(w, ok->x() + ok->w() / 2, ok->y() + ok->h() / 2);
             return true;
         }},
    };
    Fl::add_timeout(0.05, Steps::Tick, &steps);
    const bool done = RunNewFromSlabType(program.doc, [&](int kind) { program.doc.NewOctagonFoundation(kind); });
    Fl::remove_timeout(Steps::Tick, &steps);
    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(steps.next, steps.list.size());
    EXPECT_TRUE(done);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(program.model().GetTemplateKind(), 1);
    EXPECT_EQ(program.model().GetElementCount(), 36);
    EXPECT_EQ(program.model().GetSoilModel(), 2);
}

}  // namespace

namespace {

TEST_F(NewProjectDesktop, GridOfSpansOnTheScreen) {
    ModelData model;
    model.Reset();
    meshtest::FillGrid(model, 1, {{2, 2.0}, {3, 3.0}, {1, 5.0}});
    DlgGrid dialog(&model, 1);
    ASSERT_TRUE(dialog.Create());
    dialog.ShowWindow(true);  // a modal dialog's template is not created visible
    Fl_Window* w = backend.TopWindowOf(dialog);
    ASSERT_TRUE(w && WaitFor([&] { return w->shown() && w->visible(); }));
    ASSERT_TRUE(Settle());
    const Shot s = Screenshot(w->x(), w->y(), w->w(), w->h());
    SaveShot(s, "new_template_grid.bmp");
    EXPECT_EQ(dialog.GetDlgItemText(DlgGrid::IDC_TOTAL + 2), "10");
    // Three rows of cells with their numbers; the fourth line is empty.
    for (int line = 0; line < 4; ++line) {
        Fl_Widget* cell = backend.WidgetOf(*dialog.GetDlgItem(DlgGrid::IDC_SPAN + line));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->visible() != 0, line < 3) << line;
        if (line == 3) continue;
        int ink = 0;
        for (int y = cell->y(); y < cell->y() + cell->h(); ++y)
            for (int x = cell->x(); x < cell->x() + cell->w(); ++x) ink += IsDark(s.At(x, y));
        EXPECT_GT(ink, 10) << line;
    }
    CloseWindow(dialog);
}

}  // namespace
