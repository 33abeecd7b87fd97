// One fuzz input: both passes over arbitrary bytes against a fresh in-memory
// registry, in a single-byte and a double-byte code page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {
int RunScriptFuzzInput(const uint8_t* data, size_t size);
}
