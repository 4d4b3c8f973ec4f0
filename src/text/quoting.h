#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace obturix {

// A text as the first words of a sentence: its first letter a capital.
std::string sentence(std::string text);

// A name as the user typed it or the system gave it, fit for a message:
// control characters shown as '?', a malformed sequence as U+FFFD, and a
// long one cut short.
std::string shownBare(const std::string& name, std::size_t longest = 60);

// The same, set in « ».
std::string shown(const std::string& name, std::size_t longest = 60);

// "a", "a et b", "a, b et c".
std::string listed(const std::vector<std::string>& items);

} // namespace obturix
