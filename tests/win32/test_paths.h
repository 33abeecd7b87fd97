// Paths of files that lie beside the test program.
#pragma once

#include <windows.h>

#include <string>

namespace quillet::test {

inline std::string ProgramPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

inline std::string BesideProgram(const char* name) {
  std::string path = ProgramPath();
  return path.substr(0, path.find_last_of('\\') + 1) + name;
}

}  // namespace quillet::test
