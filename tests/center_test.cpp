#include <gtest/gtest.h>

#include "ui/center.h"

namespace quillet {
namespace {

struct CenterCase {
  const char* what;
  ScreenRect window;
  ScreenRect reference;
  ScreenRect workArea;
  ScreenPoint expected;
};

const ScreenRect kScreen = {0, 0, 1280, 1024};
const ScreenRect kDialog = {500, 400, 926, 740};  // 426 x 340 anywhere

const CenterCase kCases[] = {
    {"centred on the desktop", kDialog, kScreen, kScreen, {427, 342}},
    {"centred on an owner", kDialog, {100, 100, 900, 700}, kScreen, {287, 230}},
    {"odd sums round toward zero", {0, 0, 3, 3}, {0, 0, 10, 10}, kScreen, {3, 3}},
    {"negative sums round toward zero", {0, 0, 10, 10}, {-13, -13, 0, 0}, {-100, -100, 100, 100}, {-11, -11}},
    {"left of the work area goes one pixel inside", kDialog, {-600, 0, 100, 1024}, kScreen, {1, 342}},
    {"right of the work area goes one pixel inside", kDialog, {1000, 0, 1800, 1024}, kScreen, {1280 - 426 - 1, 342}},
    {"above the work area", kDialog, {0, -500, 1280, 100}, kScreen, {427, 1}},
    {"below the work area", kDialog, {0, 900, 1280, 1600}, kScreen, {427, 1024 - 340 - 1}},
    {"a work area not at the origin", kDialog, {-2000, -2000, -1000, -1000}, {40, 30, 1280, 994}, {41, 31}},
    {"touching the left edge is inside", {0, 0, 100, 100}, {0, 0, 100, 100}, kScreen, {0, 0}},
    {"touching the right edge is inside", {0, 0, 100, 100}, {1180, 924, 1280, 1024}, kScreen, {1180, 924}},
    {"one pixel over the right edge", {0, 0, 100, 100}, {1182, 926, 1280, 1024}, kScreen, {1179, 923}},
    {"wider than the work area: only the left test applies", {0, 0, 1400, 100}, kScreen, kScreen, {1, 462}},
    {"wider than the work area from the right", {0, 0, 1400, 100}, {200, 0, 1480, 1024}, kScreen, {-121, 462}},
};

TEST(CenterTest, CentresAndClampsOnePixelInside) {
  for (const CenterCase& c : kCases) {
    ScreenPoint actual = CenteredPosition(c.window, c.reference, c.workArea);
    EXPECT_EQ(c.expected.x, actual.x) << c.what;
    EXPECT_EQ(c.expected.y, actual.y) << c.what;
  }
}

}  // namespace
}  // namespace quillet
