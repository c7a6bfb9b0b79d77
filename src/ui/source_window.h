// TForm2, "フルカラー画像": shows the loaded picture and holds it as the source of the conversion.
#pragma once

#include "form.h"
#include "image_control.h"
#include "picture/source_picture.h"
#include "scroll_box.h"

namespace mozenta {

class TForm2 : public TForm {
  Q_OBJECT

 public:
  TForm2();

  // The pictures of the two image controls: Source.all1 is shown by All1, Source.image1 belongs to the
  // hidden Image1.
  SourcePicture Source;

  TScrollBox* ScrollBox;
  TImage* All1;    // the source picture, as a bitmap; auto-sized
  TImage* Image1;  // the picture file as loaded; never visible
};

}  // namespace mozenta
