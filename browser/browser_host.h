// What Quillet relies on the browser to do, in one place. The helper object
// and the browser stand-in both build against these facts.
//
//  1. Loading: the browser creates each class listed under its
//     "Browser Helper Objects" key in its own process, once per browser
//     window, and calls IObjectWithSite::SetSite with a site. Other hosts are
//     declined by the executable-name test (kHostExecutable).
//  2. Site: the site answers QueryInterface for IWebBrowser2; get_HWND gives
//     the top-level window; Stop ends the current navigation; Navigate with a
//     URL and four empty VARIANTs starts a new one.
//  3. Address bar: among the top-level window's direct children is a window
//     of class kWorkerClasses holding kAddressBarChain down to the "Edit" box.
//     When that box's own window procedure receives WM_KEYDOWN with Enter,
//     the browser navigates to the box's current text.
//  4. Events: DWebBrowserEvents2 through IConnectionPointContainer; the sink's
//     Invoke gets DISPID_BEFORENAVIGATE2 (seven arguments, last first: pDisp
//     at kBeforeNavigate2DispIndex, the URL at kBeforeNavigate2UrlIndex as
//     VT_BYREF|VT_VARIANT converting to a string) before each navigation, and
//     DISPID_ONQUIT when the window closes (both from <exdispid.h>).
//  5. Autosearch: text the browser cannot resolve goes to an autosearch URL,
//     one of kAutosearchPrefixes with the text in kAutosearchQueryParameter;
//     the rule that maps it owns these facts (core/autosearch.h).
//  6. Tools menu: a key under kExtensionsKeyPath with the command-target
//     class kToolsMenuCommandClass and the values MenuText, MenuStatusBar,
//     MenuCustomize and ClsidExtension gives a Tools-menu item; choosing it
//     calls IOleCommandTarget::Exec with a null group on ClsidExtension.
#pragma once

#include "core/autosearch.h"

namespace quillet::browser_host {

constexpr char kHostExecutable[] = "iexplore.exe";

constexpr const char* kWorkerClasses[] = {"WorkerW", "WorkerA"};
constexpr const char* kAddressBarChain[] = {"ReBarWindow32", "ComboboxEx32", "ComboBox", "Edit"};

// In the last-first argument array of the event's seven.
constexpr unsigned kBeforeNavigate2DispIndex = 6;
constexpr unsigned kBeforeNavigate2UrlIndex = 5;

constexpr char kBrowserHelperObjectsKeyPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr char kExtensionsKeyPath[] = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr char kToolsMenuCommandClass[] = "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}";

}  // namespace quillet::browser_host
