// The system identifiers the library defines itself (com/guids.cpp) instead
// of taking them from libuuid: each has the value the platform's headers give
// its interface, and the component categories manager is found under its
// class identifier.
#include <windows.h>
#include <comcat.h>
#include <docobj.h>
#include <exdisp.h>
#include <oaidl.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>

namespace quillet::test {
namespace {

std::string GuidText(const GUID& guid) {
  wchar_t wide[40];
  char text[40];
  if (StringFromGUID2(guid, wide, 40) == 0) return "(unprintable)";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

struct IdentifierCase {
  const char* name;
  const GUID& defined;
  const GUID& fromHeader;
};

TEST(SystemGuidsTest, EachHasTheValueOfItsInterface) {
  const IdentifierCase cases[] = {
      {"IID_IUnknown", IID_IUnknown, __uuidof(IUnknown)},
      {"IID_IClassFactory", IID_IClassFactory, __uuidof(IClassFactory)},
      {"IID_IDispatch", IID_IDispatch, __uuidof(IDispatch)},
      {"IID_ITypeInfo2", IID_ITypeInfo2, __uuidof(ITypeInfo2)},
      {"IID_IObjectWithSite", IID_IObjectWithSite, __uuidof(IObjectWithSite)},
      {"IID_IOleCommandTarget", IID_IOleCommandTarget, __uuidof(IOleCommandTarget)},
      {"IID_IConnectionPointContainer", IID_IConnectionPointContainer, __uuidof(IConnectionPointContainer)},
      {"IID_IWebBrowser2", IID_IWebBrowser2, __uuidof(IWebBrowser2)},
      {"DIID_DWebBrowserEvents2", DIID_DWebBrowserEvents2, __uuidof(DWebBrowserEvents2)},
      {"IID_ICatRegister", IID_ICatRegister, __uuidof(ICatRegister)},
  };
  for (const IdentifierCase& row : cases) EXPECT_EQ(GuidText(row.fromHeader), GuidText(row.defined)) << row.name;
}

TEST(SystemGuidsTest, TheCategoriesManagerIsCreatedUnderItsClassIdentifier) {
  ASSERT_EQ(S_OK, CoInitialize(nullptr));
  ICatRegister* manager = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                reinterpret_cast<void**>(&manager));
  EXPECT_EQ(S_OK, hr) << GuidText(CLSID_StdComponentCategoriesMgr);
  if (manager != nullptr) manager->Release();
  CoUninitialize();
}

}  // namespace
}  // namespace quillet::test
