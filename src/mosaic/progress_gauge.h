// What the report writers need of a progress display: the main window's gauge, or the batch tool's
// percentage on a terminal.
#pragma once

namespace mozenta {

class ProgressGauge {
 public:
  virtual ~ProgressGauge() = default;
  // Setting the maximum below the current progress lowers the progress to it.
  virtual void SetMaxValue(int maximum) = 0;
  // Clamped into 0..maximum.
  virtual void SetProgress(int progress) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

// A gauge that shows nothing.
class SilentGauge : public ProgressGauge {
 public:
  void SetMaxValue(int) override {}
  void SetProgress(int) override {}
  void Show() override {}
  void Hide() override {}
};

}  // namespace mozenta
