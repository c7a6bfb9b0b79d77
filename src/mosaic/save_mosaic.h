// The save command's work: the chart and counts reports and the mosaic bitmap file, under one name, put in
// place together.
#pragma once

#include <string>

#include "mosaic_bitmap_file.h"
#include "mosaic_grid.h"
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

}  // namespace mozenta
