#include "viz/Text.h"

#include "platform/gl/BitmapFont.h"
#include "platform/gl/GlIncludes.h"

namespace viz {

namespace {
thread_local TextRecorder* activeRecorder = nullptr;

int ColorByte(float c) { return static_cast<int>(c * 255.0f + 0.5f); }
}  // namespace

TextRecorder::TextRecorder() : outer_(activeRecorder) { activeRecorder = this; }

TextRecorder::~TextRecorder() { activeRecorder = outer_; }

void DrawText(const std::string& text, double x, double y, double z) {
    glRasterPos3d(x, y, z);
    if (activeRecorder) {
        RecordedText t;
        t.text = text;
        t.x = x;
        t.y = y;
        t.z = z;
        GLfloat position[4] = {};
        GLfloat color[4] = {};
        GLboolean valid = GL_FALSE;
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
        glGetFloatv(GL_CURRENT_COLOR, color);
        t.windowX = position[0];
        t.windowY = position[1];
        t.valid = valid == GL_TRUE;
        t.r = ColorByte(color[0]);
        t.g = ColorByte(color[1]);
        t.b = ColorByte(color[2]);
        activeRecorder->texts_.push_back(std::move(t));
    }
    brennix::gl::DrawBitmapText(text, kFontListBase);
}

}  // namespace viz
