#include "ui/window_rig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include <map>

namespace obturix {

namespace {

using Fields = std::map<std::string, std::string>; // control → text ("ChkMiro": "0"/"1")

const Fields initialFields = {{"Text1", "1"},   {"Text2", "1"},    {"Text3", "1"},
                              {"ChkMiro", "0"}, {"Text5", "COM1"}, {"Text6", "0.08"},
                              {"Text7", "1"}};

Fields fieldsOf(Form1& form) {
  Fields fields;
  for (const auto& [name, text] : initialFields) {
    if (name == "ChkMiro")
      fields[name] = form.findChild<QCheckBox*>("ChkMiro")->isChecked() ? "1" : "0";
    else
      fields[name] = form.findChild<QLineEdit*>(QString::fromStdString(name))->text().toStdString();
  }
  return fields;
}

Fields with(Fields fields, const Fields& changes) {
  for (const auto& [name, text] : changes)
    fields[name] = text;
  return fields;
}

// Stores values as another run (or another program) left them.
void store(MemoryRegistry& registry,
           const std::map<std::string, std::pair<std::uint32_t, std::string>>& values) {
  RegistryKey key = 0;
  registry.createKey(hkeyCurrentUser, "Software\\Obturix\\Param\\", "1", 0, keyAllAccess, key);
  for (const auto& [name, value] : values)
    registry.setValue(key, name, value.first,
                      reinterpret_cast<const std::uint8_t*>(value.second.data()),
                      static_cast<std::uint32_t>(value.second.size()));
  registry.closeKey(key);
}

std::pair<std::uint32_t, std::string> text(const std::string& s) { return {regSz, s + '\0'}; }

const std::map<std::string, std::pair<std::uint32_t, std::string>> allSeven = {
    {"nbpause", text("12")},  {"tmppause", text("30")}, {"intervalle", text("5")},
    {"Relever", text("1")},   {"StrCom", text("COM2")}, {"lngSleppav", text("0,1")},
    {"lngSleppap", text("2")}};

struct RestoreCase {
  std::map<std::string, std::pair<std::uint32_t, std::string>> stored;
  Fields expected;
  bool mirrorFieldsEnabled;
};

const std::map<std::string, RestoreCase>& restoreCases() {
  static const std::map<std::string, RestoreCase> cases = {
      {"first run, no key", {{}, initialFields, true}},
      {"all seven",
       {allSeven,
        {{"Text1", "12"},
         {"Text2", "30"},
         {"Text3", "5"},
         {"ChkMiro", "1"},
         {"Text5", "COM2"},
         {"Text6", "0,1"},
         {"Text7", "2"}},
        true}},
      {"exposure and interval apart",
       {{{"tmppause", text("7")}, {"intervalle", text("9")}},
        with(initialFields, {{"Text2", "7"}, {"Text3", "9"}}),
        true}},
      {"a deleted value keeps its field",
       {[] {
          auto values = allSeven;
          values.erase("StrCom");
          values.erase("Relever");
          return values;
        }(),
        {{"Text1", "12"},
         {"Text2", "30"},
         {"Text3", "5"},
         {"ChkMiro", "0"},
         {"Text5", "COM1"},
         {"Text6", "0,1"},
         {"Text7", "2"}},
        true}},
      {"mirror stored unticked", {{{"Relever", text("0")}}, initialFields, false}},
      {"mirror stored as 1,0",
       {{{"Relever", text("1,0")}}, with(initialFields, {{"ChkMiro", "1"}}), true}},
      {"mirror stored as something else", {{{"Relever", text("oui")}}, initialFields, false}},
      {"values not stored as text",
       {{{"nbpause", {regDword, std::string("\x05\0\0\0", 4)}},
         {"StrCom", {regBinary, "COM9"}},
         {"Relever", {regDword, std::string("\x01\0\0\0", 4)}},
         {"tmppause", text(std::string(300, '9'))}},
        initialFields,
        true}},
      {"a text stored without its NUL",
       {{{"StrCom", {regSz, "COM4"}}}, with(initialFields, {{"Text5", "COM4"}}), true}},
  };
  return cases;
}

} // namespace

class Form1SettingsTest : public QObject {
  Q_OBJECT

private slots:
  void restoresAtLoad_data() {
    QTest::addColumn<QString>("name");
    for (const auto& [name, c] : restoreCases())
      QTest::newRow(name.c_str()) << QString::fromStdString(name);
  }

  void restoresAtLoad() {
    QFETCH(QString, name);
    const RestoreCase& c = restoreCases().at(name.toStdString());
    testing::WindowRig rig;
    if (!c.stored.empty())
      store(rig.registry, c.stored);
    rig.form.show();
    QCOMPARE(fieldsOf(rig.form), c.expected);
    QCOMPARE(rig.form.findChild<QLineEdit*>("Text6")->isEnabled(), c.mirrorFieldsEnabled);
    QCOMPARE(rig.form.findChild<QLineEdit*>("Text7")->isEnabled(), c.mirrorFieldsEnabled);
    QVERIFY(rig.form.annulation());
  }

  void aSeriesSavesAllSevenForTheNextRun() {
    testing::WindowRig rig;
    rig.form.show();
    const Fields typed = {{"Text1", "0"},    {"Text2", "30"},  {"Text3", "2,5"}, {"ChkMiro", "1"},
                          {"Text5", "COM2"}, {"Text6", "0.2"}, {"Text7", "3"}};
    for (const auto& [name, text] : typed) {
      if (name != "ChkMiro")
        rig.form.findChild<QLineEdit*>(QString::fromStdString(name))
            ->setText(QString::fromStdString(text));
    }
    QTest::mouseClick(rig.form.findChild<QCheckBox*>("ChkMiro"), Qt::LeftButton);
    rig.form.LancerSerie(); // a count of 0 starts a series with no cycle: it is saved

    const auto& param = rig.registry.keys().at("software\\obturix\\param");
    QCOMPARE(param.className, std::string("1"));
    std::vector<std::string> names;
    for (const auto& value : param.values) {
      names.push_back(value.name);
      QCOMPARE(value.type, regSz);
    }
    QCOMPARE(names, (std::vector<std::string>{"nbpause", "tmppause", "intervalle", "Relever",
                                              "StrCom", "lngSleppav", "lngSleppap"}));

    testing::FakeMessageBoxes boxes{rig.log};
    RegistrySettingsStore settings{rig.registry};
    Form1 restarted{rig.cycle, boxes, settings};
    restarted.show();
    QCOMPARE(fieldsOf(restarted), typed);
    QVERIFY(restarted.findChild<QLineEdit*>("Text6")->isEnabled());
  }

  void nothingIsSavedWhenNoSeriesStarts() {
    const struct {
      const char* why;
      std::string count;
      std::deque<int> answers;
    } cases[] = {{"answered No", "1", {answerNo}}, {"count refused", "x", {}}};
    for (const auto& c : cases) {
      testing::WindowRig rig;
      rig.form.show();
      rig.form.findChild<QLineEdit*>("Text1")->setText(QString::fromStdString(c.count));
      rig.boxes.answers = c.answers;
      rig.form.LancerSerie();
      QVERIFY2(!rig.registry.keys().contains("software\\obturix\\param"), c.why);
    }
  }

  void aValueThatCannotBeWrittenDoesNotStopTheOthers() {
    struct RefusesStrCom final : MemoryRegistry {
      long setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override {
        if (name == "StrCom")
          return registry_status::accessDenied;
        return MemoryRegistry::setValue(key, name, type, data, size);
      }
    } registry;
    testing::WindowRig rig;
    RegistrySettingsStore settings{registry};
    Form1 form{rig.cycle, rig.boxes, settings};
    form.findChild<QCheckBox*>("ChkAffichePoppup")->setChecked(false);
    form.LancerSerie();
    const auto& param = registry.keys().at("software\\obturix\\param");
    QCOMPARE(param.values.size(), 6u);
    QCOMPARE(param.values.back().name, std::string("lngSleppap"));
  }
};

} // namespace obturix

QTEST_MAIN(obturix::Form1SettingsTest)
#include "form1_settings_test.moc"
