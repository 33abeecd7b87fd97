// The fuzz entries: each takes one input of arbitrary bytes, runs the code
// that reads such input and stops the run (abort) when a check fails. The
// libFuzzer targets and the corpus replay of the test run both call them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

int RunChainFuzzInput(const uint8_t* data, size_t size);
int RunFormatFuzzInput(const uint8_t* data, size_t size);
int RunAutosearchFuzzInput(const uint8_t* data, size_t size);
int RunSettingsFuzzInput(const uint8_t* data, size_t size);
int RunEngineNamesFuzzInput(const uint8_t* data, size_t size);
int RunScriptFuzzInput(const uint8_t* data, size_t size);
// Windows build only: the list file is read by the platform.
int RunEngineListFuzzInput(const uint8_t* data, size_t size);

// The entry of the target called `name` ("chain", "format", ...); null for none.
FuzzEntry FindFuzzEntry(const char* name);

}  // namespace quillet
