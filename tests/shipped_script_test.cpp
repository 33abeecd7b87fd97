// The registry script the library ships, registered and unregistered: on the
// in-memory registry in both builds, and on the real registry under Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shipped_script.h"
#include "tests/script_fixture.h"

namespace quillet::test {
namespace {

constexpr const char* kClsid = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr const char* kLibid = "{6E41C2CA-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr const char* kExtension = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A21}";
constexpr const char* kBhoParent = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr const char* kExtensionsParent = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr const char* kSettings = "Software\\Kestrowe\\Quillet";
constexpr const char* kMask = "http://www.bing.com/search?q=%s";

struct Subtree {
  RegKey root;
  std::string path;
  std::vector<std::string> lines;  // empty with `absent` for a key that must not exist
  bool absent = false;
};

std::string S(const std::string& text) { return "S:" + text; }

// What registration leaves, key by key.
std::vector<Subtree> Registered() {
  const std::string clsid = kClsid;
  return {
      {ClassesRoot(), "Kestrowe.Quillet.1", {"|=S:Veltrano", "CLSID", "CLSID|=" + S(clsid)}},
      {ClassesRoot(),
       "Kestrowe.Quillet",
       {"|=S:Veltrano", "CLSID", "CLSID|=" + S(clsid), "CurVer", "CurVer|=S:Kestrowe.Quillet.1"}},
      {ClassesRoot(),
       "CLSID\\" + clsid,
       {"|=S:Veltrano", "ProgID", "ProgID|=S:Kestrowe.Quillet.1", "VersionIndependentProgID",
        "VersionIndependentProgID|=S:Kestrowe.Quillet", "Programmable", "InprocServer32",
        "InprocServer32|=S:C:\\O'Brien\\quillet.dll", "InprocServer32|ThreadingModel=S:Apartment", "TypeLib",
        "TypeLib|=" + S(kLibid)}},
      {CurrentUser(), kSettings, {"|SearchMask=" + S(kMask)}},
      {LocalMachine(), std::string(kBhoParent) + "\\" + clsid, {}},
      {LocalMachine(),
       std::string(kExtensionsParent) + "\\" + kExtension,
       {"|Clsid=S:{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}", "|MenuCustomize=S:tools",
        "|MenuText=S:Veltrano Options...",
        "|MenuStatusBar=S:Enables you to change settings for Veltrano enhancements.",
        "|ClsidExtension=" + S(clsid)}},
  };
}

// What unregistration leaves: the entries gone, their "NoRemove" parents kept.
std::vector<Subtree> Unregistered() {
  std::vector<Subtree> gone = Registered();
  for (Subtree& subtree : gone) subtree.absent = true;
  gone.push_back({CurrentUser(), "Software\\Kestrowe", {}});
  gone.push_back({LocalMachine(), kBhoParent, {}});
  gone.push_back({LocalMachine(), kExtensionsParent, {}});
  return gone;
}

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
    KeyHandle software(registry);
    if (registry.OpenKey(CurrentUser(), "Software", reg::kRead, software.receive()) == reg::kSuccess) {
      registry.DeleteKey(software.get(), "Kestrowe");
    }
    KeyHandle clsid(registry);
    if (registry.OpenKey(ClassesRoot(), "CLSID", reg::kRead, clsid.receive()) == reg::kSuccess) {
      DeleteKeyTree(registry, clsid.get(), "{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}");
    }
  }
  Status Run(bool doRegister) { return fixture_.Run(ShippedScript(), doRegister); }
  RegistryApi& registry() { return fixture_.registry(); }
  void ExpectState(const std::vector<Subtree>& expected) {
    for (const Subtree& subtree : expected) {
      EXPECT_EQ(subtree.absent ? "<absent>" : Lines(subtree.lines), Dump(registry(), subtree.root, subtree.path))
          << subtree.path;
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
  Build(registry(), ClassesRoot(), std::string("CLSID\\") + kClsid, {"Stale\\Deeper", "|Old=S:x"});
  Build(registry(), ClassesRoot(), "CLSID\\{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}", {});
  Build(registry(), CurrentUser(), kSettings, {"|SearchMask=S:http://user.example/?q=%s", "|SpellingWw=S:0"});
  ASSERT_EQ(Hex(kS_OK), Hex(Run(true)));
  std::vector<Subtree> expected = Registered();
  expected[3].lines.push_back("|SpellingWw=S:0");  // other settings stay; the mask is written again
  ExpectState(expected);
  EXPECT_EQ("", Dump(registry(), ClassesRoot(), "CLSID\\{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}"));
  ASSERT_EQ(Hex(kS_OK), Hex(Run(true)));
  ExpectState(expected);
}

TEST_P(ShippedScriptTest, UnregistersAndKeepsTheSharedParents) {
  Build(registry(), ClassesRoot(), "CLSID\\{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}", {});
  ASSERT_EQ(Hex(kS_OK), Hex(Run(true)));
  ASSERT_EQ(Hex(kS_OK), Hex(Run(false)));
  ExpectState(Unregistered());
  EXPECT_EQ("", Dump(registry(), ClassesRoot(), "CLSID\\{6E41C2D7-0000-4F35-9C62-71D0E84B3A20}"));
  ASSERT_EQ(Hex(kS_OK), Hex(Run(false)));
  ExpectState(Unregistered());
}

TEST_P(ShippedScriptTest, SubkeyUnderTheSettingsKeyKeepsIt) {
  ASSERT_EQ(Hex(kS_OK), Hex(Run(true)));
  Build(registry(), CurrentUser(), std::string(kSettings) + "\\Sub", {});
  ASSERT_EQ(Hex(kS_OK), Hex(Run(false)));
  // The mask is deleted through the key opened for reading, which the
  // platform refuses; it would have gone with its key.
  EXPECT_EQ(Lines({"Sub", "|SearchMask=" + S(kMask)}), Dump(registry(), CurrentUser(), kSettings));
  KeyHandle settings(registry());
  ASSERT_EQ(reg::kSuccess, registry().OpenKey(CurrentUser(), kSettings, reg::kRead, settings.receive()));
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
  EXPECT_EQ(Hex(kDISP_E_EXCEPTION), Hex(fixture.Run(ShippedScript(), true)));
  std::vector<Subtree> registered = Registered();
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Lines(registered[i].lines), Dump(memory, registered[i].root, registered[i].path)) << registered[i].path;
  }
  EXPECT_EQ("", Dump(memory, LocalMachine(), kBhoParent));
  EXPECT_EQ("", Dump(memory, LocalMachine(), "Software\\Microsoft\\Internet Explorer"));
  EXPECT_EQ(0u, memory.OpenHandleCount());
}

}  // namespace
}  // namespace quillet::test
