// The scales the mosaic window shows a mosaic at: screen pixels per cell, in steps of two from 1/16 to 16,
// or any scale between that fits the mosaic to the window. A screen pixel at v shows cell floor(v / scale).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace mozenta {

inline constexpr std::array<double, 9> kScaleSteps = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1, 2, 4, 8, 16};
inline constexpr double kSmallestScale = kScaleSteps.front();
inline constexpr double kLargestScale = kScaleSteps.back();

// The next step above `scale`, or the largest.
inline double ScaleStepAbove(double scale) {
  for (double step : kScaleSteps)
    if (step > scale * 1.0001) return step;
  return kLargestScale;
}

// The next step below `scale`, or the smallest.
inline double ScaleStepBelow(double scale) {
  for (auto it = kScaleSteps.rbegin(); it != kScaleSteps.rend(); ++it)
    if (*it < scale / 1.0001) return *it;
  return kSmallestScale;
}

// The largest scale that shows `columns` × `rows` cells whole in `width` × `height` pixels, within the steps'
// range.
inline double FitScale(int width, int height, int columns, int rows) {
  if (columns <= 0 || rows <= 0 || width <= 0 || height <= 0) return 1;
  const double fit = std::min(static_cast<double>(width) / columns, static_cast<double>(height) / rows);
  return std::clamp(fit, kSmallestScale, kLargestScale);
}

// The cell a screen pixel shows, and the pixels `cells` cells take.
inline int CellAt(int pixel, double scale) {
  return static_cast<int>(std::floor(pixel / scale));
}
inline int ShownLength(int cells, double scale) {
  return static_cast<int>(std::ceil(cells * scale));
}
// The first pixel showing cell `cell`.
inline int PixelOf(int cell, double scale) {
  return static_cast<int>(std::ceil(cell * scale));
}

}  // namespace mozenta
