#include "VizTestSupport.h"

#include <array>
#include <filesystem>

#include "platform/gl/BitmapFont.h"
#include "platform/gl/GlIncludes.h"

namespace viztest {

bool LoadFixture(ModelData& model, const std::string& name) {
    return model.ReadModelFile(std::string(BRENNIX_TEST_DATA) + "/viz/" + name, true) == 0;
}

bool LoadExample(ModelData& model, const std::string& name) {
    return model.ReadModelFile(std::string(BRENNIX_TEST_DATA) + "/../../examples/" + name, true) == 0;
}

void SetStepValues(ModelData& model, int step, int column, const std::function<double(double, double)>& value) {
    auto* s = new ResultStep;
    s->stepNumber = step;
    const NodeTable* nodes = model.GetNodeTable();
    for (int i = 0; i < nodes->GetCount(); ++i) {
        std::vector<double> row(26, 0.0);
        row[static_cast<std::size_t>(column)] = value(nodes->GetRow(i)->y, nodes->GetRow(i)->z);
        s->rows.push_back(row);
    }
    s->rowCount = nodes->GetCount();
    s->next = model.resultSteps;
    model.resultSteps = s;
    model.stepCount += 1;
    model.resultsFlag = 1;
    model.resultColumnCount = 26;
    if (model.resultCaptions.empty()) {
        model.resultCaptions.assign(26, "");
        model.resultCaptions[0] = "Disp. X";
    }
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    context_ = brennix::gl::CreateOffscreenContext(width, height);
    if (!context_ || !context_->MakeCurrent()) {
        context_.reset();
        return;
    }
    brennix::gl::BuildBitmapFontLists({14, 700, "Arial"}, 1000, 0, 256);
    glViewport(0, 0, width, height);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    Clear();
    LoadViewMatrices();
}

Canvas::~Canvas() {
    if (context_) context_->Release();
}

void Canvas::LoadViewMatrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-width_ / 2.0, width_ / 2.0, -height_ / 2.0, height_ / 2.0, -100.0 * height_, 100.0 * height_);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90.0f, 0.0f, 0.0f, -1.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glScaled(scale_, scale_, scale_);
    glTranslated(0.0, -centreY_, -centreZ_);
}

void Canvas::ViewModel(const ModelData& model, double scale) {
    scale_ = scale;
    centreY_ = model.centreY;
    centreZ_ = model.centreZ;
    LoadViewMatrices();
}

double Canvas::FitModel(const ModelData& model) {
    const double a = model.extentZ != 0.0 ? (height_ - 50) / model.extentZ : 1.0;
    const double b = model.extentY != 0.0 ? (width_ - 50) / model.extentY : 1.0;
    ViewModel(model, std::min(a, b));
    return scale_;
}

void Canvas::ToWindow(double y, double z, double& wx, double& wy) const {
    wx = width_ / 2.0 + scale_ * (y - centreY_);
    wy = height_ / 2.0 - scale_ * (z - centreZ_);
}

void Canvas::Clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

Feedback Canvas::RecordFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    Feedback f;
    constexpr int kVertex = 7;  // x, y, z, r, g, b, a
    auto color = [&](int at) {
        return std::array<int, 3>{int(buffer[at + 3] * 255 + 0.5f), int(buffer[at + 4] * 255 + 0.5f),
                                  int(buffer[at + 5] * 255 + 0.5f)};
    };
    for (GLint i = 0; i < n;) {
        const int token = static_cast<int>(buffer[i++]);
        switch (token) {
            case GL_POINT_TOKEN:
                ++f.points;
                f.pointVertices.push_back({buffer[i], buffer[i + 1], buffer[i + 2]});
                i += kVertex;
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN: {
                const auto c = color(i);
                f.segments.push_back(
                    {buffer[i], buffer[i + 1], buffer[i + kVertex], buffer[i + kVertex + 1], c[0], c[1], c[2]});
                i += 2 * kVertex;
                break;
            }
            case GL_POLYGON_TOKEN: {
                const int count = static_cast<int>(buffer[i++]);
                if (count == 3) {
                    ++f.triangles;
                    f.triangleColors.push_back(color(i));
                    std::array<float, 9> v{};
                    for (int k = 0; k < 3; ++k)
                        for (int c = 0; c < 3; ++c) v[3 * k + c] = buffer[i + k * kVertex + c];
                    f.triangleVertices.push_back(v);
                } else {
                    ++f.polygons;
                }
                i += count * kVertex;
                break;
            }
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                if (token == GL_BITMAP_TOKEN) ++f.bitmaps;
                i += kVertex;
                break;
            case GL_PASS_THROUGH_TOKEN: i += 1; break;
            default:
                i = n;  // unknown token: stop reading
                break;
        }
    }
    return f;
}

std::vector<unsigned> Canvas::Select(double x, double y, double size, const std::function<void()>& draw) {
    std::vector<GLuint> buffer(1 << 16);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {0, 0, width_, height_};
    gluPickMatrix(x, y, size, size, viewport);
    glOrtho(-width_ / 2.0, width_ / 2.0, -height_ / 2.0, height_ / 2.0, -100.0 * height_, 100.0 * height_);
    glMatrixMode(GL_MODELVIEW);
    draw();
    const GLint hits = glRenderMode(GL_RENDER);
    LoadViewMatrices();
    std::vector<unsigned> names;
    std::size_t at = 0;
    for (GLint h = 0; h < hits; ++h) {
        const GLuint count = buffer[at];
        if (count > 0) names.push_back(buffer[at + 3]);
        at += 3 + count;
    }
    return names;
}

brennix::gl::DibImage Canvas::Read() const {
    glFinish();
    brennix::gl::DibImage image;
    context_->ReadImage(image);
    return image;
}

Rgb PixelAt(const brennix::gl::DibImage& image, int x, int yFromTop) {
    unsigned char px[3];
    image.PixelAt(x, yFromTop, px);
    return {px[0], px[1], px[2]};
}

std::string KeepPicture(const brennix::gl::DibImage& image, const std::string& name) {
    const std::string path = (std::filesystem::current_path() / name).string();
    brennix::gl::WriteBitmapFile(path, brennix::gl::MakeBitmapInfo(image.width, image.height, 1, 24), image);
    return path;
}

}  // namespace viztest
