#include "settings/engine_list.h"

#include <cstring>

#include "platform/module_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <vector>

#include "settings/profile_reader.h"
#endif

namespace quillet {

void MakeEngineListPath(char* modulePath) {
  size_t length = std::strlen(modulePath);
  if (length < 3) {
    modulePath[0] = '\0';
    return;
  }
  std::memcpy(modulePath + length - 3, "ini", 4);
}

void GetEngineListPath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  ModuleFilePath(buffer, size);
  MakeEngineListPath(buffer);
}

// The platform ends a cut list, and an empty one, with a single NUL; the
// names are walked to an empty name, so a second one must follow.
uint32_t EndEngineNames(char* buffer, uint32_t placed) {
  if (placed > kEngineBufferSize - 2) placed = kEngineBufferSize - 2;
  buffer[placed] = '\0';
  buffer[placed + 1] = '\0';
  return placed;
}

#ifdef _WIN32

uint32_t ReadEngineNames(const char* path, char* buffer) {
  return EndEngineNames(buffer, GetPrivateProfileStringA(kEngineSectionName, nullptr, "", buffer, kEngineBufferSize, path));
}

uint32_t ReadEngineMask(const char* path, const char* name, char* buffer) {
  return GetPrivateProfileStringA(kEngineSectionName, name, "", buffer, kEngineBufferSize, path);
}

#else

namespace {

// The whole file, or nothing when it cannot be read.
std::vector<char> ReadWholeFile(const char* path) {
  std::vector<char> text;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return text;
  char chunk[4096];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) != 0) text.insert(text.end(), chunk, chunk + count);
  std::fclose(file);
  return text;
}

uint32_t ReadEngineEntry(const char* path, const char* name, char* buffer) {
  std::vector<char> text = ReadWholeFile(path);
  return ReadProfileText(text.data(), text.size(), kEngineSectionName, name, "", buffer, kEngineBufferSize);
}

}  // namespace

uint32_t ReadEngineNames(const char* path, char* buffer) {
  return EndEngineNames(buffer, ReadEngineEntry(path, nullptr, buffer));
}

uint32_t ReadEngineMask(const char* path, const char* name, char* buffer) {
  return ReadEngineEntry(path, name, buffer);
}

#endif

}  // namespace quillet
