// Bounds of the CIEDE2000 difference between one colour and every colour of a box of 8-bit sRGB colours,
// by interval arithmetic over the steps of Ciede2000(LabFromSrgb(colour), entry). The bounds hold for the
// values those functions compute, rounding included: wherever the computation branches near a boundary,
// both branches are taken. They let the perceptual match settle whole boxes at once.
#pragma once

#include <array>

#include "cielab.h"

namespace mozenta {

struct ValueRange {
  double lo = 0, hi = 0;
};

// The 8-bit colours lo[c]..hi[c] (inclusive) of each channel c: red, green, blue.
struct SrgbBox {
  std::array<int, 3> lo{}, hi{};
};

// What the bounds need of a box: the ranges of L*, a* and b* its colours take.
struct LabBox {
  ValueRange L, a, b;
};

LabBox LabBoxOf(const SrgbBox& box);

// Every Ciede2000(LabFromSrgb(c), entry) for a colour c whose CIELAB colour lies in `box` is within the
// range returned.
ValueRange Ciede2000Bounds(const LabBox& box, const Lab& entry);

}  // namespace mozenta
