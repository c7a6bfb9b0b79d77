#include "palette_dialog.h"

#include <limits>

#include "canvas.h"
#include "error_handler.h"
#include "mosaic/color_labels.h"

namespace mozenta {
namespace {

constexpr int kRowTop = 16;
constexpr int kRowPitch = 25;
constexpr int kStripLeft = 8, kStripTop = 14, kStripWidth = 150, kStripHeight = 195;
constexpr int kSwatchLeft = 2, kSwatchTop = 2, kSwatchSize = 16;  // on the strip, for the first row
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The designer's name of a row's control: the prefix and the row's number from 1.
QString RowName(const char* prefix, int row) {
  return QString::fromLatin1(prefix) + QString::number(row + 1);
}

}  // namespace

PaletteDialog::PaletteDialog()
    : DesignedWindow(QString::fromUtf8("色変更"), QSize(179, 276)),
      colorDialog(QStringLiteral("ColorDialog1")) {
  setObjectName(QStringLiteral("Form4"));

  // Created first, so that it lies behind the rows.
  swatchImage = new ImageControl(this);
  swatchImage->setObjectName(QStringLiteral("Image1"));
  swatchImage->setGeometry(kStripLeft, kStripTop, kStripWidth, kStripHeight);
  swatchImage->SetBitmap(&strip_);
  strip_.SetOnChange([this] { swatchImage->PictureChanged(); });

  headingLabel = new QLabel(QString::fromUtf8("使用する色にチェック"), this);
  headingLabel->setObjectName(QStringLiteral("Label1"));
  headingLabel->setGeometry(16, 0, 108, 12);

  for (int i = 0; i < kPaletteColors; ++i) {
    Row& row = rows[i];
    const int top = kRowTop + kRowPitch * i;
    row.swatch = QRect(kSwatchLeft, kSwatchTop + kRowPitch * i, kSwatchSize, kSwatchSize);

    row.useCheck = new QCheckBox(this);
    row.useCheck->setObjectName(RowName("ArCheckBox1_", i));
    row.useCheck->setGeometry(32, top, 17, 17);
    row.useCheck->setChecked(true);
    row.useCheck->setFocusPolicy(Qt::StrongFocus);

    row.labelEdit = new QLineEdit(QString::fromStdString(DefaultColorLabels()[i]), this);
    row.labelEdit->setObjectName(RowName("ArEdit1_", i));
    row.labelEdit->setGeometry(56, top, 17, 20);
    row.labelEdit->setTextMargins(-2, 0, -2, 0);
    row.labelEdit->setMaxLength(std::numeric_limits<int>::max());  // a label may be as long as it is typed

    row.colorButton = new QPushButton(QString::fromUtf8("色変更"), this);
    row.colorButton->setObjectName(RowName("ArButton1_", i));
    row.colorButton->setGeometry(79, top, 40, 20);
    row.colorButton->setToolTip(QString::fromUtf8("色合いを調整できます。"));
    row.colorButton->setFocusPolicy(Qt::StrongFocus);
    row.colorButton->setEnabled(i != 0);  // black cannot be recoloured
  }

  runButton = new QPushButton(QString::fromUtf8("実行"), this);
  runButton->setObjectName(QStringLiteral("Button1"));
  runButton->setGeometry(8, 216, 57, 25);
  runButton->setToolTip(QString::fromUtf8("モザイク画を作成します。"));
  runButton->setFocusPolicy(Qt::StrongFocus);

  resetButton = new QPushButton(QString::fromUtf8("色初期化"), this);
  resetButton->setObjectName(QStringLiteral("Button2"));
  resetButton->setGeometry(72, 216, 57, 25);
  resetButton->setFocusPolicy(Qt::StrongFocus);

  // Keyboard order: 実行, the colour buttons, 色初期化, the check boxes, the label edits.
  std::vector<QWidget*> order{runButton};
  for (const Row& row : rows)
    order.push_back(row.colorButton);
  order.push_back(resetButton);
  for (const Row& row : rows)
    order.push_back(row.useCheck);
  for (const Row& row : rows)
    order.push_back(row.labelEdit);
  for (std::size_t i = 0; i + 1 < order.size(); ++i)
    setTabOrder(order[i], order[i + 1]);

  ConnectCommand(runButton, [this] { OnRunClicked(); });
  ConnectCommand(resetButton, [this] { OnResetClicked(); });
  for (int i = 0; i < kPaletteColors; ++i)
    ConnectCommand(rows[i].colorButton, [this, i] { OnColorClicked(i); });
}

ColorLabels PaletteDialog::Labels() const {
  ColorLabels labels;
  for (int i = 0; i < kPaletteColors; ++i)
    labels[i] = rows[i].labelEdit->text().toStdString();
  return labels;
}

void PaletteDialog::SetLabels(const ColorLabels& labels) {
  for (int i = 0; i < kPaletteColors; ++i)
    rows[i].labelEdit->setText(QString::fromStdString(labels[i]));
}

void PaletteDialog::PaintSwatch(int row, std::uint32_t color) {
  if (strip_.Width() == 0) {
    // The surface comes into being blank (white) at the first painting, at the strip's size.
    strip_.SetPixelFormat(32);
    strip_.SetSize(swatchImage->width(), swatchImage->height());
    FillRectangle(strip_, 0, 0, strip_.Width(), strip_.Height(), kWhite);
  }
  const QRect& swatch = rows[row].swatch;
  DrawRectangle(strip_, swatch.left(), swatch.top(), swatch.left() + swatch.width(),
                swatch.top() + swatch.height(), kBlack, color);
}

void PaletteDialog::ShowSettings(const Palette& palette, const ColorLabels& labels) {
  palette_ = palette;
  for (int row = 0; row < kPaletteColors; ++row)
    rows[row].useCheck->setChecked(palette.Enabled(row));
  SetLabels(labels);
  if (strip_.Width() != 0) PaintSwatchesFromPalette();
}

void PaletteDialog::PaintSwatchesFromPalette() {
  for (int row = 0; row < kPaletteColors; ++row)
    PaintSwatch(row, palette_.ExpandedColor(row));
}

void PaletteDialog::OnShownModally() {
  swatchImage->setGeometry(kStripLeft, kStripTop, kStripWidth, kStripHeight);
  PaintSwatchesFromPalette();
  for (int i = 0; i < kPaletteColors; ++i) {
    const int top = kRowTop + kRowPitch * i;
    Row& row = rows[i];
    row.useCheck->move(row.useCheck->x(), top);
    row.labelEdit->move(row.labelEdit->x(), top);
    row.colorButton->move(row.colorButton->x(), top);
  }
}

void PaletteDialog::OnColorClicked(int row) {
  if (!colorDialog.Execute(this)) return;
  const std::uint32_t chosen = colorDialog.Color();
  PaintSwatch(row, chosen);
  palette_.SetEntry(row, PaletteEntryFromColor(chosen));
}

void PaletteDialog::OnRunClicked() {
  for (int row = 0; row < kPaletteColors; ++row)
    palette_.SetEnabled(row, rows[row].useCheck->isChecked());
  SetModalResult(kModalOk);
}

void PaletteDialog::OnResetClicked() {
  palette_.Reset();
  PaintSwatchesFromPalette();
}

}  // namespace mozenta
