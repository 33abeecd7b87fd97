// What the fuzz entries share: fields read out of the fuzz bytes, heap blocks
// of exactly the caller's size (so the address sanitizer sees a byte too far),
// the registry the settings come from, and the check that stops a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory_registry.h"

namespace quillet::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}
  // 0 once the input is used up.
  uint8_t Byte();
  // `count` bytes, least significant first.
  uint32_t Number(int count);
  // The bytes up to the next NUL (which is dropped) or the end.
  std::string Field();
  std::string Rest();

 private:
  const uint8_t* next_;
  const uint8_t* end_;
};

// A heap block of exactly `size` bytes, each set to `fill`.
class ExactBuffer {
 public:
  ExactBuffer(size_t size, char fill);
  ExactBuffer(const std::string& bytes);  // the bytes as they are, no NUL added
  char* data() { return data_.get(); }
  size_t size() const { return size_; }
  std::string bytes() const { return std::string(data_.get(), size_); }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_;
};

// Bytes after a result that nobody wrote.
constexpr char kUntouched = '\xA5';

// Stops the run (libFuzzer and the corpus replay both report the abort).
[[noreturn]] void Fail(const char* what, const std::string& got, const std::string& expected);
inline void Check(bool holds, const char* what) {
  if (!holds) Fail(what, "false", "true");
}
inline void CheckEqual(const std::string& got, const std::string& expected, const char* what) {
  if (got != expected) Fail(what, got, expected);
}
inline void CheckEqual(long long got, long long expected, const char* what) {
  if (got != expected) Fail(what, std::to_string(got), std::to_string(expected));
}

// A registry value as stored: absent, or these exact bytes.
struct StoredValue {
  bool present = false;
  std::string bytes;
};

// The active registry, emptied: a fresh in-memory one for every input.
MemoryRegistry& FreshRegistry();
// Stores a settings value under the settings key, creating the key.
void StoreSetting(MemoryRegistry& registry, const char* name, uint32_t type, const std::string& bytes);

// Checks the engine names as ReadEngineNames leaves them in its 4096-byte
// buffer with its count, and walks them as the options dialog does.
std::vector<std::string> WalkEngineNames(ExactBuffer& names, uint32_t count);

// Independent models of the documented behaviour, for the checks.
// The text ReadSetting gives for `value` with a `size`-byte buffer.
std::string ModelSettingText(const StoredValue& value, size_t size, const std::string& defaultText);
// atoi's reading of `text`, wrapping modulo 2^32.
int32_t ModelInteger(const std::string& text);
// The formatter's expansion of `format`, before the cut at the buffer's end.
std::string ModelExpansion(const std::string& format, const std::string* args, size_t argCount);
// The NUL-terminated text at the start of `bytes`.
std::string TextOf(const std::string& bytes);

}  // namespace quillet::fuzz
