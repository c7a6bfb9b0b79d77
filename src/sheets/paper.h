// The sheets of paper the printable PDF is laid out on, in PDF points (1/72 inch).
#pragma once

#include "sheet_options.h"

namespace mozenta {

inline constexpr double kPointsPerMillimetre = 72.0 / 25.4;

struct PaperSize {
  double width = 0;  // portrait: the shorter side
  double height = 0;

  PaperSize Turned(bool landscape) const { return landscape ? PaperSize{height, width} : *this; }
};

// A4 210 × 297 mm, A3 297 × 420 mm, Letter 8.5 × 11 in.
PaperSize PaperOf(PageSize page);

}  // namespace mozenta
