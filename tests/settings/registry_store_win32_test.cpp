#include "settings/registry_store_suite.h"

#include <windows.h>

namespace obturix::testing {

// The real registry (Wine's, in the cross build's tests), emptied of the
// program's key before and after each test.
struct Win32Backend {
  Win32Backend() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Obturix"); }
  ~Win32Backend() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Obturix"); }
  std::unique_ptr<Registry> real = makeUserRegistry();
  Registry& registry() { return *real; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryStoreSuite, Win32Backend);

} // namespace obturix::testing
