// The Veltrano object's type information, served from the registered type
// library: before and after registration, and the name cache.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "quillet_h.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using RegistrationFunction = HRESULT(STDAPICALLTYPE*)();

constexpr DISPID kQueryInterfaceId = 0x60000000;
constexpr DISPID kInvokeId = 0x60010003;
constexpr DISPID kUntouched = 0x7777;

template <class Function>
Function Export(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

class TypeInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = LoadLibraryA(BuiltDllPath());
    ASSERT_NE(nullptr, library_);
    registerServer_ = Export<RegistrationFunction>(library_, "DllRegisterServer");
    unregisterServer_ = Export<RegistrationFunction>(library_, "DllUnregisterServer");
    auto getClassObject = Export<GetClassObjectFunction>(library_, "DllGetClassObject");
    ASSERT_EQ(S_OK, unregisterServer_());
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject(CLSID_Veltrano, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVeltrano, reinterpret_cast<void**>(&veltrano_)));
    factory->Release();
  }
  void TearDown() override {
    if (veltrano_ != nullptr) veltrano_->Release();
    if (unregisterServer_ != nullptr) unregisterServer_();
    if (library_ != nullptr) FreeLibrary(library_);
  }
  // What LoadRegTypeLib says while the type library is not registered.
  static HRESULT NotRegistered() {
    ITypeLib* library = nullptr;
    HRESULT hr = LoadRegTypeLib(LIBID_QUILLET, 1, 0, 0, &library);
    if (library != nullptr) library->Release();
    return hr;
  }

  HMODULE library_ = nullptr;
  RegistrationFunction registerServer_ = nullptr;
  RegistrationFunction unregisterServer_ = nullptr;
  IVeltrano* veltrano_ = nullptr;
};

TEST_F(TypeInfoTest, CountIsOne) {
  UINT count = 0;
  EXPECT_EQ(S_OK, veltrano_->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  EXPECT_EQ(E_POINTER, veltrano_->GetTypeInfoCount(nullptr));
  EXPECT_EQ(E_POINTER, veltrano_->GetTypeInfo(0, 0, nullptr));
}

TEST_F(TypeInfoTest, FailsBeforeRegistrationAndSucceedsAfter) {
  HRESULT notRegistered = NotRegistered();
  ASSERT_TRUE(FAILED(notRegistered));
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(notRegistered, veltrano_->GetTypeInfo(0, 0, &info));
  EXPECT_EQ(nullptr, info);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Invoke")};
  DISPID ids[1] = {kUntouched};
  EXPECT_EQ(notRegistered, veltrano_->GetIDsOfNames(IID_NULL, names, 1, 0, ids));
  EXPECT_EQ(kUntouched, ids[0]);

  ASSERT_EQ(S_OK, registerServer_());
  ITypeInfo* first = nullptr;
  ITypeInfo* second = nullptr;
  ASSERT_EQ(S_OK, veltrano_->GetTypeInfo(0, 0, &first));
  ASSERT_NE(nullptr, first);
  first->AddRef();
  ULONG references = first->Release();
  ASSERT_EQ(S_OK, veltrano_->GetTypeInfo(5, 0x0419, &second));
  EXPECT_EQ(first, second);  // every index and locale, one type information
  first->AddRef();
  EXPECT_EQ(references + 1, first->Release());  // each call adds one reference
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, first->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(IID_IVeltrano, attributes->guid));
  first->ReleaseTypeAttr(attributes);
  second->Release();
  first->Release();

  // Loaded now: unregistering does not take it away.
  ASSERT_EQ(S_OK, unregisterServer_());
  ASSERT_EQ(S_OK, veltrano_->GetTypeInfo(0, 0, &second));
  second->Release();
}

struct NamesCase {
  const char* what;
  const wchar_t* names[2];
  UINT count;
  HRESULT result;
  DISPID ids[2];
};

class TypeInfoNamesTest : public TypeInfoTest, public ::testing::WithParamInterface<NamesCase> {};

TEST_P(TypeInfoNamesTest, ResolvesFromTheCacheOrTheTypeInformation) {
  const NamesCase& row = GetParam();
  ASSERT_EQ(S_OK, registerServer_());
  LPOLESTR names[2] = {const_cast<LPOLESTR>(row.names[0]), const_cast<LPOLESTR>(row.names[1])};
  DISPID ids[2] = {kUntouched, kUntouched};
  EXPECT_EQ(row.result, veltrano_->GetIDsOfNames(IID_NULL, names, row.count, 0, ids));
  EXPECT_EQ(row.ids[0], ids[0]);
  EXPECT_EQ(row.ids[1], ids[1]);
}

// Two names go to the type information as a member and one of its
// parameters, so a pair of members resolves only through the cache.
const NamesCase kNamesCases[] = {
    {"NoNamesNoWork", {L"Invoke", nullptr}, 0, S_OK, {kUntouched, kUntouched}},
    {"OneCachedName", {L"Invoke", nullptr}, 1, S_OK, {kInvokeId, kUntouched}},
    {"TwoCachedMembers", {L"QueryInterface", L"Invoke"}, 2, S_OK, {kQueryInterfaceId, kInvokeId}},
    {"SecondNameFallsThroughToTheTypeInformation", {L"QueryInterface", L"riid"}, 2, S_OK, {kQueryInterfaceId, 0}},
    {"OtherCaseMissesTheCacheButTheTypeInformationFindsIt", {L"invoke", nullptr}, 1, S_OK, {kInvokeId, kUntouched}},
    {"OtherCaseOfTheFirstSendsBothToTheTypeInformation", {L"queryinterface", L"Invoke"}, 2, DISP_E_UNKNOWNNAME,
     {kQueryInterfaceId, DISPID_UNKNOWN}},
    {"UnknownNameFailsWithTheTypeInformationsError", {L"Navigate", nullptr}, 1, DISP_E_UNKNOWNNAME,
     {DISPID_UNKNOWN, kUntouched}},
};

INSTANTIATE_TEST_SUITE_P(Names, TypeInfoNamesTest, ::testing::ValuesIn(kNamesCases),
                         [](const ::testing::TestParamInfo<NamesCase>& info) { return info.param.what; });

}  // namespace
}  // namespace quillet::test
