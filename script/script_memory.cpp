#include <atomic>
#include <cstdlib>

#include "script/script_platform.h"

namespace quillet {
namespace {
std::atomic<int> allocationsBeforeFailure{-1};
}  // namespace

void* ScriptRealloc(void* block, size_t size) {
  int left = allocationsBeforeFailure.load();
  if (left == 0) {
    allocationsBeforeFailure = -1;
    return nullptr;
  }
  if (left > 0) allocationsBeforeFailure = left - 1;
  return std::realloc(block, size == 0 ? 1 : size);
}

void ScriptFree(void* block) { std::free(block); }

void FailScriptAllocation(int skip) { allocationsBeforeFailure = skip; }

}  // namespace quillet
