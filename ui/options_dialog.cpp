#include "ui/options_dialog.h"

#include <cstring>

#include "platform/module_instance.h"
#include "res/options_ids.h"
#include "settings/engine_list.h"
#include "settings/settings.h"
#include "ui/center.h"
#include "ui/help.h"

namespace quillet {
namespace {

constexpr int kSelectedTextSize = 128;

struct SwitchBox {
  int control;
  const char* setting;
};

constexpr SwitchBox kSwitchBoxes[] = {
    {IDC_SPELLING_WW, kSpellingWwName},
    {IDC_SPELLING_WWWW, kSpellingWwwwName},
    {IDC_SPELLING_CYRILLIC, kSpellingCyrillicName},
};

LRESULT AddEngineItem(HWND dialog, const char* text) {
  return SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void SelectEngineItem(HWND dialog, LRESULT index) {
  SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

ScreenRect ToScreenRect(const RECT& rect) {
  return {static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top), static_cast<int32_t>(rect.right),
          static_cast<int32_t>(rect.bottom)};
}

}  // namespace

void ShowOptionsDialog(HWND owner) {
  DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsDialogProc, 0);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitOptionsDialog(dialog);
      CenterDialog(dialog);
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          SaveOptionsDialog(dialog);
          EndDialog(dialog, IDOK);
          break;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          break;
        case IDC_OPTIONS_HELP:
          ShowHelp(dialog);
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

void InitOptionsDialog(HWND dialog) {
  SelectEngineItem(dialog, AddEngineItem(dialog, kDefaultBehaviourItem));

  char currentMask[kEngineBufferSize];
  ReadSetting(kSearchMaskName, currentMask, sizeof currentMask, "");

  char path[kEngineBufferSize];
  char names[kEngineBufferSize];
  GetEngineListPath(path, sizeof path);
  if (ReadEngineNames(path, names) == 0) {
    SelectEngineItem(dialog, AddEngineItem(dialog, kMissingListItem));
  } else {
    char mask[kEngineBufferSize];
    for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1) {
      LRESULT index = AddEngineItem(dialog, name);
      // The last engine with the current mask wins; an empty mask never matches.
      if (ReadEngineMask(path, name, mask) != 0 && lstrcmpiA(mask, currentMask) == 0) {
        SelectEngineItem(dialog, index);
      }
    }
  }

  // A switch is on only when it reads exactly 1; a check box would show any
  // other non-zero number as checked, and OK would then store it as 1.
  for (const SwitchBox& box : kSwitchBoxes) {
    WPARAM state = ReadIntSetting(box.setting, 1) == 1 ? BST_CHECKED : BST_UNCHECKED;
    SendDlgItemMessageA(dialog, box.control, BM_SETCHECK, state, 0);
  }
}

void SaveOptionsDialog(HWND dialog) {
  LRESULT selected = SendDlgItemMessageA(dialog, IDC_SEARCH_ENGINE, CB_GETCURSEL, 0, 0);
  if (selected == 0) {
    WriteSetting(kSearchMaskName, "");
  } else {
    char name[kSelectedTextSize];
    GetDlgItemTextA(dialog, IDC_SEARCH_ENGINE, name, sizeof name);
    char path[kEngineBufferSize];
    GetEngineListPath(path, sizeof path);
    char mask[kEngineBufferSize];
    if (ReadEngineMask(path, name, mask) != 0) WriteSetting(kSearchMaskName, mask);
  }
  for (const SwitchBox& box : kSwitchBoxes) {
    WriteIntSetting(box.setting, static_cast<int32_t>(SendDlgItemMessageA(dialog, box.control, BM_GETCHECK, 0, 0)));
  }
}

void CenterDialog(HWND dialog) {
  HWND reference = GetParent(dialog);
  if (reference == nullptr) reference = GetDesktopWindow();
  RECT window = {};
  RECT referenceRect = {};
  RECT workArea = {};
  GetWindowRect(dialog, &window);
  GetWindowRect(reference, &referenceRect);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  ScreenPoint position = CenteredPosition(ToScreenRect(window), ToScreenRect(referenceRect), ToScreenRect(workArea));
  SetWindowPos(dialog, nullptr, position.x, position.y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillet
