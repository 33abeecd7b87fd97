#include <string>

#include "settings_fixture.h"

namespace quillet {
namespace {

using test::SettingsTest;
using test::StoreRawSetting;
using test::StoreTextSetting;
using test::StoredBytes;

std::string ReadText(const char* name, uint32_t size, const char* defaultText = "") {
  std::string buffer(size + 8, '#');
  ReadSetting(name, &buffer[0], size, defaultText);
  EXPECT_EQ('#', buffer[size]) << "read past the buffer";
  return buffer.c_str();
}

TEST_F(SettingsTest, NoKeyGivesTheDefaults) {
  EXPECT_EQ("", ReadText(kSearchMaskName, 1024));
  EXPECT_EQ("dflt", ReadText(kSearchMaskName, 1024, "dflt"));
  EXPECT_EQ(1, ReadIntSetting(kSpellingWwName, 1));
  EXPECT_EQ(1, ReadIntSetting(kSpellingWwwwName, 1));
  EXPECT_EQ(1, ReadIntSetting(kSpellingCyrillicName, 1));
  EXPECT_EQ(-7, ReadIntSetting(kSpellingCyrillicName, -7));
}

TEST_F(SettingsTest, MissingValueInAnExistingKeyGivesTheDefault) {
  StoreTextSetting("Other", "x");
  EXPECT_EQ("", ReadText(kSearchMaskName, 1024));
  EXPECT_EQ(1, ReadIntSetting(kSpellingWwName, 1));
}

struct SwitchCase {
  const char* stored;
  int32_t reads;
};

const SwitchCase kSwitchCases[] = {
    {"0", 0},           {"1", 1},          {"2", 2},         {"", 0},          {" 1", 1},
    {"+1", 1},          {"01", 1},         {"1abc", 1},      {"abc", 0},       {"-1", -1},
    {"\t\n\v\f\r 5", 5}, {"+-1", 0},       {"- 1", 0},       {"2147483647", 2147483647},
    {"-2147483648", INT32_MIN},            {"2147483648", INT32_MIN},           {"4294967297", 1},
    {"99999999999999999999", 1661992959},  {"-4294967295", 1},
};

TEST_F(SettingsTest, SwitchesReadAsAtoiDoes) {
  for (const SwitchCase& c : kSwitchCases) {
    StoreTextSetting(kSpellingWwName, c.stored);
    EXPECT_EQ(c.reads, ReadIntSetting(kSpellingWwName, 1)) << "stored \"" << c.stored << "\"";
  }
}

TEST_F(SettingsTest, WriteIntSettingStoresDecimalText) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {{0, "0"}, {1, "1"}, {-1, "-1"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (const auto& c : cases) {
    WriteIntSetting(kSpellingWwName, c.value);
    uint32_t type = 0;
    EXPECT_EQ(std::string(c.text) + '\0', StoredBytes(kSpellingWwName, &type)) << c.value;
    EXPECT_EQ(reg::kSz, type);
    EXPECT_EQ(c.value, ReadIntSetting(kSpellingWwName, 1));
  }
}

TEST_F(SettingsTest, WriteSettingStoresTheTextWithItsNul) {
  WriteSetting(kSearchMaskName, "");
  uint32_t type = 0;
  EXPECT_EQ(std::string(1, '\0'), StoredBytes(kSearchMaskName, &type));
  EXPECT_EQ(reg::kSz, type);
  EXPECT_EQ("", ReadText(kSearchMaskName, 1024, "dflt"));

  WriteSetting(kSearchMaskName, "http://e.com/search?q=%s");
  EXPECT_EQ("http://e.com/search?q=%s", ReadText(kSearchMaskName, 1024));
}

// A text that does not fit with its NUL reads as the default, not cut.
TEST_F(SettingsTest, MaskLengthsAgainstTheReaders) {
  const struct {
    size_t length;
    bool fits1024;
    bool fits4096;
  } cases[] = {{1023, true, true}, {1024, false, true}, {4095, false, true}, {4096, false, false}};
  for (const auto& c : cases) {
    std::string mask(c.length, 'm');
    WriteSetting(kSearchMaskName, mask.c_str());
    EXPECT_EQ(c.fits1024 ? mask : "", ReadText(kSearchMaskName, 1024)) << c.length;
    EXPECT_EQ(c.fits4096 ? mask : "", ReadText(kSearchMaskName, 4096)) << c.length;
  }
}

TEST_F(SettingsTest, DefaultIsCutToTheBuffer) {
  EXPECT_EQ("abc", ReadText(kSearchMaskName, 4, "abcdefgh"));
  EXPECT_EQ("", ReadText(kSearchMaskName, 1, "abcdefgh"));
}

TEST_F(SettingsTest, NamesAreCaseInsensitive) {
  StoreTextSetting("searchmask", "lower");
  EXPECT_EQ("lower", ReadText(kSearchMaskName, 1024));
}

#ifndef _WIN32
// The real registry always hands back REG_SZ data terminated, so these run
// against the in-memory registry, which keeps exact bytes.

TEST_F(SettingsTest, UnterminatedTextEndsAfterItsLastByte) {
  StoreRawSetting(kSearchMaskName, reg::kSz, "abc", 3);
  EXPECT_EQ("abc", ReadText(kSearchMaskName, 1024, "dflt"));
  EXPECT_EQ("abc", ReadText(kSearchMaskName, 4, "dflt"));
}

TEST_F(SettingsTest, UnterminatedTextFillingTheBufferReadsAsDefault) {
  StoreRawSetting(kSearchMaskName, reg::kSz, "abcd", 4);
  EXPECT_EQ("dfl", ReadText(kSearchMaskName, 4, "dfl"));
  std::string full(1024, 'x');
  StoreRawSetting(kSearchMaskName, reg::kSz, full.data(), 1024);
  EXPECT_EQ("", ReadText(kSearchMaskName, 1024));
}

TEST_F(SettingsTest, OtherTypesAreReadAsTheirBytes) {
  const uint32_t one = 1;
  StoreRawSetting(kSpellingWwName, reg::kDword, &one, sizeof one);
  EXPECT_EQ(ParseDecimal("\x01"), ReadIntSetting(kSpellingWwName, 1));
  StoreRawSetting(kSpellingWwName, reg::kBinary, "12", 2);
  EXPECT_EQ(12, ReadIntSetting(kSpellingWwName, 1));
  StoreRawSetting(kSpellingWwName, reg::kSz, "", 0);
  EXPECT_EQ(0, ReadIntSetting(kSpellingWwName, 1));
  // 64 bytes of digits without a NUL do not fit the integer reader's buffer.
  std::string digits(64, '7');
  StoreRawSetting(kSpellingWwName, reg::kSz, digits.data(), 64);
  EXPECT_EQ(1, ReadIntSetting(kSpellingWwName, 1));
}

TEST_F(SettingsTest, FailuresAreSilentAndCloseEveryKey) {
  WriteSetting(kSearchMaskName, "kept");
  memory_.FailOperation(MemoryRegistry::Operation::Query, reg::kAccessDenied);
  EXPECT_EQ("dflt", ReadText(kSearchMaskName, 1024, "dflt"));
  memory_.FailOperation(MemoryRegistry::Operation::Create, reg::kAccessDenied);
  WriteSetting(kSearchMaskName, "lost");
  memory_.FailOperation(MemoryRegistry::Operation::Set, reg::kAccessDenied);
  WriteSetting(kSearchMaskName, "lost");
  EXPECT_EQ("kept", ReadText(kSearchMaskName, 1024));
  memory_.SetReadOnly(CurrentUser(), kSettingsKeyPath, true);
  WriteIntSetting(kSearchMaskName, 5);
  EXPECT_EQ("kept", ReadText(kSearchMaskName, 1024));
  EXPECT_EQ(0u, memory_.OpenHandleCount());
}
#endif

// The one-pass reader gives each rule exactly what the rule's own reading
// used to give: the mask as read in 4096 bytes, in 1024 bytes for the search
// rule, and each switch as ReadIntSetting reads it.
TEST_F(SettingsTest, OnePassReadsWhatEachReaderReads) {
  const std::string longSwitch = std::string(63, ' ') + "1";  // fills 64 bytes with its NUL
  const struct {
    const char* what;
    std::string mask;       // stored as text unless raw
    uint32_t maskType;
    bool maskWithoutNul;
    std::string switches;   // stored for all three
  } cases[] = {
      {"no key", "", 0, false, ""},
      {"short mask, switches 0", "http://e.com/?q=%s", reg::kSz, false, "0"},
      {"1023-character mask", std::string(1021, 'm') + "%s", reg::kSz, false, "01"},
      {"1024-character mask", std::string(1022, 'm') + "%s", reg::kSz, false, "-1"},
      {"1024 bytes without a NUL", std::string(1024, 'm'), reg::kSz, true, "2"},
      {"1023 bytes without a NUL", std::string(1023, 'm'), reg::kSz, true, "1"},
      {"4095-character mask", std::string(4093, 'm') + "%s", reg::kSz, false, longSwitch.substr(1)},
      {"4096-character mask", std::string(4094, 'm') + "%s", reg::kSz, false, longSwitch},
      {"NUL inside", std::string("a%s\0tail", 8), reg::kBinary, true, "1x"},
      {"DWORD mask", std::string("\x01\0\0\0", 4), reg::kDword, true, std::string("\x01\0\0\0", 4)},
  };
  for (const auto& c : cases) {
    test::RemoveSettingsKey();
    if (c.maskType != 0) {
      StoreRawSetting(kSearchMaskName, c.maskType, c.mask.data(),
                      static_cast<uint32_t>(c.mask.size() + (c.maskWithoutNul ? 0 : 1)));
      for (const char* name : {kSpellingCyrillicName, kSpellingWwName, kSpellingWwwwName}) {
        StoreTextSetting(name, c.switches);
      }
    }
    RuleSettings settings;
    ReadRuleSettings(&settings);
    EXPECT_EQ(ReadText(kSearchMaskName, 4096), settings.searchMask) << c.what;
    EXPECT_EQ(ReadText(kSearchMaskName, 1024), settings.searchMaskFitsSearchRule ? settings.searchMask : "") << c.what;
    EXPECT_EQ(ReadIntSetting(kSpellingCyrillicName, 1), settings.spellingCyrillic) << c.what;
    EXPECT_EQ(ReadIntSetting(kSpellingWwName, 1), settings.spellingWw) << c.what;
    EXPECT_EQ(ReadIntSetting(kSpellingWwwwName, 1), settings.spellingWwww) << c.what;
    RuleSettings maskOnly;
    ReadSearchMaskSetting(&maskOnly);
    EXPECT_STREQ(settings.searchMask, maskOnly.searchMask) << c.what;
    EXPECT_EQ(settings.searchMaskFitsSearchRule, maskOnly.searchMaskFitsSearchRule) << c.what;
  }
}

}  // namespace
}  // namespace quillet
