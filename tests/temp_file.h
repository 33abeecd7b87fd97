// Files that tests write and remove again, in the system's temporary folder.
#pragma once

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quillet::test {

inline std::string TempFilePath(const std::string& name) {
#ifdef _WIN32
  char folder[MAX_PATH + 1] = "";
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "quillet_" + std::to_string(GetCurrentProcessId()) + "_" + name;
#else
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr ? folder : "/tmp") + "/quillet_" + std::to_string(getpid()) + "_" + name;
#endif
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// Removes the file when the test ends.
class TempFile {
 public:
  TempFile(const std::string& name, const std::string& bytes) : path_(TempFilePath(name)) {
    written_ = WriteBytes(path_, bytes);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* path() const { return path_.c_str(); }
  bool written() const { return written_; }

 private:
  std::string path_;
  bool written_ = false;
};

}  // namespace quillet::test
