// The address bar's edit box runs AddressEditProc: on Enter it rewrites the
// box's text, and every message goes on to the procedure it replaced.
#pragma once

#include <windows.h>

namespace quillet {

// The procedure the subclassed edit boxes had before; one for the process.
extern WNDPROC previousEditProc;

// The window property that marks a box running AddressEditProc, set when it
// is subclassed and removed when the box is destroyed.
constexpr char kAddressEditMark[] = "Quillet.AddressEditProc";

LRESULT CALLBACK AddressEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quillet
