// An in-memory registry with the behaviour the logic depends on: root keys,
// case-insensitive names, access modes (a key can be marked to open only for
// reading), exact value bytes and types, and deleting a key that still has
// subkeys fails. Tests can also make chosen operations fail.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace quillet {

class MemoryRegistry final : public RegistryApi {
 public:
  enum class Operation { Open, Create, Close, Query, Set, DeleteValue, DeleteKey, EnumKey, QueryInfo, EnumValue };

  MemoryRegistry();
  ~MemoryRegistry() override;

  RegStatus OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
  RegStatus CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
  RegStatus CloseKey(RegKey key) override;
  RegStatus QueryValue(RegKey key, const char* name, uint32_t* type, unsigned char* data,
                       uint32_t* size) override;
  RegStatus SetValue(RegKey key, const char* name, uint32_t type, const unsigned char* data,
                     uint32_t size) override;
  RegStatus DeleteValue(RegKey key, const char* name) override;
  RegStatus DeleteKey(RegKey parent, const char* subKey) override;
  RegStatus EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override;
  RegStatus QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* values) override;
  RegStatus EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override;

  // Test controls.
  // A read-only key opens only with read access; writing through it, creating
  // beneath it and deleting it are refused.
  void SetReadOnly(RegKey root, const char* path, bool readOnly);
  // The next `count` calls of `op`, after `skip` successful ones, fail with `status`.
  void FailOperation(Operation op, RegStatus status, int count = 1, int skip = 0);
  size_t OpenHandleCount() const;
  // Names in a double-byte code page: a trail byte is never a path separator.
  void SetLeadBytes(bool (*isLeadByte)(unsigned char));
  void Clear();

 private:
  struct Node;
  struct Value {
    std::string name;  // as first written
    uint32_t type = 0;
    std::vector<unsigned char> bytes;
  };
  struct Node {
    std::string name;
    std::map<std::string, std::shared_ptr<Node>> children;  // by folded name
    std::map<std::string, Value> values;                    // by folded name
    bool readOnly = false;
    bool deleted = false;
  };
  struct Handle {
    std::shared_ptr<Node> node;
    uint32_t access;
  };
  struct Fault {
    Operation op;
    RegStatus status;
    int count;
    int skip;
  };

  // The status of the next fault set for `op`, used up by this call; 0 for none.
  RegStatus ConsumeFault(Operation op);
  RegStatus Resolve(RegKey key, std::shared_ptr<Node>* node, uint32_t* access) const;
  std::shared_ptr<Node> Walk(std::shared_ptr<Node> from, const char* path, bool create,
                             RegStatus* status);
  RegKey NewHandle(std::shared_ptr<Node> node, uint32_t access);
  static void MarkDeleted(Node& node);
  size_t FindSeparator(const std::string& path, size_t start) const;
  size_t FindLastSeparator(const std::string& path) const;

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Node>> roots_;
  std::map<uintptr_t, Handle> handles_;
  uintptr_t nextHandle_ = 0x1000;
  std::vector<Fault> faults_;
  bool (*isLeadByte_)(unsigned char) = nullptr;
};

}  // namespace quillet
