// The perceptual colour match: the palette entry nearest to an 8-bit colour by CIEDE2000, exactly as
// comparing Ciede2000(LabFromSrgb(colour), entry) for every candidate would find it (the lower number
// winning a tie), at the cost of a lookup or two for most colours.
//
// Answers are settled lazily, as colours come. A box of colours is settled at once when bounds over the
// box (ciede2000_bounds.h) leave a single candidate; otherwise its eight sub-boxes are tried with the
// candidates left: boxes of 32, 16, 8, 4 and 2 colours a side. In a box of 2 that stays open, the formula
// decides each colour among the few candidates left. The boxes of 16 are those of the top four bits, so
// the first lookup is the one the classic match makes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cielab.h"
#include "palette.h"

namespace mozenta {

class PerceptualMatch {
 public:
  // Entry 0 and the enabled slots of `palette`, each at its expanded 8-bit colour, are the candidates.
  explicit PerceptualMatch(const Palette& palette);

  // The number of the candidate nearest to the 8-bit colour (r, g, b).
  int Nearest(int r, int g, int b) {
    const std::uint32_t cell = cells_[((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4)];
    if (cell < kPaletteSlots) return static_cast<int>(cell);
    if (cell != kOpen) {
      const std::uint32_t box = boxes_[((cell - kPaletteSlots) << 6) | BoxOf(r, g, b)];
      if (box < kPaletteSlots) return static_cast<int>(box);
      if (box != kOpen) {
        const std::uint8_t answer =
            answers_[((box - kPaletteSlots) << 6) | ((r & 3) << 4) | ((g & 3) << 2) | (b & 3)];
        if (answer < kPaletteSlots) return answer;
      }
    }
    return Resolve(r, g, b);
  }

 private:
  // A box not settled yet; an entry number; or kPaletteSlots + the number of the table of its parts.
  static constexpr std::uint32_t kOpen = 0xFFFFFFFF;
  static constexpr std::uint8_t kUnknown = 0xFF;  // its box of 2 not tried yet
  static constexpr std::uint8_t kTried = 0xFE;    // its box of 2 left open: the formula decides

  // The box of 4 of (r, g, b) within its box of 16, 0..63.
  static int BoxOf(int r, int g, int b) { return ((r & 12) << 2) | (g & 12) | ((b & 12) >> 2); }

  int Resolve(int r, int g, int b);
  // The candidates of `mask` that may be nearest to some colour of the box of `size` colours a side whose
  // first colour is (r, g, b).
  std::uint16_t Settle(int r, int g, int b, int size, std::uint16_t mask) const;
  int Exact(int r, int g, int b, std::uint16_t mask) const;

  std::array<Lab, kPaletteSlots> entries_;
  std::uint16_t candidates_ = 0;
  std::array<std::uint16_t, 512> coarse_{};  // boxes of 32: the candidates left, 0 before they are settled
  std::array<std::uint32_t, 4096> cells_;    // boxes of 16, by the top four bits
  // Per open box of 16: its 64 boxes of 4, and the candidates left in it and in its eight boxes of 8.
  std::vector<std::uint32_t> boxes_;
  std::vector<std::uint16_t> masks_;
  // Per open box of 4: the answers of its 64 colours, and the candidates left in it and in its eight
  // boxes of 2.
  std::vector<std::uint8_t> answers_;
  std::vector<std::uint16_t> answerMasks_;
};

}  // namespace mozenta
