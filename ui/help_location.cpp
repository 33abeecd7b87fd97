#include "ui/help_location.h"

#include <cstring>

#include "platform/registry.h"

namespace quillet {

bool GetHtmlHelpLocation(char* buffer, uint32_t* type) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  if (registry.OpenKey(ClassesRoot(), kHtmlHelpLocationKey, reg::kRead, key.CloseAndReceive()) != reg::kSuccess) {
    return false;
  }
  // A value that fills the buffer without a NUL is not used.
  if (!QueryValueText(registry, key.get(), nullptr, buffer, kHelpPathSize, type)) {
    buffer[0] = '\0';
    return false;
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
