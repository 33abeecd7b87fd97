// What the registry script executor takes from the platform beyond the
// registry and the code page: memory that can fail, and the text-to-number
// conversion of "D" values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// realloc and free for the executor's own data. Tests can make an
// allocation fail: the one after `skip` successful ones (-1: none).
void* ScriptRealloc(void* block, size_t size);
void ScriptFree(void* block);
void FailScriptAllocation(int skip);

// VarUI4FromStr(text, locale 0, flags 0) on Windows; in the native build a strict
// decimal reader: one or more digits, 0 to 4294967295. False when the text
// is no such number (or, on Windows, memory for its UTF-16 form is missing).
bool ParseDwordText(const char* text, uint32_t* value);

}  // namespace quillet
