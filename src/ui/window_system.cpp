#include "window_system.h"

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <chrono>
#include <vector>

#include "x11_round_trip.h"

namespace mozenta {
namespace {

// A busy window manager may take a while to take a closed dialog's frame down; past this the work starts
// anyway.
constexpr auto kLongestWait = std::chrono::milliseconds(500);

}  // namespace

void LetWindowSystemRepaint(const QRect& uncovered) {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  std::vector<QWidget*> covered;
  std::vector<unsigned long> ownWindows;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || !window->frameGeometry().intersects(uncovered)) continue;
    covered.push_back(window);
    ownWindows.push_back(window->winId());
  }
  if (covered.empty()) return;
  // Once this round trip returns the X server has taken the dialog off the screen; its frame goes when the
  // window manager gets to it. The exposures would still have to pass through Qt's reader thread: the
  // windows the dialog covered are painted again at once.
  X11RoundTrip(x11->display());
  const std::vector<unsigned long> ownFrames = X11TopLevels(x11->display(), ownWindows);
  const auto end = std::chrono::steady_clock::now() + kLongestWait;
  while (X11OthersCover(x11->display(), uncovered.x(), uncovered.y(), uncovered.width(), uncovered.height(),
                        ownFrames) &&
         std::chrono::steady_clock::now() < end) {
    QThread::msleep(2);
  }
  for (QWidget* window : covered)
    window->repaint();
}

}  // namespace mozenta
