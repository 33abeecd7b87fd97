#include "browser/host_process.h"

#include <cstring>

#include "browser/browser_host.h"
#include "platform/ascii_case.h"

namespace quillet {

bool IsBrowserExecutable(const char* path) {
  char lowered[260];
  size_t length = 0;
  for (; length + 1 < sizeof lowered && path[length] != '\0'; ++length) lowered[length] = AsciiLower(path[length]);
  lowered[length] = '\0';
  return std::strstr(lowered, browser_host::kHostExecutable) != nullptr;
}

}  // namespace quillet
