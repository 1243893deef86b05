#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "uibase/GLView.h"
#include "platform/gl/GlIncludes.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/HeadlessTest.h"

using brennix::gl::DibImage;

namespace {

struct Rgb3 {
    int r, g, b;
};

Rgb3 PixelOf(const DibImage& img, int x, int yFromTop) {
    unsigned char px[3];
    img.PixelAt(x, yFromTop, px);
    return {px[0], px[1], px[2]};
}

bool IsDark(Rgb3 p) { return p.r < 100 && p.g < 100 && p.b < 100; }

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("brennix_glview_") + name)).string();
}

// A view whose scene is chosen by the test.
class SceneView : public GLView {
public:
    std::function<void(SceneView&)> scene;
    int pendingErrors = 0;

    void RenderScene() override {
        GLView::RenderScene();
        if (scene) scene(*this);
        glFlush();
    }

    DibImage Paint() {
        ui::RecordingPainter painter({Width(), Height()});
        OnDraw(painter);
        lastOps = painter.Ops();
        return Picture();
    }
    std::vector<std::string> lastOps;

protected:
    unsigned FetchGLError() override {
        if (pendingErrors > 0) {
            --pendingErrors;
            return GL_INVALID_ENUM;
        }
        return GLView::FetchGLError();
    }
};

void Quad(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

class GLViewTest : public ui::HeadlessTest {
protected:
    void Open(SceneView& view, int w, int h) {
        ASSERT_EQ(view.OnCreate(), 0);
        view.OnSize(w, h);
        ASSERT_TRUE(view.HasContext());
    }
};

}  // namespace

TEST_F(GLViewTest, ClearColourFillsThePicture) {
    SceneView view;
    view.StoreClearColor(ui::Rgb(10, 200, 30));
    Open(view, 37, 21);
    const DibImage img = view.Paint();
    ASSERT_EQ(img.width, 37);
    ASSERT_EQ(img.height, 21);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const Rgb3 p = PixelOf(img, x, y);
            ASSERT_EQ(p.r, 10);
            ASSERT_EQ(p.g, 200);
            ASSERT_EQ(p.b, 30);
        }
    // The painter received the picture at the origin.
    ASSERT_FALSE(view.lastOps.empty());
    EXPECT_EQ(view.lastOps.back(), "Image 0 0 37 21");
}

TEST_F(GLViewTest, SizeOfZeroGivesAOnePixelPictureWithFiniteProjection) {
    const struct { int w, h; } cases[] = {{0, 0}, {50, 0}, {0, 40}};
    for (const auto& c : cases) {
        SceneView view;
        Open(view, c.w, c.h);
        EXPECT_EQ(view.Width(), c.w < 1 ? 1 : c.w);
        EXPECT_EQ(view.Height(), c.h < 1 ? 1 : c.h);
        const DibImage img = view.Paint();
        EXPECT_EQ(img.width, view.Width());
        EXPECT_EQ(img.height, view.Height());
        ASSERT_TRUE(view.MakeCurrent());
        view.ResetProjection();
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        view.ReleaseCurrent();
        for (float v : m) EXPECT_TRUE(std::isfinite(v)) << c.w << "x" << c.h;
    }
}

TEST_F(GLViewTest, WideKeepsFullHeightAndTallKeepsFullWidth) {
    // Bands one unit inside the edges of the kept axis must touch the first
    // and last pixel row (wide) or column (tall); the other axis keeps square
    // pixels.
    const struct {
        int w, h;
        float zoom;
    } cases[] = {{80, 40, 1.0f}, {80, 40, 2.0f}, {30, 90, 1.0f}, {30, 90, 0.5f}, {50, 50, 1.0f}};
    for (const auto& c : cases) {
        SceneView view;
        view.SetProjectionZoom(c.zoom);
        const bool wide = c.h < c.w;
        const float halfKept = (wide ? c.h : c.w) / 2.0f / c.zoom;
        const float unit = 1.0f / c.zoom;
        view.scene = [&](SceneView&) {
            glColor3f(1, 0, 0);
            if (wide)
                Quad(-1e4f, halfKept - unit, 1e4f, halfKept);
            else
                Quad(halfKept - unit, -1e4f, halfKept, 1e4f);
            glColor3f(0, 0, 1);
            if (wide)
                Quad(-1e4f, -halfKept, 1e4f, -halfKept + unit);
            else
                Quad(-halfKept, -1e4f, -halfKept + unit, 1e4f);
        };
        Open(view, c.w, c.h);
        const DibImage img = view.Paint();
        if (wide) {
            EXPECT_EQ(PixelOf(img, c.w / 2, 0).r, 255) << c.w << "x" << c.h;
            EXPECT_EQ(PixelOf(img, c.w / 2, 1).g, 255) << "the band is one pixel thick";
            EXPECT_EQ(PixelOf(img, c.w / 2, c.h - 1).b, 255);
            EXPECT_EQ(PixelOf(img, c.w / 2, c.h / 2).g, 255);  // white between the bands
        } else {
            EXPECT_EQ(PixelOf(img, c.w - 1, c.h / 2).r, 255) << c.w << "x" << c.h;
            EXPECT_EQ(PixelOf(img, 0, c.h / 2).b, 255);
            EXPECT_EQ(PixelOf(img, 0, c.h / 2).r, 0);
            EXPECT_EQ(PixelOf(img, 1, c.h / 2).g, 255);
        }
        ASSERT_TRUE(view.MakeCurrent());
        view.ResetProjection();
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        view.ReleaseCurrent();
        // Square pixels: x and y scale of the projection in pixels agree.
        EXPECT_NEAR(m[0] * c.w, m[5] * c.h, 1e-4f);
        EXPECT_NEAR(m[5] * c.h / 2.0f, c.zoom, 1e-5f);
    }
}

TEST_F(GLViewTest, LabelWithTheBitmapFontLeavesInkAtItsRasterPosition) {
    SceneView view;
    view.scene = [](SceneView& v) {
        v.SetColor(ui::Rgb(0, 0, 0), 1.0f);
        glRasterPos3f(-30.0f, 0.0f, 0.0f);
        v.DrawText("Brennix");
    };
    Open(view, 120, 40);
    const DibImage img = view.Paint();
    // The raster position is pixel (60 - 30, 20) from the top-left; glyphs
    // stand on it and run to the right.
    int inkRight = 0, inkLeft = 0, inkBelow = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            if (!IsDark(PixelOf(img, x, y))) continue;
            if (x < 29)
                ++inkLeft;
            else if (y > 23)
                ++inkBelow;  // "Brennix" has no descenders
            else if (y >= 20 - 14)
                ++inkRight;
        }
    EXPECT_GT(inkRight, 40);
    EXPECT_EQ(inkLeft, 0);
    EXPECT_EQ(inkBelow, 0);
    EXPECT_EQ(view.FontListBase(), 1000u);
}

TEST_F(GLViewTest, EveryByteOfATextHasItsGlyph) {
    // Windows-1252 letters above 0x7F, the last byte included.
    for (const char* text : {"\xE9", "\xFF", "\x80"}) {
        SceneView view;
        view.scene = [text](SceneView& v) {
            v.SetColor(ui::Rgb(0, 0, 0), 1.0f);
            glRasterPos2f(-5.0f, -5.0f);
            v.DrawText(text);
        };
        Open(view, 30, 30);
        const DibImage img = view.Paint();
        int ink = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) ink += IsDark(PixelOf(img, x, y));
        EXPECT_GT(ink, 5) << int(static_cast<unsigned char>(text[0]));
    }
}

TEST_F(GLViewTest, AnotherFontChangesTheLabel) {
    auto inkOf = [&](const std::string& face, int height, int weight) {
        SceneView view;
        view.SetBitmapFont(face, height, weight);
        view.scene = [](SceneView& v) {
            v.SetColor(ui::Rgb(0, 0, 0), 1.0f);
            glRasterPos2f(-50.0f, -5.0f);
            v.DrawText("Wide Label");
        };
        Open(view, 140, 60);
        const DibImage img = view.Paint();
        int ink = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 140; ++x) ink += IsDark(PixelOf(img, x, y));
        return ink;
    };
    const int bold14 = inkOf("Arial", 14, 700);
    EXPECT_GT(inkOf("Arial", 24, 700), bold14);
    EXPECT_LT(inkOf("Arial", 14, 400), bold14);
}

TEST_F(GLViewTest, DisplayListReplaysTheSamePicture) {
    SceneView view;
    int paints = 0;
    view.scene = [&](SceneView& v) {
        if (paints++ == 0) {
            glNewList(1, GL_COMPILE_AND_EXECUTE);
            glColor3f(0.2f, 0.4f, 0.8f);
            Quad(-20, -10, 25, 15);
            v.SetColor(ui::Rgb(0, 0, 0), 1.0f);
            glRasterPos2f(-20.0f, -25.0f);
            v.DrawText("list");
            glEndList();
        } else {
            glCallList(1);
        }
    };
    Open(view, 90, 70);
    const DibImage first = view.Paint();
    const DibImage second = view.Paint();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(first.bits, second.bits);
    const Rgb3 inside = PixelOf(second, 45, 35);
    EXPECT_EQ(inside.b, 204);
}

TEST_F(GLViewTest, SelectionPassWithPickMatrixReturnsTheNameUnderThePixel) {
    SceneView view;
    view.scene = [](SceneView&) {
        glColor3f(0, 0, 0);
        glInitNames();
        glPushName(0);
        const struct {
            GLuint name;
            float x0, y0, x1, y1;
        } items[] = {{7, -40, -20, -5, 20}, {9, 5, -20, 40, 20}, {11, -40, 25, 40, 28}};
        for (const auto& it : items) {
            glLoadName(it.name);
            Quad(it.x0, it.y0, it.x1, it.y1);
        }
    };
    Open(view, 100, 60);
    auto pick = [&](int x, int y) -> GLuint {
        EXPECT_TRUE(view.MakeCurrent());
        std::vector<GLuint> buffer(64, 0);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glRenderMode(GL_SELECT);
        gluPickMatrix(x, viewport[3] - y, 8, 8, viewport);
        view.SetProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        view.RenderScene();
        const GLint hits = glRenderMode(GL_RENDER);
        view.Resize(view.Width(), view.Height());
        view.ReleaseCurrent();
        if (hits <= 0) return 0;
        return buffer[3];
    };
    // Window pixels from the top-left; the origin of the scene is the centre.
    EXPECT_EQ(pick(30, 30), 7u);
    EXPECT_EQ(pick(70, 30), 9u);
    EXPECT_EQ(pick(50, 4), 11u);  // y 26 of the scene is 4 pixels below the top
    EXPECT_EQ(pick(50, 57), 0u);  // nothing there
    // Picking leaves the projection of the picture as it was.
    const DibImage img = view.Paint();
    EXPECT_TRUE(IsDark(PixelOf(img, 30, 30)));
    EXPECT_FALSE(IsDark(PixelOf(img, 50, 57)));
}

TEST_F(GLViewTest, ExportedBitmapHasTheHeaderLayoutAndThePicture) {
    SceneView view;
    view.scene = [](SceneView& v) {
        glColor3f(1.0f, 0.5f, 0.0f);
        Quad(-10, -5, 12, 9);
        v.SetColor(ui::Rgb(0, 0, 0), 1.0f);
        glRasterPos2f(-15, -14);
        v.DrawText("BMP");
    };
    Open(view, 33, 41);  // 99 bytes per row, padded to 100
    const DibImage shown = view.Paint();
    const std::string path = TempPath("export.bmp");
    std::remove(path.c_str());
    driver.ExpectFileDialog(path);
    view.ExportBitmap();
    ASSERT_EQ(driver.FileDialogs().size(), 1u);
    const auto& req = driver.FileDialogs()[0].request;
    EXPECT_FALSE(req.open);
    EXPECT_EQ(req.defaultExt, "bmp");
    EXPECT_EQ(req.flags, unsigned(ui::ofn::HideReadOnly | ui::ofn::OverwritePrompt));
    ASSERT_EQ(req.filters.size(), 1u);
    EXPECT_EQ(req.filters[0].name, "Bitmap Files (*.bmp)");
    EXPECT_EQ(req.filters[0].patterns, std::vector<std::string>{"*.bmp"});
    EXPECT_TRUE(driver.MessageBoxes().empty());

    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(d.size(), 54u + 100u * 41u);
    auto le32 = [&](size_t at) { return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (unsigned(d[at + 3]) << 24); };
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(le32(2), 54u + 4100u);
    EXPECT_EQ(le32(10), 54u);
    EXPECT_EQ(le32(18), 33u);
    EXPECT_EQ(le32(22), 41u);
    EXPECT_EQ(d[28], 24);
    EXPECT_EQ(le32(34), 4100u);
    ASSERT_EQ(shown.bits.size(), 4100u);
    EXPECT_TRUE(std::equal(shown.bits.begin(), shown.bits.end(), d.begin() + 54));
    std::remove(path.c_str());
}

TEST_F(GLViewTest, ExportStopsAtTheFirstFailureWithItsMessage) {
    SceneView view;
    Open(view, 10, 10);
    // Cancel: nothing happens.
    driver.ExpectFileDialog(std::nullopt);
    view.ExportBitmap();
    EXPECT_TRUE(driver.MessageBoxes().empty());
    // A folder that does not exist: one message, no file.
    const std::string bad = TempPath("missing_folder/picture.bmp");
    driver.ExpectFileDialog(bad);
    view.ExportBitmap();
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "error in CreateFile - BITMAP");
    EXPECT_FALSE(std::filesystem::exists(bad));
    // No picture: the first step fails.
    driver.ClearLogs();
    EXPECT_FALSE(view.SaveBitmapFile(TempPath("empty.bmp"), DibImage{}));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "error in GetObject - BITMAP");
    EXPECT_FALSE(std::filesystem::exists(TempPath("empty.bmp")));
    // A device that takes no bytes: the write fails. Each message is a
    // plain box with OK alone.
    if (std::filesystem::exists("/dev/full")) {
        driver.ClearLogs();
        EXPECT_FALSE(view.SaveBitmapFile("/dev/full", view.RenderOffscreen()));
        ASSERT_EQ(driver.MessageBoxes().size(), 1u);
        EXPECT_EQ(driver.MessageBoxes()[0].text, "error in WriteFile - BITMAP");
        EXPECT_EQ(driver.MessageBoxes()[0].buttons, ui::Buttons::Ok);
        EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::None);
    }
}

TEST_F(GLViewTest, MoreThanTenPendingErrorsStopTheStateSetUp) {
    const struct {
        int errors;
        bool ok;
    } cases[] = {{0, true}, {10, true}, {11, false}, {25, false}};
    for (const auto& c : cases) {
        SceneView view;
        Open(view, 8, 8);
        driver.ClearLogs();
        ASSERT_TRUE(view.MakeCurrent());
        glClearColor(0, 0, 0, 0);
        view.StoreClearColor(ui::Rgb(255, 0, 0));
        view.pendingErrors = c.errors;
        EXPECT_EQ(view.SetupGLState(), c.ok) << c.errors;
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        view.ReleaseCurrent();
        EXPECT_EQ(clear[0], c.ok ? 1.0f : 0.0f);
        if (c.ok) {
            EXPECT_TRUE(driver.MessageBoxes().empty());
        } else {
            ASSERT_EQ(driver.MessageBoxes().size(), 1u);
            EXPECT_EQ(driver.MessageBoxes()[0].text,
                      "Error trying to set the graphic window\nPlease close the program, then reload it.\n"
                      "If the problem persists, restart the computer\n");
            EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Exclamation);
        }
        if (c.errors > 0) {
            EXPECT_NE(view.LastGLErrors().find("  1\n"), std::string::npos);
        }
    }
}

namespace {

class RecordingPage : public brennix::gl::PrintPage {
public:
    brennix::gl::PrinterCaps caps;
    struct Call {
        DibImage image;
        int x, y, w, h;
    };
    std::vector<Call> calls;
    brennix::gl::PrinterCaps Caps() const override { return caps; }
    void StretchImage(const DibImage& image, int x, int y, int w, int h) override {
        calls.push_back({image, x, y, w, h});
    }
};

class FakePrintService : public brennix::gl::PrintService {
public:
    RecordingPage page;
    int prints = 0, previews = 0, setups = 0;
    bool Print(const std::string&, const std::function<void(brennix::gl::PrintPage&)>& paint) override {
        ++prints;
        paint(page);
        return true;
    }
    bool Preview(const std::string&, const std::function<void(brennix::gl::PrintPage&)>& paint) override {
        ++previews;
        paint(page);
        return true;
    }
    bool Setup() override { return ++setups > 0; }
};

}  // namespace

TEST_F(GLViewTest, PrintingPlacesThePictureAtTheTopLeftOfTheMargins) {
    SceneView view;
    view.scene = [](SceneView&) {
        glColor3f(0, 1, 0);
        Quad(-5, -5, 5, 5);
    };
    Open(view, 200, 100);
    const DibImage shown = view.Paint();
    FakePrintService service;
    service.page.caps = {600, 600, 100, 120, 4800, 6400};
    brennix::gl::SetPrintService(&service);
    EXPECT_TRUE(view.HandleCommand(ui::cmd::FilePrint));
    EXPECT_TRUE(view.HandleCommand(ui::cmd::FilePrintPreview));
    EXPECT_TRUE(view.HandleCommand(ui::cmd::FilePrintSetup));
    brennix::gl::SetPrintService(nullptr);
    EXPECT_EQ(service.prints, 1);
    EXPECT_EQ(service.previews, 1);
    EXPECT_EQ(service.setups, 1);
    ASSERT_EQ(service.page.calls.size(), 2u);
    const auto& call = service.page.calls[0];
    // One-inch margins at 600 dpi: 600 pixels, less the unprintable edge.
    EXPECT_EQ(call.x, 500);
    EXPECT_EQ(call.y, 480);
    // Printable width 4800 + 100 - 600 - 500 = 3800 limits the 2:1 picture.
    EXPECT_EQ(call.w, 3800);
    EXPECT_EQ(call.h, 1900);
    EXPECT_EQ(call.image.bits, shown.bits);
    // Without a print service printing does nothing.
    view.Print();
    EXPECT_EQ(service.page.calls.size(), 2u);
}

TEST_F(GLViewTest, PageSetupEditsTheMargins) {
    SceneView view;
    Open(view, 10, 10);
    EXPECT_EQ(view.Margins().left, 1000);
    driver.ExpectModal([](ui::Dialog& dlg) {
        EXPECT_EQ(dlg.GetDlgItemText(1001), "1");
        dlg.UserType(1001, "0.5");
        dlg.UserType(1004, "1.25");
        dlg.UserClick(ui::IDOK);
    });
    EXPECT_TRUE(view.HandleCommand(ui::cmd::FilePageSetup));
    EXPECT_EQ(view.Margins().left, 500);
    EXPECT_EQ(view.Margins().bottom, 1250);
    EXPECT_EQ(view.Margins().top, 1000);
    // A negative margin is refused and the dialog stays open; Cancel keeps
    // the margins.
    driver.ClearLogs();
    driver.ExpectModal([](ui::Dialog& dlg) {
        dlg.UserType(1002, "-1");
        dlg.UserClick(ui::IDOK);
        EXPECT_FALSE(dlg.IsEnded());
        dlg.UserClick(ui::IDCANCEL);
    });
    view.PageSetup();
    EXPECT_EQ(view.Margins().top, 1000);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_NE(driver.MessageBoxes()[0].text.find("margin"), std::string::npos);
}

TEST(GLViewFitScale, SmallerRatioWinsAndStaysPositive) {
    const struct {
        int w, h;
        double ey, ez;
        float expect;
    } cases[] = {
        {250, 150, 100, 50, 2.0f},                          // y: 200/100, z: 100/50
        {250, 150, 100, 0, 1.0f},                           // a line of nodes: z ratio 1.0
        {1050, 150, 0, 0, 1.0f},   {40, 30, 10, 10, 0.1f},  // client smaller than the margin
        {0, 0, 5, 5, 0.2f},
    };
    for (const auto& c : cases) {
        const float s = GLView::FitScale(c.w, c.h, c.ey, c.ez);
        EXPECT_NEAR(s, c.expect, 1e-6) << c.w << "x" << c.h;
        EXPECT_GT(s, 0.0f);
    }
}

namespace {

// Counts the notices that the display lists of the current context are lost.
class ListCountingView : public SceneView {
public:
    int lost = 0;

protected:
    void OnDisplayListsLost() override { ++lost; }
};

}  // namespace

TEST_F(GLViewTest, ResizeFontChangeAndOffscreenRenderingTellTheViewItsListsAreLost) {
    ListCountingView view;
    ASSERT_EQ(view.OnCreate(), 0);
    const struct {
        const char* name;
        std::function<void()> act;
        int notices;
    } cases[] = {
        {"resize", [&] { view.OnSize(60, 40); }, 1},
        {"font change", [&] { view.SetBitmapFont("Arial", 20, 400); }, 1},
        // The separate context, then the view's own context again.
        {"print or export", [&] { view.RenderOffscreen(); }, 2},
        {"paint", [&] { view.Paint(); }, 0},
    };
    for (const auto& c : cases) {
        const int before = view.lost;
        c.act();
        EXPECT_EQ(view.lost - before, c.notices) << c.name;
    }
}
