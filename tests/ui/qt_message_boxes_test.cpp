#include "ui/qt_message_boxes.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace obturix {

class QtMessageBoxesTest : public QObject {
  Q_OBJECT

private:
  struct Seen {
    QString title, text;
    QStringList buttons;
    bool icon = true;
  };

  // Answers the next modal box with a key, after noting what it shows.
  static void answerWith(Qt::Key key, Seen& seen) {
    QTimer::singleShot(0, [key, &seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      seen.title = box->windowTitle();
      seen.text = box->text();
      seen.icon = box->icon() != QMessageBox::NoIcon;
      for (auto* button : box->buttons())
        seen.buttons << button->text();
      QTest::keyClick(box, key);
    });
  }

private slots:
  void yesIsTheDefaultAndCarriageReturnsBreakLines() {
    QtMessageBoxes boxes;
    Seen seen;
    answerWith(Qt::Key_Return, seen);
    const int answer = boxes.show("Lancer ?\r\rTemps : 1", MessageButtons::YesNo,
                                  std::string("Lancer la session de prises de vues ?"));
    QCOMPARE(answer, 6);
    QCOMPARE(seen.title, QStringLiteral("Lancer la session de prises de vues ?"));
    QCOMPARE(seen.text, QStringLiteral("Lancer ?\n\nTemps : 1"));
    QCOMPARE(seen.buttons, (QStringList{"Oui", "Non"}));
    QVERIFY(!seen.icon);
  }

  void escapeAnswersNo() {
    QtMessageBoxes boxes;
    Seen seen;
    answerWith(Qt::Key_Escape, seen);
    QCOMPARE(boxes.show("?", MessageButtons::YesNo), 7);
  }

  void noticesAreTitledWithTheProgramsName() {
    QtMessageBoxes boxes;
    Seen seen;
    answerWith(Qt::Key_Return, seen);
    QCOMPARE(boxes.show("La série de pauses est terminée ", MessageButtons::Ok), 1);
    QCOMPARE(seen.title, QStringLiteral("Obturix"));
    QCOMPARE(seen.text, QString::fromUtf8("La série de pauses est terminée "));
    QCOMPARE(seen.buttons, QStringList{"OK"});
  }
};

} // namespace obturix

QTEST_MAIN(obturix::QtMessageBoxesTest)
#include "qt_message_boxes_test.moc"
