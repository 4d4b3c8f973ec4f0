#include "text/ansi_text.h"
#include "text/utf8.h"

#include <array>
#include <cstdint>

namespace obturix {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five it leaves undefined map to the C1
// control characters of the same number, as Windows does.
constexpr std::array<char32_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t fromCp1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? cp1252High[byte - 0x80u] : char32_t(byte);
}

char toCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return static_cast<char>(c);
  for (std::size_t i = 0; i < cp1252High.size(); ++i) {
    if (cp1252High[i] == c)
      return static_cast<char>(0x80 + i);
  }
  return '?';
}

} // namespace

std::string toAnsi(const std::string& utf8) {
  std::string ansi;
  ansi.reserve(utf8.size());
  for (const char32_t c : decodeUtf8(utf8))
    ansi += toCp1252(c);
  return ansi;
}

std::string fromAnsi(const std::string& ansi) {
  std::string utf8;
  utf8.reserve(ansi.size());
  for (char byte : ansi)
    appendUtf8(utf8, fromCp1252(static_cast<unsigned char>(byte)));
  return utf8;
}

} // namespace obturix
