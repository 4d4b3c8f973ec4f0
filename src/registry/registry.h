#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace obturix {

// A key handle as the registry hands it out; the predefined roots are fixed values.
using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey hkeyCurrentUser = 0x80000001;

// Status codes, as the Win32 registry functions return them.
namespace registry_status {
inline constexpr long success = 0;
inline constexpr long fileNotFound = 2;
inline constexpr long accessDenied = 5;
inline constexpr long invalidHandle = 6;
inline constexpr long writeFault = 29;
inline constexpr long invalidParameter = 87;
inline constexpr long moreData = 234;
inline constexpr long diskFull = 112;
inline constexpr long fileTooLarge = 223;
inline constexpr long badPathname = 161;
inline constexpr long timeout = 1460;              // the settings were held by another program
inline constexpr long notReady = 21;               // the disk did not answer in time
inline constexpr long noUnicodeTranslation = 1113; // a character without an 8-bit form
} // namespace registry_status

inline constexpr std::uint32_t keyAllAccess = 0xF003F;
inline constexpr std::uint32_t keyRead = 0x20019;
inline constexpr std::uint32_t regOptionNonVolatile = 0;

// Registry value types.
inline constexpr std::uint32_t regNone = 0;
inline constexpr std::uint32_t regSz = 1;
inline constexpr std::uint32_t regExpandSz = 2;
inline constexpr std::uint32_t regBinary = 3;
inline constexpr std::uint32_t regDword = 4;
inline constexpr std::uint32_t regMultiSz = 7;

// A settings file found unreadable: where it was, and the name it was set
// aside under, or nothing when it could not be moved (nothing is then saved
// while it stays).
struct DamagedSettingsFile {
  std::string file;
  std::optional<std::string> keptAs;
};

// The five registry operations, with the Win32 meaning of every argument and
// status. Paths, names and class names are 8-bit ANSI text.
class Registry {
public:
  virtual ~Registry() = default;
  // The settings file found damaged since the last call, if any; never with
  // the system's own registry.
  virtual std::optional<DamagedSettingsFile> takeDamagedFile() { return std::nullopt; }
  virtual long openKey(RegistryKey root, const std::string& path, std::uint32_t options,
                       std::uint32_t access, RegistryKey& opened) = 0;
  virtual long createKey(RegistryKey root, const std::string& path, const std::string& className,
                         std::uint32_t options, std::uint32_t access, RegistryKey& opened) = 0;
  // size: the buffer's size in, the data's size out (also when the data do
  // not fit, with status moreData). data may be null to ask for the size.
  virtual long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                          std::uint8_t* data, std::uint32_t& size) = 0;
  virtual long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) = 0;
  virtual long closeKey(RegistryKey key) = 0;
};

// Why a registry operation failed, in French words, for a status that the
// messages have no words of their own for.
std::string registryFailureWords(long status);

// The current user's registry: on Windows the real one, elsewhere a hive file
// in the user's configuration folder.
std::unique_ptr<Registry> makeUserRegistry();

} // namespace obturix
