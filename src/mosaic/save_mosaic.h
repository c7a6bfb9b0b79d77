// The save command's work: the chart and counts reports, then the mosaic bitmap file, under one name.
#pragma once

#include <string>

#include "mosaic_grid.h"
#include "picture/bitmap.h"
#include "progress_gauge.h"
#include "report_writer.h"
#include "walked_output.h"

namespace mozenta {

// Writes the chart file (fileName with extension ".txt") and the counts file (".csv") from `grid`, and the
// `further` output (the printable sheets) from the same walk, then, only when all are complete, `mosaic` as
// the bitmap file (".bmp"). Any error ends the save at once and passes to the caller; a failed report leaves
// an existing bitmap file as it was.
void SaveMosaic(const std::string& fileName, const MosaicGrid& grid, const TBitmap& mosaic,
                const ReportSettings& settings, ProgressGauge& gauge, WalkedOutput* further = nullptr);

}  // namespace mozenta
