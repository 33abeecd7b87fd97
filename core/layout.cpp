#include "core/layout.h"

#include <array>
#include <cstring>

#include "platform/ascii_case.h"

namespace quillet {

namespace {

constexpr size_t kKeyCount = 94;

constexpr bool RowHasNoRepeats(const char* row) {
  for (size_t i = 0; i < kKeyCount; ++i) {
    for (size_t j = i + 1; j < kKeyCount; ++j) {
      if (row[i] == row[j]) return false;
    }
  }
  return true;
}
static_assert(RowHasNoRepeats(CyrillicKeyRow) && RowHasNoRepeats(LatinKeyRow), "no byte twice in a row");

// Byte -> byte, the identity except for the bytes of the Cyrillic row.
constexpr std::array<unsigned char, 256> BuildConversion() {
  std::array<unsigned char, 256> table{};
  for (size_t b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
  for (size_t i = 0; i < kKeyCount; ++i) {
    table[static_cast<unsigned char>(CyrillicKeyRow[i])] = static_cast<unsigned char>(LatinKeyRow[i]);
  }
  return table;
}
constexpr std::array<unsigned char, 256> kConversion = BuildConversion();

// "цццю" and "реезЮ??цццю": the keys of "www." and of "http://www.".
constexpr char kShortTrigger[] = "\xF6\xF6\xF6\xFE";
constexpr char kLongTrigger[] = "\xF0\xE5\xE5\xE7\xDE\x3F\x3F\xF6\xF6\xF6\xFE";
// "реезЖ..цццю": the keys of "http://www." as a user types them, Shift held
// for the colon. Its letters match in either case, so the ":" key may come
// as "ж", whose own conversion is ";"; the sequence always means "http://www.".
constexpr char kSchemeTrigger[] = "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE";
constexpr char kSchemeTriggerMeaning[] = "http://www.";
static_assert(sizeof kSchemeTrigger == sizeof kSchemeTriggerMeaning, "one key per character");

bool BeginsWithFolded(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (*text == '\0') return false;
    if (FoldCp1251(static_cast<unsigned char>(*text)) != FoldCp1251(static_cast<unsigned char>(*prefix))) {
      return false;
    }
  }
  return true;
}

}  // namespace

unsigned char FoldCp1251(unsigned char c) {
  if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 0x20);
  return AsciiLower(c);
}

int CorrectKeyboardLayout(char* text, const RuleSettings& settings) {
  if (settings.spellingCyrillic != 1) return 0;
  size_t start = 0;
  if (!BeginsWithFolded(text, kShortTrigger) && !BeginsWithFolded(text, kLongTrigger)) {
    if (!BeginsWithFolded(text, kSchemeTrigger)) return 0;
    start = sizeof kSchemeTriggerMeaning - 1;
    std::memcpy(text, kSchemeTriggerMeaning, start);
  }
  size_t length = std::strlen(text);
  for (size_t k = start; k < length; ++k) {
    text[k] = static_cast<char>(kConversion[static_cast<unsigned char>(text[k])]);
  }
  return 1;
}

}  // namespace quillet
