#include "browser/browser_helper.h"

#include <exdispid.h>

#include "browser/browser_host.h"
#include "browser/host_process.h"
#include "core/address_edit.h"
#include "core/autosearch.h"
#include "core/format.h"
#include "ui/options_dialog.h"

namespace quillet {
namespace {

namespace host = browser_host;

bool ClassIs(HWND window, const char* name) {
  char className[256];
  return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpiA(className, name) == 0;
}

bool IsWorkerWindow(HWND window) {
  for (const char* name : host::kWorkerClasses) {
    if (ClassIs(window, name)) return true;
  }
  return false;
}

HWND FindAddressEdit(HWND worker) {
  HWND window = worker;
  for (const char* name : host::kAddressBarChain) {
    window = FindWindowExA(window, nullptr, name, nullptr);
    if (window == nullptr) return nullptr;
  }
  return window;
}

// A counted assignment: the new value gains a reference, the old one loses one.
template <typename T>
void AssignReference(T*& field, T* value) {
  if (value != nullptr) value->AddRef();
  T* old = field;
  field = value;
  if (old != nullptr) old->Release();
}

// Edit boxes keep AddressEditProc for the life of the process, so the library
// that holds it stays loaded that long: pinned before the first box.
bool PinModule() {
  static LONG pinned = 0;
  if (pinned != 0) return true;
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&AddressEditProc), &module)) {
    return false;
  }
  InterlockedExchange(&pinned, 1);
  return true;
}

}  // namespace

void SubclassAddressBars(HWND browserWindow) {
  for (HWND child = GetWindow(browserWindow, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWorkerWindow(child)) continue;
    HWND edit = FindAddressEdit(child);
    if (edit == nullptr) continue;
    // A box marked as running AddressEditProc keeps it, whatever was put over
    // it since: subclassing it again would make a procedure that leads back
    // to us its previous one. A box that cannot be marked is left alone.
    if (GetPropA(edit, kAddressEditMark) != nullptr) continue;
    if (!PinModule() || !SetPropA(edit, kAddressEditMark, reinterpret_cast<HANDLE>(&AddressEditProc))) continue;
    previousEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AddressEditProc)));
  }
}

bool ConnectBrowserEvents(IWebBrowser2* browser, IDispatch* sink, DWORD* eventCookie, bool connect) {
  if (browser == nullptr) return false;
  IConnectionPointContainer* container = nullptr;
  if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
    return false;
  }
  IConnectionPoint* point = nullptr;
  HRESULT hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
  if (SUCCEEDED(hr)) {
    hr = connect ? point->Advise(sink, eventCookie) : point->Unadvise(*eventCookie);
    point->Release();
  }
  container->Release();
  return SUCCEEDED(hr);
}

void StopBrowser(IWebBrowser2* browser) {
  if (browser != nullptr) browser->Stop();
}

void NavigateBrowser(IWebBrowser2* browser, const char* url) {
  if (browser == nullptr) return;
  WCHAR wide[kUrlBufferSize];
  int length = MultiByteToWideChar(CP_ACP, 0, url, -1, wide, kUrlBufferSize);
  BSTR target = SysAllocStringLen(wide, length > 0 ? static_cast<UINT>(length - 1) : 0);
  if (target == nullptr) return;
  VARIANT empty;
  VariantInit(&empty);
  browser->Navigate(target, &empty, &empty, &empty, &empty);
  VariantClear(&empty);
  SysFreeString(target);
}

BrowserHelper::BrowserHelper(IDispatch* sink) : sink_(sink) {}

BrowserHelper::~BrowserHelper() {
  if (browser != nullptr) browser->Release();
  if (site != nullptr) site->Release();
  BrowserWindowRecord* record = windowRecords.TakeAll();
  while (record != nullptr) {
    BrowserWindowRecord* next = record->next;
    ReleaseWindowRecord(record);
    record = next;
  }
}

HRESULT BrowserHelper::SetSite(IUnknown* newSite) {
  AssignReference(site, newSite);
  char executable[MAX_PATH];
  if (GetModuleFileNameA(nullptr, executable, sizeof executable) == 0) executable[0] = '\0';
  executable[sizeof executable - 1] = '\0';
  if (!IsBrowserExecutable(executable) || newSite == nullptr) return S_OK;

  IWebBrowser2* attached = nullptr;
  if (FAILED(newSite->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&attached)))) attached = nullptr;
  IWebBrowser2* old = browser;
  browser = attached;  // the query's reference
  if (old != nullptr) old->Release();
  if (attached == nullptr) return S_OK;

  SHANDLE_PTR window = 0;
  attached->get_HWND(&window);
  browserWindow = reinterpret_cast<HWND>(window);
  SubclassAddressBars(browserWindow);
  ConnectWindow(attached);
  return S_OK;
}

HRESULT BrowserHelper::GetSite(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (site == nullptr) {
    *ppv = nullptr;
    return E_FAIL;
  }
  return site->QueryInterface(riid, ppv);
}

HRESULT BrowserHelper::QueryStatus(const GUID*, ULONG count, OLECMD* commands, OLECMDTEXT*) {
  if (commands != nullptr) {
    for (ULONG i = 0; i < count; ++i) commands[i].cmdf = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
  }
  return S_OK;
}

HRESULT BrowserHelper::Exec(const GUID* group) {
  if (group != nullptr) return OLECMDERR_E_UNKNOWNGROUP;
  // The window attached last may be closed by now, and a dialog owned by a
  // destroyed window never opens: then the caller's own window owns it, or none.
  HWND owner = browserWindow;
  if (owner != nullptr && !IsWindow(owner)) {
    owner = nullptr;
    if (IWebBrowser2* own = windowRecords.BrowserOfThread(GetCurrentThreadId())) {
      SHANDLE_PTR window = 0;
      if (SUCCEEDED(own->get_HWND(&window)) && IsWindow(reinterpret_cast<HWND>(window))) {
        owner = reinterpret_cast<HWND>(window);
      }
      own->Release();
    }
  }
  ShowOptionsDialog(owner);
  return S_OK;
}

HRESULT BrowserHelper::Invoke(DISPID dispid, DISPPARAMS* params) {
  if (params == nullptr) return E_INVALIDARG;
  if (dispid == DISPID_BEFORENAVIGATE2) {
    if (params->cArgs < 6 || params->rgvarg == nullptr) return DISP_E_BADVARTYPE;
    VARIANTARG& url = params->rgvarg[host::kBeforeNavigate2UrlIndex];
    if (url.vt != (VT_BYREF | VT_VARIANT) || url.pvarVal == nullptr) return DISP_E_BADVARTYPE;
    OnBeforeNavigate2(params, *url.pvarVal);
  } else if (dispid == DISPID_ONQUIT) {
    DisconnectWindow();
  }
  return S_OK;
}

// The browser a BeforeNavigate2 is about, always with a reference the caller
// releases: its pDisp argument when that is a browser, else the browser of
// the window whose thread raised it, else the one attached last.
IWebBrowser2* BrowserHelper::EventBrowser(DISPPARAMS* params) {
  constexpr int kDispIndex = host::kBeforeNavigate2ArgumentCount - 1;
  if (params->cArgs >= static_cast<UINT>(host::kBeforeNavigate2ArgumentCount)) {
    VARIANTARG& argument = params->rgvarg[kDispIndex];
    IDispatch* dispatch = nullptr;
    if (argument.vt == VT_DISPATCH) dispatch = argument.pdispVal;
    if (argument.vt == (VT_BYREF | VT_DISPATCH) && argument.ppdispVal != nullptr) dispatch = *argument.ppdispVal;
    IWebBrowser2* named = nullptr;
    if (dispatch != nullptr &&
        SUCCEEDED(dispatch->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&named))) &&
        named != nullptr) {
      return named;
    }
  }
  if (IWebBrowser2* own = windowRecords.BrowserOfThread(GetCurrentThreadId())) return own;
  if (browser != nullptr) browser->AddRef();
  return browser;
}

// Connects the window's browser, once: a window attached again keeps the
// connection it has, so that each of its events arrives once.
void BrowserHelper::ConnectWindow(IWebBrowser2* windowBrowser) {
  IUnknown* identity = nullptr;
  if (FAILED(windowBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) || identity == nullptr) {
    return;
  }
  identity->Release();  // only compared; the browser's own reference keeps it valid
  if (windowRecords.Holds(identity)) return;
  if (!ConnectBrowserEvents(windowBrowser, sink_, &eventCookie, true)) return;
  // A connection without a record could never be removed again.
  if (!windowRecords.Add(GetCurrentThreadId(), windowBrowser, identity, eventCookie)) {
    ConnectBrowserEvents(windowBrowser, sink_, &eventCookie, false);
  }
}

// OnQuit: the window of this thread is disconnected, and only that one.
void BrowserHelper::DisconnectWindow() {
  if (BrowserWindowRecord* record = windowRecords.TakeOfThread(GetCurrentThreadId())) ReleaseWindowRecord(record);
}

void BrowserHelper::OnBeforeNavigate2(DISPPARAMS* params, VARIANT& urlArgument) {
  VARIANT url;
  VariantInit(&url);
  // A URL that cannot be had as a string is not read as text.
  if (FAILED(VariantCopy(&url, &urlArgument)) || FAILED(VariantChangeType(&url, &url, 0, VT_BSTR))) {
    VariantClear(&url);
    return;
  }
  char text[kUrlBufferSize];
  text[0] = '\0';
  if (url.bstrVal != nullptr) wsprintfA(text, "%S", url.bstrVal);  // at most 1023 characters
  char searchUrl[kUrlBufferSize];
  if (MapAutosearchUrl(text, searchUrl)) {
    IWebBrowser2* target = EventBrowser(params);
    StopBrowser(target);
    NavigateBrowser(target, searchUrl);
    if (target != nullptr) target->Release();
  }
  VariantClear(&url);
}

}  // namespace quillet
