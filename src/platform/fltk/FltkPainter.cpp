#include "platform/fltk/FltkPainter.h"
#include "platform/gl/BitmapFont.h"
#include "platform/fltk/FltkWidgets.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <vector>

namespace brennix::fltk {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> SplitLines(const std::string& s) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : s) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    lines.push_back(cur);
    return lines;
}

}  // namespace

std::string ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char byte : text) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        // Unassigned bytes keep their own value as code point.
        unsigned code = brennix::gl::Cp1252ToUnicode(byte);
        if (code == 0) code = byte;
        char buf[8];
        out.append(buf, fl_utf8encode(code, buf));
    }
    return out;
}

std::string LabelToUtf8(const std::string& text) {
    // fl_utf8test: 0 not UTF-8, 1 ASCII only, 2 to 4 UTF-8 beyond ASCII.
    return fl_utf8test(text.data(), static_cast<unsigned>(text.size())) >= 2 ? text : ToUtf8(text);
}

std::string FromUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        int len = 1;
        // A byte that is no UTF-8 decodes as the Windows-1252 character.
        const unsigned code = fl_utf8decode(p, end, &len);
        p += len > 0 ? len : 1;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        char byte = '?';
        for (unsigned b = 0x80; b <= 0x9F; ++b) {
            const unsigned mapped = brennix::gl::Cp1252ToUnicode(static_cast<unsigned char>(b));
            if (mapped == code || (mapped == 0 && code == b)) {
                byte = static_cast<char>(b);
                break;
            }
        }
        out += byte;
    }
    return out;
}

unsigned FlColorOf(ui::Color c) { return fl_rgb_color(ui::RedOf(c), ui::GreenOf(c), ui::BlueOf(c)); }

int FlFontOf(const ui::Font& font) {
    const std::string face = Lower(font.face);
    int base = FL_HELVETICA;
    const bool serif = face.find("serif") != std::string::npos && face.find("sans") == std::string::npos;
    if (face.find("times") != std::string::npos || serif) base = FL_TIMES;
    if (face.find("courier") != std::string::npos || face.find("mono") != std::string::npos) base = FL_COURIER;
    if (font.weight >= 600) base += FL_BOLD;
    if (font.italic) base += FL_ITALIC;
    return base;
}

int FlSizeOf(const ui::Font& font) {
    const int h = std::abs(font.height);
    return h == 0 ? 12 : h;
}

FltkPainter::FltkPainter(int originX, int originY, int width, int height)
    : ox_(originX), oy_(originY), w_(width), h_(height) {
    fl_push_clip(ox_, oy_, w_, h_);
}

FltkPainter::~FltkPainter() {
    fl_line_style(0);
    fl_pop_clip();
}

void FltkPainter::ApplyPen() const {
    fl_color(FlColorOf(penColor_));
    int style = FL_SOLID;
    if (penStyle_ == ui::PenStyle::Dash) style = FL_DASH;
    if (penStyle_ == ui::PenStyle::Dot) style = FL_DOT;
    fl_line_style(style, penWidth_ <= 1 ? 0 : penWidth_);
}

void FltkPainter::ApplyFont() const { fl_font(FlFontOf(font_), FlSizeOf(font_)); }

void FltkPainter::SetPen(ui::PenStyle style, int width, ui::Color color) {
    penStyle_ = style;
    penWidth_ = width;
    penColor_ = color;
}

void FltkPainter::SetBrush(ui::Color color) {
    brush_ = true;
    brushColor_ = color;
}

void FltkPainter::SetNoBrush() { brush_ = false; }
void FltkPainter::SetFont(const ui::Font& font) { font_ = font; }
void FltkPainter::SetTextColor(ui::Color color) { textColor_ = color; }

void FltkPainter::SetBackground(bool opaque, ui::Color color) {
    opaque_ = opaque;
    background_ = color;
}

void FltkPainter::FillSolidRect(const ui::Rect& r, ui::Color color) {
    if (r.w <= 0 || r.h <= 0) return;
    fl_rectf(ox_ + r.x, oy_ + r.y, r.w, r.h, FlColorOf(color));
}

void FltkPainter::MoveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void FltkPainter::LineTo(int x, int y) {
    if (penStyle_ != ui::PenStyle::Null) {
        ApplyPen();
        fl_line(ox_ + curX_, oy_ + curY_, ox_ + x, oy_ + y);
        fl_line_style(0);
    }
    curX_ = x;
    curY_ = y;
}

void FltkPainter::Rectangle(int left, int top, int right, int bottom) {
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) return;
    if (brush_) fl_rectf(ox_ + left, oy_ + top, w, h, FlColorOf(brushColor_));
    if (penStyle_ != ui::PenStyle::Null) {
        ApplyPen();
        fl_rect(ox_ + left, oy_ + top, w, h);
        fl_line_style(0);
    }
}

void FltkPainter::Ellipse(int left, int top, int right, int bottom) {
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) return;
    if (brush_) {
        fl_color(FlColorOf(brushColor_));
        fl_pie(ox_ + left, oy_ + top, w, h, 0, 360);
    }
    if (penStyle_ != ui::PenStyle::Null) {
        ApplyPen();
        fl_arc(ox_ + left, oy_ + top, w, h, 0, 360);
        fl_line_style(0);
    }
}

void FltkPainter::TextOut(int x, int y, const std::string& s) {
    ApplyFont();
    if (font_.escapement != 0) {
        fl_color(FlColorOf(textColor_));
        fl_draw(font_.escapement / 10, ToUtf8(s).c_str(), ox_ + x, oy_ + y);
        return;
    }
    const int lineH = fl_height();
    int yy = y;
    for (const std::string& line : SplitLines(ToUtf8(s))) {
        if (opaque_) {
            const int w = static_cast<int>(fl_width(line.c_str()));
            fl_rectf(ox_ + x, oy_ + yy, w, lineH, FlColorOf(background_));
        }
        fl_color(FlColorOf(textColor_));
        fl_draw(line.c_str(), ox_ + x, oy_ + yy + lineH - fl_descent());
        yy += lineH;
    }
}

void FltkPainter::DrawText(const ui::Rect& box, const std::string& s, int flags) {
    ApplyFont();
    if (opaque_) fl_rectf(ox_ + box.x, oy_ + box.y, box.w, box.h, FlColorOf(background_));
    fl_color(FlColorOf(textColor_));
    int align = 0;
    if (flags & ui::text::Center)
        align |= FL_ALIGN_CENTER;
    else if (flags & ui::text::Right)
        align |= FL_ALIGN_RIGHT;
    else
        align |= FL_ALIGN_LEFT;
    if (flags & ui::text::VCenter) {
        // centred vertically: neither top nor bottom
    } else {
        align |= FL_ALIGN_TOP;
    }
    if (!(flags & ui::text::SingleLine)) align |= FL_ALIGN_WRAP;
    fl_draw(ToUtf8(s).c_str(), ox_ + box.x, oy_ + box.y, box.w, box.h, static_cast<Fl_Align>(align), nullptr, 0);
}

ui::Size FltkPainter::TextExtent(const std::string& s) {
    ApplyFont();
    int w = 0;
    const std::vector<std::string> lines = SplitLines(ToUtf8(s));
    for (const std::string& line : lines) w = std::max(w, static_cast<int>(std::ceil(fl_width(line.c_str()))));
    return {w, fl_height() * static_cast<int>(lines.size())};
}

void FltkPainter::DrawImage(const ui::Image& image, int x, int y) {
    if (image.Empty() || image.rgb.size() < static_cast<size_t>(image.width) * image.height * 3) return;
    if (!image.transparent) {
        fl_draw_image(image.rgb.data(), ox_ + x, oy_ + y, image.width, image.height, 3, 0);
        return;
    }
    // The transparent colour is left out by the image's alpha channel.
    std::vector<std::uint8_t> pixels;
    const int depth = ImagePixels(image, 0, 0, image.width, image.height, pixels);
    Fl_RGB_Image picture(pixels.data(), image.width, image.height, depth);
    picture.draw(ox_ + x, oy_ + y);
}

}  // namespace brennix::fltk
