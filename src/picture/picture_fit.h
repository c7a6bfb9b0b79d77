// Fitting a picture to the mosaic's size in cells, and turning it upright: the settings. Without a target
// size every pixel is one cell, as the classic program has it.
#pragma once

namespace mozenta {

enum class FitMode {
  kStretch,  // the picture takes the whole size, its aspect ratio ignored
  kCover,    // every cell filled, the excess cropped equally from both sides
  kContain,  // the whole picture, the margins filled with one palette entry
};

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

}  // namespace mozenta
