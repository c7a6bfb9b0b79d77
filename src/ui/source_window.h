// SourceWindow, "フルカラー画像": shows the loaded picture and holds it as the source of the conversion.
#pragma once

#include "designed_window.h"
#include "image_control.h"
#include "picture/source_picture.h"
#include "scroll_box.h"

namespace mozenta {

class SourceWindow : public DesignedWindow {
  Q_OBJECT

 public:
  SourceWindow();

  // The pictures of the two image controls: picture.all1 is shown by pictureImage, picture.image1 belongs
  // to the hidden loaderImage.
  SourcePicture picture;

  ScrollBox* scrollBox;
  ImageControl* pictureImage;  // the source picture, as a bitmap; auto-sized
  ImageControl* loaderImage;   // the picture file as loaded; never visible
};

}  // namespace mozenta
