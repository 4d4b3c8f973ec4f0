#pragma once

#include <string>

namespace obturix {

// The event another console sets to stop the series of process `pid`.
std::wstring stopEventName(unsigned long pid);

} // namespace obturix
