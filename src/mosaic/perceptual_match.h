// The perceptual colour match: the palette entry nearest to an 8-bit colour by CIEDE2000, exactly as
// comparing Ciede2000(LabFromSrgb(colour), entry) for every candidate would find it (the lower number
// winning a tie), at the cost of a lookup or two for a colour met before.
//
// Answers go into tables in Z order (the bits of the three channels interleaved), so that every box of 2, 4,
// 8 or 16 colours a side is one run: one byte per box of 4 colours a side; where a box of 4 has more than
// one answer, one byte per box of 2; and where a box of 2 has, one byte per colour. The last two are
// reserved, not filled: only the pages of the boxes met take memory.
//
// Answers are settled lazily, as colours come. The boxes of 32 and 16 colours a side are settled when the
// match is made: bounds over a box (ciede2000_bounds.h) leave the candidates that may be nearest to one of
// its colours. A box of 16 left with several is split in turn into boxes of 8, 4 and 2, each settled with
// the candidates its parent left when a colour first falls in it; in a box of 2 that stays open, the formula
// decides each colour among the few candidates left. A box settled to one candidate takes it in the table.
//
// Nearest may be called from several threads at once: the table is read and written a word at a time, and
// each box of 16 is settled under a lock of its own.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "cielab.h"
#include "palette.h"

namespace mozenta {

class PerceptualMatch {
 public:
  // The colours the answers depend on: entry 0 and the enabled slots of a palette, each at its expanded
  // 8-bit colour (kNotCandidate elsewhere, and for a slot repeating an earlier candidate's colour, which can
  // only tie with it and lose).
  static constexpr std::uint32_t kNotCandidate = 0xFFFFFFFF;
  using Candidates = std::array<std::uint32_t, kPaletteSlots>;
  static Candidates CandidatesOf(const Palette& palette);

  explicit PerceptualMatch(const Palette& palette);
  ~PerceptualMatch();
  PerceptualMatch(const PerceptualMatch&) = delete;
  PerceptualMatch& operator=(const PerceptualMatch&) = delete;

  const Candidates& CandidateColors() const { return candidateColors_; }

  // The number of the candidate nearest to the 8-bit colour (r, g, b).
  int Nearest(int r, int g, int b) {
    const std::uint32_t index = IndexOf(r, g, b);
    const std::uint8_t box4 = __atomic_load_n(&boxes4_[index >> 6], __ATOMIC_RELAXED);
    if (static_cast<unsigned>(box4 - 1) < kPaletteSlots) return box4 - 1;
    if (box4 == kMixed) {
      const std::uint8_t box2 = __atomic_load_n(&boxes2_[index >> 3], __ATOMIC_RELAXED);
      if (static_cast<unsigned>(box2 - 1) < kPaletteSlots) return box2 - 1;
      if (box2 == kMixed) {
        const std::uint8_t known = __atomic_load_n(&answers_[index], __ATOMIC_RELAXED);
        if (known != kUnknown) return known - 1;
      }
    }
    return Resolve(r, g, b);
  }

  // How many times a colour's answer had to be settled: the colours met first.
  std::uint64_t Resolved() const { return resolved_.load(std::memory_order_relaxed); }

  // The memory the settled answers hold so far, in bytes.
  std::size_t SettledBytes() const;

 private:
  static constexpr std::uint8_t kUnknown = 0;   // otherwise the entry's number + 1
  static constexpr std::uint8_t kMixed = 0xFF;  // a box of 4 whose colours have answers of their own
  static constexpr int kBoxes16 = 4096;
  static constexpr std::size_t kColors = std::size_t{1} << 24;
  static constexpr std::size_t kReserved = kColors + kColors / 8;  // answers_ and boxes2_

  // Bit i of a channel at bit 3i: red's bits shifted two further, green's one.
  static constexpr std::array<std::uint32_t, 256> kSpread = [] {
    std::array<std::uint32_t, 256> spread{};
    for (std::uint32_t v = 0; v < 256; ++v) {
      for (int bit = 0; bit < 8; ++bit)
        spread[v] |= (v >> bit & 1) << (3 * bit);
    }
    return spread;
  }();
  static std::uint32_t IndexOf(int r, int g, int b) { return kSpread[r] << 2 | kSpread[g] << 1 | kSpread[b]; }

  // What is known of an open box of 16: the candidates left in its boxes of 8, 4 and 2 (0: not settled).
  struct OpenBox {
    std::array<std::uint16_t, 8> in8{};
    std::array<std::uint16_t, 64> in4{};
    std::array<std::uint16_t, 512> in2{};
  };

  int Resolve(int r, int g, int b);
  // The answer of the colour at `index` in the tables, or −1 when it is not settled yet.
  int Known(std::uint32_t index) const;
  // The candidates of `mask` that may be nearest to some colour of the box of `size` colours a side whose
  // first colour is (r, g, b).
  std::uint16_t Settle(int r, int g, int b, int size, std::uint16_t mask) const;
  int Exact(int r, int g, int b, std::uint16_t mask) const;
  // Gives the box of `count` colours from `first` (a box of 1, 2, 4, 8 or 16 a side) the entry `entry`.
  void Fill(std::uint32_t first, std::uint32_t count, int entry);

  Candidates candidateColors_;
  std::array<Lab, kPaletteSlots> entries_;
  std::array<std::uint16_t, kBoxes16> in16_{};  // the candidates left in each box of 16
  std::array<std::unique_ptr<OpenBox>, kBoxes16> open_;
  std::array<std::mutex, 64> locks_;  // box of 16 number n settles under locks_[n % 64]
  // Per box of 4 (by IndexOf / 64): its one answer, kMixed, or kUnknown. Small enough to stay in the
  // processor's caches; most colours find their answer here.
  std::unique_ptr<std::uint8_t[]> boxes4_;
  // Reserved, not filled: per box of 2 of the boxes of 4 marked kMixed (by IndexOf / 8), the same; and per
  // colour of the boxes of 2 marked kMixed (by IndexOf), its answer.
  std::uint8_t* boxes2_;
  std::uint8_t* answers_;
  std::array<std::atomic<bool>, kBoxes16 / 8> written2_{};  // which pages of boxes2_ have answers
  std::array<bool, kBoxes16> written_{};                    // which boxes of 16 have answers in answers_
  std::atomic<std::size_t> settledBytes_ = 0;
  std::atomic<std::uint64_t> resolved_ = 0;
};

}  // namespace mozenta
