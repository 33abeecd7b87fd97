// The engine list read from list files of any bytes through the platform's
// reader (GetPrivateProfileStringA): the names, and the masks of the first,
// second and last name. The reader is the platform's, so this entry is built
// in the Windows build only, where the test run replays its corpus under Wine.
//
// Input: the whole list file.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/engine_list.h"

namespace quillet {
namespace {

// The input as a file of its own in the temporary folder, removed again. A
// new name for every input, so that no cached copy of an earlier file is read.
class ListFile {
 public:
  explicit ListFile(const std::string& bytes) {
    static unsigned inputs = 0;
    char folder[MAX_PATH + 1] = "";
    GetTempPathA(sizeof folder, folder);
    path_ = std::string(folder) + "quillet_fuzz_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++inputs) + ".ini";
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    fuzz::Check(file != nullptr, "list file made");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    fuzz::Check(std::fclose(file) == 0 && written, "list file written");
  }
  ~ListFile() { std::remove(path_.c_str()); }
  ListFile(const ListFile&) = delete;
  ListFile& operator=(const ListFile&) = delete;
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

}  // namespace

int RunEngineListFuzzInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const ListFile list(file);
  fuzz::ExactBuffer names(kEngineBufferSize, fuzz::kUntouched);
  const std::vector<std::string> walked = fuzz::WalkEngineNames(names, ReadEngineNames(list.path(), names.data()));
  for (size_t i = 0; i < walked.size(); ++i) {
    // Names and masks are the file's own bytes, never more.
    fuzz::Check(file.find(walked[i]) != std::string::npos, "a name comes from the file");
    if (i >= 2 && i + 1 != walked.size()) continue;
    fuzz::ExactBuffer mask(kEngineBufferSize, fuzz::kUntouched);
    const uint32_t length = ReadEngineMask(list.path(), walked[i].c_str(), mask.data());
    fuzz::Check(std::memchr(mask.data(), '\0', mask.size()) != nullptr, "mask ends inside its buffer");
    fuzz::CheckEqual(length, std::strlen(mask.data()), "mask length");
    fuzz::Check(file.find(mask.data()) != std::string::npos, "a mask comes from the file");
  }
  return 0;
}

}  // namespace quillet
