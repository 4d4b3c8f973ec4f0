#include "settings/registry_store.h"

#include "exposure/decimal.h"
#include "text/ansi_text.h"

#include <cstring>
#include <limits>
#include <optional>
#include <variant>

namespace obturix {

namespace {

constexpr const char* basePath = "Software\\Obturix";
constexpr std::uint32_t textBufferSize = 255;
constexpr std::uint32_t listBufferSize = 10000;
// Lists are walked with a 16-bit index that steps past the last element.
constexpr std::size_t maxListLength = 32767;
// The status of a value that cannot be brought into the asked form.
constexpr long notConvertible = registry_status::invalidParameter;

std::string keyPath(const std::string& keySuffix) { return toAnsi(basePath + keySuffix); }

std::optional<std::int32_t> toInt32(const Variant& value) {
  if (value.isEmpty())
    return 0;
  const auto text = variantToText(value);
  const auto number = text ? parseDecimal(*text) : std::nullopt;
  const auto rounded = number ? roundShifted(*number, 0) : std::nullopt;
  if (!rounded || *rounded < std::numeric_limits<std::int32_t>::min() ||
      *rounded > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*rounded);
}

Variant::List splitAtNul(const std::string& text) {
  Variant::List pieces;
  if (text.empty())
    return pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\0', start);
    pieces.push_back(fromAnsi(text.substr(start, end - start)));
    if (end == std::string::npos)
      return pieces;
    start = end + 1;
  }
}

const std::uint8_t* bytes(const std::string& data) {
  return reinterpret_cast<const std::uint8_t*>(data.data());
}

} // namespace

bool RegistrySettingsStore::EcrireParam(const std::string& keySuffix, const std::string& valueName,
                                        std::int32_t type, const Variant& value) {
  if (MajValeurReg(hkeyCurrentUser, keySuffix, valueName, type, value))
    return true;
  return CreerValeurReg(hkeyCurrentUser, type, keySuffix, valueName, value);
}

bool RegistrySettingsStore::LireParam(const std::string& keySuffix, const std::string& valueName,
                                      std::int32_t type, Variant& value) {
  return LireValeurReg(hkeyCurrentUser, keySuffix, valueName, type, value);
}

bool RegistrySettingsStore::LireValeurReg(RegistryKey root, const std::string& keySuffix,
                                          const std::string& valueName, std::int32_t type,
                                          Variant& value) {
  // Read access only, as a read needs: a key whose access list allows no
  // more is read all the same.
  RegistryKey key = 0;
  if (registry_.openKey(root, keyPath(keySuffix), 0, keyRead, key) != registry_status::success)
    return false;
  const Query query = queryTyped(key, valueName, type);
  value = query.status == registry_status::success ? decoded(query) : Variant(unreadableValue);
  registry_.closeKey(key);
  return query.status == registry_status::success;
}

// Queries into the buffer the asked type calls for: a text buffer for texts
// and lists, a number slot for numbers; any other type makes no query. The
// other buffer stays empty, and what is decoded from it follows the type
// stored: a number asked as text reads as 0, a short text asked as a number
// reads as the empty text.
RegistrySettingsStore::Query RegistrySettingsStore::queryTyped(RegistryKey key,
                                                               const std::string& valueName,
                                                               std::int32_t type) {
  Query query;
  const std::string name = toAnsi(valueName);
  if (type == regSz || type == regMultiSz) {
    query.size = type == regSz ? textBufferSize : listBufferSize;
    query.text.assign(query.size, '\0');
    query.status =
        registry_.queryValue(key, name, query.storedType,
                             reinterpret_cast<std::uint8_t*>(query.text.data()), query.size);
  } else if (type == regDword) {
    query.size = sizeof query.number;
    std::uint8_t slot[sizeof query.number] = {};
    query.status = registry_.queryValue(key, name, query.storedType, slot, query.size);
    std::memcpy(&query.number, slot, sizeof query.number);
  }
  return query;
}

// What a successful query hands back, by the type stored.
Variant RegistrySettingsStore::decoded(const Query& query) {
  if (query.storedType == regSz) {
    // A text usually ends in its NUL; one stored without it is kept whole.
    std::string text = query.text.substr(0, query.size);
    if (!text.empty() && text.back() == '\0')
      text.pop_back();
    return fromAnsi(text);
  }
  if (query.storedType == regDword)
    return static_cast<double>(static_cast<std::int32_t>(query.number));
  if (query.storedType == regMultiSz) {
    // Drops the last text's NUL and the list's own; less than that is an empty list.
    return query.size < 2 ? Variant::List{} : splitAtNul(query.text.substr(0, query.size - 2));
  }
  return unreadableValue;
}

bool RegistrySettingsStore::MajValeurReg(RegistryKey root, const std::string& keySuffix,
                                         const std::string& valueName, std::int32_t type,
                                         const Variant& value) {
  return writeInKey(
      [&](RegistryKey& key) {
        return registry_.openKey(root, keyPath(keySuffix), 0, keyAllAccess, key);
      },
      valueName, type, value);
}

bool RegistrySettingsStore::CreerValeurReg(RegistryKey root, std::int32_t type,
                                           const std::string& keySuffix,
                                           const std::string& valueName, const Variant& value) {
  return writeInKey(
      [&](RegistryKey& key) {
        return registry_.createKey(root, keyPath(keySuffix), "1", regOptionNonVolatile,
                                   keyAllAccess, key);
      },
      valueName, type, value);
}

// Both writes' one ritual: the key opened (or made) by `open`, the value
// set, the key closed again; a failure kept for lastWriteFailure().
bool RegistrySettingsStore::writeInKey(const std::function<long(RegistryKey&)>& open,
                                       const std::string& valueName, std::int32_t type,
                                       const Variant& value) {
  RegistryKey key = 0;
  long status = open(key);
  if (status == registry_status::success) {
    status = setTyped(key, valueName, type, value);
    registry_.closeKey(key);
  }
  if (status != registry_status::success)
    writeFailure_ = status;
  return status == registry_status::success;
}

namespace {

// The bytes a value is stored as, or the status that says why it cannot be.
using Encoded = std::variant<std::string, long>;

// Its characters and one NUL; an empty text, no data at all.
Encoded encodedText(const Variant& value) {
  const auto text = variantToText(value);
  if (!text)
    return notConvertible;
  if (!crossesAnsiUnchanged(*text))
    return registry_status::noUnicodeTranslation;
  return text->empty() ? std::string() : toAnsi(*text) + '\0';
}

// Four bytes, the least significant first.
Encoded encodedNumber(const Variant& value) {
  const auto number = toInt32(value);
  if (!number)
    return notConvertible;
  const auto bits = static_cast<std::uint32_t>(*number);
  return std::string{static_cast<char>(bits), static_cast<char>(bits >> 8),
                     static_cast<char>(bits >> 16), static_cast<char>(bits >> 24)};
}

// Each text and its NUL, then one more NUL.
Encoded encodedList(const Variant& value) {
  const Variant::List* list = value.list();
  if (!list || list->size() > maxListLength)
    return notConvertible;
  std::string data;
  for (const auto& element : *list) {
    if (!crossesAnsiUnchanged(element))
      return registry_status::noUnicodeTranslation;
    data += toAnsi(element) + '\0';
  }
  data += '\0';
  if (data.size() > std::numeric_limits<std::uint32_t>::max())
    return notConvertible;
  return data;
}

} // namespace

long RegistrySettingsStore::setTyped(RegistryKey key, const std::string& valueName,
                                     std::int32_t type, const Variant& value) {
  const Encoded encoded = type == regSz      ? encodedText(value)
                          : type == regDword ? encodedNumber(value)
                          : type == regMultiSz
                              ? encodedList(value)
                              : Encoded(registry_status::success); // nothing is written
  if (const long* status = std::get_if<long>(&encoded))
    return *status;
  const std::string& data = std::get<std::string>(encoded);
  return registry_.setValue(key, toAnsi(valueName), static_cast<std::uint32_t>(type),
                            data.empty() ? nullptr : bytes(data),
                            static_cast<std::uint32_t>(data.size()));
}

} // namespace obturix
