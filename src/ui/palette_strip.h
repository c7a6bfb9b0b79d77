// PaletteStrip: the eight entries of the mosaic's palette as swatch buttons under the mosaic; the chosen
// one is the paint of the hand edits.
#pragma once

#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "mosaic/color_labels.h"
#include "mosaic/palette.h"

namespace mozenta {

class PaletteStrip : public QWidget {
  Q_OBJECT

 public:
  explicit PaletteStrip(QWidget* parent = nullptr);

  // The swatches' colours and the labels in their hints.
  void ShowPalette(const Palette& palette, const ColorLabels& labels);

  int Chosen() const { return group_->checkedId(); }
  void Choose(int entry);

  std::array<QToolButton*, kPaletteColors> swatches;

 signals:
  void EntryChosen(int entry);

 private:
  QButtonGroup* group_;
};

}  // namespace mozenta
