#include "ui/center.h"

namespace quillet {
namespace {

// One axis: centre, then clamp one pixel inside [low, high]. Only one of the
// two tests applies, so a window larger than the area keeps the first.
int32_t CenterOnAxis(int32_t extent, int32_t referenceLow, int32_t referenceHigh, int32_t low, int32_t high) {
  int32_t position = (referenceLow + referenceHigh - extent) / 2;  // rounds toward zero
  if (position < low) {
    position = low + 1;
  } else if (position + extent > high) {
    position = high - extent - 1;
  }
  return position;
}

}  // namespace

ScreenPoint CenteredPosition(const ScreenRect& window, const ScreenRect& reference, const ScreenRect& workArea) {
  const int32_t width = window.right - window.left;
  const int32_t height = window.bottom - window.top;
  return {CenterOnAxis(width, reference.left, reference.right, workArea.left, workArea.right),
          CenterOnAxis(height, reference.top, reference.bottom, workArea.top, workArea.bottom)};
}

}  // namespace quillet
