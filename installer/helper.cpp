// quillet-helper.exe, installed beside the 32-bit library, does the two things
// that setup leaves to a command run later:
//
// - With no arguments, Windows runs it once in every account at the account's
//   next logon after setup (an Active Setup component), so that every account,
//   not only the one that installed, starts with the initial search engine.
//   A search mask the account already has, an empty one (no engine) included,
//   is the user's choice and stays. (The library exports only the four COM
//   entry points, and the uninstaller asks for administrator rights, which a
//   logon command must not.)
// - With /uninstall it is the quiet uninstall command. Started from its own
//   folder, the uninstaller cannot delete its running file and so hands over
//   to a copy of itself and returns at once; this runs that copy from Temp,
//   waits for it and returns its exit code. The uninstaller moves this
//   program's running file into Temp, to be deleted at the next restart.
#include <windows.h>

#include <cstring>

#include "initial_search_mask.h"
#include "settings/settings.h"  // the key and value names only

namespace {

DWORD GiveInitialSettings() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, quillet::kSettingsKeyPath, 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  LONG status = RegQueryValueExA(key, quillet::kSearchMaskName, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_FILE_NOT_FOUND) {
    status = RegSetValueExA(key, quillet::kSearchMaskName, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(kInitialSearchMask), sizeof kInitialSearchMask);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 0 : 1;
}

DWORD Uninstall() {
  char folder[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
  char* separator = strrchr(folder, '\\');
  if (length == 0 || length >= MAX_PATH || separator == nullptr) return ERROR_BAD_PATHNAME;
  *separator = '\0';
  char temp[MAX_PATH];
  length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return ERROR_BAD_PATHNAME;
  char copyFolder[MAX_PATH + 32], copy[MAX_PATH + 48], source[MAX_PATH + 16];
  wsprintfA(copyFolder, "%s~nsu%lu.tmp", temp, GetTickCount());
  wsprintfA(copy, "%s\\uninstall.exe", copyFolder);
  wsprintfA(source, "%s\\uninstall.exe", folder);
  if (!CreateDirectoryA(copyFolder, nullptr) || !CopyFileA(source, copy, FALSE)) {
    DWORD error = GetLastError();
    RemoveDirectoryA(copyFolder);
    return error;
  }
  char command[2 * MAX_PATH + 128];
  wsprintfA(command, "\"%s\" /S _?=%s", copy, folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  DWORD code;
  if (CreateProcessA(copy, command, nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    if (!GetExitCodeProcess(process.hProcess, &code)) code = GetLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    code = GetLastError();
  }
  DeleteFileA(copy);
  RemoveDirectoryA(copyFolder);
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  return static_cast<int>(lstrcmpiA(commandLine, "/uninstall") == 0 ? Uninstall() : GiveInitialSettings());
}
