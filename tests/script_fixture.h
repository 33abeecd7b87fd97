// Registry script tests: a scratch key, HKCU\Software\QuilletScriptTest, that
// a test fills, runs a script over and reads back as text (tests/registry_dump.h).
// The same helpers work on the in-memory registry and on the real one.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "script/registry_script.h"
#include "script/script_internal.h"
#include "platform/memory_registry.h"
#include "platform/registry.h"
#include "tests/registry_dump.h"

namespace quillet::test {

constexpr const char* kScratchPath = "Software\\QuilletScriptTest";

// One root entry whose block lands in the scratch key.
inline std::string Scratch(const std::string& body) {
  return "HKCU\r\n{\r\n\tNoRemove Software\r\n\t{\r\n\t\tNoRemove QuilletScriptTest\r\n\t\t{\r\n" + body +
         "\r\n\t\t}\r\n\t}\r\n}\r\n";
}

inline void RemoveScratch(RegistryApi& registry) { DeleteTree(registry, CurrentUser(), kScratchPath); }

// The variables every table test runs with.
inline void FillTable(SubstitutionTable& table) {
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Module", u"C:\\dir\\quillet.dll"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Twice", u"first"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"TWICE", u"second"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Name31_012345678901234567890123", u"thirty-one"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Name32_0123456789012345678901234", u"thirty-two"));
  ASSERT_EQ(kS_OK, table.AddSubstitution(u"Quote", u"O''Brien"));
}

// Runs against a fresh in-memory registry, or against the platform's own.
class ScriptFixture {
 public:
  explicit ScriptFixture(bool platformRegistry)
      : registry_(platformRegistry ? ActiveRegistry() : static_cast<RegistryApi&>(memory_)) {
    RemoveScratch(registry_);
    FillTable(table_);
  }
  ~ScriptFixture() { RemoveScratch(registry_); }
  RegistryApi& registry() { return registry_; }
  MemoryRegistry& memory() { return memory_; }
  SubstitutionTable& table() { return table_; }
  Status Run(const std::string& script, bool doRegister) {
    return RunScript(script.c_str(), doRegister, table_, registry_);
  }
  std::string ScratchDump() { return Dump(registry_, CurrentUser(), kScratchPath); }

 private:
  MemoryRegistry memory_;
  RegistryApi& registry_;
  SubstitutionTable table_;
};

}  // namespace quillet::test
