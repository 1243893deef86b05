#include "platform/fltk/FltkPrint.h"
#include "platform/fltk/FltkBackend.h"
#include "platform/fltk/FltkPainter.h"
#include "platform/fltk/FltkWidgets.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Printer.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <vector>

namespace brennix::fltk {

using brennix::gl::DibImage;
using brennix::gl::PrinterCaps;

std::vector<unsigned char> StretchToRgb(const DibImage& image, int w, int h) {
    std::vector<unsigned char> out;
    if (image.empty() || w <= 0 || h <= 0) return out;
    out.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    const int stride = image.stride();
    for (int y = 0; y < h; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * image.height / h);
        const unsigned char* row = image.bits.data() + static_cast<size_t>(image.height - 1 - sy) * stride;
        unsigned char* dst = out.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * image.width / w);
            dst[3 * x + 0] = row[3 * sx + 2];
            dst[3 * x + 1] = row[3 * sx + 1];
            dst[3 * x + 2] = row[3 * sx + 0];
        }
    }
    return out;
}

namespace {

// A page on FLTK's printer: units of 1/kDotsPerInch inch from the printable
// area's corner.
class PrinterPage : public brennix::gl::PrintPage {
public:
    explicit PrinterPage(PrinterCaps caps) : caps_(caps) {}
    PrinterCaps Caps() const override { return caps_; }
    void StretchImage(const DibImage& image, int x, int y, int w, int h) override {
        const std::vector<unsigned char> rgb = StretchToRgb(image, w, h);
        if (!rgb.empty()) fl_draw_image(rgb.data(), x, y, w, h, 3, 0);
    }

private:
    PrinterCaps caps_;
};

// A page that keeps what was put on it, for the preview.
class RecordedPage : public brennix::gl::PrintPage {
public:
    explicit RecordedPage(PrinterCaps caps) : caps_(caps) {}
    PrinterCaps Caps() const override { return caps_; }
    void StretchImage(const DibImage& image, int x, int y, int w, int h) override {
        items.push_back({image, x, y, w, h});
    }
    struct Item {
        DibImage image;
        int x, y, w, h;
    };
    std::vector<Item> items;

private:
    PrinterCaps caps_;
};

// The sheet of paper in the preview window, scaled to fit.
class PaperWidget : public Fl_Widget {
public:
    PaperWidget(int x, int y, int w, int h, const RecordedPage& page) : Fl_Widget(x, y, w, h), page_(page) {}
    void draw() override {
        fl_rectf(x(), y(), w(), h(), fl_rgb_color(128, 128, 128));
        const PrinterCaps c = page_.Caps();
        const double paperW = c.horzRes + 2.0 * c.physicalOffsetX;
        const double paperH = c.vertRes + 2.0 * c.physicalOffsetY;
        const double s = std::min((w() - 20) / paperW, (h() - 20) / paperH);
        const int pw = static_cast<int>(paperW * s), ph = static_cast<int>(paperH * s);
        const int px = x() + (w() - pw) / 2, py = y() + (h() - ph) / 2;
        fl_rectf(px + 3, py + 3, pw, ph, FL_DARK3);
        fl_rectf(px, py, pw, ph, FL_WHITE);
        fl_color(FL_BLACK);
        fl_rect(px, py, pw, ph);
        for (const auto& it : page_.items) {
            const int ix = px + static_cast<int>((it.x + c.physicalOffsetX) * s);
            const int iy = py + static_cast<int>((it.y + c.physicalOffsetY) * s);
            const int iw = std::max(1, static_cast<int>(it.w * s));
            const int ih = std::max(1, static_cast<int>(it.h * s));
            const std::vector<unsigned char> rgb = StretchToRgb(it.image, iw, ih);
            if (!rgb.empty()) fl_draw_image(rgb.data(), ix, iy, iw, ih, 3, 0);
        }
    }

private:
    const RecordedPage& page_;
};

}  // namespace

PrinterCaps PrintSupport::PreviewPage() {
    PrinterCaps c;
    c.logPixelsX = c.logPixelsY = kDotsPerInch;
    c.physicalOffsetX = c.physicalOffsetY = kDotsPerInch / 4;
    c.horzRes = static_cast<int>(8.5 * kDotsPerInch) - 2 * c.physicalOffsetX;
    c.vertRes = 11 * kDotsPerInch - 2 * c.physicalOffsetY;
    return c;
}

bool PrintSupport::Print(const std::string& title, const std::function<void(brennix::gl::PrintPage&)>& paint) {
    (void)title;
    Fl_Printer printer;
    if (printer.start_job(1) != 0) return false;
    if (printer.start_page() != 0) {
        printer.end_job();
        return false;
    }
    printer.scale(72.0f / kDotsPerInch);
    int w = 0, h = 0, left = 0, top = 0, right = 0, bottom = 0;
    printer.printable_rect(&w, &h);
    printer.margins(&left, &top, &right, &bottom);
    PrinterCaps caps;
    caps.logPixelsX = caps.logPixelsY = kDotsPerInch;
    caps.physicalOffsetX = left;
    caps.physicalOffsetY = top;
    caps.horzRes = w;
    caps.vertRes = h;
    PrinterPage page(caps);
    paint(page);
    printer.end_page();
    printer.end_job();
    return true;
}

bool PrintSupport::Preview(const std::string& title, const std::function<void(brennix::gl::PrintPage&)>& paint) {
    RecordedPage page(PreviewPage());
    paint(page);
    NoCurrentGroup noGroup;
    const int w = 460, h = 620;
    Fl_Double_Window win(w, h);
    win.copy_label(title.empty() ? "Print Preview" : LabelToUtf8("Print Preview - " + title).c_str());
    bool print = false;
    win.begin();
    auto* printButton = new Fl_Button(8, 8, 80, 26, "&Print...");
    auto* closeButton = new Fl_Button(96, 8, 80, 26, "&Close");
    new PaperWidget(0, 42, w, h - 42, page);
    win.end();
    printButton->callback(
        [](Fl_Widget* b, void* data) {
            *static_cast<bool*>(data) = true;
            b->window()->hide();
        },
        &print);
    closeButton->callback([](Fl_Widget* b, void*) { b->window()->hide(); });
    win.set_modal();
    win.show();
    while (win.shown()) Fl::wait(0.05);
    if (print) return Print(title, paint);
    return true;
}

bool PrintSupport::Setup() {
    backend_.ShowMessageBox({"The printer, the paper and its orientation are chosen in the Print dialog.",
                             "Print Setup", ui::Buttons::Ok, ui::Icon{}});
    return true;
}

}  // namespace brennix::fltk
