// The engine list that ships beside the library: every mask is one a user
// can choose safely, and the registration's initial mask is in it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/format.h"
#include "settings/engine_list.h"

namespace quillet {
namespace {

// The platform's reader wants backslashes between folders.
const std::string kShippedListPath = [] {
  std::string path = QUILLET_SHIPPED_LIST;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}();
const char* const kShippedList = kShippedListPath.c_str();

// Exactly one "%s"; every other percent sign written as "%%".
bool IsSafeMask(const std::string& mask) {
  int queries = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '%') continue;
    if (i + 1 < mask.size() && mask[i + 1] == '%') {
      ++i;
    } else if (i + 1 < mask.size() && mask[i + 1] == 's') {
      ++queries;
      ++i;
    } else {
      return false;
    }
  }
  return queries == 1;
}

TEST(ShippedListTest, EveryMaskIsASafeSearchUrl) {
  char names[kEngineBufferSize];
  ASSERT_GT(ReadEngineNames(kShippedList, names), 0u);
  int count = 0;
  for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1, ++count) {
    char mask[kEngineBufferSize];
    ASSERT_GT(ReadEngineMask(kShippedList, name, mask), 0u) << name;
    EXPECT_TRUE(IsSafeMask(mask)) << name << ": " << mask;
    EXPECT_TRUE(std::strncmp(mask, "http://", 7) == 0 || std::strncmp(mask, "https://", 8) == 0) << mask;
    char url[kFormatBufferSize];
    ExpandSearchMask(url, sizeof url, mask, TextArg("cats"));
    EXPECT_NE(nullptr, std::strstr(url, "cats")) << name << ": " << url;
    EXPECT_EQ(nullptr, std::strstr(url, "%s")) << name << ": " << url;
  }
  EXPECT_GE(count, 5);
}

TEST(ShippedListTest, HoldsTheInitialMaskUnderBing) {
  char mask[kEngineBufferSize];
  ReadEngineMask(kShippedList, "Bing", mask);
  EXPECT_STREQ("http://www.bing.com/search?q=%s", mask);
}

TEST(ShippedListTest, LiteralPercentSignsExpandOnce) {
  char mask[kEngineBufferSize];
  ASSERT_GT(ReadEngineMask(kShippedList, "Wikipedia via Google", mask), 0u);
  char url[kFormatBufferSize];
  ExpandSearchMask(url, sizeof url, mask, TextArg("cats"));
  EXPECT_STREQ("https://www.google.com/search?q=site%3Awikipedia.org+cats", url);
}

}  // namespace
}  // namespace quillet
