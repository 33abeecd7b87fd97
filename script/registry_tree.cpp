// Tree deletion and the two key tests of the unregister pass.
#include "script/script_internal.h"

namespace quillet {
namespace {

constexpr uint32_t kReadWrite = reg::kRead | reg::kWrite;  // 0x2001F

RegStatus DeleteKeyTreeAt(RegistryApi& registry, RegKey parent, const char* name, int depth) {
  if (depth > kMaxBlockDepth) return reg::kAccessDenied;
  {
    KeyHandle key(registry);
    RegStatus status = registry.OpenKey(parent, name, kReadWrite, key.CloseAndReceive());
    if (status != reg::kSuccess) return status;
    char subkey[kSubkeyNameSize];
    for (;;) {
      uint32_t size = sizeof subkey;
      if (registry.EnumKey(key.get(), 0, subkey, &size) != reg::kSuccess) break;
      status = DeleteKeyTreeAt(registry, key.get(), subkey, depth + 1);
      if (status != reg::kSuccess) return status;
    }
  }
  return registry.DeleteKey(parent, name);
}

}  // namespace

RegStatus DeleteKeyTree(RegistryApi& registry, RegKey parent, const char* name) {
  return DeleteKeyTreeAt(registry, parent, name, 0);
}

bool KeyHasSubkeys(RegistryApi& registry, RegKey key) {
  uint32_t subkeys = 0;
  if (registry.QueryInfoKey(key, &subkeys, nullptr) != reg::kSuccess) return false;
  return subkeys != 0;
}

bool KeyHasNamedValues(RegistryApi& registry, RegKey key) {
  uint32_t values = 0;
  if (registry.QueryInfoKey(key, nullptr, &values) != reg::kSuccess) return false;
  if (values != 1) return values > 1;
  // Only whether the one name is empty matters: a name too long for this
  // buffer is a name all the same.
  char name[2];
  uint32_t size = sizeof name;
  RegStatus status = registry.EnumValue(key, 0, name, &size);
  if (status == reg::kMoreData) return true;
  return status == reg::kSuccess && name[0] != '\0';
}

}  // namespace quillet
