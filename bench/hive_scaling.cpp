// Times the settings file's load and save as the file grows in size and in
// depth, so that a file someone else wrote cannot freeze the window: each
// line gives the file's size, the time to open the program's key (one whole
// load), to save a value (a load and a save) and the peak memory so far.
//
// usage: hive_scaling [folder]   (default: a new folder under /tmp)
#include "registry/hive_registry.h"
#include "settings/registry_store.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>

using namespace obturix;
namespace fs = std::filesystem;

namespace {

double millisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

long peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// One key `depth` levels deep, each name `length` characters long.
std::string deepKey(int depth, std::size_t length) {
  std::string file = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER";
  for (int level = 0; level < depth; ++level)
    file += "\\" + std::string(length, 'k');
  return file + "]\r\n\"v\"=\"1\"\r\n";
}

// `count` values in the program's own key.
std::string manyValues(int count) {
  std::string file = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Obturix\\Param]\r\n";
  for (int i = 0; i < count; ++i)
    file += "\"v" + std::to_string(i) + "\"=\"x\"\r\n";
  return file;
}

void measure(const fs::path& folder, const char* what, const std::string& text) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "registry.reg", std::ios::binary) << text;
  HiveRegistry hive{folder};
  RegistrySettingsStore store{hive};
  Variant value;
  const double load = millisecondsOf([&] { store.LireParam("\\Param\\", "StrCom", 1, value); });
  bool saved = false;
  const double save =
      millisecondsOf([&] { saved = store.EcrireParam("\\Param\\", "StrCom", 1, "COM1"); });
  std::printf("%-34s %9zu octets  lecture %8.2f ms  enregistrement %8.2f ms%s  mémoire %4ld Mo\n",
              what, text.size(), load, save, saved ? "" : " (refusé)", peakMegabytes());
}

} // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "obturix-hive-scaling";
  const std::pair<const char*, std::string> files[] = {
      {"clé de 500 niveaux (1 car.)", deepKey(500, 1)},
      {"clé de 512 niveaux (255 car.)", deepKey(512, 255)},
      {"clé de 2000 niveaux (mise de côté)", deepKey(2000, 1)},
      {"clé de 20\u00A0000 niveaux (mise de côté)", deepKey(20000, 1)},
      {"1000 valeurs", manyValues(1000)},
      {"10\u00A0000 valeurs", manyValues(10000)},
      {"50\u00A0000 valeurs", manyValues(50000)},
  };
  for (const auto& [what, text] : files)
    measure(folder, what, text);
  fs::remove_all(folder);
  return 0;
}
