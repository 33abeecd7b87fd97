// The native (Linux) build has no system registry: an in-memory one stands in.
#include "platform/memory_registry.h"

namespace quillet {
namespace {

RegistryApi& DefaultRegistry() {
  static MemoryRegistry registry;
  return registry;
}

RegistryApi* activeRegistry = nullptr;

}  // namespace

RegistryApi& ActiveRegistry() { return activeRegistry != nullptr ? *activeRegistry : DefaultRegistry(); }

RegistryApi* SetActiveRegistry(RegistryApi* registry) {
  RegistryApi* previous = &ActiveRegistry();
  activeRegistry = registry;
  return previous;
}

}  // namespace quillet
