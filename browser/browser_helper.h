// What the browser helper object does for the browser: attach to a window,
// rewrite its address bar through AddressEditProc, redirect autosearch, and
// open the options dialog from the Tools menu. The COM object (com/veltrano.h)
// owns one and forwards its methods here.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>

#include "browser/window_records.h"

namespace quillet {

class BrowserHelper {
 public:
  // `sink` is the owner's IDispatch that the browser's events are sent to;
  // it is not referenced, as it is the owner itself.
  explicit BrowserHelper(IDispatch* sink);
  // Lets go of `browser`, then `site`, then every window still connected.
  ~BrowserHelper();
  // Forgets every reference without calling anything: for a library being
  // unloaded under the loader lock, where a browser's release may wait on a
  // thread that waits for that lock.
  void Abandon();
  BrowserHelper(const BrowserHelper&) = delete;
  BrowserHelper& operator=(const BrowserHelper&) = delete;

  HRESULT SetSite(IUnknown* newSite);
  HRESULT GetSite(REFIID riid, void** ppv);
  static HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text);
  HRESULT Exec(const GUID* group);
  HRESULT Invoke(DISPID dispid, DISPPARAMS* params);

  // The site and window attached last. Windows call in on their own
  // threads: the references are swapped, and handed out, under lock_.
  IUnknown* site = nullptr;
  IWebBrowser2* browser = nullptr;
  HWND browserWindow = nullptr;
  DWORD eventCookie = 0;
  // Each connected browser window with its own browser and cookie, so that
  // its events and its OnQuit reach that window and no other.
  BrowserWindowRecords windowRecords;

 private:
  template <typename T>
  T* Swap(T*& field, T* value);
  template <typename T>
  T* Hold(T* const& field);
  IWebBrowser2* EventBrowser(VARIANTARG* disp);
  HWND DialogOwner();
  void ConnectWindow(IWebBrowser2* windowBrowser, HWND window);
  void DisconnectWindow();
  void OnBeforeNavigate2(VARIANT& urlArgument, VARIANTARG* disp);

  IDispatch* sink_;
  CRITICAL_SECTION lock_;
};

// The parts, for the helper and the tests.
void SubclassAddressBars(HWND browserWindow);
bool ConnectBrowserEvents(IWebBrowser2* browser, IDispatch* sink, DWORD* eventCookie, bool connect);
void StopBrowser(IWebBrowser2* browser);
void NavigateBrowser(IWebBrowser2* browser, const char* url);

}  // namespace quillet
