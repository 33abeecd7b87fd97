#include "browser/address_edit.h"

#include "core/rewrite.h"
#include "settings/settings.h"

namespace quillet {

WNDPROC PreviousEditProc(HWND edit) { return reinterpret_cast<WNDPROC>(GetPropA(edit, kAddressEditMark)); }

LRESULT CALLBACK AddressEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = PreviousEditProc(window);
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    char text[kTypedTextSize];
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    RuleSettings settings;  // read anew at every Enter
    ReadRuleSettings(&settings);
    if (RewriteTypedText(text, settings)) SetWindowTextA(window, text);
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, kAddressEditMark);
  }
  // A box whose mark was taken away has nothing to hand on to but the default.
  if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

bool SubclassAddressEdit(HWND edit) {
  // Another process's window cannot be subclassed from here (a tab process
  // sees its frame's address bar so).
  DWORD process = 0;
  if (GetWindowThreadProcessId(edit, &process) == 0 || process != GetCurrentProcessId()) return false;
  // A marked box keeps AddressEditProc whatever was put over it since:
  // subclassing it again would make a procedure leading back to us its previous.
  if (GetPropA(edit, kAddressEditMark) != nullptr) return false;
  // The mark carries the previous procedure before ours goes in, so that a
  // message arriving in between finds it.
  LONG_PTR current = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  if (current == 0 || !SetPropA(edit, kAddressEditMark, reinterpret_cast<HANDLE>(current))) return false;
  const LONG_PTR ours = reinterpret_cast<LONG_PTR>(&AddressEditProc);
  LONG_PTR replaced = SetWindowLongPtrA(edit, GWLP_WNDPROC, ours);
  if (replaced == 0) {
    RemovePropA(edit, kAddressEditMark);
    return false;
  }
  // Another thread subclassed it meanwhile: its mark holds the genuine previous.
  if (replaced == ours) return false;
  if (replaced != current) SetPropA(edit, kAddressEditMark, reinterpret_cast<HANDLE>(replaced));
  return true;
}

}  // namespace quillet
