// Per-user settings: text values under HKEY_CURRENT_USER\Software\Kestrowe\Quillet,
// read at every use and never cached. Failures are silent: an unreadable value
// yields the caller's default, a failed write changes nothing.
#pragma once

#include <cstdint>

#include "core/rule_settings.h"

namespace quillet {

constexpr char kSettingsKeyPath[] = "Software\\Kestrowe\\Quillet";
constexpr char kSearchMaskName[] = "SearchMask";
constexpr char kSpellingWwName[] = "SpellingWw";
constexpr char kSpellingWwwwName[] = "SpellingWwww";
constexpr char kSpellingCyrillicName[] = "SpellingCyrillic";

// Fills `buffer` (`size` bytes with the NUL) with the value's text, or with
// `defaultText` when it cannot be read whole.
void ReadSetting(const char* name, char* buffer, uint32_t size, const char* defaultText);
void WriteSetting(const char* name, const char* text);
int32_t ReadIntSetting(const char* name, int32_t defaultValue);
void WriteIntSetting(const char* name, int32_t value);

// What an Enter's rules need, in one pass over one open key: the mask and
// the three switches, each read as ReadSetting and ReadIntSetting read it.
void ReadRuleSettings(RuleSettings* settings);
// What a navigation's autosearch redirect needs: the mask alone.
void ReadSearchMaskSetting(RuleSettings* settings);

// Decimal text of `value` ("%i"); `buffer` holds at least 12 bytes.
void FormatDecimal(int32_t value, char* buffer);
// atoi's reading: leading white space, one sign, digits; wraps modulo 2^32.
int32_t ParseDecimal(const char* text);

}  // namespace quillet
