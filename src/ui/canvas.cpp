#include "canvas.h"

#include <algorithm>

namespace mozenta {

void FillRectangle(TBitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.Width());
  bottom = std::min(bottom, bitmap.Height());
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x)
      bitmap.SetPixel(x, y, color);
  }
  if (left < right && top < bottom) bitmap.PixelsChanged();
}

void DrawRectangle(TBitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t pen,
                   std::uint32_t brush) {
  if (right - left < 1 || bottom - top < 1) return;
  FillRectangle(bitmap, left, top, right, bottom, pen);
  FillRectangle(bitmap, left + 1, top + 1, right - 1, bottom - 1, brush);
}

}  // namespace mozenta
