// Screenshots and input sent through the X server for the desktop tests.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>
#include <cctype>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "platform/fltk/FltkBackend.h"
#include "platform/gl/DibImage.h"
#include "platform/ui/UI.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// Test programs run side by side on one X display: each holds this lock
// while its windows are up, so that no other test's window covers a
// screenshot.
class DisplayLock {
public:
    DisplayLock() {
        std::string name = "/tmp/brennix-display";
        for (const char* d = std::getenv("DISPLAY"); d && *d; ++d)
            name += std::isalnum(static_cast<unsigned char>(*d)) ? *d : '_';
        name += ".lock";
        fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~DisplayLock() {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    DisplayLock(const DisplayLock&) = delete;
    DisplayLock& operator=(const DisplayLock&) = delete;

private:
    int fd_ = -1;
};

// Empty when the display can show what the tests check: true colour of 24
// bits or more on a screen of at least 1024 x 768.
inline std::string DisplayProblem() {
    fl_open_display();
    const int depth = DefaultDepth(fl_display, fl_screen);
    const int w = DisplayWidth(fl_display, fl_screen), h = DisplayHeight(fl_display, fl_screen);
    if (depth < 24 || w < 1024 || h < 768)
        return "the X display has depth " + std::to_string(depth) + " and " + std::to_string(w) + "x" +
               std::to_string(h) + " pixels; run under xvfb-run -s \"-screen 0 1280x1024x24\" (scripts/test)";
    return {};
}

// A screenshot of a rectangle of the screen, as RGB rows from the top.
struct Shot {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; }
};

inline int ShiftOf(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

inline Shot Screenshot(int x, int y, int w, int h) {
    Shot s;
    // What FLTK has yet to draw goes out first, and the server is done
    // with it before the pixels are read.
    Fl::flush();
    XSync(fl_display, False);
    XImage* img = XGetImage(fl_display, RootWindow(fl_display, fl_screen), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!img) return s;
    s.w = w;
    s.h = h;
    s.rgb.resize(static_cast<size_t>(w) * h * 3);
    const int rs = ShiftOf(img->red_mask), gs = ShiftOf(img->green_mask), bs = ShiftOf(img->blue_mask);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            const unsigned long p = XGetPixel(img, xx, yy);
            unsigned char* d = &s.rgb[(static_cast<size_t>(yy) * w + xx) * 3];
            d[0] = static_cast<unsigned char>((p & img->red_mask) >> rs);
            d[1] = static_cast<unsigned char>((p & img->green_mask) >> gs);
            d[2] = static_cast<unsigned char>((p & img->blue_mask) >> bs);
        }
    XDestroyImage(img);
    return s;
}

inline void SaveShot(const Shot& s, const std::string& name) {
    brennix::gl::DibImage dib;
    dib.Allocate(s.w, s.h);
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            unsigned char* d = dib.bits.data() + static_cast<size_t>(s.h - 1 - y) * dib.stride() + x * 3;
            const unsigned char* p = s.At(x, y);
            d[0] = p[2];
            d[1] = p[1];
            d[2] = p[0];
        }
    brennix::gl::WriteBitmapFile(name, brennix::gl::MakeBitmapInfo(s.w, s.h, 1, 24), dib);
}

inline bool IsDark(const unsigned char* p) { return p[0] < 90 && p[1] < 90 && p[2] < 90; }

// Input through the X server: events sent to the window as the server
// would deliver them.
// An event of the given type for the window, at (x, y) of the window, with
// the fields that key, button and motion events share filled in.
template <class Event>
Event EventAt(::Window xid, int winX, int winY, int x, int y) {
    Event ev{};
    ev.display = fl_display;
    ev.window = xid;
    ev.root = RootWindow(fl_display, fl_screen);
    ev.time = CurrentTime;
    ev.x = x;
    ev.y = y;
    ev.x_root = winX + x;
    ev.y_root = winY + y;
    ev.same_screen = True;
    return ev;
}

template <class Event>
Event EventAt(Fl_Window* win, int x, int y) {
    return EventAt<Event>(fl_xid(win), win->x(), win->y(), x, y);
}

template <class Event>
void SendEvent(Event& ev, int type, long mask) {
    ev.type = type;
    XSendEvent(fl_display, ev.window, True, mask, reinterpret_cast<XEvent*>(&ev));
}

// A key press and release for the X window at (winX, winY) on the screen,
// which need not belong to this program.
inline void SendKeyTo(::Window xid, int winX, int winY, KeySym sym, unsigned state = 0) {
    auto ev = EventAt<XKeyEvent>(xid, winX, winY, 5, 5);
    ev.state = state;
    ev.keycode = XKeysymToKeycode(fl_display, sym);
    SendEvent(ev, KeyPress, KeyPressMask);
    SendEvent(ev, KeyRelease, KeyReleaseMask);
    XFlush(fl_display);
}

inline void SendKey(Fl_Window* win, KeySym sym, unsigned state = 0) {
    SendKeyTo(fl_xid(win), win->x(), win->y(), sym, state);
}

inline void SendClick(Fl_Window* win, int x, int y) {
    auto ev = EventAt<XButtonEvent>(win, x, y);
    ev.button = Button1;
    SendEvent(ev, ButtonPress, ButtonPressMask);
    ev.state = Button1Mask;
    SendEvent(ev, ButtonRelease, ButtonReleaseMask);
    XFlush(fl_display);
}

inline void SendMotion(Fl_Window* win, int x, int y) {
    auto ev = EventAt<XMotionEvent>(win, x, y);
    SendEvent(ev, MotionNotify, PointerMotionMask);
    XFlush(fl_display);
}

// Types printable ASCII text key by key, with Shift where the keyboard
// needs it.
inline void TypeTextTo(::Window xid, int winX, int winY, const std::string& text) {
    for (char ch : text) {
        const KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(ch));
        const KeyCode code = XKeysymToKeycode(fl_display, sym);
        unsigned state = 0;
        if (code && XkbKeycodeToKeysym(fl_display, code, 0, 0) != sym) state = ShiftMask;
        SendKeyTo(xid, winX, winY, sym, state);
    }
}

inline void TypeText(Fl_Window* win, const std::string& text) { TypeTextTo(fl_xid(win), win->x(), win->y(), text); }

// The shown top-level window whose title starts with the text, or null.
inline Fl_Window* WindowTitled(const std::string& start) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->shown() && w->label() && std::string(w->label()).rfind(start, 0) == 0) return w;
    return nullptr;
}

// Dark pixels of a screenshot: how much text and line work it shows.
inline int Ink(const Shot& s) {
    int ink = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) ink += IsDark(s.At(x, y));
    return ink;
}

// Steps run by a timer inside a modal loop, one after another; a step
// returns true when done and is tried again at the next tick otherwise.
// After 20 seconds the failure names the step and abort ends the dialogs.
struct ModalSteps {
    std::vector<std::pair<std::string, std::function<bool()>>> list;
    size_t next = 0;
    int ticks = 0;
    std::string failure;
    std::function<void()> abort;

    static void Tick(void* data) {
        auto* s = static_cast<ModalSteps*>(data);
        if (++s->ticks > 400) {  // 20 seconds
            if (s->failure.empty())
                s->failure = "timed out at " + (s->next < s->list.size() ? s->list[s->next].first : "end");
            s->abort();
            Fl::repeat_timeout(0.05, Tick, data);
            return;
        }
        if (s->next < s->list.size() && s->list[s->next].second()) ++s->next;
        if (s->next < s->list.size()) Fl::repeat_timeout(0.05, Tick, data);
    }
};

// A pick from a drop-down list opened by a click: the open list runs a loop
// of its own, so a timer finds its window once it is drawn and clicks the
// middle of entry `entry` (from 0) of `count`.
struct ListPick {
    Fl_Window* dialog;
    brennix::fltk::FltkBackend* backend;
    int entry = 0, count = 1;
    int ticks = 0;
    int seen = 0;  // ticks with the list open and drawn
    bool clicked = false;
    static void Tick(void* data) {
        auto* m = static_cast<ListPick*>(data);
        ++m->ticks;
        Fl_Window* menu = Fl::first_window();
        if (menu && menu != m->dialog && !m->backend->LayerWindowOf(menu) && menu->shown() && menu->visible() &&
            !menu->damage() && ++m->seen > 1) {
            SendClick(menu, menu->w() / 2, menu->h() * (2 * m->entry + 1) / (2 * m->count));
            m->clicked = true;
            return;
        }
        if (m->ticks < 1200) Fl::repeat_timeout(0.05, Tick, data);
    }
    // Clicks (x, y) of the dialog's window, which opens the list, and picks.
    void Open(int x, int y) {
        clicked = false;
        ticks = seen = 0;
        Fl::add_timeout(0.05, Tick, this);
        SendClick(dialog, x, y);
    }
    ~ListPick() { Fl::remove_timeout(Tick, this); }
};

// Runs FLTK's loop until the condition holds or the time (seconds) is up;
// the time is generous, for a loaded machine.
template <class F>
bool WaitFor(F condition, double seconds = 30.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        Fl::wait(0.02);
    }
    return condition();
}

// Waits until the X server has handled everything sent so far, FLTK has
// handled the events that came back, and every shown window of this program
// is mapped and drawn. False when that does not come within the seconds.
inline bool Settle(double seconds = 30.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        XSync(fl_display, False);
        Fl::check();
        bool mapped = true;
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
            if (!w->shown() || !w->visible()) continue;
            XWindowAttributes a;
            if (!XGetWindowAttributes(fl_display, fl_xid(w), &a) || a.map_state != IsViewable) mapped = false;
        }
        if (mapped && !Fl::damage()) {
            XSync(fl_display, False);  // the drawing has reached the screen
            if (!XPending(fl_display)) return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        Fl::wait(0.01);
    }
}

// Tests on the X display: skipped without one; they hold the display lock,
// check that the display can show what they measure, and run with the FLTK
// back end installed.
class FltkDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        lock_ = std::make_unique<DisplayLock>();
        ASSERT_EQ(DisplayProblem(), "");
        backend.Install();
    }

    // Creates the dialog and waits until its window is on the screen; null
    // (with the failure noted) when it does not come.
    Fl_Window* ShowDialog(ui::Dialog& dialog) {
        if (!dialog.Create()) {
            ADD_FAILURE() << "the dialog was not created";
            return nullptr;
        }
        Fl_Window* win = backend.TopWindowOf(dialog);
        if (!win || !WaitFor([&] { return win->shown() && win->visible(); }) || !Settle()) {
            ADD_FAILURE() << "the dialog's window did not show";
            return nullptr;
        }
        return win;
    }

    // Destroys the window and lets FLTK take its widgets away.
    static void CloseWindow(ui::Window& window) {
        window.DestroyWindow();
        EXPECT_TRUE(Settle());
    }

private:
    std::unique_ptr<DisplayLock> lock_;  // released after the back end is gone

protected:
    brennix::fltk::FltkBackend backend;
};

}  // namespace

namespace {

// A drag source of our own, on a second connection to the X server: drags
// a text/uri-list over a window, drops it and hands the list over when the
// target asks for it, all through the drag-and-drop protocol the desktop's
// file managers speak.
class XdndSource {
public:
    XdndSource() {
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_) return;
        win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
        for (auto& [name, atom] : atoms_) atom = XInternAtom(dpy_, name, False);
    }
    ~XdndSource() {
        if (!dpy_) return;
        XDestroyWindow(dpy_, win_);
        XCloseDisplay(dpy_);
    }
    XdndSource(const XdndSource&) = delete;
    XdndSource& operator=(const XdndSource&) = delete;
    bool Ok() const { return dpy_ != nullptr; }

    // Enters the target and moves over the root position.
    void Enter(::Window target, int rootX, int rootY, const std::string& uriList) {
        target_ = target;
        data_ = uriList;
        XSetSelectionOwner(dpy_, AtomOf("XdndSelection"), win_, CurrentTime);
        Send("XdndEnter", {static_cast<long>(win_), 4L << 24, static_cast<long>(AtomOf("text/uri-list")), 0, 0});
        Send("XdndPosition", {static_cast<long>(win_), 0, (static_cast<long>(rootX) << 16) | rootY, CurrentTime,
                              static_cast<long>(AtomOf("XdndActionCopy"))});
    }
    void Drop() { Send("XdndDrop", {static_cast<long>(win_), 0, CurrentTime, 0, 0}); }

    // Answers what has come; call from the test's loop.
    void Pump() {
        while (XPending(dpy_)) {
            XEvent ev;
            XNextEvent(dpy_, &ev);
            if (ev.type == ClientMessage && ev.xclient.message_type == AtomOf("XdndStatus"))
                accepted_ = (ev.xclient.data.l[1] & 1) != 0;
            else if (ev.type == ClientMessage && ev.xclient.message_type == AtomOf("XdndFinished"))
                finished_ = true;
            else if (ev.type == SelectionRequest)
                Answer(ev.xselectionrequest);
        }
    }
    bool Accepted() const { return accepted_; }
    bool Finished() const { return finished_; }
    bool Served() const { return served_; }

private:
    ::Atom AtomOf(const char* name) const {
        for (const auto& [n, a] : atoms_)
            if (std::string(n) == name) return a;
        return None;
    }
    void Send(const char* type, std::array<long, 5> data) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.display = dpy_;
        ev.xclient.window = target_;
        ev.xclient.message_type = AtomOf(type);
        ev.xclient.format = 32;
        for (int i = 0; i < 5; ++i) ev.xclient.data.l[i] = data[static_cast<size_t>(i)];
        XSendEvent(dpy_, target_, False, NoEventMask, &ev);
        XFlush(dpy_);
    }
    void Answer(const XSelectionRequestEvent& req) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = req.display;
        reply.xselection.requestor = req.requestor;
        reply.xselection.selection = req.selection;
        reply.xselection.target = req.target;
        reply.xselection.time = req.time;
        reply.xselection.property = None;
        if (req.target == AtomOf("text/uri-list") && req.property != None) {
            XChangeProperty(dpy_, req.requestor, req.property, req.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data_.data()), static_cast<int>(data_.size()));
            reply.xselection.property = req.property;
            served_ = true;
        }
        XSendEvent(dpy_, req.requestor, False, NoEventMask, &reply);
        XFlush(dpy_);
    }

    Display* dpy_ = nullptr;
    ::Window win_ = 0;
    ::Window target_ = 0;
    std::string data_;
    std::array<std::pair<const char*, ::Atom>, 8> atoms_{{{"XdndSelection", None},
                                                          {"XdndEnter", None},
                                                          {"XdndPosition", None},
                                                          {"XdndStatus", None},
                                                          {"XdndDrop", None},
                                                          {"XdndFinished", None},
                                                          {"XdndActionCopy", None},
                                                          {"text/uri-list", None}}};
    bool accepted_ = false;
    bool finished_ = false;
    bool served_ = false;
};

}  // namespace
