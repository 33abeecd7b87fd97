// Types a list of texts into a real edit box running AddressEditProc, presses
// Enter and prints what the box holds afterwards. Uses the real registry.
#include <windows.h>

#include <cstdio>

#include "edit_box.h"
#include "settings/settings.h"

int main() {
  const char* mask = "http://www.bing.com/search?q=%s";
  quillet::WriteSetting(quillet::kSearchMaskName, mask);
  std::printf("code page %u, search mask %s\n\n", GetACP(), mask);

  quillet::test::SubclassedEditBox box(false);
  if (box.window() == nullptr) {
    std::fprintf(stderr, "cannot create an edit box (no display?)\n");
    return 1;
  }
  const char* typed[] = {
      // "www.example.com" and "http://www.rambler.ru" typed in the Russian layout
      "\xF6\xF6\xF6\xFE\xF3\xF7\xF4\xFC\xE7\xE4\xF3\xFE\xF1\xF9\xFC",
      "\xF0\xE5\xE5\xE7\xDE??\xF6\xF6\xF6\xFE\xEA\xF4\xFC\xE8\xE4\xF3\xEA\xFE\xEA\xE3",
      "cats and dogs",
      "ww.example.com",
      "wwww.example.com",
      "http://ww.example.com",
      "example.com",
      "100% cotton",
      "weather",
  };
  for (const char* text : typed) {
    box.SetText(text);
    box.PressEnter();
    std::printf("%-32s -> %s\n", text, box.Text().c_str());
  }
  return 0;
}
