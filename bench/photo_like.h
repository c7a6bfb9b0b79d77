// Pictures that behave like photographs for the benchmarks: smooth gradients with some noise.
#pragma once

#include "picture/bitmap.h"

namespace mozenta::bench {

// A bottom-up picture of the given size and depth (24 or 32 bits), the same for every call.
void FillPhotoLike(TBitmap& bitmap, int width, int height, int bitsPerPixel);

}  // namespace mozenta::bench
