#pragma once

#include "exposure/variant.h"
#include "registry/registry.h"

#include <cstdint>
#include <functional>
#include <string>

namespace obturix {

// What reading hands back for a value that cannot be read or converted.
inline constexpr int unreadableValue = 1;

// Named values of the current user kept under "Software\Obturix" + a key
// suffix, as text (type 1), number (4) or list of texts (7). Each call opens
// and closes the key; failures are reported through the Boolean result, on
// reading the value handed back (the number 1 for a value that cannot be
// read), and on writing the status of the failure. A text with a character
// the code page has no form for is not written (it would come back changed):
// the older value stays.
class RegistrySettingsStore {
public:
  explicit RegistrySettingsStore(Registry& registry) : registry_(registry) {}

  bool EcrireParam(const std::string& keySuffix, const std::string& valueName, std::int32_t type,
                   const Variant& value);
  bool LireParam(const std::string& keySuffix, const std::string& valueName, std::int32_t type,
                 Variant& value);

  bool LireValeurReg(RegistryKey root, const std::string& keySuffix, const std::string& valueName,
                     std::int32_t type, Variant& value);
  bool MajValeurReg(RegistryKey root, const std::string& keySuffix, const std::string& valueName,
                    std::int32_t type, const Variant& value);
  bool CreerValeurReg(RegistryKey root, std::int32_t type, const std::string& keySuffix,
                      const std::string& valueName, const Variant& value);

  // Why the last write that failed failed, as a registry status
  // (registry_status::noUnicodeTranslation for a text that cannot be kept).
  long lastWriteFailure() const { return writeFailure_; }
  // The settings file found damaged since the last call, if any.
  std::optional<DamagedSettingsFile> takeDamagedFile() { return registry_.takeDamagedFile(); }

private:
  struct Query {
    long status = registry_status::success;
    std::uint32_t storedType = regNone;
    std::uint32_t size = 0;
    std::string text;         // the text buffer, when a text or a list was asked for
    std::uint32_t number = 0; // the number slot, when a number was asked for
  };
  Query queryTyped(RegistryKey key, const std::string& valueName, std::int32_t type);
  static Variant decoded(const Query& query);
  bool writeInKey(const std::function<long(RegistryKey&)>& open, const std::string& valueName,
                  std::int32_t type, const Variant& value);
  long setTyped(RegistryKey key, const std::string& valueName, std::int32_t type,
                const Variant& value);

  Registry& registry_;
  long writeFailure_ = registry_status::success;
};

} // namespace obturix
