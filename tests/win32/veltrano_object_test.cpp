// The Veltrano object's browser-facing methods through the built library,
// in a process that is not the browser: argument checks and the answers that
// need no browser.
#include <windows.h>
#include <exdispid.h>
#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include "loaded_server.h"
#include "quillet_h.h"
#include "tests/win32/server_support.h"

namespace quillet::test {
namespace {

class VeltranoObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, server_.module()) << BuiltDllPath();
    ASSERT_EQ(S_OK, server_.status());
    HRESULT created = E_FAIL;
    site_ = static_cast<IObjectWithSite*>(server_.Create(IID_IObjectWithSite, &created));
    ASSERT_EQ(S_OK, created);
    ASSERT_EQ(S_OK, site_->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&commands_)));
    ASSERT_EQ(S_OK, site_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)));
    server_.FreeFactory();
  }
  void TearDown() override {
    if (site_ != nullptr) site_->SetSite(nullptr);
    for (IUnknown* held : {static_cast<IUnknown*>(dispatch_), static_cast<IUnknown*>(commands_),
                           static_cast<IUnknown*>(site_)}) {
      if (held != nullptr) held->Release();
    }
    if (server_.module() != nullptr) FreeLibrary(server_.module());
  }

  LoadedServer server_{BuiltDllPath()};
  IObjectWithSite* site_ = nullptr;
  IOleCommandTarget* commands_ = nullptr;
  IDispatch* dispatch_ = nullptr;
};

TEST_F(VeltranoObjectTest, InvokeWithoutParametersIsAnInvalidArgument) {
  for (DISPID dispid : {DISPID_BEFORENAVIGATE2, DISPID_ONQUIT, 0, 7, -1}) {
    EXPECT_EQ(E_INVALIDARG, dispatch_->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                                              nullptr))
        << dispid;
  }
}

TEST_F(VeltranoObjectTest, BeforeNavigate2NeedsTheUrlByReference) {
  VARIANTARG args[7];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  DISPPARAMS five = {args, nullptr, 5, 0};
  EXPECT_EQ(DISP_E_BADVARTYPE, dispatch_->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &five, nullptr, nullptr, nullptr));
  DISPPARAMS noArray = {nullptr, nullptr, 7, 0};
  EXPECT_EQ(DISP_E_BADVARTYPE,
            dispatch_->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &noArray, nullptr, nullptr, nullptr));
  DISPPARAMS seven = {args, nullptr, 7, 0};
  args[5].vt = VT_BSTR;
  args[5].bstrVal = nullptr;
  EXPECT_EQ(DISP_E_BADVARTYPE, dispatch_->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &seven, nullptr, nullptr, nullptr));
  VARIANT url;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(L"http://autosearch/response.asp?MT=x");
  args[5].vt = VT_BYREF | VT_VARIANT;
  args[5].pvarVal = &url;
  // Not attached to any browser: accepted, and there is nobody to redirect.
  EXPECT_EQ(S_OK, dispatch_->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &seven, nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, dispatch_->Invoke(DISPID_ONQUIT, IID_NULL, 0, DISPATCH_METHOD, &seven, nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, dispatch_->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &seven, nullptr, nullptr, nullptr));
  VariantClear(&url);
}

TEST_F(VeltranoObjectTest, CommandTargetAnswers) {
  constexpr DWORD kSupportedAndEnabled = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
  EXPECT_EQ(S_OK, commands_->QueryStatus(nullptr, 3, nullptr, nullptr));
  OLECMD command[2] = {{10, 0}, {11, 0}};
  EXPECT_EQ(S_OK, commands_->QueryStatus(nullptr, 0, command, nullptr));
  EXPECT_EQ(0u, command[0].cmdf) << "a count of 0 marks nothing";
  EXPECT_EQ(S_OK, commands_->QueryStatus(nullptr, 2, command, nullptr));
  EXPECT_EQ(kSupportedAndEnabled, command[0].cmdf);
  EXPECT_EQ(kSupportedAndEnabled, command[1].cmdf);
  const GUID group = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
  command[0].cmdf = command[1].cmdf = 0;
  EXPECT_EQ(S_OK, commands_->QueryStatus(&group, 2, command, nullptr)) << "the group is not looked at";
  EXPECT_EQ(kSupportedAndEnabled, command[1].cmdf);
  EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, commands_->Exec(&group, 1, 0, nullptr, nullptr));
}

TEST_F(VeltranoObjectTest, OutsideTheBrowserSetSiteOnlyKeepsTheSite) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_POINTER, site_->GetSite(IID_IUnknown, nullptr));
  EXPECT_EQ(E_FAIL, site_->GetSite(IID_IUnknown, &out));
  EXPECT_EQ(nullptr, out);

  CountingSite site;
  EXPECT_EQ(S_OK, site_->SetSite(&site));
  EXPECT_EQ(2, site.references());
  EXPECT_EQ(0, site.browserQueries()) << "no browser is asked for outside iexplore.exe";
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, site_->GetSite(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(static_cast<IUnknown*>(&site), unknown);
  unknown->Release();
  EXPECT_EQ(S_OK, site_->SetSite(nullptr));
  EXPECT_EQ(1, site.references());
  EXPECT_EQ(E_FAIL, site_->GetSite(IID_IUnknown, &out));
}

}  // namespace
}  // namespace quillet::test
