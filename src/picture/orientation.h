// The orientation a camera records with a photo (the EXIF values 1 to 8): how the stored rows must be turned
// or mirrored to show the picture upright.
#pragma once

#include "bitmap.h"

namespace mozenta {

inline constexpr int kOrientationUpright = 1;

// Values 5 to 8 turn the picture a quarter: its width and height change places.
inline bool OrientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// Makes `upright` hold `stored` as it is meant to be seen: mirrored and turned as `orientation` says, with
// the depth, colour table and row order of `stored`. Any value outside 2..8, and pictures of fewer than 8
// bits per pixel, make `upright` share `stored` as it is. `upright` must not be `stored`. Throws
// EOutOfResources when the memory cannot be had.
void MakeUpright(const TBitmap& stored, int orientation, TBitmap& upright);

}  // namespace mozenta
