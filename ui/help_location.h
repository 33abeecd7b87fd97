// The platform-free half of the help launcher: where the HTML Help control is
// registered, and the help file's path beside the library.
#pragma once

#include <cstdint>

namespace quillet {

constexpr uint32_t kHelpPathSize = 260;
constexpr char kHtmlHelpLocationKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kHtmlHelpLibraryName[] = "hhctrl.ocx";

// Fills a 260-byte `buffer` with the HTML Help control's registered file
// path (the key's default value under HKEY_CLASSES_ROOT), and `type` (when
// not null) with the value's type. True when it was read; a value that fills
// the buffer without a terminating NUL is not a path and gives false.
bool GetHtmlHelpLocation(char* buffer, uint32_t* type = nullptr);

// Turns the library path in `path` (`size` bytes) into the help file's path:
// the text after the last "." becomes "chm"; a path without a "." stays as it
// is. What does not fit is cut.
void MakeHelpPath(char* path, uint32_t size);

}  // namespace quillet
