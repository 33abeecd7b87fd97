#include <cstring>

#include "platform/registry.h"

namespace quillet {

bool QueryValueText(RegistryApi& registry, RegKey key, const char* name, char* buffer, uint32_t size,
                    uint32_t* type, uint32_t* byteCountOut) {
  if (buffer == nullptr || size == 0) return false;
  uint32_t valueType = 0;
  uint32_t byteCount = size;
  RegStatus status =
      registry.QueryValue(key, name, &valueType, reinterpret_cast<unsigned char*>(buffer), &byteCount);
  if (type != nullptr) *type = valueType;
  if (byteCountOut != nullptr) *byteCountOut = byteCount;
  if (status != reg::kSuccess || byteCount > size) return false;
  if (std::memchr(buffer, '\0', byteCount) != nullptr) return true;
  if (byteCount == size) return false;
  buffer[byteCount] = '\0';
  return true;
}

}  // namespace quillet
