#include "fakes/temporary_folder.h"
#include "registry/hive_registry.h"
#include "settings/registry_store_suite.h"

namespace obturix::testing {

// A hive file in a folder of its own, removed after the test.
struct HiveBackend {
  TemporaryFolder folder;
  HiveRegistry hive{folder.path};
  Registry& registry() { return hive; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Hive, RegistryStoreSuite, HiveBackend);

} // namespace obturix::testing
