// What the Veltrano object does for the browser: attach to a window, rewrite
// its address bar through AddressEditProc, redirect autosearch, and open the
// options dialog from the Tools menu. The object keeps the fields; these
// functions work on them.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>

#include "browser/window_records.h"

namespace quillet {

// The object's own fields, as the helper functions see them.
struct HelperFields {
  IUnknown*& site;
  IWebBrowser2*& browser;
  HWND& browserWindow;
  DWORD& eventCookie;
  BrowserWindowRecords& windows;  // every connected window, with its own browser and cookie
  IDispatch* sink;  // the object's IVeltrano, connected to the browser's events
};

HRESULT HelperSetSite(HelperFields fields, IUnknown* site);
HRESULT HelperGetSite(HelperFields fields, REFIID riid, void** ppv);
HRESULT HelperQueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text);
HRESULT HelperExec(HelperFields fields, const GUID* group);
HRESULT HelperInvoke(HelperFields fields, DISPID dispid, DISPPARAMS* params);

// At the object's destruction: every window still connected is disconnected
// and its browser let go.
void ReleaseBrowserWindows(BrowserWindowRecords& windows);

// The parts, for the object and the tests.
void SubclassAddressBars(HWND browserWindow);
bool ConnectBrowserEvents(IWebBrowser2* browser, IDispatch* sink, DWORD* eventCookie, bool connect);
void StopBrowser(IWebBrowser2* browser);
void NavigateBrowser(IWebBrowser2* browser, const char* url);

}  // namespace quillet
