// The native build's stand-ins for the platform's code page and number parsing.
#include "script/ansi_text.h"
#include "script/script_platform.h"

namespace quillet {

const AnsiCodePage& SystemCodePage() {
  static const SingleByteCodePage page;
  return page;
}

bool ParseDwordText(const char* text, uint32_t* value) {
  if (*text == '\0') return false;
  uint64_t number = 0;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') return false;
    number = number * 10 + static_cast<uint64_t>(*text - '0');
    if (number > 0xFFFFFFFFu) return false;
  }
  *value = static_cast<uint32_t>(number);
  return true;
}

}  // namespace quillet
