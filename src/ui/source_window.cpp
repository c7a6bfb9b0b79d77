#include "source_window.h"

#include <QVBoxLayout>

namespace mozenta {

TForm2::TForm2() : TForm(QString::fromUtf8("フルカラー画像"), QSize(262, 267)) {
  setObjectName(QStringLiteral("Form2"));
  ScrollBox = new TScrollBox(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ScrollBox);

  All1 = new TImage(ScrollBox->Client());
  All1->setObjectName(QStringLiteral("All1"));
  All1->setGeometry(16, 16, 225, 209);
  All1->SetAutoSize(true);

  Image1 = new TImage(ScrollBox->Client());
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(136, 184, 113, 33);
  Image1->hide();

  Source.all1.SetOnChange([this] { All1->SetBitmap(SourceBitmap(Source)); });
}

}  // namespace mozenta
