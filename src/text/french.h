#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace obturix {

inline constexpr const char* noBreakSpace = "\u00A0";

// French typography for the program's own messages: the ordinary space
// after « and before » : ; ? ! becomes a no-break space, so that a line
// never breaks there.
std::string typeset(std::string_view text);

// A whole number as the French write it: grouped by thousands with
// no-break spaces from 10 000 up ("9999", "10 000", "2 147 483 647").
std::string frenchNumber(std::int64_t number);

// A number given in units of 10^-decimals, with a decimal comma and its
// whole part grouped as above: frenchDecimal(10127309, 3) is "10 127,309";
// ungrouped, "10127,309", as a spreadsheet reads a number.
std::string frenchDecimal(std::int64_t units, int decimals, bool grouped = true);

// A number written on at least `width` digits: zeroPadded(7, 2) is "07".
std::string zeroPadded(std::int64_t number, int width);

} // namespace obturix
