#include "perceptual_match_cache.h"

#include <algorithm>

namespace mozenta {

PerceptualMatchCache& PerceptualMatchCache::Shared() {
  static PerceptualMatchCache cache;
  return cache;
}

std::shared_ptr<PerceptualMatch> PerceptualMatchCache::MatchFor(const Palette& palette) {
  const PerceptualMatch::Candidates candidates = PerceptualMatch::CandidatesOf(palette);
  // Moves the kept match of these candidates to the front; false when there is none.
  auto bringForward = [&] {
    const auto kept = std::find_if(recent_.begin(), recent_.end(),
                                   [&](const auto& match) { return match->CandidateColors() == candidates; });
    if (kept == recent_.end()) return false;
    std::rotate(recent_.begin(), kept, kept + 1);
    return true;
  };
  {
    std::lock_guard lock(mutex_);
    if (bringForward()) return recent_.front();
  }
  // Made outside the lock: its boxes of 16 take a few milliseconds to settle.
  auto made = std::make_shared<PerceptualMatch>(palette);
  std::shared_ptr<PerceptualMatch> dropped;  // let go outside the lock
  std::lock_guard lock(mutex_);
  if (bringForward()) return recent_.front();  // another thread made one meanwhile
  recent_.insert(recent_.begin(), made);
  if (recent_.size() > kKept) {
    dropped = std::move(recent_.back());
    recent_.pop_back();
  }
  return made;
}

void PerceptualMatchCache::Clear() {
  std::vector<std::shared_ptr<PerceptualMatch>> dropped;
  std::lock_guard lock(mutex_);
  dropped.swap(recent_);
}

}  // namespace mozenta
