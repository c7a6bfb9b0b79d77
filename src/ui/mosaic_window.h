// MosaicWindow, "モザイク画像": shows the mosaic and holds it as the bitmap the save command writes.
#pragma once

#include "designed_window.h"
#include "image_control.h"
#include "mosaic/mosaic_grid.h"
#include "picture/bitmap.h"
#include "scroll_box.h"

namespace mozenta {

class MosaicWindow : public DesignedWindow {
  Q_OBJECT

 public:
  MosaicWindow();

  // The mosaic bitmap shown by mosaicImage, one pixel per mosaic cell.
  TBitmap& Mosaic() { return mosaic_; }
  const TBitmap& Mosaic() const { return mosaic_; }
  // The colour-index grid of the mosaic, kept for the whole run and never cleared between conversions.
  MosaicGrid& Grid() { return grid_; }
  const MosaicGrid& Grid() const { return grid_; }
  // Before the first conversion: gives the mosaic the depth of the display (16, 24 or 32 bits per pixel),
  // which it keeps from then on.
  void TakeDisplayDepth();

  ScrollBox* scrollBox;
  ImageControl* mosaicImage;  // auto-sized

 private:
  TBitmap mosaic_;
  MosaicGrid grid_;
  bool depthTaken_ = false;
};

// The bits per pixel of a bitmap compatible with a display whose colour depth is `displayDepth`: 16 for 15
// and 16, 32 for every other depth. A true-colour display reports a colour depth of 24 but stores each pixel
// in 32 bits, so its mosaic is a 32-bit bitmap.
int MosaicBitsPerPixel(int displayDepth);

}  // namespace mozenta
