// ColorPanel, "色": the colour choices of the "詳細設定" window. How a cell's colour finds its palette
// entry and how its error is handed on; palette files, read into and written from the palette dialog's
// colours and labels; the sheets on hand of each entry and, after each conversion, what the mosaic needs
// and what is short.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <optional>

#include "file_dialog.h"
#include "mosaic/block_walk.h"
#include "settings_panel.h"

namespace mozenta {

class PaletteDialog;

// The filter of the palette files' dialogs.
inline constexpr const char* kPaletteFileFilter = "パレット|*.gpl|すべてのファイル|*.*";

class ColorPanel : public SettingsPanel {
 public:
  // One palette entry's stock: its caption (number and label), the sheets on hand (empty: not counted) and
  // the figures of the last conversion.
  struct StockRow {
    QLabel* caption;
    QLineEdit* onHandEdit;
    QLabel* figuresLabel;
  };

  explicit ColorPanel(PaletteDialog& paletteDialog);

  void ReadInto(JobSettings& settings) const override;
  void Show(const JobSettings& settings) override;
  void MosaicMade(const JobSettings& settings, const MosaicGrid& grid) override;

  QComboBox* matchCombo;           // 色の比較: in the order of ColorMatch
  QComboBox* diffusionCombo;       // 誤差拡散: in the order of Diffusion
  QCheckBox* serpentineCheck;      // 蛇行走査
  QPushButton* loadPaletteButton;  // パレット読込…
  QPushButton* savePaletteButton;  // パレット保存…
  std::array<StockRow, kPaletteColors> stockRows;
  FileDialog openPaletteDialog;
  FileDialog savePaletteDialog;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnLoadPaletteClicked();
  void OnSavePaletteClicked();
  // The stock rows' captions from the palette dialog's labels as they are now.
  void ShowEntryCaptions();
  // Each entry's figures from the last conversion's totals and the stock as the fields hold it now.
  void ShowFigures();

  PaletteDialog& paletteDialog_;
  std::optional<CellCounts> lastTotals_;  // none before the first conversion
};

}  // namespace mozenta
