#pragma once
#include <functional>
#include <string>

#include "platform/gl/Printing.h"

namespace brennix::fltk {

class FltkBackend;

// Printing through FLTK's printer support, and a preview window of our own
// that shows the page as it will be printed.
class PrintSupport : public brennix::gl::PrintService {
public:
    explicit PrintSupport(FltkBackend& backend) : backend_(backend) {}
    bool Print(const std::string& title, const std::function<void(brennix::gl::PrintPage&)>& paint) override;
    bool Preview(const std::string& title, const std::function<void(brennix::gl::PrintPage&)>& paint) override;
    bool Setup() override;

    // Pixels per inch of printed pages (printer units are 1/72 inch, scaled).
    static constexpr int kDotsPerInch = 144;
    // Figures of the page used for the preview: a letter-size sheet with a
    // quarter-inch unprintable edge.
    static brennix::gl::PrinterCaps PreviewPage();

private:
    FltkBackend& backend_;
};

// Scales an image to w x h with the nearest pixel, as top-down RGB rows.
std::vector<unsigned char> StretchToRgb(const brennix::gl::DibImage& image, int w, int h);

}  // namespace brennix::fltk
