#include "journal/journal_reading.h"

#include "journal/journal_texts.h"

#include <charconv>
#include <map>
#include <vector>

namespace obturix {

namespace {

// One line's fields: separated by ';', a quoted one holding "" for a quote.
std::vector<std::string> fieldsOf(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
      fields.back() += line[++i];
    else if (c == '"')
      quoted = !quoted;
    else if (c == ';' && !quoted)
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// A text field as it was before it was kept from reading as a formula.
std::string textOf(std::string field) {
  if (field.size() > 1 && field[0] == '\'' &&
      std::string_view("=+-@").find(field[1]) != std::string_view::npos)
    field.erase(0, 1);
  return field;
}

std::optional<std::int64_t> wholeNumber(const std::string& text) {
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return number;
}

std::vector<std::string_view> linesOf(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF"))
    text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// Its opening block: the series' values.
bool readOpening(const std::map<std::string, std::vector<std::string>>& rows,
                 JournalRecord& record) {
  const auto value = [&rows](const char* key, std::size_t index = 1) -> std::string {
    const auto row = rows.find(key);
    return row != rows.end() && row->second.size() > index ? row->second[index] : "";
  };
  const auto cycles = wholeNumber(value(journal_words::count));
  const auto started = readUtcField(value(journal_words::start, 2));
  if (!cycles || !started)
    return false;
  record.cycles = *cycles;
  record.started = *started;
  record.typed = {.count = value(journal_words::count),
                  .exposure = value(journal_words::exposure),
                  .interval = value(journal_words::interval),
                  .mirror =
                      value(journal_words::mirror) == journal_words::yes ? answerYes : answerNo,
                  .port = textOf(value(journal_words::port)),
                  .pulse = value(journal_words::pulse),
                  .settle = value(journal_words::settle)};
  record.first = wholeNumber(value(journal_words::first)).value_or(1);
  record.firstPressDue = readUtcField(value(journal_words::firstPressDue, 2));
  return record.first >= 1;
}

// A press's line: what it made, and when it was over.
void readPress(const std::vector<std::string>& fields, JournalRecord& record) {
  const auto exposure = wholeNumber(fields[0]);
  if (!exposure || fields.size() < 9)
    return;
  const std::string& result = fields[8];
  record.lastExposure = *exposure;
  record.lastWasPulse = fields[1] == journal_words::pulseKind;
  record.lastAt = readUtcField(fields[5].empty() ? fields[4] : fields[5]);
  if (record.lastWasPulse)
    return;
  if (result == journal_words::made)
    ++record.made;
  else if (result == journal_words::missed || result == journal_words::cut) {
    constexpr std::size_t firstFew = 5;
    if (record.firstLost.size() < firstFew)
      record.firstLost.push_back(*exposure);
    ++record.lost;
  }
}

} // namespace

std::optional<std::chrono::system_clock::time_point> readUtcField(const std::string& field) {
  // 2026-12-07T20:04:12.345Z
  if (field.size() != 24 || field[4] != '-' || field[7] != '-' || field[10] != 'T' ||
      field[13] != ':' || field[16] != ':' || field[19] != '.' || field[23] != 'Z')
    return std::nullopt;
  int parts[7] = {};
  const std::size_t at[7][2] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}, {20, 3}};
  for (int i = 0; i < 7; ++i) {
    const char* begin = field.data() + at[i][0];
    const auto [end, error] = std::from_chars(begin, begin + at[i][1], parts[i]);
    if (error != std::errc() || end != begin + at[i][1])
      return std::nullopt;
  }
  using namespace std::chrono;
  const year_month_day date{year(parts[0]), month(static_cast<unsigned>(parts[1])),
                            day(static_cast<unsigned>(parts[2]))};
  if (!date.ok() || parts[3] > 23 || parts[4] > 59 || parts[5] > 60)
    return std::nullopt;
  return sys_days(date) + hours(parts[3]) + minutes(parts[4]) + seconds(parts[5]) +
         milliseconds(parts[6]);
}

bool JournalRecord::finished() const { return ended == seriesEndWords(SeriesEnd::Finished); }

std::optional<JournalRecord> readJournal(const std::string& text) {
  const auto lines = linesOf(text);
  if (lines.empty() ||
      fieldsOf(lines[0]) != std::vector<std::string>{"Obturix", journal_words::title})
    return std::nullopt;
  std::map<std::string, std::vector<std::string>> opening;
  std::size_t i = 1;
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    auto fields = fieldsOf(lines[i]);
    opening.emplace(fields[0], std::move(fields));
  }
  JournalRecord record;
  if (!readOpening(opening, record))
    return std::nullopt;
  for (i += 2; i < lines.size(); ++i) { // after the blank line and the table's header
    const auto fields = fieldsOf(lines[i]);
    if (fields[0] == journal_words::end && fields.size() > 3)
      record.ended = fields[3];
    else
      readPress(fields, record);
  }
  return record;
}

} // namespace obturix
