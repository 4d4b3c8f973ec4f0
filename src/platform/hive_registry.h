#pragma once

#include "platform/memory_registry.h"

#include <filesystem>

namespace obturix {

// The current user's registry kept in a file, registry.reg in `folder`
// (REGEDIT4 text). Every operation locks the folder's registry.reg.lock and
// reads the file again, so two running copies never lose each other's
// values; every change replaces the file atomically. A file that cannot be
// read as a hive is renamed registry.reg.bad-<UTC time>, never overwritten,
// and the hive starts empty.
class HiveRegistry final : public MemoryRegistry {
public:
  explicit HiveRegistry(std::filesystem::path folder);

  long openKey(RegistryKey root, const std::string& path, std::uint32_t options,
               std::uint32_t access, RegistryKey& opened) override;
  long createKey(RegistryKey root, const std::string& path, const std::string& className,
                 std::uint32_t options, std::uint32_t access, RegistryKey& opened) override;
  long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                  std::uint32_t& size) override;
  long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;

  static constexpr std::uintmax_t maxFileSize = 1024 * 1024;

protected:
  long beforeOperation() override;
  long afterChange() override;

private:
  class Lock;
  void setAside();

  std::filesystem::path folder_;
  std::filesystem::path file_;
  bool damagedFileInPlace_ = false;
};

// $XDG_CONFIG_HOME/obturix, or ~/.config/obturix.
std::filesystem::path userConfigFolder();

} // namespace obturix
