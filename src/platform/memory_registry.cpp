#include "platform/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace obturix {

namespace {

bool isStringType(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }

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

long MemoryRegistry::resolve(RegistryKey root, const std::string& path,
                             std::string& lowered) const {
  const std::string* rootPath = root == hkeyCurrentUser ? nullptr : pathOf(root);
  if (root != hkeyCurrentUser && !rootPath)
    return registry_status::invalidHandle;
  std::string relative = path;
  while (!relative.empty() && relative.back() == '\\')
    relative.pop_back();
  if (!relative.empty() && (relative.front() == '\\' || relative.find("\\\\") != std::string::npos))
    return registry_status::badPathname;
  if (relative.find('\0') != std::string::npos)
    return registry_status::badPathname;
  lowered = lowerAnsi(relative);
  if (rootPath && !rootPath->empty())
    lowered = relative.empty() ? *rootPath : *rootPath + "\\" + lowered;
  return registry_status::success;
}

const std::string* MemoryRegistry::pathOf(RegistryKey key) const {
  const auto found = handles_.find(key);
  return found == handles_.end() ? nullptr : &found->second;
}

long MemoryRegistry::openKey(RegistryKey root, const std::string& path, std::uint32_t,
                             std::uint32_t, RegistryKey& opened) {
  if (const long status = beforeOperation())
    return status;
  std::string lowered;
  if (const long status = resolve(root, path, lowered))
    return status;
  if (!keys_.contains(lowered))
    return registry_status::fileNotFound;
  opened = nextHandle_;
  nextHandle_ += 4;
  handles_[opened] = lowered;
  return registry_status::success;
}

long MemoryRegistry::createKey(RegistryKey root, const std::string& path,
                               const std::string& className, std::uint32_t, std::uint32_t,
                               RegistryKey& opened) {
  if (const long status = beforeOperation())
    return status;
  std::string lowered;
  if (const long status = resolve(root, path, lowered))
    return status;
  bool created = false;
  // Every missing key along the path, parents first.
  std::string original = path;
  while (!original.empty() && original.back() == '\\')
    original.pop_back();
  for (std::size_t end = 0; end != std::string::npos;) {
    end = lowered.find('\\', end + 1);
    const std::string prefix = lowered.substr(0, end);
    if (!keys_.contains(prefix)) {
      Key key;
      key.path = root == hkeyCurrentUser ? original.substr(0, end) : prefix;
      key.className = className;
      keys_[prefix] = key;
      created = true;
    }
  }
  if (created) {
    if (const long status = afterChange())
      return status;
  }
  opened = nextHandle_;
  nextHandle_ += 4;
  handles_[opened] = lowered;
  return registry_status::success;
}

long MemoryRegistry::queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                                std::uint8_t* data, std::uint32_t& size) {
  if (const long status = beforeOperation())
    return status;
  const std::string* path = pathOf(key);
  if (!path)
    return registry_status::invalidHandle;
  const auto found = keys_.find(*path);
  if (found == keys_.end())
    return registry_status::fileNotFound;
  const std::string lowered = lowerAnsi(name);
  const auto& values = found->second.values;
  const auto value = std::find_if(values.begin(), values.end(),
                                  [&](const Value& v) { return lowerAnsi(v.name) == lowered; });
  if (value == values.end())
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
  if (const long status = beforeOperation())
    return status;
  const std::string* path = pathOf(key);
  if (!path)
    return registry_status::invalidHandle;
  if (size > 0 && !data)
    return registry_status::invalidParameter;
  const auto found = keys_.find(*path);
  if (found == keys_.end())
    return registry_status::fileNotFound;
  auto& values = found->second.values;
  const std::string lowered = lowerAnsi(name);
  auto value = std::find_if(values.begin(), values.end(),
                            [&](const Value& v) { return lowerAnsi(v.name) == lowered; });
  if (value == values.end()) {
    values.push_back(Value{name, 0, {}});
    value = values.end() - 1;
  }
  value->type = type;
  if (size == 0)
    value->data.clear();
  else
    value->data.assign(reinterpret_cast<const char*>(data), size);
  return afterChange();
}

long MemoryRegistry::closeKey(RegistryKey key) {
  return handles_.erase(key) ? registry_status::success : registry_status::invalidHandle;
}

} // namespace obturix
