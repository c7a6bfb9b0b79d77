#include "mosaic_window.h"

#include <QScreen>
#include <QVBoxLayout>

namespace mozenta {

MosaicWindow::MosaicWindow() : DesignedWindow(QString::fromUtf8("モザイク画像"), QSize(354, 327)) {
  setObjectName(QStringLiteral("Form3"));
  scrollBox = new ScrollBox(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scrollBox);
  // The smallest client area is the scroll box's. It is set while the window has no on-screen window yet,
  // which takes it when it is made; the layout does not set it again at every showing.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(layout->minimumSize());

  mosaicImage = new ImageControl(scrollBox->Client());
  mosaicImage->setObjectName(QStringLiteral("Image1"));
  mosaicImage->setGeometry(0, 0, 297, 217);
  mosaicImage->SetAutoSize(true);
  mosaicImage->SetBitmap(&mosaic_);
  mosaic_.SetOnChange([this] { mosaicImage->PictureChanged(); });
}

int MosaicBitsPerPixel(int displayDepth) {
  if (displayDepth == 15 || displayDepth == 16) return 16;
  return 32;
}

void MosaicWindow::TakeDisplayDepth() {
  if (depthTaken_) return;
  depthTaken_ = true;
  const QScreen* display = screen();
  mosaic_.SetPixelFormat(MosaicBitsPerPixel(display != nullptr ? display->depth() : 32));
}

}  // namespace mozenta
