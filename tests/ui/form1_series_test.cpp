#include "ui/window_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <map>

namespace obturix {

namespace {

using Events = std::vector<std::string>;

struct SeriesCase {
  std::map<std::string, std::string> fields; // changes to the initial texts
  bool mirror = false;
  bool popups = true;
  std::deque<int> answers;
  Events events;
};

// The confirmation and the end notice are shortened; their exact text has
// its own test.
Events shortened(const Events& events) {
  Events result;
  for (const auto& e : events) {
    if (e.starts_with("box Lancer la session de prises de vues ?: "))
      result.push_back("confirm");
    else if (e == "box Obturix: La série de pauses est terminée ")
      result.push_back("end notice");
    else
      result.push_back(e);
  }
  return result;
}

Events cyclesWithoutMirror(int count) {
  Events events;
  for (int i = 1; i <= count; ++i) {
    const std::string at = " at " + std::to_string(i);
    events.insert(events.end(), {"open COM1", "sleep 1000" + at, "close COM1", "sleep 1000" + at});
  }
  return events;
}

Events concat(std::initializer_list<Events> parts) {
  Events all;
  for (const auto& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::map<std::string, SeriesCase>& seriesCases() {
  static const std::map<std::string, SeriesCase> cases = {
      {"count 3, confirmed",
       {{{"Text1", "3"}},
        false,
        true,
        {},
        concat({{"confirm"}, cyclesWithoutMirror(3), {"end notice"}})}},
      {"count 2.5 gives two", {{{"Text1", "2.5"}}, false, false, {}, cyclesWithoutMirror(2)}},
      {"count 2,5 gives two", {{{"Text1", "2,5"}}, false, false, {}, cyclesWithoutMirror(2)}},
      {"count 0", {{{"Text1", "0"}}, false, true, {}, {"confirm", "end notice"}}},
      {"count -1", {{{"Text1", "-1"}}, false, true, {}, {"confirm", "end notice"}}},
      {"answer No", {{}, false, true, {answerNo}, {"confirm", "end notice"}}},
      {"popups unchecked", {{}, false, false, {}, cyclesWithoutMirror(1)}},
      {"mirror checked",
       {{{"Text6", "0,08"}},
        true,
        false,
        {},
        {"open COM1", "sleep 80 at 1", "close COM1", "sleep 1000 at 1", "open COM1",
         "sleep 1000 at 1", "close COM1", "sleep 1000 at 1"}}},
      {"mirror unchecked ignores its timings",
       {{{"Text6", "abc"}, {"Text7", "-4"}}, false, false, {}, cyclesWithoutMirror(1)}},
      {"unknown port takes its time",
       {{{"Text5", "COM9"}}, false, false, {}, {"sleep 1000 at 1", "sleep 1000 at 1"}}},
      {"count not a number",
       {{{"Text1", "trois"}},
        false,
        true,
        {},
        {"box Obturix: Le nombre de pauses doit être un nombre."}}},
      {"empty count",
       {{{"Text1", ""}},
        false,
        true,
        {},
        {"box Obturix: Le nombre de pauses doit être un nombre."}}},
      {"negative exposure",
       {{{"Text2", "-1"}},
        false,
        false,
        {},
        {"box Obturix: Le temps de pause doit être un nombre de secondes compris entre 0 et "
         "2147483,647."}}},
      {"exposure beyond a millisecond count",
       {{{"Text2", "2147484"}},
        false,
        true,
        {},
        {"box Obturix: Le temps de pause doit être un nombre de secondes compris entre 0 et "
         "2147483,647."}}},
      {"empty interval",
       {{{"Text3", ""}},
        false,
        true,
        {},
        {"box Obturix: L'intervalle entre les pauses doit être un nombre de secondes compris entre "
         "0 et 2147483,647."}}},
      {"bad pulse with the mirror",
       {{{"Text6", "x"}},
        true,
        true,
        {},
        {"box Obturix: La durée de l'impulsion pour le verrouillage du miroir doit être un nombre "
         "de secondes compris entre 0 et 2147483,647."}}},
      {"bad settle with the mirror",
       {{{"Text7", "1e400"}},
        true,
        true,
        {},
        {"box Obturix: L'intervalle entre le verrouillage du miroir et le début de la pause doit "
         "être un nombre de secondes compris entre 0 et 2147483,647."}}},
  };
  return cases;
}

} // namespace

class Form1SeriesTest : public QObject {
  Q_OBJECT

private slots:
  void series_data() {
    QTest::addColumn<QString>("name");
    for (const auto& [name, c] : seriesCases())
      QTest::newRow(name.c_str()) << QString::fromStdString(name);
  }

  void series() {
    QFETCH(QString, name);
    const SeriesCase& c = seriesCases().at(name.toStdString());
    testing::WindowRig rig;
    rig.sleeper.counter = [&] {
      return rig.form.findChild<QLabel*>("LabEc")->text().toStdString();
    };
    for (const auto& [field, text] : c.fields)
      rig.form.findChild<QLineEdit*>(QString::fromStdString(field))
          ->setText(QString::fromStdString(text));
    rig.form.findChild<QCheckBox*>("ChkMiro")->setChecked(c.mirror);
    rig.form.findChild<QCheckBox*>("ChkAffichePoppup")->setChecked(c.popups);
    rig.boxes.answers = c.answers;

    QTest::mouseClick(rig.form.findChild<QPushButton*>("Command1"), Qt::LeftButton);

    QCOMPARE(shortened(rig.log.events()), c.events);
    QCOMPARE(rig.form.findChild<QLabel*>("LabEc")->text(), QStringLiteral("0"));
    QVERIFY(!rig.form.annulation());
  }

  void confirmationShowsTheTypedValues() {
    testing::WindowRig rig;
    rig.form.findChild<QLineEdit*>("Text1")->setText("12");
    rig.form.findChild<QLineEdit*>("Text2")->setText("30,5");
    rig.form.findChild<QLineEdit*>("Text3")->setText(" 2");
    rig.form.findChild<QCheckBox*>("ChkMiro")->setChecked(true);
    rig.boxes.answers = {answerNo};

    rig.form.LancerSerie();

    QCOMPARE(rig.log.events().front(), std::string("box Lancer la session de prises de vues ?: "
                                                   "Lancer une série de pauses ?\r\r"
                                                   "Temps de pause       : 30,5\r"
                                                   "Nombre de pauses     : 12\r"
                                                   "Intervalle           :  2\r"
                                                   "Relever le miroir    : Oui\r\r"
                                                   " Oui pour lancer, Non pour arrêter..."));
    QVERIFY(confirmationPrompt({"1", "1", "1", answerNo, "COM1", "1", "1"})
                .find("Relever le miroir    : Non\r") != std::string::npos);
  }

  void parametersAreCapturedOnceWhenTheSeriesStarts() {
    testing::WindowRig rig;
    rig.form.findChild<QCheckBox*>("ChkAffichePoppup")->setChecked(false);
    rig.form.findChild<QLineEdit*>("Text1")->setText("2");
    rig.sleeper.duringFirstSleep = [&] {
      rig.form.findChild<QLineEdit*>("Text2")->setText("5");
      rig.form.findChild<QLineEdit*>("Text5")->setText("COM9");
    };
    rig.form.LancerSerie();
    QCOMPARE(rig.clock.now().count(), 4000);
    QCOMPARE(rig.ports.opensPerService.size(), 2u);
  }
};

} // namespace obturix

QTEST_MAIN(obturix::Form1SeriesTest)
#include "form1_series_test.moc"
