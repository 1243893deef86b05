// Cancel on the progress window of a real analysis, on a real X display: the
// program analyses a fine mat with the solver library, and once the solver
// is under way a click sent through the X server to the window's Cancel
// button stops it. The run ends cancelled, its steps marked
// unfinished, the model file as the run saved it and the run lock free.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

// The program's headers before the X headers, which define None.
#include "../model/test_slb_support.h"
#include "app/KorbelApp.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "app/SplashWindow.h"
#include "app/run/RunLock.h"
#include "model/ModelData.h"
#include "platform/ui/Settings.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A square mat of n x n 4-node elements on Winkler springs under a uniform
// load: the example's mat with a finer mesh.
std::string FineMat(int n) {
    std::string text = Text(std::string(BRENNIX_TEST_DATA) + "/../../examples/winkler-mat.slb");
    const double size = 6.0, h = size / n;
    auto id = [n](int i, int j) { return j * (n + 1) + i + 1; };
    std::ostringstream nodes, elements;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) nodes << "*\t" << id(i, j) << "\t0\t" << i * h << '\t' << size - j * h << '\n';
    elements << "\tLINEAR4\tREDUCED_INTEGRATION\n";
    int e = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            elements << "*\t" << ++e << "\t1\t" << id(i, j) << '\t' << id(i + 1, j) << '\t' << id(i + 1, j + 1) << '\t'
                     << id(i, j + 1) << '\n';
    auto replace = [&text](const std::string& open, const std::string& close, const std::string& body) {
        const std::size_t from = text.find(open) + open.size();
        text.replace(from, text.find(close) - from, body);
    };
    replace("\nNODE_DATA\n", "END_NODE_DATA", nodes.str());
    replace("\nELEMENT_DATA\n", "END_ELEMENT_DATA", elements.str());
    return text;
}

// On a connection of its own, beside the program's thread that runs the
// analysis: waits until the solver has begun its run (it has made its
// listing) and the progress window shows its Cancel button, then sends the
// button a click through the X server.
struct CancelClicker {
    std::string listing;
    std::atomic<bool> clicked{false};
    std::string failure;

    // The progress window: a shown top-level window of the picture's size,
    // with the face of its Cancel button drawn.
    static bool FindProgress(Display* dpy, ::Window& window, int& x, int& y) {
        ::Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
                a.width == CSplashWindow::kPictureWidth && a.height == CSplashWindow::kPictureHeight) {
                const ui::Rect b = CSplashWindow::kCancelButton;
                XImage* face = XGetImage(dpy, children[i], b.x + 4, b.y + 4, 1, 1, AllPlanes, ZPixmap);
                if (face) {
                    found = (XGetPixel(face, 0, 0) & 0xffffff) == 0xe1e1e1;
                    XDestroyImage(face);
                }
                window = children[i];
                x = a.x;
                y = a.y;
            }
        }
        if (children) XFree(children);
        return found;
    }

    void Run() {
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy) {
            failure = "no second connection to the X display";
            return;
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        ::Window window = 0;
        int x = 0, y = 0;
        bool ready = false;
        while (!ready && std::chrono::steady_clock::now() < end) {
            ready = fs::exists(listing) && FindProgress(dpy, window, x, y);
            if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!ready) {
            XCloseDisplay(dpy);
            failure = "the solver run with its progress window never came";
            return;
        }
        const ui::Rect b = CSplashWindow::kCancelButton;
        XButtonEvent ev{};
        ev.display = dpy;
        ev.window = window;
        ev.root = DefaultRootWindow(dpy);
        ev.time = CurrentTime;
        ev.x = b.x + b.w / 2;
        ev.y = b.y + b.h / 2;
        ev.x_root = x + ev.x;
        ev.y_root = y + ev.y;
        ev.same_screen = True;
        ev.button = Button1;
        ev.type = ButtonPress;
        const bool pressed = XSendEvent(dpy, window, True, ButtonPressMask, reinterpret_cast<XEvent*>(&ev));
        ev.type = ButtonRelease;
        ev.state = Button1Mask;
        const bool released = XSendEvent(dpy, window, True, ButtonReleaseMask, reinterpret_cast<XEvent*>(&ev));
        XFlush(dpy);
        XCloseDisplay(dpy);
        if (pressed && released)
            clicked = true;
        else
            failure = "the click could not be sent";
    }
};

class RunCancelDesktop : public FltkDisplayTest {};

}  // namespace

TEST_F(RunCancelDesktop, CancelOnTheProgressWindowStopsARealRun) {
    slbtest::ScratchDir dir;
    const std::string model = dir.File("fine-mat.slb");
    std::ofstream(model) << FineMat(150);
    ui::Settings stored(dir.File("settings"));
    stored.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Desktop Test");
    ASSERT_TRUE(stored.Save());
    CKorbelApp app;
    app.GetSettings().SetPath(dir.File("settings"));
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.OpenDocumentFile(model), nullptr);
    CKorbelDoc& doc = *app.FindOpenDocument();
    doc.SetProgramFolder(BRENNIX_BIN_DIR);
    const int nodes = doc.GetModelData()->GetNodeCount();
    auto* view = dynamic_cast<CKorbelView*>(app.MainFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    Fl_Window* frame = backend.TopWindowOf(*app.MainFrame());
    ASSERT_TRUE(frame && WaitFor([&] { return frame->shown() && frame->visible(); }));
    ASSERT_TRUE(Settle());

    const std::string base = dir.File("fine-mat");
    // The run makes the model's folder the current one.
    const std::string shots = fs::current_path().string();
    CancelClicker clicker;
    clicker.listing = base + ".sou";
    std::thread helper([&] { clicker.Run(); });
    view->OnRunAnalysis();
    helper.join();
    ASSERT_EQ(clicker.failure, "");
    EXPECT_TRUE(clicker.clicked);

    // What the window shows as the run ends, before it closes itself.
    const Shot shot = Screenshot(0, 0, DisplayWidth(fl_display, fl_screen), DisplayHeight(fl_display, fl_screen));
    SaveShot(shot, shots + "/app_run_cancelled.bmp");
    EXPECT_EQ(CSplashWindow::Title(), "Analysis Cancelled...");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(CSplashWindow::Current(), nullptr);

    const RunOutcome& run = doc.LastRunOutcome();
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(run.solverStatus, 14);
    EXPECT_EQ(app.MainFrame()->GetStatusBar().message, "Analysis cancelled: not a finished run (see the message file)");
    EXPECT_FALSE(fs::exists(base + ".sds"));
    EXPECT_TRUE(fs::exists(base + ".unfinished.sds"));
    const std::string sms = Text(base + ".sms");
    EXPECT_NE(sms.find("analysis stopped on request"), std::string::npos);
    EXPECT_NE(
        sms.find("Analysis cancelled: not a finished run. The steps written so far are in " + base + ".unfinished.sds"),
        std::string::npos);
    EXPECT_EQ(doc.ResultsFlag(), 0);
    // The model stays as the run saved it, the lock is free.
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), nodes);
    ModelData reread;
    EXPECT_EQ(reread.ReadModelFile(model, true), 0);
    EXPECT_EQ(reread.GetNodeCount(), nodes);
    EXPECT_FALSE(fs::exists(RunLockPath(model)));
    RunLock lock;
    EXPECT_TRUE(lock.Acquire(model, "test"));
    lock.Release();

    app.CloseAllDocuments();
    CloseWindow(*app.MainFrame());
}
