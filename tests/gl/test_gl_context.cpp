#include <gtest/gtest.h>

#include "platform/gl/BitmapFont.h"
#include "platform/gl/FrameSnapshot.h"
#include "platform/gl/GlIncludes.h"
#include "platform/gl/OffscreenContext.h"

using namespace brennix::gl;

namespace {

int DarkPixels(const DibImage& img, int x0, int y0, int x1, int y1) {
    int n = 0;
    unsigned char px[3];
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            img.PixelAt(x, y, px);
            if (px[0] < 100 && px[1] < 100 && px[2] < 100) ++n;
        }
    return n;
}

}  // namespace

TEST(OffscreenContext, ClearsAndReadsBackWithBottomUpRows) {
    auto ctx = CreateOffscreenContext(7, 5);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->Width(), 7);
    EXPECT_EQ(ctx->Height(), 5);
    EXPECT_GE(ctx->DepthBits(), 24);
    ASSERT_TRUE(ctx->MakeCurrent());
    EXPECT_TRUE(ctx->IsCurrent());
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(depth, 24);
    glViewport(0, 0, 7, 5);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Paint the bottom row red with a scissor.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 7, 1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glFinish();
    DibImage img;
    ctx->ReadImage(img);
    ctx->Release();
    EXPECT_FALSE(ctx->IsCurrent());
    unsigned char px[3];
    img.PixelAt(3, 4, px);  // bottom row seen from the top
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[2], 0);
    img.PixelAt(3, 0, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[2], 255);
    EXPECT_EQ(img.bits[0], 0);    // blue byte first in the bottom row
    EXPECT_EQ(img.bits[2], 255);  // red
}

TEST(OffscreenContext, SizesBelowOneBecomeOne) {
    auto ctx = CreateOffscreenContext(0, -3);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->Width(), 1);
    EXPECT_EQ(ctx->Height(), 1);
}

TEST(OffscreenContext, AnotherBackEndCanBeInstalled) {
    static int calls = 0;
    SetOffscreenFactory([](int w, int h) {
        ++calls;
        return CreateMesaOffscreenContext(w, h);
    });
    auto ctx = CreateOffscreenContext(3, 3);
    SetOffscreenFactory(nullptr);
    EXPECT_TRUE(ctx);
    EXPECT_EQ(calls, 1);
    CreateOffscreenContext(3, 3);
    EXPECT_EQ(calls, 1);
}

TEST(BitmapFont, Cp1252Mapping) {
    const struct {
        unsigned char byte;
        unsigned code;
    } cases[] = {
        {'A', 'A'}, {0x80, 0x20AC}, {0x81, 0}, {0x92, 0x2019}, {0x9F, 0x0178}, {0xA0, 0xA0}, {0xE9, 0xE9}, {0xFF, 0xFF},
    };
    for (const auto& c : cases) EXPECT_EQ(Cp1252ToUnicode(c.byte), c.code) << int(c.byte);
}

TEST(BitmapFont, FacesOfTheProgramResolveToFiles) {
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "No Such Face At All"}) {
        EXPECT_FALSE(MatchFontFile(face, 700).empty()) << face;
    }
    EXPECT_NE(MatchFontFile("Arial", 400), MatchFontFile("Arial", 700));
}

namespace {

// Raster advance of the text in the face at 14 pixels, bold.
float AdvanceOf(const char* face, const char* text) {
    auto ctx = CreateOffscreenContext(200, 40);
    if (!ctx || !ctx->MakeCurrent()) return -1.0f;
    float advance = -1.0f;
    if (BuildBitmapFontLists({14, 700, face}, 1000)) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 200, 0, 40, -1, 1);
        glRasterPos2i(0, 10);
        DrawBitmapText(text, 1000);
        GLfloat pos[4] = {0, 0, 0, 0};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
        advance = pos[0];
    }
    ctx->Release();
    return advance;
}

}  // namespace

TEST(BitmapFont, FacesOfTheFontDialogKeepTheirKind) {
    // Each face of the font dialog draws text; the fixed-pitch one gives
    // narrow and wide letters the same advance, the others do not.
    const struct {
        const char* face;
        bool fixedPitch;
    } cases[] = {
        {"Arial", false},           {"Consolas", true}, {"Georgia", false},
        {"Times New Roman", false}, {"Tahoma", false},  {"Tunga", false},
    };
    for (const auto& c : cases) {
        const float narrow = AdvanceOf(c.face, "iiiiiiii");
        const float wide = AdvanceOf(c.face, "MMMMMMMM");
        EXPECT_GT(narrow, 0.0f) << c.face;
        if (c.fixedPitch)
            EXPECT_EQ(narrow, wide) << c.face;
        else
            EXPECT_LT(narrow * 1.5f, wide) << c.face;
    }
}

TEST(BitmapFont, TextLeavesInkRightOfItsRasterPositionAndAdvances) {
    auto ctx = CreateOffscreenContext(120, 40);
    ASSERT_TRUE(ctx);
    ASSERT_TRUE(ctx->MakeCurrent());
    ASSERT_TRUE(BuildBitmapFontLists({14, 700, "Arial"}, 1000));
    EXPECT_TRUE(glIsList(1000));
    EXPECT_TRUE(glIsList(1254));
    EXPECT_FALSE(glIsList(1255));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // restored after compiling

    glViewport(0, 0, 120, 40);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 120, 0, 40, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 0);
    glRasterPos2i(10, 15);
    DrawBitmapText("HH", 1000);
    GLfloat pos[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
    glFinish();
    DibImage img;
    ctx->ReadImage(img);
    ctx->Release();
    // The raster moved right by two glyph advances.
    EXPECT_GT(pos[0], 10 + 2 * 6);
    EXPECT_LT(pos[0], 10 + 2 * 14);
    // Ink above the baseline (rows 40-15-14 .. 40-15 from the top), right of x=10.
    EXPECT_GT(DarkPixels(img, 10, 40 - 15 - 14, 40, 40 - 15), 20);
    // Nothing left of the raster position or below the baseline.
    EXPECT_EQ(DarkPixels(img, 0, 0, 9, 40), 0);
    EXPECT_EQ(DarkPixels(img, 0, 40 - 14, 120, 40), 0);
}

// A frame snapshot puts back every pixel and the drawing state left at the
// moment it was taken, whatever was drawn and set after it.
TEST(FrameSnapshot, PutsBackThePixelsAndTheDrawingState) {
    auto ctx = CreateOffscreenContext(33, 17);  // odd sizes: rows not multiples of 4 bytes
    ASSERT_TRUE(ctx);
    ASSERT_TRUE(ctx->MakeCurrent());
    glViewport(0, 0, 33, 17);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLES);  // a shaded triangle: many distinct pixel values
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex2f(1.0f, -0.5f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex2f(-0.2f, 1.0f);
    glEnd();
    glColor4f(0.5f, 0.25f, 0.75f, 0.5f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glLineWidth(3.0f);
    glPointSize(6.0f);
    glEnable(GL_POINT_SMOOTH);
    glFinish();
    DibImage drawn;
    ctx->ReadImage(drawn);
    FrameSnapshot snapshot;
    EXPECT_FALSE(snapshot.Restore());
    snapshot.Capture(33, 17);
    ASSERT_FALSE(snapshot.Empty());

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glLineWidth(1.0f);
    glPointSize(1.0f);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    ASSERT_TRUE(snapshot.Restore());
    glFinish();
    DibImage restored;
    ctx->ReadImage(restored);
    EXPECT_TRUE(restored.bits == drawn.bits);

    const DrawState s = DrawState::Read();
    EXPECT_FLOAT_EQ(s.color[0], 0.5f);
    EXPECT_FLOAT_EQ(s.color[3], 0.5f);
    EXPECT_FLOAT_EQ(s.normal[1], 1.0f);
    EXPECT_FLOAT_EQ(s.lineWidth, 3.0f);
    EXPECT_FLOAT_EQ(s.pointSize, 6.0f);
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    snapshot.Clear();
    EXPECT_FALSE(snapshot.Restore());
    snapshot.Release();
    ctx->Release();
}
