// The libFuzzer target of one entry, named by QUILLET_FUZZ_TARGET at build time.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quillet::FuzzEntry entry = quillet::FindFuzzEntry(QUILLET_FUZZ_TARGET);
  if (entry == nullptr) {
    std::fprintf(stderr, "no fuzz entry \"%s\"\n", QUILLET_FUZZ_TARGET);
    std::abort();
  }
  return entry(data, size);
}
