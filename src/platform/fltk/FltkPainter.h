#pragma once
#include "platform/ui/Painter.h"

namespace brennix::fltk {

// The layer's painter on FLTK's current drawing surface: coordinates are
// relative to the origin given (a widget's position in its window).
class FltkPainter : public ui::Painter {
public:
    FltkPainter(int originX, int originY, int width, int height);
    ~FltkPainter() override;

    ui::Size GetSize() const override { return {w_, h_}; }
    void SetPen(ui::PenStyle style, int width, ui::Color color) override;
    void SetBrush(ui::Color color) override;
    void SetNoBrush() override;
    void SetFont(const ui::Font& font) override;
    void SetTextColor(ui::Color color) override;
    void SetBackground(bool opaque, ui::Color color) override;
    void FillSolidRect(const ui::Rect& r, ui::Color color) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, const std::string& s) override;
    void DrawText(const ui::Rect& box, const std::string& s, int flags) override;
    ui::Size TextExtent(const std::string& s) override;
    void DrawImage(const ui::Image& image, int x, int y) override;

private:
    void ApplyPen() const;
    void ApplyFont() const;

    int ox_, oy_, w_, h_;
    ui::PenStyle penStyle_ = ui::PenStyle::Solid;
    int penWidth_ = 1;
    ui::Color penColor_ = 0;
    bool brush_ = true;
    ui::Color brushColor_ = ui::Rgb(255, 255, 255);
    ui::Font font_;
    ui::Color textColor_ = 0;
    bool opaque_ = true;
    ui::Color background_ = ui::Rgb(255, 255, 255);
    int curX_ = 0, curY_ = 0;
};

// FLTK font and size for a layer font (face names map to FLTK's three
// families; the weight chooses bold).
int FlFontOf(const ui::Font& font);
int FlSizeOf(const ui::Font& font);
unsigned FlColorOf(ui::Color color);
// The program's texts are Windows-1252 bytes; FLTK shows and returns UTF-8.
std::string ToUtf8(const std::string& text);
// A character that Windows-1252 cannot hold becomes '?'.
std::string FromUtf8(const std::string& text);
// A window title or menu label: these carry file names, which the system
// keeps in UTF-8, so a text that is UTF-8 with characters beyond ASCII is
// shown as it is; any other is Windows-1252 (ToUtf8).
std::string LabelToUtf8(const std::string& text);

}  // namespace brennix::fltk
