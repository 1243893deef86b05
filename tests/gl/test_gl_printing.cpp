#include <gtest/gtest.h>

#include "platform/gl/Printing.h"

using namespace brennix::gl;

TEST(PlaceOnPage, StartsAtTheMarginsCornerAndKeepsTheAspectRatio) {
    const struct {
        PrinterCaps caps;
        int left, top, right, bottom, iw, ih;
        PrintPlacement expect;
    } cases[] = {
        // 600 dpi, 1-inch margins, offsets 100/120: width limits a 2:1 picture.
        {{600, 600, 100, 120, 4800, 6400}, 1000, 1000, 1000, 1000, 200, 100, {500, 480, 3800, 1900}},
        // A tall picture is limited by the height.
        {{600, 600, 0, 0, 4800, 6400}, 1000, 1000, 1000, 1000, 100, 400, {600, 600, 1300, 5200}},
        // Margins inside the unprintable edge count as the edge.
        {{300, 300, 90, 60, 2400, 3200}, 100, 100, 100, 100, 50, 50, {0, 0, 2400, 2400}},
        // Different resolutions across and down.
        {{600, 300, 0, 0, 4800, 3200}, 500, 1000, 500, 1000, 100, 100, {300, 300, 2600, 2600}},
    };
    for (const auto& c : cases) {
        const PrintPlacement p = PlaceOnPage(c.caps, c.left, c.top, c.right, c.bottom, c.iw, c.ih);
        EXPECT_EQ(p.x, c.expect.x);
        EXPECT_EQ(p.y, c.expect.y);
        EXPECT_EQ(p.w, c.expect.w);
        EXPECT_EQ(p.h, c.expect.h);
    }
}

TEST(PlaceOnPage, APictureLargerThanThePageStaysInsideTheMargins) {
    // 72 dpi, printable 500 x 700, picture 1200 x 1000 (wider than the page).
    const PrinterCaps caps{72, 72, 0, 0, 500, 700};
    const PrintPlacement p = PlaceOnPage(caps, 1000, 1000, 1000, 1000, 1200, 1000);
    EXPECT_EQ(p.x, 72);
    EXPECT_EQ(p.y, 72);
    EXPECT_LE(p.x + p.w, 500 - 72);
    EXPECT_LE(p.y + p.h, 700 - 72);
    EXPECT_EQ(p.w, 356);
    EXPECT_EQ(p.h, 296);
}

TEST(PlaceOnPage, MarginsWiderThanThePageGiveAnEmptyRectangle) {
    const PrinterCaps caps{100, 100, 0, 0, 300, 300};
    const PrintPlacement p = PlaceOnPage(caps, 2000, 2000, 2000, 2000, 10, 10);
    EXPECT_EQ(p.w, 0);
    EXPECT_EQ(p.h, 0);
}
