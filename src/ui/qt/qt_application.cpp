#include "ui/qt/qt_application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTranslator>

namespace obturix {

namespace {

void useDialogFont(QApplication& application) {
  const QStringList installed = QFontDatabase::families();
  QFont font = application.font();
  for (const char* family : {"Liberation Sans", "Arial", "Arimo", "Helvetica"}) {
    if (installed.contains(QString::fromLatin1(family))) {
      font.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  font.setPointSize(8);
  application.setFont(font);
}

void speakFrench(QApplication& application) {
  auto* translator = new QTranslator(&application);
  if (translator->load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
}

// The desktop entry's name, so that docks and task bars match the window
// to its launcher (the Wayland app id and the X11 class follow it); the
// icon of the desktop's theme, or the program's own.
void identifyWithTheLauncher(QApplication& application) {
  QGuiApplication::setDesktopFileName(QStringLiteral("org.obturix.Obturix"));
  QIcon own;
  for (const int size : {16, 24, 32, 48, 64, 128, 256})
    own.addFile(QStringLiteral(":/icons/%1x%1/obturix.png").arg(size), QSize(size, size));
  application.setWindowIcon(QIcon::fromTheme(QStringLiteral("obturix"), own));
}

// The night scheme in the roles the style draws with, for every control and
// every box; a disabled field dimmer on the window's black.
QPalette nightPalette() {
  const ColourScheme& n = nightScheme();
  QPalette palette;
  const std::pair<QPalette::ColorRole, Colour> roles[] = {
      {QPalette::Window, n.window},
      {QPalette::WindowText, n.windowText},
      {QPalette::Base, n.base},
      {QPalette::AlternateBase, n.base},
      {QPalette::Text, n.text},
      {QPalette::Button, n.button},
      {QPalette::ButtonText, n.buttonText},
      {QPalette::BrightText, n.windowText},
      {QPalette::Light, n.light},
      {QPalette::Midlight, n.mid},
      {QPalette::Mid, n.mid},
      {QPalette::Dark, n.dark},
      {QPalette::Shadow, n.window},
      {QPalette::Highlight, n.highlight},
      {QPalette::HighlightedText, n.highlightedText},
      {QPalette::ToolTipBase, n.button},
      {QPalette::ToolTipText, n.text},
      {QPalette::PlaceholderText, n.disabledText},
      {QPalette::Link, n.windowText},
      {QPalette::LinkVisited, n.windowText},
  };
  for (const auto& [role, colour] : roles)
    palette.setColor(role, qtColour(colour));
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, qtColour(n.disabledText));
  palette.setColor(QPalette::Disabled, QPalette::Base, qtColour(n.window));
  return palette;
}

// The classic style's dotted focus frame takes the colour opposite to what
// lies under it: white on the night's black. There, the highlight's red.
class NightStyle final : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameFocusRect) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    painter->save();
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
};

} // namespace

QColor qtColour(Colour colour) { return {colour.red, colour.green, colour.blue}; }

Colour schemeColour(const QColor& colour) {
  return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
          static_cast<std::uint8_t>(colour.blue())};
}

void setUpApplication(QApplication& application, bool night) {
  identifyWithTheLauncher(application);
  useDialogFont(application);
  // The classic style draws a frame's caption on its border, where the
  // controls inside the frames were placed to leave room for it; it draws
  // with the palette alone, the night's too.
  if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
    application.setStyle(night ? new NightStyle(classic) : classic);
  if (night)
    QApplication::setPalette(nightPalette());
  speakFrench(application);
}

} // namespace obturix
