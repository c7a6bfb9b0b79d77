// TForm4, "色変更": the palette dialog, shown modally before every conversion. Each of its eight rows
// belongs to one palette entry: a swatch, an enable check box, a label edit and a colour button. A colour
// choice or a reset changes the palette at once; the check boxes become the enable flags only by "実行".
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "color_dialog.h"
#include "form.h"
#include "image_control.h"
#include "mosaic/palette.h"
#include "picture/bitmap.h"

namespace mozenta {

class TForm4 : public TForm {
  Q_OBJECT

 public:
  TForm4();

  QLabel* Label1;
  TImage* Image1;        // the swatch strip, behind the rows
  QPushButton* Button1;  // "実行"
  QPushButton* Button2;  // "色初期化"
  TColorDialog ColorDialog1;

  // Indexed by row 0..7: the controls whose names end in row + 1.
  std::array<QPushButton*, kPaletteColors> ArButton1{};
  std::array<QCheckBox*, kPaletteColors> ArCheckBox1{};
  std::array<QLineEdit*, kPaletteColors> ArEdit1{};

  // The strip's surface: white until swatches are painted on it. Empty before the first showing.
  const TBitmap& SwatchStrip() const { return strip_; }

  // The palette the conversions use: the default one at start-up, then as edited here.
  Palette& ColorPalette() { return palette_; }
  const Palette& ColorPalette() const { return palette_; }

  void FormCreate();
  void FormActivate() override;
  void ArButton1Click(QObject* sender);
  void Button1Click();
  void Button2Click();

 private:
  void PaintSwatch(int row, std::uint32_t color);
  void PaintSwatchesFromPalette();

  TBitmap strip_;
  Palette palette_;
};

// The label of palette entry i (0..7): the text of the palette dialog's edit ArEdit1_(i + 1), as it is now.
std::string ColorLabel(int i);

}  // namespace mozenta
