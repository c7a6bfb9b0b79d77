#include "window_system.h"

#include <QApplication>
#include <QWidget>

#include "x11_round_trip.h"

namespace mozenta {

void LetWindowSystemRepaint(const QRect& uncovered) {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  // Once this round trip returns the X server has taken the dialog off the screen. Its exposures would
  // still have to pass through Qt's reader thread; the windows it covered are painted again at once.
  X11RoundTrip(x11->display());
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->frameGeometry().intersects(uncovered)) window->repaint();
  }
}

}  // namespace mozenta
