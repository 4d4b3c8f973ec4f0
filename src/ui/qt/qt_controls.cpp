#include "ui/qt/qt_controls.h"

#include "ui/qt/qt_application.h"
#include "window/control_table.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <limits>
#include <vector>

namespace obturix {

namespace {

int pixels(int twips) { return twips / twipsPerPixel; }

QString qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment qtAlignment(Alignment alignment) {
  switch (alignment) {
  case Alignment::Right:
    return Qt::AlignRight | Qt::AlignTop;
  case Alignment::Centre:
    return Qt::AlignHCenter | Qt::AlignTop;
  case Alignment::Left:
    break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

// A check box that answers a click anywhere in its rectangle, not only on
// its box and caption.
class WholeAreaCheckBox final : public QCheckBox {
public:
  using QCheckBox::QCheckBox;

protected:
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

// The counter: a sunken box on the highlighted-text colour, in a large bold
// font whose colour stands out from it whatever the scheme.
void giveCounterLook(QLabel& counter) {
  counter.setFrameStyle(QFrame::Panel | QFrame::Sunken);
  counter.setLineWidth(2);
  counter.setAutoFillBackground(true);
  QPalette palette = counter.palette();
  const QColor background = palette.color(QPalette::HighlightedText);
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText,
                   qtColour(counterDigitColour(schemeColour(background),
                                               schemeColour(palette.color(QPalette::WindowText)),
                                               schemeColour(palette.color(QPalette::Highlight)))));
  counter.setPalette(palette);
  QFont font = counter.font();
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(18);
  font.setWeight(QFont::Bold);
  counter.setFont(font);
  counter.setWordWrap(false);
}

QWidget* createControl(const ControlEntry& entry, QWidget& parent) {
  const QString caption = qt(entry.caption);
  switch (entry.kind) {
  case ControlKind::Label: {
    auto* label = new QLabel(caption, &parent);
    label->setAlignment(qtAlignment(entry.alignment));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    if (entry.counterLook)
      giveCounterLook(*label);
    return label;
  }
  case ControlKind::TextBox: {
    auto* field = new QLineEdit(caption, &parent);
    field->setMaxLength(std::numeric_limits<int>::max()); // no limit of its own
    return field;
  }
  case ControlKind::Frame:
    return new QGroupBox(caption, &parent);
  case ControlKind::PushButton: {
    auto* button = new QPushButton(caption, &parent);
    button->setAutoDefault(false);
    return button;
  }
  case ControlKind::CheckBox: {
    auto* box = new WholeAreaCheckBox(caption, &parent);
    box->setChecked(entry.checked);
    return box;
  }
  }
  return nullptr;
}

void setFocusOrder(const QtControls& controls) {
  const std::vector<Control> order = focusOrder();
  for (std::size_t i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(controls[indexOf(order[i - 1])], controls[indexOf(order[i])]);
}

} // namespace

QtControls createControls(QWidget& window) {
  window.setFixedSize(pixels(clientWidthTwips), pixels(clientHeightTwips));
  QtControls controls{};
  for (const ControlEntry& entry : mainWindowControls()) {
    QWidget& parent = entry.frame ? *controls[indexOf(*entry.frame)] : window;
    QWidget* control = createControl(entry, parent);
    control->setObjectName(qt(entry.name));
    const TwipsRect& at = entry.at;
    control->setGeometry(pixels(at.left), pixels(at.top), pixels(at.width), pixels(at.height));
    controls[indexOf(entry.control)] = control;
  }
  for (const ControlEntry& entry : mainWindowControls()) {
    QWidget* control = controls[indexOf(entry.control)];
    if (entry.labelledBy)
      control->setAccessibleName(qt(entryOf(*entry.labelledBy).caption));
    // The counter lies inside its heading "Pause en cours", created after
    // it: drawn above it.
    if (entry.counterLook)
      control->raise();
  }
  setFocusOrder(controls);
  return controls;
}

} // namespace obturix
