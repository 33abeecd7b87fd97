#include "core/rewrite.h"

#include <cstring>

#include "core/format.h"
#include "core/layout.h"
#include "platform/ascii_case.h"

namespace quillet {
namespace {

bool BeginsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// ASCII letters match regardless of case; every other byte exactly.
bool BeginsWithAsciiFolded(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (AsciiLower(*text) != AsciiLower(*prefix)) return false;
  }
  return true;
}

bool EqualsAsciiFolded(const char* text, const char* other) {
  return std::strlen(text) == std::strlen(other) && BeginsWithAsciiFolded(text, other);
}

}  // namespace

bool LooksLikeAddress(const char* text) {
  return BeginsWith(text, "http:") || BeginsWith(text, "ftp:") || EqualsAsciiFolded(text, "about:blank") ||
         BeginsWith(text, "\\\\") || (std::strchr(text, ' ') == nullptr && std::strchr(text, '.') != nullptr);
}

int ApplySearchMask(char* text, const RuleSettings& settings) {
  const char* mask = settings.searchMask;
  if (!settings.searchMaskFitsSearchRule || mask[0] == '\0' || LooksLikeAddress(text)) return 0;
  char result[kFormatBufferSize];
  size_t length = ExpandSearchMask(result, sizeof result, mask, TextArg(text));
  std::memcpy(text, result, length + 1);
  return 1;
}

int CorrectWwwSpelling(char* text, const RuleSettings& settings) {
  char result[kFormatBufferSize];
  int changed = 0;
  if (settings.spellingWw == 1) {
    if (BeginsWithAsciiFolded(text, "ww.")) {
      FormatArg whole = TextArg(text);
      FormatText(result, sizeof result, "w%s", &whole, 1);
      changed = 1;
    } else if (BeginsWithAsciiFolded(text, "http://ww.")) {
      const FormatArg parts[] = {TextArg(text), TextArg(text + 7)};
      FormatText(result, sizeof result, "%.7sw%s", parts, 2);
      changed = 1;
    }
  }
  if (settings.spellingWwww == 1) {
    // A text longer than the result area is cut to 1023 characters here,
    // like every formatted correction.
    if (BeginsWithAsciiFolded(text, "wwww.")) {
      FormatArg tail = TextArg(text + 1);
      FormatText(result, sizeof result, "%s", &tail, 1);
      changed = 1;
    } else if (BeginsWithAsciiFolded(text, "http://wwww.")) {
      const FormatArg parts[] = {TextArg(text), TextArg(text + 8)};
      FormatText(result, sizeof result, "%.7s%s", parts, 2);
      changed = 1;
    }
  }
  if (changed) std::memcpy(text, result, std::strlen(result) + 1);
  return changed;
}

int RewriteTypedText(char* text, const RuleSettings& settings) {
  if (CorrectKeyboardLayout(text, settings)) return 1;
  if (ApplySearchMask(text, settings)) return 1;
  return CorrectWwwSpelling(text, settings);
}

}  // namespace quillet
