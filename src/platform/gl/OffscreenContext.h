#pragma once
#include <memory>

#include "platform/gl/DibImage.h"

namespace brennix::gl {

// A rendering context that draws into memory instead of a window. The
// picture can be read back as a 24-bit image. Only one context is current on
// a thread at a time.
class OffscreenContext {
public:
    virtual ~OffscreenContext() = default;

    // Size of the drawing surface in pixels (at least 1 x 1).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Depth buffer bits obtained at creation.
    virtual int DepthBits() const = 0;

    // Makes the context current on this thread with its surface.
    virtual bool MakeCurrent() = 0;
    // Leaves no context current (only when this one is current).
    virtual void Release() = 0;
    virtual bool IsCurrent() const = 0;

    // Converts what was drawn (after glFinish) into the image rows.
    virtual void ReadImage(DibImage& out) const = 0;
};

// Signature of a factory for another off-screen back end.
using OffscreenFactory = std::unique_ptr<OffscreenContext> (*)(int width, int height);

// Creates a context of the given size (values below 1 are taken as 1); null
// when no context can be created. Uses the factory installed with
// SetOffscreenFactory, the off-screen Mesa back end by default.
std::unique_ptr<OffscreenContext> CreateOffscreenContext(int width, int height);

// Replaces the back end used by CreateOffscreenContext; null restores the
// default one.
void SetOffscreenFactory(OffscreenFactory factory);

// The default back end: Mesa's off-screen renderer with an RGBA buffer owned
// by the context, 32 depth bits asked first and 24 on refusal.
std::unique_ptr<OffscreenContext> CreateMesaOffscreenContext(int width, int height);

}  // namespace brennix::gl
