#pragma once
// An off-screen OpenGL canvas for the drawing tests: the view's projection
// and base orientation, feedback and selection passes, pixels and the
// bitmap-font lists at 1000.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "platform/gl/DibImage.h"
#include "platform/gl/OffscreenContext.h"

namespace viztest {

// Reads tests/data/viz/<name> into the model; false on a read error.
bool LoadFixture(ModelData& model, const std::string& name);
// Reads examples/<name>.
bool LoadExample(ModelData& model, const std::string& name);

// One step of every node: column values as a function of the node's y and z
// (the other columns 0), as the step results would hold them.
void SetStepValues(ModelData& model, int step, int column, const std::function<double(double y, double z)>& value);

struct Segment {
    float x1, y1, x2, y2;  // window coordinates
    int r, g, b;           // colour of the first vertex
};

struct Feedback {
    int triangles = 0;
    int polygons = 0;  // polygons of other vertex counts
    int points = 0;
    int bitmaps = 0;
    std::vector<Segment> segments;
    std::vector<std::array<int, 3>> triangleColors;
    // Window x, y, z of every point and of the three vertices of every
    // triangle.
    std::vector<std::array<float, 3>> pointVertices;
    std::vector<std::array<float, 9>> triangleVertices;
};

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Ok() const { return context_ != nullptr; }

    // Projection of the view (one unit per pixel about the window centre)
    // and its base orientation (model y to the right, z downwards), scaled
    // by `scale` about the model's bounding-box centre.
    void ViewModel(const ModelData& model, double scale);
    // The same with the model filling the window less 50 pixels.
    double FitModel(const ModelData& model);
    // Window pixel (from the left, from the bottom) of model point (y, z).
    void ToWindow(double y, double z, double& wx, double& wy) const;

    void Clear();
    Feedback RecordFeedback(const std::function<void()>& draw);
    // First names of the hits of a selection pass over a square of `size`
    // pixels about window pixel (x, y from the bottom).
    std::vector<unsigned> Select(double x, double y, double size, const std::function<void()>& draw);
    brennix::gl::DibImage Read() const;

private:
    void LoadViewMatrices();

    std::unique_ptr<brennix::gl::OffscreenContext> context_;
    int width_, height_;
    double scale_ = 1.0, centreY_ = 0.0, centreZ_ = 0.0;
};

// Pixel at (x, y from the top) of the image.
struct Rgb {
    int r, g, b;
};
Rgb PixelAt(const brennix::gl::DibImage& image, int x, int yFromTop);

// Writes the image as a ".bmp" test artefact in the current folder and
// returns its path.
std::string KeepPicture(const brennix::gl::DibImage& image, const std::string& name);

}  // namespace viztest
