#include "settings/engine_list.h"

#include <cstring>

#include "platform/module_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet {

void MakeEngineListPath(char* modulePath) {
  size_t length = std::strlen(modulePath);
  if (length < 3) {
    modulePath[0] = '\0';
    return;
  }
  std::memcpy(modulePath + length - 3, "ini", 4);
}

void GetEngineListPath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  ModuleFilePath(buffer, size);
  MakeEngineListPath(buffer);
}

// The platform ends a cut list, and an empty one, with a single NUL; the
// names are walked to an empty name, so a second one must follow.
uint32_t EndEngineNames(char* buffer, uint32_t placed) {
  if (placed > kEngineBufferSize - 2) placed = kEngineBufferSize - 2;
  buffer[placed] = '\0';
  buffer[placed + 1] = '\0';
  return placed;
}

#ifdef _WIN32

uint32_t ReadEngineNames(const char* path, char* buffer) {
  return EndEngineNames(buffer, GetPrivateProfileStringA(kEngineSectionName, nullptr, "", buffer, kEngineBufferSize, path));
}

uint32_t ReadEngineMask(const char* path, const char* name, char* buffer) {
  return GetPrivateProfileStringA(kEngineSectionName, name, "", buffer, kEngineBufferSize, path);
}

#endif

}  // namespace quillet
