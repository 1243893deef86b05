// The toolbar pictures: every button of the five bars has a drawing of its
// own, so that no two commands share a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "app/KorbelCommands.h"
#include "app/ToolIcons.h"

namespace {

// Pixels that differ clearly between two pictures.
int Difference(const ui::Image& a, const ui::Image& b) {
    int n = 0;
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        const int d = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                      std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
        n += d > 60;
    }
    return n;
}

}  // namespace

TEST(ToolIcons, EveryButtonHasAPictureOfItsOwn) {
    std::vector<int> ids;
    for (const ui::ToolBar& bar : korbel::BuildToolBars()) {
        int buttons = 0;
        for (int id : bar.buttons)
            if (id) {
                ids.push_back(id);
                ++buttons;
            }
        EXPECT_EQ(bar.imageCount, buttons) << bar.name;
        EXPECT_EQ(bar.images.width, buttons * korbel::kToolIconSide) << bar.name;
        EXPECT_TRUE(bar.images.transparent.has_value()) << bar.name;
    }
    ASSERT_EQ(ids.size(), 40u);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size());
    std::vector<ui::Image> pictures;
    const ui::Image blank = korbel::ToolIcon(-1);
    EXPECT_TRUE(blank.Empty());
    for (int id : ids) {
        ui::Image p = korbel::ToolIcon(id);
        ASSERT_EQ(p.width, korbel::kToolIconSide) << id;
        ASSERT_EQ(p.height, korbel::kToolIconSide) << id;
        // A drawing, not an empty face: a good part of the square is inked.
        int drawn = 0;
        for (size_t i = 0; i + 2 < p.rgb.size(); i += 3)
            drawn += ui::Rgb(p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]) != *p.transparent;
        EXPECT_GT(drawn, 120) << id;
        pictures.push_back(std::move(p));
    }
    for (size_t i = 0; i < pictures.size(); ++i)
        for (size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_GT(Difference(pictures[i], pictures[j]), 40) << ids[i] << " and " << ids[j] << " look alike";
}
