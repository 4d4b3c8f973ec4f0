#pragma once

#include "registry/memory_registry.h"
#include "timing/sleeper.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

namespace obturix {

class LockFile;

// The current user's registry kept in a file, registry.reg in `folder`
// (REGEDIT4 text). Every operation runs in one place: it locks the folder's
// registry.reg.lock, reads the file again (another running copy may have
// changed it), runs on the registry in memory and, when that changed,
// replaces the file atomically. A file read whole that is not a hive, or is
// over the size limit, is renamed registry.reg.bad-<UTC time>, never
// overwritten, and the hive starts empty; a file that cannot be read is left
// alone and the operation fails. Without a folder, or in one that is not the
// user's own and private, nothing is kept: reads find nothing, saves fail.
// The lock is waited for two seconds at most (on `clock`), then the
// operation fails with registry_status::timeout; for five seconds after
// that, the next operations (the rest of the same load or save) try it once
// without waiting.
class HiveRegistry final : public Registry {
public:
  explicit HiveRegistry(std::optional<std::filesystem::path> folder);
  HiveRegistry(std::optional<std::filesystem::path> folder, Sleeper& clock);

  long openKey(RegistryKey root, const std::string& path, std::uint32_t options,
               std::uint32_t access, RegistryKey& opened) override;
  long createKey(RegistryKey root, const std::string& path, const std::string& className,
                 std::uint32_t options, std::uint32_t access, RegistryKey& opened) override;
  long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                  std::uint32_t& size) override;
  long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long closeKey(RegistryKey key) override { return memory_.closeKey(key); }
  std::optional<DamagedSettingsFile> takeDamagedFile() override {
    return std::exchange(damaged_, std::nullopt);
  }

  // As last read from the file.
  const MemoryRegistry::Keys& keys() const { return memory_.keys(); }

  // The largest file read back, and so the largest one written.
  static constexpr std::size_t maxFileSize = 1024 * 1024;

private:
  template <class Operation> long run(Operation operation);
  long load();
  long save();
  void setAside();

  std::optional<std::filesystem::path> folder_;
  std::filesystem::path file_;
  std::unique_ptr<Sleeper> systemClock_;
  Sleeper& clock_;
  std::chrono::nanoseconds hurriedUntil_{0}; // after giving up on the lock
  std::shared_ptr<LockFile> lockFile_; // registry.reg.lock, open from one operation to the next
  MemoryRegistry memory_;
  bool damagedFileInPlace_ = false;
  bool toldInPlace_ = false;
  std::optional<DamagedSettingsFile> damaged_; // until taken
};

} // namespace obturix
