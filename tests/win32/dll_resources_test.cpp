// The resources of the built library: the registry script byte for byte,
// every string of the version resource, and the options dialog's copyright
// line and web address, which must agree with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/options_ids.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

std::string ReadFileBytes(const char* path) {
  std::string bytes;
  if (FILE* file = fopen(path, "rb")) {
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, got);
    fclose(file);
  }
  return bytes;
}

TEST(DllResourcesTest, RegistryScriptIsTheScriptFileByteForByte) {
  HMODULE library = LoadLibraryExA(BuiltDllPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, library);
  HRSRC info = FindResourceExA(library, "REGISTRY", MAKEINTRESOURCEA(101), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(nullptr, info);
  HGLOBAL data = LoadResource(library, info);
  std::string script(static_cast<const char*>(LockResource(data)), SizeofResource(library, info));
  std::string source = ReadFileBytes(QUILLET_RGS_PATH);
  ASSERT_FALSE(source.empty());
  EXPECT_EQ(source, script);
  EXPECT_EQ(std::string::npos, script.find('\0'));  // no terminating NUL in the resource
  EXPECT_EQ("}\r\n", script.substr(script.size() - 3));
  EXPECT_NE(nullptr, FindResourceExA(library, "TYPELIB", MAKEINTRESOURCEA(1), 1033));
  FreeLibrary(library);
}

struct VersionString {
  const char* name;
  const char* value;
};

TEST(DllResourcesTest, VersionResourceCarriesEveryString) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(BuiltDllPath(), &handle);
  ASSERT_NE(0u, size);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(BuiltDllPath(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x0000001Eu, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);
  EXPECT_EQ(0x0000001Eu, fixed->dwProductVersionLS);
  EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
  EXPECT_EQ(0u, fixed->dwFileFlags);
  EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileSubtype);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_EQ(4u, length);
  EXPECT_EQ(0x0409, translation[0]);
  EXPECT_EQ(0x04B0, translation[1]);

  const VersionString strings[] = {
      {"Comments", "support@kestrowe.example"},
      {"CompanyName", "Kestrowe"},
      {"FileDescription", "Veltrano"},
      {"FileVersion", "1.1.30"},
      {"InternalName", "quillet"},
      {"LegalCopyright", "Copyright (C) 2026 Kestrowe"},
      {"LegalTrademarks", ""},
      {"OLESelfRegister", ""},
      {"OriginalFilename", "quillet.dll"},
      {"PrivateBuild", ""},
      {"ProductName", "Veltrano"},
      {"ProductVersion", "1.1.30"},
      {"SpecialBuild", ""},
  };
  for (const VersionString& row : strings) {
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + row.name;
    char* value = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << row.name;
    EXPECT_STREQ(row.value, value != nullptr ? value : "") << row.name;
  }
}

// The texts of the options dialog's template: the NUL-terminated UTF-16 runs
// it holds (every text in a template starts on a WORD boundary).
std::vector<std::wstring> DialogTexts(HMODULE library) {
  std::vector<std::wstring> texts;
  HRSRC info = FindResourceExA(library, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(IDD_OPTIONS),
                               MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
  if (info == nullptr) return texts;
  const auto* words = static_cast<const wchar_t*>(LockResource(LoadResource(library, info)));
  std::wstring run;
  for (DWORD i = 0; i < SizeofResource(library, info) / sizeof(wchar_t); ++i) {
    if (words[i] != L'\0') {
      run += words[i];
    } else if (!run.empty()) {
      texts.push_back(run);
      run.clear();
    }
  }
  return texts;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

TEST(DllResourcesTest, DialogCopyrightIsTheVersionResourcesAndItsAddressIsOnAnExampleDomain) {
  DWORD handle = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(BuiltDllPath(), &handle));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(BuiltDllPath(), 0, static_cast<DWORD>(block.size()), block.data()));
  char* copyright = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\LegalCopyright",
                             reinterpret_cast<void**>(&copyright), &length));

  HMODULE library = LoadLibraryExA(BuiltDllPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, library);
  std::wstring dialogCopyright, address;
  for (const std::wstring& text : DialogTexts(library)) {
    // A control's text follows its class's atom without a NUL between them.
    if (size_t at = text.find(L"Copyright"); at != std::wstring::npos) dialogCopyright = text.substr(at);
    if (size_t at = text.find(L"http"); at != std::wstring::npos) address = text.substr(at);
  }
  FreeLibrary(library);
  EXPECT_EQ(Widen(copyright), dialogCopyright);
  EXPECT_EQ(L"http://www.kestrowe.example/", address);
}

}  // namespace
}  // namespace quillet::test
