#include "designed_window.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

#include "application_setup.h"

namespace mozenta {

DesignedWindow::DesignedWindow(const QString& caption, QSize outerSize)
    : QWidget(nullptr, Qt::Window), outerSize_(outerSize) {
  setWindowTitle(caption);
  ApplyWindowLook(*this);
  resize(outerSize_);
}

namespace {

// The frame the window manager gave the last window of ours it framed: the best guess for the next one.
std::optional<QMargins> lastWindowManagerFrame;

}  // namespace

void DesignedWindow::FitOuterSize(QMargins frame) {
  if (fittedFrame_ == frame) return;
  // A size the user gave the window stays.
  if (fittedFrame_ && size() != fittedClientSize_) return;
  fittedFrame_ = frame;
  fittedClientSize_ = QSize(outerSize_.width() - frame.left() - frame.right(),
                            outerSize_.height() - frame.top() - frame.bottom())
                          .expandedTo(minimumSize());
  resize(fittedClientSize_);
}

bool DesignedWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && windowHandle()->handle() != nullptr &&
      (event->type() == QEvent::Expose || event->type() == QEvent::Move)) {
    // On the screen the window has the frame the window manager gave it. Hidden, it has the frame it was
    // last given, or none while the window system has not framed it yet or no longer does.
    const QMargins frame = windowHandle()->frameMargins();
    if (windowHandle()->isExposed()) {
      exposed_ = true;
      if (!frame.isNull()) lastWindowManagerFrame = frame;
      FitOuterSize(frame);
    } else if (!frame.isNull()) {
      FitOuterSize(frame);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void DesignedWindow::WatchScreenWindow() {
  if (watching_ || windowHandle() == nullptr) return;
  watching_ = true;
  windowHandle()->installEventFilter(this);
}

void DesignedWindow::CreateScreenWindow() {
  winId();
  WatchScreenWindow();
  FitOuterSize(windowHandle()->frameMargins());
}

void DesignedWindow::MoveTo(int left, int top) {
  if (!HasScreenWindow()) return;
  placeWhenShown_.reset();
  move(left, top);
}

void ShowWindowInFront(QWidget& window) {
  if (window.windowState() & Qt::WindowMinimized)
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  // A window that comes onto the screen comes in front; only one already there needs raising.
  const bool alreadyShown = window.isVisible();
  window.show();
  if (alreadyShown) window.raise();
  window.activateWindow();
}

void DesignedWindow::ShowInFront() {
  ShowWindowInFront(*this);
}

int DesignedWindow::ShowModal() {
  modalResult_ = kModalNone;
  setWindowModality(Qt::ApplicationModal);
  ShowInFront();
  OnShownModally();
  QEventLoop loop;
  modalLoop_ = &loop;
  if (isVisible()) loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
  hide();
  setWindowModality(Qt::NonModal);
  if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
  return modalResult_;
}

void DesignedWindow::SetModalResult(int result) {
  modalResult_ = result;
  if (result != kModalNone && modalLoop_ != nullptr) hide();
}

void DesignedWindow::keyPressEvent(QKeyEvent* event) {
  // Return and Enter press the focused push button, as Space does. The button passes them on to its
  // window unless it is a dialog's default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button != nullptr && button->isEnabled() && button->isVisible() && button->window() == this) {
      button->click();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void DesignedWindow::showEvent(QShowEvent* event) {
  WatchScreenWindow();
  // Until the window is framed, the frame of the last window framed is the best guess.
  if (!exposed_ && HasScreenWindow())
    FitOuterSize(lastWindowManagerFrame.value_or(windowHandle()->frameMargins()));
  // Closing a window ends its on-screen window, so the window system sees a new one at the next showing
  // and, without a position given, places it anew. The place kept is the client area's, which does not
  // depend on the frame; given to the on-screen window, it counts as the program's even when unchanged.
  if (placeWhenShown_ && !event->spontaneous() && HasScreenWindow())
    windowHandle()->setPosition(*placeWhenShown_);
  placeWhenShown_.reset();
  QWidget::showEvent(event);
}

void DesignedWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) placeWhenShown_ = geometry().topLeft();
  // A spontaneous hide is the window system minimising the window, which does not end a modal showing.
  if (modalLoop_ != nullptr && !event->spontaneous()) modalLoop_->quit();
}

void DesignedWindow::closeEvent(QCloseEvent* event) {
  // The close box only hides a window; a modal showing ends with kModalCancel.
  if (modalLoop_ != nullptr && modalResult_ == kModalNone) modalResult_ = kModalCancel;
  event->accept();
}

}  // namespace mozenta
