// TForm3, "モザイク画像": shows the mosaic and holds it as the bitmap the save command writes.
#pragma once

#include "form.h"
#include "image_control.h"
#include "picture/bitmap.h"
#include "scroll_box.h"

namespace mozenta {

class TForm3 : public TForm {
  Q_OBJECT

 public:
  TForm3();

  // The mosaic bitmap held by Image1, one pixel per mosaic cell.
  TBitmap& Mosaic() { return mosaic_; }
  const TBitmap& Mosaic() const { return mosaic_; }

  TScrollBox* ScrollBox;
  TImage* Image1;  // auto-sized

 private:
  TBitmap mosaic_;
};

}  // namespace mozenta
