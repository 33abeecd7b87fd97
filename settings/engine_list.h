// The list of search engines: the section "Engines" of an initialization
// file beside the library, display name = search mask, in file order.
#pragma once

#include <cstdint>

namespace quillet {

constexpr uint32_t kEngineBufferSize = 4096;
constexpr char kEngineSectionName[] = "Engines";

// Fills `buffer` (`size` bytes; callers pass 4096) with the path of the list
// file: the library's own path with its last three characters made "ini".
void GetEngineListPath(char* buffer, uint32_t size);
// The list path for a library at `modulePath`, in place. A path shorter than
// three characters gives the empty text rather than writing before the buffer.
void MakeEngineListPath(char* modulePath);

// What ReadEngineNames makes of the platform reader's result: `placed`
// characters in a 4096-byte `buffer`, whatever the reader left there, ended
// with two NULs inside the buffer. Returns the count ReadEngineNames returns.
uint32_t EndEngineNames(char* buffer, uint32_t placed);

#ifdef _WIN32
// The list is read by the platform's GetPrivateProfileStringA, so only the
// Windows build reads it.

// Fills a 4096-byte `buffer` with the display names, each NUL-terminated and
// the last followed by a second NUL; returns the characters placed without
// the final NUL, 0 when there are none.
uint32_t ReadEngineNames(const char* path, char* buffer);
// Fills a 4096-byte `buffer` with the mask stored for `name`; returns its
// length, 0 when the name is absent or its mask empty.
uint32_t ReadEngineMask(const char* path, const char* name, char* buffer);
#endif

}  // namespace quillet
