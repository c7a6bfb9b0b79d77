#include "window_system.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

// After Qt's headers: Xlib's macros (Bool, Status) would break them.
#include <X11/Xlib.h>

namespace mozenta {
namespace {

// How long the window system gets to tell what it uncovered, once it has seen the dialog go.
constexpr int kExposureWaitMs = 20;

}  // namespace

void LetWindowSystemRepaint() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return;
  // The X server has unmapped the dialog and sent its exposures once this round trip returns; they reach
  // the event loop through Qt's reader thread.
  XSync(x11->display(), False);
  QEventLoop loop;
  QTimer::singleShot(kExposureWaitMs, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace mozenta
