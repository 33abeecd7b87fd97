// The address bar's edit box runs AddressEditProc: on Enter it rewrites the
// box's text, and every message goes on to the procedure that box had before.
// Each box keeps its own previous procedure: another add-on may have put a
// procedure bound to one window under one box and not under another.
#pragma once

#include <windows.h>

namespace quillet {

// The window property that marks a box running AddressEditProc. It carries
// that box's previous procedure, and goes when the box is destroyed.
constexpr char kAddressEditMark[] = "Quillet.AddressEditProc";

LRESULT CALLBACK AddressEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure `edit` had before AddressEditProc; null for a box not ours.
WNDPROC PreviousEditProc(HWND edit);

// Puts AddressEditProc in front of the box's procedure. False, with the box
// left as it was, for a box of another process, a box already running it,
// or a box the platform does not let us subclass.
bool SubclassAddressEdit(HWND edit);

}  // namespace quillet
