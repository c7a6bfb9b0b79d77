// PaletteDialog, "色変更": the palette dialog, shown modally before every conversion. Each of its eight
// rows belongs to one palette entry: a swatch, an enable check box, a label edit and a colour button. A
// colour choice or a reset changes the palette at once; the check boxes become the enable flags only by
// "実行". The label edits hold the labels the reports print.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <array>
#include <string>

#include "color_dialog.h"
#include "designed_window.h"
#include "image_control.h"
#include "mosaic/color_labels.h"
#include "mosaic/palette.h"
#include "picture/bitmap.h"

namespace mozenta {

class PaletteDialog : public DesignedWindow {
  Q_OBJECT

 public:
  // The controls of one palette entry.
  struct Row {
    QRect swatch;              // where the entry's colour is painted on the swatch strip
    QCheckBox* useCheck;       // the entry may be chosen
    QLineEdit* labelEdit;      // the entry's label in the reports
    QPushButton* colorButton;  // 色変更
  };

  PaletteDialog();

  QLabel* headingLabel;       // 使用する色にチェック
  ImageControl* swatchImage;  // the swatch strip, behind the rows
  QPushButton* runButton;     // 実行
  QPushButton* resetButton;   // 色初期化
  ColorDialog colorDialog;
  std::array<Row, kPaletteColors> rows;  // palette entries 0..7, top to bottom

  // The strip's surface: white until swatches are painted on it. Empty before the first showing.
  const TBitmap& SwatchStrip() const { return strip_; }

  // The labels of palette entries 0..7: the texts of the label edits as they are now.
  ColorLabels Labels() const;
  // Puts `labels` into the label edits (a palette file being loaded).
  void SetLabels(const ColorLabels& labels);

  // Takes the colours, flags and labels of a project being opened.
  void ShowSettings(const Palette& palette, const ColorLabels& labels);

  // The palette the conversions use: the default one at start-up, then as edited here.
  Palette& ColorPalette() { return palette_; }
  const Palette& ColorPalette() const { return palette_; }

 protected:
  void OnShownModally() override;

 private:
  void OnColorClicked(int row);
  void OnRunClicked();
  void OnResetClicked();
  void PaintSwatch(int row, std::uint32_t color);
  void PaintSwatchesFromPalette();

  TBitmap strip_;
  Palette palette_;
};

}  // namespace mozenta
