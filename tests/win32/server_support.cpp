#include "tests/win32/server_support.h"

#include <cstdio>

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

std::string RunCapturingOutput(const std::string& commandLine) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "<did not start>";
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);  // the child's copy is the only writer left
  std::string output;
  if (!started) {
    output = "<did not start>";
  } else {
    char chunk[512];
    DWORD read = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &read, nullptr) && read > 0) output.append(chunk, read);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      output += "<hung>";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return output;
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
