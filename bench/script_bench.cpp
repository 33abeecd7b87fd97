// Executor throughput on the shipped registry script, both passes, against
// the in-memory registry.
#include <benchmark/benchmark.h>

#include <string>

#include "script/registry_script.h"
#include "platform/memory_registry.h"
#include "shipped_script.h"

namespace {

void RunShipped(benchmark::State& state, bool doRegister) {
  const std::string script = ShippedScript();
  quillet::MemoryRegistry registry;
  quillet::SubstitutionTable table;
  table.AddSubstitution(u"Module", u"C:\\Program Files\\Kestrowe\\quillet.dll");
  quillet::RunScript(script.c_str(), true, table, registry);
  for (auto _ : state) {
    benchmark::DoNotOptimize(quillet::RunScript(script.c_str(), doRegister, table, registry));
    if (!doRegister) {
      state.PauseTiming();
      quillet::RunScript(script.c_str(), true, table, registry);
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(script.size()));
}

void BM_ShippedScriptRegister(benchmark::State& state) { RunShipped(state, true); }
void BM_ShippedScriptUnregister(benchmark::State& state) { RunShipped(state, false); }

}  // namespace

BENCHMARK(BM_ShippedScriptRegister);
BENCHMARK(BM_ShippedScriptUnregister);
