// The built library loaded as the browser loads it, through its exports, and
// the small COM objects a browser hands it: a site and a browser whose
// references are counted, so a test can tell what the library kept.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include "web_browser_base.h"

namespace quillet::test {

// LoadLibrary, DllGetClassObject and the class factory of CLSID_Veltrano.
class LoadedServer {
 public:
  explicit LoadedServer(const char* path);
  ~LoadedServer();  // releases the factory; the library stays loaded
  LoadedServer(const LoadedServer&) = delete;
  LoadedServer& operator=(const LoadedServer&) = delete;

  bool loaded() const { return factory_ != nullptr; }
  // What DllGetClassObject answered (E_FAIL when the library did not load).
  HRESULT status() const { return status_; }
  HMODULE module() const { return module_; }
  // The one object, asked for `riid`; null on failure. `result`, when not
  // null, gets what CreateInstance answered.
  void* Create(REFIID riid, HRESULT* result = nullptr);
  void FreeFactory();

 private:
  HMODULE module_ = nullptr;
  IClassFactory* factory_ = nullptr;
  HRESULT status_ = E_FAIL;
};

// A browser with no address bar and no events, whose window is whatever the
// test gives it; its references are counted from 1, the owner's.
class CountingBrowser final : public WebBrowserBase {
 public:
  explicit CountingBrowser(HWND window = nullptr) : window_(window) {}
  LONG references() const { return references_; }
  // Called at every release that leaves only the owner's reference.
  void (*onLastRelease)(CountingBrowser* browser) = nullptr;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* window) override;

 private:
  HWND window_;
  LONG references_ = 1;
};

// A site that answers for IWebBrowser2 with its browser, or for nothing but
// IUnknown when it has none; counted like the browser, and counting the
// times it was asked for a browser.
class CountingSite final : public IUnknown {
 public:
  explicit CountingSite(IWebBrowser2* browser = nullptr) : browser_(browser) {}
  LONG references() const { return references_; }
  LONG browserQueries() const { return browserQueries_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }

 private:
  IWebBrowser2* browser_;
  LONG references_ = 1;
  LONG browserQueries_ = 0;
};

}  // namespace quillet::test
