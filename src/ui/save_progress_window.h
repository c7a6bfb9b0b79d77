// SaveProgressWindow, "保存中": a save that also makes the printable sheets runs on a worker thread while
// this window shows its progress and offers "中止". The other windows keep repainting but take no input until
// the save has ended, so the mosaic it reads cannot change under it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <stop_token>

#include "gauge.h"

namespace mozenta {

class SaveProgressWindow : public QDialog {
  Q_OBJECT

 public:
  using Work = std::function<void(ProgressGauge& gauge, std::stop_token stop)>;

  explicit SaveProgressWindow(QWidget* parent = nullptr);

  // Shows the window modally, runs `work` on a worker thread and returns when the work has ended. The work's
  // error is thrown here; "中止", the close box or Escape ask the work to stop (it then throws EAbort).
  void Run(const Work& work);

  QLabel* caption;            // 保存しています… / 中止しています…
  Gauge* gauge;               // the walk's progress
  QPushButton* cancelButton;  // 中止

 protected:
  void reject() override;  // the close box and Escape: the same as "中止"

 private:
  void AskToStop();

  std::stop_source stop_;
  QTimer poll_;
};

}  // namespace mozenta
