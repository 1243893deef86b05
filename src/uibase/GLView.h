// Base of views with an OpenGL picture. The picture is rendered off-screen
// into a 24-bit bottom-up image of the client size, and each paint copies
// that image to the window. The same rendering serves printing and the
// bitmap export. The view owns the rendering context, the orthographic
// projection, the bitmap-font display lists that all text of the drawing
// uses, and the page margins.
#pragma once

#include <memory>
#include <string>

#include "platform/gl/DibImage.h"
#include "platform/gl/OffscreenContext.h"
#include "platform/gl/Printing.h"
#include "platform/ui/DocView.h"
#include "platform/ui/Types.h"

class ModelData;

// Colour word of the drawing: red in the low byte, then green, then blue.
using COLORREF = ui::Color;

// Page margins in thousandths of an inch (the page-setup dialog's values).
struct PageMargins {
    int left = 1000;
    int top = 1000;
    int right = 1000;
    int bottom = 1000;
};

class GLView : public ui::View {
public:
    GLView();
    ~GLView() override;

    // Adds the maximised style to the view's style bits.
    virtual bool PreCreateWindow(unsigned& styleBits);

    // Window messages.
    int OnCreate() override;
    void OnSize(int cx, int cy) override;
    void OnPaint(ui::Painter& painter) override;
    // Nothing is erased: the picture covers the whole client area.
    bool OnEraseBackground(ui::Painter& painter) override;
    void OnDestroy() override;

    // Makes the context current, renders a frame with a fresh projection and
    // copies the picture to the painter.
    virtual void OnDraw(ui::Painter& painter);
    // Renders the view's picture into a new context of the view's size and
    // copies it into the page inside the page margins.
    virtual void OnPrint(brennix::gl::PrintPage& page);
    // Before printing; false cancels. Default: true.
    virtual bool OnPreparePrinting() { return true; }

    // Own operations, in the order derived views may override them.
    virtual bool CreateGLContext();
    virtual void InitGL();
    // Drains pending GL errors and sets the clear values; false after more
    // than 10 pending errors (with the message shown).
    virtual bool SetupGLState();
    virtual void RenderScene();
    virtual void Resize(int cx, int cy);
    virtual void SetProjection();
    virtual void ResetProjection();
    virtual void UpdateProjection();
    virtual void CreateBitmapFont();

    // Commands: Save as Bitmap, Page Setup, Print, Print Preview, Print Setup.
    void ExportBitmap();
    void PageSetup();
    void Print();
    void PrintPreview();
    void PrintSetup();

    // Colours of the drawing.
    void SetColor(COLORREF color, float alpha);
    void SetClearColor(COLORREF color);
    COLORREF ClearColor() const { return clearColor_; }
    // Only records the colour; it takes effect at the next state set-up.
    void StoreClearColor(COLORREF color) { clearColor_ = color; }

    // The model of the view's document; null without one. Views whose
    // document holds a model override it.
    virtual ModelData* GetModelData() const { return nullptr; }

    // Current set kind and text of the picture, without a repaint.
    void SetPickState(int kind, const std::string& text);
    int CurrentSetKind() const { return currentSetKind_; }
    const std::string& CurrentSetText() const { return currentSetText_; }

    // The bitmap font of the drawing's text; a change rebuilds the context
    // and its lists.
    void SetBitmapFont(const std::string& face, int height, int weight);
    const std::string& FontFace() const { return fontFace_; }
    int FontHeight() const { return fontHeight_; }
    int FontWeight() const { return fontWeight_; }
    unsigned FontListBase() const { return fontListBase_; }
    // Draws text with the bitmap font at the current raster position.
    void DrawText(const std::string& text) const;

    float ProjectionZoom() const { return projectionZoom_; }
    void SetProjectionZoom(float zoom) { projectionZoom_ = zoom; }

    // Size of the picture, never below 1 x 1.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Makes the rendering context current (picking and other work outside a
    // paint) and releases it again.
    bool MakeCurrent();
    void ReleaseCurrent();
    bool HasContext() const { return context_ != nullptr; }

    // The picture of the last paint, as the window shows it.
    const brennix::gl::DibImage& Picture() const { return dib_; }
    // Renders a new picture of the view's size in a context of its own (as
    // printing and the export do); empty when no context can be made.
    brennix::gl::DibImage RenderOffscreen();

    // Writes the picture as a ".bmp" file; a message box names a failed
    // step and the export stops there. True on success.
    bool SaveBitmapFile(const std::string& path, const brennix::gl::DibImage& image);

    PageMargins& Margins() { return margins_; }
    const PageMargins& Margins() const { return margins_; }

    // Ratio of the client that a model of the given extents fills, keeping
    // the given margin in pixels; an extent of 0 counts as ratio 1.0, and a
    // client smaller than the margin gives the smallest positive scale.
    static float FitScale(int width, int height, double yExtent, double zExtent, int margin = 50);

    // Text of the GL errors drained at the last state set-up ("text  1"...).
    const std::string& LastGLErrors() const { return glErrors_; }

protected:
    // The next pending GL error (0 when none); views may hook it for tests.
    virtual unsigned FetchGLError();
    // The display lists of the current context are not those the view
    // compiled: the view's context was recreated (resize, font change), or a
    // separate context was set up for printing or the bitmap export, or the
    // view's context is current again after one. Views that keep display
    // lists compile them again at their next paint.
    virtual void OnDisplayListsLost() {}
    // The view's context is about to be destroyed, and every GL object made
    // in it with it.
    virtual void OnContextDestroyed() {}
    // True while the view's own context (not a printing or export one) is
    // current.
    bool OwnContextCurrent() const { return context_ && context_->IsCurrent(); }
    // Renders into a separate context of the view's size: fonts, state,
    // projection, scene, glFinish.
    bool CreateContextOnDC(brennix::gl::OffscreenContext& context);

    int currentSetKind_ = 0;
    std::string currentSetText_ = "0";

private:
    void DestroyGLContext();

    std::unique_ptr<brennix::gl::OffscreenContext> context_;
    brennix::gl::DibImage dib_;
    unsigned fontListBase_ = 1000;
    int width_ = 1;
    int height_ = 1;
    COLORREF clearColor_ = ui::Rgb(255, 255, 255);
    float projectionZoom_ = 1.0f;
    PageMargins margins_;
    int fontHeight_ = 14;
    std::string fontFace_ = "Arial";
    int fontWeight_ = 700;
    std::string glErrors_;
};
