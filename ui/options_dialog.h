// The options dialog: the search engine and the three spelling switches,
// read from the settings and the engine list at opening, written at OK.
#pragma once

#include <windows.h>

namespace quillet {

constexpr char kDefaultBehaviourItem[] = "<Use default Internet Explorer behavior>";
constexpr char kMissingListItem[] = "ERROR: search engines list is missing!";

// Runs the dialog modally over `owner` (may be null) until OK or Cancel.
void ShowOptionsDialog(HWND owner);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitOptionsDialog(HWND dialog);
void SaveOptionsDialog(HWND dialog);
void CenterDialog(HWND dialog);

}  // namespace quillet
