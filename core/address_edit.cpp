#include "core/address_edit.h"

#include "core/rewrite.h"

namespace quillet {

WNDPROC previousEditProc = nullptr;

LRESULT CALLBACK AddressEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    char text[kTypedTextSize];
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    if (RewriteTypedText(text)) SetWindowTextA(window, text);
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, kAddressEditMark);
  }
  WNDPROC previous = previousEditProc;
  // Nothing recorded means nothing to hand on to but the default handling.
  if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace quillet
