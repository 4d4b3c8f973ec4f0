#include "ui/event_loop_sleeper.h"
#include "ui/window_rig.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

namespace obturix {

namespace {

QWidget* child(QWidget& form, const char* name) { return form.findChild<QWidget*>(name); }

// A click as the window system delivers it: queued, so an event loop that
// holds back user input leaves it waiting.
void queueSystemClick(QWidget& target) {
  QWindow* window = target.window()->windowHandle();
  const QPointF local = target.mapTo(target.window(), target.rect().center());
  const QPointF global = target.mapToGlobal(target.rect().center());
  QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
      window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
  QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
      window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

} // namespace

class Form1BehaviourTest : public QObject {
  Q_OBJECT

private slots:
  void loadingShowsTheWelcomeAndSetsAnnulation() {
    testing::WindowRig rig;
    QVERIFY(!rig.form.annulation());
    rig.form.show();
    QCOMPARE(rig.form.findChild<QLabel*>("Label4")->text(),
             QString::fromUtf8(
                 "Bonjour,\n\nbienvenue dans Obturix !\n\n V1.0.0 et c'est pas la dernière"));
    QVERIFY(rig.form.annulation());
    // Pressing "Lancer " clears it, whether or not the series is confirmed.
    rig.boxes.answers = {answerNo};
    QTest::mouseClick(child(rig.form, "Command1"), Qt::LeftButton);
    QVERIFY(!rig.form.annulation());
    // First run: the mirror box unchecked, its fields enabled all the same.
    QVERIFY(child(rig.form, "Text6")->isEnabled());
  }

  void mirrorBoxEnablesItsFieldsByMouseAndKeyboard() {
    testing::WindowRig rig;
    rig.form.show();
    auto* box = rig.form.findChild<QCheckBox*>("ChkMiro");
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked() && child(rig.form, "Text6")->isEnabled() &&
            child(rig.form, "Text7")->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isChecked() && !child(rig.form, "Text6")->isEnabled() &&
            !child(rig.form, "Text7")->isEnabled());
    QVERIFY(child(rig.form, "Label7")->isEnabled());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QVERIFY(box->isChecked() && child(rig.form, "Text6")->isEnabled());
  }

  void onlyTheBareBackgroundAnswersAClick() {
    testing::WindowRig rig;
    rig.form.show();
    const struct {
      const char* where;
      QPoint point;
      bool answers;
    } clicks[] = {
        {"background", {5, 200}, true},
        {"Label5", child(rig.form, "Label5")->geometry().topLeft() + QPoint(2, 2), false},
        {"LabEc", child(rig.form, "LabEc")->geometry().center(), false},
        {"Label4", child(rig.form, "Label4")->geometry().center(), false},
        {"Frame1 border", child(rig.form, "Frame1")->geometry().topLeft() + QPoint(3, 30), false},
        {"Label2",
         child(rig.form, "Frame1")->geometry().topLeft() +
             child(rig.form, "Label2")->geometry().center(),
         false},
    };
    for (const auto& click : clicks) {
      rig.log.clear();
      QWidget* target = rig.form.childAt(click.point);
      QWidget* receiver = target ? target : &rig.form;
      QTest::mouseClick(receiver, Qt::LeftButton, {}, receiver->mapFrom(&rig.form, click.point));
      const auto expected = click.answers ? std::vector<std::string>{"box Obturix: click"}
                                          : std::vector<std::string>{};
      QVERIFY2(rig.log.events() == expected, click.where);
    }
    QCOMPARE(rig.form.findChild<QLabel*>("LabEc")->text(), QStringLiteral("0"));
  }

  void quitterEndsTheModalDisplayAtOnce() {
    testing::WindowRig rig;
    QTimer::singleShot(0, [&] { QTest::mouseClick(child(rig.form, "Command2"), Qt::LeftButton); });
    rig.form.exec();
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.log.events().empty());
  }

  void escapeDoesNotCloseTheWindow() {
    testing::WindowRig rig;
    rig.form.show();
    QTest::keyClick(&rig.form, Qt::Key_Escape);
    QVERIFY(rig.form.isVisible());
  }

  void closeBoxDuringASeriesClosesWhenItEnds() {
    testing::WindowRig rig;
    rig.form.findChild<QCheckBox*>("ChkAffichePoppup")->setChecked(false);
    rig.form.findChild<QLineEdit*>("Text1")->setText("2");
    rig.form.show();
    bool visibleAfterClose = false;
    rig.sleeper.duringFirstSleep = [&] {
      rig.form.close();
      visibleAfterClose = rig.form.isVisible();
    };
    rig.form.LancerSerie();
    QVERIFY(visibleAfterClose);
    QCOMPARE(rig.clock.now().count(), 4000); // both cycles ran to the end
    QVERIFY(!rig.form.isVisible());
  }

  // The real wait: the window keeps answering (timers and paints run) while
  // clicks made during the series wait until it is over.
  void inputDuringASeriesIsHeldUntilItsEnd() {
    testing::EventLog log;
    testing::FakeSerialPortServiceFactory ports{log};
    testing::FakeMessageBoxes boxes{log};
    EventLoopSleeper sleeper;
    ExposureCycle cycle{ports, sleeper};
    MemoryRegistry registry;
    RegistrySettingsStore settings{registry};
    Form1 form{cycle, boxes, settings};
    form.findChild<QCheckBox*>("ChkAffichePoppup")->setChecked(false);
    form.findChild<QLineEdit*>("Text1")->setText("2");
    form.findChild<QLineEdit*>("Text2")->setText("0.02");
    form.findChild<QLineEdit*>("Text3")->setText("0.02");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    bool timerRanDuringSeries = false;
    QTimer::singleShot(5, [&] {
      timerRanDuringSeries = true;
      queueSystemClick(*child(form, "ChkMiro"));
      queueSystemClick(*child(form, "Command2")); // "Quitter"
    });
    form.LancerSerie();

    QVERIFY(timerRanDuringSeries);
    QCOMPARE(log.events().size(), 4u); // two opens, two closes: the series ran whole
    QVERIFY(form.isVisible());
    QVERIFY(!form.findChild<QCheckBox*>("ChkMiro")->isChecked());
    QTRY_VERIFY(!form.isVisible());                              // then "Quitter" is handled
    QVERIFY(form.findChild<QCheckBox*>("ChkMiro")->isChecked()); // and nothing was lost
  }
};

} // namespace obturix

QTEST_MAIN(obturix::Form1BehaviourTest)
#include "form1_behaviour_test.moc"
