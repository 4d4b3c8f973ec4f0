#include "settings/registry_store_suite.h"

#include <windows.h>

#include <sddl.h>

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

// Sets the access list of the program's key from its SDDL form.
bool allowOnly(const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  HKEY key = nullptr;
  const bool done =
      ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                           nullptr) &&
      RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Obturix\\Param", 0, WRITE_DAC, &key) == 0 &&
      RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == 0;
  if (key)
    RegCloseKey(key);
  LocalFree(descriptor);
  return done;
}

// A key whose access list allows reading only (set by an administrator, or
// copied from another account) is read all the same; a save is refused.
TEST(Win32Registry, AReadOnlyKeyIsReadAndASaveRefused) {
  Win32Backend backend;
  RegistrySettingsStore store{backend.registry()};
  ASSERT_TRUE(store.EcrireParam("\\Param\\", "StrCom", regSz, "COM7"));
  ASSERT_TRUE(allowOnly("D:P(A;;KR;;;WD)"));
  Variant value;
  EXPECT_TRUE(store.LireParam("\\Param\\", "StrCom", regSz, value));
  EXPECT_EQ(value, Variant("COM7"));
  EXPECT_FALSE(store.EcrireParam("\\Param\\", "StrCom", regSz, "COM8"));
  EXPECT_EQ(store.lastWriteFailure(), registry_status::accessDenied);
  EXPECT_TRUE(allowOnly("D:P(A;;KA;;;WD)")); // for the backend to remove it
}

} // namespace obturix::testing
