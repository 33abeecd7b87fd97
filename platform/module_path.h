// The full path of the file this code was loaded from.
#pragma once

#include <cstdint>

namespace quillet {

// Fills `buffer` (`size` bytes) with the path and returns its length; an
// empty text and 0 when it cannot be had. The result is always terminated
// when `size` is not 0; a path that does not fit is cut.
uint32_t ModuleFilePath(char* buffer, uint32_t size);

}  // namespace quillet
