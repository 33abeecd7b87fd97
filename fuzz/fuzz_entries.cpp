#include "fuzz/fuzz_entries.h"

#include <cstring>

namespace quillet {

FuzzEntry FindFuzzEntry(const char* name) {
  static const struct {
    const char* name;
    FuzzEntry entry;
  } kTargets[] = {
      {"chain", RunChainFuzzInput},
      {"format", RunFormatFuzzInput},
      {"autosearch", RunAutosearchFuzzInput},
      {"settings", RunSettingsFuzzInput},
      {"engine_list", RunEngineListFuzzInput},
      {"engine_names", RunEngineNamesFuzzInput},
      {"script", RunScriptFuzzInput},
  };
  for (const auto& target : kTargets) {
    if (std::strcmp(target.name, name) == 0) return target.entry;
  }
  return nullptr;
}

}  // namespace quillet
