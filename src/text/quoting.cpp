#include "text/quoting.h"

#include "text/utf8.h"

namespace obturix {

std::string sentence(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

std::string shownBare(const std::string& name, std::size_t longest) {
  const std::u32string characters = decodeUtf8(name);
  std::string text;
  for (std::size_t i = 0; i < characters.size() && i < longest; ++i)
    appendUtf8(text, characters[i] < 0x20 || characters[i] == 0x7F ? U'?' : characters[i]);
  return characters.size() > longest ? text + "…" : text;
}

std::string shown(const std::string& name, std::size_t longest) {
  return "«\u00A0" + shownBare(name, longest) + "\u00A0»";
}

std::string listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i)
    text += (i == 0 ? "" : i + 1 == items.size() ? " et " : ", ") + items[i];
  return text;
}

} // namespace obturix
