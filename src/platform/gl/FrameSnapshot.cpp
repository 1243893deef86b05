#include "platform/gl/FrameSnapshot.h"

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include "platform/gl/GlIncludes.h"

namespace brennix::gl {

namespace {

constexpr GLenum kDrawStateSwitches[] = {
    GL_DEPTH_TEST,   GL_LIGHTING,    GL_LIGHT0,       GL_COLOR_MATERIAL,      GL_BLEND,  GL_CULL_FACE,
    GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_LINE_STIPPLE, GL_POLYGON_OFFSET_FILL, GL_DITHER, GL_NORMALIZE};

int GetInt(GLenum what) {
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

float GetFloat(GLenum what) {
    GLfloat value = 0.0f;
    glGetFloatv(what, &value);
    return value;
}

}  // namespace

DrawState DrawState::Read() {
    DrawState s;
    glGetFloatv(GL_CURRENT_COLOR, s.color.data());
    glGetFloatv(GL_CURRENT_NORMAL, s.normal.data());
    s.lineWidth = GetFloat(GL_LINE_WIDTH);
    s.pointSize = GetFloat(GL_POINT_SIZE);
    s.shadeModel = GetInt(GL_SHADE_MODEL);
    s.blendSource = GetInt(GL_BLEND_SRC);
    s.blendDestination = GetInt(GL_BLEND_DST);
    s.stippleFactor = GetInt(GL_LINE_STIPPLE_REPEAT);
    s.stipplePattern = GetInt(GL_LINE_STIPPLE_PATTERN);
    s.offsetFactor = GetFloat(GL_POLYGON_OFFSET_FACTOR);
    s.offsetUnits = GetFloat(GL_POLYGON_OFFSET_UNITS);
    s.listBase = GetInt(GL_LIST_BASE);
    s.depthFunction = GetInt(GL_DEPTH_FUNC);
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    s.depthMask = mask == GL_TRUE;
    s.frontFace = GetInt(GL_FRONT_FACE);
    s.matrixMode = GetInt(GL_MATRIX_MODE);
    std::uint32_t bit = 1;
    for (GLenum what : kDrawStateSwitches) {
        if (glIsEnabled(what)) s.enabled |= bit;
        bit <<= 1;
    }
    return s;
}

void DrawState::Apply() const {
    glColor4fv(color.data());
    glNormal3fv(normal.data());
    glLineWidth(lineWidth);
    glPointSize(pointSize);
    glShadeModel(static_cast<GLenum>(shadeModel));
    glBlendFunc(static_cast<GLenum>(blendSource), static_cast<GLenum>(blendDestination));
    glLineStipple(stippleFactor, static_cast<GLushort>(stipplePattern));
    glPolygonOffset(offsetFactor, offsetUnits);
    glListBase(static_cast<GLuint>(listBase));
    glDepthFunc(static_cast<GLenum>(depthFunction));
    glDepthMask(depthMask ? GL_TRUE : GL_FALSE);
    glFrontFace(static_cast<GLenum>(frontFace));
    glMatrixMode(static_cast<GLenum>(matrixMode));
    std::uint32_t bit = 1;
    for (GLenum what : kDrawStateSwitches) {
        if (enabled & bit)
            glEnable(what);
        else
            glDisable(what);
        bit <<= 1;
    }
}

namespace {

// Binds the pair of framebuffers for one blit of the whole picture and
// puts the previous bindings back afterwards.
void Blit(GLuint from, GLuint to, int width, int height) {
    GLint read = 0, draw = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
}

}  // namespace

void FrameSnapshot::Capture(int width, int height) {
    valid_ = false;
    if (width < 1 || height < 1) return;
    if (framebuffer_ == 0 || width != width_ || height != height_) {
        Release();
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        glGenRenderbuffers(1, &renderbuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer_);
        const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
        if (status != GL_FRAMEBUFFER_COMPLETE || glGetError() != GL_NO_ERROR) {
            Release();
            return;
        }
        width_ = width;
        height_ = height;
    }
    state_ = DrawState::Read();
    Blit(0, framebuffer_, width, height);
    valid_ = true;
}

bool FrameSnapshot::Restore() const {
    if (!valid_) return false;
    Blit(framebuffer_, 0, width_, height_);
    state_.Apply();
    return true;
}

void FrameSnapshot::Release() {
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (renderbuffer_) glDeleteRenderbuffers(1, &renderbuffer_);
    Forget();
}

void FrameSnapshot::Forget() {
    framebuffer_ = renderbuffer_ = 0;
    width_ = height_ = 0;
    valid_ = false;
}

}  // namespace brennix::gl
