#include "platform/ui/Window.h"

#include <vector>

#include "platform/ui/Backend.h"
#include "platform/ui/Headless.h"

namespace ui {

namespace {
Backend* g_backend = nullptr;
}

Backend& GetBackend() {
    if (g_backend) return *g_backend;
    // Without a back end the program still runs: questions are answered
    // "cancel" and recorded as failures of the headless driver.
    static Headless fallback;
    return fallback;
}

void SetBackend(Backend* backend) { g_backend = backend; }

Window::Window(WindowKind kind) : kind_(kind) {}

Window::~Window() {
    if (created_) {
        for (const auto& [id, ms] : timers_) GetBackend().KillTimer(*this, id);
        timers_.clear();
        GetBackend().WindowChanged(*this, Change::Destroyed);
        created_ = false;
    }
}

void Window::MarkCreated() {
    created_ = true;
    NotifyChange(Change::Created);
}

void Window::NotifyChange(Change c) {
    if (created_) GetBackend().WindowChanged(*this, c);
}

bool Window::CreatePopup(const Rect& rect, unsigned styleBits, Window* parent, const std::string& title) {
    if (created_) return false;
    parent_ = parent;
    style_ = styleBits;
    rect_ = rect;
    text_ = title;
    shown_ = false;
    MarkCreated();
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    OnSize(rect_.w, rect_.h);
    if (style_ & style::Visible) ShowWindow(true);
    return true;
}

bool Window::CreateChild(Window* parent, const Rect& rect) { return CreatePopup(rect, style::Visible, parent, ""); }

bool Window::DestroyWindow() {
    if (!created_) return false;
    OnDestroy();
    DestroyChildWindows();
    for (const auto& [id, ms] : timers_) GetBackend().KillTimer(*this, id);
    timers_.clear();
    GetBackend().WindowChanged(*this, Change::Destroyed);
    peer_.reset();
    created_ = false;
    shown_ = false;
    needsPaint_ = false;
    PostNcDestroy();  // may delete this
    return true;
}

void Window::ModifyStyle(unsigned remove, unsigned add) {
    style_ = (style_ & ~remove) | add;
    NotifyChange(Change::Look);
}

void Window::SetWindowText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    NotifyChange(Change::Text);
}

void Window::EnableWindow(bool enable) {
    if (enable == enabled_) return;
    enabled_ = enable;
    NotifyChange(Change::Enabled);
}

bool Window::IsWindowVisible() const {
    if (!created_ || !shown_) return false;
    if ((kind_ == WindowKind::Control || kind_ == WindowKind::View) && parent_) return parent_->IsWindowVisible();
    return true;
}

void Window::ShowWindow(bool show) {
    if (show == shown_) return;
    shown_ = show;
    NotifyChange(Change::Visibility);
}

void Window::MoveWindow(const Rect& rect, bool repaint) {
    const bool resized = rect.w != rect_.w || rect.h != rect_.h;
    rect_ = rect;
    NotifyChange(Change::Geometry);
    if (resized && created_) OnSize(rect_.w, rect_.h);
    if (repaint) Invalidate(true);
}

void Window::SetWindowSize(int w, int h) {
    Rect r = rect_;
    r.w = w;
    r.h = h;
    MoveWindow(r, true);
}

void Window::CenterWindow() {
    Rect outer = GetBackend().DesktopRect();
    if (parent_ && parent_->IsWindow() && kind_ != WindowKind::Control) outer = parent_->GetWindowRect();
    Rect r = rect_;
    r.x = outer.x + outer.w / 2 - r.w / 2;
    r.y = outer.y + outer.h / 2 - r.h / 2;
    MoveWindow(r, false);
}

void Window::Invalidate(bool erase) {
    needsPaint_ = true;
    eraseRequested_ = eraseRequested_ || erase;
    if (created_) GetBackend().Invalidate(*this, erase);
}

void Window::UpdateWindow() {
    if (created_ && needsPaint_) GetBackend().UpdateNow(*this);
}

void Window::Paint(Painter& painter) {
    const bool erase = eraseRequested_;
    needsPaint_ = false;
    eraseRequested_ = false;
    if (erase) OnEraseBackground(painter);
    OnPaint(painter);
}

void Window::SetTimer(int id, int ms) {
    if (!created_) return;
    timers_[id] = ms;
    GetBackend().SetTimer(*this, id, ms);
}

void Window::KillTimer(int id) {
    if (timers_.erase(id) && created_) GetBackend().KillTimer(*this, id);
}

bool Window::HasTimer(int id) const { return timers_.count(id) != 0; }

void Window::SetTextColor(std::optional<Color> c) {
    textColor_ = c;
    NotifyChange(Change::Look);
}

void Window::SetFont(std::optional<Font> f) {
    font_ = std::move(f);
    NotifyChange(Change::Look);
}

WaitCursor::WaitCursor() { GetBackend().BeginWaitCursor(); }
WaitCursor::~WaitCursor() { GetBackend().EndWaitCursor(); }

}  // namespace ui
