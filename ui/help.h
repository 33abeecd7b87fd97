// The help launcher: opens the compiled help file beside the library through
// the HTML Help library, loaded on first use and never unloaded.
#pragma once

#include <windows.h>

#include "ui/help_location.h"

namespace quillet {

// HtmlHelpA: caller window, file, command, data; the help window or null.
using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr WORD kHtmlHelpOrdinal = 14;

// The process-wide loader state.
struct HtmlHelpState {
  HMODULE htmlHelpModule = nullptr;
  HtmlHelpEntry htmlHelpEntry = nullptr;
  LONG htmlHelpFailed = 0;
};

// The platform calls the loader makes, so that a test can watch them.
struct HtmlHelpPlatform {
  bool (*getLocation)(char* buffer);
  HMODULE (*loadLibrary)(const char* name);
  FARPROC (*getProcAddress)(HMODULE module, const char* name);
};

// The registered location of the HTML Help library, ready to load, in a
// 260-byte `buffer` (a REG_EXPAND_SZ value expanded); false when there is
// none that can be used.
bool GetHtmlHelpLibraryLocation(char* buffer);

// Opens the help file with the dialog `window` as caller; the help window or 0.
HWND ShowHelp(HWND window);
// HtmlHelpA through the library loaded on first use; 0 when it cannot be had.
HWND CallHtmlHelp(HWND window, const char* file, UINT command, DWORD_PTR data);
// The same with a given state and platform.
HWND CallHtmlHelpWith(HtmlHelpState& state, const HtmlHelpPlatform& platform, HWND window, const char* file,
                      UINT command, DWORD_PTR data);

}  // namespace quillet
