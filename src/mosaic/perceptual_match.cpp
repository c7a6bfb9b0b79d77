#include "perceptual_match.h"

#include <sys/mman.h>

#include <bit>
#include <new>

#include "ciede2000.h"
#include "ciede2000_bounds.h"

namespace mozenta {
namespace {

// One bit set (without a call to a population count where the processor may lack the instruction).
bool Single(std::uint16_t mask) {
  return mask != 0 && (mask & (mask - 1)) == 0;
}

int OnlyEntry(std::uint16_t mask) {
  return std::countr_zero(mask);
}

// The first colour of box `number` of `size` colours a side in Z order: its index's bits taken apart again.
struct BoxCorner {
  int r = 0, g = 0, b = 0;
};
BoxCorner CornerOf(std::uint32_t index) {
  BoxCorner corner;
  for (int bit = 0; bit < 8; ++bit) {
    corner.r |= static_cast<int>(index >> (3 * bit + 2) & 1) << bit;
    corner.g |= static_cast<int>(index >> (3 * bit + 1) & 1) << bit;
    corner.b |= static_cast<int>(index >> (3 * bit) & 1) << bit;
  }
  return corner;
}

}  // namespace

PerceptualMatch::Candidates PerceptualMatch::CandidatesOf(const Palette& palette) {
  Candidates candidates;
  candidates.fill(kNotCandidate);
  for (int i = 0; i < kPaletteSlots; ++i) {
    if (i != 0 && !palette.Enabled(i)) continue;
    const std::uint32_t colour = palette.ExpandedColor(i) & 0xFFFFFF;
    bool repeated = false;
    for (int j = 0; j < i; ++j)
      repeated = repeated || candidates[j] == colour;
    if (!repeated) candidates[i] = colour;
  }
  return candidates;
}

PerceptualMatch::PerceptualMatch(const Palette& palette) : candidateColors_(CandidatesOf(palette)) {
  // Reserved address space: pages read before they are written read as zeros (kUnknown) and take no memory.
  void* tables =
      mmap(nullptr, kReserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (tables == MAP_FAILED) throw std::bad_alloc();
  answers_ = static_cast<std::uint8_t*>(tables);
  boxes2_ = answers_ + kColors;
  boxes4_ = std::make_unique<std::uint8_t[]>(kColors / 64);

  std::uint16_t candidates = 0;
  for (int i = 0; i < kPaletteSlots; ++i) {
    if (candidateColors_[i] == kNotCandidate) continue;
    std::uint8_t rgb[3];
    SplitColor(candidateColors_[i], rgb);
    entries_[i] = LabFromSrgb(rgb[0], rgb[1], rgb[2]);
    candidates |= static_cast<std::uint16_t>(1u << i);
  }
  // The boxes of 32 and 16 at once: a few thousand bounds, and the walk never meets an unsettled one.
  for (std::uint32_t box32 = 0; box32 < kBoxes16 / 8; ++box32) {
    const BoxCorner c = CornerOf(box32 << 15);
    const std::uint16_t in32 = Settle(c.r, c.g, c.b, 32, candidates);
    for (std::uint32_t k = 0; k < 8; ++k) {
      const std::uint32_t box16 = box32 << 3 | k;
      const BoxCorner d = CornerOf(box16 << 12);
      in16_[box16] = Settle(d.r, d.g, d.b, 16, in32);
    }
  }
}

PerceptualMatch::~PerceptualMatch() {
  munmap(answers_, kReserved);
}

std::size_t PerceptualMatch::SettledBytes() const {
  return kColors / 64 + settledBytes_.load(std::memory_order_relaxed);
}

std::uint16_t PerceptualMatch::Settle(int r, int g, int b, int size, std::uint16_t mask) const {
  if (Single(mask)) return mask;
  const LabBox box = LabBoxOf({{r, g, b}, {r + size - 1, g + size - 1, b + size - 1}});
  ValueRange bounds[kPaletteSlots];
  double leastHigh = 1e300;
  for (std::uint16_t m = mask; m != 0; m &= m - 1) {
    const int i = std::countr_zero(m);
    bounds[i] = Ciede2000Bounds(box, entries_[i]);
    leastHigh = std::min(leastHigh, bounds[i].hi);
  }
  std::uint16_t left = 0;
  for (std::uint16_t m = mask; m != 0; m &= m - 1) {
    const int i = std::countr_zero(m);
    if (bounds[i].lo <= leastHigh) left |= static_cast<std::uint16_t>(1u << i);
  }
  return left;
}

int PerceptualMatch::Exact(int r, int g, int b, std::uint16_t mask) const {
  const Lab colour =
      LabFromSrgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b));
  int best = -1;
  double bestDifference = 0;
  for (std::uint16_t m = mask; m != 0; m &= m - 1) {
    const int i = std::countr_zero(m);
    const double difference = Ciede2000(colour, entries_[i]);
    if (best < 0 || difference < bestDifference) {
      best = i;
      bestDifference = difference;
    }
  }
  return best;
}

void PerceptualMatch::Fill(std::uint32_t first, std::uint32_t count, int entry) {
  const auto value = static_cast<std::uint8_t>(entry + 1);
  const std::uint64_t word = 0x0101010101010101ull * value;
  if (count >= 64) {
    // Whole boxes of 4: 1, 8 or 64 bytes of boxes4_.
    std::uint8_t* boxes = boxes4_.get() + (first >> 6);
    if (count == 64) {
      __atomic_store_n(boxes, value, __ATOMIC_RELAXED);
    } else {
      auto* words = reinterpret_cast<std::uint64_t*>(boxes);
      for (std::uint32_t k = 0; k < count / 512; ++k)
        __atomic_store_n(words + k, word, __ATOMIC_RELAXED);
    }
  } else if (count == 8) {
    if (!written2_[first >> 15].exchange(true, std::memory_order_relaxed))
      settledBytes_.fetch_add(4096, std::memory_order_relaxed);
    __atomic_store_n(boxes2_ + (first >> 3), value, __ATOMIC_RELAXED);
  } else {
    const std::uint32_t box16 = first >> 12;
    if (!written_[box16]) {
      written_[box16] = true;
      settledBytes_.fetch_add(4096, std::memory_order_relaxed);
    }
    __atomic_store_n(answers_ + first, value, __ATOMIC_RELAXED);
  }
}

int PerceptualMatch::Known(std::uint32_t index) const {
  const std::uint8_t box4 = __atomic_load_n(&boxes4_[index >> 6], __ATOMIC_RELAXED);
  if (box4 != kMixed) return box4 - 1;
  const std::uint8_t box2 = __atomic_load_n(&boxes2_[index >> 3], __ATOMIC_RELAXED);
  if (box2 != kMixed) return box2 - 1;
  return __atomic_load_n(&answers_[index], __ATOMIC_RELAXED) - 1;
}

int PerceptualMatch::Resolve(int r, int g, int b) {
  const std::uint32_t index = IndexOf(r, g, b);
  const std::uint32_t box16 = index >> 12;
  std::lock_guard lock(locks_[box16 % locks_.size()]);
  const int known = Known(index);  // settled meanwhile by another thread?
  if (known >= 0) return known;
  resolved_.fetch_add(1, std::memory_order_relaxed);

  const std::uint16_t in16 = in16_[box16];
  if (Single(in16)) {
    Fill(box16 << 12, 4096, OnlyEntry(in16));
    return OnlyEntry(in16);
  }
  if (!open_[box16]) {
    open_[box16] = std::make_unique<OpenBox>();
    settledBytes_.fetch_add(sizeof(OpenBox), std::memory_order_relaxed);
  }
  OpenBox& open = *open_[box16];
  // Within the box of 16, the index's bits 9..11 number its box of 8, 6..11 its box of 4, 3..11 its box of 2.
  std::uint16_t& in8 = open.in8[index >> 9 & 7];
  if (in8 == 0) in8 = Settle(r & ~7, g & ~7, b & ~7, 8, in16);
  if (Single(in8)) {
    Fill(index & ~511u, 512, OnlyEntry(in8));
    return OnlyEntry(in8);
  }
  std::uint16_t& in4 = open.in4[index >> 6 & 63];
  if (in4 == 0) in4 = Settle(r & ~3, g & ~3, b & ~3, 4, in8);
  if (Single(in4)) {
    Fill(index & ~63u, 64, OnlyEntry(in4));
    return OnlyEntry(in4);
  }
  __atomic_store_n(&boxes4_[index >> 6], kMixed, __ATOMIC_RELAXED);
  std::uint16_t& in2 = open.in2[index >> 3 & 511];
  if (in2 == 0) in2 = Settle(r & ~1, g & ~1, b & ~1, 2, in4);
  if (Single(in2)) {
    Fill(index & ~7u, 8, OnlyEntry(in2));
    return OnlyEntry(in2);
  }
  __atomic_store_n(&boxes2_[index >> 3], kMixed, __ATOMIC_RELAXED);
  const int nearest = Exact(r, g, b, in2);
  Fill(index, 1, nearest);
  return nearest;
}

}  // namespace mozenta
