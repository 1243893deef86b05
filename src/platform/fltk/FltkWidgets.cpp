#include "platform/fltk/FltkWidgets.h"
#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkPainter.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace brennix::fltk {

TopWindow::TopWindow(FltkBackend& backend, ui::Window& window, int x, int y, int w, int h)
    : Fl_Double_Window(x, y, w, h), backend_(backend), window_(window) {
    end();
    callback([](Fl_Widget* wdg, void*) {
        auto* top = static_cast<TopWindow*>(wdg);
        // Escape reaching a window is not a close request.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        top->backend_.TopClosed(top->window_);
    });
}

void TopWindow::resize(int x, int y, int w, int h) {
    const bool sized = w != this->w() || h != this->h();
    const bool moved = x != this->x() || y != this->y();
    Fl_Double_Window::resize(x, y, w, h);
    if (backend_.Syncing()) return;
    // The layer learns the place first: a size it then sets keeps it.
    if (moved) window_.UserMoved(x, y);
    if (sized) backend_.TopResized(window_, w, h);
}

int TopWindow::handle(int event) {
    int handled = Fl_Double_Window::handle(event);
    if (event == FL_PUSH && window_.Kind() == ui::WindowKind::Frame) {
        // FLTK raises a window clicked where no widget takes the click; the
        // windows that stay above the frame go up after it.
        if (!handled) show();
        backend_.RaiseOwnedWindows(window_);
        handled = 1;
    }
    // A frame takes files dropped on it: it accepts the drag wherever it
    // is over the window and receives the dropped text as a paste.
    if (window_.Kind() != ui::WindowKind::Frame) return handled;
    switch (event) {
        case FL_DND_ENTER:
        case FL_DND_DRAG:
        case FL_DND_LEAVE:
        case FL_DND_RELEASE: return 1;
        case FL_PASTE:
            backend_.FilesDropped(std::string(Fl::event_text() ? Fl::event_text() : "", Fl::event_length()));
            return 1;
        default: return handled;
    }
}

PaintWidget::PaintWidget(FltkBackend& backend, ui::Window& window, int x, int y, int w, int h)
    : Fl_Widget(x, y, w, h), backend_(backend), window_(window) {}

void PaintWidget::draw() {
    FltkPainter painter(x(), y(), w(), h());
    window_.Paint(painter);
}

int PaintWidget::handle(int event) {
    auto* view = dynamic_cast<ui::View*>(&window_);
    if (!view) {
        if (event != FL_PUSH) return Fl_Widget::handle(event);
        if (window_.Kind() == ui::WindowKind::Popup && Fl::event_button() == FL_LEFT_MOUSE)
            window_.OnPopupClick({Fl::event_x() - x(), Fl::event_y() - y()});
        return 1;
    }
    const int lx = Fl::event_x() - x();
    const int ly = Fl::event_y() - y();
    const int mods = LayerModifiersOfEvent();
    auto button = [] {
        switch (Fl::event_button()) {
            case FL_RIGHT_MOUSE: return ui::MouseButton::Right;
            case FL_MIDDLE_MOUSE: return ui::MouseButton::Middle;
            default: return ui::MouseButton::Left;
        }
    };
    switch (event) {
        case FL_PUSH:
            if (Fl::focus() != this) take_focus();
            if (Fl::event_clicks() > 0)
                view->UserDoubleClick(button(), lx, ly, mods);
            else
                view->UserMouseDown(button(), lx, ly, mods);
            return 1;
        case FL_RELEASE: view->UserMouseUp(button(), lx, ly, mods); return 1;
        case FL_DRAG:
        case FL_MOVE: view->UserMouseMove(lx, ly, mods); return 1;
        case FL_ENTER:
        case FL_LEAVE: return 1;
        case FL_MOUSEWHEEL: view->UserWheel(-Fl::event_dy() * 120, lx, ly, mods); return 1;
        case FL_FOCUS:
        case FL_UNFOCUS: return 1;
        case FL_KEYBOARD: {
            const int key = LayerKeyOfEvent();
            if (key == 0) return 0;
            view->UserKeyDown(key);
            // Chords and function keys go on to the menu bar's shortcuts.
            const bool chord = (Fl::event_state() & (FL_CTRL | FL_ALT)) != 0;
            const bool function = key >= ui::key::F1 && key <= ui::key::F1 + 11;
            return chord || function ? 0 : 1;
        }
        case FL_KEYUP: {
            const int key = LayerKeyOfEvent();
            if (key == 0) return 0;
            view->UserKeyUp(key);
            return 1;
        }
        default: return Fl_Widget::handle(event);
    }
}

FrameMenuBar::FrameMenuBar(FltkBackend& backend, ui::Window& frame, int x, int y, int w, int h)
    : Fl_Menu_Bar(x, y, w, h), backend_(backend), frame_(frame) {}

int FrameMenuBar::handle(int event) {
    if (event == FL_PUSH || event == FL_SHORTCUT) backend_.RefreshMenu(frame_);
    return Fl_Menu_Bar::handle(event);
}

ToolButton::ToolButton(int x, int y, int w, int h, int commandId) : Fl_Button(x, y, w, h), commandId_(commandId) {
    box(FL_FLAT_BOX);
    down_box(FL_DOWN_BOX);
    clear_visible_focus();
}

int ToolButton::handle(int event) {
    // Pointing at a button shows its command's status text.
    if (event == FL_ENTER || event == FL_LEAVE) {
        FltkBackend* backend = FltkBackend::Instance();
        if (auto* frame = backend ? dynamic_cast<ui::Frame*>(backend->LayerWindowOf(parent())) : nullptr) {
            if (event == FL_ENTER)
                frame->UserHover(commandId_);
            else
                frame->UserHoverEnd();
        }
        redraw();
    }
    return Fl_Button::handle(event);
}

int ImagePixels(const ui::Image& image, int x, int y, int w, int h, std::vector<std::uint8_t>& out) {
    out.clear();
    if (image.Empty() || image.rgb.size() < static_cast<size_t>(image.width) * image.height * 3 || x < 0 || y < 0 ||
        w <= 0 || h <= 0 || x + w > image.width || y + h > image.height)
        return 0;
    const int depth = image.transparent ? 4 : 3;
    out.reserve(static_cast<size_t>(w) * h * depth);
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) {
            const std::uint8_t* p = &image.rgb[(static_cast<size_t>(row) * image.width + col) * 3];
            out.insert(out.end(), p, p + 3);
            if (depth == 4) out.push_back(ui::Rgb(p[0], p[1], p[2]) == *image.transparent ? 0 : 255);
        }
    return depth;
}

void ToolButton::SetPicture(const ui::Image* strip, int index, int count) {
    picture_.reset();
    pixels_.clear();
    if (!strip || strip->Empty() || count <= 0 || index < 0 || index >= count) return;
    const int w = strip->width / count;
    const int h = strip->height;
    if (const int depth = ImagePixels(*strip, index * w, 0, w, h, pixels_))
        picture_ = std::make_unique<Fl_RGB_Image>(pixels_.data(), w, h, depth);
}

void ToolButton::draw() {
    const bool pressed = value() || checked_;
    draw_box(pressed ? FL_DOWN_BOX : (Fl::belowmouse() == this && active_r() ? FL_THIN_UP_BOX : FL_FLAT_BOX), color());
    const int inset = 3 + (pressed ? 1 : 0);
    if (picture_) {
        const int px = x() + (w() - picture_->w()) / 2 + (pressed ? 1 : 0);
        const int py = y() + (h() - picture_->h()) / 2 + (pressed ? 1 : 0);
        if (active_r())
            picture_->draw(px, py);
        else {
            std::unique_ptr<Fl_Image> grey(picture_->copy());
            grey->inactive();
            grey->draw(px, py);
        }
    } else {
        DrawToolIcon(commandId_, tooltip() ? tooltip() : "", x() + inset, y() + inset, w() - 6, h() - 6,
                     active_r() != 0);
    }
}

GroupFrame::GroupFrame(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

void GroupFrame::draw() {
    fl_font(labelfont(), labelsize());
    const int th = fl_height();
    const int top = y() + th / 2;
    fl_draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - th / 2, FL_BACKGROUND_COLOR);
    if (label() && *label()) {
        const int tw = static_cast<int>(fl_width(label()));
        fl_color(parent() ? parent()->color() : FL_BACKGROUND_COLOR);
        fl_rectf(x() + 6, y(), tw + 6, th);
        fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
        fl_draw(label(), x() + 9, y() + th - fl_descent());
    }
}

void RightAlignedInput::draw() {
    if (Fl::focus() == this) {
        Fl_Input::draw();
        return;
    }
    const Fl_Boxtype b = box();
    draw_box(b, color());
    // The margins FLTK's input keeps around its text.
    const int X = x() + Fl::box_dx(b) + 3, Y = y() + Fl::box_dy(b);
    const int W = w() - Fl::box_dw(b) - 6, H = h() - Fl::box_dh(b);
    if (W <= 0 || H <= 0) return;
    fl_push_clip(X, Y, W, H);
    fl_font(textfont(), textsize());
    fl_color(active_r() ? textcolor() : fl_inactive(textcolor()));
    fl_draw(value(), X, Y, W, H, FL_ALIGN_RIGHT, nullptr, 0);
    fl_pop_clip();
}

int RightAlignedInput::handle(int event) {
    const int r = Fl_Input::handle(event);
    // Editing draws from the left, the resting field from the right.
    if (event == FL_FOCUS || event == FL_UNFOCUS) redraw();
    return r;
}

SpinWidget::SpinWidget(FltkBackend& backend, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), backend_(backend) {}

void SpinWidget::draw() {
    const int half = h() / 2;
    fl_draw_box(pressed_ == 1 ? FL_DOWN_BOX : FL_UP_BOX, x(), y(), w(), half, FL_BACKGROUND_COLOR);
    fl_draw_box(pressed_ == -1 ? FL_DOWN_BOX : FL_UP_BOX, x(), y() + half, w(), h() - half, FL_BACKGROUND_COLOR);
    fl_color(active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
    const int cx = x() + w() / 2;
    const int a = std::max(2, std::min(w(), half) / 4);
    fl_polygon(cx - a, y() + half / 2 + a / 2, cx + a, y() + half / 2 + a / 2, cx, y() + half / 2 - a / 2);
    const int by = y() + half + (h() - half) / 2;
    fl_polygon(cx - a, by - a / 2, cx + a, by - a / 2, cx, by + a / 2);
}

int SpinWidget::handle(int event) {
    switch (event) {
        case FL_PUSH:
            pressed_ = Fl::event_y() < y() + h() / 2 ? 1 : -1;
            redraw();
            backend_.ControlEvent(this, pressed_ == 1 ? 3 : 4);
            return 1;
        case FL_RELEASE:
            pressed_ = 0;
            redraw();
            return 1;
        default: return Fl_Widget::handle(event);
    }
}

ClickBox::ClickBox(FltkBackend& backend, int x, int y, int w, int h) : Fl_Box(x, y, w, h), backend_(backend) {}

int ClickBox::handle(int event) {
    if (event == FL_PUSH) {
        backend_.ControlEvent(this, Fl::event_clicks() > 0 ? 2 : 1);
        return 1;
    }
    if (event == FL_RELEASE) return 1;
    return Fl_Box::handle(event);
}

namespace {

void DrawPlainLabel(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    fl_font(label->font, label->size);
    fl_color(static_cast<Fl_Color>(label->color));
    fl_draw(label->value, x, y, w, h, align, label->image, 0);
}

void MeasurePlainLabel(const Fl_Label* label, int& w, int& h) {
    fl_font(label->font, label->size);
    fl_measure(label->value, w, h, 0);
    if (label->image) {
        w = std::max(w, label->image->w());
        h += label->image->h();
    }
}

}  // namespace

Fl_Labeltype PlainLabel() {
    static const Fl_Labeltype type = [] {
        Fl::set_labeltype(FL_FREE_LABELTYPE, DrawPlainLabel, MeasurePlainLabel);
        return FL_FREE_LABELTYPE;
    }();
    return type;
}

void DrawToolIcon(int commandId, const std::string& tooltip, int x, int y, int w, int h, bool active) {
    // A rounded tile in a colour of the command, with the initials of the
    // tooltip's words.
    static const Fl_Color tiles[] = {fl_rgb_color(52, 101, 164), fl_rgb_color(78, 154, 6),   fl_rgb_color(196, 160, 0),
                                     fl_rgb_color(204, 0, 0),    fl_rgb_color(117, 80, 123), fl_rgb_color(6, 152, 154),
                                     fl_rgb_color(206, 92, 0),   fl_rgb_color(85, 87, 83)};
    Fl_Color tile = tiles[static_cast<unsigned>(commandId) % (sizeof(tiles) / sizeof(tiles[0]))];
    if (!active) tile = fl_inactive(tile);
    fl_draw_box(FL_ROUNDED_BOX, x, y, w, h, tile);
    std::string initials;
    bool start = true;
    for (char ch : tooltip) {
        if (std::isalnum(static_cast<unsigned char>(ch))) {
            if (start && initials.size() < 2)
                initials += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            start = false;
        } else {
            start = true;
        }
    }
    if (initials.empty()) initials = std::to_string(commandId % 100);
    fl_font(FL_HELVETICA_BOLD, std::max(8, h / 2));
    fl_color(active ? FL_WHITE : fl_inactive(FL_WHITE));
    fl_draw(initials.c_str(), x, y, w, h, FL_ALIGN_CENTER);
}

int LayerKeyOfEvent() {
    const int k = Fl::event_key();
    switch (k) {
        case FL_Tab: return ui::key::Tab;
        case FL_Enter:
        case FL_KP_Enter: return ui::key::Enter;
        case FL_Escape: return ui::key::Escape;
        case FL_BackSpace: return ui::key::Backspace;
        case FL_Page_Up: return ui::key::PageUp;
        case FL_Page_Down: return ui::key::PageDown;
        case FL_End: return ui::key::End;
        case FL_Home: return ui::key::Home;
        case FL_Left: return ui::key::Left;
        case FL_Up: return ui::key::Up;
        case FL_Right: return ui::key::Right;
        case FL_Down: return ui::key::Down;
        case FL_Insert: return ui::key::Insert;
        case FL_Delete: return ui::key::Delete;
        case FL_Shift_L:
        case FL_Shift_R: return ui::key::Shift;
        case FL_Control_L:
        case FL_Control_R: return ui::key::Control;
        case FL_Alt_L:
        case FL_Alt_R: return ui::key::Alt;
        case FL_Caps_Lock: return ui::key::CapsLock;
        case FL_Num_Lock: return ui::key::NumLock;
        case FL_Scroll_Lock: return ui::key::ScrollLock;
        default: break;
    }
    if (k >= FL_F + 1 && k <= FL_F + 12) return ui::key::F1 + (k - FL_F - 1);
    if (k >= FL_KP + '0' && k <= FL_KP + '9') return '0' + (k - FL_KP - '0');
    if (k == ' ') return ui::key::Space;
    if (k >= 'a' && k <= 'z') return k - 'a' + 'A';
    if (k >= '0' && k <= '9') return k;
    if (k > 32 && k < 127) return k;
    return 0;
}

int LayerModifiersOfEvent() {
    const int s = Fl::event_state();
    int m = 0;
    if (s & FL_SHIFT) m |= ui::mod::Shift;
    if (s & FL_CTRL) m |= ui::mod::Control;
    if (s & FL_ALT) m |= ui::mod::Alt;
    if (s & FL_BUTTON1) m |= ui::mod::LeftButton;
    if (s & FL_BUTTON3) m |= ui::mod::RightButton;
    if (s & FL_BUTTON2) m |= ui::mod::MiddleButton;
    return m;
}

int ShortcutOf(const std::string& accelerator) {
    if (accelerator.empty()) return 0;
    int mods = 0;
    std::string rest = accelerator;
    for (;;) {
        const size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string m = rest.substr(0, plus);
        for (char& c : m) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (m == "ctrl")
            mods |= FL_CTRL;
        else if (m == "shift")
            mods |= FL_SHIFT;
        else if (m == "alt")
            mods |= FL_ALT;
        else
            break;
        rest = rest.substr(plus + 1);
    }
    std::string key = rest;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.size() == 1) return mods | key[0];
    if (key.size() >= 2 && key[0] == 'f' && std::isdigit(static_cast<unsigned char>(key[1]))) {
        const int n = std::atoi(key.c_str() + 1);
        if (n >= 1 && n <= 12) return mods | (FL_F + n);
    }
    if (key == "del" || key == "delete") return mods | FL_Delete;
    if (key == "ins" || key == "insert") return mods | FL_Insert;
    if (key == "home") return mods | FL_Home;
    if (key == "end") return mods | FL_End;
    if (key == "esc") return mods | FL_Escape;
    if (key == "enter") return mods | FL_Enter;
    if (key == "tab") return mods | FL_Tab;
    return 0;
}

std::string StripAccessMarks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace brennix::fltk
