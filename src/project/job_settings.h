// Every setting of one mosaic job, as both programs and the project files share them: the classic ones of
// the main window and the palette dialog, and those of the "詳細設定" window. The defaults give the classic
// program's files byte for byte.
#pragma once

#include "mosaic/block_settings.h"
#include "mosaic/color_labels.h"
#include "mosaic/conversion_options.h"
#include "mosaic/palette.h"
#include "mosaic/report_writer.h"
#include "mosaic/sheet_stock.h"
#include "picture/picture_fit.h"
#include "sheets/sheet_options.h"

namespace mozenta {

// The settings of the "詳細設定" window.
struct AdvancedSettings {
  PictureSettings picture;
  ConversionOptions conversion;
  SheetStock stock;
  SheetOptions sheets;
};

struct JobSettings {
  Palette palette;
  ColorLabels labels = DefaultColorLabels();
  BlockSettings blocks;
  BlockOrder order = BlockOrder::kByRows;
  int mosaicBitsPerPixel = 32;  // the depth of the mosaic bitmap file: 16, 24 or 32
  AdvancedSettings advanced;
};

// What the chart and counts files take of the settings.
inline ReportSettings ReportSettingsOf(const JobSettings& settings) {
  return {settings.blocks, settings.order, settings.labels};
}

}  // namespace mozenta
