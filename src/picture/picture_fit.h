// Fitting a picture to the mosaic's size in cells, and turning it upright: the settings, the plan of a fit
// and the resampling. Without a target size every pixel is one cell, as the classic program has it.
#pragma once

#include <functional>

#include "bitmap.h"

namespace mozenta {

enum class FitMode {
  kStretch,  // the picture takes the whole size, its aspect ratio ignored
  kCover,    // every cell filled, the excess cropped equally from both sides
  kContain,  // the whole picture, the margins filled with one palette entry
};

// The largest target: the mosaic's limits.
inline constexpr int kMaxFitWidth = 2000;
inline constexpr int kMaxFitHeight = 20000;

struct FitSettings {
  bool keepSize = true;  // "元のサイズ": one pixel per cell, nothing resampled
  int width = 0;         // cells across, 1..2000, when the size is not kept
  int height = 0;        // cells down, 1..20000
  FitMode mode = FitMode::kCover;
  int marginEntry = 7;  // the palette entry of the margins in kContain (white by default)
};

struct PictureSettings {
  FitSettings fit;
  bool keepOrientation = false;  // true: the stored rows as they are, the EXIF orientation ignored
};

// How a picture of a given size is fitted: the part of it that is kept, the size that part is resampled to,
// and where it lies in the target; the cells of the target outside it are margin.
struct FitPlan {
  int cropLeft = 0, cropTop = 0, cropWidth = 0, cropHeight = 0;  // in source pixels
  int pictureWidth = 0, pictureHeight = 0;                       // the resampled part, in cells
  int left = 0, top = 0;                                         // its place in the target
  int width = 0, height = 0;                                     // the target, in cells

  bool Resamples() const { return pictureWidth != cropWidth || pictureHeight != cropHeight; }
  // The crop is the whole source picture.
  bool CropsWhole(int sourceWidth, int sourceHeight) const {
    return cropLeft == 0 && cropTop == 0 && cropWidth == sourceWidth && cropHeight == sourceHeight;
  }
  bool HasMargins() const { return pictureWidth != width || pictureHeight != height; }
};

// The plan for a source of `sourceWidth` × `sourceHeight`. With keepSize, or for an empty source, the whole
// picture at one pixel per cell. Otherwise the target is the settings' size (clamped to 1..kMaxFitWidth and
// 1..kMaxFitHeight): stretch takes the whole source to it; cover keeps the middle part of the source that
// has the target's aspect ratio (the excess cut equally from both sides, the odd pixel on the right or at
// the bottom); contain scales the whole source to the largest size that fits, at least one cell each way,
// and centres it likewise.
FitPlan PlanFit(int sourceWidth, int sourceHeight, const FitSettings& settings);

// Makes `fitted` the part of `source` that `plan` keeps, resampled through libvips to pictureWidth ×
// pictureHeight: Lanczos3, so that shrinking averages every source pixel. A plan that keeps the whole
// source at its size makes `fitted` share `source`; otherwise `fitted` is a 24-bit bitmap. Throws
// EOutOfResources when the memory cannot be had, and Exception when the module that resamples cannot be
// loaded (vips_module.h). `rowsWritten` (when given) follows the resampling from a libvips thread; when it
// returns false the fit ends with EAbort.
void FitPicture(const TBitmap& source, const FitPlan& plan, TBitmap& fitted,
                const std::function<bool(int rowsWritten, int rows)>& rowsWritten = nullptr);

}  // namespace mozenta
