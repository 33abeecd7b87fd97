// The registry seam: the few ANSI registry operations the settings store and
// the registry script executor need. The Win32 implementation passes straight
// through to advapi32; the native build uses an in-memory registry.
#pragma once

#include <cstdint>

struct HKEY__;  // the platform's own key handle type on Windows

namespace quillet {

using RegKey = HKEY__*;
using RegStatus = int32_t;  // a Win32 error code; 0 is success

// Predefined root keys; sign-extended as the platform does on 64-bit builds.
inline RegKey RootKey(uint32_t value) {
  return reinterpret_cast<RegKey>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}
inline RegKey ClassesRoot() { return RootKey(0x80000000u); }
inline RegKey CurrentUser() { return RootKey(0x80000001u); }
inline RegKey LocalMachine() { return RootKey(0x80000002u); }
inline RegKey Users() { return RootKey(0x80000003u); }

namespace reg {
constexpr RegStatus kSuccess = 0;
constexpr RegStatus kFileNotFound = 2;
constexpr RegStatus kAccessDenied = 5;
constexpr RegStatus kInvalidHandle = 6;
constexpr RegStatus kInvalidParameter = 87;
constexpr RegStatus kMoreData = 234;
constexpr RegStatus kNoMoreItems = 259;
constexpr RegStatus kKeyDeleted = 1018;

constexpr uint32_t kQueryValue = 0x0001;
constexpr uint32_t kSetValue = 0x0002;
constexpr uint32_t kCreateSubKey = 0x0004;
constexpr uint32_t kEnumerateSubKeys = 0x0008;
constexpr uint32_t kRead = 0x20019;
constexpr uint32_t kWrite = 0x20006;
constexpr uint32_t kAllAccess = 0xF003F;

constexpr uint32_t kNone = 0;
constexpr uint32_t kSz = 1;
constexpr uint32_t kExpandSz = 2;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;
}  // namespace reg

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegOpenKeyExA
  virtual RegStatus OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExA with no class, options 0 and default security
  virtual RegStatus CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) = 0;
  virtual RegStatus CloseKey(RegKey key) = 0;
  // RegQueryValueExA: data may be null to ask for the size; *size is in bytes
  virtual RegStatus QueryValue(RegKey key, const char* name, uint32_t* type, unsigned char* data,
                               uint32_t* size) = 0;
  virtual RegStatus SetValue(RegKey key, const char* name, uint32_t type, const unsigned char* data,
                             uint32_t size) = 0;
  virtual RegStatus DeleteValue(RegKey key, const char* name) = 0;
  // RegDeleteKeyA: fails for a key that still has subkeys
  virtual RegStatus DeleteKey(RegKey parent, const char* subKey) = 0;
  // RegEnumKeyExA: *nameSize is the buffer size in, the name's length out
  virtual RegStatus EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) = 0;
  // RegQueryInfoKeyA, counts only
  virtual RegStatus QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* values) = 0;
  // RegEnumValueA, name only: *nameSize is the buffer size in, the name's length out
  virtual RegStatus EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) = 0;
};

// The registry every reader and writer uses. Tests may put another in place;
// the previous one is returned so that it can be restored.
RegistryApi& ActiveRegistry();
RegistryApi* SetActiveRegistry(RegistryApi* registry);

// Reads a value's bytes as text into `buffer` (`size` bytes), whatever its
// type (reported in `type` when that is not null). Data without a NUL of its
// own is ended after its last byte; data that does not fit, or fills the
// whole buffer without a NUL, is not read (false). `byteCount`, when not
// null, gets the size of the data the platform gave.
bool QueryValueText(RegistryApi& registry, RegKey key, const char* name, char* buffer, uint32_t size,
                    uint32_t* type = nullptr, uint32_t* byteCount = nullptr);

// Owns one open key and closes it on every path.
class KeyHandle {
 public:
  explicit KeyHandle(RegistryApi& registry) : registry_(&registry) {}
  ~KeyHandle() { Close(); }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;

  RegKey get() const { return key_; }
  // For an open call's result: the held key is closed first.
  RegKey* CloseAndReceive() {
    Close();
    return &key_;
  }
  explicit operator bool() const { return key_ != nullptr; }
  RegStatus Close() {
    RegStatus status = reg::kSuccess;
    if (key_ != nullptr) status = registry_->CloseKey(key_);
    key_ = nullptr;
    return status;
  }
  RegKey release() {
    RegKey key = key_;
    key_ = nullptr;
    return key;
  }

 private:
  RegistryApi* registry_;
  RegKey key_ = nullptr;
};

}  // namespace quillet
