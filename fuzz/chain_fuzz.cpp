// The whole rule chain on typed text in its 4096-byte buffer, with the four
// settings it reads stored from the input. Each rule also runs alone against
// a model of it, and the chain must be the first rule that reports a change.
//
// Input: a byte of flags (bit i: setting i is stored; bit 4 + i: stored
// without its NUL); the settings "SearchMask", "SpellingWw", "SpellingWwww"
// and "SpellingCyrillic", each ended by a NUL; then the typed text, up to its
// NUL or 4095 bytes. What follows its NUL fills the rest of the buffer, as
// whatever lay there before the window's text was read into it.
#include <algorithm>
#include <cstring>
#include <optional>

#include "core/format.h"
#include "core/layout.h"
#include "core/rewrite.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/settings.h"

namespace quillet {
namespace {

using fuzz::Check;
using fuzz::CheckEqual;
using fuzz::TextOf;

const char* const kSettingNames[] = {kSearchMaskName, kSpellingWwName, kSpellingWwwwName, kSpellingCyrillicName};

unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c; }
unsigned char FoldCyrillic(unsigned char c) { return c >= 0xC0 && c <= 0xDF ? static_cast<unsigned char>(c | 0x20) : FoldAscii(c); }

bool BeginsFolded(const std::string& text, const std::string& prefix, unsigned char (*fold)(unsigned char)) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (fold(static_cast<unsigned char>(text[i])) != fold(static_cast<unsigned char>(prefix[i]))) return false;
  }
  return true;
}

bool IsAddress(const std::string& text) {
  auto begins = [&](const char* prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; };
  return begins("http:") || begins("ftp:") || (text.size() == 11 && BeginsFolded(text, "about:blank", FoldAscii)) ||
         begins("\\\\") || (text.find(' ') == std::string::npos && text.find('.') != std::string::npos);
}

std::optional<std::string> ExpectedSearch(const std::string& typed, const std::string& mask) {
  if (mask.empty() || IsAddress(typed)) return std::nullopt;
  return fuzz::ModelExpansion(mask, &typed, 1).substr(0, kFormatBufferSize - 1);
}

std::optional<std::string> ExpectedSpelling(const std::string& typed, int32_t ww, int32_t wwww) {
  std::optional<std::string> result;
  if (ww == 1 && BeginsFolded(typed, "ww.", FoldAscii)) result = "w" + typed;
  if (ww == 1 && BeginsFolded(typed, "http://ww.", FoldAscii)) result = typed.substr(0, 7) + "w" + typed.substr(7);
  if (wwww == 1 && BeginsFolded(typed, "wwww.", FoldAscii)) result = typed.substr(1);
  if (wwww == 1 && BeginsFolded(typed, "http://wwww.", FoldAscii)) result = typed.substr(0, 7) + typed.substr(8);
  if (result) result = result->substr(0, kFormatBufferSize - 1);
  return result;
}

struct Outcome {
  int report;
  std::string buffer;
};

Outcome Run(int (*rule)(char*, const RuleSettings&), const RuleSettings& settings, const std::string& before) {
  fuzz::ExactBuffer buffer(before);
  int report = rule(buffer.data(), settings);
  Check(std::memchr(buffer.data(), '\0', buffer.size()) != nullptr, "text ends inside its buffer");
  return {report, buffer.bytes()};
}

// A report of 0 leaves every byte as it was; 1 leaves `expected`.
void CheckOutcome(const Outcome& got, const std::string& before, const std::optional<std::string>& expected,
                  const char* what) {
  CheckEqual(got.report, expected ? 1 : 0, what);
  if (expected) {
    CheckEqual(TextOf(got.buffer), *expected, what);
  } else {
    CheckEqual(got.buffer, before, what);
  }
}

std::string KeyByKey(std::string text) {
  for (char& c : text) {
    const void* key = std::memchr(CyrillicKeyRow, c, sizeof CyrillicKeyRow - 1);
    if (key != nullptr) c = LatinKeyRow[static_cast<const char*>(key) - CyrillicKeyRow];
  }
  return text;
}

// The keys of "www." and "http://www." convert key by key; those of
// "http://www." typed with Shift for the colon mean that prefix, whatever the
// case of its letters, and the rest converts key by key.
std::optional<std::string> ExpectedLayout(const std::string& typed, int32_t cyrillic) {
  if (cyrillic != 1) return std::nullopt;
  if (BeginsFolded(typed, "\xF6\xF6\xF6\xFE", FoldCyrillic) ||
      BeginsFolded(typed, "\xF0\xE5\xE5\xE7\xDE??\xF6\xF6\xF6\xFE", FoldCyrillic)) {
    return KeyByKey(typed);
  }
  const std::string scheme = "\xF0\xE5\xE5\xE7\xC6..\xF6\xF6\xF6\xFE";
  if (BeginsFolded(typed, scheme, FoldCyrillic)) return "http://www." + KeyByKey(typed.substr(scheme.size()));
  return std::nullopt;
}

}  // namespace

int RunChainFuzzInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput input(data, size);
  const uint8_t flags = input.Byte();
  MemoryRegistry& registry = fuzz::FreshRegistry();
  fuzz::StoredValue stored[4];
  for (int i = 0; i < 4; ++i) {
    std::string field = input.Field();
    if ((flags & (1 << i)) == 0) continue;
    stored[i].present = true;
    stored[i].bytes = (flags & (0x10 << i)) != 0 ? field : field + '\0';
    fuzz::StoreSetting(registry, kSettingNames[i], reg::kSz, stored[i].bytes);
  }
  const std::string rest = input.Rest();
  const std::string typed = rest.substr(0, std::min(rest.find('\0'), kTypedTextSize - 1));
  std::string before = typed + '\0' + rest.substr(std::min(rest.size(), typed.size() + 1));
  before.resize(kTypedTextSize, fuzz::kUntouched);

  const std::string mask = fuzz::ModelSettingText(stored[0], kFormatBufferSize, "");
  int32_t switches[4];
  for (int i = 1; i < 4; ++i) switches[i] = fuzz::ModelInteger(fuzz::ModelSettingText(stored[i], 64, "1"));

  // The settings as an Enter reads them, in one pass; the rules then read nothing.
  RuleSettings settings;
  ReadRuleSettings(&settings);
  CheckEqual(static_cast<long long>(registry.OpenHandleCount()), 0, "every settings key closed");
  const std::optional<std::string> layout = ExpectedLayout(typed, switches[3]);
  const Outcome converted = Run(CorrectKeyboardLayout, settings, before);
  CheckOutcome(converted, before, layout, "layout rule");
  // The conversion works in place: the bytes after the text stay as they were.
  if (layout) CheckEqual(converted.buffer.substr(typed.size()), before.substr(typed.size()), "layout rule in place");
  const std::optional<std::string> search = ExpectedSearch(typed, mask);
  CheckOutcome(Run(ApplySearchMask, settings, before), before, search, "search rule");
  const std::optional<std::string> spelling = ExpectedSpelling(typed, switches[1], switches[2]);
  CheckOutcome(Run(CorrectWwwSpelling, settings, before), before, spelling, "spelling rule");

  // The first rule that reports a change ends the chain.
  const std::optional<std::string> chain = layout ? layout : search ? search : spelling;
  CheckOutcome(Run(RewriteTypedText, settings, before), before, chain, "rule chain");
  return 0;
}

}  // namespace quillet
