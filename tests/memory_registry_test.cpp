// The in-memory registry stands in for the real one in native tests, so it must
// behave as the real one does where the logic depends on it.
#include <gtest/gtest.h>

#include <string>

#include "platform/memory_registry.h"

namespace quillet {
namespace {

class MemoryRegistryTest : public ::testing::Test {
 protected:
  RegKey Create(const char* path, uint32_t access = reg::kAllAccess) {
    RegKey key = nullptr;
    EXPECT_EQ(reg::kSuccess, registry_.CreateKey(CurrentUser(), path, access, &key)) << path;
    return key;
  }
  MemoryRegistry registry_;
};

TEST_F(MemoryRegistryTest, NamesAreCaseInsensitiveAndKeepTheirSpelling) {
  RegKey key = Create("Software\\Kestrowe");
  const unsigned char data[] = {'x', 0};
  ASSERT_EQ(reg::kSuccess, registry_.SetValue(key, "MixedCase", reg::kSz, data, 2));
  registry_.CloseKey(key);
  ASSERT_EQ(reg::kSuccess, registry_.OpenKey(CurrentUser(), "SOFTWARE\\kestrowe", reg::kRead, &key));
  uint32_t type = 0, size = 8;
  unsigned char out[8];
  EXPECT_EQ(reg::kSuccess, registry_.QueryValue(key, "mixedcase", &type, out, &size));
  char name[32];
  uint32_t nameSize = sizeof name;
  EXPECT_EQ(reg::kSuccess, registry_.EnumValue(key, 0, name, &nameSize));
  EXPECT_STREQ("MixedCase", name);
  registry_.CloseKey(key);
  nameSize = sizeof name;
  ASSERT_EQ(reg::kSuccess, registry_.OpenKey(CurrentUser(), "software", reg::kRead, &key));
  EXPECT_EQ(reg::kSuccess, registry_.EnumKey(key, 0, name, &nameSize));
  EXPECT_STREQ("Kestrowe", name);
  registry_.CloseKey(key);
}

TEST_F(MemoryRegistryTest, ExactBytesAndSizes) {
  RegKey key = Create("K");
  const unsigned char data[] = {'a', 'b', 'c'};
  ASSERT_EQ(reg::kSuccess, registry_.SetValue(key, nullptr, reg::kSz, data, 3));
  uint32_t type = 0, size = 2;
  unsigned char out[4] = {};
  EXPECT_EQ(reg::kMoreData, registry_.QueryValue(key, "", &type, out, &size));
  EXPECT_EQ(3u, size);
  size = 4;
  EXPECT_EQ(reg::kSuccess, registry_.QueryValue(key, "", &type, out, &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(std::string("abc"), std::string(reinterpret_cast<char*>(out), 3));
  EXPECT_EQ(reg::kFileNotFound, registry_.QueryValue(key, "absent", &type, out, &size));
  registry_.CloseKey(key);
}

TEST_F(MemoryRegistryTest, KeyWithSubkeysCannotBeDeleted) {
  registry_.CloseKey(Create("A\\B"));
  EXPECT_EQ(reg::kAccessDenied, registry_.DeleteKey(CurrentUser(), "A"));
  EXPECT_EQ(reg::kSuccess, registry_.DeleteKey(CurrentUser(), "A\\B"));
  EXPECT_EQ(reg::kSuccess, registry_.DeleteKey(CurrentUser(), "A"));
  EXPECT_EQ(reg::kFileNotFound, registry_.DeleteKey(CurrentUser(), "A"));
}

TEST_F(MemoryRegistryTest, HandleOfADeletedKeyFails) {
  RegKey key = Create("Gone");
  ASSERT_EQ(reg::kSuccess, registry_.DeleteKey(CurrentUser(), "Gone"));
  uint32_t subKeys = 0;
  EXPECT_EQ(reg::kKeyDeleted, registry_.QueryInfoKey(key, &subKeys, nullptr));
  EXPECT_EQ(reg::kSuccess, registry_.CloseKey(key));
  EXPECT_EQ(reg::kInvalidHandle, registry_.CloseKey(key));
}

TEST_F(MemoryRegistryTest, ReadOnlyKeysOpenOnlyForReading) {
  registry_.SetReadOnly(CurrentUser(), "Locked", true);
  RegKey key = nullptr;
  EXPECT_EQ(reg::kAccessDenied, registry_.OpenKey(CurrentUser(), "Locked", reg::kAllAccess, &key));
  EXPECT_EQ(nullptr, key);
  ASSERT_EQ(reg::kSuccess, registry_.OpenKey(CurrentUser(), "Locked", reg::kRead, &key));
  const unsigned char data[] = {0};
  EXPECT_EQ(reg::kAccessDenied, registry_.SetValue(key, "v", reg::kSz, data, 1));
  RegKey child = nullptr;
  EXPECT_EQ(reg::kAccessDenied, registry_.CreateKey(key, "Child", reg::kAllAccess, &child));
  EXPECT_EQ(reg::kAccessDenied, registry_.DeleteKey(CurrentUser(), "Locked"));
  registry_.CloseKey(key);
  EXPECT_EQ(0u, registry_.OpenHandleCount());
}

TEST_F(MemoryRegistryTest, InjectedFaultsAfterSkips) {
  registry_.FailOperation(MemoryRegistry::Operation::Close, reg::kInvalidHandle, 1, 1);
  EXPECT_EQ(reg::kSuccess, registry_.CloseKey(Create("A")));
  EXPECT_EQ(reg::kInvalidHandle, registry_.CloseKey(Create("B")));
  EXPECT_EQ(1u, registry_.OpenHandleCount());
}

TEST_F(MemoryRegistryTest, EnumerationEndsWithNoMoreItems) {
  RegKey key = Create("E");
  char name[4];
  uint32_t size = sizeof name;
  EXPECT_EQ(reg::kNoMoreItems, registry_.EnumKey(key, 0, name, &size));
  registry_.CloseKey(Create("E\\LongName"));
  size = sizeof name;
  EXPECT_EQ(reg::kMoreData, registry_.EnumKey(key, 0, name, &size));
  uint32_t subKeys = 0, values = 9;
  EXPECT_EQ(reg::kSuccess, registry_.QueryInfoKey(key, &subKeys, &values));
  EXPECT_EQ(1u, subKeys);
  EXPECT_EQ(0u, values);
  registry_.CloseKey(key);
}

TEST_F(MemoryRegistryTest, TrailBytesAreNoSeparatorWithLeadBytesSet) {
  registry_.SetLeadBytes([](unsigned char b) { return b >= 0x81 && b <= 0x9F; });
  registry_.CloseKey(Create("P\\\x81\\Q"));
  RegKey key = nullptr;
  ASSERT_EQ(reg::kSuccess, registry_.OpenKey(CurrentUser(), "P", reg::kRead, &key));
  char name[8];
  uint32_t size = sizeof name;
  ASSERT_EQ(reg::kSuccess, registry_.EnumKey(key, 0, name, &size));
  EXPECT_EQ(std::string("\x81\\Q"), std::string(name));
  registry_.CloseKey(key);
  EXPECT_EQ(reg::kSuccess, registry_.DeleteKey(CurrentUser(), "P\\\x81\\Q"));
}

}  // namespace
}  // namespace quillet
