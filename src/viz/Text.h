#pragma once
// The one routine through which every text of the picture is drawn: a raster
// position, then one call of the view's bitmap-font display lists per byte
// (list base 1000).
//
// Tests record what is drawn with a TextRecorder: while one exists on the
// thread, each text is also appended to it with its position, the window
// raster position GL computed and the current colour.

#include <string>
#include <vector>

namespace viz {

constexpr unsigned kFontListBase = 1000;

// Sets the raster position to (x, y, z) and draws the text there.
void DrawText(const std::string& text, double x, double y, double z);

struct RecordedText {
    std::string text;
    double x = 0.0, y = 0.0, z = 0.0;      // position as given
    float windowX = 0.0f, windowY = 0.0f;  // raster position in window pixels
    bool valid = false;                    // the raster position was inside the window
    int r = 0, g = 0, b = 0;               // current colour, 0..255
};

// Records every text drawn on this thread while it lives; recorders nest
// (the innermost records).
class TextRecorder {
public:
    TextRecorder();
    ~TextRecorder();
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;

    const std::vector<RecordedText>& Texts() const { return texts_; }
    void Clear() { texts_.clear(); }

private:
    friend void DrawText(const std::string&, double, double, double);
    std::vector<RecordedText> texts_;
    TextRecorder* outer_ = nullptr;
};

}  // namespace viz
