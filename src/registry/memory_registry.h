#pragma once

#include "registry/registry.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// A registry held in memory with the semantics of the Win32 functions: key
// and value names compare case-insensitively, a trailing backslash is
// ignored, creating a key creates its missing parents. Only the current
// user's root is known. A key's parents need not be stored: a stored key
// implies them (as a file's header implies its key's), so a deep key costs
// its own path only.
class MemoryRegistry : public Registry {
public:
  struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data; // bytes
    friend bool operator==(const Value&, const Value&) = default;
  };
  struct Key {
    std::string path; // as first created
    std::string className;
    std::vector<Value> values;

    // The value of that name, compared case-insensitively, or null.
    Value* find(const std::string& name);
    const Value* find(const std::string& name) const;
    // Stores a value, replacing the one of the same name where it keeps its place.
    void put(Value value);
    friend bool operator==(const Key&, const Key&) = default;
  };
  // Keys by lower-case path relative to the root; "" is the root itself.
  // Parents of a stored key exist whether stored or not.
  using Keys = std::map<std::string, Key>;

  long openKey(RegistryKey root, const std::string& path, std::uint32_t options,
               std::uint32_t access, RegistryKey& opened) override;
  long createKey(RegistryKey root, const std::string& path, const std::string& className,
                 std::uint32_t options, std::uint32_t access, RegistryKey& opened) override;
  long queryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                  std::uint32_t& size) override;
  long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long closeKey(RegistryKey key) override;

  const Keys& keys() const { return keys_; }
  // Replaces every key (the root is kept); open handles keep naming their paths.
  void replaceKeys(Keys keys);

private:
  Keys keys_{{"", Key{}}};
  long resolve(RegistryKey root, const std::string& path, std::string& full) const;
  Key* storedKey(const std::string& lowered);
  const std::string* pathOf(RegistryKey key) const;
  RegistryKey issueHandle(const std::string& lowered);

  std::map<RegistryKey, std::string> handles_;
  RegistryKey nextHandle_ = 0x100;
};

// Lower-case form of an ANSI name, for case-insensitive comparison.
std::string lowerAnsi(const std::string& text);

// A key path without its trailing backslashes, or nothing when it cannot
// name a key (a leading or doubled backslash, a NUL).
std::optional<std::string> normalisedKeyPath(std::string path);

// The path, in the case it was first given, of the key of a lower-case path,
// stored or implied by a stored key below it; nothing when there is none.
std::optional<std::string> existingKeyPath(const MemoryRegistry::Keys& keys,
                                           const std::string& lowered);

// Adds the key of a normalised path and its missing parents, each new one
// with that class; whether any key was added.
bool addKeyPath(MemoryRegistry::Keys& keys, const std::string& path, const std::string& className);

} // namespace obturix
