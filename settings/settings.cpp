#include "settings/settings.h"

#include <cstring>

#include "platform/registry.h"

namespace quillet {
namespace {

void CopyDefault(char* buffer, uint32_t size, const char* defaultText) {
  if (size == 0) return;
  size_t length = defaultText != nullptr ? std::strlen(defaultText) : 0;
  if (length >= size) length = size - 1;
  if (length != 0) std::memcpy(buffer, defaultText, length);
  buffer[length] = '\0';
}

}  // namespace

void ReadSetting(const char* name, char* buffer, uint32_t size, const char* defaultText) {
  if (buffer == nullptr || size == 0) return;
  RegistryApi& registry = ActiveRegistry();
  KeyHandle key(registry);
  if (registry.OpenKey(CurrentUser(), kSettingsKeyPath, reg::kRead, key.CloseAndReceive()) != reg::kSuccess) {
    CopyDefault(buffer, size, defaultText);
    return;
  }
  // Data that does not fit whole with its NUL reads as the default.
  if (!QueryValueText(registry, key.get(), name, buffer, size)) CopyDefault(buffer, size, defaultText);
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

int32_t ReadIntSetting(const char* name, int32_t defaultValue) {
  char defaultText[16];
  FormatDecimal(defaultValue, defaultText);
  char text[64];
  ReadSetting(name, text, sizeof text, defaultText);
  return ParseDecimal(text);
}

void WriteIntSetting(const char* name, int32_t value) {
  char text[16];
  FormatDecimal(value, text);
  WriteSetting(name, text);
}

}  // namespace quillet
