// ProgressWindow: long work (a save that also makes the printable sheets, "保存中"; the making of a mosaic,
// "変換中") runs on a worker thread while this window shows its progress and offers "中止". The other
// windows keep repainting but take no input until the work has ended, so nothing it reads can change under
// it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <stop_token>

#include "gauge.h"

namespace mozenta {

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  // What the window says: its title and its caption while the work runs; the objectNames of the window and
  // its gauge.
  struct Look {
    const char* objectName;
    const char* gaugeName;
    const char* title;
    const char* caption;
  };
  static const Look kSaving;      // 保存中: 保存しています…
  static const Look kConverting;  // 変換中: 変換しています…

  using Work = std::function<void(ProgressGauge& gauge, std::stop_token stop)>;

  explicit ProgressWindow(const Look& look, QWidget* parent = nullptr);

  // Runs `work` on a worker thread and returns when it has ended; its error is thrown here. The window
  // shows, modally, once the work has lasted `showAfter`: quick work looks as if it had run in place, while
  // the windows repaint and their input waits. "中止", the close box or Escape ask the work to stop (it then
  // throws EAbort).
  void Run(const Work& work, std::chrono::milliseconds showAfter = std::chrono::milliseconds(0));

  QLabel* caption;  // 保存しています… / 変換しています… / 中止しています…
  Gauge* gauge;     // the work's progress
  QPushButton* cancelButton;  // 中止

 protected:
  void reject() override;  // the close box and Escape: the same as "中止"

 private:
  void AskToStop();

  std::stop_source stop_;
  QTimer poll_;
};

}  // namespace mozenta
