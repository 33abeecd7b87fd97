#include "core/autosearch.h"

#include <cstring>

#include "core/format.h"
#include "settings/settings.h"

namespace quillet {
namespace {

size_t BoundedLength(const char* text, size_t limit) {
  const void* end = std::memchr(text, '\0', limit + 1);
  return end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : limit;
}

const char* FindIn(const char* text, size_t length, const char* needle) {
  size_t needleLength = std::strlen(needle);
  for (size_t i = 0; i + needleLength <= length; ++i) {
    if (std::memcmp(text + i, needle, needleLength) == 0) return text + i;
  }
  return nullptr;
}

bool IsAutosearchUrl(const char* url, size_t length) {
  for (const char* prefix : kAutosearchPrefixes) {
    size_t prefixLength = std::strlen(prefix);
    if (prefixLength <= length && std::memcmp(url, prefix, prefixLength) == 0) return true;
  }
  return false;
}

}  // namespace

bool MapAutosearchUrl(const char* url, char* result) {
  size_t length = BoundedLength(url, kExaminedUrlLength);
  if (!IsAutosearchUrl(url, length)) return false;
  const char* marker = FindIn(url, length, kAutosearchQueryParameter);
  if (marker == nullptr) return false;
  const char* query = marker + std::strlen(kAutosearchQueryParameter);
  const char* end = url + length;
  const void* ampersand = std::memchr(query, kAutosearchQueryEnd, static_cast<size_t>(end - query));
  if (ampersand != nullptr) end = static_cast<const char*>(ampersand);

  char mask[kUrlBufferSize];
  ReadSetting(kSearchMaskName, mask, sizeof mask, "");
  if (mask[0] == '\0') return false;
  ExpandSearchMask(result, kUrlBufferSize, mask, FormatArg{query, static_cast<size_t>(end - query)});
  return true;
}

}  // namespace quillet
