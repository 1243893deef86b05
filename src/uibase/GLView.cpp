#include "uibase/GLView.h"

#include <algorithm>
#include <cmath>

#include "platform/gl/BitmapFont.h"
#include "platform/gl/GlIncludes.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Services.h"

using brennix::gl::DibImage;

namespace {

constexpr const char* kSetupFailedMessage =
    "Error trying to set the graphic window\n"
    "Please close the program, then reload it.\n"
    "If the problem persists, restart the computer\n";

ui::Image ToUiImage(const DibImage& dib) {
    ui::Image image;
    image.width = dib.width;
    image.height = dib.height;
    image.rgb = brennix::gl::DibToTopDownRgb(dib);
    return image;
}

// The page-setup dialog: the four page margins, shown in inches and kept in
// thousandths of an inch.
class PageSetupDialog : public ui::Dialog {
public:
    enum { IDC_LEFT = 1001, IDC_TOP, IDC_RIGHT, IDC_BOTTOM };
    static constexpr int kTemplateId = 0x7F10;

    explicit PageSetupDialog(PageMargins margins, ui::Window* parent)
        : ui::Dialog(kTemplateId, parent), margins_(margins) {
        left_ = margins.left / 1000.0;
        top_ = margins.top / 1000.0;
        right_ = margins.right / 1000.0;
        bottom_ = margins.bottom / 1000.0;
    }

    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = kTemplateId;
        t.caption = "Page Setup";
        t.rect = {0, 0, 180, 104};
        t.Group(ui::IDSTATIC, "Margins (inches)", {7, 7, 166, 66});
        t.Label(ui::IDSTATIC, "&Left:", {16, 22, 30, 8});
        t.EditBox(IDC_LEFT, {48, 20, 36, 14});
        t.Label(ui::IDSTATIC, "&Right:", {96, 22, 30, 8});
        t.EditBox(IDC_RIGHT, {128, 20, 36, 14});
        t.Label(ui::IDSTATIC, "&Top:", {16, 44, 30, 8});
        t.EditBox(IDC_TOP, {48, 42, 36, 14});
        t.Label(ui::IDSTATIC, "&Bottom:", {96, 44, 30, 8});
        t.EditBox(IDC_BOTTOM, {128, 42, 36, 14});
        t.DefPushButton(ui::IDOK, "OK", {69, 82, 50, 14});
        t.PushButton(ui::IDCANCEL, "Cancel", {123, 82, 50, 14});
        return t;
    }

    void DoDataExchange(ui::DataExchange& dx) override {
        dx.Text(IDC_LEFT, left_);
        dx.Text(IDC_RIGHT, right_);
        dx.Text(IDC_TOP, top_);
        dx.Text(IDC_BOTTOM, bottom_);
        if (dx.Saving() && !dx.Failed()) {
            // Margins are distances: negative values and absurd sizes are
            // refused.
            const std::pair<int, double> fields[] = {
                {IDC_LEFT, left_}, {IDC_RIGHT, right_}, {IDC_TOP, top_}, {IDC_BOTTOM, bottom_}};
            for (const auto& [id, value] : fields) {
                if (!(value >= 0.0 && value <= 100.0)) {
                    ui::MessageBox("Please enter a margin between 0 and 100 inches.", ui::Buttons::Ok,
                                   ui::Icon::Exclamation);
                    dx.Fail(id);
                    return;
                }
            }
        }
    }

    PageMargins Result() const {
        PageMargins m;
        m.left = static_cast<int>(std::lround(left_ * 1000.0));
        m.top = static_cast<int>(std::lround(top_ * 1000.0));
        m.right = static_cast<int>(std::lround(right_ * 1000.0));
        m.bottom = static_cast<int>(std::lround(bottom_ * 1000.0));
        return m;
    }

private:
    PageMargins margins_;
    double left_ = 1.0;
    double top_ = 1.0;
    double right_ = 1.0;
    double bottom_ = 1.0;
};

}  // namespace

GLView::GLView() {
    OnCommand(ui::cmd::FilePageSetup, [this] { PageSetup(); });
    OnCommand(ui::cmd::FilePrint, [this] { Print(); });
    OnCommand(ui::cmd::FilePrintDirect, [this] { Print(); });
    OnCommand(ui::cmd::FilePrintPreview, [this] { PrintPreview(); });
    OnCommand(ui::cmd::FilePrintSetup, [this] { PrintSetup(); });
}

GLView::~GLView() { DestroyGLContext(); }

bool GLView::PreCreateWindow(unsigned& styleBits) {
    styleBits |= ui::style::Maximized;
    return true;
}

int GLView::OnCreate() {
    if (ui::View::OnCreate() == -1) return -1;
    CreateGLContext();
    return 0;
}

void GLView::OnSize(int cx, int cy) {
    ui::View::OnSize(cx, cy);
    if (cx < 1) cx = 1;
    if (cy < 1) cy = 1;
    width_ = cx;
    height_ = cy;
    if (!CreateGLContext()) return;
    if (!MakeCurrent()) return;
    Resize(cx, cy);
    ReleaseCurrent();
}

void GLView::OnPaint(ui::Painter& painter) { OnDraw(painter); }

bool GLView::OnEraseBackground(ui::Painter&) { return false; }

void GLView::OnDestroy() {
    ui::View::OnDestroy();
    DestroyGLContext();
}

void GLView::OnDraw(ui::Painter& painter) {
    if (!MakeCurrent()) {
        // Without a context only the background can be shown.
        const ui::Size size = painter.GetSize();
        painter.FillSolidRect({0, 0, size.cx, size.cy}, clearColor_);
        return;
    }
    ResetProjection();
    RenderScene();
    glFinish();
    context_->ReadImage(dib_);
    painter.DrawImage(ToUiImage(dib_), 0, 0);
    ReleaseCurrent();
}

void GLView::DestroyGLContext() {
    if (context_) {
        OnContextDestroyed();
        context_->Release();
        context_.reset();
    }
}

bool GLView::CreateGLContext() {
    DestroyGLContext();
    dib_.Allocate(width_, height_);
    context_ = brennix::gl::CreateOffscreenContext(width_, height_);
    if (!context_) return false;
    if (!context_->MakeCurrent()) {
        context_.reset();
        return false;
    }
    OnDisplayListsLost();
    CreateBitmapFont();
    SetupGLState();
    ResetProjection();
    context_->Release();
    return true;
}

void GLView::InitGL() { SetupGLState(); }

unsigned GLView::FetchGLError() { return glGetError(); }

bool GLView::SetupGLState() {
    glErrors_.clear();
    int count = 0;
    for (unsigned error = FetchGLError(); error != GL_NO_ERROR; error = FetchGLError()) {
        ++count;
        const GLubyte* text = gluErrorString(error);
        glErrors_ += text ? reinterpret_cast<const char*>(text) : "unknown error";
        glErrors_ += "  " + std::to_string(count) + "\n";
        if (count > 10) {
            ui::MessageBox(kSetupFailedMessage, ui::Buttons::Ok, ui::Icon::Exclamation);
            return false;
        }
    }
    glFrontFace(GL_CCW);
    glClearColor(ui::RedOf(clearColor_) / 255.0f, ui::GreenOf(clearColor_) / 255.0f, ui::BlueOf(clearColor_) / 255.0f,
                 1.0f);
    glClearAccum(1.0f, 1.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    return true;
}

void GLView::RenderScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ACCUM_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFrontFace(GL_CCW);
    glFlush();
}

void GLView::Resize(int cx, int cy) {
    glViewport(0, 0, cx, cy);
    ResetProjection();
}

void GLView::SetProjection() {
    const float w = static_cast<float>(width_ < 1 ? 1 : width_);
    const float h = static_cast<float>(height_ < 1 ? 1 : height_);
    // A zoom of 0 or less would divide by zero; it counts as 1.
    const float z = projectionZoom_ > 0.0f ? projectionZoom_ : 1.0f;
    float d = 100.0f * h;
    if (h < w) {
        const float f = h / 2.0f / z;
        d = std::max(d, 10.0f * f);
        glOrtho(-f * w / h, f * w / h, -f, f, -d, d);
    } else {
        const float f = w / 2.0f / z;
        d = std::max(d, 10.0f * f);
        glOrtho(-f, f, -f * h / w, f * h / w, -d, d);
    }
}

void GLView::ResetProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    SetProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GLView::UpdateProjection() {
    if (!MakeCurrent()) return;
    ResetProjection();
    ReleaseCurrent();
}

void GLView::CreateBitmapFont() {
    // Every byte of a text has its list, 0xFF included.
    brennix::gl::BuildBitmapFontLists({fontHeight_, fontWeight_, fontFace_}, fontListBase_, 0, 256);
}

void GLView::DrawText(const std::string& text) const { brennix::gl::DrawBitmapText(text, fontListBase_); }

void GLView::SetBitmapFont(const std::string& face, int height, int weight) {
    fontFace_ = face;
    fontHeight_ = height;
    fontWeight_ = weight;
    if (context_) CreateGLContext();
}

void GLView::SetColor(COLORREF color, float alpha) {
    glColor4f(ui::RedOf(color) / 255.0f, ui::GreenOf(color) / 255.0f, ui::BlueOf(color) / 255.0f, alpha);
}

void GLView::SetClearColor(COLORREF color) {
    glClearColor(ui::RedOf(color) / 255.0f, ui::GreenOf(color) / 255.0f, ui::BlueOf(color) / 255.0f, 1.0f);
}

void GLView::SetPickState(int kind, const std::string& text) {
    currentSetKind_ = kind;
    currentSetText_ = text;
}

bool GLView::MakeCurrent() { return context_ && context_->MakeCurrent(); }

void GLView::ReleaseCurrent() {
    if (context_) context_->Release();
}

bool GLView::CreateContextOnDC(brennix::gl::OffscreenContext& context) {
    if (!context.MakeCurrent()) return false;
    OnDisplayListsLost();
    CreateBitmapFont();
    SetupGLState();
    glViewport(0, 0, context.Width(), context.Height());
    ResetProjection();
    RenderScene();
    glFinish();
    return true;
}

DibImage GLView::RenderOffscreen() {
    DibImage image;
    const bool wasCurrent = context_ && context_->IsCurrent();
    std::unique_ptr<brennix::gl::OffscreenContext> context = brennix::gl::CreateOffscreenContext(width_, height_);
    if (context && CreateContextOnDC(*context)) context->ReadImage(image);
    if (context) context->Release();
    if (wasCurrent) context_->MakeCurrent();
    OnDisplayListsLost();
    return image;
}

bool GLView::SaveBitmapFile(const std::string& path, const DibImage& image) {
    using brennix::gl::BmpWriteResult;
    if (image.empty()) {
        ui::MessageBox("error in GetObject - BITMAP");
        return false;
    }
    const brennix::gl::BitmapInfo info = brennix::gl::MakeBitmapInfo(image.width, image.height, 1, 24);
    switch (brennix::gl::WriteBitmapFile(path, info, image)) {
        case BmpWriteResult::Ok: return true;
        case BmpWriteResult::AllocFailed: ui::MessageBox("error in GlobalAlloc - BITMAP"); break;
        case BmpWriteResult::GetBitsFailed: ui::MessageBox("error in GetDIBits - BITMAP"); break;
        case BmpWriteResult::CreateFailed: ui::MessageBox("error in CreateFile - BITMAP"); break;
        case BmpWriteResult::WriteFailed: ui::MessageBox("error in WriteFile - BITMAP"); break;
        case BmpWriteResult::CloseFailed: ui::MessageBox("error in CloseHandle - BITMAP"); break;
    }
    return false;
}

void GLView::ExportBitmap() {
    ui::FileDialog dialog(false, "bmp", "", ui::ofn::HideReadOnly | ui::ofn::OverwritePrompt,
                          "Bitmap Files (*.bmp)|*.bmp|", this);
    if (dialog.DoModal() != ui::IDOK) return;
    SaveBitmapFile(dialog.GetPathName(), RenderOffscreen());
}

void GLView::PageSetup() {
    PageSetupDialog dialog(margins_, this);
    if (dialog.DoModal() == ui::IDOK) margins_ = dialog.Result();
}

void GLView::OnPrint(brennix::gl::PrintPage& page) {
    const DibImage image = RenderOffscreen();
    if (image.empty()) return;
    const brennix::gl::PrinterCaps caps = page.Caps();
    const brennix::gl::PrintPlacement p =
        brennix::gl::PlaceOnPage(caps, margins_.left, margins_.top, margins_.right, margins_.bottom, width_, height_);
    if (p.w <= 0 || p.h <= 0) return;
    page.StretchImage(image, p.x, p.y, p.w, p.h);
}

void GLView::Print() {
    if (!OnPreparePrinting()) return;
    brennix::gl::PrintService* service = brennix::gl::GetPrintService();
    if (!service) return;
    const std::string title = GetDocument() ? GetDocument()->GetTitle() : std::string();
    service->Print(title, [this](brennix::gl::PrintPage& page) { OnPrint(page); });
}

void GLView::PrintPreview() {
    if (!OnPreparePrinting()) return;
    brennix::gl::PrintService* service = brennix::gl::GetPrintService();
    if (!service) return;
    const std::string title = GetDocument() ? GetDocument()->GetTitle() : std::string();
    service->Preview(title, [this](brennix::gl::PrintPage& page) { OnPrint(page); });
}

void GLView::PrintSetup() {
    if (brennix::gl::PrintService* service = brennix::gl::GetPrintService()) service->Setup();
}

float GLView::FitScale(int width, int height, double yExtent, double zExtent, int margin) {
    // A client smaller than the margin keeps one pixel, so the scale stays
    // positive.
    const double usableW = std::max(width - margin, 1);
    const double usableH = std::max(height - margin, 1);
    const double a = zExtent != 0.0 ? usableH / std::fabs(zExtent) : 1.0;
    const double b = yExtent != 0.0 ? usableW / std::fabs(yExtent) : 1.0;
    return static_cast<float>(std::min(b, a));
}
