#pragma once

#include "registry/memory_registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace obturix {

// The registry's text export format, REGEDIT4, for the current user's keys:
// a "[HKEY_CURRENT_USER\path]" header per key, its class on a ";class=" line,
// then one line per value: "text" for a text ending in its only NUL,
// dword:xxxxxxxx for a 4-byte number, hex(N): bytes for anything else. Every
// byte of every value reads back identically. Lines end in CR LF.
std::string writeHive(const MemoryRegistry::Keys& keys);

// Reads what writeHive wrote, or a file regedit exported for the current
// user; nothing when the text is not such a file, or names a key that no
// registry could hold. A header's key alone is kept: its parents are implied.
// Time and memory linear in the text's length.
std::optional<MemoryRegistry::Keys> parseHive(std::string_view text);

// Whether a key path, value name or class can be written to the file: no
// control characters (the format has no escape for them).
bool isWritableName(const std::string& name);

// Whether a key path can be written to the file and read back: a writable
// name, no deeper than a registry goes (512 levels) and no name in it longer
// than a registry's (255 characters).
bool isWritableKeyPath(const std::string& path);

} // namespace obturix
