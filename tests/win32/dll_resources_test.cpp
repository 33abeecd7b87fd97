// The resources of the built library: the registry script byte for byte, a
// version resource whose fields agree with each other and with the file, and
// the options dialog's copyright line and web address, which agree with it.
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

// The version resource as Windows reads it: what each field must agree with,
// not the resource script retyped.
class VersionResource {
 public:
  explicit VersionResource(const char* path) {
    DWORD handle = 0;
    block_.resize(GetFileVersionInfoSizeA(path, &handle));
    ok_ = !block_.empty() && GetFileVersionInfoA(path, 0, static_cast<DWORD>(block_.size()), block_.data());
  }
  bool ok() const { return ok_; }
  const void* Value(const std::string& query, UINT* length) {
    void* value = nullptr;
    *length = 0;
    return VerQueryValueA(block_.data(), query.c_str(), &value, length) ? value : nullptr;
  }
  // A string of the block the translation table names; null when absent.
  const char* Text(const char* name) {
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(Value("\\VarFileInfo\\Translation", &length));
    if (translation == nullptr || length < 4) return nullptr;
    char block[32];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    return static_cast<const char*>(Value(std::string(block) + name, &length));
  }

 private:
  std::vector<char> block_;
  bool ok_ = false;
};

std::string Or(const char* text) { return text != nullptr ? text : "<absent>"; }

TEST(DllResourcesTest, VersionResourceAgreesWithItselfAndTheFile) {
  VersionResource version(BuiltDllPath());
  ASSERT_TRUE(version.ok());
  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(version.Value("\\", &length));
  ASSERT_NE(nullptr, fixed);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask) << "a release: no debug, pre-release or patched flag";

  // "1.1.0.30" is shown "1.1.30", in the texts as everywhere else.
  char shown[32];
  std::snprintf(shown, sizeof shown, "%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
  EXPECT_EQ(shown, Or(version.Text("FileVersion")));
  EXPECT_EQ(shown, Or(version.Text("ProductVersion")));

  // The names a user and the platform meet.
  std::string file = BuiltDllPath();
  file = file.substr(file.find_last_of("\\/") + 1);
  EXPECT_EQ(file, Or(version.Text("OriginalFilename")));
  EXPECT_EQ(file.substr(0, file.rfind('.')), Or(version.Text("InternalName")));
  EXPECT_EQ("Veltrano", Or(version.Text("ProductName"))) << "the name the browser shows";
  EXPECT_EQ(Or(version.Text("ProductName")), Or(version.Text("FileDescription")));
  EXPECT_NE(nullptr, version.Text("OLESelfRegister")) << "regsvr32 and installers look for it";
  const std::string company = Or(version.Text("CompanyName"));
  EXPECT_NE(std::string::npos, Or(version.Text("LegalCopyright")).find(company)) << company;
  EXPECT_NE(std::string::npos, Or(version.Text("Comments")).find(".example")) << "a domain no third party owns";
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

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST(DllResourcesTest, DialogCopyrightIsTheVersionResourcesAndItsAddressIsOnAnExampleDomain) {
  VersionResource version(BuiltDllPath());
  ASSERT_TRUE(version.ok());
  HMODULE library = LoadLibraryExA(BuiltDllPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, library);
  std::wstring dialogCopyright, address;
  for (const std::wstring& text : DialogTexts(library)) {
    // A control's text follows its class's atom without a NUL between them.
    if (size_t at = text.find(L"Copyright"); at != std::wstring::npos) dialogCopyright = text.substr(at);
    if (size_t at = text.find(L"http"); at != std::wstring::npos) address = text.substr(at);
  }
  FreeLibrary(library);
  EXPECT_EQ(Widen(Or(version.Text("LegalCopyright"))), dialogCopyright);
  EXPECT_EQ(L"http://www.kestrowe.example/", address);
}

}  // namespace
}  // namespace quillet::test
