#include "fakes/raw_registry.h"
#include "text/french.h"
#include "window/form1_rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <map>

namespace obturix {
namespace {

using enum Control;
using testing::Form1Rig;
using Fields = std::map<Control, std::string>; // ChkMiro: "0" or "1"
using Stored = std::map<std::string, std::pair<std::uint32_t, std::string>>;

const Fields initialFields = {{Text1, "1"},    {Text2, "1"},    {Text3, "1"}, {ChkMiro, "0"},
                              {Text5, "COM1"}, {Text6, "0.08"}, {Text7, "1"}};

Fields fieldsOf(const testing::FakeForm1View& view) {
  Fields fields;
  for (const auto& [control, initial] : initialFields)
    fields[control] =
        control == ChkMiro ? (view.isChecked(control) ? "1" : "0") : view.text(control);
  return fields;
}

Fields with(Fields fields, const Fields& changes) {
  for (const auto& [control, text] : changes)
    fields[control] = text;
  return fields;
}

std::pair<std::uint32_t, std::string> text(const std::string& s) { return {regSz, s + '\0'}; }

const Stored allSeven = {{"nbpause", text("12")},   {"tmppause", text("30")},
                         {"intervalle", text("5")}, {"Relever", text("1")},
                         {"StrCom", text("COM?2")}, {"lngSleppav", text("0,1")},
                         {"lngSleppap", text("2")}};
const Fields allSevenFields = {{Text1, "12"},    {Text2, "30"},  {Text3, "5"}, {ChkMiro, "1"},
                               {Text5, "COM?2"}, {Text6, "0,1"}, {Text7, "2"}};

struct RestoreCase {
  const char* name;
  Stored stored;
  Fields expected;
  bool mirrorFieldsEnabled;
};

// clang-format off
const RestoreCase restoreCases[] = {
    {"first run, no key", {}, initialFields, true},
    {"all seven", allSeven, allSevenFields, true},
    {"exposure and interval apart", {{"tmppause", text("7")}, {"intervalle", text("9")}}, with(initialFields, {{Text2, "7"}, {Text3, "9"}}), true},
    {"a deleted value keeps its field", {{"nbpause", text("12")}, {"lngSleppap", text("2")}}, with(initialFields, {{Text1, "12"}, {Text7, "2"}}), true},
    {"mirror stored unticked", {{"Relever", text("0")}}, initialFields, false},
    {"mirror stored as something else", {{"Relever", text("oui")}}, initialFields, false},
    {"values not stored as text", {{"nbpause", {regDword, std::string("\x05\0\0\0", 4)}}, {"StrCom", {regBinary, "COM9"}}, {"Relever", {regDword, std::string("\x01\0\0\0", 4)}}, {"tmppause", text(std::string(300, '9'))}}, initialFields, true},
};
// clang-format on

TEST(Form1Settings, RestoresAtLoad) {
  for (const RestoreCase& c : restoreCases) {
    Form1Rig rig;
    for (const auto& [name, value] : c.stored)
      ASSERT_EQ(testing::writeRawParam(rig.registry, name, value.first, value.second), 0);
    rig.form.load();
    EXPECT_EQ(fieldsOf(rig.view), c.expected) << c.name;
    EXPECT_EQ(rig.view.isEnabled(Text6), c.mirrorFieldsEnabled) << c.name;
    EXPECT_EQ(rig.view.isEnabled(Text7), c.mirrorFieldsEnabled) << c.name;
  }
}

// Saved under the names and in the form the restore rows read back; a
// typed "?" is kept, not taken for a character the settings lost.
TEST(Form1Settings, ASeriesSavesAllSevenForTheNextRun) {
  Form1Rig rig;
  rig.form.load();
  for (const auto& [control, text] : allSevenFields)
    if (control != ChkMiro)
      rig.type(control, text);
  rig.clickMirrorBox();
  rig.ports.existingPorts = {"COM?2"};
  rig.form.LancerSerie();

  const auto& param = rig.registry.keys().at("software\\obturix\\param");
  EXPECT_EQ(param.className, "1");
  Stored saved;
  for (const auto& value : param.values)
    saved[value.name] = {value.type, value.data};
  EXPECT_EQ(saved, allSeven);
}

// A settings file found damaged (and set aside) is told once the window is
// on screen, not before, where its box would stand alone.
TEST(Form1Settings, ADamagedSettingsFileIsToldWhenTheWindowIsShown) {
  const DamagedSettingsFile found{"/h/registry.reg", "/h/registry.reg.bad-1"};
  struct Damaged final : MemoryRegistry {
    std::optional<DamagedSettingsFile> damaged;
    std::optional<DamagedSettingsFile> takeDamagedFile() override {
      return std::exchange(damaged, std::nullopt);
    }
  } registry;
  registry.damaged = found;
  Form1Rig rig;
  RegistrySettingsStore settings{registry};
  Form1 form{rig.view, {rig.series(), settings}};
  form.load();
  EXPECT_EQ(rig.log.events().size(), 1u); // the welcome text
  form.shown();
  EXPECT_EQ(rig.log.events().back(), "box Obturix: " + damagedSettingsNotice(found));
}

// A value that cannot be written (refused, or a port named in Cyrillic that
// the settings would keep as "?????") keeps its older one, does not stop the
// others, and is told after the series, before its end notice, both when
// both happen; the series itself ran with the port as typed. A disk that
// does not answer is told once its deadline has passed, the window free.
TEST(Form1Settings, AValueThatCannotBeSavedIsToldAndDoesNotStopTheOthers) {
  const std::string others = " Les autres paramètres ont été enregistrés.";
  const std::string cyrillic = "Le port contient des caractères qui ne peuvent pas être "
                               "enregistrés : son ancienne valeur est conservée.";
  const struct {
    long refusal; // of the registry, for `refused`
    const char* refused;
    std::string port, told;
    std::size_t kept;
  } cases[] = {
      {registry_status::accessDenied, "StrCom", "COM1",
       "Impossible d'enregistrer le port : l'accès aux paramètres a été refusé." + others, 6},
      {registry_status::timeout, "StrCom", "COM1",
       "Impossible d'enregistrer le port : ils étaient verrouillés par un autre programme (une "
       "autre copie d'Obturix ?)." +
           others,
       6},
      {registry_status::success, "", "/dev/камера", cyrillic + others, 6},
      {registry_status::diskFull, "tmppause", "/dev/камера",
       "Impossible d'enregistrer le temps de pause : le disque est plein. " + cyrillic + others, 5},
      {registry_status::notReady, "nbpause", "COM1",
       "Les paramètres de cette série n'ont pas pu être enregistrés : le disque ne répond plus.",
       7},
  };
  for (const auto& c : cases) {
    struct Refuses final : MemoryRegistry {
      long refusal;
      std::string refused;
      std::atomic<bool> hung{false};
      std::atomic<int> set{0};
      long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override {
        while (hung && name == refused) // a disk that does not answer until let go
          std::this_thread::yield();
        ++set;
        return name == refused && refusal && refusal != registry_status::notReady
                   ? refusal
                   : MemoryRegistry::setValue(key, name, type, data, size);
      }
    } registry;
    registry.refusal = c.refusal;
    registry.refused = c.refused;
    registry.hung = c.refusal == registry_status::notReady;
    Form1Rig rig;
    RegistrySettingsStore settings{registry};
    SeriesServices series = rig.series();
    series.disk = {std::chrono::milliseconds(50), std::chrono::milliseconds(50)};
    Form1 form{rig.view, {series, settings}};
    rig.ports.existingPorts = {c.port};
    rig.type(Text5, c.port);
    form.LancerSerie();
    if (registry.hung.exchange(false))
      while (registry.set < 7) // the save ends once the disk answers
        std::this_thread::yield();
    const auto& param = registry.keys().at("software\\obturix\\param");
    EXPECT_EQ(param.values.size(), c.kept) << c.port;
    EXPECT_EQ(param.values.back().name, "lngSleppap");
    EXPECT_EQ(rig.ports.presses.size(), 1u);
    const auto& events = rig.log.events();
    EXPECT_EQ(std::vector(events.end() - 4, events.end()),
              (std::vector<std::string>{"box Obturix: " + typeset(c.told),
                                        "box Obturix: La série de pauses est terminée ", "LabEc 0",
                                        "progress cleared"}));
  }
}

} // namespace
} // namespace obturix
