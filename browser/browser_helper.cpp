#include "browser/browser_helper.h"

#include <exdispid.h>

#include "browser/address_edit.h"
#include "browser/browser_host.h"
#include "browser/host_process.h"
#include "core/autosearch.h"
#include "core/format.h"
#include "settings/settings.h"
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

// Edit boxes keep AddressEditProc, and the object its site and browser, for
// the life of the process; were the library freed under them, a box would
// call into nothing, and the browser would be released inside DllMain. Taken
// before the first site or edit box.
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
    if (edit != nullptr && PinModule()) SubclassAddressEdit(edit);
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

BrowserHelper::BrowserHelper(IDispatch* sink) : sink_(sink) { InitializeCriticalSection(&lock_); }

BrowserHelper::~BrowserHelper() {
  if (browser != nullptr) browser->Release();
  if (site != nullptr) site->Release();
  BrowserWindowRecord* record = windowRecords.TakeAll();
  while (record != nullptr) {
    BrowserWindowRecord* next = record->next;
    ReleaseWindowRecord(record);
    record = next;
  }
  DeleteCriticalSection(&lock_);
}

void BrowserHelper::Abandon() {
  browser = nullptr;
  site = nullptr;
  windowRecords.ForgetAll();
}

// The old value, for the caller to release outside the lock.
template <typename T>
T* BrowserHelper::Swap(T*& field, T* value) {
  EnterCriticalSection(&lock_);
  T* old = field;
  field = value;
  LeaveCriticalSection(&lock_);
  return old;
}

// The field's value with a reference of the caller's: a SetSite on another
// thread cannot release it in between.
template <typename T>
T* BrowserHelper::Hold(T* const& field) {
  EnterCriticalSection(&lock_);
  T* value = field;
  if (value != nullptr) value->AddRef();
  LeaveCriticalSection(&lock_);
  return value;
}

HRESULT BrowserHelper::SetSite(IUnknown* newSite) {
  if (newSite != nullptr) {
    PinModule();
    newSite->AddRef();
  }
  if (IUnknown* old = Swap(site, newSite)) old->Release();
  char executable[MAX_PATH];
  if (GetModuleFileNameA(nullptr, executable, sizeof executable) == 0) executable[0] = '\0';
  executable[sizeof executable - 1] = '\0';
  if (!IsBrowserExecutable(executable) || newSite == nullptr) return S_OK;

  IWebBrowser2* attached = nullptr;
  if (FAILED(newSite->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&attached)))) attached = nullptr;
  if (attached != nullptr) attached->AddRef();  // ours for the walk; the query's goes to the field
  if (IWebBrowser2* old = Swap(browser, attached)) old->Release();
  if (attached == nullptr) return S_OK;

  SHANDLE_PTR handle = 0;
  attached->get_HWND(&handle);
  HWND window = reinterpret_cast<HWND>(handle);
  EnterCriticalSection(&lock_);
  browserWindow = window;
  LeaveCriticalSection(&lock_);
  SubclassAddressBars(window);
  ConnectWindow(attached, window);
  attached->Release();
  return S_OK;
}

HRESULT BrowserHelper::GetSite(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  IUnknown* held = Hold(site);
  if (held == nullptr) {
    *ppv = nullptr;
    return E_FAIL;
  }
  HRESULT hr = held->QueryInterface(riid, ppv);
  held->Release();
  return hr;
}

HRESULT BrowserHelper::QueryStatus(const GUID*, ULONG count, OLECMD* commands, OLECMDTEXT*) {
  if (commands != nullptr) {
    for (ULONG i = 0; i < count; ++i) commands[i].cmdf = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
  }
  return S_OK;
}

HRESULT BrowserHelper::Exec(const GUID* group) {
  if (group != nullptr) return OLECMDERR_E_UNKNOWNGROUP;
  ShowOptionsDialog(DialogOwner());
  return S_OK;
}

// The window the user chose Tools > Options in: the calling thread's own
// connected window. A dialog owned by another thread's window would disable
// and centre over that window and wait whenever its thread is busy.
HWND BrowserHelper::DialogOwner() {
  HWND own = windowRecords.WindowOfThread(GetCurrentThreadId());
  if (own != nullptr && IsWindow(own)) return own;
  // A destroyed owner keeps the dialog from opening.
  EnterCriticalSection(&lock_);
  HWND last = browserWindow;
  LeaveCriticalSection(&lock_);
  return last != nullptr && IsWindow(last) ? last : nullptr;
}

HRESULT BrowserHelper::Invoke(DISPID dispid, DISPPARAMS* params) {
  if (params == nullptr) return E_INVALIDARG;
  if (dispid == DISPID_BEFORENAVIGATE2) {
    // Arguments come last first: the URL is the second of seven, pDisp the first.
    constexpr UINT kArgumentsUpToUrl = host::kBeforeNavigate2UrlIndex + 1;
    constexpr UINT kArgumentsUpToDisp = host::kBeforeNavigate2DispIndex + 1;
    if (params->cArgs < kArgumentsUpToUrl || params->rgvarg == nullptr) return DISP_E_BADVARTYPE;
    VARIANTARG& url = params->rgvarg[host::kBeforeNavigate2UrlIndex];
    if (url.vt != (VT_BYREF | VT_VARIANT) || url.pvarVal == nullptr) return DISP_E_BADVARTYPE;
    VARIANTARG* disp = params->cArgs >= kArgumentsUpToDisp ? &params->rgvarg[host::kBeforeNavigate2DispIndex] : nullptr;
    OnBeforeNavigate2(*url.pvarVal, disp);
  } else if (dispid == DISPID_ONQUIT) {
    DisconnectWindow();
  }
  return S_OK;
}

// The browser a BeforeNavigate2 is about, always with a reference the caller
// releases: its pDisp argument when that is a browser, else the browser of
// the window whose thread raised it, else the one attached last.
IWebBrowser2* BrowserHelper::EventBrowser(VARIANTARG* disp) {
  IDispatch* dispatch = nullptr;
  if (disp != nullptr && disp->vt == VT_DISPATCH) dispatch = disp->pdispVal;
  if (disp != nullptr && disp->vt == (VT_BYREF | VT_DISPATCH) && disp->ppdispVal != nullptr) dispatch = *disp->ppdispVal;
  IWebBrowser2* named = nullptr;
  if (dispatch != nullptr && SUCCEEDED(dispatch->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&named))) &&
      named != nullptr) {
    return named;
  }
  if (IWebBrowser2* own = windowRecords.BrowserOfThread(GetCurrentThreadId())) return own;
  return Hold(browser);
}

// Connects the window's browser, once: a window attached again keeps the
// connection it has, so that each of its events arrives once.
void BrowserHelper::ConnectWindow(IWebBrowser2* windowBrowser, HWND window) {
  IUnknown* identity = nullptr;
  if (FAILED(windowBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))) || identity == nullptr) {
    return;
  }
  identity->Release();  // only compared; the browser's own reference keeps it valid
  if (windowRecords.Holds(identity)) return;
  DWORD cookie = 0;
  if (!ConnectBrowserEvents(windowBrowser, sink_, &cookie, true)) return;
  EnterCriticalSection(&lock_);
  eventCookie = cookie;
  LeaveCriticalSection(&lock_);
  // A connection without a record could never be removed again.
  if (!windowRecords.Add(GetCurrentThreadId(), windowBrowser, identity, window, cookie)) {
    ConnectBrowserEvents(windowBrowser, sink_, &cookie, false);
  }
}

// OnQuit: the window of this thread is disconnected, and only that one.
void BrowserHelper::DisconnectWindow() {
  if (BrowserWindowRecord* record = windowRecords.TakeOfThread(GetCurrentThreadId())) ReleaseWindowRecord(record);
}

void BrowserHelper::OnBeforeNavigate2(VARIANT& urlArgument, VARIANTARG* disp) {
  VARIANT url;
  VariantInit(&url);
  // A URL that cannot be had as a string is not read as text.
  char text[kUrlBufferSize];
  text[0] = '\0';
  bool readable = SUCCEEDED(VariantCopy(&url, &urlArgument)) && SUCCEEDED(VariantChangeType(&url, &url, 0, VT_BSTR));
  if (readable && url.bstrVal != nullptr) wsprintfA(text, "%S", url.bstrVal);  // at most 1023 characters
  VariantClear(&url);
  if (!readable || !IsAutosearchUrl(text)) return;
  RuleSettings settings;  // read anew at every autosearch navigation
  ReadSearchMaskSetting(&settings);
  char searchUrl[kUrlBufferSize];
  if (!MapAutosearchUrl(text, settings, searchUrl)) return;
  IWebBrowser2* target = EventBrowser(disp);
  StopBrowser(target);
  NavigateBrowser(target, searchUrl);
  if (target != nullptr) target->Release();
}

}  // namespace quillet
