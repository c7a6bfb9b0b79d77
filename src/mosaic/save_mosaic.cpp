#include "save_mosaic.h"

#include "mosaic_bitmap_file.h"
#include "output_names.h"

namespace mozenta {

void SaveMosaic(const std::string& fileName, const MosaicGrid& grid, const TBitmap& mosaic,
                const ReportSettings& settings, ProgressGauge& gauge, WalkedOutput* further) {
  const SaveFileNames names = SaveFileNamesFor(fileName);
  WriteReports(names.chart, grid, settings, gauge, further);
  WriteMosaicBitmapFile(names.bitmap, mosaic);
}

}  // namespace mozenta
