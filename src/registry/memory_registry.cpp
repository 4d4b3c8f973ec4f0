#include "registry/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace obturix {

namespace {

bool isStringType(std::uint32_t type) {
  return type == regSz || type == regExpandSz || type == regMultiSz;
}

} // namespace

std::string lowerAnsi(const std::string& text) {
  std::string lowered = text;
  for (char& c : lowered) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
      c = static_cast<char>(byte + 32);
  }
  return lowered;
}

MemoryRegistry::Value* MemoryRegistry::Key::find(const std::string& name) {
  const std::string lowered = lowerAnsi(name);
  const auto found = std::find_if(values.begin(), values.end(),
                                  [&](const Value& v) { return lowerAnsi(v.name) == lowered; });
  return found == values.end() ? nullptr : &*found;
}

const MemoryRegistry::Value* MemoryRegistry::Key::find(const std::string& name) const {
  return const_cast<Key*>(this)->find(name);
}

void MemoryRegistry::Key::put(Value value) {
  if (Value* existing = find(value.name)) {
    existing->type = value.type;
    existing->data = std::move(value.data);
  } else {
    values.push_back(std::move(value));
  }
}

std::optional<std::string> normalisedKeyPath(std::string path) {
  while (!path.empty() && path.back() == '\\')
    path.pop_back();
  if (!path.empty() && (path.front() == '\\' || path.find("\\\\") != std::string::npos))
    return std::nullopt;
  if (path.find('\0') != std::string::npos)
    return std::nullopt;
  return path;
}

std::optional<std::string> existingKeyPath(const MemoryRegistry::Keys& keys,
                                           const std::string& lowered) {
  if (const auto stored = keys.find(lowered); stored != keys.end())
    return stored->second.path;
  // The keys below it, if any, come first from there in the map's order.
  const auto below = keys.lower_bound(lowered + '\\');
  if (below == keys.end() || !below->first.starts_with(lowered + '\\'))
    return std::nullopt;
  return below->second.path.substr(0, lowered.size());
}

bool addKeyPath(MemoryRegistry::Keys& keys, const std::string& path, const std::string& className) {
  const std::string lowered = lowerAnsi(path);
  bool added = false;
  for (std::size_t end = 0; end != std::string::npos;) {
    end = lowered.find('\\', end + 1);
    const std::string prefix = lowered.substr(0, end);
    if (!existingKeyPath(keys, prefix)) {
      keys[prefix] = MemoryRegistry::Key{path.substr(0, end), className, {}};
      added = true;
    }
  }
  return added;
}

// The key of a lower-case path, stored now if it was only implied; null
// when there is none.
MemoryRegistry::Key* MemoryRegistry::storedKey(const std::string& lowered) {
  const auto path = existingKeyPath(keys_, lowered);
  if (!path)
    return nullptr;
  return &keys_.try_emplace(lowered, Key{*path, "", {}}).first->second;
}

// The full path of a key below the root, in the case it was given.
long MemoryRegistry::resolve(RegistryKey root, const std::string& path, std::string& full) const {
  const std::string* rootPath = root == hkeyCurrentUser ? nullptr : pathOf(root);
  if (root != hkeyCurrentUser && !rootPath)
    return registry_status::invalidHandle;
  const auto relative = normalisedKeyPath(path);
  if (!relative)
    return registry_status::badPathname;
  const auto base = rootPath ? existingKeyPath(keys_, *rootPath) : std::string();
  if (!base)
    return registry_status::fileNotFound; // gone since it was opened
  full = base->empty() ? *relative : relative->empty() ? *base : *base + "\\" + *relative;
  return registry_status::success;
}

const std::string* MemoryRegistry::pathOf(RegistryKey key) const {
  const auto found = handles_.find(key);
  return found == handles_.end() ? nullptr : &found->second;
}

RegistryKey MemoryRegistry::issueHandle(const std::string& lowered) {
  const RegistryKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = lowered;
  return handle;
}

long MemoryRegistry::openKey(RegistryKey root, const std::string& path, std::uint32_t,
                             std::uint32_t, RegistryKey& opened) {
  std::string full;
  if (const long status = resolve(root, path, full))
    return status;
  const std::string lowered = lowerAnsi(full);
  if (!existingKeyPath(keys_, lowered))
    return registry_status::fileNotFound;
  opened = issueHandle(lowered);
  return registry_status::success;
}

long MemoryRegistry::createKey(RegistryKey root, const std::string& path,
                               const std::string& className, std::uint32_t, std::uint32_t,
                               RegistryKey& opened) {
  std::string full;
  if (const long status = resolve(root, path, full))
    return status;
  addKeyPath(keys_, full, className);
  opened = issueHandle(lowerAnsi(full));
  return registry_status::success;
}

long MemoryRegistry::queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                                std::uint8_t* data, std::uint32_t& size) {
  const std::string* path = pathOf(key);
  if (!path)
    return registry_status::invalidHandle;
  const auto found = keys_.find(*path);
  const Value* value = found == keys_.end() ? nullptr : found->second.find(name);
  if (!value)
    return registry_status::fileNotFound;
  // Texts stored without their final NUL are handed out with one added.
  std::string bytes = value->data;
  if (isStringType(value->type) && !bytes.empty() && bytes.back() != '\0')
    bytes += '\0';
  type = value->type;
  const auto needed = static_cast<std::uint32_t>(bytes.size());
  if (data && size < needed) {
    size = needed;
    return registry_status::moreData;
  }
  if (data && needed > 0)
    std::memcpy(data, bytes.data(), needed);
  size = needed;
  return registry_status::success;
}

long MemoryRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
  const std::string* path = pathOf(key);
  if (!path)
    return registry_status::invalidHandle;
  if (size > 0 && !data)
    return registry_status::invalidParameter;
  Key* found = storedKey(*path);
  if (!found)
    return registry_status::fileNotFound;
  Value value{name, type, {}};
  if (size > 0)
    value.data.assign(reinterpret_cast<const char*>(data), size);
  found->put(std::move(value));
  return registry_status::success;
}

void MemoryRegistry::replaceKeys(Keys keys) {
  keys_ = std::move(keys);
  keys_.try_emplace("");
}

long MemoryRegistry::closeKey(RegistryKey key) {
  return handles_.erase(key) ? registry_status::success : registry_status::invalidHandle;
}

} // namespace obturix
