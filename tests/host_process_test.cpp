#include <gtest/gtest.h>

#include <string>

#include "browser/host_process.h"

namespace quillet {
namespace {

TEST(IsBrowserExecutable, NameAnywhereInThePathAnyAsciiCase) {
  const struct {
    const char* path;
    bool browser;
  } cases[] = {
      {"C:\\Program Files\\Internet Explorer\\iexplore.exe", true},
      {"C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE", true},
      {"C:\\x\\iexplore.exe.bak\\host.exe", true},
      {"C:\\x\\myiexplore.exe", true},
      {"C:\\x\\iexplore.com", false},
      {"C:\\x\\iexplore2.exe", false},
      {"C:\\Windows\\explorer.exe", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.browser, IsBrowserExecutable(c.path)) << c.path;
}

TEST(IsBrowserExecutable, OnlyThePathLengthThePlatformGivesIsRead) {
  std::string longPath(300, 'x');
  EXPECT_FALSE(IsBrowserExecutable((longPath + "iexplore.exe").c_str()));
  EXPECT_TRUE(IsBrowserExecutable((std::string(247, 'x') + "iexplore.exe").c_str()));
  EXPECT_FALSE(IsBrowserExecutable((std::string(248, 'x') + "iexplore.exe").c_str()));
}

}  // namespace
}  // namespace quillet
