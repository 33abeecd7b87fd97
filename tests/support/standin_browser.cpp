#include "standin_browser.h"

#include <commctrl.h>
#include <exdispid.h>
#include <olectl.h>

#include <cstdio>

#include "core/autosearch.h"

namespace standin {
namespace {

constexpr char kFrameClass[] = "QuilletStandInFrame";
constexpr char kWorkerClass[] = "WorkerW";
constexpr char kOriginalProcProp[] = "QuilletStandInEditProc";
constexpr char kBrowserProp[] = "QuilletStandInBrowser";

std::string ToAnsi(const wchar_t* text) {
  if (text == nullptr) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

BSTR ToBstr(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (out != nullptr) MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out, length);
  return out;
}

bool HasScheme(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = text[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// The query of the browser's own autosearch URL: spaces as "+", the rest of
// what a URL cannot carry as "%XX".
std::string EncodeQuery(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c == ' ') {
      out += '+';
    } else if (c < 0x21 || c > 0x7E || c == '%' || c == '&' || c == '+' || c == '#' || c == '=') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_USEREX_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA frame = {};
  frame.lpfnWndProc = FrameProc;
  frame.hInstance = GetModuleHandleA(nullptr);
  frame.hCursor = LoadCursor(nullptr, IDC_ARROW);
  frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  frame.lpszClassName = kFrameClass;
  RegisterClassA(&frame);
  WNDCLASSA worker = frame;
  worker.lpszClassName = kWorkerClass;
  worker.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassA(&worker);
}

}  // namespace

void Log(int window, const char* what, const std::string& detail) {
  if (detail.empty()) {
    std::printf("[%d] %s\n", window, what);
  } else {
    std::printf("[%d] %s %s\n", window, what, detail.c_str());
  }
  std::fflush(stdout);
}

void Browser::Note(const char* what, const std::string& detail) {
  if (quiet_) return;
  Log(index_, what, detail);
  history_.push_back(detail.empty() ? std::string(what) : std::string(what) + " " + detail);
}

Browser::Browser(int index, int workerCount, bool quiet) : index_(index), quiet_(quiet) {
  RegisterClasses();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  char title[64];
  std::snprintf(title, sizeof title, "Quillet stand-in browser %d", index);
  frame_ = CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + 30 * index,
                           40 + 30 * index, 800, 120 + 40 * workerCount, nullptr, nullptr, instance, nullptr);
  for (int w = 0; w < workerCount; ++w) {
    HWND worker = CreateWindowExA(0, kWorkerClass, "", WS_CHILD | WS_VISIBLE, 0, 40 * w, 780, 40, frame_,
                                  nullptr, instance, nullptr);
    HWND rebar = CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER,
                                 0, 0, 780, 36, worker, nullptr, instance, nullptr);
    HWND combo = CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 0, 700, 200,
                                 rebar, nullptr, instance, nullptr);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_TEXT;
    band.fStyle = RBBS_CHILDEDGE;
    band.lpText = const_cast<char*>("Address");
    band.hwndChild = combo;
    band.cxMinChild = 600;
    band.cyMinChild = 24;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    HWND inner = FindWindowExA(combo, nullptr, "ComboBox", nullptr);
    HWND edit = inner != nullptr ? FindWindowExA(inner, nullptr, "Edit", nullptr) : nullptr;
    if (edit == nullptr) {
      Note("error", "no edit box inside the ComboBoxEx");
      continue;
    }
    SetPropA(edit, kBrowserProp, this);
    SetPropA(edit, kOriginalProcProp,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddressBarProc))));
    edits_.push_back(edit);
  }
  UpdateWindow(frame_);
  RECT rect;
  GetWindowRect(frame_, &rect);
  char where[96];
  std::snprintf(where, sizeof where, "%ld,%ld %ldx%ld", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
  Note("window", where);
}

Browser::~Browser() {
  for (Sink& sink : sinks_) sink.dispatch->Release();
  if (frame_ != nullptr) DestroyWindow(frame_);
}

LRESULT CALLBACK Browser::AddressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(window, kOriginalProcProp));
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    char text[4096];
    GetWindowTextA(window, text, sizeof text);
    if (auto* browser = static_cast<Browser*>(GetPropA(window, kBrowserProp))) browser->NavigateFromAddressBar(text);
  }
  return CallWindowProcA(original, window, message, wParam, lParam);
}

void Browser::NavigateFromAddressBar(const std::string& typed) {
  Note("enter", typed);
  if (HasScheme(typed) || typed.compare(0, 2, "\\\\") == 0) {
    NavigateTo(typed);
  } else if (typed.find('.') != std::string::npos && typed.find(' ') == std::string::npos) {
    NavigateTo("http://" + typed + "/");
  } else {
    NavigateTo(std::string(quillet::kAutosearchLocalPrefix) + quillet::kAutosearchQueryParameter + EncodeQuery(typed) +
               "&srch=5");
  }
}

void Browser::NavigateTo(const std::string& url) {
  Note("navigate", url);
  stopped_.push_back(false);
  ++navigationDepth_;
  bool cancel = false;
  FireBeforeNavigate2(url, &cancel);
  --navigationDepth_;
  bool stopped = stopped_.back();
  stopped_.pop_back();
  if (cancel) {
    Note("cancelled", url);
  } else if (stopped) {
    Note("stopped", url);
  } else {
    location_ = url;
    Note("arrived", url);
  }
}

void Browser::FireBeforeNavigate2(const std::string& url, bool* cancel) {
  VARIANT urlValue, flags, target, postData, headers;
  VariantInit(&urlValue);
  urlValue.vt = VT_BSTR;
  urlValue.bstrVal = ToBstr(url);
  VariantInit(&flags);
  flags.vt = VT_I4;
  flags.lVal = 0;
  VariantInit(&target);
  target.vt = VT_BSTR;
  target.bstrVal = SysAllocString(L"");
  VariantInit(&postData);
  VariantInit(&headers);
  headers.vt = VT_BSTR;
  headers.bstrVal = SysAllocString(L"");
  VARIANT_BOOL cancelFlag = VARIANT_FALSE;

  VARIANTARG args[7];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  args[6].vt = VT_DISPATCH;
  args[6].pdispVal = static_cast<IDispatch*>(this);
  VARIANT* byReference[] = {&headers, &postData, &target, &flags, &urlValue};
  for (int i = 0; i < 5; ++i) {
    args[1 + i].vt = VT_BYREF | VT_VARIANT;
    args[1 + i].pvarVal = byReference[i];
  }
  args[0].vt = VT_BYREF | VT_BOOL;
  args[0].pboolVal = &cancelFlag;
  DISPPARAMS params = {args, nullptr, 7, 0};

  Note("event BeforeNavigate2", url);
  std::vector<Sink> sinks = sinks_;  // a sink may unadvise while it is called
  for (Sink& sink : sinks) sink.dispatch->AddRef();
  for (Sink& sink : sinks) {
    sink.dispatch->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                          nullptr, nullptr);
    sink.dispatch->Release();
  }
  *cancel = cancelFlag != VARIANT_FALSE;
  VariantClear(&urlValue);
  VariantClear(&target);
  VariantClear(&headers);
}

void Browser::FireOnQuit() {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  Note("event OnQuit");
  std::vector<Sink> sinks = sinks_;
  for (Sink& sink : sinks) sink.dispatch->AddRef();
  for (Sink& sink : sinks) {
    sink.dispatch->Invoke(DISPID_ONQUIT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                          nullptr);
    sink.dispatch->Release();
  }
}

void Browser::SendOnQuit() {
  FireOnQuit();
  char count[32];
  std::snprintf(count, sizeof count, "%u", static_cast<unsigned>(sinks_.size()));
  Note("sinks after quit", count);
}

void Browser::DestroyFrame() {
  if (frame_ != nullptr) DestroyWindow(frame_);
  frame_ = nullptr;
  std::vector<Sink> left;
  left.swap(sinks_);
  for (Sink& sink : left) sink.dispatch->Release();
}

void Browser::CloseFrame() {
  SendOnQuit();
  DestroyFrame();
}

HRESULT STDMETHODCALLTYPE Browser::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IWebBrowser) ||
      IsEqualIID(riid, IID_IWebBrowserApp) || IsEqualIID(riid, IID_IWebBrowser2)) {
    *ppv = static_cast<IWebBrowser2*>(this);
  } else if (IsEqualIID(riid, IID_IConnectionPointContainer)) {
    *ppv = static_cast<IConnectionPointContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE Browser::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

// The stand-in owns its browsers; the count only shows what helpers hold.
ULONG STDMETHODCALLTYPE Browser::Release() { return static_cast<ULONG>(InterlockedDecrement(&references_)); }

HRESULT STDMETHODCALLTYPE Browser::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Browser::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Browser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE Browser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE Browser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  Note("Navigate called");
  NavigateTo(ToAnsi(url));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::Stop() {
  Note("Stop called");
  if (!stopped_.empty()) stopped_.back() = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::get_HWND(SHANDLE_PTR* window) {
  if (window == nullptr) return E_POINTER;
  *window = reinterpret_cast<SHANDLE_PTR>(frame_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Browser::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(riid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
  *point = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = DIID_DWebBrowserEvents2;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = static_cast<IConnectionPointContainer*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr) return E_POINTER;
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back(Sink{*cookie, dispatch});
  Note("advise", std::to_string(*cookie));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Browser::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      it->dispatch->Release();
      sinks_.erase(it);
      Note("unadvise", std::to_string(cookie));
      return S_OK;
    }
  }
  Note("unadvise unknown cookie", std::to_string(cookie));
  return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE Browser::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace standin
