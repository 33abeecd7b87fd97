// regsvr32 on the built library, end to end: what registration writes, what
// unregistration takes away and what it keeps.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

constexpr char kClsid[] = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr char kLibid[] = "{6E41C2CA-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr char kIid[] = "{6E41C2D6-8A0B-4F35-9C62-71D0E84B3A20}";
constexpr char kExtension[] = "{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A21}";
constexpr char kInitialMask[] = "http://www.bing.com/search?q=%s";
#ifdef _WIN64
constexpr char kTypeLibPlatform[] = "win64";
#else
constexpr char kTypeLibPlatform[] = "win32";
#endif

const std::string kClassKey = std::string("CLSID\\") + kClsid;
const std::string kSettingsKey = "Software\\Kestrowe\\Quillet";
const std::string kHelperKey =
    std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\") + kClsid;
const std::string kExtensionKey = std::string("Software\\Microsoft\\Internet Explorer\\Extensions\\") + kExtension;
const std::string kTypeLibKey = std::string("TypeLib\\") + kLibid;

// The folder's single quote must reach InprocServer32 unchanged.
const std::string kFolder = "C:\\quillet tests\\O'Brien";
const std::string kNoTlbFolder = "C:\\quillet tests\\No.Tlb";

struct NamedValue {
  const char* name;
  std::string text;
};

struct ExpectedKey {
  HKEY root;
  std::string path;
  const char* defaultValue;  // null: no default value
  std::vector<NamedValue> namedValues;
  DWORD subkeys;
};

std::vector<ExpectedKey> RegisteredKeys(const std::string& modulePath) {
  return {
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet.1", "Veltrano", {}, 1},
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet.1\\CLSID", kClsid, {}, 0},
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet", "Veltrano", {}, 2},
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet\\CLSID", kClsid, {}, 0},
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet\\CurVer", "Kestrowe.Quillet.1", {}, 0},
      {HKEY_CLASSES_ROOT, kClassKey, "Veltrano", {}, 5},
      {HKEY_CLASSES_ROOT, kClassKey + "\\ProgID", "Kestrowe.Quillet.1", {}, 0},
      {HKEY_CLASSES_ROOT, kClassKey + "\\VersionIndependentProgID", "Kestrowe.Quillet", {}, 0},
      {HKEY_CLASSES_ROOT, kClassKey + "\\Programmable", nullptr, {}, 0},
      {HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", modulePath.c_str(), {{"ThreadingModel", "Apartment"}}, 0},
      {HKEY_CLASSES_ROOT, kClassKey + "\\TypeLib", kLibid, {}, 0},
      {HKEY_CURRENT_USER, kSettingsKey, nullptr, {{"SearchMask", kInitialMask}}, 0},
      {HKEY_LOCAL_MACHINE, kHelperKey, nullptr, {}, 0},
      {HKEY_LOCAL_MACHINE,
       kExtensionKey,
       nullptr,
       {{"Clsid", "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}"},
        {"MenuCustomize", "tools"},
        {"MenuText", "Veltrano Options..."},
        {"MenuStatusBar", "Enables you to change settings for Veltrano enhancements."},
        {"ClsidExtension", kClsid}},
       0},
  };
}

void ExpectKey(const ExpectedKey& expected) {
  SCOPED_TRACE(expected.path);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(expected.root, expected.path.c_str(), 0, KEY_READ, &key));
  DWORD subkeys = 0, values = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                            nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(expected.subkeys, subkeys);
  EXPECT_EQ(expected.namedValues.size() + (expected.defaultValue != nullptr ? 1 : 0), values);
  std::string text;
  if (expected.defaultValue != nullptr) {
    EXPECT_TRUE(ReadText(expected.root, expected.path, nullptr, &text));
    EXPECT_EQ(expected.defaultValue, text);
  }
  for (const NamedValue& value : expected.namedValues) {
    text.clear();
    EXPECT_TRUE(ReadText(expected.root, expected.path, value.name, &text)) << value.name;
    EXPECT_EQ(value.text, text) << value.name;
  }
}

// Everything registration may touch, as text, for before/after comparisons.
std::string Snapshot() {
  return DumpTree(HKEY_CLASSES_ROOT, "Kestrowe.Quillet.1") + DumpTree(HKEY_CLASSES_ROOT, "Kestrowe.Quillet") +
         DumpTree(HKEY_CLASSES_ROOT, kClassKey) + DumpTree(HKEY_CURRENT_USER, kSettingsKey) +
         DumpTree(HKEY_LOCAL_MACHINE, kHelperKey) + DumpTree(HKEY_LOCAL_MACHINE, kExtensionKey) +
         DumpTree(HKEY_CLASSES_ROOT, kTypeLibKey) + DumpTree(HKEY_CLASSES_ROOT, std::string("Interface\\") + kIid);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modulePath_ = CopyIntoFolder(BuiltDllPath(), kFolder, "quillet.dll");
    ASSERT_FALSE(modulePath_.empty()) << "cannot copy " << BuiltDllPath();
    ASSERT_EQ(0u, RunRegsvr32("/u /s " + Quoted(modulePath_)));
  }
  void TearDown() override {
    RunRegsvr32("/u /s " + Quoted(modulePath_));
    RemoveFromFolder(kFolder, "quillet.dll");
    RemoveDirectoryA("C:\\quillet tests");
  }
  void Register() { ASSERT_EQ(0u, RunRegsvr32("/s " + Quoted(modulePath_))); }
  void Unregister() { ASSERT_EQ(0u, RunRegsvr32("/u /s " + Quoted(modulePath_))); }

  std::string modulePath_;
};

TEST_F(RegistrationTest, WritesEveryKeyAndValueOfTheScript) {
  Register();
  for (const ExpectedKey& key : RegisteredKeys(modulePath_)) ExpectKey(key);
}

TEST_F(RegistrationTest, RegistersTheTypeLibraryFromTheModule) {
  Register();
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0", nullptr, &text));
  EXPECT_EQ("Veltrano", text);
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\0\\" + kTypeLibPlatform, nullptr, &text));
  EXPECT_EQ(modulePath_, text);
  // No library flags; Wine also records the loader's "has a disk image" flag.
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\FLAGS", nullptr, &text));
  EXPECT_EQ(0ul, strtoul(text.c_str(), nullptr, 16) & ~static_cast<unsigned long>(LIBFLAG_FHASDISKIMAGE)) << text;
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\HELPDIR", nullptr, &text));
  EXPECT_EQ(kFolder + "\\", text);
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, std::string("Interface\\") + kIid, nullptr, &text));
  EXPECT_EQ("IVeltrano", text);
}

TEST_F(RegistrationTest, RegisteringTwiceGivesTheSameContent) {
  Register();
  std::string first = Snapshot();
  // A stray subkey of the class key goes: the key is rebuilt afresh.
  HKEY stray = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, (kClassKey + "\\Stray").c_str(), &stray));
  RegCloseKey(stray);
  Register();
  EXPECT_EQ(first, Snapshot());
}

TEST_F(RegistrationTest, RegistrationOverwritesTheUsersSearchMask) {
  Register();
  HKEY settings = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey.c_str(), 0, KEY_SET_VALUE, &settings));
  const char mask[] = "http://example.org/find?q=%s";
  RegSetValueExA(settings, "SearchMask", 0, REG_SZ, reinterpret_cast<const BYTE*>(mask), sizeof(mask));
  RegCloseKey(settings);
  std::string text;
  ASSERT_TRUE(ReadText(HKEY_CURRENT_USER, kSettingsKey, "SearchMask", &text));
  ASSERT_EQ(mask, text);
  Register();
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, kSettingsKey, "SearchMask", &text));
  EXPECT_EQ(kInitialMask, text);
}

struct RemovedOrKept {
  HKEY root;
  std::string path;
  bool kept;
};

TEST_F(RegistrationTest, UnregisteringRemovesTheEntriesAndKeepsTheSharedParents) {
  Register();
  Unregister();
  const RemovedOrKept rows[] = {
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet.1", false},
      {HKEY_CLASSES_ROOT, "Kestrowe.Quillet", false},
      {HKEY_CLASSES_ROOT, kClassKey, false},
      {HKEY_CLASSES_ROOT, "CLSID", true},
      {HKEY_CURRENT_USER, kSettingsKey, false},
      {HKEY_CURRENT_USER, "Software\\Kestrowe", true},
      {HKEY_LOCAL_MACHINE, kHelperKey, false},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects", true},
      {HKEY_LOCAL_MACHINE, kExtensionKey, false},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer\\Extensions", true},
      {HKEY_CLASSES_ROOT, kTypeLibKey, false},
  };
  for (const RemovedOrKept& row : rows) EXPECT_EQ(row.kept, KeyExists(row.root, row.path)) << row.path;
}

TEST_F(RegistrationTest, UnregisteringTwiceSucceedsAndChangesNothing) {
  Register();
  Unregister();
  std::string after = Snapshot();
  Unregister();
  EXPECT_EQ(after, Snapshot());
}

TEST_F(RegistrationTest, ASubkeyOfTheSettingsKeyKeepsIt) {
  Register();
  HKEY engines = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, (kSettingsKey + "\\Engines").c_str(), &engines));
  RegCloseKey(engines);
  Unregister();
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey + "\\Engines"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_TRUE(DeleteTree(HKEY_CURRENT_USER, kSettingsKey));
}

class TypeLibraryFallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder with a "." and a library without the embedded type library.
    modulePath_ = CopyIntoFolder(BuiltNoTlbDllPath(), kNoTlbFolder, "quillet.dll");
    ASSERT_FALSE(modulePath_.empty());
  }
  void TearDown() override {
    RunRegsvr32("/u /s " + Quoted(modulePath_));
    RemoveFromFolder(kNoTlbFolder, "quillet.tlb");
    RemoveFromFolder(kNoTlbFolder, "quillet.dll");
    RemoveDirectoryA("C:\\quillet tests");
  }
  std::string modulePath_;
};

TEST_F(TypeLibraryFallbackTest, RegistersTheTlbBesideTheLibrary) {
  std::string tlbPath = CopyIntoFolder(BuiltTypeLibPath(), kNoTlbFolder, "quillet.tlb");
  ASSERT_FALSE(tlbPath.empty());
  ASSERT_EQ(0u, RunRegsvr32("/s " + Quoted(modulePath_)));
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\0\\" + kTypeLibPlatform, nullptr, &text));
  EXPECT_EQ(tlbPath, text);
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\HELPDIR", nullptr, &text));
  EXPECT_EQ(kNoTlbFolder + "\\", text);
}

TEST_F(TypeLibraryFallbackTest, WithoutAnyTypeLibraryTheScriptStaysRegistered) {
  HMODULE library = LoadLibraryA(modulePath_.c_str());
  ASSERT_NE(nullptr, library);
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  auto unregisterServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
  ASSERT_NE(nullptr, registerServer);
  ASSERT_NE(nullptr, unregisterServer);

  ITypeLib* missing = nullptr;
  std::wstring tlbPath(L"C:\\quillet tests\\No.Tlb\\quillet.tlb");
  HRESULT expected = LoadTypeLib(tlbPath.c_str(), &missing);
  ASSERT_TRUE(FAILED(expected));
  EXPECT_EQ(expected, registerServer());
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));

  EXPECT_EQ(S_OK, unregisterServer());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  FreeLibrary(library);
}

}  // namespace
}  // namespace quillet::test
