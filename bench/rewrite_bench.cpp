// The rule chain on a settings value (the rules read nothing themselves), and
// the layout conversion alone.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/layout.h"
#include "core/rewrite.h"

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

}  // namespace

BENCHMARK(BM_ChainTypical);
BENCHMARK(BM_ChainAddress);
BENCHMARK(BM_ChainLongest);
BENCHMARK(BM_LayoutPerByte);
BENCHMARK_MAIN();
