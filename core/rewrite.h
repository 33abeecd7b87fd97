// The rules that rewrite the address bar's text when Enter is pressed. Each
// works in place on a NUL-terminated text in a kTypedTextSize-byte buffer and
// reports 1 (changed) or 0 (unchanged); the first rule that changes the text
// ends the chain.
#pragma once

#include <cstddef>

#include "core/rule_settings.h"

namespace quillet {

constexpr size_t kTypedTextSize = 4096;

int RewriteTypedText(char* text, const RuleSettings& settings);
int ApplySearchMask(char* text, const RuleSettings& settings);
int CorrectWwwSpelling(char* text, const RuleSettings& settings);

// True when the search rule takes `text` for an address and leaves it alone.
bool LooksLikeAddress(const char* text);

}  // namespace quillet
