#include "save_job.h"

#include "mosaic/save_mosaic.h"
#include "picture/errors.h"
#include "picture/file_name.h"
#include "sheets/pdf_module.h"
#include "sheets/sheet_pages.h"

namespace mozenta {
void SaveJob(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
             const JobSettings& settings, ProgressGauge& gauge, std::stop_token stop) {
  const ReportSettings reports = ReportSettingsOf(settings);
  const SheetOptions& options = settings.advanced.sheets;
  if (!options.enabled) {
    SaveMosaic(fileName, grid, mosaic, reports, gauge);
    return;
  }
  const std::int64_t pages =
      SheetPages(grid, LayOutBlocks(grid, reports.blocks, reports.order), options.page);
  if (pages > kMaxSheetPages) throw Exception(MessageText(MessageId::kTooManySheetPages, pages));
  const std::unique_ptr<WalkedOutput> sheets = LoadPdfModule().makeSheetWriter(
      grid, {FileStem(fileName), settings.palette, settings.labels, settings.advanced.stock, options},
      std::move(stop));
  SaveMosaic(fileName, grid, mosaic, reports, gauge, sheets.get());
}

}  // namespace mozenta
