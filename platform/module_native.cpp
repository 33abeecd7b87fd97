// Without a library the module is the program itself.
#include <unistd.h>

#include "platform/module_path.h"

namespace quillet {

uint32_t ModuleFilePath(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
  if (length < 0) length = 0;
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

}  // namespace quillet
