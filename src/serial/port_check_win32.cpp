#include "serial/port_check.h"
#include "serial/port_names.h"
#include "text/ansi_text.h"
#include "text/wide_text_win32.h"

#include <windows.h>

#include <algorithm>

namespace obturix {

namespace {

// "COMn", or "\\.\COMn" as the system names it.
std::optional<unsigned> comNumberOf(const std::string& portName) {
  constexpr std::string_view devicePrefix = "\\\\.\\";
  const std::string_view name = portName;
  return comPortNumber(name.starts_with(devicePrefix) ? name.substr(devicePrefix.size()) : name);
}

// Holds the port's named mutex: the system drops it with the last handle,
// also when the program dies.
class MutexClaim final : public PortClaim {
public:
  MutexClaim(HANDLE mutex, ClaimReach reach, std::optional<ClaimShortfall> shortfall)
      : PortClaim(reach, std::move(shortfall)), mutex_(mutex) {}
  MutexClaim(const MutexClaim&) = delete;
  MutexClaim& operator=(const MutexClaim&) = delete;
  ~MutexClaim() override { CloseHandle(mutex_); }

private:
  HANDLE mutex_;
};

class Win32PortCheck final : public PortCheck {
public:
  // Whether another program holds the port can only be seen by opening it.
  PortStatus check(const std::string& portName) override {
    const auto number = comNumberOf(portName);
    char target[1024];
    if (!number) {
      // As typed: through the ANSI code page a letter could become another's.
      const bool exists = GetFileAttributesW(widen(portName).c_str()) != INVALID_FILE_ATTRIBUTES;
      return {exists ? PortStatus::Access::NotSerial : PortStatus::Access::Missing, {}, {}};
    }
    const bool exists =
        QueryDosDeviceA(("COM" + std::to_string(*number)).c_str(), target, sizeof target) != 0;
    return {exists ? PortStatus::Access::Usable : PortStatus::Access::Missing, {}, {}};
  }

  // One mutex per port number for the whole machine (every session), whatever
  // the name's form ("com3", "\\.\COM3"); in the user's session where the
  // system refuses that, which the claim then tells. Where none can be had,
  // the series goes ahead unclaimed.
  std::unique_ptr<PortClaim> claim(const std::string& portName,
                                   std::optional<PortHolder>&) override {
    const auto number = comNumberOf(portName);
    if (!number)
      return std::make_unique<PortClaim>();
    const std::wstring name = L"Obturix-port-COM" + std::to_wstring(*number);
    std::optional<ClaimShortfall> shortfall;
    for (const auto reach : {ClaimReach::Machine, ClaimReach::ThisUser}) {
      const std::wstring named = (reach == ClaimReach::Machine ? L"Global\\" : L"Local\\") + name;
      HANDLE mutex = CreateMutexW(nullptr, FALSE, named.c_str());
      if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
      }
      if (mutex)
        return std::make_unique<MutexClaim>(mutex, reach, shortfall);
      const DWORD error = GetLastError();
      // Another user's, which this one may not open, is there all the same.
      if (HANDLE existing = OpenMutexW(SYNCHRONIZE, FALSE, named.c_str())) {
        CloseHandle(existing);
        return nullptr;
      }
      if (GetLastError() == ERROR_ACCESS_DENIED)
        return nullptr;
      if (!shortfall)
        shortfall = ClaimShortfall{"Global\\Obturix-port-COM" + std::to_string(*number),
                                   static_cast<long>(error)};
    }
    return std::make_unique<PortClaim>(ClaimReach::Nobody, shortfall);
  }

  // The system's list of serial ports: one value per port under
  // HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, its data the port's name.
  std::vector<std::string> available() override {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
      return names;
    for (DWORD index = 0;; ++index) {
      char valueName[256];
      DWORD nameSize = sizeof valueName;
      BYTE data[256] = {};
      DWORD dataSize = sizeof data - 1;
      DWORD type = 0;
      const LONG status =
          RegEnumValueA(key, index, valueName, &nameSize, nullptr, &type, data, &dataSize);
      if (status == ERROR_NO_MORE_ITEMS)
        break;
      if (status == ERROR_SUCCESS && type == REG_SZ)
        names.push_back(fromAnsi(reinterpret_cast<const char*>(data)));
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return comNumberOf(a).value_or(0) < comNumberOf(b).value_or(0);
    });
    return names;
  }
};

} // namespace

std::unique_ptr<PortCheck> makeSystemPortCheck() { return std::make_unique<Win32PortCheck>(); }

} // namespace obturix
