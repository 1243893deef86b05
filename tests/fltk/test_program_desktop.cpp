// The desktop program as its own process under a real X display: a copy of
// an example model opened through File > Open, the analysis run from
// Computations > Run Analysis with the real solver library behind the
// progress window, and the Results menu greyed before and enabled after.
// Everything reaches the program as X input; the screenshots are kept.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "XInput.h"
#include "platform/ui/Settings.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder of this test, removed with everything in it.
class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "brennix_desktop_XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A top-level window of the X display.
struct XWin {
    ::Window id = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::string name;
    bool overrideRedirect = false;
};

std::vector<XWin> ViewableTopWindows() {
    std::vector<XWin> found;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XSync(fl_display, False);
    if (!XQueryTree(fl_display, RootWindow(fl_display, fl_screen), &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(fl_display, children[i], &a) || a.map_state != IsViewable) continue;
        XWin w{children[i], a.x, a.y, a.width, a.height, "", a.override_redirect != 0};
        char* name = nullptr;
        if (XFetchName(fl_display, children[i], &name) && name) {
            w.name = name;
            XFree(name);
        }
        found.push_back(w);
    }
    if (children) XFree(children);
    return found;
}

std::optional<XWin> Find(const std::function<bool(const XWin&)>& match) {
    for (const XWin& w : ViewableTopWindows())
        if (match(w)) return w;
    return std::nullopt;
}

// Polls until the window shows up or the seconds are over.
std::optional<XWin> WaitForWindow(const std::function<bool(const XWin&)>& match, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (auto w = Find(match)) return w;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

bool WaitUntil(const std::function<bool()>& condition, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

void Key(const XWin& w, KeySym sym, unsigned state = 0) { SendKeyTo(w.id, w.x, w.y, sym, state); }

void Type(const XWin& w, const std::string& text) { TypeTextTo(w.id, w.x, w.y, text); }

// The part of the window on the screen.
Shot ShotOf(const XWin& w) {
    const int sw = DisplayWidth(fl_display, fl_screen), sh = DisplayHeight(fl_display, fl_screen);
    const int x = std::max(w.x, 0), y = std::max(w.y, 0);
    return Screenshot(x, y, std::min(w.x + w.w, sw) - x, std::min(w.y + w.h, sh) - y);
}

// Pixels of black text (greyed items are drawn lighter).
int BlackPixels(const Shot& s) {
    int n = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const unsigned char* p = s.At(x, y);
            n += p[0] < 40 && p[1] < 40 && p[2] < 40;
        }
    return n;
}

// Pixels of the pink element faces, and of faces marked by a pick (the
// cyan highlight over the pink).
int CountPixels(const Shot& s, bool (*test)(const unsigned char*)) {
    int n = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) n += test(s.At(x, y));
    return n;
}
bool IsPinkFace(const unsigned char* p) { return p[0] > 230 && p[1] > 170 && p[1] < 235 && p[2] > 180 && p[2] > p[1]; }
bool IsHighlighted(const unsigned char* p) { return p[0] < 120 && p[1] > 200 && p[2] > 200; }

// Drawn: more than a few pixels differ from the first one (a window just
// mapped shows one colour).
bool Drawn(const Shot& s) {
    if (s.w == 0 || s.h == 0) return false;
    int differ = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) differ += std::memcmp(s.At(x, y), s.At(0, 0), 3) != 0;
    return differ > 50;
}

// The window's picture once it shows what the test waits for and has
// stopped changing (the same in two looks one after the other); the last
// look when that does not come within the seconds.
Shot SettledShot(const std::function<std::optional<XWin>()>& window, const std::function<bool(const Shot&)>& shows,
                 double seconds = 60) {
    Shot last;
    WaitUntil(
        [&] {
            const std::optional<XWin> w = window();
            if (!w) return false;
            Shot now = ShotOf(*w);
            const bool settled = shows(now) && now.w == last.w && now.h == last.h && now.rgb == last.rgb;
            last = std::move(now);
            return settled;
        },
        seconds);
    return last;
}

// Windows of the other process come and go between the query and the
// look at them: those errors are expected.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The program, started with the environment and folder of the test.
class Program {
public:
    Program(const std::string& exe, const std::string& folder, const std::string& config) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            if (::chdir(folder.c_str()) != 0) ::_exit(126);
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (pid_ > 0 && !Exited(0.1)) {
            ::kill(pid_, SIGKILL);
            Exited(5);
        }
    }
    bool Started() const { return pid_ > 0; }
    // Reaped within the seconds.
    bool Exited(double seconds) {
        if (pid_ <= 0) return true;
        return WaitUntil(
            [this] {
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
                pid_ = -1;
                return true;
            },
            seconds);
    }

private:
    pid_t pid_ = -1;
};

auto isFrame = [](const XWin& w) { return w.name.rfind("Brennix 2025.4.1", 0) == 0; };
auto isMenu = [](const XWin& w) { return w.overrideRedirect && w.h > 40; };

class ProgramDesktop : public FltkDisplayTest {
protected:
    void TearDown() override {
        program.reset();
        if (previousHandler_) XSetErrorHandler(previousHandler_);
        FltkDisplayTest::TearDown();
    }

    // Starts the program in a folder with a copy of the example and opens it
    // through File > Open; the frame is found. False (with the failure
    // noted) when a step did not come.
    bool StartWithExample(const std::string& name) {
        const std::string bin = BRENNIX_BIN_DIR;
        folder = dir.Path() + "/model";
        const std::string config = dir.Path() + "/config";
        fs::create_directories(folder);
        const std::string example = fs::path(BRENNIX_TEST_DATA).parent_path().parent_path() / "examples" / name;
        fs::copy_file(example, folder + "/" + name);
        ui::Settings settings(config + "/Brennix/settings");
        settings.SetString("SOFTWARE\\Calvex\\Brennix\\2025.4.1", "UserName", "Desktop Test");
        settings.SetString("Tools", "TextEditor", "true");  // the message file opens in nothing
        EXPECT_TRUE(settings.Save());

        previousHandler_ = XSetErrorHandler(IgnoreXError);
        program = std::make_unique<Program>(bin + "/Brennix", folder, config);
        EXPECT_TRUE(program->Started());
        frame = WaitForWindow(isFrame, 60);
        if (!frame || !Drawn(SettledShot([] { return Find(isFrame); }, Drawn))) {
            ADD_FAILURE() << "the main window did not show";
            return false;
        }
        frame = Find(isFrame);

        // File > Open: the menu from the keyboard, the item by its access key.
        std::optional<XWin> menu = OpenMenu(XK_f);
        if (!menu) {
            ADD_FAILURE() << "the File menu did not open";
            return false;
        }
        SaveShot(MenuShot(), "program_file_menu.bmp");
        Key(*menu, XK_o);
        std::optional<XWin> chooser = WaitForWindow([](const XWin& w) { return w.name == "Open"; });
        if (!chooser) {
            ADD_FAILURE() << "the Open dialog did not show";
            return false;
        }
        SettledShot([] { return Find([](const XWin& w) { return w.name == "Open"; }); }, Drawn);
        Type(*chooser, name);
        Key(*chooser, XK_Return);
        const std::string stem = fs::path(name).stem().string();
        if (!WaitUntil(
                [&] {
                    frame = Find(isFrame);
                    return frame && frame->name.find(stem) != std::string::npos;
                },
                60)) {
            ADD_FAILURE() << "the model did not open";
            return false;
        }
        return true;
    }
    // The frame once its picture shows the mat's faces and has settled.
    Shot ModelShot() {
        return SettledShot([] { return Find(isFrame); },
                           [](const Shot& s) { return CountPixels(s, IsPinkFace) > 10000; });
    }
    // The open menu once it is drawn: its loop runs and takes keys then.
    Shot MenuShot() {
        return SettledShot([] { return Find(isMenu); }, Drawn);
    }
    std::optional<XWin> OpenMenu(KeySym letter) {
        Key(*frame, letter, Mod1Mask);
        return WaitForWindow(isMenu, 30);
    }
    void WaitForMenusClosed() {
        WaitUntil([] { return !Find(isMenu); }, 30);
    }
    // A menu command chosen from the keyboard: the menu by its access key,
    // then the keys.
    bool Choose(KeySym menuLetter, std::initializer_list<KeySym> keys) {
        WaitForMenusClosed();
        std::optional<XWin> menu = OpenMenu(menuLetter);
        if (!menu || !Drawn(MenuShot())) return false;
        for (KeySym k : keys) Key(*menu, k);
        WaitForMenusClosed();
        return true;
    }

    Scratch dir;
    std::string folder;
    std::unique_ptr<Program> program;
    std::optional<XWin> frame;

private:
    XErrorHandler previousHandler_ = nullptr;
};

TEST_F(ProgramDesktop, OpenAModelRunTheAnalysisAndFindTheResults) {
    const std::string bin = BRENNIX_BIN_DIR;
    if (!fs::exists(bin + "/Brennix") || !fs::exists(bin + "/Parvane_DLL.so"))
        GTEST_SKIP() << "the program or the solver library is not built";
    ASSERT_TRUE(StartWithExample("winkler-mat.slb"));
    SaveShot(ModelShot(), "program_model_open.bmp");
    auto openMenu = [&](KeySym letter) { return OpenMenu(letter); };
    std::optional<XWin> menu;

    // Results, before the run: every item greyed.
    menu = openMenu(XK_r);
    ASSERT_TRUE(menu) << "the Results menu did not open";
    const Shot before = MenuShot();
    SaveShot(before, "program_results_menu_before.bmp");
    Key(*menu, XK_Escape);
    ASSERT_TRUE(WaitUntil([] { return !Find(isMenu); }, 30));

    // Computations > Run Analysis, and the progress window during the run.
    menu = openMenu(XK_c);
    ASSERT_TRUE(menu) << "the Computations menu did not open";
    const Shot computationsBefore = MenuShot();
    Key(*menu, XK_r);
    auto isProgress = [](const XWin& w) { return w.w == 502 && w.h == 327; };
    std::optional<XWin> progress = WaitForWindow(isProgress, 20);
    ASSERT_TRUE(progress) << "no progress window";
    // Screenshots while it is up, until one shows the picture with the
    // progress text on it.
    int picture = 0, blue = 0;
    while (Find(isProgress) && (picture < 502 * 100 || blue < 20)) {
        const Shot during = ShotOf(*progress);
        if (during.w == 0) break;
        picture = blue = 0;
        for (int y = 0; y < during.h; ++y)
            for (int x = 0; x < during.w; ++x) {
                const unsigned char* p = during.At(x, y);
                picture += p[2] == 255 && p[0] > 190 && p[0] < 250 && p[1] > 210;  // the sky of the picture
                blue += p[0] < 60 && p[1] < 60 && p[2] > 200;                      // the progress text
            }
        SaveShot(during, "program_progress_window.bmp");
    }
    EXPECT_GT(picture, 502 * 100);
    EXPECT_GT(blue, 20);
    ASSERT_TRUE(WaitUntil([&] { return !Find(isProgress); }, 120)) << "the run did not end";
    EXPECT_TRUE(fs::exists(folder + "/winkler-mat.sds"));
    EXPECT_TRUE(fs::exists(folder + "/winkler-mat.sms"));
    EXPECT_FALSE(fs::exists(folder + "/torve.dat"));

    // Results, after the run: enabled.
    menu = openMenu(XK_r);
    ASSERT_TRUE(menu);
    const Shot after = MenuShot();
    SaveShot(after, "program_results_menu_after.bmp");
    Key(*menu, XK_Escape);
    EXPECT_GT(BlackPixels(after), 150);
    EXPECT_LT(BlackPixels(before) * 4, BlackPixels(after));
    // Computations: the listing and the message file of the run can be
    // viewed now.
    WaitForMenusClosed();
    menu = openMenu(XK_c);
    ASSERT_TRUE(menu);
    const Shot computationsAfter = MenuShot();
    SaveShot(computationsAfter, "program_computations_menu_after.bmp");
    Key(*menu, XK_Escape);
    EXPECT_GT(BlackPixels(computationsAfter), BlackPixels(computationsBefore) + 100);
    SaveShot(ShotOf(*Find(isFrame)), "program_after_run.bmp");

    // File > Exit ends the program.
    WaitForMenusClosed();
    menu = openMenu(XK_f);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(Drawn(MenuShot()));
    Key(*menu, XK_x);
    EXPECT_TRUE(program->Exited(30));
}

// Button and pointer input for a window of the program at (x, y) of it.
void Press(const XWin& w, int x, int y) {
    auto ev = EventAt<XButtonEvent>(w.id, w.x, w.y, x, y);
    ev.button = Button1;
    SendEvent(ev, ButtonPress, ButtonPressMask);
    XFlush(fl_display);
}

void DragTo(const XWin& w, int x, int y) {
    auto ev = EventAt<XMotionEvent>(w.id, w.x, w.y, x, y);
    ev.state = Button1Mask;
    SendEvent(ev, MotionNotify, ButtonMotionMask | PointerMotionMask);
    XFlush(fl_display);
}

void Release(const XWin& w, int x, int y) {
    auto ev = EventAt<XButtonEvent>(w.id, w.x, w.y, x, y);
    ev.button = Button1;
    ev.state = Button1Mask;
    SendEvent(ev, ButtonRelease, ButtonReleaseMask);
    XFlush(fl_display);
}

TEST_F(ProgramDesktop, RotateByDraggingAndPickAnElementForTheMaterialGrid) {
    if (!fs::exists(std::string(BRENNIX_BIN_DIR) + "/Brennix")) GTEST_SKIP() << "the program is not built";
    ASSERT_TRUE(StartWithExample("winkler-mat.slb"));
    const int cx = frame->w / 2, cy = frame->h / 2;
    const Shot start = ModelShot();
    SaveShot(start, "program_view_start.bmp");
    const int facesAtStart = CountPixels(start, IsPinkFace);
    ASSERT_GT(facesAtStart, 10000);

    // Transform > Rotate, then a drag of an eighth of the width to the
    // right: the mat turns by 45 degrees about its vertical axis and shows
    // foreshortened, cos 45 of its width.
    ASSERT_TRUE(Choose(XK_t, {XK_r}));
    Press(*frame, cx, cy);
    for (int k = 1; k <= 8; ++k) DragTo(*frame, cx + k * frame->w / 64, cy);
    Release(*frame, cx + frame->w / 8, cy);
    // The picture settles once the program has drawn the last drag.
    auto faceRatio = [&](const Shot& s) { return static_cast<double>(CountPixels(s, IsPinkFace)) / facesAtStart; };
    const Shot turned = SettledShot([] { return Find(isFrame); }, [&](const Shot& s) { return faceRatio(s) < 0.85; });
    SaveShot(turned, "program_view_rotated.bmp");
    const double ratio = faceRatio(turned);
    EXPECT_GT(ratio, 0.55);
    EXPECT_LT(ratio, 0.85);

    // Transform > Restart, Input Data > Material Properties, Selection >
    // Select Element, and a click on the element at the centre.
    ASSERT_TRUE(Choose(XK_t, {XK_s}));
    ASSERT_TRUE(Choose(XK_i, {XK_m}));
    std::optional<XWin> grid =
        WaitForWindow([](const XWin& w) { return w.name.find("Material") != std::string::npos; });
    ASSERT_TRUE(grid) << "the material grid did not show";
    const std::string gridName = grid->name;
    SettledShot([&] { return Find([&](const XWin& w) { return w.name == gridName; }); }, Drawn);
    frame = Find(isFrame);
    ASSERT_TRUE(frame);
    // The element below and left of the centre, clear of the grid that
    // opens centred over the program, is not marked before the click and
    // is after it.
    const int px = cx - frame->w / 8, py = cy + frame->h * 3 / 8;
    EXPECT_FALSE(IsHighlighted(ShotOf(*frame).At(px, py)));
    // A busy display may drop a menu key: without a highlight after the
    // click the selection mode is off, and it is chosen again.
    Shot picked;
    auto marked = [&] { return picked.w > px && picked.h > py && IsHighlighted(picked.At(px, py)); };
    for (int attempt = 0; attempt < 3 && !marked(); ++attempt) {
        ASSERT_TRUE(Choose(XK_s, {XK_Down, XK_Return}));
        Press(*frame, px, py);
        Release(*frame, px, py);
        WaitUntil(
            [&] {
                picked = ShotOf(*frame);
                return marked();
            },
            30);
    }
    SaveShot(picked, "program_view_picked.bmp");
    SaveShot(ShotOf(*grid), "program_material_grid_picked.bmp");
    EXPECT_TRUE(marked());
    // One element is marked, not the whole mat.
    EXPECT_GT(CountPixels(picked, IsHighlighted), 200);
    EXPECT_LT(CountPixels(picked, IsHighlighted) * 4, CountPixels(picked, IsPinkFace));
}

}  // namespace
