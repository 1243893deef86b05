#include "platform/gl/BitmapFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <vector>

#include "platform/gl/GlIncludes.h"

namespace brennix::gl {

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the unassigned ones.
constexpr std::uint32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct FreeTypeLibrary {
    FT_Library lib = nullptr;
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    }
    ~FreeTypeLibrary() {
        if (lib) FT_Done_FreeType(lib);
    }
};

FT_Library Library() {
    static FreeTypeLibrary library;
    return library.lib;
}

// One glyph as glBitmap wants it: rows bottom-up, one bit per pixel, most
// significant bit first, rows padded to whole bytes.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    float xorig = 0;
    float yorig = 0;
    float advance = 0;
    std::vector<GLubyte> bits;
};

GlyphBitmap RenderGlyph(FT_Face face, std::uint32_t codePoint) {
    GlyphBitmap g;
    FT_UInt index = codePoint ? FT_Get_Char_Index(face, codePoint) : 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO && slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
    }
    const FT_Bitmap& bm = slot->bitmap;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.xorig = static_cast<float>(-slot->bitmap_left);
    g.yorig = static_cast<float>(g.rows - slot->bitmap_top);
    g.advance = static_cast<float>((slot->advance.x + 32) >> 6);
    const int rowBytes = (g.width + 7) / 8;
    g.bits.assign(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(g.rows), 0);
    for (int r = 0; r < g.rows; ++r) {
        const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
        GLubyte* dst = g.bits.data() + static_cast<std::size_t>(g.rows - 1 - r) * static_cast<std::size_t>(rowBytes);
        for (int c = 0; c < g.width; ++c) {
            bool on;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                on = (src[c >> 3] >> (7 - (c & 7))) & 1;
            else
                on = src[c] >= 128;
            if (on) dst[c >> 3] = static_cast<GLubyte>(dst[c >> 3] | (0x80 >> (c & 7)));
        }
    }
    return g;
}

}  // namespace

std::uint32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
    return byte;
}

std::string MatchFontFile(const std::string& face, int weight) {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    if (!FcInit()) return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.empty() ? "Arial" : face.c_str()));
    const int w = weight <= 0 ? 400 : (weight > 1000 ? 1000 : weight);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(w));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

bool BuildBitmapFontLists(const BitmapFontDesc& font, unsigned listBase, int first, int count) {
    FT_Library lib = Library();
    if (!lib || count <= 0) return false;
    const std::string file = MatchFontFile(font.face, font.weight);
    if (file.empty()) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &face) != 0) return false;
    const int height = font.height < 0 ? -font.height : (font.height == 0 ? 14 : font.height);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) != 0) {
        FT_Done_Face(face);
        return false;
    }

    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < count; ++i) {
        const int code = first + i;
        if (code < 0 || code > 255) continue;
        const GlyphBitmap g = RenderGlyph(face, Cp1252ToUnicode(static_cast<unsigned char>(code)));
        glNewList(listBase + static_cast<unsigned>(code), GL_COMPILE);
        glBitmap(g.width, g.rows, g.xorig, g.yorig, g.advance, 0.0f, g.bits.empty() ? nullptr : g.bits.data());
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    FT_Done_Face(face);
    return true;
}

void DrawBitmapText(const std::string& text, unsigned listBase) {
    if (text.empty()) return;
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
}

}  // namespace brennix::gl
