#include "registry/memory_registry.h"
#include "settings/registry_store_suite.h"

namespace obturix::testing {

struct MemoryBackend {
  MemoryRegistry memory;
  Registry& registry() { return memory; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryStoreSuite, MemoryBackend);

} // namespace obturix::testing
