// The save command's work: the chart and counts reports and the mosaic bitmap file, under one name, put in
// place together.
#pragma once

#include <memory>
#include <string>

#include "mosaic_bitmap_file.h"
#include "mosaic_grid.h"
#include "output_names.h"
#include "output_set.h"
#include "picture/rows_ready.h"
#include "progress_gauge.h"
#include "report_writer.h"
#include "walked_output.h"

namespace mozenta {

// Writes the chart file (fileName with extension ".txt") and the counts file (".csv") from `grid`, and the
// bitmap file (".bmp") from `mosaic`, each to a temporary beside its name; the bitmap is written on a
// second thread while the reports are. A `further` output (the printable sheets) is written from the
// reports' walk into a fourth file. Only when all are complete do they take their names: the chart, the
// counts file, the further output, then the bitmap. The gauge moves with the reports.
//
// A block width or height of 0 (or a negative one) fails before any file is touched. Any other error ends
// the save and passes to the caller, the reports' before the bitmap's: EInOutError for a report or the
// further output, and for the bitmap EFCreateError "ファイル <name> を作成できません" when it cannot be
// created or put in place, EWriteError when a write fails. An error the further output throws (such as
// EAbort when its work is stopped) ends the save the same way. Every temporary is then removed and every
// previous file is left byte for byte as it was; the gauge is hidden.
void SaveMosaic(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
                const ReportSettings& settings, ProgressGauge& gauge, WalkedOutput* further = nullptr);

// The same save started before the grid is complete, so that the bitmap file goes to the disk while the
// conversion runs: the files are created at once (with the errors above), and a bitmap painted from the
// grid is written as RowsConverted() publishes the grid's rows. The grid's limits must already be those of
// the coming conversion. Finish, once every row is converted, writes the reports and puts all in place;
// a save dropped before it ends removes every temporary and leaves every previous file as it was.
class MosaicSave {
 public:
  MosaicSave(const std::string& fileName, const MosaicGrid& grid, const MosaicPixels& mosaic,
             const ReportSettings& settings, WalkedOutput* further = nullptr);
  ~MosaicSave();
  MosaicSave(const MosaicSave&) = delete;
  MosaicSave& operator=(const MosaicSave&) = delete;

  // The conversion publishes here the rows it has made; PublishAll once it has ended.
  RowsReady& RowsConverted() { return rows_; }

  // Writes the reports on a thread of their own, block by block as their rows are converted; `gauge` is
  // moved from that thread. Without it, Finish writes them on the calling thread.
  void StartReports(ProgressGauge& gauge);

  void Finish(ProgressGauge& gauge);

 private:
  class Writer;

  const MosaicGrid& grid_;
  const ReportSettings& settings_;
  SaveFileNames names_;
  BlockLayout layout_;
  OutputSet outputs_;
  ReportFiles reportFiles_;
  AtomicFile* bitmapFile_ = nullptr;
  RowsReady rows_;
  std::unique_ptr<Writer> bitmap_;
  std::unique_ptr<Writer> reports_;  // when started on a thread of their own
};

}  // namespace mozenta
