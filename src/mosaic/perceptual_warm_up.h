// The second core's part in a conversion with the perceptual match: while the kernel walks the picture from
// the top, a thread walks its lower half the same way (from an error of zero, its cells thrown away), so
// that the answers the kernel will need there are mostly settled by the time it comes. Both walks meet the
// same kinds of colours, so the first half's settling is shared as well. The answers do not depend on who
// settles them: the mosaic is the same with or without it.
#pragma once

#include <atomic>
#include <thread>

#include "conversion_kernel.h"
#include "conversion_options.h"
#include "perceptual_match.h"

namespace mozenta::conversion_internal {

class PerceptualWarmUp {
 public:
  // Starts the thread where it pays: a picture of many cells, read whole (not arriving row by row), and a
  // processor with a core to spare.
  PerceptualWarmUp(PerceptualMatch& match, const ConversionJob& job, const ConversionOptions& options);
  // Stops the thread and waits for it.
  ~PerceptualWarmUp();
  PerceptualWarmUp(const PerceptualWarmUp&) = delete;
  PerceptualWarmUp& operator=(const PerceptualWarmUp&) = delete;

 private:
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace mozenta::conversion_internal
