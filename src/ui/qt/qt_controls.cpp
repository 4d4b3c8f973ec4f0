#include "ui/main_window_layout.h"

#include "ui/control_table.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <algorithm>
#include <limits>
#include <map>
#include <vector>

namespace obturix {

namespace {

constexpr int clientWidthTwips = 6525;
constexpr int clientHeightTwips = 6630;

int pixels(int twips) { return twips / twipsPerPixel; }

QString qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment labelAlignment(std::string_view name) {
  static const std::string_view rightAligned[] = {"Label1", "Label2", "Label3",
                                                  "Label6", "Label7", "Label8"};
  if (std::find(std::begin(rightAligned), std::end(rightAligned), name) != std::end(rightAligned))
    return Qt::AlignRight | Qt::AlignTop;
  if (name == "Label5" || name == "LabEc")
    return Qt::AlignHCenter | Qt::AlignTop;
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

// The counter: a sunken box on the highlighted-text colour, in a large bold font.
void styleCounter(QLabel& counter) {
  counter.setFrameStyle(QFrame::Panel | QFrame::Sunken);
  counter.setLineWidth(2);
  counter.setAutoFillBackground(true);
  QPalette palette = counter.palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::HighlightedText));
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

QWidget* createControl(const ControlSpec& entry, QWidget& parent) {
  const QString caption = qt(entry.caption);
  switch (entry.kind) {
  case ControlKind::Label: {
    auto* label = new QLabel(caption, &parent);
    label->setAlignment(labelAlignment(entry.name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
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
  case ControlKind::CheckBox:
    return new WholeAreaCheckBox(caption, &parent);
  }
  return nullptr;
}

} // namespace

void createMainWindowControls(QWidget& window) {
  window.setFixedSize(pixels(clientWidthTwips), pixels(clientHeightTwips));
  std::map<std::string_view, QWidget*> created{{"Form1", &window}};
  std::vector<std::pair<int, QWidget*>> focusOrder;
  for (const ControlSpec& entry : mainWindowControls()) {
    QWidget* control = createControl(entry, *created.at(entry.container));
    control->setObjectName(qt(entry.name));
    control->setGeometry(pixels(entry.left), pixels(entry.top), pixels(entry.width),
                         pixels(entry.height));
    created[entry.name] = control;
    if (control->focusPolicy() != Qt::NoFocus)
      focusOrder.emplace_back(entry.tabOrder, control);
  }
  auto& counter = static_cast<QLabel&>(*created.at("LabEc"));
  styleCounter(counter);
  counter.raise(); // above the heading "Pause en cours" that surrounds it
  static_cast<QCheckBox*>(created.at("ChkAffichePoppup"))->setChecked(true);

  std::sort(focusOrder.begin(), focusOrder.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < focusOrder.size(); ++i)
    QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
}

} // namespace obturix
