// libFuzzer target: any bytes given to the hive parser either are refused or
// give keys that write out and read back to the same keys.
#include "platform/hive_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool sameKeys(const obturix::MemoryRegistry::Keys& a, const obturix::MemoryRegistry::Keys& b) {
  if (a.size() != b.size())
    return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
    if (i->first != j->first || i->second.className != j->second.className ||
        i->second.values.size() != j->second.values.size())
      return false;
    for (std::size_t k = 0; k < i->second.values.size(); ++k) {
      const auto& v = i->second.values[k];
      const auto& w = j->second.values[k];
      if (v.name != w.name || v.type != w.type || v.data != w.data)
        return false;
    }
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto keys = obturix::parseHive(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!keys)
    return 0;
  const auto again = obturix::parseHive(obturix::writeHive(*keys));
  if (!again || !sameKeys(*keys, *again))
    std::abort();
  return 0;
}
