#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "../settings_fixture.h"
#include "browser/address_edit.h"
#include "address_bar_cases.h"
#include "edit_box.h"
#include "precondition.h"

// Counts every allocation through operator new in this program, so a test
// can show that Enter allocates nothing.
static std::atomic<long> allocations{0};
void* operator new(size_t size) {
  ++allocations;
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) std::abort();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace quillet {
namespace {

using test::SettingsTest;
using test::SubclassedEditBox;

::testing::Environment* const codePage = test::RequireBeforeAnyTest(test::WrongCodePage);

class AddressEditTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    WriteSetting(kSearchMaskName, test::kAddressBarCaseMask);
    ASSERT_NE(nullptr, box_.window()) << "no edit box: is there a display?";
  }
  SubclassedEditBox box_;
};

TEST_F(AddressEditTest, EnterRewritesBeforeThePreviousProcedureSeesIt) {
  for (const auto& c : test::kAddressBarCases) {
    box_.SetText(c.typed);
    box_.PressEnter();
    const auto seen = SubclassedEditBox::recorded;  // before Text() adds its own WM_GETTEXT
    EXPECT_EQ(c.bar, box_.Text()) << c.typed;
    ASSERT_FALSE(seen.empty()) << c.typed;
    const auto& last = seen.back();
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), last.message);
    EXPECT_EQ(static_cast<WPARAM>(VK_RETURN), last.wParam);
    EXPECT_EQ(static_cast<LPARAM>(0x001C0001), last.lParam);
    EXPECT_EQ(c.bar, last.textAtArrival) << "the previous procedure must see the rewritten text";
  }
}

TEST_F(AddressEditTest, UnchangedTextIsNotSetAgain) {
  box_.SetText("example.com");
  box_.PressEnter();
  for (const auto& seen : SubclassedEditBox::recorded) {
    EXPECT_NE(static_cast<UINT>(WM_SETTEXT), seen.message) << "unchanged text must not be set again";
  }
  EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), SubclassedEditBox::recorded.back().message);
}

TEST_F(AddressEditTest, EveryMessageReachesThePreviousProcedureUnchanged) {
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {
      {WM_CHAR, 'a', 0x1E0001},
      {WM_KEYDOWN, 'A', 0x1E0001},
      {WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001)},
      {WM_KEYDOWN, VK_RETURN, 0x401C0001},  // auto-repeat of a held Enter
      {SubclassedEditBox::kEchoMessage, static_cast<WPARAM>(-1), static_cast<LPARAM>(0x7FFFFFFF)},
  };
  box_.SetText("example.com");
  for (const auto& c : cases) {
    SubclassedEditBox::recorded.clear();
    LRESULT result = SendMessageA(box_.window(), c.message, c.wParam, c.lParam);
    // Enter also makes AddressEditProc read the text first; the message
    // itself must arrive once, last, with its parameters as sent.
    int arrivals = 0;
    for (const auto& seen : SubclassedEditBox::recorded) {
      if (seen.message == c.message) ++arrivals;
    }
    EXPECT_EQ(1, arrivals) << std::hex << c.message;
    ASSERT_FALSE(SubclassedEditBox::recorded.empty());
    EXPECT_EQ(c.message, SubclassedEditBox::recorded.back().message);
    EXPECT_EQ(c.wParam, SubclassedEditBox::recorded.back().wParam);
    EXPECT_EQ(c.lParam, SubclassedEditBox::recorded.back().lParam);
    if (c.message == SubclassedEditBox::kEchoMessage) {
      EXPECT_EQ(SubclassedEditBox::kEchoResult, result) << "the previous procedure's result comes back";
    }
  }
}

TEST_F(AddressEditTest, BoxLongerThan4095Characters) {
  std::string longSearch(5000, 'a');
  box_.SetText(longSearch);
  ASSERT_EQ(5000, GetWindowTextLengthA(box_.window()));
  box_.PressEnter();
  const std::string mask = test::kAddressBarCaseMask;
  std::string expected = (mask.substr(0, mask.size() - 2) + std::string(4095, 'a')).substr(0, 1023);
  EXPECT_EQ(expected, box_.Text());

  std::string longAddress = "x." + std::string(4998, 'b');
  box_.SetText(longAddress);
  box_.PressEnter();
  EXPECT_EQ(longAddress, box_.Text()) << "unchanged text must leave the box alone";
}

TEST_F(SettingsTest, EnterAllocatesNothing) {
  WriteSetting(kSearchMaskName, test::kAddressBarCaseMask);
  SubclassedEditBox box(false);
  ASSERT_NE(nullptr, box.window());
  for (const auto& c : test::kAddressBarCases) {
    box.SetText(c.typed);
    long before = allocations.load();
    box.PressEnter();
    EXPECT_EQ(0, allocations.load() - before) << c.typed;
  }
}

TEST(AddressEditProcAlone, WithoutAPreviousProcedureFallsBackToTheDefault) {
  HWND window = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  ASSERT_EQ(nullptr, PreviousEditProc(window));
  EXPECT_EQ(DefWindowProcA(window, WM_USER + 1, 1, 2), AddressEditProc(window, WM_USER + 1, 1, 2));
  DestroyWindow(window);
}

}  // namespace
}  // namespace quillet
