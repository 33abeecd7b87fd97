// The autosearch mapping on arbitrary URL text and a stored search mask.
//
// Input: a byte of flags (bit 0: the mask is stored), the mask ended by a
// NUL, then the URL up to its NUL, of any length; it lies in a block of its
// own length with the NUL, the result in a block of 4096 bytes.
#include <cstring>
#include <optional>

#include "core/autosearch.h"
#include "core/format.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/fuzz_support.h"
#include "settings/settings.h"

namespace quillet {
namespace {

std::optional<std::string> ExpectedSearchUrl(const std::string& url, const std::string& mask) {
  const std::string examined = url.substr(0, kExaminedUrlLength);
  bool autosearch = false;
  for (const char* prefix : kAutosearchPrefixes) autosearch |= examined.rfind(prefix, 0) == 0;
  const size_t marker = examined.find(kAutosearchQueryParameter);
  if (!autosearch || marker == std::string::npos || mask.empty()) return std::nullopt;
  const size_t begin = marker + std::strlen(kAutosearchQueryParameter);
  const std::string query = examined.substr(begin, examined.find(kAutosearchQueryEnd, begin) - begin);
  return fuzz::ModelExpansion(mask, &query, 1).substr(0, kFormatBufferSize - 1);
}

}  // namespace

int RunAutosearchFuzzInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput input(data, size);
  const bool maskStored = (input.Byte() & 1) != 0;
  fuzz::StoredValue mask{maskStored, input.Field() + '\0'};
  const std::string url = fuzz::TextOf(input.Rest());
  MemoryRegistry& registry = fuzz::FreshRegistry();
  if (mask.present) fuzz::StoreSetting(registry, kSearchMaskName, reg::kSz, mask.bytes);

  fuzz::ExactBuffer urlBuffer(url + '\0');
  fuzz::ExactBuffer result(kUrlBufferSize, fuzz::kUntouched);
  RuleSettings settings;
  ReadSearchMaskSetting(&settings);
  const bool mapped = MapAutosearchUrl(urlBuffer.data(), settings, result.data());
  fuzz::CheckEqual(IsAutosearchUrl(urlBuffer.data()) || !mapped, true, "redirected only from an autosearch URL");
  const std::optional<std::string> expected = ExpectedSearchUrl(url, fuzz::ModelSettingText(mask, kUrlBufferSize, ""));
  fuzz::CheckEqual(mapped, expected.has_value(), "redirected");
  if (mapped) {
    const std::string got = result.bytes();
    fuzz::Check(got.find('\0') != std::string::npos, "search URL ends inside its buffer");
    fuzz::CheckEqual(fuzz::TextOf(got), *expected, "search URL");
  }
  fuzz::CheckEqual(static_cast<long long>(registry.OpenHandleCount()), 0, "every settings key closed");
  return 0;
}

}  // namespace quillet
