// The settings readers over a stored value of any type, length and bytes, with
// any buffer size and default; then the writers' round trip.
//
// Input: four bytes of value type, two of buffer size (modulo 8193), four of
// the integer default (least significant first), a byte of flags (bit 0: the
// key exists, bit 1: the value exists, bit 2: the registry fails the query),
// the default text ended by a NUL, then the value's bytes, NULs and all.
#include <cstdio>

#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/settings.h"

namespace quillet {
namespace {

// The readers' largest callers: the options dialog and the autosearch redirect.
constexpr uint32_t kLargestReader = 4096;

std::string Decimal(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  return text;
}

// The exact bytes and type stored as `name`.
std::string StoredBytes(RegistryApi& registry, const char* name, uint32_t* type) {
  KeyHandle key(registry);
  if (registry.OpenKey(CurrentUser(), kSettingsKeyPath, reg::kRead, key.CloseAndReceive()) != reg::kSuccess)
    return "<no key>";
  unsigned char data[64];
  uint32_t size = sizeof data;
  if (registry.QueryValue(key.get(), name, type, data, &size) != reg::kSuccess) return "<no value>";
  return std::string(reinterpret_cast<char*>(data), size);
}

}  // namespace

int RunSettingsFuzzInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput input(data, size);
  const uint32_t type = input.Number(4);
  const uint32_t bufferSize = input.Number(2) % 8193;
  const int32_t defaultValue = static_cast<int32_t>(input.Number(4));
  const uint8_t flags = input.Byte();
  const std::string defaultText = input.Field();
  fuzz::StoredValue value{(flags & 3) == 3, input.Rest()};

  MemoryRegistry& registry = fuzz::FreshRegistry();
  if ((flags & 1) != 0) {
    KeyHandle key(registry);
    registry.CreateKey(CurrentUser(), kSettingsKeyPath, reg::kAllAccess, key.CloseAndReceive());
  }
  if (value.present) fuzz::StoreSetting(registry, kSpellingWwName, type, value.bytes);
  const bool queryFails = (flags & 4) != 0;
  if (queryFails) value.present = false;  // then every read gives its default
  auto armFailure = [&] {
    if (queryFails) registry.FailOperation(MemoryRegistry::Operation::Query, reg::kAccessDenied);
  };

  fuzz::ExactBuffer text(bufferSize, fuzz::kUntouched);
  armFailure();
  ReadSetting(kSpellingWwName, text.data(), bufferSize, defaultText.c_str());
  if (bufferSize != 0) {
    fuzz::Check(text.bytes().find('\0') != std::string::npos, "text ends inside its buffer");
    fuzz::CheckEqual(fuzz::TextOf(text.bytes()), fuzz::ModelSettingText(value, bufferSize, defaultText), "text read");
  }
  armFailure();
  fuzz::CheckEqual(ReadIntSetting(kSpellingWwName, defaultValue),
                   fuzz::ModelInteger(fuzz::ModelSettingText(value, 64, Decimal(defaultValue))), "integer read");
  fuzz::CheckEqual(static_cast<long long>(registry.OpenHandleCount()), 0, "every settings key closed");

  // What is written reads back: text with its NUL, integers as "%i" does.
  registry.Clear();
  const std::string written = fuzz::TextOf(value.bytes);
  WriteSetting(kSearchMaskName, written.c_str());
  fuzz::ExactBuffer mask(kLargestReader, fuzz::kUntouched);
  ReadSetting(kSearchMaskName, mask.data(), kLargestReader, "");
  fuzz::CheckEqual(fuzz::TextOf(mask.bytes()), written.size() < kLargestReader ? written : "", "text written");
  WriteIntSetting(kSpellingWwName, defaultValue);
  uint32_t storedType = 0;
  fuzz::CheckEqual(StoredBytes(registry, kSpellingWwName, &storedType), Decimal(defaultValue) + '\0',
                   "integer stored as decimal text");
  fuzz::CheckEqual(storedType, reg::kSz, "integer stored as text");
  fuzz::CheckEqual(ReadIntSetting(kSpellingWwName, ~defaultValue), defaultValue, "integer written");
  return 0;
}

}  // namespace quillet
