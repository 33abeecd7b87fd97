// The helper against the stand-in's browser object, in one process whose
// executable name holds "iexplore.exe", so the helper attaches for real.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../settings_fixture.h"
#include "browser/browser_helper.h"
#include "browser/host_process.h"
#include "browser/address_edit.h"
#include "standin_browser.h"
#include "ui_thread.h"
#include "precondition.h"

namespace quillet {
namespace {

using standin::Browser;
using standin::UiThread;

constexpr char kMask[] = "http://e.com/search?q=%s";

// The helper attaches only inside a program named like the browser.
std::string NotNamedLikeTheBrowser() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  return IsBrowserExecutable(path) ? std::string() : std::string("the helper does not attach in ") + path;
}
::testing::Environment* const browserName = test::RequireBeforeAnyTest(NotNamedLikeTheBrowser);

// The helper with an event sink that hands the browser's events back to it,
// as the Veltrano object does.
class OwningSink : public IDispatch {
 public:
  OwningSink() : helper(this) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *ppv = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return helper.Invoke(dispid, params);
  }

  BrowserHelper helper;
};

// A URL as the browser passes it, for the caller to clear.
VARIANT UrlVariant(const wchar_t* text) {
  VARIANT url;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(text);
  return url;
}

int Count(const std::vector<std::string>& history, const std::string& prefix) {
  return static_cast<int>(std::count_if(history.begin(), history.end(), [&](const std::string& entry) {
    return entry.compare(0, prefix.size(), prefix) == 0;
  }));
}

class BrowserHelperTest : public test::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    WriteSetting(kSearchMaskName, kMask);
  }
  // The helper lets go of its browser before the browsers go, and the
  // browsers let go of the helper's sink while it still exists.
  void TearDown() override {
    object_.reset();
    browsers_.clear();
    SettingsTest::TearDown();
  }
  Browser& NewBrowser(int index, int workers) {
    browsers_.emplace_back(new Browser(index, workers));
    return *browsers_.back();
  }
  void Type(Browser& browser, const char* text, int worker = 0) {
    SetWindowTextA(browser.edit(worker), text);
    SendMessageA(browser.edit(worker), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  }
  std::unique_ptr<OwningSink> object_{new OwningSink};
  BrowserHelper& helper_ = object_->helper;
  std::vector<std::unique_ptr<Browser>> browsers_;
};

TEST_F(BrowserHelperTest, AttachSubclassesTheAddressBarAndConnects) {
  Browser& browser = NewBrowser(1, 1);
  ASSERT_NE(nullptr, browser.edit());
  WNDPROC standInProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(browser.edit(), GWLP_WNDPROC));
  EXPECT_EQ(S_OK, helper_.SetSite(static_cast<IWebBrowser2*>(&browser)));
  EXPECT_EQ(static_cast<IWebBrowser2*>(&browser), helper_.browser);
  EXPECT_EQ(browser.frame(), helper_.browserWindow);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(&AddressEditProc), GetWindowLongPtrA(browser.edit(), GWLP_WNDPROC));
  EXPECT_EQ(standInProc, PreviousEditProc(browser.edit()));
  EXPECT_EQ(1u, browser.sinkCount());

  Type(browser, "cats and dogs");
  EXPECT_EQ("http://e.com/search?q=cats and dogs", browser.location());
}

TEST_F(BrowserHelperTest, AttachingTheSameWindowAgainKeepsAGenuinePreviousProcedureAndOneConnection) {
  Browser& browser = NewBrowser(1, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  WNDPROC first = PreviousEditProc(browser.edit());
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  EXPECT_EQ(first, PreviousEditProc(browser.edit()));
  EXPECT_NE(reinterpret_cast<WNDPROC>(&AddressEditProc), PreviousEditProc(browser.edit()));
  Type(browser, "ww.example.com");  // would recurse forever through a self-call
  EXPECT_EQ("http://www.example.com/", browser.location());
  EXPECT_EQ(1u, browser.sinkCount()) << "connected once";
  browser.ClearHistory();
  browser.NavigateTo("http://autosearch/response.asp?MT=weather&srch=5");
  EXPECT_EQ(1, Count(browser.history(), "Stop called")) << "redirected once";
  EXPECT_EQ(1, Count(browser.history(), "Navigate called"));
}

// Something else subclasses the box after us and the window is attached
// again: each message reaches the foreign procedure and the original once.
constexpr UINT kProbeMessage = WM_APP + 0x51;
int originalCalls = 0, foreignCalls = 0, foreignDepth = 0;
WNDPROC originalBelow = nullptr, foreignBelow = nullptr;

LRESULT CALLBACK CountingOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbeMessage) ++originalCalls;
  return CallWindowProcA(originalBelow, window, message, wParam, lParam);
}

// A loop shows as a count here instead of overflowing the stack.
bool EnterForeign(UINT message) {
  if (message == kProbeMessage) ++foreignCalls;
  return ++foreignDepth <= 8;
}

LRESULT CALLBACK ForeignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = EnterForeign(message) ? CallWindowProcA(foreignBelow, window, message, wParam, lParam) : 0;
  --foreignDepth;
  return result;
}

LRESULT CALLBACK ForeignSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = EnterForeign(message) ? DefSubclassProc(window, message, wParam, lParam) : 0;
  --foreignDepth;
  return result;
}

TEST_F(BrowserHelperTest, AForeignSubclassOnTopIsNeverSubclassedAgain) {
  for (bool comctl : {false, true}) {
    Browser& browser = NewBrowser(comctl ? 2 : 1, 1);
    HWND edit = browser.edit();
    originalBelow = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingOriginal)));
    helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
    ASSERT_EQ(reinterpret_cast<WNDPROC>(&CountingOriginal), PreviousEditProc(edit));
    if (comctl) {
      ASSERT_TRUE(SetWindowSubclass(edit, ForeignSubclass, 1, 0));
    } else {
      foreignBelow = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    }
    helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(&CountingOriginal), PreviousEditProc(edit)) << "comctl32: " << comctl;
    originalCalls = foreignCalls = foreignDepth = 0;
    SendMessageA(edit, kProbeMessage, 0, 0);
    EXPECT_EQ(1, foreignCalls) << "comctl32: " << comctl;
    EXPECT_EQ(1, originalCalls) << "comctl32: " << comctl;
    Type(browser, "ww.example.com");
    EXPECT_EQ("http://www.example.com/", browser.location()) << "comctl32: " << comctl;
    if (comctl) RemoveWindowSubclass(edit, ForeignSubclass, 1);
  }
}

TEST_F(BrowserHelperTest, EveryWorkerWindowIsSubclassed) {
  Browser& browser = NewBrowser(1, 2);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  for (int worker = 0; worker < 2; ++worker) {
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&AddressEditProc), GetWindowLongPtrA(browser.edit(worker), GWLP_WNDPROC));
  }
  Type(browser, "wwww.example.com", 1);
  char bar[256];
  GetWindowTextA(browser.edit(1), bar, sizeof bar);
  EXPECT_STREQ("www.example.com", bar);
}

TEST_F(BrowserHelperTest, WindowWithoutWorkersIsStillConnected) {
  Browser& browser = NewBrowser(1, 0);
  EXPECT_EQ(S_OK, helper_.SetSite(static_cast<IWebBrowser2*>(&browser)));
  EXPECT_EQ(1u, browser.sinkCount());
}

TEST_F(BrowserHelperTest, AutosearchIsStoppedThenRedirected) {
  Browser& browser = NewBrowser(1, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  browser.ClearHistory();
  browser.NavigateTo("http://autosearch/response.asp?MT=weather&srch=5");
  const auto& history = browser.history();
  auto stop = std::find(history.begin(), history.end(), "Stop called");
  auto navigate = std::find(history.begin(), history.end(), "Navigate called");
  ASSERT_NE(history.end(), stop);
  ASSERT_NE(history.end(), navigate);
  EXPECT_LT(stop - history.begin(), navigate - history.begin()) << "Stop comes before Navigate";
  EXPECT_EQ("http://e.com/search?q=weather", browser.location());
  EXPECT_EQ(1, Count(history, "stopped http://autosearch/"));

  browser.ClearHistory();
  browser.NavigateTo("http://example.com/");
  EXPECT_EQ(0, Count(browser.history(), "Stop called"));
  EXPECT_EQ(0, Count(browser.history(), "Navigate called"));
  EXPECT_EQ("http://example.com/", browser.location());
}

TEST_F(BrowserHelperTest, EventsGoToTheWindowThatRaisedThem) {
  Browser& first = NewBrowser(1, 1);
  Browser& second = NewBrowser(2, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&first));
  helper_.SetSite(static_cast<IWebBrowser2*>(&second));
  EXPECT_EQ(static_cast<IWebBrowser2*>(&second), helper_.browser);
  first.NavigateTo("http://autosearch/response.asp?MT=one&srch=5");
  EXPECT_EQ("http://e.com/search?q=one", first.location());
  EXPECT_EQ(0, Count(second.history(), "Stop called"));
  EXPECT_EQ(0, Count(second.history(), "Navigate called"));
  Type(first, "cats");
  EXPECT_EQ("http://e.com/search?q=cats", first.location());
}

// Every path that picks the browser to redirect hands out a reference of its
// own: counted browsers show what was taken and given back.
class NotABrowser : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ? this : nullptr;
    return *ppv != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

TEST_F(BrowserHelperTest, EveryPickedTargetIsAnOwnedReference) {
  Browser& attached = NewBrowser(1, 1);
  Browser& other = NewBrowser(2, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&attached));
  NotABrowser plain;
  IDispatch* otherDispatch = static_cast<IWebBrowser2*>(&other);
  IDispatch* none = nullptr;
  const struct {
    const char* what;
    UINT count;
    VARTYPE vt;
    IDispatch* disp;
    Browser* target;
  } cases[] = {
      {"six arguments", 6, VT_EMPTY, nullptr, &attached},
      {"pDisp a browser", 7, VT_DISPATCH, otherDispatch, &other},
      {"pDisp a browser by reference", 7, VT_BYREF | VT_DISPATCH, otherDispatch, &other},
      {"pDisp not a browser", 7, VT_DISPATCH, &plain, &attached},
      {"pDisp null", 7, VT_DISPATCH, nullptr, &attached},
      {"pDisp null by reference", 7, VT_BYREF | VT_DISPATCH, nullptr, &attached},
      {"pDisp of another type", 7, VT_I4, nullptr, &attached},
  };
  VARIANT url = UrlVariant(L"http://autosearch/response.asp?MT=x&srch=5");
  for (const auto& c : cases) {
    VARIANTARG args[7];
    for (VARIANTARG& arg : args) VariantInit(&arg);
    args[5].vt = VT_BYREF | VT_VARIANT;
    args[5].pvarVal = &url;
    args[6].vt = c.vt;
    if (c.vt == VT_DISPATCH) args[6].pdispVal = c.disp;
    IDispatch* byReference = c.disp;
    if (c.vt == (VT_BYREF | VT_DISPATCH)) args[6].ppdispVal = c.disp != nullptr ? &byReference : &none;
    DISPPARAMS params = {args, nullptr, c.count, 0};
    const LONG before[] = {attached.references(), other.references()};
    attached.ClearHistory();
    other.ClearHistory();
    EXPECT_EQ(S_OK, helper_.Invoke(DISPID_BEFORENAVIGATE2, &params)) << c.what;
    EXPECT_EQ(before[0], attached.references()) << c.what << ": references of the attached browser";
    EXPECT_EQ(before[1], other.references()) << c.what << ": references of the other browser";
    EXPECT_EQ(1, Count(c.target->history(), "Stop called")) << c.what;
    EXPECT_EQ("http://e.com/search?q=x", c.target->location()) << c.what;
    Browser* bystander = c.target == &attached ? &other : &attached;
    EXPECT_EQ(0, Count(bystander->history(), "Stop called")) << c.what;
  }
  VariantClear(&url);
}

// Each browser window has its own user-interface thread: an event without a
// browser argument goes to the window of the thread that raised it, and
// OnQuit disconnects that window only.
TEST_F(BrowserHelperTest, EachWindowOnItsOwnThreadKeepsItsOwnBrowserAndConnection) {
  UiThread threadOfA;
  Browser* a = nullptr;
  threadOfA.Run([&] {
    a = new Browser(1, 1);
    helper_.SetSite(static_cast<IWebBrowser2*>(a));
  });
  ASSERT_NE(nullptr, a);
  Browser& b = NewBrowser(2, 1);  // attached last, on this thread
  helper_.SetSite(static_cast<IWebBrowser2*>(&b));
  EXPECT_EQ(1, a->references());
  EXPECT_EQ(3, b.references()) << "the site, its record and the field of the window attached last";

  VARIANT url = UrlVariant(L"http://autosearch/response.asp?MT=a&srch=5");
  VARIANTARG args[6];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  args[5].vt = VT_BYREF | VT_VARIANT;
  args[5].pvarVal = &url;
  DISPPARAMS six = {args, nullptr, 6, 0};
  threadOfA.Run([&] { EXPECT_EQ(S_OK, helper_.Invoke(DISPID_BEFORENAVIGATE2, &six)); });
  EXPECT_EQ(1, Count(a->history(), "Stop called"));
  EXPECT_EQ("http://e.com/search?q=a", a->location());
  EXPECT_EQ(0, Count(b.history(), "Stop called"));
  VariantClear(&url);

  threadOfA.Run([&] { a->SendOnQuit(); });
  EXPECT_EQ(0u, a->sinkCount());
  EXPECT_EQ(0, a->references()) << "its record let it go";
  EXPECT_EQ(1u, b.sinkCount()) << "the other window stays connected";
  b.ClearHistory();
  b.NavigateTo("http://autosearch/response.asp?MT=b&srch=5");
  EXPECT_EQ(1, Count(b.history(), "Stop called"));
  EXPECT_EQ("http://e.com/search?q=b", b.location());

  b.SendOnQuit();
  helper_.SetSite(nullptr);  // as the browser does after OnQuit
  EXPECT_EQ(0u, b.sinkCount());
  EXPECT_EQ(1, b.references()) << "only the field of the window attached last";
  threadOfA.Run([&] { delete a; });
}

TEST_F(BrowserHelperTest, OnQuitDisconnects) {
  Browser& browser = NewBrowser(1, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  ASSERT_EQ(1u, browser.sinkCount());
  browser.SendOnQuit();
  helper_.SetSite(nullptr);
  EXPECT_EQ(0u, browser.sinkCount());
  EXPECT_EQ(1, browser.references()) << "only the field that holds the window attached last";
}

TEST_F(BrowserHelperTest, NullSiteKeepsTheConnection) {
  Browser& browser = NewBrowser(1, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  EXPECT_EQ(S_OK, helper_.SetSite(nullptr));
  EXPECT_EQ(1u, browser.sinkCount());
  EXPECT_EQ(static_cast<IWebBrowser2*>(&browser), helper_.browser);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_FAIL, helper_.GetSite(IID_IUnknown, &out));
  EXPECT_EQ(nullptr, out);
}

// The argument checks themselves are the object's (veltrano_object_test);
// here, what an accepted event does to an attached browser.
TEST_F(BrowserHelperTest, AcceptedBeforeNavigate2Arguments) {
  Browser& browser = NewBrowser(1, 1);
  helper_.SetSite(static_cast<IWebBrowser2*>(&browser));
  VARIANT url = UrlVariant(L"http://autosearch/response.asp?MT=x");
  VARIANTARG args[7];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  DISPPARAMS seven = {args, nullptr, 7, 0};

  // A URL that is no string is not read: nothing is stopped or navigated.
  VARIANT notText;
  VariantInit(&notText);
  notText.vt = VT_UNKNOWN;
  notText.punkVal = nullptr;
  args[5].vt = VT_BYREF | VT_VARIANT;
  args[5].pvarVal = &notText;
  browser.ClearHistory();
  EXPECT_EQ(S_OK, helper_.Invoke(DISPID_BEFORENAVIGATE2, &seven));
  EXPECT_TRUE(browser.history().empty());

  // Six arguments and no pDisp: the browser attached last is sent there.
  args[5].pvarVal = &url;
  DISPPARAMS six = {args, nullptr, 6, 0};
  EXPECT_EQ(S_OK, helper_.Invoke(DISPID_BEFORENAVIGATE2, &six));
  EXPECT_EQ(1, Count(browser.history(), "Stop called"));
  EXPECT_EQ("http://e.com/search?q=x", browser.location());
  EXPECT_EQ(S_OK, helper_.Invoke(12345, &six));
  VariantClear(&url);
}

}  // namespace
}  // namespace quillet
