// Gauge: a horizontal bar gauge, black bar on white in a thin frame, with the percentage written across it.
// While visible it repaints at once when its maximum or its percentage changes, so it moves also in the
// middle of a command that does not return to the event loop.
#pragma once

#include <QWidget>
#include <cstdint>

#include "mosaic/progress_gauge.h"

namespace mozenta {

class Gauge : public QWidget, public ProgressGauge {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  int MinValue() const { return minimum_; }
  int MaxValue() const { return maximum_; }
  int Progress() const { return progress_; }
  // (progress − minimum) × 100 ÷ (maximum − minimum), truncated; 0 when maximum equals minimum.
  int PercentDone() const;

  void SetMaxValue(int maximum) override;
  void SetProgress(int progress) override;
  void Show() override;
  void Hide() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void RepaintNowIfVisible();

  int minimum_ = 0;
  int maximum_ = 100;
  int progress_ = 0;
};

}  // namespace mozenta
