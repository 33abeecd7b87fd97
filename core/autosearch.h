// The browser's own autosearch, sent to the user's search engine instead.
#pragma once

#include <cstddef>

#include "core/rule_settings.h"

namespace quillet {

constexpr size_t kUrlBufferSize = 4096;
// Only this much of a URL is looked at, as much as a formatted URL can hold.
constexpr size_t kExaminedUrlLength = 1023;

// The browser's own autosearch URL: "http://" host "/response.asp?" with the
// text it could not resolve in "MT=", ended by "&". The vendor's service,
// then the local single-label host.
constexpr char kAutosearchServicePrefix[] = "http://auto.search.msn.com/response.asp?";
constexpr char kAutosearchLocalPrefix[] = "http://autosearch/response.asp?";
constexpr const char* kAutosearchPrefixes[] = {kAutosearchServicePrefix, kAutosearchLocalPrefix};
constexpr char kAutosearchQueryParameter[] = "MT=";
constexpr char kAutosearchQueryEnd = '&';

// True when `url` (its first kExaminedUrlLength characters) begins with one
// of the autosearch prefixes: only then are the settings worth reading.
bool IsAutosearchUrl(const char* url);

// When `url` is an autosearch URL with a "MT=" query and a search mask is
// set, writes the search URL into `result` (kUrlBufferSize bytes) and
// returns true.
bool MapAutosearchUrl(const char* url, const RuleSettings& settings, char* result);

}  // namespace quillet
