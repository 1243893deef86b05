// The program started with a folder named like a model on its command line,
// on a real X display: it says why the folder cannot be opened, goes on
// with a new model and keeps running until it is asked to quit. The box
// comes up in the middle of the screen, as no main window is there yet.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../fltk/XInput.h"
#include "../model/test_slb_support.h"
#include "app/KorbelApp.h"
#include "app/MainFrame.h"
#include "platform/ui/Settings.h"

#include <FL/Fl_Group.H>

namespace {

// Every label of the window and its groups, one after another.
std::string Labels(Fl_Group* group) {
    std::string text;
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->label()) text += std::string(w->label()) + "\n";
        if (Fl_Group* g = w->as_group()) text += Labels(g);
    }
    return text;
}

// Run by a timer inside the program's own loops: closes the first message
// box (keeping its text), then waits for the main frame and quits.
struct Watch {
    brennix::fltk::FltkBackend* backend = nullptr;
    CKorbelApp* app = nullptr;
    std::string boxText;
    int boxCentreX = -1, boxCentreY = -1;
    bool frameShown = false;
    int ticks = 0;

    static void Tick(void* data) {
        auto* s = static_cast<Watch*>(data);
        ++s->ticks;
        Fl_Window* box = s->backend->ActiveMessageBox();
        if (box && box->shown() && s->boxText.empty()) {
            s->boxText = Labels(box);
            s->boxCentreX = box->x() + box->w() / 2;
            s->boxCentreY = box->y() + box->h() / 2;
            box->hide();
        } else if (!s->boxText.empty() && s->app->MainFrame()) {
            Fl_Window* frame = s->backend->TopWindowOf(*s->app->MainFrame());
            if (frame && frame->shown() && frame->visible()) {
                s->frameShown = true;
                s->app->Quit();
                return;
            }
        }
        if (s->ticks > 1200) {  // a minute: give up, say where
            if (box) box->hide();
            s->app->Quit();
            return;
        }
        Fl::repeat_timeout(0.05, Tick, data);
    }
};

class OpenDesktop : public FltkDisplayTest {};

}  // namespace

TEST_F(OpenDesktop, FolderOnTheCommandLineIsRefusedAndTheProgramKeepsRunning) {
    slbtest::ScratchDir dir;
    std::filesystem::create_directory(dir.File("d.slb"));
    ui::Settings stored(dir.File("settings"));
    stored.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Desktop Test");
    ASSERT_TRUE(stored.Save());

    CKorbelApp app;
    app.GetSettings().SetPath(dir.File("settings"));
    Watch watch;
    watch.backend = &backend;
    watch.app = &app;
    Fl::add_timeout(0.05, Watch::Tick, &watch);
    app.Run({dir.File("d.slb")});
    Fl::remove_timeout(Watch::Tick, &watch);

    EXPECT_NE(watch.boxText.find("Can not open \"" + dir.File("d.slb") + "\": is a folder"), std::string::npos)
        << watch.boxText;
    EXPECT_TRUE(watch.frameShown);
    // No main window yet: the box sits in the middle of the screen, not in
    // its top-left corner.
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh);
    EXPECT_NEAR(watch.boxCentreX, sx + sw / 2, 2);
    EXPECT_NEAR(watch.boxCentreY, sy + sh / 2, 2);
}
