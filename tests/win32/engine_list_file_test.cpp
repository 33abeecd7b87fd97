// The engine list read through the product's own operations, which hand the
// file to the platform's GetPrivateProfileStringA.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/engine_list.h"
#include "temp_file.h"

namespace quillet {
namespace {

using test::TempFile;

// The names walked as the dialog walks them; also checks the list's shape.
std::vector<std::string> Names(const char* path, uint32_t* result = nullptr) {
  std::vector<char> buffer(kEngineBufferSize + 16, '#');
  uint32_t count = ReadEngineNames(path, buffer.data());
  if (result != nullptr) *result = count;
  EXPECT_EQ('#', buffer[kEngineBufferSize]) << "wrote past the buffer";
  EXPECT_LE(count, kEngineBufferSize - 2);
  // Walked to an empty name, the list must end inside the buffer whatever it holds.
  EXPECT_EQ('\0', buffer[count]);
  EXPECT_EQ('\0', buffer[count + 1]);
  std::vector<std::string> names;
  const char* p = buffer.data();
  while (*p != '\0' && p < buffer.data() + kEngineBufferSize) {
    names.emplace_back(p);
    p += std::strlen(p) + 1;
  }
  // The count is the names with their NULs; a cut list counts size - 2,
  // leaving out the last name's NUL.
  const uint32_t walked = static_cast<uint32_t>(p - buffer.data());
  EXPECT_EQ(count == kEngineBufferSize - 2 ? kEngineBufferSize - 1 : count, walked);
  return names;
}

std::string Mask(const char* path, const char* name, uint32_t* result = nullptr) {
  std::vector<char> buffer(kEngineBufferSize + 16, '#');
  uint32_t length = ReadEngineMask(path, name, buffer.data());
  if (result != nullptr) *result = length;
  EXPECT_EQ('#', buffer[kEngineBufferSize]) << "wrote past the buffer";
  EXPECT_EQ(std::strlen(buffer.data()), length);
  return buffer.data();
}

using Strings = std::vector<std::string>;

TEST(EngineListFileTest, NamesInFileOrder) {
  TempFile file("order.ini", "[Engines]\r\nAlpha=http://a.example/?q=%s\r\nBeta=http://b.example/?q=%s\r\n");
  ASSERT_TRUE(file.written());
  EXPECT_EQ((Strings{"Alpha", "Beta"}), Names(file.path()));
  uint32_t length = 0;
  EXPECT_EQ("http://b.example/?q=%s", Mask(file.path(), "Beta", &length));
  EXPECT_EQ(22u, length);
}

TEST(EngineListFileTest, SectionAndKeyNamesIgnoreCase) {
  TempFile file("case.ini", "[engines]\nAlpha=http://a.example/?q=%s\n");
  EXPECT_EQ((Strings{"Alpha"}), Names(file.path()));
  EXPECT_EQ("http://a.example/?q=%s", Mask(file.path(), "alpha"));
  EXPECT_EQ("http://a.example/?q=%s", Mask(file.path(), "ALPHA"));
}

TEST(EngineListFileTest, WhiteSpaceAndQuotesAreDropped) {
  TempFile file("space.ini", "  [Engines]\n\t Alpha \t= \"http://a.example/?q=%s\" \nBeta='b'\nGamma=\"c'\n");
  EXPECT_EQ((Strings{"Alpha", "Beta", "Gamma"}), Names(file.path()));
  EXPECT_EQ("http://a.example/?q=%s", Mask(file.path(), "Alpha"));
  EXPECT_EQ("b", Mask(file.path(), "Beta"));
  EXPECT_EQ("\"c'", Mask(file.path(), "Gamma")) << "unbalanced quotes stay";
}

TEST(EngineListFileTest, EmptyValueIsListedButLooksUpAsZero) {
  TempFile file("empty.ini", "[Engines]\nNothing=\nAlpha=x\n");
  EXPECT_EQ((Strings{"Nothing", "Alpha"}), Names(file.path()));
  uint32_t length = 99;
  EXPECT_EQ("", Mask(file.path(), "Nothing", &length));
  EXPECT_EQ(0u, length);
}

TEST(EngineListFileTest, AbsentNameLooksUpAsZero) {
  TempFile file("absent.ini", "[Engines]\nAlpha=x\n[Other]\nBeta=y\n");
  uint32_t length = 99;
  EXPECT_EQ("", Mask(file.path(), "Beta", &length));
  EXPECT_EQ(0u, length);
}

TEST(EngineListFileTest, MissingFileSectionOrNamesGiveNothing) {
  TempFile noSection("nosection.ini", "[Other]\nAlpha=x\n");
  TempFile emptySection("emptysection.ini", "[Engines]\n\n[Other]\nAlpha=x\n");
  TempFile emptyFile("emptyfile.ini", "");
  const std::string missing = test::TempFilePath("missing.ini");
  for (const char* path : {noSection.path(), emptySection.path(), emptyFile.path(), missing.c_str()}) {
    uint32_t count = 99;
    EXPECT_EQ(Strings{}, Names(path, &count)) << path;
    EXPECT_EQ(0u, count) << path;
    uint32_t length = 99;
    EXPECT_EQ("", Mask(path, "Alpha", &length)) << path;
    EXPECT_EQ(0u, length) << path;
  }
}

TEST(EngineListFileTest, NamesBeyondTheBufferAreCut) {
  // 50 names of 99 characters take 5000 bytes with their NULs.
  std::string text = "[Engines]\n";
  for (int i = 0; i < 50; ++i) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "E%02d", i);
    text += prefix + std::string(96, 'n') + "=m\n";
  }
  TempFile file("many.ini", text);
  uint32_t count = 0;
  Strings names = Names(file.path(), &count);
  EXPECT_EQ(kEngineBufferSize - 2, count);
  ASSERT_EQ(41u, names.size());  // 40 whole names take 4000 bytes
  EXPECT_EQ(99u, names[39].size());
  EXPECT_EQ("E40" + std::string(91, 'n'), names[40]) << "the last name placed is shortened";
}

TEST(EngineListFileTest, LongMaskIsCutTo4095Characters) {
  const std::string mask = "http://long.example/?q=%s&pad=" + std::string(5000, 'p');
  TempFile file("longmask.ini", "[Engines]\nLong=" + mask + "\n");
  uint32_t length = 0;
  EXPECT_EQ(mask.substr(0, 4095), Mask(file.path(), "Long", &length));
  EXPECT_EQ(4095u, length);
}

// A NUL inside a line ends the name, value or section name it falls in; white
// space around them is dropped before that, quotes after.
TEST(EngineListFileTest, NulInALineEndsItsNameOrValue) {
  const struct {
    std::string text;
    Strings names;
    const char* key;
    const char* mask;
  } cases[] = {
      {std::string("[Engines]\nAlpha=x\0\x03y\nBeta=b\n", 26), {"Alpha", "Beta"}, "Alpha", "x"},
      {std::string("[Engines]\nAl\0pha=x\nBeta=b\n", 26), {"Al", "Beta"}, "Al", "x"},
      {std::string("[Engines]\nA=\"x\0\"\nB=\"y\" \0z\n", 26), {"A", "B"}, "A", "\"x"},
      {std::string("[Engines]\nA=\"x\0\"\nB=\"y\" \0z\n", 26), {"A", "B"}, "B", "\"y\" "},
      {std::string("[Engines]\nA= x \0 \nB=2\n", 22), {"A", "B"}, "A", "x "},
      {std::string("[Engines]\nA \0=1\nB=2\n", 20), {"A ", "B"}, "A", ""},
      {std::string("[Engines]\n\0A=1\nB=2\n", 19), {}, "A", ""},
      {std::string("[Eng\0ines]\nA=1\n[Eng]\nB=2\n", 25), {}, "A", ""},
  };
  for (const auto& c : cases) {
    TempFile file("nul.ini", c.text);
    ASSERT_TRUE(file.written());
    EXPECT_EQ(c.names, Names(file.path())) << c.key << " in " << ::testing::PrintToString(c.text);
    EXPECT_EQ(c.mask, Mask(file.path(), c.key)) << c.key << " in " << ::testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace quillet

