// The registry script executor: both passes over arbitrary bytes against a
// fresh in-memory registry, in a single-byte and a double-byte code page.
#include "fuzz/fuzz_entries.h"

#include <cstdlib>
#include <string>

#include "script/ansi_text.h"
#include "script/registry_script.h"
#include "platform/memory_registry.h"

namespace quillet {

int RunScriptFuzzInput(const uint8_t* data, size_t size) {
  // The script is NUL-terminated text: everything up to the first NUL.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::char_traits<char>::length(text.c_str()));
  const AnsiCodePage* pages[] = {&SystemCodePage(), &ShiftJisLikeCodePage()};
  for (const AnsiCodePage* page : pages) {
    MemoryRegistry registry;
    SubstitutionTable table;
    table.AddSubstitution(u"Module", u"C:\\O''Brien\\quillet.dll");
    RunScript(text.c_str(), true, table, registry, *page);
    RunScript(text.c_str(), false, table, registry, *page);
    // Every key a run opens is closed again, whatever the script.
    if (registry.OpenHandleCount() != 0) std::abort();
  }
  return 0;
}

}  // namespace quillet
