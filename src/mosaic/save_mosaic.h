// The save command's work: the chart and counts reports, then the mosaic bitmap file, under one name.
#pragma once

#include <string>

#include "mosaic_bitmap_file.h"
#include "output_names.h"
#include "picture/bitmap.h"
#include "progress_gauge.h"
#include "report_writer.h"

namespace mozenta {

enum class BlockOrder {
  kByRows,     // rows of blocks, top to bottom (the main window's "縦向出力" clear)
  kByColumns,  // columns of blocks, left to right ("縦向出力" checked)
};

// Writes the chart file (fileName with extension ".txt") and the counts file (".csv") in `order`, then,
// only when both are complete, `mosaic` as the bitmap file (".bmp"). Any error ends the save at once and
// passes to the caller; a failed report leaves an existing bitmap file as it was.
void SaveMosaic(const std::string& fileName, BlockOrder order, const ReportSettings& settings,
                const TBitmap& mosaic, ProgressGauge& gauge);

}  // namespace mozenta
