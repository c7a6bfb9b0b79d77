#include "source_window.h"

#include <QVBoxLayout>

namespace mozenta {

SourceWindow::SourceWindow() : DesignedWindow(QString::fromUtf8("フルカラー画像"), QSize(262, 267)) {
  setObjectName(QStringLiteral("Form2"));
  scrollBox = new ScrollBox(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scrollBox);
  // The smallest client area is the scroll box's. It is set while the window has no on-screen window yet,
  // which takes it when it is made; the layout does not set it again at every showing.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(layout->minimumSize());

  pictureImage = new ImageControl(scrollBox->Client());
  pictureImage->setObjectName(QStringLiteral("All1"));
  pictureImage->setGeometry(16, 16, 225, 209);
  pictureImage->SetAutoSize(true);

  loaderImage = new ImageControl(scrollBox->Client());
  loaderImage->setObjectName(QStringLiteral("Image1"));
  loaderImage->setGeometry(136, 184, 113, 33);
  loaderImage->hide();

  picture.all1.SetOnChange([this] { pictureImage->SetBitmap(SourceBitmap(picture)); });
}

}  // namespace mozenta
