#include "ui/help.h"

#include <cstring>

#include "platform/module_path.h"
#include "platform/registry.h"

namespace quillet {
namespace {

HtmlHelpState htmlHelpState;

HMODULE LoadLibraryByName(const char* name) { return LoadLibraryA(name); }

FARPROC ProcAddress(HMODULE module, const char* name) { return GetProcAddress(module, name); }

// The system's own HTML Help library by its full path: a bare name would be
// looked for along the library search path, where a planted file could win.
bool GetSystemHtmlHelpPath(char* path) {
  constexpr UINT kNameLength = sizeof kHtmlHelpLibraryName - 1;
  UINT length = GetSystemDirectoryA(path, kHelpPathSize);
  if (length == 0 || length + 1 + kNameLength >= kHelpPathSize) return false;
  path[length] = '\\';
  std::memcpy(path + length + 1, kHtmlHelpLibraryName, kNameLength + 1);
  return true;
}

constexpr HtmlHelpPlatform kSystemPlatform = {GetHtmlHelpLibraryLocation, LoadLibraryByName, ProcAddress};

}  // namespace

bool GetHtmlHelpLibraryLocation(char* buffer) {
  uint32_t type = reg::kNone;
  if (!GetHtmlHelpLocation(buffer, &type)) return false;
  if (type != reg::kExpandSz) return true;
  // An expansion that does not fit the path buffer is no usable path.
  char expanded[kHelpPathSize];
  DWORD length = ExpandEnvironmentStringsA(buffer, expanded, sizeof expanded);
  if (length == 0 || length > sizeof expanded || std::memchr(expanded, '\0', sizeof expanded) == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  lstrcpynA(buffer, expanded, kHelpPathSize);
  return true;
}

HWND CallHtmlHelpWith(HtmlHelpState& state, const HtmlHelpPlatform& platform, HWND window, const char* file,
                      UINT command, DWORD_PTR data) {
  if (state.htmlHelpModule == nullptr && state.htmlHelpFailed == 0) {
    char location[kHelpPathSize];
    if (platform.getLocation(location)) state.htmlHelpModule = platform.loadLibrary(location);
    if (state.htmlHelpModule == nullptr) {
      char systemLibrary[kHelpPathSize];
      if (GetSystemHtmlHelpPath(systemLibrary)) state.htmlHelpModule = platform.loadLibrary(systemLibrary);
    }
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
