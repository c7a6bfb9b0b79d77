// Drawing on a bitmap's surface: filled and outlined rectangles, clipped to the bitmap. Right and bottom
// edges are excluded, as on a window's drawing surface.
#pragma once

#include <cstdint>

#include "picture/bitmap.h"

namespace mozenta {

void FillRectangle(TBitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t color);

// A one-pixel outline in `pen` around an interior in `brush` (packed colours 0x00BBGGRR).
void DrawRectangle(TBitmap& bitmap, int left, int top, int right, int bottom, std::uint32_t pen,
                   std::uint32_t brush);

}  // namespace mozenta
