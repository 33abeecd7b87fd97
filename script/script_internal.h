// The executor's inner operations, shared by its files and its tests.
#pragma once

#include <cstddef>

#include "script/registry_script.h"

namespace quillet {

class AnsiCodePage;

constexpr size_t kTokenSize = 4096;         // with the NUL
constexpr size_t kMaxQuotedToken = 4094;    // bytes in a quoted token
constexpr size_t kValueNameSize = 260;      // with the NUL
constexpr size_t kKeyNameSize = 260;        // remembered key name, with the NUL
constexpr size_t kMaxVariableName = 31;     // bytes between the two "%"
constexpr size_t kSubkeyNameSize = 256;     // during tree deletion, with the NUL
// The platform's registry tree is at most 512 levels deep; deeper nesting in
// a script could only exhaust the stack.
constexpr int kMaxBlockDepth = 512;

// The expanded script: owned heap text, released with the object.
class ExpandedText {
 public:
  ExpandedText() = default;
  ~ExpandedText();
  ExpandedText(const ExpandedText&) = delete;
  ExpandedText& operator=(const ExpandedText&) = delete;
  const char* text() const { return text_; }
  size_t length() const { return length_; }

 private:
  friend Status ExpandVariables(const char*, const SubstitutionTable&, const AnsiCodePage&, ExpandedText*);
  bool Reserve(size_t extra);
  bool Append(const char* bytes, size_t count);
  char* text_ = nullptr;
  size_t length_ = 0;
  size_t capacity_ = 0;
};

Status ExpandVariables(const char* text, const SubstitutionTable& table, const AnsiCodePage& codePage,
                       ExpandedText* expanded);

// Status of the last failing step; every caller ignores it.
RegStatus DeleteKeyTree(RegistryApi& registry, RegKey parent, const char* name);
bool KeyHasSubkeys(RegistryApi& registry, RegKey key);
bool KeyHasNamedValues(RegistryApi& registry, RegKey key);

}  // namespace quillet
