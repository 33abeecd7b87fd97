// The one formatter for search masks and the fixed corrections. A mask is the
// user's data, never a printf format: only "%s", "%.Ns" and "%%" are
// conversions, and a "%s" with no argument left, any other conversion or a
// lone "%" at the end is copied as it stands.
#pragma once

#include <cstddef>

namespace quillet {

// The platform formatter's bound: 1024 bytes with the NUL.
constexpr size_t kFormatBufferSize = 1024;

struct FormatArg {
  const char* text;
  size_t length;  // bytes of `text` that "%s" inserts
};

// The whole of a NUL-terminated text as an argument.
FormatArg TextArg(const char* text);

// Expands `format` into `out` (`outSize` bytes), cutting the result at
// min(outSize, kFormatBufferSize) - 1 characters. Returns the result's length.
size_t FormatText(char* out, size_t outSize, const char* format, const FormatArg* args, size_t argCount);

// A search mask with the query in place of its "%s".
size_t ExpandSearchMask(char* out, size_t outSize, const char* mask, FormatArg query);

}  // namespace quillet
