#include "window_system.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QWidget>
#include <chrono>

#include "x11_round_trip.h"

namespace mozenta {
namespace {

using Clock = std::chrono::steady_clock;

// After the round trip the exposures still pass through Qt's reader thread: events are handled until none
// has come for kQuietTime, for at most kLongestWait.
constexpr auto kQuietTime = std::chrono::milliseconds(2);
constexpr auto kLongestWait = std::chrono::milliseconds(20);

bool UncoversAWindow(const QRect& uncovered) {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->frameGeometry().intersects(uncovered)) return true;
  }
  return false;
}

}  // namespace

void LetWindowSystemRepaint(const QRect& uncovered) {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr || !UncoversAWindow(uncovered)) return;
  // The X server has unmapped the dialog and sent its exposures once this round trip returns.
  X11RoundTrip(x11->display());
  QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher();
  const Clock::time_point end = Clock::now() + kLongestWait;
  Clock::time_point lastEvent = Clock::now();
  while (Clock::now() < end && Clock::now() - lastEvent < kQuietTime) {
    if (dispatcher->processEvents(QEventLoop::ExcludeUserInputEvents)) {
      lastEvent = Clock::now();
    } else {
      QThread::usleep(200);
    }
  }
}

}  // namespace mozenta
