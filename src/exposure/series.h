#pragma once

#include "exposure/answer_codes.h"
#include "exposure/exposure_cycle.h"
#include "registry/registry.h"
#include "serial/port_check.h"
#include "timing/wall_clock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// The parameters of a series as typed, captured once when it starts.
struct SeriesParams {
  std::string count;
  std::string exposure;
  std::string interval;
  int mirror = answerNo; // answerYes: raise the mirror before each exposure
  std::string port;
  std::string pulse;
  std::string settle;
};

// How many cycles a count gives: every whole number from 1 up to it, so
// "2.5" gives 2 and "0" or "-1" none. Nothing when the count is not a number.
// (A series takes no more than a signed 32-bit count: seriesRefusal.)
std::optional<std::int64_t> cycleCount(const std::string& count);

// What the messages call each parameter of the window, at the start of a
// sentence written with a capital.
namespace field_name {
inline constexpr const char* count = "le nombre de pauses";
inline constexpr const char* exposure = "le temps de pause";
inline constexpr const char* interval = "l'intervalle entre les pauses";
inline constexpr const char* mirror = "le choix de relever le miroir";
inline constexpr const char* port = "le port";
inline constexpr const char* pulse = "la durée de l'impulsion pour le verrouillage du miroir";
inline constexpr const char* settle =
    "l'intervalle entre le verrouillage du miroir et le début de la pause";
} // namespace field_name

// Why a series must not start, in French, or nothing when it may: a count
// that is not a number or is over 2 147 483 647, or a duration it would use
// that is not a number of seconds a sleep can take. A count that gives no
// cycle uses no duration.
std::optional<std::string> seriesRefusal(const SeriesParams& params);

// Why a series on a port that does not exist must not start, with the ports
// that do (or, when there is none, what to plug in).
std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available);

// Why a series on a port the user may not open must not start, and how to be
// allowed: join `group` (none when joining a group would not help).
std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account);

// Why a series on a port another series or program is using must not
// start, and what to do.
std::string portInUseRefusal(const std::string& port, const std::optional<PortHolder>& holder);

// Before a series on a port that could not be claimed for the whole machine:
// whom nothing keeps off it, why, and what to check.
std::string unclaimedPortWarning(const std::string& port, ClaimReach reach,
                                 const std::optional<ClaimShortfall>& shortfall);

// Why a series on a path that is no serial port must not start, with the
// ports that exist.
std::string notSerialPortRefusal(const std::string& port,
                                 const std::vector<std::string>& available);

// Why a press on `port` could not be made, in words that follow a colon:
// « le port « /dev/ttyUSB0 » a disparu (câble débranché ?) ».
std::string pressFailureCause(const PortFailure& failure, const std::string& port);

// Why a press on `port` was cut short, in the same place: « le port «
// /dev/ttyUSB0 » a disparu pendant la pose (câble débranché ?) ».
std::string pressCutCause(bool mirrorPulse, const std::string& port);

// The exposures of a series of `asked` that were not started because it was
// stopped.
std::int64_t notStarted(const PressCount& presses, std::int64_t asked);

// Whether some press of a series failed, which the user is then told: an
// exposure missed, cut short by its port or made without its mirror pulse,
// or a pulse whose exposure the series was stopped before.
inline bool anyPressMissed(const PressCount& presses) { return presses.failedPresses > 0; }

// What the user is told then: what became of the `asked` exposures (as the
// journal counts them), and why the first press that failed did.
std::string missedPressesWarning(const PressCount& presses, std::int64_t asked,
                                 const std::string& port);

// What the user is told at once, while the series goes on, of a press that
// failed (exposure `exposure`'s, or its mirror pulse): not made, or cut
// short, and why.
std::string pressFailureNotice(std::int64_t exposure, const PressRecord& press,
                               const std::string& port);

// A parameter a save could not keep: the name the messages give it, and
// why (a registry status; noUnicodeTranslation when its text has
// characters the settings cannot hold, its older value being kept).
struct UnsavedField {
  std::string name;
  long failure;
};

// What the user is told when some of the `fields` parameters of a series
// could not be saved: which, why, and that the others were.
std::string unsavedSettingsWarning(const std::vector<UnsavedField>& unsaved, std::size_t fields);

// What the user is told of a settings file found unreadable.
std::string damagedSettingsNotice(const DamagedSettingsFile& damaged);

// How long one cycle of these parameters lasts: the mirror's pulse and the
// wait after it when the mirror is raised, the exposure and the interval (a
// duration that cannot be used counts for nothing, as the cycle skips it).
std::chrono::milliseconds cycleLength(const SeriesParams& params);

// The longest a series is told to last: beyond, « plus d'un siècle », and no
// end date.
inline constexpr std::chrono::milliseconds century{3'155'760'000'000};

// What the counter tells during a series, as its tooltip: the exposure
// under way of how many, how long is left and when the series ends (« Pose 7
// sur 120 — il reste 1 h 12 min, fin vers 03:42 »), with the end's date when
// it falls on another day than `now`; then the exposures lost so far,
// `lostCount` of them, the first ones in `firstLost` (« — 1 pose manquée :
// la 2 »).
std::string progressNote(std::int64_t current, std::int64_t total, std::chrono::milliseconds left,
                         const LocalTime& now, const LocalTime& end, std::int64_t lostCount = 0,
                         const std::vector<std::int64_t>& firstLost = {});

// Before a series longer than the battery is expected to last: how charged
// it is, how long the system says it will last, how long the series is, and
// what to do.
std::string shortBatteryWarning(int percentage, std::chrono::seconds timeLeft,
                                std::chrono::milliseconds seriesLength);

// Told once during a series when the battery runs low.
std::string lowBatteryNotice(int percentage);

// The question asked before a series starts, and its title.
std::string confirmationPrompt(const SeriesParams& params);
inline constexpr const char* confirmationTitle = "Lancer la session de prises de vues ?";

// Asked when the window is closed while the cycles of a series run.
inline constexpr const char* stopQuestion =
    "Une série de poses est en cours.\rArrêter la série et fermer Obturix\u00A0?";

// Shown when a series ends.
inline constexpr const char* endNotice = "La série de pauses est terminée ";

} // namespace obturix
