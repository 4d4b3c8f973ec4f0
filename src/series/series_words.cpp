#include "series/series_words.h"

#include "serial/port_words.h"
#include "text/french.h"
#include "text/quoting.h"

namespace obturix {

namespace {

// One kind of exposure's count, after "sur les N poses, " or alone when the
// series had one: « 2 ont été faites », « une n'a pas eu lieu ».
struct CountWords {
  const char* one;  // after "une" or "la pose"
  const char* many; // after a number
};

std::string countClause(std::int64_t count, std::int64_t asked, const CountWords& words) {
  if (asked == 1)
    return std::string("la pose ") + words.one;
  return (count == 1 ? std::string("une ") + words.one : frenchNumber(count) + " " + words.many);
}

} // namespace

// The same totals as the journal's, in words: each kind of exposure that
// the series had, then why the first press that failed did.
std::string missedPressesWarning(const PressCount& presses, std::int64_t asked,
                                 const std::string& port) {
  std::vector<std::string> what;
  const auto count = [&](std::int64_t n, const CountWords& words) {
    if (n > 0)
      what.push_back(countClause(n, asked, words));
  };
  const std::int64_t made = presses.made();
  count(made - presses.withoutMirror, {"a été faite", "ont été faites"});
  count(presses.withoutMirror,
        {"a été faite sans verrouillage du miroir", "ont été faites sans verrouillage du miroir"});
  count(presses.cutByPort, {"a été coupée avant la fin", "ont été coupées avant la fin"});
  count(presses.missed, {"n'a pas eu lieu", "n'ont pas eu lieu"});
  count(presses.cutByStop, {"a été interrompue par l'arrêt", "ont été interrompues par l'arrêt"});
  count(presses.notStarted(asked),
        {"n'a pas été faite (série arrêtée)", "n'ont pas été faites (série arrêtée)"});
  const std::string of = "des " + frenchNumber(asked) + " poses";
  std::string text = "Attention : " +
                     (asked == 1                ? listed(what)
                      : presses.missed == asked ? "aucune " + of + " n'a eu lieu"
                                                : "sur les " + of.substr(4) + ", " + listed(what)) +
                     ".";
  // Only the pulse of an exposure the series was stopped before.
  if (presses.missed + presses.cutByPort + presses.withoutMirror == 0)
    text += " L'impulsion de verrouillage du miroir n'a pas eu lieu, juste avant l'arrêt de la "
            "série.";
  const PressRecord& first = presses.firstFailed;
  return typeset(text + (presses.failedPresses > 1 ? " Cause du premier échec : " : " Cause : ") +
                 (first.result == PressResult::CutByPort ? pressCutCause(first.mirrorPulse, port)
                                                         : pressFailureCause(first.failure, port)) +
                 ".");
}

std::string pressFailureNotice(std::int64_t exposure, const PressRecord& press,
                               const std::string& port) {
  const std::string number = frenchNumber(exposure);
  if (press.result == PressResult::CutByPort) {
    const auto held =
        std::chrono::duration_cast<std::chrono::milliseconds>(press.released - press.pressed);
    return typeset((press.mirrorPulse
                        ? "Le verrouillage du miroir de la pose " + number + " a été coupé"
                        : "La pose " + number + " a été coupée au bout de " +
                              frenchDecimal(held.count() / 100, 1) + " s") +
                   " : " + pressCutCause(press.mirrorPulse, port) + ". La série continue.");
  }
  return typeset(
      std::string(press.mirrorPulse ? "Le verrouillage du miroir de la pose " : "La pose ") +
      number + " n'a pas eu lieu : " + pressFailureCause(press.failure, port) +
      ". La série continue.");
}

// « 1 h 12 min », « 12 min 30 s », « 45 s »; « plus d'un siècle ».
std::string lengthInWords(std::chrono::milliseconds left) {
  if (left >= century)
    return "plus d'un siècle";
  const std::int64_t seconds = (left.count() + 500) / 1000;
  if (seconds >= 3600) {
    const std::int64_t minutes = (seconds + 30) / 60;
    return frenchNumber(minutes / 60) + " h" +
           (minutes % 60 ? " " + std::to_string(minutes % 60) + " min" : "");
  }
  if (seconds >= 60)
    return std::to_string(seconds / 60) + " min" +
           (seconds % 60 ? " " + std::to_string(seconds % 60) + " s" : "");
  return std::to_string(seconds) + " s";
}

namespace {

// « 1 pose manquée : la 2 », « 3 poses manquées : les 2, 5 et 7 »,
// « 12 poses manquées, dont les 2, 3, 4, 5 et 6 ».
std::string lostExposures(std::int64_t count, const std::vector<std::int64_t>& first) {
  std::vector<std::string> numbers;
  for (const std::int64_t exposure : first)
    numbers.push_back(frenchNumber(exposure));
  if (count == 1)
    return "1 pose manquée : la " + numbers.front();
  return frenchNumber(count) + " poses manquées" +
         (static_cast<std::size_t>(count) > first.size() ? ", dont les " : " : les ") +
         listed(numbers);
}

} // namespace

std::string momentInWords(const LocalTime& now, const LocalTime& then) {
  static const char* const months[] = {"janvier",   "février", "mars",     "avril",
                                       "mai",       "juin",    "juillet",  "août",
                                       "septembre", "octobre", "novembre", "décembre"};
  std::string text;
  if (then.year != now.year || then.month != now.month || then.day != now.day)
    text += "le " + std::to_string(then.day) + (then.day == 1 ? "er " : " ") +
            months[(then.month + 11) % 12] +
            (then.year != now.year ? " " + std::to_string(then.year) : "") + " ";
  return text + "vers " + zeroPadded(then.hour, 2) + ":" + zeroPadded(then.minute, 2);
}

LocalTime endAsTold(const WallClock& clock, std::chrono::system_clock::time_point end) {
  return clock.local(end + std::chrono::seconds(30));
}

std::string progressNote(std::int64_t current, std::int64_t total, std::chrono::milliseconds left,
                         const LocalTime& now, const LocalTime& end, std::int64_t lostCount,
                         const std::vector<std::int64_t>& firstLost) {
  std::string text = "Pose " + frenchNumber(current) + " sur " + frenchNumber(total) +
                     " — il reste " + lengthInWords(left);
  if (left < century)
    text += ", fin " + momentInWords(now, end);
  if (lostCount > 0 && !firstLost.empty())
    text += " — " + lostExposures(lostCount, firstLost);
  return typeset(text);
}

std::string shortBatteryWarning(int percentage, std::chrono::seconds timeLeft,
                                std::chrono::milliseconds seriesLength) {
  const std::string charge = percentage >= 0 ? std::to_string(percentage) + "\u00A0%, " : "";
  return typeset("Attention : l'ordinateur est sur batterie (" + charge + "environ " +
                 lengthInWords(timeLeft) + ") et la série dure " + lengthInWords(seriesLength) +
                 ". Branchez-le sur le secteur ou sur une batterie externe.");
}

std::string lowBatteryNotice(int percentage) {
  return typeset("Batterie faible (" + std::to_string(percentage) +
                 "\u00A0%) : la série risque de s'arrêter.");
}

std::string confirmationPrompt(const SeriesParams& params) {
  const std::string cr = "\r";
  return "Lancer une série de pauses ?" + cr + cr + "Temps de pause       : " + params.exposure +
         cr + "Nombre de pauses     : " + params.count + cr +
         "Intervalle           : " + params.interval + cr +
         "Relever le miroir    : " + (params.mirror == answerYes ? "Oui" : "Non") + cr + cr +
         " Oui pour lancer, Non pour arrêter...";
}

} // namespace obturix
