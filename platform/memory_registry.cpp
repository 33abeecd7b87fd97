#include "platform/memory_registry.h"

#include <cstring>

#include "platform/ascii_case.h"

namespace quillet {
namespace {

constexpr uint32_t kFirstRoot = 0x80000000u;
constexpr uint32_t kRootCount = 7;  // HKCR .. HKEY_DYN_DATA

std::string Fold(const char* text) {
  std::string folded = text != nullptr ? text : "";
  for (char& c : folded) c = AsciiUpper(c);
  return folded;
}

bool WantsWrite(uint32_t access) {
  return (access & (reg::kSetValue | reg::kCreateSubKey | 0x00010000u /* DELETE */)) != 0;
}

RegStatus CopyName(const std::string& name, char* buffer, uint32_t* size) {
  if (buffer == nullptr || size == nullptr) return reg::kInvalidParameter;
  if (name.size() + 1 > *size) return reg::kMoreData;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = static_cast<uint32_t>(name.size());
  return reg::kSuccess;
}

}  // namespace

MemoryRegistry::MemoryRegistry() { Clear(); }
MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  roots_.clear();
  for (uint32_t i = 0; i < kRootCount; ++i) roots_.push_back(std::make_shared<Node>());
  handles_.clear();
  faults_.clear();
}

RegStatus MemoryRegistry::ConsumeFault(Operation op) {
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->op != op) continue;
    if (it->skip > 0) {
      --it->skip;
      return reg::kSuccess;
    }
    RegStatus status = it->status;
    if (--it->count <= 0) faults_.erase(it);
    return status;
  }
  return reg::kSuccess;
}

RegStatus MemoryRegistry::Resolve(RegKey key, std::shared_ptr<Node>* node, uint32_t* access) const {
  uintptr_t raw = reinterpret_cast<uintptr_t>(key);
  uint32_t low = static_cast<uint32_t>(raw);
  if (low >= kFirstRoot && low < kFirstRoot + kRootCount && key == RootKey(low)) {
    *node = roots_[low - kFirstRoot];
    *access = reg::kAllAccess;
    return reg::kSuccess;
  }
  auto it = handles_.find(raw);
  if (it == handles_.end()) return reg::kInvalidHandle;
  if (it->second.node->deleted) return reg::kKeyDeleted;
  *node = it->second.node;
  *access = it->second.access;
  return reg::kSuccess;
}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Walk(std::shared_ptr<Node> from, const char* path,
                                                           bool create, RegStatus* status) {
  std::string rest = path != nullptr ? path : "";
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = FindSeparator(rest, start);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(start, end - start);
    start = end + 1;
    if (part.empty()) {
      if (end == rest.size()) break;
      *status = reg::kInvalidParameter;  // "a\\\\b": an empty component
      return nullptr;
    }
    auto found = from->children.find(Fold(part.c_str()));
    if (found != from->children.end()) {
      from = found->second;
      continue;
    }
    if (!create) {
      *status = reg::kFileNotFound;
      return nullptr;
    }
    if (from->readOnly) {
      *status = reg::kAccessDenied;
      return nullptr;
    }
    auto child = std::make_shared<Node>();
    child->name = part;
    from->children[Fold(part.c_str())] = child;
    from = child;
  }
  *status = reg::kSuccess;
  return from;
}

size_t MemoryRegistry::FindSeparator(const std::string& path, size_t start) const {
  for (size_t i = start; i < path.size(); ++i) {
    if (path[i] == '\\') return i;
    if (isLeadByte_ != nullptr && isLeadByte_(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
  }
  return std::string::npos;
}

size_t MemoryRegistry::FindLastSeparator(const std::string& path) const {
  size_t last = std::string::npos;
  for (size_t at = FindSeparator(path, 0); at != std::string::npos; at = FindSeparator(path, at + 1)) last = at;
  return last;
}

RegKey MemoryRegistry::NewHandle(std::shared_ptr<Node> node, uint32_t access) {
  uintptr_t id = nextHandle_;
  nextHandle_ += 4;
  handles_[id] = Handle{std::move(node), access};
  return reinterpret_cast<RegKey>(id);
}

RegStatus MemoryRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (result == nullptr) return reg::kInvalidParameter;
  *result = nullptr;
  if (RegStatus fault = ConsumeFault(Operation::Open)) return fault;
  std::shared_ptr<Node> node;
  uint32_t parentAccess;
  if (RegStatus status = Resolve(parent, &node, &parentAccess)) return status;
  RegStatus status;
  node = Walk(node, subKey, false, &status);
  if (!node) return status;
  if (node->readOnly && WantsWrite(access)) return reg::kAccessDenied;
  *result = NewHandle(node, access);
  return reg::kSuccess;
}

RegStatus MemoryRegistry::CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (result == nullptr) return reg::kInvalidParameter;
  *result = nullptr;
  if (RegStatus fault = ConsumeFault(Operation::Create)) return fault;
  std::shared_ptr<Node> node;
  uint32_t parentAccess;
  if (RegStatus status = Resolve(parent, &node, &parentAccess)) return status;
  RegStatus status;
  std::shared_ptr<Node> existing = Walk(node, subKey, false, &status);
  if (!existing) {
    if ((parentAccess & reg::kCreateSubKey) == 0) return reg::kAccessDenied;
    existing = Walk(node, subKey, true, &status);
    if (!existing) return status;
  }
  if (existing->readOnly && WantsWrite(access)) return reg::kAccessDenied;
  *result = NewHandle(existing, access);
  return reg::kSuccess;
}

RegStatus MemoryRegistry::CloseKey(RegKey key) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::Close)) return fault;
  uint32_t low = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
  if (low >= kFirstRoot && low < kFirstRoot + kRootCount) return reg::kSuccess;
  return handles_.erase(reinterpret_cast<uintptr_t>(key)) == 1 ? reg::kSuccess : reg::kInvalidHandle;
}

RegStatus MemoryRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, unsigned char* data,
                                     uint32_t* size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::Query)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kQueryValue) == 0) return reg::kAccessDenied;
  auto it = node->values.find(Fold(name));
  if (it == node->values.end()) return reg::kFileNotFound;
  const Value& value = it->second;
  if (type != nullptr) *type = value.type;
  if (size == nullptr) return data == nullptr ? reg::kSuccess : reg::kInvalidParameter;
  uint32_t needed = static_cast<uint32_t>(value.bytes.size());
  if (data == nullptr) {
    *size = needed;
    return reg::kSuccess;
  }
  if (needed > *size) {
    *size = needed;
    return reg::kMoreData;
  }
  if (needed != 0) std::memcpy(data, value.bytes.data(), needed);
  *size = needed;
  return reg::kSuccess;
}

RegStatus MemoryRegistry::SetValue(RegKey key, const char* name, uint32_t type, const unsigned char* data,
                                   uint32_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::Set)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kSetValue) == 0 || node->readOnly) return reg::kAccessDenied;
  if (data == nullptr && size != 0) return reg::kInvalidParameter;
  Value& value = node->values[Fold(name)];
  value.name = name != nullptr ? name : "";
  value.type = type;
  value.bytes.assign(data, data + size);
  return reg::kSuccess;
}

RegStatus MemoryRegistry::DeleteValue(RegKey key, const char* name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::DeleteValue)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kSetValue) == 0 || node->readOnly) return reg::kAccessDenied;
  return node->values.erase(Fold(name)) == 1 ? reg::kSuccess : reg::kFileNotFound;
}

void MemoryRegistry::MarkDeleted(Node& node) {
  node.deleted = true;
  for (auto& child : node.children) MarkDeleted(*child.second);
}

RegStatus MemoryRegistry::DeleteKey(RegKey parent, const char* subKey) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::DeleteKey)) return fault;
  if (subKey == nullptr || *subKey == '\0') return reg::kInvalidParameter;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(parent, &node, &access)) return status;
  std::string path = subKey;
  size_t slash = FindLastSeparator(path);
  std::shared_ptr<Node> owner = node;
  RegStatus status = reg::kSuccess;
  if (slash != std::string::npos) {
    owner = Walk(node, path.substr(0, slash).c_str(), false, &status);
    if (!owner) return status;
  }
  std::string leaf = Fold(path.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
  auto it = owner->children.find(leaf);
  if (it == owner->children.end()) return reg::kFileNotFound;
  if (!it->second->children.empty() || it->second->readOnly) return reg::kAccessDenied;
  MarkDeleted(*it->second);
  owner->children.erase(it);
  return reg::kSuccess;
}

RegStatus MemoryRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::EnumKey)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kEnumerateSubKeys) == 0) return reg::kAccessDenied;
  if (index >= node->children.size()) return reg::kNoMoreItems;
  auto it = node->children.begin();
  std::advance(it, index);
  return CopyName(it->second->name, name, nameSize);
}

RegStatus MemoryRegistry::QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* values) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::QueryInfo)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kQueryValue) == 0) return reg::kAccessDenied;
  if (subKeys != nullptr) *subKeys = static_cast<uint32_t>(node->children.size());
  if (values != nullptr) *values = static_cast<uint32_t>(node->values.size());
  return reg::kSuccess;
}

RegStatus MemoryRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (RegStatus fault = ConsumeFault(Operation::EnumValue)) return fault;
  std::shared_ptr<Node> node;
  uint32_t access;
  if (RegStatus status = Resolve(key, &node, &access)) return status;
  if ((access & reg::kQueryValue) == 0) return reg::kAccessDenied;
  if (index >= node->values.size()) return reg::kNoMoreItems;
  auto it = node->values.begin();
  std::advance(it, index);
  return CopyName(it->second.name, name, nameSize);
}

void MemoryRegistry::SetReadOnly(RegKey root, const char* path, bool readOnly) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::shared_ptr<Node> node;
  uint32_t access;
  if (Resolve(root, &node, &access) != reg::kSuccess) return;
  RegStatus status;
  node = Walk(node, path, true, &status);
  if (node) node->readOnly = readOnly;
}

void MemoryRegistry::FailOperation(Operation op, RegStatus status, int count, int skip) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.push_back(Fault{op, status, count, skip});
}

void MemoryRegistry::SetLeadBytes(bool (*isLeadByte)(unsigned char)) {
  std::lock_guard<std::mutex> lock(mutex_);
  isLeadByte_ = isLeadByte;
}

size_t MemoryRegistry::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_.size();
}

}  // namespace quillet
