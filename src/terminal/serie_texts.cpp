#include "terminal/serie_texts.h"

#include "journal/journal_texts.h"
#include "series/series_words.h"
#include "text/french.h"
#include "text/quoting.h"
#include "text/utf8.h"

namespace obturix {

std::string serieHelp(const std::string& journals) {
  return typeset(
      "Utilisation : obturix-serie [OPTION]...\n"
      "Fait une série de poses longues par le câble de déclenchement branché sur un port série,\n"
      "sans fenêtre ni écran. Chaque valeur non donnée est celle que la fenêtre d'Obturix a\n"
      "enregistrée en dernier, sinon sa valeur initiale ; les secondes s'écrivent avec un point\n"
      "ou une virgule.\n"
      "\n"
      "  -n, --nombre=N            nombre de poses\n"
      "  -p, --pose=SECONDES       temps de pose\n"
      "  -i, --intervalle=SECONDES intervalle entre les poses\n"
      "  -m, --miroir              relever le miroir avant chaque pose\n"
      "      --sans-miroir         ne pas le relever\n"
      "      --impulsion=SECONDES  durée de l'impulsion qui relève le miroir\n"
      "      --attente=SECONDES    attente après le miroir, avant la pose\n"
      "  -P, --port=PORT           port du câble (COM1, /dev/ttyUSB0…)\n"
      "      --debut=HH:MM         première pose à cette heure (demain si elle est passée)\n"
      "      --dans=DURÉE          première pose dans ce délai (90s, 45min, 1h30)\n"
      "      --reprendre           refaire les poses qui manquent à la dernière série\n"
      "                            arrêtée, d'après son journal\n"
      "      --enregistrer         garder ces valeurs pour la fenêtre\n"
      "      --nuit                progression en rouge, pour la vision de nuit\n"
      "      --etat                où en est la série en cours\n"
      "      --arreter             arrêter la série en cours (--port pour choisir)\n"
      "  -h, --help                afficher cette aide\n"
      "      --version             afficher la version\n"
      "\n"
      "Ctrl-C, SIGTERM ou « obturix-serie --arreter » arrêtent la série : le déclencheur est\n"
      "relâché aussitôt. Si le terminal se ferme (liaison SSH perdue), la série continue ;\n"
      "« obturix-serie --etat » la retrouve depuis un autre terminal.\n"
      "\n"
      "Code de sortie : 0 toutes les poses faites, 1 une pose au moins manquée ou coupée,\n"
      "2 série refusée avant la première pose (option, valeur, port), 3 série arrêtée.\n"
      "\n"
      "Journaux : " +
      printableText(journals) + "\n");
}

std::string secondsInWords(std::chrono::milliseconds length) {
  std::string text = frenchDecimal(length.count(), 3);
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == ',')
    text.pop_back();
  return text + " s";
}

std::string planLine(const SeriesPlan& plan, const LocalTime& now, const LocalTime& end,
                     const std::optional<LocalTime>& firstPress) {
  const std::int64_t asked = plan.asked();
  std::string text = plan.first > 1
                         ? "Poses " + frenchNumber(plan.first) + " à " + frenchNumber(plan.cycles) +
                               " (reprise de " + shownBare(plan.takesUp) + ")"
                         : frenchNumber(asked) + (asked == 1 ? " pose" : " poses");
  text += " de " + secondsInWords(plan.exposure) + ", intervalle " + secondsInWords(plan.interval) +
          ", ";
  text += plan.mirror ? "miroir relevé (" + secondsInWords(plan.pulse) + " puis " +
                            secondsInWords(plan.settle) + ")"
                      : "sans relever le miroir";
  text += ", port " + shownBare(plan.port()) + " : ";
  if (firstPress)
    text += "première pose " + momentInWords(now, *firstPress) + ", ";
  text += lengthInWords(plan.length());
  if (plan.startIn + plan.length() < century)
    text += ", fin " + momentInWords(now, end);
  return typeset(text);
}

std::string totalsText(const PressCount& presses, std::int64_t asked, bool mirror) {
  std::string text;
  for (const SeriesTotal& total : seriesTotals(presses, asked, mirror))
    text += std::string(total.label) + " : " + frenchNumber(total.count) + "\n";
  return typeset(text);
}

std::string asLines(std::string text) {
  for (char& c : text)
    if (c == '\r')
      c = '\n';
  return text;
}

std::string fitted(const std::string& line, int columns) {
  if (columns <= 1)
    return line;
  const auto longest = static_cast<std::size_t>(columns - 1); // the last column wraps on some
  std::u32string characters = decodeUtf8(line);
  if (characters.size() <= longest)
    return line;
  characters.resize(longest - 1); // room left for « … »
  std::string cut;
  for (const char32_t c : characters)
    appendUtf8(cut, c);
  return cut + "…";
}

} // namespace obturix
