// The engine list read from list files of any bytes through the host build's
// reader: the names, and the masks of the first, second and last name.
//
// Input: the whole list file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/engine_list.h"

namespace quillet {
namespace {

// One file in memory, rewritten for every input.
std::string ListFile(const std::string& bytes) {
  static const int file = memfd_create("quillet.ini", 0);
  fuzz::Check(file >= 0, "list file made");
  fuzz::Check(ftruncate(file, 0) == 0 &&
                  pwrite(file, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()),
              "list file written");
  return "/proc/self/fd/" + std::to_string(file);
}

}  // namespace

int RunEngineListFuzzInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::string path = ListFile(file);
  fuzz::ExactBuffer names(kEngineBufferSize, fuzz::kUntouched);
  const std::vector<std::string> walked = fuzz::WalkEngineNames(names, ReadEngineNames(path.c_str(), names.data()));
  for (size_t i = 0; i < walked.size(); ++i) {
    // Names and masks are the file's own bytes, never more.
    fuzz::Check(file.find(walked[i]) != std::string::npos, "a name comes from the file");
    if (i >= 2 && i + 1 != walked.size()) continue;
    fuzz::ExactBuffer mask(kEngineBufferSize, fuzz::kUntouched);
    const uint32_t length = ReadEngineMask(path.c_str(), walked[i].c_str(), mask.data());
    fuzz::Check(std::memchr(mask.data(), '\0', mask.size()) != nullptr, "mask ends inside its buffer");
    fuzz::CheckEqual(length, std::strlen(mask.data()), "mask length");
    fuzz::Check(file.find(mask.data()) != std::string::npos, "a mask comes from the file");
  }
  return 0;
}

}  // namespace quillet
