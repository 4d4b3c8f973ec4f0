#pragma once

#include "exposure/answer_codes.h"

#include <optional>
#include <string>

namespace obturix {

enum class MessageButtons { Ok, YesNo };

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
