#include "designed_window.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QWindow>

#include "application_setup.h"

namespace mozenta {

DesignedWindow::DesignedWindow(const QString& caption, QSize outerSize)
    : QWidget(nullptr, Qt::Window), outerSize_(outerSize) {
  setWindowTitle(caption);
  ApplyWindowLook(*this);
  resize(outerSize_);
}

void DesignedWindow::FitOuterSize() {
  if (fitted_ || windowHandle() == nullptr) return;
  fitted_ = true;
  // The client area is what is left of the designed outer size inside the window system's frame.
  const QMargins frame = windowHandle()->frameMargins();
  resize(outerSize_.width() - frame.left() - frame.right(),
         outerSize_.height() - frame.top() - frame.bottom());
}

void DesignedWindow::CreateScreenWindow() {
  winId();
  FitOuterSize();
}

void DesignedWindow::MoveTo(int left, int top) {
  if (!HasScreenWindow()) return;
  move(left, top);
}

void DesignedWindow::ShowInFront() {
  if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  // A window that comes onto the screen comes in front; only one already there needs raising.
  const bool alreadyShown = isVisible();
  show();
  if (alreadyShown) raise();
  activateWindow();
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

void DesignedWindow::showEvent(QShowEvent* event) {
  FitOuterSize();
  QWidget::showEvent(event);
}

void DesignedWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A spontaneous hide is the window system minimising the window, which does not end a modal showing.
  if (modalLoop_ != nullptr && !event->spontaneous()) modalLoop_->quit();
}

void DesignedWindow::closeEvent(QCloseEvent* event) {
  // The close box only hides a window; a modal showing ends with kModalCancel.
  if (modalLoop_ != nullptr && modalResult_ == kModalNone) modalResult_ = kModalCancel;
  event->accept();
}

}  // namespace mozenta
