// What the type library declares, read back with OLE Automation from the
// library's embedded resource and from the .tlb the build produces.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "quillet_h.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

#ifdef _WIN64
constexpr SYSKIND kBuildSysKind = SYS_WIN64;  // widl's choice for a 64-bit target
#else
constexpr SYSKIND kBuildSysKind = SYS_WIN32;
#endif

std::wstring Wide(const char* text) {
  wchar_t buffer[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, MAX_PATH);
  return buffer;
}

std::wstring Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return L"(none)";
  std::wstring text(name != nullptr ? name : L"");
  SysFreeString(name);
  return text;
}

std::wstring HelpString(ITypeInfo* info) {
  BSTR help = nullptr;
  if (FAILED(info->GetDocumentation(MEMBERID_NIL, nullptr, &help, nullptr, nullptr))) return L"(none)";
  std::wstring text(help != nullptr ? help : L"");
  SysFreeString(help);
  return text;
}

class TypeLibraryTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const char* path = std::string(GetParam()) == "dll" ? BuiltDllPath() : BuiltTypeLibPath();
    ASSERT_EQ(S_OK, LoadTypeLib(Wide(path).c_str(), &library_)) << path;
  }
  void TearDown() override {
    if (library_ != nullptr) library_->Release();
  }
  ITypeLib* library_ = nullptr;
};

TEST_P(TypeLibraryTest, LibraryAttributes) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library_->GetLibAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(LIBID_QUILLET, attributes->guid));
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(0u, attributes->lcid);
  EXPECT_EQ(kBuildSysKind, attributes->syskind);
  // No library flags declared; the loader adds that the library has a disk image.
  EXPECT_EQ(0, attributes->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) << attributes->wLibFlags;
  library_->ReleaseTLibAttr(attributes);

  BSTR name = nullptr, help = nullptr, helpFile = nullptr;
  ASSERT_EQ(S_OK, library_->GetDocumentation(-1, &name, &help, nullptr, &helpFile));
  EXPECT_STREQ(L"QUILLET", name);
  EXPECT_STREQ(L"Veltrano", help);
  EXPECT_EQ(nullptr, helpFile);
  SysFreeString(name);
  SysFreeString(help);
  SysFreeString(helpFile);
  EXPECT_EQ(2u, library_->GetTypeInfoCount());  // the coclass and the interface, nothing else
}

TEST_P(TypeLibraryTest, CoclassIsCreatableWithIVeltranoAsDefault) {
  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(CLSID_Veltrano, &coclass));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
  EXPECT_EQ(TYPEFLAG_FCANCREATE, attributes->wTypeFlags);
  EXPECT_EQ(1, attributes->cImplTypes);
  coclass->ReleaseTypeAttr(attributes);
  EXPECT_EQ(L"Veltrano", Name(coclass));
  EXPECT_EQ(L"Veltrano", HelpString(coclass));
  INT implFlags = 0;
  EXPECT_EQ(S_OK, coclass->GetImplTypeFlags(0, &implFlags));
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, implFlags);
  HREFTYPE reference = 0;
  ITypeInfo* implemented = nullptr;
  ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
  ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, &implemented));
  EXPECT_EQ(L"IVeltrano", Name(implemented));
  implemented->Release();
  coclass->Release();
}

// The dispatch description that GetTypeInfoOfGuid gives, and the interface
// part of the dual interface behind it.
TEST_P(TypeLibraryTest, IVeltranoIsADualInterfaceWithoutMembersOfItsOwn) {
  ITypeInfo* dispatch = nullptr;
  ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(IID_IVeltrano, &dispatch));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, dispatch->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
  EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE, attributes->wTypeFlags)
      << std::hex << attributes->wTypeFlags;
  EXPECT_EQ(7, attributes->cFuncs);  // IUnknown's and IDispatch's slots
  EXPECT_EQ(0, attributes->cVars);
  dispatch->ReleaseTypeAttr(attributes);
  EXPECT_EQ(L"IVeltrano", Name(dispatch));
  EXPECT_EQ(L"IQuillet Interface", HelpString(dispatch));

  HREFTYPE reference = 0;
  ITypeInfo* interfacePart = nullptr;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &reference));
  ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(reference, &interfacePart));
  ASSERT_EQ(S_OK, interfacePart->GetTypeAttr(&attributes));
  EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
  EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, attributes->wTypeFlags)
      << std::hex << attributes->wTypeFlags;
  EXPECT_EQ(0x1140, attributes->wTypeFlags);
  EXPECT_EQ(0, attributes->cFuncs);  // nothing beyond IDispatch
  EXPECT_EQ(1, attributes->cImplTypes);
  interfacePart->ReleaseTypeAttr(attributes);

  ITypeInfo* base = nullptr;
  ASSERT_EQ(S_OK, interfacePart->GetRefTypeOfImplType(0, &reference));
  ASSERT_EQ(S_OK, interfacePart->GetRefTypeInfo(reference, &base));
  EXPECT_EQ(L"IDispatch", Name(base));
  base->Release();
  interfacePart->Release();
  dispatch->Release();
}

INSTANTIATE_TEST_SUITE_P(EmbeddedAndBeside, TypeLibraryTest, ::testing::Values("dll", "tlb"));

}  // namespace
}  // namespace quillet::test
