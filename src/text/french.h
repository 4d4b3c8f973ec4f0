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
// whole part grouped as above: frenchDecimal(10127309, 3) is "10 127,309".
std::string frenchDecimal(std::int64_t units, int decimals);

} // namespace obturix
