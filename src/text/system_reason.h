#pragma once

#include <string>

namespace obturix {

// Why a system call failed, in French words a user can read, to follow
// "n'a pas pu être ouvert (…)": an errno value on POSIX systems, a Win32
// error code on Windows (in the system's own language there). The number
// is given only when the error has no words.
std::string systemReason(long error);

} // namespace obturix
