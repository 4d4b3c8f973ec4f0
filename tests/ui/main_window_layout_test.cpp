#include "ui/control_table.h"
#include "ui/dialog_font.h"
#include "ui/form1.h"
#include "ui/window_rig.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace obturix {

namespace {

QString qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString captionOf(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w))
    return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(w))
    return edit->text();
  if (auto* frame = qobject_cast<QGroupBox*>(w))
    return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(w))
    return button->text();
  return {};
}

bool isKind(QWidget* w, ControlKind kind) {
  switch (kind) {
  case ControlKind::Label:
    return qobject_cast<QLabel*>(w) != nullptr;
  case ControlKind::TextBox:
    return qobject_cast<QLineEdit*>(w) != nullptr;
  case ControlKind::Frame:
    return qobject_cast<QGroupBox*>(w) != nullptr;
  case ControlKind::PushButton:
    return qobject_cast<QPushButton*>(w) != nullptr;
  case ControlKind::CheckBox:
    return qobject_cast<QCheckBox*>(w) != nullptr;
  }
  return false;
}

// The width a caption needs on one line inside its control.
int neededWidth(QWidget* w, const QString& caption) {
  const int text = w->fontMetrics().horizontalAdvance(caption);
  if (auto* box = qobject_cast<QCheckBox*>(w))
    return box->sizeHint().width() - box->fontMetrics().horizontalAdvance(box->text()) + text;
  if (qobject_cast<QGroupBox*>(w))
    return text + 16;
  if (qobject_cast<QPushButton*>(w))
    return text + 8;
  return text;
}

} // namespace

class MainWindowLayoutTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { useDialogFont(*qApp); }

  void controlsFollowTheTable_data() {
    QTest::addColumn<int>("row");
    int row = 0;
    for (const auto& entry : mainWindowControls())
      QTest::newRow(entry.name.data()) << row++;
  }

  void controlsFollowTheTable() {
    QFETCH(int, row);
    const ControlSpec& entry = mainWindowControls()[static_cast<std::size_t>(row)];
    testing::WindowRig rig;
    Form1& form = rig.form;
    auto* control = form.findChild<QWidget*>(qt(entry.name));
    QVERIFY(control);
    const QString container = control->parentWidget() == &form
                                  ? QStringLiteral("Form1")
                                  : control->parentWidget()->objectName();
    QCOMPARE(container, qt(entry.container));
    QVERIFY(isKind(control, entry.kind));
    QCOMPARE(captionOf(control), qt(entry.caption));
    QCOMPARE(control->geometry(),
             QRect(entry.left / 15, entry.top / 15, entry.width / 15, entry.height / 15));
    QVERIFY(control->isEnabled());
    if (auto* field = qobject_cast<QLineEdit*>(control))
      QVERIFY(field->maxLength() >= 100000); // a field has no length limit of its own
    // Every caption fits its box on one line, in the font in use.
    if (entry.name != "Label4" && entry.kind != ControlKind::TextBox) {
      QVERIFY2(neededWidth(control, captionOf(control)) <= control->width(),
               qPrintable(control->objectName()));
      QVERIFY2(control->fontMetrics().height() <= control->height(),
               qPrintable(control->objectName()));
    }
  }

  void windowIsFixedAndChecksStartAsDrawn() {
    testing::WindowRig rig;
    Form1& form = rig.form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Obturix"));
    QCOMPARE(form.size(), QSize(435, 442));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.findChild<QCheckBox*>("ChkAffichePoppup")->isChecked());
    QVERIFY(!form.findChild<QCheckBox*>("ChkMiro")->isChecked());
    QVERIFY(!form.annulation());
    for (auto* button : form.findChildren<QPushButton*>())
      QVERIFY(!button->isDefault() && !button->autoDefault());
  }

  void counterIsDrawnAboveItsHeading() {
    testing::WindowRig rig;
    Form1& form = rig.form;
    auto* counter = form.findChild<QLabel*>("LabEc");
    auto* heading = form.findChild<QLabel*>("Label5");
    QVERIFY(heading->geometry().contains(counter->geometry()));
    const auto siblings = form.children();
    QVERIFY(siblings.indexOf(counter) > siblings.indexOf(heading));
    QVERIFY(counter->font().bold());
    QCOMPARE(counter->font().pointSize(), 18);
    QCOMPARE(counter->palette().color(QPalette::Window),
             counter->palette().color(QPalette::HighlightedText));
  }

  void focusStartsOnLancerAndFollowsTheTabOrder() {
    testing::WindowRig rig;
    Form1& form = rig.form;
    form.show();
    QCOMPARE(form.focusWidget()->objectName(), QStringLiteral("Command1"));
    const QStringList expected = {"Command1", "Command2", "Text3",   "Text2", "Text1",
                                  "Text6",    "Text7",    "ChkMiro", "Text5", "ChkAffichePoppup",
                                  "Command1"};
    QStringList visited = {"Command1"};
    QWidget* w = form.findChild<QWidget*>("Command1");
    while (visited.size() < expected.size()) {
      w = w->nextInFocusChain();
      if (w->focusPolicy() & Qt::TabFocus && w->isEnabled() && w != &form)
        visited << w->objectName();
    }
    QCOMPARE(visited, expected);
  }
};

} // namespace obturix

QTEST_MAIN(obturix::MainWindowLayoutTest)
#include "main_window_layout_test.moc"
