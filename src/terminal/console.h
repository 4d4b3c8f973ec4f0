#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace obturix {

// Where the terminal command writes: its standard output, where the night
// is told, and its standard error, where what stops it is. Texts are UTF-8
// with '\n' ending lines. Writing never holds the caller: a terminal that
// stops reading (a frozen SSH link) is written to from a thread of its own,
// and what it cannot take is dropped (the journal has it all).
class Console {
public:
  virtual ~Console() = default;
  // Whether the standard output is a terminal, where a line can be
  // rewritten in place.
  virtual bool isTerminal() const = 0;
  // The terminal's width in columns; 0 when unknown.
  virtual int columns() const = 0;
  // Whether the standard output shows colours: a terminal that has them,
  // NO_COLOR unset.
  virtual bool colours() const = 0;
  virtual void out(const std::string& text) = 0;
  virtual void err(const std::string& text) = 0;
  // The terminal has gone (the SSH link dropped, the window closed): from
  // now on nothing is written to it, and what is written elsewhere (a log, a
  // pipe) still is. Writing where nobody reads any more never stops the
  // program either.
  virtual void terminalLost() = 0;
  // Waits until what was written is out, `deadline` at most.
  virtual void flush(std::chrono::milliseconds deadline) = 0;
};

std::unique_ptr<Console> makeSystemConsole();

} // namespace obturix
