#include "tests/win32/server_support.h"

#include <cstdio>
#include <vector>

namespace quillet::test {

const char* BuiltDllPath() { return QUILLET_DLL_PATH; }
const char* BuiltNoTlbDllPath() { return QUILLET_NOTLB_DLL_PATH; }
const char* BuiltTypeLibPath() { return QUILLET_TLB_PATH; }

std::string CopyIntoFolder(const char* source, const std::string& folder, const char* name) {
  // Create each level of the folder in turn.
  for (size_t at = folder.find('\\', 3); ; at = folder.find('\\', at + 1)) {
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    if (at == std::string::npos) break;
  }
  std::string target = folder + "\\" + name;
  if (!CopyFileA(source, target.c_str(), FALSE)) return std::string();
  return target;
}

void RemoveFromFolder(const std::string& folder, const char* name) {
  DeleteFileA((folder + "\\" + name).c_str());
  RemoveDirectoryA(folder.c_str());
}

DWORD RunRegsvr32(const std::string& arguments) {
  std::string commandLine = "regsvr32.exe " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return ~0u;
  }
  DWORD exitCode = ~0u;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

std::string RunCapturingOutput(const std::string& commandLine, DWORD timeoutMs) {
  // Output goes to a file of its own, not a pipe: reading a pipe waits for
  // every writer, so a hung program would hang the test before the time limit.
  char folder[MAX_PATH], path[MAX_PATH];
  if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "qlt", 0, path) == 0) {
    return "<no output file>";
  }
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileA(path);
    return "<no output file>";
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = file;
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(file);
  std::string hung;
  if (started) {
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      // Termination is asynchronous; the file must be closed before it is read.
      WaitForSingleObject(process.hProcess, 10000);
      hung = "<hung>";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  std::string output;
  file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
      for (DWORD i = 0; i < read; ++i) {
        if (chunk[i] != '\r') output += chunk[i];
      }
    }
    CloseHandle(file);
  }
  DeleteFileA(path);
  return started ? output + hung : "<did not start>";
}

bool ReadText(HKEY root, const std::string& path, const char* name, std::string* text) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char data[1024];
  DWORD type = 0;
  DWORD size = sizeof(data) - 1;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return false;
  data[size] = '\0';
  text->assign(data);
  return true;
}

}  // namespace quillet::test
