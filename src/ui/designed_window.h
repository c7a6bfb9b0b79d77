// DesignedWindow: a top-level window of the program with a designed outer size, the shared placement
// policy and modal showing.
//
// Placement: the first time a window gets its on-screen window the window system places it where it puts
// new windows; a move asked for before that is dropped. Every later move takes effect at once.
//
// Every window and control keeps its designer's name (Form1, Button1, SpinEdit1, …) as its object name,
// by which tests and accessibility tools find it.
#pragma once

#include <QEventLoop>
#include <QSize>
#include <QWidget>

namespace mozenta {

enum ModalResult : int { kModalNone = 0, kModalOk = 1, kModalCancel = 2 };

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

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FitOuterSize();

  QSize outerSize_;
  bool fitted_ = false;
  int modalResult_ = kModalNone;
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace mozenta
