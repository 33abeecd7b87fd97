// What the rules take of the user's settings, as a value: settings/ reads it
// in one pass over the settings key at every Enter and every navigation, and
// nothing is kept between two uses.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

constexpr size_t kMaskBufferSize = 4096;

struct RuleSettings {
  // Only the mask's first byte is set: an initialiser for the whole array
  // would copy 4 KB at every Enter (and keep a 4 KB template in the library).
  RuleSettings() { searchMask[0] = '\0'; }

  // "SearchMask" read whole in kMaskBufferSize bytes, as the autosearch
  // redirect reads it; empty when unset or unreadable (that switches it off).
  char searchMask[kMaskBufferSize];
  // The search rule reads the mask in the formatter's 1024 bytes: a mask that
  // does not fit there whole is, to that rule, no mask at all.
  bool searchMaskFitsSearchRule = false;
  // "SpellingCyrillic", "SpellingWw", "SpellingWwww": a correction runs only
  // when its switch reads exactly 1.
  int32_t spellingCyrillic = 1;
  int32_t spellingWw = 1;
  int32_t spellingWwww = 1;
};

}  // namespace quillet
