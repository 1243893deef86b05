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

class ProgramDesktop : public FltkDisplayTest {};

TEST_F(ProgramDesktop, OpenAModelRunTheAnalysisAndFindTheResults) {
    const std::string bin = BRENNIX_BIN_DIR;
    if (!fs::exists(bin + "/Brennix") || !fs::exists(bin + "/Parvane_DLL.so"))
        GTEST_SKIP() << "the program or the solver library is not built";
    Scratch dir;
    const std::string folder = dir.Path() + "/model";
    const std::string config = dir.Path() + "/config";
    fs::create_directories(folder);
    const std::string example = fs::path(BRENNIX_TEST_DATA).parent_path().parent_path() / "examples" / "winkler-mat.slb";
    fs::copy_file(example, folder + "/winkler-mat.slb");
    ui::Settings settings(config + "/Brennix/settings");
    settings.SetString("SOFTWARE\\Calvex\\Brennix\\2025.4.1", "UserName", "Desktop Test");
    settings.SetString("Tools", "TextEditor", "true");  // the message file opens in nothing
    ASSERT_TRUE(settings.Save());

    auto* previousHandler = XSetErrorHandler(IgnoreXError);
    struct Restore {
        XErrorHandler h;
        ~Restore() { XSetErrorHandler(h); }
    } restore{previousHandler};
    Program program(bin + "/Brennix", folder, config);
    ASSERT_TRUE(program.Started());
    auto isFrame = [](const XWin& w) { return w.name.rfind("Brennix 2025.4.1", 0) == 0; };
    std::optional<XWin> frame = WaitForWindow(isFrame, 60);
    ASSERT_TRUE(frame) << "the main window did not show";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    frame = Find(isFrame);
    ASSERT_TRUE(frame);

    // File > Open: the menu from the keyboard, the item by its access key.
    auto openMenu = [&](KeySym letter) {
        Key(*frame, letter, Mod1Mask);
        return WaitForWindow([](const XWin& w) { return w.overrideRedirect && w.h > 40; }, 10);
    };
    std::optional<XWin> menu = openMenu(XK_f);
    ASSERT_TRUE(menu) << "the File menu did not open";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SaveShot(ShotOf(*menu), "program_file_menu.bmp");
    Key(*menu, XK_o);
    std::optional<XWin> chooser = WaitForWindow([](const XWin& w) { return w.name == "Open"; });
    ASSERT_TRUE(chooser) << "the Open dialog did not show";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Type(*chooser, "winkler-mat.slb");
    Key(*chooser, XK_Return);
    ASSERT_TRUE(WaitUntil([&] {
        frame = Find(isFrame);
        return frame && frame->name.find("winkler-mat") != std::string::npos;
    })) << "the model did not open";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    SaveShot(ShotOf(*frame), "program_model_open.bmp");

    // Results, before the run: every item greyed.
    menu = openMenu(XK_r);
    ASSERT_TRUE(menu) << "the Results menu did not open";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Shot before = ShotOf(*menu);
    SaveShot(before, "program_results_menu_before.bmp");
    Key(*menu, XK_Escape);
    ASSERT_TRUE(WaitUntil([] { return !Find([](const XWin& w) { return w.overrideRedirect && w.h > 40; }); }, 5));

    // Computations > Run Analysis, and the progress window during the run.
    menu = openMenu(XK_c);
    ASSERT_TRUE(menu) << "the Computations menu did not open";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
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
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Shot after = ShotOf(*menu);
    SaveShot(after, "program_results_menu_after.bmp");
    Key(*menu, XK_Escape);
    EXPECT_GT(BlackPixels(after), 150);
    EXPECT_LT(BlackPixels(before) * 4, BlackPixels(after));
    SaveShot(ShotOf(*Find(isFrame)), "program_after_run.bmp");

    // File > Exit ends the program.
    WaitUntil([] { return !Find([](const XWin& w) { return w.overrideRedirect && w.h > 40; }); }, 5);
    menu = openMenu(XK_f);
    ASSERT_TRUE(menu);
    Key(*menu, XK_x);
    EXPECT_TRUE(program.Exited(30));
}

}  // namespace
