#include "text/utf8.h"

namespace obturix {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// How many continuation bytes a lead byte announces; -1 for a byte that
// cannot start a sequence.
int continuationsAfter(unsigned char lead) {
  if (lead < 0x80)
    return 0;
  if (lead >= 0xC0 && lead < 0xE0)
    return 1;
  if (lead >= 0xE0 && lead < 0xF0)
    return 2;
  if (lead >= 0xF0 && lead < 0xF8)
    return 3;
  return -1;
}

constexpr char32_t smallestOfLength[] = {0, 0x80, 0x800, 0x10000};

} // namespace

std::u32string decodeUtf8(std::string_view text) {
  std::u32string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const int expected = continuationsAfter(lead);
    if (expected < 0) {
      decoded += replacementCharacter;
      continue;
    }
    char32_t c = lead & (0x7F >> expected);
    int taken = 0;
    for (; taken < expected && i < text.size(); ++taken, ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (!isContinuation(byte))
        break;
      c = (c << 6) | (byte & 0x3F);
    }
    const bool valid = taken == expected && c >= smallestOfLength[expected] && c <= 0x10FFFF &&
                       (c < 0xD800 || c > 0xDFFF);
    decoded += valid ? c : replacementCharacter;
  }
  return decoded;
}

std::size_t characterCount(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text)
    characters += !isContinuation(static_cast<unsigned char>(c));
  return characters;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string printableText(std::string_view text) {
  std::string out;
  for (const char32_t c : decodeUtf8(text)) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
      constexpr char digits[] = "0123456789ABCDEF";
      out += {'\\', 'x', digits[(c >> 4) & 0xF], digits[c & 0xF]};
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

std::string markupEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

} // namespace obturix
