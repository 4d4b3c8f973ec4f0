#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace obturix {

// Whether a port can be used for a series, learnt without opening it.
struct PortStatus {
  enum class Access { Missing, NotSerial, Forbidden, Usable };
  Access access = Access::Missing;
  // When forbidden: the group whose members may open it (empty when joining
  // none would help), and the account that may not.
  std::string group;
  std::string account;
};

// Another program that holds a port: its name as the system knows it, its
// process number, and its account when it is not this user's.
struct PortHolder {
  std::string program;
  long pid = 0;
  std::string account;
};

// Whom a claim keeps off a port: nobody (nothing could claim it), this
// user's other programs only (the machine-wide claim could not be made), or
// every program of every account.
enum class ClaimReach { Nobody, ThisUser, Machine };

// Why the machine-wide claim of a port could not be made: what the system
// calls it, and the system's error.
struct ClaimShortfall {
  std::string lock;
  long error = 0;
};

// A port held for one series, across its pauses too, so that no other series
// (in this program or another copy of it) starts on it meanwhile; let go when
// dropped, and by the system if the program dies. Where the system offers no
// way to claim a port it holds nothing.
class PortClaim {
public:
  explicit PortClaim(ClaimReach reach = ClaimReach::Nobody,
                     std::optional<ClaimShortfall> shortfall = std::nullopt)
      : reach_(reach), shortfall_(std::move(shortfall)) {}
  virtual ~PortClaim() = default;
  ClaimReach reach() const { return reach_; }
  // Short of the whole machine: why, where it is known.
  const std::optional<ClaimShortfall>& shortfall() const { return shortfall_; }
  // Called now and then during the series, never on the timing thread:
  // makes the claim again where something removed it meanwhile.
  virtual void keep() {}

private:
  ClaimReach reach_;
  std::optional<ClaimShortfall> shortfall_;
};

// Which serial ports this computer has, found without opening any (opening
// one presses the release).
class PortCheck {
public:
  virtual ~PortCheck() = default;
  // Whether a port name, as typed, names a serial port that exists and that
  // this user may open. NotSerial: a path, not a COMn name, to something
  // else.
  virtual PortStatus check(const std::string& portName) = 0;
  // The serial ports that exist, as the user would type them.
  virtual std::vector<std::string> available() = 0;
  // Claims the port for a series; nullptr when another series or another
  // program holds it, which is then named in `holder` when it can be told.
  virtual std::unique_ptr<PortClaim> claim(const std::string& portName,
                                           std::optional<PortHolder>& holder) = 0;
};

std::unique_ptr<PortCheck> makeSystemPortCheck();

} // namespace obturix
