// Tests that touch the settings run against an in-memory registry in the native build
// and against Wine's real registry in the Windows build; the settings key is
// removed before and after each test either way.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/registry.h"
#include "settings/settings.h"
#include "tests/registry_dump.h"
#ifndef _WIN32
#include "platform/memory_registry.h"
#endif

namespace quillet::test {

inline void RemoveSettingsKey() { DeleteTree(ActiveRegistry(), CurrentUser(), kSettingsKeyPath); }

// Stores a value with exact bytes and type, creating the key.
inline void StoreRawSetting(const char* name, uint32_t type, const void* bytes, uint32_t size) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  ASSERT_EQ(reg::kSuccess, registry.CreateKey(CurrentUser(), kSettingsKeyPath, reg::kAllAccess, key.CloseAndReceive()));
  ASSERT_EQ(reg::kSuccess,
            registry.SetValue(key.get(), name, type, static_cast<const unsigned char*>(bytes), size));
}

inline void StoreTextSetting(const char* name, const std::string& text) {
  StoreRawSetting(name, reg::kSz, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

// Reads back what is stored: type and bytes.
inline std::string StoredBytes(const char* name, uint32_t* type) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  if (registry.OpenKey(CurrentUser(), kSettingsKeyPath, reg::kRead, key.CloseAndReceive()) != reg::kSuccess)
    return "<no key>";
  unsigned char data[8192];
  uint32_t size = sizeof data;
  if (registry.QueryValue(key.get(), name, type, data, &size) != reg::kSuccess) return "<no value>";
  return std::string(reinterpret_cast<char*>(data), size);
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    previous_ = SetActiveRegistry(&memory_);
#endif
    RemoveSettingsKey();
  }
  void TearDown() override {
    RemoveSettingsKey();
#ifndef _WIN32
    SetActiveRegistry(previous_);
#endif
  }

#ifndef _WIN32
  MemoryRegistry memory_;
  RegistryApi* previous_ = nullptr;
#endif
};

}  // namespace quillet::test
