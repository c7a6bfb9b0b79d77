#include "save_mosaic.h"

namespace mozenta {

void SaveMosaic(const std::string& fileName, BlockOrder order, const ReportSettings& settings,
                const TBitmap& mosaic, ProgressGauge& gauge) {
  const std::string chartFileName = ReplaceFileExtension(fileName, ".txt");
  if (order == BlockOrder::kByColumns) {
    WriteReportByColumns(chartFileName, settings, gauge);
  } else {
    WriteReportByRows(chartFileName, settings, gauge);
  }
  WriteMosaicBitmapFile(ReplaceFileExtension(fileName, ".bmp"), mosaic);
}

}  // namespace mozenta
