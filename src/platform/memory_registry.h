#pragma once

#include "platform/registry.h"

#include <map>
#include <string>
#include <vector>

namespace obturix {

// A registry held in memory with the semantics of the Win32 functions: key
// and value names compare case-insensitively, a trailing backslash is
// ignored, creating a key creates its missing parents. Only the current
// user's root is known.
class MemoryRegistry : public Registry {
public:
  struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data; // bytes
  };
  struct Key {
    std::string path; // as first created
    std::string className;
    std::vector<Value> values;
  };
  // Keys by lower-case path relative to the root; "" is the root itself.
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

protected:
  // Called before every operation, and after one that changed the keys
  // (with the status it is about to return), for a subclass that keeps the
  // keys elsewhere; a non-zero status from either is returned instead.
  virtual long beforeOperation() { return registry_status::success; }
  virtual long afterChange() { return registry_status::success; }

  Keys keys_{{"", Key{}}};

private:
  long resolve(RegistryKey root, const std::string& path, std::string& lowered) const;
  const std::string* pathOf(RegistryKey key) const;

  std::map<RegistryKey, std::string> handles_;
  RegistryKey nextHandle_ = 0x100;
};

// Lower-case form of an ANSI name, for case-insensitive comparison.
std::string lowerAnsi(const std::string& text);

} // namespace obturix
