#include "ui/qt/command_line.h"

#include "journal/journal_folder.h"
#include "text/french.h"
#include "text/utf8.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace obturix {

namespace {

constexpr const char* usage = "Utilisation : obturix [--nuit] [--grand] [--help] [--version]";

bool isSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

void print(std::FILE* stream, const std::string& text) {
  std::fputs(typeset(text).c_str(), stream);
}

void printHelp() {
  const std::string journals = makeUserJournalFolder()->path();
  print(stdout, std::string(usage) +
                    "\n\n"
                    "Déclenche des séries de poses longues par le port série : tant que le "
                    "port\nest ouvert, le déclencheur de l'appareil est enfoncé. Les "
                    "paramètres se\nrèglent dans la fenêtre ; voir obturix(1).\n\n"
                    "  --nuit     vision de nuit : la fenêtre et ses messages en rouge sur\n"
                    "             noir, pour garder les yeux habitués à l'obscurité\n"
                    "  --grand    la fenêtre, ses messages et son compteur deux fois plus\n"
                    "             grands, lisibles de loin\n"
                    "  --help     affiche cette aide\n"
                    "  --version  affiche la version\n\n"
                    "Le journal de chaque série (un fichier CSV, un appui par ligne) est "
                    "gardé dans\n");
  // A folder from the environment, printed as it can be.
  std::fputs(
      (journals.empty() ? "$XDG_STATE_HOME/obturix/journal/" : printableText(journals)).c_str(),
      stdout);
  std::fputs("\n", stdout);
}

} // namespace

CommandLine readCommandLine(int argc, char** argv) {
  CommandLine command;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--nuit") {
      command.night = true;
    } else if (argument == "--grand") {
      command.large = true;
    } else if (argument == "--help") {
      printHelp();
      return {0};
    } else if (argument == "--version") {
      print(stdout, "obturix " OBTURIX_VERSION "\n");
      return {0};
    } else {
      // Echoed as it can be printed, and apart from the typesetting of our words.
      std::fputs((typeset("obturix : option inconnue « ") + printableText(argument) +
                  typeset(" »\n" + std::string(usage) + "\n"))
                     .c_str(),
                 stderr);
      return {2};
    }
  }
  // A platform named by hand (offscreen, vnc…) needs no display.
  if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
    print(stderr, "Obturix a besoin d'un écran : ni DISPLAY ni WAYLAND_DISPLAY n'est défini.\n"
                  "Lancez-le depuis le bureau. Sans écran (par SSH), « obturix-serie » fait "
                  "la même série depuis le terminal et continue si la liaison est coupée ; "
                  "« obturix-serie --help » dit comment.\n");
    return {1};
  }
  return command;
}

void scaleAsAsked(const CommandLine& command) {
  if (!command.large)
    return;
  const char* set = std::getenv("QT_SCALE_FACTOR");
  char* end = nullptr;
  const double factor = set ? std::strtod(set, &end) : 0;
  const bool readable = set && end != set && *end == '\0' && factor > 0 && factor <= 8;
  qputenv("QT_SCALE_FACTOR", QByteArray::number(2 * (readable ? factor : 1.0)));
}

} // namespace obturix
