#include "save_job.h"

#include "mosaic/save_mosaic.h"
#include "picture/errors.h"
#include "picture/file_name.h"
#include "sheets/pdf_module.h"
#include "sheets/sheet_pages.h"

namespace mozenta {
JobSave::JobSave(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
                 const JobSettings& settings, std::stop_token stop)
    : reports_(ReportSettingsOf(settings)) {
  const SheetOptions& options = settings.advanced.sheets;
  if (options.enabled) {
    const std::int64_t pages =
        SheetPages(grid, LayOutBlocks(grid, reports_.blocks, reports_.order), options.page);
    if (pages > kMaxSheetPages) throw Exception(MessageText(MessageId::kTooManySheetPages, pages));
    sheets_ = LoadPdfModule().makeSheetWriter(
        grid, {FileStem(fileName), settings.palette, settings.labels, settings.advanced.stock, options},
        std::move(stop));
  }
  save_ = std::make_unique<MosaicSave>(fileName, grid, mosaic, reports_, sheets_.get());
}

JobSave::~JobSave() = default;

void SaveJob(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
             const JobSettings& settings, ProgressGauge& gauge, std::stop_token stop) {
  JobSave save(fileName, grid, mosaic, settings, std::move(stop));
  save.Finish(gauge);
}

}  // namespace mozenta
