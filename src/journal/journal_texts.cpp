#include "journal/journal_texts.h"

#include "exposure/duration.h"
#include "serial/port_words.h"
#include "text/french.h"
#include "text/quoting.h"
#include "text/system_reason.h"
#include "text/utf8.h"

namespace obturix {

namespace {

constexpr const char* endOfLine = "\r\n";

std::string date(const LocalTime& t) {
  return std::to_string(t.year) + "-" + zeroPadded(t.month, 2) + "-" + zeroPadded(t.day, 2);
}

std::string clock(const LocalTime& t, const std::string& separator) {
  return zeroPadded(t.hour, 2) + separator + zeroPadded(t.minute, 2) + separator +
         zeroPadded(t.second, 2);
}

// "2026-12-07 21:04:12,345", which spreadsheets read as a date and time.
std::string localField(const JournalInstant& at) {
  return date(at.local) + " " + clock(at.local, ":") + "," + zeroPadded(at.millisecond, 3);
}

// "2026-12-07T20:04:12.345Z" (ISO 8601).
std::string utcField(const JournalInstant& at) {
  return date(at.utc) + "T" + clock(at.utc, ":") + "." + zeroPadded(at.millisecond, 3) + "Z";
}

// A number of `units` of 10^-decimals as a spreadsheet reads it.
std::string number(std::int64_t units, int decimals) {
  return frenchDecimal(units, decimals, false);
}

// A text as one field: control characters escaped as "\x0A", quoted when it
// holds the separator or a quote, and never read as a formula.
std::string textField(const std::string& text) {
  std::string clean = printableText(text);
  if (!clean.empty() && std::string_view("=+-@").find(clean[0]) != std::string_view::npos)
    clean.insert(0, "'");
  if (clean.find_first_of(";\"") == std::string::npos)
    return clean;
  std::string quoted = "\"";
  for (const char c : clean)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// A duration typed in seconds, as the series read it; as typed when it
// cannot be read (an unused mirror field).
std::string secondsField(const std::string& typed) {
  const auto length = durationMilliseconds(typed);
  return length ? number(length->count(), 3) : textField(typed);
}

std::string row(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields)
    line += (&field == fields.begin() ? "" : ";") + field;
  return line + endOfLine;
}

} // namespace

std::string journalStem(const LocalTime& start) { return date(start) + "_" + clock(start, "-"); }

std::string journalOpening(const SeriesPlan& plan, const JournalInstant& start,
                           const std::optional<JournalInstant>& firstPress) {
  const SeriesParams& params = plan.typed;
  std::string later;
  if (plan.first > 1)
    later += row({journal_words::takesUp, textField(plan.takesUp)}) +
             row({journal_words::first, std::to_string(plan.first)});
  if (firstPress)
    later += row({journal_words::firstPressDue, localField(*firstPress), utcField(*firstPress)});
  return "\xEF\xBB\xBF" + row({"Obturix", journal_words::title}) +
         row({journal_words::start, localField(start), utcField(start)}) +
         row({journal_words::count, std::to_string(plan.cycles)}) +
         row({journal_words::exposure, secondsField(params.exposure)}) +
         row({journal_words::interval, secondsField(params.interval)}) +
         row({journal_words::mirror, plan.mirror ? journal_words::yes : "non"}) +
         row({journal_words::pulse, secondsField(params.pulse)}) +
         row({journal_words::settle, secondsField(params.settle)}) +
         row({journal_words::port, textField(params.port)}) + later + endOfLine +
         row({"Pose", "Appui", "Appuyé (heure locale)", "Relâché (heure locale)", "Appuyé (UTC)",
              "Relâché (UTC)", "Durée demandée (ms)", "Durée mesurée (ms)", "Résultat", "Cause"});
}

std::string journalPressLine(std::int64_t exposure, const PressRecord& press,
                             const JournalInstant& pressed, const JournalInstant& released,
                             const std::string& port) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  const std::string asked = press.asked ? std::to_string(press.asked->count()) : "";
  const std::string kind = press.mirrorPulse ? journal_words::pulseKind : "pose";
  if (press.result == PressResult::Missed)
    return row({std::to_string(exposure), kind, localField(pressed), "", utcField(pressed), "",
                asked, "", journal_words::missed,
                textField(typeset(pressFailureCause(press.failure, port)))});
  const auto length = duration_cast<microseconds>(press.released - press.pressed);
  const bool cut = press.result == PressResult::CutByPort;
  return row({std::to_string(exposure), kind, localField(pressed), localField(released),
              utcField(pressed), utcField(released), asked, number(length.count(), 3),
              cut                                      ? journal_words::cut
              : press.result == PressResult::CutByStop ? "interrompue par l'arrêt"
                                                       : journal_words::made,
              cut ? textField(typeset(pressCutCause(press.mirrorPulse, port))) : ""});
}

std::string journalClosing(SeriesEnd how, const JournalInstant& at, const PressCount& presses,
                           std::int64_t asked, bool mirror) {
  std::string text =
      endOfLine + row({journal_words::end, localField(at), utcField(at), seriesEndWords(how)});
  for (const SeriesTotal& total : seriesTotals(presses, asked, mirror))
    text += row({total.label, std::to_string(total.count)});
  return text;
}

const char* seriesEndWords(SeriesEnd how) {
  const char* const ended[] = {"terminée", "arrêtée par l'utilisateur", "arrêtée par le système"};
  return ended[static_cast<int>(how)];
}

std::vector<SeriesTotal> seriesTotals(const PressCount& presses, std::int64_t asked, bool mirror) {
  std::vector<SeriesTotal> totals = {
      {"Poses faites", presses.made()},
      {"Poses coupées", presses.cutByPort + presses.cutByStop},
      {"Poses manquées", presses.missed},
      {"Poses non faites (série arrêtée)", presses.notStarted(asked)}};
  if (mirror)
    totals.push_back({"Poses faites sans verrouillage du miroir", presses.withoutMirror});
  return totals;
}

std::string unwrittenJournalWarning(const JournalOutcome& outcome) {
  constexpr std::size_t wholePath = 1000;
  const std::string path = shown(outcome.path, wholePath);
  if (!outcome.created && !outcome.unfinished)
    return typeset("Le journal de cette série n'a pas pu être créé dans " + path + " (" +
                   (outcome.error == notPrivateFolder
                        ? "ce dossier est à un autre compte, ou d'autres comptes peuvent y écrire"
                        : systemReason(outcome.error)) +
                   ").");
  if (outcome.error == 0)
    return typeset("Le journal de cette série, " + path +
                   ", n'a pas pu être écrit jusqu'au bout : le disque " +
                   (outcome.stalled ? "ne répond plus." : "est trop lent."));
  const std::string from = outcome.lostFrom == journalOpeningPart ? "dès son début"
                           : outcome.lostFrom == journalClosingPart
                               ? "à la fin de la série"
                               : "à la pose " + frenchNumber(outcome.lostFrom);
  return typeset("Le journal de cette série, " + path + ", est incomplet : son écriture a échoué " +
                 from + " (" + systemReason(outcome.error) + ").");
}

} // namespace obturix
