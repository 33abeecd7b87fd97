// The registry script the library ships, registered and unregistered: on the
// in-memory registry in both builds, and on the real registry under Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shipped_script.h"
#include "tests/registered_content.h"
#include "tests/script_fixture.h"

namespace quillet::test {
namespace {

constexpr const char* kModulePath = "C:\\O'Brien\\quillet.dll";  // as the script's variable expands
constexpr const char* kOtherClass = "CLSID\\{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}";

class ShippedScriptTest : public ::testing::TestWithParam<bool> {
 protected:
  ShippedScriptTest() : fixture_(GetParam()) {
    fixture_.table().ClearSubstitutions();
    EXPECT_EQ(kS_OK, fixture_.table().AddSubstitution(u"Module", u"C:\\O''Brien\\quillet.dll"));
    Run(false);
  }
  ~ShippedScriptTest() override {
    Run(false);
    RegistryApi& registry = fixture_.registry();
    DeleteTree(registry, CurrentUser(), "Software\\Kestrowe");
    DeleteTree(registry, ClassesRoot(), kOtherClass);
  }
  Status Run(bool doRegister) { return fixture_.Run(ShippedScript(), doRegister); }
  RegistryApi& registry() { return fixture_.registry(); }
  void ExpectRegistered(const std::vector<RegistrySubtree>& expected) {
    for (const RegistrySubtree& subtree : expected) {
      EXPECT_EQ(Lines(subtree.lines), Dump(registry(), subtree.root, subtree.path)) << subtree.path;
    }
  }
  // The entries gone, their shared parents kept: CLSID with every other
  // class in it, the others empty, as the script left them.
  void ExpectUnregistered() {
    for (const RegistrySubtree& subtree : RegisteredContent(kModulePath)) {
      EXPECT_EQ("<absent>", Dump(registry(), subtree.root, subtree.path)) << subtree.path;
    }
    for (const RegistryKeyName& parent : SharedParents()) {
      if (parent.root == ClassesRoot()) {
        EXPECT_TRUE(KeyExists(registry(), parent.root, parent.path)) << parent.path;
      } else {
        EXPECT_EQ("", Dump(registry(), parent.root, parent.path)) << parent.path;
      }
    }
  }
  ScriptFixture fixture_;
};

TEST_P(ShippedScriptTest, TextIsTheShippedBytes) {
  const std::string text = ShippedScript();
  EXPECT_EQ(0, text.compare(0, 6, "HKCR\r\n"));
  EXPECT_EQ("\r\n", text.substr(text.size() - 2));
  EXPECT_NE(std::string::npos, text.find("\r\n\r\nHKCU\r\n"));
  EXPECT_NE(std::string::npos, text.find("\r\n" + std::string(24, ' ') + "val Clsid = s "));
  EXPECT_NE(std::string::npos, text.find("\r\n\t\t\t\tval 'SearchMask' = s 'http://www.bing.com/search?q=%%s'\r\n"));
  EXPECT_EQ(std::string::npos, text.find('\0'));
}

TEST_P(ShippedScriptTest, RegistersEveryEntry) {
  Build(registry(), ClassesRoot(), std::string("CLSID\\") + kVeltranoClsid, {"Stale\\Deeper", "|Old=S:x"});
  Build(registry(), ClassesRoot(), kOtherClass, {});
  Build(registry(), CurrentUser(), kQuilletSettingsKey,
        {"|SearchMask=S:http://user.example/?q=%s", "|SpellingWw=S:0"});
  ASSERT_EQ(kS_OK, Run(true));
  std::vector<RegistrySubtree> expected = RegisteredContent(kModulePath);
  for (RegistrySubtree& subtree : expected) {
    // Other settings stay; the mask is written again.
    if (subtree.path == kQuilletSettingsKey) subtree.lines.push_back("|SpellingWw=S:0");
  }
  ExpectRegistered(expected);
  EXPECT_EQ("", Dump(registry(), ClassesRoot(), kOtherClass));
  ASSERT_EQ(kS_OK, Run(true));
  ExpectRegistered(expected);
}

TEST_P(ShippedScriptTest, UnregistersAndKeepsTheSharedParents) {
  Build(registry(), ClassesRoot(), kOtherClass, {});
  ASSERT_EQ(kS_OK, Run(true));
  ASSERT_EQ(kS_OK, Run(false));
  ExpectUnregistered();
  EXPECT_EQ("", Dump(registry(), ClassesRoot(), kOtherClass));
  ASSERT_EQ(kS_OK, Run(false));
  ExpectUnregistered();
}

TEST_P(ShippedScriptTest, SubkeyUnderTheSettingsKeyKeepsIt) {
  ASSERT_EQ(kS_OK, Run(true));
  Build(registry(), CurrentUser(), std::string(kQuilletSettingsKey) + "\\Sub", {});
  ASSERT_EQ(kS_OK, Run(false));
  // The mask is deleted through the key opened for reading, which the
  // platform refuses; it would have gone with its key.
  EXPECT_EQ(Lines({"Sub", "|SearchMask=S:" + std::string(kInitialSearchMask)}),
            Dump(registry(), CurrentUser(), kQuilletSettingsKey));
  KeyHandle settings(registry());
  ASSERT_EQ(reg::kSuccess,
            registry().OpenKey(CurrentUser(), kQuilletSettingsKey, reg::kRead, settings.CloseAndReceive()));
  EXPECT_EQ(reg::kSuccess, registry().DeleteKey(settings.get(), "Sub"));
}

std::string RegistryName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Real" : "Memory"; }

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Shipped, ShippedScriptTest, ::testing::Bool(), RegistryName);
#else
INSTANTIATE_TEST_SUITE_P(Shipped, ShippedScriptTest, ::testing::Values(false), RegistryName);
#endif

// A failing third root entry leaves the first two registered and takes back
// only what it had created itself.
TEST(ShippedScriptRecoveryTest, FailingLastRootEntryKeepsTheOthers) {
  ScriptFixture fixture(false);
  fixture.table().ClearSubstitutions();
  ASSERT_EQ(kS_OK, fixture.table().AddSubstitution(u"Module", u"C:\\O''Brien\\quillet.dll"));
  MemoryRegistry& memory = fixture.memory();
  Build(memory, LocalMachine(), "Software\\Microsoft\\Internet Explorer", {});
  memory.SetReadOnly(LocalMachine(), "Software\\Microsoft\\Internet Explorer", true);
  EXPECT_EQ(kDISP_E_EXCEPTION, fixture.Run(ShippedScript(), true));
  for (const RegistrySubtree& subtree : RegisteredContent(kModulePath)) {
    const bool inTheFailedEntry = subtree.root == LocalMachine();
    EXPECT_EQ(inTheFailedEntry ? "<absent>" : Lines(subtree.lines), Dump(memory, subtree.root, subtree.path))
        << subtree.path;
  }
  EXPECT_EQ("", Dump(memory, LocalMachine(), kHelperObjectsKey));
  EXPECT_EQ("", Dump(memory, LocalMachine(), "Software\\Microsoft\\Internet Explorer"));
  EXPECT_EQ(0u, memory.OpenHandleCount());
}

}  // namespace
}  // namespace quillet::test
