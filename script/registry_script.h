// The registry script executor: expands "%NAME%" variables from a
// SubstitutionTable and applies a script in the register or the unregister
// pass through the registry seam. Platform-free; built in both builds.
#pragma once

#include <cstddef>

#include "platform/hresult.h"
#include "platform/registry.h"

namespace quillet {

class AnsiCodePage;

// The variables of one script run: UTF-16 names and values, in the order
// added; a lookup compares the ANSI form of the names case-insensitively and
// the first match wins.
class SubstitutionTable {
 public:
  SubstitutionTable();
  ~SubstitutionTable();
  SubstitutionTable(const SubstitutionTable&) = delete;
  SubstitutionTable& operator=(const SubstitutionTable&) = delete;

  Status AddSubstitution(const char16_t* name, const char16_t* value);  // S_OK or E_OUTOFMEMORY
  const char16_t* FindSubstitution(const char* ansiName) const;       // null when absent
  const char16_t* FindSubstitution(const char* ansiName, const AnsiCodePage& codePage) const;
  void ClearSubstitutions();

 private:
  struct Entry;
  Entry** entries_ = nullptr;
  size_t count_ = 0;
  size_t capacity_ = 0;
};

// Runs `text` (NUL-terminated ANSI) in the register pass (`doRegister`) or
// the unregister pass, against `registry`, in the system's ANSI code page.
Status RunScript(const char* text, bool doRegister, const SubstitutionTable& table, RegistryApi& registry);
// The same in a given code page.
Status RunScript(const char* text, bool doRegister, const SubstitutionTable& table, RegistryApi& registry,
                 const AnsiCodePage& codePage);

}  // namespace quillet
