// The engine list's own logic, in both builds: where the list file lies and
// how the names the platform's reader left are ended.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/engine_list.h"

namespace quillet {
namespace {

TEST(EngineListTest, ListPathReplacesTheLastThreeCharacters) {
  struct Case {
    const char* library;
    const char* list;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Kestrowe\\quillet.dll", "C:\\Program Files\\Kestrowe\\quillet.ini"},
      {"C:\\X\\name.ocx", "C:\\X\\name.ini"},
      {"C:\\X\\name.tlbx", "C:\\X\\name.tini"},  // not an extension rule
      {"C:\\X\\name", "C:\\X\\nini"},
      {"abc", "ini"},
      {"ab", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    std::strcpy(buffer, c.library);
    MakeEngineListPath(buffer);
    EXPECT_STREQ(c.list, buffer) << c.library;
  }
}

TEST(EngineListTest, ListPathLiesBesideTheModule) {
  char path[kEngineBufferSize];
  std::memset(path, '#', sizeof path);
  GetEngineListPath(path, sizeof path);
  std::string text = path;
  ASSERT_GT(text.size(), 4u);
#ifdef _WIN32
  EXPECT_EQ("\\engine_list_test.ini", text.substr(text.size() - 21)) << text;
#else
  EXPECT_EQ("/engine_list_tini", text.substr(text.size() - 17)) << text;
#endif
}

TEST(EngineListTest, ListPathNeverOverrunsASmallBuffer) {
  char path[8 + 4];
  std::memset(path, '#', sizeof path);
  GetEngineListPath(path, 8);
  EXPECT_LT(std::strlen(path), 8u);
  EXPECT_EQ('#', path[8]);
}

// The platform's reader ends a list with one NUL, or cuts a full one and
// leaves the last byte as it was; the names must end with two NULs inside.
TEST(EngineListTest, EndedNamesStopAtTwoNulsInsideTheBuffer) {
  const struct {
    uint32_t placed;
    uint32_t count;
  } cases[] = {{0, 0}, {4, 4}, {kEngineBufferSize - 3, kEngineBufferSize - 3},
               {kEngineBufferSize - 2, kEngineBufferSize - 2}, {kEngineBufferSize - 1, kEngineBufferSize - 2},
               {kEngineBufferSize, kEngineBufferSize - 2}, {70000, kEngineBufferSize - 2}};
  for (const auto& c : cases) {
    std::vector<char> buffer(kEngineBufferSize + 1, 'n');
    EXPECT_EQ(c.count, EndEngineNames(buffer.data(), c.placed)) << c.placed;
    EXPECT_EQ(std::string(c.count, 'n'), std::string(buffer.data(), c.count)) << "names placed are kept";
    EXPECT_EQ('\0', buffer[c.count]) << c.placed;
    EXPECT_EQ('\0', buffer[c.count + 1]) << c.placed;
    const size_t after = kEngineBufferSize + 1 - (c.count + 2);
    EXPECT_EQ(std::string(after, 'n'), std::string(buffer.data() + c.count + 2, after))
        << "nothing else written, " << c.placed;
  }
}

}  // namespace
}  // namespace quillet
