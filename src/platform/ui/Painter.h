// Drawing surface handed to OnPaint. The back end implements it on its own
// graphics; the headless driver records every call.
#pragma once

#include <string>

#include "platform/ui/Types.h"

namespace ui {

enum class PenStyle { Solid, Dash, Dot, Null };

// Flags of DrawText.
namespace text {
constexpr int Left = 0;
constexpr int Center = 1;
constexpr int Right = 2;
constexpr int VCenter = 4;
constexpr int SingleLine = 8;
}  // namespace text

class Painter {
public:
    virtual ~Painter() = default;

    // Size of the surface in pixels.
    virtual Size GetSize() const = 0;

    virtual void SetPen(PenStyle style, int width, Color color) = 0;
    // A brush fills rectangles and ellipses; no brush leaves them hollow.
    virtual void SetBrush(Color color) = 0;
    virtual void SetNoBrush() = 0;
    virtual void SetFont(const Font& font) = 0;
    virtual void SetTextColor(Color color) = 0;
    // Opaque text fills its box with the background colour first.
    virtual void SetBackground(bool opaque, Color color) = 0;

    virtual void FillSolidRect(const Rect& r, Color color) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Outline with the pen, filled with the brush (left, top, right, bottom).
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Text with (x, y) as the top-left corner of unrotated text, or the start
    // of the text for an escapement other than 0.
    virtual void TextOut(int x, int y, const std::string& s) = 0;
    virtual void DrawText(const Rect& box, const std::string& s, int flags) = 0;
    virtual Size TextExtent(const std::string& s) = 0;
    // A picture copied 1:1 with its top-left corner at (x, y).
    virtual void DrawImage(const Image& image, int x, int y) = 0;
};

}  // namespace ui
