// The sketches of the template dialog, drawn in code: one per slab shape
// (0 circular, 1 rectangular with equal spacing, 2 rectangular with general
// spacing) and element type (0 linear 4-noded, 1 quadratic 8-noded,
// 2 quadratic 9-noded). A small mesh of the shape with its element edges in
// grey, corner nodes as black squares, mid-side nodes in red and centre nodes
// in blue, on white.
#pragma once

#include "platform/ui/Types.h"

namespace sketch {

constexpr ui::Color kEdge = ui::Rgb(96, 96, 96);
constexpr ui::Color kCorner = ui::Rgb(0, 0, 0);
constexpr ui::Color kMidSide = ui::Rgb(220, 0, 0);
constexpr ui::Color kCentre = ui::Rgb(0, 0, 220);

// An image of width x height pixels; an unknown shape or type gives a blank
// white image.
ui::Image DrawTemplateSketch(int shape, int elementType, int width, int height);

}  // namespace sketch
