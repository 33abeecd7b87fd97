#include "settings/settings.h"

#include <cstring>

#include "core/format.h"
#include "platform/registry.h"

namespace quillet {
namespace {

// The text an integer setting is read into.
constexpr uint32_t kIntTextSize = 64;

void CopyDefault(char* buffer, uint32_t size, const char* defaultText) {
  if (size == 0) return;
  size_t length = defaultText != nullptr ? std::strlen(defaultText) : 0;
  if (length >= size) length = size - 1;
  if (length != 0) std::memcpy(buffer, defaultText, length);
  buffer[length] = '\0';
}

// The settings key opened for reading into `handle`; null when it cannot be.
RegKey OpenSettingsKey(RegistryApi& registry, KeyHandle& handle) {
  if (registry.OpenKey(CurrentUser(), kSettingsKeyPath, reg::kRead, handle.CloseAndReceive()) != reg::kSuccess) {
    return nullptr;
  }
  return handle.get();
}

// An integer setting from the open key (null: none), or the default when it
// cannot be read whole into kIntTextSize bytes.
int32_t ReadInt(RegistryApi& registry, RegKey key, const char* name, int32_t defaultValue) {
  char text[kIntTextSize];
  if (key == nullptr || !QueryValueText(registry, key, name, text, sizeof text)) return defaultValue;
  return ParseDecimal(text);
}

// The mask read whole in kMaskBufferSize bytes; whether a reader of
// kFormatBufferSize bytes would have had it whole too follows from its size.
void ReadMask(RegistryApi& registry, RegKey key, RuleSettings* settings) {
  settings->searchMaskFitsSearchRule = false;
  uint32_t byteCount = 0;
  if (key == nullptr ||
      !QueryValueText(registry, key, kSearchMaskName, settings->searchMask, kMaskBufferSize, nullptr, &byteCount)) {
    settings->searchMask[0] = '\0';
    return;
  }
  settings->searchMaskFitsSearchRule =
      byteCount < kFormatBufferSize ||
      (byteCount == kFormatBufferSize && std::memchr(settings->searchMask, '\0', byteCount) != nullptr);
}

}  // namespace

void ReadSetting(const char* name, char* buffer, uint32_t size, const char* defaultText) {
  if (buffer == nullptr || size == 0) return;
  RegistryApi& registry = ActiveRegistry();
  KeyHandle handle(registry);
  RegKey key = OpenSettingsKey(registry, handle);
  // Data that does not fit whole with its NUL reads as the default.
  if (key == nullptr || !QueryValueText(registry, key, name, buffer, size)) CopyDefault(buffer, size, defaultText);
}

void WriteSetting(const char* name, const char* text) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  if (registry.CreateKey(CurrentUser(), kSettingsKeyPath, reg::kWrite, key.CloseAndReceive()) != reg::kSuccess) return;
  registry.SetValue(key.get(), name, reg::kSz, reinterpret_cast<const unsigned char*>(text),
                    static_cast<uint32_t>(std::strlen(text) + 1));
}

void FormatDecimal(int32_t value, char* buffer) {
  char digits[12];
  int count = 0;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char* out = buffer;
  if (value < 0) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = '\0';
}

int32_t ParseDecimal(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint32_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);  // modulo 2^32, two's complement
}

void ReadRuleSettings(RuleSettings* settings) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle handle(registry);
  RegKey key = OpenSettingsKey(registry, handle);
  ReadMask(registry, key, settings);
  settings->spellingCyrillic = ReadInt(registry, key, kSpellingCyrillicName, 1);
  settings->spellingWw = ReadInt(registry, key, kSpellingWwName, 1);
  settings->spellingWwww = ReadInt(registry, key, kSpellingWwwwName, 1);
}

void ReadSearchMaskSetting(RuleSettings* settings) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle handle(registry);
  ReadMask(registry, OpenSettingsKey(registry, handle), settings);
}

int32_t ReadIntSetting(const char* name, int32_t defaultValue) {
  RegistryApi& registry = ActiveRegistry();
  KeyHandle handle(registry);
  return ReadInt(registry, OpenSettingsKey(registry, handle), name, defaultValue);
}

void WriteIntSetting(const char* name, int32_t value) {
  char text[16];
  FormatDecimal(value, text);
  WriteSetting(name, text);
}

}  // namespace quillet
