// The help file's path and the HTML Help control's registered location.
// Natively against the in-memory registry, under Wine against the real one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "html_help_key.h"
#include "ui/help_location.h"
#ifndef _WIN32
#include "platform/memory_registry.h"
#endif

namespace quillet {
namespace {

using test::HtmlHelpKeyGuard;

struct PathCase {
  const char* library;
  uint32_t size;
  const char* help;
};

const PathCase kPathCases[] = {
    {"C:\\Program Files\\X\\name.dll", 260, "C:\\Program Files\\X\\name.chm"},
    {"C:\\old.dir\\name", 260, "C:\\old.chm"},
    {"C:\\X\\name.dll.bak", 260, "C:\\X\\name.dll.chm"},
    {"C:\\X\\name.x", 260, "C:\\X\\name.chm"},
    {"C:\\X\\name.", 260, "C:\\X\\name.chm"},
    {"C:\\X\\name.ocxx", 260, "C:\\X\\name.chm"},
    {"C:\\X\\name", 260, "C:\\X\\name"},
    {"", 260, ""},
    // A longer extension than the room left is cut to the buffer.
    {"C:\\a.b", 8, "C:\\a.ch"},
    {"C:\\a.b", 7, "C:\\a.c"},
};

TEST(HelpPathTest, LastDotGetsTheHelpExtension) {
  for (const PathCase& c : kPathCases) {
    std::string buffer(c.size + 8, '#');
    std::memcpy(&buffer[0], c.library, std::strlen(c.library) + 1);
    MakeHelpPath(&buffer[0], c.size);
    EXPECT_STREQ(c.help, buffer.c_str()) << c.library << " in " << c.size << " bytes";
    EXPECT_EQ(std::string(8, '#'), buffer.substr(c.size)) << "wrote past the buffer";
  }
}

class HtmlHelpLocationTest : public ::testing::Test {
 protected:
#ifndef _WIN32
  void SetUp() override { previous_ = SetActiveRegistry(&memory_); }
  void TearDown() override { SetActiveRegistry(previous_); }
  MemoryRegistry memory_;
  RegistryApi* previous_ = nullptr;
#endif
};

// Reads the location into a 260-byte buffer followed by a guard.
bool Location(std::string* text) {
  std::string buffer(kHelpPathSize + 8, '#');
  bool found = GetHtmlHelpLocation(&buffer[0]);
  EXPECT_EQ(std::string(8, '#'), buffer.substr(kHelpPathSize)) << "wrote past the buffer";
  *text = found ? buffer.c_str() : "";
  return found;
}

TEST_F(HtmlHelpLocationTest, RegisteredPathIsRead) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::RegisterPath("C:\\windows\\system32\\hhctrl.ocx");
  std::string text;
  EXPECT_TRUE(Location(&text));
  EXPECT_EQ("C:\\windows\\system32\\hhctrl.ocx", text);
}

TEST_F(HtmlHelpLocationTest, TypeIsNotExamined) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::Register(reg::kBinary, std::string("C:\\bin\\help.ocx") + '\0');
  std::string text;
  EXPECT_TRUE(Location(&text));
  EXPECT_EQ("C:\\bin\\help.ocx", text);
}

TEST_F(HtmlHelpLocationTest, NoValueOrNoKeyGivesFalse) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::RegisterPath("x");
  HtmlHelpKeyGuard::Unregister();
  std::string text;
  EXPECT_FALSE(Location(&text));
#ifndef _WIN32
  // The real key belongs to the system; only the in-memory one is removed.
  memory_.Clear();
  EXPECT_FALSE(Location(&text));
#endif
}

TEST_F(HtmlHelpLocationTest, ValueFillingTheBufferWithoutNulIsNotAPath) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::Register(reg::kBinary, std::string(kHelpPathSize, 'p'));
  std::string text;
  EXPECT_FALSE(Location(&text));
}

TEST_F(HtmlHelpLocationTest, ValueOneShortOfTheBufferWithoutNulIsEnded) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::Register(reg::kBinary, std::string(kHelpPathSize - 1, 'p'));
  std::string text;
  EXPECT_TRUE(Location(&text));
  EXPECT_EQ(std::string(kHelpPathSize - 1, 'p'), text);
}

TEST_F(HtmlHelpLocationTest, ValueLongerThanTheBufferGivesFalse) {
  HtmlHelpKeyGuard guard;
  HtmlHelpKeyGuard::RegisterPath(std::string(kHelpPathSize, 'p'));
  std::string text;
  EXPECT_FALSE(Location(&text));
}

#ifndef _WIN32
TEST_F(HtmlHelpLocationTest, TextWithoutNulFillingTheBufferIsNotReadPast) {
  // Wine always ends REG_SZ data; the in-memory registry keeps it as stored.
  HtmlHelpKeyGuard::Register(reg::kSz, std::string(kHelpPathSize, 'p'));
  std::string text;
  EXPECT_FALSE(Location(&text));
  EXPECT_EQ(0u, memory_.OpenHandleCount());
}

TEST_F(HtmlHelpLocationTest, KeyIsClosedOnEveryPath) {
  HtmlHelpKeyGuard::RegisterPath("C:\\x.ocx");
  std::string text;
  memory_.FailOperation(MemoryRegistry::Operation::Query, reg::kAccessDenied);
  EXPECT_FALSE(Location(&text));
  EXPECT_EQ(0u, memory_.OpenHandleCount());
  EXPECT_TRUE(Location(&text));
  EXPECT_EQ(0u, memory_.OpenHandleCount());
}
#endif

}  // namespace
}  // namespace quillet
