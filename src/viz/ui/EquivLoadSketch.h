// The sketches of the equivalent concentrated loads dialog, drawn in code:
// a circular slab seen from above with the y axis to the right and the z axis
// downwards, and one dashed ring of points (radius ri, count ni, angle fi
// from the y axis to the first point) or an inner and an outer ring (ri, ni,
// fi and re, ne, fe). The inner ring is blue, the outer red, the slab and
// the axes dark grey, on white.
#pragma once

#include "platform/ui/Types.h"

namespace equivsketch {

constexpr ui::Color kSlab = ui::Rgb(96, 96, 96);
constexpr ui::Color kInnerRing = ui::Rgb(0, 0, 200);
constexpr ui::Color kOuterRing = ui::Rgb(200, 0, 0);

// An image of width x height pixels: the one-ring sketch, or with twoRings
// the two-ring sketch.
ui::Image DrawRingSketch(bool twoRings, int width, int height);
// The dialog's small icon: a slab with a ring of points on it.
ui::Image DrawIcon(int width, int height);

}  // namespace equivsketch
