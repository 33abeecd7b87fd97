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
// with that key's value in the first section of that name, or with
// `defaultText`, and returns its length. Without a key (null), fills `buffer`
// with the section's key names in file order, each NUL-terminated, and
// returns the characters placed. Like the platform it ends the list with a
// second NUL only where one fits before size - 1: a list that does not fit is
// cut within the last name placed, returns size - 2 and leaves the last byte
// as it was; no names give one NUL. `size` counts bytes with the NULs.
uint32_t ReadProfileText(const char* text, size_t length, const char* section, const char* key,
                         const char* defaultText, char* buffer, uint32_t size);

}  // namespace quillet
