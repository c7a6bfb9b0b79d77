// The save of one job, as both programs run it: the chart and counts reports, the printable sheets when
// the settings ask for them, then the mosaic bitmap, all under the one name chosen.
#pragma once

#include <memory>
#include <stop_token>
#include <string>

#include "job_settings.h"
#include "mosaic/mosaic_bitmap_file.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/progress_gauge.h"
#include "mosaic/save_mosaic.h"

namespace mozenta {

// As SaveMosaic, with "name.pdf" written from the same walk as the reports when settings.advanced.sheets
// is enabled, drawn by the module mozenta-pdf.so (sheets/pdf_module.h). A layout whose sheets would pass
// kMaxSheetPages, or a module that cannot be loaded, is refused before any file is touched. A stop
// requested through `stop` ends the sheets with EAbort; like any failure, it leaves every previous file as
// it was.
void SaveJob(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
             const JobSettings& settings, ProgressGauge& gauge, std::stop_token stop = {});

// The same save started before the conversion fills the grid (see MosaicSave): the files are created and
// the bitmap written as RowsConverted() publishes rows; Finish writes the rest and puts all in place.
class JobSave {
 public:
  JobSave(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
          const JobSettings& settings, std::stop_token stop = {});
  ~JobSave();

  RowsReady& RowsConverted() { return save_->RowsConverted(); }
  void StartReports(ProgressGauge& gauge) { save_->StartReports(gauge); }
  void Finish(ProgressGauge& gauge) { save_->Finish(gauge); }

 private:
  ReportSettings reports_;
  std::unique_ptr<WalkedOutput> sheets_;
  std::unique_ptr<MosaicSave> save_;
};

}  // namespace mozenta
