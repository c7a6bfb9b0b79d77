// The perceptual matches of the last few palettes, kept between conversions: the windows convert again and
// again with the same palette (another picture, other blocks), and a match whose answers are settled
// already costs only the walk. Safe to use from several threads; a match handed out stays valid while its
// holder keeps it, even once the cache has let it go.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "palette.h"
#include "perceptual_match.h"

namespace mozenta {

class PerceptualMatchCache {
 public:
  // Each match holds up to 16 MiB of answers, a few MiB on a photo.
  static constexpr std::size_t kKept = 2;

  // The one cache of the program.
  static PerceptualMatchCache& Shared();

  // The match of the palette's candidate colours: the one kept, or a new one, kept from now on.
  std::shared_ptr<PerceptualMatch> MatchFor(const Palette& palette);
  // Lets every kept match go, so that the next conversion settles its answers afresh.
  void Clear();

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<PerceptualMatch>> recent_;  // the most recently used first
};

}  // namespace mozenta
