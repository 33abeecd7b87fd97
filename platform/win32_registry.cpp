// The Win32 side of the registry seam: each operation is the advapi32 call.
#include <windows.h>

#include "platform/registry.h"

namespace quillet {
namespace {

class Win32Registry final : public RegistryApi {
 public:
  RegStatus OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override {
    return RegOpenKeyExA(parent, subKey, 0, access, result);
  }
  RegStatus CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override {
    DWORD disposition = 0;
    return RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, result,
                           &disposition);
  }
  RegStatus CloseKey(RegKey key) override { return RegCloseKey(key); }
  RegStatus QueryValue(RegKey key, const char* name, uint32_t* type, unsigned char* data,
                       uint32_t* size) override {
    DWORD valueType = 0;
    DWORD byteCount = size != nullptr ? *size : 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &valueType, data, size != nullptr ? &byteCount : nullptr);
    if (type != nullptr) *type = valueType;
    if (size != nullptr) *size = byteCount;
    return status;
  }
  RegStatus SetValue(RegKey key, const char* name, uint32_t type, const unsigned char* data,
                     uint32_t size) override {
    return RegSetValueExA(key, name, 0, type, data, size);
  }
  RegStatus DeleteValue(RegKey key, const char* name) override { return RegDeleteValueA(key, name); }
  RegStatus DeleteKey(RegKey parent, const char* subKey) override { return RegDeleteKeyA(parent, subKey); }
  RegStatus EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override {
    DWORD length = *nameSize;
    LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    *nameSize = length;
    return status;
  }
  RegStatus QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* values) override {
    DWORD subKeyCount = 0, valueCount = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeyCount, nullptr, nullptr, &valueCount,
                                   nullptr, nullptr, nullptr, nullptr);
    if (subKeys != nullptr) *subKeys = subKeyCount;
    if (values != nullptr) *values = valueCount;
    return status;
  }
  RegStatus EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override {
    DWORD length = *nameSize;
    LONG status = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    *nameSize = length;
    return status;
  }
};

Win32Registry platformRegistry;
RegistryApi* activeRegistry = &platformRegistry;

}  // namespace

RegistryApi& ActiveRegistry() { return *activeRegistry; }

RegistryApi* SetActiveRegistry(RegistryApi* registry) {
  RegistryApi* previous = activeRegistry;
  activeRegistry = registry != nullptr ? registry : &platformRegistry;
  return previous;
}

}  // namespace quillet
