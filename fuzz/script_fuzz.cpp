// libFuzzer target for the registry script executor.
#include "fuzz/script_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return quillet::RunScriptFuzzInput(data, size);
}
