#pragma once
#include <functional>
#include <string>

#include "platform/gl/DibImage.h"

namespace brennix::gl {

// Device figures of a printed page, in printer pixels.
struct PrinterCaps {
    int logPixelsX = 600;     // dots per inch across
    int logPixelsY = 600;     // dots per inch down
    int physicalOffsetX = 0;  // unprintable left edge
    int physicalOffsetY = 0;  // unprintable top edge
    int horzRes = 4800;       // printable width
    int vertRes = 6600;       // printable height
};

// One page being printed: its figures and the operation that copies a
// picture onto it, scaled into a rectangle of printable pixels whose origin
// is the printable area's top-left corner.
class PrintPage {
public:
    virtual ~PrintPage() = default;
    virtual PrinterCaps Caps() const = 0;
    virtual void StretchImage(const DibImage& image, int x, int y, int w, int h) = 0;
};

// What shows printing to the user: the print dialog and job, the preview and
// the printer set-up. Installed by the desktop back end.
class PrintService {
public:
    virtual ~PrintService() = default;
    // Prints one page drawn by paint; false when cancelled or failed.
    virtual bool Print(const std::string& title, const std::function<void(PrintPage&)>& paint) = 0;
    // Shows the page in a preview window; false when it cannot.
    virtual bool Preview(const std::string& title, const std::function<void(PrintPage&)>& paint) = 0;
    // The printer set-up; false when cancelled.
    virtual bool Setup() = 0;
};

// The service in use, or none (printing then does nothing).
PrintService* GetPrintService();
void SetPrintService(PrintService* service);

// Rectangle (in printable pixels) that a picture of imageWidth x imageHeight
// takes on a page inside the margins (thousandths of an inch): it starts at
// the top-left corner of the margins and keeps the picture's aspect ratio,
// filling the width or the height, whichever is reached first.
struct PrintPlacement {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
PrintPlacement PlaceOnPage(const PrinterCaps& caps, int marginLeft, int marginTop, int marginRight, int marginBottom,
                           int imageWidth, int imageHeight);

}  // namespace brennix::gl
