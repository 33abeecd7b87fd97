#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/registry.h"
#include "settings/engine_list.h"
#include "settings/settings.h"

namespace quillet::fuzz {

uint8_t FuzzInput::Byte() { return next_ < end_ ? *next_++ : 0; }

uint32_t FuzzInput::Number(int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
  return value;
}

std::string FuzzInput::Field() {
  const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(next_, '\0', static_cast<size_t>(end_ - next_)));
  const uint8_t* stop = nul != nullptr ? nul : end_;
  std::string field(reinterpret_cast<const char*>(next_), static_cast<size_t>(stop - next_));
  next_ = nul != nullptr ? nul + 1 : end_;
  return field;
}

std::string FuzzInput::Rest() {
  std::string rest(reinterpret_cast<const char*>(next_), static_cast<size_t>(end_ - next_));
  next_ = end_;
  return rest;
}

ExactBuffer::ExactBuffer(size_t size, char fill) : data_(new char[size]), size_(size) {
  std::memset(data_.get(), fill, size);
}

ExactBuffer::ExactBuffer(const std::string& bytes) : data_(new char[bytes.size()]), size_(bytes.size()) {
  std::memcpy(data_.get(), bytes.data(), bytes.size());
}

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    }
  }
  return out + "\"";
}

}  // namespace

void Fail(const char* what, const std::string& got, const std::string& expected) {
  std::fprintf(stderr, "fuzz check failed: %s\n  got      %s\n  expected %s\n", what, Quoted(got).c_str(),
               Quoted(expected).c_str());
  std::abort();
}

MemoryRegistry& FreshRegistry() {
  static MemoryRegistry registry;
  registry.Clear();
  SetActiveRegistry(&registry);
  return registry;
}

void StoreSetting(MemoryRegistry& registry, const char* name, uint32_t type, const std::string& bytes) {
  KeyHandle key(registry);
  Check(registry.CreateKey(CurrentUser(), kSettingsKeyPath, reg::kAllAccess, key.CloseAndReceive()) == reg::kSuccess,
        "settings key created");
  Check(registry.SetValue(key.get(), name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<uint32_t>(bytes.size())) == reg::kSuccess,
        "settings value stored");
}

std::vector<std::string> WalkEngineNames(ExactBuffer& names, uint32_t count) {
  Check(names.size() == kEngineBufferSize, "a names buffer of 4096 bytes");
  Check(count <= kEngineBufferSize - 2, "name count leaves room for two NULs");
  Check(names.data()[count] == '\0' && names.data()[count + 1] == '\0', "names end with two NULs at the count");
  std::vector<std::string> walked;
  const char* name = names.data();
  for (; *name != '\0'; name += std::strlen(name) + 1) walked.emplace_back(name);
  // The walk stops at the NULs that end the list, or at an empty name before them.
  Check(name <= names.data() + count + 1, "names walked within the count");
  return walked;
}

std::string ModelSettingText(const StoredValue& value, size_t size, const std::string& defaultText) {
  if (size == 0) return "";
  const std::string cutDefault = TextOf(defaultText).substr(0, size - 1);
  if (!value.present || value.bytes.size() > size) return cutDefault;
  // Data with a NUL of its own is that text; without one it must leave room for the NUL.
  if (value.bytes.find('\0') != std::string::npos) return TextOf(value.bytes);
  return value.bytes.size() < size ? value.bytes : cutDefault;
}

int32_t ModelInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::string(" \t\n\v\f\r").find(text[i]) != std::string::npos) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = (value * 10 + (text[i] - '0')) % (1ull << 32);
  if (negative) value = ((1ull << 32) - value) % (1ull << 32);
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string ModelExpansion(const std::string& format, const std::string* args, size_t argCount) {
  std::string out;
  size_t used = 0;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      out += format[i++];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    size_t j = i + 1;
    bool hasPrecision = false;
    uint64_t precision = 0;
    if (j < format.size() && format[j] == '.') {
      hasPrecision = true;
      for (++j; j < format.size() && format[j] >= '0' && format[j] <= '9'; ++j) {
        precision = std::min<uint64_t>(precision * 10 + static_cast<uint64_t>(format[j] - '0'), 1u << 20);
      }
    }
    if (j < format.size() && format[j] == 's' && used < argCount) {
      const std::string& arg = args[used++];
      out += hasPrecision ? arg.substr(0, precision) : arg;
      i = j + 1;
    } else {
      out += '%';  // not a conversion: copied as it stands
      ++i;
    }
  }
  return out;
}

std::string TextOf(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace quillet::fuzz
