// The rule chain on a settings value (the rules read nothing themselves), and
// the layout conversion alone.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/layout.h"
#include "core/rewrite.h"
#include "platform/registry.h"
#include "settings/settings.h"

namespace {

void RunChain(benchmark::State& state, const std::string& typed) {
  quillet::RuleSettings settings;
  std::strcpy(settings.searchMask, "http://www.example.com/search?q=%s");
  settings.searchMaskFitsSearchRule = true;
  char text[quillet::kTypedTextSize];
  for (auto _ : state) {
    std::memcpy(text, typed.c_str(), typed.size() + 1);
    benchmark::DoNotOptimize(quillet::RewriteTypedText(text, settings));
  }
}

void BM_ChainTypical(benchmark::State& state) { RunChain(state, "cats and dogs"); }
void BM_ChainAddress(benchmark::State& state) { RunChain(state, "www.example.com"); }
void BM_ChainLongest(benchmark::State& state) { RunChain(state, std::string(4095, 'a')); }

void BM_LayoutPerByte(benchmark::State& state) {
  std::string typed = "\xF6\xF6\xF6\xFE" + std::string(4091, '\xF4');
  const quillet::RuleSettings settings;
  char text[quillet::kTypedTextSize];
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(text, typed.c_str(), typed.size() + 1);
    state.ResumeTiming();
    benchmark::DoNotOptimize(quillet::CorrectKeyboardLayout(text, settings));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(typed.size()));
}

// A registry that answers from fixed values and allocates nothing, so that
// an Enter's logic is timed without a registry's own costs.
class FixedRegistry final : public quillet::RegistryApi {
 public:
  quillet::RegStatus OpenKey(quillet::RegKey, const char*, uint32_t, quillet::RegKey* result) override {
    *result = reinterpret_cast<quillet::RegKey>(this);
    return quillet::reg::kSuccess;
  }
  quillet::RegStatus CreateKey(quillet::RegKey, const char*, uint32_t, quillet::RegKey*) override { return 5; }
  quillet::RegStatus CloseKey(quillet::RegKey) override { return quillet::reg::kSuccess; }
  quillet::RegStatus QueryValue(quillet::RegKey, const char* name, uint32_t* type, unsigned char* data,
                                uint32_t* size) override {
    const char* text = std::strcmp(name, quillet::kSearchMaskName) == 0 ? "http://www.example.com/search?q=%s" : "1";
    const uint32_t needed = static_cast<uint32_t>(std::strlen(text) + 1);
    if (type != nullptr) *type = quillet::reg::kSz;
    if (data != nullptr && *size < needed) {
      *size = needed;
      return quillet::reg::kMoreData;
    }
    if (data != nullptr) std::memcpy(data, text, needed);
    *size = needed;
    return quillet::reg::kSuccess;
  }
  quillet::RegStatus SetValue(quillet::RegKey, const char*, uint32_t, const unsigned char*, uint32_t) override { return 5; }
  quillet::RegStatus DeleteValue(quillet::RegKey, const char*) override { return 5; }
  quillet::RegStatus DeleteKey(quillet::RegKey, const char*) override { return 5; }
  quillet::RegStatus EnumKey(quillet::RegKey, uint32_t, char*, uint32_t*) override { return 259; }
  quillet::RegStatus QueryInfoKey(quillet::RegKey, uint32_t*, uint32_t*) override { return 5; }
  quillet::RegStatus EnumValue(quillet::RegKey, uint32_t, char*, uint32_t*) override { return 259; }
};

// An Enter's whole logic: the one-pass read of its settings, then the rules.
void BM_EnterOverAFixedRegistry(benchmark::State& state) {
  FixedRegistry fixed;
  quillet::RegistryApi* previous = quillet::SetActiveRegistry(&fixed);
  char text[quillet::kTypedTextSize];
  for (auto _ : state) {
    std::memcpy(text, "cats and dogs", sizeof "cats and dogs");
    quillet::RuleSettings settings;
    quillet::ReadRuleSettings(&settings);
    benchmark::DoNotOptimize(quillet::RewriteTypedText(text, settings));
  }
  quillet::SetActiveRegistry(previous);
}

}  // namespace

BENCHMARK(BM_EnterOverAFixedRegistry);
BENCHMARK(BM_ChainTypical);
BENCHMARK(BM_ChainAddress);
BENCHMARK(BM_ChainLongest);
BENCHMARK(BM_LayoutPerByte);
BENCHMARK_MAIN();
