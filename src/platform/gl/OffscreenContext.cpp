#include "platform/gl/OffscreenContext.h"

#include <GL/osmesa.h>

#include <cstdint>
#include <vector>

namespace brennix::gl {

namespace {

OffscreenFactory g_factory = nullptr;

class MesaOffscreenContext final : public OffscreenContext {
public:
    MesaOffscreenContext(OSMesaContext ctx, int width, int height, int depthBits)
        : ctx_(ctx), width_(width), height_(height), depthBits_(depthBits),
          buffer_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0) {}

    ~MesaOffscreenContext() override {
        if (IsCurrent()) Release();
        OSMesaDestroyContext(ctx_);
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int DepthBits() const override { return depthBits_; }

    bool MakeCurrent() override {
        return OSMesaMakeCurrent(ctx_, buffer_.data(), GL_UNSIGNED_BYTE, width_, height_) == GL_TRUE;
    }

    void Release() override {
        if (IsCurrent()) OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    }

    bool IsCurrent() const override { return OSMesaGetCurrentContext() == ctx_; }

    void ReadImage(DibImage& out) const override {
        // The buffer's first row is the bottom of the picture, as in the
        // image rows.
        RgbaToDib(buffer_.data(), width_, height_, out);
    }

private:
    OSMesaContext ctx_;
    int width_;
    int height_;
    int depthBits_;
    std::vector<std::uint8_t> buffer_;
};

OSMesaContext CreateWithDepth(int depthBits) {
    const int attribs[] = {OSMESA_FORMAT,
                           OSMESA_RGBA,
                           OSMESA_DEPTH_BITS,
                           depthBits,
                           OSMESA_STENCIL_BITS,
                           0,
                           OSMESA_ACCUM_BITS,
                           0,
                           OSMESA_PROFILE,
                           OSMESA_COMPAT_PROFILE,
                           0};
    return OSMesaCreateContextAttribs(attribs, nullptr);
}

}  // namespace

std::unique_ptr<OffscreenContext> CreateMesaOffscreenContext(int width, int height) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    int depth = 32;
    OSMesaContext ctx = CreateWithDepth(depth);
    if (!ctx) {
        depth = 24;
        ctx = CreateWithDepth(depth);
    }
    if (!ctx) return nullptr;
    auto context = std::make_unique<MesaOffscreenContext>(ctx, width, height, depth);
    return context;
}

std::unique_ptr<OffscreenContext> CreateOffscreenContext(int width, int height) {
    if (g_factory) return g_factory(width < 1 ? 1 : width, height < 1 ? 1 : height);
    return CreateMesaOffscreenContext(width, height);
}

void SetOffscreenFactory(OffscreenFactory factory) { g_factory = factory; }

}  // namespace brennix::gl
