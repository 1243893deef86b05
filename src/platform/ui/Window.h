// Base of every window of the layer: frames, views, dialogs, controls and
// popups. A window is plain state; the back end shows it and is told of each
// change through Backend::WindowChanged.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Painter.h"
#include "platform/ui/Types.h"

namespace ui {

class Dialog;

// Data a back end keeps with a window (its widget); owned by the window and
// deleted when the window is destroyed.
class BackendPeer {
public:
    virtual ~BackendPeer() = default;
};

enum class WindowKind { Popup, Frame, View, Dialog, Control };

// What changed on a window, for the back end.
enum class Change {
    Created,     // the window exists now (a dialog first, then each of its controls)
    Destroyed,   // about to go away; the peer is deleted after this call
    Visibility,  // shown or hidden
    Geometry,    // moved or resized
    Text,        // window text, caption or title
    Enabled,     // enabled or disabled
    State,       // kind-specific state: check, items, selection, range, position, colour
    Focus,       // the focused control of a dialog
    Look,        // text colour or font
    Menu,        // menu bar of a frame
    ToolBars,    // toolbar row of a frame
    StatusBar,   // status bar of a frame
};

// Window style bits used by popups, frames and dialogs.
namespace style {
constexpr unsigned Caption = 1u << 0;
constexpr unsigned SysMenu = 1u << 1;
constexpr unsigned Resizable = 1u << 2;
constexpr unsigned Topmost = 1u << 3;
constexpr unsigned ToolWindow = 1u << 4;
constexpr unsigned Maximized = 1u << 5;
constexpr unsigned Visible = 1u << 6;
}  // namespace style

class Window {
public:
    explicit Window(WindowKind kind);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    WindowKind Kind() const { return kind_; }

    // Creates a top-level window (a popup such as a progress window) at the
    // given screen rectangle in pixels. OnCreate runs; -1 from it fails.
    bool CreatePopup(const Rect& rect, unsigned styleBits, Window* parent = nullptr, const std::string& title = "");
    // Creates a child window (a view) shown in the parent's client area.
    bool CreateChild(Window* parent, const Rect& rect);
    // True between creation and destruction.
    bool IsWindow() const { return created_; }
    // Destroys the window: OnDestroy, the back end forgets it, PostNcDestroy
    // (which may delete the object; touch nothing after it).
    virtual bool DestroyWindow();

    Window* GetParent() const { return parent_; }
    void SetParent(Window* parent) { parent_ = parent; }
    unsigned GetStyle() const { return style_; }
    void ModifyStyle(unsigned remove, unsigned add);

    const std::string& GetWindowText() const { return text_; }
    virtual void SetWindowText(const std::string& text);

    bool IsWindowEnabled() const { return enabled_; }
    void EnableWindow(bool enable);

    // Own visibility flag.
    bool IsShown() const { return shown_; }
    // Visible when shown itself and every parent is visible.
    bool IsWindowVisible() const;
    void ShowWindow(bool show);

    // Screen rectangle in pixels for top-level windows, rectangle in the
    // parent's client area for child windows.
    Rect GetWindowRect() const { return rect_; }
    void MoveWindow(const Rect& rect, bool repaint = true);
    // New width and height at the same place, repainted.
    void SetWindowSize(int w, int h);
    // A top-level window moved on the screen by someone else (the user, a
    // window manager): the new place is taken as it is, nothing is told.
    void UserMoved(int x, int y) {
        rect_.x = x;
        rect_.y = y;
    }
    Size GetClientSize() const { return Size{rect_.w, rect_.h}; }
    void CenterWindow();

    // Painting: Invalidate marks the window for repainting; UpdateWindow paints
    // a marked window at once.
    void Invalidate(bool erase = true);
    void UpdateWindow();
    bool NeedsPaint() const { return needsPaint_; }
    bool EraseRequested() const { return eraseRequested_; }
    // Called by the back end when it paints the window.
    void Paint(Painter& painter);

    // Timers per window: OnTimer(id) every ms milliseconds until killed.
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool HasTimer(int id) const;

    // Messages.
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}
    virtual void OnPaint(Painter&) {}
    virtual bool OnEraseBackground(Painter&) { return false; }
    virtual void OnSize(int cx, int cy) { (void)cx, (void)cy; }
    virtual void OnTimer(int id) { (void)id; }
    virtual void OnKeyDown(int key, int repeat, int flags) { (void)key, (void)repeat, (void)flags; }
    virtual void OnKeyUp(int key, int repeat, int flags) { (void)key, (void)repeat, (void)flags; }
    // A popup (a window of kind Popup): the left mouse button pressed at a
    // point of its client area, and the close box of its caption (the
    // window stays; the popup decides what closing means).
    virtual void OnPopupClick(Point p) { (void)p; }
    virtual void OnPopupClose() {}

    // Per-window text colour and font (labels, static texts); empty: default.
    void SetTextColor(std::optional<Color> c);
    const std::optional<Color>& TextColor() const { return textColor_; }
    void SetFont(std::optional<Font> f);
    const std::optional<Font>& GetFont() const { return font_; }

    BackendPeer* Peer() const { return peer_.get(); }
    void SetPeer(std::unique_ptr<BackendPeer> peer) { peer_ = std::move(peer); }

protected:
    // Marks the window created and tells the back end.
    void MarkCreated();
    void NotifyChange(Change c);
    void SetRectSilently(const Rect& r) { rect_ = r; }
    void SetShownSilently(bool s) { shown_ = s; }
    void SetTextSilently(const std::string& t) { text_ = t; }
    // Runs during DestroyWindow after OnDestroy: child windows go first.
    virtual void DestroyChildWindows() {}

private:
    WindowKind kind_;
    Window* parent_ = nullptr;
    unsigned style_ = 0;
    std::string text_;
    bool created_ = false;
    bool enabled_ = true;
    bool shown_ = false;
    Rect rect_;
    bool needsPaint_ = false;
    bool eraseRequested_ = false;
    std::optional<Color> textColor_;
    std::optional<Font> font_;
    std::map<int, int> timers_;
    std::unique_ptr<BackendPeer> peer_;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace ui
