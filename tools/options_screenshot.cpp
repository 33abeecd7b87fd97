// Shows the options dialog over five engines long enough for a screenshot,
// then closes it with Cancel: options_screenshot [MILLISECONDS] (6000 when
// not given). The engine list is written beside the program for the time
// the dialog is up; the search mask and the "wwww." switch are stored in the
// settings, as a user would have chosen them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/engine_list.h"
#include "settings/settings.h"
#include "thread_dialog.h"
#include "ui/options_dialog.h"

namespace {

void CALLBACK PressCancel(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = quillet::test::VisibleDialogOfThread(GetCurrentThreadId());
  if (dialog == nullptr) return;  // not up yet: the timer comes again
  KillTimer(nullptr, timer);
  SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const UINT hold = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 6000u;
  char listPath[quillet::kEngineBufferSize];
  quillet::GetEngineListPath(listPath, sizeof listPath);
  std::FILE* list = std::fopen(listPath, "wb");
  if (list == nullptr) {
    std::fprintf(stderr, "cannot write %s\n", listPath);
    return 1;
  }
  std::fputs("[Engines]\r\n", list);
  for (const char* name : {"Bing", "Google", "DuckDuckGo", "Yahoo!", "Yandex"}) {
    std::fprintf(list, "%s=http://%s.example/?q=%%s\r\n", name, name);
  }
  std::fclose(list);
  quillet::WriteSetting(quillet::kSearchMaskName, "http://Google.example/?q=%s");
  quillet::WriteSetting(quillet::kSpellingWwwwName, "0");

  SetTimer(nullptr, 0, hold, PressCancel);
  quillet::ShowOptionsDialog(nullptr);
  std::remove(listPath);
  return 0;
}
