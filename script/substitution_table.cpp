#include <cstring>

#include "script/ansi_text.h"
#include "script/registry_script.h"
#include "script/script_platform.h"

namespace quillet {
namespace {

constexpr size_t kInitialCapacity = 10;

char16_t* CopyText(const char16_t* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  auto* copy = static_cast<char16_t*>(ScriptRealloc(nullptr, (length + 1) * sizeof(char16_t)));
  if (copy != nullptr) std::memcpy(copy, text, (length + 1) * sizeof(char16_t));
  return copy;
}

}  // namespace

struct SubstitutionTable::Entry {
  char16_t* name;
  char16_t* value;
};

SubstitutionTable::SubstitutionTable() = default;

SubstitutionTable::~SubstitutionTable() {
  ClearSubstitutions();
  ScriptFree(entries_);
}

Status SubstitutionTable::AddSubstitution(const char16_t* name, const char16_t* value) {
  if (name == nullptr || value == nullptr) return kE_INVALIDARG;
  if (count_ == capacity_) {
    size_t capacity = capacity_ == 0 ? kInitialCapacity : capacity_ * 2;
    auto* grown = static_cast<Entry**>(ScriptRealloc(entries_, capacity * sizeof(Entry*)));
    if (grown == nullptr) return kE_OUTOFMEMORY;
    entries_ = grown;
    capacity_ = capacity;
  }
  auto* entry = static_cast<Entry*>(ScriptRealloc(nullptr, sizeof(Entry)));
  if (entry == nullptr) return kE_OUTOFMEMORY;
  entry->name = CopyText(name);
  entry->value = entry->name != nullptr ? CopyText(value) : nullptr;
  if (entry->value == nullptr) {
    ScriptFree(entry->name);
    ScriptFree(entry);
    return kE_OUTOFMEMORY;
  }
  entries_[count_++] = entry;
  return kS_OK;
}

const char16_t* SubstitutionTable::FindSubstitution(const char* ansiName) const {
  return FindSubstitution(ansiName, SystemCodePage());
}

const char16_t* SubstitutionTable::FindSubstitution(const char* ansiName, const AnsiCodePage& codePage) const {
  for (size_t i = 0; i < count_; ++i) {
    size_t length = codePage.AnsiLength(entries_[i]->name);
    auto* name = static_cast<char*>(ScriptRealloc(nullptr, length + 1));
    if (name == nullptr) continue;  // a name that cannot be converted matches nothing
    codePage.ToAnsi(entries_[i]->name, name, length);
    name[length] = '\0';
    bool match = codePage.CompareNoCase(name, ansiName) == 0;
    ScriptFree(name);
    if (match) return entries_[i]->value;
  }
  return nullptr;
}

void SubstitutionTable::ClearSubstitutions() {
  for (size_t i = 0; i < count_; ++i) {
    ScriptFree(entries_[i]->name);
    ScriptFree(entries_[i]->value);
    ScriptFree(entries_[i]);
  }
  count_ = 0;
}

}  // namespace quillet
