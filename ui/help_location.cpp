#include "ui/help_location.h"

#include <cstring>

#include "platform/registry.h"

namespace quillet {

bool GetHtmlHelpLocation(char* buffer) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  if (registry.OpenKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kRead, key.receive()) != reg::kSuccess) {
    return false;
  }
  uint32_t type = 0;
  uint32_t byteCount = kHelpPathSize;
  RegStatus status = registry.QueryValue(key.get(), nullptr, &type, reinterpret_cast<unsigned char*>(buffer),
                                         &byteCount);
  if (status != reg::kSuccess || byteCount > kHelpPathSize) {
    buffer[0] = '\0';
    return false;
  }
  // The type is not examined, so the bytes need not end in a NUL.
  if (std::memchr(buffer, '\0', byteCount) == nullptr) {
    if (byteCount == kHelpPathSize) {
      buffer[0] = '\0';
      return false;
    }
    buffer[byteCount] = '\0';
  }
  return true;
}

void MakeHelpPath(char* path, uint32_t size) {
  if (path == nullptr || size == 0) return;
  path[size - 1] = '\0';
  char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return;
  const char extension[] = "chm";
  char* out = dot + 1;
  char* last = path + size - 1;
  for (const char* in = extension; *in != '\0' && out < last; ++in) *out++ = *in;
  *out = '\0';
}

}  // namespace quillet
