#include "registry/hive_format.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace obturix {

namespace {

constexpr std::string_view rootName = "HKEY_CURRENT_USER";
constexpr std::string_view classPrefix = ";class=";

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out + '"';
}

bool isPlainText(const std::string& data) {
  if (data.empty() || data.back() != '\0')
    return false;
  return std::all_of(data.begin(), data.end() - 1,
                     [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

std::string hexBytes(const std::string& data) {
  std::string out;
  char byte[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(data[i]));
    if (i > 0)
      out += ',';
    out += byte;
  }
  return out;
}

std::string valueData(const MemoryRegistry::Value& value) {
  if (value.type == regSz && isPlainText(value.data))
    return quoted(value.data.substr(0, value.data.size() - 1));
  if (value.type == regDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
      number = (number << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    return text;
  }
  if (value.type == regBinary)
    return "hex:" + hexBytes(value.data);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
  return prefix + hexBytes(value.data);
}

// A cursor over one logical line.
struct Reader {
  std::string_view rest;

  bool take(std::string_view prefix) {
    if (!rest.starts_with(prefix))
      return false;
    rest.remove_prefix(prefix.size());
    return true;
  }

  // A quoted text with \\ and \" escapes.
  std::optional<std::string> quotedText() {
    if (!take("\""))
      return std::nullopt;
    std::string text;
    while (!rest.empty()) {
      const char c = rest.front();
      rest.remove_prefix(1);
      if (c == '"')
        return text;
      if (c == '\\') {
        if (rest.empty() || (rest.front() != '\\' && rest.front() != '"'))
          return std::nullopt;
        text += rest.front();
        rest.remove_prefix(1);
      } else {
        text += c;
      }
    }
    return std::nullopt;
  }
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> hexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits)
    return std::nullopt;
  std::uint32_t number = 0;
  for (char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0)
      return std::nullopt;
    number = (number << 4) | static_cast<std::uint32_t>(digit);
  }
  return number;
}

std::optional<std::string> bytesFromHex(std::string_view text) {
  std::string bytes;
  // Blanks may surround the bytes of a list that regedit wrapped.
  std::string compact;
  for (char c : text) {
    if (c != ' ' && c != '\t')
      compact += c;
  }
  if (compact.empty())
    return bytes;
  std::string_view rest = compact;
  for (;;) {
    if (rest.size() < 2)
      return std::nullopt;
    const int high = hexDigit(rest[0]);
    const int low = hexDigit(rest[1]);
    if (high < 0 || low < 0)
      return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    rest.remove_prefix(2);
    if (rest.empty())
      return bytes;
    if (rest.front() != ',')
      return std::nullopt;
    rest.remove_prefix(1);
  }
}

// The data after "=": a quoted text, a dword or a hex form; nothing when
// malformed.
std::optional<std::pair<std::uint32_t, std::string>> parseValueData(Reader& reader) {
  if (reader.rest.starts_with("\"")) {
    const auto text = reader.quotedText();
    if (!text || !reader.rest.empty())
      return std::nullopt;
    return std::pair{regSz, *text + '\0'};
  }
  if (reader.take("dword:")) {
    const auto number = reader.rest.size() == 8 ? hexNumber(reader.rest, 8) : std::nullopt;
    if (!number)
      return std::nullopt;
    std::string data;
    for (int i = 0; i < 4; ++i)
      data += static_cast<char>((*number >> (8 * i)) & 0xFF);
    return std::pair{regDword, data};
  }
  if (reader.take("hex:")) {
    const auto bytes = bytesFromHex(reader.rest);
    if (!bytes)
      return std::nullopt;
    return std::pair{regBinary, *bytes};
  }
  if (reader.take("hex(")) {
    const std::size_t close = reader.rest.find("):");
    const auto type =
        close == std::string_view::npos ? std::nullopt : hexNumber(reader.rest.substr(0, close), 8);
    const auto bytes = type ? bytesFromHex(reader.rest.substr(close + 2)) : std::nullopt;
    if (!bytes)
      return std::nullopt;
    return std::pair{*type, *bytes};
  }
  return std::nullopt;
}

std::optional<MemoryRegistry::Value> parseValue(std::string_view line) {
  Reader reader{line};
  MemoryRegistry::Value value;
  if (!reader.take("@")) {
    const auto name = reader.quotedText();
    if (!name)
      return std::nullopt;
    value.name = *name;
  }
  if (!reader.take("="))
    return std::nullopt;
  auto data = parseValueData(reader);
  if (!data)
    return std::nullopt;
  value.type = data->first;
  value.data = std::move(data->second);
  return value;
}

// The key path of a "[HKEY_CURRENT_USER\…]" line ("" for the root itself);
// nothing for any other root or a malformed line.
std::optional<std::string> parseKeyHeader(const std::string& line) {
  if (line.back() != ']' || line.size() < 2)
    return std::nullopt;
  const std::string inner = line.substr(1, line.size() - 2);
  if (inner == rootName)
    return "";
  if (!inner.starts_with(std::string(rootName) + "\\"))
    return std::nullopt;
  auto path = normalisedKeyPath(inner.substr(rootName.size() + 1));
  if (!path || path->empty() || !isWritableKeyPath(*path))
    return std::nullopt;
  return path;
}

// The class name kept on a comment line.
std::optional<std::string> parseClassLine(const std::string& line) {
  Reader reader{std::string_view(line).substr(classPrefix.size())};
  const auto className = reader.quotedText();
  if (!className || !reader.rest.empty())
    return std::nullopt;
  return className;
}

// Splits into logical lines: CR LF or LF endings, a trailing backslash
// continues a value's line on the next one. Linear in the text's length.
std::vector<std::string> logicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false, hasEquals = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    if (continuing) {
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    }
    hasEquals = hasEquals || line.find('=') != std::string_view::npos;
    current += line;
    continuing = hasEquals && current.ends_with('\\');
    if (continuing) {
      current.pop_back();
      continue;
    }
    lines.push_back(std::move(current));
    current.clear();
    hasEquals = false;
  }
  if (continuing)
    lines.push_back(std::move(current));
  return lines;
}

// Where each key's values are, by lower-case name, while a file is read: a
// key with many values is read in time linear in their number.
class ValueIndex {
public:
  void put(MemoryRegistry::Key& key, const std::string& keyPath, MemoryRegistry::Value value) {
    auto& places = places_[keyPath];
    if (places.empty()) // values the key had before this file's lines
      for (std::size_t i = 0; i < key.values.size(); ++i)
        places.emplace(lowerAnsi(key.values[i].name), i);
    const auto [place, added] = places.emplace(lowerAnsi(value.name), key.values.size());
    if (added)
      key.values.push_back(std::move(value));
    else // a later line of the same name wins, in its place, as in regedit
      key.values[place->second] = {key.values[place->second].name, value.type,
                                   std::move(value.data)};
  }

private:
  std::unordered_map<std::string, std::unordered_map<std::string, std::size_t>> places_;
};

} // namespace

bool isWritableName(const std::string& name) {
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool isWritableKeyPath(const std::string& path) {
  constexpr std::size_t deepest = 512, longestName = 255;
  std::size_t levels = 1, name = 0;
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20)
      return false;
    if (c != '\\')
      ++name;
    else if (++levels > deepest)
      return false;
    else
      name = 0;
    if (name > longestName)
      return false;
  }
  return true;
}

std::string writeHive(const MemoryRegistry::Keys& keys) {
  std::string out = "REGEDIT4\r\n";
  for (const auto& [lowered, key] : keys) {
    if (lowered.empty() && key.values.empty() && key.className.empty())
      continue;
    out += "\r\n[";
    out += rootName;
    if (!lowered.empty())
      out += "\\" + key.path;
    out += "]\r\n";
    if (!key.className.empty())
      out += std::string(classPrefix) + quoted(key.className) + "\r\n";
    for (const auto& value : key.values)
      out += (value.name.empty() ? "@" : quoted(value.name)) + "=" + valueData(value) + "\r\n";
  }
  return out;
}

namespace {

// Reads a hive's lines after its first, one at a time, into its keys.
class HiveReader {
public:
  explicit HiveReader(MemoryRegistry::Keys& keys) : keys_(keys) {}

  // Whether the line could be read.
  bool take(const std::string& line) {
    if (line.empty())
      return true;
    if (line.front() == ';')
      return takeComment(line);
    if (line.front() == '[')
      return takeHeader(line);
    auto value = current_ ? parseValue(line) : std::nullopt;
    if (!value)
      return false;
    classAllowed_ = false;
    index_.put(*current_, currentPath_, std::move(*value));
    return true;
  }

private:
  // A key's class, on the line right after a new key's header; any other
  // comment is passed over.
  bool takeComment(const std::string& line) {
    if (!line.starts_with(classPrefix) || !classAllowed_)
      return true;
    const auto className = parseClassLine(line);
    if (!className)
      return false;
    current_->className = *className;
    classAllowed_ = false;
    return true;
  }
  bool takeHeader(const std::string& line) {
    const auto path = parseKeyHeader(line);
    if (!path)
      return false;
    currentPath_ = lowerAnsi(*path);
    current_ = &keys_.try_emplace(currentPath_, MemoryRegistry::Key{*path, "", {}}).first->second;
    classAllowed_ = current_->className.empty() && current_->values.empty();
    return true;
  }

  MemoryRegistry::Keys& keys_;
  MemoryRegistry::Key* current_ = nullptr;
  std::string currentPath_;
  ValueIndex index_;
  bool classAllowed_ = false;
};

} // namespace

std::optional<MemoryRegistry::Keys> parseHive(std::string_view text) {
  MemoryRegistry::Keys keys{{"", MemoryRegistry::Key{}}};
  const auto lines = logicalLines(text);
  auto line = std::find_if(lines.begin(), lines.end(), [](auto& l) { return !l.empty(); });
  if (line == lines.end())
    return keys; // an empty file is an empty hive
  if (*line != "REGEDIT4")
    return std::nullopt;
  HiveReader reader(keys);
  for (++line; line != lines.end(); ++line)
    if (!reader.take(*line))
      return std::nullopt;
  return keys;
}

} // namespace obturix
