// The helper attaches only inside the browser's own process.
#pragma once

namespace quillet {

// True when "iexplore.exe" occurs anywhere in the path, ASCII letters of
// the path taken in lower case. Only the first 259 characters are looked at.
bool IsBrowserExecutable(const char* path);

}  // namespace quillet
