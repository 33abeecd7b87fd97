#include "ui/help.h"

#include "platform/module_path.h"

namespace quillet {
namespace {

HtmlHelpState htmlHelpState;

HMODULE LoadLibraryByName(const char* name) { return LoadLibraryA(name); }

FARPROC ProcAddress(HMODULE module, const char* name) { return GetProcAddress(module, name); }

constexpr HtmlHelpPlatform kSystemPlatform = {GetHtmlHelpLocation, LoadLibraryByName, ProcAddress};

}  // namespace

HWND CallHtmlHelpWith(HtmlHelpState& state, const HtmlHelpPlatform& platform, HWND window, const char* file,
                      UINT command, DWORD_PTR data) {
  if (state.htmlHelpModule == nullptr && state.htmlHelpFailed == 0) {
    char location[kHelpPathSize];
    if (platform.getLocation(location)) state.htmlHelpModule = platform.loadLibrary(location);
    if (state.htmlHelpModule == nullptr) state.htmlHelpModule = platform.loadLibrary(kHtmlHelpLibraryName);
    if (state.htmlHelpModule == nullptr) {
      state.htmlHelpFailed = 1;
      return nullptr;
    }
  }
  if (state.htmlHelpModule == nullptr) return nullptr;
  if (state.htmlHelpEntry == nullptr) {
    state.htmlHelpEntry = reinterpret_cast<HtmlHelpEntry>(
        reinterpret_cast<void*>(platform.getProcAddress(state.htmlHelpModule, MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
    if (state.htmlHelpEntry == nullptr) {
      state.htmlHelpFailed = 1;
      return nullptr;
    }
  }
  return state.htmlHelpEntry(window, file, command, data);
}

HWND CallHtmlHelp(HWND window, const char* file, UINT command, DWORD_PTR data) {
  return CallHtmlHelpWith(htmlHelpState, kSystemPlatform, window, file, command, data);
}

HWND ShowHelp(HWND window) {
  char path[kHelpPathSize];
  ModuleFilePath(path, sizeof path);
  MakeHelpPath(path, sizeof path);
  return CallHtmlHelp(window, path, 0, 0);
}

}  // namespace quillet
