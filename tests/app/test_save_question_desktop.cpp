// An Apply in a modeless grid under a real X display: the program opens
// "Nodal Constraints" as the document does, a check box and "Apply" are
// clicked through the X server, and File > Exit then asks to save the file
// (answered Cancel through the X server, so the program stays open).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The program's headers before the X headers, which define None.
#include "../model/test_slb_support.h"
#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "dialogs/DlgNodalActions.h"
#include "platform/ui/Settings.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

#include <FL/Fl_Group.H>

namespace {

// The visible widget of the group (or of its groups) whose label begins
// with the text.
Fl_Widget* WidgetLabelled(Fl_Group* group, const std::string& label) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->visible() && w->label() && std::string(w->label()).rfind(label, 0) == 0) return w;
        if (Fl_Group* g = w->as_group())
            if (Fl_Widget* found = WidgetLabelled(g, label)) return found;
    }
    return nullptr;
}

void ClickCentre(Fl_Window* win, Fl_Widget* w) {
    int x = w->x() + w->w() / 2, y = w->y() + w->h() / 2;
    if (w->window() != win) {
        x += w->window()->x();
        y += w->window()->y();
    }
    SendClick(win, x, y);
}

// While the save question is up: reads its text and clicks "Cancel".
struct AnswerTheQuestion {
    brennix::fltk::FltkBackend* backend;
    std::string question;
    int ticks = 0;
    bool clicked = false;

    static void Tick(void* data) {
        auto* s = static_cast<AnswerTheQuestion*>(data);
        ++s->ticks;
        Fl_Window* box = s->backend->ActiveMessageBox();
        if (box && box->shown() && !s->clicked) {
            if (Fl_Widget* text = WidgetLabelled(box, "Save changes")) s->question = text->label();
            if (Fl_Widget* cancel = WidgetLabelled(box, "Cancel")) {
                ClickCentre(box, cancel);
                s->clicked = true;
            }
        } else if (box && s->ticks > 400) {
            box->hide();  // the click never arrived
            return;
        }
        if (!box && s->clicked) return;
        Fl::repeat_timeout(0.05, Tick, data);
    }
};

class SaveQuestionDesktop : public FltkDisplayTest {};

}  // namespace

TEST_F(SaveQuestionDesktop, ApplyThenExitAsksToSave) {
    slbtest::ScratchDir dir;
    const std::string model = dir.File("slab-point-loads.slb");
    std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/slab-point-loads.slb", model);
    ui::Settings stored(dir.File("settings"));
    stored.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Desktop Test");
    ASSERT_TRUE(stored.Save());
    // The dialogs behind the document's hooks, as the program registers them.
    InputDialogFactories() = DocDialogFactories{};
    RegisterProgramDialogs();
    CKorbelApp app;
    app.GetSettings().SetPath(dir.File("settings"));
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.OpenDocumentFile(model), nullptr);
    CKorbelDoc& doc = *app.FindOpenDocument();
    auto* view = dynamic_cast<CKorbelView*>(app.MainFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    Fl_Window* frame = backend.TopWindowOf(*app.MainFrame());
    ASSERT_TRUE(frame && WaitFor([&] { return frame->shown() && frame->visible(); }));

    doc.ShowNodalActionsDialog(*view, 1);
    ui::Dialog* grid = doc.SlotDialog(CKorbelDoc::NodalActionsSlot);
    ASSERT_NE(grid, nullptr);
    Fl_Window* win = backend.TopWindowOf(*grid);
    ASSERT_TRUE(win && WaitFor([&] { return win->shown() && win->visible(); }));
    Fl_Widget* box = backend.WidgetOf(*grid->GetDlgItem(DlgNodalActions::CheckId(1, 1)));
    ASSERT_NE(box, nullptr);
    ClickCentre(win, box);
    ASSERT_TRUE(WaitFor([&] { return grid->GetDlgItem(GridPage::kApplyId)->IsWindowEnabled(); }));
    ClickCentre(win, backend.WidgetOf(*grid->GetDlgItem(GridPage::kApplyId)));
    ASSERT_TRUE(WaitFor([&] { return doc.IsModified(); }));
    EXPECT_TRUE(grid->IsWindowVisible());

    AnswerTheQuestion script{&backend, {}};
    Fl::add_timeout(0.05, AnswerTheQuestion::Tick, &script);
    app.MainFrame()->ExecuteCommand(ui::cmd::AppExit);
    Fl::remove_timeout(AnswerTheQuestion::Tick, &script);
    EXPECT_TRUE(script.clicked);
    EXPECT_EQ(script.question, "Save changes to " + model + "?");
    EXPECT_EQ(app.FindOpenDocument(), &doc);

    doc.SetModifiedFlag(false);
    doc.GetModelData()->ClearChanged();
    app.CloseAllDocuments();
    CloseWindow(*app.MainFrame());
    InputDialogFactories() = DocDialogFactories{};
}
