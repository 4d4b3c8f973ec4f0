#include "ui/qt/hold_input.h"

#include "window/timing_thread.h"

#include <QEventLoop>
#include <QTimer>

namespace obturix {

namespace {

constexpr std::chrono::milliseconds pickUpEvery{40};

} // namespace

void runHoldingInput(const std::function<void(const OnWindowThread&)>& cycles) {
  QEventLoop loop;
  TimingThread timing(cycles, [&loop] {
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QTimer pickUp;
  QObject::connect(&pickUp, &QTimer::timeout, &loop, [&] { timing.runHandedOver(); });
  pickUp.start(pickUpEvery);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  timing.finish();
}

} // namespace obturix
