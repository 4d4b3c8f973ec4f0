#pragma once

#include "exposure/answer_codes.h"

#include <optional>
#include <string>

namespace obturix {

// Yes and No: Yes the default button, or No where a stray Enter must change nothing.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };

// Modal message boxes: a prompt (UTF-8, each carriage return starts a new
// line), a button set and a title, the application's name when none is given.
// Returns answerOk, answerYes or answerNo.
class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;
  virtual int show(const std::string& prompt, MessageButtons buttons,
                   const std::optional<std::string>& title = std::nullopt) = 0;
};

} // namespace obturix
