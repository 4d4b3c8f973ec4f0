#include "terminal/terminal_front.h"

#include "series/series_words.h"
#include "terminal/serie_texts.h"
#include "text/french.h"
#include "text/utf8.h"

namespace obturix {

void TerminalFront::progress(const SeriesProgress& progress) {
  if (progress.current == 0) { // the cycles are over: their last line stays
    if (!shown_.empty())
      console_.out("\n");
    shown_.clear();
    return;
  }
  const bool next = progress.current != current_;
  current_ = progress.current;
  if (console_.isTerminal())
    show(progress.note);
  else if (next)
    console_.out(coloured(stamped(progress.note)) + "\n");
}

void TerminalFront::tellAtOnce(const std::string& text) {
  const std::string line = shown_;
  eraseLine();
  console_.out(coloured(console_.isTerminal() ? asLines(text) : stamped(asLines(text))) + "\n");
  if (!line.empty())
    show(line);
}

void TerminalFront::say(const std::string& text) {
  eraseLine();
  console_.out(coloured(asLines(text)) + "\n");
}

void TerminalFront::countDown(std::chrono::milliseconds left, const LocalTime& firstPress) {
  const std::int64_t seconds = (left.count() + 999) / 1000;
  if (!console_.isTerminal() || current_ > 0 || seconds == secondsShown_)
    return;
  secondsShown_ = seconds;
  show(typeset("Première pose dans " + lengthInWords(std::chrono::seconds(seconds)) + ", " +
               momentInWords(clock_.local(clock_.now()), firstPress)));
}

// Rewritten in place: what the old line had more is blanked out, without
// escape sequences, which a terminal without them would print.
void TerminalFront::show(const std::string& line) {
  const std::string now = fitted(line, console_.columns());
  const std::size_t before = characterCount(shown_), after = characterCount(now);
  console_.out("\r" + coloured(now) + std::string(before > after ? before - after : 0, ' ') +
               (before > after ? "\r" + coloured(now) : ""));
  shown_ = now;
}

void TerminalFront::eraseLine() {
  if (shown_.empty())
    return;
  console_.out("\r" + std::string(characterCount(shown_), ' ') + "\r");
  shown_.clear();
}

std::string TerminalFront::coloured(const std::string& text) const {
  return night_ ? "\x1b[31m" + text + "\x1b[0m" : text;
}

// « 22:15:03 Pose 7 sur 120 — … »
std::string TerminalFront::stamped(const std::string& text) const {
  const LocalTime now = clock_.local(clock_.now());
  return zeroPadded(now.hour, 2) + ":" + zeroPadded(now.minute, 2) + ":" +
         zeroPadded(now.second, 2) + " " + text;
}

} // namespace obturix
