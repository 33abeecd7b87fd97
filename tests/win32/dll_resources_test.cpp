// The resources of the built library: the registry script byte for byte and
// every string of the version resource.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace quillet::test
