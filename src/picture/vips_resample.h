// The resampling of a fitted picture through libvips (the module mozenta-vips.so; the rest of the program
// calls FitPicture, picture_fit.h).
#pragma once

#include "bitmap.h"
#include "picture_fit.h"

namespace mozenta {

// Makes `fitted` a 24-bit bitmap of the part of `source` that `plan` keeps, resampled to pictureWidth ×
// pictureHeight: Lanczos3, so that shrinking averages every source pixel. Throws EOutOfResources when the
// memory cannot be had.
void ResampleWithVips(const TBitmap& source, const FitPlan& plan, TBitmap& fitted);

}  // namespace mozenta
