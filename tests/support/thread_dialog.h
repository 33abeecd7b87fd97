// The visible dialog box (window class "#32770") among a thread's top-level
// windows, or null: how the tests and the tools find the dialog a call opened.
#pragma once

#include <windows.h>

#include <cstring>

namespace quillet::test {

inline BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM found) {
  char name[16] = "";
  if (!IsWindowVisible(window) || GetClassNameA(window, name, sizeof name) == 0 || std::strcmp(name, "#32770") != 0) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

inline HWND VisibleDialogOfThread(DWORD threadId) {
  HWND dialog = nullptr;
  EnumThreadWindows(threadId, TakeVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
  return dialog;
}

}  // namespace quillet::test
