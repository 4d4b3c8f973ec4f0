#include "terminal/serie_options.h"

#include "text/french.h"

#include <gtest/gtest.h>

namespace obturix {
namespace {

// The options read, one word each: what is left unset is not shown.
std::string summary(const std::variant<SerieOptions, std::string>& read) {
  if (const auto* why = std::get_if<std::string>(&read))
    return "refus: " + *why;
  const auto& o = std::get<SerieOptions>(read);
  std::string text = "action=" + std::to_string(static_cast<int>(o.action));
  const auto add = [&text](const char* name, const std::optional<std::string>& value) {
    if (value)
      text += std::string(" ") + name + "=" + *value;
  };
  add("n", o.count), add("p", o.exposure), add("i", o.interval), add("impulsion", o.pulse);
  add("attente", o.settle), add("port", o.port), add("debut", o.startAt), add("dans", o.startIn);
  if (o.mirror)
    text += *o.mirror ? " miroir" : " sans-miroir";
  text += std::string(o.night ? " nuit" : "") + (o.save ? " enregistrer" : "") +
          (o.resume ? " reprendre" : "");
  return text;
}

TEST(SerieOptions, ReadsTheGnuFormsAndRefusesWhatCannotBeRead) {
  struct Case {
    std::vector<std::string> arguments;
    std::string read;
  };
  const Case cases[] = {
      {{"-n", "5", "-p2,5", "--intervalle=1.5"}, "action=0 n=5 p=2,5 i=1.5"},
      {{"-mn5", "--sans-miroir"}, "action=0 n=5 sans-miroir"},
      {{"--nom", "7", "--att=2", "--imp", "0,1"}, "action=0 n=7 impulsion=0,1 attente=2"},
      {{"-P", "/dev/ttyUSB0", "--port=-x"}, "action=0 port=-x"},
      {{"--début=22:15", "--nuit", "--enr", "--rep"},
       "action=0 debut=22:15 nuit enregistrer reprendre"},
      {{"--dans", "1h30"}, "action=0 dans=1h30"},
      {{"--état", "--port=COM3"}, "action=3 port=COM3"},
      {{"--arreter"}, "action=4"},
      {{"-h"}, "action=1"},
      {{"--version"}, "action=2"},
      {{"--i=3"},
       "refus: Option ambiguë : « --i » peut être --intervalle et --impulsion. Voir « "
       "obturix-serie --help »."},
      {{"--"}, "action=0"},
  };
  for (const Case& each : cases)
    EXPECT_EQ(summary(readSerieOptions(each.arguments)), typeset(each.read))
        << each.arguments.front();
  // Words that are no option, and values that are missing, are refused.
  for (const std::vector<std::string>& refused : std::initializer_list<std::vector<std::string>>{
           {"5"}, {"--", "5"}, {"--nombre"}, {"-n"}, {"--miroir=oui"}, {"--dé=1"}, {"-x"}})
    EXPECT_TRUE(summary(readSerieOptions(refused)).starts_with("refus: ")) << refused.back();
}

} // namespace
} // namespace obturix
