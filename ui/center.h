// Where the options dialog goes: centred on its reference window, then kept
// one pixel inside the work area. Screen pixels throughout.
#pragma once

#include <cstdint>

namespace quillet {

struct ScreenRect {
  int32_t left, top, right, bottom;
};

struct ScreenPoint {
  int32_t x, y;
};

// The top-left corner for a window the size of `window`, centred on
// `reference` and clamped into `workArea`.
ScreenPoint CenteredPosition(const ScreenRect& window, const ScreenRect& reference, const ScreenRect& workArea);

}  // namespace quillet
