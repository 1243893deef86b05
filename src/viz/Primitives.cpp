// The primitives shared by the element, contour and symbol drawing.

#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/Scene.h"

namespace viz {

void DrawLine(double x1, double y1, double z1, double x2, double y2, double z2) {
    glBegin(GL_LINES);
    glVertex3d(x1, y1, z1);
    glVertex3d(x2, y2, z2);
    glEnd();
}

void DrawPoint(double x, double y, double z, float size) {
    glEnable(GL_POINT_SMOOTH);
    glPointSize(size);
    glBegin(GL_POINTS);
    glVertex3d(x, y, z);
    glEnd();
    glDisable(GL_POINT_SMOOTH);
}

void DrawTriangle(const float* x, const float* y, const float* z) {
    float normal[3];
    ComputeFaceNormal(x, y, z, normal);
    glNormal3fv(normal);
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) glVertex3f(x[k], y[k], z[k]);
    glEnd();
}

void SetColor(int r, int g, int b) {
    glColor3ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b));
}

void SetColorWord(std::uint32_t color, float alpha) {
    glColor4f((color & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, ((color >> 16) & 0xFF) / 255.0f, alpha);
}

}  // namespace viz
