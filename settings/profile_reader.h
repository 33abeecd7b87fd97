// A reader of initialization-file text with the platform's own conventions
// (those of GetPrivateProfileStringA): section and key names match without
// regard to case, white space around names and values is dropped, one pair
// of matching quotation marks around a value is removed, and the results are
// cut to the caller's buffer the same way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// Reads `text` (`length` bytes, the whole file). With a `key`, fills `buffer`
// with that key's value in the section, or with `defaultText`, and returns
// its length. Without a key (null), fills `buffer` with the section's key
// names in file order, each NUL-terminated and the last followed by a second
// NUL, and returns the characters placed without the final NUL. A list that
// does not fit is cut within the last name that fits in part and returns
// size − 2. `size` counts bytes with the NULs.
uint32_t ReadProfileText(const char* text, size_t length, const char* section, const char* key,
                         const char* defaultText, char* buffer, uint32_t size);

}  // namespace quillet
