// The resampling of a fitted picture through libvips (the module mozenta-vips.so; the rest of the program
// calls FitPicture, picture_fit.h).
#pragma once

#include <functional>

#include "bitmap.h"
#include "picture_fit.h"

namespace mozenta {

// Makes `fitted` a 24-bit bitmap of the part of `source` that `plan` keeps, resampled to pictureWidth ×
// pictureHeight: Lanczos3, so that shrinking averages every source pixel. Throws EOutOfResources when the
// memory cannot be had. `rowsWritten` (when given) follows the writing from a libvips thread; when it
// returns false the resampling ends with EAbort.
void ResampleWithVips(const TBitmap& source, const FitPlan& plan, TBitmap& fitted,
                      const std::function<bool(int rowsWritten, int rows)>& rowsWritten);

}  // namespace mozenta
