#pragma once

#include <memory>
#include <string>

namespace obturix {

// One of the process's standard outputs, as the system has it.
class ConsoleOutput {
public:
  virtual ~ConsoleOutput() = default;
  // A terminal (a console), where a line can be rewritten in place.
  virtual bool isTerminal() const = 0;
  // Its width in columns; 0 when unknown.
  virtual int columns() const = 0;
  // Whether it shows the escape sequences of colours.
  virtual bool showsColours() const = 0;
  // Writes all of `text` (UTF-8); false when it cannot be written to.
  virtual bool write(const std::string& text) = 0;
};

// The standard output, or the standard error.
std::unique_ptr<ConsoleOutput> makeStandardOutput(bool error);

} // namespace obturix
