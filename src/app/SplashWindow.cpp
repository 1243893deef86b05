#include "app/SplashWindow.h"

#include <array>
#include <cmath>

#include "platform/ui/App.h"
#include "platform/ui/Services.h"

namespace {

const ui::Color kLineColour = ui::Rgb(109, 140, 44);
const ui::Color kProgressColour = ui::Rgb(0, 0, 255);
const char* const kFace = "Arial";

// What outlives the window: one set for the whole program.
struct SplashState {
    CSplashWindow* current = nullptr;
    std::string title;
    std::string subtitle;
    int closeDelay = 0;
    std::string product;
    std::string maker;
    std::string comments;
    bool cancelOffered = false;
    bool cancelAsked = false;
    // Per text block: (point size, line height), fitted at the first paint.
    std::array<std::pair<int, int>, 4> fitted{{{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}}};
};

SplashState& State() {
    static SplashState state;
    return state;
}

}  // namespace

CSplashWindow::CSplashWindow() : ui::Window(ui::WindowKind::Popup) {
    picture_ = MakePicture();
    ReadVersionStrings();
}

CSplashWindow::~CSplashWindow() {
    if (State().current == this) State().current = nullptr;
}

CSplashWindow* CSplashWindow::Current() { return State().current; }
const std::string& CSplashWindow::Title() { return State().title; }
const std::string& CSplashWindow::Subtitle() { return State().subtitle; }

void CSplashWindow::ResetState() {
    CloseSplashWindow();
    State() = SplashState{};
}

void CSplashWindow::OfferCancel(bool offered) {
    SplashState& s = State();
    s.cancelOffered = offered;
    s.cancelAsked = false;
    if (s.current) s.current->Invalidate(false);
}

bool CSplashWindow::CancelOffered() { return State().cancelOffered; }
bool CSplashWindow::CancelAsked() { return State().cancelAsked; }

void CSplashWindow::AskCancel() {
    SplashState& s = State();
    if (!s.cancelOffered || s.cancelAsked) return;
    s.cancelAsked = true;
    s.subtitle = "Cancelling...";
    if (s.current) {
        s.current->Invalidate(false);
        s.current->UpdateWindow();
    }
}

void CSplashWindow::OnPopupClick(ui::Point p) {
    if (kCancelButton.Contains(p)) AskCancel();
}

// The caption's close box cancels the run; the window stays until the run
// has ended.
void CSplashWindow::OnPopupClose() { AskCancel(); }

void CSplashWindow::ReadVersionStrings() {
    SplashState& s = State();
    s.product = "Brennix";
    s.maker = "Calvex";
    s.comments = "Finite element analysis of mat foundations and slabs on soil";
}

// The picture: a sky-to-sand gradient with a slab resting on the ground
// line, drawn once per window.
ui::Image CSplashWindow::MakePicture() {
    ui::Image image;
    image.width = kPictureWidth;
    image.height = kPictureHeight;
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    const int ground = 250;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
            int r, g, b;
            if (y < ground) {
                const double t = static_cast<double>(y) / ground;
                r = static_cast<int>(236 - 40 * t);
                g = static_cast<int>(244 - 30 * t);
                b = 255;
            } else {
                const double t = static_cast<double>(y - ground) / (image.height - ground);
                r = static_cast<int>(214 - 50 * t);
                g = static_cast<int>(190 - 50 * t);
                b = static_cast<int>(140 - 40 * t);
            }
            // The slab: a grey band on the ground line with a mesh of
            // darker lines.
            if (y >= ground - 14 && y < ground && x >= 60 && x < image.width - 60) {
                const bool mesh = (x - 60) % 32 == 0 || y == ground - 14 || y == ground - 1;
                r = g = b = mesh ? 90 : 170;
            }
            p[0] = static_cast<std::uint8_t>(r);
            p[1] = static_cast<std::uint8_t>(g);
            p[2] = static_cast<std::uint8_t>(b);
        }
    return image;
}

void CSplashWindow::ShowProgress(ui::Window* parent, const std::string* title, const std::string* subtitle,
                                 int closeAfterMs) {
    SplashState& s = State();
    if (title) s.title = *title;
    if (subtitle) s.subtitle = *subtitle;
    s.closeDelay = closeAfterMs;
    if (!s.current) {
        auto* window = new CSplashWindow();
        s.current = window;
        if (!window->Create(parent)) {
            delete window;
            s.current = nullptr;
            return;
        }
    }
    CSplashWindow* w = s.current;
    if (closeAfterMs != 0) w->SetTimer(kCloseTimer, closeAfterMs);
    w->ShowWindow(true);
    w->Invalidate(false);
    w->UpdateWindow();
    w->Invalidate(false);
    // The pump may close the window (a due close timer).
    ui::PumpWindowMessages(*w);
}

bool CSplashWindow::Create(ui::Window* parent) {
    if (picture_.Empty()) return false;
    const ui::Rect around = parent ? parent->GetWindowRect() : ui::DesktopRect();
    const int x = around.x + around.w / 2 - picture_.width / 2;
    const int y = around.y + around.h / 2 - picture_.height / 2;
    unsigned style = ui::style::Caption | ui::style::Visible;
    if (!parent) style |= ui::style::Topmost;
    return CreatePopup({x, y, picture_.width, picture_.height}, style, parent, "");
}

int CSplashWindow::OnCreate() {
    CenterWindow();
    if (State().closeDelay != 0) SetTimer(kCloseTimer, State().closeDelay);
    SetTimer(kRepaintTimer, kRepaintMs);
    return 0;
}

void CSplashWindow::CloseSplashWindow() {
    if (CSplashWindow* w = State().current) w->DestroyWindow();
    ui::App* app = ui::App::Get();
    if (app && app->MainFrame() && app->MainFrame()->IsWindow()) {
        app->MainFrame()->Invalidate(false);
        app->MainFrame()->UpdateWindow();
    }
}

void CSplashWindow::OnTimer(int id) {
    if (id == kCloseTimer)
        CloseSplashWindow();
    else if (id == kRepaintTimer)
        Invalidate(true);
}

void CSplashWindow::PostNcDestroy() { delete this; }

ui::Font CSplashWindow::PointFont(const std::string& face, int points) {
    ui::Font font;
    font.face = face;
    // Points at 96 pixels per inch, as character height.
    font.height = -static_cast<int>(std::lround(points * 96.0 / 72.0));
    return font;
}

std::pair<int, int> CSplashWindow::FitPointSize(ui::Painter& painter, const std::string& face,
                                                const std::vector<std::string>& lines, int boxWidth, int boxHeight) {
    const int n = lines.empty() ? 1 : static_cast<int>(lines.size());
    const int heightLimit = boxHeight / n;
    int p = 8;
    ui::Size fitting{0, 0};
    ui::Size widest{0, 0};
    for (;;) {
        painter.SetFont(PointFont(face, p));
        for (const std::string& line : lines) {
            const ui::Size e = painter.TextExtent(line);
            if (e.cx > widest.cx) widest = e;
        }
        if (widest.cx > boxWidth || widest.cy > heightLimit) break;
        fitting = widest;
        p += 2;
    }
    return {p - 2, fitting.cy};
}

void CSplashWindow::OnPaint(ui::Painter& painter) {
    SplashState& s = State();
    const int w = picture_.width;
    painter.DrawImage(picture_, 0, 0);
    painter.SetBackground(false, 0);
    const int flags = ui::text::Center | ui::text::VCenter | ui::text::SingleLine;
    auto fit = [&](int block, const std::vector<std::string>& lines, int boxW, int boxH) {
        auto& f = s.fitted[static_cast<std::size_t>(block)];
        if (f.first == -1 && f.second == -1) f = FitPointSize(painter, kFace, lines, boxW, boxH);
        painter.SetFont(PointFont(kFace, f.first));
        return f.second;
    };

    painter.SetTextColor(kLineColour);
    fit(0, {s.product}, w - 40, 35);
    painter.DrawText({20, 50, w - 40, 35}, s.product, flags);

    // The progress texts under the product line, the maker and the comments
    // below them: the two blocks do not interleave.
    const int h = fit(1, {s.maker, "x", "x", s.comments}, w - 120, 60);
    painter.DrawText({100, 150, w - 120, h}, s.maker, flags);
    painter.DrawText({100, 150 + 3 * h, w - 120, h}, s.comments, flags);

    painter.SetTextColor(kProgressColour);
    if (!s.title.empty()) {
        fit(2, {s.title}, w - 20, 25);
        painter.DrawText({10, 90, w - 20, 25}, s.title, flags);
    }
    if (!s.subtitle.empty()) {
        fit(3, {s.subtitle}, w - 20, 20);
        painter.DrawText({10, 118, w - 20, 20}, s.subtitle, flags);
    }

    if (s.cancelOffered) {
        // A push button: light face, dark frame; greyed once pressed.
        const ui::Rect& b = kCancelButton;
        painter.FillSolidRect(b, ui::Rgb(225, 225, 225));
        painter.SetPen(ui::PenStyle::Solid, 1, ui::Rgb(64, 64, 64));
        painter.SetNoBrush();
        painter.Rectangle(b.Left(), b.Top(), b.Right(), b.Bottom());
        painter.SetFont(PointFont(kFace, 10));
        painter.SetTextColor(s.cancelAsked ? ui::Rgb(150, 150, 150) : ui::Rgb(0, 0, 0));
        painter.DrawText(b, "Cancel", flags);
    }
}
