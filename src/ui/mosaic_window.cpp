#include "mosaic_window.h"

#include <QScreen>
#include <QVBoxLayout>

namespace mozenta {

TForm3::TForm3() : TForm(QString::fromUtf8("モザイク画像"), QSize(354, 327)) {
  setObjectName(QStringLiteral("Form3"));
  ScrollBox = new TScrollBox(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ScrollBox);

  Image1 = new TImage(ScrollBox->Client());
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 297, 217);
  Image1->SetAutoSize(true);
  Image1->SetBitmap(&mosaic_);
  mosaic_.SetOnChange([this] { Image1->PictureChanged(); });
}

}  // namespace mozenta

namespace mozenta {

int MosaicBitsPerPixel(int displayDepth) {
  if (displayDepth == 15 || displayDepth == 16) return 16;
  return 32;
}

void TForm3::TakeDisplayDepth() {
  if (depthTaken_) return;
  depthTaken_ = true;
  const QScreen* display = screen();
  mosaic_.SetPixelFormat(MosaicBitsPerPixel(display != nullptr ? display->depth() : 32));
}

}  // namespace mozenta
