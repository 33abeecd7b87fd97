// Keyboard-layout correction: text typed with the Russian layout where a Latin
// address was meant is converted back, key by key. Bytes are code page 1251.
#pragma once

#include "core/rule_settings.h"

namespace quillet {

// Position i of both rows belongs to one key (unshifted, then shifted).
inline constexpr char CyrillicKeyRow[95] =
    "\xB8" "1234567890-="
    "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5\xFA"
    "\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6\xFD"
    "\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE."
    "\\"
    "\xA8!\"\xB9;%:?*()_+"
    "\xC9\xD6\xD3\xCA\xC5\xCD\xC3\xD8\xD9\xC7\xD5\xDA"
    "\xD4\xDB\xC2\xC0\xCF\xD0\xCE\xCB\xC4\xC6\xDD"
    "\xDF\xD7\xD1\xCC\xC8\xD2\xDC\xC1\xDE,"
    "/";
inline constexpr char LatinKeyRow[95] =
    "`1234567890-="
    "qwertyuiop[]"
    "asdfghjkl;'"
    "zxcvbnm,./"
    "\\"
    "~!@#$%^&*()_+"
    "QWERTYUIOP{}"
    "ASDFGHJKL:\""
    "ZXCVBNM<>?"
    "|";
static_assert(sizeof CyrillicKeyRow == 95 && sizeof LatinKeyRow == 95, "two rows of 94 keys");


// Converts `text` in place when its switch is on and it begins with one of
// the triggers: "цццю" (the keys of "www."), "реезЮ??цццю" (the listed long
// prefix, which the table turns into "http>&&www.") or "реезЖ..цццю" (the
// keys of "http://www." as typed, which always become "http://www.").
// Returns 1 when it converted.
int CorrectKeyboardLayout(char* text, const RuleSettings& settings);

// Folds a code page 1251 byte for the case-insensitive prefix test:
// ASCII letters and the Cyrillic letters 0xC0-0xDF to lower case.
unsigned char FoldCp1251(unsigned char c);

}  // namespace quillet
