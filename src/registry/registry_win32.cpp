#include "registry/registry.h"
#include "text/system_reason.h"

#include <windows.h>

namespace obturix {

namespace {

// The predefined root is the system's own handle value, sign-extended on
// 64-bit Windows, not the 32-bit number widened with zeros.
HKEY toHkey(RegistryKey key) {
  return key == hkeyCurrentUser ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(key);
}

class Win32Registry final : public Registry {
public:
  long openKey(RegistryKey root, const std::string& path, std::uint32_t options,
               std::uint32_t access, RegistryKey& opened) override {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(toHkey(root), path.c_str(), options, access, &key);
    opened = reinterpret_cast<RegistryKey>(key);
    return status;
  }

  long createKey(RegistryKey root, const std::string& path, const std::string& className,
                 std::uint32_t options, std::uint32_t access, RegistryKey& opened) override {
    HKEY key = nullptr;
    DWORD disposition = 0;
    std::string classText = className;
    const LONG status = RegCreateKeyExA(toHkey(root), path.c_str(), 0, classText.data(), options,
                                        access, nullptr, &key, &disposition);
    opened = reinterpret_cast<RegistryKey>(key);
    return status;
  }

  long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                  std::uint32_t& size) override {
    DWORD storedType = 0;
    DWORD dataSize = size;
    const LONG status =
        RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &storedType, data, &dataSize);
    type = storedType;
    size = dataSize;
    return status;
  }

  long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override {
    return RegSetValueExA(toHkey(key), name.c_str(), 0, type, data, size);
  }

  long closeKey(RegistryKey key) override { return RegCloseKey(toHkey(key)); }
};

} // namespace

std::unique_ptr<Registry> makeUserRegistry() { return std::make_unique<Win32Registry>(); }

// The registry's statuses are the system's error codes.
std::string registryFailureWords(long status) { return systemReason(status); }

} // namespace obturix
