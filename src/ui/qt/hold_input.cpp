#include "ui/qt/hold_input.h"

#include "threads/timing_thread.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <map>
#include <vector>

namespace obturix {

namespace {

constexpr std::chrono::milliseconds pickUpEvery{40};
// Beyond that, a key held down or a cat on the keyboard: dropped, not piled up.
constexpr std::size_t mostHeld = 1000;

// Takes the clicks and keys meant for some windows before any widget sees
// them, and hands them back to the window system, in order, when dropped.
// (Qt's own holding of input, ExcludeUserInputEvents, holds the windows'
// close requests too.) Only whole clicks are handed back: a press whose
// release went to another window meanwhile is over for the user, and alone
// it would leave a button pressed and the next click taken as its end.
class InputHold final : public QObject {
public:
  // The windows on screen: a hidden one (a menu closed earlier, kept for
  // next time) takes no input meant for the window.
  explicit InputHold(const QWindowList& windows) {
    for (QWindow* window : windows)
      if (window->isVisible())
        windows_.emplace_back(window);
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~InputHold() override {
    QCoreApplication::instance()->removeEventFilter(this);
    for (const auto& [button, index] : openPresses_)
      if (!(QGuiApplication::mouseButtons() & button))
        held_[index] = nullptr;
    for (const auto& handBack : held_)
      if (handBack)
        handBack();
  }
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    auto* window = qobject_cast<QWindow*>(receiver);
    if (!window || std::find(windows_.begin(), windows_.end(), window) == windows_.end())
      return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      keep(window, *static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      keep(window, *static_cast<QKeyEvent*>(event));
      return true;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
      event->ignore(); // Qt then makes clicks of the touches, held above
      return true;
    case QEvent::MouseButtonDblClick: // made again from the presses handed back
    case QEvent::Wheel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
    }
  }

private:
  void keep(QWindow* window, const QMouseEvent& e) {
    if (e.type() == QEvent::MouseButtonPress && held_.size() < mostHeld)
      openPresses_[e.button()] = held_.size();
    else if (e.type() == QEvent::MouseButtonRelease)
      openPresses_.erase(e.button());
    keep([window = QPointer(window), time = e.timestamp(), local = e.position(),
          global = e.globalPosition(), buttons = e.buttons(), button = e.button(), type = e.type(),
          modifiers = e.modifiers()] {
      if (window && window->isVisible())
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window, time, local, global, buttons, button, type, modifiers);
    });
  }
  void keep(QWindow* window, const QKeyEvent& e) {
    keep([window = QPointer(window), time = e.timestamp(), type = e.type(), key = e.key(),
          modifiers = e.modifiers(), scanCode = e.nativeScanCode(),
          virtualKey = e.nativeVirtualKey(), nativeModifiers = e.nativeModifiers(), text = e.text(),
          repeated = e.isAutoRepeat(), count = static_cast<ushort>(e.count())] {
      if (window && window->isVisible())
        QWindowSystemInterface::handleExtendedKeyEvent(window, time, type, key, modifiers, scanCode,
                                                       virtualKey, nativeModifiers, text, repeated,
                                                       count);
    });
  }
  void keep(std::function<void()> handBack) {
    if (held_.size() < mostHeld)
      held_.push_back(std::move(handBack));
  }

  std::vector<QPointer<QWindow>> windows_;
  std::vector<std::function<void()>> held_;
  std::map<Qt::MouseButton, std::size_t> openPresses_; // held, their release not yet
};

} // namespace

void runHoldingInput(const std::function<void(const HandOver&)>& cycles) {
  QEventLoop loop;
  TimingThread timing(cycles, [&loop] {
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QTimer pickUp;
  QObject::connect(&pickUp, &QTimer::timeout, &loop, [&] { timing.runHandedOver(); });
  pickUp.start(pickUpEvery);
  {
    const InputHold hold(QGuiApplication::topLevelWindows());
    loop.exec();
  }
  timing.finish();
}

} // namespace obturix
