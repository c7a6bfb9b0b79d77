// DesignedWindow: a top-level window of the program with a designed outer size, the shared placement
// policy and modal showing.
//
// Placement: the first time a window gets its on-screen window the window system places it where it puts
// new windows; a move asked for before that is dropped. Every later move takes effect at once. A window
// shown again without a move comes back where it was when it was hidden.
//
// Outer size: the client area is what the window system's frame leaves of the designed outer size. The
// frame is known only once a window manager has framed the window, so the client size is corrected then,
// unless the user has resized the window in the meantime.
//
// Every window and control keeps its designer's name (Form1, Button1, SpinEdit1, …) as its object name,
// by which tests and accessibility tools find it.
#pragma once

#include <QEventLoop>
#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <optional>

namespace mozenta {

enum ModalResult : int { kModalNone = 0, kModalOk = 1, kModalCancel = 2 };

// Brings `window` onto the screen in front of the others, out of its minimised state, and makes it active.
void ShowWindowInFront(QWidget& window);

class DesignedWindow : public QWidget {
  Q_OBJECT

 public:
  DesignedWindow(const QString& caption, QSize outerSize);

  // Whether the window has its on-screen window yet (it may still be hidden).
  bool HasScreenWindow() const { return windowHandle() != nullptr; }
  // Makes the on-screen window without showing it; the window system gives it its default position.
  void CreateScreenWindow();

  // Moves the window's outer top-left corner to (left, top) on the screen, once it has its on-screen window.
  void MoveTo(int left, int top);
  // Shows the window, not modally, in front of the others.
  void ShowInFront();

  // Shows the window modally and returns when it is hidden: kModalOk or kModalCancel (the close box), or
  // whatever SetModalResult gave.
  int ShowModal();
  // A result other than kModalNone ends a modal showing.
  void SetModalResult(int result);

 protected:
  // Runs each time the window is shown modally, right after it appears.
  virtual void OnShownModally() {}

  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Sizes the client area to the designed outer size within `frame`, if the frame changed since the last
  // fit and the window still has the size that fit gave it.
  void FitOuterSize(QMargins frame);
  // Watches the on-screen window, once it exists, for the exposures that tell its frame.
  void WatchScreenWindow();

  QSize outerSize_;
  bool watching_ = false;
  bool exposed_ = false;                 // has been on the screen, with its frame known
  std::optional<QMargins> fittedFrame_;  // the frame of the last fit; none before the first
  QSize fittedClientSize_;
  std::optional<QPoint> placeWhenShown_;  // the client area's place when hidden, until shown or moved
  int modalResult_ = kModalNone;
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace mozenta
