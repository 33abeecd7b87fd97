// Variable expansion: "%NAME%" from the substitution table, "%%" as "%".
#include <cstring>

#include "script/ansi_text.h"
#include "script/script_internal.h"
#include "script/script_platform.h"

namespace quillet {

ExpandedText::~ExpandedText() { ScriptFree(text_); }

bool ExpandedText::Reserve(size_t extra) {
  if (extra <= capacity_ - length_) return true;
  size_t capacity = capacity_ == 0 ? 1 : capacity_;
  while (extra > capacity - length_) {
    if (capacity > static_cast<size_t>(-1) / 2) return false;
    capacity *= 2;
  }
  auto* grown = static_cast<char*>(ScriptRealloc(text_, capacity));
  if (grown == nullptr) return false;
  text_ = grown;
  capacity_ = capacity;
  return true;
}

bool ExpandedText::Append(const char* bytes, size_t count) {
  if (!Reserve(count)) return false;
  std::memcpy(text_ + length_, bytes, count);
  length_ += count;
  return true;
}

Status ExpandVariables(const char* text, const SubstitutionTable& table, const AnsiCodePage& codePage,
                       ExpandedText* expanded) {
  size_t scriptLength = std::strlen(text);
  if (scriptLength > static_cast<size_t>(-1) / 2) return kE_OUTOFMEMORY;
  // Twice the script to begin with; at least room for the NUL of an empty one.
  size_t initial = scriptLength * 2 > 0 ? scriptLength * 2 : 1;
  expanded->text_ = static_cast<char*>(ScriptRealloc(nullptr, initial));
  if (expanded->text_ == nullptr) return kE_OUTOFMEMORY;
  expanded->capacity_ = initial;

  const char* p = text;
  while (*p != '\0') {
    if (*p == '%' && p[1] == '%') {
      if (!expanded->Append("%", 1)) return kE_OUTOFMEMORY;
      p += 2;
      continue;
    }
    if (*p != '%') {
      const char* next = codePage.Next(p);
      if (!expanded->Append(p, static_cast<size_t>(next - p))) return kE_OUTOFMEMORY;
      p = next;
      continue;
    }
    const char* nameStart = p + 1;
    const char* end = nameStart;
    while (*end != '\0' && *end != '%') end = codePage.Next(end);
    if (*end == '\0') return kDISP_E_EXCEPTION;
    size_t nameLength = static_cast<size_t>(end - nameStart);
    if (nameLength > kMaxVariableName) return kE_FAIL;
    char name[kMaxVariableName + 1];
    std::memcpy(name, nameStart, nameLength);
    name[nameLength] = '\0';
    const char16_t* value = table.FindSubstitution(name, codePage);
    if (value == nullptr) return kDISP_E_EXCEPTION;
    size_t valueLength = codePage.AnsiLength(value);
    if (!expanded->Reserve(valueLength)) return kE_OUTOFMEMORY;
    std::memset(expanded->text_ + expanded->length_, '?', valueLength);
    codePage.ToAnsi(value, expanded->text_ + expanded->length_, valueLength);
    expanded->length_ += valueLength;
    p = end + 1;
  }
  if (!expanded->Append("", 1)) return kE_OUTOFMEMORY;
  --expanded->length_;  // the NUL is not part of the text
  return kS_OK;
}

}  // namespace quillet
