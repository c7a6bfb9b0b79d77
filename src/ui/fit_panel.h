// FitPanel, "画像の大きさ": the panel of the "詳細設定" window that fits the picture to a mosaic of a chosen
// size in sheets. "元のサイズ" (checked at start) keeps one pixel per sheet; otherwise the width and height
// in sheets, linked to the loaded picture's proportions when "縦横比を保つ" is checked, how the picture
// fits, and the palette entry of the margins.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <functional>

#include "mosaic/color_labels.h"
#include "mosaic/palette.h"
#include "settings_panel.h"

namespace mozenta {

class FitPanel : public SettingsPanel {
  Q_OBJECT

 public:
  // What the panel reads from the rest of the program when it needs it: the loaded picture's size (0 × 0
  // when none is loaded), and the palette and labels the margin entries are shown with.
  struct Sources {
    std::function<QSize()> pictureSize;
    std::function<Palette()> palette;
    std::function<ColorLabels()> labels;
  };

  explicit FitPanel(Sources sources, QWidget* parent = nullptr);

  void ReadInto(JobSettings& settings) const override;
  void Show(const JobSettings& settings) override;

  // The margin entries' swatches and labels painted again from the palette as it is now.
  void RefreshMarginEntries();

  QCheckBox* keepSizeCheck;    // 元のサイズ
  QSpinBox* widthEdit;         // sheets across, 1..2000
  QSpinBox* heightEdit;        // sheets down, 1..20000
  QCheckBox* keepAspectCheck;  // 縦横比を保つ
  QComboBox* modeCombo;        // 伸縮, 切り抜き, 余白: in the order of FitMode
  QComboBox* marginCombo;      // palette entries 0..7

 protected:
  bool event(QEvent* event) override;

 private:
  void UpdateEnabled();
  // With the link on and a picture loaded, the other side follows the one just changed.
  void FollowAspect(bool widthChanged);

  Sources sources_;
  bool following_ = false;
};

}  // namespace mozenta
