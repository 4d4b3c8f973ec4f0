// A camera on a pseudo-terminal: prints the port to type into Obturix, then
// one line per press of the release, until Ctrl-C.
// --precis: watch the port without ever sleeping, so that each open and
// close is timed within microseconds even on a busy or virtual machine; it
// keeps one processor busy, for tests and measurements.
// --dessin FICHIER: when it ends, draws every press it saw in an SVG file.
#include "port_keeper.h"
#include "press_drawing.h"
#include "press_recorder.h"
#include "pty/open_close_watcher.h"
#include "pty/pseudo_terminal.h"
#include "text/french.h"
#include "text/system_reason.h"
#include "text/utf8.h"
#include "timing/monotonic_clock.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

using namespace obturix;

namespace {

// The wall-clock time at which a monotonic instant happened.
std::chrono::system_clock::time_point wallClockOf(std::chrono::nanoseconds when) {
  const auto age = monotonicNow() - when;
  return std::chrono::system_clock::now() -
         std::chrono::duration_cast<std::chrono::system_clock::duration>(age);
}

constexpr const char* usage =
    "Utilisation\u00A0: obturix-virtual-camera [--precis] [--dessin FICHIER.svg] [--help] "
    "[--version]";

// The system's reasons this program may meet, in French: two of them
// say what ran out here.
std::string inFrench(const std::error_code& error) {
  switch (error.value()) {
  case ENOSPC:
    return "plus de place (ptys ou surveillances inotify épuisées)";
  case ENOENT:
  case ENODEV:
    return "introuvable (/dev/pts est-il monté\u00A0?)";
  default:
    return systemReason(error.value());
  }
}

struct Arguments {
  bool precise = false;
  std::optional<std::string> drawing; // where to draw the presses at the end
};

// A message of ours about something from outside, shown as it can be printed.
void complain(const std::string& before, const std::string& outside, const std::string& after) {
  std::fprintf(stderr, "%s\n",
               (typeset("obturix-virtual-camera : " + before + "« ") + printableText(outside) +
                typeset(" »" + after))
                   .c_str());
}

// What to do, or the exit status when the command line asked for something
// else (help, version) or could not be read.
std::optional<int> readArguments(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--precis") {
      arguments.precise = true;
    } else if (argument == "--dessin") {
      if (i + 1 == argc) {
        complain("l'option ", "--dessin", " demande le nom du fichier où dessiner les appuis");
        std::fprintf(stderr, "%s\n", usage);
        return 2;
      }
      arguments.drawing = argv[++i];
    } else if (argument == "--help") {
      std::printf(
          "%s\n\n"
          "Un appareil photo virtuel\u00A0: crée un pseudo-terminal, affiche le port à taper\n"
          "dans Obturix, puis une ligne par appui sur le déclencheur (début, durée,\n"
          "pause qui le précède), jusqu'à Ctrl-C.\n\n"
          "  --precis   chronomètre chaque appui à la microseconde près sur une machine\n"
          "             chargée, au prix d'un processeur toujours occupé\n"
          "  --dessin FICHIER.svg\n"
          "             à la fin, dessine tous les appuis vus, à l'échelle\n"
          "  --help     affiche cette aide\n"
          "  --version  affiche la version\n",
          usage);
      return 0;
    } else if (argument == "--version") {
      std::printf("obturix-virtual-camera %s\n", OBTURIX_VERSION);
      return 0;
    } else {
      complain("option inconnue ", std::string(argument), "");
      std::fprintf(stderr, "%s\n", usage);
      return 2;
    }
  }
  return std::nullopt;
}

// Draws the presses into the file opened for them; false when it cannot be
// written (a disk that filled up meanwhile).
bool draw(std::FILE* file, const std::vector<camera::Press>& presses) {
  const std::string drawing = camera::drawPresses(presses);
  const bool written = std::fwrite(drawing.data(), 1, drawing.size(), file) == drawing.size();
  return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (const auto status = readArguments(argc, argv, arguments))
    return *status;
  const bool precise = arguments.precise;
  std::vector<camera::Press> seen;
  // Opened now, so that a drawing that cannot be written is told at once,
  // not at the end of a night.
  std::FILE* drawing = nullptr;
  if (arguments.drawing && !(drawing = std::fopen(arguments.drawing->c_str(), "wb"))) {
    complain("impossible d'écrire le dessin ", *arguments.drawing, " : " + systemReason(errno));
    return 1;
  }
  // SIGINT and SIGTERM are taken when the loop looks for them, so the
  // pseudo-terminal is always released cleanly.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop, nullptr);

  try {
    pty::PseudoTerminal terminal;
    camera::PortKeeper keeper(terminal.slavePath()); // before the watcher: its open is not a press
    pty::OpenCloseWatcher watcher(terminal.slavePath());
    std::printf("%s\n", typeset("Port virtuel : " + terminal.slavePath()).c_str());
    std::printf(
        "%s\n",
        typeset("Tapez ce port dans Obturix ; chaque appui s'affiche ici. Ctrl-C pour finir.")
            .c_str());
    std::fflush(stdout);

    camera::PressRecorder recorder;
    const timespec noWait{};
    for (unsigned round = 0;; ++round) {
      if ((!precise || round % 4096 == 0) && sigtimedwait(&stop, nullptr, &noWait) >= 0)
        break;
      const auto event = precise ? watcher.poll() : watcher.next(std::chrono::milliseconds(100));
      if (!event)
        continue;
      if (event->kind == pty::OpenCloseWatcher::Kind::Open) {
        recorder.opened(event->when);
      } else {
        if (const auto press = recorder.closed(event->when)) {
          std::printf("%s\n", camera::describe(*press, wallClockOf(press->start)).c_str());
          if (arguments.drawing)
            seen.push_back(*press);
        }
        if (keeper.freeIfLeftExclusive())
          std::printf("Le port était resté réservé par un programme arrêté en plein appui\u00A0: "
                      "il est de nouveau libre.\n");
        std::fflush(stdout);
      }
    }
    if (drawing && !draw(std::exchange(drawing, nullptr), seen)) {
      complain("impossible d'écrire le dessin ", *arguments.drawing, " : " + systemReason(errno));
      return 1;
    }
  } catch (const std::system_error& error) {
    const std::string what = error.what();
    std::fprintf(stderr, "%s\n",
                 typeset("obturix-virtual-camera : " + what.substr(0, what.find(':')) + " : " +
                         inFrench(error.code()))
                     .c_str());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(
        stderr, "%s\n",
        typeset("obturix-virtual-camera : erreur inattendue (" + std::string(error.what()) + ")")
            .c_str());
    return 1;
  }
  return 0;
}
