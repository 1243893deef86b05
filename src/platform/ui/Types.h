// Basic value types of the user-interface layer: geometry, colours, fonts,
// images, key codes and the standard result ids.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

// A rectangle given by its left/top corner and its width and height.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int Left() const { return x; }
    int Top() const { return y; }
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
    bool Contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + w && p.y < y + h; }
    bool operator==(const Rect&) const = default;
};

// 32-bit colour word: red in the low byte, then green, then blue.
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xff); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xff); }

// A font description. Height in pixels (a negative height means the same
// character height as its absolute value); weight 400 normal, 700 bold;
// escapement in tenths of a degree (900 = text running upwards).
// Dialog base units in pixels, fractions kept.
struct BaseUnits {
    double cx = 6;
    double cy = 13;
};

struct Font {
    std::string face = "Arial";
    int height = 0;  // 0: the back end's default size
    int weight = 400;
    bool italic = false;
    bool underline = false;
    int escapement = 0;
    bool operator==(const Font&) const = default;
};

// A 24-bit picture, rows from the top, 3 bytes (r, g, b) per pixel. Pixels
// of the transparent colour, when one is set, are not drawn.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::optional<Color> transparent;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// Key codes handed to key messages (letters and digits are their upper-case
// character codes).
namespace key {
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Alt = 18;
constexpr int CapsLock = 20;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int F1 = 112;  // F1 .. F12 are 112 .. 123
constexpr int NumLock = 144;
constexpr int ScrollLock = 145;
}  // namespace key

// Modifier bits of mouse and key events.
namespace mod {
constexpr int Shift = 1;
constexpr int Control = 2;
constexpr int Alt = 4;
constexpr int LeftButton = 8;
constexpr int RightButton = 16;
constexpr int MiddleButton = 32;
}  // namespace mod

// Results of message boxes and modal dialogs; IDOK and IDCANCEL are also the
// control ids of the OK and Cancel buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// Control id of labels that nothing refers to.
constexpr int IDSTATIC = -1;

}  // namespace ui
