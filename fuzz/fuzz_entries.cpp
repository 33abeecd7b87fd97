#include "fuzz/fuzz_entries.h"

#include <cstring>

namespace quillet {

FuzzEntry FindFuzzEntry(const char* name) {
  static const struct {
    const char* name;
    FuzzEntry entry;
  } kTargets[] = {
#ifdef _WIN32
      {"engine_list", RunEngineListFuzzInput},
#else
      {"chain", RunChainFuzzInput},
      {"format", RunFormatFuzzInput},
      {"autosearch", RunAutosearchFuzzInput},
      {"settings", RunSettingsFuzzInput},
      {"engine_names", RunEngineNamesFuzzInput},
      {"script", RunScriptFuzzInput},
#endif
  };
  for (const auto& target : kTargets) {
    if (std::strcmp(target.name, name) == 0) return target.entry;
  }
  return nullptr;
}

}  // namespace quillet
