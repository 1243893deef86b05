// The toolbar pictures: one drawing per command, 32 x 32 pixels, in one
// style (dark outlines on the button face, blue for the slab and its mesh,
// red for loads, green for supports and springs).
#pragma once

#include <vector>

#include "platform/ui/Types.h"

namespace korbel {

constexpr int kToolIconSide = 32;

// The picture of a toolbar command; an empty picture for a command that
// has none.
ui::Image ToolIcon(int commandId);

// The pictures of a bar's buttons side by side, separators (0) left out.
ui::Image ToolIconStrip(const std::vector<int>& buttons);

}  // namespace korbel
