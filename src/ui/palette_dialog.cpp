#include "palette_dialog.h"

#include <limits>

#include "canvas.h"
#include "error_handler.h"
#include "forms.h"
#include "mosaic/color_labels.h"

namespace mozenta {
namespace {

constexpr int kRowTop = 16;
constexpr int kRowPitch = 25;
constexpr int kStripLeft = 8, kStripTop = 14, kStripWidth = 150, kStripHeight = 195;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

QString RowName(const char* prefix, int row) {
  return QString::fromLatin1(prefix) + QString::number(row + 1);
}

}  // namespace

TForm4::TForm4()
    : TForm(QString::fromUtf8("色変更"), QSize(179, 276)), ColorDialog1(QStringLiteral("ColorDialog1")) {
  setObjectName(QStringLiteral("Form4"));

  // Created first, so that it lies behind the rows.
  Image1 = new TImage(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(kStripLeft, kStripTop, kStripWidth, kStripHeight);
  Image1->SetBitmap(&strip_);
  strip_.SetOnChange([this] { Image1->PictureChanged(); });

  Label1 = new QLabel(QString::fromUtf8("使用する色にチェック"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(16, 0, 108, 12);

  for (int row = 0; row < kPaletteColors; ++row) {
    const int top = kRowTop + kRowPitch * row;
    auto* check = new QCheckBox(this);
    check->setObjectName(RowName("ArCheckBox1_", row));
    check->setGeometry(32, top, 17, 17);
    check->setChecked(true);
    check->setFocusPolicy(Qt::StrongFocus);

    auto* edit = new QLineEdit(QString::fromStdString(DefaultColorLabels()[row]), this);
    edit->setObjectName(RowName("ArEdit1_", row));
    edit->setGeometry(56, top, 17, 20);
    edit->setTextMargins(-2, 0, -2, 0);
    edit->setMaxLength(std::numeric_limits<int>::max());  // a label may be as long as it is typed

    auto* button = new QPushButton(QString::fromUtf8("色変更"), this);
    button->setObjectName(RowName("ArButton1_", row));
    button->setGeometry(79, top, 40, 20);
    button->setToolTip(QString::fromUtf8("色合いを調整できます。"));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setEnabled(row != 0);  // black cannot be recoloured
  }

  Button1 = new QPushButton(QString::fromUtf8("実行"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(8, 216, 57, 25);
  Button1->setToolTip(QString::fromUtf8("モザイク画を作成します。"));
  Button1->setFocusPolicy(Qt::StrongFocus);

  Button2 = new QPushButton(QString::fromUtf8("色初期化"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(72, 216, 57, 25);
  Button2->setFocusPolicy(Qt::StrongFocus);

  FormCreate();

  // Keyboard order: 実行, the colour buttons, 色初期化, the check boxes, the label edits.
  std::vector<QWidget*> order{Button1};
  order.insert(order.end(), ArButton1.begin(), ArButton1.end());
  order.push_back(Button2);
  order.insert(order.end(), ArCheckBox1.begin(), ArCheckBox1.end());
  order.insert(order.end(), ArEdit1.begin(), ArEdit1.end());
  for (std::size_t i = 0; i + 1 < order.size(); ++i)
    setTabOrder(order[i], order[i + 1]);

  ConnectCommand(Button1, [this] { Button1Click(); });
  ConnectCommand(Button2, [this] { Button2Click(); });
}

void TForm4::FormCreate() {
  for (int row = 0; row < kPaletteColors; ++row) {
    ArButton1[row] = findChild<QPushButton*>(RowName("ArButton1_", row));
    ArCheckBox1[row] = findChild<QCheckBox*>(RowName("ArCheckBox1_", row));
    ArEdit1[row] = findChild<QLineEdit*>(RowName("ArEdit1_", row));
  }
  for (int row = 0; row < kPaletteColors; ++row) {
    QPushButton* button = ArButton1[row];
    button->setProperty("Tag", row);
    ConnectCommand(button, [this, button] { ArButton1Click(button); });
  }
}

void TForm4::PaintSwatch(int row, std::uint32_t color) {
  if (strip_.Width() == 0) {
    // The surface comes into being blank (white) at the first painting, at the strip's size.
    strip_.SetPixelFormat(32);
    strip_.SetSize(Image1->width(), Image1->height());
    FillRectangle(strip_, 0, 0, strip_.Width(), strip_.Height(), kWhite);
  }
  const int top = kRowPitch * row + 2;
  DrawRectangle(strip_, 2, top, 18, top + 16, kBlack, color);
}

void TForm4::PaintSwatchesFromPalette() {
  for (int row = 0; row < kPaletteColors; ++row)
    PaintSwatch(row, palette_.ExpandedColor(row));
}

void TForm4::FormActivate() {
  Image1->setGeometry(kStripLeft, kStripTop, kStripWidth, kStripHeight);
  PaintSwatchesFromPalette();
  for (int row = 0; row < kPaletteColors; ++row) {
    const int top = kRowTop + kRowPitch * row;
    ArCheckBox1[row]->move(ArCheckBox1[row]->x(), top);
    ArEdit1[row]->move(ArEdit1[row]->x(), top);
    ArButton1[row]->move(ArButton1[row]->x(), top);
  }
}

void TForm4::ArButton1Click(QObject* sender) {
  const int row = sender->property("Tag").toInt();
  if (!ColorDialog1.Execute(this)) return;
  const std::uint32_t chosen = ColorDialog1.Color();
  PaintSwatch(row, chosen);
  palette_.SetEntry(row, PaletteEntryFromColor(chosen));
}

void TForm4::Button1Click() {
  for (int row = 0; row < kPaletteColors; ++row)
    palette_.SetEnabled(row, ArCheckBox1[row]->isChecked());
  SetModalResult(kModalOk);
}

void TForm4::Button2Click() {
  palette_.Reset();
  PaintSwatchesFromPalette();
}

std::string ColorLabel(int i) {
  return Form4->ArEdit1[i]->text().toStdString();
}

}  // namespace mozenta
