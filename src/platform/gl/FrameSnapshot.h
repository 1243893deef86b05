#pragma once
// The colour buffer and the drawing state at one point of a frame. A later
// frame that would draw exactly the same up to that point starts from the
// snapshot instead: Restore writes the pixels back and sets the state as the
// drawing had left it, so what is drawn over it comes out as it would over
// the drawn frame. Needs a current context in render mode.
#include <array>
#include <cstdint>

namespace brennix::gl {

// The state that drawing leaves behind and later drawing inherits: current
// colour and normal, line and point size, shading, blending, stipple,
// polygon offset, font list base, depth settings and the switches that the
// drawing turns on and off.
struct DrawState {
    std::array<float, 4> color{};
    std::array<float, 3> normal{};
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    int shadeModel = 0;
    int blendSource = 0, blendDestination = 0;
    int stippleFactor = 1, stipplePattern = 0;
    float offsetFactor = 0.0f, offsetUnits = 0.0f;
    int listBase = 0;
    int depthFunction = 0;
    bool depthMask = true;
    int frontFace = 0;
    int matrixMode = 0;
    std::uint32_t enabled = 0;  // one bit per switch, in the order of kDrawStateSwitches

    static DrawState Read();
    void Apply() const;
};

// The pixels are kept in a framebuffer object of the context they were
// taken in, copied there and back by framebuffer blits.
class FrameSnapshot {
public:
    FrameSnapshot() = default;
    FrameSnapshot(const FrameSnapshot&) = delete;
    FrameSnapshot& operator=(const FrameSnapshot&) = delete;

    // Copies the window's colour buffer of width x height pixels and reads
    // the state. Leaves the snapshot empty when the context has no usable
    // framebuffer object.
    void Capture(int width, int height);
    // Copies the pixels back over the window's colour buffer (depth is left
    // alone) and applies the state. False when nothing was captured.
    bool Restore() const;
    bool Empty() const { return !valid_; }
    // The pixels no longer count; the storage stays for the next capture.
    void Clear() { valid_ = false; }
    // Frees the storage: the context it was made in is current.
    void Release();
    // The context of the storage is gone, and the storage with it.
    void Forget();
    const DrawState& State() const { return state_; }

private:
    int width_ = 0, height_ = 0;
    unsigned framebuffer_ = 0, renderbuffer_ = 0;
    bool valid_ = false;
    DrawState state_;
};

}  // namespace brennix::gl
