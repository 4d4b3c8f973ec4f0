#include "fakes/fake_series_services.h"
#include "series/series_words.h"
#include "threads/termination_signals_posix.h"
#include "ui/qt/command_line.h"
#include "ui/qt/hold_input.h"
#include "ui/qt/qt_application.h"
#include "ui/qt/qt_form1.h"
#include "window/control_table.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <qpa/qwindowsysteminterface.h>

namespace obturix {

namespace {

using enum Control;

// The Qt window on fake services, with the fake clock or the real one.
struct QtRig : testing::FakeSeriesServices {
  explicit QtRig(bool realClock = false)
      : realCycle(realClock ? std::make_optional<ExposureCycle>(ports, *systemSleeper)
                            : std::nullopt) {}

  template <class Widget = QWidget> Widget& get(Control control) {
    return static_cast<Widget&>(form.widget(control));
  }
  void type(Control field, const char* text) { get<QLineEdit>(field).setText(text); }

  std::unique_ptr<Sleeper> systemSleeper = makeSystemSleeper();
  std::optional<ExposureCycle> realCycle;
  QtForm1 form{
      {{realCycle ? *realCycle : cycle, ports, wakeLock, wallClock, power, journals}, settings}};
};

struct SeenBox {
  bool shown = false;
  QString title, text;
  QStringList buttons;
  bool icon = false;
  int width = 0;
};

// Answers the next modal message box with a key, after noting what it shows.
void answerNextBox(Qt::Key key, SeenBox& seen) {
  QTimer::singleShot(0, [key, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
      return;
    seen = {true,        box->windowTitle(), box->text(), {}, box->icon() != QMessageBox::NoIcon,
            box->width()};
    for (auto* button : box->buttons())
      seen.buttons << button->text();
    QTest::keyClick(box, key);
  });
}

// A press or a release as the window system delivers it: queued, so an
// event loop that holds back user input leaves it waiting.
void queueSystemButton(QWidget& target, QEvent::Type type) {
  QWindow* window = target.window()->windowHandle();
  const QPointF local = target.mapTo(target.window(), target.rect().center());
  const QPointF global = target.mapToGlobal(target.rect().center());
  const bool press = type == QEvent::MouseButtonPress;
  QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
      window, local, global, press ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
}

void queueSystemClick(QWidget& target) {
  queueSystemButton(target, QEvent::MouseButtonPress);
  queueSystemButton(target, QEvent::MouseButtonRelease);
}

} // namespace

class QtForm1Test : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { setUpApplication(*qApp); }

  // A logout (SIGHUP), a shutdown (SIGTERM) and Ctrl-C (SIGINT) reach the
  // window's loop, which stops a series first, rather than ending the
  // program at once.
  void terminationSignalsReachTheLoop() {
    TerminationSignals endSignals;
    QVERIFY(endSignals.descriptor() >= 0);
    for (const int signal : {SIGHUP, SIGTERM, SIGINT}) {
      raise(signal);
      QCOMPARE(endSignals.take(), signal);
    }
  }

  // --grand doubles Qt's scale, the one the user set included (one Qt could
  // not read counting as 1); without it, the scale is left as it is.
  void largeDoublesTheScaleAlreadySet() {
    const struct {
      const char* set; // nullptr: unset
      bool large;
      const char* scale;
    } cases[] = {{nullptr, true, "2"},
                 {"1.5", true, "3"},
                 {"abc", true, "2"},
                 {"0", true, "2"},
                 {"1.5", false, "1.5"}};
    for (const auto& each : cases) {
      if (each.set)
        qputenv("QT_SCALE_FACTOR", each.set);
      else
        qunsetenv("QT_SCALE_FACTOR");
      CommandLine command;
      command.large = each.large;
      scaleAsAsked(command);
      QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray(each.scale));
    }
    qunsetenv("QT_SCALE_FACTOR");
  }

  // That every caption fits its box is seen on the reviewed screenshots.
  void fieldsHaveNoLimit() {
    QtRig rig;
    for (const ControlEntry& entry : mainWindowControls())
      if (entry.kind == ControlKind::TextBox)
        QVERIFY(static_cast<QLineEdit&>(rig.form.widget(entry.control)).maxLength() >= 100000);
  }

  void focusStartsOnLancerAndFollowsTheTabOrder() {
    QtRig rig;
    rig.form.show();
    const QStringList expected = {"Command1", "Command2", "Text3",   "Text2", "Text1",
                                  "Text6",    "Text7",    "ChkMiro", "Text5", "ChkAffichePoppup",
                                  "Command1"};
    QStringList visited = {rig.form.focusWidget()->objectName()};
    QWidget* w = rig.form.focusWidget();
    while (visited.size() < expected.size()) {
      w = w->nextInFocusChain();
      if (w->focusPolicy() & Qt::TabFocus && w->isEnabled() && w != &rig.form)
        visited << w->objectName();
    }
    QCOMPARE(visited, expected);
  }

  void screenReadersNameFieldsAfterTheirLabels() {
    QtRig rig;
    const std::pair<Control, const char*> names[] = {
        {Text5, "Port : "},
        {Text1, "Nombre de pauses : "},
        {Text2, "Temps de pause :(en secondes)"},
        {Text3, "Intervalle entre les pauses : (en secondes)"},
        {Text6, "Durée impulsion pour vérouillage miroir :"},
        {Text7, "Intervalle entre vérouillage miroir et début de pause :"},
        {LabEc, "Pause en cours"}};
    for (const auto& [control, name] : names)
      QCOMPARE(QAccessible::queryAccessibleInterface(&rig.get(control))->text(QAccessible::Name),
               QString::fromUtf8(name));
  }

  // Clicks are sent by the end-to-end test; keys here.
  void keysReachTheHandlersButNoDefaultButton() {
    QtRig rig;
    rig.form.show();
    QTest::keyClick(&rig.get(ChkMiro), Qt::Key_Space);
    QVERIFY(rig.get(Text6).isEnabled() && rig.get(Text7).isEnabled());
    QTest::keyClick(&rig.form, Qt::Key_Escape);       // closes a dialog, not this window
    QTest::keyClick(&rig.get(Text1), Qt::Key_Return); // presses no default button
    QVERIFY(rig.form.isVisible());
    QVERIFY(rig.ports.presses.empty());
  }

  // The real message box, once: titled with the program's name, OK only, no icon.
  void onlyTheBareBackgroundAnswersAClick() {
    QtRig rig;
    rig.form.show();
    const auto inside = [&](Control c, QPoint offset) {
      return rig.get(c).mapTo(&rig.form, offset);
    };
    const struct {
      const char* where;
      QPoint point;
      bool answers;
    } clicks[] = {
        {"background", {5, 200}, true},
        {"Label5", inside(Label5, {2, 2}), false},
        {"Frame1 border", inside(Frame1, {3, 30}), false},
        {"Label2", inside(Label2, {10, 5}), false},
    };
    for (const auto& click : clicks) {
      SeenBox seen;
      answerNextBox(Qt::Key_Return, seen);
      QWidget* target = rig.form.childAt(click.point);
      QWidget* receiver = target ? target : &rig.form;
      QTest::mouseClick(receiver, Qt::LeftButton, {}, receiver->mapFrom(&rig.form, click.point));
      QTest::qWait(0);
      QVERIFY2(seen.shown == click.answers, click.where);
      if (seen.shown) {
        QCOMPARE(seen.title, QStringLiteral("Obturix"));
        QCOMPARE(seen.text, QStringLiteral("click"));
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QVERIFY(!seen.icon);
      }
    }
  }

  // The box is at least as wide as its title in the desktop's title font
  // in bold (Qt's own rule, its title in a smaller plain font and 50
  // pixels, was cut by a window manager).
  void yesIsTheDefaultEscapeIsNoAndCarriageReturnsBreakLines() {
    QtMessageBoxes boxes;
    SeenBox seen;
    answerNextBox(Qt::Key_Return, seen);
    QCOMPARE(boxes.show("Lancer ?\r\rTemps : 1", MessageButtons::YesNo, confirmationTitle),
             answerYes);
    QCOMPARE(seen.title, QString::fromUtf8(confirmationTitle));
    QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    bold.setBold(true);
    const QFontMetrics title(bold); // with room for the window manager's icon and buttons
    QVERIFY(seen.width >= title.horizontalAdvance(seen.title) + 6 * title.height());
    QCOMPARE(seen.text, QStringLiteral("Lancer ?\n\nTemps : 1"));
    QCOMPARE(seen.buttons, (QStringList{"Oui", "Non"}));
    QVERIFY(!seen.icon);
    answerNextBox(Qt::Key_Escape, seen);
    QCOMPARE(boxes.show("?", MessageButtons::YesNo), answerNo);
  }

  // The close box during a series asks at once, the cycles and the counter
  // going on meanwhile; a stray Enter answers No, which leaves the series
  // whole and the window open; Yes stops it at once and closes the window.
  // A series that ends on its own leaves the box open until it is answered.
  void closeBoxDuringASeriesAsksAtOnce() {
    const struct {
      bool yes, afterTheEnd;
      std::size_t events; // kept awake, each press's open and close, may sleep
    } cases[] = {{false, false, 6}, {true, false, 4}, {true, true, 6}};
    for (const auto& c : cases) {
      QtRig rig{true};
      startShortSeries(rig);
      SeenBox seen;
      QTimer::singleShot(20, [&] {
        QTimer::singleShot(0, [&] { // in the box's own loop
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          QVERIFY(box);
          seen = {true, box->windowTitle(), box->text(), {box->defaultButton()->text()}, false, 0};
          if (c.afterTheEnd) // the series ends on its own (its thread lets the computer sleep)
            QTRY_COMPARE(rig.log.events().size(), c.events);
          else if (!c.yes)
            QTRY_COMPARE(rig.get<QLabel>(LabEc).text(), QStringLiteral("2"));
          if (c.yes)
            box->buttons().constFirst()->click(); // "Oui"
          else
            QTest::keyClick(box, Qt::Key_Return);
        });
        rig.form.close();
      });
      rig.form.behaviour().LancerSerie();
      QCOMPARE(seen.title, QStringLiteral("Obturix"));
      QCOMPARE(seen.text, QStringLiteral(u"Une série de poses est en cours.\nArrêter la série et "
                                         u"fermer Obturix\u00A0?"));
      QCOMPARE(seen.buttons, QStringList{"Non"}); // the default
      QCOMPARE(rig.log.events().size(), c.events);
      QCOMPARE(rig.form.isVisible(), !c.yes);
    }
  }

  // The window keeps answering (timers and paints run) and shows the counter
  // the timing thread hands over while the cycles run on their own thread;
  // clicks made during the series wait until it is over. A press whose
  // release went to another window is not handed back alone: it would leave
  // its button pressed.
  void inputDuringASeriesIsHeldUntilItsEnd() {
    QtRig rig{true};
    startShortSeries(rig);
    QWidget elsewhere; // a window of its own, opened during the series
    QTimer::singleShot(50, [&] {
      elsewhere.show();
      queueSystemButton(rig.get(Command1), QEvent::MouseButtonPress);
      queueSystemButton(elsewhere, QEvent::MouseButtonRelease);
    });
    QStringList counters; // as the window shows them, each change
    QString described;    // the counter's description for screen readers, its tooltip
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (counters.value(counters.size() - 1) != rig.get<QLabel>(LabEc).text())
        counters << rig.get<QLabel>(LabEc).text();
      const QString description = rig.get(LabEc).accessibleDescription();
      if (!description.isEmpty() && description == rig.get(LabEc).toolTip())
        described = description;
    });
    watch.start(5);
    QTimer::singleShot(5, [&] {
      queueSystemClick(rig.get(ChkMiro));
      queueSystemClick(rig.get(Command2)); // "Quitter"
    });
    rig.form.behaviour().LancerSerie();

    QCOMPARE(counters.last(), QStringLiteral("2")); // shown before the series ended
    QVERIFY2(described.startsWith(QString::fromUtf8("Pose 2 sur 2 — il reste")),
             qPrintable(described));
    QVERIFY(rig.get(LabEc).toolTip().isEmpty()); // none once it is over
    QCOMPARE(rig.log.events().size(), 6u);
    QVERIFY(rig.form.isVisible());
    QVERIFY(!rig.get<QCheckBox>(ChkMiro).isChecked());
    QTRY_VERIFY(!rig.form.isVisible());               // then "Quitter" is handled
    QVERIFY(rig.get<QCheckBox>(ChkMiro).isChecked()); // and nothing was lost
    QVERIFY(!rig.get<QPushButton>(Command1).isDown());
  }

private:
  // Two cycles of 200 ms on the real clock, shown on screen, without boxes.
  static void startShortSeries(QtRig& rig) {
    rig.get<QCheckBox>(ChkAffichePoppup).setChecked(false);
    rig.type(Text1, "2");
    rig.type(Text2, "0.1");
    rig.type(Text3, "0.1");
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
  }
};

} // namespace obturix

QTEST_MAIN(obturix::QtForm1Test)
#include "qt_form1_test.moc"
