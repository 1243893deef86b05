// Pictures with a transparent colour on the screen: the picture control and
// the custom drawing of a painter leave the colour out, so the background
// shows through; without a transparent colour every pixel is drawn.
#include <gtest/gtest.h>

#include "XInput.h"
#include "platform/fltk/FltkBackend.h"
#include "platform/ui/UI.h"

namespace {

enum { IDC_OPAQUE = 2101, IDC_CLEAR, IDC_PAINTED };

constexpr ui::Color kRed = ui::Rgb(200, 0, 0);
constexpr ui::Color kGreen = ui::Rgb(0, 255, 0);

// 24 x 24: the left half red, the right half green.
ui::Image HalfAndHalf(std::optional<ui::Color> transparent) {
    ui::Image img;
    img.width = img.height = 24;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const ui::Color c = x < 12 ? kRed : kGreen;
            img.rgb.insert(img.rgb.end(),
                           {static_cast<std::uint8_t>(ui::RedOf(c)), static_cast<std::uint8_t>(ui::GreenOf(c)),
                            static_cast<std::uint8_t>(ui::BlueOf(c))});
        }
    img.transparent = transparent;
    return img;
}

class PaintedPicture : public ui::Drawable {
public:
    void Draw(ui::Painter& p) override {
        const ui::Size s = p.GetSize();
        p.FillSolidRect({0, 0, s.cx, s.cy}, ui::Rgb(0, 0, 255));
        p.DrawImage(HalfAndHalf(kGreen), 0, 0);
    }
};

class Pictures : public ui::Dialog {
public:
    Pictures() : ui::Dialog(961, nullptr) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.id = 961;
        t.caption = "Pictures";
        t.rect = {300, 20, 120, 60};
        t.style |= ui::style::Visible;
        t.PictureBox(IDC_OPAQUE, {4, 4, 30, 30});
        t.PictureBox(IDC_CLEAR, {40, 4, 30, 30});
        t.CustomBox(IDC_PAINTED, {76, 4, 30, 30});
        return t;
    }
};

class FltkPictures : public FltkDisplayTest {};

TEST_F(FltkPictures, TransparentColourLetsTheBackgroundThrough) {
    Pictures dlg;
    PaintedPicture painted;
    ASSERT_TRUE(dlg.Create());
    dlg.Get<ui::Picture>(IDC_OPAQUE)->SetImage(HalfAndHalf(std::nullopt));
    dlg.Get<ui::Picture>(IDC_CLEAR)->SetImage(HalfAndHalf(kGreen));
    dlg.Get<ui::CustomControl>(IDC_PAINTED)->SetDrawable(&painted);
    Fl_Window* win = backend.TopWindowOf(dlg);
    ASSERT_TRUE(win && WaitFor([&] { return win->shown() && win->visible(); }));
    ASSERT_TRUE(Settle());
    const Shot shot = Screenshot(win->x(), win->y(), win->w(), win->h());
    SaveShot(shot, "fltk_pictures.bmp");

    // Counts of red and green pixels inside a control.
    auto count = [&](int id) {
        Fl_Widget* w = backend.WidgetOf(*dlg.GetDlgItem(id));
        std::pair<int, int> redGreen{};
        for (int y = w->y(); y < w->y() + w->h(); ++y)
            for (int x = w->x(); x < w->x() + w->w(); ++x) {
                const unsigned char* p = shot.At(x, y);
                redGreen.first += p[0] == 200 && p[1] == 0 && p[2] == 0;
                redGreen.second += p[0] == 0 && p[1] == 255 && p[2] == 0;
            }
        return redGreen;
    };
    EXPECT_EQ(count(IDC_OPAQUE), std::make_pair(288, 288));
    EXPECT_EQ(count(IDC_CLEAR), std::make_pair(288, 0));
    EXPECT_EQ(count(IDC_PAINTED), std::make_pair(288, 0));
    dlg.DestroyWindow();
}

}  // namespace
