#include "sheet_colors.h"

#include <cmath>

namespace mozenta {
namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

Ink EntryInk(const Palette& palette, int entry) {
  std::uint8_t rgb[3];
  SplitColor(palette.ExpandedColor(entry), rgb);
  return {rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0};
}

Ink TextInkOn(const Ink& background) {
  const double luminance =
      0.2126 * Linear(background.red) + 0.7152 * Linear(background.green) + 0.0722 * Linear(background.blue);
  // Contrast with black is (L + 0.05) / 0.05, with white 1.05 / (L + 0.05): equal where L ≈ 0.179.
  return (luminance + 0.05) * (luminance + 0.05) > 1.05 * 0.05 ? kBlackInk : kWhiteInk;
}

}  // namespace mozenta
