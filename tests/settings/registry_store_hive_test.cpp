#include "platform/hive_registry.h"
#include "settings/registry_store_suite.h"
#include "settings/temporary_folder.h"

namespace obturix::testing {

// A hive file in a folder of its own, removed after the test.
struct HiveBackend {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("obturix-hive-" + std::to_string(getpid()) + "-" + std::to_string(counter()++));
  HiveRegistry hive{folder};
  ~HiveBackend() { std::filesystem::remove_all(folder); }
  Registry& registry() { return hive; }
  static int& counter() {
    static int next = 0;
    return next;
  }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Hive, RegistryStoreSuite, HiveBackend);

} // namespace obturix::testing
