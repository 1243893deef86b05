#pragma once
#include <cstdint>
#include <string>

namespace brennix::gl {

// Description of a bitmap font: character height in pixels (the em size,
// as a negative logical height asks for), weight on the 100..900 scale
// (400 normal, 700 bold) and face name ("Arial", "Times New Roman", ...).
struct BitmapFontDesc {
    int height = 14;
    int weight = 700;
    std::string face = "Arial";
};

// Path of the font file that the font configuration chooses for the face
// and weight; empty when none is found.
std::string MatchFontFile(const std::string& face, int weight);

// Unicode code point of a Windows-1252 byte; 0 for the five unassigned
// bytes.
std::uint32_t Cp1252ToUnicode(unsigned char byte);

// Compiles one display list per character byte first .. first + count - 1
// into the lists listBase + byte, each drawing the glyph's bitmap with
// glBitmap at the current raster position and advancing it by the glyph's
// width. Needs a current context. Returns false when no font could be
// loaded (the lists are then left untouched).
bool BuildBitmapFontLists(const BitmapFontDesc& font, unsigned listBase, int first = 0, int count = 255);

// Draws the bytes of text at the current raster position with the lists
// from listBase (glListBase and glCallLists).
void DrawBitmapText(const std::string& text, unsigned listBase);

}  // namespace brennix::gl
