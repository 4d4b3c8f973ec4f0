#include "terminal/serie_options.h"

#include "text/french.h"
#include "text/quoting.h"

#include <array>
#include <vector>

namespace obturix {

namespace {

using Action = SerieOptions::Action;

struct OptionRow {
  char letter; // 0: none
  const char* name;
  bool takesValue;
  void (*set)(SerieOptions& options, const std::string& value);
};

// clang-format off
constexpr std::array<OptionRow, 20> rows = {{
    {'n', "nombre",      true,  [](SerieOptions& o, const std::string& v) { o.count = v; }},
    {'p', "pose",        true,  [](SerieOptions& o, const std::string& v) { o.exposure = v; }},
    {'i', "intervalle",  true,  [](SerieOptions& o, const std::string& v) { o.interval = v; }},
    {'m', "miroir",      false, [](SerieOptions& o, const std::string&) { o.mirror = true; }},
    {0,   "sans-miroir", false, [](SerieOptions& o, const std::string&) { o.mirror = false; }},
    {0,   "impulsion",   true,  [](SerieOptions& o, const std::string& v) { o.pulse = v; }},
    {0,   "attente",     true,  [](SerieOptions& o, const std::string& v) { o.settle = v; }},
    {'P', "port",        true,  [](SerieOptions& o, const std::string& v) { o.port = v; }},
    {0,   "nuit",        false, [](SerieOptions& o, const std::string&) { o.night = true; }},
    {0,   "enregistrer", false, [](SerieOptions& o, const std::string&) { o.save = true; }},
    {0,   "debut",       true,  [](SerieOptions& o, const std::string& v) { o.startAt = v; }},
    {0,   "début",       true,  [](SerieOptions& o, const std::string& v) { o.startAt = v; }},
    {0,   "dans",        true,  [](SerieOptions& o, const std::string& v) { o.startIn = v; }},
    {0,   "reprendre",   false, [](SerieOptions& o, const std::string&) { o.resume = true; }},
    {0,   "etat",        false, [](SerieOptions& o, const std::string&) { o.action = Action::Status; }},
    {0,   "état",        false, [](SerieOptions& o, const std::string&) { o.action = Action::Status; }},
    {0,   "arreter",     false, [](SerieOptions& o, const std::string&) { o.action = Action::Stop; }},
    {0,   "arrêter",     false, [](SerieOptions& o, const std::string&) { o.action = Action::Stop; }},
    {'h', "help",        false, [](SerieOptions& o, const std::string&) { o.action = Action::Help; }},
    {0,   "version",     false, [](SerieOptions& o, const std::string&) { o.action = Action::Version; }},
}};
// clang-format on

const char* const seeHelp = " Voir « obturix-serie --help ».";

std::string refusal(const std::string& text) { return typeset(text + seeHelp); }

// The row a long option names, whole or by a prefix of only one name (its
// accented spelling aside); why not.
std::variant<const OptionRow*, std::string> longRow(const std::string& name) {
  std::vector<const OptionRow*> found;
  for (const OptionRow& row : rows) {
    if (name == row.name)
      return &row;
    // The accented spellings are taken whole only.
    const bool ascii = std::string_view(row.name).find_first_of("\xC3") == std::string_view::npos;
    if (ascii && std::string_view(row.name).starts_with(name))
      found.push_back(&row);
  }
  if (found.size() == 1 && !name.empty())
    return found.front();
  if (found.empty() || name.empty())
    return refusal("Option inconnue : " + shown("--" + name) + ".");
  std::vector<std::string> names;
  for (const OptionRow* row : found)
    names.push_back(std::string("--") + row->name);
  return refusal("Option ambiguë : " + shown("--" + name) + " peut être " + listed(names) + ".");
}

const OptionRow* shortRow(char letter) {
  for (const OptionRow& row : rows)
    if (row.letter == letter)
      return &row;
  return nullptr;
}

// Reads the arguments one at a time; the value of an option may be the next.
class Reader {
public:
  explicit Reader(std::span<const std::string> arguments) : arguments_(arguments) {}

  std::optional<std::string> read(SerieOptions& options) {
    bool optionsOver = false;
    for (; next_ < arguments_.size(); ++next_) {
      const std::string& argument = arguments_[next_];
      std::optional<std::string> why;
      if (optionsOver || argument == "-" || !argument.starts_with("-"))
        why = refusal("Argument inattendu : " + shown(argument) + ".");
      else if (argument == "--")
        optionsOver = true;
      else if (argument.starts_with("--"))
        why = readLong(argument.substr(2), options);
      else
        why = readShort(argument.substr(1), options);
      if (why)
        return why;
    }
    return std::nullopt;
  }

private:
  std::optional<std::string> readLong(const std::string& text, SerieOptions& options) {
    const std::size_t equals = text.find('=');
    const auto found = longRow(text.substr(0, equals));
    if (const auto* why = std::get_if<std::string>(&found))
      return *why;
    const OptionRow& row = *std::get<const OptionRow*>(found);
    if (!row.takesValue && equals != std::string::npos)
      return refusal(std::string("L'option --") + row.name + " ne prend pas de valeur.");
    if (equals != std::string::npos)
      return apply(row, text.substr(equals + 1), options);
    return row.takesValue ? nextValue(row, options) : apply(row, "", options);
  }

  std::optional<std::string> readShort(const std::string& letters, SerieOptions& options) {
    for (std::size_t i = 0; i < letters.size(); ++i) {
      const OptionRow* row = shortRow(letters[i]);
      if (!row)
        return refusal("Option inconnue : " + shown("-" + letters.substr(i, 1)) + ".");
      if (!row->takesValue) {
        if (auto why = apply(*row, "", options))
          return why;
      } else if (i + 1 < letters.size()) {
        return apply(*row, letters.substr(i + 1), options);
      } else {
        return nextValue(*row, options);
      }
    }
    return std::nullopt;
  }

  std::optional<std::string> nextValue(const OptionRow& row, SerieOptions& options) {
    if (next_ + 1 >= arguments_.size())
      return refusal(std::string("L'option --") + row.name + " attend une valeur.");
    return apply(row, arguments_[++next_], options);
  }

  std::optional<std::string> apply(const OptionRow& row, const std::string& value,
                                   SerieOptions& options) {
    const Action before = options.action;
    row.set(options, value);
    // Help and version win over anything; two other actions do not go together.
    if (before == Action::Help || before == Action::Version)
      options.action = before;
    else if (before != Action::Run && options.action != before && options.action != Action::Help &&
             options.action != Action::Version)
      return refusal("Les options --etat et --arreter ne vont pas ensemble.");
    return std::nullopt;
  }

  std::span<const std::string> arguments_;
  std::size_t next_ = 0;
};

// An action on a running series takes its port, to choose among several,
// and nothing about a series to run.
std::optional<std::string> mismatch(const SerieOptions& options) {
  if (options.startAt && options.startIn)
    return refusal("Les options --debut et --dans ne vont pas ensemble.");
  if (options.action != Action::Status && options.action != Action::Stop)
    return std::nullopt;
  const bool seriesValues = options.count || options.exposure || options.interval ||
                            options.pulse || options.settle || options.mirror || options.save ||
                            options.resume || options.startAt || options.startIn;
  if (seriesValues)
    return refusal("Les options --etat et --arreter ne prennent que --port et --nuit.");
  return std::nullopt;
}

} // namespace

std::variant<SerieOptions, std::string> readSerieOptions(std::span<const std::string> arguments) {
  SerieOptions options;
  if (auto why = Reader(arguments).read(options))
    return *why;
  const bool explains = options.action == Action::Help || options.action == Action::Version;
  if (auto why = explains ? std::nullopt : mismatch(options))
    return *why;
  return options;
}

} // namespace obturix
