// Our initialization-file reader against the platform's GetPrivateProfileStringA
// on the same awkward files: every result and every byte of the buffer must agree.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/profile_reader.h"
#include "temp_file.h"

namespace quillet {
namespace {

struct FileCase {
  const char* name;
  std::string text;
};

std::string Repeat(char c, size_t count) { return std::string(count, c); }

// Names that with their NULs take `total` bytes in all.
std::string NamesTaking(size_t total) {
  std::string text = "[Engines]\n";
  size_t used = 0;
  for (int i = 0; used < total; ++i) {
    size_t length = total - used >= 101 ? 100 : total - used - 1;
    if (length == 0) length = 1;
    std::string name = "N" + std::to_string(i);
    name += Repeat('x', length > name.size() ? length - name.size() : 0);
    text += name + "=v\n";
    used += name.size() + 1;
  }
  return text;
}

std::vector<FileCase> AwkwardFiles() {
  return {
      {"crlf", "[Engines]\r\nAlpha=http://a/?q=%s\r\nBeta=http://b/?q=%s\r\n"},
      {"lf", "[Engines]\nAlpha=http://a/?q=%s\nBeta=http://b/?q=%s"},
      {"cr", "[Engines]\rAlpha=1\rBeta=2\r"},
      {"mixed_endings", "[Engines]\n\r\n\rAlpha=1\r\n\r\nBeta=2\n\n"},
      {"comments", "; top\r\n[Engines]\r\n;Hidden=x\r\nAlpha=1\r\n  ; indented=2\r\n#hash=3\r\nBeta=4 ; not a comment\r\n"},
      {"no_equals", "[Engines]\nNoEquals\nAlpha=1\n   lone   \n"},
      {"duplicate_keys", "[Engines]\nAlpha=1\nalpha=2\nALPHA=3\nBeta=4\n"},
      {"duplicate_sections", "[Engines]\nA=1\n[Other]\nX=9\n[Engines]\nB=2\nA=5\n"},
      {"section_case", "[engines]\nA=1\n[ENGINES]\nB=2\n"},
      {"engines_twice_empty_first", "[Engines]\n[Engines]\nA=1\n"},
      {"quotes",
       "[Engines]\nD=\"dq\"\nS='sq'\nU=\"unbalanced\nM='mixed\"\nE=\"\"\nQ=\"\nQS='\nI=a\"b\"\n"
       "T= \" spaced \" \nN=\"\"\"\"\nK='it''s'\n"},
      {"quoted_names", "[Engines]\n\"Quoted\"=1\n'Single'=2\n"},
      {"blanks", "  [Engines]  \n\n\t Alpha \t=\t value with space \t\n =nokey\nx =\n  y=  \n"},
      {"empty_values", "[Engines]\nEmpty=\nAlso= \nThird=\t\n"},
      {"header_shapes", "[ Engines ]\nA=1\n[Engines] ; note\nB=2\n"},
      {"header_unclosed", "[Engines\nA=1\n[Engines]x]\nB=2\n[Engines]\nC=3\n"},
      {"header_empty", "[]\nA=1\n[Engines]\nB=2\n"},
      {"before_any_section", "Loose=1\n[Engines]\nA=2\n"},
      {"equals_in_value", "[Engines]\nA=http://a/?q=%s&x=1==2\n==\n= =\n"},
      {"empty_names", "[Engines]\nA=1\n=x\n=y\nB=2\n==\n;c\n= =\nnoeq\n=\n"},
      {"empty_name_first", "[Engines]\n=x\nA=1\n"},
      {"empty_name_after_comment", "[Engines]\n;c\n=x\nA=1\n"},
      {"empty_name_alone", "[Other]\nQ=1\n[Engines]\n=x\n"},
      {"control_spaces", "[Engines]\n\x1A" "A\x1A=\x1A" "1\x1A\n\vB\f=\f2\n"},
      {"cyrillic", "[Engines]\n\xDF\xED\xE4\xE5\xEA\xF1=http://yandex.ru/yandsearch?text=%s\n\xFF=\xC0\n"},
      {"empty_file", ""},
      {"no_section", "[Other]\nA=1\n"},
      {"long_value_5000", "[Engines]\nLong=" + Repeat('v', 5000) + "\nAfter=1\n"},
      {"long_value_4095", "[Engines]\nL=" + Repeat('v', 4095) + "\n"},
      {"long_value_4096", "[Engines]\nL=" + Repeat('v', 4096) + "\n"},
      {"long_value_4097", "[Engines]\nL=" + Repeat('v', 4097) + "\n"},
      {"long_quoted_4094", "[Engines]\nL=\"" + Repeat('v', 4094) + "\"\n"},
      {"long_quoted_4095", "[Engines]\nL=\"" + Repeat('v', 4095) + "\"\n"},
      {"long_quoted_4096", "[Engines]\nL=\"" + Repeat('v', 4096) + "\"\n"},
      {"long_name", "[Engines]\n" + Repeat('k', 5000) + "=1\nAfter=2\n"},
      {"names_4094", NamesTaking(4094)},
      {"names_4095", NamesTaking(4095)},
      {"names_4096", NamesTaking(4096)},
      {"names_4097", NamesTaking(4097)},
      {"names_5000", NamesTaking(5000)},
  };
}

struct Result {
  uint32_t count;
  std::string bytes;  // the whole buffer and a guard
};

constexpr char kFill = '#';

Result Platform(const char* path, const char* key, uint32_t size) {
  std::string buffer(size + 8, kFill);
  uint32_t count = GetPrivateProfileStringA("Engines", key, "", &buffer[0], size, path);
  return {count, buffer};
}

Result Ours(const std::string& text, const char* key, uint32_t size) {
  std::string buffer(size + 8, kFill);
  uint32_t count = ReadProfileText(text.data(), text.size(), "Engines", key, "", &buffer[0], size);
  return {count, buffer};
}

std::string Shown(const std::string& bytes) {
  std::string shown;
  for (unsigned char c : bytes.substr(0, 120)) {
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      shown += escape;
    }
  }
  return shown;
}

void ExpectSame(const Result& platform, const Result& ours, const std::string& what) {
  EXPECT_EQ(platform.count, ours.count) << what;
  if (platform.bytes != ours.bytes) {
    size_t at = 0;
    while (at < platform.bytes.size() && platform.bytes[at] == ours.bytes[at]) ++at;
    ADD_FAILURE() << what << ": buffers differ at byte " << at << "\n  platform: " << Shown(platform.bytes.substr(at))
                  << "\n  ours:     " << Shown(ours.bytes.substr(at));
  }
}

std::vector<std::string> ListedNames(const Result& list) {
  std::vector<std::string> names;
  for (size_t at = 0; at < list.bytes.size() && list.bytes[at] != '\0' && list.bytes[at] != kFill;) {
    std::string name = list.bytes.c_str() + at;
    names.push_back(name);
    at += name.size() + 1;
  }
  return names;
}

class ProfileReaderDiffTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(ProfileReaderDiffTest, SameAsThePlatform) {
  const FileCase& file = GetParam();
  // A fresh name per case: the platform caches files by name and time.
  test::TempFile written(std::string("diff_") + file.name + ".ini", file.text);
  ASSERT_TRUE(written.written());

  for (uint32_t size : {4096u, 2u, 3u, 4u, 5u, 8u, 16u, 101u, 4095u}) {
    ExpectSame(Platform(written.path(), nullptr, size), Ours(file.text, nullptr, size),
               "names with size " + std::to_string(size));
  }
  std::vector<std::string> keys = ListedNames(Ours(file.text, nullptr, 8192));
  for (const char* extra : {"alpha", "ALPHA", "Missing", ";Hidden", "NoEquals", "lone", " Alpha ", "", "x", "y",
                            "Beta", "A", "B", "C", "\"Quoted\"", "Quoted", "#hash", "Loose", "\xFF", "\xDF"}) {
    keys.push_back(extra);
  }
  for (const std::string& key : keys) {
    for (uint32_t size : {4096u, 1u, 2u, 3u, 6u}) {
      ExpectSame(Platform(written.path(), key.c_str(), size), Ours(file.text, key.c_str(), size),
                 "key \"" + Shown(key) + "\" with size " + std::to_string(size));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AwkwardFiles, ProfileReaderDiffTest, ::testing::ValuesIn(AwkwardFiles()),
                         [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST(ProfileReaderMissingFileTest, SameAsThePlatform) {
  const std::string path = test::TempFilePath("no_such_file.ini");
  for (uint32_t size : {4096u, 2u, 3u}) {
    ExpectSame(Platform(path.c_str(), nullptr, size), Ours("", nullptr, size), "names");
    ExpectSame(Platform(path.c_str(), "A", size), Ours("", "A", size), "key");
  }
}

}  // namespace
}  // namespace quillet
