#include "core/autosearch.h"

#include <cstring>

#include "core/format.h"

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

bool HasAutosearchPrefix(const char* url, size_t length) {
  for (const char* prefix : kAutosearchPrefixes) {
    size_t prefixLength = std::strlen(prefix);
    if (prefixLength <= length && std::memcmp(url, prefix, prefixLength) == 0) return true;
  }
  return false;
}

}  // namespace

bool IsAutosearchUrl(const char* url) { return HasAutosearchPrefix(url, BoundedLength(url, kExaminedUrlLength)); }

bool MapAutosearchUrl(const char* url, const RuleSettings& settings, char* result) {
  size_t length = BoundedLength(url, kExaminedUrlLength);
  if (!HasAutosearchPrefix(url, length)) return false;
  const char* marker = FindIn(url, length, kAutosearchQueryParameter);
  if (marker == nullptr) return false;
  const char* query = marker + std::strlen(kAutosearchQueryParameter);
  const char* end = url + length;
  const void* ampersand = std::memchr(query, kAutosearchQueryEnd, static_cast<size_t>(end - query));
  if (ampersand != nullptr) end = static_cast<const char*>(ampersand);

  if (settings.searchMask[0] == '\0') return false;
  ExpandSearchMask(result, kUrlBufferSize, settings.searchMask, FormatArg{query, static_cast<size_t>(end - query)});
  return true;
}

}  // namespace quillet
