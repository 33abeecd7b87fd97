// regsvr32 on the built library, end to end: what registration writes, what
// unregistration takes away and what it keeps.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/registered_content.h"
#include "tests/registry_dump.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

constexpr char kIid[] = "{6E41C2D6-8A0B-4F35-9C62-71D0E84B3A20}";
#ifdef _WIN64
constexpr char kTypeLibPlatform[] = "win64";
#else
constexpr char kTypeLibPlatform[] = "win32";
#endif

const std::string kClassKey = std::string("CLSID\\") + kVeltranoClsid;
const std::string kSettingsKey = kQuilletSettingsKey;
const std::string kTypeLibKey = std::string("TypeLib\\") + kVeltranoLibid;

// The folder's single quote must reach InprocServer32 unchanged.
const std::string kFolder = "C:\\quillet tests\\O'Brien";
const std::string kNoTlbFolder = "C:\\quillet tests\\No.Tlb";

// Everything registration may touch, as text, for before/after comparisons.
std::string Snapshot(const std::string& modulePath) {
  std::string text;
  for (const RegistrySubtree& subtree : RegisteredContent(modulePath)) {
    text += subtree.path + ":\n" + Dump(ActiveRegistry(), subtree.root, subtree.path);
  }
  for (const std::string& path : {kTypeLibKey, std::string("Interface\\") + kIid}) {
    text += path + ":\n" + Dump(ActiveRegistry(), ClassesRoot(), path);
  }
  return text;
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
  for (const RegistrySubtree& subtree : RegisteredContent(modulePath_)) {
    EXPECT_EQ(Lines(subtree.lines), Dump(ActiveRegistry(), subtree.root, subtree.path)) << subtree.path;
  }
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
  std::string first = Snapshot(modulePath_);
  // A stray subkey of the class key goes: the key is rebuilt afresh.
  HKEY stray = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, (kClassKey + "\\Stray").c_str(), &stray));
  RegCloseKey(stray);
  Register();
  EXPECT_EQ(first, Snapshot(modulePath_));
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
  EXPECT_EQ(kInitialSearchMask, text);
}

TEST_F(RegistrationTest, UnregisteringRemovesTheEntriesAndKeepsTheSharedParents) {
  Register();
  Unregister();
  for (const RegistrySubtree& subtree : RegisteredContent(modulePath_)) {
    EXPECT_EQ("<absent>", Dump(ActiveRegistry(), subtree.root, subtree.path)) << subtree.path;
  }
  for (const RegistryKeyName& parent : SharedParents()) {
    EXPECT_TRUE(KeyExists(ActiveRegistry(), parent.root, parent.path)) << parent.path;
  }
  EXPECT_FALSE(KeyExists(ActiveRegistry(), HKEY_CLASSES_ROOT, kTypeLibKey));
}

TEST_F(RegistrationTest, UnregisteringTwiceSucceedsAndChangesNothing) {
  Register();
  Unregister();
  std::string after = Snapshot(modulePath_);
  Unregister();
  EXPECT_EQ(after, Snapshot(modulePath_));
}

TEST_F(RegistrationTest, ASubkeyOfTheSettingsKeyKeepsIt) {
  Register();
  HKEY engines = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, (kSettingsKey + "\\Engines").c_str(), &engines));
  RegCloseKey(engines);
  Unregister();
  EXPECT_TRUE(KeyExists(ActiveRegistry(), HKEY_CURRENT_USER, kSettingsKey + "\\Engines"));
  EXPECT_FALSE(KeyExists(ActiveRegistry(), HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_TRUE(DeleteTree(ActiveRegistry(), CurrentUser(), kSettingsKey));
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
  EXPECT_TRUE(KeyExists(ActiveRegistry(), HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32"));
  EXPECT_FALSE(KeyExists(ActiveRegistry(), HKEY_CLASSES_ROOT, kTypeLibKey));

  EXPECT_EQ(S_OK, unregisterServer());
  EXPECT_FALSE(KeyExists(ActiveRegistry(), HKEY_CLASSES_ROOT, kClassKey));
  FreeLibrary(library);
}

}  // namespace
}  // namespace quillet::test
