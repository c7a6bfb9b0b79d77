// How far a long conversion has come, and the user's wish to stop it: the windows run a slow conversion on
// a worker thread behind a gauge and "中止". The conversion reports once per strip of rows, never per cell.
#pragma once

#include <stop_token>
#include <utility>

#include "progress_gauge.h"

namespace mozenta {

class ConversionProgress {
 public:
  // No gauge, no stop: what mozenta-batch and the tests mostly pass.
  ConversionProgress() = default;
  // `gauge` (not owned, may be null) follows the work on a scale of kScale; a stop requested through `stop`
  // ends the work with EAbort at the next strip of rows.
  ConversionProgress(ProgressGauge* gauge, std::stop_token stop) : gauge_(gauge), stop_(std::move(stop)) {}

  static constexpr int kScale = 1000;

  // This progress for one stage of the work: the stage fills [first, last) of the whole (0..1).
  ConversionProgress Stage(double first, double last) const;

  // Moves the gauge to `done` of `total` of this stage; false once a stop has been requested. Throws
  // nothing, so a library's callback may call it.
  bool Show(long long done, long long total) const;
  // The same, throwing EAbort once a stop has been requested. Cheap enough for every strip of rows.
  void Reached(long long done, long long total) const;

  bool Tracked() const { return gauge_ != nullptr || stop_.stop_possible(); }
  const std::stop_token& StopToken() const { return stop_; }

 private:
  ProgressGauge* gauge_ = nullptr;
  std::stop_token stop_;
  double first_ = 0.0, last_ = 1.0;
};

}  // namespace mozenta
