#include "perceptual_match.h"

#include <bit>

#include "ciede2000.h"
#include "ciede2000_bounds.h"

namespace mozenta {
namespace {

bool Single(std::uint16_t mask) {
  return std::has_single_bit(mask);
}

std::uint8_t OnlyEntry(std::uint16_t mask) {
  return static_cast<std::uint8_t>(std::countr_zero(mask));
}

}  // namespace

PerceptualMatch::PerceptualMatch(const Palette& palette) {
  cells_.fill(kOpen);
  for (int i = 0; i < kPaletteSlots; ++i) {
    if (i != 0 && !palette.Enabled(i)) continue;
    std::uint8_t rgb[3];
    SplitColor(palette.ExpandedColor(i), rgb);
    entries_[i] = LabFromSrgb(rgb[0], rgb[1], rgb[2]);
    // An entry of the same colour as an earlier candidate can only tie with it, and the earlier one wins.
    bool repeated = false;
    for (int j = 0; j < i; ++j)
      repeated = repeated || ((candidates_ >> j & 1) && palette.ExpandedColor(j) == palette.ExpandedColor(i));
    if (!repeated) candidates_ |= static_cast<std::uint16_t>(1u << i);
  }
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

int PerceptualMatch::Resolve(int r, int g, int b) {
  std::uint32_t& cell = cells_[((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4)];
  if (cell == kOpen) {
    const int r32 = r & ~31, g32 = g & ~31, b32 = b & ~31;
    std::uint16_t& coarse = coarse_[((r >> 5) << 6) | ((g >> 5) << 3) | (b >> 5)];
    if (coarse == 0) coarse = Settle(r32, g32, b32, 32, candidates_);
    if (Single(coarse)) {
      for (int k = 0; k < 8; ++k)
        cells_[((r32 >> 4 | k >> 2) << 8) | ((g32 >> 4 | (k >> 1 & 1)) << 4) | (b32 >> 4 | (k & 1))] =
            OnlyEntry(coarse);
      return OnlyEntry(coarse);
    }
    const std::uint16_t mask = Settle(r & ~15, g & ~15, b & ~15, 16, coarse);
    if (Single(mask)) {
      cell = OnlyEntry(mask);
      return static_cast<int>(cell);
    }
    const std::size_t table = boxes_.size() >> 6;
    boxes_.resize(boxes_.size() + 64, kOpen);
    masks_.resize(masks_.size() + 9, 0);
    masks_[table * 9] = mask;
    cell = static_cast<std::uint32_t>(kPaletteSlots + table);
  }
  if (cell < kPaletteSlots) return static_cast<int>(cell);

  const std::size_t table = cell - kPaletteSlots;
  std::uint32_t& box = boxes_[(table << 6) | BoxOf(r, g, b)];
  if (box == kOpen) {
    const int eighth = ((r & 8) >> 1) | ((g & 8) >> 2) | ((b & 8) >> 3);
    std::uint16_t& mask8 = masks_[table * 9 + 1 + eighth];
    if (mask8 == 0) mask8 = Settle(r & ~7, g & ~7, b & ~7, 8, masks_[table * 9]);
    if (Single(mask8)) {
      // Its eight boxes of 4 take the entry.
      for (int k = 0; k < 8; ++k) {
        const int r4 = (r & 8) | (k >> 2) << 2, g4 = (g & 8) | (k >> 1 & 1) << 2, b4 = (b & 8) | (k & 1) << 2;
        boxes_[(table << 6) | BoxOf(r4, g4, b4)] = OnlyEntry(mask8);
      }
      return OnlyEntry(mask8);
    }
    const std::uint16_t mask4 = Settle(r & ~3, g & ~3, b & ~3, 4, mask8);
    if (Single(mask4)) {
      box = OnlyEntry(mask4);
      return static_cast<int>(box);
    }
    box = static_cast<std::uint32_t>(kPaletteSlots + answerMasks_.size() / 9);
    answers_.resize(answers_.size() + 64, kUnknown);
    answerMasks_.resize(answerMasks_.size() + 9, 0);
    answerMasks_[answerMasks_.size() - 9] = mask4;
  }
  if (box < kPaletteSlots) return static_cast<int>(box);

  const std::size_t answerTable = box - kPaletteSlots;
  const int quarter = ((r & 2) << 1) | (g & 2) | ((b & 2) >> 1);
  std::uint16_t& mask2 = answerMasks_[answerTable * 9 + 1 + quarter];
  std::uint8_t& answer = answers_[(answerTable << 6) | ((r & 3) << 4) | ((g & 3) << 2) | (b & 3)];
  if (answer == kUnknown) {
    // The first colour of its box of 2: settle the box, or mark its colours for the formula.
    mask2 = Settle(r & ~1, g & ~1, b & ~1, 2, answerMasks_[answerTable * 9]);
    const std::uint8_t mark = Single(mask2) ? OnlyEntry(mask2) : kTried;
    for (int k = 0; k < 8; ++k) {
      const int r1 = (r & 2) | k >> 2, g1 = (g & 2) | (k >> 1 & 1), b1 = (b & 2) | (k & 1);
      answers_[(answerTable << 6) | (r1 << 4) | (g1 << 2) | b1] = mark;
    }
    if (mark != kTried) return mark;
  }
  answer = static_cast<std::uint8_t>(Exact(r, g, b, mask2));
  return answer;
}

}  // namespace mozenta
