#pragma once

#include <optional>
#include <string>

namespace obturix {

// The answer codes a message box returns.
inline constexpr int answerOk = 1;

enum class MessageButtons { Ok, YesNo };

// Modal message boxes: a prompt (UTF-8, each carriage return starts a new
// line), a button set and a title, the application's name when none is given.
// Returns 1 for OK, 6 for Yes, 7 for No.
class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;
  virtual int show(const std::string& prompt, MessageButtons buttons,
                   const std::optional<std::string>& title = std::nullopt) = 0;
};

} // namespace obturix
