#include "platform/gl/Printing.h"

#include <algorithm>

namespace brennix::gl {

namespace {
PrintService* g_service = nullptr;
}

PrintService* GetPrintService() { return g_service; }
void SetPrintService(PrintService* service) { g_service = service; }

PrintPlacement PlaceOnPage(const PrinterCaps& caps, int marginLeft, int marginTop, int marginRight, int marginBottom,
                           int imageWidth, int imageHeight) {
    // Margins in device pixels, never inside the unprintable edge.
    const long left = std::max<long>(static_cast<long>(marginLeft) * caps.logPixelsX / 1000, caps.physicalOffsetX);
    const long right = std::max<long>(static_cast<long>(marginRight) * caps.logPixelsX / 1000, caps.physicalOffsetX);
    const long top = std::max<long>(static_cast<long>(marginTop) * caps.logPixelsY / 1000, caps.physicalOffsetY);
    const long bottom = std::max<long>(static_cast<long>(marginBottom) * caps.logPixelsY / 1000, caps.physicalOffsetY);

    PrintPlacement p;
    p.x = static_cast<int>(left - caps.physicalOffsetX);
    p.y = static_cast<int>(top - caps.physicalOffsetY);
    const long rightEdge = static_cast<long>(caps.horzRes) + caps.physicalOffsetX - right;
    const long bottomEdge = static_cast<long>(caps.vertRes) + caps.physicalOffsetY - bottom;
    long w = std::max<long>(rightEdge - p.x, 0);
    long h = std::max<long>(bottomEdge - p.y, 0);
    const long iw = std::max(imageWidth, 1);
    const long ih = std::max(imageHeight, 1);
    // The side whose ratio to the picture is smaller limits it (compared
    // exactly, so that a page smaller than the picture is never overrun).
    if (w * ih >= h * iw)
        w = h * iw / ih;
    else
        h = w * ih / iw;
    p.w = static_cast<int>(w);
    p.h = static_cast<int>(h);
    return p;
}

}  // namespace brennix::gl
