// libFuzzer target: any bytes given to the hive parser either are refused or
// give keys that write out and read back to the same keys.
#include "registry/hive_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto keys = obturix::parseHive(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!keys)
    return 0;
  const auto again = obturix::parseHive(obturix::writeHive(*keys));
  if (!again || *again != *keys)
    std::abort();
  return 0;
}
